// Page 8, "Координатор": the leading controller as a pseudo coordinating
// centre. The number of coordinated controllers, each one's delay per signal
// program, and every program's cycle length kept up to date.
#pragma once

#include "binding/NumberField.h"
#include "binding/Page.h"

namespace kdt::gui {

class CellEditor;
class GridTable;

// The page's controls in the journal.
namespace coordinator {
inline constexpr ControlId kControllerCount = 801;  // LabeledEdit19, "Число контроллеров "
inline constexpr ControlId kDelayField = 802;       // Edit8, the controller grid's field
inline constexpr int kDelayColumn = 1;
}  // namespace coordinator

class CoordinatorPage final : public Page {
    Q_OBJECT
public:
    CoordinatorPage(PageContext& context, QWidget* parent);

    void Fill() override;  // KoordinatorClick
    bool CanBeShown() const override;
    void SelectionsReset() override;

    int currentProgram() const { return program_; }
    int currentController() const { return controller_; }
    NumberField* controllerCount() const { return count_; }
    // Whether the count field shows a stored count above what the plan allows.
    bool countMarked() const { return countMarked_; }

    // The handlers, as the controls and the journal call them.
    void StringGrid7SelectCell(int row);
    void StringGrid9SelectCell(int row, bool focusField);
    void Edit8Change(int row);
    void LabeledEdit19Exit();

private:
    void BuildProgramGrid();
    void BuildControllerGrid();
    void BuildControllerCount();
    void RegisterInJournal();

    int programRows() const;
    int controllerRows() const;
    void UpdateCycleLength(int program);
    void FillControllerRows();
    void SelectProgram(int program);
    void ReloadDelayField();
    void MarkCount();
    void CountCascade();
    void ReplayDelay(const JournalEntry& entry);

    GridTable* programGrid_ = nullptr;     // StringGrid7
    GridTable* controllerGrid_ = nullptr;  // StringGrid9
    CellEditor* delayField_ = nullptr;     // Edit8
    NumberField* count_ = nullptr;         // LabeledEdit19
    int program_ = 1;
    int controller_ = 1;
    bool countMarked_ = false;
};

}  // namespace kdt::gui

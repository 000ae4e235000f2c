// Page 4, "Фазы и Зеленые улицы": which directions each phase opens, the
// inter-tact time after it, its minimum and maximum duration (4.2.1) and its
// green street.
#pragma once

#include <array>

#include "binding/NumberField.h"
#include "binding/Page.h"

class QLabel;
class QPushButton;

namespace kdt::gui {

class CellEditor;
class DirectionSquares;
class GridTable;
class UpDownEdit;

// The page's controls in the journal.
namespace phases {
inline constexpr ControlId kDirectionSquare = 400;  // + direction 1..16: the squares Shape65..
inline constexpr ControlId kInterTact = 420;        // LabeledEdit18, "т.промтакта "
inline constexpr ControlId kGreenStreet = 421;      // Edit6, the green street grid's field
inline constexpr ControlId kClear = 422;            // Button4, "Очистка"
}  // namespace phases

class PhasesPage final : public Page {
    Q_OBJECT
public:
    PhasesPage(PageContext& context, QWidget* parent);

    void Fill() override;  // FaziClick
    void ApplyRomType() override;
    void RefreshEnabledStates() override;

    int currentPhase() const { return phase_; }
    int currentGreenStreetRow() const { return greenRow_; }
    NumberField* interTactField() const { return interTact_; }

    // The handlers, as the controls and the journal call them.
    void StringGrid1SelectCell(int row);
    void SpeedButton7Click();  // the squares and the mark string of the current phase
    void Shape65MouseUp(int direction);
    void OnTMinFazi();
    void OnTMaxFazi();
    void StringGrid2SelectCell(int row, bool focusField);
    void Edit6Change(int row);
    void Button4Click();

private:
    void BuildPhaseGrid();
    void BuildPhaseFields();
    void BuildGreenStreets();
    void RegisterInJournal();

    void FillPhaseRow(int phase);
    void FillGreenStreetRow(int row);
    void LoadPhaseFields();
    // Makes the phase current as a click on its row does, under the guard.
    void SelectPhase(int phase);
    void ToggleDirection(int direction, bool clicked);
    void StorePhaseTime(UpDownEdit* field, bool minimum);
    void ShowPhaseTime(UpDownEdit* field, bool minimum);
    void ReplayGreenStreet(const JournalEntry& entry);
    void ReplayClear(const JournalEntry& entry);

    int rows() const;

    GridTable* phaseGrid_ = nullptr;       // StringGrid1
    DirectionSquares* squares_ = nullptr;  // Shape65 .. Shape80
    NumberField* interTact_ = nullptr;     // LabeledEdit18
    UpDownEdit* minTime_ = nullptr;        // "т.min фазы"
    UpDownEdit* maxTime_ = nullptr;        // "т.max фазы"
    GridTable* greenGrid_ = nullptr;       // StringGrid2
    CellEditor* greenField_ = nullptr;     // Edit6
    QPushButton* clear_ = nullptr;         // Button4
    int phase_ = 1;
    int greenRow_ = 1;
};

}  // namespace kdt::gui

// Page 5, "Программы": the signal programs, each a cycle of tacts with
// their phase, main duration and inter-tact duration; every program's
// cycle length is kept up to date.
#pragma once

#include "binding/NumberField.h"
#include "binding/Page.h"

namespace kdt::gui {

class CellEditor;
class GridTable;

// The page's controls in the journal.
namespace programs {
inline constexpr ControlId kTactCount = 501;  // LabeledEdit11, "Тактов в программе "
inline constexpr ControlId kTactField = 502;  // Edit9, the tact grid's field
// The tact grid's value columns.
inline constexpr int kPhaseColumn = 1;
inline constexpr int kDurationColumn = 2;
inline constexpr int kInterDurationColumn = 3;
}  // namespace programs

// The sum of the tact times of the program's tacts, in half-seconds, as the
// 16-bit field holds it.
std::uint16_t CycleLengthOf(const TSignalProgram& program);

class ProgramsPage final : public Page {
    Q_OBJECT
public:
    ProgramsPage(PageContext& context, QWidget* parent);

    void Fill() override;  // ProgrammiClick

    int currentProgram() const { return program_; }
    int currentTactRow() const { return tactRow_; }
    int currentTactColumn() const { return tactColumn_; }
    NumberField* tactCountField() const { return tactCount_; }

    // The handlers, as the controls and the journal call them.
    void StringGrid4SelectCell(int row);
    void StringGrid5SelectCell(int row, int column, bool focusField);
    void Edit9Change(int row, int column);
    void Edit9Exit(int row, int column);
    void LabeledEdit11Exit();

private:
    struct Range {
        int minimum;
        int maximum;
        bool contains(int value) const { return value >= minimum && value <= maximum; }
    };

    void BuildProgramGrid();
    void BuildTactGrid();
    void BuildTactCount();
    void RegisterInJournal();

    // Recomputes the program's cycle length, writing it only when it changed.
    void UpdateCycleLength(int program);
    void FillProgramRow(int program);
    void FillTactRows();
    void TactCountCascade();
    void SelectProgram(int program);
    void ReloadTactField();

    // What a tact's column shows, the raw value behind it, and how a raw value is written.
    int ShownValue(int program, int column, int tact) const;
    unsigned RawValue(int program, int column, int tact) const;
    void WriteRaw(int program, int column, int tact, unsigned raw);
    Range TypingRange(int column) const;
    Range LeavingRange(int column) const;
    void RollBack(int program, int row, int column);
    void ReplayTactField(const JournalEntry& entry);

    int rows() const;
    int tactRows() const;

    GridTable* programGrid_ = nullptr;  // StringGrid4
    GridTable* tactGrid_ = nullptr;     // StringGrid5
    CellEditor* tactField_ = nullptr;   // Edit9
    NumberField* tactCount_ = nullptr;  // LabeledEdit11
    int program_ = 1;
    int tactRow_ = 1;
    int tactColumn_ = 1;
    // The field recorded an entry since it was last loaded: only then has
    // it an edit of its own that leaving it can take back.
    bool tactFieldRecorded_ = false;
};

}  // namespace kdt::gui

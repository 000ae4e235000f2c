// Page 7, "Суточный график и Включение": each weekday's switching table of
// up to 16 rows (a time and a command), copying and clearing a day, and the
// state the controller takes when it is switched on, with its duration.
#pragma once

#include <cstdint>

#include "binding/Page.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kdt::gui {

class CellOverlay;
class GridTable;
class RadioGroup;
class TimeField;
class UpDownEdit;

// The page's controls in the journal.
namespace schedule {
inline constexpr ControlId kTimeField = 701;     // MaskEdit1, the row's time
inline constexpr ControlId kClear = 702;         // Button2, "Очистка"
inline constexpr ControlId kCommandList = 703;   // ComboBox3, the row's command
inline constexpr ControlId kCopySource = 704;    // ComboBox4, the day "Копировать" copies from
inline constexpr ControlId kPowerOnState = 705;  // ComboBox5, "Состояние при включении"
inline constexpr ControlId kPowerOnDuration = 716;  // LabeledEdit16, "Длительность состояния "
inline constexpr int kTimeColumn = 0;
inline constexpr int kCommandColumn = 1;
}  // namespace schedule

// The command list's items: "ОС", "КК", "ЖМ", then the programs. Item i is
// code i for the first three and 125 + i after them (item 3 is program 1,
// code 128); a code gives back item code or code − 125, which may lie
// outside the list.
std::uint8_t CommandOfItem(int item);
int ItemOfCommand(std::uint8_t command);
// What the table shows for a command: its item's text, nothing for a code
// the list has no item for (a program above the count).
QString CommandCaption(const TSignalPlan& plan, std::uint8_t command);

class SchedulePage final : public Page {
    Q_OBJECT
public:
    SchedulePage(PageContext& context, QWidget* parent);

    void Fill() override;  // SutGrafClick
    void ApplyRomType() override;
    void SelectionsReset() override;
    void RefreshEnabledStates() override;

    int currentDay() const { return day_; }
    int currentRow() const { return row_; }

    // The handlers, as the controls, the window and the journal call them.
    void RadioGroup2Click(int day);
    void StringGrid8SelectCell(int row);
    void MaskEdit1Change();
    void ComboBox3Change(int item);
    void Button2Click();
    void Button6Click();
    // Ctrl+C, whichever page is in front.
    void CopyRequested();
    void ComboBox5Change(int item);
    void LabeledEdit16Change();
    void LabeledEdit16Exit();

private:
    void BuildDays();
    void BuildTable();
    void BuildCopyAndClear();
    void BuildPowerOn();
    void RegisterInJournal();

    void RebuildCommandList();
    void FillTable();
    void FillTableRow(int row);
    // The day and the row made current as a user's choice makes them, under the guard.
    void SelectDay(int day);
    void SelectRow(int row);
    // After a day was rewritten: its rows and the row editors shown again.
    void RefreshDay();
    void UpdatePowerOnStates();
    void ShowPowerOnDuration();
    void RollBackDuration();

    std::string DayPayload(int day) const;
    void ReplayTime(const JournalEntry& entry);
    void ReplayCommand(const JournalEntry& entry);
    void ReplayDay(const JournalEntry& entry);
    void ReplayPowerOnState(const JournalEntry& entry);
    void ReplayPowerOnDuration(const JournalEntry& entry);

    RadioGroup* days_ = nullptr;  // RadioGroup2
    GridTable* grid_ = nullptr;   // StringGrid8
    TimeField* time_ = nullptr;   // MaskEdit1
    CellOverlay* timeOverlay_ = nullptr;
    QComboBox* commands_ = nullptr;  // ComboBox3
    CellOverlay* commandOverlay_ = nullptr;
    QComboBox* copySource_ = nullptr;    // ComboBox4
    QPushButton* copy_ = nullptr;        // Button6
    QPushButton* clear_ = nullptr;       // Button2
    QComboBox* powerOnState_ = nullptr;  // ComboBox5
    UpDownEdit* duration_ = nullptr;     // LabeledEdit16
    QLabel* durationLabel_ = nullptr;
    int day_ = 0;
    int row_ = 1;
};

}  // namespace kdt::gui

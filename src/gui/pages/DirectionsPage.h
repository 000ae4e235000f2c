// Page 3, "Направления": for the current direction, which channels are lit
// in each of the five parts of its signal sequence (its structure), and its
// switching durations under program control (АПП) and manual control (РУ);
// the option that makes the manual durations follow the program ones.
#pragma once

#include <array>
#include <cstdint>

#include "binding/NumberField.h"
#include "binding/Page.h"

class QCheckBox;
class QGridLayout;
class QPushButton;
class QTableWidget;

namespace kdt::gui {

class BitMatrix;
class RadioGroup;
class SquareStrip;
struct MatrixCell;

// The page's controls in the journal.
namespace directions {
inline constexpr ControlId kProgramField = 300;  // + tag 1..5: LabeledEdit9, 10, 14, 15, 17
inline constexpr ControlId kManualField = 305;   // + tag 1..5: Edit1..Edit5
inline constexpr ControlId kOption = 311;        // CheckBox1
inline constexpr ControlId kClear = 312;         // SbrosUst
inline constexpr ControlId kChannel = 320;       // + channel 1..32: the squares Shape33.. (shape "n")
inline constexpr int kStructureCount = 5;        // head, green, red, tail, blink
inline constexpr int kDurationCount = 5;
inline constexpr int kOptionBytesPerDirection = 40;  // ten durations, five manual masks
}  // namespace directions

class DirectionsPage final : public Page {
    Q_OBJECT
public:
    DirectionsPage(PageContext& context, QWidget* parent);

    void Fill() override;  // NapravlClick
    void ApplyRomType() override;
    void RomTypeChosen() override;
    void PlanReplaced() override;
    void SelectionsReset() override;
    void RefreshEnabledStates() override;

    // The handlers, as the controls and the journal call them.
    void StringGrid3SelectCell(int row);
    void Shape33MouseUp(int channel);
    void PaintBox1MouseUp(const MatrixCell& cell);
    void CheckBox1Click();
    void SbrosUstClick();

    int direction() const { return direction_; }
    int structure() const { return structure_; }
    NumberField* programField(int tag) const { return program_[static_cast<std::size_t>(tag - 1)]; }
    NumberField* manualField(int tag) const { return manual_[static_cast<std::size_t>(tag - 1)]; }

private:
    void BuildFields(QGridLayout* grid);
    void RegisterInJournal();

    // Toggles channel k in the selected structure of the current direction.
    void ToggleChannel(int channel);
    void SelectStructure(int structure);
    void LoadDurationFields();
    void ShowMatrix();
    void ShowSquares();
    void ShowGrid();
    void ShowOption();
    void UpdateFieldStates();
    void ProgramCascade(int tag, int shown);
    QString DescribeChannel(int channel) const;
    QString DescribeCell(const MatrixCell& cell) const;

    // The current direction's records; direction_ is kept within 1..16.
    std::size_t index() const;
    TDirectionSettings& Program(TSignalPlan& plan) const;
    const TDirectionSettings& Program(const TSignalPlan& plan) const;
    TDirectionSettings& Manual(TSignalPlan& plan) const;
    const TDirectionSettings& Manual(const TSignalPlan& plan) const;

    void ReplayOption(const JournalEntry& entry);
    void ReplayClear(const JournalEntry& entry);
    void ReplayChannel(int channel, const JournalEntry& entry);

    int direction_ = 1;
    int structure_ = 0;
    QTableWidget* grid_ = nullptr;
    SquareStrip* squares_ = nullptr;
    BitMatrix* matrix_ = nullptr;
    RadioGroup* structures_ = nullptr;
    std::array<NumberField*, directions::kDurationCount> program_{};
    std::array<NumberField*, directions::kDurationCount> manual_{};
    QCheckBox* option_ = nullptr;
    QPushButton* clear_ = nullptr;
};

// The mask of structure s (0..4) of a direction, and the five in order.
std::uint32_t StructureMask(const TDirectionSettings& direction, int structure);
void SetStructureMask(TDirectionSettings& direction, int structure, std::uint32_t mask);

}  // namespace kdt::gui

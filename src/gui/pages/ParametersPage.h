// Page 1, "Параметры": the plan-wide counts and times, the network type and
// address, the interface and ROM types, the comment and the two option
// boxes; choosing the ROM type adapts every page to it.
#pragma once

#include <array>
#include <memory>

#include "binding/NumberField.h"
#include "binding/Page.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QVBoxLayout;

namespace kdt::gui {

class PlainLineEdit;
class RadioGroup;
class UpDownEdit;

// The page's controls in the journal.
namespace parameters {
inline constexpr ControlId kCountField = 100;      // + tag 1..8: LabeledEdit1..8
inline constexpr ControlId kNetworkType = 109;     // ComboBox1
inline constexpr ControlId kNetworkAddress = 110;  // SpinEdit1
inline constexpr ControlId kVpuInterface = 111;    // RadioGroup4
inline constexpr ControlId kRomType = 112;         // RadioGroup3
inline constexpr ControlId kTvpInterface = 113;    // RadioGroup5
inline constexpr ControlId kComment = 114;         // LabeledEdit20
inline constexpr int kCommentTypedLimit = 140;
}  // namespace parameters

class ParametersPage final : public Page {
    Q_OBJECT
public:
    ParametersPage(PageContext& context, QWidget* parent);

    void Fill() override;
    void ApplyRomType() override;

    NumberField* numberField(int tag) const { return numbers_[static_cast<std::size_t>(tag - 1)]; }

    // The handlers, as the controls and the journal call them.
    void ComboBox1Change(int item);
    void ComboBox2Change();
    void RadioGroup3Click(int item);
    void RadioGroup4Click(int item);
    void RadioGroup5Click(int item);
    void LabeledEdit20Change();
    void LabeledEdit1Exit();

private:
    void BuildNumberFields(QGridLayout* grid);
    void BuildNetwork(QVBoxLayout* column);
    void BuildInterfaces(QVBoxLayout* column);
    void BuildComment(QVBoxLayout* page);
    void RegisterInJournal();

    void CountCascade(int tag, int shown);
    std::string CascadeSnapshot(int tag) const;
    void CascadeRestore(int tag, std::string_view bytes);

    // The network type applied to the address editor; the address it takes
    // is stored and recorded as the user's would be.
    void ApplyNetworkType();
    void ShowAddressEditor();
    void FillNetworkList();
    void ReplayNetworkType(const JournalEntry& entry);
    void ReplayRadio(RadioGroup* group, const JournalEntry& entry);

    std::array<NumberField*, 8> numbers_{};
    QComboBox* networkType_ = nullptr;
    UpDownEdit* address_ = nullptr;
    RadioGroup* vpuInterface_ = nullptr;
    RadioGroup* romType_ = nullptr;
    RadioGroup* tvpInterface_ = nullptr;
    PlainLineEdit* comment_ = nullptr;
    QCheckBox* speedIndicator_ = nullptr;  // CheckBox2, bit 0
    QCheckBox* detectors_ = nullptr;       // CheckBox3, bit 1
};

}  // namespace kdt::gui

#include "pages/ParametersPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/KeyFilters.h"
#include "components/PlainLineEdit.h"
#include "components/RadioGroup.h"
#include "components/UpDownEdit.h"
#include "data/TextEncoding.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace parameters;

constexpr std::string_view kSecondsHint = "|Еденица длитильности равна 1 секунде";

constexpr std::array<std::string_view, 6> kNetworkTypes = {"Нет сети", "ТСКУ",    "АСУДД",
                                                           "ВЕДУЩИЙ",  "ВЕДОМЫЙ", "САУДТ"};
constexpr std::uint8_t kProgramCommandBase = 127;

// The network types a ROM type offers.
int OfferedNetworkTypes(const TSignalPlan& plan) {
    if (plan.RomVersion <= 1) return 3;
    if (plan.RomVersion == 2) return 5;
    return 6;
}

QStringList Texts(std::initializer_list<std::string_view> texts) {
    QStringList list;
    for (const std::string_view text : texts) list << ToQString(text);
    return list;
}

NumberRange Fixed(int minimum, int maximum) {
    return {minimum, maximum};
}

// One line per number field of the page: name, label, hint, tag, scale, field, limits.
std::array<NumberFieldLine, 8> NumberFieldLines() {
    return {{
        {kCountField + 1,
         "LabeledEdit1",
         "Всего фаз ",
         {},
         ControlClass::LabeledEdit,
         1,
         1,
         [](const TSignalPlan& p) { return unsigned{p.PhaseCount}; },
         [](TSignalPlan& p, unsigned v) { p.PhaseCount = static_cast<std::uint8_t>(v); },
         [](const TSignalPlan&) { return Fixed(1, kMaxPhases); }},
        {kCountField + 2,
         "LabeledEdit2",
         "Всего направлений ",
         {},
         ControlClass::LabeledEdit,
         2,
         1,
         [](const TSignalPlan& p) { return unsigned{p.DirectionCount}; },
         [](TSignalPlan& p, unsigned v) { p.DirectionCount = static_cast<std::uint8_t>(v); },
         [](const TSignalPlan&) { return Fixed(1, kMaxDirections); }},
        {kCountField + 3,
         "LabeledEdit3",
         "Всего программ ",
         {},
         ControlClass::LabeledEdit,
         3,
         1,
         [](const TSignalPlan& p) { return unsigned{p.ProgramCount}; },
         [](TSignalPlan& p, unsigned v) { p.ProgramCount = static_cast<std::uint8_t>(v); },
         [](const TSignalPlan&) { return Fixed(1, kMaxPrograms); }},
        {kCountField + 4,
         "LabeledEdit4",
         "Всего кнопок ТВП ",
         {},
         ControlClass::LabeledEdit,
         4,
         1,
         [](const TSignalPlan& p) { return unsigned{p.TvpButtonCount}; },
         [](TSignalPlan& p, unsigned v) { p.TvpButtonCount = static_cast<std::uint8_t>(v); },
         [](const TSignalPlan&) { return Fixed(0, kMaxTvpButtons); }},
        {kCountField + 5, "LabeledEdit5", "Минимальная длительность фазы ", kSecondsHint,
         ControlClass::LabeledEdit, 5, 2, [](const TSignalPlan& p) { return unsigned{p.MinPhaseDuration}; },
         [](TSignalPlan& p, unsigned v) { p.MinPhaseDuration = static_cast<std::uint16_t>(v); },
         [](const TSignalPlan& p) { return Fixed(0, MinPhaseDurationLimit(p)); }},
        {kCountField + 6,
         "LabeledEdit6",
         "Число миганий в конце фазы ",
         {},
         ControlClass::LabeledEdit,
         6,
         1,
         [](const TSignalPlan& p) { return unsigned{p.PhaseEndBlinkCount}; },
         [](TSignalPlan& p, unsigned v) { p.PhaseEndBlinkCount = static_cast<std::uint8_t>(v); },
         [](const TSignalPlan&) { return Fixed(0, 10); }},
        {kCountField + 7, "LabeledEdit7", "Период выхода из конфликта ", kSecondsHint,
         ControlClass::LabeledEdit, 7, 2, [](const TSignalPlan& p) { return unsigned{p.ConflictExitPeriod}; },
         [](TSignalPlan& p, unsigned v) { p.ConflictExitPeriod = static_cast<std::uint16_t>(v); },
         [](const TSignalPlan& p) { return Fixed(5, ConflictExitPeriodLimit(p)); }},
        {kCountField + 8,
         "LabeledEdit8",
         "Число повторов на конфликт ",
         {},
         ControlClass::LabeledEdit,
         8,
         1,
         [](const TSignalPlan& p) { return unsigned{p.ConflictRepeatCount}; },
         [](TSignalPlan& p, unsigned v) { p.ConflictRepeatCount = static_cast<std::uint8_t>(v); },
         [](const TSignalPlan&) { return Fixed(1, 10); }},
    }};
}

QString ScheduleWarning() {
    return ToQString(
        "В \"суточном графике\" обнаружены несуществующие программы \"АПП\"\n\r"
        "Они были заменены на команду \"ОС\"");
}

}  // namespace

ParametersPage::ParametersPage(PageContext& context, QWidget* parent) : Page(1, context, parent) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->setSpacing(3);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(10);
    auto* numbers = new QGridLayout;
    numbers->setHorizontalSpacing(4);
    numbers->setVerticalSpacing(1);
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    columns->addLayout(numbers);
    columns->addLayout(right, 1);
    page->addLayout(columns);
    BuildNumberFields(numbers);
    BuildNetwork(right);
    BuildInterfaces(right);
    BuildComment(page);
    RegisterInJournal();
}

// ---------------------------------------------------------------- building

void ParametersPage::BuildNumberFields(QGridLayout* grid) {
    const std::array<NumberFieldLine, 8> lines = NumberFieldLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* field = new NumberField(context(), lines[i], this);
        const int tag = lines[i].tag;
        field->cascade = [this, tag](int shown) { CountCascade(tag, shown); };
        field->cascadeSnapshot = [this, tag](const TSignalPlan&) { return CascadeSnapshot(tag); };
        field->cascadeRestore = [this, tag](TSignalPlan&, std::string_view bytes) {
            CascadeRestore(tag, bytes);
        };
        // Eight rows and the comment fit the fixed page area only this tall.
        field->edit()->setFixedSize(52, 20);
        grid->addWidget(field->label(), static_cast<int>(i), 0);
        grid->addWidget(field->edit(), static_cast<int>(i), 1);
        numbers_[i] = field;
    }
    OnLeave(numbers_[0]->edit(), [this] { LabeledEdit1Exit(); });
}

void ParametersPage::BuildNetwork(QVBoxLayout* column) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    column->addLayout(grid);
    // One label in the original ("Тип сети           Адрес "); here each part stands over its control.
    auto* label = new QLabel(ToQString("Тип сети"), this);
    auto* addressLabel = new QLabel(ToQString("Адрес "), this);
    networkType_ = new QComboBox(this);
    networkType_->setObjectName(QStringLiteral("ComboBox1"));
    networkType_->setAccessibleName(ToQString("Тип сети"));
    label->setBuddy(networkType_);
    address_ = new UpDownEdit(this);
    address_->setObjectName(QStringLiteral("SpinEdit1"));
    address_->setAccessibleName(ToQString("Адрес"));
    NumberKeyFilter::Install(address_, [this] { context().Beep(); });
    addressLabel->setBuddy(address_);
    address_->setFixedWidth(70);
    grid->setColumnStretch(0, 1);
    grid->addWidget(label, 0, 0);
    grid->addWidget(addressLabel, 0, 1);
    grid->addWidget(networkType_, 1, 0);
    grid->addWidget(address_, 1, 1);
    connect(networkType_, &QComboBox::activated, this, [this](int item) { ComboBox1Change(item); });
    connect(address_, &QLineEdit::textChanged, this, [this] { ComboBox2Change(); });
    // The spin edit shows the value it took once it is left.
    OnLeave(address_, [this] {
        const FillGuard guard = context().Fill();
        address_->setText(QString::number(context().addressEditor().value));
    });
}

void ParametersPage::BuildInterfaces(QVBoxLayout* column) {
    const QStringList kinds = Texts({"Параллельный", "Последовательный"});
    vpuInterface_ = new RadioGroup(ToQString("Интерфейс (тип) ВПУ "), kinds, 1, this);
    vpuInterface_->setObjectName(QStringLiteral("RadioGroup4"));
    tvpInterface_ = new RadioGroup(ToQString("Интерфейс (тип) ТВП "), kinds, 1, this);
    tvpInterface_->setObjectName(QStringLiteral("RadioGroup5"));
    QStringList romTypes;
    for (const std::string_view caption : kRomTypeCaptions) romTypes << ToQString(caption);
    romType_ = new RadioGroup(ToQString(" Тип ПЗУ пользователя "), romTypes, 3, this);
    romType_->setObjectName(QStringLiteral("RadioGroup3"));
    // Two rows of items fit in less than the groups ask for; the page has no more height.
    for (RadioGroup* group : {vpuInterface_, tvpInterface_, romType_}) group->setMinimumHeight(52);
    auto* interfaces = new QHBoxLayout;
    interfaces->setSpacing(6);
    interfaces->addWidget(vpuInterface_);
    interfaces->addWidget(tvpInterface_);
    column->addLayout(interfaces);
    column->addWidget(romType_);

    speedIndicator_ = new QCheckBox(ToQString("Используются УСк и ТОО"), this);
    speedIndicator_->setObjectName(QStringLiteral("CheckBox2"));
    detectors_ = new QCheckBox(ToQString("Используются ДТ"), this);
    detectors_->setObjectName(QStringLiteral("CheckBox3"));
    auto* options = new QHBoxLayout;
    options->addWidget(speedIndicator_);
    options->addWidget(detectors_);
    column->addLayout(options);
    column->addStretch(1);

    connect(vpuInterface_, &RadioGroup::itemChosen, this, [this](int item) { RadioGroup4Click(item); });
    connect(tvpInterface_, &RadioGroup::itemChosen, this, [this](int item) { RadioGroup5Click(item); });
    connect(romType_, &RadioGroup::itemChosen, this, [this](int item) { RadioGroup3Click(item); });
    // The option boxes record nothing: they only set their bit.
    const auto bindBit = [this](QCheckBox* box, std::uint8_t bit) {
        connect(box, &QCheckBox::toggled, this, [this, bit](bool on) {
            if (filling()) return;
            TSignalPlan& p = plan();
            p.OptionFlags = static_cast<std::uint8_t>(on ? p.OptionFlags | bit : p.OptionFlags & ~bit);
        });
    };
    bindBit(speedIndicator_, 1);
    bindBit(detectors_, 2);
}

void ParametersPage::BuildComment(QVBoxLayout* page) {
    auto* label = new QLabel(ToQString("Коментарий "), this);
    comment_ = new PlainLineEdit(this);
    comment_->setObjectName(QStringLiteral("LabeledEdit20"));
    comment_->setAccessibleName(AccessibleNameOf(label->text()));
    label->setBuddy(comment_);
    TextKeyFilter::Install(
        comment_, [this] { context().Beep(); }, kCommentTypedLimit);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(label);
    row->addWidget(comment_, 1);
    page->addLayout(row);
    connect(comment_, &QLineEdit::textChanged, this, [this] { LabeledEdit20Change(); });
}

void ParametersPage::RegisterInJournal() {
    for (NumberField* field : numbers_) {
        ControlInfo info{1, ControlClass::LabeledEdit, field->line().tag, std::string(field->line().caption)};
        info.replay = [field](const JournalEntry& entry, ReplaySide) { field->Replay(entry); };
        journal().Register(field->line().id, std::move(info));
    }
    journal().Register(
        kNetworkType, {1, ControlClass::ComboBox, 1, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                           ReplayNetworkType(entry);
                       }});
    journal().Register(
        kNetworkAddress,
        {1, ControlClass::SpinEdit, 2, {}, true, [this](const JournalEntry& entry, ReplaySide) {
             {
                 const FillGuard guard = context().Fill();
                 address_->setText(ToQString(entry.payload));
             }
             ComboBox2Change();
         }});
    journal().Register(
        kVpuInterface,
        {1, ControlClass::RadioGroup, 4, {}, true, [this](const JournalEntry& entry, ReplaySide) {
             ReplayRadio(vpuInterface_, entry);
         }});
    journal().Register(
        kTvpInterface,
        {1, ControlClass::RadioGroup, 5, {}, true, [this](const JournalEntry& entry, ReplaySide) {
             ReplayRadio(tvpInterface_, entry);
         }});
    journal().Register(
        kRomType, {1, ControlClass::RadioGroup, 6, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                       ReplayRadio(romType_, entry);
                   }});
    journal().Register(kComment, {1, ControlClass::LabeledEdit, 0, "Коментарий ", true,
                                  [this](const JournalEntry& entry, ReplaySide) {
                                      {
                                          const FillGuard guard = context().Fill();
                                          comment_->setText(ToQString(Cp1251ToUtf8(entry.payload)));
                                      }
                                      LabeledEdit20Change();
                                  }});
}

// ---------------------------------------------------------------- showing

void ParametersPage::Fill() {
    const TSignalPlan& p = plan();
    romType_->setItemIndex(p.RomVersion);
    tvpInterface_->setEnabled(IsRom42x(p));
    ShowAddressEditor();
    for (NumberField* field : numbers_) field->Fill();
    vpuInterface_->setItemIndex(p.VpuInterface);
    tvpInterface_->setItemIndex(p.TvpInterface);
    comment_->setText(ToQString(Cp1251ToUtf8(StoredText(p.Comment))));
    speedIndicator_->setChecked((p.OptionFlags & 1) != 0);
    detectors_->setChecked((p.OptionFlags & 2) != 0);
    networkType_->setCurrentIndex(p.NetworkType < networkType_->count() ? p.NetworkType : 0);
}

void ParametersPage::ApplyRomType() {
    const FillGuard guard = context().Fill();
    const TSignalPlan& p = plan();
    for (NumberField* field : numbers_) field->ApplyLimits();
    speedIndicator_->setVisible(IsRom42x(p));
    detectors_->setVisible(p.RomVersion == kRom421);
    tvpInterface_->setEnabled(IsRom42x(p));
    numberField(6)->edit()->setEnabled(p.RomVersion == 0);
    vpuInterface_->setEnabled(p.RomVersion >= 2);
    romType_->setItemIndex(p.RomVersion);
    FillNetworkList();
}

void ParametersPage::FillNetworkList() {
    const TSignalPlan& p = plan();
    networkType_->clear();
    for (int i = 0; i < OfferedNetworkTypes(p); ++i)
        networkType_->addItem(ToQString(kNetworkTypes[static_cast<std::size_t>(i)]));
    // A type the list no longer offers stays in the plan until the user picks one.
    networkType_->setCurrentIndex(p.NetworkType < networkType_->count() ? p.NetworkType : 0);
    ShowAddressEditor();
}

void ParametersPage::ShowAddressEditor() {
    const FillGuard guard = context().Fill();
    const NetworkAddressEditor& editor = context().addressEditor();
    address_->setRange(0, editor.maximum);
    address_->setEnabled(editor.enabled);
    address_->setText(QString::number(editor.value));
}

// ---------------------------------------------------------------- the number fields

void ParametersPage::CountCascade(int tag, int shown) {
    TSignalPlan& p = plan();
    if (tag == 3) {
        bool replaced = false;
        for (auto& day : p.Schedule)
            for (TScheduleEntry& row : day)
                if (row.Command > kProgramCommandBase && row.Command - kProgramCommandBase > p.ProgramCount) {
                    row.Command = kCommandSignalsOff;
                    replaced = true;
                }
        if (replaced) {
            MessageRequest warning;
            warning.icon = MessageIcon::Warning;
            warning.caption = ToQString("предупреждение");
            warning.text = ScheduleWarning();
            context().Message(warning);
        }
    }
    if (tag == 5) {
        const auto floor = static_cast<std::uint16_t>(std::min(shown, kPhaseTimeLimit));
        for (int phase = 0; phase < kMaxPhases; ++phase)
            p.PhaseMinTime[phase] = std::max<std::uint16_t>(p.PhaseMinTime[phase], floor);
    }
    // The coordinator block must keep within its 99 bytes.
    const int limit = CoordControllerLimit(p);
    if (p.CoordControllerCount > limit) p.CoordControllerCount = static_cast<std::uint8_t>(limit);
}

std::string ParametersPage::CascadeSnapshot(int tag) const {
    const TSignalPlan& p = plan();
    std::string bytes = ByteText(p.CoordControllerCount);
    if (tag == 3)
        for (const auto& day : p.Schedule)
            for (const TScheduleEntry& row : day) bytes += ByteText(row.Command);
    if (tag == 5)
        for (int phase = 0; phase < kMaxPhases; ++phase) bytes += WordText(p.PhaseMinTime[phase]);
    return bytes;
}

void ParametersPage::CascadeRestore(int tag, std::string_view bytes) {
    TSignalPlan& p = plan();
    p.CoordControllerCount = static_cast<std::uint8_t>(ByteAt(bytes, 0));
    std::size_t at = 1;
    if (tag == 3)
        for (auto& day : p.Schedule)
            for (TScheduleEntry& row : day) row.Command = static_cast<std::uint8_t>(ByteAt(bytes, at++));
    if (tag == 5)
        for (int phase = 0; phase < kMaxPhases; ++phase, at += 2)
            p.PhaseMinTime[phase] = static_cast<std::uint16_t>(WordAt(bytes, at));
}

void ParametersPage::LabeledEdit1Exit() {
    // An entry that was not taken disappears; what stands then is what is stored.
    NumberField* field = numberField(1);
    if (field->TakesText()) return;
    const FillGuard guard = context().Fill();
    field->edit()->setText(QString::number(field->shownValue()));
}

// ---------------------------------------------------------------- network

void ParametersPage::ComboBox1Change(int item) {
    if (filling() || item < 0 || item == plan().NetworkType) return;
    journal().Record(kNetworkType, std::to_string(plan().NetworkType + 1));
    plan().NetworkType = static_cast<std::uint8_t>(item);
    ApplyNetworkType();
}

void ParametersPage::ApplyNetworkType() {
    TSignalPlan& p = plan();
    const std::uint16_t previous = p.NetworkAddress;
    kdt::ApplyNetworkTypeToAddressEditor(p, context().addressEditor());
    if (p.NetworkAddress != previous) journal().Record(kNetworkAddress, std::to_string(previous));
    ShowAddressEditor();
}

void ParametersPage::ComboBox2Change() {
    if (filling()) return;
    NetworkAddressEditor& editor = context().addressEditor();
    // As the spin edit reads itself: no number is 0, and the value is clamped.
    const int typed = ParseWholeNumber(address_->text()).value_or(0);
    const auto value = static_cast<std::uint16_t>(std::clamp(typed, 0, int{editor.maximum}));
    TSignalPlan& p = plan();
    if (value != p.NetworkAddress) journal().Record(kNetworkAddress, std::to_string(p.NetworkAddress));
    SetEditorNetworkAddress(p, editor, value);
}

void ParametersPage::ReplayNetworkType(const JournalEntry& entry) {
    const int type = ParseWholeNumber(ToQString(entry.payload)).value_or(1) - 1;
    if (type >= 0 && type < networkType_->count()) {
        {
            const FillGuard guard = context().Fill();
            networkType_->setCurrentIndex(type);
        }
        ComboBox1Change(type);
        return;
    }
    // A type the list does not offer goes back into the plan directly.
    journal().Record(kNetworkType, std::to_string(plan().NetworkType + 1));
    plan().NetworkType = static_cast<std::uint8_t>(std::clamp(type, 0, 255));
    {
        const FillGuard guard = context().Fill();
        networkType_->setCurrentIndex(0);
    }
    ApplyNetworkType();
}

// ---------------------------------------------------------------- interfaces, ROM type, comment

void ParametersPage::RadioGroup4Click(int item) {
    if (filling()) return;
    journal().Record(kVpuInterface, std::to_string(plan().VpuInterface));
    plan().VpuInterface = static_cast<std::uint8_t>(item);
}

void ParametersPage::RadioGroup5Click(int item) {
    if (filling()) return;
    journal().Record(kTvpInterface, std::to_string(plan().TvpInterface));
    plan().TvpInterface = static_cast<std::uint8_t>(item);
}

void ParametersPage::RadioGroup3Click(int item) {
    if (filling()) return;
    journal().Record(kRomType, std::to_string(plan().RomVersion));
    plan().RomVersion = static_cast<std::uint8_t>(item);
    context().ForEachPage([](Page& page) { page.ApplyRomType(); });
    context().ForEachPage([](Page& page) { page.RomTypeChosen(); });
}

void ParametersPage::ReplayRadio(RadioGroup* group, const JournalEntry& entry) {
    const int item = ParseWholeNumber(ToQString(entry.payload)).value_or(0);
    if (item < group->count()) {
        group->setItemIndex(item);  // its handler records the counter-entry
        return;
    }
    // A value from a file that no item shows goes back into the plan directly.
    const auto value = static_cast<std::uint8_t>(std::min(item, 255));
    std::uint8_t* field = group == vpuInterface_   ? &plan().VpuInterface
                          : group == tvpInterface_ ? &plan().TvpInterface
                                                   : &plan().RomVersion;
    const ControlId id = group == vpuInterface_   ? kVpuInterface
                         : group == tvpInterface_ ? kTvpInterface
                                                  : kRomType;
    journal().Record(id, std::to_string(*field));
    *field = value;
    const FillGuard guard = context().Fill();
    group->setItemIndex(-1);
    if (group == romType_) context().ForEachPage([](Page& page) { page.ApplyRomType(); });
}

void ParametersPage::LabeledEdit20Change() {
    if (filling()) return;
    TSignalPlan& p = plan();
    const QString text = comment_->text();
    if (!FitsCp1251(text)) {
        // Only text the record can hold gets in, whatever way it came.
        {
            const FillGuard guard = context().Fill();
            comment_->setText(ToQString(Cp1251ToUtf8(StoredText(p.Comment))));
        }
        context().Beep();
        return;
    }
    journal().Record(kComment, StoredText(p.Comment));
    StoreText(p.Comment, Utf8ToCp1251(ToUtf8(text)));
}

}  // namespace kdt::gui

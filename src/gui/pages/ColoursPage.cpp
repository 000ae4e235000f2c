#include "pages/ColoursPage.h"

#include <bit>

#include <QButtonGroup>
#include <QGridLayout>
#include <QPushButton>
#include <QToolButton>

#include "binding/FieldTexts.h"
#include "components/SquareStrip.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace colours;

constexpr int kLastChannel = kChannelCount;
constexpr int kNoChannelPosition = kChannelCount + 1;  // where the keys start without a current channel
constexpr int kRowLength = 16;

const QColor kGreyOutline(0x80, 0x80, 0x80);
const QColor kBlackOutline(0x00, 0x00, 0x00);

constexpr std::array<std::string_view, kModeCount> kModeCaptions = {
    "Привязка цвета к каналу   [F1]",   "Уставка желтое мигание   [F2]",    "Уставка кругом красное   [F3]",
    "Уставка конфликт зеленого   [F4]", "Уставка конфликт красного   [F5]",
};
constexpr std::array<std::string_view, kModeCount - 1> kSettingNames = {
    "желтое мигание", "кругом красное", "конфликт зеленого", "конфликт красного"};
constexpr std::array<std::string_view, 4> kColourNames = {"без цвета", "красный", "жёлтый", "зелёный"};

std::uint32_t ChannelBit(int channel) {
    return 1u << (channel - 1);
}

// The arrows' move from position c (1..32, or 33 without a current channel).
int Moved(int from, int key) {
    int to = from;
    switch (key) {
        case Qt::Key_Left:
            to = from - 1;
            break;
        case Qt::Key_Right:
            to = from + 1;
            break;
        case Qt::Key_Up:
            to = from - kRowLength;
            if (to < 1) to = from + kRowLength;
            break;
        case Qt::Key_Down:
            to = from + kRowLength;
            if (to > kLastChannel) to = from - kRowLength;
            break;
        default:
            break;
    }
    if (to > kLastChannel) return 1;
    if (to < 1) return kLastChannel;
    return to;
}

// The colour a digit key gives: 1 red, 2 yellow, 3 green, 4 none.
std::uint8_t ColourOfDigitKey(int key) {
    switch (key) {
        case Qt::Key_1:
            return kRed;
        case Qt::Key_2:
            return kYellow;
        case Qt::Key_3:
            return kGreen;
        default:
            return 0;
    }
}

}  // namespace

QColor ChannelFill(std::uint8_t colour) {
    switch (colour) {
        case kRed:
            return QColor(0xFF, 0x00, 0x00);
        case kYellow:
            return QColor(0xFF, 0xFF, 0x00);
        case kGreen:
            return QColor(0x00, 0xFF, 0x00);
        default:
            return QColor(0xFF, 0xFF, 0xFF);
    }
}

ColoursPage::ColoursPage(PageContext& context, QWidget* parent) : Page(2, context, parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(6);

    SquareStrip::Geometry geometry;
    geometry.count = kChannelCount;
    geometry.columns = kRowLength;
    geometry.squareSize = 18;
    geometry.pitch = 23;
    geometry.rowGap = 4;
    geometry.markerLine = true;
    squares_ = new SquareStrip(geometry, this);
    squares_->setObjectName(QStringLiteral("Shape1"));
    squares_->setAccessibleName(ToQString("Каналы"));
    // Space, the digits and the arrows act on their release, through the main window.
    squares_->setOwnerHandlesKeys(true);
    squares_->setDescriber([this](int channel) { return Describe(channel); });
    layout->addWidget(squares_, 0, 0, Qt::AlignLeft | Qt::AlignTop);

    auto* modeColumn = new QVBoxLayout;
    modeColumn->setSpacing(1);
    modes_ = new QButtonGroup(this);
    modes_->setExclusive(true);
    for (int mode = 1; mode <= kModeCount; ++mode) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(mode));
        button->setText(ToQString(kModeCaptions[static_cast<std::size_t>(mode - 1)]));
        button->setCheckable(true);
        // Never the focus: Space and the arrows belong to the channels.
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        modes_->addButton(button, mode);
        modeColumn->addWidget(button);
        modeButtons_[static_cast<std::size_t>(mode - 1)] = button;
    }
    modeColumn->addStretch(1);
    layout->addLayout(modeColumn, 0, 1, 2, 1);

    auto* commands = new QHBoxLayout;
    commands->setSpacing(8);
    autoButton_ = new QPushButton(ToQString("[F6] Авто\nУставки"), this);
    autoButton_->setObjectName(QStringLiteral("BitBtn1"));
    autoButton_->setFocusPolicy(Qt::NoFocus);
    SetHint(autoButton_,
            "|Автоматически создает перечисленные уставки (Если необходимо отредактируйте результат)");
    autoButton_->setAccessibleName(ToQString("Авто Уставки"));
    clearButton_ = new QPushButton(ToQString("&Очистка"), this);
    clearButton_->setObjectName(QStringLiteral("Button3"));
    // No focus either; Alt+О reaches it all the same.
    clearButton_->setFocusPolicy(Qt::NoFocus);
    SetHint(clearButton_, "Сброс текущих параметров");
    commands->addWidget(autoButton_);
    commands->addWidget(clearButton_);
    commands->addStretch(1);
    layout->addLayout(commands, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(1, 1);

    connect(modes_, &QButtonGroup::idClicked, this, [this](int mode) { SpeedButton1Click(mode); });
    connect(squares_, &SquareStrip::cellReleased, this,
            [this](int channel, Qt::MouseButton button) { Shape1MouseUp(channel, button); });
    connect(autoButton_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(clearButton_, &QPushButton::clicked, this, [this] { Button3Click(); });
    RegisterInJournal();
}

void ColoursPage::RegisterInJournal() {
    journal().Register(kSquares,
                       {2, ControlClass::Shape, 0, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayShape(entry);
                        }});
    journal().Register(
        kAutoSettings,
        {2, ControlClass::BitButton, 0, {}, false, [this](const JournalEntry& entry, ReplaySide) {
             ReplayAutoSettings(entry);
         }});
    journal().Register(kClear,
                       {2, ControlClass::Button, 3, {}, false, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayClear(entry);
                        }});
}

// ---------------------------------------------------------------- the record

std::uint32_t ColoursPage::ModeMask(int mode) const {
    const TSignalPlan& p = plan();
    switch (mode) {
        case 1:
            return p.CurrentChannelMask;
        case 2:
            return p.YellowFlashMask;
        case 3:
            return p.AllRedMask;
        case 4:
            return p.GreenConflictMask;
        case 5:
            return p.RedConflictMask;
        default:
            return 0;
    }
}

void ColoursPage::SetModeMask(int mode, std::uint32_t mask) {
    TSignalPlan& p = plan();
    switch (mode) {
        case 1:
            p.CurrentChannelMask = mask;
            break;
        case 2:
            p.YellowFlashMask = mask;
            break;
        case 3:
            p.AllRedMask = mask;
            break;
        case 4:
            p.GreenConflictMask = mask;
            break;
        case 5:
            p.RedConflictMask = mask;
            break;
        default:
            break;
    }
}

int ColoursPage::currentChannel() const {
    const std::uint32_t mask = plan().CurrentChannelMask;
    return mask == 0 ? 0 : std::countr_zero(mask) + 1;
}

bool ColoursPage::AnyColour() const {
    for (const std::uint8_t colour : plan().ChannelColour)
        if (colour != 0) return true;
    return false;
}

bool ColoursPage::autoSettingsAvailable() const {
    return mode_ == 1 ? AnyColour() && coloursChanged_ : autoAvailable_;
}

// ---------------------------------------------------------------- showing

void ColoursPage::Fill() {
    if (mode_ < 1 || mode_ > kModeCount) mode_ = 1;
    SpeedButton1Click(mode_);
}

void ColoursPage::PlanReplaced() {
    coloursChanged_ = true;
}

void ColoursPage::SelectionsReset() {
    mode_ = 1;
}

void ColoursPage::ShowSquares() {
    const TSignalPlan& p = plan();
    const std::uint32_t setting = mode_ == 1 ? 0u : ModeMask(mode_);
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        const bool member = (setting & ChannelBit(channel)) != 0;
        // A member's black outline is drawn two pixels wide, so a setting shows at a glance.
        squares_->setSquare(channel, ChannelFill(p.ChannelColour[channel - 1]),
                            member ? kBlackOutline : kGreyOutline, member ? 2 : 1);
    }
    const int current = currentChannel();
    squares_->setMarkedCell(current);
    if (current != 0) squares_->setFocusCell(current);
    squares_->UpdateDescription();
}

QString ColoursPage::Describe(int channel) const {
    const std::uint8_t colour = plan().ChannelColour[channel - 1];
    QString text = ToQString("канал ") + QString::number(channel) + QStringLiteral(", ") +
                   ToQString(kColourNames[colour < kColourNames.size() ? colour : 0]);
    if (mode_ >= 2 && mode_ <= kModeCount) {
        const bool member = (ModeMask(mode_) & ChannelBit(channel)) != 0;
        text += ToQString(member ? ", в уставке «" : ", не в уставке «") +
                ToQString(kSettingNames[static_cast<std::size_t>(mode_ - 2)]) + ToQString("»");
    }
    return text;
}

void ColoursPage::SpeedButton1Click(int mode) {
    if (mode < 1 || mode > kModeCount) return;
    mode_ = mode;
    modeButtons_[static_cast<std::size_t>(mode - 1)]->setChecked(true);
    ShowSquares();
}

void ColoursPage::RefreshEnabledStates() {
    if (mode_ == 1) {
        autoAvailable_ = AnyColour() && coloursChanged_;
        clearButton_->setEnabled(AnyColour());
    } else {
        clearButton_->setEnabled(ModeMask(mode_) != 0);
    }
    autoButton_->setEnabled(autoAvailable_);
}

// ---------------------------------------------------------------- channels

void ColoursPage::Shape1MouseUp(int channel, Qt::MouseButton button) {
    if (filling() || button != Qt::LeftButton || channel < 1 || channel > kChannelCount) return;
    ClickChannel(channel);
}

void ColoursPage::ClickChannel(int channel) {
    TSignalPlan& p = plan();
    coloursChanged_ = true;
    if (mode_ == 1) {
        const std::uint8_t old = p.ChannelColour[channel - 1];
        journal().Record(kSquares, "c" + ByteText(static_cast<unsigned>(channel)) + ByteText(old));
        p.ChannelColour[channel - 1] = static_cast<std::uint8_t>(old >= kGreen ? 0 : old + 1);
        p.CurrentChannelMask = ChannelBit(channel);
    } else {
        const std::uint32_t old = ModeMask(mode_);
        journal().Record(kSquares, "u" + ByteText(static_cast<unsigned>(mode_ - 1)) + DwordText(old));
        SetModeMask(mode_, old ^ ChannelBit(channel));
    }
    autoAvailable_ = true;
    ShowSquares();
}

void ColoursPage::GiveColour(int channel, std::uint8_t colour) {
    TSignalPlan& p = plan();
    coloursChanged_ = true;
    journal().Record(kSquares,
                     "c" + ByteText(static_cast<unsigned>(channel)) + ByteText(p.ChannelColour[channel - 1]));
    p.ChannelColour[channel - 1] = colour;
}

void ColoursPage::ChannelKeyReleased(int key) {
    if (filling()) return;
    const int current = currentChannel();
    const int from = current != 0 ? current : kNoChannelPosition;
    int result = current;
    switch (key) {
        case Qt::Key_Space:
            // Nothing without a current channel.
            if (current == 0) return;
            ClickChannel(current);
            break;
        case Qt::Key_1:
        case Qt::Key_2:
        case Qt::Key_3:
        case Qt::Key_4:
            if (mode_ != 1) {
                // The colour keys change nothing in the settings' modes.
                autoAvailable_ = true;
                return;
            }
            // Without a current channel nothing is coloured: the key only selects channel 1.
            if (current != 0) GiveColour(current, ColourOfDigitKey(key));
            result = Moved(from, Qt::Key_Right);
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            result = Moved(from, key);
            break;
        default:
            return;
    }
    plan().CurrentChannelMask = ChannelBit(result);
    autoAvailable_ = true;
    ShowSquares();
}

// ---------------------------------------------------------------- commands

void ColoursPage::BitBtn1Click() {
    if (filling()) return;
    RefreshEnabledStates();
    if (!autoSettingsAvailable()) return;
    TSignalPlan& p = plan();
    coloursChanged_ = false;
    journal().Record(kAutoSettings, DwordText(p.YellowFlashMask) + DwordText(p.AllRedMask) +
                                        DwordText(p.GreenConflictMask) + DwordText(p.RedConflictMask));
    // A colour that no channel has leaves its settings as they were.
    for (const std::uint8_t colour : {kRed, kYellow, kGreen}) {
        std::uint32_t set = 0;
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            if (p.ChannelColour[channel - 1] != colour) continue;
            set |= ChannelBit(channel);
            if (colour == kRed) {
                p.AllRedMask = set;
                p.RedConflictMask = set;
            } else if (colour == kYellow) {
                p.YellowFlashMask = set;
            } else {
                p.GreenConflictMask = set;
            }
        }
    }
    SpeedButton1Click(mode_);
}

void ColoursPage::Button3Click() {
    if (filling()) return;
    TSignalPlan& p = plan();
    coloursChanged_ = true;
    if (mode_ == 1) {
        if (AnyColour()) {
            std::string payload = ByteText(1);
            for (const std::uint8_t colour : p.ChannelColour) payload += ByteText(colour);
            journal().Record(kClear, std::move(payload));
            for (std::uint8_t& colour : p.ChannelColour) colour = 0;
        }
    } else {
        if (const std::uint32_t mask = ModeMask(mode_); mask != 0) {
            journal().Record(kClear, ByteText(static_cast<unsigned>(mode_)) + DwordText(mask));
            SetModeMask(mode_, 0);
        }
        autoAvailable_ = false;
    }
    Refill();
}

// ---------------------------------------------------------------- replays

void ColoursPage::ReplayShape(const JournalEntry& entry) {
    TSignalPlan& p = plan();
    const unsigned which = ByteAt(entry.payload, 0);
    if (which == 'c') {
        const int channel = static_cast<int>(ByteAt(entry.payload, 1));
        if (channel < 1 || channel > kChannelCount) return;
        // The journal writes the colour itself and records what it replaces.
        journal().Record(kSquares, "c" + ByteText(static_cast<unsigned>(channel)) +
                                       ByteText(p.ChannelColour[channel - 1]));
        p.ChannelColour[channel - 1] = static_cast<std::uint8_t>(ByteAt(entry.payload, 2));
        coloursChanged_ = true;
    } else if (which == 'u') {
        const int setting = static_cast<int>(ByteAt(entry.payload, 1));
        if (setting < 1 || setting > kModeCount - 1) return;
        journal().Record(kSquares,
                         "u" + ByteText(static_cast<unsigned>(setting)) + DwordText(ModeMask(setting + 1)));
        SetModeMask(setting + 1, DwordAt(entry.payload, 2));
        mode_ = setting + 1;
    }
}

void ColoursPage::ReplayAutoSettings(const JournalEntry& entry) {
    TSignalPlan& p = plan();
    p.YellowFlashMask = DwordAt(entry.payload, 0);
    p.AllRedMask = DwordAt(entry.payload, 4);
    p.GreenConflictMask = DwordAt(entry.payload, 8);
    p.RedConflictMask = DwordAt(entry.payload, 12);
    // The command is available again.
    coloursChanged_ = true;
    autoAvailable_ = true;
}

void ColoursPage::ReplayClear(const JournalEntry& entry) {
    TSignalPlan& p = plan();
    const int mode = static_cast<int>(ByteAt(entry.payload, 0));
    if (mode == 1) {
        for (int channel = 1; channel <= kChannelCount; ++channel)
            p.ChannelColour[channel - 1] =
                static_cast<std::uint8_t>(ByteAt(entry.payload, static_cast<std::size_t>(channel)));
        coloursChanged_ = true;
    } else if (mode >= 2 && mode <= kModeCount) {
        SetModeMask(mode, DwordAt(entry.payload, 1));
        mode_ = mode;
    }
}

}  // namespace kdt::gui

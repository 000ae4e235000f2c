// Page 2, "Цвета и Уставки": the colour of each of the 32 channels and the
// four settings ("уставки"), each a set of channels; five modes choose what
// a click on a channel edits; the automatic settings derive the four sets
// from the colours; "Очистка" empties the colours or the mode's set. The
// page's keys reach it from the main window, on their release.
#pragma once

#include <array>
#include <cstdint>

#include "binding/Page.h"

class QButtonGroup;
class QPushButton;
class QToolButton;

namespace kdt::gui {

class SquareStrip;

// The page's controls in the journal.
namespace colours {
inline constexpr ControlId kSquares = 201;       // Shape1..Shape32: the shapes "c" and "u"
inline constexpr ControlId kAutoSettings = 202;  // BitBtn1
inline constexpr ControlId kClear = 203;         // Button3
inline constexpr int kModeCount = 5;
inline constexpr std::uint8_t kRed = 1;
inline constexpr std::uint8_t kYellow = 2;
inline constexpr std::uint8_t kGreen = 3;
}  // namespace colours

// The fill of a channel's square: none white, red, yellow, bright green; a
// byte outside 0..3 is shown white.
QColor ChannelFill(std::uint8_t colour);

class ColoursPage final : public Page {
    Q_OBJECT
public:
    ColoursPage(PageContext& context, QWidget* parent);

    void Fill() override;  // ColorClick
    void PlanReplaced() override;
    void SelectionsReset() override;
    void RefreshEnabledStates() override;

    // The handlers, as the controls, the main window's keys and the journal call them.
    void SpeedButton1Click(int mode);
    void Shape1MouseUp(int channel, Qt::MouseButton button);
    void BitBtn1Click();
    void Button3Click();
    void ChannelKeyReleased(int key);  // Space, Key_1..Key_4, the arrows

    int mode() const { return mode_; }
    bool coloursChanged() const { return coloursChanged_; }
    bool autoSettingsAvailable() const;
    // The lowest set bit of CurrentChannelMask as a channel number, 0 for none.
    int currentChannel() const;
    SquareStrip* squares() const { return squares_; }

private:
    void RegisterInJournal();
    void ClickChannel(int channel);
    void GiveColour(int channel, std::uint8_t colour);
    void ShowSquares();
    QString Describe(int channel) const;
    bool AnyColour() const;
    std::uint32_t ModeMask(int mode) const;
    void SetModeMask(int mode, std::uint32_t mask);

    void ReplayShape(const JournalEntry& entry);
    void ReplayAutoSettings(const JournalEntry& entry);
    void ReplayClear(const JournalEntry& entry);

    int mode_ = 1;
    bool coloursChanged_ = true;
    bool autoAvailable_ = false;  // the command's state, kept in modes 2..5
    SquareStrip* squares_ = nullptr;
    QButtonGroup* modes_ = nullptr;
    std::array<QToolButton*, colours::kModeCount> modeButtons_{};
    QPushButton* autoButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
};

}  // namespace kdt::gui

// The key filters of the editor's fields. They see key presses before the
// field does: a refused character sounds the beep and never reaches the text.
#pragma once

#include <functional>

#include <QObject>

class QKeyEvent;
class QWidget;

namespace kdt::gui {

using BeepFunction = std::function<void()>;

// Number fields: digits and Backspace pass; Enter moves the focus to the
// next control and is swallowed; any other character is swallowed with a
// beep. Keys that type nothing (arrows, Home, Delete, Tab) pass.
class NumberKeyFilter final : public QObject {
    Q_OBJECT
public:
    NumberKeyFilter(BeepFunction beep, QObject* parent);
    static void Install(QWidget* field, BeepFunction beep);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BeepFunction beep_;
};

// Text fields that store Windows-1251 bytes: a character without a byte in
// that page is refused with a beep, and so is typing past maxCharacters
// (0: no limit of its own). A longer text set by the program stays whole.
class TextKeyFilter final : public QObject {
    Q_OBJECT
public:
    TextKeyFilter(BeepFunction beep, int maxCharacters, QObject* parent);
    static void Install(QWidget* field, BeepFunction beep, int maxCharacters = 0);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BeepFunction beep_;
    int maxCharacters_;
};

// Whether every character of the text has a byte in Windows-1251.
bool FitsCp1251(const QString& text);

// A key that would type a character (no Ctrl, Alt or Meta held).
bool TypesCharacter(const QKeyEvent& event);

// Calls back when the field is left: focus lost for any reason but a
// window deactivation or a popup, which do not leave the field.
void OnLeave(QWidget* field, std::function<void()> left);
// Whether losing the focus for this reason leaves a field.
inline bool LeavesField(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace kdt::gui

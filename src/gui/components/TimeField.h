// A time field "HH:MM" with an input mask, as the schedule and speed pages
// use it. The description's mask "!90:00;1;_" (an optional digit, then
// required ones) is Qt's "09:99;_", Qt reading 9 and 0 the other way round.
// The text is read as the description reads it: five characters with the
// blanks as spaces, the hour at characters 1..2 and the minute at 4..5
// (QLineEdit::text() drops the blanks and shifts them).
#pragma once

#include <optional>

#include "components/PlainLineEdit.h"

namespace kdt::gui {

class TimeField final : public PlainLineEdit {
    Q_OBJECT
public:
    static constexpr const char* kInputMask = "09:99;_";

    explicit TimeField(QWidget* parent = nullptr);

    // The five characters as shown, a blank position as a space: "  :  " when empty.
    QString timeText() const;
    bool isBlank() const;
    QString hourText() const { return timeText().mid(0, 2); }
    QString minuteText() const { return timeText().mid(3, 2); }
    // The parts as numbers, leading blanks skipped; none when a part is not
    // a number ("2 " is none, " 2" is 2).
    std::optional<int> hour() const;
    std::optional<int> minute() const;

    // Shows the time as "07:05". An hour of three digits (a damaged file's)
    // has no place in the field: it shows blank, the minute kept, so the
    // user types a new hour.
    void setTime(int hour, int minute);

protected:
    // A click selects the first character, so typing overwrites the time
    // from its first digit.
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// "%.2d:%.2d": the time as the grids show it.
QString TimeText(int hour, int minute);

}  // namespace kdt::gui

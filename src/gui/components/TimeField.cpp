#include "components/TimeField.h"

#include <QMouseEvent>

#include "components/UpDownEdit.h"

namespace kdt::gui {
namespace {

constexpr QChar kBlank = QLatin1Char('_');

}  // namespace

QString TimeText(int hour, int minute) {
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

TimeField::TimeField(QWidget* parent) : PlainLineEdit(parent) {
    setInputMask(QString::fromLatin1(kInputMask));
}

QString TimeField::timeText() const {
    QString shown = displayText();
    shown.replace(kBlank, QLatin1Char(' '));
    return shown;
}

bool TimeField::isBlank() const {
    return timeText() == QStringLiteral("  :  ");
}

std::optional<int> TimeField::hour() const {
    return ParseWholeNumber(hourText());
}

std::optional<int> TimeField::minute() const {
    return ParseWholeNumber(minuteText());
}

void TimeField::setTime(int hour, int minute) {
    if (hour > 99) {
        setText(QStringLiteral("  :%1").arg(minute, 2, 10, QLatin1Char('0')));
        return;
    }
    setText(TimeText(hour, minute));
}

void TimeField::mouseReleaseEvent(QMouseEvent* event) {
    PlainLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) setSelection(0, 1);
}

}  // namespace kdt::gui

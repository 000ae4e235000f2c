#include "components/UpDownEdit.h"

#include <algorithm>

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QWheelEvent>

namespace kdt::gui {
namespace {

constexpr int kArrowWidth = 13;
constexpr int kMaxDigits = 9;

}  // namespace

std::optional<int> ParseWholeNumber(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == QLatin1Char(' ')) ++start;
    const qsizetype digits = text.size() - start;
    if (digits == 0 || digits > kMaxDigits) return std::nullopt;
    int value = 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

UpDownEdit::UpDownEdit(QWidget* parent) : PlainLineEdit(parent) {
    // Only digits get in, also by any path the key filters do not see.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), this));
    auto makeArrow = [this](Qt::ArrowType type, int step) {
        auto* button = new QToolButton(this);
        button->setArrowType(type);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setCursor(Qt::ArrowCursor);
        connect(button, &QToolButton::clicked, this, [this, step] { stepBy(step); });
        return button;
    };
    up_ = makeArrow(Qt::UpArrow, 1);
    down_ = makeArrow(Qt::DownArrow, -1);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    setTextMargins(0, 0, kArrowWidth, 0);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (const std::optional<int> value = positionInText()) position_ = *value;
    });
}

void UpDownEdit::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
}

std::optional<int> UpDownEdit::positionInText() const {
    const std::optional<int> value = ParseWholeNumber(text());
    if (!value) return std::nullopt;
    return std::clamp(*value, minimum_, maximum_);
}

int UpDownEdit::position() const {
    return positionInText().value_or(position_);
}

void UpDownEdit::setPosition(int value) {
    position_ = std::clamp(value, minimum_, maximum_);
    setText(QString::number(position_));
}

void UpDownEdit::stepBy(int steps) {
    if (!isEnabled() || isReadOnly()) return;
    const int from = position();
    const int to = std::clamp(from + steps * step_, minimum_, maximum_);
    if (to != from || text() != QString::number(to)) setPosition(to);
}

QSize UpDownEdit::sizeHint() const {
    const QSize hint = PlainLineEdit::sizeHint();
    return {fontMetrics().horizontalAdvance(QStringLiteral("00000")) + kArrowWidth + 10, hint.height()};
}

void UpDownEdit::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Up) {
            stepBy(1);
            return;
        }
        if (event->key() == Qt::Key_Down) {
            stepBy(-1);
            return;
        }
    }
    PlainLineEdit::keyPressEvent(event);
}

void UpDownEdit::wheelEvent(QWheelEvent* event) {
    if (!hasFocus() && !underMouse()) return PlainLineEdit::wheelEvent(event);
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0) stepBy(notches);
    event->accept();
}

void UpDownEdit::resizeEvent(QResizeEvent* event) {
    PlainLineEdit::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(width() - kArrowWidth - 1, 1, kArrowWidth, half - 1);
    down_->setGeometry(width() - kArrowWidth - 1, half, kArrowWidth, height() - half - 1);
}

void UpDownEdit::changeEvent(QEvent* event) {
    PlainLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange) {
        up_->setEnabled(isEnabled() && !isReadOnly());
        down_->setEnabled(isEnabled() && !isReadOnly());
    }
}

}  // namespace kdt::gui

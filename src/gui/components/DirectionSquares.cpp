#include "components/DirectionSquares.h"

#include <algorithm>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QToolTip>

namespace kdt::gui {
namespace {

constexpr int kSide = 12;
constexpr int kGap = 2;
constexpr int kLeft = 1;
const QColor kSilver(0xC0, 0xC0, 0xC0);

QColor ColourOf(DirectionSquares::SquareFill fill) {
    switch (fill) {
        case DirectionSquares::SquareFill::Black:
            return Qt::black;
        case DirectionSquares::SquareFill::Silver:
            return kSilver;
        case DirectionSquares::SquareFill::White:
            break;
    }
    return Qt::white;
}

QString StateText(DirectionSquares::SquareFill fill) {
    switch (fill) {
        case DirectionSquares::SquareFill::Black:
            return QStringLiteral("в фазе");
        case DirectionSquares::SquareFill::Silver:
            return QStringLiteral("нет направления");
        case DirectionSquares::SquareFill::White:
            break;
    }
    return QStringLiteral("не в фазе");
}

}  // namespace

DirectionSquares::DirectionSquares(QWidget* parent) : QWidget(parent) {
    fills_.fill(SquareFill::White);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    DescribeFocusSquare();
}

int DirectionSquares::numbersHeight() const {
    return fontMetrics().height();
}

// Wide enough for the square and for a two-digit number above it.
int DirectionSquares::pitch() const {
    return std::max(kSide + kGap, fontMetrics().horizontalAdvance(QStringLiteral("16")) + kGap);
}

QSize DirectionSquares::sizeHint() const {
    return {kLeft + kCount * pitch() + 1, numbersHeight() + kSide + 3};
}

void DirectionSquares::setFill(int square, SquareFill fill) {
    if (square < 1 || square > kCount) return;
    if (fills_[static_cast<std::size_t>(square - 1)] == fill) return;
    fills_[static_cast<std::size_t>(square - 1)] = fill;
    if (square == focus_) DescribeFocusSquare();
    update(squareRect(square).adjusted(-2, -2, 2, 2));
}

DirectionSquares::SquareFill DirectionSquares::fill(int square) const {
    return square >= 1 && square <= kCount ? fills_[static_cast<std::size_t>(square - 1)]
                                           : SquareFill::Silver;
}

QRect DirectionSquares::squareRect(int square) const {
    return {kLeft + (square - 1) * pitch() + (pitch() - kGap - kSide) / 2, numbersHeight() + 1, kSide, kSide};
}

int DirectionSquares::squareAt(const QPoint& point) const {
    for (int square = 1; square <= kCount; ++square)
        if (squareRect(square).contains(point)) return square;
    return 0;
}

bool DirectionSquares::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (help->pos().y() < numbersHeight() && !numbersToolTip_.isEmpty())
            QToolTip::showText(help->globalPos(), numbersToolTip_, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void DirectionSquares::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int square = 1; square <= kCount; ++square) {
        const QRect box = squareRect(square);
        const QRect number(kLeft + (square - 1) * pitch(), 0, pitch() - kGap, numbersHeight());
        painter.drawText(number, Qt::AlignHCenter | Qt::AlignBottom, QString::number(square));
        // The outline covers the square's edge pixels, the fill the inside.
        painter.fillRect(box, Qt::black);
        painter.fillRect(box.adjusted(1, 1, -1, -1), ColourOf(fill(square)));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = squareRect(focus_).adjusted(-1, -1, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void DirectionSquares::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton ? squareAt(event->position().toPoint()) : 0;
    if (pressed_ != 0) setFocusSquare(pressed_);
    event->accept();
}

void DirectionSquares::mouseReleaseEvent(QMouseEvent* event) {
    // A release elsewhere than where the button went down is no click on a
    // square, however far outside the widget the pointer went meanwhile.
    const int pressed = pressed_;
    pressed_ = 0;
    if (event->button() != Qt::LeftButton || pressed == 0) return;
    if (squareAt(event->position().toPoint()) == pressed) emit squareClicked(pressed);
}

void DirectionSquares::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            setFocusSquare(std::max(1, focus_ - 1));
            return;
        case Qt::Key_Right:
            setFocusSquare(std::min(kCount, focus_ + 1));
            return;
        case Qt::Key_Home:
            setFocusSquare(1);
            return;
        case Qt::Key_End:
            setFocusSquare(kCount);
            return;
        case Qt::Key_Space:
            if (!event->isAutoRepeat()) emit squareClicked(focus_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void DirectionSquares::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void DirectionSquares::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void DirectionSquares::setFocusSquare(int square) {
    if (square == focus_) return;
    focus_ = square;
    DescribeFocusSquare();
    update();
}

void DirectionSquares::DescribeFocusSquare() {
    // A screen reader announces the square the keys work on.
    setAccessibleName(QStringLiteral("Направление %1: %2").arg(focus_).arg(StateText(fill(focus_))));
}

}  // namespace kdt::gui

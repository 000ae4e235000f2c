#include "components/SquareStrip.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "components/CanvasDrawing.h"

namespace kdt::gui {

SquareStrip::SquareStrip(const Geometry& geometry, QWidget* parent)
    : QWidget(parent), geometry_(geometry), squares_(static_cast<std::size_t>(std::max(0, geometry.count))) {
    geometry_.columns = std::max(1, geometry_.columns);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(sizeHint());
    UpdateDescription();
}

QFont SquareStrip::numberFont() const {
    QFont numbers = font();
    if (geometry_.numberPointSize > 0) numbers.setPointSizeF(geometry_.numberPointSize);
    return numbers;
}

int SquareStrip::lineHeight() const {
    return QFontMetrics(numberFont()).height();
}

int SquareStrip::rowHeight() const {
    return (geometry_.markerLine ? lineHeight() + 2 : 0) + lineHeight() + geometry_.squareSize +
           geometry_.rowGap;
}

int SquareStrip::rowTop(int cell) const {
    return (cell - 1) / geometry_.columns * rowHeight();
}

int SquareStrip::columnLeft(int cell) const {
    return (cell - 1) % geometry_.columns * geometry_.pitch;
}

QSize SquareStrip::sizeHint() const {
    const int columns = std::min(geometry_.columns, geometry_.count);
    return {(columns - 1) * geometry_.pitch + std::max(geometry_.pitch, geometry_.squareSize) + 1,
            rows() * rowHeight() - geometry_.rowGap + 1};
}

QRect SquareStrip::markerRect(int cell) const {
    return {columnLeft(cell), rowTop(cell), geometry_.pitch, lineHeight() + 1};
}

QRect SquareStrip::numberRect(int cell) const {
    const int top = rowTop(cell) + (geometry_.markerLine ? lineHeight() + 2 : 0);
    return {columnLeft(cell), top, geometry_.pitch, lineHeight()};
}

QRect SquareStrip::squareRect(int cell) const {
    const int left = columnLeft(cell) + std::max(0, geometry_.pitch - geometry_.squareSize) / 2;
    return {left, numberRect(cell).bottom() + 1, geometry_.squareSize, geometry_.squareSize};
}

int SquareStrip::cellAt(const QPoint& point) const {
    for (int cell = 1; cell <= geometry_.count; ++cell)
        if (squareRect(cell).contains(point)) return cell;
    return 0;
}

void SquareStrip::setSquare(int cell, const QColor& fill, const QColor& outline, int outlineWidth) {
    if (!Exists(cell)) return;
    Square& square = squares_[static_cast<std::size_t>(cell - 1)];
    const int width = std::clamp(outlineWidth, 1, std::max(1, geometry_.squareSize / 2));
    if (square.fill == fill && square.outline == outline && square.outlineWidth == width) return;
    square = {fill, outline, width};
    update(squareRect(cell).adjusted(-2, -2, 2, 2));
    if (cell == focus_) UpdateDescription();
}

QColor SquareStrip::fillOf(int cell) const {
    return Exists(cell) ? squares_[static_cast<std::size_t>(cell - 1)].fill : QColor();
}

QColor SquareStrip::outlineOf(int cell) const {
    return Exists(cell) ? squares_[static_cast<std::size_t>(cell - 1)].outline : QColor();
}

int SquareStrip::outlineWidthOf(int cell) const {
    return Exists(cell) ? squares_[static_cast<std::size_t>(cell - 1)].outlineWidth : 0;
}

void SquareStrip::setMarkedCell(int cell) {
    const int marked = Exists(cell) ? cell : 0;
    if (marked == marked_) return;
    marked_ = marked;
    update();
}

void SquareStrip::setFocusCell(int cell) {
    if (!Exists(cell) || cell == focus_) return;
    focus_ = cell;
    update();
    UpdateDescription();
}

void SquareStrip::setDescriber(std::function<QString(int)> describe) {
    describe_ = std::move(describe);
    UpdateDescription();
}

void SquareStrip::UpdateDescription() {
    setAccessibleDescription(describe_ ? describe_(focus_) : QStringLiteral("%1").arg(focus_));
}

void SquareStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(numberFont());
    for (int cell = 1; cell <= geometry_.count; ++cell) {
        const QRect number = numberRect(cell);
        const QString text = QString::number(cell);
        painter.setPen(palette().color(QPalette::WindowText));
        DrawTextCentredAtTop(painter, EdgesOf(number), text);
        const Square& square = squares_[static_cast<std::size_t>(cell - 1)];
        const QRect rect = squareRect(cell);
        painter.setPen(square.outline);
        painter.setBrush(square.fill);
        painter.drawRect(OutlineRect(EdgesOf(rect)));
        painter.setBrush(Qt::NoBrush);
        for (int ring = 1; ring < square.outlineWidth; ++ring)
            painter.drawRect(OutlineRect(EdgesOf(rect.adjusted(ring, ring, -ring, -ring))));
    }
    if (marked_ != 0) {
        // The current channel's label: its number, over its square.
        const QRect label = markerRect(marked_);
        const QString text = QString::number(marked_);
        const int width = painter.fontMetrics().horizontalAdvance(text) + 4;
        const QRect box(label.left() + (label.width() - width) / 2, label.top(), width, label.height());
        painter.fillRect(box, palette().color(QPalette::Highlight));
        painter.setPen(palette().color(QPalette::HighlightedText));
        DrawTextCentredAtTop(painter, EdgesOf(box), text);
    }
    if (hasFocus() && Exists(focus_)) {
        const QRect rect = squareRect(focus_).adjusted(-2, -2, 1, 1);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
}

void SquareStrip::mousePressEvent(QMouseEvent* event) {
    pressed_ = cellAt(event->position().toPoint());
}

void SquareStrip::mouseReleaseEvent(QMouseEvent* event) {
    const int cell = pressed_;
    pressed_ = 0;
    if (cell != 0) emit cellReleased(cell, event->button());
}

void SquareStrip::keyPressEvent(QKeyEvent* event) {
    if (ownerHandlesKeys_ || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return QWidget::keyPressEvent(event);
    const int columns = geometry_.columns;
    const int column = (focus_ - 1) % columns;
    switch (event->key()) {
        case Qt::Key_Left:
            if (column > 0) setFocusCell(focus_ - 1);
            break;
        case Qt::Key_Right:
            if (column < columns - 1) setFocusCell(focus_ + 1);
            break;
        case Qt::Key_Up:
            setFocusCell(focus_ - columns);
            break;
        case Qt::Key_Down:
            setFocusCell(focus_ + columns);
            break;
        case Qt::Key_Space:
            emit cellActivated(focus_);
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void SquareStrip::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The numbers' lines follow the font.
    if (event->type() == QEvent::FontChange) setFixedSize(sizeHint());
}

void SquareStrip::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void SquareStrip::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace kdt::gui

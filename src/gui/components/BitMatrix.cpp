#include "components/BitMatrix.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "components/CanvasDrawing.h"

namespace kdt::gui {
namespace {

const QColor kGridColour(0x80, 0x80, 0x80);

}  // namespace

BitMatrix::BitMatrix(int rows, int columns, QSize cellSize, QWidget* parent)
    : QWidget(parent),
      bits_(static_cast<std::size_t>(std::max(1, rows)), 0u),
      columns_(std::clamp(columns, 1, kMaxColumns)),
      cellSize_(cellSize.expandedTo(QSize(1, 1))) {
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(sizeHint());
    UpdateDescription();
}

QSize BitMatrix::sizeHint() const {
    return {columns_ * cellSize_.width() + 1, rows() * cellSize_.height() + 1};
}

void BitMatrix::setRowBits(int row, std::uint32_t bits) {
    if (row < 0 || row >= rows() || bits_[static_cast<std::size_t>(row)] == bits) return;
    bits_[static_cast<std::size_t>(row)] = bits;
    update();
    if (row == focus_.row) UpdateDescription();
}

std::uint32_t BitMatrix::rowBits(int row) const {
    return row >= 0 && row < rows() ? bits_[static_cast<std::size_t>(row)] : 0u;
}

bool BitMatrix::isSet(int row, int column) const {
    return column >= 0 && column < columns_ && (rowBits(row) & (1u << column)) != 0;
}

QRect BitMatrix::cellRect(int row, int column) const {
    return {column * cellSize_.width(), row * cellSize_.height(), cellSize_.width(), cellSize_.height()};
}

std::optional<MatrixCell> BitMatrix::cellAtRelease(const QPoint& point) const {
    // The mouse stays with the matrix from the press: a release outside it
    // must not name a structure or a channel that does not exist.
    if (point.x() < 0 || point.y() < 0 || point.x() >= columns_ * cellSize_.width()) return std::nullopt;
    if (releaseBelowIgnored_ && point.y() >= rows() * cellSize_.height()) return std::nullopt;
    return MatrixCell{std::min(point.y() / cellSize_.height(), rows() - 1), point.x() / cellSize_.width()};
}

void BitMatrix::setFocusCell(MatrixCell cell) {
    if (!Exists(cell) || cell == focus_) return;
    focus_ = cell;
    update();
    UpdateDescription();
}

void BitMatrix::setDescriber(std::function<QString(MatrixCell)> describe) {
    describe_ = std::move(describe);
    UpdateDescription();
}

void BitMatrix::UpdateDescription() {
    setAccessibleDescription(describe_ ? describe_(focus_)
                                       : QStringLiteral("%1, %2").arg(focus_.row + 1).arg(focus_.column + 1));
}

void BitMatrix::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(kGridColour);
    for (int row = 0; row < rows(); ++row)
        for (int column = 0; column < columns_; ++column) {
            const QRect cell = cellRect(row, column);
            painter.setBrush(isSet(row, column) ? Qt::black : Qt::white);
            // Neighbouring cells share their edge: each outline one pixel wider than its cell.
            painter.drawRect(OutlineRect(EdgesOf(cell.adjusted(0, 0, 1, 1))));
        }
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(cellRect(focus_.row, focus_.column).adjusted(1, 1, 0, 0));
    }
}

void BitMatrix::mouseReleaseEvent(QMouseEvent* event) {
    if (const std::optional<MatrixCell> cell = cellAtRelease(event->position().toPoint()))
        emit cellReleased(*cell, event->button());
}

void BitMatrix::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QWidget::keyPressEvent(event);
    switch (event->key()) {
        case Qt::Key_Left:
            setFocusCell({focus_.row, focus_.column - 1});
            break;
        case Qt::Key_Right:
            setFocusCell({focus_.row, focus_.column + 1});
            break;
        case Qt::Key_Up:
            setFocusCell({focus_.row - 1, focus_.column});
            break;
        case Qt::Key_Down:
            setFocusCell({focus_.row + 1, focus_.column});
            break;
        case Qt::Key_Space:
            emit cellActivated(focus_);
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void BitMatrix::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void BitMatrix::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace kdt::gui

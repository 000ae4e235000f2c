#include "components/GridSelection.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kdt::gui {
namespace {

constexpr std::uint32_t kColourShift = 24;

int FloorDiv(int value, int divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

}  // namespace

void TColorItem::setColor(const QColor& colour) {
    if (colour == color_) return;
    color_ = colour;
    if (collection_ != nullptr) collection_->NotifyChanged();
}

QString TColorItem::DisplayName() const {
    return color_.isValid() ? color_.name() : QStringLiteral("TColorItem");
}

TColorItem& TColorItems::Add() {
    items_.push_back(std::make_unique<TColorItem>(this));
    NotifyChanged();
    return *items_.back();
}

void TColorItems::Clear() {
    items_.clear();
    NotifyChanged();
}

void TColorItems::Assign(const TColorItems& other) {
    if (&other == this) return;
    items_.clear();
    for (int i = 0; i < other.Count(); ++i) {
        items_.push_back(std::make_unique<TColorItem>(this));
        items_.back()->Assign(other.Item(i));
    }
    NotifyChanged();
}

TCustomGridSel::TCustomGridSel(QWidget* parent) : QWidget(parent), items_(32, 0u), colors_(this) {
    setFocusPolicy(Qt::StrongFocus);
    connect(&colors_, &TColorItems::Changed, this, qOverload<>(&QWidget::update));
    resize(colCount_ * itemSize_, rowCount_ * itemSize_);
    UpdateDescription();
}

void TCustomGridSel::setItemSize(int size) {
    itemSize_ = std::max(1, size);
    update();
}

void TCustomGridSel::setSpaseSize(int size) {
    spaseSize_ = size;
    update();
}

void TCustomGridSel::setItemStile(TPrimitiveStile stile) {
    if (stile == itemStile_) return;
    itemStile_ = stile;
    update();
}

void TCustomGridSel::setSelectPen(const QPen& pen) {
    selectPen_ = pen;
    update();
}

void TCustomGridSel::setShowCaption(bool show) {
    showCaption_ = show;
    update();
}

void TCustomGridSel::setMultiSelect(bool on) {
    multiSelect_ = on;
    if (on) colorChanged_ = false;
}

void TCustomGridSel::setColCountValue(int count) {
    colCount_ = std::clamp(count, 1, kMaxCount);
    SetItemCount(colCount_ * rowCount_);
}

void TCustomGridSel::setRowCountValue(int count) {
    rowCount_ = std::clamp(count, 1, kMaxCount);
    SetItemCount(colCount_ * rowCount_);
}

std::uint32_t TCustomGridSel::ItemValue(int index) const {
    return Exists(index) ? items_[static_cast<std::size_t>(index)] : 0u;
}

void TCustomGridSel::SetItemCount(int count) {
    items_.resize(static_cast<std::size_t>(std::max(0, count)), 0u);
    focusIndex_ = std::clamp(focusIndex_, 0, std::max(0, ItemCount() - 1));
    update();
    UpdateDescription();
}

int TCustomGridSel::ItemIndexOf(int column, int row) const {
    if (column < 1 || column > colCount_ || row < 1 || row > rowCount_) return -1;
    return column + (row - 1) * colCount_ - 1;
}

int TCustomGridSel::ItemAtPos(int x, int y) const {
    const int column = FloorDiv(x, itemSize_);
    const int row = FloorDiv(y, itemSize_);
    if (column < 0 || row < 0) return -1;
    return std::min(column, colCount_ - 1) + std::min(row, rowCount_ - 1) * colCount_;
}

void TCustomGridSel::ToggleSelected(int index) {
    if (!Exists(index)) return;
    items_[static_cast<std::size_t>(index)] ^= kSelectedBit;
    UpdateDescription();
    DoChange();
}

void TCustomGridSel::NextColor(int index) {
    if (!Exists(index)) return;
    const int next = GetItemColor(index) + 1;
    SetItemColor(index, static_cast<std::uint8_t>(next < colors_.Count() ? next : 0));
    UpdateDescription();
    DoChange();
}

void TCustomGridSel::ToggleCell(int column, int row, int) {
    ToggleSelected(ItemIndexOf(column, row));
    update();
}

std::uint32_t TCustomGridSel::GetSelection(int first, int count) const {
    std::uint32_t bits = 0;
    for (int i = 0; i < std::min(count, kMaxSelectionBits); ++i)
        if (IsItemSelected(first + i)) bits |= 1u << i;
    return bits;
}

void TCustomGridSel::SetSelection(int first, int count, std::uint32_t bits) {
    for (int i = 0; i < std::min(count, kMaxSelectionBits); ++i) {
        const int index = first + i;
        if (!Exists(index)) continue;
        std::uint32_t& item = items_[static_cast<std::size_t>(index)];
        item = (bits & (1u << i)) != 0 ? item | kSelectedBit : item & ~kSelectedBit;
    }
    update();
    UpdateDescription();
}

void TCustomGridSel::ClearSelection() {
    for (std::uint32_t& item : items_) item &= ~kSelectedBit;
    update();
    UpdateDescription();
}

void TCustomGridSel::SetItemColor(int index, std::uint8_t colour) {
    if (!Exists(index)) return;
    std::uint32_t& item = items_[static_cast<std::size_t>(index)];
    item = (item & 0x00FFFFFFu) | (std::uint32_t{colour} << kColourShift);
}

std::uint8_t TCustomGridSel::GetItemColor(int index) const {
    return static_cast<std::uint8_t>(ItemValue(index) >> kColourShift);
}

void TCustomGridSel::setFocusIndex(int index) {
    if (!Exists(index) || index == focusIndex_) return;
    focusIndex_ = index;
    update();
    UpdateDescription();
}

void TCustomGridSel::UpdateDescription() {
    const QString state =
        IsItemSelected(focusIndex_) ? QStringLiteral("выбран") : QStringLiteral("не выбран");
    setAccessibleDescription(
        QStringLiteral("элемент %1, %2, цвет %3").arg(focusIndex_).arg(state).arg(GetItemColor(focusIndex_)));
}

EdgeRect TCustomGridSel::CellRect(int index) const {
    const int column = index % colCount_;
    const int row = index / colCount_;
    const EdgeRect first{spaseSize_, spaseSize_, itemSize_ - spaseSize_, itemSize_ - spaseSize_};
    return first.Moved(column * itemSize_, row * itemSize_);
}

void TCustomGridSel::DrawCaption(QPainter& painter, const EdgeRect& rect, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int left = rect.left + (rect.width() - metrics.horizontalAdvance(text)) / 2;
    const int top = rect.top + (rect.height() - metrics.height()) / 2;
    DrawTextAtTop(painter, left, top, text);
}

void TCustomGridSel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The canvas pen of the description: black, one pixel.
    painter.setPen(QPen(Qt::black, 1));
    const QPen remembered = painter.pen();
    for (int k = 0; k < ItemCount(); ++k) {
        const int colour = GetItemColor(k);
        // A colour index past the list paints in the control's own colour.
        painter.setBrush(colour < colors_.Count() ? colors_.Item(colour).Color()
                                                  : palette().color(QPalette::Window));
        painter.setPen(IsItemSelected(k) ? selectPen_ : remembered);
        const EdgeRect rect = CellRect(k);
        DrawPrimitive(painter, rect, itemStile_);
        painter.setBrush(Qt::NoBrush);
        if (showCaption_) {
            painter.setPen(remembered);
            DrawCaption(painter, rect, QString::number(k));
        }
    }
    painter.setPen(remembered);
    if (hasFocus() && Exists(focusIndex_)) {
        const EdgeRect rect = CellRect(focusIndex_);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(OutlineRect({rect.left - spaseSize_, rect.top - spaseSize_, rect.right + spaseSize_,
                                      rect.bottom + spaseSize_}));
    }
}

void TCustomGridSel::Click(int index) {
    ToggleSelected(index);
    if (colorChanged_) NextColor(index);
    update();
}

void TCustomGridSel::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    pressedIndex_ = ItemAtPos(at.x(), at.y());
}

void TCustomGridSel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || pressedIndex_ < 0 || ItemAtPos(at.x(), at.y()) != pressedIndex_)
        return;
    Click(pressedIndex_);
}

void TCustomGridSel::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QWidget::keyPressEvent(event);
    const int column = focusIndex_ % colCount_;
    switch (event->key()) {
        case Qt::Key_Left:
            if (column > 0) setFocusIndex(focusIndex_ - 1);
            break;
        case Qt::Key_Right:
            if (column < colCount_ - 1) setFocusIndex(focusIndex_ + 1);
            break;
        case Qt::Key_Up:
            setFocusIndex(focusIndex_ - colCount_);
            break;
        case Qt::Key_Down:
            setFocusIndex(focusIndex_ + colCount_);
            break;
        case Qt::Key_Space:
            Click(focusIndex_);
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void TCustomGridSel::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TCustomGridSel::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace kdt::gui

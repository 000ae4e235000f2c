#include "components/GraphicNapr.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace kdt::gui {
namespace {

// Floor division: a point left of the first item lies under item 0, not 1.
int FloorDiv(int value, int divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

}  // namespace

void DrawPrimitive(QPainter& canvas, const EdgeRect& rect, int style) {
    const int l = rect.left;
    const int t = rect.top;
    const int r = rect.right;
    const int b = rect.bottom;
    const int w = (r - l) / 2;
    const int h = (b - t) / 2;
    switch (style) {
        case prsRect:
            canvas.drawRect(OutlineRect(rect));
            break;
        // The corner ellipse is h wide and h high: its radii are h / 2.
        case prsRoundRect:
            canvas.drawRoundedRect(OutlineRect(rect), h / 2.0, h / 2.0);
            break;
        case prsEllipse:
            canvas.drawEllipse(OutlineRect(rect));
            break;
        case prsRomb:
            canvas.drawPolygon(
                QPolygon({QPoint(l, t + h), QPoint(l + w, t), QPoint(r, t + h), QPoint(l + w, b)}));
            break;
        case prsTriUP:
            canvas.drawPolygon(QPolygon({QPoint(l + w, t), QPoint(r, b), QPoint(l, b)}));
            break;
        case prsTriDOWN:
            canvas.drawPolygon(QPolygon({QPoint(l + w, b), QPoint(r, t), QPoint(l, t)}));
            break;
        case prsTriLEFT:
            canvas.drawPolygon(QPolygon({QPoint(l, t + h), QPoint(r, b), QPoint(r, t)}));
            break;
        case prsTriRIGHT:
            canvas.drawPolygon(QPolygon({QPoint(r, t + h), QPoint(l, b), QPoint(l, t)}));
            break;
        default:
            break;
    }
}

TGraphicNapr::TGraphicNapr(QWidget* parent)
    : QWidget(parent), captionFont_(font()), itemName_(QStringLiteral("элемент")) {
    setFocusPolicy(Qt::StrongFocus);
    captionFont_.setPointSize(std::max(1, itemSize_ - 10));
    ApplySize();
    UpdateDescription();
}

void TGraphicNapr::ApplySize() {
    // A fixed size: a control stretched by a layout would show hidden items.
    if (orient_ == noHorz)
        setFixedSize(naprCount_ * itemSize_, itemSize_);
    else
        setFixedSize(itemSize_, naprCount_ * itemSize_);
}

void TGraphicNapr::DoChange() {
    emit Change();
}

void TGraphicNapr::setNaprCount(int count) {
    if (count == naprCount_ || count < 1 || count > kMaxItems) return;
    naprCount_ = count;
    focusItem_ = std::min(focusItem_, naprCount_);
    ApplySize();
    update();
    UpdateDescription();
    DoChange();
}

void TGraphicNapr::setNaprSost(std::uint32_t state) {
    if (state == naprSost_) return;
    naprSost_ = state;
    update();
    UpdateDescription();
    DoChange();
}

void TGraphicNapr::setItemSize(int size) {
    if (size == itemSize_ || size < 1 || size > kMaxItemSize) return;
    itemSize_ = size;
    // At least 1 pt: a size of 10 or less would give no font at all.
    captionFont_.setPointSize(std::max(1, itemSize_ - 10));
    ApplySize();
    update();
}

void TGraphicNapr::setItemStile(TPrimitiveStile stile) {
    if (stile == itemStile_) return;
    itemStile_ = stile;
    update();
}

void TGraphicNapr::setSelectColor(const QColor& colour) {
    if (colour == selectColor_) return;
    selectColor_ = colour;
    update();
}

void TGraphicNapr::setUnSelectColor(const QColor& colour) {
    if (colour == unSelectColor_) return;
    unSelectColor_ = colour;
    update();
}

void TGraphicNapr::setDisableColor(const QColor& colour) {
    disableColor_ = colour;
    update();
}

void TGraphicNapr::setOrient(TNaprOrient orient) {
    if (orient == orient_) return;
    orient_ = orient;
    ApplySize();
    update();
}

void TGraphicNapr::setShowCaption(bool show) {
    if (show == showCaption_) return;
    showCaption_ = show;
    update();
}

bool TGraphicNapr::IsSelected(int n) const {
    return n >= 1 && n <= kMaxItems && (naprSost_ & (1u << (n - 1))) != 0;
}

bool TGraphicNapr::Toggle(int n) {
    if (n < 1 || n > naprCount_) return false;
    naprSost_ ^= 1u << (n - 1);
    update();
    UpdateDescription();
    return IsSelected(n);
}

int TGraphicNapr::ItemAtPos(int x, int y) const {
    return FloorDiv(orient_ == noHorz ? x : y, itemSize_) + 1;
}

void TGraphicNapr::setFocusItem(int n) {
    if (n < 1 || n > naprCount_ || n == focusItem_) return;
    focusItem_ = n;
    update();
    UpdateDescription();
}

void TGraphicNapr::setItemName(const QString& name) {
    itemName_ = name;
    UpdateDescription();
}

void TGraphicNapr::UpdateDescription() {
    const QString state = IsSelected(focusItem_) ? QStringLiteral("выбран") : QStringLiteral("не выбран");
    setAccessibleDescription(QStringLiteral("%1 %2, %3").arg(itemName_).arg(focusItem_).arg(state));
}

EdgeRect TGraphicNapr::ItemRect(int n) const {
    const EdgeRect first{1, 1, itemSize_ - 1, itemSize_ - 1};
    const int step = (n - 1) * itemSize_;
    return orient_ == noHorz ? first.Moved(step, 0) : first.Moved(0, step);
}

void TGraphicNapr::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(captionFont_);
    for (int n = 1; n <= naprCount_; ++n) {
        const bool selected = IsSelected(n);
        const EdgeRect rect = ItemRect(n);
        painter.setPen(Qt::black);
        painter.setBrush(selected ? selectColor_ : unSelectColor_);
        DrawPrimitive(painter, rect, itemStile_);
        painter.setBrush(Qt::NoBrush);
        if (showCaption_) {
            painter.setPen(selected ? unSelectColor_ : selectColor_);
            DrawTextCentredAtTop(painter, rect, QString::number(n));
        }
    }
    if (hasFocus()) {
        const EdgeRect rect = ItemRect(focusItem_);
        QPen focus(palette().color(QPalette::Highlight), 1, Qt::DotLine);
        painter.setPen(focus);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(OutlineRect({rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1}));
    }
}

void TGraphicNapr::mousePressEvent(QMouseEvent* event) {
    pressedItem_ = ItemAtPos(event->position().toPoint().x(), event->position().toPoint().y());
}

void TGraphicNapr::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (ItemAtPos(at.x(), at.y()) == pressedItem_) Toggle(pressedItem_);
    pressedItem_ = 0;
    DoChange();
}

void TGraphicNapr::keyPressEvent(QKeyEvent* event) {
    const bool back = orient_ == noHorz ? event->key() == Qt::Key_Left : event->key() == Qt::Key_Up;
    const bool forward = orient_ == noHorz ? event->key() == Qt::Key_Right : event->key() == Qt::Key_Down;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QWidget::keyPressEvent(event);
    if (back) {
        setFocusItem(std::max(1, focusItem_ - 1));
    } else if (forward) {
        setFocusItem(std::min(naprCount_, focusItem_ + 1));
    } else if (event->key() == Qt::Key_Space) {
        // As a click on the item: inverted, then Change.
        Toggle(focusItem_);
        DoChange();
    } else {
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void TGraphicNapr::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TGraphicNapr::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace kdt::gui

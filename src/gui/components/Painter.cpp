#include "components/Painter.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

namespace kdt::gui {
namespace {

constexpr int kLineStep = 1;
constexpr int kPageStep = 8;  // whatever the page size is

int Axis(Qt::Orientation axis) {
    return axis == Qt::Horizontal ? 0 : 1;
}

}  // namespace

TPainter::TPainter(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every paint fills the whole surface first: nothing of the parent shows through.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    for (const Qt::Orientation axis : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* bar = axis == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
        bar->setSingleStep(kLineStep);
        bar->setPageStep(kPageStep);
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, axis](int action) { ScrollRequest(axis, action); });
        connect(bar, &QAbstractSlider::sliderReleased, this, [this, axis] {
            const ScrollHook& hook = axis == Qt::Horizontal ? OnScrollHorz : OnScrollVert;
            int position = pos_[Axis(axis)];
            if (hook) hook(*this, ScrollCode::EndScroll, position);
        });
        ApplyBar(axis);
    }
}

void TPainter::setPatBk(bool fill) {
    patBk_ = fill;
    viewport()->update();
}

void TPainter::setMapMode(MapMode mode) {
    if (mode == mapMode_) return;
    mapMode_ = mode;
    viewport()->update();
}

void TPainter::setScrollBars(ScrollBars bars) {
    if (bars == scrollBars_) return;
    scrollBars_ = bars;
    ApplyBar(Qt::Horizontal);
    ApplyBar(Qt::Vertical);
}

void TPainter::setBorderStyle(BorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    if (style == BorderStyle::Single) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

void TPainter::setBkColor(const QColor& colour) {
    if (colour == bkColor_) return;
    bkColor_ = colour;
    viewport()->update();
}

void TPainter::SetAndUpdate(int& field, int value, Qt::Orientation axis) {
    field = value;
    UpdateBars(axis);
}

// A position always lies within its range, and a range never ends below
// its start: a raised minimum pulls the position up as a lowered maximum
// pulls it down.
void TPainter::UpdateBars(Qt::Orientation axis) {
    for (int i = 0; i < 2; ++i) pos_[i] = std::clamp(pos_[i], min_[i], std::max(min_[i], max_[i]));
    ApplyBar(axis);
}

void TPainter::ApplyBar(Qt::Orientation axis) {
    const int i = Axis(axis);
    QScrollBar* bar = axis == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    const bool shown = axis == Qt::Horizontal
                           ? scrollBars_ == ScrollBars::Horizontal || scrollBars_ == ScrollBars::Both
                           : scrollBars_ == ScrollBars::Vertical || scrollBars_ == ScrollBars::Both;
    {
        // The bar clamping its value is not a scroll of the user's.
        const QSignalBlocker blocker(bar);
        bar->setRange(min_[i], std::max(min_[i], max_[i]));
        bar->setValue(pos_[i]);
    }
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (axis == Qt::Horizontal)
        setHorizontalScrollBarPolicy(policy);
    else
        setVerticalScrollBarPolicy(policy);
}

// Called after the bar has moved its slider for the action and before it
// takes the value, so the slider can be put where the rules say.
void TPainter::ScrollRequest(Qt::Orientation axis, int action) {
    const int i = Axis(axis);
    QScrollBar* bar = axis == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    const int before = pos_[i];
    int position = before;
    ScrollCode code = ScrollCode::Other;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            position = before - kLineStep;
            code = ScrollCode::LineBack;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            position = before + kLineStep;
            code = ScrollCode::LineForward;
            break;
        case QAbstractSlider::SliderPageStepSub:
            position = before - kPageStep;
            code = ScrollCode::PageBack;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            position = before + kPageStep;
            code = ScrollCode::PageForward;
            break;
        case QAbstractSlider::SliderMove:
            position = bar->sliderPosition();
            code = ScrollCode::Thumb;
            break;
        default:
            break;  // to either end and the rest: nothing moves
    }
    const auto clamp = [&](int value) { return std::clamp(value, min_[i], std::max(min_[i], max_[i])); };
    position = clamp(position);
    if (position == before) {
        bar->setSliderPosition(before);
        return;
    }
    const ScrollHook& hook = axis == Qt::Horizontal ? OnScrollHorz : OnScrollVert;
    if (hook) hook(*this, code, position);
    pos_[i] = clamp(position);
    bar->setSliderPosition(pos_[i]);
    if (OnScrollChange) OnScrollChange(*this);
}

void TPainter::RepaintNow(int code) {
    pendingCode_ = code;
    viewport()->repaint();
}

void TPainter::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    painter.fillRect(client, bkColor_);
    if (scroll_) painter.translate(-pos_[0], -pos_[1]);
    const int code = pendingCode_;
    pendingCode_ = 0;
    if (OnPaint) OnPaint(*this, painter, client, code);
}

void TPainter::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (OnResize) OnResize(*this);
}

void TPainter::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) OnMouseUp(*this, *event);
}

// The arrow keys and the others belong to the owner, not to the bars.
void TPainter::keyPressEvent(QKeyEvent* event) {
    event->ignore();
}

// The picture moves only when its owner paints it anew.
void TPainter::scrollContentsBy(int, int) {}

}  // namespace kdt::gui

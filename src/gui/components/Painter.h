// TPainter: a surface its owner paints in full, with scroll bars whose
// ranges, pages and positions are plain properties. The owner draws in the
// paint hook and moves the picture itself; the control only keeps the
// positions, clamps them and reports changes.
#pragma once

#include <functional>

#include <QAbstractScrollArea>
#include <QColor>

class QPainter;

namespace kdt::gui {

class TPainter final : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class MapMode { Text, LoMetric, HiMetric, LoEnglish, HiEnglish, Twips, Isotropic, Anisotropic };
    enum class ScrollBars { None, Horizontal, Vertical, Both };
    enum class BorderStyle { None, Single };
    // What a scroll bar was asked to do.
    enum class ScrollCode { LineBack, LineForward, PageBack, PageForward, Thumb, EndScroll, Other };

    using PaintHook = std::function<void(TPainter& sender, QPainter& painter, const QRect& client, int code)>;
    using ScrollHook = std::function<void(TPainter& sender, ScrollCode code, int& position)>;
    using NotifyHook = std::function<void(TPainter& sender)>;
    using MouseHook = std::function<void(TPainter& sender, QMouseEvent& event)>;

    explicit TPainter(QWidget* parent = nullptr);

    bool scroll() const { return scroll_; }
    void setScroll(bool scroll) { scroll_ = scroll; }
    bool patBk() const { return patBk_; }
    void setPatBk(bool fill);
    // Kept for the owner; the picture is always drawn in pixels.
    MapMode mapMode() const { return mapMode_; }
    void setMapMode(MapMode mode);

    int scrollRangeMinH() const { return min_[0]; }
    int scrollRangeMaxH() const { return max_[0]; }
    int scrollRangeMinV() const { return min_[1]; }
    int scrollRangeMaxV() const { return max_[1]; }
    int scrollPosH() const { return pos_[0]; }
    int scrollPosV() const { return pos_[1]; }
    int scrollPageSizeH() const { return page_[0]; }
    int scrollPageSizeV() const { return page_[1]; }
    void setScrollRangeMinH(int value) { SetAndUpdate(min_[0], value, Qt::Horizontal); }
    void setScrollRangeMaxH(int value) { SetAndUpdate(max_[0], value, Qt::Horizontal); }
    void setScrollRangeMinV(int value) { SetAndUpdate(min_[1], value, Qt::Vertical); }
    void setScrollRangeMaxV(int value) { SetAndUpdate(max_[1], value, Qt::Vertical); }
    void setScrollPosH(int value) { SetAndUpdate(pos_[0], value, Qt::Horizontal); }
    void setScrollPosV(int value) { SetAndUpdate(pos_[1], value, Qt::Vertical); }
    void setScrollPageSizeH(int value) { SetAndUpdate(page_[0], value, Qt::Horizontal); }
    void setScrollPageSizeV(int value) { SetAndUpdate(page_[1], value, Qt::Vertical); }

    ScrollBars scrollBars() const { return scrollBars_; }
    void setScrollBars(ScrollBars bars);
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);
    QColor bkColor() const { return bkColor_; }
    void setBkColor(const QColor& colour);

    // Paints at once, handing the code to the paint hook (0 after it).
    void RepaintNow(int code = 0);

    PaintHook OnPaint;
    ScrollHook OnScrollHorz;
    ScrollHook OnScrollVert;
    NotifyHook OnScrollChange;
    MouseHook OnMouseUp;
    NotifyHook OnResize;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void SetAndUpdate(int& field, int value, Qt::Orientation axis);
    void UpdateBars(Qt::Orientation axis);
    void ApplyBar(Qt::Orientation axis);
    void ScrollRequest(Qt::Orientation axis, int action);

    bool scroll_ = false;
    bool patBk_ = false;
    MapMode mapMode_ = MapMode::Text;
    int min_[2] = {0, 0};
    int max_[2] = {100, 100};
    int pos_[2] = {0, 0};
    int page_[2] = {0, 0};
    ScrollBars scrollBars_ = ScrollBars::None;
    BorderStyle borderStyle_ = BorderStyle::None;
    QColor bkColor_ = Qt::white;
    int pendingCode_ = 0;
};

}  // namespace kdt::gui

// The direction selector TGraphicNapr: a row or column of up to
// 32 numbered items, each selected or not, its whole state one 32-bit word;
// and DrawPrimitive, the eight item shapes the selection grids draw too.
// A painted control with no access to the plan: its owner copies the word in
// and reads it back in its Change handler.
#pragma once

#include <cstdint>

#include <QColor>
#include <QWidget>

#include "components/CanvasDrawing.h"

namespace kdt::gui {

enum TNaprOrient { noHorz, noVert };

enum TPrimitiveStile {
    prsRect,
    prsRoundRect,
    prsEllipse,
    prsRomb,
    prsTriUP,
    prsTriDOWN,
    prsTriLEFT,
    prsTriRIGHT
};

// Draws the shape in the rectangle with the painter's pen and brush; a style
// outside the eight draws nothing.
void DrawPrimitive(QPainter& canvas, const EdgeRect& rect, int style);

class TGraphicNapr : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxItems = 32;
    static constexpr int kMaxItemSize = 32;

    explicit TGraphicNapr(QWidget* parent = nullptr);

    int NaprCount() const { return naprCount_; }
    void setNaprCount(int count);  // 1..32; raises Change
    std::uint32_t NaprSost() const { return naprSost_; }
    void setNaprSost(std::uint32_t state);  // raises Change when it differs
    int ItemSize() const { return itemSize_; }
    void setItemSize(int size);  // 1..32
    TPrimitiveStile ItemStile() const { return itemStile_; }
    void setItemStile(TPrimitiveStile stile);
    QColor SelectColor() const { return selectColor_; }
    void setSelectColor(const QColor& colour);
    QColor UnSelectColor() const { return unSelectColor_; }
    void setUnSelectColor(const QColor& colour);
    QColor DisableColor() const { return disableColor_; }
    void setDisableColor(const QColor& colour);  // kept, not drawn
    TNaprOrient Orient() const { return orient_; }
    void setOrient(TNaprOrient orient);
    bool ShowCaption() const { return showCaption_; }
    void setShowCaption(bool show);
    int captionPointSize() const { return captionFont_.pointSize(); }

    bool IsSelected(int n) const;  // n in 1..32
    // Inverts item n (1..NaprCount) and returns its new state; raises no Change.
    bool Toggle(int n);
    // The item under a point: only the coordinate along the layout counts;
    // 0 left of (or above) the first item, above NaprCount past the last.
    int ItemAtPos(int x, int y) const;

    // Keyboard: the item the arrows move to and Space inverts, and the noun
    // the accessible description names the items with ("направление 3, выбрано").
    int focusItem() const { return focusItem_; }
    void setFocusItem(int n);
    void setItemName(const QString& name);

signals:
    // After a state change or a click.
    void Change();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ApplySize();
    void DoChange();
    void UpdateDescription();
    EdgeRect ItemRect(int n) const;

    int naprCount_ = 8;
    std::uint32_t naprSost_ = 0xAAAAAAAAu;
    int itemSize_ = 16;
    TPrimitiveStile itemStile_ = prsRect;
    QColor selectColor_ = Qt::black;
    QColor unSelectColor_ = Qt::white;
    QColor disableColor_ = QColor(0xC0, 0xC0, 0xC0);
    TNaprOrient orient_ = noHorz;
    bool showCaption_ = false;
    QFont captionFont_;
    int pressedItem_ = 0;  // the item under the last press, 0 when none
    int focusItem_ = 1;
    QString itemName_;
};

}  // namespace kdt::gui

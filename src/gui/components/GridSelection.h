// The selection grids: TCustomGridSel, a grid of small shapes
// each with a colour from a list and a selected state; TGraphicKanal, one
// row of 32 (one per channel); TGridSelection, with its column and row
// counts published; and the colour list TColorItems of TColorItem.
// Painted controls with no access to the plan.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QColor>
#include <QPen>
#include <QWidget>

#include "components/GraphicNapr.h"

namespace kdt::gui {

class TColorItems;

class TColorItem {
public:
    explicit TColorItem(TColorItems* collection) : collection_(collection) {}
    QColor Color() const { return color_; }
    void setColor(const QColor& colour);  // a different colour repaints the owner
    void Assign(const TColorItem& other) { setColor(other.Color()); }
    // The colour as text ("#ff0000"), or the collection's item name for no colour.
    QString DisplayName() const;

private:
    TColorItems* collection_;
    QColor color_ = Qt::white;
};

class TColorItems final : public QObject {
    Q_OBJECT
public:
    explicit TColorItems(QObject* owner = nullptr) : QObject(owner) {}

    TColorItem& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TColorItem& Item(int index) { return *items_.at(static_cast<std::size_t>(index)); }
    const TColorItem& Item(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    void Clear();
    void Assign(const TColorItems& other);  // copies the items

    void NotifyChanged() { emit Changed(); }

signals:
    void Changed();

private:
    std::vector<std::unique_ptr<TColorItem>> items_;
};

class TCustomGridSel : public QWidget {
    Q_OBJECT
public:
    static constexpr std::uint32_t kSelectedBit = 0x80;
    static constexpr int kMaxCount = 256;
    static constexpr int kMaxSelectionBits = 32;

    explicit TCustomGridSel(QWidget* parent = nullptr);

    TColorItems& Colors() { return colors_; }
    const TColorItems& Colors() const { return colors_; }
    void setColors(const TColorItems& colours) { colors_.Assign(colours); }
    int ItemSize() const { return itemSize_; }
    void setItemSize(int size);  // at least 1: the hit test divides by it
    int SpaseSize() const { return spaseSize_; }
    void setSpaseSize(int size);
    TPrimitiveStile ItemStile() const { return itemStile_; }
    void setItemStile(TPrimitiveStile stile);
    QPen SelectPen() const { return selectPen_; }
    void setSelectPen(const QPen& pen);
    bool ShowCaption() const { return showCaption_; }
    void setShowCaption(bool show);
    bool MultiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on);  // on also turns ColorChanged off
    bool ColorChanged() const { return colorChanged_; }
    void setColorChanged(bool on) { colorChanged_ = on; }

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    int ItemCount() const { return static_cast<int>(items_.size()); }
    std::uint32_t ItemValue(int index) const;  // the raw item, 0 outside the list
    bool IsItemSelected(int index) const { return (ItemValue(index) & kSelectedBit) != 0; }

    void SetItemCount(int count);
    // Column and row counted from 1; -1 outside the grid.
    int ItemIndexOf(int column, int row) const;
    // The item under a point: right of the last column counts as the last
    // column, below the last row as the last row; -1 left of or above the grid.
    int ItemAtPos(int x, int y) const;
    void ToggleSelected(int index);
    void NextColor(int index);
    void ToggleCell(int column, int row, int unused = 0);
    // At most 32 items, first .. first + count - 1, those that exist.
    std::uint32_t GetSelection(int first, int count) const;
    void SetSelection(int first, int count, std::uint32_t bits);
    void ClearSelection();

    virtual void DrawCaption(QPainter& painter, const EdgeRect& rect, const QString& text);
    virtual void SetItemColor(int index, std::uint8_t colour);
    virtual std::uint8_t GetItemColor(int index) const;

    // Keyboard: the item the arrows move to and Space clicks.
    int focusIndex() const { return focusIndex_; }
    void setFocusIndex(int index);

signals:
    void Change();

protected:
    void setColCountValue(int count);
    void setRowCountValue(int count);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Exists(int index) const { return index >= 0 && index < ItemCount(); }
    EdgeRect CellRect(int index) const;
    void Click(int index);
    void DoChange() { emit Change(); }
    void UpdateDescription();

    std::vector<std::uint32_t> items_;
    TColorItems colors_;
    int colCount_ = 32;
    int rowCount_ = 1;
    int itemSize_ = 16;
    int spaseSize_ = 1;
    TPrimitiveStile itemStile_ = prsEllipse;
    QPen selectPen_{QBrush(Qt::black), 2};
    bool showCaption_ = false;
    bool multiSelect_ = false;
    bool colorChanged_ = true;
    int pressedIndex_ = -1;
    int focusIndex_ = 0;
};

// One row of 32 items, one per channel.
class TGraphicKanal final : public TCustomGridSel {
    Q_OBJECT
public:
    using TCustomGridSel::TCustomGridSel;
};

class TGridSelection final : public TCustomGridSel {
    Q_OBJECT
public:
    using TCustomGridSel::TCustomGridSel;
    // Forced into 1..256; the items follow, the control's size does not.
    void setColCount(int count) { setColCountValue(count); }
    void setRowCount(int count) { setRowCountValue(count); }
};

}  // namespace kdt::gui

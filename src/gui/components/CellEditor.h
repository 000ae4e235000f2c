// In-place editing of a grid cell, as the pages' grids do it: a widget laid
// over one cell that follows the grid when it scrolls, and a line edit on
// that overlay that reports every keystroke for the cell it lies over.
#pragma once

#include <QObject>

#include "components/PlainLineEdit.h"

namespace kdt::gui {

class GridTable;

// Keeps a widget over one cell: at the cell's rectangle in the grid's
// viewport, moved when the grid scrolls or a column changes its width,
// hidden while the cell is out of view. The widget becomes a child of the
// viewport, so a cell partly in view shows the widget clipped with it.
class CellOverlay final : public QObject {
    Q_OBJECT
public:
    CellOverlay(GridTable* table, QWidget* widget);

    // Lays the widget over the cell and shows it while the cell is in view.
    void place(int gridRow, int column);
    // No cell any more: the widget is hidden.
    void clear();
    bool placed() const { return row_ > 0; }
    int row() const { return row_; }
    int column() const { return column_; }
    // Brings the widget back over its cell; the grid's signals call it.
    void follow();

private:
    GridTable* table_;
    QWidget* widget_;
    int row_ = 0;
    int column_ = 0;
};

// The in-place field: a plain line edit over a cell. Its text changes are
// reported with the cell it lies over, so a handler stores into the cell
// that was edited, whatever the grid's current cell is by then. The arrow
// keys up and down move the grid's current cell, as they would in the grid.
class CellEditor final : public PlainLineEdit {
    Q_OBJECT
public:
    explicit CellEditor(GridTable* table);

    // Lays the field over the cell; the caller fills its text (under the
    // fill guard) and gives it the focus when it should have it.
    void placeOver(int gridRow, int column);
    void clearPlace() { overlay_->clear(); }
    bool placed() const { return overlay_->placed(); }
    int row() const { return overlay_->row(); }
    int column() const { return overlay_->column(); }
    GridTable* table() const { return table_; }

signals:
    // The text changed (every keystroke, and every text the program sets).
    void edited(int gridRow, int column);
    // The focus left the field (not for a window deactivation or a popup).
    void left(int gridRow, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    GridTable* table_;
    CellOverlay* overlay_;
};

}  // namespace kdt::gui

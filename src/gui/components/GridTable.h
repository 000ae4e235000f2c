// The grids of the editor pages: a QTableWidget set up as the pages' grids
// are (no edit triggers, rows 16 pixels high, a header row, number columns
// that cannot be selected), addressed by the description's grid rows.
#pragma once

#include <QHash>
#include <QStringList>
#include <QTableWidget>

namespace kdt::gui {

// The description counts a grid's header as row 0 and its data rows from 1;
// the table's rows start below its header. Table row -1 (no current row)
// is grid row 0, the header, which no handler takes as a data row.
inline constexpr int GridRowOfTableRow(int tableRow) {
    return tableRow + 1;
}
inline constexpr int TableRowOfGridRow(int gridRow) {
    return gridRow - 1;
}

class GridTable : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 16;

    explicit GridTable(QWidget* parent = nullptr);

    // The header row's captions; their number is the number of columns.
    void setHeaderTexts(const QStringList& captions);
    QString headerText(int column) const;
    // The first `count` columns hold row numbers: drawn as the header is,
    // never selected or current, skipped by the arrow keys.
    void setNumberColumns(int count);
    int numberColumns() const { return numberColumns_; }

    // How the texts of a column stand in their cells (default: left).
    void setColumnAlignment(int column, Qt::Alignment alignment);

    // Data rows 1..count below the header. Changing the count never reports
    // a selection, even when it moves the current cell.
    void setDataRowCount(int count);
    int dataRowCount() const { return rowCount(); }

    void setCellText(int gridRow, int column, const QString& text);
    QString cellText(int gridRow, int column) const;
    QTableWidgetItem* cellItem(int gridRow, int column) const {
        return item(TableRowOfGridRow(gridRow), column);
    }
    // Where the cell lies in the viewport's coordinates (empty when it has no item).
    QRect cellRect(int gridRow, int column) const;

    // The current cell in grid rows; 0 when there is none.
    int currentGridRow() const { return GridRowOfTableRow(currentRow()); }
    // Makes a cell current without reporting it: a page fills and selects
    // under its own control and runs its handler itself when it needs it.
    void selectCell(int gridRow, int column);

signals:
    // The user made a data cell current (mouse or keyboard).
    void cellSelected(int gridRow, int column);

private:
    void StyleNumberCell(QTableWidgetItem* item) const;

    int numberColumns_ = 0;
    QHash<int, Qt::Alignment> alignments_;
};

}  // namespace kdt::gui

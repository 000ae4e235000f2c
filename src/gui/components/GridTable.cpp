#include "components/GridTable.h"

#include <algorithm>

#include <QHeaderView>
#include <QSignalBlocker>

namespace kdt::gui {

GridTable::GridTable(QWidget* parent) : QTableWidget(parent) {
    // Cells are edited by a page's own in-place field, keystroke by
    // keystroke, never by the view's delegate, which commits on close.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTextElideMode(Qt::ElideNone);
    setAcceptDrops(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(kRowHeight + 2);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
        if (row >= 0 && column >= 0) emit cellSelected(GridRowOfTableRow(row), column);
    });
}

void GridTable::setHeaderTexts(const QStringList& captions) {
    const QSignalBlocker blocker(this);
    setColumnCount(static_cast<int>(captions.size()));
    setHorizontalHeaderLabels(captions);
}

QString GridTable::headerText(int column) const {
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    return header != nullptr ? header->text() : QString();
}

void GridTable::setNumberColumns(int count) {
    numberColumns_ = count;
    for (int row = 0; row < rowCount(); ++row)
        for (int column = 0; column < std::min(count, columnCount()); ++column)
            if (QTableWidgetItem* cell = item(row, column)) StyleNumberCell(cell);
}

void GridTable::StyleNumberCell(QTableWidgetItem* cell) const {
    // Not enabled: a click or an arrow key never makes it current.
    cell->setFlags(Qt::NoItemFlags);
    cell->setBackground(palette().brush(QPalette::Button));
    cell->setForeground(palette().brush(QPalette::ButtonText));
}

void GridTable::setColumnAlignment(int column, Qt::Alignment alignment) {
    alignments_.insert(column, alignment);
    for (int row = 0; row < rowCount(); ++row)
        if (QTableWidgetItem* cell = item(row, column)) cell->setTextAlignment(alignment);
}

void GridTable::setDataRowCount(int count) {
    const QSignalBlocker blocker(this);
    setRowCount(std::max(count, 0));
}

void GridTable::setCellText(int gridRow, int column, const QString& text) {
    const int row = TableRowOfGridRow(gridRow);
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        if (column < numberColumns_)
            StyleNumberCell(cell);
        else
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (const auto alignment = alignments_.constFind(column); alignment != alignments_.cend())
            cell->setTextAlignment(*alignment);
        const QSignalBlocker blocker(this);
        setItem(row, column, cell);
    }
    cell->setText(text);
}

QString GridTable::cellText(int gridRow, int column) const {
    const QTableWidgetItem* cell = item(TableRowOfGridRow(gridRow), column);
    return cell != nullptr ? cell->text() : QString();
}

QRect GridTable::cellRect(int gridRow, int column) const {
    const QModelIndex index = model()->index(TableRowOfGridRow(gridRow), column);
    return index.isValid() ? visualRect(index) : QRect();
}

void GridTable::selectCell(int gridRow, int column) {
    const QSignalBlocker blocker(this);
    setCurrentCell(TableRowOfGridRow(gridRow), column);
}

}  // namespace kdt::gui

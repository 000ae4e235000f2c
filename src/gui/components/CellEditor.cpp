#include "components/CellEditor.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include "components/GridTable.h"
#include "components/KeyFilters.h"

namespace kdt::gui {

CellOverlay::CellOverlay(GridTable* table, QWidget* widget)
    : QObject(widget), table_(table), widget_(widget) {
    widget_->setParent(table_->viewport());
    widget_->hide();
    const auto follow = [this] { this->follow(); };
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this, follow);
    connect(table_->horizontalScrollBar(), &QScrollBar::valueChanged, this, follow);
    connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this, follow);
    connect(table_->verticalHeader(), &QHeaderView::sectionResized, this, follow);
    connect(table_->horizontalHeader(), &QHeaderView::geometriesChanged, this, follow);
}

void CellOverlay::place(int gridRow, int column) {
    row_ = gridRow;
    column_ = column;
    follow();
}

void CellOverlay::clear() {
    row_ = 0;
    column_ = 0;
    widget_->hide();
}

void CellOverlay::follow() {
    if (!placed()) return;
    const QRect cell = table_->cellRect(row_, column_);
    if (cell.isEmpty() || !cell.intersects(table_->viewport()->rect())) {
        widget_->hide();
        return;
    }
    widget_->setGeometry(cell);
    widget_->show();
    widget_->raise();
}

CellEditor::CellEditor(GridTable* table) : PlainLineEdit(table), table_(table) {
    setFrame(false);
    setAutoFillBackground(true);
    overlay_ = new CellOverlay(table, this);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (placed()) emit edited(row(), column());
    });
}

void CellEditor::focusOutEvent(QFocusEvent* event) {
    PlainLineEdit::focusOutEvent(event);
    // A handler of its own rather than OnLeave: a field destroyed while it
    // has the focus loses it after this part of it is gone.
    if (LeavesField(event->reason()) && placed()) emit left(row(), column());
}

void CellEditor::placeOver(int gridRow, int column) {
    // Named as a screen reader would read the cell: its column and its row.
    setAccessibleName(table_->headerText(column).trimmed() + QLatin1Char(' ') + QString::number(gridRow));
    overlay_->place(gridRow, column);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                QCoreApplication::sendEvent(table_, event);
                return;
            }
            break;
        default:
            break;
    }
    PlainLineEdit::keyPressEvent(event);
}

}  // namespace kdt::gui

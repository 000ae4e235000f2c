#include "components/PlainLineEdit.h"

#include <QMouseEvent>

namespace kdt::gui {

PlainLineEdit::PlainLineEdit(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
}

void PlainLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection on X11, past every key filter.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

}  // namespace kdt::gui

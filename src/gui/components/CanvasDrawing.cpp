#include "components/CanvasDrawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

namespace kdt::gui {

QRect OutlineRect(const EdgeRect& edges) {
    return QRect(edges.left, edges.top, edges.width() - 1, edges.height() - 1);
}

void DrawTextAtTop(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

void DrawTextCentredAtTop(QPainter& painter, const EdgeRect& cell, const QString& text) {
    const int textWidth = painter.fontMetrics().horizontalAdvance(text);
    DrawTextAtTop(painter, cell.left + (cell.width() - textWidth) / 2, cell.top, text);
}

}  // namespace kdt::gui

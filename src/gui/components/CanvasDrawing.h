// Drawing as the description gives it: an outline rectangle (L, T, R, B)
// covers the columns L..R-1 and rows T..B-1, and a text position is the
// top-left corner of the text's cell, not its baseline.
#pragma once

#include <QRect>

class QPainter;
class QString;

namespace kdt::gui {

// A rectangle by its four edges, right and bottom excluded, as the
// description writes them.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    EdgeRect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const EdgeRect&) const = default;
};

// The edges of a QRect (whose right() and bottom() are inside it).
inline EdgeRect EdgesOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The rectangle QPainter strokes for the description's Rectangle(L, T, R, B):
// with a one-pixel pen it covers L..R-1 and T..B-1 and no more, and a fill
// without a pen covers the inside the description's fill covers.
QRect OutlineRect(const EdgeRect& edges);

// Writes the text with the top-left corner of its cell at (x, y).
void DrawTextAtTop(QPainter& painter, int x, int y, const QString& text);

// The text centred horizontally in [left, right), its top at top; the left
// edge is left + (width - text width) / 2, rounded toward zero.
void DrawTextCentredAtTop(QPainter& painter, const EdgeRect& cell, const QString& text);

}  // namespace kdt::gui

// Draws a signal program's timing diagram, laid out by the core, on a
// painter: printer, PDF, preview or image alike.
#pragma once

#include <QFont>
#include <QRectF>

#include "report/TimingDiagram.h"

class QPainter;

namespace kdt::gui {

// Draws the diagram in the family of the report font. The painter's state is
// as before afterwards.
void PaintTimingDiagram(QPainter& painter, const TimingDiagram& diagram, const QFont& reportFont);

// The font whose character cells are cellHeight device units high on the painter's device.
QFont FontOfCellHeight(const QFont& face, double cellHeight, QPainter& painter);

// The area [left, right) x [top, bottom) as drawn with an outline of the
// given width inside it: the inner fill rectangle and the four outline strips.
struct OutlinedArea {
    QRectF fill;
    QRectF strips[4];
};
OutlinedArea OutlineRect(double left, double top, double right, double bottom, double outlineWidth);

}  // namespace kdt::gui

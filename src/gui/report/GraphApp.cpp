#include "report/GraphApp.h"

#include <algorithm>
#include <type_traits>

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include "shell/QtText.h"

namespace kdt::gui {
namespace {

QColor ToColour(const DiagramColour& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

// The strip a pen move covers: the start included, the end left out, one
// outline width thick to the right of a vertical move and below a horizontal one.
QRectF LineStrip(const DiagramLine& line, double width) {
    if (line.y1 == line.y2) {
        const double left = line.x2 >= line.x1 ? line.x1 : line.x2 + width;
        const double right = line.x2 >= line.x1 ? line.x2 : line.x1 + width;
        return QRectF(left, line.y1, right - left, width);
    }
    const double top = line.y2 >= line.y1 ? line.y1 : line.y2 + width;
    const double bottom = line.y2 >= line.y1 ? line.y2 : line.y1 + width;
    return QRectF(line.x1, top, width, bottom - top);
}

}  // namespace

OutlinedArea OutlineRect(double left, double top, double right, double bottom, double outlineWidth) {
    const double width = right - left;
    const double height = bottom - top;
    const double w = std::min(outlineWidth, width / 2);
    const double h = std::min(outlineWidth, height / 2);
    OutlinedArea area;
    area.fill = QRectF(left, top, width, height);
    area.strips[0] = QRectF(left, top, width, h);
    area.strips[1] = QRectF(left, bottom - h, width, h);
    area.strips[2] = QRectF(left, top, w, height);
    area.strips[3] = QRectF(right - w, top, w, height);
    return area;
}

QFont FontOfCellHeight(const QFont& face, double cellHeight, QPainter& painter) {
    // The cell is the font's ascent and descent; Qt sizes a font by its em.
    QFont probe = face;
    constexpr int kProbePixels = 1000;
    probe.setPixelSize(kProbePixels);
    const double probeHeight = QFontMetricsF(probe, painter.device()).height();
    QFont font = face;
    font.setPixelSize(std::max(1, qRound(cellHeight * kProbePixels / probeHeight)));
    return font;
}

void PaintTimingDiagram(QPainter& painter, const TimingDiagram& diagram, const QFont& reportFont) {
    painter.save();
    // Shapes on whole device units cover whole dots either way; smoothing
    // keeps outlines of a fraction of a screen pixel visible in the preview.
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFont font = FontOfCellHeight(reportFont, diagram.fontHeight, painter);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const QColor black(0, 0, 0);
    QPen outline(black, diagram.outlineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);

    for (const DiagramShape& shape : diagram.shapes) {
        std::visit(
            [&](const auto& item) {
                using Item = std::decay_t<decltype(item)>;
                if constexpr (std::is_same_v<Item, DiagramLine>) {
                    painter.fillRect(LineStrip(item, diagram.outlineWidth), black);
                } else if constexpr (std::is_same_v<Item, DiagramRect>) {
                    if (!item.outlined) {
                        painter.fillRect(
                            QRectF(item.left, item.top, item.right - item.left, item.bottom - item.top),
                            ToColour(item.fill));
                        return;
                    }
                    const OutlinedArea area =
                        OutlineRect(item.left, item.top, item.right, item.bottom, diagram.outlineWidth);
                    painter.fillRect(area.fill, ToColour(item.fill));
                    for (const QRectF& strip : area.strips) painter.fillRect(strip, black);
                } else if constexpr (std::is_same_v<Item, DiagramPolygon>) {
                    QPolygonF polygon;
                    for (const auto& point : item.points) polygon << QPointF(point.x, point.y);
                    painter.setPen(outline);
                    painter.setBrush(ToColour(item.fill));
                    painter.drawPolygon(polygon);
                } else {
                    const QString text = ToQString(item.text);
                    const double left = item.centred ? item.x - metrics.horizontalAdvance(text) / 2 : item.x;
                    painter.setPen(black);
                    // Texts blank out what lies under them, as the scale's numbers do its ticks.
                    painter.setBackgroundMode(Qt::OpaqueMode);
                    painter.setBackground(Qt::white);
                    painter.drawText(QPointF(left, item.top + metrics.ascent()), text);
                    painter.setBackgroundMode(Qt::TransparentMode);
                }
            },
            shape);
    }
    painter.restore();
}

}  // namespace kdt::gui

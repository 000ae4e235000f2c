#include "simulation/SimulationPicture.h"

#include <cmath>

#include <qdrawutil.h>
#include <QPainter>

namespace kdt::gui {
namespace {

// The described drawing's outlines leave out their right and bottom edge.
QRect OutlineRect(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left - 1, bottom - top - 1);
}

// Qt places an arc's ends by the ellipse's own angle; the visor's ends are
// given as points, so their angles are taken through the ellipse's radii.
int ArcAngle16(const QRectF& box, QPointF point) {
    const QPointF centre = box.center();
    const double angle = std::atan2(-(point.y() - centre.y()) / (box.height() / 2),
                                    (point.x() - centre.x()) / (box.width() / 2));
    return static_cast<int>(std::lround(angle * 180.0 / M_PI * 16));
}

void DrawLamp(QPainter& painter, const LampPlace& lamp, const ChannelRecord& record, int stripOffset) {
    const bool lit = record.lit != 0;
    painter.setPen(Qt::black);
    painter.setBrush(LampColour(lamp.kind, lit));
    // The strip of all channels under the heads.
    const int stripLeft = 12 * lamp.channel + stripOffset;
    painter.drawEllipse(OutlineRect(stripLeft, kHeadBottom + 5, stripLeft + 10, kHeadBottom + 15));
    painter.drawEllipse(OutlineRect(lamp.left, lamp.top, lamp.right(), lamp.bottom()));
    painter.setPen(lit ? Qt::black : Qt::white);
    painter.drawText(QRect(lamp.left, lamp.top, kLampSize, kLampSize), Qt::AlignCenter,
                     QString::number(lamp.channel));
    // The visor over the lamp, from its right to its left.
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    const QRectF box = OutlineRect(lamp.left - 1, lamp.top - 3, lamp.right() + 1, lamp.top + 12);
    const int start = ArcAngle16(box, QPointF(lamp.right() + 1, lamp.top + 4));
    const int end = ArcAngle16(box, QPointF(lamp.left - 1, lamp.top + 4));
    // Counter-clockwise from the first point to the second: over the lamp's top.
    int span = end - start;
    if (span <= 0) span += 360 * 16;
    painter.drawArc(box, start, span);
    if (record.fault != 0) {
        // A switch under the lamp: open for a lamp failed dark, closed for one failed lit.
        const int x = lamp.left;
        const int y = lamp.bottom() + 3;
        painter.drawLine(x + 8, y, x + 12, y);
        painter.drawLine(x + 12, y, x + 16, record.fault == 1 ? lamp.bottom() : y);
        painter.drawLine(x + 16, y, x + 20, y);
    }
}

}  // namespace

QColor LampColour(LampKind kind, bool lit) {
    switch (kind) {
        case LampKind::Red:
            return lit ? QColor(255, 64, 64) : QColor(128, 0, 0);
        case LampKind::Yellow:
            return lit ? QColor(255, 255, 0) : QColor(128, 128, 0);
        case LampKind::Green:
            return lit ? QColor(0, 255, 0) : QColor(0, 128, 0);
        case LampKind::Wait:
            return lit ? QColor(255, 255, 255) : QColor(80, 80, 80);
        case LampKind::None:
            break;
    }
    return Qt::transparent;
}

QFont PictureFont(const QFont& interfaceFont, int logicalDpiY) {
    QFont font = interfaceFont;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(8.0 * logicalDpiY / 72.0))));
    return font;
}

void DrawSimulationPicture(QPainter& painter, const SimulationPicture& picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(picture.font);
    const QFontMetrics metrics = painter.fontMetrics();
    for (const HeadPlace& head : picture.layout->heads) {
        qDrawShadeRect(&painter, QRect(head.left, kHeadTop, head.right - head.left, kHeadBottom - kHeadTop),
                       picture.palette, true, 1);
        for (const LampPlace& lamp : head.lamps)
            DrawLamp(painter, lamp, (*picture.channels)[lamp.channel - 1], picture.stripOffset);
        const QString caption =
            (head.pedestrian ? QStringLiteral("ТВП.") : QStringLiteral("Н.")) + QString::number(head.number);
        const int centre = (head.left + head.right) / 2;
        const int height = metrics.height();
        painter.setPen(Qt::black);
        painter.drawText(QRect(centre - 50, kHeadBottom - 2 - height, 100, height),
                         Qt::AlignHCenter | Qt::AlignTop, caption);
    }
    if (picture.statusLineShown) {
        painter.setPen(Qt::black);
        painter.drawText(16, kPrintedStatusTop + metrics.ascent(), picture.statusLine);
    }
    painter.restore();
}

}  // namespace kdt::gui

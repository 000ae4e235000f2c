#include "shell/Icons.h"

#include <functional>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kdt::gui {
namespace {

using Drawing = std::function<void(QPainter&)>;

// Every picture is drawn on a 16 by 16 grid and scaled, so it stays sharp
// at any size the style asks for.
QImage Render(const Drawing& draw, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    return image;
}

QIcon MakeIcon(const Drawing& draw) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) icon.addPixmap(QPixmap::fromImage(Render(draw, size)));
    return icon;
}

const QColor kInk(60, 60, 70);
const QColor kPaper(252, 252, 248);
const QColor kRed(210, 40, 40);
const QColor kYellow(240, 190, 30);
const QColor kGreen(40, 160, 60);
const QColor kBlue(50, 100, 190);

void Page(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(3, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(13, 4.5);
    sheet.lineTo(13, 14.5);
    sheet.lineTo(3, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
    p.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
}

void TrafficLight(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(45, 45, 50));
    p.drawRoundedRect(QRectF(4.5, 0.5, 7, 15), 2, 2);
    p.setPen(Qt::NoPen);
    const QColor lamps[] = {kRed, kYellow, kGreen};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(8, 3.3 + 4.7 * i), 1.8, 1.8);
    }
}

void CurvedArrow(QPainter& p, bool forward) {
    if (!forward) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(3, 12);
    arc.cubicTo(3, 5, 8, 4, 12, 6);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(14.5, 7.5);
    head.lineTo(9.5, 9.5);
    head.lineTo(11.5, 3.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(head);
}

void Command(CommandIcon command, QPainter& p) {
    switch (command) {
        case CommandIcon::New:
            Page(p);
            p.setPen(Qt::NoPen);
            p.setBrush(kYellow);
            p.drawEllipse(QPointF(12, 12), 3, 3);
            break;
        case CommandIcon::Open: {
            p.setPen(QPen(QColor(150, 110, 20), 1));
            p.setBrush(QColor(235, 195, 90));
            p.drawRect(QRectF(1.5, 3.5, 11, 10));
            QPolygonF flap({{3.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}, {1.5, 13.5}});
            p.setBrush(QColor(250, 215, 120));
            p.drawPolygon(flap);
            break;
        }
        case CommandIcon::Save:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(200, 200, 205));
            p.drawRect(QRectF(4, 9.5, 8, 5));
            break;
        case CommandIcon::Delete:
            Page(p);
            p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 7), QPointF(14, 15));
            p.drawLine(QPointF(14, 7), QPointF(6, 15));
            break;
        case CommandIcon::Simulation:
            TrafficLight(p);
            break;
        case CommandIcon::Compile:
            p.setPen(QPen(QColor(150, 150, 155), 1));
            for (int i = 0; i < 4; ++i) {
                p.drawLine(QPointF(1, 4.5 + 2.5 * i), QPointF(3, 4.5 + 2.5 * i));
                p.drawLine(QPointF(13, 4.5 + 2.5 * i), QPointF(15, 4.5 + 2.5 * i));
            }
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(50, 50, 55));
            p.drawRoundedRect(QRectF(3.5, 2.5, 9, 11), 1, 1);
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(6, 5), 1, 1);
            break;
        case CommandIcon::Analysis:
            p.setPen(QPen(kInk, 1.6));
            p.setBrush(QColor(210, 230, 250));
            p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
            p.setPen(QPen(QColor(120, 80, 40), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
            break;
        case CommandIcon::Print:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(170, 170, 178));
            p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1, 1);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 9.5, 7, 5));
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(12.5, 7.5), 0.8, 0.8);
            break;
        case CommandIcon::Run: {
            QPolygonF play({{4.5, 2.5}, {13.5, 8}, {4.5, 13.5}});
            p.setPen(QPen(QColor(20, 100, 40), 1));
            p.setBrush(kGreen);
            p.drawPolygon(play);
            break;
        }
        case CommandIcon::Pause:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawRect(QRectF(3.5, 2.5, 3, 11));
            p.drawRect(QRectF(9.5, 2.5, 3, 11));
            break;
        case CommandIcon::FitWidth: {
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 3.5, 7, 9));
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawPolygon(QPolygonF({{0.5, 8}, {3.5, 5}, {3.5, 11}}));
            p.drawPolygon(QPolygonF({{15.5, 8}, {12.5, 5}, {12.5, 11}}));
            break;
        }
        case CommandIcon::Undo:
            CurvedArrow(p, false);
            break;
        case CommandIcon::Redo:
            CurvedArrow(p, true);
            break;
    }
}

// A small picture per page, so the eleven buttons can be told apart.
void PagePicture(int number, QPainter& p) {
    p.setPen(QPen(kInk, 1));
    switch (number) {
        case 1:  // the plan-wide values: a form with lines
            Page(p);
            p.setPen(QPen(kBlue, 1.2));
            for (int i = 0; i < 4; ++i) p.drawLine(QPointF(5, 5.5 + 2.4 * i), QPointF(11, 5.5 + 2.4 * i));
            break;
        case 2: {  // channel colours
            const QColor lamps[] = {kRed, kYellow, kGreen};
            for (int i = 0; i < 3; ++i) {
                p.setBrush(lamps[i]);
                p.drawEllipse(QPointF(3.5 + 4.5 * i, 8), 2.3, 2.3);
            }
            break;
        }
        case 3:  // directions: two arrows
            p.setPen(QPen(kGreen, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(2, 8), QPointF(13, 8));
            p.drawLine(QPointF(10, 5), QPointF(13, 8));
            p.drawLine(QPointF(10, 11), QPointF(13, 8));
            p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 15), QPointF(8, 3));
            p.drawLine(QPointF(5, 6), QPointF(8, 3));
            p.drawLine(QPointF(11, 6), QPointF(8, 3));
            break;
        case 4:  // phases: a crossing
            p.setBrush(QColor(120, 120, 125));
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(6, 0.5, 4, 15));
            p.drawRect(QRectF(0.5, 6, 15, 4));
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(8, 8), 1.6, 1.6);
            break;
        case 5:  // programs: tacts on a time line
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawRect(QRectF(1, 4, 6, 3));
            p.setBrush(kYellow);
            p.drawRect(QRectF(7, 4, 2, 3));
            p.setBrush(kBlue);
            p.drawRect(QRectF(9, 9, 6, 3));
            p.setBrush(kRed);
            p.drawRect(QRectF(1, 9, 8, 3));
            break;
        case 6:  // pedestrian call: a walking figure
            p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(8, 2.5), 1.5, 1.5);
            p.drawLine(QPointF(8, 5), QPointF(7, 10));
            p.drawLine(QPointF(7, 10), QPointF(4, 15));
            p.drawLine(QPointF(7, 10), QPointF(10, 15));
            p.drawLine(QPointF(8, 6), QPointF(11, 9));
            p.drawLine(QPointF(8, 6), QPointF(5, 8));
            break;
        case 7:  // daily schedule: a clock
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
            p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
            p.drawLine(QPointF(8, 8), QPointF(11.5, 9.5));
            break;
        case 8:  // coordinator: a centre and its controllers
            p.setPen(QPen(kInk, 1));
            p.drawLine(QPointF(8, 8), QPointF(2.5, 3));
            p.drawLine(QPointF(8, 8), QPointF(13.5, 3));
            p.drawLine(QPointF(8, 8), QPointF(8, 14));
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
            p.setBrush(kYellow);
            for (const QPointF point : {QPointF(2.5, 3), QPointF(13.5, 3), QPointF(8, 14)})
                p.drawEllipse(point, 1.7, 1.7);
            break;
        case 9: {  // speed indicator: a dial
            QPainterPath dial;
            dial.moveTo(1.5, 12);
            dial.arcTo(QRectF(1.5, 4, 13, 13), 180, -180);
            p.setBrush(kPaper);
            p.drawPath(dial);
            p.setPen(QPen(kRed, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 10.5), QPointF(12, 6.5));
            break;
        }
        case 10:  // transport detectors: a car over a loop
            p.setPen(QPen(kYellow, 1.2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(1.5, 9.5, 13, 5));
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(3, 4, 10, 6), 2, 2);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(5.5, 10.5), 1.3, 1.3);
            p.drawEllipse(QPointF(10.5, 10.5), 1.3, 1.3);
            break;
        case 11:  // memo lines: a note
            p.setBrush(QColor(255, 240, 150));
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.setPen(QPen(kInk, 1));
            for (int i = 0; i < 3; ++i) p.drawLine(QPointF(4.5, 5.5 + 2.5 * i), QPointF(11.5, 5.5 + 2.5 * i));
            break;
        default:
            break;
    }
}

}  // namespace

QIcon IconFor(CommandIcon command) {
    return MakeIcon([command](QPainter& p) { Command(command, p); });
}

QIcon PageIcon(int pageNumber) {
    return MakeIcon([pageNumber](QPainter& p) { PagePicture(pageNumber, p); });
}

QIcon AppIcon() {
    return MakeIcon(TrafficLight);
}

QByteArray AppIconPng(int size) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Render(TrafficLight, size).save(&buffer, "PNG");
    return png;
}

}  // namespace kdt::gui

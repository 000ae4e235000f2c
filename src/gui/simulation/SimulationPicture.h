// The simulation's picture: the signal heads with every lamp lit or dark,
// the channel strip, the fault marks and the captions. The same drawing
// serves the screen and the printed page.
#pragma once

#include <array>

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include "simulation/HeadLayout.h"

class QPainter;

namespace kdt::gui {

// Height of the drawing surface; the printed status line sits 16 pixels above its bottom.
inline constexpr int kSurfaceHeight = 177;
inline constexpr int kPrintedStatusTop = kSurfaceHeight - 16;

struct SimulationPicture {
    const HeadLayout* layout = nullptr;
    const std::array<ChannelRecord, kChannelCount>* channels = nullptr;
    // The channel strip stays in place on a scrolled surface: it is drawn
    // this far to the right of the picture's origin.
    int stripOffset = 0;
    QFont font;                    // in pixels, so a scaled printout scales the text with the picture
    QPalette palette;              // the shades of the etched frames
    bool statusLineShown = false;  // on paper, the status line under the heads
    QString statusLine;
};

QColor LampColour(LampKind kind, bool lit);

// The window's 8-point interface font as a pixel font for the picture.
QFont PictureFont(const QFont& interfaceFont, int logicalDpiY);

void DrawSimulationPicture(QPainter& painter, const SimulationPicture& picture);

}  // namespace kdt::gui

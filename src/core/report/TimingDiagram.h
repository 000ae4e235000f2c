// The timing diagram of one signal program as a list of shapes: a time scale
// with the tact boundaries, one bar per direction with its transitions, the
// phase boxes and the labels. Any canvas that can fill rectangles and
// polygons and write text draws it; nothing here knows a paint library.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "data/TypeKDT.h"

namespace kdt {

struct DiagramColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const DiagramColour&, const DiagramColour&) = default;
};

inline constexpr DiagramColour kDiagramGreen{0, 255, 0};
inline constexpr DiagramColour kDiagramRed{255, 0, 0};
inline constexpr DiagramColour kDiagramDarkGreen{0, 128, 0};
inline constexpr DiagramColour kDiagramWhite{255, 255, 255};
inline constexpr DiagramColour kDiagramYellow{255, 255, 0};

// All coordinates are device units of the canvas, as doubles: a scale that
// is shrunk to fit the page has no whole-unit half second.
//
// A horizontal or vertical line from (x1, y1) towards (x2, y2), the end point
// left out, one outline width thick on the right of / below the line.
struct DiagramLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The area from left to right and top to bottom, right and bottom left out.
// An outlined rectangle has its outline (one outline width, black) inside
// that area, so two rectangles that share an edge overlap by one outline width.
struct DiagramRect {
    double left = 0, top = 0, right = 0, bottom = 0;
    DiagramColour fill;
    bool outlined = true;
};

// A filled polygon outlined in black.
struct DiagramPolygon {
    struct Point {
        double x = 0, y = 0;
    };
    std::vector<Point> points;
    DiagramColour fill;
};

// A text in the diagram's font on a white background. x is its left edge, or
// its centre when centred; top is the top of its character cell.
struct DiagramText {
    double x = 0, top = 0;
    std::string text;  // UTF-8
    bool centred = false;
};

using DiagramShape = std::variant<DiagramLine, DiagramRect, DiagramPolygon, DiagramText>;

struct TimingDiagram {
    double outlineWidth = 1;           // lines and outlines, in device units
    double fontHeight = 24;            // the character cell height of the diagram's texts
    std::vector<DiagramShape> shapes;  // in drawing order: later ones cover earlier ones
};

// Where and how large the diagram is drawn.
struct DiagramPlacement {
    double top = 0;   // T: the top of the diagram (its title's top)
    double left = 0;  // X: where time 0 is
    double dpiX = 300;
    double dpiY = 300;
    double halfSecondWidth = 6;  // U: device units per half second
};

// The report's scale, 0.5 mm per half second, in whole device units.
double ReportHalfSecondWidth(double dpiX);
// The report's scale when the program's cycle fits into availableWidth,
// otherwise the widest scale that fits.
double FittingHalfSecondWidth(const TSignalPlan& plan, int program, double dpiX, double availableWidth);
// The cycle as the diagram draws it: the main and inter-tact periods of the
// program's tacts, in half seconds (not the stored cycle length).
long DiagramCycle(const TSignalPlan& plan, int program);

// The diagram of program 1..16 of the plan. The distances the picture was
// laid out with at 300 dpi (scale band, offsets, fonts, outlines) grow and
// shrink with the resolution, so it looks the same at every resolution.
TimingDiagram DrawTimingDiagram(const TSignalPlan& plan, int program, const DiagramPlacement& placement);

// The vertical distances of the diagram at this resolution.
struct DiagramMeasures {
    double scaleBand;  // K: the height of the scale band
    double rowPitch;   // R: the distance between two direction rows
    double barHeight;  // Hb
};
DiagramMeasures DiagramMeasuresAt(double dpiY);

}  // namespace kdt

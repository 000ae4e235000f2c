#include "report/TimingDiagram.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/PlanRules.h"

namespace kdt {
namespace {

// The picture was laid out in the device units of a 300 dpi printer.
constexpr double kLayoutDpi = 300;
constexpr double kScaleBand = 45;
constexpr double kFontHeight = 24;
constexpr double kFirstLabelLeft = 4;
constexpr double kLabelDown = 8;
constexpr double kRowLabelLeft = 64;

constexpr double kMillimetresPerInch = 25.4;
constexpr double kReportScale = 0.5;  // millimetres per half second

int CappedCount(int count, int limit) {
    return std::clamp(count, 0, limit);
}

// One program's tacts, copied out of the packed record.
struct Tacts {
    int count = 0;
    std::array<int, kMaxTacts> main{};
    std::array<int, kMaxTacts> inter{};
    std::array<unsigned, kMaxTacts> phase{};
};

Tacts TactsOf(const TSignalPlan& plan, int program) {
    Tacts tacts;
    if (program < 1 || program > kMaxPrograms) return tacts;
    const TSignalProgram& source = plan.Program[program - 1];
    tacts.count = CappedCount(source.TactCount, kMaxTacts);
    for (int t = 0; t < tacts.count; ++t) {
        tacts.main[t] = source.TactDuration[t];
        tacts.inter[t] = source.TactInterDuration[t];
        tacts.phase[t] = source.TactPhase[t];
    }
    return tacts;
}

class DiagramBuilder {
public:
    DiagramBuilder(const TSignalPlan& plan, const DiagramPlacement& placement)
        : plan_(plan),
          place_(placement),
          unitX_(placement.dpiX / kLayoutDpi),
          unitY_(placement.dpiY / kLayoutDpi),
          measures_(DiagramMeasuresAt(placement.dpiY)),
          rows_(CappedCount(plan.DirectionCount, kMaxDirections)) {
        diagram_.outlineWidth = unitX_;
        diagram_.fontHeight = kFontHeight * unitY_;
    }

    TimingDiagram Build(const Tacts& tacts) {
        DrawScaleAndPhaseBoxes(tacts);
        DrawRowLabels();
        for (int row = 0; row < rows_; ++row) DrawBar(tacts, row);
        return std::move(diagram_);
    }

private:
    double U() const { return place_.halfSecondWidth; }
    double K() const { return measures_.scaleBand; }
    double R() const { return measures_.rowPitch; }

    void Line(double x1, double y1, double x2, double y2) {
        diagram_.shapes.push_back(DiagramLine{x1, y1, x2, y2});
    }
    void Text(double x, double top, std::string text, bool centred) {
        diagram_.shapes.push_back(DiagramText{x, top, std::move(text), centred});
    }

    void DrawScaleAndPhaseBoxes(const Tacts& tacts) {
        const double y0 = place_.top + K();
        const double boxTop = y0 + rows_ * R() + K();
        double x = place_.left;
        long elapsed = 0;
        Line(x, y0, x, y0 + K());
        Text(x - kFirstLabelLeft * unitX_, y0 + kLabelDown * unitY_, "1", false);
        // One period: the top line, the tick at its end and the whole seconds gone by.
        const auto period = [&](int halfSeconds) {
            elapsed += halfSeconds / 2;
            Line(x, y0, x + halfSeconds * U(), y0);
            x += halfSeconds * U();
            Line(x, y0, x, y0 + K());
            Text(x, y0 + kLabelDown * unitY_, std::to_string(elapsed), true);
        };
        for (int t = 0; t < tacts.count; ++t) {
            period(tacts.main[t]);
            // The tact's phase box, open at the top.
            const double start = x - tacts.main[t] * U();
            Line(x, boxTop, x, boxTop + R());
            Line(x, boxTop + R(), start, boxTop + R());
            Line(start, boxTop + R(), start, boxTop);
            Text((start + x) / 2, boxTop, "Ф." + std::to_string(tacts.phase[t] + 1), true);
            period(tacts.inter[t]);
        }
    }

    void DrawRowLabels() {
        for (int row = 0; row < rows_; ++row)
            Text(place_.left - kRowLabelLeft * unitX_, RowTop(row), "Н." + std::to_string(row + 1), false);
    }

    double RowTop(int row) const { return place_.top + 2 * K() + row * R(); }

    bool GreenIn(const Tacts& tacts, int tact, int row) const {
        return (PhaseDirectionsOf(plan_, tacts.phase[tact]) >> row) & 1u;
    }

    void DrawBar(const Tacts& tacts, int row) {
        const TDirectionSettings direction = plan_.Direction[row];  // a copy: the record is packed
        bool everGreen = false;
        for (int t = 0; t < tacts.count; ++t) everGreen = everGreen || GreenIn(tacts, t, row);
        if (!everGreen && direction.RedMask == 0) return;

        const double top = RowTop(row);
        const double bottom = top + measures_.barHeight;
        const double dot = unitX_;
        const auto rect = [&](double left, double right, DiagramColour fill) {
            diagram_.shapes.push_back(DiagramRect{left, top, right, bottom, fill, true});
        };

        double runLeft = place_.left;
        double runRight = place_.left;
        for (int t = 0; t < tacts.count; ++t) {
            const bool last = t == tacts.count - 1;
            const bool current = GreenIn(tacts, t, row);
            const bool next = GreenIn(tacts, last ? 0 : t + 1, row);
            runRight += tacts.main[t] * U();
            if (next == current) {
                runRight += tacts.inter[t] * U();
                if (!last) continue;
            }
            rect(runLeft, runRight, current ? kDiagramGreen : kDiagramRed);
            if (next == current) break;

            const double end = runRight;
            const double inter = tacts.inter[t] * U();
            // Every part of the change stays inside its inter-tact, from one
            // dot before its start to its end; what is left of a part is drawn.
            const double low = end - dot;
            const double high = end + inter;
            const auto part = [&](double left, double right, DiagramColour fill, bool outlined = true,
                                  double inset = 0) -> bool {
                left = std::max(left, low);
                right = std::min(right, high);
                if (right <= left) return false;
                diagram_.shapes.push_back(
                    DiagramRect{left, top + inset, right, bottom - inset, fill, outlined});
                return true;
            };

            part(end - dot, end + inter, kDiagramRed);
            if (current) {
                // Green to red: additional green, blinking green, yellow.
                double blinkStart = end;
                const double extra = direction.ExtraGreenAfterGreen * U();
                if (extra > 0) {
                    part(end, end + extra, kDiagramGreen);
                    blinkStart = std::min(end + extra, high);
                }
                const double blink = direction.GreenBlinkCount * U() * 2;
                if (blink > 0 && part(blinkStart, blinkStart + blink, kDiagramDarkGreen) && U() > 0) {
                    for (double dash = blinkStart; dash < blinkStart + blink; dash += 2 * U())
                        part(dash, std::min(dash + U(), blinkStart + blink), kDiagramWhite, false, unitY_);
                }
                if (direction.HeadMask != direction.RedMask) {
                    const double yellowStart = blinkStart + blink - dot;
                    part(yellowStart, yellowStart + direction.TailDuration * U(), kDiagramYellow);
                }
            } else {
                // Red to green: additional green at the end, red-yellow before it.
                double greenStart = high;
                const double extra = direction.ExtraGreenAfterRed * U();
                if (extra > 0) {
                    part(high - extra - dot, high, kDiagramGreen);
                    greenStart = std::max(high - extra, low);
                }
                if (direction.TailMask != direction.RedMask) {
                    const double left = std::max(greenStart - direction.HeadDuration * U(), low);
                    if (part(left, greenStart, kDiagramRed)) {
                        const double right = std::min(greenStart, high);
                        diagram_.shapes.push_back(DiagramPolygon{
                            {{left, bottom - unitY_}, {right - dot, top}, {right - dot, bottom - unitY_}},
                            kDiagramYellow});
                    }
                }
            }
            runLeft = high - dot;
            runRight = high;
        }
    }

    const TSignalPlan& plan_;
    DiagramPlacement place_;
    double unitX_;
    double unitY_;
    DiagramMeasures measures_;
    int rows_;
    TimingDiagram diagram_;
};

}  // namespace

double ReportHalfSecondWidth(double dpiX) {
    return std::round(dpiX / kMillimetresPerInch * kReportScale);
}

long DiagramCycle(const TSignalPlan& plan, int program) {
    const Tacts tacts = TactsOf(plan, program);
    long cycle = 0;
    for (int t = 0; t < tacts.count; ++t) cycle += tacts.main[t] + tacts.inter[t];
    return cycle;
}

double FittingHalfSecondWidth(const TSignalPlan& plan, int program, double dpiX, double availableWidth) {
    const double report = ReportHalfSecondWidth(dpiX);
    const long cycle = DiagramCycle(plan, program);
    if (cycle == 0 || availableWidth <= 0 || cycle * report <= availableWidth) return report;
    return availableWidth / static_cast<double>(cycle);
}

DiagramMeasures DiagramMeasuresAt(double dpiY) {
    return {kScaleBand * dpiY / kLayoutDpi, std::round(dpiY / kMillimetresPerInch * 2),
            std::round(dpiY / kMillimetresPerInch * 1.5)};
}

TimingDiagram DrawTimingDiagram(const TSignalPlan& plan, int program, const DiagramPlacement& placement) {
    return DiagramBuilder(plan, placement).Build(TactsOf(plan, program));
}

}  // namespace kdt

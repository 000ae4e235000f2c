#include "report/PrintLayout.h"

#include <algorithm>
#include <cmath>

#include "report/TimingDiagram.h"

namespace kdt {
namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Characters up to the last one that is not a blank: blanks print nothing,
// so trailing ones never need a row of their own.
int PrintedLength(const std::string& utf8) {
    int characters = 0;
    int printed = 0;
    for (const char c : utf8) {
        if (IsContinuationByte(c)) continue;
        ++characters;
        if (c != ' ') printed = characters;
    }
    return printed;
}

class PageFiller {
public:
    explicit PageFiller(const PrintLayout& layout) : layout_(layout), y_(layout.top) {
        pages_.push_back({1, {}, {}});
    }

    // The current page, begun now if the last one was closed.
    PrintedPage& Page() {
        if (closed_) {
            pages_.push_back({pages_.back().number + 1, {}, {}});
            y_ = layout_.top;
            closed_ = false;
        }
        return pages_.back();
    }
    bool PageIsEmpty() { return Page().rows.empty() && Page().diagrams.empty(); }
    int& y() { return y_; }
    // Closes the page when y has passed the bottom limit.
    void CloseIfFull() {
        if (y_ > layout_.bottomLimit) Close();
    }
    void Close() { closed_ = true; }
    std::vector<PrintedPage> Take() { return std::move(pages_); }

private:
    const PrintLayout& layout_;
    std::vector<PrintedPage> pages_;
    int y_;
    bool closed_ = false;
};

}  // namespace

std::string PageNumberText(int number) {
    return "Стр." + std::to_string(number);
}

std::string DiagramTitle(int program) {
    return "Сигнальная программа № (АПП №) " + std::to_string(program);
}

PrintLayout LayOutPrintout(const std::vector<std::string>& lines, const TSignalPlan& plan, bool diagrams,
                           const PrintMetrics& metrics) {
    const int w = metrics.charWidth;
    const int h = metrics.lineHeight;
    PrintLayout layout;
    layout.left = 10 * w;
    layout.pitch = w + 2;
    layout.top = 2 * h;
    layout.bottomLimit = metrics.pageHeight - layout.top;
    layout.numberLeft = metrics.pageWidth - layout.left;
    layout.rowCharacters =
        std::max(1, layout.pitch > 0 ? (metrics.pageWidth - layout.left - w) / layout.pitch : 1);
    const int directions = std::clamp<int>(plan.DirectionCount, 0, kMaxDirections);
    const int twoMillimetres = static_cast<int>(std::lround(metrics.dpiX / 25.4 * 2));
    layout.diagramBlock = directions * twoMillimetres + 2 * h;

    PageFiller pages(layout);
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
        const int length = PrintedLength(lines[static_cast<std::size_t>(line)]);
        int first = 0;
        do {
            const int count = std::min(layout.rowCharacters, length - first);
            pages.Page().rows.push_back({line, first, count, pages.y()});
            first += count;
            pages.y() += h;
            pages.CloseIfFull();
        } while (first < length);
    }

    const int programs = std::clamp<int>(plan.ProgramCount, 0, kMaxPrograms);
    if (diagrams) {
        for (int program = 1; program <= programs; ++program) {
            pages.Page();  // after a full page, the next one
            if (pages.y() + h + layout.diagramBlock > layout.bottomLimit && !pages.PageIsEmpty())
                pages.Close();
            PrintedPage& page = pages.Page();
            pages.y() += h;
            page.diagrams.push_back(
                {program, static_cast<double>(pages.y()), static_cast<double>(layout.left),
                 FittingHalfSecondWidth(plan, program, metrics.dpiX, metrics.pageWidth - 2.0 * layout.left)});
            pages.y() += layout.diagramBlock;
            pages.CloseIfFull();
        }
    }
    layout.pages = pages.Take();
    return layout;
}

}  // namespace kdt

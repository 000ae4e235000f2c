// Where a printout of the report puts each line, each page number and each
// timing diagram, from the printer's page size and resolution and the size of
// one character of the report font. The painting itself is the caller's.
#pragma once

#include <string>
#include <vector>

#include "data/TypeKDT.h"

namespace kdt {

// Device units of the page's printable area.
struct PrintMetrics {
    int charWidth = 0;   // w: the width of "O" in the report font
    int lineHeight = 0;  // h: its height
    int pageWidth = 0;
    int pageHeight = 0;
    double dpiX = 300;
    double dpiY = 300;
};

// Characters [first, first + count) of a line (counted in characters, not
// bytes), character first + k at x = left + (k + 1) * pitch.
struct PrintedRow {
    int line = 0;
    int first = 0;
    int count = 0;
    int top = 0;
};

// The title of program `program` at (left, top), its diagram from the same top.
struct PrintedDiagram {
    int program = 0;
    double top = 0;
    double left = 0;
    double halfSecondWidth = 0;
};

struct PrintedPage {
    int number = 0;
    std::vector<PrintedRow> rows;
    std::vector<PrintedDiagram> diagrams;
};

struct PrintLayout {
    int left = 0;                    // X = 10 w
    int pitch = 0;                   // P = w + 2
    int top = 0;                     // Y = 2 h
    int bottomLimit = 0;             // L = page height - Y
    int numberLeft = 0;              // the page number at (page width - X, L)
    int rowCharacters = 0;           // the most characters a row holds inside the page
    int diagramBlock = 0;            // B: the height a diagram is given
    std::vector<PrintedPage> pages;  // every page carries its number
};

// Lays out the lines (UTF-8) and, when diagrams is set, the diagram of every
// program of the plan after them.
//
// A page is begun only when something is put on it, so a text that fills
// its last page exactly feeds no blank sheet. A diagram that would reach past
// the bottom limit starts a new page unless it is the first thing on its
// page. A line that does not fit across the page continues on the next row.
PrintLayout LayOutPrintout(const std::vector<std::string>& lines, const TSignalPlan& plan, bool diagrams,
                           const PrintMetrics& metrics);

std::string PageNumberText(int number);  // "Стр.2"
std::string DiagramTitle(int program);   // "Сигнальная программа № (АПП №) 2"

}  // namespace kdt

// The printed report: one routine lays the text and the timing diagrams out
// on pages and paints them, whatever receives the pages — a printer, a PDF
// file, the preview, or images in memory.
#pragma once

#include <deque>

#include <QImage>
#include <QString>
#include <QStringList>

#include "data/TypeKDT.h"
#include "report/PrintLayout.h"

class QFont;
class QIODevice;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QPdfWriter;

namespace kdt::gui {

// Receives the pages: the painter begins on device() and is moved on to a
// fresh page by newPage(), which may restart it (its font and pen are then
// set again by the caller).
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual QPaintDevice* device() = 0;
    virtual bool newPage(QPainter& painter) = 0;
};

// A printer or a PDF writer.
class PagedDeviceSink final : public PageSink {
public:
    explicit PagedDeviceSink(QPagedPaintDevice& device) : device_(device) {}
    QPaintDevice* device() override;
    bool newPage(QPainter& painter) override;

private:
    QPagedPaintDevice& device_;
};

// One white image per page, of the given size in device units at the given resolution.
class ImagePageSink final : public PageSink {
public:
    ImagePageSink(QSize pageSize, int dpi);
    QPaintDevice* device() override;
    bool newPage(QPainter& painter) override;
    const std::deque<QImage>& pages() const { return pages_; }

private:
    QImage BlankPage() const;

    QSize pageSize_;
    int dpi_;
    std::deque<QImage> pages_;
};

struct ReportPrintout {
    QStringList lines;      // one a line, as the editor box holds them
    int fontSize = 10;      // points
    bool diagrams = false;  // the timing diagrams after the text
    TSignalPlan plan{};
};

// The report's fixed-pitch font: "Courier New", or the monospace face the
// system puts in its place.
QFont ReportFont(int pointSize);

// Lays the report out on the sink's pages and paints it. Returns an empty
// text when every page was drawn, otherwise the reason it stopped.
QString PrintReport(PageSink& sink, const ReportPrintout& report);

// The layout PrintReport paints on a device of this size and resolution.
PrintLayout LayOutReport(const ReportPrintout& report, const QPaintDevice& device);

// PDF output: A4 portrait at 600 dpi, with margins a printer would leave.
inline constexpr int kPdfResolution = 600;
inline constexpr double kPdfMarginMillimetres = 5;
void SetUpPdfWriter(QPdfWriter& writer);
// Writes the report as a PDF file, crash-safe; returns the reason on failure.
QString WritePdfReport(const QString& path, const ReportPrintout& report);
QString WritePdfReport(QIODevice& device, const ReportPrintout& report);

}  // namespace kdt::gui

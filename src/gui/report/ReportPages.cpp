#include "report/ReportPages.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "common/FileIO.h"
#include "report/GraphApp.h"
#include "report/TimingDiagram.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

constexpr double kMetresPerInch = 0.0254;

void PreparePainter(QPainter& painter, const QFont& font) {
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0));
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

std::vector<std::string> Utf8Lines(const QStringList& lines) {
    std::vector<std::string> utf8;
    utf8.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) utf8.push_back(ToUtf8(line));
    return utf8;
}

}  // namespace

QPaintDevice* PagedDeviceSink::device() {
    return &device_;
}

bool PagedDeviceSink::newPage(QPainter&) {
    return device_.newPage();
}

ImagePageSink::ImagePageSink(QSize pageSize, int dpi) : pageSize_(pageSize), dpi_(dpi) {
    pages_.push_back(BlankPage());
}

QImage ImagePageSink::BlankPage() const {
    QImage page(pageSize_, QImage::Format_RGB32);
    const int dotsPerMetre = qRound(dpi_ / kMetresPerInch);
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    page.fill(Qt::white);
    return page;
}

QPaintDevice* ImagePageSink::device() {
    return &pages_.back();
}

bool ImagePageSink::newPage(QPainter& painter) {
    painter.end();
    pages_.push_back(BlankPage());
    return painter.begin(&pages_.back());
}

QFont ReportFont(int pointSize) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(pointSize);
    return font;
}

PrintLayout LayOutReport(const ReportPrintout& report, const QPaintDevice& device) {
    const QFontMetrics metrics(ReportFont(report.fontSize), &device);
    PrintMetrics page;
    page.charWidth = metrics.horizontalAdvance(QLatin1Char('O'));
    page.lineHeight = metrics.height();
    page.pageWidth = device.width();
    page.pageHeight = device.height();
    page.dpiX = device.logicalDpiX();
    page.dpiY = device.logicalDpiY();
    return LayOutPrintout(Utf8Lines(report.lines), report.plan, report.diagrams, page);
}

QString PrintReport(PageSink& sink, const ReportPrintout& report) {
    QPainter painter;
    if (!painter.begin(sink.device())) return QStringLiteral("Не удалось начать печать отчета");
    const QFont font = ReportFont(report.fontSize);
    const PrintLayout layout = LayOutReport(report, *painter.device());
    const double dpiX = painter.device()->logicalDpiX();
    const double dpiY = painter.device()->logicalDpiY();
    const int ascent = QFontMetrics(font, painter.device()).ascent();

    std::vector<std::u32string> characters;  // each line's characters, as the layout counts them
    characters.reserve(static_cast<std::size_t>(report.lines.size()));
    for (const QString& line : report.lines) {
        const QList<uint> ucs4 = line.toUcs4();
        characters.emplace_back(ucs4.begin(), ucs4.end());
    }

    bool first = true;
    for (const PrintedPage& page : layout.pages) {
        if (!first && !sink.newPage(painter)) {
            painter.end();
            return QStringLiteral("Не удалось начать страницу %1 отчета").arg(page.number);
        }
        first = false;
        PreparePainter(painter, font);
        for (const PrintedRow& row : page.rows) {
            const std::u32string& line = characters[static_cast<std::size_t>(row.line)];
            for (int k = 0; k < row.count; ++k) {
                const char32_t c = line[static_cast<std::size_t>(row.first + k)];
                if (c == U' ') continue;
                painter.drawText(QPointF(layout.left + (k + 1) * layout.pitch, row.top + ascent),
                                 QString::fromUcs4(&c, 1));
            }
        }
        for (const PrintedDiagram& diagram : page.diagrams) {
            painter.drawText(QPointF(diagram.left, diagram.top + ascent),
                             ToQString(DiagramTitle(diagram.program)));
            const DiagramPlacement placement{diagram.top, diagram.left, dpiX, dpiY, diagram.halfSecondWidth};
            PaintTimingDiagram(painter, DrawTimingDiagram(report.plan, diagram.program, placement), font);
        }
        painter.drawText(QPointF(layout.numberLeft, layout.bottomLimit + ascent),
                         ToQString(PageNumberText(page.number)));
    }
    if (!painter.end()) return QStringLiteral("Не удалось завершить печать отчета");
    return {};
}

void SetUpPdfWriter(QPdfWriter& writer) {
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(kPdfMarginMillimetres, kPdfMarginMillimetres, kPdfMarginMillimetres, kPdfMarginMillimetres),
        QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("KDT"));
    writer.setTitle(QStringLiteral("Отчет"));
}

QString WritePdfReport(QIODevice& device, const ReportPrintout& report) {
    QPdfWriter writer(&device);
    SetUpPdfWriter(writer);
    PagedDeviceSink sink(writer);
    return PrintReport(sink, report);
}

QString WritePdfReport(const QString& path, const ReportPrintout& report) {
    // Rendered in memory, then written as every file of the program is:
    // through links, never half-written, a read-only file refused.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (const QString error = WritePdfReport(pdf, report); !error.isEmpty())
        return QStringLiteral("Не удалось записать файл \"%1\": %2").arg(path, error);
    const QByteArray& bytes = pdf.data();
    const Outcome written = WriteFileAtomically(
        QStringToPath(path), std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size())));
    return written.ok() ? QString() : ToQString(written.error);
}

}  // namespace kdt::gui

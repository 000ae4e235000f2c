// The printed report's pages: drawn into images at 300 dpi, where the
// report font's "O" is 25 by 48 device units, and into PDF files that
// poppler's tools read back.
#include <QFontInfo>
#include <QFontMetrics>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "GuiTestKit.h"
#include "report/PrintLayout.h"
#include "report/ReportBoxes.h"
#include "report/ReportPages.h"
#include "report/ReportText.h"
#include "report/TimingDiagram.h"
#include "shell/QtText.h"

namespace kdt::gui::test {
namespace {

constexpr int kDpi = 300;
// A4 less 5 mm margins, as the PDF output's printable area, at 300 dpi.
const QSize kPage(2362, 3390);
constexpr ReportDate kDate{1, 1, 2027};

ReportPrintout ExampleReport(const ReportBoxes& boxes, int fontSize = 10) {
    ReportPrintout report;
    report.plan = ExamplePlan();
    for (const std::string& line : ComposeReport(report.plan, SectionsOf(boxes), kDate))
        report.lines << ToQString(line);
    report.fontSize = fontSize;
    report.diagrams = boxes[kDiagramBox - 1];
    return report;
}

ReportBoxes Boxes(std::initializer_list<int> numbers) {
    ReportBoxes boxes{};
    for (const int n : numbers) boxes[static_cast<std::size_t>(n - 1)] = true;
    return boxes;
}

// Every box the example offers, as "Выделить все" ticks them.
ReportBoxes AllOffered() {
    return AvailableReportBoxes(ExamplePlan());
}

bool IsInk(QRgb pixel) {
    return qGray(pixel) < 128;
}

// The smallest rectangle holding the dark pixels inside the area, or a null rectangle.
QRect InkIn(const QImage& image, const QRect& area) {
    QRect ink;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (IsInk(image.pixel(x, y))) ink |= QRect(x, y, 1, 1);
    return ink;
}

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString Squeezed(QString text) {
    return text.simplified();
}

}  // namespace

class ReportPagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pagesAndPageNumbers();
    void textRowsAndBreaks();
    void aTextFillingItsLastPageFeedsNoBlankSheet();
    void barsAtKnownTimes_data();
    void barsAtKnownTimes();
    void diagramsWithoutRoomMoveToTheNextPage();
    void pdfReadsBackAsTheReport();
    void pdfPageLooksAsReviewed();
    void failuresAreReported();
};

void ReportPagesTest::initTestCase() {
    // Image comparisons hold only for the face the references were drawn with.
    const QFontInfo info(ReportFont(10));
    QCOMPARE(info.family(), QStringLiteral("Liberation Mono"));
    QVERIFY(info.fixedPitch());
    const QImage probe = [] {
        ImagePageSink sink(kPage, kDpi);
        return *static_cast<QImage*>(sink.device());
    }();
    const QFontMetrics metrics(ReportFont(10), &probe);
    QCOMPARE(metrics.horizontalAdvance(QLatin1Char('O')), 25);
    QCOMPARE(metrics.height(), 48);
}

// X = 250, Y = 96, L = 3390 - 96 = 3294, the page number at (2362 - 250, L).
void ReportPagesTest::pagesAndPageNumbers() {
    const ReportPrintout report = ExampleReport(AllOffered());
    ImagePageSink sink(kPage, kDpi);
    QCOMPARE(PrintReport(sink, report), QString());
    const PrintLayout layout = LayOutReport(report, *sink.device());
    QCOMPARE(layout.left, 250);
    QCOMPARE(layout.bottomLimit, 3294);
    // 457 lines at 67 a page fill six pages and 55 rows of the seventh,
    // ending at y = 96 + 55 * 48 = 2736. A diagram takes h + B = 48 + 10 * 24
    // + 96 = 384: the first fits above L (3120), the second would not (3504)
    // and opens page 8 with the third.
    QCOMPARE(report.lines.size(), 457);
    QCOMPARE(static_cast<int>(sink.pages().size()), 8);
    QCOMPARE(static_cast<int>(layout.pages.size()), 8);
    QCOMPARE(static_cast<int>(layout.pages[6].rows.size()), 55);
    QCOMPARE(static_cast<int>(layout.pages[6].diagrams.size()), 1);
    QCOMPARE(static_cast<int>(layout.pages[7].diagrams.size()), 2);
    QCOMPARE(layout.pages[7].diagrams[0].top, 96.0 + 48);

    const QFontMetrics metrics(ReportFont(10), &sink.pages().front());
    QRect previous;
    for (std::size_t p = 0; p < sink.pages().size(); ++p) {
        const QImage& page = sink.pages()[p];
        // "Стр.n" with its cell's top at L, beginning at W - X: its capitals
        // start a bearing right of it and a cap height above the baseline.
        const QRect number = InkIn(page, QRect(2112 - 30, 3294 - 60, 250 + 30, 60 + 60));
        QVERIFY2(!number.isNull(), qPrintable(QStringLiteral("page %1 has no number").arg(p + 1)));
        QVERIFY2(number.left() >= 2112 && number.left() <= 2112 + 5,
                 qPrintable(QString::number(number.left())));
        QCOMPARE(number.top(), 3294 + metrics.ascent() - metrics.capHeight());
        // "р" reaches below the baseline, inside the cell.
        QVERIFY(number.bottom() >= 3294 + metrics.ascent() && number.bottom() < 3294 + 48);
        // "Стр." and one digit, written as one text: five advances of 25.
        QVERIFY2(number.width() > 4 * 25 && number.width() <= 5 * 25,
                 qPrintable(QString::number(number.width())));
        if (p > 0)
            QVERIFY2(page.copy(number) != sink.pages()[p - 1].copy(previous), "two pages show one number");
        previous = number;
        // Nothing between the number's line and the page's bottom edge.
        QVERIFY(InkIn(page, QRect(0, 3294 + 48, kPage.width(), kPage.height())).isNull());
    }
}

void ReportPagesTest::textRowsAndBreaks() {
    const ReportPrintout report = ExampleReport(AllOffered());
    ImagePageSink sink(kPage, kDpi);
    QCOMPARE(PrintReport(sink, report), QString());
    // Line 68 (index 67) is the first of page 2, in the top row at Y = 96.
    const QImage& second = sink.pages()[1];
    const QString first = report.lines[67];
    const qsizetype firstInk = first.indexOf(QRegularExpression(QStringLiteral("\\S")));
    QVERIFY(firstInk >= 0);
    const QRect row = InkIn(second, QRect(0, 96, kPage.width(), 48));
    QVERIFY(!row.isNull());
    // Character k of a line at X + k P (k from 1): the first non-blank one's
    // cell starts there, its ink a bearing to the right.
    const int cell = 250 + static_cast<int>(firstInk + 1) * 27;
    QVERIFY2(row.left() >= cell && row.left() < cell + 25,
             qPrintable(QStringLiteral("%1 %2").arg(row.left()).arg(cell)));
    QVERIFY(row.top() >= 96 && row.bottom() < 96 + 48);
    QVERIFY(InkIn(second, QRect(0, 0, kPage.width(), 96)).isNull());
    // Page 1's last row is line 67's at Y + 66 h = 3264, past which the page holds only its number.
    const QImage& page1 = sink.pages()[0];
    const bool lastRowInked = !report.lines[66].trimmed().isEmpty();
    QCOMPARE(!InkIn(page1, QRect(0, 3264, 2000, 48)).isNull(), lastRowInked);
    QVERIFY(InkIn(page1, QRect(0, 3264 + 48, 2000, 3294 + 48 - 3264 - 48)).isNull());
}

void ReportPagesTest::aTextFillingItsLastPageFeedsNoBlankSheet() {
    ReportPrintout report = ExampleReport(Boxes({}));
    report.lines.clear();
    for (int i = 0; i < 67; ++i) report.lines << QStringLiteral("line %1").arg(i + 1);
    ImagePageSink exact(kPage, kDpi);
    QCOMPARE(PrintReport(exact, report), QString());
    QCOMPARE(static_cast<int>(exact.pages().size()), 1);
    report.lines << QStringLiteral("one more");
    ImagePageSink over(kPage, kDpi);
    QCOMPARE(PrintReport(over, report), QString());
    QCOMPARE(static_cast<int>(over.pages().size()), 2);
    QVERIFY(!InkIn(over.pages()[1], QRect(0, 96, kPage.width(), 48)).isNull());
}

void ReportPagesTest::barsAtKnownTimes_data() {
    QTest::addColumn<int>("program");
    QTest::addColumn<int>("direction");
    QTest::addColumn<double>("halfSeconds");  // from the diagram's left edge, a pixel's left side
    QTest::addColumn<double>("height");       // 0 the bar's top, 1 its bottom
    QTest::addColumn<QColor>("colour");
    const QColor green(0, 255, 0), red(255, 0, 0), dark(0, 128, 0), white(255, 255, 255), yellow(255, 255, 0);
    // Program 1: phase 1 for 30 s + 6 s, phase 2 for 10 s + 6 s, phase 3 for 25 s + 6 s.
    // Direction 1 (phase 1): green to 30 s, three blinks (dashes at 30, 31, 32 s), yellow
    // from 33 s for 3 s, red, then red and yellow split on the diagonal in 81..83 s.
    QTest::newRow("1: green in its phase") << 1 << 1 << 30.0 << 0.5 << green;
    QTest::newRow("1: first dash at the blink's start") << 1 << 1 << 60.3 << 0.5 << white;
    QTest::newRow("1: dark green between dashes") << 1 << 1 << 61.5 << 0.5 << dark;
    QTest::newRow("1: third dash") << 1 << 1 << 64.5 << 0.5 << white;
    QTest::newRow("1: yellow after the blink") << 1 << 1 << 68.0 << 0.5 << yellow;
    QTest::newRow("1: red in the other phases") << 1 << 1 << 100.0 << 0.5 << red;
    QTest::newRow("1: red above the diagonal") << 1 << 1 << 162.5 << 0.3 << red;
    QTest::newRow("1: yellow below the diagonal") << 1 << 1 << 165.0 << 0.7 << yellow;
    // Direction 9 (phase 2): red-yellow 70..72, green 36..46 s, blinks to 49, yellow to 52.
    QTest::newRow("9: red before its phase") << 1 << 9 << 40.0 << 0.5 << red;
    QTest::newRow("9: green in its phase") << 1 << 9 << 80.0 << 0.5 << green;
    QTest::newRow("9: yellow before red") << 1 << 9 << 100.5 << 0.5 << yellow;
    // Direction 5, a pedestrian crossing on call only: red throughout.
    QTest::newRow("5: never green") << 1 << 5 << 80.0 << 0.5 << red;
    // Program 2 (40 + 6, 12 + 6, 22 + 6 s): direction 1 green to 40 s.
    QTest::newRow("program 2: direction 1 green at 39 s") << 2 << 1 << 78.0 << 0.5 << green;
    QTest::newRow("program 2: direction 3 green at 75 s") << 2 << 3 << 150.0 << 0.5 << green;
    QTest::newRow("program 2: direction 3 red-yellow at 63 s") << 2 << 3 << 126.5 << 0.9 << yellow;
}

void ReportPagesTest::barsAtKnownTimes() {
    QFETCH(int, program);
    QFETCH(int, direction);
    QFETCH(double, halfSeconds);
    QFETCH(double, height);
    QFETCH(QColor, colour);
    const ReportPrintout report = ExampleReport(Boxes({kDiagramBox}));
    ImagePageSink sink(kPage, kDpi);
    QCOMPARE(PrintReport(sink, report), QString());
    const PrintLayout layout = LayOutReport(report, *sink.device());
    QCOMPARE(static_cast<int>(sink.pages().size()), 1);
    const std::vector<PrintedDiagram>& diagrams = layout.pages[0].diagrams;
    QCOMPARE(static_cast<int>(diagrams.size()), 3);
    const PrintedDiagram& diagram = diagrams[static_cast<std::size_t>(program - 1)];
    QCOMPARE(diagram.halfSecondWidth, 6.0);
    // Rows start 2 K = 90 below the diagram's top, 24 apart, 18 high.
    const int top = static_cast<int>(diagram.top) + 90 + (direction - 1) * 24;
    const int x = static_cast<int>(diagram.left + halfSeconds * 6);
    const int y = top + 1 + static_cast<int>(height * 16);
    QCOMPARE(sink.pages()[0].pixelColor(x, y), colour);
}

void ReportPagesTest::diagramsWithoutRoomMoveToTheNextPage() {
    // Text ending a little above L: the first diagram finds no room and opens page 2.
    ReportPrintout report = ExampleReport(Boxes({kDiagramBox}));
    report.lines.clear();
    for (int i = 0; i < 60; ++i) report.lines << QStringLiteral("x");
    ImagePageSink sink(kPage, kDpi);
    QCOMPARE(PrintReport(sink, report), QString());
    QCOMPARE(static_cast<int>(sink.pages().size()), 2);
    // Page 1 ends with the text: nothing between its last row and the page number.
    QVERIFY(InkIn(sink.pages()[0], QRect(0, 96 + 60 * 48, 2000, 3294 - 96 - 60 * 48)).isNull());
    // Page 2 opens with the first title one row below the top margin.
    const QRect title = InkIn(sink.pages()[1], QRect(0, 0, kPage.width(), 96 + 48 + 48));
    QVERIFY(!title.isNull());
    QVERIFY(title.top() >= 96 + 48 && title.left() >= 250);
}

void ReportPagesTest::pdfReadsBackAsTheReport() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("report.pdf"));
    const ReportPrintout report = ExampleReport(AllOffered());
    QCOMPARE(WritePdfReport(path, report), QString());
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(!text.isEmpty());
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    // At 600 dpi the font's cell is 94 dots, a little less than twice 48:
    // 69 rows a page, and the three diagrams fit on page 7.
    QCOMPARE(pages.size(), 7);
    // The last row of a page may share its height with the page number.
    const QRegularExpression pageNumber(QStringLiteral("\\s+Стр\\.\\d+$"));
    QStringList printed;
    for (QString line : text.split(QLatin1Char('\n'))) printed << Squeezed(line.remove(pageNumber));
    int found = 0;
    for (const QString& line : report.lines) {
        if (line.trimmed().isEmpty()) continue;
        QVERIFY2(printed.contains(Squeezed(line)), qPrintable(QStringLiteral("not in the PDF: ") + line));
        ++found;
    }
    QVERIFY(found > 300);
    for (int n = 1; n <= 7; ++n)
        QVERIFY2(pages[n - 1].contains(QStringLiteral("Стр.%1").arg(n)), qPrintable(QString::number(n)));
    for (int p = 1; p <= 3; ++p) QVERIFY(text.contains(ToQString(DiagramTitle(p))));
}

// The page with the parameters and the three diagrams, rendered by poppler
// at 50 dpi, against the picture reviewed when it was committed.
void ReportPagesTest::pdfPageLooksAsReviewed() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page.pdf"));
    QCOMPARE(WritePdfReport(path, ExampleReport(Boxes({1, kDiagramBox}))), QString());
    const QString stem = folder.filePath(QStringLiteral("page"));
    RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), path, stem});
    const QImage drawn = QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    const QImage reviewed = QImage(QStringLiteral(KDT_TEST_DATA_DIR "/report/crossing-diagrams-50dpi.png"))
                                .convertToFormat(QImage::Format_RGB32);
    QVERIFY(!drawn.isNull());
    QVERIFY(!reviewed.isNull());
    QCOMPARE(drawn.size(), reviewed.size());
    // Rasterisers differ by a grey level here and there; a shifted row or a
    // lost bar changes hundreds of pixels.
    long total = 0;
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = reviewed.pixel(x, y);
            const int difference =
                std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            total += difference;
            differing += difference > 96;
        }
    const double mean = static_cast<double>(total) / (drawn.width() * drawn.height());
    QVERIFY2(mean < 1.0, qPrintable(QString::number(mean)));
    QVERIFY2(differing < 40, qPrintable(QString::number(differing)));
}

void ReportPagesTest::failuresAreReported() {
    const ReportPrintout report = ExampleReport(Boxes({1}));
    const QString error = WritePdfReport(QStringLiteral("/nonexistent-folder/report.pdf"), report);
    QVERIFY(error.contains(QStringLiteral("/nonexistent-folder/report.pdf")));
    ImagePageSink nowhere(QSize(0, 0), kDpi);  // a null image: no painter begins on it
    QCOMPARE(PrintReport(nowhere, report), QStringLiteral("Не удалось начать печать отчета"));
}

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::ReportPagesTest)
#include "ReportPagesTest.moc"

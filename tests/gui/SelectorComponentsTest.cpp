// The painted components on their own, without a page: the direction
// selector TGraphicNapr, the selection grids TCustomGridSel,
// TGraphicKanal and TGridSelection with their colour list, the
// square strip and the bit matrix the pages share, and the drawing helper.
// Hit tests, the edges of ItemIndexOf, sizes per orientation, clicks at cell
// centres and releases outside, the keyboard and what is drawn where.
#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "GuiTestKit.h"
#include "components/BitMatrix.h"
#include "components/CanvasDrawing.h"
#include "components/GraphicNapr.h"
#include "components/GridSelection.h"
#include "components/SquareStrip.h"

namespace kdt::gui::test {
namespace {

const QColor kBackground(0x12, 0x34, 0x56);

// The widget as it paints itself, over a background of its own.
QImage Rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(kBackground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor At(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// Counts the paint events a widget gets.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

QPoint Centre(const QRect& rect) {
    return rect.center();
}

}  // namespace

class SelectorComponentsTest final : public QObject {
    Q_OBJECT

private slots:
    // ------------------------------------------------------------ drawing helper

    void outlineRectExcludesRightAndBottom() {
        QCOMPARE(OutlineRect({1, 1, 15, 15}), QRect(1, 1, 13, 13));
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            painter.drawRect(OutlineRect({2, 3, 12, 10}));
        }
        // Rectangle(2, 3, 12, 10): columns 2..11, rows 3..9.
        QCOMPARE(At(image, 2, 3), QColor(Qt::black));
        QCOMPARE(At(image, 11, 9), QColor(Qt::black));
        QCOMPARE(At(image, 12, 9), QColor(Qt::white));
        QCOMPARE(At(image, 11, 10), QColor(Qt::white));
        QCOMPARE(At(image, 6, 6), QColor(Qt::white));
    }

    void textIsDrawnFromItsTop() {
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        int ascent = 0;
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            ascent = painter.fontMetrics().ascent();
            DrawTextAtTop(painter, 2, 5, QStringLiteral("8"));
        }
        int firstInk = -1;
        for (int y = 0; y < image.height() && firstInk < 0; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (At(image, x, y) != QColor(Qt::white)) {
                    firstInk = y;
                    break;
                }
        // The digit starts below the top given and ends above its baseline.
        QVERIFY2(firstInk >= 5 && firstInk < 5 + ascent, qPrintable(QString::number(firstInk)));
    }

    // ------------------------------------------------------------ TGraphicNapr

    void directionSelectorDefaults() {
        TGraphicNapr napr;
        QCOMPARE(napr.NaprCount(), 8);
        QCOMPARE(napr.NaprSost(), 0xAAAAAAAAu);
        QCOMPARE(napr.ItemSize(), 16);
        QCOMPARE(napr.ItemStile(), prsRect);
        QCOMPARE(napr.SelectColor(), QColor(Qt::black));
        QCOMPARE(napr.UnSelectColor(), QColor(Qt::white));
        QCOMPARE(napr.DisableColor(), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(napr.Orient(), noHorz);
        QVERIFY(!napr.ShowCaption());
        QCOMPARE(napr.size(), QSize(128, 16));
        QCOMPARE(napr.captionPointSize(), 6);
    }

    void directionSelectorSizes_data() {
        QTest::addColumn<int>("orient");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("itemSize");
        QTest::addColumn<QSize>("size");
        QTest::newRow("horizontal 8 × 16") << int(noHorz) << 8 << 16 << QSize(128, 16);
        QTest::newRow("horizontal 16 × 16") << int(noHorz) << 16 << 16 << QSize(256, 16);
        QTest::newRow("horizontal 32 × 10") << int(noHorz) << 32 << 10 << QSize(320, 10);
        QTest::newRow("vertical 16 × 16") << int(noVert) << 16 << 16 << QSize(16, 256);
        QTest::newRow("vertical 8 × 16: 128 high") << int(noVert) << 8 << 16 << QSize(16, 128);
        QTest::newRow("vertical 1 × 32") << int(noVert) << 1 << 32 << QSize(32, 32);
    }
    void directionSelectorSizes() {
        QFETCH(int, orient);
        QFETCH(int, count);
        QFETCH(int, itemSize);
        QFETCH(QSize, size);
        // Whatever the order of the setters, the size follows Orient.
        for (const int order : {0, 1}) {
            TGraphicNapr napr;
            if (order == 0) {
                napr.setOrient(static_cast<TNaprOrient>(orient));
                napr.setNaprCount(count);
                napr.setItemSize(itemSize);
            } else {
                napr.setNaprCount(count);
                napr.setItemSize(itemSize);
                napr.setOrient(static_cast<TNaprOrient>(orient));
            }
            QCOMPARE(napr.size(), size);
            // Fixed: a layout cannot stretch it over items that do not exist.
            QCOMPARE(napr.minimumSize(), size);
            QCOMPARE(napr.maximumSize(), size);
        }
    }

    // Vertical with 16 items, then 8.
    void verticalSelectorShrinksWithItsCount() {
        TGraphicNapr napr;
        napr.setNaprCount(16);
        napr.setOrient(noVert);
        QCOMPARE(napr.size(), QSize(16, 256));
        napr.setNaprCount(8);
        QCOMPARE(napr.size(), QSize(16, 128));
    }

    void directionSelectorSetters_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("expectedCount");
        QTest::addColumn<int>("changes");
        QTest::newRow("0 is refused") << 0 << 8 << 0;
        QTest::newRow("33 is refused") << 33 << 8 << 0;
        QTest::newRow("the same count is no change") << 8 << 8 << 0;
        QTest::newRow("16 raises Change") << 16 << 16 << 1;
        QTest::newRow("32") << 32 << 32 << 1;
        QTest::newRow("1") << 1 << 1 << 1;
    }
    void directionSelectorSetters() {
        QFETCH(int, count);
        QFETCH(int, expectedCount);
        QFETCH(int, changes);
        TGraphicNapr napr;
        QSignalSpy change(&napr, &TGraphicNapr::Change);
        napr.setNaprCount(count);
        QCOMPARE(napr.NaprCount(), expectedCount);
        QCOMPARE(change.count(), changes);
    }

    void captionFontFollowsItemSize_data() {
        QTest::addColumn<int>("itemSize");
        QTest::addColumn<int>("itemSizeAfter");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("20 gives 10 pt") << 20 << 20 << 10;
        QTest::newRow("32 gives 22 pt") << 32 << 32 << 22;
        QTest::newRow("11 gives 1 pt") << 11 << 11 << 1;
        QTest::newRow("10 gives at least 1 pt") << 10 << 10 << 1;
        QTest::newRow("1 gives at least 1 pt") << 1 << 1 << 1;
        QTest::newRow("0 is refused") << 0 << 16 << 6;
        QTest::newRow("33 is refused") << 33 << 16 << 6;
    }
    void captionFontFollowsItemSize() {
        QFETCH(int, itemSize);
        QFETCH(int, itemSizeAfter);
        QFETCH(int, pointSize);
        TGraphicNapr napr;
        napr.setItemSize(itemSize);
        QCOMPARE(napr.ItemSize(), itemSizeAfter);
        QCOMPARE(napr.captionPointSize(), pointSize);
    }

    void sameStateNeitherRepaintsNorChanges() {
        TGraphicNapr napr;
        napr.show();
        QVERIFY(QTest::qWaitForWindowExposed(&napr));
        QCoreApplication::processEvents();
        PaintCounter counter(&napr);
        QSignalSpy change(&napr, &TGraphicNapr::Change);
        napr.setNaprSost(0xAAAAAAAAu);
        QCoreApplication::processEvents();
        QCOMPARE(change.count(), 0);
        QCOMPARE(counter.paints, 0);
        napr.setNaprSost(0x5u);
        QTRY_VERIFY(counter.paints > 0);
        QCOMPARE(change.count(), 1);
        QCOMPARE(napr.NaprSost(), 0x5u);
    }

    void toggleWorksForShownItemsOnly_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("result");
        QTest::addColumn<uint>("state");
        QTest::newRow("item 1 becomes selected") << 1 << true << 0xAAAAAAABu;
        QTest::newRow("item 2 becomes unselected") << 2 << false << 0xAAAAAAA8u;
        QTest::newRow("item 8, the last") << 8 << false << 0xAAAAAA2Au;
        QTest::newRow("item 9 is not shown") << 9 << false << 0xAAAAAAAAu;
        QTest::newRow("item 32 is not shown") << 32 << false << 0xAAAAAAAAu;
        QTest::newRow("item 0") << 0 << false << 0xAAAAAAAAu;
        QTest::newRow("item 33") << 33 << false << 0xAAAAAAAAu;
        QTest::newRow("item -1") << -1 << false << 0xAAAAAAAAu;
    }
    void toggleWorksForShownItemsOnly() {
        QFETCH(int, item);
        QFETCH(bool, result);
        QFETCH(uint, state);
        TGraphicNapr napr;  // 8 items
        QSignalSpy change(&napr, &TGraphicNapr::Change);
        QCOMPARE(napr.Toggle(item), result);
        QCOMPARE(napr.NaprSost(), state);
        QCOMPARE(change.count(), 0);  // Toggle raises no Change
    }

    void isSelectedReadsTheWord_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("selected");
        QTest::newRow("1") << 1 << false;
        QTest::newRow("2") << 2 << true;
        QTest::newRow("32, beyond the count") << 32 << true;
        QTest::newRow("0") << 0 << false;
        QTest::newRow("33") << 33 << false;
    }
    void isSelectedReadsTheWord() {
        QFETCH(int, item);
        QFETCH(bool, selected);
        TGraphicNapr napr;
        QCOMPARE(napr.IsSelected(item), selected);
    }

    void itemAtPos_data() {
        QTest::addColumn<int>("orient");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("item");
        QTest::newRow("horizontal, first pixel") << int(noHorz) << QPoint(0, 0) << 1;
        QTest::newRow("horizontal, last pixel of item 1") << int(noHorz) << QPoint(15, 15) << 1;
        QTest::newRow("horizontal, item 2") << int(noHorz) << QPoint(16, 3) << 2;
        QTest::newRow("horizontal, y does not count") << int(noHorz) << QPoint(40, 500) << 3;
        QTest::newRow("horizontal, left of item 1") << int(noHorz) << QPoint(-1, 5) << 0;
        QTest::newRow("horizontal, past the last") << int(noHorz) << QPoint(128, 5) << 9;
        QTest::newRow("vertical, item 1") << int(noVert) << QPoint(5, 0) << 1;
        QTest::newRow("vertical, item 3") << int(noVert) << QPoint(5, 40) << 3;
        QTest::newRow("vertical, x does not count") << int(noVert) << QPoint(900, 17) << 2;
        QTest::newRow("vertical, above item 1") << int(noVert) << QPoint(5, -3) << 0;
    }
    void itemAtPos() {
        QFETCH(int, orient);
        QFETCH(QPoint, point);
        QFETCH(int, item);
        TGraphicNapr napr;
        napr.setOrient(static_cast<TNaprOrient>(orient));
        QCOMPARE(napr.ItemAtPos(point.x(), point.y()), item);
    }

    void directionSelectorClicks_data() {
        QTest::addColumn<int>("orient");
        QTest::addColumn<int>("pressItem");
        QTest::addColumn<QPoint>("release");  // 0,0: the centre of the item pressed
        QTest::addColumn<int>("button");
        QTest::addColumn<uint>("state");
        QTest::newRow("press and release on item 3")
            << int(noHorz) << 3 << QPoint() << int(Qt::LeftButton) << 0xAAAAAAAEu;
        QTest::newRow("press on 3, release on 4")
            << int(noHorz) << 3 << QPoint(56, 8) << int(Qt::LeftButton) << 0xAAAAAAAAu;
        QTest::newRow("the right button toggles too")
            << int(noHorz) << 16 << QPoint() << int(Qt::RightButton) << 0xAAAA2AAAu;
        QTest::newRow("press on 1, release left of the control")
            << int(noHorz) << 1 << QPoint(-5, 8) << int(Qt::LeftButton) << 0xAAAAAAAAu;
        QTest::newRow("press on 1, release below it")
            << int(noHorz) << 1 << QPoint(8, 40) << int(Qt::LeftButton) << 0xAAAAAAABu;
        QTest::newRow("vertical, item 5")
            << int(noVert) << 5 << QPoint() << int(Qt::LeftButton) << 0xAAAAAABAu;
    }
    void directionSelectorClicks() {
        QFETCH(int, orient);
        QFETCH(int, pressItem);
        QFETCH(QPoint, release);
        QFETCH(int, button);
        QFETCH(uint, state);
        TGraphicNapr napr;
        napr.setNaprCount(16);
        napr.setOrient(static_cast<TNaprOrient>(orient));
        QSignalSpy change(&napr, &TGraphicNapr::Change);
        const int offset = (pressItem - 1) * 16 + 8;
        const QPoint press = orient == noHorz ? QPoint(offset, 8) : QPoint(8, offset);
        const auto mouseButton = static_cast<Qt::MouseButton>(button);
        QTest::mousePress(&napr, mouseButton, {}, press);
        QTest::mouseRelease(&napr, mouseButton, {}, release.isNull() ? press : release);
        QCOMPARE(napr.NaprSost(), state);
        QCOMPARE(change.count(), 1);  // after every release, toggled or not
    }

    void directionSelectorKeyboard() {
        TGraphicNapr napr;
        napr.setItemName(QStringLiteral("направление"));
        napr.show();
        QVERIFY(QTest::qWaitForWindowExposed(&napr));
        napr.setFocus();
        QSignalSpy change(&napr, &TGraphicNapr::Change);
        QCOMPARE(napr.focusItem(), 1);
        QTest::keyClick(&napr, Qt::Key_Right);
        QTest::keyClick(&napr, Qt::Key_Right);
        QCOMPARE(napr.focusItem(), 3);
        QCOMPARE(napr.accessibleDescription(), QStringLiteral("направление 3, не выбран"));
        QTest::keyClick(&napr, Qt::Key_Space);
        QVERIFY(napr.IsSelected(3));
        QCOMPARE(change.count(), 1);
        QCOMPARE(napr.accessibleDescription(), QStringLiteral("направление 3, выбран"));
        QTest::keyClick(&napr, Qt::Key_Left);
        QTest::keyClick(&napr, Qt::Key_Left);
        QTest::keyClick(&napr, Qt::Key_Left);  // stays at the first
        QCOMPARE(napr.focusItem(), 1);
        for (int i = 0; i < 12; ++i) QTest::keyClick(&napr, Qt::Key_Right);
        QCOMPARE(napr.focusItem(), 8);  // and at the last shown
    }

    void directionSelectorPaints() {
        TGraphicNapr napr;  // item 1 unselected, item 2 selected
        napr.setShowCaption(true);
        const QImage image = Rendered(napr);
        // The cell (1, 1)-(15, 15) of item 1: outline on columns 1..14, the fill inside it.
        QCOMPARE(At(image, 1, 8), QColor(Qt::black));
        QCOMPARE(At(image, 14, 8), QColor(Qt::black));
        QCOMPARE(At(image, 15, 8), kBackground);
        QCOMPARE(At(image, 0, 8), kBackground);
        QCOMPARE(At(image, 3, 12), QColor(Qt::white));
        // Item 2 is filled black; its caption is written in white.
        QCOMPARE(At(image, 16 + 3, 12), QColor(Qt::black));
        bool lightInk = false;
        for (int x = 18; x < 30; ++x)
            for (int y = 2; y < 14; ++y) lightInk = lightInk || At(image, x, y).lightness() > 128;
        QVERIFY(lightInk);
    }

    void drawPrimitivePoints_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QPoint>("inked");
        QTest::addColumn<QPoint>("blank");
        // The rectangle (2, 2, 18, 18): w = h = 8.
        QTest::newRow("rect: corner in, right edge out") << int(prsRect) << QPoint(2, 2) << QPoint(18, 10);
        QTest::newRow("rect: last column in") << int(prsRect) << QPoint(17, 17) << QPoint(18, 18);
        QTest::newRow("round rect: side in, corner rounded off")
            << int(prsRoundRect) << QPoint(2, 10) << QPoint(2, 2);
        QTest::newRow("ellipse: top in, corner out") << int(prsEllipse) << QPoint(10, 2) << QPoint(2, 2);
        QTest::newRow("romb: left tip (L, T + h)") << int(prsRomb) << QPoint(2, 10) << QPoint(3, 3);
        QTest::newRow("romb: bottom tip (L + w, B)") << int(prsRomb) << QPoint(10, 18) << QPoint(17, 17);
        QTest::newRow("triangle up: apex (L + w, T)") << int(prsTriUP) << QPoint(10, 2) << QPoint(3, 3);
        QTest::newRow("triangle up: base from (R, B) to (L, B)")
            << int(prsTriUP) << QPoint(10, 18) << QPoint(17, 3);
        QTest::newRow("triangle down: apex (L + w, B)") << int(prsTriDOWN) << QPoint(10, 18) << QPoint(3, 17);
        QTest::newRow("triangle left: tip (L, T + h)") << int(prsTriLEFT) << QPoint(2, 10) << QPoint(3, 3);
        QTest::newRow("triangle right: tip (R, T + h)")
            << int(prsTriRIGHT) << QPoint(18, 10) << QPoint(17, 3);
        QTest::newRow("another style draws nothing") << 99 << QPoint(-1, -1) << QPoint(10, 10);
    }
    void drawPrimitivePoints() {
        QFETCH(int, style);
        QFETCH(QPoint, inked);
        QFETCH(QPoint, blank);
        QImage image(24, 24, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            painter.setBrush(Qt::black);
            DrawPrimitive(painter, {2, 2, 18, 18}, style);
        }
        if (inked.x() >= 0) QCOMPARE(At(image, inked.x(), inked.y()), QColor(Qt::black));
        QCOMPARE(At(image, blank.x(), blank.y()), QColor(Qt::white));
    }

    // ------------------------------------------------------------ TCustomGridSel, TGraphicKanal,
    // TGridSelection

    void gridDefaults() {
        TGridSelection grid;
        QCOMPARE(grid.ItemCount(), 32);
        QCOMPARE(grid.ColCount(), 32);
        QCOMPARE(grid.RowCount(), 1);
        QCOMPARE(grid.ItemSize(), 16);
        QCOMPARE(grid.SpaseSize(), 1);
        QCOMPARE(grid.ItemStile(), prsEllipse);
        QCOMPARE(grid.SelectPen().color(), QColor(Qt::black));
        QCOMPARE(grid.SelectPen().width(), 2);
        QVERIFY(!grid.ShowCaption());
        QVERIFY(!grid.MultiSelect());
        QVERIFY(grid.ColorChanged());
        QCOMPARE(grid.Colors().Count(), 0);
        QCOMPARE(grid.size(), QSize(512, 16));
        TGraphicKanal channels;
        QCOMPARE(channels.ItemCount(), 32);
        QCOMPARE(channels.size(), QSize(512, 16));
    }

    void gridCountsAreClamped_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("expectedColumns");
        QTest::addColumn<int>("expectedRows");
        QTest::newRow("32 × 5: 160 items") << 32 << 5 << 32 << 5;
        QTest::newRow("0 columns give 1") << 0 << 1 << 1 << 1;
        QTest::newRow("300 columns give 256") << 300 << 1 << 256 << 1;
        QTest::newRow("-5 rows give 1") << 4 << -5 << 4 << 1;
        QTest::newRow("256 × 256") << 256 << 256 << 256 << 256;
    }
    void gridCountsAreClamped() {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, expectedColumns);
        QFETCH(int, expectedRows);
        TGridSelection grid;
        grid.setColCount(columns);
        grid.setRowCount(rows);
        QCOMPARE(grid.ColCount(), expectedColumns);
        QCOMPARE(grid.RowCount(), expectedRows);
        QCOMPARE(grid.ItemCount(), expectedColumns * expectedRows);
        QCOMPARE(grid.size(), QSize(512, 16));  // the control's size stays
    }

    void itemIndexOfEdges_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("index");
        QTest::newRow("(3, 2) is 34") << 3 << 2 << 34;
        QTest::newRow("(1, 1) is 0") << 1 << 1 << 0;
        QTest::newRow("(32, 5) is 159") << 32 << 5 << 159;
        QTest::newRow("(32, 1) is 31") << 32 << 1 << 31;
        QTest::newRow("(1, 2) is 32") << 1 << 2 << 32;
        QTest::newRow("column 0") << 0 << 1 << -1;
        QTest::newRow("row 0 (as written: -32)") << 1 << 0 << -1;
        QTest::newRow("row 0, column 3 (as written: -30)") << 3 << 0 << -1;
        QTest::newRow("column -1") << -1 << 2 << -1;
        QTest::newRow("column 33") << 33 << 1 << -1;
        QTest::newRow("row 6") << 1 << 6 << -1;
    }
    void itemIndexOfEdges() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, index);
        TGridSelection grid;
        grid.setRowCount(5);
        QCOMPARE(grid.ItemIndexOf(column, row), index);
    }

    void gridItemAtPos_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("index");
        QTest::newRow("first pixel") << QPoint(0, 0) << 0;
        QTest::newRow("second column") << QPoint(16, 0) << 1;
        QTest::newRow("second row") << QPoint(5, 16) << 32;
        QTest::newRow("last item") << QPoint(511, 79) << 159;
        QTest::newRow("below the last row: the last row") << QPoint(40, 500) << 130;
        QTest::newRow("right of the last column: the last column") << QPoint(900, 20) << 63;
        QTest::newRow("left of the grid") << QPoint(-1, 20) << -1;
        QTest::newRow("above the grid") << QPoint(20, -1) << -1;
    }
    void gridItemAtPos() {
        QFETCH(QPoint, point);
        QFETCH(int, index);
        TGridSelection grid;
        grid.setRowCount(5);
        QCOMPARE(grid.ItemAtPos(point.x(), point.y()), index);
    }

    void itemSizeIsAtLeastOne() {
        TGridSelection grid;
        grid.setItemSize(0);
        QCOMPARE(grid.ItemSize(), 1);
        QCOMPARE(grid.ItemAtPos(5, 0), 5);  // no division by zero
        grid.setItemSize(-3);
        QCOMPARE(grid.ItemSize(), 1);
    }

    void indicesOutsideTheListAreIgnored_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("-32") << -32;
        QTest::newRow("32, one past") << 32;
        QTest::newRow("1000") << 1000;
    }
    void indicesOutsideTheListAreIgnored() {
        QFETCH(int, index);
        TGraphicKanal grid;
        grid.Colors().Add();
        grid.Colors().Add();
        QSignalSpy change(&grid, &TCustomGridSel::Change);
        grid.ToggleSelected(index);
        grid.NextColor(index);
        grid.SetItemColor(index, 1);
        QCOMPARE(grid.GetItemColor(index), std::uint8_t{0});
        grid.ToggleCell(index + 1, 1);  // column index + 1 of row 1
        QCOMPARE(change.count(), 0);
        QCOMPARE(grid.GetSelection(0, 32), 0u);
    }

    void selectionWords_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<uint>("bits");
        QTest::addColumn<uint>("read");  // GetSelection(first, count) afterwards
        QTest::newRow("0, 32, 00000005 selects items 0 and 2") << 0 << 32 << 0x5u << 0x5u;
        QTest::newRow("all 32") << 0 << 32 << 0xFFFFFFFFu << 0xFFFFFFFFu;
        QTest::newRow("a count above 32 is 32") << 0 << 40 << 0xFFFFFFFFu << 0xFFFFFFFFu;
        QTest::newRow("8 of them") << 0 << 8 << 0xFFFFFFFFu << 0xFFu;
        QTest::newRow("from item 30: only 30 and 31 exist") << 30 << 32 << 0xFFFFFFFFu << 0x3u;
        QTest::newRow("from item -2: the two before the list are skipped") << -2 << 4 << 0xFu << 0xCu;
    }
    void selectionWords() {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(uint, bits);
        QFETCH(uint, read);
        TGraphicKanal grid;
        grid.SetItemColor(0, 3);
        QSignalSpy change(&grid, &TCustomGridSel::Change);
        grid.SetSelection(first, count, bits);
        QCOMPARE(grid.GetSelection(first, count), read);
        QCOMPARE(grid.GetItemColor(0), std::uint8_t{3});  // colours stay
        QCOMPARE(change.count(), 0);
        grid.ClearSelection();
        QCOMPARE(grid.GetSelection(0, 32), 0u);
        QCOMPARE(change.count(), 0);
    }

    void selectedItemWithItsColourIndex() {
        TGraphicKanal grid;
        grid.SetItemColor(2, 0xAB);
        grid.SetSelection(2, 1, 1);
        QCOMPARE(grid.ItemValue(2), 0xAB000080u);
        QCOMPARE(grid.GetSelection(0, 32), 0x4u);
    }

    void fourClicksStepTheColourRound() {
        TGridSelection grid;
        for (int i = 0; i < 4; ++i) grid.Colors().Add();
        QSignalSpy change(&grid, &TCustomGridSel::Change);
        const QPoint centre(5 * 16 + 8, 8);
        QList<bool> selected;
        QList<int> colours;
        for (int click = 0; click < 4; ++click) {
            QTest::mouseClick(&grid, Qt::LeftButton, {}, centre);
            selected << grid.IsItemSelected(5);
            colours << grid.GetItemColor(5);
        }
        QCOMPARE(selected, (QList<bool>{true, false, true, false}));
        QCOMPARE(colours, (QList<int>{1, 2, 3, 0}));
        QCOMPARE(change.count(), 8);  // twice a click: the selection, then the colour
    }

    void gridClicksThatChangeNothing_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("release");
        QTest::newRow("right button") << int(Qt::RightButton) << QPoint(5 * 16 + 8, 8);
        QTest::newRow("released over the next item") << int(Qt::LeftButton) << QPoint(6 * 16 + 8, 8);
        QTest::newRow("released left of the grid") << int(Qt::LeftButton) << QPoint(-20, 8);
    }
    void gridClicksThatChangeNothing() {
        QFETCH(int, button);
        QFETCH(QPoint, release);
        TGraphicKanal grid;
        grid.Colors().Add();
        QSignalSpy change(&grid, &TCustomGridSel::Change);
        const auto mouseButton = static_cast<Qt::MouseButton>(button);
        QTest::mousePress(&grid, mouseButton, {}, QPoint(5 * 16 + 8, 8));
        QTest::mouseRelease(&grid, mouseButton, {}, release);
        QCOMPARE(grid.GetSelection(0, 32), 0u);
        QCOMPARE(change.count(), 0);
    }

    void multiSelectStopsTheColourSteps() {
        TGraphicKanal grid;
        grid.Colors().Add();
        grid.Colors().Add();
        grid.setMultiSelect(true);
        QVERIFY(!grid.ColorChanged());
        QSignalSpy change(&grid, &TCustomGridSel::Change);
        QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(grid.IsItemSelected(0));
        QCOMPARE(grid.GetItemColor(0), std::uint8_t{0});
        QCOMPARE(change.count(), 1);
        grid.setMultiSelect(false);
        QVERIFY(!grid.ColorChanged());  // it only ever turns it off
    }

    void nextColorWrapsAndEmptyListGivesZero() {
        TGraphicKanal grid;
        grid.NextColor(0);
        QCOMPARE(grid.GetItemColor(0), std::uint8_t{0});
        grid.Colors().Add();
        grid.Colors().Add();
        grid.NextColor(0);
        QCOMPARE(grid.GetItemColor(0), std::uint8_t{1});
        grid.NextColor(0);
        QCOMPARE(grid.GetItemColor(0), std::uint8_t{0});
        grid.SetItemColor(0, 200);  // beyond the list
        grid.NextColor(0);
        QCOMPARE(grid.GetItemColor(0), std::uint8_t{0});
    }

    void gridPaintsItemsInTheirColours() {
        TGraphicKanal grid;
        grid.setItemStile(prsRect);
        grid.Colors().Add().setColor(QColor(0xFF, 0x00, 0x00));
        grid.Colors().Add().setColor(QColor(0x00, 0xFF, 0x00));
        grid.SetItemColor(1, 1);
        grid.SetItemColor(2, 7);  // past the list: the control's own colour
        grid.SetSelection(1, 1, 1);
        const QImage image = Rendered(grid);
        QCOMPARE(At(image, 8, 8), QColor(0xFF, 0x00, 0x00));
        QCOMPARE(At(image, 16 + 8, 8), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(At(image, 32 + 8, 8), grid.palette().color(QPalette::Window));
        // The cell (1, 1, 15, 15): item 0 with the canvas pen, item 1 with the wider select pen.
        QCOMPARE(At(image, 1, 8), QColor(Qt::black));
        QCOMPARE(At(image, 0, 8), kBackground);
        QCOMPARE(At(image, 16 + 1, 8), QColor(Qt::black));
    }

    void colourItems() {
        TGraphicKanal grid;
        QSignalSpy changed(&grid.Colors(), &TColorItems::Changed);
        TColorItem& item = grid.Colors().Add();
        QCOMPARE(item.Color(), QColor(Qt::white));
        QCOMPARE(item.DisplayName(), QStringLiteral("#ffffff"));
        const int afterAdd = static_cast<int>(changed.count());
        item.setColor(QColor(Qt::white));  // the same colour: nothing to tell
        QCOMPARE(changed.count(), afterAdd);
        item.setColor(QColor(0xFF, 0, 0));
        QCOMPARE(changed.count(), afterAdd + 1);
        QCOMPARE(item.DisplayName(), QStringLiteral("#ff0000"));
        TColorItems other;
        other.Assign(grid.Colors());
        QCOMPARE(other.Count(), 1);
        QCOMPARE(other.Item(0).Color(), QColor(0xFF, 0, 0));
        item.setColor(QColor(0, 0, 0xFF));
        QCOMPARE(other.Item(0).Color(), QColor(0xFF, 0, 0));  // a copy, not a share
        item.setColor(QColor());
        QCOMPARE(item.DisplayName(), QStringLiteral("TColorItem"));
    }

    void gridKeyboard() {
        TGridSelection grid;
        grid.setRowCount(2);
        grid.Colors().Add();
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Right);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.focusIndex(), 33);
        QTest::keyClick(&grid, Qt::Key_Down);  // no third row
        QCOMPARE(grid.focusIndex(), 33);
        QTest::keyClick(&grid, Qt::Key_Space);
        QVERIFY(grid.IsItemSelected(33));
        QCOMPARE(grid.accessibleDescription(), QStringLiteral("элемент 33, выбран, цвет 0"));
    }

    // ------------------------------------------------------------ the square strip

    void squareStripGeometry_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("below");  // the square under square 1, 0 for none
        QTest::newRow("32 in two rows of 16") << 32 << 16 << 17;
        QTest::newRow("32 in one row") << 32 << 32 << 0;
        QTest::newRow("4 in rows of 2") << 4 << 2 << 3;
    }
    void squareStripGeometry() {
        QFETCH(int, count);
        QFETCH(int, columns);
        QFETCH(int, below);
        SquareStrip::Geometry geometry;
        geometry.count = count;
        geometry.columns = columns;
        SquareStrip strip(geometry);
        for (int cell = 1; cell <= count; ++cell) {
            const QRect square = strip.squareRect(cell);
            QVERIFY2(strip.rect().contains(square), qPrintable(QString::number(cell)));
            QCOMPARE(strip.cellAt(Centre(square)), cell);
            QCOMPARE(strip.cellAt(square.topLeft()), cell);
            QCOMPARE(strip.cellAt(square.bottomRight()), cell);
            // The number stands above its square.
            QVERIFY(strip.numberRect(cell).bottom() < square.top());
        }
        QCOMPARE(strip.squareRect(2).left() - strip.squareRect(1).left(), geometry.pitch);
        if (below != 0) {
            QCOMPARE(strip.squareRect(below).left(), strip.squareRect(1).left());
            QVERIFY(strip.squareRect(below).top() > strip.squareRect(1).bottom());
        }
        // Between two squares, above them and outside: no square.
        QCOMPARE(strip.cellAt(strip.squareRect(1).topRight() + QPoint(1, 0)), 0);
        QCOMPARE(strip.cellAt(Centre(strip.numberRect(1))), 0);
        QCOMPARE(strip.cellAt(QPoint(-1, -1)), 0);
    }

    void squareStripTakesTheSquareOfThePress_data() {
        QTest::addColumn<int>("press");       // a square, or 0 for the gap after square 1
        QTest::addColumn<QPoint>("release");  // 0,0: where the press was
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("released");  // the square reported, 0 for none
        QTest::newRow("square 5") << 5 << QPoint() << int(Qt::LeftButton) << 5;
        QTest::newRow("square 32") << 32 << QPoint() << int(Qt::LeftButton) << 32;
        QTest::newRow("right button, square 17") << 17 << QPoint() << int(Qt::RightButton) << 17;
        QTest::newRow("press on 5, release on another square")
            << 5 << QPoint(1, 1) << int(Qt::LeftButton) << 5;
        QTest::newRow("press on 5, release far outside")
            << 5 << QPoint(-300, 900) << int(Qt::LeftButton) << 5;
        QTest::newRow("press in a gap") << 0 << QPoint() << int(Qt::LeftButton) << 0;
    }
    void squareStripTakesTheSquareOfThePress() {
        QFETCH(int, press);
        QFETCH(QPoint, release);
        QFETCH(int, button);
        QFETCH(int, released);
        SquareStrip strip(SquareStrip::Geometry{});
        QList<QPair<int, int>> seen;
        connect(&strip, &SquareStrip::cellReleased, this,
                [&](int cell, Qt::MouseButton which) { seen << qMakePair(cell, int(which)); });
        const QPoint at =
            press != 0 ? Centre(strip.squareRect(press)) : strip.squareRect(1).topRight() + QPoint(2, 2);
        const auto mouseButton = static_cast<Qt::MouseButton>(button);
        QTest::mousePress(&strip, mouseButton, {}, at);
        QTest::mouseRelease(&strip, mouseButton, {}, release.isNull() ? at : release);
        if (released == 0)
            QVERIFY(seen.isEmpty());
        else
            QCOMPARE(seen, (QList<QPair<int, int>>{qMakePair(released, button)}));
    }

    void squareStripKeyboard() {
        SquareStrip strip(SquareStrip::Geometry{});
        strip.setDescriber([](int cell) { return QStringLiteral("канал %1").arg(cell); });
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        strip.setFocus();
        QList<int> activated;
        connect(&strip, &SquareStrip::cellActivated, this, [&](int cell) { activated << cell; });
        QTest::keyClick(&strip, Qt::Key_Down);
        QCOMPARE(strip.focusCell(), 17);
        QTest::keyClick(&strip, Qt::Key_Down);  // no third row
        QCOMPARE(strip.focusCell(), 17);
        QTest::keyClick(&strip, Qt::Key_Left);  // the first column stays
        QCOMPARE(strip.focusCell(), 17);
        QTest::keyClick(&strip, Qt::Key_Right);
        QTest::keyClick(&strip, Qt::Key_Up);
        QCOMPARE(strip.focusCell(), 2);
        QCOMPARE(strip.accessibleDescription(), QStringLiteral("канал 2"));
        QTest::keyClick(&strip, Qt::Key_Space);
        QCOMPARE(activated, QList<int>{2});
        // With its owner handling the keys, the strip moves nothing itself.
        strip.setOwnerHandlesKeys(true);
        QTest::keyClick(&strip, Qt::Key_Right);
        QTest::keyClick(&strip, Qt::Key_Space);
        QCOMPARE(strip.focusCell(), 2);
        QCOMPARE(activated, QList<int>{2});
    }

    void squareStripPaintsFillsOutlinesAndTheLabel() {
        SquareStrip::Geometry geometry;
        geometry.markerLine = true;
        SquareStrip strip(geometry);
        strip.setSquare(3, QColor(0xFF, 0, 0), QColor(0, 0, 0));
        strip.setMarkedCell(3);
        QCOMPARE(strip.markedCell(), 3);
        const QImage image = Rendered(strip);
        const QRect square = strip.squareRect(3);
        QCOMPARE(At(image, square.center().x(), square.center().y()), QColor(0xFF, 0, 0));
        QCOMPARE(At(image, square.left(), square.center().y()), QColor(0, 0, 0));
        QCOMPARE(At(image, square.right(), square.center().y()), QColor(0, 0, 0));
        QCOMPARE(At(image, square.right() + 1, square.center().y()), kBackground);
        const QRect other = strip.squareRect(4);
        QCOMPARE(At(image, other.left(), other.center().y()), QColor(0x80, 0x80, 0x80));
        QCOMPARE(At(image, other.center().x(), other.center().y()), QColor(Qt::white));
        // The label stands above square 3 only.
        const QColor label = strip.palette().color(QPalette::Highlight);
        QCOMPARE(At(image, strip.markerRect(3).center().x(), strip.markerRect(3).top() + 1), label);
        QVERIFY(At(image, strip.markerRect(5).center().x(), strip.markerRect(5).top() + 1) != label);
        strip.setMarkedCell(0);
        const QImage unmarked = Rendered(strip);
        QVERIFY(At(unmarked, strip.markerRect(3).center().x(), strip.markerRect(3).top() + 1) != label);
    }

    // ------------------------------------------------------------ the bit matrix

    void matrixReleases_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        // 5 rows × 32 columns of 13 × 16.
        QTest::newRow("first cell") << QPoint(6, 8) << true << 0 << 0;
        QTest::newRow("row 2, column 5") << QPoint(4 * 13 + 6, 2 * 16 + 8) << true << 2 << 4;
        QTest::newRow("last cell") << QPoint(31 * 13 + 6, 4 * 16 + 8) << true << 4 << 31;
        QTest::newRow("last pixel column") << QPoint(32 * 13 - 1, 8) << true << 0 << 31;
        QTest::newRow("below the last row: the last row") << QPoint(6, 5 * 16 + 40) << true << 4 << 0;
        QTest::newRow("far below, column 10") << QPoint(9 * 13 + 1, 900) << true << 4 << 9;
        QTest::newRow("above: ignored (as written, structure -1)") << QPoint(6, -1) << false << 0 << 0;
        QTest::newRow("left: ignored") << QPoint(-1, 8) << false << 0 << 0;
        QTest::newRow("right: ignored (as written, channel 33)") << QPoint(32 * 13, 8) << false << 0 << 0;
        QTest::newRow("right and below: ignored") << QPoint(32 * 13 + 50, 500) << false << 0 << 0;
    }
    void matrixReleases() {
        QFETCH(QPoint, point);
        QFETCH(bool, taken);
        QFETCH(int, row);
        QFETCH(int, column);
        BitMatrix matrix(5, 32, QSize(13, 16));
        const std::optional<MatrixCell> cell = matrix.cellAtRelease(point);
        QCOMPARE(cell.has_value(), taken);
        if (taken) QCOMPARE(*cell, (MatrixCell{row, column}));
        // The same through a press inside and the release there, any button.
        QList<MatrixCell> seen;
        connect(&matrix, &BitMatrix::cellReleased, this,
                [&](MatrixCell released, Qt::MouseButton) { seen << released; });
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            QTest::mousePress(&matrix, button, {}, QPoint(6, 8));
            QTest::mouseRelease(&matrix, button, {}, point);
        }
        QCOMPARE(seen.size(), taken ? 2 : 0);
        if (taken) QCOMPARE(seen.front(), (MatrixCell{row, column}));
    }

    // The pedestrian page has no row below its last one either.
    void matrixReleasesBelowCanBeIgnored_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("taken");
        // 4 rows × 32 columns of 17 × 14.
        QTest::newRow("last row's last pixel line") << QPoint(8, 4 * 14 - 1) << true;
        QTest::newRow("first line below") << QPoint(8, 4 * 14) << false;
        QTest::newRow("far below") << QPoint(8, 300) << false;
    }
    void matrixReleasesBelowCanBeIgnored() {
        QFETCH(QPoint, point);
        QFETCH(bool, taken);
        BitMatrix matrix(4, 32, QSize(17, 14));
        matrix.setReleaseBelowIgnored(true);
        const std::optional<MatrixCell> cell = matrix.cellAtRelease(point);
        QCOMPARE(cell.has_value(), taken);
        if (taken) QCOMPARE(*cell, (MatrixCell{3, 0}));
    }

    void matrixSizeAndBits() {
        BitMatrix matrix(4, 32, QSize(10, 12));
        QCOMPARE(matrix.rows(), 4);
        QCOMPARE(matrix.columns(), 32);
        QCOMPARE(matrix.size(), QSize(321, 49));
        matrix.setRowBits(1, 0x80000001u);
        QVERIFY(matrix.isSet(1, 0));
        QVERIFY(matrix.isSet(1, 31));
        QVERIFY(!matrix.isSet(1, 1));
        QVERIFY(!matrix.isSet(0, 0));
        QVERIFY(!matrix.isSet(4, 0));   // no such row
        QVERIFY(!matrix.isSet(1, 32));  // no such column
        matrix.setRowBits(7, 1);        // ignored
        QCOMPARE(matrix.rowBits(7), 0u);
        const QImage image = Rendered(matrix);
        QCOMPARE(At(image, 5, 12 + 6), QColor(Qt::black));
        QCOMPARE(At(image, 31 * 10 + 5, 12 + 6), QColor(Qt::black));
        QCOMPARE(At(image, 15, 12 + 6), QColor(Qt::white));
        QCOMPARE(At(image, 5, 6), QColor(Qt::white));
        QCOMPARE(At(image, 10, 6), QColor(0x80, 0x80, 0x80));  // the line between two cells
    }

    void matrixKeyboard() {
        BitMatrix matrix(5, 32, QSize(13, 16));
        matrix.setDescriber(
            [](MatrixCell cell) { return QStringLiteral("%1:%2").arg(cell.row).arg(cell.column); });
        matrix.show();
        QVERIFY(QTest::qWaitForWindowExposed(&matrix));
        matrix.setFocus();
        QList<MatrixCell> activated;
        connect(&matrix, &BitMatrix::cellActivated, this, [&](MatrixCell cell) { activated << cell; });
        QTest::keyClick(&matrix, Qt::Key_Up);    // stays in row 0
        QTest::keyClick(&matrix, Qt::Key_Left);  // and column 0
        QCOMPARE(matrix.focusCell(), (MatrixCell{0, 0}));
        QTest::keyClick(&matrix, Qt::Key_Down);
        QTest::keyClick(&matrix, Qt::Key_Right);
        QTest::keyClick(&matrix, Qt::Key_Right);
        QCOMPARE(matrix.focusCell(), (MatrixCell{1, 2}));
        QCOMPARE(matrix.accessibleDescription(), QStringLiteral("1:2"));
        QTest::keyClick(&matrix, Qt::Key_Space);
        QCOMPARE(activated, QList<MatrixCell>{(MatrixCell{1, 2})});
        for (int i = 0; i < 10; ++i) QTest::keyClick(&matrix, Qt::Key_Down);
        QCOMPARE(matrix.focusCell(), (MatrixCell{4, 2}));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::SelectorComponentsTest)
#include "SelectorComponentsTest.moc"

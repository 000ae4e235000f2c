// TPainter, the scrolling paint surface: scroll actions through the real
// scroll bar, the clamping of positions into their ranges, the events a
// scroll fires (and those it must not), the fill and the origin of a paint.
#include <vector>

#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "GuiTestKit.h"
#include "components/Painter.h"

namespace kdt::gui::test {

namespace {

// A parent that sees the keys its child hands on.
class KeyCatcher final : public QWidget {
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

struct ScrollRecord {
    std::vector<std::pair<TPainter::ScrollCode, int>> horizontal;  // code, position handed in
    int changes = 0;
};

void Record(TPainter& painter, ScrollRecord& record) {
    painter.OnScrollHorz = [&record](TPainter&, TPainter::ScrollCode code, int& position) {
        record.horizontal.emplace_back(code, position);
    };
    painter.OnScrollChange = [&record](TPainter&) { ++record.changes; };
}

}  // namespace

class PainterTest final : public QObject {
    Q_OBJECT

private slots:
    void pageAndLineStepsWhateverThePageSize_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("code");  // -1: nothing fires
        QTest::newRow("page forward")
            << int(QAbstractSlider::SliderPageStepAdd) << 10 << 18 << int(TPainter::ScrollCode::PageForward);
        QTest::newRow("page back") << int(QAbstractSlider::SliderPageStepSub) << 10 << 2
                                   << int(TPainter::ScrollCode::PageBack);
        QTest::newRow("line forward") << int(QAbstractSlider::SliderSingleStepAdd) << 10 << 11
                                      << int(TPainter::ScrollCode::LineForward);
        QTest::newRow("line back") << int(QAbstractSlider::SliderSingleStepSub) << 10 << 9
                                   << int(TPainter::ScrollCode::LineBack);
        QTest::newRow("page back clamped at the minimum")
            << int(QAbstractSlider::SliderPageStepSub) << 5 << 0 << int(TPainter::ScrollCode::PageBack);
        QTest::newRow("page forward clamped at the maximum")
            << int(QAbstractSlider::SliderPageStepAdd) << 95 << 100 << int(TPainter::ScrollCode::PageForward);
        QTest::newRow("already at the start: nothing fires")
            << int(QAbstractSlider::SliderSingleStepSub) << 0 << 0 << -1;
        QTest::newRow("already at the end: nothing fires")
            << int(QAbstractSlider::SliderPageStepAdd) << 100 << 100 << -1;
        QTest::newRow("to the maximum is no action of the surface")
            << int(QAbstractSlider::SliderToMaximum) << 10 << 10 << -1;
    }
    void pageAndLineStepsWhateverThePageSize() {
        QFETCH(int, action);
        QFETCH(int, start);
        QFETCH(int, expected);
        QFETCH(int, code);
        TPainter painter;
        painter.setScrollBars(TPainter::ScrollBars::Horizontal);
        painter.setScrollPageSizeH(30);
        painter.setScrollPosH(start);
        ScrollRecord record;
        Record(painter, record);
        painter.horizontalScrollBar()->triggerAction(static_cast<QAbstractSlider::SliderAction>(action));
        QCOMPARE(painter.scrollPosH(), expected);
        QCOMPARE(painter.horizontalScrollBar()->value(), expected);
        if (code < 0) {
            QVERIFY(record.horizontal.empty());
            QCOMPARE(record.changes, 0);
        } else {
            QCOMPARE(record.horizontal.size(), std::size_t(1));
            QCOMPARE(int(record.horizontal[0].first), code);
            QCOMPARE(record.horizontal[0].second, expected);
            QCOMPARE(record.changes, 1);
        }
    }

    void theThumbAndTheHandlerSetThePosition() {
        TPainter painter;
        painter.setScrollBars(TPainter::ScrollBars::Horizontal);
        ScrollRecord record;
        Record(painter, record);
        QScrollBar* bar = painter.horizontalScrollBar();
        bar->setSliderPosition(57);  // a drag of the thumb, tracked
        QCOMPARE(painter.scrollPosH(), 57);
        QCOMPARE(record.horizontal.size(), std::size_t(1));
        QCOMPARE(record.horizontal[0].first, TPainter::ScrollCode::Thumb);
        // The handler may move the position elsewhere; the bar follows it.
        painter.OnScrollHorz = [](TPainter&, TPainter::ScrollCode, int& position) { position = 40; };
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(painter.scrollPosH(), 40);
        QCOMPARE(bar->value(), 40);
        QCOMPARE(record.changes, 2);
    }

    // A position never leaves its range: a lowered maximum pulls it down, a
    // raised minimum pulls it up, a range ending below its start is empty.
    // None of this is a scroll of the user's.
    void rangesClampThePositionWithoutEvents() {
        TPainter painter;
        painter.setScrollBars(TPainter::ScrollBars::Horizontal);
        ScrollRecord record;
        Record(painter, record);
        painter.setScrollPosH(50);
        painter.setScrollRangeMaxH(20);
        QCOMPARE(painter.scrollPosH(), 20);
        QCOMPARE(painter.horizontalScrollBar()->value(), 20);
        painter.setScrollRangeMinH(30);
        QCOMPARE(painter.scrollPosH(), 30);
        QCOMPARE(painter.horizontalScrollBar()->minimum(), 30);
        QCOMPARE(painter.horizontalScrollBar()->maximum(), 30);
        painter.setScrollPosH(-5);
        QCOMPARE(painter.scrollPosH(), 30);
        QVERIFY(record.horizontal.empty());
        QCOMPARE(record.changes, 0);
        // Without bars the positions are kept all the same.
        painter.setScrollBars(TPainter::ScrollBars::None);
        QCOMPARE(painter.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        painter.setScrollRangeMinH(0);
        painter.setScrollRangeMaxH(100);
        painter.setScrollPosH(70);
        QCOMPARE(painter.scrollPosH(), 70);
    }

    void everyPaintFillsAndShiftsTheOriginOnlyWhenScrolling() {
        TPainter painter;
        painter.resize(100, 60);
        painter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&painter));
        painter.setBkColor(QColor(10, 20, 30));
        painter.setScrollBars(TPainter::ScrollBars::Horizontal);
        painter.setScrollPosH(8);
        std::vector<int> codes;
        painter.OnPaint = [&codes](TPainter&, QPainter& p, const QRect&, int code) {
            codes.push_back(code);
            p.fillRect(QRect(20, 10, 5, 5), Qt::red);
        };
        QVERIFY(!painter.patBk());
        const QImage still = painter.viewport()->grab().toImage();
        QCOMPARE(still.pixelColor(2, 2), QColor(10, 20, 30));  // filled though PatBk is off
        QCOMPARE(still.pixelColor(20, 10), QColor(Qt::red));   // Scroll off: the drawing stays
        painter.setScroll(true);
        const QImage moved = painter.viewport()->grab().toImage();
        QCOMPARE(moved.pixelColor(12, 10), QColor(Qt::red));
        QCOMPARE(moved.pixelColor(20, 10), QColor(10, 20, 30));
        QVERIFY(!codes.empty());
        QCOMPARE(codes.back(), 0);
    }

    void theArrowKeysGoToTheOwner() {
        KeyCatcher owner;
        auto* painter = new TPainter(&owner);
        painter->setScrollBars(TPainter::ScrollBars::Horizontal);
        painter->setScrollPosH(10);
        QTest::keyClick(painter, Qt::Key_Right);
        QTest::keyClick(painter, Qt::Key_PageDown);
        QCOMPARE(painter->scrollPosH(), 10);
        QCOMPARE(owner.keys, (std::vector<int>{Qt::Key_Right, Qt::Key_PageDown}));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::PainterTest)
#include "PainterTest.moc"

// The grid pieces the pages share, driven as a user drives them: the header
// row and the data rows, the number columns, the in-place field over a cell
// as the grid scrolls, the mark delegate's squares under the header digits,
// the direction squares and the time field.
#include <QFontDatabase>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>

#include "GuiTestKit.h"
#include "components/CellEditor.h"
#include "components/DirectionSquares.h"
#include "components/GridTable.h"
#include "components/MarkDelegate.h"
#include "components/TimeField.h"

namespace kdt::gui::test {
namespace {

// A grid of "№" and two value columns with `rows` numbered rows.
std::unique_ptr<GridTable> NumberedGrid(int rows) {
    auto grid = std::make_unique<GridTable>();
    grid->setHeaderTexts({QStringLiteral("№"), QStringLiteral("A"), QStringLiteral("B")});
    grid->setNumberColumns(1);
    grid->setDataRowCount(rows);
    for (int row = 1; row <= rows; ++row) {
        grid->setCellText(row, 0, QString::number(row));
        grid->setCellText(row, 1, QStringLiteral("a%1").arg(row));
        grid->setCellText(row, 2, QStringLiteral("b%1").arg(row));
    }
    grid->resize(200, GridTable::kRowHeight * 5 + 24);
    grid->show();
    if (!QTest::qWaitForWindowExposed(grid.get())) qFatal("the grid is not shown");
    return grid;
}

// The horizontal centre of the dark pixels of an image area, or -1.
double DarkCentre(const QImage& image, const QRect& area) {
    double sum = 0;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                sum += x;
                ++count;
            }
    return count == 0 ? -1 : sum / count;
}

}  // namespace

class GridEditorTest final : public QObject {
    Q_OBJECT

private slots:
    // The description's row 1 is the first row under the header, and the
    // header row holds the captions: neither an off-by-one nor a row of
    // captions in the data.
    void headerRowAndDataRowsMap() {
        QCOMPARE(GridRowOfTableRow(-1), 0);
        QCOMPARE(TableRowOfGridRow(GridRowOfTableRow(4)), 4);
        const auto grid = NumberedGrid(3);
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("A"));
        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("a1"));
        QCOMPARE(grid->cellText(3, 2), QStringLiteral("b3"));
        QCOMPARE(grid->cellText(0, 1), QString());  // the header is no data row
        QSignalSpy selected(grid.get(), &GridTable::cellSelected);
        ClickCell(grid.get(), 1, 2);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front().at(0).toInt(), 1);
        QCOMPARE(selected.front().at(1).toInt(), 2);
        QCOMPARE(grid->currentGridRow(), 1);
        QCOMPARE(grid->rowHeight(0), GridTable::kRowHeight);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    // A "№" cell never becomes current: not by a click, not by the arrows.
    void numberColumnsAreNotSelectable() {
        const auto grid = NumberedGrid(3);
        ClickCell(grid.get(), 2, 1);
        QSignalSpy selected(grid.get(), &GridTable::cellSelected);
        ClickCell(grid.get(), 3, 0);
        QVERIFY(selected.isEmpty());
        QCOMPARE(grid->currentGridRow(), 2);
        QCOMPARE(grid->currentColumn(), 1);
        grid->setFocus();
        QTest::keyClick(grid.get(), Qt::Key_Left);
        QCOMPARE(grid->currentColumn(), 1);
        QTest::keyClick(grid.get(), Qt::Key_Down);
        QCOMPARE(grid->currentGridRow(), 3);
        QCOMPARE(selected.size(), 1);
    }

    // What the program does to the grid is never reported as the user's
    // choice: a shrinking row count moves the current cell silently.
    void programmaticChangesReportNothing() {
        const auto grid = NumberedGrid(5);
        QSignalSpy selected(grid.get(), &GridTable::cellSelected);
        grid->selectCell(5, 1);
        QCOMPARE(grid->currentGridRow(), 5);
        grid->setDataRowCount(2);
        grid->setHeaderTexts({QStringLiteral("№"), QStringLiteral("A"), QStringLiteral("B")});
        QVERIFY(selected.isEmpty());
    }

    // The field lies over its cell, follows the grid when it scrolls, hides
    // while its cell is out of view and comes back with it.
    void fieldFollowsItsCellWhenTheGridScrolls() {
        const auto grid = NumberedGrid(12);
        CellEditor field(grid.get());
        field.placeOver(2, 1);
        QVERIFY(field.isVisible());
        QCOMPARE(field.geometry(), grid->cellRect(2, 1));
        QCOMPARE(field.accessibleName(), QStringLiteral("A 2"));
        grid->verticalScrollBar()->setValue(1);
        QCOMPARE(field.geometry(), grid->cellRect(2, 1));
        QCOMPARE(field.geometry().top(), 0);
        grid->verticalScrollBar()->setValue(6);
        QVERIFY(!field.isVisible());
        grid->verticalScrollBar()->setValue(0);
        QVERIFY(field.isVisible());
        QCOMPARE(field.geometry(), grid->cellRect(2, 1));
        grid->setColumnWidth(1, 77);
        QCOMPARE(field.geometry(), grid->cellRect(2, 1));
        field.clearPlace();
        QVERIFY(!field.isVisible());
    }

    // Every keystroke reports the cell the field lies over, even after the
    // grid's current cell moved elsewhere.
    void fieldReportsEveryKeystrokeForItsOwnCell() {
        const auto grid = NumberedGrid(4);
        CellEditor field(grid.get());
        ClickCell(grid.get(), 3, 2);
        field.placeOver(3, 2);
        grid->selectCell(1, 1);
        QSignalSpy edited(&field, &CellEditor::edited);
        TypeInto(&field, QStringLiteral("12"));
        QCOMPARE(edited.size(), 2);
        for (const QList<QVariant>& call : edited) {
            QCOMPARE(call.at(0).toInt(), 3);
            QCOMPARE(call.at(1).toInt(), 2);
        }
        QCOMPARE(field.text(), QStringLiteral("12"));

        // Leaving names the same cell; a window deactivation is no leaving.
        QSignalSpy left(&field, &CellEditor::left);
        QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(&field, &deactivated);
        QVERIFY(left.isEmpty());
        QFocusEvent tabbedAway(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&field, &tabbedAway);
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.front().at(0).toInt(), 3);
        QCOMPARE(left.front().at(1).toInt(), 2);
    }

    // Up and Down in the field move the grid's current cell, as in the grid.
    void arrowKeysInTheFieldMoveTheGrid() {
        const auto grid = NumberedGrid(4);
        CellEditor field(grid.get());
        grid->selectCell(2, 2);
        field.placeOver(2, 2);
        QSignalSpy selected(grid.get(), &GridTable::cellSelected);
        QTest::keyClick(&field, Qt::Key_Down);
        QCOMPARE(grid->currentGridRow(), 3);
        QCOMPARE(selected.size(), 1);
        QTest::keyClick(&field, Qt::Key_Up);
        QTest::keyClick(&field, Qt::Key_Up);
        QCOMPARE(grid->currentGridRow(), 1);
    }

    // The mark character is drawn as a square under the header digit of its
    // position; the model keeps the character.
    void marksStandUnderTheHeaderDigits() {
        GridTable grid;
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSize(9);
        grid.setFont(fixed);
        const QString digits = QStringLiteral("1234567890123456");
        grid.setHeaderTexts({digits});
        grid.setItemDelegateForColumn(0, new MarkDelegate(&grid));
        grid.horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
        grid.setColumnAlignment(0, Qt::AlignCenter);
        grid.setColumnWidth(0, grid.fontMetrics().horizontalAdvance(digits) + 12);
        grid.setDataRowCount(1);
        QString marks(16, QLatin1Char(' '));
        marks[0] = MarkDelegate::kMark;
        marks[2] = MarkDelegate::kMark;
        marks[15] = MarkDelegate::kMark;
        grid.setCellText(1, 0, marks);
        grid.resize(grid.columnWidth(0) + 40, 80);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.cellText(1, 0), marks);

        const QImage shot = grid.grab().toImage();
        const QPoint origin = grid.viewport()->mapTo(&grid, QPoint(0, 0));
        const QRect cell = grid.cellRect(1, 0).translated(origin).adjusted(0, 1, 0, -1);
        const QRect header = grid.horizontalHeader()->geometry().adjusted(1, 2, -1, -2);
        // Where each header digit stands: its share of the digits' span.
        int first = -1;
        int last = -1;
        for (int x = header.left(); x <= header.right(); ++x)
            if (DarkCentre(shot, QRect(x, header.top(), 1, header.height())) >= 0) {
                if (first < 0) first = x;
                last = x;
            }
        QVERIFY(first >= 0);
        const double pitch = (last - first + 1) / 16.0;
        const auto digitArea = [&](int position) {
            return QRect(static_cast<int>(first + (position - 1) * pitch), cell.top(),
                         static_cast<int>(pitch), cell.height());
        };
        for (const int position : {1, 3, 16}) {
            const double centre = DarkCentre(shot, digitArea(position));
            QVERIFY2(centre >= 0, qPrintable(QStringLiteral("no mark at %1").arg(position)));
            QVERIFY(std::abs(centre - (first + (position - 0.5) * pitch)) < pitch / 2);
        }
        // Nothing in the middle of the digits without a mark.
        for (const int position : {2, 4, 9, 15}) {
            const QRect area = digitArea(position);
            QCOMPARE(DarkCentre(shot, area.adjusted(area.width() / 3, 0, -area.width() / 3, 0)), -1.0);
        }
    }

    void squaresToggleOnALeftClickOfTheirOwn() {
        DirectionSquares squares;
        squares.show();
        QVERIFY(QTest::qWaitForWindowExposed(&squares));
        QSignalSpy clicked(&squares, &DirectionSquares::squareClicked);
        QTest::mouseClick(&squares, Qt::LeftButton, {}, squares.squareRect(3).center());
        QTest::mouseClick(&squares, Qt::RightButton, {}, squares.squareRect(4).center());
        // Pressed on 5, released on 6 or far outside: no click on a square.
        QTest::mousePress(&squares, Qt::LeftButton, {}, squares.squareRect(5).center());
        QTest::mouseRelease(&squares, Qt::LeftButton, {}, squares.squareRect(6).center());
        QTest::mousePress(&squares, Qt::LeftButton, {}, squares.squareRect(5).center());
        QTest::mouseRelease(&squares, Qt::LeftButton, {}, QPoint(-40, -300));
        // The numbers above the squares are no square.
        QTest::mouseClick(&squares, Qt::LeftButton, {}, QPoint(squares.squareRect(7).center().x(), 2));
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.front().at(0).toInt(), 3);

        // From the keyboard: the arrows move the focus square, Space toggles it.
        squares.setFocus();
        QTest::keyClick(&squares, Qt::Key_Home);
        QTest::keyClick(&squares, Qt::Key_Right);
        QTest::keyClick(&squares, Qt::Key_Right);
        QTest::keyClick(&squares, Qt::Key_Right);
        QTest::keyClick(&squares, Qt::Key_Left);
        QTest::keyClick(&squares, Qt::Key_Space);
        QCOMPARE(squares.focusSquare(), 3);
        QCOMPARE(clicked.size(), 2);
        QCOMPARE(clicked.back().at(0).toInt(), 3);
        squares.setFill(3, DirectionSquares::SquareFill::Black);
        QCOMPARE(squares.accessibleName(), QStringLiteral("Направление 3: в фазе"));
    }

    void squaresShowTheirFill() {
        DirectionSquares squares;
        squares.setFill(1, DirectionSquares::SquareFill::Black);
        squares.setFill(2, DirectionSquares::SquareFill::White);
        squares.setFill(3, DirectionSquares::SquareFill::Silver);
        const QImage shot = squares.grab().toImage();
        QCOMPARE(shot.pixelColor(squares.squareRect(1).center()), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(squares.squareRect(2).center()), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(squares.squareRect(3).center()), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(shot.pixelColor(squares.squareRect(2).topLeft()), QColor(Qt::black));  // the outline
    }

    // The time field reads as the description does: five characters, the
    // blanks as spaces, the hour at 1..2 and the minute at 4..5.
    void timeFieldReadsFiveCharacters() {
        TimeField field;
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        QCOMPARE(field.inputMask(), QStringLiteral("09:99;_"));
        QCOMPARE(field.timeText(), QStringLiteral("  :  "));
        QVERIFY(field.isBlank());
        QCOMPARE(field.text(), QStringLiteral(":"));  // why text() is not read
        QVERIFY(!field.hour());

        field.setTime(7, 5);
        QCOMPARE(field.timeText(), QStringLiteral("07:05"));
        QCOMPARE(field.hour(), 7);
        QCOMPARE(field.minute(), 5);

        field.clear();
        field.setFocus();
        field.setCursorPosition(0);
        TypeKeys(&field, QStringLiteral("1230"));
        QCOMPARE(field.timeText(), QStringLiteral("12:30"));
        QCOMPARE(field.hour(), 12);
        QCOMPARE(field.minute(), 30);

        // A blank inside a part: "2 " is no hour, " 2" is 2; a minute not
        // typed to its end is none.
        field.setText(QStringLiteral("2_:30"));
        QCOMPARE(field.timeText(), QStringLiteral("2 :30"));
        QCOMPARE(field.hourText(), QStringLiteral("2 "));
        QVERIFY(!field.hour());
        QCOMPARE(field.minute(), 30);
        field.setText(QStringLiteral("_2:30"));
        QCOMPARE(field.timeText(), QStringLiteral(" 2:30"));
        QCOMPARE(field.hour(), 2);
        field.setText(QStringLiteral("12:3_"));
        QCOMPARE(field.minuteText(), QStringLiteral("3 "));
        QVERIFY(!field.minute());
        QVERIFY(!field.isBlank());
        QCOMPARE(TimeText(24, 0), QStringLiteral("24:00"));
    }

    // A click selects the first character, so the next digit overwrites the
    // hour from its start; a file's hour of three digits shows blank, its
    // minute kept, rather than cut into another hour by the mask.
    void timeFieldClickAndThreeDigitHours() {
        TimeField field;
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        field.setTime(7, 30);
        QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(field.width() - 4, field.height() / 2));
        QCOMPARE(field.selectionStart(), 0);
        QCOMPARE(field.selectedText(), QStringLiteral("0"));
        TypeKeys(&field, QStringLiteral("2"));
        QCOMPARE(field.timeText(), QStringLiteral("27:30"));
        QCOMPARE(field.cursorPosition(), 1);

        field.setTime(130, 5);
        QCOMPARE(field.timeText(), QStringLiteral("  :05"));
        QVERIFY(!field.hour());
        QCOMPARE(field.minute(), 5);
        QCOMPARE(TimeText(130, 5), QStringLiteral("130:05"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::GridEditorTest)
#include "GridEditorTest.moc"

// The pedestrian call page driven through its widgets: every journal kind
// edited, undone, redone and saved, compared byte for byte with the same
// change made through the core; the in-place field's limits; the squares and
// the wait matrix; the ROM type reaction; and the faults the page mends.
#include <QAbstractButton>
#include <QAccessible>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/BitMatrix.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/SquareStrip.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/PedestrianPage.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

PedestrianPage* Page6(const Editor& editor) {
    return Find<PedestrianPage>(editor, QStringLiteral("Page6"));
}
GridTable* Grid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid6"));
}
CellEditor* Field(const Editor& editor) {
    return Find<CellEditor>(editor, QStringLiteral("Edit7"));
}
SquareStrip* Squares(const Editor& editor) {
    return Find<SquareStrip>(editor, QStringLiteral("Shape145"));
}
BitMatrix* Matrix(const Editor& editor) {
    return Find<BitMatrix>(editor, QStringLiteral("PaintBox2"));
}
QPushButton* ClearButton(const Editor& editor) {
    return Find<QPushButton>(editor, QStringLiteral("Button1"));
}

// A click on the button's cell puts the field over it; then the keys replace its text.
Action Type(int button, int column, const char* keys) {
    return [=](Editor& editor) {
        ClickCell(Grid(editor), button, column);
        TypeInto(Field(editor), QString::fromLatin1(keys));
    };
}

Action ClickSquare(int channel, Qt::MouseButton button = Qt::LeftButton) {
    return [=](Editor& editor) {
        QTest::mouseClick(Squares(editor), button, {}, Squares(editor)->squareRect(channel).center());
    };
}

// Button b's row, channel k's column of the wait matrix.
Action ClickMatrix(int button, int channel, Qt::MouseButton mouse = Qt::LeftButton) {
    return [=](Editor& editor) {
        QTest::mouseClick(Matrix(editor), mouse, {},
                          Matrix(editor)->cellRect(button - 1, channel - 1).center());
    };
}

// Selects button b's phase cell, as a user clicking its row.
Action SelectButton(int button) {
    return [=](Editor& editor) { ClickCell(Grid(editor), button, 1); };
}

Action Then(Action first, Action second) {
    return [=](Editor& editor) {
        first(editor);
        second(editor);
    };
}

struct EditRow {
    const char* name;
    PlanChange setup;
    Action edit;
    PlanChange expect;  // the same change made through the core
    std::vector<const char*> descriptions;
    std::string firstPayload;  // the oldest entry's bytes after the control's identifier and length
    bool redoable = true;
};

const char* const kPhase = "ТВП-№ фазы";
const char* const kDuration = "ТВП-длитльность фазы";
const char* const kWait = "канал-\"ждите (ТВП)\"";

// The example: buttons 1 and 2 call phases 4 and 5 for 12 s, inserted
// after phases 1 and 3; their "Ждите" displays are channels 27 and 28.
const std::vector<EditRow>& EditRows() {
    static const std::vector<EditRow> rows = {
        {"phase of button 2",
         {},
         Type(2, 1, "2"),
         [](TSignalPlan& p) { p.Tvp[2].Phase = 1; },
         {kPhase},
         Bytes({1, 2, 5, 0})},
        {"duration 25 s stores 50, two keystrokes",
         {},
         Type(1, 2, "25"),
         [](TSignalPlan& p) { p.Tvp[1].Duration = 50; },
         {kDuration, kDuration},
         Bytes({2, 1, 12, 0})},
        {"duration over an odd half-second",
         [](TSignalPlan& p) { p.Tvp[2].Duration = 41; },
         Type(2, 2, "9"),
         [](TSignalPlan& p) { p.Tvp[2].Duration = 18; },
         {kDuration},
         Bytes({2, 2, 20, 0})},
        // A file's 300 s is above what any ROM type takes: undo puts it back all the same.
        {"duration over a file value above the limit",
         [](TSignalPlan& p) { p.Tvp[1].Duration = 600; },
         Type(1, 2, "9"),
         [](TSignalPlan& p) { p.Tvp[1].Duration = 18; },
         {kDuration},
         Bytes({2, 1, 0x2C, 0x01})},
        // One byte held phase numbers up to 255 only: phase 300 came back as 44.
        {"phase over a file's phase 300",
         [](TSignalPlan& p) { p.Tvp[1].Phase = 299; },
         Type(1, 1, "3"),
         [](TSignalPlan& p) { p.Tvp[1].Phase = 2; },
         {kPhase},
         Bytes({1, 1, 0x2C, 0x01})},
        // Column 3 has a description of its own, not column 2's.
        {"insertion phase of button 2",
         {},
         Type(2, 3, "5"),
         [](TSignalPlan& p) { p.TvpInsertPhase[1] = 4; },
         {kPhase},
         Bytes({3, 2, 3, 0})},
        {"insertion phase over none (255)",
         [](TSignalPlan& p) { p.TvpInsertPhase[0] = 255; },
         Type(1, 3, "1"),
         [](TSignalPlan& p) { p.TvpInsertPhase[0] = 0; },
         {kPhase},
         Bytes({3, 1, 0, 1})},
        {"wait channel 7 of button 1",
         {},
         ClickSquare(7),
         [](TSignalPlan& p) { p.Tvp[1].WaitMask ^= 0x40u; },
         {kWait},
         Bytes({'t', 1})},
        {"wait matrix: button 2, channel 32",
         {},
         ClickMatrix(2, 32),
         [](TSignalPlan& p) { p.Tvp[2].WaitMask ^= 0x80000000u; },
         {kWait},
         Bytes({'t', 2})},
        {"wait matrix: channel 28 out of button 2's display",
         {},
         ClickMatrix(2, 28),
         [](TSignalPlan& p) { p.Tvp[2].WaitMask = 0; },
         {kWait},
         Bytes({'t', 2})},
        // The old mask as signed decimal text: channels 1 and 32 are -2147483647.
        {"Очистка",
         [](TSignalPlan& p) { p.Tvp[2].WaitMask = 0x80000001u; },
         Then(SelectButton(2), [](Editor& e) { ClearButton(e)->click(); }),
         [](TSignalPlan& p) { p.Tvp[2].WaitMask = 0; },
         {"Очистку \"уставки ждите в ТВП\""},
         std::string(1, '\2') + "-2147483647",
         false},
    };
    return rows;
}

}  // namespace

class PedestrianPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example changed by setup, opened from a file, page 6 in front.
    Editor OpenedOn(const PlanChange& setup = {}) {
        TSignalPlan plan = ExamplePlan();
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(6);
        return editor;
    }

private slots:
    void editUndoRedoSave_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < EditRows().size(); ++i)
            QTest::newRow(EditRows()[i].name) << static_cast<int>(i);
    }
    void editUndoRedoSave() {
        QFETCH(int, row);
        const EditRow& edit = EditRows()[static_cast<std::size_t>(row)];
        Editor editor = OpenedOn(edit.setup);
        const TSignalPlan before = editor->state().plan;
        TSignalPlan expected = before;
        edit.expect(expected);
        Journal& journal = editor->state().journal;
        QVERIFY(journal.empty());

        edit.edit(editor);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QStringList wanted;
        for (const char* description : edit.descriptions) wanted << QString::fromUtf8(description);
        QCOMPARE(Descriptions(journal), wanted);
        QCOMPARE(QByteArray::fromStdString(journal.undoList().front().payload),
                 QByteArray::fromStdString(edit.firstPayload));
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("UndoItem"))->text(),
                 QStringLiteral("Отменить : ") + wanted.back());

        const auto entries = static_cast<std::size_t>(wanted.size());
        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(editor->state().currentPage, 6);
        if (edit.redoable) {
            QCOMPARE(journal.redoList().size(), entries);
            for (std::size_t i = 0; i < entries; ++i) editor->ToolButton21Click();
            KDT_COMPARE_PLANS(editor->state().plan, expected);
            // Each redo gave back one entry, no more.
            QCOMPARE(journal.undoList().size(), entries);
            QVERIFY(journal.redoList().empty());
        } else {
            QVERIFY(journal.redoList().empty());
            expected = before;
        }

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // What the in-place field takes, by column and limits: the stored raw
    // value, the field's and the cell's texts, the entries; never a beep.
    void fieldLimits_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rom");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");  // raw value of button 1's field
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("entries");
        // The example has five phases; button 1 calls phase 4 for 12 s, inserted after phase 1.
        QTest::newRow("phase 2 stores 1") << 1 << 5 << "2" << 1 << "2" << 1;
        QTest::newRow("phase 6 is above the five phases: nothing") << 1 << 5 << "6" << 3 << "4" << 0;
        QTest::newRow("phase 0: nothing") << 1 << 5 << "0" << 3 << "4" << 0;
        QTest::newRow("duration 25 stores 50") << 2 << 5 << "25" << 50 << "25" << 2;
        QTest::newRow("duration 0 is taken") << 2 << 5 << "0" << 0 << "0" << 1;
        QTest::newRow("duration 195 with 4.2.x") << 2 << 4 << "195" << 390 << "195" << 3;
        QTest::newRow("duration 196 with 4.2.x: 19 stays") << 2 << 4 << "196" << 38 << "19" << 2;
        QTest::newRow("duration 97 with 4.1.x") << 2 << 3 << "97" << 194 << "97" << 2;
        QTest::newRow("duration 98 with 4.1.x: 9 stays") << 2 << 0 << "98" << 18 << "9" << 1;
        QTest::newRow("insertion phase 5 stores 4") << 3 << 5 << "5" << 4 << "5" << 1;
        QTest::newRow("insertion phase 9: nothing") << 3 << 5 << "9" << 0 << "1" << 0;
    }
    void fieldLimits() {
        QFETCH(int, column);
        QFETCH(int, rom);
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(QString, cell);
        QFETCH(int, entries);
        Editor editor = OpenedOn([&](TSignalPlan& p) { p.RomVersion = static_cast<std::uint8_t>(rom); });
        Type(1, column, qPrintable(keys))(editor);
        const TSignalPlan& p = editor->state().plan;
        const int value = column == 1   ? p.Tvp[1].Phase
                          : column == 2 ? p.Tvp[1].Duration
                                        : p.TvpInsertPhase[0];
        QCOMPARE(value, stored);
        // A refused entry stays in the field as typed; the grid shows what is stored.
        QCOMPARE(Field(editor)->text(), keys);
        QCOMPARE(Grid(editor)->cellText(1, column), cell);
        QCOMPARE(static_cast<int>(editor->state().journal.undoList().size()), entries);
        QCOMPARE(editor.script->beeps, 0);
        // Left, the field shows the stored value again.
        Grid(editor)->setFocus();
        QCOMPARE(Field(editor)->text(), cell);
    }

    void romTypeReaction_data() {
        QTest::addColumn<int>("rom");
        QTest::addColumn<bool>("insertion");
        QTest::addColumn<int>("durationLimit");
        QTest::newRow("4.1.0") << 0 << false << 97;
        QTest::newRow("4.1.1") << 1 << false << 97;
        QTest::newRow("4.1.2") << 2 << false << 97;
        QTest::newRow("4.1.3") << 3 << false << 97;
        QTest::newRow("4.2.0") << 4 << true << 195;
        QTest::newRow("4.2.1") << 5 << true << 195;
    }
    void romTypeReaction() {
        QFETCH(int, rom);
        QFETCH(bool, insertion);
        QFETCH(int, durationLimit);
        // Reached both ways: a plan opened with the type, and the type chosen on the parameters page.
        for (const bool chosen : {false, true}) {
            Editor editor = OpenedOn(
                [&](TSignalPlan& p) { p.RomVersion = static_cast<std::uint8_t>(chosen ? 5 - rom : rom); });
            // The field over column 3 when the plan opens with it.
            const bool openedWithInsertion = (chosen ? 5 - rom : rom) > 3;
            ClickCell(Grid(editor), 1, openedWithInsertion ? 3 : 2);
            if (chosen) {
                editor->ShowPage(1);
                Find<QAbstractButton>(Find<QWidget>(editor, QStringLiteral("RadioGroup3")),
                                      QStringLiteral("Item%1").arg(rom))
                    ->click();
                editor->ShowPage(6);
            }
            QCOMPARE(editor->state().plan.RomVersion, rom);
            // Hidden, not only narrowed: neither a click nor the keyboard reaches column 3.
            QCOMPARE(Grid(editor)->isColumnHidden(3), !insertion);
            QVERIFY(Page6(editor)->currentColumn() != 3 || insertion);
            ClickCell(Grid(editor), 1, 2);
            QTest::keyClick(Grid(editor), Qt::Key_Right);
            QCOMPARE(Page6(editor)->currentColumn(), insertion ? 3 : 2);
            // The duration limit holds for typing: the limit itself is taken, one more is not.
            Type(1, 2, qPrintable(QString::number(durationLimit)))(editor);
            QCOMPARE(editor->state().plan.Tvp[1].Duration, durationLimit * 2);
            Type(1, 2, qPrintable(QString::number(durationLimit + 1)))(editor);
            QCOMPARE(editor->state().plan.Tvp[1].Duration, (durationLimit + 1) / 10 * 2);
        }
    }

    // Viewing never writes the record: as written, showing the page turned
    // each shown 255 into phase 1 and a count of 5 into 0.
    void viewingWritesNothing_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("rows");
        QTest::newRow("insertion phases of 255 are empty cells") << 2 << 2;
        QTest::newRow("a count of 5 shows no buttons") << 5 << 0;
    }
    void viewingWritesNothing() {
        QFETCH(int, count);
        QFETCH(int, rows);
        Editor editor = OpenedOn([&](TSignalPlan& p) {
            p.TvpButtonCount = static_cast<std::uint8_t>(count);
            for (std::uint8_t& phase : p.TvpInsertPhase) phase = 255;
        });
        const TSignalPlan opened = editor->state().plan;
        QCOMPARE(Grid(editor)->dataRowCount(), rows);
        for (int b = 1; b <= rows; ++b) {
            QCOMPARE(Grid(editor)->cellText(b, 3), QString());
            ClickCell(Grid(editor), b, 3);
            QCOMPARE(Field(editor)->text(), QString());
        }
        editor->ShowPage(1);
        editor->ShowPage(6);
        KDT_COMPARE_PLANS(editor->state().plan, opened);
        QCOMPARE(editor->state().plan.TvpButtonCount, count);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        if (rows > 0) return;
        // Without rows nothing on the page edits.
        ClickSquare(3)(editor);
        ClickMatrix(1, 3)(editor);
        KDT_COMPARE_PLANS(editor->state().plan, opened);
        QVERIFY(editor->state().journal.empty());
    }

    // The current button follows a lowered count: as written, the field and
    // the squares kept editing button 4 after the count became 2, whose
    // values the next save resets.
    void currentButtonStaysWithinTheCount() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.TvpButtonCount = 4; });
        ClickCell(Grid(editor), 4, 2);
        QCOMPARE(Page6(editor)->currentButton(), 4);
        editor->ShowPage(1);
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit4")), QStringLiteral("2"));
        editor->ShowPage(6);
        QCOMPARE(Page6(editor)->currentButton(), 2);
        QCOMPARE(Field(editor)->row(), 2);
        const std::uint32_t fourth = editor->state().plan.Tvp[4].WaitMask;
        ClickSquare(5)(editor);
        QCOMPARE(editor->state().plan.Tvp[2].WaitMask, 0x08000010u);
        QCOMPARE(editor->state().plan.Tvp[4].WaitMask, fourth);
        TypeInto(Field(editor), QStringLiteral("30"));
        QCOMPARE(editor->state().plan.Tvp[2].Duration, 60);
    }

    // A release outside the matrix after a press in it changes nothing: as
    // written, a release above it wrote button 0 (the reserved bytes and the
    // comment's last byte), one to its right toggled channel 33.
    void matrixReleasesOutsideAreIgnored_data() {
        QTest::addColumn<QPoint>("release");  // from the matrix's top left
        QTest::newRow("above") << QPoint(20, -5);
        QTest::newRow("far above") << QPoint(20, -40);
        QTest::newRow("left") << QPoint(-3, 10);
        QTest::newRow("right: channel 33") << QPoint(32 * 17 + 2, 10);
        QTest::newRow("below the last button") << QPoint(20, 4 * 14 + 3);
    }
    void matrixReleasesOutsideAreIgnored() {
        QFETCH(QPoint, release);
        Editor editor = OpenedOn([](TSignalPlan& p) { p.TvpButtonCount = 4; });
        const TSignalPlan opened = editor->state().plan;
        BitMatrix* matrix = Matrix(editor);
        QTest::mousePress(matrix, Qt::LeftButton, {}, matrix->cellRect(0, 0).center());
        QTest::mouseRelease(matrix, Qt::LeftButton, {}, release);
        KDT_COMPARE_PLANS(editor->state().plan, opened);
        QVERIFY(editor->state().journal.empty());
    }

    // The matrix selects the row it is clicked in, toggles with the left
    // button only, and ignores rows beyond the count.
    void matrixClicks() {
        Editor editor = OpenedOn();
        ClickMatrix(2, 3, Qt::RightButton)(editor);
        QCOMPARE(Page6(editor)->currentButton(), 2);
        QCOMPARE(Grid(editor)->currentGridRow(), 2);
        QCOMPARE(editor->state().plan.Tvp[2].WaitMask, 0x08000000u);
        ClickMatrix(1, 3)(editor);
        QCOMPARE(Page6(editor)->currentButton(), 1);
        QCOMPARE(editor->state().plan.Tvp[1].WaitMask, 0x04000004u);
        QVERIFY(Matrix(editor)->isSet(0, 2));
        // Button 3's row: the example has two buttons.
        ClickMatrix(3, 3)(editor);
        QCOMPARE(editor->state().plan.Tvp[3].WaitMask, 0u);
        QCOMPARE(Page6(editor)->currentButton(), 1);
        // The squares work on the current button; a right click changes nothing.
        ClickSquare(9, Qt::RightButton)(editor);
        QCOMPARE(editor->state().plan.Tvp[1].WaitMask, 0x04000004u);
        ClickSquare(9)(editor);
        QCOMPARE(editor->state().plan.Tvp[1].WaitMask, 0x04000104u);
        QVERIFY(Matrix(editor)->isSet(0, 8));
        // From the keyboard: Space on the matrix's focus cell, Space on a square.
        Matrix(editor)->setFocus();
        Matrix(editor)->setFocusCell({1, 0});
        QTest::keyClick(Matrix(editor), Qt::Key_Space);
        QCOMPARE(editor->state().plan.Tvp[2].WaitMask, 0x08000001u);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{3});
    }

    // The squares show the channel colours; the list names the buttons.
    void squaresAndListShowThePlan() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.TvpButtonCount = 3; });
        QCOMPARE(Squares(editor)->fillOf(1), QColor(0xFF, 0x00, 0x00));
        QCOMPARE(Squares(editor)->fillOf(2), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(Squares(editor)->fillOf(3), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(Squares(editor)->fillOf(27), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(Squares(editor)->fillOf(29), QColor(0xFF, 0xFF, 0xFF));
        auto* list = Find<QListWidget>(editor, QStringLiteral("ListBox1"));
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(2)->text(), QStringLiteral("ТВП 3"));
        QCOMPARE(Grid(editor)->cellText(3, 0), QStringLiteral("  3"));
        QCOMPARE(Grid(editor)->cellText(1, 1), QStringLiteral("4"));
        QCOMPARE(Grid(editor)->cellText(1, 2), QStringLiteral("12"));
        QCOMPARE(Grid(editor)->cellText(2, 3), QStringLiteral("3"));
        QVERIFY(Matrix(editor)->isSet(0, 26));
        QVERIFY(Matrix(editor)->isSet(1, 27));
        QCOMPARE(Matrix(editor)->rowBits(2), 0u);
    }

    void clearIsAvailableForAWaitDisplayOnly() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Tvp[2].WaitMask = 0; });
        ClickCell(Grid(editor), 2, 1);
        editor->RefreshEnabledStates();
        QVERIFY(!ClearButton(editor)->isEnabled());
        ClickCell(Grid(editor), 1, 1);
        editor->RefreshEnabledStates();
        QVERIFY(ClearButton(editor)->isEnabled());
        ClearButton(editor)->click();
        QCOMPARE(editor->state().plan.Tvp[1].WaitMask, 0u);
        editor->RefreshEnabledStates();
        QVERIFY(!ClearButton(editor)->isEnabled());
    }

    // Undo puts a value back where it was made, whatever is selected now.
    void undoGoesBackToTheEditedCell() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        Type(1, 2, "7")(editor);
        ClickSquare(4)(editor);
        Type(2, 3, "2")(editor);
        ClickCell(Grid(editor), 2, 1);
        for (int i = 0; i < 3; ++i) editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(Page6(editor)->currentButton(), 1);
        QCOMPARE(Page6(editor)->currentColumn(), 2);
        ClickCell(Grid(editor), 2, 1);
        for (int i = 0; i < 3; ++i) editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.Tvp[1].Duration, 14);
        QCOMPARE(editor->state().plan.Tvp[1].WaitMask, 0x04000008u);
        QCOMPARE(editor->state().plan.TvpInsertPhase[1], 1);
        QCOMPARE(editor->state().plan.Tvp[2].Phase, before.Tvp[2].Phase);
    }

    // Every input of the page has a name a screen reader announces.
    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        ClickCell(Grid(editor), 2, 2);
        const QList<std::pair<const char*, const char*>> expected = {
            {"Edit7", "Длительность 2"}, {"Button1", "Очистка"}, {"Shape145", "Уставка"}};
        for (const auto& [name, label] : expected) {
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(Find<QWidget>(editor, QString::fromLatin1(name)));
            QVERIFY(accessible != nullptr);
            QCOMPARE(accessible->text(QAccessible::Name), QString::fromUtf8(label));
        }
        QVERIFY(!QAccessible::queryAccessibleInterface(Matrix(editor))->text(QAccessible::Name).isEmpty());
        QVERIFY(!QAccessible::queryAccessibleInterface(Grid(editor))->text(QAccessible::Name).isEmpty());
        Matrix(editor)->setFocusCell({1, 27});
        QCOMPARE(Matrix(editor)->accessibleDescription(), QStringLiteral("ТВП 2, канал 28, ждите включено"));
        QCOMPARE(Matrix(editor)->statusTip(),
                 QStringLiteral("Шелчок левой кнопки мыши меняет состояние уставки на противоположное"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::PedestrianPageTest)
#include "PedestrianPageTest.moc"

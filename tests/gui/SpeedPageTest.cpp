// The speed indicator page driven through its widgets: the time field's
// journal kind edited, undone, redone and saved, compared byte for byte with
// the same change made through the core; the time rules of the field; the
// speeds typed per keystroke into the cell that was edited; and edits that
// keep no journal entry still asked about before they are lost.
#include <QAccessible>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/TimeField.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/SpeedPage.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

SpeedPage* Page9(const Editor& editor) {
    return Find<SpeedPage>(editor, QStringLiteral("Page9"));
}
GridTable* Grid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid10"));
}
TimeField* Time(const Editor& editor) {
    return Find<TimeField>(editor, QStringLiteral("MaskEdit2"));
}
CellEditor* SpeedField(const Editor& editor) {
    return Find<CellEditor>(editor, QStringLiteral("StringGrid10Editor"));
}

// A click in the time field puts the caret on its first digit; the keys then
// overwrite the time from there.
Action TypeTime(int row, int column, const char* keys) {
    return [=](Editor& editor) {
        ClickCell(Grid(editor), row, column);
        QTest::mouseClick(Time(editor), Qt::LeftButton, {}, QPoint(2, Time(editor)->height() / 2));
        TypeKeys(Time(editor), QString::fromLatin1(keys));
    };
}

Action TypeSpeed(int row, int column, const char* keys) {
    return [=](Editor& editor) {
        ClickCell(Grid(editor), row, column);
        TypeInto(SpeedField(editor), QString::fromLatin1(keys));
    };
}

std::string Bytes(std::initializer_list<int> bytes, const char* time) {
    std::string text;
    for (const int byte : bytes) text += static_cast<char>(byte);
    return text + time;
}

void SetTime(TSignalPlan& p, int row, int hour, int minute) {
    p.SpeedSchedule[row - 1].Hour = static_cast<std::uint8_t>(hour);
    p.SpeedSchedule[row - 1].Minute = static_cast<std::uint8_t>(minute);
}

struct EditRow {
    const char* name;
    PlanChange setup;
    Action edit;
    PlanChange expect;  // the same change made through the core
    int entries;
    std::string firstPayload;  // column, row, old time
};

// The example keeps the new plan's table: row 1 at 00:00, rows 2..8 at 24:00.
const std::vector<EditRow>& EditRows() {
    static const std::vector<EditRow> rows = {
        // "0" gives 04:00, "6" 06:00, "3" 06:30, "0" 06:30 again: every
        // valid keystroke is an entry, even one that changes no value.
        {"time of row 3",
         {},
         TypeTime(3, 0, "0630"),
         [](TSignalPlan& p) { SetTime(p, 3, 6, 30); },
         4,
         Bytes({0, 3}, "24:00")},
        // Unlike on the schedule page, row 1's time is free.
        {"row 1's time",
         {},
         TypeTime(1, 0, "06"),
         [](TSignalPlan& p) { SetTime(p, 1, 6, 0); },
         2,
         Bytes({0, 1}, "00:00")},
        {"time with a speed cell selected",
         {},
         TypeTime(2, 4, "1"),
         [](TSignalPlan& p) { SetTime(p, 2, 14, 0); },
         1,
         Bytes({4, 2}, "24:00")},
        {"24:45",
         {},
         TypeTime(4, 0, "2445"),
         [](TSignalPlan& p) { SetTime(p, 4, 24, 45); },
         4,
         Bytes({0, 4}, "24:00")},
        // A file's hour the field refuses comes back whole.
        {"a file's hour of 30", [](TSignalPlan& p) { SetTime(p, 2, 30, 15); }, TypeTime(2, 0, "1"),
         [](TSignalPlan& p) { SetTime(p, 2, 10, 15); }, 1, Bytes({0, 2}, "30:15")},
        // Its hour shows blank in the field; "2" waits for the second digit.
        {"a file's hour of 130", [](TSignalPlan& p) { SetTime(p, 2, 130, 5); }, TypeTime(2, 0, "23"),
         [](TSignalPlan& p) { SetTime(p, 2, 23, 5); }, 1, Bytes({0, 2}, "130:05")},
    };
    return rows;
}

}  // namespace

class SpeedPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example changed by setup, opened from a file, page 9 in front.
    Editor OpenedOn(const PlanChange& setup = {}) {
        TSignalPlan plan = ExamplePlan();
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(9);
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
        const auto entries = static_cast<std::size_t>(edit.entries);
        QCOMPARE(journal.undoList().size(), entries);
        QCOMPARE(QByteArray::fromStdString(journal.undoList().front().payload),
                 QByteArray::fromStdString(edit.firstPayload));
        QCOMPARE(editor.script->beeps, 0);
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("UndoItem"))->text(),
                 QStringLiteral("Отменить : время в суточ. графике"));

        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(editor->state().currentPage, 9);
        QCOMPARE(journal.redoList().size(), entries);
        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton21Click();
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(journal.undoList().size(), entries);
        QVERIFY(journal.redoList().empty());

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // Typed over row 2's 07:30 from its first digit: what is stored and shown.
    void typedTimes_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("beeps");
        // 27:30 waits while the caret is on the second hour digit.
        QTest::newRow("2 then 3 gives 23:30") << "23"
                                              << "23:30"
                                              << "23:30" << 1 << 0;
        QTest::newRow("2 alone waits") << "2"
                                       << "07:30"
                                       << "27:30" << 0 << 0;
        QTest::newRow("29 is set back with a beep") << "29"
                                                    << "07:30"
                                                    << "07:30" << 0 << 1;
        QTest::newRow("minute 60 is set back with a beep") << "076"
                                                           << "07:30"
                                                           << "07:30" << 2 << 1;
        QTest::newRow("hour 24 is accepted") << "24"
                                             << "24:30"
                                             << "24:30" << 1 << 0;
        QTest::newRow("letters are refused with a beep") << "x"
                                                         << "07:30"
                                                         << "07:30" << 0 << 1;
    }
    void typedTimes() {
        QFETCH(QString, keys);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(int, entries);
        QFETCH(int, beeps);
        Editor editor = OpenedOn([](TSignalPlan& p) { SetTime(p, 2, 7, 30); });
        TypeTime(2, 0, qPrintable(keys))(editor);
        const TSpeedEntry& row = editor->state().plan.SpeedSchedule[1];
        QCOMPARE(TimeText(row.Hour, row.Minute), stored);
        QCOMPARE(Time(editor)->timeText(), shown);
        QCOMPARE(static_cast<int>(editor->state().journal.undoList().size()), entries);
        QCOMPARE(editor.script->beeps, beeps);
    }

    // Typed into row 2, indicator 3 (60 km/h): speeds are taken keystroke by
    // keystroke; a text the cell refuses shows the stored speed again.
    void typedSpeeds_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("250 is stored") << "250" << 250 << "250";
        QTest::newRow("0 is stored") << "0" << 0 << "0";
        QTest::newRow("251 shows the stored 25 again") << "251" << 25 << "25";
        QTest::newRow("1234 is refused by its length") << "1234" << 123 << "123";
        QTest::newRow("a letter never reaches the cell") << "7x" << 7 << "7";
    }
    void typedSpeeds() {
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeSpeed(2, 3, qPrintable(keys))(editor);
        TSignalPlan expected = before;
        expected.SpeedSchedule[1].Speed[2] = static_cast<std::uint8_t>(stored);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(SpeedField(editor)->text(), shown);
        QCOMPARE(Grid(editor)->cellText(2, 3), shown);
        // Speeds keep no journal entries, but the plan counts as changed.
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::Changed);
    }

    // A speed typed and left with an arrow key stays in the cell it was typed
    // into, and the cell the field moves to is only loaded: nothing is
    // committed on leaving a cell (a grid's delegate commits there, after
    // the current cell has already moved on).
    void speedStaysInTheEditedCell() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeSpeed(2, 3, "77")(editor);
        QTest::keyClick(SpeedField(editor), Qt::Key_Down);
        QCOMPARE(Page9(editor)->currentRow(), 3);
        QCOMPARE(SpeedField(editor)->row(), 3);
        QCOMPARE(SpeedField(editor)->text(), QStringLiteral("60"));
        ClickCell(Grid(editor), 3, 5);
        TSignalPlan expected = before;
        expected.SpeedSchedule[1].Speed[2] = 77;
        KDT_COMPARE_PLANS(editor->state().plan, expected);
    }

    // Column 0 is edited only through the time field: a click there puts the
    // focus into it and no speed field lies over the time.
    void timeColumnOnlyThroughTheTimeField() {
        Editor editor = OpenedOn();
        ClickCell(Grid(editor), 5, 0);
        QCOMPARE(QApplication::focusWidget(), Time(editor));
        QVERIFY(!SpeedField(editor)->isVisible());
        QCOMPARE(Time(editor)->geometry(), Grid(editor)->cellRect(5, 0));
        TypeKeys(Time(editor), QStringLiteral("1"));
        QCOMPARE(editor->state().plan.SpeedSchedule[4].Hour, 14);
        QCOMPARE(Grid(editor)->cellText(5, 0), QStringLiteral("14:00"));
    }

    // Undo puts a time back into its own row, whatever row is selected now.
    void undoGoesBackToTheEditedRow() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeTime(3, 0, "1")(editor);
        ClickCell(Grid(editor), 6, 2);
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(Page9(editor)->currentRow(), 3);
        QCOMPARE(Time(editor)->timeText(), QStringLiteral("24:00"));
        QCOMPARE(Grid(editor)->cellText(3, 0), QStringLiteral("24:00"));
    }

    // A new plan with the default speed shows it in all 64 cells, row 1 at
    // 00:00 and the others at 24:00; showing and selecting records nothing.
    void newPlanShowsTheDefaults() {
        Editor editor = MakeEditor();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.window.get()));
        editor->ShowPage(9);
        for (int row = 1; row <= kSpeedRows; ++row) {
            QCOMPARE(Grid(editor)->cellText(row, 0),
                     row == 1 ? QStringLiteral("00:00") : QStringLiteral("24:00"));
            for (int column = 1; column <= kSpeedIndicators; ++column)
                QCOMPARE(Grid(editor)->cellText(row, column), QStringLiteral("60"));
        }
        for (int row = 1; row <= kSpeedRows; ++row)
            for (int column = 0; column <= kSpeedIndicators; ++column) ClickCell(Grid(editor), row, column);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::NothingToSave);
    }

    // A speed of a new plan is unsaved work though no journal entry holds it:
    // replacing the plan asks first.
    void leaveCheckAsksAfterASpeed() {
        Editor editor = MakeEditor();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.window.get()));
        editor->ShowPage(9);
        TypeSpeed(1, 1, "40")(editor);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::UnsavedWork);
        editor.script->answers = {kIdNo};
        QVERIFY(editor->LeaveCheck());
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Сохранение проекта СОД"));
    }

    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        ClickCell(Grid(editor), 4, 6);
        QCOMPARE(QAccessible::queryAccessibleInterface(SpeedField(editor))->text(QAccessible::Name),
                 QStringLiteral("Напр.6 4"));
        QCOMPARE(QAccessible::queryAccessibleInterface(Time(editor))->text(QAccessible::Name),
                 QStringLiteral("Время 4"));
        QCOMPARE(Time(editor)->statusTip(), QStringLiteral("Ввод времени"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::SpeedPageTest)
#include "SpeedPageTest.moc"

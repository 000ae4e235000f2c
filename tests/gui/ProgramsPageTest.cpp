// The programs page driven through its widgets: both journal kinds edited,
// undone, redone and saved, compared byte for byte with the same change made
// through the core; typed values per column; the leave test and its
// rollback; the cycle lengths; and the faults the page mends.
#include <QAccessible>
#include <QToolButton>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/ProgramsPage.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

ProgramsPage* Page5(const Editor& editor) {
    return Find<ProgramsPage>(editor, QStringLiteral("Page5"));
}
GridTable* ProgramGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid4"));
}
GridTable* TactGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid5"));
}
CellEditor* TactField(const Editor& editor) {
    return Find<CellEditor>(editor, QStringLiteral("Edit9"));
}
QLineEdit* Field(const Editor& editor, const char* name) {
    return Find<QLineEdit>(editor, QString::fromLatin1(name));
}

Action SelectProgram(int program) {
    return [=](Editor& editor) { ClickCell(ProgramGrid(editor), program, 1); };
}

// Program, tact row and column (1 phase, 2 main duration, 3 inter-tact): the keys typed into the field.
Action TypeTact(int program, int tact, int column, const char* keys) {
    return [=](Editor& editor) {
        SelectProgram(program)(editor);
        ClickCell(TactGrid(editor), tact, column);
        TypeInto(TactField(editor), QString::fromLatin1(keys));
    };
}

Action TypeTactCount(int program, const char* keys) {
    return [=](Editor& editor) {
        SelectProgram(program)(editor);
        TypeInto(Field(editor, "LabeledEdit11"), QString::fromLatin1(keys));
    };
}

// Runs what the event that left a field queued (the rollback).
void Settle() {
    QCoreApplication::processEvents();
}

struct EditRow {
    const char* name;
    PlanChange setup;
    Action edit;
    PlanChange expect;  // the same change made through the core
    std::vector<const char*> descriptions;
    std::string firstPayload;  // the oldest entry's bytes after the control's identifier and length
};

const char* const kTacts = "\"Тактов в программе \"";
const char* const kPhase = "такт прораммы-№ фазы";
const char* const kDuration = "такт прораммы-длитльность фазы";
const char* const kInter = "такт прораммы-длительность промтакта";

// The example's programs: 1 = (1, 30, 6), (2, 10, 6), (3, 25, 6), 83 s;
// 2 = (1, 40, 6), (2, 12, 6), (3, 22, 6), 92 s; 3 = (1, 25, 6), (2, 10, 6), (3, 35, 6), 88 s.
const std::vector<EditRow>& EditRows() {
    static const std::vector<EditRow> rows = {
        // The fourth tact holds the new-plan values: phase 1, 20 s, 6 s.
        {"tact count",
         {},
         TypeTactCount(2, "4"),
         [](TSignalPlan& p) {
             p.Program[1].TactCount = 4;
             p.Program[1].CycleLength = 2 * (92 + 20 + 6);
         },
         {kTacts},
         Bytes({2, 3})},
        {"tact count from a file of 0",
         [](TSignalPlan& p) { p.Program[0].TactCount = 0; },
         TypeTactCount(1, "2"),
         [](TSignalPlan& p) {
             p.Program[0].TactCount = 2;
             p.Program[0].CycleLength = 2 * (30 + 6 + 10 + 6);
         },
         {kTacts},
         Bytes({1, 0})},
        // Program, column, tact, then the old shown value in 16 bits.
        {"phase of a tact",
         {},
         TypeTact(1, 2, 1, "4"),
         [](TSignalPlan& p) { p.Program[0].TactPhase[1] = 3; },
         {kPhase},
         Bytes({1, 1, 2, 2, 0})},
        {"phase 20 from a file",
         [](TSignalPlan& p) { p.Program[0].TactPhase[0] = 19; },
         TypeTact(1, 1, 1, "2"),
         [](TSignalPlan& p) { p.Program[0].TactPhase[0] = 1; },
         {kPhase},
         Bytes({1, 1, 1, 20, 0})},
        {"phase 256 from a file",
         [](TSignalPlan& p) { p.Program[1].TactPhase[2] = 255; },
         TypeTact(2, 3, 1, "3"),
         [](TSignalPlan& p) { p.Program[1].TactPhase[2] = 2; },
         {kPhase},
         Bytes({2, 1, 3, 0, 1})},
        {"main duration, two keystrokes",
         {},
         TypeTact(3, 1, 2, "45"),
         [](TSignalPlan& p) {
             p.Program[2].TactDuration[0] = 90;
             p.Program[2].CycleLength = 2 * (88 - 25 + 45);
         },
         {kDuration, kDuration},
         Bytes({3, 2, 1, 25, 0})},
        {"main duration over an odd half-second",
         [](TSignalPlan& p) {
             p.Program[0].TactDuration[0] = 61;
             p.Program[0].CycleLength = 2 * 83 + 1;
         },
         TypeTact(1, 1, 2, "20"),
         [](TSignalPlan& p) {
             p.Program[0].TactDuration[0] = 40;
             p.Program[0].CycleLength = 2 * (83 - 30 + 20);
         },
         {kDuration, kDuration},
         Bytes({1, 2, 1, 30, 0})},
        {"main duration of 300 s from a file",
         [](TSignalPlan& p) {
             p.Program[0].TactDuration[1] = 600;
             p.Program[0].CycleLength = 2 * (83 - 10 + 300);
         },
         TypeTact(1, 2, 2, "9"),
         [](TSignalPlan& p) {
             p.Program[0].TactDuration[1] = 18;
             p.Program[0].CycleLength = 2 * (83 - 10 + 9);
         },
         {kDuration},
         Bytes({1, 2, 2, 300 & 0xFF, 300 >> 8})},
        {"inter-tact duration",
         {},
         TypeTact(1, 3, 3, "9"),
         [](TSignalPlan& p) {
             p.Program[0].TactInterDuration[2] = 18;
             p.Program[0].CycleLength = 2 * (83 + 3);
         },
         {kInter},
         Bytes({1, 3, 3, 6, 0})},
    };
    return rows;
}

}  // namespace

class ProgramsPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example changed by setup, opened from a file, page 5 in front.
    Editor OpenedOn(const PlanChange& setup = {}, TSignalPlan plan = ExamplePlan()) {
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(5);
        return editor;
    }

    // Leaves the tact field as a user does, for another control of the page.
    static void LeaveTactField(Editor& editor) {
        Field(editor, "LabeledEdit11")->setFocus(Qt::TabFocusReason);
        Settle();
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
        QCOMPARE(editor.script->beeps, 0);
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("UndoItem"))->text(),
                 QStringLiteral("Отменить : ") + wanted.back());

        const auto entries = static_cast<std::size_t>(wanted.size());
        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(editor->state().currentPage, 5);
        QCOMPARE(journal.redoList().size(), entries);
        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton21Click();
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(journal.undoList().size(), entries);
        QVERIFY(journal.redoList().empty());
        // Nothing queued by a field left on the way takes anything back.
        Settle();
        KDT_COMPARE_PLANS(editor->state().plan, expected);

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // Typed into tact 1 of program 1: what is stored, shown, recorded and beeped.
    void typedValues_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("phaseCount");
        QTest::addColumn<int>("minPhaseDuration");  // half-seconds
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");  // the raw field
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("beeps");
        QTest::newRow("phase 5 of 4 beeps and restores") << 1 << 4 << 6 << "5" << 0 << "1" << 0 << 1;
        QTest::newRow("phase 0 is never stored") << 1 << 4 << 6 << "0" << 0 << "1" << 0 << 1;
        QTest::newRow("phase 4 of 4") << 1 << 4 << 6 << "4" << 3 << "4" << 1 << 0;
        QTest::newRow("phase 17 of 20 phases: 16 at most") << 1 << 20 << 6 << "17" << 0 << "1" << 1 << 1;
        QTest::newRow("duration below the minimum is taken while typing")
            << 2 << 5 << 20 << "3" << 6 << "3" << 1 << 0;
        QTest::newRow("duration 0") << 2 << 5 << 6 << "0" << 0 << "0" << 1 << 0;
        QTest::newRow("inter-tact 0") << 3 << 5 << 6 << "0" << 0 << "0" << 1 << 0;
    }
    void typedValues() {
        QFETCH(int, column);
        QFETCH(int, phaseCount);
        QFETCH(int, minPhaseDuration);
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, entries);
        QFETCH(int, beeps);
        Editor editor = OpenedOn([&](TSignalPlan& p) {
            p.PhaseCount = static_cast<std::uint8_t>(phaseCount);
            p.MinPhaseDuration = static_cast<std::uint16_t>(minPhaseDuration);
        });
        SelectProgram(1)(editor);
        ClickCell(TactGrid(editor), 1, column);
        TypeInto(TactField(editor), keys);
        const TSignalProgram& program = editor->state().plan.Program[0];
        const int value = column == 1   ? program.TactPhase[0]
                          : column == 2 ? program.TactDuration[0]
                                        : program.TactInterDuration[0];
        QCOMPARE(value, stored);
        QCOMPARE(TactField(editor)->text(), shown);
        QCOMPARE(TactGrid(editor)->cellText(1, column), shown);
        QCOMPARE(static_cast<int>(editor->state().journal.undoList().size()), entries);
        QCOMPARE(editor.script->beeps, beeps);
    }

    // The limits the ROM type sets: D and I are taken, one more is not.
    void romTypeReaction_data() {
        QTest::addColumn<int>("rom");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("interTact");
        QTest::newRow("4.1.0") << 0 << 97 << 30;
        QTest::newRow("4.1.1") << 1 << 97 << 30;
        QTest::newRow("4.1.2") << 2 << 97 << 30;
        QTest::newRow("4.1.3") << 3 << 97 << 30;
        QTest::newRow("4.2.0") << 4 << 195 << 60;
        QTest::newRow("4.2.1") << 5 << 195 << 60;
    }
    void romTypeReaction() {
        QFETCH(int, rom);
        QFETCH(int, duration);
        QFETCH(int, interTact);
        Editor editor = OpenedOn([&](TSignalPlan& p) { p.RomVersion = static_cast<std::uint8_t>(rom); });
        const TSignalProgram& program = editor->state().plan.Program[0];
        TypeTact(1, 1, 2, QByteArray::number(duration).constData())(editor);
        QCOMPARE(program.TactDuration[0], duration * 2);
        QCOMPARE(editor.script->beeps, 0);
        TypeTact(1, 1, 2, QByteArray::number(duration + 1).constData())(editor);
        QCOMPARE(program.TactDuration[0], (duration + 1) / 10 * 2);
        QCOMPARE(editor.script->beeps, 1);
        TypeTact(1, 2, 3, QByteArray::number(interTact).constData())(editor);
        QCOMPARE(program.TactInterDuration[1], interTact * 2);
        TypeTact(1, 2, 3, QByteArray::number(interTact + 1).constData())(editor);
        QCOMPARE(program.TactInterDuration[1], (interTact + 1) / 10 * 2);
        QCOMPARE(editor.script->beeps, 2);
    }

    // With a minimum of 5 s, typing 3 stores 6; leaving the field beeps and
    // takes that change back.
    void leavingBelowTheMinimumTakesTheChangeBack() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.MinPhaseDuration = 10; });
        const TSignalPlan before = editor->state().plan;
        TypeTact(1, 1, 2, "3")(editor);
        QCOMPARE(editor->state().plan.Program[0].TactDuration[0], 6);
        // A window deactivation or a popup is no leaving.
        for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent focusOut(QEvent::FocusOut, reason);
            QCoreApplication::sendEvent(TactField(editor), &focusOut);
            Settle();
        }
        QCOMPARE(editor.script->beeps, 0);
        QCOMPARE(editor->state().plan.Program[0].TactDuration[0], 6);
        LeaveTactField(editor);
        QCOMPARE(editor.script->beeps, 1);
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.undoList().empty());
        QCOMPARE(editor->state().journal.redoList().size(), std::size_t{1});
        QCOMPARE(editor->state().currentPage, 5);
        QCOMPARE(TactField(editor)->text(), QStringLiteral("30"));
    }

    // A field that recorded nothing takes nothing back: leaving a file's
    // value below a raised minimum reloads it with a beep, and the raise on
    // the parameters page stays (it used to be undone, with a jump there).
    void leavingNeverUndoesAnotherEdit() {
        Editor editor = OpenedOn();
        editor->ShowPage(1);
        TypeInto(Field(editor, "LabeledEdit5"), QStringLiteral("12"));
        QCOMPARE(editor->state().plan.MinPhaseDuration, 24);
        const std::size_t entries = editor->state().journal.undoList().size();
        editor->ShowPage(5);
        SelectProgram(1)(editor);
        ClickCell(TactGrid(editor), 2, 2);  // 10 s, below the new 12
        TactField(editor)->setFocus();
        LeaveTactField(editor);
        QCOMPARE(editor.script->beeps, 1);
        QCOMPARE(editor->state().plan.MinPhaseDuration, 24);
        QCOMPARE(editor->state().journal.undoList().size(), entries);
        QCOMPARE(editor->state().currentPage, 5);
        QCOMPARE(TactField(editor)->text(), QStringLiteral("10"));

        // An undo that brings back a value below the minimum is not undone
        // once more when the refilled page takes the focus.
        TypeTact(1, 1, 2, "3")(editor);
        TypeInto(TactField(editor), QStringLiteral("30"));
        const std::size_t typed = editor->state().journal.undoList().size();
        editor->ToolButton20Click();  // back to "3"
        Settle();
        QCOMPARE(editor->state().plan.Program[0].TactDuration[0], 6);
        QCOMPARE(editor->state().journal.undoList().size(), typed - 1);
    }

    // An emptied field changed nothing; leaving it shows the stored value again.
    void leavingAnEmptyFieldReloadsIt() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeTact(1, 2, 3, "")(editor);
        QTest::keyClick(TactField(editor), Qt::Key_Backspace);
        QCOMPARE(TactField(editor)->text(), QString());
        LeaveTactField(editor);
        QCOMPARE(TactField(editor)->text(), QStringLiteral("6"));
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor.script->beeps, 0);
    }

    // The refresh mark only keeps quiet: a value outside the column's range is
    // never stored (phase 0 used to store 255).
    void refreshMarkMutesTheBeepOnly() {
        Editor editor = OpenedOn();
        SelectProgram(1)(editor);
        ClickCell(TactGrid(editor), 1, 1);
        editor->pageContext().setRefreshing(true);
        TypeInto(TactField(editor), QStringLiteral("0"));
        TypeInto(TactField(editor), QStringLiteral("9"));
        editor->pageContext().setRefreshing(false);
        QCOMPARE(editor->state().plan.Program[0].TactPhase[0], 0);
        QCOMPARE(editor.script->beeps, 0);
        QVERIFY(editor->state().journal.empty());
    }

    // The tact number is no value: a click on it leaves the field where it was.
    void tactNumberIsNotEdited() {
        Editor editor = OpenedOn();
        SelectProgram(1)(editor);
        ClickCell(TactGrid(editor), 2, 3);
        ClickCell(TactGrid(editor), 3, 0);
        QCOMPARE(TactField(editor)->row(), 2);
        QCOMPARE(TactField(editor)->column(), 3);
        QCOMPARE(Page5(editor)->currentTactColumn(), 3);
        TypeInto(TactField(editor), QStringLiteral("7"));
        QCOMPARE(editor->state().plan.Program[0].TactInterDuration[1], 14);
        QCOMPARE(editor->state().plan.Program[0].TactPhase[2], 2);
    }

    // Undo puts a value back into its own program, column and tact, whatever
    // is selected now.
    void undoGoesBackToTheEditedCell() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeTact(1, 2, 1, "3")(editor);
        TypeTactCount(2, "2")(editor);
        TypeTact(3, 3, 2, "5")(editor);
        SelectProgram(2)(editor);
        ClickCell(TactGrid(editor), 1, 3);
        for (int i = 0; i < 3; ++i) editor->ToolButton20Click();
        Settle();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(Page5(editor)->currentProgram(), 1);
        QCOMPARE(TactField(editor)->row(), 2);
        QCOMPARE(TactField(editor)->column(), 1);
        for (int i = 0; i < 3; ++i) editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.Program[0].TactPhase[1], 2);
        QCOMPARE(editor->state().plan.Program[1].TactCount, 2);
        QCOMPARE(editor->state().plan.Program[2].TactDuration[2], 10);
        QCOMPARE(editor->state().plan.Program[1].TactInterDuration[0],
                 before.Program[1].TactInterDuration[0]);
    }

    // Clicking programs and cells only loads: nothing recorded, redo kept.
    void selectingRecordsAndStoresNothing() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Program[1].TactDuration[1] = 25; });  // 12.5 s
        TypeTact(1, 1, 1, "2")(editor);
        editor->ToolButton20Click();
        const TSignalPlan before = editor->state().plan;
        for (int program = 1; program <= 3; ++program) {
            SelectProgram(program)(editor);
            for (int column = 1; column <= 3; ++column)
                for (int tact = 1; tact <= 3; ++tact) ClickCell(TactGrid(editor), tact, column);
        }
        Settle();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.undoList().empty());
        QCOMPARE(editor->state().journal.redoList().size(), std::size_t{1});
        QCOMPARE(editor.script->beeps, 0);
    }

    // Tacts (phase 1, 20 s, 6 s) and (phase 2, 15 s, 4 s) give 90 and show
    // "45 сек."; viewing writes a cycle length only where it was out of date.
    void cycleLengthsAreKeptUpToDate() {
        {
            Editor editor = OpenedOn();
            QCOMPARE(ProgramGrid(editor)->cellText(1, 2), QStringLiteral("83 сек."));
            QCOMPARE(ProgramGrid(editor)->cellText(2, 1), QStringLiteral("3"));
            QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        }
        Editor editor = OpenedOn([](TSignalPlan& p) {
            TSignalProgram& program = p.Program[1];
            program.TactCount = 2;
            program.TactPhase[0] = 0;
            program.TactDuration[0] = 40;
            program.TactInterDuration[0] = 12;
            program.TactPhase[1] = 1;
            program.TactDuration[1] = 30;
            program.TactInterDuration[1] = 8;
            program.CycleLength = 7;
        });
        QCOMPARE(editor->state().plan.Program[1].CycleLength, 90);
        QCOMPARE(ProgramGrid(editor)->cellText(2, 2), QStringLiteral("45 сек."));
        QCOMPARE(editor->ModificationState(), ProjectState::Changed);
        QVERIFY(editor->state().journal.empty());
        TypeTact(2, 2, 3, "10")(editor);
        QCOMPARE(editor->state().plan.Program[1].CycleLength, 102);
        QCOMPARE(ProgramGrid(editor)->cellText(2, 2), QStringLiteral("51 сек."));
    }

    // Raising the tact count from 2 to 3 in a new plan adds a tact showing
    // phase 1, 20 and 6, and 52 to the cycle length; the field is rewritten
    // from the count when left.
    void moreTactsShowWhatTheRecordHolds() {
        TSignalPlan plan = NewPlan();
        plan.Program[0].TactCount = 2;
        Editor editor = OpenedOn({}, plan);
        const int cycle = editor->state().plan.Program[0].CycleLength;
        TypeTactCount(1, "3")(editor);
        QCOMPARE(TactGrid(editor)->dataRowCount(), 3);
        QCOMPARE(TactGrid(editor)->cellText(3, 1), QStringLiteral("1"));
        QCOMPARE(TactGrid(editor)->cellText(3, 2), QStringLiteral("20"));
        QCOMPARE(TactGrid(editor)->cellText(3, 3), QStringLiteral("6"));
        QCOMPARE(editor->state().plan.Program[0].CycleLength, cycle + 52);
        QCOMPARE(ProgramGrid(editor)->cellText(1, 1), QStringLiteral("3"));
        // 17 is refused with a beep and the count shows again.
        TypeInto(Field(editor, "LabeledEdit11"), QStringLiteral("17"));
        QCOMPARE(editor->state().plan.Program[0].TactCount, 1);
        QCOMPARE(editor.script->beeps, 1);
        QCOMPARE(Field(editor, "LabeledEdit11")->text(), QStringLiteral("1"));
        TypeInto(Field(editor, "LabeledEdit11"), QString());
        QTest::keyClick(Field(editor, "LabeledEdit11"), Qt::Key_Backspace);
        TactGrid(editor)->setFocus();
        QCOMPARE(Field(editor, "LabeledEdit11")->text(), QStringLiteral("1"));
    }

    // Every input of the page has a name a screen reader announces.
    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        ClickCell(TactGrid(editor), 2, 3);
        QCOMPARE(QAccessible::queryAccessibleInterface(TactField(editor))->text(QAccessible::Name),
                 QStringLiteral("Длит.Пром 2"));
        QCOMPARE(
            QAccessible::queryAccessibleInterface(Field(editor, "LabeledEdit11"))->text(QAccessible::Name),
            QStringLiteral("Тактов в программе"));
        for (QWidget* control : Page5(editor)->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(Page5(editor)) || qobject_cast<QToolButton*>(control)) continue;
            if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<GridTable*>(control)) continue;
            QVERIFY2(
                !QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).trimmed().isEmpty(),
                qPrintable(control->objectName()));
        }
        QCOMPARE(ProgramGrid(editor)->toolTip(), QStringLiteral("Выбор программы для редактирования"));
        QCOMPARE(ProgramGrid(editor)->statusTip(), QStringLiteral("Еденица длитильности равна 1 секунде"));
    }

    // Counts from a file are no indexes: 20 programs give 16 rows, 300 tacts
    // 16 rows, none an empty tact grid; a lowered count starts at program 1.
    void countsFromAFile() {
        {
            Editor editor = OpenedOn([](TSignalPlan& p) {
                p.ProgramCount = 20;
                p.Program[15].TactCount = 300;
            });
            QCOMPARE(ProgramGrid(editor)->dataRowCount(), 16);
            SelectProgram(16)(editor);
            QCOMPARE(TactGrid(editor)->dataRowCount(), 16);
            QCOMPARE(ProgramGrid(editor)->cellText(16, 1), QStringLiteral("300"));
            QCOMPARE(Field(editor, "LabeledEdit11")->text(), QStringLiteral("300"));
            TypeTact(16, 16, 3, "1")(editor);
            QCOMPARE(editor->state().plan.Program[15].TactInterDuration[15], 2);
        }
        {
            Editor editor = OpenedOn([](TSignalPlan& p) { p.Program[0].TactCount = 0; });
            QCOMPARE(TactGrid(editor)->dataRowCount(), 0);
            QVERIFY(!TactField(editor)->isVisible());
            QCOMPARE(editor->state().plan.Program[0].CycleLength, 0);
            QCOMPARE(ProgramGrid(editor)->cellText(1, 2), QStringLiteral("0 сек."));
        }
        {
            Editor editor = OpenedOn();
            SelectProgram(3)(editor);
            editor->ShowPage(1);
            TypeInto(Field(editor, "LabeledEdit3"), QStringLiteral("2"));
            editor->ShowPage(5);
            QCOMPARE(Page5(editor)->currentProgram(), 1);
            QCOMPARE(ProgramGrid(editor)->dataRowCount(), 2);
        }
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::ProgramsPageTest)
#include "ProgramsPageTest.moc"

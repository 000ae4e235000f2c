// The coordinator page driven through its widgets: both journal kinds edited,
// undone, redone and saved, compared byte for byte with the same change made
// through the core; typed delays and their take-back; the controller limit
// that follows the program count; the cycle lengths; and the faults the page
// mends (the header row written as a delay, a refused delay undoing another
// edit, a limit only set on the parameters page, an early stop leaving
// recording off).
#include <QAccessible>
#include <QToolButton>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/UpDownEdit.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/CoordinatorPage.h"
#include "pages/PageFrame.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kLeading = 3;  // "ВЕДУЩИЙ"

CoordinatorPage* Page8(const Editor& editor) {
    return Find<CoordinatorPage>(editor, QStringLiteral("Page8"));
}
GridTable* ProgramGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid7"));
}
GridTable* ControllerGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid9"));
}
CellEditor* DelayField(const Editor& editor) {
    return Find<CellEditor>(editor, QStringLiteral("Edit8"));
}
UpDownEdit* CountField(const Editor& editor) {
    return Find<UpDownEdit>(editor, QStringLiteral("LabeledEdit19"));
}

// Program and controller rows, then the keys typed over the delay.
Action TypeDelay(int program, int controller, const char* keys) {
    return [=](Editor& editor) {
        ClickCell(ProgramGrid(editor), program, 1);
        ClickCell(ControllerGrid(editor), controller, 1);
        TypeInto(DelayField(editor), QString::fromLatin1(keys));
    };
}

// The keys typed after what the delay field shows, as a user appends digits.
Action AppendToDelay(int program, int controller, const char* keys) {
    return [=](Editor& editor) {
        ClickCell(ProgramGrid(editor), program, 1);
        ClickCell(ControllerGrid(editor), controller, 1);
        DelayField(editor)->end(false);
        TypeKeys(DelayField(editor), QString::fromLatin1(keys));
    };
}

Action TypeCount(const char* keys) {
    return [=](Editor& editor) { TypeInto(CountField(editor), QString::fromLatin1(keys)); };
}

// The example made the leading controller of five.
void Leading(TSignalPlan& p) {
    p.NetworkType = kLeading;
    p.CoordControllerCount = 5;
}

// The programs the page shows, as it keeps them.
void KeepCyclesUpToDate(TSignalPlan& p) {
    for (int n = 0; n < std::min<int>(p.ProgramCount, kMaxPrograms); ++n) {
        TSignalProgram& program = p.Program[n];
        unsigned sum = 0;
        for (int t = 0; t < std::min<int>(program.TactCount, kMaxTacts); ++t)
            sum += unsigned{program.TactDuration[t]} + program.TactInterDuration[t];
        program.CycleLength = static_cast<std::uint16_t>(sum);
    }
}

struct EditRow {
    const char* name;
    PlanChange setup;
    Action edit;
    PlanChange expect;  // the same change made through the core
    std::vector<const char*> descriptions;
    std::string firstPayload;  // the oldest entry's bytes after the control's identifier and length
};

const char* const kCount = "\"Число контроллеров \"";
const char* const kDelay = "координатор-задержка";

// The example's three programs keep the new-plan delay 1 for controllers 1..16, 0 above.
const std::vector<EditRow>& EditRows() {
    static const std::vector<EditRow> rows = {
        {"controller count",
         {},
         TypeCount("8"),
         [](TSignalPlan& p) { p.CoordControllerCount = 8; },
         {kCount},
         "5"},
        {"controller count of two digits",
         {},
         TypeCount("12"),
         [](TSignalPlan& p) { p.CoordControllerCount = 12; },
         {kCount, kCount},
         "5"},
        // Undo brings the file's 32 back whole, though the limit refuses it today.
        {"a file's count above the limit",
         [](TSignalPlan& p) {
             p.ProgramCount = 16;
             p.CoordControllerCount = 32;
         },
         TypeCount("6"),
         [](TSignalPlan& p) { p.CoordControllerCount = 6; },
         {kCount},
         "32"},
        // Program, controller, then the old delay.
        {"delay",
         {},
         TypeDelay(2, 3, "7"),
         [](TSignalPlan& p) { p.CoordDelay[1][2] = 7; },
         {kDelay},
         Bytes({2, 3, 1})},
        {"delay of three digits",
         {},
         TypeDelay(3, 5, "255"),
         [](TSignalPlan& p) { p.CoordDelay[2][4] = 255; },
         {kDelay, kDelay, kDelay},
         Bytes({3, 5, 1})},
        {"delay of a controller above 16",
         [](TSignalPlan& p) { p.CoordControllerCount = 20; },
         TypeDelay(1, 20, "9"),
         [](TSignalPlan& p) { p.CoordDelay[0][19] = 9; },
         {kDelay},
         Bytes({1, 20, 0})},
    };
    return rows;
}

}  // namespace

class CoordinatorPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example, leading controller of five, changed by
    // setup, opened from a file, page 8 in front.
    Editor OpenedOn(const PlanChange& setup = {}, bool staleCycles = false) {
        TSignalPlan plan = ExamplePlan();
        Leading(plan);
        if (setup) setup(plan);
        // As the editor saves it, cycle lengths up to date (unless the test
        // says otherwise), so any byte changed later is the page's doing.
        if (!staleCycles) KeepCyclesUpToDate(plan);
        NormalisePlan(plan, plan.NetworkAddress);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(8);
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
        QCOMPARE(editor->state().currentPage, 8);
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

        // Undone from another page, the edit goes back all the same.
        editor->ShowPage(1);
        const auto entries = static_cast<std::size_t>(wanted.size());
        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(editor->state().currentPage, 8);
        QCOMPARE(journal.redoList().size(), entries);
        editor->ShowPage(1);
        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton21Click();
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(journal.undoList().size(), entries);
        QVERIFY(journal.redoList().empty());

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // Typed into controller 2 of program 1, whose delay is `stored` before:
    // what is stored and shown, the entries left and the beeps.
    void typedDelays_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<bool>("append");  // after the shown delay, or over it
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("beeps");
        QTest::newRow("0 is a delay") << 5 << false << "0" << 0 << "0" << 1 << 0;
        QTest::newRow("255 is the largest") << 5 << false << "255" << 255 << "255" << 3 << 0;
        QTest::newRow("300 over 3 takes back its own 30 step") << 3 << false << "300" << 3 << "3" << 1 << 1;
        QTest::newRow("256 takes back its own 25 step") << 5 << false << "256" << 2 << "2" << 1 << 1;
        // Nothing of this field's own to take back: the stored delay shows again.
        QTest::newRow("9 after a loaded 99 rewrites the field") << 99 << true << "9" << 99 << "99" << 0 << 1;
        QTest::newRow("1000 takes back its own 100 step") << 5 << false << "1000" << 10 << "10" << 2 << 1;
    }
    void typedDelays() {
        QFETCH(int, before);
        QFETCH(bool, append);
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, entries);
        QFETCH(int, beeps);
        Editor editor =
            OpenedOn([&](TSignalPlan& p) { p.CoordDelay[0][1] = static_cast<std::uint8_t>(before); });
        (append ? AppendToDelay(1, 2, qPrintable(keys)) : TypeDelay(1, 2, qPrintable(keys)))(editor);
        QCOMPARE(editor->state().plan.CoordDelay[0][1], stored);
        QCOMPARE(DelayField(editor)->text(), shown);
        QCOMPARE(ControllerGrid(editor)->cellText(2, 1), shown);
        QCOMPARE(static_cast<int>(editor->state().journal.undoList().size()), entries);
        // The refused step is gone for good: redo does not bring it back.
        QVERIFY(editor->state().journal.redoList().empty());
        QCOMPARE(editor.script->beeps, beeps);
        // Typing goes on in the field after a take-back.
        QCOMPARE(QApplication::focusWidget(), DelayField(editor));
    }

    // A refused delay whose field has no step of its own to take back never
    // undoes the newest entry of another control: as written it undid it
    // (another controller's delay, or a comment on page 1, with a jump there).
    void refusedDelayLeavesOtherEditsAlone_data() {
        QTest::addColumn<bool>("onPageOne");
        QTest::newRow("another controller's delay") << false;
        QTest::newRow("a comment on the parameters page") << true;
    }
    void refusedDelayLeavesOtherEditsAlone() {
        QFETCH(bool, onPageOne);
        Editor editor = OpenedOn([](TSignalPlan& p) { p.CoordDelay[0][2] = 99; });
        if (onPageOne) {
            editor->ShowPage(1);
            TypeKeys(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit20")), QStringLiteral("!"));
            editor->ShowPage(8);
        } else {
            TypeDelay(1, 2, "7")(editor);
        }
        const TSignalPlan edited = editor->state().plan;
        AppendToDelay(1, 3, "9")(editor);
        KDT_COMPARE_PLANS(editor->state().plan, edited);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        QCOMPARE(DelayField(editor)->text(), QStringLiteral("99"));
        QCOMPARE(editor->state().currentPage, 8);
        QCOMPARE(editor.script->beeps, 1);
    }

    // The field lies over controller 1 when the page comes up: as written it
    // lay over the header, and typing wrote CoordDelay[p][0], the count's byte.
    // A count lowered below the selected row brings the field to the last row.
    void selectedControllerStaysWithinTheCount() {
        Editor editor = OpenedOn();
        QCOMPARE(Page8(editor)->currentController(), 1);
        QCOMPARE(DelayField(editor)->row(), 1);
        TypeInto(DelayField(editor), QStringLiteral("4"));
        QCOMPARE(editor->state().plan.CoordDelay[0][0], 4);
        QCOMPARE(editor->state().plan.CoordControllerCount, 5);

        ClickCell(ControllerGrid(editor), 5, 1);
        TypeCount("3")(editor);
        QCOMPARE(ControllerGrid(editor)->dataRowCount(), 3);
        QCOMPARE(Page8(editor)->currentController(), 3);
        QCOMPARE(DelayField(editor)->row(), 3);
        TypeInto(DelayField(editor), QStringLiteral("6"));
        QCOMPARE(editor->state().plan.CoordDelay[0][2], 6);
        // Delays above a lowered count stay and show again when it is raised.
        editor->state().plan.CoordDelay[0][4] = 44;
        TypeCount("5")(editor);
        QCOMPARE(ControllerGrid(editor)->cellText(5, 1), QStringLiteral("44"));
    }

    // The limit is 96 div the program count, at most 32, worked out again
    // every time the page is shown; a file's count above it is shown marked
    // and kept until the user edits it.
    void controllerLimit_data() {
        QTest::addColumn<int>("programs");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("afterOneMore");  // the count once limit + 1 is typed over it
        QTest::newRow("one program allows 32") << 1 << 1 << 32 << 3;
        QTest::newRow("three programs allow 32") << 3 << 1 << 32 << 3;
        QTest::newRow("five programs allow 19") << 5 << 1 << 19 << 2;
        // As written, a 16-program plan opened from a file could be raised
        // to 32 controllers: the limit was set only by the parameters page.
        QTest::newRow("a 16-program file allows 6") << 16 << 1 << 6 << 1;
        QTest::newRow("a 16-program file with 32 keeps its 32") << 16 << 32 << 6 << 32;
    }
    void controllerLimit() {
        QFETCH(int, programs);
        QFETCH(int, count);
        QFETCH(int, limit);
        QFETCH(int, afterOneMore);
        Editor editor = OpenedOn([&](TSignalPlan& p) {
            p.ProgramCount = static_cast<std::uint8_t>(programs);
            p.CoordControllerCount = static_cast<std::uint8_t>(count);
        });
        const TSignalPlan& plan = editor->state().plan;
        const bool above = count > limit;
        QCOMPARE(CountField(editor)->text(), QString::number(count));
        QCOMPARE(ControllerGrid(editor)->dataRowCount(), count);
        QCOMPARE(Page8(editor)->countMarked(), above);
        QCOMPARE(CountField(editor)->palette().color(QPalette::Text) == QColor(Qt::red), above);
        QCOMPARE(CountField(editor)->toolTip().isEmpty(), !above);
        // Viewing writes nothing.
        KDT_COMPARE_PLANS(plan, FileRecord(folder_ / "p.kdt"));
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        QCOMPARE(plan.CoordControllerCount, count);
        CountField(editor)->setFocus();
        ControllerGrid(editor)->setFocus();  // leaving shows the stored count again
        QCOMPARE(CountField(editor)->text(), QString::number(count));
        QCOMPARE(plan.CoordControllerCount, count);

        TypeCount(QByteArray::number(limit + 1).constData())(editor);
        QCOMPARE(plan.CoordControllerCount, afterOneMore);
        QCOMPARE(editor.script->beeps, 1);
        TypeCount(QByteArray::number(limit).constData())(editor);
        QCOMPARE(plan.CoordControllerCount, limit);
        QVERIFY(!Page8(editor)->countMarked());
        // The arrows stop at the limit.
        QTest::keyClick(CountField(editor), Qt::Key_Up);
        QCOMPARE(plan.CoordControllerCount, limit);
        QCOMPARE(CountField(editor)->text(), QString::number(limit));
    }

    // The arrows bound a file's count above the limit too: one step brings it within.
    void arrowsBringAFileCountWithinTheLimit() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ProgramCount = 16;
            p.CoordControllerCount = 32;
        });
        QTest::keyClick(CountField(editor), Qt::Key_Up);
        QCOMPARE(editor->state().plan.CoordControllerCount, 6);
        QVERIFY(!Page8(editor)->countMarked());
        editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.CoordControllerCount, 32);
        QVERIFY(Page8(editor)->countMarked());
    }

    // A count of 0 (a controller count or a program count from an old file)
    // keeps the page from coming up; the page in front stays, and the next
    // edit is recorded: the early stop leaves nothing suppressed.
    void countOfZeroKeepsThePageBack_data() {
        QTest::addColumn<int>("programs");
        QTest::addColumn<int>("controllers");
        QTest::newRow("no controllers") << 3 << 0;
        QTest::newRow("no programs") << 0 << 5;
    }
    void countOfZeroKeepsThePageBack() {
        QFETCH(int, programs);
        QFETCH(int, controllers);
        Editor editor = OpenedOn([&](TSignalPlan& p) {
            p.ProgramCount = static_cast<std::uint8_t>(programs);
            p.CoordControllerCount = static_cast<std::uint8_t>(controllers);
        });
        QCOMPARE(editor->state().currentPage, 1);
        QVERIFY(Find<QAction>(editor, QStringLiteral("PageAction1"))->isChecked());
        QVERIFY(!Find<QAction>(editor, QStringLiteral("PageAction8"))->isChecked());
        QVERIFY(!editor->pageFrame(8)->isVisible());
        QVERIFY(!editor->state().journal.recordingSuppressed());
        TypeKeys(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit20")), QStringLiteral("!"));
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        QCOMPARE(editor->state().plan.CoordControllerCount, controllers);
    }

    // Undo puts a delay back into its own program and controller, whatever is
    // selected now.
    void undoGoesBackToTheEditedCell() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeDelay(1, 2, "8")(editor);
        TypeDelay(3, 4, "9")(editor);
        ClickCell(ProgramGrid(editor), 2, 1);
        ClickCell(ControllerGrid(editor), 5, 1);
        editor->ToolButton20Click();
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(Page8(editor)->currentProgram(), 1);
        QCOMPARE(DelayField(editor)->row(), 2);
        QCOMPARE(DelayField(editor)->text(), QStringLiteral("1"));
    }

    // Clicking programs and controllers only loads: nothing recorded, redo kept.
    void selectingRecordsAndStoresNothing() {
        Editor editor = OpenedOn();
        TypeDelay(1, 1, "2")(editor);
        editor->ToolButton20Click();
        const TSignalPlan before = editor->state().plan;
        for (int program = 1; program <= 3; ++program) {
            ClickCell(ProgramGrid(editor), program, 1);
            for (int controller = 1; controller <= 5; ++controller)
                ClickCell(ControllerGrid(editor), controller, 1);
        }
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.undoList().empty());
        QCOMPARE(editor->state().journal.redoList().size(), std::size_t{1});
        QCOMPARE(editor.script->beeps, 0);
    }

    // Two tacts of 40 and inter-tacts of 12 (half-seconds) give 104 and show
    // 52 with one decimal and the system's separator (this test runs under a
    // Russian locale: a comma, and no group separator in 1200,5); viewing
    // writes a cycle length only where it was out of date, the tacts past 16
    // of a file's count of 300 not counted.
    void cycleLengths() {
        {
            Editor editor = OpenedOn();
            QCOMPARE(ProgramGrid(editor)->cellText(1, 1), QStringLiteral("83,0"));
            QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        }
        Editor editor = OpenedOn(
            [](TSignalPlan& p) {
                TSignalProgram& second = p.Program[1];
                second.TactCount = 2;
                for (int t = 0; t < 2; ++t) {
                    second.TactDuration[t] = 40;
                    second.TactInterDuration[t] = 12;
                }
                second.CycleLength = 7;
                TSignalProgram& third = p.Program[2];
                third.TactCount = 300;
                for (int t = 0; t < kMaxTacts; ++t) {
                    third.TactDuration[t] = 140;
                    third.TactInterDuration[t] = 10;
                }
                third.TactDuration[0] = 141;
            },
            true);
        const TSignalPlan& plan = editor->state().plan;
        QCOMPARE(plan.Program[1].CycleLength, 104);
        QCOMPARE(ProgramGrid(editor)->cellText(2, 1), QStringLiteral("52,0"));
        QCOMPARE(plan.Program[2].CycleLength, 16 * 150 + 1);
        QCOMPARE(ProgramGrid(editor)->cellText(3, 1), QStringLiteral("1200,5"));
        QCOMPARE(editor->ModificationState(), ProjectState::Changed);
        QVERIFY(editor->state().journal.empty());
    }

    // Every input of the page has a name a screen reader announces; a
    // marked count says why.
    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ProgramCount = 16;
            p.CoordControllerCount = 32;
        });
        ClickCell(ControllerGrid(editor), 4, 1);
        QCOMPARE(QAccessible::queryAccessibleInterface(DelayField(editor))->text(QAccessible::Name),
                 QStringLiteral("Задержка (сек.) 4"));
        QCOMPARE(QAccessible::queryAccessibleInterface(CountField(editor))->text(QAccessible::Name),
                 QStringLiteral("Число контроллеров"));
        QCOMPARE(QAccessible::queryAccessibleInterface(CountField(editor))->text(QAccessible::Description),
                 QStringLiteral("Больше допустимого: при числе программ 16 не более 6 контроллеров"));
        for (QWidget* control : Page8(editor)->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(Page8(editor)) || qobject_cast<QToolButton*>(control)) continue;
            if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<GridTable*>(control)) continue;
            QVERIFY2(
                !QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).trimmed().isEmpty(),
                qPrintable(control->objectName()));
        }
    }
};

}  // namespace kdt::gui::test

// The cycle lengths show with the system's decimal separator: under a
// Russian locale, a comma.
int main(int argc, char** argv) {
    kdt::gui::test::IsolateUserFolders();
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QApplication application(argc, argv);
    kdt::gui::test::CoordinatorPageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "CoordinatorPageTest.moc"

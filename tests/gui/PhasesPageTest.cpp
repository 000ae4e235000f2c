// The phases page driven through its widgets: every journal kind edited,
// undone, redone and saved, compared byte for byte with the same change made
// through the core; typed values with their stored bytes and entries; the
// ROM type reaction; and the faults the page mends.
#include <QAbstractButton>
#include <QAccessible>
#include <QPushButton>
#include <QToolButton>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/CellEditor.h"
#include "components/DirectionSquares.h"
#include "components/GridTable.h"
#include "components/MarkDelegate.h"
#include "components/UpDownEdit.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/PhasesPage.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

PhasesPage* Page4(const Editor& editor) {
    return Find<PhasesPage>(editor, QStringLiteral("Page4"));
}
GridTable* PhaseGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid1"));
}
GridTable* GreenGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid2"));
}
QLineEdit* Field(const Editor& editor, const char* name) {
    return Find<QLineEdit>(editor, QString::fromLatin1(name));
}

Action SelectPhase(int phase) {
    return [=](Editor& editor) { ClickCell(PhaseGrid(editor), phase, 1); };
}

Action ClickSquare(int direction) {
    return [=](Editor& editor) {
        auto* squares = Find<DirectionSquares>(editor, QStringLiteral("Shape65"));
        QTest::mouseClick(squares, Qt::LeftButton, {}, squares->squareRect(direction).center());
    };
}

Action TypeInterTact(int phase, const char* keys) {
    return [=](Editor& editor) {
        SelectPhase(phase)(editor);
        TypeInto(Field(editor, "LabeledEdit18"), QString::fromLatin1(keys));
    };
}

// A click on the row's green street puts the field over it; then the keys.
Action TypeGreenStreet(int row, const char* keys) {
    return [=](Editor& editor) {
        ClickCell(GreenGrid(editor), row, 1);
        TypeInto(Field(editor, "Edit6"), QString::fromLatin1(keys));
    };
}

Action Then(Action first, Action second) {
    return [=](Editor& editor) {
        first(editor);
        second(editor);
    };
}

QString Marks(std::initializer_list<int> directions) {
    QString marks(16, QLatin1Char(' '));
    for (const int d : directions) marks[d - 1] = MarkDelegate::kMark;
    return marks;
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

const char* const kSquare = "\"направления в фазе\"";
const char* const kInterTact = "\"т.промтакта \"";
const char* const kGreenStreet = "\"номер фазы\"-\"зеленой улицы\"";

const std::vector<EditRow>& EditRows() {
    static const std::vector<EditRow> rows = {
        {"direction into a phase",
         {},
         Then(SelectPhase(2), ClickSquare(3)),
         [](TSignalPlan& p) { p.PhaseDirections[1] ^= 0x0004; },
         {kSquare},
         Bytes({'f', 2})},
        {"direction out of a phase",
         {},
         Then(SelectPhase(1), ClickSquare(2)),
         [](TSignalPlan& p) { p.PhaseDirections[0] ^= 0x0002; },
         {kSquare},
         Bytes({'f', 1})},
        {"inter-tact, two keystrokes",
         {},
         TypeInterTact(3, "12"),
         [](TSignalPlan& p) { p.PhaseInterTact[2] = 24; },
         {kInterTact, kInterTact},
         Bytes({3, 6})},
        {"inter-tact over an odd half-second",
         [](TSignalPlan& p) { p.PhaseInterTact[1] = 13; },
         TypeInterTact(2, "8"),
         [](TSignalPlan& p) { p.PhaseInterTact[1] = 16; },
         {kInterTact},
         Bytes({2, 6})},
        // The file's 45 s is above what 4.1.x takes: undo puts it back all the same.
        {"inter-tact over a file value above the limit",
         [](TSignalPlan& p) {
             p.RomVersion = 3;
             p.PhaseInterTact[1] = 90;
         },
         TypeInterTact(2, "9"),
         [](TSignalPlan& p) { p.PhaseInterTact[1] = 18; },
         {kInterTact},
         Bytes({2, 45})},
        {"green street",
         {},
         TypeGreenStreet(3, "5"),
         [](TSignalPlan& p) { p.GreenStreet[2] = 4; },
         {kGreenStreet},
         Bytes({3, 2})},
        {"green street 256, the last a byte holds",
         {},
         TypeGreenStreet(2, "256"),
         [](TSignalPlan& p) { p.GreenStreet[1] = 255; },
         {kGreenStreet, kGreenStreet, kGreenStreet},
         Bytes({2, 1})},
        {"green street over a stored 255",
         [](TSignalPlan& p) { p.GreenStreet[0] = 255; },
         TypeGreenStreet(1, "7"),
         [](TSignalPlan& p) { p.GreenStreet[0] = 6; },
         {kGreenStreet},
         Bytes({1, 255})},
        // Phase 4 opens directions 7 and 8: mask 00C0, low byte first.
        {"Очистка",
         {},
         Then(SelectPhase(4), [](Editor& e) { Find<QPushButton>(e, QStringLiteral("Button4"))->click(); }),
         [](TSignalPlan& p) { p.PhaseDirections[3] = 0; },
         {"Очистку \"направлений в фазе\""},
         Bytes({4, 0xC0, 0}),
         false},
    };
    return rows;
}

}  // namespace

class PhasesPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example changed by setup, opened from a file, page 4 in front.
    Editor OpenedOn(const PlanChange& setup = {}) {
        TSignalPlan plan = ExamplePlan();
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(4);
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
        QCOMPARE(editor->state().currentPage, 4);
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

    // Typed values: what is stored, what the field and the grid show, what is recorded.
    void typedValues_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("rom");
        QTest::addColumn<int>("minPhaseDuration");  // half-seconds
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entries");
        // Phase 2 throughout; green street row 2.
        QTest::newRow("inter-tact 10 stores 20") << "LabeledEdit18" << 5 << 6 << "10" << 20 << "10" << 2;
        QTest::newRow("inter-tact 60 with 4.2.x") << "LabeledEdit18" << 4 << 6 << "60" << 120 << "60" << 2;
        QTest::newRow("inter-tact 45 with 4.1.x is set back, recorded once")
            << "LabeledEdit18" << 3 << 6 << "45" << 8 << "4" << 1;
        QTest::newRow("inter-tact 31 with 4.1.x is set back")
            << "LabeledEdit18" << 0 << 6 << "31" << 6 << "3" << 1;
        QTest::newRow("green street 3 stores 2") << "Edit6" << 5 << 6 << "3" << 2 << "3" << 1;
        QTest::newRow("green street 0 changes nothing") << "Edit6" << 5 << 6 << "0" << 1 << "0" << 0;
        QTest::newRow("green street 257 is refused, not cut to a byte")
            << "Edit6" << 5 << 6 << "257" << 24 << "25" << 2;
        QTest::newRow("т.min 4 is raised to the floor of 6") << "TMinFazi" << 5 << 12 << "4" << 6 << "4" << 0;
        QTest::newRow("т.min 500 is capped at 120") << "TMinFazi" << 5 << 6 << "500" << 120 << "500" << 0;
        QTest::newRow("т.max 500 is capped at 120") << "TMaxFazi" << 5 << 6 << "500" << 120 << "500" << 0;
        QTest::newRow("т.max 0 is raised to 1") << "TMaxFazi" << 5 << 0 << "0" << 1 << "0" << 0;
        QTest::newRow("т.min floor is 120 at most") << "TMinFazi" << 5 << 300 << "7" << 120 << "7" << 0;
    }
    void typedValues() {
        QFETCH(QString, field);
        QFETCH(int, rom);
        QFETCH(int, minPhaseDuration);
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, entries);
        Editor editor = OpenedOn([&](TSignalPlan& p) {
            p.RomVersion = static_cast<std::uint8_t>(rom);
            p.MinPhaseDuration = static_cast<std::uint16_t>(minPhaseDuration);
            p.PhaseInterTact[1] = 6;
        });
        SelectPhase(2)(editor);
        if (field == QStringLiteral("Edit6")) ClickCell(GreenGrid(editor), 2, 1);
        QLineEdit* edit = Find<QLineEdit>(editor, field);
        TypeInto(edit, keys);
        const TSignalPlan& p = editor->state().plan;
        const int value = field == QStringLiteral("LabeledEdit18") ? p.PhaseInterTact[1]
                          : field == QStringLiteral("Edit6")       ? p.GreenStreet[1]
                          : field == QStringLiteral("TMinFazi")    ? p.PhaseMinTime[1]
                                                                   : p.PhaseMaxTime[1];
        QCOMPARE(value, stored);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(static_cast<int>(editor->state().journal.undoList().size()), entries);
        QCOMPARE(editor.script->beeps, 0);
        if (field == QStringLiteral("LabeledEdit18"))
            QCOMPARE(PhaseGrid(editor)->cellText(2, 2),
                     QString::number(stored / 2) + QStringLiteral(" сек."));
        if (field == QStringLiteral("Edit6"))
            QCOMPARE(GreenGrid(editor)->cellText(2, 1), QString::number(stored + 1));
    }

    // Typing 12 with a minimum of 6 s shows "1", then "12", and stores 6, then
    // 12; leaving the field or Enter shows what was stored.
    void phaseTimesKeepTheTypedTextUntilLeft() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.MinPhaseDuration = 12; });
        auto* minimum = Find<UpDownEdit>(editor, QStringLiteral("TMinFazi"));
        minimum->setFocus();
        minimum->selectAll();
        QTest::keyClick(minimum, '1');
        QCOMPARE(minimum->text(), QStringLiteral("1"));
        QCOMPARE(editor->state().plan.PhaseMinTime[0], 6);
        QTest::keyClick(minimum, '2');
        QCOMPARE(minimum->text(), QStringLiteral("12"));
        QCOMPARE(editor->state().plan.PhaseMinTime[0], 12);
        TypeInto(minimum, QStringLiteral("3"));
        QTest::keyClick(minimum, Qt::Key_Return);
        QCOMPARE(minimum->text(), QStringLiteral("6"));
        QLineEdit* maximum = Field(editor, "TMaxFazi");
        TypeInto(maximum, QStringLiteral("999"));
        Field(editor, "LabeledEdit18")->setFocus();
        QCOMPARE(maximum->text(), QStringLiteral("120"));
        QCOMPARE(editor->state().plan.PhaseMaxTime[0], 120);
        // No journal entries, but the edit is not lost to the leave check.
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::Changed);
        // The arrows step within the floor and 120.
        QCOMPARE(minimum->minimum(), 6);
        QCOMPARE(minimum->maximum(), 120);
    }

    void romTypeReaction_data() {
        QTest::addColumn<int>("rom");
        QTest::addColumn<int>("interTactLimit");
        QTest::addColumn<bool>("phaseTimes");
        QTest::newRow("4.1.0") << 0 << 30 << false;
        QTest::newRow("4.1.1") << 1 << 30 << false;
        QTest::newRow("4.1.2") << 2 << 30 << false;
        QTest::newRow("4.1.3") << 3 << 30 << false;
        QTest::newRow("4.2.0") << 4 << 60 << false;
        QTest::newRow("4.2.1") << 5 << 60 << true;
    }
    void romTypeReaction() {
        QFETCH(int, rom);
        QFETCH(int, interTactLimit);
        QFETCH(bool, phaseTimes);
        // Reached both ways: a plan opened with the type, and the type chosen on the parameters page.
        for (const bool chosen : {false, true}) {
            Editor editor = OpenedOn(
                [&](TSignalPlan& p) { p.RomVersion = static_cast<std::uint8_t>(chosen ? 5 - rom : rom); });
            if (chosen) {
                editor->ShowPage(1);
                Find<QAbstractButton>(Find<QWidget>(editor, QStringLiteral("RadioGroup3")),
                                      QStringLiteral("Item%1").arg(rom))
                    ->click();
                editor->ShowPage(4);
            }
            QCOMPARE(editor->state().plan.RomVersion, rom);
            QCOMPARE(Page4(editor)->interTactField()->edit()->maximum(), interTactLimit);
            QCOMPARE(Field(editor, "TMinFazi")->isEnabled(), phaseTimes);
            QCOMPARE(Field(editor, "TMaxFazi")->isEnabled(), phaseTimes);
            // The limit holds for typing too: the limit itself is taken, one more is not.
            TypeInto(Field(editor, "LabeledEdit18"), QString::number(interTactLimit));
            QCOMPARE(editor->state().plan.PhaseInterTact[0], interTactLimit * 2);
            TypeInto(Field(editor, "LabeledEdit18"), QString::number(interTactLimit + 1));
            QCOMPARE(editor->state().plan.PhaseInterTact[0], (interTactLimit + 1) / 10 * 2);
        }
    }

    // Showing the page and clicking rows only loads: no entry, no store, the
    // redo list kept (each click used to record a no-op and empty redo).
    void selectingRowsRecordsAndStoresNothing() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.PhaseInterTact[2] = 13;  // 6.5 s shows as 6
            p.GreenStreet[3] = 9;
        });
        TypeGreenStreet(1, "4")(editor);
        editor->ToolButton20Click();
        const TSignalPlan before = editor->state().plan;
        QCOMPARE(editor->state().journal.redoList().size(), std::size_t{1});
        for (int row = 1; row <= 5; ++row) {
            SelectPhase(row)(editor);
            ClickCell(GreenGrid(editor), row, 1);
        }
        editor->ShowPage(1);
        editor->ShowPage(4);
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.undoList().empty());
        QCOMPARE(editor->state().journal.redoList().size(), std::size_t{1});
        QCOMPARE(editor.script->beeps, 0);
        QCOMPARE(Field(editor, "Edit6")->text(), QStringLiteral("5"));
        QCOMPARE(Field(editor, "LabeledEdit18")->text(), QStringLiteral("6"));
    }

    // A refused entry set back into the field neither records nor stores:
    // the odd half-second stays.
    void refusedInterTactKeepsTheOddHalfSecond() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.RomVersion = 3;
            p.PhaseInterTact[1] = 13;
        });
        SelectPhase(2)(editor);
        QLineEdit* field = Field(editor, "LabeledEdit18");
        field->setFocus();
        field->home(false);
        QTest::keyClick(field, '9');  // "96" is above 30
        QCOMPARE(field->text(), QStringLiteral("6"));
        QCOMPARE(editor->state().plan.PhaseInterTact[1], 13);
        QVERIFY(editor->state().journal.empty());
    }

    // Undo puts a value back where it was made, whatever is selected now.
    void undoGoesBackToTheEditedPhaseAndRow() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeInterTact(2, "9")(editor);
        ClickSquare(5)(editor);
        TypeGreenStreet(3, "8")(editor);
        SelectPhase(4)(editor);
        ClickCell(GreenGrid(editor), 5, 1);
        for (int i = 0; i < 3; ++i) editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(Page4(editor)->currentPhase(), 2);
        for (int i = 0; i < 3; ++i) editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.PhaseInterTact[1], 18);
        QCOMPARE(editor->state().plan.PhaseDirections[1], before.PhaseDirections[1] ^ 0x0010);
        QCOMPARE(editor->state().plan.GreenStreet[2], 7);
        QCOMPARE(editor->state().plan.PhaseDirections[3], before.PhaseDirections[3]);
        QCOMPARE(editor->state().plan.GreenStreet[4], before.GreenStreet[4]);
    }

    // Toggling directions 1 and 3 into phase 2 gives mask 0005 and marks at
    // positions 1 and 3; the squares show the current phase.
    void squaresAndMarksShowThePhase() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.DirectionCount = 4;
            p.PhaseDirections[1] = 0;
        });
        SelectPhase(2)(editor);
        auto* squares = Find<DirectionSquares>(editor, QStringLiteral("Shape65"));
        ClickSquare(1)(editor);
        ClickSquare(3)(editor);
        ClickSquare(6)(editor);  // beyond the four directions: nothing
        QCOMPARE(editor->state().plan.PhaseDirections[1], 0x0005);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{2});
        QCOMPARE(PhaseGrid(editor)->cellText(2, 1), Marks({1, 3}));
        using Fill = DirectionSquares::SquareFill;
        QCOMPARE(squares->fill(1), Fill::Black);
        QCOMPARE(squares->fill(2), Fill::White);
        QCOMPARE(squares->fill(3), Fill::Black);
        for (int d = 5; d <= 16; ++d) QCOMPARE(squares->fill(d), Fill::Silver);
        SelectPhase(1)(editor);
        QCOMPARE(squares->fill(1), Fill::Black);  // the example's phase 1: directions 1 and 2
        QCOMPARE(squares->fill(3), Fill::White);
        // Enter in the phase grid shows the record's directions again.
        editor->state().plan.PhaseDirections[0] = 0x0008;
        QTest::keyClick(PhaseGrid(editor), Qt::Key_Return);
        QCOMPARE(squares->fill(1), Fill::White);
        QCOMPARE(squares->fill(4), Fill::Black);
        QCOMPARE(PhaseGrid(editor)->cellText(1, 1), Marks({4}));
        // A right click changes nothing.
        QTest::mouseClick(squares, Qt::RightButton, {}, squares->squareRect(2).center());
        QCOMPARE(editor->state().plan.PhaseDirections[0], 0x0008);
    }

    void clearIsAvailableForDirectionsOnly() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.PhaseDirections[2] = 0; });
        auto* clear = Find<QPushButton>(editor, QStringLiteral("Button4"));
        SelectPhase(3)(editor);
        editor->RefreshEnabledStates();
        QVERIFY(!clear->isEnabled());
        SelectPhase(1)(editor);
        editor->RefreshEnabledStates();
        QVERIFY(clear->isEnabled());
        clear->click();
        editor->RefreshEnabledStates();
        QVERIFY(!clear->isEnabled());
    }

    // The grids show the plan; a lowered phase count makes the page start at phase 1.
    void gridsShowThePhases() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.PhaseCount = 8;
            p.PhaseInterTact[6] = 21;
            p.GreenStreet[6] = 2;
        });
        SelectPhase(7)(editor);
        QCOMPARE(PhaseGrid(editor)->dataRowCount(), 8);
        QCOMPARE(PhaseGrid(editor)->cellText(7, 0), QStringLiteral(" 7"));
        QCOMPARE(PhaseGrid(editor)->cellText(7, 2), QStringLiteral("10 сек."));
        QCOMPARE(GreenGrid(editor)->cellText(7, 0), QStringLiteral(" 7"));
        QCOMPARE(GreenGrid(editor)->cellText(7, 1), QStringLiteral("3"));
        QCOMPARE(Page4(editor)->currentPhase(), 7);
        editor->ShowPage(1);
        TypeInto(Field(editor, "LabeledEdit1"), QStringLiteral("4"));
        editor->ShowPage(4);
        QCOMPARE(Page4(editor)->currentPhase(), 1);
        QCOMPARE(PhaseGrid(editor)->dataRowCount(), 4);
        QCOMPARE(PhaseGrid(editor)->currentGridRow(), 1);
    }

    // Every input of the page has a name a screen reader announces, and the
    // hints go to tool tip and status bar.
    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        const QList<std::pair<const char*, const char*>> expected = {
            {"LabeledEdit18", "т.промтакта"}, {"TMinFazi", "т.min фазы"}, {"TMaxFazi", "т.max фазы"},
            {"Edit6", "№ зел. улицы 1"},      {"Button4", "Очистка"},
        };
        for (const auto& [name, label] : expected) {
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(Find<QWidget>(editor, QString::fromLatin1(name)));
            QVERIFY(accessible != nullptr);
            QCOMPARE(accessible->text(QAccessible::Name), QString::fromUtf8(label));
        }
        for (QWidget* control : Page4(editor)->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(Page4(editor)) || qobject_cast<QToolButton*>(control)) continue;
            if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QAbstractButton*>(control) &&
                !qobject_cast<DirectionSquares*>(control) && !qobject_cast<GridTable*>(control))
                continue;
            QVERIFY2(
                !QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).trimmed().isEmpty(),
                qPrintable(control->objectName()));
        }
        QCOMPARE(Field(editor, "Edit6")->statusTip(),
                 QStringLiteral("Введите \"номер зеленой улицы\" которой будет соответствовать данная фаза"));
        QCOMPARE(Find<QWidget>(editor, QStringLiteral("Shape65"))->toolTip(), QString());
        QCOMPARE(PhaseGrid(editor)->statusTip(), QStringLiteral("Выбор фазы для редактирования"));
    }

    // Counts from a file are no indexes: 20 phases give 16 rows and touch
    // nothing past the arrays; no phases give empty grids and no edits.
    void phaseCountsFromAFile() {
        {
            Editor editor = OpenedOn([](TSignalPlan& p) { p.PhaseCount = 20; });
            const TSignalPlan opened = editor->state().plan;
            QCOMPARE(PhaseGrid(editor)->dataRowCount(), 16);
            QCOMPARE(GreenGrid(editor)->dataRowCount(), 16);
            SelectPhase(16)(editor);
            ClickCell(GreenGrid(editor), 16, 1);
            KDT_COMPARE_PLANS(editor->state().plan, opened);
            TypeGreenStreet(16, "2")(editor);
            QCOMPARE(editor->state().plan.GreenStreet[15], 1);
            QCOMPARE(editor->state().plan.Schedule[0][0].Hour, opened.Schedule[0][0].Hour);
        }
        {
            Editor editor = OpenedOn([](TSignalPlan& p) { p.PhaseCount = 0; });
            const TSignalPlan opened = editor->state().plan;
            QCOMPARE(PhaseGrid(editor)->dataRowCount(), 0);
            QCOMPARE(GreenGrid(editor)->dataRowCount(), 0);
            QVERIFY(!Field(editor, "LabeledEdit18")->isEnabled());
            ClickSquare(1)(editor);
            KDT_COMPARE_PLANS(editor->state().plan, opened);
            QVERIFY(editor->state().journal.empty());
        }
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::PhasesPageTest)
#include "PhasesPageTest.moc"

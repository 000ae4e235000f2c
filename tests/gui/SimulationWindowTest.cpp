// The simulation window, driven through its widgets and its tick slot, and
// judged by what it draws: lamps as `kdt simulate --trace` computes them for
// the same start, fault clicks, the button group in manual mode, the warning
// box, printing, activation, and the window closing on an edit.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

#include "GuiTestKit.h"
#include "components/Painter.h"
#include "simulation/Unit2.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

// One row of a trace: what the command line says the controller shows after a tick.
struct TraceRow {
    QString time;  // HH:MM:SS, the tenths cut off
    int weekday = 0;
    QString status;
    QString lamps;  // 32 characters of 0/1, channel 1 first
};

std::vector<TraceRow> CommandLineTrace(const fs::path& plan, int day, const QString& time, int ticks,
                                       const fs::path& traceFile) {
    QProcess kdt;
    kdt.start(QStringLiteral(KDT_CLI_PATH),
              {QStringLiteral("simulate"), ToText(plan), QStringLiteral("--day"), QString::number(day),
               QStringLiteral("--time"), time, QStringLiteral("--ticks"), QString::number(ticks),
               QStringLiteral("--trace"), ToText(traceFile)});
    if (!kdt.waitForFinished(60000) || kdt.exitCode() != 0)
        qFatal("kdt simulate failed: %s", kdt.readAllStandardError().constData());
    QFile file(ToText(traceFile));
    if (!file.open(QIODevice::ReadOnly)) qFatal("no trace written");
    std::vector<TraceRow> rows;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {  // after the header
        const QString line = QString::fromUtf8(lines[i]);
        if (line.isEmpty()) continue;
        const QStringList fields = line.split(QLatin1Char(','));
        TraceRow row;
        row.time = fields[1].left(8);
        row.weekday = fields[2].toInt();
        const qsizetype open = line.indexOf(QLatin1Char('"'));
        row.status = line.mid(open + 1, line.lastIndexOf(QLatin1Char('"')) - open - 1);
        row.lamps = line.right(32);
        rows.push_back(row);
    }
    return rows;
}

// The brushes of the lamps, dark and lit.
QColor Expected(LampKind kind, bool lit) {
    switch (kind) {
        case LampKind::Red:
            return lit ? QColor(255, 64, 64) : QColor(128, 0, 0);
        case LampKind::Yellow:
            return lit ? QColor(255, 255, 0) : QColor(128, 128, 0);
        case LampKind::Green:
            return lit ? QColor(0, 255, 0) : QColor(0, 128, 0);
        case LampKind::Wait:
            return lit ? QColor(255, 255, 255) : QColor(80, 80, 80);
        case LampKind::None:
            break;
    }
    return {};
}

// Inside the lamp's circle, clear of its number and of the visor.
QPoint InsideLamp(const LampPlace& lamp, int scroll) {
    return {lamp.left - scroll + 4, lamp.top + 15};
}
QPoint LampCentre(const LampPlace& lamp, int scroll) {
    return {lamp.left - scroll + 15, lamp.top + 15};
}

}  // namespace

class SimulationWindowTest final : public EditorTestCase {
    Q_OBJECT

private:
    fs::path planPath_;

    TForm2* Open(Editor& editor, const TSignalPlan& plan) {
        planPath_ = folder_ / "plan.kdt";
        WritePlan(planPath_, plan);
        if (!editor->FileOpen1Accept(planPath_)) qFatal("the plan does not open");
        Find<QAction>(editor, QStringLiteral("SimulationItem"))->trigger();
        TForm2* form = editor->simulationWindow();
        if (form == nullptr) qFatal("no simulation window");
        if (!QTest::qWaitForWindowExposed(form)) qFatal("the simulation window is not shown");
        return form;
    }

    static TPainter* Surface(TForm2* form) { return Find<TPainter>(form, QStringLiteral("Painter")); }
    static QImage Picture(TForm2* form) { return Surface(form)->viewport()->grab().toImage(); }

    // As a user does it: the weekday from the list by keys, the time into
    // the picker, then the start button.
    static void Start(TForm2* form, int weekday, const QString& time) {
        QComboBox* days = Find<QComboBox>(form, QStringLiteral("ComboBox2"));
        QTest::keyClick(days, Qt::Key_Home);
        for (int d = 0; d < weekday; ++d) QTest::keyClick(days, Qt::Key_Down);
        Find<QTimeEdit>(form, QStringLiteral("DateTimePicker1"))
            ->setTime(QTime::fromString(time, QStringLiteral("HH:mm:ss")));
        QCOMPARE(form->engine().weekday(), weekday);
        QCOMPARE(form->engine().timeOfDay(),
                 QTime::fromString(time, QStringLiteral("HH:mm:ss")).msecsSinceStartOfDay());
        QTest::mouseClick(Find<QToolButton>(form, QStringLiteral("SpeedButton1")), Qt::LeftButton);
        QVERIFY(form->engine().running());
    }

    static void Ticks(TForm2* form, int count) {
        for (int i = 0; i < count; ++i) form->Timer1Timer();
    }

    static const LampPlace& LampOf(TForm2* form, int channel) {
        for (const HeadPlace& head : form->headLayout().heads)
            for (const LampPlace& lamp : head.lamps)
                if (lamp.channel == channel) return lamp;
        qFatal("channel %d has no lamp", channel);
    }

    static void ClickSurface(TForm2* form, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Surface(form)->viewport(), button, Qt::NoModifier, at);
    }

private slots:
    void theRomVersionDecidesWhetherTheWindowOpens_data() {
        QTest::addColumn<int>("rom");
        QTest::addColumn<bool>("opens");
        QTest::newRow("4.1.2 is refused") << 2 << false;
        QTest::newRow("4.1.0 is refused") << 0 << false;
        QTest::newRow("4.1.3") << 3 << true;
        QTest::newRow("4.2.1") << 5 << true;
    }
    void theRomVersionDecidesWhetherTheWindowOpens() {
        QFETCH(int, rom);
        QFETCH(bool, opens);
        TSignalPlan plan = ExamplePlan();
        plan.RomVersion = static_cast<std::uint8_t>(rom);
        WritePlan(folder_ / "p.kdt", plan);
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
        editor.script->messages.clear();
        Find<QAction>(editor, QStringLiteral("SimulationToolButton"))->trigger();
        QCOMPARE(editor->simulationWindow() != nullptr, opens);
        if (opens) {
            QVERIFY(editor.script->messages.empty());
            // Shown beside the main window, its timer running although the
            // simulation is stopped.
            TForm2* form = editor->simulationWindow();
            QVERIFY(form->isVisible());
            QVERIFY(form->isWindow());
            QCOMPARE(form->windowTitle(), QStringLiteral("Имитация работы контроллера..."));
            QTimer* timer = Find<QTimer>(form, QStringLiteral("Timer1"));
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), 488);
            QCOMPARE(timer->timerType(), Qt::PreciseTimer);
            QCOMPARE(form->engine().weekday(), QDate::currentDate().dayOfWeek() % 7);
            // The same command again shows the same window.
            Find<QAction>(editor, QStringLiteral("SimulationItem"))->trigger();
            QCOMPARE(editor->simulationWindow(), form);
        } else {
            QCOMPARE(editor.script->messages.size(), std::size_t(1));
            const MessageRequest& box = editor.script->messages.front();
            QCOMPARE(box.caption, QStringLiteral("Сообщение"));
            QCOMPARE(box.text,
                     QStringLiteral("Имитация возможна только для последних версий ПЗУ \"4.1.3 и 4.2.0\""));
            QCOMPARE(box.icon, MessageIcon::Information);
        }
    }

    // What the window draws is what the command line computes for the same start.
    void theLampsDrawnMatchTheCommandLineTrace_data() {
        QTest::addColumn<int>("weekday");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("ticks");
        QTest::newRow("Monday 08:00: power-on flashing, then program 2 and its first change")
            << 1 << QStringLiteral("08:00:00") << 200;
        QTest::newRow("Saturday before midnight: into Sunday's flashing")
            << 6 << QStringLiteral("23:59:50") << 40;
        QTest::newRow("Monday 09:59:00: the schedule switches to program 1")
            << 1 << QStringLiteral("09:59:00") << 240;
    }
    void theLampsDrawnMatchTheCommandLineTrace() {
        QFETCH(int, weekday);
        QFETCH(QString, time);
        QFETCH(int, ticks);
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        const std::vector<TraceRow> trace =
            CommandLineTrace(planPath_, weekday, time, ticks, folder_ / "trace.csv");
        QCOMPARE(int(trace.size()), ticks);
        // The whole picture in view, so every lamp can be looked at.
        QTest::mouseClick(Find<QToolButton>(form, QStringLiteral("SpeedButton2")), Qt::LeftButton);
        QCOMPARE(Surface(form)->scrollRangeMaxH(), 0);
        QCOMPARE(form->headLayout().heads.size(), std::size_t(12));
        Start(form, weekday, time);
        QComboBox* days = Find<QComboBox>(form, QStringLiteral("ComboBox2"));
        QTimeEdit* clock = Find<QTimeEdit>(form, QStringLiteral("DateTimePicker1"));
        QLabel* status = Find<QLabel>(form, QStringLiteral("StatusLine"));
        int litSeen = 0;
        int darkSeen = 0;
        for (int tick = 1; tick <= ticks; ++tick) {
            form->Timer1Timer();
            const TraceRow& row = trace[static_cast<std::size_t>(tick - 1)];
            const QImage picture = Picture(form);
            for (const HeadPlace& head : form->headLayout().heads)
                for (const LampPlace& lamp : head.lamps) {
                    const bool lit = row.lamps[lamp.channel - 1] == QLatin1Char('1');
                    (lit ? litSeen : darkSeen) += 1;
                    const QColor drawn = picture.pixelColor(InsideLamp(lamp, 0));
                    if (drawn != Expected(lamp.kind, lit))
                        QFAIL(qPrintable(
                            QStringLiteral("tick %1, channel %2: drawn %3, the trace has it %4")
                                .arg(tick)
                                .arg(lamp.channel)
                                .arg(drawn.name(), lit ? QStringLiteral("lit") : QStringLiteral("dark"))));
                }
            QCOMPARE(status->text(), row.status);
            QCOMPARE(clock->time().toString(QStringLiteral("HH:mm:ss")), row.time);
            QCOMPARE(days->currentIndex(), row.weekday);
        }
        QVERIFY(litSeen > 0 && darkSeen > 0);
    }

    void lampClicksAtTheirCentresCycleAFault() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        Start(form, 1, QStringLiteral("08:00:00"));
        Ticks(form, 30);  // program 2, phase 1 main: directions 1 and 2 green
        const LampPlace& green = LampOf(form, 3);
        const auto state = [&] {
            const QImage picture = Picture(form);
            const int y = green.bottom() + 3;
            return std::tuple(picture.pixelColor(InsideLamp(green, 0)),
                              picture.pixelColor(green.left + 10, y) == Qt::black,
                              picture.pixelColor(green.left + 14, y) == Qt::black);
        };
        QCOMPARE(state(), std::tuple(Expected(LampKind::Green, true), false, false));
        // Failed dark: drawn dark at once, an open switch under it.
        ClickSurface(form, LampCentre(green, 0));
        QCOMPARE(editor.script->beeps, 1);
        QCOMPARE(form->engine().channels()[2].fault, 1);
        QCOMPARE(state(), std::tuple(Expected(LampKind::Green, false), true, false));
        // Failed lit: a closed switch.
        ClickSurface(form, LampCentre(green, 0));
        QCOMPARE(state(), std::tuple(Expected(LampKind::Green, true), true, true));
        // Mended.
        ClickSurface(form, LampCentre(green, 0));
        QCOMPARE(editor.script->beeps, 3);
        QCOMPARE(form->engine().channels()[2].fault, 0);
        QCOMPARE(state(), std::tuple(Expected(LampKind::Green, true), false, false));

        // On a scrolled surface the click lands on the lamp under the pointer.
        Surface(form)->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Surface(form)->scrollPosH(), 8);
        const LampPlace& red = LampOf(form, 7);
        ClickSurface(form, LampCentre(red, 8));
        QCOMPARE(form->engine().channels()[6].fault, 1);
        QCOMPARE(Picture(form).pixelColor(InsideLamp(red, 8)), Expected(LampKind::Red, false));

        // Clicks that are not taken: no beep, nothing changes.
        const int beeps = editor.script->beeps;
        ClickSurface(form, LampCentre(red, 8), Qt::RightButton);
        ClickSurface(form, QPoint(red.right() + 2 - 8, red.top + 15));  // beside the lamp, in its head
        QTest::mouseClick(Find<QToolButton>(form, QStringLiteral("PauseButton")), Qt::LeftButton);
        QVERIFY(form->engine().paused());
        ClickSurface(form, LampCentre(red, 8));
        QTest::mouseClick(Find<QToolButton>(form, QStringLiteral("SpeedButton1")), Qt::LeftButton);
        QVERIFY(!form->engine().running());
        ClickSurface(form, LampCentre(red, 8));
        QCOMPARE(editor.script->beeps, beeps);
        QCOMPARE(form->engine().channels()[6].fault, 1);  // the mark outlives the stop
    }

    void theButtonGroupInManualMode() {
        TSignalPlan plan = ExamplePlan();
        plan.PhaseCount = 2;  // "Ф.3" and "Ф.4" call no phase
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, plan);
        QGroupBox* group = Find<QGroupBox>(form, QStringLiteral("GroupBox1"));
        QPushButton* toggle = Find<QPushButton>(form, QStringLiteral("BitBtnO"));
        const auto button = [form](const char* name) {
            return Find<QPushButton>(form, QString::fromLatin1(name));
        };
        QVERIFY(!group->isEnabled());
        Start(form, 1, QStringLiteral("08:00:00"));
        Ticks(form, 25);  // past the power-on period
        QVERIFY(group->isEnabled());
        QCOMPARE(group->title(), QStringLiteral("Табло Вызова Пешеходом (РУ-выкл)"));
        QCOMPARE(toggle->text(), QStringLiteral("ТВП/РУ"));
        for (const char* name : {"_TVP1", "_TVP2", "_TVP3", "_TVP4"})
            QVERIFY2(button(name)->isVisibleTo(form), name);
        QVERIFY(button("_TVP1")->isEnabled() && button("_TVP2")->isEnabled());
        QVERIFY(!button("_TVP3")->isEnabled() && !button("_TVP4")->isEnabled());
        for (const char* name :
             {"BitBtnF1", "BitBtnF2", "BitBtnF3", "BitBtnF4", "BitBtnZM", "BitBtnOS", "BitBtnKK"})
            QVERIFY2(!button(name)->isVisibleTo(form), name);

        QTest::mouseClick(toggle, Qt::LeftButton);
        QCOMPARE(group->title(), QStringLiteral("Ручное Управление (ТВП-выкл)"));
        QCOMPARE(toggle->text(), QStringLiteral("РУ/ТВП"));
        for (const char* name : {"BitBtnF1", "BitBtnF2", "BitBtnF3", "BitBtnF4", "BitBtnZM", "BitBtnOS"})
            QVERIFY2(button(name)->isVisibleTo(form), name);
        QVERIFY(!button("BitBtnKK")->isVisibleTo(form));
        for (const char* name : {"_TVP1", "_TVP2"}) QVERIFY2(!button(name)->isVisibleTo(form), name);
        QVERIFY(button("BitBtnF1")->isEnabled() && button("BitBtnF2")->isEnabled());
        QVERIFY(!button("BitBtnF3")->isEnabled() && !button("BitBtnF4")->isEnabled());
        // Each button sends its own code.
        QTest::mouseClick(button("BitBtnF2"), Qt::LeftButton);
        QCOMPARE(form->engine().targetPhase(), 1);
        QTest::mouseClick(button("BitBtnZM"), Qt::LeftButton);
        form->Timer1Timer();
        QCOMPARE(Find<QLabel>(form, QStringLiteral("StatusLine"))->text(), QStringLiteral("РУ - ЖМ"));
        QTest::mouseClick(button("BitBtnOS"), Qt::LeftButton);
        form->Timer1Timer();
        QCOMPARE(Find<QLabel>(form, QStringLiteral("StatusLine"))->text(), QStringLiteral("РУ - ОС"));

        QTest::mouseClick(toggle, Qt::LeftButton);
        QCOMPARE(group->title(), QStringLiteral("Табло Вызова Пешеходом (РУ-выкл)"));
        QCOMPARE(toggle->text(), QStringLiteral("ТВП/РУ"));
        QVERIFY(button("_TVP1")->isVisibleTo(form));
        QVERIFY(!button("BitBtnF1")->isVisibleTo(form));
    }

    void aSecondPressOfAButtonShowsTheWarning() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        Start(form, 1, QStringLiteral("08:00:00"));
        Ticks(form, 25);
        editor.script->messages.clear();
        QPushButton* first = Find<QPushButton>(form, QStringLiteral("_TVP1"));
        QTest::mouseClick(first, Qt::LeftButton);
        QVERIFY(editor.script->messages.empty());
        form->Timer1Timer();
        QVERIFY2(form->engine().channels()[26].lit, "button 1's wait lamp");
        // The timer goes on while the box is open.
        std::uint64_t ticksDuringTheBox = 0;
        editor.script->onMessage = [&](const MessageRequest&) {
            const std::uint64_t before = form->engine().tickCount();
            form->Timer1Timer();
            ticksDuringTheBox = form->engine().tickCount() - before;
        };
        QTest::mouseClick(first, Qt::LeftButton);
        QCOMPARE(editor.script->messages.size(), std::size_t(1));
        const MessageRequest& box = editor.script->messages.front();
        QCOMPARE(box.caption, QStringLiteral("Предупреждение"));
        QCOMPARE(box.text, QStringLiteral("Кнпка уже была нажата"));
        QCOMPARE(box.icon, MessageIcon::Warning);
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QCOMPARE(ticksDuringTheBox, std::uint64_t(1));
        QCOMPARE(form->engine().callQueue()[0], 1);
        QCOMPARE(form->engine().callQueue()[1], 0);

        // The window closed while the box is open (an edit in the main window
        // would do it) is gone when the box returns, and nothing touches it.
        editor.script->onMessage = [&](const MessageRequest&) {
            form->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        first->click();
        QVERIFY(editor->simulationWindow() == nullptr);
    }

    void anEditClosesTheWindowAndTheNextOneStartsAfresh() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        Start(form, 1, QStringLiteral("08:00:00"));
        Ticks(form, 30);
        ClickSurface(form, LampCentre(LampOf(form, 3), 0));
        QCOMPARE(form->engine().channels()[2].fault, 1);
        // Showing a page fills it without recording: the window stays.
        editor->ShowPage(1, true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(editor->simulationWindow() != nullptr);
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit20")), QStringLiteral("x"));
        QVERIFY(!editor->state().journal.empty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(editor->simulationWindow() == nullptr);
        Find<QAction>(editor, QStringLiteral("SimulationItem"))->trigger();
        TForm2* fresh = editor->simulationWindow();
        QVERIFY(fresh != nullptr);
        QVERIFY(!fresh->engine().running());
        QCOMPARE(fresh->engine().channels()[2].fault, 0);
    }

    // Coming back to the window resets neither the weekday nor the running
    // cycle; showing it is what sets today's weekday.
    void activationLeavesTheRunningSimulationAlone() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        const int otherDay = (QDate::currentDate().dayOfWeek() % 7 + 3) % 7;
        Start(form, otherDay, QStringLiteral("08:00:00"));
        Ticks(form, 150);
        const int tact = form->engine().currentTact();
        const int program = form->engine().currentProgram();
        const std::uint64_t ticks = form->engine().tickCount();
        const std::string line = form->engine().statusLine();
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(form, &activate);
        QCOMPARE(form->engine().weekday(), otherDay);
        QCOMPARE(Find<QComboBox>(form, QStringLiteral("ComboBox2"))->currentIndex(), otherDay);
        QCOMPARE(form->engine().currentTact(), tact);
        QCOMPARE(form->engine().currentProgram(), program);
        QCOMPARE(form->engine().tickCount(), ticks);
        QCOMPARE(form->engine().statusLine(), line);
        QVERIFY(form->engine().running());
        QCOMPARE(Find<QComboBox>(form, QStringLiteral("ComboBox1"))->currentIndex(), program - 1);
    }

    // The program list and the weekday list answer the user only: the
    // schedule moving the list on must not stop it being followed.
    void theListsAnswerTheUserOnly() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        QCheckBox* box = Find<QCheckBox>(form, QStringLiteral("CheckBox1"));
        QComboBox* programs = Find<QComboBox>(form, QStringLiteral("ComboBox1"));
        QCOMPARE(programs->count(), 3);
        QCOMPARE(programs->itemText(2), QStringLiteral("АПП  № 3"));
        Start(form, 1, QStringLiteral("09:59:00"));
        Ticks(form, 40);  // 09:59:20, program 2
        QCOMPARE(form->engine().currentProgram(), 2);
        Ticks(form, 82);  // 10:00:01: program 1 by the schedule
        QCOMPARE(form->engine().currentProgram(), 1);
        QCOMPARE(programs->currentIndex(), 0);
        QVERIFY(!box->isChecked());
        QVERIFY(form->engine().followSchedule());
        // The user's choice: program 3, the schedule no longer followed.
        QTest::keyClick(programs, Qt::Key_End);
        QCOMPARE(form->engine().currentProgram(), 3);
        QVERIFY(box->isChecked());
        QVERIFY(!form->engine().followSchedule());
        const int stopped = form->engine().timeOfDay();
        Ticks(form, 5);
        QCOMPARE(form->engine().timeOfDay(), stopped);  // the clock stands
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(form->engine().followSchedule());
    }

    void theClockIsNotWrittenWhileTheUserTypesIt() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        QTimeEdit* clock = Find<QTimeEdit>(form, QStringLiteral("DateTimePicker1"));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        clock->setFocus();
        QVERIFY(clock->hasFocus());
        clock->setTime(QTime(7, 0, 0));  // as typed
        Ticks(form, 4);
        QCOMPARE(clock->time(), QTime(7, 0, 0));
        QCOMPARE(form->engine().timeOfDay(), QTime(7, 0, 2).msecsSinceStartOfDay());
        Find<QComboBox>(form, QStringLiteral("ComboBox2"))->setFocus();
        form->Timer1Timer();
        QCOMPARE(clock->time().toString(QStringLiteral("HH:mm:ss")), QStringLiteral("07:00:02"));
    }

    void theWindowsKeys() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QWidget* focus = Find<QComboBox>(form, QStringLiteral("ComboBox2"));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY2(!form->engine().paused(), "pause only while running");
        QTest::keyClick(focus, Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(form->engine().running());
        QTest::keyClick(focus, Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(form->engine().paused());
        const int width = form->width();
        const int hidden = Surface(form)->scrollRangeMaxH();
        QVERIFY(hidden > 0);
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(form->width(), width + hidden);
        QTest::keyClick(focus, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(editor.script->printDialogs, 1);
        QTest::keyClick(focus, Qt::Key_F1);
        QVERIFY(!editor.script->documents.empty());
        QVERIFY2(editor.script->documents.back().endsWith(QStringLiteral("KDT.html#topic10-simulation")),
                 qPrintable(editor.script->documents.back()));
    }

    void autoSizeStopsAtTheScreensWidth() {
        // Sixteen heads of ten green lamps a row: 6148 pixels.
        TSignalPlan plan = ExamplePlan();
        plan.DirectionCount = 16;
        for (int k = 0; k < 10; ++k) plan.ChannelColour[k] = 3;
        for (TDirectionSettings& direction : plan.Direction) direction.GreenMask = 0x3FF;
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, plan);
        QVERIFY(form->headLayout().width > form->screen()->availableGeometry().width());
        QTest::mouseClick(Find<QToolButton>(form, QStringLiteral("SpeedButton2")), Qt::LeftButton);
        QVERIFY(form->frameGeometry().width() <= form->screen()->availableGeometry().width());
        QVERIFY(Surface(form)->scrollRangeMaxH() > 0);
    }

    void printing() {
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, ExamplePlan());
        Start(form, 1, QStringLiteral("08:00:00"));
        Ticks(form, 30);
        QToolButton* print = Find<QToolButton>(form, QStringLiteral("ToolButton7"));
        // Cancelled: nothing.
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(editor.script->printDialogs, 1);
        // Into a PDF file.
        const QString pdf = ToText(folder_ / "heads.pdf");
        editor.script->printFiles = {pdf};
        QTest::mouseClick(print, Qt::LeftButton);
        QFile printed(pdf);
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QVERIFY(printed.read(5) == "%PDF-");
        QVERIFY(printed.size() > 1000);
        // A printer that cannot start is said so in the exception box.
        editor.script->messages.clear();
        editor.script->printFiles = {ToText(folder_ / "no such folder" / "heads.pdf")};
        editor.script->answers = {kIdYes};
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(editor.script->messages.size(), std::size_t(1));
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Продолжить работу?"));
        QVERIFY(editor->simulationWindow() != nullptr);
    }

    void withoutHeadsThereIsNothingToPrint() {
        TSignalPlan plan = ExamplePlan();
        plan.DirectionCount = 0;
        plan.TvpButtonCount = 0;
        Editor editor = MakeEditor();
        TForm2* form = Open(editor, plan);
        QVERIFY(form->headLayout().heads.empty());
        QTest::mouseClick(Find<QToolButton>(form, QStringLiteral("ToolButton7")), Qt::LeftButton);
        QCOMPARE(editor.script->printDialogs, 0);
        Start(form, 1, QStringLiteral("08:00:00"));
        Ticks(form, 3);
        ClickSurface(form, QPoint(20, 20));
        QCOMPARE(editor.script->beeps, 0);
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::SimulationWindowTest)
#include "SimulationWindowTest.moc"

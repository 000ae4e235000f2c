// The main window itself: caption and size, pages and their rules, the
// project list menu, dropped files, keys and shortcuts, enabled states and
// the exception handler.
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStackedLayout>
#include <QToolBar>
#include <QToolButton>

#include "GuiTestKit.h"
#include "pages/PageFrame.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

class MainWindowTest final : public EditorTestCase {
    Q_OBJECT

private:
    static QAction* Action(const Editor& editor, const char* name) {
        QAction* action = Find<QAction>(editor, QString::fromLatin1(name));
        if (action == nullptr) qFatal("no action %s", name);
        return action;
    }

    static QWidget* FrontPage(const Editor& editor) {
        return Find<QWidget>(editor, QStringLiteral("PageArea"))
            ->findChild<QStackedLayout*>()
            ->currentWidget();
    }

private slots:
    void fixedWindowWithItsCaption() {
        Editor editor = MakeEditor();
        QCOMPARE(editor->windowTitle(),
                 QStringLiteral("Zudedezoded ivov (v.Norda) -рабочий файл: \"не сохранен\""));
        QCOMPARE(editor->minimumSize(), editor->maximumSize());
        QCOMPARE(Find<QWidget>(editor, QStringLiteral("PageArea"))->size(), QSize(632, 222));
        QVERIFY(!(editor->windowFlags() & Qt::WindowMaximizeButtonHint));
        // Every frame carries its caption, blanks included.
        QCOMPARE(editor->pageFrame(4)->title(),
                 QStringLiteral(" Привязка направлений к фазе    и    \"зеленой улицы\" к фазе"));
        QCOMPARE(editor->pageFrame(1)->title(), QStringLiteral(" Параметры "));
    }

    void pagesMenuOrderAndToolBarOrder() {
        Editor editor = MakeEditor();
        QMenu* pages = Find<QMenu>(editor, QStringLiteral("PagesMenu"));
        QStringList menu;
        for (QAction* item : pages->actions())
            menu << (item->isSeparator() ? QStringLiteral("-") : item->objectName().mid(10));
        QCOMPARE(menu.join(QLatin1Char(' ')), QStringLiteral("1 2 3 4 5 7 - 6 8 9 10 11"));
        // Tool button of page n at position n + 9, counted from 0 with the separators.
        QToolBar* bar = Find<QToolBar>(editor, QStringLiteral("ToolBar1"));
        for (int page = 1; page <= 11; ++page)
            QCOMPARE(bar->actions().at(page + 9)->objectName(), QStringLiteral("PageAction%1").arg(page));
    }

    void pageRules_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("tvpButtons");
        QTest::addColumn<int>("networkType");
        QTest::addColumn<int>("romVersion");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("pedestrian page without buttons") << 6 << 0 << 0 << 5 << false;
        QTest::newRow("pedestrian page with a button") << 6 << 1 << 0 << 5 << true;
        QTest::newRow("coordinator for a follower") << 8 << 0 << 4 << 5 << false;
        QTest::newRow("coordinator for the leading controller") << 8 << 0 << 3 << 5 << true;
        QTest::newRow("speed indicator on 4.1.2") << 9 << 0 << 0 << 2 << false;
        QTest::newRow("speed indicator on 4.1.3") << 9 << 0 << 0 << 3 << true;
        QTest::newRow("detectors on 4.2.0") << 10 << 0 << 0 << 4 << false;
        QTest::newRow("detectors on 4.2.1") << 10 << 0 << 0 << 5 << true;
        QTest::newRow("memo lines on 4.2.0") << 11 << 0 << 0 << 4 << false;
        QTest::newRow("directions always") << 3 << 0 << 0 << 0 << true;
    }
    void pageRules() {
        QFETCH(int, page);
        QFETCH(int, tvpButtons);
        QFETCH(int, networkType);
        QFETCH(int, romVersion);
        QFETCH(bool, enabled);
        TSignalPlan plan = ExamplePlan();
        plan.TvpButtonCount = static_cast<std::uint8_t>(tvpButtons);
        plan.NetworkType = static_cast<std::uint8_t>(networkType);
        plan.RomVersion = static_cast<std::uint8_t>(romVersion);
        WritePlan(folder_ / "rules.kdt", plan);
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "rules.kdt"));
        QCOMPARE(Action(editor, qPrintable(QStringLiteral("PageAction%1").arg(page)))->isEnabled(), enabled);
    }

    void pageSwitchBringsTheFrameToTheFront() {
        Editor editor = MakeEditor();
        editor->show();
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        Action(editor, "PageAction7")->trigger();
        QCOMPARE(editor->state().currentPage, 7);
        QCOMPARE(FrontPage(editor), editor->pageFrame(7));
        QVERIFY(editor->pageFrame(7)->hasFocus());
        QVERIFY(Action(editor, "PageAction7")->isChecked());
        QVERIFY(!editor->state().journal.recordingSuppressed());
        // A page that holds the focus already: the show handler must do nothing more.
        QVERIFY(!editor->PageSwitchBegin(7));
        QVERIFY(editor->PageSwitchBegin(3));
        editor->PageSwitchEnd(3);
        QVERIFY(!editor->state().journal.recordingSuppressed());

        // A replaced plan brings the parameters page back.
        WritePlan(folder_ / "p.kdt", ExamplePlan());
        QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
        QCOMPARE(editor->state().currentPage, 1);
        QCOMPARE(FrontPage(editor), editor->pageFrame(1));
        QVERIFY(Action(editor, "PageAction1")->isChecked());
    }

    void projectsMenuNeverListsTheCurrentProjectTwice() {
        for (const char* name : {"a.kdt", "b.kdt", "c.kdt"}) WritePlan(folder_ / name, ExamplePlan());
        Editor editor = MakeEditor();
        for (const char* name : {"a.kdt", "b.kdt", "c.kdt"}) QVERIFY(editor->FileOpen1Accept(folder_ / name));
        QMenu* menu = Find<QMenu>(editor, QStringLiteral("ProjectsMenu"));
        QVERIFY(menu->menuAction()->isEnabled());
        editor->RebuildProjectMenu();
        editor->RebuildProjectMenu();  // rebuilt on every opening, never piling up
        QStringList items;
        for (QAction* item : menu->actions()) items << item->text();
        QCOMPARE(items, (QStringList{ToText(folder_ / "c.kdt"), ToText(folder_ / "b.kdt"),
                                     ToText(folder_ / "a.kdt")}));
        QVERIFY(menu->actions().front()->font().bold());
        QCOMPARE(menu->actions().front()->statusTip(), QStringLiteral("Текущий проект"));

        menu->actions().back()->trigger();  // a.kdt
        QCOMPARE(editor->state().currentPath, folder_ / "a.kdt");
        QCOMPARE(editor->state().projects,
                 (std::vector<fs::path>{folder_ / "a.kdt", folder_ / "c.kdt", folder_ / "b.kdt"}));
    }

    void droppedFilesOpenInTurn() {
        WritePlan(folder_ / "one.kdt", ExamplePlan());
        WritePlan(folder_ / "two.kdt2", NewPlan());
        WritePlan(folder_ / "note.txt", NewPlan());
        Editor editor = MakeEditor();
        editor->state().plan.PhaseCount = 5;  // unsaved: the first drop asks about it
        editor->state().journal.Record(0, "an edit");
        editor.script->answers = {kIdNo};

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(ToText(folder_ / "one.kdt")),
                      QUrl::fromLocalFile(ToText(folder_ / "note.txt")),
                      QUrl::fromLocalFile(ToText(folder_ / "two.kdt2"))});
        // A drop reaches the widget that accepted the drag's entry, as from the desktop.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor.window.get(), &drop);

        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Сохранение проекта СОД"));
        QCOMPARE(editor->state().currentPath, folder_ / "two.kdt2");
        QCOMPARE(editor->state().projects,
                 (std::vector<fs::path>{folder_ / "two.kdt2", folder_ / "one.kdt"}));
    }

    void keysReachThePagesWhicheverPageIsInFront_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("expected");  // the signal, or empty
        QTest::newRow("F6 runs the automatic settings on the directions page")
            << 3 << int(Qt::Key_F6) << int(Qt::NoModifier) << QStringLiteral("auto");
        QTest::newRow("F2 selects colour mode 2 on the programs page")
            << 5 << int(Qt::Key_F2) << int(Qt::NoModifier) << QStringLiteral("mode 2");
        QTest::newRow("Ctrl+C copies the schedule from the parameters page")
            << 1 << int(Qt::Key_C) << int(Qt::ControlModifier) << QStringLiteral("copy");
        QTest::newRow("another Ctrl key does nothing")
            << 2 << int(Qt::Key_2) << int(Qt::ControlModifier) << QString();
        QTest::newRow("a digit on the colour page is a channel key")
            << 2 << int(Qt::Key_2) << int(Qt::NoModifier) << QStringLiteral("channel");
        QTest::newRow("a digit elsewhere is not") << 3 << int(Qt::Key_2) << int(Qt::NoModifier) << QString();
    }
    void keysReachThePagesWhicheverPageIsInFront() {
        QFETCH(int, page);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, expected);
        Editor editor = MakeEditor();
        editor->show();
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        editor->ShowPage(page);
        QStringList seen;
        connect(editor.window.get(), &TKDT::autoSettingsRequested, this,
                [&] { seen << QStringLiteral("auto"); });
        connect(editor.window.get(), &TKDT::colourModeRequested, this,
                [&](int mode) { seen << QStringLiteral("mode %1").arg(mode); });
        connect(editor.window.get(), &TKDT::scheduleCopyRequested, this,
                [&] { seen << QStringLiteral("copy"); });
        connect(editor.window.get(), &TKDT::channelKeyReleased, this,
                [&](int) { seen << QStringLiteral("channel"); });
        // Pressed and released: the function keys act on their release, Ctrl+C is a shortcut.
        QTest::keyClick(editor->pageFrame(page), static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(seen, expected.isEmpty() ? QStringList() : QStringList{expected});
    }

    void shortcutsComeBeforeTheFields() {
        Editor editor = MakeEditor();
        auto* field = new QLineEdit(editor->pageFrame(1));
        field->setGeometry(10, 20, 100, 20);
        editor->show();
        QVERIFY(QTest::qWaitForWindowActive(editor.window.get()));
        QCOMPARE(field->contextMenuPolicy(), Qt::NoContextMenu);
        field->setFocus();
        field->setText(QStringLiteral("abc"));

        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), QStringLiteral("abc"));

        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // "Анализ СОД", not select all
        QVERIFY(field->selectedText().isEmpty());
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Результат анализа проекта СОД"));
    }

    void enabledStatesFollowTheProjectList() {
        WritePlan(folder_ / "p.kdt", ExamplePlan());
        Editor editor = MakeEditor();
        QMenu* projects = Find<QMenu>(editor, QStringLiteral("ProjectsMenu"));
        const auto states = [&] {
            return QList<bool>{Action(editor, "ToolButton5")->isEnabled(),
                               projects->menuAction()->isEnabled(), Action(editor, "CloseItem")->isEnabled()};
        };
        QCOMPARE(states(), (QList<bool>{false, false, false}));
        Action(editor, "FileOpen1");
        QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
        QCOMPARE(states(), (QList<bool>{true, true, true}));
        Action(editor, "CloseItem")->trigger();
        QCOMPARE(states(), (QList<bool>{false, false, false}));
    }

    void programmerItemNeedsTheProgram() {
        Editor editor = MakeEditor();
        editor->settings().programmerPath = ToText(folder_);
        editor->N3Click();
        QVERIFY(!Action(editor, "ProgrammerItem")->isEnabled());
        editor->settings().programmerPath = QCoreApplication::applicationFilePath();
        editor->N3Click();
        QVERIFY(Action(editor, "ProgrammerItem")->isEnabled());
    }

    void exceptionHandlerAsksWhetherToGoOn() {
        Editor editor = MakeEditor();
        editor.script->answers = {kIdYes};
        QVERIFY(editor->HandleException(QStringLiteral("boom")));
        const MessageRequest& box = editor.script->messages.front();
        QCOMPARE(box.caption, QStringLiteral("Продолжить работу?"));
        QCOMPARE(box.text, QStringLiteral("Обнаружена непредвиденная ошибка\n\rboom"));
        QCOMPARE(box.buttons, MessageButtons::YesNo);
        QVERIFY(box.blocksEverything);

        // A second exception while the box is open is not asked about again.
        editor.script->answers = {kIdYes};
        editor.script->onMessage = [&](const MessageRequest&) {
            editor.script->onMessage = nullptr;
            QVERIFY(editor->HandleException(QStringLiteral("second")));
        };
        editor->HandleException(QStringLiteral("first"));
        QCOMPARE(editor.script->messages.size(), std::size_t{2});

        // No ends the run.
        QEventLoop loop;
        editor.script->answers = {kIdNo};
        QTimer::singleShot(0, &loop, [&] { QVERIFY(!editor->HandleException(QStringLiteral("last"))); });
        QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
        QCOMPARE(loop.exec(), 0);
    }

    void commandFailureReachesTheHandler() {
        Editor editor = MakeEditor();
        // The analysis finds errors in a new plan, and its error file cannot be written.
        QDir(ToText(editor->workFolder())).removeRecursively();
        editor.script->answers = {kIdYes};
        Action(editor, "AnalysisItem")->trigger();
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Продолжить работу?"));
        QVERIFY(editor.script->documents.empty());
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::MainWindowTest)
#include "MainWindowTest.moc"

// Start-up: which start becomes the editor, the file argument on show, and
// the hand-off from a second start of the real program to a running editor.
#include <QDialogButtonBox>
#include <QLocalServer>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "data/LegacyImport.h"
#include "shell/Previous.h"
#include "shell/QtText.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

class StartupTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir files_;

    fs::path Folder() const { return ToPath(files_.path()); }

    // Runs the real program as a second start; returns its exit code, or -1
    // when it did not end: a start that made a window would wait for the user.
    int RunSecondStart(const QStringList& arguments) {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(KDT_GUI_PATH), arguments);
        if (!process.waitForStarted(10000)) return -2;
        // The running editor must keep serving its event loop meanwhile.
        if (!QTest::qWaitFor([&] { return finished.count() > 0; }, 20000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
    }

private slots:
    void initTestCase() { QVERIFY(files_.isValid()); }
    void init() { ClearSettingsStore(); }

    void decision_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("anotherRunning");
        QTest::addColumn<int>("expected");
        const int run = static_cast<int>(StartDecision::RunFirstInstance);
        const int end = static_cast<int>(StartDecision::EndAtOnce);
        const int handOff = static_cast<int>(StartDecision::HandOff);
        QTest::newRow("first start without argument runs the editor") << QString() << false << run;
        QTest::newRow("first start with a table ends without a window")
            << QStringLiteral("/p/plan.dbf") << false << end;
        QTest::newRow("first start with an image ends without a window")
            << QStringLiteral("/p/x.hex") << false << end;
        QTest::newRow("first start with a .kdt2 project runs")
            << QStringLiteral("/p/plan.kdt2") << false << run;
        QTest::newRow("upper-case extension passes") << QStringLiteral("/p/PLAN.KDT") << false << run;
        QTest::newRow("a name without extension passes") << QStringLiteral("/p/plan") << false << run;
        QTest::newRow("second start without argument ends at once") << QString() << true << end;
        QTest::newRow("second start with a table hands nothing over")
            << QStringLiteral("/p/a.dbf") << true << end;
        QTest::newRow("second start with a project hands it over")
            << QStringLiteral("/p/a.kdt") << true << handOff;
    }
    void decision() {
        QFETCH(QString, argument);
        QFETCH(bool, anotherRunning);
        QFETCH(int, expected);
        QCOMPARE(static_cast<int>(DecideStart(ToUtf8(argument), anotherRunning)), expected);
    }

    // Qt's own dialogs say what the rest of the editor says: in Russian.
    void qtsOwnTextsAreRussian() {
        QTranslator translator;
        QVERIFY2(InstallQtTranslation(translator), "Qt's Russian translation is installed by the set-up");
        QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
        QCOMPARE(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Сохранить"));
        QCoreApplication::removeTranslator(&translator);
    }

    void argumentIsEverythingAfterTheProgram() {
        char program[] = "/usr/bin/kdt-gui";
        char first[] = "/tmp/My";
        char second[] = "Plan.kdt";
        char* withBlank[] = {program, first, second};
        const std::string expected =
#if defined(Q_OS_WIN)
            "/tmp/my plan.kdt";
#else
            "/tmp/My Plan.kdt";  // a case-sensitive file system keeps the case
#endif
        QCOMPARE(FileArgumentOfStart(3, withBlank), expected);
        char* alone[] = {program};
        QCOMPARE(FileArgumentOfStart(1, alone), std::string());
    }

    void oneLockPerUser() {
        auto first = std::make_unique<InstanceLock>();
        QVERIFY(first->acquire());
        InstanceLock second;
        QVERIFY(!second.acquire());
        first.reset();
        InstanceLock third;
        QVERIFY2(third.acquire(), "the lock must be free once the first start has ended");
    }

    void argumentOnShow_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("opened");
        const QString project = files_.filePath(QStringLiteral("shown.kdt"));
        QTest::newRow("no argument offers the open dialog") << QString() << false;
        QTest::newRow("an existing project opens without a dialog") << project << true;
        QTest::newRow("blanks and control characters around it are trimmed")
            << QStringLiteral("  ") + project + QStringLiteral(" \t") << true;
        QTest::newRow("a missing file offers the open dialog")
            << files_.filePath(QStringLiteral("gone.kdt")) << false;
        QTest::newRow("four characters are too few to be a path") << QStringLiteral("x.kd") << false;
    }
    void argumentOnShow() {
        QFETCH(QString, argument);
        QFETCH(bool, opened);
        WritePlan(Folder() / "shown.kdt", ExamplePlan());
        // "x.kd" exists in the current folder: only the length rule keeps it from being opened.
        QFile shortName(files_.filePath(QStringLiteral("x.kd")));
        QVERIFY(shortName.open(QIODevice::WriteOnly));
        shortName.close();
        QDir::setCurrent(files_.path());

        Editor editor = MakeEditor();
        editor->SetStartupArgument(ToUtf8(argument));
        editor->show();
        if (opened) {
            QCOMPARE(editor->state().currentPath, Folder() / "shown.kdt");
            QTest::qWait(50);  // a wrongly posted start request would show its dialog now
            QVERIFY(editor.script->dialogs.empty());
        } else {
            QTRY_COMPARE(editor.script->dialogs.size(), std::size_t{1});
            const FileDialogRequest& dialog = editor.script->dialogs.front();
            QCOMPARE(dialog.title, QStringLiteral("Открытие файла СОД"));
            QCOMPARE(dialog.startFolder, editor->settings().projectFolder);
            QVERIFY(editor->state().currentPath.empty());
        }
        QVERIFY2(editor.script->messages.empty(), qPrintable(Shown(*editor.script).join(QLatin1Char('\n'))));
    }

    void firstStartWithATableEndsWithoutAWindow() {
        // No editor runs here: the real program is a first start and must end on its own.
        QCOMPARE(RunSecondStart({files_.filePath(QStringLiteral("plan.dbf"))}), 0);
    }

    void handOffToTheRunningEditor_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("received");
        const QString project = files_.filePath(QStringLiteral("handed.kdt2"));
        QTest::newRow("a project is handed over") << project << 1;
        QTest::newRow("a table is not handed over") << files_.filePath(QStringLiteral("x.dbf")) << 0;
        QTest::newRow("no argument hands nothing over") << QString() << 0;
    }
    void handOffToTheRunningEditor() {
        QFETCH(QString, argument);
        QFETCH(int, received);
        WritePlan(Folder() / "handed.kdt2", ExamplePlan());

        InstanceLock lock;
        QVERIFY(lock.acquire());
        Editor editor = MakeEditor();
        std::vector<QByteArray> handed;
        HandOffServer server([&](const QByteArray& path) {
            handed.push_back(path);
            editor->ReceiveHandOff(path);
        });
        QVERIFY(server.listen());

        QCOMPARE(RunSecondStart(argument.isEmpty() ? QStringList() : QStringList{argument}), 0);
        QCOMPARE(static_cast<int>(handed.size()), received);
        if (received == 1) {
            QCOMPARE(handed.front(), argument.toUtf8());
            QCOMPARE(editor->state().currentPath, ToPath(argument));
        } else {
            QVERIFY(editor->state().currentPath.empty());
        }
    }

    // The second start waits while the editor asks its questions; the editor
    // saves its current project first and then opens the handed file.
    void handOffWaitsUntilTheEditorHasDealtWithIt() {
        const fs::path table = fs::path(KDT_TEST_DATA_DIR) / "legacy-import";
        fs::copy_file(table / "crossing.dbf", Folder() / "import.dbf", fs::copy_options::overwrite_existing);
        fs::copy_file(table / "crossing.dbt", Folder() / "import.dbt", fs::copy_options::overwrite_existing);
        WritePlan(Folder() / "next.kdt2", ExamplePlan());

        InstanceLock lock;
        QVERIFY(lock.acquire());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(Folder() / "import.dbf"));
        editor->state().journal.Record(0, "an edit");
        HandOffServer server([&](const QByteArray& path) { editor->ReceiveHandOff(path); });
        QVERIFY(server.listen());

        QProcess second;
        bool secondWasWaiting = false;
        editor.script->onMessage = [&](const MessageRequest&) {
            QTest::qWait(300);  // time enough for a start that does not wait to end
            secondWasWaiting = second.state() == QProcess::Running;
        };
        editor.script->answers = {kIdNo};
        QSignalSpy finished(&second, &QProcess::finished);
        second.start(QStringLiteral(KDT_GUI_PATH), {files_.filePath(QStringLiteral("next.kdt2"))});
        QVERIFY(second.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() > 0, 20000);

        QCOMPARE(Shown(*editor.script).size(), 1);
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Изменение типа файла"));
        QVERIFY2(secondWasWaiting, "the second start ended before the editor had answered");
        QCOMPARE(editor->state().currentPath, Folder() / "next.kdt2");
        QCOMPARE(editor->state().projects.size(), std::size_t{2});
    }

    void handedPathThatDoesNotExistOffersTheOpenDialog() {
        Editor editor = MakeEditor();
        editor->ReceiveHandOff(files_.filePath(QStringLiteral("missing.kdt")).toUtf8());
        QTRY_COMPARE(editor.script->dialogs.size(), std::size_t{1});
        QCOMPARE(editor.script->dialogs.front().title, QStringLiteral("Открытие файла СОД"));
    }

    void handOffWithoutBytesIsIgnored() {
        Editor editor = MakeEditor();
        editor->ReceiveHandOff(QByteArray());
        QTest::qWait(50);
        QVERIFY(editor.script->dialogs.empty());
    }

    void staleChannelOfACrashedEditorIsTakenOver() {
        // A socket file left behind without an editor behind it.
        QFile stale(HandOffServerName());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        HandOffServer server([](const QByteArray&) {});
        QVERIFY(server.listen());
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::StartupTest)
#include "StartupTest.moc"

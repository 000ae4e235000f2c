// The nine settings: values at creation, the store's round trip, the folders,
// the numeric copies and the association, whose failure stops nothing.
#include <QSettings>
#include <QStandardPaths>

#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "shell/FileAssociation.h"
#include "shell/KdtSettings.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

void Store(const QString& key, const QString& value) {
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    store->setValue(key, value);
    store->sync();
}

QString Stored(const QString& key) {
    return OpenSettingsStore()->value(key).toString();
}

QString DataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

}  // namespace

class SettingsTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir files_;

private slots:
    void initTestCase() { QVERIFY(files_.isValid()); }
    void init() { ClearSettingsStore(); }

    void valuesAtCreationWithAnEmptyStore() {
        const QDir work(QDir::home().filePath(QStringLiteral("kdt_win")));
        QDir(work.filePath(QStringLiteral("project"))).removeRecursively();
        QDir(work.filePath(QStringLiteral("hex"))).removeRecursively();

        Editor editor = MakeEditor();
        const KdtSettings& settings = editor->settings();
        QCOMPARE(settings.projectFolder, work.filePath(QStringLiteral("project")));
        QCOMPARE(settings.romFolder, work.filePath(QStringLiteral("hex")));
        QCOMPARE(settings.programmerParameters, QStringLiteral("%N"));
        QCOMPARE(settings.defaultRomText, QStringLiteral("5"));
        QCOMPARE(settings.defaultRom, 5);
        QCOMPARE(settings.defaultSpeed, 60);
        QCOMPARE(settings.fileType, 0);
        QCOMPARE(settings.showErrors, 0);
        QVERIFY2(QFileInfo(settings.projectFolder).isDir(),
                 "the project folder is created under an existing parent");
        QVERIFY(QFileInfo(settings.romFolder).isDir());
        // The new plan takes the defaults.
        QCOMPARE(editor->state().plan.RomVersion, kRom421);
        QCOMPARE(editor->state().plan.SpeedSchedule[0].Speed[0], 60);
    }

    void foldersAreCreatedOneLevelDeepOnly() {
        const QString deep = files_.filePath(QStringLiteral("missing/project"));
        const QString shallow = files_.filePath(QStringLiteral("hex"));
        Store(QStringLiteral("Directory/PRJ"), deep);
        Store(QStringLiteral("Directory/HEX|BIN"), shallow);
        Editor editor = MakeEditor();
        QCOMPARE(editor->settings().projectFolder, deep);
        QVERIFY(!QFileInfo::exists(deep));
        QVERIFY(QFileInfo(shallow).isDir());
    }

    void closeRequestWritesTheStoreAndANewRunReadsIt() {
        {
            Editor editor = MakeEditor();
            KdtSettings& settings = editor->settings();
            settings.projectFolder = files_.filePath(QStringLiteral("p"));
            settings.romFolder = files_.filePath(QStringLiteral("r"));
            settings.programmerPath = QStringLiteral("/opt/prog/burn");
            settings.dbfFolder = files_.filePath(QStringLiteral("d"));
            settings.programmerParameters = QStringLiteral("-p %N -v %V");
            settings.fileTypeText = QStringLiteral("1");
            settings.defaultSpeedText = QStringLiteral("90");
            settings.showErrorsText = QStringLiteral("1");
            settings.defaultRomText = QStringLiteral("3");
            QVERIFY(editor->FormCloseQuery());
        }
        // The names in the store are those the earlier program used.
        QCOMPARE(Stored(QStringLiteral("Directory/HEX|BIN")), files_.filePath(QStringLiteral("r")));
        QCOMPARE(Stored(QStringLiteral("Directory/PROGR")), QStringLiteral("/opt/prog/burn"));
        QCOMPARE(Stored(QStringLiteral("PARAMS/Progr")), QStringLiteral("-p %N -v %V"));
        QCOMPARE(Stored(QStringLiteral("PARAMS/DefPZU")), QStringLiteral("3"));

        Editor next = MakeEditor();
        const KdtSettings& loaded = next->settings();
        QCOMPARE(loaded.projectFolder, files_.filePath(QStringLiteral("p")));
        QCOMPARE(loaded.dbfFolder, files_.filePath(QStringLiteral("d")));
        QCOMPARE(loaded.fileType, 1);
        QCOMPARE(loaded.defaultSpeed, 90);
        QCOMPARE(loaded.showErrors, 1);
        QCOMPARE(loaded.defaultRom, 3);
        QCOMPARE(next->state().plan.RomVersion, 3);
        QCOMPARE(next->state().plan.SpeedSchedule[7].Speed[7], 90);
    }

    void badNumberStopsTheCopies_data() {
        QTest::addColumn<QString>("badKey");
        QTest::addColumn<int>("copiesTaken");  // in the order Compil, DefScor, ShowErr, DefPZU
        QTest::newRow("bad Compil takes none") << QStringLiteral("Compil") << 0;
        QTest::newRow("bad DefScor keeps ShowErr and DefPZU from before") << QStringLiteral("DefScor") << 1;
        QTest::newRow("bad ShowErr keeps DefPZU from before") << QStringLiteral("ShowErr") << 2;
        QTest::newRow("bad DefPZU takes the three before it") << QStringLiteral("DefPZU") << 3;
    }
    void badNumberStopsTheCopies() {
        QFETCH(QString, badKey);
        QFETCH(int, copiesTaken);
        Store(QStringLiteral("PARAMS/Compil"), QStringLiteral("1"));
        Store(QStringLiteral("PARAMS/DefScor"), QStringLiteral("90"));
        Store(QStringLiteral("PARAMS/ShowErr"), QStringLiteral("1"));
        Store(QStringLiteral("PARAMS/DefPZU"), QStringLiteral("3"));
        Store(QStringLiteral("PARAMS/") + badKey, QStringLiteral("9x"));

        KdtSettings settings = SettingsAtCreation();
        settings.fileType = 7;
        settings.defaultSpeed = 77;
        settings.showErrors = 7;
        settings.defaultRom = 7;
        const SettingsRun run =
            LoadOrSaveSettings(settings, SettingsDirection::Load, QStringLiteral("/usr/bin/kdt-gui"));
        QVERIFY(run.storeOk);
        QVERIFY(!run.numbersOk);
        QCOMPARE(settings.fileType, copiesTaken > 0 ? 1 : 7);
        QCOMPARE(settings.defaultSpeed, copiesTaken > 1 ? 90 : 77);
        QCOMPARE(settings.showErrors, copiesTaken > 2 ? 1 : 7);
        QCOMPARE(settings.defaultRom, 7);
        QCOMPARE(OpenSettingsStore()->value(QStringLiteral("PARAMS/") + badKey).toString(),
                 QStringLiteral("9x"));
    }

    void decimalNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<int>("value");
        QTest::newRow("digits") << QStringLiteral("60") << true << 60;
        QTest::newRow("minus sign") << QStringLiteral("-3") << true << -3;
        QTest::newRow("plus sign") << QStringLiteral("+7") << true << 7;
        QTest::newRow("empty is no number") << QString() << false << 0;
        QTest::newRow("a sign alone") << QStringLiteral("-") << false << 0;
        QTest::newRow("leading blank") << QStringLiteral(" 5") << false << 0;
        QTest::newRow("hexadecimal") << QStringLiteral("0x10") << false << 0;
        QTest::newRow("too large for an integer") << QStringLiteral("99999999999") << false << 0;
    }
    void decimalNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(int, value);
        const std::optional<int> parsed = ParseDecimal(text);
        QCOMPARE(parsed.has_value(), number);
        if (number) QCOMPARE(*parsed, value);
    }

    void emptyTextsGetTheirDefaults() {
        Store(QStringLiteral("PARAMS/Compil"), QString());
        Store(QStringLiteral("PARAMS/DefPZU"), QString());
        Editor editor = MakeEditor();
        QCOMPARE(editor->settings().fileTypeText, QStringLiteral("0"));
        QCOMPARE(editor->settings().defaultRomText, QStringLiteral("5"));
        QCOMPARE(editor->settings().defaultRom, 5);
    }

    void associationFailureDoesNotStopTheSettings() {
        Store(QStringLiteral("PARAMS/DefScor"), QStringLiteral("45"));
        // The applications folder is a file: the desktop entry cannot be written.
        const QString applications = QDir(DataFolder()).filePath(QStringLiteral("applications"));
        QDir(applications).removeRecursively();
        QFile blocker(applications);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        Editor editor = MakeEditor();
        QCOMPARE(editor->settings().defaultSpeed, 45);
        QCOMPARE(editor->state().plan.SpeedSchedule[0].Speed[0], 45);

        KdtSettings settings = SettingsAtCreation();
        const SettingsRun run =
            LoadOrSaveSettings(settings, SettingsDirection::Load, QStringLiteral("/usr/bin/kdt-gui"));
        QVERIFY(!run.associationError.isEmpty());
        QVERIFY(run.storeOk);
        QVERIFY(run.numbersOk);
        QFile::remove(applications);
    }

    void associationTiesKdtFilesToTheProgram() {
        const QString program = QCoreApplication::applicationFilePath();
        KdtSettings settings = SettingsAtCreation();
        const SettingsRun run = LoadOrSaveSettings(settings, SettingsDirection::Load, program);
        QVERIFY2(run.associationError.isEmpty(), qPrintable(run.associationError));

        QFile entry(QDir(DataFolder()).filePath(QStringLiteral("applications/kdt-gui.desktop")));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray text = entry.readAll();
        QVERIFY(text.contains("\nExec=\"" + program.toUtf8() + "\" %f\n"));
        QVERIFY(text.contains("\nMimeType=application/x-kdt-project;\n"));

        QFile mime(QDir(DataFolder()).filePath(QStringLiteral("mime/packages/kdt-gui.xml")));
        QVERIFY(mime.open(QIODevice::ReadOnly));
        const QByteArray package = mime.readAll();
        QVERIFY(package.contains("<glob pattern=\"*.kdt\"/>"));
        QVERIFY2(!package.contains("kdt2"), "only .kdt is associated");
        QVERIFY(package.contains(QStringLiteral("Проект КДТ").toUtf8()));
    }

    void desktopEntryQuotesTheProgramPath_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("exec");
        QTest::newRow("blank inside the path")
            << QStringLiteral("/opt/my kdt/kdt-gui") << QByteArray("Exec=\"/opt/my kdt/kdt-gui\" %f");
        QTest::newRow("dollar is escaped inside quotes")
            << QStringLiteral("/opt/$x/kdt-gui") << QByteArray("Exec=\"/opt/\\\\$x/kdt-gui\" %f");
        QTest::newRow("percent is doubled")
            << QStringLiteral("/opt/100%/kdt-gui") << QByteArray("Exec=\"/opt/100%%/kdt-gui\" %f");
    }
    void desktopEntryQuotesTheProgramPath() {
        QFETCH(QString, program);
        QFETCH(QByteArray, exec);
        QVERIFY2(DesktopEntryText(program).contains("\n" + exec + "\n"),
                 DesktopEntryText(program).constData());
    }

    void exitLeavesTheStoreAsItWas() {
        Store(QStringLiteral("PARAMS/DefScor"), QStringLiteral("60"));
        Editor editor = MakeEditor();
        editor->settings().defaultSpeedText = QStringLiteral("99");
        editor->state().journal.Record(0, "unsaved work");
        editor.script->answers = {kIdNo};  // the unsaved work is asked about, and let go

        Find<QAction>(editor, QStringLiteral("ExitItem"))->trigger();
        QCOMPARE(editor.script->programEnds, 1);  // "Выход" ended the program at once
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QCOMPARE(Stored(QStringLiteral("PARAMS/DefScor")), QStringLiteral("60"));
    }

    void closeRequestSavesTheSettingsAlsoWhenCancelled() {
        const fs::path table = fs::path(KDT_TEST_DATA_DIR) / "legacy-import";
        const fs::path folder = ToPath(files_.path());
        fs::copy_file(table / "crossing.dbf", folder / "t.dbf", fs::copy_options::overwrite_existing);
        fs::copy_file(table / "crossing.dbt", folder / "t.dbt", fs::copy_options::overwrite_existing);
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder / "t.dbf"));
        editor->state().journal.Record(0, "an edit");
        editor->settings().defaultSpeedText = QStringLiteral("70");
        editor.script->answers = {kIdCancel};
        QVERIFY(!editor->FormCloseQuery());
        QCOMPARE(Stored(QStringLiteral("PARAMS/DefScor")), QStringLiteral("70"));
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::SettingsTest)
#include "SettingsTest.moc"

// The project commands of the window: open of every file kind with its
// messages, save and save as with their naming, new project, clear, delete,
// and the full path kept beside the record's 255 bytes.
#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "data/ProjectFile.h"
#include "data/TextEncoding.h"
#include "rom/KonvertHexBin.h"
#include "shell/QtText.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    const FileReadResult read = ReadFileBytes(path);
    return read.bytes;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    const Outcome written = WriteFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    QVERIFY2(written.ok(), written.error.c_str());
}

void CopyTable(const std::string& name, const fs::path& folder, const std::string& as) {
    const fs::path source = fs::path(KDT_TEST_DATA_DIR) / "legacy-import";
    fs::copy_file(source / (name + ".dbf"), folder / (as + ".dbf"), fs::copy_options::overwrite_existing);
    fs::copy_file(source / (name + ".dbt"), folder / (as + ".dbt"), fs::copy_options::overwrite_existing);
}

}  // namespace

class ProjectCommandsTest final : public EditorTestCase {
    Q_OBJECT

private slots:
    void openEachKind_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("project .kdt") << QStringLiteral("plan.kdt") << true << none;
        QTest::newRow("project .kdt2") << QStringLiteral("plan.kdt2") << true << none;
        QTest::newRow("upper-case name keeps its case here") << QStringLiteral("PLAN.KDT") << true << none;
        QTest::newRow("empty project file is ignored silently")
            << QStringLiteral("empty.kdt") << false << none;
        QTest::newRow("legacy table") << QStringLiteral("crossing.dbf") << true << none;
        QTest::newRow("table of help is refused")
            << QStringLiteral("Help.dbf") << false
            << QStringList{
                   QStringLiteral("Предупреждение: Данный файл является файлом справки и не содержит СОД")};
        QTest::newRow("table with a bad row keeps the rows before it")
            << QStringLiteral("badkod.dbf") << true
            << QStringList{QStringLiteral(
                   "Ошибка СОД: Неожиданная ошибка во время чтения СОД?возможно данный файл не "
                   "содержит СОД или поврежден")};
        QTest::newRow("table that cannot be read")
            << QStringLiteral("garbage.dbf") << false
            << QStringList{QStringLiteral(
                   "Ошибка СОД: Неожиданная ошибка во время чтения СОД\n\rвозможно данный файл "
                   "не содержит СОД или поврежден")};
        QTest::newRow("HEX image of the plan's ROM type") << QStringLiteral("image.hex") << true << none;
        QTest::newRow("BIN image of the plan's ROM type") << QStringLiteral("image.bin") << true << none;
        QTest::newRow("image that holds no plan")
            << QStringLiteral("blank.bin") << false
            << QStringList{QStringLiteral("Информация: Файл не содержит СОД, или поврежден!")};
        QTest::newRow("HEX file with a broken line ends silently")
            << QStringLiteral("broken.hex") << false << none;
        QTest::newRow("other extension")
            << QStringLiteral("notes.txt") << false
            << QStringList{QStringLiteral("Информация: Данная процедура еще не реализована")};
    }
    void openEachKind() {
        QFETCH(QString, name);
        QFETCH(bool, opened);
        QFETCH(QStringList, messages);
        const TSignalPlan example = ExamplePlan();
        WritePlan(folder_ / "plan.kdt", example);
        WritePlan(folder_ / "plan.kdt2", example);
        WritePlan(folder_ / "PLAN.KDT", example);
        WritePlan(folder_ / "before.kdt", NewPlan());
        WriteBytes(folder_ / "empty.kdt", "");
        CopyTable("crossing", folder_, "crossing");
        CopyTable("Help", folder_, "Help");
        CopyTable("badkod", folder_, "badkod");
        WriteBytes(folder_ / "garbage.dbf", "this is not a table");
        QVERIFY(WriteHexFile(example, folder_ / "image.hex").ok());
        QVERIFY(WriteBinFile(example, folder_ / "image.bin").ok());
        WriteBytes(folder_ / "blank.bin", std::string(2974, '\0'));
        WriteBytes(folder_ / "broken.hex", ":10000000zz\r\n:00000001FF\r\n");
        WriteBytes(folder_ / "notes.txt", "text");

        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "before.kdt"));
        const TSignalPlan before = editor->state().plan;
        editor.script->messages.clear();

        const fs::path path = folder_ / ToPath(name);
        QCOMPARE(editor->FileOpen1Accept(path), opened);
        QCOMPARE(Shown(*editor.script), messages);
        const EditingState& state = editor->state();
        if (opened) {
            QCOMPARE(state.currentPath, path);
            QCOMPARE(state.projects, (std::vector<fs::path>{path, folder_ / "before.kdt"}));
            QCOMPARE(editor->windowTitle(), QStringLiteral("Zudedezoded ivov (v.Norda) -рабочий файл: \"") +
                                                ToText(path) + QLatin1Char('"'));
            QCOMPARE(ToQString(Cp1251ToUtf8(StoredText(state.plan.ProjectFileName))), ToText(path));
            QCOMPARE(state.currentPage, 1);
        } else {
            QCOMPARE(state.currentPath, folder_ / "before.kdt");
            QCOMPARE(state.projects, std::vector<fs::path>{folder_ / "before.kdt"});
            QVERIFY2(std::memcmp(&state.plan, &before, sizeof before) == 0,
                     "a failed open left the plan as it was");
        }
    }

    void projectFileTooShortSaysSoAndChangesNothing() {
        WriteBytes(folder_ / "short.kdt", "abc");
        Editor editor = MakeEditor();
        const TSignalPlan before = editor->state().plan;
        QVERIFY(!editor->FileOpen1Accept(folder_ / "short.kdt"));
        const QStringList shown = Shown(*editor.script);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().startsWith(QStringLiteral("Ошибка: Файл \"")) &&
                     shown.front().contains(QStringLiteral("short.kdt")),
                 qPrintable(shown.front()));
        QVERIFY(std::memcmp(&editor->state().plan, &before, sizeof before) == 0);
        QVERIFY(editor->state().projects.empty());
    }

    void imageIsReadWithThePlansRomType() {
        TSignalPlan image = ExamplePlan();
        QVERIFY(WriteHexFile(image, folder_ / "image.hex").ok());
        Editor editor = MakeEditor();
        editor->state().plan.RomVersion = kRom413;  // another layout than the image's
        QVERIFY(!editor->FileOpen1Accept(folder_ / "image.hex"));
        QCOMPARE(Shown(*editor.script),
                 QStringList{QStringLiteral("Информация: Файл не содержит СОД, или поврежден!")});
    }

    void oldLayoutIsRewrittenWhenOpened() {
        TSignalPlan plan = ExamplePlan();
        WritePlan(folder_ / "old.kdt", plan);
        std::vector<std::uint8_t> bytes = FileBytes(folder_ / "old.kdt");
        bytes[kFormatVersionOffset] = 1;
        QVERIFY(WriteFileAtomically(folder_ / "old.kdt", bytes).ok());

        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "old.kdt"));
        QCOMPARE(FileBytes(folder_ / "old.kdt")[kFormatVersionOffset], kCurrentFormatVersion);
    }

    void saveAsNaming_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow(".kdt2 gets .kdt appended") << QStringLiteral("a.kdt2") << QStringLiteral("a.kdt2.kdt");
        QTest::newRow("no extension gets .kdt") << QStringLiteral("b") << QStringLiteral("b.kdt");
        QTest::newRow(".kdt stays") << QStringLiteral("c.kdt") << QStringLiteral("c.kdt");
        QTest::newRow("a table's name gets .kdt") << QStringLiteral("d.dbf") << QStringLiteral("d.dbf.kdt");
    }
    void saveAsNaming() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        WritePlan(folder_ / "first.kdt", ExamplePlan());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "first.kdt"));
        editor.script->dialogFiles = {{ToText(folder_ / ToPath(chosen))}};
        Find<QAction>(editor, QStringLiteral("FileSaveAs1"))->trigger();

        QCOMPARE(editor.script->dialogs.size(), std::size_t{1});
        const FileDialogRequest& dialog = editor.script->dialogs.front();
        QCOMPARE(dialog.title, QStringLiteral("Сохранение проекта СОД"));
        QCOMPARE(dialog.filters, QStringList{QStringLiteral("обычный KDT (*.kdt)")});
        QCOMPARE(dialog.startFolder, editor->settings().projectFolder);

        const fs::path target = folder_ / ToPath(written);
        const std::vector<std::uint8_t> bytes = FileBytes(target);
        QCOMPARE(bytes.size(), kSignalPlanSize);
        QCOMPARE(bytes[kFormatVersionOffset], kCurrentFormatVersion);
        // The record is written before the plan is tied to the new name.
        TSignalPlan saved{};
        std::memcpy(&saved, bytes.data(), kSignalPlanSize);
        QCOMPARE(ToQString(Cp1251ToUtf8(StoredText(saved.ProjectFileName))), ToText(folder_ / "first.kdt"));
        QCOMPARE(editor->state().currentPath, target);
        QCOMPARE(editor->state().projects, std::vector<fs::path>{target});
    }

    void saveOfAProjectOpenedAsKdt2() {
        WritePlan(folder_ / "a.kdt2", ExamplePlan());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "a.kdt2"));
        Find<QAction>(editor, QStringLiteral("ToolButton3"))->trigger();
        QVERIFY(fs::exists(folder_ / "a.kdt2.kdt"));
        QCOMPARE(editor->state().currentPath, folder_ / "a.kdt2.kdt");
        QCOMPARE(editor->state().projects, std::vector<fs::path>{folder_ / "a.kdt2.kdt"});
        QVERIFY(editor.script->dialogs.empty());
    }

    void saveOfANeverSavedPlanAsksForAName() {
        Editor editor = MakeEditor();
        editor.script->dialogFiles = {{ToText(folder_ / "named.kdt")}};
        Find<QAction>(editor, QStringLiteral("ToolButton3"))->trigger();
        QCOMPARE(editor.script->dialogs.size(), std::size_t{1});
        QCOMPARE(editor.script->dialogs.front().title, QStringLiteral("Сохранение проекта СОД"));
        QCOMPARE(editor->state().currentPath, folder_ / "named.kdt");
    }

    void saveThatCannotWriteSaysSoAndChangesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder does not exist") << QStringLiteral("missing/x.kdt") << QString();
        QTest::newRow("name is a folder") << QStringLiteral("folder.kdt") << QStringLiteral("это папка");
        QTest::newRow("a read-only file")
            << QStringLiteral("locked.kdt") << QStringLiteral("файл только для чтения");
    }
    void saveThatCannotWriteSaysSoAndChangesNothing() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        fs::create_directory(folder_ / "folder.kdt");
        WritePlan(folder_ / "locked.kdt", NewPlan());
        fs::permissions(folder_ / "locked.kdt",
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const std::vector<std::uint8_t> locked = FileBytes(folder_ / "locked.kdt");
        WritePlan(folder_ / "kept.kdt", ExamplePlan());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "kept.kdt"));
        const QString caption = editor->windowTitle();
        const TSignalPlan plan = editor->state().plan;

        QVERIFY(!editor->FileSaveAs1Accept(folder_ / ToPath(target)));
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        const MessageRequest& message = editor.script->messages.front();
        QCOMPARE(message.caption, QStringLiteral("Ошибка"));
        QCOMPARE(message.icon, MessageIcon::Error);
        QVERIFY2(message.text.contains(ToText(folder_ / ToPath(target))), qPrintable(message.text));
        QVERIFY2(message.text.contains(reason), qPrintable(message.text));
        QVERIFY2(std::memcmp(&editor->state().plan, &plan, sizeof plan) == 0, "the plan is kept");
        QVERIFY(FileBytes(folder_ / "locked.kdt") == locked);
        QCOMPARE(editor->state().currentPath, folder_ / "kept.kdt");
        QCOMPARE(editor->state().projects, std::vector<fs::path>{folder_ / "kept.kdt"});
        QCOMPARE(editor->windowTitle(), caption);
    }

    void newProjectNaming() {
        Editor editor = MakeEditor();
        const QDir projects(editor->settings().projectFolder);
        for (const char* taken : {"NewSOD1.kdt", "NewSOD2.kdt"}) {
            QFile file(projects.filePath(QString::fromLatin1(taken)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        editor->state().plan.PhaseCount = 7;  // the old plan, to be replaced, nothing unsaved in it
        editor->state().TakeBaseline();
        const fs::path chosen = folder_ / "fresh";
        editor.script->dialogFiles = {{ToText(chosen)}};
        Find<QAction>(editor, QStringLiteral("ToolButton1"))->trigger();

        QCOMPARE(editor.script->dialogs.size(), std::size_t{1});
        QCOMPARE(editor.script->dialogs.front().title, QStringLiteral("Новый файл"));
        QCOMPARE(editor.script->dialogs.front().fileName, projects.filePath(QStringLiteral("NewSOD3.kdt")));
        const fs::path written = folder_ / "fresh.kdt";
        QCOMPARE(editor->state().currentPath, written);
        QCOMPARE(editor->state().projects, std::vector<fs::path>{written});
        QCOMPARE(editor->state().plan.PhaseCount, 1);
        QCOMPARE(FileBytes(written).size(), kSignalPlanSize);
        // Tied before it is written: the file names itself.
        TSignalPlan saved{};
        std::memcpy(&saved, FileBytes(written).data(), kSignalPlanSize);
        QCOMPARE(ToQString(Cp1251ToUtf8(StoredText(saved.ProjectFileName))), ToText(written));
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
    }

    void newProjectCancelledOrUnwritableChangesNothing() {
        Editor editor = MakeEditor();
        editor->state().plan.PhaseCount = 7;
        editor->state().TakeBaseline();
        editor.script->dialogFiles = {{}, {ToText(folder_ / "missing" / "x.kdt")}};
        editor->ToolButton1Click();  // cancelled
        QCOMPARE(editor->state().plan.PhaseCount, 7);
        QVERIFY(editor.script->messages.empty());
        editor->ToolButton1Click();  // cannot be written
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Ошибка"));
        QCOMPARE(editor->state().plan.PhaseCount, 7);
        QVERIFY(editor->state().currentPath.empty());
        QVERIFY(editor->state().projects.empty());
    }

    void newProjectWithOpenProjectsRunsTheLeaveCheck() {
        TSignalPlan plan = ExamplePlan();
        WritePlan(folder_ / "open.kdt", plan);
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "open.kdt"));
        editor->state().plan.PhaseCount = 9;
        editor.script->answers = {kIdNo};
        editor.script->dialogFiles = {{}};
        editor->ToolButton1Click();
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Сохранение проекта СОД"));
    }

    void clearAsksAndUnties() {
        WritePlan(folder_ / "kept.kdt", ExamplePlan());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "kept.kdt"));
        const std::vector<std::uint8_t> onDisk = FileBytes(folder_ / "kept.kdt");

        editor.script->answers = {kIdNo, kIdYes};
        Find<QAction>(editor, QStringLiteral("ClearItem"))->trigger();
        QCOMPARE(editor->state().currentPath, folder_ / "kept.kdt");
        Find<QAction>(editor, QStringLiteral("ClearItem"))->trigger();

        const MessageRequest& question = editor.script->messages.front();
        QCOMPARE(question.caption, QStringLiteral("Подтверждение"));
        QCOMPARE(question.text, QStringLiteral("Вы уверены что хотите очистить файл СОД ?"));
        QCOMPARE(question.icon, MessageIcon::Warning);
        QVERIFY(editor->state().currentPath.empty());
        QCOMPARE(editor->state().plan.PhaseCount, 1);
        QCOMPARE(editor->windowTitle(),
                 QStringLiteral("Zudedezoded ivov (v.Norda) -рабочий файл: \"не сохранен\""));
        QVERIFY(FileBytes(folder_ / "kept.kdt") == onDisk);
        QCOMPARE(editor->state().projects, std::vector<fs::path>{folder_ / "kept.kdt"});
    }

    void deleteRemovesTheFileAndOpensTheNext() {
        WritePlan(folder_ / "a.kdt", ExamplePlan());
        WritePlan(folder_ / "b.kdt", NewPlan());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "a.kdt"));
        QVERIFY(editor->FileOpen1Accept(folder_ / "b.kdt"));

        editor.script->answers = {kIdNo};
        editor->ToolButton5Click();
        QVERIFY(fs::exists(folder_ / "b.kdt"));
        const MessageRequest& question = editor.script->messages.front();
        QCOMPARE(question.caption, QStringLiteral("Удаление файла KDT"));
        QCOMPARE(question.text,
                 QStringLiteral("Удалить файл : \"") + ToText(folder_ / "b.kdt") + QStringLiteral("\" ?"));
        QCOMPARE(question.defaultButton, kIdNo);

        editor.script->answers = {kIdYes};
        editor->ToolButton5Click();
        QVERIFY(!fs::exists(folder_ / "b.kdt"));
        QCOMPARE(editor->state().currentPath, folder_ / "a.kdt");
        QCOMPARE(editor->state().projects, std::vector<fs::path>{folder_ / "a.kdt"});

        editor.script->answers = {kIdYes};
        editor->ToolButton5Click();
        QVERIFY(!fs::exists(folder_ / "a.kdt"));
        QVERIFY(editor->state().currentPath.empty());
        QVERIFY(editor->state().projects.empty());
        QCOMPARE(editor->state().plan.PhaseCount, 1);
    }

    // The record holds 255 bytes of the path in Windows-1251; every file
    // operation still reaches the file by its whole path.
    void fullPathIsKeptBeyondTheRecordsBytes() {
        fs::path deep = folder_;
        for (int level = 0; level < 12; ++level)
            deep /= Utf8ToPath("Перекрёсток_папка_" + std::to_string(level));
        fs::create_directories(deep);
        const fs::path project = deep / Utf8ToPath("план.kdt");
        QVERIFY(Utf8ToCp1251(PathToUtf8(project)).size() > 255);
        WritePlan(project, ExamplePlan());

        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(project));
        const EditingState& state = editor->state();
        QCOMPARE(state.currentPath, project);
        QCOMPARE(StoredText(state.plan.ProjectFileName), Utf8ToCp1251(PathToUtf8(project)).substr(0, 255));
        QVERIFY(editor->windowTitle().endsWith(ToText(project) + QLatin1Char('"')));

        editor->state().plan.PhaseCount = 3;
        editor->ToolButton3Click();
        TSignalPlan saved{};
        std::memcpy(&saved, FileBytes(project).data(), kSignalPlanSize);
        QCOMPARE(saved.PhaseCount, 3);
        QCOMPARE(editor->ModificationState(), ProjectState::Unchanged);
        QVERIFY(editor.script->messages.empty());
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::ProjectCommandsTest)
#include "ProjectCommandsTest.moc"

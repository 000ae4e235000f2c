// "Компиляция", "Программатор..." and "Анализ СОД" from the window: the
// image in the ROM folder, the analysis question, the programmer's
// parameters and the two result boxes with the error file.
#include "GuiTestKit.h"
#include "analysis/ErrorFile.h"
#include "common/FileIO.h"
#include "data/TextEncoding.h"
#include "rom/KonvertHexBin.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    return ReadFileBytes(path).bytes;
}

}  // namespace

class CompileAnalysisTest final : public EditorTestCase {
    Q_OBJECT

private:
    // An editor on a project, with its images going to a folder not there yet.
    Editor EditorOn(const char* projectName, const TSignalPlan& plan) {
        WritePlan(folder_ / projectName, plan);
        Editor editor = MakeEditor();
        editor->settings().romFolder = ToText(folder_ / "images" / "deep");
        if (!editor->FileOpen1Accept(folder_ / projectName)) qFatal("cannot open %s", projectName);
        return editor;
    }

private slots:
    void compileWritesTheImageInTheRomFolder_data() {
        QTest::addColumn<int>("fileType");
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("image");
        QTest::newRow("x.kdt2 gives x.hex") << 0 << QStringLiteral("x.kdt2") << QStringLiteral("x.hex");
        QTest::newRow("only the last extension goes")
            << 0 << QStringLiteral("a.kdt.b.kdt") << QStringLiteral("a.kdt.b.hex");
        QTest::newRow("file type 1 gives BIN")
            << 1 << QStringLiteral("crossing.kdt") << QStringLiteral("crossing.bin");
    }
    void compileWritesTheImageInTheRomFolder() {
        QFETCH(int, fileType);
        QFETCH(QString, project);
        QFETCH(QString, image);
        Editor editor = EditorOn(qPrintable(project), ExamplePlan());
        editor->settings().fileType = fileType;
        Find<QAction>(editor, QStringLiteral("ToolButton19"))->trigger();

        const fs::path written = folder_ / "images" / "deep" / ToPath(image);
        QCOMPARE(Shown(*editor.script), QStringList{QStringLiteral("Компиляция: Файл для программатора \"") +
                                                    ToText(written) + QLatin1Char('"')});
        // The same bytes the image writer gives for the plan in memory.
        const fs::path reference = folder_ / (fileType == 0 ? "reference.hex" : "reference.bin");
        QVERIFY(fileType == 0 ? WriteHexFile(editor->state().plan, reference).ok()
                              : WriteBinFile(editor->state().plan, reference).ok());
        QVERIFY(!FileBytes(written).empty());
        QVERIFY(FileBytes(written) == FileBytes(reference));
        QCOMPARE(QDir::currentPath(), ToText(editor->workFolder()));
    }

    void compilingAgainReplacesAReadOnlyImage() {
        Editor editor = EditorOn("twice.kdt", ExamplePlan());
        editor->ToolButton19Click();
        const fs::path image = folder_ / "images" / "deep" / "twice.hex";
        fs::permissions(image, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        editor->state().plan.Program[0].TactDuration[0] += 2;
        editor->ToolButton19Click();
        QCOMPARE(editor.script->messages.size(), std::size_t{2});
        QCOMPARE(editor.script->messages.back().caption, QStringLiteral("Компиляция"));
        const fs::path reference = folder_ / "reference.hex";
        QVERIFY(WriteHexFile(editor->state().plan, reference).ok());
        QVERIFY(FileBytes(image) == FileBytes(reference));
    }

    void anOverrunningCoordinatorBlockIsCompiledWithAWarning() {
        TSignalPlan plan = ExamplePlan();
        plan.NetworkType = 3;
        plan.CoordControllerCount = 32;
        plan.ProgramCount = 4;  // 3 + 4 x 32 bytes in a room of 99
        for (int p = 2; p < 4; ++p) plan.Program[p] = plan.Program[0];
        Editor editor = EditorOn("master.kdt", plan);
        editor->ToolButton19Click();
        const fs::path written = folder_ / "images" / "deep" / "master.hex";
        const QStringList shown = Shown(*editor.script);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], QStringLiteral("Компиляция: Файл для программатора \"") + ToText(written) +
                               QLatin1Char('"'));
        QVERIFY2(shown[1].startsWith(QStringLiteral("Предупреждение: Блок координатора занимает 131 байт")),
                 qPrintable(shown[1]));
        QCOMPARE(editor.script->messages.back().icon, MessageIcon::Warning);
        QVERIFY(fs::exists(written));
    }

    void aFailedCompileLeavesNoEarlierImage() {
        Editor editor = EditorOn("fails.kdt", ExamplePlan());
        editor->ToolButton19Click();
        const fs::path image = folder_ / "images" / "deep" / "fails.hex";
        QVERIFY(fs::exists(image));
        editor->state().plan.RomVersion = 9;  // no layout: the build fails
        editor->ToolButton19Click();
        QCOMPARE(editor.script->messages.back().text,
                 QStringLiteral("Не удалось сформировать файл для программатора"));
        QVERIFY2(!fs::exists(image), "the programmer must not find the image of an earlier plan");
    }

    void analysisBeforeCompiling_data() {
        QTest::addColumn<bool>("showErrors");
        QTest::addColumn<bool>("findings");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("built");
        QTest::newRow("OK stops and shows the errors") << true << true << kIdOk << false;
        QTest::newRow("Cancel compiles all the same") << true << true << kIdCancel << true;
        QTest::newRow("without ShowErr no question") << false << true << 0 << true;
        QTest::newRow("a clean plan asks nothing") << true << false << 0 << true;
    }
    void analysisBeforeCompiling() {
        QFETCH(bool, showErrors);
        QFETCH(bool, findings);
        QFETCH(int, answer);
        QFETCH(bool, built);
        Editor editor = EditorOn("checked.kdt", findings ? NewPlan() : ExamplePlan());
        editor->settings().showErrors = showErrors ? 1 : 0;
        if (answer != 0) editor.script->answers = {answer};
        editor->ToolButton19Click();

        const fs::path errorFile = editor->workFolder() / kErrorFileName;
        const bool asked = answer != 0;
        QCOMPARE(fs::exists(folder_ / "images" / "deep" / "checked.hex"), built);
        if (asked) {
            const MessageRequest& question = editor.script->messages.front();
            QCOMPARE(question.caption, QStringLiteral("Результат анализа проекта СОД"));
            QCOMPARE(question.text,
                     QStringLiteral("В проекте были найдены ошибки\n\r\"OK\" - не компилировать, "
                                    "посмотреть ошибки\n\r\"Отмена\" - всё равно продолжить компиляцию"));
            QCOMPARE(question.buttons, MessageButtons::OkCancel);
            QCOMPARE(question.defaultButton, kIdCancel);
            QVERIFY(fs::exists(errorFile));
        } else {
            QCOMPARE(editor.script->messages.front().caption, QStringLiteral("Компиляция"));
        }
        if (asked && !built) {
            QCOMPARE(editor.script->documents, std::vector<QString>{ToText(errorFile)});
            QCOMPARE(editor.script->messages.back().text,
                     QStringLiteral("Компиляция была прервана пользователем"));
        } else {
            QVERIFY(editor.script->documents.empty());
        }
    }

    void compileOfANeverSavedPlanAsksForAName() {
        Editor editor = MakeEditor();
        editor->settings().romFolder = ToText(folder_ / "images");
        editor.script->dialogFiles = {{}, {ToText(folder_ / "named.kdt")}};
        editor->ToolButton19Click();  // the name is refused
        QCOMPARE(Shown(*editor.script),
                 QStringList{QStringLiteral("Предуприждение: Требуется сохранить файл!")});
        QCOMPARE(editor.script->dialogs.front().title, QStringLiteral("Новый файл"));
        QVERIFY(!fs::exists(folder_ / "images"));

        editor->ToolButton19Click();
        QVERIFY(fs::exists(folder_ / "named.kdt"));
        QVERIFY(fs::exists(folder_ / "images" / "named.hex"));
        QCOMPARE(editor.script->messages.back().caption, QStringLiteral("Компиляция"));
    }

    void unknownFileTypeBuildsNothing() {
        Editor editor = EditorOn("plan.kdt", ExamplePlan());
        editor->settings().fileType = 2;
        editor->ToolButton19Click();
        QCOMPARE(Shown(*editor.script),
                 QStringList{QStringLiteral("Ошибка: Не удалось сформировать файл для программатора")});
        QVERIFY(!fs::exists(folder_ / "images" / "deep" / "plan.hex"));
        QVERIFY(!fs::exists(folder_ / "images" / "deep" / "plan.bin"));
    }

    void programmerGetsItsParameters_data() {
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QStringList>("expected");  // "PATH" stands for the image's path
        QTest::newRow("the path alone") << QStringLiteral("%N") << QStringList{QStringLiteral("PATH")};
        QTest::newRow("path and ROM type number") << QStringLiteral("-p %N -v %V")
                                                  << QStringList{QStringLiteral("-p"), QStringLiteral("PATH"),
                                                                 QStringLiteral("-v"), QStringLiteral("6")};
        QTest::newRow("only the first %N is replaced")
            << QStringLiteral("%N %N")
#if defined(Q_OS_WIN)
            << QStringList{QStringLiteral("PATH"), QStringLiteral("%n")};
#else
            // the rest of the template keeps its case where file names have one
            << QStringList{QStringLiteral("PATH"), QStringLiteral("%N")};
#endif
    }
    void programmerGetsItsParameters() {
        QFETCH(QString, parameters);
        QFETCH(QStringList, expected);
        Editor editor = EditorOn("burn.kdt", ExamplePlan());
        editor->ToolButton19Click();
        editor->settings().programmerPath = QStringLiteral("/opt/programmer/burn");
        editor->settings().programmerParameters = parameters;
        editor->BitBtn5Click();

        const fs::path image = folder_ / "images" / "deep" / "burn.hex";
        expected.replaceInStrings(QStringLiteral("PATH"), ToText(image));
        QCOMPARE(editor.script->programs.size(), std::size_t{1});
        const ProgramStart& start = editor.script->programs.front();
        QCOMPARE(start.program, QStringLiteral("/opt/programmer/burn"));
        QCOMPARE(start.arguments, expected);
        QCOMPARE(start.workingFolder, ToText(image.parent_path()));
    }

    void programmerWithoutAnImageSaysSo() {
        Editor editor = EditorOn("unbuilt.kdt", ExamplePlan());
        editor->BitBtn5Click();
        const fs::path image = folder_ / "images" / "deep" / "unbuilt.hex";
        QCOMPARE(Shown(*editor.script),
                 QStringList{QStringLiteral("Ошибка: Не удалось найти файл для программатора\n\r") +
                             ToText(image)});
        QVERIFY(editor.script->programs.empty());
    }

    void analysisResults() {
        Editor clean = EditorOn("clean.kdt", ExamplePlan());
        const fs::path errorFile = clean->workFolder() / kErrorFileName;
        QVERIFY(WriteFileAtomically(errorFile, std::vector<std::uint8_t>{'o', 'l', 'd'}).ok());
        Find<QAction>(clean, QStringLiteral("AnalysisToolButton"))->trigger();
        QCOMPARE(
            Shown(*clean.script),
            QStringList{QStringLiteral("Результат анализа проекта СОД: В проекте ошибки не обнаружины")});
        QCOMPARE(clean.script->messages.front().icon, MessageIcon::Information);
        QVERIFY2(FileBytes(errorFile) == (std::vector<std::uint8_t>{'o', 'l', 'd'}),
                 "a clean run leaves the file alone");

        Editor faulty = EditorOn("faulty.kdt", NewPlan());
        Find<QAction>(faulty, QStringLiteral("AnalysisItem"))->trigger();
        QCOMPARE(Shown(*faulty.script),
                 QStringList{QStringLiteral("Результат анализа проекта СОД: В проекте были найдены ошибки")});
        QCOMPARE(faulty.script->messages.front().icon, MessageIcon::Error);
        QCOMPARE(faulty.script->documents, std::vector<QString>{ToText(errorFile)});
        const std::vector<std::uint8_t> bytes = FileBytes(errorFile);
        const std::string text = Cp1251ToUtf8(std::string(bytes.begin(), bytes.end()));
        QVERIFY2(text.starts_with("*** Результат анализа проекта СОД сохранен в файле: \"" +
                                  PathToUtf8(errorFile) + "\"\r\n"),
                 text.c_str());
        QVERIFY(text.find("Недостаточно фаз") != std::string::npos);
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::CompileAnalysisTest)
#include "CompileAnalysisTest.moc"

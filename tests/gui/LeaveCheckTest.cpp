// The leave check: the six states of the current project, the questions
// they ask and what each answer does; and the close request's loop over the
// projects of the run.
#include "GuiTestKit.h"
#include "common/FileIO.h"
#include "data/ProjectFile.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

enum class Setup {
    OpenProject,
    ChangedProject,
    NewPlan,
    NewPlanWithEdits,
    Import,
    ImportWithEdits,
    ProjectBecameFolder
};

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    return ReadFileBytes(path).bytes;
}

// A plan the editor changes as it opens it (a slot beyond the counts is not
// reset), so the reopened project differs from its file.
TSignalPlan UnnormalisedPlan() {
    TSignalPlan plan = ExamplePlan();
    plan.Program[kMaxPrograms - 1].TactCount = 9;
    plan.PhaseInterTact[kMaxPhases - 1] = 99;
    return plan;
}

}  // namespace

class LeaveCheckTest final : public EditorTestCase {
    Q_OBJECT

private:
    void Prepare(Editor& editor, Setup setup) {
        WritePlan(folder_ / "p.kdt", ExamplePlan());
        const fs::path tables = fs::path(KDT_TEST_DATA_DIR) / "legacy-import";
        fs::copy_file(tables / "crossing.dbf", folder_ / "t.dbf", fs::copy_options::overwrite_existing);
        fs::copy_file(tables / "crossing.dbt", folder_ / "t.dbt", fs::copy_options::overwrite_existing);
        switch (setup) {
            case Setup::OpenProject:
                QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
                break;
            case Setup::ChangedProject:
                QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
                editor->state().plan.PhaseCount = 2;
                break;
            case Setup::NewPlan:
                break;
            case Setup::NewPlanWithEdits:
                editor->state().journal.Record(0, "an edit");
                break;
            case Setup::Import:
                QVERIFY(editor->FileOpen1Accept(folder_ / "t.dbf"));
                break;
            case Setup::ImportWithEdits:
                QVERIFY(editor->FileOpen1Accept(folder_ / "t.dbf"));
                editor->state().journal.Record(0, "an edit");
                break;
            case Setup::ProjectBecameFolder:
                QVERIFY(editor->FileOpen1Accept(folder_ / "p.kdt"));
                fs::remove(folder_ / "p.kdt");
                fs::create_directory(folder_ / "p.kdt");
                break;
        }
    }

private slots:
    void answers_data() {
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("state");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("dialogFile");  // what the save dialog returns; empty = cancel
        QTest::addColumn<QString>("caption");     // of the one box expected; empty = no box
        QTest::addColumn<bool>("mayLeave");
        QTest::addColumn<QString>("savedTo");  // the project file written, if any

        const auto row = [](const char* name, Setup setup, ProjectState state, QList<int> answers,
                            const char* dialog, const char* caption, bool mayLeave, const char* savedTo) {
            QTest::newRow(name) << static_cast<int>(setup) << static_cast<int>(state) << answers
                                << QString::fromUtf8(dialog) << QString::fromUtf8(caption) << mayLeave
                                << QString::fromUtf8(savedTo);
        };
        const char* save = "Сохранение проекта СОД";
        const char* type = "Изменение типа файла";
        row("0 unchanged project leaves without a word", Setup::OpenProject, ProjectState::Unchanged, {}, "",
            "", true, "");
        row("1 changed project, Yes saves it", Setup::ChangedProject, ProjectState::Changed, {kIdYes}, "",
            save, true, "p.kdt");
        row("1 changed project, No leaves it", Setup::ChangedProject, ProjectState::Changed, {kIdNo}, "",
            save, true, "");
        row("1 a save that fails keeps the user here", Setup::ProjectBecameFolder, ProjectState::Changed,
            {kIdYes}, "", save, false, "");
        row("2 new plan without edits leaves without a word", Setup::NewPlan, ProjectState::NothingToSave, {},
            "", "", true, "");
        row("3 unsaved work, Yes asks for a name", Setup::NewPlanWithEdits, ProjectState::UnsavedWork,
            {kIdYes}, "named.kdt", save, true, "named.kdt");
        row("3 unsaved work, Yes and a cancelled dialog still leaves", Setup::NewPlanWithEdits,
            ProjectState::UnsavedWork, {kIdYes}, "", save, true, "");
        row("3 unsaved work, No leaves", Setup::NewPlanWithEdits, ProjectState::UnsavedWork, {kIdNo}, "",
            save, true, "");
        row("4 unchanged import leaves without a word", Setup::Import, ProjectState::UnchangedImport, {}, "",
            "", true, "");
        row("5 changed import, Yes saves it as a project", Setup::ImportWithEdits,
            ProjectState::ChangedImport, {kIdYes}, "t.dbf", type, true, "t.dbf.kdt");
        row("5 changed import, No leaves", Setup::ImportWithEdits, ProjectState::ChangedImport, {kIdNo}, "",
            type, true, "");
        row("5 changed import, Cancel stays", Setup::ImportWithEdits, ProjectState::ChangedImport,
            {kIdCancel}, "", type, false, "");
    }
    void answers() {
        QFETCH(int, setup);
        QFETCH(int, state);
        QFETCH(QList<int>, answers);
        QFETCH(QString, dialogFile);
        QFETCH(QString, caption);
        QFETCH(bool, mayLeave);
        QFETCH(QString, savedTo);

        Editor editor = MakeEditor();
        Prepare(editor, static_cast<Setup>(setup));
        const std::vector<std::uint8_t> projectBefore = FileBytes(folder_ / "p.kdt");
        QCOMPARE(static_cast<int>(editor->ModificationState()), state);

        editor.script->messages.clear();
        editor.script->answers.assign(answers.begin(), answers.end());
        if (!dialogFile.isEmpty()) editor.script->dialogFiles = {{ToText(folder_ / ToPath(dialogFile))}};
        QCOMPARE(editor->LeaveCheck(), mayLeave);

        const std::vector<MessageRequest>& shown = editor.script->messages;
        if (caption.isEmpty()) {
            QVERIFY2(shown.empty(), qPrintable(Shown(*editor.script).join(QLatin1Char('\n'))));
        } else {
            QVERIFY(!shown.empty());
            QCOMPARE(shown.front().caption, caption);
            QCOMPARE(shown.front().icon, MessageIcon::Question);
        }
        if (!savedTo.isEmpty()) {
            const fs::path written = folder_ / ToPath(savedTo);
            const std::vector<std::uint8_t> bytes = FileBytes(written);
            QCOMPARE(bytes.size(), kSignalPlanSize);
            QCOMPARE(bytes[kFormatVersionOffset], kCurrentFormatVersion);
            QCOMPARE(bytes[offsetof(TSignalPlan, PhaseCount)], editor->state().plan.PhaseCount);
            QCOMPARE(editor->state().currentPath, written);
            QCOMPARE(editor->state().projects.front(), written);
        } else if (static_cast<Setup>(setup) == Setup::ChangedProject) {
            QVERIFY2(FileBytes(folder_ / "p.kdt") == projectBefore, "No must not write the project");
        }
        if (static_cast<ProjectState>(state) == ProjectState::UnsavedWork && answers == QList<int>{kIdYes})
            QCOMPARE(editor.script->dialogs.front().startFolder, editor->settings().projectFolder);
    }

    void questionTexts() {
        Editor editor = MakeEditor();
        Prepare(editor, Setup::ChangedProject);
        const QString project = ToText(folder_ / "p.kdt");
        editor.script->answers = {kIdNo};
        editor->LeaveCheck();
        QCOMPARE(editor.script->messages.back().text,
                 QStringLiteral("Сохранить изменения в текущем проекте : \"") + project +
                     QStringLiteral("\" ?\n\rВ случае отказа, изменения будут потеряны!"));
        QCOMPARE(editor.script->messages.back().buttons, MessageButtons::YesNo);

        Prepare(editor, Setup::ImportWithEdits);
        editor.script->answers = {kIdNo};
        editor->LeaveCheck();
        QCOMPARE(editor.script->messages.back().text,
                 QStringLiteral("Сохранить текущий проект в формате KDT : \"") + ToText(folder_ / "t.dbf") +
                     QStringLiteral("\" ?\n\rВ случае отказа, сделаные изменения будут потеряны!"));
        QCOMPARE(editor.script->messages.back().buttons, MessageButtons::YesNoCancel);

        Editor fresh = MakeEditor();
        Prepare(fresh, Setup::NewPlanWithEdits);
        fresh.script->answers = {kIdNo};
        fresh->LeaveCheck();
        QCOMPARE(fresh.script->messages.back().text,
                 QStringLiteral("Проект не сохранен на диске.\n\rСохранить проект \"\"?"));
    }

    void closeLoopVisitsEveryProject() {
        for (const char* name : {"a.kdt", "b.kdt", "c.kdt"}) WritePlan(folder_ / name, UnnormalisedPlan());
        Editor editor = MakeEditor();
        for (const char* name : {"a.kdt", "b.kdt", "c.kdt"}) QVERIFY(editor->FileOpen1Accept(folder_ / name));
        QCOMPARE(editor->state().projects,
                 (std::vector<fs::path>{folder_ / "c.kdt", folder_ / "b.kdt", folder_ / "a.kdt"}));

        editor.script->answers = {kIdNo, kIdNo, kIdNo};
        QVERIFY(editor->FormCloseQuery());
        QStringList asked;
        for (const MessageRequest& message : editor.script->messages)
            asked << message.text.section(QLatin1Char('"'), 1, 1);
        QCOMPARE(asked, (QStringList{ToText(folder_ / "c.kdt"), ToText(folder_ / "b.kdt"),
                                     ToText(folder_ / "a.kdt")}));
        QVERIFY(editor->state().projects.empty());
    }

    void closeLoopStopsAtCancel() {
        WritePlan(folder_ / "a.kdt", ExamplePlan());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "a.kdt"));
        Prepare(editor, Setup::ImportWithEdits);
        editor->show();
        editor.script->answers = {kIdCancel};
        QVERIFY(!editor->close());
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->state().currentPath, folder_ / "t.dbf");
        QCOMPARE(editor->state().projects, (std::vector<fs::path>{folder_ / "t.dbf", folder_ / "a.kdt"}));
    }

    void closingUnsavedNewWorkAsksOnce() {
        Editor editor = MakeEditor();
        Prepare(editor, Setup::NewPlanWithEdits);
        editor.script->answers = {kIdNo};
        QVERIFY(editor->FormCloseQuery());
        QCOMPARE(editor.script->messages.size(), std::size_t{1});
        QVERIFY(editor.script->dialogs.empty());
    }

    void closeItemOpensTheNextProject() {
        WritePlan(folder_ / "a.kdt", ExamplePlan());
        WritePlan(folder_ / "b.kdt", NewPlan());
        Editor editor = MakeEditor();
        QVERIFY(editor->FileOpen1Accept(folder_ / "a.kdt"));
        QVERIFY(editor->FileOpen1Accept(folder_ / "b.kdt"));
        QAction* close = Find<QAction>(editor, QStringLiteral("CloseItem"));
        close->trigger();
        QCOMPARE(editor->state().currentPath, folder_ / "a.kdt");
        QCOMPARE(editor->state().projects, std::vector<fs::path>{folder_ / "a.kdt"});
        close->trigger();
        QVERIFY(editor->state().currentPath.empty());
        QVERIFY(editor->state().projects.empty());
        QVERIFY2(!close->isEnabled(), "nothing left to close");
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::LeaveCheckTest)
#include "LeaveCheckTest.moc"

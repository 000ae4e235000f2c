#include "GuiTestKit.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include "common/FileIO.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "shell/KdtSettings.h"
#include "shell/QtText.h"

namespace kdt::gui::test {

int ScriptedInteraction::showMessage(QWidget*, const MessageRequest& request) {
    messages.push_back(request);
    if (onMessage) onMessage(request);
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // An unexpected box is answered as Enter would: its default button.
    if (request.defaultButton != 0) return request.defaultButton;
    return request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel ? kIdYes : kIdOk;
}

QStringList ScriptedInteraction::chooseFiles(QWidget*, const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (dialogFiles.empty()) return {};
    QStringList files = dialogFiles.front();
    dialogFiles.pop_front();
    return files;
}

void ScriptedInteraction::openDocument(const QString& path, const QString& anchor) {
    documents.push_back(anchor.isEmpty() ? path : path + QLatin1Char('#') + anchor);
}

bool ScriptedInteraction::startProgram(const QString& program, const QStringList& arguments,
                                       const QString& workingFolder) {
    programs.push_back({program, arguments, workingFolder});
    return true;
}

Editor MakeEditor() {
    auto script = std::make_unique<ScriptedInteraction>();
    Editor editor;
    editor.script = script.get();
    editor.window = std::make_unique<TKDT>(std::move(script));
    return editor;
}

void ClearSettingsStore() {
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    store->clear();
    store->sync();
}

TSignalPlan NewPlan(std::uint8_t romVersion) {
    TSignalPlan plan{};
    ResetPlan(plan, romVersion, kDefaultSpeed);
    return plan;
}

void WritePlan(const std::filesystem::path& path, TSignalPlan plan) {
    StoreProjectFileName(plan, path);
    const std::string error = SaveProjectFile(path, plan).error;
    QVERIFY2(error.empty(), error.c_str());
}

std::filesystem::path ExamplePath() { return std::filesystem::path(KDT_EXAMPLES_DIR) / "crossing.kdt"; }

TSignalPlan ExamplePlan() {
    TSignalPlan plan = NewPlan();
    const ProjectFileRead read = ReadProjectFile(ExamplePath(), plan, OldLayoutHandling::KeepFile);
    if (!read.ok()) qFatal("the bundled example cannot be read: %s", read.error.c_str());
    return plan;
}

std::filesystem::path ToPath(const QString& text) { return QStringToPath(text); }
QString ToText(const std::filesystem::path& path) { return PathToQString(path); }

QStringList Shown(const ScriptedInteraction& script) {
    QStringList shown;
    for (const MessageRequest& message : script.messages) shown << message.caption + QStringLiteral(": ") + message.text;
    return shown;
}

void IsolateUserFolders() {
    static QTemporaryDir home;  // lives for the whole run, removed at its end
    if (!home.isValid()) qFatal("no temporary home folder");
    const QDir root(home.path());
    const auto set = [&](const char* variable, const char* folder) {
        const QString path = root.filePath(QString::fromLatin1(folder));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(variable, QFile::encodeName(path));
    };
    set("HOME", "home");
    set("XDG_CONFIG_HOME", "home/.config");
    set("XDG_DATA_HOME", "home/.local/share");
    set("XDG_CACHE_HOME", "home/.cache");
    set("XDG_RUNTIME_DIR", "runtime");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace kdt::gui::test

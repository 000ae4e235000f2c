#include "GuiTestKit.h"

#include <cstring>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QSettings>

#include "binding/Journal.h"
#include "common/FileIO.h"
#include "components/GridTable.h"
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
    return request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel ? kIdYes
                                                                                                      : kIdOk;
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

bool ScriptedInteraction::choosePrinter(QWidget*, QPrinter& printer) {
    ++printDialogs;
    if (onChoosePrinter) return onChoosePrinter(printer);
    if (printFiles.empty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFiles.front());
    printFiles.pop_front();
    return true;
}

void ScriptedInteraction::showPrintPreview(QWidget*, QPrinter& printer,
                                           const std::function<void(QPrinter&)>& paint) {
    ++previews;
    if (onPreview) onPreview(printer, paint);
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

std::filesystem::path ExamplePath() {
    return std::filesystem::path(KDT_EXAMPLES_DIR) / "crossing.kdt";
}

TSignalPlan ExamplePlan() {
    TSignalPlan plan = NewPlan();
    const ProjectFileRead read = ReadProjectFile(ExamplePath(), plan, OldLayoutHandling::KeepFile);
    if (!read.ok()) qFatal("the bundled example cannot be read: %s", read.error.c_str());
    return plan;
}

std::filesystem::path ToPath(const QString& text) {
    return QStringToPath(text);
}
QString ToText(const std::filesystem::path& path) {
    return PathToQString(path);
}

QStringList Shown(const ScriptedInteraction& script) {
    QStringList shown;
    for (const MessageRequest& message : script.messages)
        shown << message.caption + QStringLiteral(": ") + message.text;
    return shown;
}

void MissingControl(const QObject* root, const QString& name, const char* type) {
    const QString message = QStringLiteral("no %1 named \"%2\" under %3")
                                .arg(QString::fromLatin1(type), name, root->objectName());
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    qFatal("%s", qPrintable(message));
}

void ClickButton(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(std::min(8, button->width() / 2), button->height() / 2));
}

void TypeKeys(QWidget* widget, const QString& keys) {
    for (const QChar c : keys) {
        // Qt Test maps only Latin-1 characters to keys; others arrive as
        // text alone, as from an input method or another layout.
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void TypeInto(QLineEdit* field, const QString& keys) {
    field->setFocus();
    field->selectAll();
    TypeKeys(field, keys);
}

TSignalPlan FileRecord(const std::filesystem::path& path) {
    const FileReadResult file = ReadFileBytes(path);
    TSignalPlan plan{};
    if (file.bytes.size() == kSignalPlanSize)
        std::memcpy(&plan, file.bytes.data(), kSignalPlanSize);
    else
        qWarning("%s holds %zu bytes, not a plan", path.string().c_str(), file.bytes.size());
    return plan;
}

void ClickCell(GridTable* grid, int row, int column) {
    grid->scrollTo(grid->model()->index(TableRowOfGridRow(row), column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(row, column).center());
}

QStringList Descriptions(const Journal& journal) {
    QStringList list;
    for (const JournalEntry& entry : journal.undoList())
        list << QString::fromStdString(journal.Describe(entry));
    return list;
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string text;
    for (const int byte : bytes) text += static_cast<char>(byte);
    return text;
}

QString FirstDifference(const TSignalPlan& actual, const TSignalPlan& expected) {
    const auto a = RecordBytes(actual);
    const auto e = RecordBytes(expected);
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != e[i])
            return QStringLiteral("records differ first at offset %1: %2, expected %3")
                .arg(i)
                .arg(a[i])
                .arg(e[i]);
    return {};
}

void EditorTestCase::init() {
    ClearSettingsStore();
    files_ = std::make_unique<QTemporaryDir>();
    QVERIFY(files_->isValid());
    folder_ = ToPath(files_->path());
}

Editor EditorTestCase::OpenShownEditor(const TSignalPlan& plan) {
    WritePlan(folder_ / "p.kdt", plan);
    Editor editor = MakeEditor();
    editor->show();
    if (!QTest::qWaitForWindowExposed(editor.window.get())) qFatal("the editor is not shown");
    if (!QTest::qWaitForWindowActive(editor.window.get())) qFatal("the editor is not active");
    if (!editor->FileOpen1Accept(folder_ / "p.kdt")) qFatal("the plan does not open");
    return editor;
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

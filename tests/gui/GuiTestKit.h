// What every editor test needs: a home of its own, an interaction that
// answers the editor's questions from a script and remembers them, and
// plans written to disk.
#pragma once

#include <deque>
#include <functional>
#include <filesystem>
#include <memory>
#include <vector>

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include "data/TypeKDT.h"
#include "shell/Unit1.h"
#include "shell/UserInteraction.h"

namespace kdt::gui::test {

struct FileDialogCall {
    FileDialogRequest request;
};

struct ProgramStart {
    QString program;
    QStringList arguments;
    QString workingFolder;
};

// Answers from queues; an unexpected box gets its default button, an
// unexpected dialog is cancelled. Everything asked is kept for the checks.
class ScriptedInteraction final : public UserInteraction {
public:
    int showMessage(QWidget* owner, const MessageRequest& request) override;
    QStringList chooseFiles(QWidget* owner, const FileDialogRequest& request) override;
    void openDocument(const QString& path, const QString& anchor) override;
    bool startProgram(const QString& program, const QStringList& arguments, const QString& workingFolder) override;

    std::function<void(const MessageRequest&)> onMessage;  // runs while a box is "open"
    std::deque<int> answers;             // kId values for the next boxes
    std::deque<QStringList> dialogFiles; // files for the next dialogs; empty list = cancel
    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> dialogs;
    std::vector<QString> documents;
    std::vector<ProgramStart> programs;
};

// A main window with a scripted interaction, the way the tests drive it.
struct Editor {
    std::unique_ptr<TKDT> window;
    ScriptedInteraction* script = nullptr;  // owned by the window
    TKDT* operator->() const { return window.get(); }
};
Editor MakeEditor();

// The editor's per-user store, emptied, so a window starts from the values at creation.
void ClearSettingsStore();

// A new plan as the editor makes one, with the given ROM type.
TSignalPlan NewPlan(std::uint8_t romVersion = kRom421);
// Writes the plan as the editor saves it, tied to its own path; fails the test when it cannot.
void WritePlan(const std::filesystem::path& path, TSignalPlan plan);
// A plan with two phases, directions and programs, which the analysis finds clean.
TSignalPlan ExamplePlan();
std::filesystem::path ExamplePath();

std::filesystem::path ToPath(const QString& text);
QString ToText(const std::filesystem::path& path);

// The texts of the boxes shown, caption and text joined, for readable failures.
QStringList Shown(const ScriptedInteraction& script);

}  // namespace kdt::gui::test

// A Qt Test main whose application runs under a fresh home and runtime folder,
// even when the test binary is started by hand.
#define KDT_GUI_TEST_MAIN(TestClass)                              \
    int main(int argc, char** argv) {                             \
        kdt::gui::test::IsolateUserFolders();                     \
        QApplication application(argc, argv);                     \
        TestClass test;                                           \
        return QTest::qExec(&test, argc, argv);                   \
    }

namespace kdt::gui::test {
void IsolateUserFolders();
}

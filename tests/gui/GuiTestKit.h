// What every editor test needs: a home of its own, an interaction that
// answers the editor's questions from a script and remembers them, and
// plans written to disk.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include "data/TypeKDT.h"
#include "shell/Unit1.h"
#include "shell/UserInteraction.h"

namespace kdt::gui {
class GridTable;
class Journal;
}  // namespace kdt::gui

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
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override;
    bool hasPrinters() override { return printers; }
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
    void showPrintPreview(QWidget* owner, QPrinter& printer,
                          const std::function<void(QPrinter&)>& paint) override;
    void beep() override { ++beeps; }
    void endProgram() override { ++programEnds; }

    bool printers = false;  // whether the machine has a printer
    // The print dialog: sets the printer up as a user would and tells whether
    // to print; without one the dialog is cancelled.
    std::function<bool(QPrinter&)> onChoosePrinter;
    // The preview: draws the pages as the preview would; without one nothing is drawn.
    std::function<void(QPrinter&, const std::function<void(QPrinter&)>&)> onPreview;
    int printDialogs = 0;
    int previews = 0;
    std::function<void(const MessageRequest&)> onMessage;  // runs while a box is "open"
    std::deque<int> answers;                               // kId values for the next boxes
    std::deque<QStringList> dialogFiles;                   // files for the next dialogs; empty list = cancel
    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> dialogs;
    std::vector<QString> documents;
    std::vector<ProgramStart> programs;
    // Without onChoosePrinter: the next of these as a PDF file to print into; none left: cancelled.
    std::deque<QString> printFiles;
    int beeps = 0;
    int programEnds = 0;
};

// A main window with a scripted interaction, the way the tests drive it.
struct Editor {
    std::unique_ptr<TKDT> window;
    ScriptedInteraction* script = nullptr;  // owned by the window
    TKDT* operator->() const { return window.get(); }
};

// The tests' tables: a change made to a plan through the core, and what a
// user does in the editor.
using PlanChange = std::function<void(TSignalPlan&)>;
using Action = std::function<void(Editor&)>;
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

// A control by its name under root. A miss fails the test with the name
// looked for (and ends the run), never as a crash on a null pointer.
[[noreturn]] void MissingControl(const QObject* root, const QString& name, const char* type);
template <class T>
T* Find(const QObject* root, const QString& name) {
    if (T* found = root->findChild<T*>(name)) return found;
    MissingControl(root, name, T::staticMetaObject.className());
}
template <class T>
T* Find(const Editor& editor, const QString& name) {
    return Find<T>(editor.window.get(), name);
}

// Clicks a check box or radio item on its indicator: the rest of a wide
// button beside a short caption takes no clicks.
void ClickButton(QAbstractButton* button);

// Types the characters into the widget, any alphabet.
void TypeKeys(QWidget* widget, const QString& keys);
// Replaces a field's text by typing, as a user does: select all, then the keys.
void TypeInto(QLineEdit* field, const QString& keys);

// The record a save wrote; a zeroed one (with a warning) when the file does
// not hold a plan's bytes.
TSignalPlan FileRecord(const std::filesystem::path& path);

// Clicks a cell of a page's grid (row 0 the header), scrolled into view first.
void ClickCell(GridTable* grid, int row, int column);

// What the journal's undo entries describe, oldest first.
QStringList Descriptions(const Journal& journal);

// A journal payload from its byte values.
std::string Bytes(std::initializer_list<int> bytes);

// Where two records first differ, as "offset N: a != b", or empty.
QString FirstDifference(const TSignalPlan& actual, const TSignalPlan& expected);
#define KDT_COMPARE_PLANS(actual, expected)                                                  \
    do {                                                                                     \
        const QString difference_ = ::kdt::gui::test::FirstDifference((actual), (expected)); \
        QVERIFY2(difference_.isEmpty(), qPrintable(difference_));                            \
    } while (false)

// What every editor test case starts from: a settings store emptied and a
// scratch folder of its own for each test function.
class EditorTestCase : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<QTemporaryDir> files_;
    std::filesystem::path folder_;

    // The plan written to p.kdt in the test's folder and opened in a shown,
    // active editor; a failure ends the run, as nothing after it could hold.
    Editor OpenShownEditor(const TSignalPlan& plan);

protected slots:
    void init();
};

}  // namespace kdt::gui::test

// A Qt Test main whose application runs under a fresh home and runtime folder,
// even when the test binary is started by hand.
#define KDT_GUI_TEST_MAIN(TestClass)            \
    int main(int argc, char** argv) {           \
        kdt::gui::test::IsolateUserFolders();   \
        QApplication application(argc, argv);   \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }

namespace kdt::gui::test {
void IsolateUserFolders();
}

// Every command of the main window at once: each menu item and tool button,
// found in the window itself, is enabled when it should be and does what it
// is there for; every input control of every page can be named by a screen
// reader; and every help topic the editor opens has its section in the help
// page it ships.
#include <functional>
#include <map>
#include <set>

#include <QAccessible>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStackedLayout>
#include <QTimer>
#include <QToolBar>

#include "GuiTestKit.h"
#include "analysis/ErrorFile.h"
#include "binding/Page.h"
#include "common/FileIO.h"
#include "pages/PageFrame.h"
#include "pages/PageTable.h"
#include "report/Unit4.h"
#include "shell/About.h"
#include "shell/GuiResources.h"
#include "shell/Unit3.h"
#include "simulation/Unit2.h"

namespace kdt::gui::test {
namespace fs = std::filesystem;

namespace {

// The entries of "Проекты" after the current one come and go with the project list.
const QString kProjectListEntry = QStringLiteral("ProjectItem");

// Every command the window offers: the items of its menus (submenus
// included), its tool buttons and the hidden items that only hold a key.
QList<QAction*> WindowCommands(TKDT& window) {
    QList<QAction*> found;
    const auto add = [&](QAction* action) {
        if (action->isSeparator() || action->objectName() == kProjectListEntry || found.contains(action))
            return;
        found << action;
    };
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->menu() != nullptr)
                walk(action->menu());
            else
                add(action);
        }
    };
    for (QAction* top : window.menuBar()->actions()) {
        if (top->menu() != nullptr)
            walk(top->menu());
        else
            add(top);
    }
    for (QToolBar* bar : window.findChildren<QToolBar*>())
        for (QAction* action : bar->actions()) add(action);
    for (QAction* action : window.actions()) add(action);
    return found;
}

// Opening the menus an item sits in, as the user does before choosing it:
// some menus set their items' states as they open.
void OpenMenusOf(QAction* action) {
    for (QObject* holder : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder)) emit menu->aboutToShow();
}

void ForgetWhatWasAsked(ScriptedInteraction& script) {
    script.messages.clear();
    script.dialogs.clear();
    script.documents.clear();
    script.programs.clear();
    script.answers.clear();
    script.dialogFiles.clear();
    script.programEnds = 0;
}

QWidget* FrontFrame(TKDT& window) {
    return window.findChild<QWidget*>(QStringLiteral("PageArea"))
        ->findChild<QStackedLayout*>()
        ->currentWidget();
}

// The ids of the elements of an HTML page.
std::set<QString> ElementIds(const QByteArray& html) {
    std::set<QString> ids;
    static const QRegularExpression id(QStringLiteral("\\bid\\s*=\\s*[\"']([^\"']+)[\"']"));
    for (const QRegularExpressionMatch& match : id.globalMatch(QString::fromUtf8(html)))
        ids.insert(match.captured(1));
    return ids;
}

// The anchor of a document the editor opened: "path#anchor".
QString AnchorOf(const QString& document) {
    const qsizetype hash = document.lastIndexOf(QLatin1Char('#'));
    return hash < 0 ? QString() : document.mid(hash + 1);
}

// One editor on the bundled example, shown and active, the
// start-up question behind it, with nothing asked yet.
struct Walk {
    Editor editor;
    fs::path folder;
    fs::path project;
    TSignalPlan example{};  // the plan as opened
    TSignalPlan edited{};   // the plan after the edit of TypeEdit
    QString modalSeen;      // class of the modal dialog the command opened
    QWidget* modalOwner = nullptr;

    TKDT& window() const { return *editor.window; }
    ScriptedInteraction& script() const { return *editor.script; }
    fs::path romFolder() const { return folder / "rom"; }
    fs::path helpPage() const { return window().workFolder() / "KDT.html"; }

    // An edit as the user makes it: the comment on the parameters page.
    void TypeEdit() {
        window().ShowPage(1);
        TypeInto(Find<QLineEdit>(editor, QStringLiteral("LabeledEdit20")), QStringLiteral("Z"));
        QVERIFY(!window().state().journal.undoList().empty());
        edited = window().state().plan;
        QVERIFY(!FirstDifference(edited, example).isEmpty());
    }
    // Nothing changed by the command: the example as it was, where it was.
    void Unchanged() const {
        QVERIFY2(script().messages.empty(), qPrintable(Shown(script()).join(QLatin1Char('\n'))));
        QCOMPARE(window().state().currentPath, project);
        QCOMPARE(window().state().projects, std::vector<fs::path>{project});
        KDT_COMPARE_PLANS(window().state().plan, example);
    }
    void OneBox(const QString& caption) const {
        QCOMPARE(script().messages.size(), std::size_t{1});
        QCOMPARE(script().messages.front().caption, caption);
    }
    // Closes the modal dialog the next command opens, noting what it was.
    void CloseNextModalDialog() {
        QTimer::singleShot(0, &window(), [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            modalSeen = QString::fromLatin1(modal->metaObject()->className());
            modalOwner = modal->parentWidget();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        });
    }
};

// What an item must be like with the example open and the journal empty,
// what makes it usable or its effect visible, and what choosing it does.
struct CommandRow {
    bool enabledAtStart = true;
    std::function<void(Walk&)> prepare;  // before the trigger; what it asks is forgotten
    std::function<void(Walk&)> check;    // after the trigger
};

void ShowsPage(Walk& walk, int number) {
    QCOMPARE(walk.window().state().currentPage, number);
    QCOMPARE(FrontFrame(walk.window()), static_cast<QWidget*>(walk.window().pageFrame(number)));
}

void OpensSimulation(Walk& walk) {
    TForm2* simulation = walk.window().simulationWindow();
    QVERIFY(simulation != nullptr);
    QVERIFY(simulation->isVisible());
}

void OpensReportDialog(Walk& walk) {
    QCOMPARE(walk.modalSeen, QString::fromLatin1(TOtcet::staticMetaObject.className()));
    QCOMPARE(walk.modalOwner, static_cast<QWidget*>(&walk.window()));
    QVERIFY(walk.window().findChildren<TOtcet*>().isEmpty());  // gone once closed
}

void CompilesIntoTheRomFolder(Walk& walk) {
    const fs::path image = walk.romFolder() / "crossing.hex";
    QVERIFY2(fs::is_regular_file(image), "no image in the ROM folder");
    QVERIFY(!ReadFileBytes(image).bytes.empty());
    walk.OneBox(QStringLiteral("Компиляция"));
}

void Undoes(Walk& walk) {
    KDT_COMPARE_PLANS(walk.window().state().plan, walk.example);
    QVERIFY(walk.window().state().journal.undoList().empty());
    QCOMPARE(walk.window().state().journal.redoList().size(), std::size_t{1});
}

void Redoes(Walk& walk) {
    KDT_COMPARE_PLANS(walk.window().state().plan, walk.edited);
    QVERIFY(walk.window().state().journal.redoList().empty());
    QCOMPARE(walk.window().state().journal.undoList().size(), std::size_t{1});
}

void EditThenUndo(Walk& walk) {
    walk.TypeEdit();
    walk.window().ToolButton20Click();
    KDT_COMPARE_PLANS(walk.window().state().plan, walk.example);
}

void AsksForAFileToOpen(Walk& walk) {
    QCOMPARE(walk.script().dialogs.size(), std::size_t{1});
    QCOMPARE(walk.script().dialogs.front().kind, FileDialogRequest::Kind::Open);
}

void AnalysisFindsNothing(Walk& walk) {
    walk.OneBox(QStringLiteral("Результат анализа проекта СОД"));
    QCOMPARE(walk.script().messages.front().icon, MessageIcon::Information);
    QVERIFY(walk.script().documents.empty());
}

void OpensHelpAt(Walk& walk, const QString& anchor) {
    QCOMPARE(walk.script().documents,
             std::vector<QString>{ToText(walk.helpPage()) + QLatin1Char('#') + anchor});
    QVERIFY(fs::is_regular_file(walk.helpPage()));
}

// The text editor and the calculator of the desktop, found where programs are installed.
void StartsAnInstalledProgram(Walk& walk) {
    QCOMPARE(walk.script().programs.size(), std::size_t{1});
    QVERIFY(QFileInfo(walk.script().programs.front().program).isExecutable());
    QVERIFY(walk.script().programs.front().arguments.isEmpty());
}

std::map<QString, CommandRow> CommandTable() {
    std::map<QString, CommandRow> rows;

    // "Файл"
    rows[QStringLiteral("FileOpen1")] = {
        true,
        [](Walk& w) {
            WritePlan(w.folder / "other.kdt", NewPlan());
            w.script().dialogFiles = {{ToText(w.folder / "other.kdt")}};
        },
        [](Walk& w) {
            AsksForAFileToOpen(w);
            QVERIFY(w.script().dialogs.front().several);
            QCOMPARE(w.window().state().currentPath, w.folder / "other.kdt");
            QCOMPARE(w.window().state().projects, (std::vector<fs::path>{w.folder / "other.kdt", w.project}));
        }};
    rows[QStringLiteral("FileSaveAs1")] = {
        true, [](Walk& w) { w.script().dialogFiles = {{ToText(w.folder / "renamed.kdt")}}; },
        [](Walk& w) {
            QCOMPARE(w.script().dialogs.size(), std::size_t{1});
            QCOMPARE(w.script().dialogs.front().kind, FileDialogRequest::Kind::Save);
            QVERIFY(fs::is_regular_file(w.folder / "renamed.kdt"));
            QCOMPARE(w.window().state().currentPath, w.folder / "renamed.kdt");
            QCOMPARE(w.window().state().projects, std::vector<fs::path>{w.folder / "renamed.kdt"});
        }};
    rows[QStringLiteral("ClearItem")] = {true, [](Walk& w) { w.script().answers = {kIdYes}; },
                                         [](Walk& w) {
                                             w.OneBox(QStringLiteral("Подтверждение"));
                                             KDT_COMPARE_PLANS(w.window().state().plan, NewPlan());
                                             QVERIFY(w.window().state().currentPath.empty());
                                         }};
    rows[QStringLiteral("CloseItem")] = {
        true, nullptr, [](Walk& w) {
            QVERIFY2(w.script().messages.empty(), qPrintable(Shown(w.script()).join(QLatin1Char('\n'))));
            QVERIFY(w.window().state().projects.empty());
            QVERIFY(w.window().state().currentPath.empty());
            QVERIFY2(!Find<QAction>(w.editor, QStringLiteral("CloseItem"))->isEnabled(),
                     "nothing left to close");
        }};
    rows[QStringLiteral("ExitItem")] = {true, nullptr, [](Walk& w) {
                                            QCOMPARE(w.script().programEnds, 1);
                                            QVERIFY(w.script().messages.empty());
                                        }};

    // "Редактор" and the keys it holds
    rows[QStringLiteral("UndoItem")] = {false, [](Walk& w) { w.TypeEdit(); }, Undoes};
    rows[QStringLiteral("RedoItem")] = {false, EditThenUndo, Redoes};
    rows[QStringLiteral("PasteItem")] = {true, nullptr, [](Walk& w) {
                                             // Without a handler of its own: it is there to take Ctrl+V from
                                             // the fields.
                                             auto* comment =
                                                 Find<QLineEdit>(w.editor, QStringLiteral("LabeledEdit20"));
                                             const QString before = comment->text();
                                             comment->setFocus();
                                             QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
                                             QTest::keyClick(comment, Qt::Key_V, Qt::ControlModifier);
                                             QCOMPARE(comment->text(), before);
                                             w.Unchanged();
                                             QVERIFY(w.window().state().journal.empty());
                                         }};
    rows[QStringLiteral("ScheduleCopyItem")] = {true, nullptr, [](Walk& w) {
                                                    // The day chosen as source is copied over the selected
                                                    // day, recorded even when the two are alike.
                                                    QCOMPARE(w.window().state().journal.undoList().size(),
                                                             std::size_t{1});
                                                    QCOMPARE(w.window().state().currentPage, 1);
                                                }};

    // "Работа": the coordinator page needs a leading controller with followers.
    for (int page = 1; page <= 11; ++page) {
        CommandRow row;
        row.enabledAtStart = page != 8;
        row.prepare = [page](Walk& w) {
            if (page == 1) w.window().ShowPage(2);  // so that showing page 1 is a change
            if (page == 8) {
                w.window().state().plan.NetworkType = 3;
                w.window().state().plan.CoordControllerCount = 2;
            }
        };
        row.check = [page](Walk& w) { ShowsPage(w, page); };
        rows[QStringLiteral("PageAction%1").arg(page)] = row;
    }

    // "Результат"
    rows[QStringLiteral("AnalysisItem")] = {true, nullptr, AnalysisFindsNothing};
    rows[QStringLiteral("SimulationItem")] = {true, nullptr, OpensSimulation};
    rows[QStringLiteral("CompileItem")] = {true, nullptr, CompilesIntoTheRomFolder};
    rows[QStringLiteral("ProgrammerItem")] = {
        false,
        [](Walk& w) {
            w.window().settings().programmerPath = QCoreApplication::applicationFilePath();
            w.window().ToolButton19Click();
        },
        [](Walk& w) {
            QVERIFY2(w.script().messages.empty(), qPrintable(Shown(w.script()).join(QLatin1Char(' '))));
            QCOMPARE(w.script().programs.size(), std::size_t{1});
            const ProgramStart& start = w.script().programs.front();
            QCOMPARE(start.program, QCoreApplication::applicationFilePath());
            QCOMPARE(start.arguments, QStringList{ToText(w.romFolder() / "crossing.hex")});
            QCOMPARE(start.workingFolder, ToText(w.romFolder()));
        }};
    rows[QStringLiteral("ReportItem")] = {true, [](Walk& w) { w.CloseNextModalDialog(); }, OpensReportDialog};

    // "Сервис"
    rows[QStringLiteral("SettingsItem")] = {true, nullptr, [](Walk& w) {
                                                TForm3* dialog = w.window().settingsDialog();
                                                QVERIFY(dialog != nullptr);
                                                QVERIFY(dialog->isVisible());
                                                QVERIFY(!dialog->isModal());
                                            }};
#if defined(Q_OS_WIN)
    rows[QStringLiteral("SystemPropertiesItem")] = {
        true, nullptr, [](Walk& w) {
            QCOMPARE(w.script().programs.size(), std::size_t{1});
            QCOMPARE(w.script().programs.front().program, QStringLiteral("control.exe"));
            QCOMPARE(w.script().programs.front().arguments, QStringList{QStringLiteral("sysdm.cpl")});
        }};
#else
    // No system properties to show here: the item is hidden, and so not enabled.
    rows[QStringLiteral("SystemPropertiesItem")] = {
        false, nullptr, [](Walk& w) {
            QVERIFY(!Find<QAction>(w.editor, QStringLiteral("SystemPropertiesItem"))->isVisible());
            QVERIFY(w.script().programs.empty());
        }};
#endif
    rows[QStringLiteral("EditorItem")] = {true, nullptr, StartsAnInstalledProgram};
    rows[QStringLiteral("CalculatorItem")] = {true, nullptr, StartsAnInstalledProgram};

    // "Проекты": the first item names the current project and does nothing.
    rows[QStringLiteral("CurrentProjectItem")] = {
        true, nullptr, [](Walk& w) {
            QVERIFY(Find<QMenu>(w.editor, QStringLiteral("ProjectsMenu"))->menuAction()->isEnabled());
            QCOMPARE(Find<QAction>(w.editor, QStringLiteral("CurrentProjectItem"))->text(),
                     ToText(w.project));
            w.Unchanged();
        }};

    // "Помощь"
    rows[QStringLiteral("HelpItem")] = {true, nullptr,
                                        [](Walk& w) { OpensHelpAt(w, QStringLiteral("topic1")); }};
    rows[QStringLiteral("AboutItem")] = {true, nullptr, [](Walk& w) {
                                             QVERIFY(w.window().aboutBox()->isVisible());
                                             QVERIFY(!w.window().aboutBox()->isModal());
                                         }};
    rows[QStringLiteral("PageHelpItem")] = {true, [](Walk& w) { w.window().ShowPage(5); },
                                            [](Walk& w) { OpensHelpAt(w, QStringLiteral("topic6")); }};

    // The tool bar's own buttons
    rows[QStringLiteral("ToolButton1")] = {
        true, [](Walk& w) { w.script().dialogFiles = {{ToText(w.folder / "fresh.kdt")}}; },
        [](Walk& w) {
            QCOMPARE(w.script().dialogs.size(), std::size_t{1});
            QCOMPARE(w.script().dialogs.front().title, QStringLiteral("Новый файл"));
            QVERIFY(fs::is_regular_file(w.folder / "fresh.kdt"));
            QCOMPARE(w.window().state().currentPath, w.folder / "fresh.kdt");
            QCOMPARE(w.window().state().projects, (std::vector<fs::path>{w.folder / "fresh.kdt", w.project}));
        }};
    rows[QStringLiteral("OpenToolButton")] = {true, nullptr, [](Walk& w) {  // cancelled: nothing else
                                                  AsksForAFileToOpen(w);
                                                  w.Unchanged();
                                              }};
    rows[QStringLiteral("ToolButton3")] = {
        true,
        [](Walk& w) {
            w.TypeEdit();
            QCOMPARE(w.window().ModificationState(), ProjectState::Changed);
        },
        [](Walk& w) {
            QVERIFY(w.script().messages.empty());
            QVERIFY(w.script().dialogs.empty());
            QCOMPARE(w.window().ModificationState(), ProjectState::Unchanged);
        }};
    rows[QStringLiteral("ToolButton5")] = {true, [](Walk& w) { w.script().answers = {kIdYes}; },
                                           [](Walk& w) {
                                               w.OneBox(QStringLiteral("Удаление файла KDT"));
                                               QVERIFY(!fs::exists(w.project));
                                               QVERIFY(w.window().state().projects.empty());
                                               QVERIFY(w.window().state().currentPath.empty());
                                           }};
    rows[QStringLiteral("SimulationToolButton")] = {true, nullptr, OpensSimulation};
    rows[QStringLiteral("ToolButton19")] = {true, nullptr, CompilesIntoTheRomFolder};
    // A plan with a finding: the error file is written and shown.
    rows[QStringLiteral("AnalysisToolButton")] = {
        true, [](Walk& w) { w.window().state().plan.PhaseCount = 1; },
        [](Walk& w) {
            w.OneBox(QStringLiteral("Результат анализа проекта СОД"));
            QCOMPARE(w.script().messages.front().icon, MessageIcon::Error);
            const fs::path errors = w.window().workFolder() / kErrorFileName;
            QVERIFY(fs::is_regular_file(errors));
            QCOMPARE(w.script().documents, std::vector<QString>{ToText(errors)});
        }};
    rows[QStringLiteral("PrintToolButton")] = {true, [](Walk& w) { w.CloseNextModalDialog(); },
                                               OpensReportDialog};
    rows[QStringLiteral("ToolButton20")] = {false, [](Walk& w) { w.TypeEdit(); }, Undoes};
    rows[QStringLiteral("ToolButton21")] = {false, EditThenUndo, Redoes};
    return rows;
}

}  // namespace

class EditorCommandsTest final : public EditorTestCase {
    Q_OBJECT

private:
    // The example put into the test's folder and opened in a shown editor.
    bool OpenWalk(Walk& walk) {
        walk.folder = folder_;
        walk.project = folder_ / "crossing.kdt";
        // The bundled example as the editor saves it: a plain copy would still
        // name the file it was made as and read as changed once opened.
        WritePlan(walk.project, ExamplePlan());
        std::error_code error;
#if !defined(Q_OS_WIN)
        // A text editor and a calculator installed for the run, so that their
        // items are offered and start something; the path is restored in cleanup().
        const fs::path programs = folder_ / "bin";
        fs::create_directories(programs, error);
        for (const char* program : {"gedit", "xcalc"}) {
            QFile script(ToText(programs / program));
            if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/sh\n") < 0) return false;
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(ToText(programs)) + ':' + savedPath_);
#endif
        walk.editor = MakeEditor();
        walk.window().settings().romFolder = ToText(walk.romFolder());
        walk.window().settings().projectFolder = ToText(folder_);
        walk.window().show();
        if (!QTest::qWaitForWindowActive(&walk.window())) return false;
        // Started without a file, the window asks for one; cancelled.
        if (!QTest::qWaitFor([&] { return !walk.script().dialogs.empty(); })) return false;
        if (!walk.window().FileOpen1Accept(walk.project)) return false;
        walk.example = walk.window().state().plan;
        ForgetWhatWasAsked(walk.script());
        return true;
    }

    // An editor on the example with every page in use: a leading controller
    // with followers; the pedestrian buttons and ROM type 4.2.1 it has already.
    bool OpenWithEveryPage(Editor& editor) {
        TSignalPlan plan = ExamplePlan();
        plan.NetworkType = 3;
        plan.CoordControllerCount = 2;
        WritePlan(folder_ / "every-page.kdt", plan);
        editor = MakeEditor();
        editor->show();
        if (!QTest::qWaitForWindowActive(editor.window.get())) return false;
        if (!QTest::qWaitFor([&] { return !editor.script->dialogs.empty(); })) return false;
        if (!editor->FileOpen1Accept(folder_ / "every-page.kdt")) return false;
        ForgetWhatWasAsked(*editor.script);
        for (int page = 1; page <= kPageCount; ++page)
            if (!Find<QAction>(editor, QStringLiteral("PageAction%1").arg(page))->isEnabled()) return false;
        return true;
    }

    QByteArray savedPath_;

private slots:
    void cleanup() {
        if (!savedPath_.isNull()) qputenv("PATH", savedPath_);
        savedPath_ = QByteArray();
    }

    // ------------------------------------------------------------ the commands

    // The table and the window name the same items: an item added without a
    // row fails below, a row left for an item gone fails here.
    void theTableNamesEveryItemOfTheWindow() {
        Editor editor = MakeEditor();
        QStringList found;
        for (QAction* action : WindowCommands(*editor.window)) {
            QVERIFY2(!action->objectName().isEmpty(),
                     qPrintable(QStringLiteral("an item without a name: \"%1\"").arg(action->text())));
            QVERIFY2(!found.contains(action->objectName()),
                     qPrintable(action->objectName() + QStringLiteral(" twice")));
            found << action->objectName();
        }
        QVERIFY(found.size() > 40);
        for (const auto& [name, row] : CommandTable())
            QVERIFY2(found.contains(name),
                     qPrintable(QStringLiteral("a row for %1, which the window lacks").arg(name)));
    }

    void everyItemIsEnabledWhenItShouldBeAndActs_data() {
        QTest::addColumn<QString>("name");
        Editor editor = MakeEditor();
        for (QAction* action : WindowCommands(*editor.window))
            QTest::newRow(qPrintable(action->objectName())) << action->objectName();
    }
    void everyItemIsEnabledWhenItShouldBeAndActs() {
        QFETCH(QString, name);
        const std::map<QString, CommandRow> table = CommandTable();
        const auto found = table.find(name);
        if (found == table.end())
            QFAIL(qPrintable(QStringLiteral("%1 has no row: what does it do?").arg(name)));
        const CommandRow& row = found->second;

        Walk walk;
        QVERIFY(OpenWalk(walk));
        QAction* action = Find<QAction>(walk.editor, name);
        walk.window().RefreshEnabledStates();
        OpenMenusOf(action);
        QVERIFY2(action->isEnabled() == row.enabledAtStart,
                 qPrintable(QStringLiteral("%1 is %2 with the example open and nothing edited")
                                .arg(name, action->isEnabled() ? QStringLiteral("enabled")
                                                               : QStringLiteral("disabled"))));
        if (row.prepare) {
            row.prepare(walk);
            if (QTest::currentTestFailed()) return;
            walk.window().RefreshEnabledStates();
            OpenMenusOf(action);
            QVERIFY2(action->isEnabled(),
                     qPrintable(name + QStringLiteral(" stays disabled once it has its use")));
            std::deque<int> answers = walk.script().answers;
            std::deque<QStringList> files = walk.script().dialogFiles;
            ForgetWhatWasAsked(walk.script());
            walk.script().answers = answers;
            walk.script().dialogFiles = files;
        }
        // An item left disabled here is not there to be chosen; its row says what it is like instead.
        if (action->isEnabled()) action->trigger();
        row.check(walk);
    }

    // The entries after the current project in "Проекты" exist only while the
    // menu is open; choosing one opens its project.
    void aProjectListEntryOpensItsProject() {
        Walk walk;
        QVERIFY(OpenWalk(walk));
        WritePlan(folder_ / "second.kdt", NewPlan());
        QVERIFY(walk.window().FileOpen1Accept(folder_ / "second.kdt"));
        QMenu* menu = Find<QMenu>(walk.editor, QStringLiteral("ProjectsMenu"));
        emit menu->aboutToShow();
        const QList<QAction*> entries = menu->findChildren<QAction*>(kProjectListEntry);
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries.front()->isEnabled());
        QCOMPARE(entries.front()->text(), ToText(walk.project));
        entries.front()->trigger();
        QCOMPARE(walk.window().state().currentPath, walk.project);
        QCOMPARE(walk.window().state().projects,
                 (std::vector<fs::path>{walk.project, folder_ / "second.kdt"}));
        KDT_COMPARE_PLANS(walk.window().state().plan, walk.example);
    }

    // ------------------------------------------------------------ names for a screen reader

    void everyInputControlOfEveryPageHasAName_data() {
        QTest::addColumn<int>("page");
        for (int page = 1; page <= kPageCount; ++page)
            QTest::newRow(qPrintable(QStringLiteral("page %1").arg(page))) << page;
    }
    void everyInputControlOfEveryPageHasAName() {
        QFETCH(int, page);
        Editor editor;
        QVERIFY2(OpenWithEveryPage(editor), "the example with every page in use cannot be opened");
        editor->ShowPage(page);
        QCOMPARE(editor->state().currentPage, page);
        QWidget* root = editor->page(page);
        QVERIFY(root != nullptr);

        QStringList unnamed;
        std::set<QObject*> checked;
        const auto check = [&](QAccessibleInterface* control, const char* how) {
            checked.insert(control->object());
            if (!NameOf(control).isEmpty()) return;
            unnamed << QStringLiteral("%1 (%2, %3)")
                           .arg(control->object()->objectName(),
                                QString::fromLatin1(control->object()->metaObject()->className()),
                                QString::fromLatin1(how));
        };
        // The tree as a screen reader walks it, from the page down.
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            for (int i = 0; i < node->childCount(); ++i) {
                QAccessibleInterface* child = node->child(i);
                if (child == nullptr || child->state().invisible) continue;
                if (IsInputControl(child)) check(child, "in the tree");
                if (!HasOwnParts(child)) walk(child);
            }
        };
        QAccessibleInterface* top = QAccessible::queryAccessibleInterface(root);
        QVERIFY(top != nullptr);
        walk(top);
        // Fields laid over grid cells belong to the grid's viewport, which the
        // tree shows as cells: they are looked at on their own.
        for (QWidget* widget : root->findChildren<QWidget*>()) {
            if (!widget->isVisible() || checked.count(widget) != 0) continue;
            QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
            if (control != nullptr && IsInputControl(control) && !InsideCompositeControl(widget, root))
                check(control, "not in the tree");
        }
        QVERIFY2(!checked.empty(), "no input control found on the page");
        const QString caption = editor->pageFrame(page)->title().trimmed();
        QVERIFY2(unnamed.isEmpty(), qPrintable(QStringLiteral("page %1 \"%2\": no accessible name for %3")
                                                   .arg(page)
                                                   .arg(caption, unnamed.join(QStringLiteral(", ")))));
    }

    // ------------------------------------------------------------ help

    // Every topic the editor opens has its section in the help page it ships:
    // the general one, one per page, and the simulation window's.
    void theHelpPageHoldsEveryTopic() {
        const QByteArray page = GuiResource(QStringLiteral("KDT.html"));
        QVERIFY2(!page.isEmpty(), "no help page among the resources");
        const std::set<QString> ids = ElementIds(page);
        QStringList topics{QStringLiteral("topic10-simulation")};
        for (int topic = 1; topic <= kPageCount + 1; ++topic) topics << QStringLiteral("topic%1").arg(topic);
        for (const QString& topic : topics)
            QVERIFY2(ids.count(topic) != 0,
                     qPrintable(QStringLiteral("no element with id \"%1\"").arg(topic)));
    }

    // F10 opens the general topic, Ctrl+F10 the page's own, F1 in the
    // simulation window its topic; each lands on a section of the page laid
    // beside the work folder's files.
    void theHelpKeysOpenTheirTopics() {
        Editor editor;
        QVERIFY(OpenWithEveryPage(editor));
        const QString helpPage = ToText(editor->workFolder() / "KDT.html");
        const auto pressed = [&](QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
            editor.script->documents.clear();
            QTest::keyClick(target, key, modifiers);
            return editor.script->documents.size() == 1 ? editor.script->documents.front()
                                                        : QStringLiteral("(none)");
        };
        QStringList opened;
        for (int page = 1; page <= kPageCount; ++page) {
            editor->ShowPage(page);
            QWidget* frame = editor->pageFrame(page);
            const QString pageTopic = pressed(frame, Qt::Key_F10, Qt::ControlModifier);
            QCOMPARE(pageTopic, helpPage + QStringLiteral("#topic%1").arg(page + 1));
            QCOMPARE(pressed(frame, Qt::Key_F10, Qt::NoModifier), helpPage + QStringLiteral("#topic1"));
            opened << pageTopic;
        }
        opened << helpPage + QStringLiteral("#topic1");

        editor->ImitacClick();
        TForm2* simulation = editor->simulationWindow();
        QVERIFY(simulation != nullptr);
        simulation->activateWindow();
        // The window manager hands the keyboard over in its own time.
        QTRY_VERIFY(simulation->isActiveWindow());
        const QString simulationTopic = pressed(simulation, Qt::Key_F1, Qt::NoModifier);
        QCOMPARE(simulationTopic, helpPage + QStringLiteral("#topic10-simulation"));
        opened << simulationTopic;

        // What was opened is the shipped page, and each anchor is in it.
        QFile laid(helpPage);
        QVERIFY(laid.open(QIODevice::ReadOnly));
        const QByteArray shipped = GuiResource(QStringLiteral("KDT.html"));
        QVERIFY(laid.readAll() == shipped);
        const std::set<QString> ids = ElementIds(shipped);
        for (const QString& document : opened)
            QVERIFY2(ids.count(AnchorOf(document)) != 0,
                     qPrintable(QStringLiteral("no section for ") + document));
    }

private:
    // Controls the user fills or chooses with: fields, number fields, lists,
    // boxes, grids, and the painted selectors that take clicks or keys.
    static bool IsInputControl(QAccessibleInterface* control) {
        switch (control->role()) {
            case QAccessible::EditableText:
            case QAccessible::SpinBox:
            case QAccessible::ComboBox:
            case QAccessible::CheckBox:
            case QAccessible::RadioButton:
            case QAccessible::Table:
            case QAccessible::List:
            case QAccessible::Tree:
            case QAccessible::Slider:
            case QAccessible::PushButton:
            case QAccessible::ButtonMenu:
                return true;
            case QAccessible::Client: {
                // A control painted by the editor itself.
                auto* widget = qobject_cast<QWidget*>(control->object());
                return widget != nullptr && widget->focusPolicy() != Qt::NoFocus;
            }
            default:
                return false;
        }
    }

    // Controls whose children are their own parts (cells, headers, the field
    // of a list), read through the control.
    static bool HasOwnParts(QAccessibleInterface* control) {
        switch (control->role()) {
            case QAccessible::Table:
            case QAccessible::List:
            case QAccessible::Tree:
            case QAccessible::ComboBox:
            case QAccessible::SpinBox:
            case QAccessible::EditableText:
            case QAccessible::ScrollBar:
                return true;
            default:
                return false;
        }
    }

    // The line edit of a combo box, the arrows of an up/down field: parts
    // of a control named as a whole.
    static bool InsideCompositeControl(QWidget* widget, QWidget* root) {
        for (QWidget* parent = widget->parentWidget(); parent != nullptr && parent != root;
             parent = parent->parentWidget()) {
            QAccessibleInterface* holder = QAccessible::queryAccessibleInterface(parent);
            if (holder == nullptr) continue;
            const QAccessible::Role role = holder->role();
            if (role == QAccessible::ComboBox || role == QAccessible::SpinBox ||
                role == QAccessible::EditableText)
                return true;
        }
        return false;
    }

    // The name a screen reader gives the control. A list box is named after
    // its current item when nothing else names it, which says nothing of
    // what the list is for: it needs a name of its own or a label.
    static QString NameOf(QAccessibleInterface* control) {
        if (control->role() == QAccessible::ComboBox) {
            auto* widget = qobject_cast<QWidget*>(control->object());
            if (widget == nullptr) return {};
            if (!widget->accessibleName().trimmed().isEmpty()) return widget->accessibleName();
            for (QLabel* label : widget->window()->findChildren<QLabel*>())
                if (label->buddy() == widget && !label->text().trimmed().isEmpty()) return label->text();
            return {};
        }
        return control->text(QAccessible::Name).trimmed();
    }
};

}  // namespace kdt::gui::test

KDT_GUI_TEST_MAIN(kdt::gui::test::EditorCommandsTest)
#include "EditorCommandsTest.moc"

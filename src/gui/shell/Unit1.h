// The main window TKDT: the one plan of the run and its project, the menus,
// tool bar and stacked page frames, the settings, and every command that
// works on the project as a whole.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>

#include "binding/PageContext.h"
#include "shell/EditingState.h"
#include "shell/Icons.h"
#include "shell/KdtSettings.h"
#include "shell/UserInteraction.h"

class QAction;
class QActionGroup;
class QMenu;
class QStackedLayout;
class QToolBar;

namespace kdt::gui {

class Page;
class TAboutBox;
class TForm3;
class TForm2;
class TPageFrame;

// The start-up request the window posts to itself when it has no file to open.
inline constexpr int kDeferredStartEvent = 1000 + 99;  // QEvent::User + 99

// The modification state of the current project, as the leave check sees it.
enum class ProjectState {
    Unchanged = 0,        // a project file holding the plan as it is
    Changed = 1,          // a project file, the plan differs
    NothingToSave = 2,    // no file, no edits
    UnsavedWork = 3,      // no file, edits made
    UnchangedImport = 4,  // a table or image, no edits
    ChangedImport = 5,    // a table or image, edits made
};

class TKDT final : public QMainWindow {
    Q_OBJECT
public:
    // interaction answers the questions; nullptr means the real dialogs.
    explicit TKDT(std::unique_ptr<UserInteraction> interaction = nullptr, QWidget* parent = nullptr);
    ~TKDT() override;

    EditingState& state() { return state_; }
    const EditingState& state() const { return state_; }
    KdtSettings& settings() { return settings_; }
    std::filesystem::path workFolder() const { return workFolder_; }
    UserInteraction& interaction() { return *interaction_; }

    // The message box operation: every question and message of the editor
    // passes here. Returns the kId of the button pressed.
    int MessageDlg(const MessageRequest& request);

    // Start-up argument, set at start and replaced by each hand-off.
    void SetStartupArgument(const std::string& argument) { startupArgument_ = argument; }
    const std::string& startupArgument() const { return startupArgument_; }
    // A path handed over by a second start (the bytes of its UTF-8 text).
    void ReceiveHandOff(const QByteArray& pathBytes);

    // File commands.
    bool FileOpen1Accept(const std::filesystem::path& path);      // true when the plan was replaced
    bool FileOpen1Execute();                                      // the open dialog; false when it cannot run
    void OpenClick();                                             // tool button "Открыть"
    void ToolButton3Click();                                      // save
    bool FileSaveAs1Accept(const std::filesystem::path& chosen);  // true when written
    void SaveAsClick();                                           // "Сохранить как..."
    void ToolButton1Click();                                      // new project
    void ClearClick();
    void ToolButton5Click();  // delete the project file
    void CloseClick();        // "Закрыть"
    void ExitClick();         // "Выход"

    // Result commands.
    void ToolButton19Click();  // compile
    void BitBtn5Click();       // start the programmer
    void AnalizClick();
    void ReportClick();  // "Отчет..." and the tool button "Печать": the report dialog
    void ImitacClick();  // "Имитация...": the simulation window
    TForm2* simulationWindow() const;

    // Undo and redo ("Отменить", "Повторить", Ctrl+Z, Ctrl+Y, tool buttons 20 and 21).
    void ToolButton20Click();
    void ToolButton21Click();

    // Project state and the questions before the plan is replaced or abandoned.
    ProjectState ModificationState() const;
    // Edits that a replaced or abandoned plan would lose.
    bool HasUnsavedWork() const;
    bool LeaveCheck();
    bool FormCloseQuery();
    void ChooseProject(const std::filesystem::path& path);  // an item of "Проекты"

    // Plan-wide procedures with their window side.
    void ResetPlan();
    void RefreshEditor();

    // Pages. A replay shows its page filled anew even when its frame holds the focus.
    void ShowPage(int number, bool refill = false);
    bool PageSwitchBegin(int number);  // false: the page holds the focus already
    void PageSwitchEnd(int number);
    TPageFrame* pageFrame(int number) const;
    Page* page(int number) const;
    PageContext& pageContext() { return context_; }

    // Settings.
    SettingsRun LoadSettings();
    SettingsRun SaveSettings();
    void ShowSettingsDialog();  // "Настройка..." (Ctrl+N): created on first use, not blocking
    TForm3* settingsDialog() const;
    TAboutBox* aboutBox() const { return aboutBox_; }

    // Enabled states of the commands and pages; also run before every event.
    void RefreshEnabledStates();
    void N3Click();             // opening "Редактор" or "Результат"
    void RebuildProjectMenu();  // opening "Проекты"

    // An exception that reached a command: asks whether to go on. Returns
    // false when the user chose to end the program.
    bool HandleException(const QString& message);

    QString captionText() const;

signals:
    // The plan was replaced or reset: pages show it anew.
    void planReplaced();
    // An edit was recorded in the journal (the simulation window closes on it).
    void planEdited();
    // Keys the window takes for the pages whichever page is in front.
    void scheduleCopyRequested();
    void colourModeRequested(int mode);  // F1..F5 give 1..5
    void autoSettingsRequested();        // F6
    void channelKeyReleased(int key);    // the colour page's keys while it is current

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PageControls {
        TPageFrame* frame = nullptr;
        Page* page = nullptr;       // nullptr while the page has no controls
        QAction* action = nullptr;  // tool button and "Работа" item
    };

    void FormCreate();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePages();
    void FileArgumentOnShow(bool realShow);
    void DeferredStart();
    bool FormKeyUp(QKeyEvent* event);
    bool TakesShortcutFirst(QKeyEvent* event);
    // Whether the focused control is a text field with a selection of its own.
    static bool FocusHoldsTextSelection();
    void DropFiles(const QStringList& paths);

    QAction* AddCommand(const QString& name, const QString& text, const QKeySequence& shortcut,
                        void (TKDT::*handler)());
    QAction* AddToolCommand(const QString& name, CommandIcon icon, std::string_view hint,
                            void (TKDT::*handler)());
    void Guarded(void (TKDT::*handler)());
    void ShowCaption();
    void TieToProject(const std::filesystem::path& path);
    void AddToProjectList(const std::filesystem::path& path);
    void RemoveFromProjectList(const std::filesystem::path& path);
    void RefreshEditorView();
    std::filesystem::path SaveDialog(const QString& title, const QString& fileName);
    bool SaveDialogAndSave(const QString& title);
    bool WriteErrorFileFor(const std::vector<std::string>& findings);
    std::filesystem::path ErrorFilePath() const;
    std::filesystem::path RomFileFor(int fileType) const;
    void StartDesktopProgram(const QStringList& candidates, const QStringList& arguments);
    void ShowHelpTopic(int topic);
    void ShowHelpAt(const QString& anchor);
    void ConnectPageContext();

    std::unique_ptr<UserInteraction> interaction_;
    EditingState state_;
    PageContext context_{state_.plan, state_.editor.addressEditor, state_.journal};
    KdtSettings settings_;
    std::filesystem::path workFolder_;
    std::string startupArgument_;
    QString saveDialogFileName_;
    QString dialogFolder_;
    bool handlerBoxOpen_ = false;
    const QKeyEvent* lastKeyRelease_ = nullptr;
    quint64 lastKeyReleaseTime_ = 0;

    QToolBar* toolBar_ = nullptr;
    QStackedLayout* pageStack_ = nullptr;
    QActionGroup* pageGroup_ = nullptr;
    std::array<PageControls, 11> pages_{};
    QMenu* projectsMenu_ = nullptr;
    QAction* currentProjectItem_ = nullptr;
    QPointer<TForm3> settingsDialog_;
    TAboutBox* aboutBox_ = nullptr;

    QAction* openItem_ = nullptr;
    QAction* closeItem_ = nullptr;
    QAction* undoItem_ = nullptr;
    QAction* redoItem_ = nullptr;
    QAction* programmerItem_ = nullptr;
    QAction* deleteButton_ = nullptr;
    QAction* undoButton_ = nullptr;
    QAction* redoButton_ = nullptr;

    // Created on first use, gone once closed.
    QPointer<TForm2> simulation_;
};

}  // namespace kdt::gui

#include "shell/Unit1.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include <QAbstractEventDispatcher>
#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSaveFile>
#include <QScreen>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "analysis/ErrorFile.h"
#include "analysis/PlanAnalysis.h"
#include "binding/Page.h"
#include "common/FileIO.h"
#include "data/LegacyImport.h"
#include "data/TextEncoding.h"
#include "pages/ColoursPage.h"
#include "pages/PageFactory.h"
#include "pages/PageFrame.h"
#include "pages/PageTable.h"
#include "pages/SchedulePage.h"
#include "report/Unit4.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomFileNames.h"
#include "shell/About.h"
#include "shell/GuiResources.h"
#include "shell/PageKeys.h"
#include "shell/QtText.h"
#include "shell/StartupArgument.h"
#include "shell/Unit3.h"
#include "simulation/Unit2.h"

namespace kdt::gui {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCaptionAtCreation = "Zudedezoded ivov (v.Norda)";
constexpr std::string_view kCaptionWorkFile = "Zudedezoded ivov (v.Norda) -рабочий файл: ";
constexpr std::string_view kNotSaved = "не сохранен";
constexpr std::string_view kLineBreak = "\n\r";

constexpr std::string_view kOpenDialogTitle = "Открытие файла СОД";
constexpr std::string_view kSaveDialogTitle = "Сохранение проекта СОД";
constexpr std::string_view kNewFileTitle = "Новый файл";
constexpr std::string_view kAnalysisCaption = "Результат анализа проекта СОД";

// The page area of the window; the tool bar and the status bar add their own height.
constexpr int kPageAreaWidth = 632;
constexpr int kPageAreaHeight = 222;

constexpr bool kPathsIgnoreCase =
#if defined(Q_OS_WIN)
    true;
#else
    false;
#endif

QString Text(std::string_view utf8) {
    return ToQString(utf8);
}

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString ShownPath(const fs::path& path) {
    return ToQString(ProjectPathText(path));
}

MessageRequest Box(MessageIcon icon, MessageButtons buttons, std::string_view caption, const QString& text) {
    MessageRequest request;
    request.icon = icon;
    request.buttons = buttons;
    request.caption = Text(caption);
    request.text = text;
    return request;
}

QStringList OpenDialogFilters() {
    // Tables and images of the DOS tool are often named in capitals; the
    // dialog's patterns are case-sensitive where the file system is.
    auto patterns = [](std::initializer_list<const char*> extensions) {
        QStringList list;
        for (const char* extension : extensions) {
            list << QStringLiteral("*.") + QLatin1String(extension);
            if (!kPathsIgnoreCase)
                list << QStringLiteral("*.") + QLatin1String(extension).toString().toUpper();
        }
        return QStringLiteral(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
    };
    return {
        Text("файлы KDT (КДТ для Windows)") + patterns({"kdt", "kdt2"}),
        Text("файлы DBF (КДТ для DOS)") + patterns({"dbf"}),
        Text("файлы HEX (Intel)") + patterns({"hex"}),
        Text("файлы BIN (двоичный)") + patterns({"bin"}),
        Text("все поддерживаемые форматы") + patterns({"kdt", "kdt2", "dbf", "hex", "bin"}),
    };
}

QStringList SaveDialogFilters() {
    return {Text("обычный KDT (*.kdt)")};
}

// Restores the process's current folder when a command ends, however it ends.
class CurrentFolderRestore {
public:
    explicit CurrentFolderRestore(fs::path folder) : folder_(std::move(folder)) {}
    ~CurrentFolderRestore() { QDir::setCurrent(PathToQString(folder_)); }
    CurrentFolderRestore(const CurrentFolderRestore&) = delete;
    CurrentFolderRestore& operator=(const CurrentFolderRestore&) = delete;

private:
    fs::path folder_;
};

// The desktop programs "Редактор..." and "Калькулятор..." stand for.
#if defined(Q_OS_WIN)
const QStringList kTextEditors = {QStringLiteral("notepad.exe")};
const QStringList kCalculators = {QStringLiteral("calc.exe")};
#else
const QStringList kTextEditors = {QStringLiteral("gnome-text-editor"),
                                  QStringLiteral("gedit"),
                                  QStringLiteral("kwrite"),
                                  QStringLiteral("kate"),
                                  QStringLiteral("mousepad"),
                                  QStringLiteral("pluma"),
                                  QStringLiteral("xed"),
                                  QStringLiteral("featherpad")};
const QStringList kCalculators = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                  QStringLiteral("mate-calc"),        QStringLiteral("galculator"),
                                  QStringLiteral("qalculate-gtk"),    QStringLiteral("xcalc")};
#endif

QString FirstInstalled(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        const QString found = QStandardPaths::findExecutable(candidate);
        if (!found.isEmpty()) return found;
    }
    return {};
}

}  // namespace

TKDT::TKDT(std::unique_ptr<UserInteraction> interaction, QWidget* parent)
    : QMainWindow(parent),
      interaction_(interaction ? std::move(interaction) : std::make_unique<UserInteraction>()) {
    setObjectName(QStringLiteral("KDT"));
    setWindowTitle(Text(kCaptionAtCreation));
    setWindowIcon(AppIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    ConnectPageContext();
    aboutBox_ = new TAboutBox(this);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePages();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);

    FormCreate();

    // The window has one size: the page area and what the frame around it needs.
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    qApp->installEventFilter(this);
    // Enabled states follow the plan before the user can see or click anything.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TKDT::RefreshEnabledStates);
}

TKDT::~TKDT() {
    // The pages go while the window they work with is whole: a field that
    // loses the focus as it is deleted may still beep or read the plan.
    qApp->removeEventFilter(this);
    delete takeCentralWidget();
}

void TKDT::ConnectPageContext() {
    context_.beep = [this] { interaction_->beep(); };
    context_.message = [this](const MessageRequest& request) { return MessageDlg(request); };
    context_.showPage = [this](int number) { ShowPage(number); };
    state_.journal.showPage = [this](int number) { ShowPage(number, true); };
    state_.journal.onRecord = [this] { emit planEdited(); };
    // The simulation shows the plan as it was; any edit ends it.
    connect(this, &TKDT::planEdited, this, [this] {
        if (simulation_) simulation_->close();
    });
}

TForm3* TKDT::settingsDialog() const {
    return settingsDialog_;
}

void TKDT::ShowSettingsDialog() {
    if (settingsDialog_ == nullptr) settingsDialog_ = new TForm3(settings_, *interaction_, this);
    settingsDialog_->show();
    settingsDialog_->raise();
    settingsDialog_->activateWindow();
}

void TKDT::FormCreate() {
    setAcceptDrops(true);
    settings_ = SettingsAtCreation();
    state_.projects.clear();
    state_.journal.Clear();
    workFolder_ = DefaultWorkFolder();
#if !defined(Q_OS_WIN)
    // Elsewhere no installer lays out the work folder; the error file and the
    // default project and image folders live in it.
    QDir().mkdir(PathToQString(workFolder_));
#endif
    LoadSettings();
    dialogFolder_ = settings_.projectFolder;
    ResetPlan();
    state_.journal.Clear();
    N3Click();
    RefreshEnabledStates();
}

// ---------------------------------------------------------------- building

QAction* TKDT::AddCommand(const QString& name, const QString& text, const QKeySequence& shortcut,
                          void (TKDT::*handler)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The window's commands come before any field's own use of the keys.
        action->setShortcutContext(Qt::WindowShortcut);
    }
    if (handler != nullptr) connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    return action;
}

QAction* TKDT::AddToolCommand(const QString& name, CommandIcon icon, std::string_view hint,
                              void (TKDT::*handler)()) {
    QAction* action = AddCommand(name, Text(HintShortPart(hint)), QKeySequence(), handler);
    action->setIcon(IconFor(icon));
    action->setToolTip(Text(HintShortPart(hint)));
    action->setStatusTip(Text(HintLongPart(hint)));
    return action;
}

void TKDT::CreateActions() {
    pageGroup_ = new QActionGroup(this);
    pageGroup_->setExclusive(true);
    for (const PageInfo& page : kPages) {
        QAction* action = AddCommand(QStringLiteral("PageAction%1").arg(page.number), Text(page.menuText),
                                     QKeySequence(), nullptr);
        action->setCheckable(true);
        action->setIcon(PageIcon(page.number));
        action->setToolTip(Text(HintShortPart(page.hint)));
        action->setStatusTip(Text(HintLongPart(page.hint)));
        action->setActionGroup(pageGroup_);
        const int number = page.number;
        connect(action, &QAction::triggered, this, [this, number] {
            try {
                ShowPage(number);
            } catch (const std::exception& error) {
                HandleException(ToQString(error.what()));
            }
        });
        pages_[static_cast<std::size_t>(page.number - 1)].action = action;
    }
}

void TKDT::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(Text("Файл"));
    file->setObjectName(QStringLiteral("FileMenu"));
    // The first letter of this caption is a Latin "O", as the system has always had it.
    openItem_ = AddCommand(QStringLiteral("FileOpen1"), Text("Oткрыть..."),
                           QKeySequence(QStringLiteral("Ctrl+O")), nullptr);
    connect(openItem_, &QAction::triggered, this, [this] {
        try {
            FileOpen1Execute();
        } catch (const std::exception& error) {
            HandleException(ToQString(error.what()));
        }
        RefreshEnabledStates();
    });
    file->addAction(openItem_);
    file->addAction(AddCommand(QStringLiteral("FileSaveAs1"), Text("Сохранить как..."),
                               QKeySequence(QStringLiteral("Ctrl+S")), &TKDT::SaveAsClick));
    file->addAction(AddCommand(QStringLiteral("ClearItem"), Text("Очистить"),
                               QKeySequence(QStringLiteral("Ctrl+D")), &TKDT::ClearClick));
    closeItem_ = AddCommand(QStringLiteral("CloseItem"), Text("Закрыть"), QKeySequence(), &TKDT::CloseClick);
    file->addAction(closeItem_);
    file->addSeparator();
    file->addAction(AddCommand(QStringLiteral("ExitItem"), Text("Выход"),
                               QKeySequence(QStringLiteral("Ctrl+X")), &TKDT::ExitClick));

    QMenu* edit = bar->addMenu(Text("Редактор"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    connect(edit, &QMenu::aboutToShow, this, &TKDT::N3Click);
    undoItem_ = AddCommand(QStringLiteral("UndoItem"), Text("Отменить"),
                           QKeySequence(QStringLiteral("Ctrl+Z")), &TKDT::ToolButton20Click);
    redoItem_ = AddCommand(QStringLiteral("RedoItem"), Text("Повторить"),
                           QKeySequence(QStringLiteral("Ctrl+Y")), &TKDT::ToolButton21Click);
    undoItem_->setEnabled(false);
    redoItem_->setEnabled(false);
    edit->addAction(undoItem_);
    edit->addAction(redoItem_);
    // "Вставить" is a hidden item: it holds Ctrl+V so that no field ever pastes.
    QAction* paste = AddCommand(QStringLiteral("PasteItem"), Text("Вставить"),
                                QKeySequence(QStringLiteral("Ctrl+V")), nullptr);
    addAction(paste);
    // Ctrl+C copies a day of the schedule whichever page is in front. A
    // shortcut, not a key compared with the Latin C, so a Russian layout
    // works too; a field holding a text selection keeps its own copy.
    QAction* scheduleCopy = AddCommand(QStringLiteral("ScheduleCopyItem"), Text("Копировать"),
                                       QKeySequence(QStringLiteral("Ctrl+C")), nullptr);
    connect(scheduleCopy, &QAction::triggered, this, [this] {
        if (FocusHoldsTextSelection()) return;
        try {
            emit scheduleCopyRequested();
        } catch (const std::exception& error) {
            HandleException(ToQString(error.what()));
        }
        RefreshEnabledStates();
    });
    addAction(scheduleCopy);

    QMenu* pagesMenu = bar->addMenu(Text("Работа"));
    pagesMenu->setObjectName(QStringLiteral("PagesMenu"));
    for (const int number : kPagesMenuOrder) {
        pagesMenu->addAction(pages_[static_cast<std::size_t>(number - 1)].action);
        if (number == kPagesMenuSeparatorAfter) pagesMenu->addSeparator();
    }

    QMenu* result = bar->addMenu(Text("Результат"));
    result->setObjectName(QStringLiteral("ResultMenu"));
    connect(result, &QMenu::aboutToShow, this, &TKDT::N3Click);
    result->addAction(AddCommand(QStringLiteral("AnalysisItem"), Text("Анализ СОД"),
                                 QKeySequence(QStringLiteral("Ctrl+A")), &TKDT::AnalizClick));
    result->addAction(AddCommand(QStringLiteral("SimulationItem"), Text("Имитация..."),
                                 QKeySequence(QStringLiteral("Ctrl+I")), &TKDT::ImitacClick));
    result->addAction(AddCommand(QStringLiteral("CompileItem"), Text("Компиляция"),
                                 QKeySequence(QStringLiteral("Ctrl+K")), &TKDT::ToolButton19Click));
    programmerItem_ = AddCommand(QStringLiteral("ProgrammerItem"), Text("Программатор..."), QKeySequence(),
                                 &TKDT::BitBtn5Click);
    result->addAction(programmerItem_);
    result->addAction(
        AddCommand(QStringLiteral("ReportItem"), Text("Отчет..."), QKeySequence(), &TKDT::ReportClick));

    QMenu* service = bar->addMenu(Text("Сервис"));
    service->setObjectName(QStringLiteral("ServiceMenu"));
    service->addAction(AddCommand(QStringLiteral("SettingsItem"), Text("Настройка..."),
                                  QKeySequence(QStringLiteral("Ctrl+N")), &TKDT::ShowSettingsDialog));
    QAction* system = AddCommand(QStringLiteral("SystemPropertiesItem"), Text("Свойства системы..."),
                                 QKeySequence(), nullptr);
    connect(system, &QAction::triggered, this, [this] {
        interaction_->startProgram(QStringLiteral("control.exe"), {QStringLiteral("sysdm.cpl")}, {});
    });
    service->addAction(system);
    QAction* editor = AddCommand(QStringLiteral("EditorItem"), Text("Редактор..."),
                                 QKeySequence(QStringLiteral("Ctrl+F8")), nullptr);
    connect(editor, &QAction::triggered, this, [this] { StartDesktopProgram(kTextEditors, {}); });
    service->addAction(editor);
    QAction* calculator = AddCommand(QStringLiteral("CalculatorItem"), Text("Калькулятор..."),
                                     QKeySequence(QStringLiteral("Ctrl+F9")), nullptr);
    connect(calculator, &QAction::triggered, this, [this] { StartDesktopProgram(kCalculators, {}); });
    service->addAction(calculator);
#if !defined(Q_OS_WIN)
    // No counterpart of the system properties here; the others only when installed.
    system->setVisible(false);
    editor->setVisible(!FirstInstalled(kTextEditors).isEmpty());
    calculator->setVisible(!FirstInstalled(kCalculators).isEmpty());
#endif

    projectsMenu_ = bar->addMenu(Text("Проекты"));
    projectsMenu_->setObjectName(QStringLiteral("ProjectsMenu"));
    currentProjectItem_ =
        AddCommand(QStringLiteral("CurrentProjectItem"), Text("текущий"), QKeySequence(), nullptr);
    QFont bold = currentProjectItem_->font();
    bold.setBold(true);
    currentProjectItem_->setFont(bold);
    currentProjectItem_->setStatusTip(Text("Текущий проект"));
    projectsMenu_->addAction(currentProjectItem_);
    connect(projectsMenu_, &QMenu::aboutToShow, this, &TKDT::RebuildProjectMenu);

    QMenu* help = bar->addMenu(Text("Помощь"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    QAction* helpItem =
        AddCommand(QStringLiteral("HelpItem"), Text("Help"), QKeySequence(QStringLiteral("F10")), nullptr);
    connect(helpItem, &QAction::triggered, this, [this] { ShowHelpTopic(1); });
    help->addAction(helpItem);
    QAction* about = AddCommand(QStringLiteral("AboutItem"), Text("О программе"), QKeySequence(), nullptr);
    connect(about, &QAction::triggered, this, [this] { aboutBox_->Open(); });
    help->addAction(about);
    // "ss" is a hidden item: help on the page in front.
    QAction* pageHelp = AddCommand(QStringLiteral("PageHelpItem"), Text("ss"),
                                   QKeySequence(QStringLiteral("Ctrl+F10")), nullptr);
    connect(pageHelp, &QAction::triggered, this, [this] { ShowHelpTopic(state_.currentPage + 1); });
    addAction(pageHelp);
}

void TKDT::CreateToolBar() {
    toolBar_ = addToolBar(Text("Панель инструментов"));
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar_->toggleViewAction()->setEnabled(false);

    auto add = [this](QAction* action) {
        toolBar_->addAction(action);
        if (QWidget* button = toolBar_->widgetForAction(action)) button->setObjectName(action->objectName());
        return action;
    };
    add(AddToolCommand(QStringLiteral("ToolButton1"), CommandIcon::New, "Новый|Создать новый проект СОД",
                       &TKDT::ToolButton1Click));
    add(AddToolCommand(QStringLiteral("OpenToolButton"), CommandIcon::Open, "Открыть|Открыть проект СОД",
                       &TKDT::OpenClick));
    add(AddToolCommand(QStringLiteral("ToolButton3"), CommandIcon::Save,
                       "Сохранить|Сохранить текущий проект СОД", &TKDT::ToolButton3Click));
    deleteButton_ = add(AddToolCommand(QStringLiteral("ToolButton5"), CommandIcon::Delete,
                                       "Удалить|Удалить файл СОД", &TKDT::ToolButton5Click));
    toolBar_->addSeparator();
    add(AddToolCommand(QStringLiteral("SimulationToolButton"), CommandIcon::Simulation,
                       "Имитация|Имитация работы контроллера", &TKDT::ImitacClick));
    add(AddToolCommand(QStringLiteral("ToolButton19"), CommandIcon::Compile,
                       "Компиляция|Создание файла для записи в ПЗУ", &TKDT::ToolButton19Click));
    add(AddToolCommand(QStringLiteral("AnalysisToolButton"), CommandIcon::Analysis,
                       "Анализ|Анализ проекта СОД, поиск ошибок", &TKDT::AnalizClick));
    add(AddToolCommand(QStringLiteral("PrintToolButton"), CommandIcon::Print, "Печать|Печать файла СОД",
                       &TKDT::ReportClick));
    toolBar_->addSeparator();
    for (const PageControls& page : pages_) {
        toolBar_->addAction(page.action);
        if (QWidget* button = toolBar_->widgetForAction(page.action))
            button->setObjectName(QStringLiteral("PageToolButton%1").arg(page.action->objectName().mid(10)));
    }
    toolBar_->addSeparator();
    undoButton_ = add(AddToolCommand(QStringLiteral("ToolButton20"), CommandIcon::Undo,
                                     "Отменить|Отменить последнию операцию", &TKDT::ToolButton20Click));
    redoButton_ =
        add(AddToolCommand(QStringLiteral("ToolButton21"), CommandIcon::Redo,
                           "Повторить|Повторить последнию отмененную операцию", &TKDT::ToolButton21Click));
    undoButton_->setEnabled(false);
    redoButton_->setEnabled(false);
}

void TKDT::CreatePages() {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("PageArea"));
    area->setFixedSize(kPageAreaWidth, kPageAreaHeight);
    // The pages were laid out for a small dialog font; the desktop's default
    // would not fit the fixed page area.
    QFont pageFont = area->font();
    pageFont.setPointSizeF(std::min(pageFont.pointSizeF(), 8.0));
    area->setFont(pageFont);
    pageStack_ = new QStackedLayout(area);
    pageStack_->setContentsMargins(2, 0, 2, 2);
    for (const PageInfo& info : kPages) {
        auto* frame = new TPageFrame(info.number, Text(info.caption), area);
        pageStack_->addWidget(frame);
        PageControls& controls = pages_[static_cast<std::size_t>(info.number - 1)];
        controls.frame = frame;
        controls.page = CreatePage(info.number, context_, frame);
        if (controls.page != nullptr) {
            auto* layout = new QVBoxLayout(frame);
            layout->setContentsMargins(2, 2, 2, 2);
            layout->addWidget(controls.page);
        }
    }
    setCentralWidget(area);
    // The keys the window takes for the colours page, whichever page is in front.
    if (auto* colours = qobject_cast<ColoursPage*>(page(2))) {
        connect(this, &TKDT::colourModeRequested, colours, &ColoursPage::SpeedButton1Click);
        connect(this, &TKDT::autoSettingsRequested, colours, &ColoursPage::BitBtn1Click);
        connect(this, &TKDT::channelKeyReleased, colours, &ColoursPage::ChannelKeyReleased);
    }
    if (auto* schedule = qobject_cast<SchedulePage*>(page(7)))
        connect(this, &TKDT::scheduleCopyRequested, schedule, &SchedulePage::CopyRequested);
    const FillGuard guard(state_.journal);
    context_.ForEachPage([](Page& page) { page.ApplyRomType(); });
}

// ---------------------------------------------------------------- messages

int TKDT::MessageDlg(const MessageRequest& request) {
    return interaction_->showMessage(this, request);
}

bool TKDT::HandleException(const QString& message) {
    if (handlerBoxOpen_) return true;
    handlerBoxOpen_ = true;
    MessageRequest request = Box(MessageIcon::Error, MessageButtons::YesNo, "Продолжить работу?",
                                 Text("Обнаружена непредвиденная ошибка") + Text(kLineBreak) + message);
    request.blocksEverything = true;
    const int answer = MessageDlg(request);
    handlerBoxOpen_ = false;
    if (answer == kIdNo) {
        // Ends the run at once: no leave check, no settings saved.
        QCoreApplication::exit(0);
        return false;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        active->raise();
        active->activateWindow();
    }
    return true;
}

void TKDT::Guarded(void (TKDT::*handler)()) {
    try {
        (this->*handler)();
    } catch (const std::exception& error) {
        HandleException(ToQString(error.what()));
    }
    RefreshEnabledStates();
}

// ---------------------------------------------------------------- caption and project list

QString TKDT::captionText() const {
    const QString file = state_.currentPath.empty() ? Text(kNotSaved) : ShownPath(state_.currentPath);
    return Text(kCaptionWorkFile) + Quoted(file);
}

void TKDT::ShowCaption() {
    setWindowTitle(captionText());
}

void TKDT::TieToProject(const fs::path& path) {
    state_.currentPath = path;
    ShowCaption();
}

void TKDT::AddToProjectList(const fs::path& path) {
    auto& list = state_.projects;
    if (std::none_of(list.begin(), list.end(),
                     [&](const fs::path& entry) { return SameProject(entry, path); }))
        list.insert(list.begin(), path);
}

void TKDT::RemoveFromProjectList(const fs::path& path) {
    if (path.empty()) return;
    std::erase_if(state_.projects, [&](const fs::path& entry) { return SameProject(entry, path); });
}

// ---------------------------------------------------------------- plan-wide procedures

void TKDT::ResetPlan() {
    kdt::ResetPlan(state_.plan, static_cast<std::uint8_t>(settings_.defaultRom), settings_.defaultSpeed);
    context_.ForEachPage([](Page& page) { page.SelectionsReset(); });
    state_.TakeBaseline();
    state_.currentPath.clear();
    ShowCaption();
}

void TKDT::RefreshEditor() {
    RefreshEditorRecord(state_.plan, state_.editor.addressEditor);
    RefreshEditorView();
}

void TKDT::RefreshEditorView() {
    context_.setRefreshing(true);
    {
        // The ROM type of the new plan sets limits, lists and enabled states
        // only: nothing of the previous plan's pages is written into this one.
        const FillGuard guard(state_.journal);
        context_.ForEachPage([](Page& page) { page.ApplyRomType(); });
        context_.ForEachPage([](Page& page) { page.PlanReplaced(); });
    }
    pages_[0].action->setChecked(true);
    ShowPage(1, true);
    state_.journal.Clear();
    context_.setRefreshing(false);
    state_.TakeBaseline();
    emit planReplaced();
    RefreshEnabledStates();
}

// ---------------------------------------------------------------- pages

TPageFrame* TKDT::pageFrame(int number) const {
    if (number < 1 || number > kPageCount) return nullptr;
    return pages_[static_cast<std::size_t>(number - 1)].frame;
}

Page* TKDT::page(int number) const {
    if (number < 1 || number > kPageCount) return nullptr;
    return pages_[static_cast<std::size_t>(number - 1)].page;
}

bool TKDT::PageSwitchBegin(int number) {
    const PageControls& page = pages_[static_cast<std::size_t>(number - 1)];
    page.action->setChecked(true);
    return !page.frame->hasFocus();
}

void TKDT::PageSwitchEnd(int number) {
    const PageControls& page = pages_[static_cast<std::size_t>(number - 1)];
    pageStack_->setCurrentWidget(page.frame);
    page.frame->setFocus();
    state_.currentPage = number;
}

void TKDT::ShowPage(int number, bool refill) {
    if (number < 1 || number > kPageCount) return;
    // The parameters page is shown after every replaced plan and runs only the end.
    if (number != 1 && !PageSwitchBegin(number) && !refill) return;
    if (const Page* shown = page(number); shown != nullptr && !shown->CanBeShown()) {
        // The page in front stays, its button pressed again; nothing was
        // filled, so nothing is left suppressed.
        if (state_.currentPage >= 1)
            pages_[static_cast<std::size_t>(state_.currentPage - 1)].action->setChecked(true);
        return;
    }
    if (Page* shown = page(number)) {
        // Filling records nothing and stores nothing, however the fill ends.
        const FillGuard guard(state_.journal);
        shown->Fill();
    }
    PageSwitchEnd(number);
}

// ---------------------------------------------------------------- enabled states

void TKDT::RefreshEnabledStates() {
    const bool anyProject = !state_.projects.empty();
    deleteButton_->setEnabled(anyProject);
    projectsMenu_->menuAction()->setEnabled(anyProject);
    closeItem_->setEnabled(anyProject);
    for (const PageInfo& page : kPages)
        pages_[static_cast<std::size_t>(page.number - 1)].action->setEnabled(
            PageEnabled(page.number, state_.plan));
    undoButton_->setEnabled(!state_.journal.undoList().empty());
    redoButton_->setEnabled(!state_.journal.redoList().empty());
    context_.ForEachPage([](Page& page) { page.RefreshEnabledStates(); });
}

void TKDT::N3Click() {
    RefreshEnabledStates();
    programmerItem_->setEnabled(QFileInfo(settings_.programmerPath).isFile());
    undoItem_->setEnabled(undoButton_->isEnabled());
    redoItem_->setEnabled(redoButton_->isEnabled());
    undoItem_->setText(ToQString(state_.journal.UndoCaption()));
    redoItem_->setText(ToQString(state_.journal.RedoCaption()));
}

// ---------------------------------------------------------------- undo and redo

void TKDT::ToolButton20Click() {
    state_.journal.Undo();
}

void TKDT::ToolButton21Click() {
    state_.journal.Redo();
}

void TKDT::RebuildProjectMenu() {
    const QList<QAction*> items = projectsMenu_->actions();
    for (QAction* item : items)
        if (item != currentProjectItem_) {
            projectsMenu_->removeAction(item);
            item->deleteLater();
        }
    currentProjectItem_->setText(ShownPath(state_.currentPath));
    for (const fs::path& project : state_.projects) {
        if (project == state_.currentPath) continue;
        auto* item = new QAction(ShownPath(project), projectsMenu_);
        item->setObjectName(QStringLiteral("ProjectItem"));
        connect(item, &QAction::triggered, this, [this, project] {
            try {
                ChooseProject(project);
            } catch (const std::exception& error) {
                HandleException(ToQString(error.what()));
            }
            RefreshEnabledStates();
        });
        projectsMenu_->addAction(item);
    }
}

void TKDT::ChooseProject(const fs::path& path) {
    if (!LeaveCheck()) return;
    auto& list = state_.projects;
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const fs::path& entry) { return SameProject(entry, path); });
    if (found != list.begin()) {
        if (found != list.end()) list.erase(found);
        list.insert(list.begin(), path);
    }
    FileOpen1Accept(path);
}

// ---------------------------------------------------------------- settings

SettingsRun TKDT::LoadSettings() {
    return LoadOrSaveSettings(settings_, SettingsDirection::Load, QCoreApplication::applicationFilePath());
}

SettingsRun TKDT::SaveSettings() {
    return LoadOrSaveSettings(settings_, SettingsDirection::Save, QCoreApplication::applicationFilePath());
}

// ---------------------------------------------------------------- dialogs

fs::path TKDT::SaveDialog(const QString& title, const QString& fileName) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = title;
    request.filters = SaveDialogFilters();
    request.startFolder = dialogFolder_;
    request.fileName = fileName;
    request.defaultSuffix = QStringLiteral("kdt");
    const QStringList chosen = interaction_->chooseFiles(this, request);
    if (chosen.isEmpty() || chosen.first().isEmpty()) return {};
    saveDialogFileName_ = chosen.first();
    return QStringToPath(chosen.first());
}

bool TKDT::SaveDialogAndSave(const QString& title) {
    const fs::path chosen = SaveDialog(title, saveDialogFileName_);
    return !chosen.empty() && FileSaveAs1Accept(chosen);
}

// ---------------------------------------------------------------- file commands

bool TKDT::FileOpen1Execute() {
    if (!openItem_->isEnabled()) return false;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.title = Text(kOpenDialogTitle);
    request.filters = OpenDialogFilters();
    request.startFolder = dialogFolder_;
    request.several = true;
    const QStringList chosen = interaction_->chooseFiles(this, request);
    // Several files may be chosen; the first one is opened, unless the user
    // keeps the plan with unsaved edits in the leave check.
    if (chosen.isEmpty() || (HasUnsavedWork() && !LeaveCheck())) return true;
    FileOpen1Accept(QStringToPath(chosen.first()));
    return true;
}

void TKDT::OpenClick() {
    NormalisePlan(state_.plan, state_.editor.addressEditor.value);
    FileOpen1Execute();
}

bool TKDT::FileOpen1Accept(const fs::path& chosen) {
    state_.currentPage = 1;
    const fs::path path = ProjectPath(chosen);
    const std::string extension = LowerCaseExtension(path);
    const OpenPlanResult opened =
        OpenPlanFile(path, state_.plan, state_.editor, OldLayoutHandling::RewriteFile);
    if (!opened.ok()) {
        // A project file that cannot be opened or is empty, and an image
        // that cannot be read at all, end the command without a word, as they
        // always have. A project file too short to be one is said to be so.
        std::error_code status;
        const bool nonEmptyFile =
            fs::is_regular_file(path, status) && fs::file_size(path, status) > 0 && !status;
        if ((extension == ".kdt" || extension == ".kdt2") && nonEmptyFile) {
            MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка", ToQString(opened.error)));
        } else if (extension == ".dbf") {
            if (opened.failure == OpenFailure::Refused)
                MessageDlg(
                    Box(MessageIcon::Warning, MessageButtons::Ok, "Предупреждение", ToQString(opened.error)));
            else
                MessageDlg(
                    Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка СОД", ToQString(opened.error)));
        } else if (extension == ".hex" || extension == ".bin") {
            if (opened.failure == OpenFailure::NoPlan)
                MessageDlg(Box(MessageIcon::Information, MessageButtons::Ok, "Информация",
                               ToQString(kNoPlanInImageMessage)));
        } else if (extension != ".kdt" && extension != ".kdt2") {
            MessageDlg(Box(MessageIcon::Information, MessageButtons::Ok, "Информация",
                           ToQString(kNotImplementedMessage)));
        }
        return false;
    }
    if (!opened.importStopMessage.empty())
        MessageDlg(
            Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка СОД", ToQString(opened.importStopMessage)));
    if (!opened.warning.empty())
        MessageDlg(
            Box(MessageIcon::Warning, MessageButtons::Ok, "Предупреждение", ToQString(opened.warning)));

    RefreshEditorView();
    const fs::path project = ProjectPath(opened.path);
    TieToProject(project);
    AddToProjectList(project);
    RefreshEnabledStates();
    return true;
}

void TKDT::ToolButton3Click() {
    saveDialogFileName_ = PathToQString(state_.currentPath);
    NormalisePlan(state_.plan, state_.editor.addressEditor.value);
    const std::string path = PathToUtf8(state_.currentPath);
    if (!PassesExtensionTest(path, kProjectExtensionList))
        LeaveCheck();  // a table or an image: offers to save it as a project
    else if (!path.empty())
        FileSaveAs1Accept(state_.currentPath);
    else
        SaveDialogAndSave(Text(kSaveDialogTitle));
}

bool TKDT::FileSaveAs1Accept(const fs::path& chosen) {
    const fs::path previous = state_.currentPath;
    const SavePlanResult saved = SavePlanAs(ProjectPath(chosen), state_.plan, state_.editor.addressEditor);
    if (!saved.ok()) {
        // Said out loud: otherwise the user would take the plan for saved.
        MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка", ToQString(saved.error)));
        return false;
    }
    state_.TakeBaseline();
    const fs::path written = ProjectPath(saved.written);
    saveDialogFileName_ = PathToQString(written);
    RemoveFromProjectList(previous);
    TieToProject(written);
    AddToProjectList(written);
    return true;
}

void TKDT::SaveAsClick() {
    dialogFolder_ = settings_.projectFolder;
    SaveDialogAndSave(Text(kSaveDialogTitle));
}

void TKDT::ToolButton1Click() {
    // With unsaved edits the answer counts; otherwise the check asks nothing.
    if (HasUnsavedWork()) {
        if (!LeaveCheck()) return;
    } else if (!state_.projects.empty()) {
        LeaveCheck();
    }

    const QDir folder(settings_.projectFolder);
    QString proposed = folder.filePath(QStringLiteral("NewSOD"));
    for (int i = 1; i <= 65536; ++i) {
        const QString candidate = folder.filePath(QStringLiteral("NewSOD%1.kdt").arg(i));
        if (!QFileInfo::exists(candidate)) {
            proposed = candidate;
            break;
        }
    }
    const fs::path chosen = SaveDialog(Text(kNewFileTitle), proposed);
    if (chosen.empty()) return;

    // The new plan replaces the old one only once it is on disk.
    TSignalPlan plan = state_.plan;
    NetworkAddressEditor addressEditor = state_.editor.addressEditor;
    const SavePlanResult saved =
        CreateNewProject(ProjectPath(chosen), plan, addressEditor,
                         static_cast<std::uint8_t>(settings_.defaultRom), settings_.defaultSpeed);
    if (!saved.ok()) {
        MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка", ToQString(saved.error)));
        return;
    }
    state_.plan = plan;
    state_.editor.addressEditor = addressEditor;
    context_.ForEachPage([](Page& page) { page.SelectionsReset(); });
    const fs::path written = ProjectPath(saved.written);
    saveDialogFileName_ = PathToQString(written);
    RefreshEditorView();
    TieToProject(written);
    AddToProjectList(written);
}

void TKDT::ClearClick() {
    const int answer = MessageDlg(Box(MessageIcon::Warning, MessageButtons::YesNo, "Подтверждение",
                                      Text("Вы уверены что хотите очистить файл СОД ?")));
    if (answer == kIdNo) return;
    ResetPlan();
    RefreshEditor();
}

void TKDT::ToolButton5Click() {
    MessageRequest question =
        Box(MessageIcon::Question, MessageButtons::YesNo, "Удаление файла KDT",
            Text("Удалить файл : ") + Quoted(ShownPath(state_.currentPath)) + Text(" ?"));
    question.defaultButton = kIdNo;
    if (MessageDlg(question) != kIdYes) return;

    std::error_code error;
    if (!state_.currentPath.empty() && fs::exists(state_.currentPath, error) &&
        !fs::remove(state_.currentPath, error)) {
        MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка",
                       Text("Не удалось удалить файл ") + Quoted(ShownPath(state_.currentPath)) +
                           Text(kLineBreak) + ToQString(error.message())));
        return;
    }
    RemoveFromProjectList(state_.currentPath);
    if (!state_.projects.empty()) {
        FileOpen1Accept(state_.projects.front());
    } else {
        ResetPlan();
        RefreshEditor();
    }
}

void TKDT::CloseClick() {
    if (!LeaveCheck()) return;
    RemoveFromProjectList(state_.currentPath);
    if (state_.projects.empty()) {
        ResetPlan();
        RefreshEditor();
    } else {
        FileOpen1Accept(state_.projects.front());
    }
}

void TKDT::ExitClick() {
    // Ends at once, settings unsaved, as always; but never over unsaved edits without asking.
    if (HasUnsavedWork() && !LeaveCheck()) return;
    interaction_->endProgram();
}

// ---------------------------------------------------------------- leaving a project

ProjectState TKDT::ModificationState() const {
    const fs::path& path = state_.currentPath;
    std::error_code error;
    const bool exists = !path.empty() && fs::exists(path, error);
    // Edits that record no journal entry count as much as those that do.
    const bool journalsEmpty = state_.journal.empty() && !state_.planModified();
    if (!exists) return journalsEmpty ? ProjectState::NothingToSave : ProjectState::UnsavedWork;
    if (!PassesExtensionTest(PathToUtf8(path), kProjectExtensionList))
        return journalsEmpty ? ProjectState::UnchangedImport : ProjectState::ChangedImport;
    const FileReadResult file = ReadFileBytes(path, kSignalPlanSize);
    if (!file.ok()) return ProjectState::Changed;
    const auto record = RecordBytes(state_.plan);
    return std::memcmp(file.bytes.data(), record.data(), file.bytes.size()) == 0 ? ProjectState::Unchanged
                                                                                 : ProjectState::Changed;
}

bool TKDT::HasUnsavedWork() const {
    const ProjectState state = ModificationState();
    return state == ProjectState::Changed || state == ProjectState::UnsavedWork ||
           state == ProjectState::ChangedImport;
}

bool TKDT::LeaveCheck() {
    NormalisePlan(state_.plan, state_.editor.addressEditor.value);
    saveDialogFileName_ = PathToQString(state_.currentPath);
    const QString path = Quoted(ShownPath(state_.currentPath));
    const QString lineBreak = Text(kLineBreak);
    switch (ModificationState()) {
        case ProjectState::Unchanged:
        case ProjectState::NothingToSave:
        case ProjectState::UnchangedImport:
            return true;
        case ProjectState::Changed: {
            const int answer =
                MessageDlg(Box(MessageIcon::Question, MessageButtons::YesNo, "Сохранение проекта СОД",
                               Text("Сохранить изменения в текущем проекте : ") + path + Text(" ?") +
                                   lineBreak + Text("В случае отказа, изменения будут потеряны!")));
            // A save that failed keeps the plan here, so it is not lost unseen.
            return answer != kIdYes || FileSaveAs1Accept(state_.currentPath);
        }
        case ProjectState::UnsavedWork: {
            const int answer =
                MessageDlg(Box(MessageIcon::Question, MessageButtons::YesNo, "Сохранение проекта СОД",
                               Text("Проект не сохранен на диске.") + lineBreak + Text("Сохранить проект ") +
                                   path + Text("?")));
            if (answer != kIdYes) return true;
            dialogFolder_ = settings_.projectFolder;
            const fs::path chosen = SaveDialog(Text(kSaveDialogTitle), saveDialogFileName_);
            return chosen.empty() || FileSaveAs1Accept(chosen);
        }
        case ProjectState::ChangedImport: {
            const int answer =
                MessageDlg(Box(MessageIcon::Question, MessageButtons::YesNoCancel, "Изменение типа файла",
                               Text("Сохранить текущий проект в формате KDT : ") + path + Text(" ?") +
                                   lineBreak + Text("В случае отказа, сделаные изменения будут потеряны!")));
            if (answer == kIdCancel) return false;
            if (answer == kIdNo) return true;
            dialogFolder_ = settings_.projectFolder;
            const fs::path chosen = SaveDialog(Text(kSaveDialogTitle), saveDialogFileName_);
            return chosen.empty() || FileSaveAs1Accept(chosen);
        }
    }
    return true;
}

bool TKDT::FormCloseQuery() {
    SaveSettings();
    try {
        bool allowed = LeaveCheck();
        auto& list = state_.projects;
        while (allowed && !list.empty()) {
            list.erase(list.begin());
            if (list.empty()) break;
            FileOpen1Accept(list.front());
            allowed = LeaveCheck();
        }
        return allowed;
    } catch (const std::exception&) {
        return true;  // nothing may keep the window from closing
    }
}

void TKDT::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
    RefreshEnabledStates();
}

// ---------------------------------------------------------------- compile, programmer, analysis

fs::path TKDT::ErrorFilePath() const {
    return workFolder_ / kErrorFileName;
}

bool TKDT::WriteErrorFileFor(const std::vector<std::string>& findings) {
    const fs::path file = ErrorFilePath();
    const Outcome written = WriteErrorFile(file, ErrorFileLines(state_.plan, file, findings));
    // The analysis has no message of its own for this: it goes to the general handler.
    if (!written.ok()) throw std::runtime_error(written.error);
    return true;
}

fs::path TKDT::RomFileFor(int fileType) const {
    return RomFilePath(PathToUtf8(state_.currentPath), QStringToPath(settings_.romFolder),
                       fileType == 1 ? RomFileType::Bin : RomFileType::Hex);
}

void TKDT::ToolButton19Click() {
    if (settings_.showErrors != 0) {
        const AnalysisResult analysis = AnalizSOD(state_.plan, 0);
        if (!analysis.clean) {
            WriteErrorFileFor(analysis.findings);
            MessageRequest question =
                Box(MessageIcon::Error, MessageButtons::OkCancel, kAnalysisCaption,
                    Text("В проекте были найдены ошибки\n\r\"OK\" - не компилировать, посмотреть ошибки\n\r"
                         "\"Отмена\" - всё равно продолжить компиляцию"));
            question.defaultButton = kIdCancel;
            if (MessageDlg(question) == kIdOk) {
                interaction_->openDocument(PathToQString(ErrorFilePath()));
                MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка",
                               Text("Компиляция была прервана пользователем")));
                return;
            }
        }
    }
    if (state_.currentPath.empty()) {
        MessageDlg(Box(MessageIcon::Information, MessageButtons::Ok, "Предуприждение",
                       Text("Требуется сохранить файл!")));
        if (!SaveDialogAndSave(Text(kNewFileTitle))) return;
    }

    const CurrentFolderRestore restore(workFolder_);
    const int fileType = settings_.fileType;
    const fs::path romFile = RomFileFor(fileType);
    std::error_code ignored;
    fs::create_directories(romFile.parent_path(), ignored);
    RomFileResult written;
    written.error = "unknown file type";
    if (fileType == 0 || fileType == 1) {
        // The writer replaces an earlier file in one step, also when it was
        // marked read-only, and follows a link to the file it names.
        written = fileType == 0 ? WriteHexFile(state_.plan, romFile) : WriteBinFile(state_.plan, romFile);
        // No earlier image may stay behind for the programmer once this one failed.
        if (!written.ok() && fs::is_regular_file(fs::symlink_status(romFile, ignored)))
            fs::remove(romFile, ignored);
    }
    if (written.ok() && fs::exists(romFile, ignored)) {
        MessageDlg(Box(MessageIcon::Information, MessageButtons::Ok, "Компиляция",
                       Text("Файл для программатора ") + Quoted(PathToQString(romFile))));
        // The image is written all the same, but records after the
        // coordinator block were overwritten: the user must know.
        if (!written.warning.empty())
            MessageDlg(
                Box(MessageIcon::Warning, MessageButtons::Ok, "Предупреждение", ToQString(written.warning)));
    } else {
        MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка",
                       Text("Не удалось сформировать файл для программатора")));
    }
}

void TKDT::BitBtn5Click() {
    const fs::path romFile = RomFileFor(settings_.fileType);
    std::error_code ignored;
    if (!fs::exists(romFile, ignored)) {
        MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, "Ошибка",
                       Text("Не удалось найти файл для программатора\n\r") + PathToQString(romFile)));
        return;
    }
    const QString parameters = ToQString(ProgrammerParameters(ToUtf8(settings_.programmerParameters),
                                                              PathToUtf8(romFile), state_.plan.RomVersion));
    // The parameter string is split as a shell splits words; nothing is checked afterwards.
    interaction_->startProgram(settings_.programmerPath, QProcess::splitCommand(parameters),
                               PathToQString(romFile.parent_path()));
}

void TKDT::ReportClick() {
    TOtcet::Setting setting;
    setting.plan = state_.plan;
    const QDate today = QDate::currentDate();
    setting.today = {today.day(), today.month(), today.year()};
    setting.workFolder = workFolder_;
    setting.interaction = interaction_.get();
    setting.showFailure = [this](const QString& message) { HandleException(message); };
    // A new dialog each time: nothing of the last one is kept.
    TOtcet dialog(setting, this);
    dialog.exec();
}

void TKDT::AnalizClick() {
    const AnalysisResult analysis = AnalizSOD(state_.plan, 0);
    if (!analysis.clean) {
        WriteErrorFileFor(analysis.findings);
        MessageDlg(Box(MessageIcon::Error, MessageButtons::Ok, kAnalysisCaption,
                       Text("В проекте были найдены ошибки")));
        interaction_->openDocument(PathToQString(ErrorFilePath()));
    } else {
        MessageDlg(Box(MessageIcon::Information, MessageButtons::Ok, kAnalysisCaption,
                       Text("В проекте ошибки не обнаружины")));
    }
}

TForm2* TKDT::simulationWindow() const {
    return simulation_.data();
}

void TKDT::ImitacClick() {
    if (state_.plan.RomVersion < kRom413) {
        MessageDlg(Box(MessageIcon::Information, MessageButtons::Ok, "Сообщение",
                       Text("Имитация возможна только для последних версий ПЗУ \"4.1.3 и 4.2.0\"")));
        return;
    }
    if (!simulation_) {
        SimulationHost host;
        host.plan = &state_.plan;
        host.message = [this](const MessageRequest& request) { return MessageDlg(request); };
        host.beep = [this] { interaction_->beep(); };
        host.exception = [this](const QString& message) { HandleException(message); };
        host.help = [this] { ShowHelpAt(QStringLiteral("topic10-simulation")); };
        host.choosePrinter = [this](QWidget* owner, QPrinter& printer) {
            return interaction_->choosePrinter(owner, printer);
        };
        simulation_ = new TForm2(std::move(host), this);
    }
    // Beside the main window, which stays usable.
    if (simulation_->isMinimized()) simulation_->showNormal();
    simulation_->show();
    simulation_->raise();
    simulation_->activateWindow();
}

// ---------------------------------------------------------------- other programs and help

void TKDT::StartDesktopProgram(const QStringList& candidates, const QStringList& arguments) {
    const QString program = FirstInstalled(candidates);
    if (!program.isEmpty()) interaction_->startProgram(program, arguments, QString());
}

void TKDT::ShowHelpTopic(int topic) {
    ShowHelpAt(QStringLiteral("topic%1").arg(topic));
}

void TKDT::ShowHelpAt(const QString& anchor) {
    // The help page travels inside the program and is laid beside the work folder's files.
    const QByteArray page = GuiResource(QStringLiteral("KDT.html"));
    if (page.isEmpty()) return;
    const QString target = QDir(PathToQString(workFolder_)).filePath(QStringLiteral("KDT.html"));
    QFile existing(target);
    if (!existing.open(QIODevice::ReadOnly) || existing.readAll() != page) {
        existing.close();
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size() || !file.commit()) return;
    }
    interaction_->openDocument(target, anchor);
}

// ---------------------------------------------------------------- start-up and hand-off

void TKDT::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous()) return;
    FileArgumentOnShow(true);
}

void TKDT::ReceiveHandOff(const QByteArray& pathBytes) {
    if (pathBytes.isEmpty()) return;
    startupArgument_.assign(pathBytes.constData(), static_cast<std::size_t>(pathBytes.size()));
    try {
        FileArgumentOnShow(false);
    } catch (const std::exception& error) {
        HandleException(ToQString(error.what()));
    }
    RefreshEnabledStates();
}

void TKDT::FileArgumentOnShow(bool realShow) {
    if (realShow) {
        // Fields get no context menu: the editor has no paste.
        for (QLineEdit* field : findChildren<QLineEdit*>()) field->setContextMenuPolicy(Qt::NoContextMenu);
        for (QAbstractSpinBox* field : findChildren<QAbstractSpinBox*>())
            field->setContextMenuPolicy(Qt::NoContextMenu);
    }
    startupArgument_ = UsableFileArgument(startupArgument_);
    const fs::path path = Utf8ToPath(startupArgument_);
    std::error_code error;
    if (!startupArgument_.empty() && fs::exists(path, error) && !fs::is_directory(path, error)) {
        if (!state_.projects.empty()) ToolButton3Click();
        FileOpen1Accept(path);
    } else {
        QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(kDeferredStartEvent)));
    }
}

void TKDT::customEvent(QEvent* event) {
    if (event->type() != static_cast<QEvent::Type>(kDeferredStartEvent))
        return QMainWindow::customEvent(event);
    try {
        DeferredStart();
    } catch (const std::exception& error) {
        HandleException(ToQString(error.what()));
    }
    RefreshEnabledStates();
}

void TKDT::DeferredStart() {
    RefreshEditor();
    NormalisePlan(state_.plan, state_.editor.addressEditor.value);
    state_.TakeBaseline();
    dialogFolder_ = settings_.projectFolder;
    QCoreApplication::processEvents();
    if (!FileOpen1Execute()) ToolButton1Click();
}

// ---------------------------------------------------------------- keys and dropped files

namespace {

// The keys of the journal; a field's own undo must never see them, or its
// change would be recorded as an edit.
bool IsJournalKey(const QKeyEvent& key) {
    const QKeySequence pressed(key.keyCombination());
    return pressed == QKeySequence(QStringLiteral("Ctrl+Z")) ||
           pressed == QKeySequence(QStringLiteral("Ctrl+Y")) ||
           pressed == QKeySequence(QStringLiteral("Ctrl+Shift+Z"));
}

}  // namespace

bool TKDT::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyRelease && type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress) return IsJournalKey(*key);
    if (type == QEvent::ShortcutOverride) return TakesShortcutFirst(key);
    // An event that no widget takes travels up to the window: see it once.
    if (key == lastKeyRelease_ && key->timestamp() == lastKeyReleaseTime_) return false;
    lastKeyRelease_ = key;
    lastKeyReleaseTime_ = key->timestamp();
    return FormKeyUp(key);
}

bool TKDT::FocusHoldsTextSelection() {
    QWidget* focus = QApplication::focusWidget();
    if (const auto* line = qobject_cast<const QLineEdit*>(focus)) return line->hasSelectedText();
    if (const auto* text = qobject_cast<const QTextEdit*>(focus)) return text->textCursor().hasSelection();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus))
        return plain->textCursor().hasSelection();
    return false;
}

bool TKDT::TakesShortcutFirst(QKeyEvent* event) {
    const QKeySequence pressed(event->keyCombination());
    for (QAction* action : findChildren<QAction*>()) {
        if (action->shortcut() != pressed) continue;
        // A shortcut opens its menu first, as a click on the menu would; that
        // also brings the item's enabled state up to date before it is tested.
        const QString name = action->objectName();
        if (name == QLatin1String("UndoItem") || name == QLatin1String("RedoItem") ||
            name == QLatin1String("PasteItem") || name == QLatin1String("AnalysisItem") ||
            name == QLatin1String("CompileItem"))
            N3Click();
        // A selected text in a field is copied by the field itself.
        if (name == QLatin1String("ScheduleCopyItem") && FocusHoldsTextSelection()) continue;
        if (action->isEnabled()) return true;
    }
    return IsJournalKey(*event);
}

bool TKDT::FormKeyUp(QKeyEvent* event) {
    if (event->isAutoRepeat()) return false;
    const int key = event->key();
    // Ctrl keys are the shortcuts' (Ctrl+C too).
    if (event->modifiers() & Qt::ControlModifier) return false;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F5) {
        emit colourModeRequested(key - Qt::Key_F1 + 1);
        return true;
    }
    if (key == Qt::Key_F6) {
        emit autoSettingsRequested();
        return true;
    }
    if (state_.currentPage == 2) {
        // Digits on both key blocks, with or without Shift: the key counts, not its character.
        const int digit = DigitOfKey(*event);
        if (digit >= 1 && digit <= 4) {
            emit channelKeyReleased(Qt::Key_0 + digit);
        } else if (key == Qt::Key_Space || key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up ||
                   key == Qt::Key_Down) {
            emit channelKeyReleased(key);
        }
    }
    return false;
}

void TKDT::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TKDT::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    try {
        DropFiles(paths);
    } catch (const std::exception& error) {
        HandleException(ToQString(error.what()));
    }
    RefreshEnabledStates();
}

void TKDT::DropFiles(const QStringList& paths) {
    for (const QString& dropped : paths) {
        const fs::path path = ProjectPath(QStringToPath(dropped));
        // A dropped project becomes the current one; unsaved edits are asked about first.
        if (!PassesExtensionTest(PathToUtf8(path), kProjectExtensionList)) continue;
        if (HasUnsavedWork() && !LeaveCheck()) return;
        FileOpen1Accept(path);
    }
}

}  // namespace kdt::gui

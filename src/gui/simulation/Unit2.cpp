#include "simulation/Unit2.h"

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTime>
#include <QTimeEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "components/Painter.h"
#include "shell/Icons.h"
#include "shell/QtText.h"
#include "simulation/SimulationPicture.h"

namespace kdt::gui {
namespace {

constexpr int kInitialWidth = 448;
constexpr int kInitialHeight = 320;
constexpr int kMinimumWidth = 408;
constexpr int kMaximumHeight = 330;
constexpr int kPanelWidths[] = {70, 70, 70, 70, 50};

QString Text(std::string_view utf8) {
    return ToQString(utf8);
}

const char* const kWeekdays[] = {"Восресенье", "Понедельник", "Вторник", "Среда",
                                 "Четверг",    "Пятница",     "Суббота"};

int TodayWeekday() {
    return QDate::currentDate().dayOfWeek() % 7;
}  // Qt counts Monday 1 .. Sunday 7

QPushButton* GroupButton(QWidget* parent, const QString& name, std::string_view caption,
                         std::string_view hint) {
    auto* button = new QPushButton(Text(caption), parent);
    button->setObjectName(name);
    if (!hint.empty()) button->setToolTip(Text(hint));
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TForm2::TForm2(SimulationHost host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      host_(std::move(host)),
      engine_(*host_.plan, QTime::currentTime().msecsSinceStartOfDay()) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(Text("Имитация работы контроллера..."));
    setAttribute(Qt::WA_DeleteOnClose);
    // The window was laid out for a small dialog font, as the pages were.
    QFont small = font();
    small.setPointSizeF(std::min(small.pointSizeF(), 8.0));
    setFont(small);
    pictureFont_ = PictureFont(small, logicalDpiY());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    CreateToolBar();
    CreateSurface();
    CreateButtonGroup();
    CreateStatusBars();

    setMinimumSize(kMinimumWidth, kInitialHeight);
    setMaximumHeight(kMaximumHeight);
    resize(kInitialWidth, kInitialHeight);

    auto* help = new QAction(this);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, [this] {
        if (host_.help) host_.help();
    });
    addAction(help);

    // Runs for as long as the window exists, also while the simulation is
    // stopped: the clock goes on and the schedule is looked up.
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kSimulationTimerInterval);
    connect(timer_, &QTimer::timeout, this, &TForm2::Timer1Timer);
    timer_->start();
    SyncControls();
}

// The children outlive the engine by a moment: nothing of theirs may call back.
TForm2::~TForm2() {
    timer_->stop();
    surface_->OnPaint = nullptr;
    surface_->OnMouseUp = nullptr;
    surface_->OnScrollChange = nullptr;
    surface_->OnResize = nullptr;
}

// ---------------------------------------------------------------- building

void TForm2::CreateToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setIconSize(QSize(16, 16));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    static_cast<QVBoxLayout*>(layout())->addWidget(bar);

    weekdayList_ = new QComboBox(bar);
    weekdayList_->setObjectName(QStringLiteral("ComboBox2"));
    for (const char* day : kWeekdays) weekdayList_->addItem(Text(day));
    weekdayList_->setToolTip(Text("Выбор дня недели (переключение суточного графика)"));
    weekdayList_->setAccessibleName(weekdayList_->toolTip());
    connect(weekdayList_, &QComboBox::activated, this, &TForm2::ComboBox2Change);
    bar->addWidget(weekdayList_);

    timePicker_ = new QTimeEdit(bar);
    timePicker_->setObjectName(QStringLiteral("DateTimePicker1"));
    // A locale's own format may leave the seconds out.
    timePicker_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    timePicker_->setToolTip(Text("Выбор времени суток (переключение суточного графика)"));
    timePicker_->setAccessibleName(timePicker_->toolTip());
    timePicker_->setContextMenuPolicy(Qt::NoContextMenu);
    timePicker_->setWrapping(true);
    connect(timePicker_, &QTimeEdit::timeChanged, this,
            [this](QTime time) { TimeEdited(time.msecsSinceStartOfDay()); });
    bar->addWidget(timePicker_);

    followBox_ = new QCheckBox(bar);
    followBox_->setObjectName(QStringLiteral("CheckBox1"));
    followBox_->setToolTip(Text("Работа в текущей программе (без переключения суточного графика)"));
    followBox_->setAccessibleName(followBox_->toolTip());
    connect(followBox_, &QCheckBox::toggled, this, &TForm2::CheckBox1Click);
    bar->addWidget(followBox_);

    programList_ = new QComboBox(bar);
    programList_->setObjectName(QStringLiteral("ComboBox1"));
    programList_->setToolTip(Text("Выбор программы (без переключения суточного графика)"));
    programList_->setAccessibleName(programList_->toolTip());
    programList_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(programList_, &QComboBox::activated, this, &TForm2::ComboBox1Click);
    bar->addWidget(programList_);

    // Shortcuts, not key comparisons: they work under any keyboard layout.
    const auto command = [this, bar](const QString& name, CommandIcon icon, std::string_view hint,
                                     const QKeySequence& keys) {
        auto* action = new QAction(IconFor(icon), Text(hint), this);
        action->setObjectName(name);
        action->setToolTip(Text(hint));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        bar->addAction(action);
        if (QWidget* button = bar->widgetForAction(action)) button->setObjectName(name);
        return action;
    };
    startStop_ =
        command(QStringLiteral("SpeedButton1"), CommandIcon::Run,
                "Включение/выключение имитации (Ctrl+Alt+I)", QKeySequence(QStringLiteral("Ctrl+Alt+I")));
    startStop_->setCheckable(true);
    connect(startStop_, &QAction::triggered, this, &TForm2::SpeedButton1Click);
    pause_ = command(QStringLiteral("PauseButton"), CommandIcon::Pause,
                     "Временно приостановить имитацию (Пауза) (Ctrl+Alt+P)",
                     QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    pause_->setCheckable(true);
    connect(pause_, &QAction::triggered, this, &TForm2::PauseToggled);
    autoSize_ = command(QStringLiteral("SpeedButton2"), CommandIcon::FitWidth,
                        "Авто-размер окна (Ctrl+Alt+A)", QKeySequence(QStringLiteral("Ctrl+Alt+A")));
    connect(autoSize_, &QAction::triggered, this, &TForm2::SpeedButton2Click);
    // The hint names Ctrl+K, as it always has; the key is Ctrl+Alt+K.
    print_ = command(QStringLiteral("ToolButton7"), CommandIcon::Print, "Напечатать картинку (Ctrl+K)",
                     QKeySequence(QStringLiteral("Ctrl+Alt+K")));
    connect(print_, &QAction::triggered, this, &TForm2::ToolButton7Click);
}

void TForm2::CreateSurface() {
    surface_ = new TPainter(this);
    surface_->setObjectName(QStringLiteral("Painter"));
    surface_->setFixedHeight(kSurfaceHeight);
    surface_->setBorderStyle(TPainter::BorderStyle::Single);
    surface_->setScrollBars(TPainter::ScrollBars::Horizontal);
    surface_->setScroll(true);
    surface_->setPatBk(true);
    surface_->setBkColor(palette().color(QPalette::Button));
    surface_->setScrollRangeMaxH(0);
    surface_->setScrollRangeMaxV(kHeadVerticalScrollMax);
    surface_->OnPaint = [this](TPainter&, QPainter& painter, const QRect&, int code) {
        if (code == 0) RenderSurface(painter);
    };
    surface_->OnMouseUp = [this](TPainter&, QMouseEvent& event) {
        const QPoint at = event.position().toPoint();
        PainterMouseUp(at.x(), at.y(), event.button());
    };
    surface_->OnScrollChange = [this](TPainter&) { Repaint(); };
    surface_->OnResize = [this](TPainter&) { LayOut(); };
    static_cast<QVBoxLayout*>(layout())->addWidget(surface_);
}

void TForm2::CreateButtonGroup() {
    buttonGroup_ = new QGroupBox(Text("Табло Вызова Пешеходом (РУ-выкл)"), this);
    buttonGroup_->setObjectName(QStringLiteral("GroupBox1"));
    auto* row = new QHBoxLayout(buttonGroup_);
    row->setContentsMargins(4, 2, 4, 4);
    row->setSpacing(2);
    manualToggle_ = GroupButton(buttonGroup_, QStringLiteral("BitBtnO"), "ТВП/РУ",
                                "Включить/ Выключить ручное управление");
    connect(manualToggle_, &QPushButton::clicked, this, &TForm2::BitBtnOClick);
    row->addWidget(manualToggle_);
    for (int b = 1; b <= kMaxTvpButtons; ++b) {
        QPushButton* button = GroupButton(buttonGroup_, QStringLiteral("_TVP%1").arg(b), "", "");
        button->setText(Text("ТВП ") + QString::number(b));
        connect(button, &QPushButton::clicked, this, [this, b] { _TVP1Click(b); });
        row->addWidget(button);
        pedestrianButtons_[static_cast<std::size_t>(b - 1)] = button;
    }
    for (int f = 1; f <= 4; ++f) {
        QPushButton* button = GroupButton(buttonGroup_, QStringLiteral("BitBtnF%1").arg(f), "", "");
        button->setText(Text("Ф.") + QString::number(f));
        button->setToolTip(Text("Вызов фазы № ") + QString::number(f));
        const auto code = static_cast<std::uint8_t>(kManualPhase1 + f - 1);
        connect(button, &QPushButton::clicked, this, [this, code] { BitBtn1Click(code); });
        row->addWidget(button);
        phaseButtons_[static_cast<std::size_t>(f - 1)] = button;
    }
    yellowFlashButton_ =
        GroupButton(buttonGroup_, QStringLiteral("BitBtnZM"), "ЖМ", "Включит желтое мигание");
    connect(yellowFlashButton_, &QPushButton::clicked, this, [this] { BitBtn1Click(kManualYellowFlash); });
    row->addWidget(yellowFlashButton_);
    offButton_ = GroupButton(buttonGroup_, QStringLiteral("BitBtnOS"), "ОС",
                             "Отключить светофор (выключить все каналы)");
    connect(offButton_, &QPushButton::clicked, this, [this] { BitBtn1Click(kManualOff); });
    row->addWidget(offButton_);
    // There is a button for all red, but it is never shown.
    allRedButton_ = GroupButton(buttonGroup_, QStringLiteral("BitBtnKK"), "КК", "Включить всем красные");
    allRedButton_->hide();
    row->addWidget(allRedButton_);
    row->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addWidget(buttonGroup_, 1);
}

void TForm2::CreateStatusBars() {
    auto* panels = new QStatusBar(this);
    panels->setObjectName(QStringLiteral("StatusBar1"));
    panels->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* panel = new QLabel(panels);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setMinimumWidth(kPanelWidths[i]);
        // The last panel takes the rest: "Сек. Прогр. 1234" is wider than its 50 pixels.
        if (i + 1 < panels_.size()) panel->setFixedWidth(kPanelWidths[i]);
        panels->addWidget(panel, i + 1 < panels_.size() ? 0 : 1);
        panels_[i] = panel;
    }
    static_cast<QVBoxLayout*>(layout())->addWidget(panels);
    auto* line = new QStatusBar(this);
    line->setObjectName(QStringLiteral("StatusBar2"));
    statusLine_ = new QLabel(line);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    line->addWidget(statusLine_, 1);
    static_cast<QVBoxLayout*>(layout())->addWidget(line);
}

// ---------------------------------------------------------------- showing and activation

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window coming back from the task bar is shown again by the window
    // system; that is not the window being shown.
    if (event->spontaneous() || shown_) return;
    if (QWidget* owner = parentWidget()) move(owner->window()->frameGeometry().center() - rect().center());
    FormShow();
}

bool TForm2::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate && shown_) FormActivate();
    return handled;
}

void TForm2::FormShow() {
    shown_ = true;
    engine_.WindowShown(TodayWeekday());
    RebuildProgramList();
    LayOut();
    SyncControls();
    Repaint();
}

// Back from the main window, a box or a dialog: the plan may have been
// edited, the running simulation goes on as it was.
void TForm2::FormActivate() {
    engine_.WindowActivated();
    RebuildProgramList();
    LayOut();
    SyncControls();
    Repaint();
}

void TForm2::RebuildProgramList() {
    const QSignalBlocker blocker(programList_);
    if (programList_->count() == engine_.programListSize()) return;
    programList_->clear();
    for (int p = 1; p <= engine_.programListSize(); ++p)
        programList_->addItem(Text("АПП  № ") + QString::number(p));
}

void TForm2::LayOut() {
    const TSignalPlan& plan = *host_.plan;
    layout_ = LayOutHeads(engine_.channels(), plan.DirectionCount, plan.TvpButtonCount);
    surface_->setScrollRangeMaxH(HorizontalScrollMax(layout_, surface_->viewport()->width()));
    surface_->setScrollRangeMaxV(kHeadVerticalScrollMax);
}

// ---------------------------------------------------------------- the tick and the widgets

void TForm2::Timer1Timer() {
    // Nothing in a tick opens a dialog or runs the event loop, so it cannot
    // come back in here; the flag guards against that changing unseen.
    if (ticking_) return;
    ticking_ = true;
    engine_.Tick();
    SyncControls();
    Repaint();
    ticking_ = false;
}

void TForm2::Repaint() {
    surface_->RepaintNow(0);
}

void TForm2::RenderSurface(QPainter& painter) const {
    SimulationPicture picture;
    picture.layout = &layout_;
    picture.channels = &engine_.channels();
    picture.stripOffset = surface_->scrollPosH();
    picture.font = pictureFont_;
    picture.palette = palette();
    DrawSimulationPicture(painter, picture);
}

// The widgets show the engine; set here, they call no handler.
void TForm2::SyncControls() {
    {
        const QSignalBlocker blocker(weekdayList_);
        weekdayList_->setCurrentIndex(engine_.weekday());
    }
    // While the user types a time, the clock does not overwrite it.
    if (!timePicker_->hasFocus()) {
        const QSignalBlocker blocker(timePicker_);
        timePicker_->setTime(QTime::fromMSecsSinceStartOfDay(engine_.timeOfDay()));
    }
    {
        const QSignalBlocker blocker(followBox_);
        followBox_->setChecked(!engine_.followSchedule());
    }
    {
        const QSignalBlocker blocker(programList_);
        const std::optional<int> selection = engine_.programListSelection();
        programList_->setCurrentIndex(selection && *selection <= programList_->count() ? *selection - 1 : -1);
    }
    {
        const QSignalBlocker start(startStop_);
        const QSignalBlocker pause(pause_);
        startStop_->setChecked(engine_.running());
        pause_->setEnabled(engine_.running());
        pause_->setChecked(engine_.paused());
    }
    const SimulationControls& controls = engine_.controls();
    const bool manual = engine_.manualMode();
    buttonGroup_->setEnabled(controls.buttonGroupUsable);
    buttonGroup_->setTitle(manual ? Text("Ручное Управление (ТВП-выкл)")
                                  : Text("Табло Вызова Пешеходом (РУ-выкл)"));
    manualToggle_->setText(manual ? Text("РУ/ТВП") : Text("ТВП/РУ"));
    for (std::size_t b = 0; b < pedestrianButtons_.size(); ++b) {
        pedestrianButtons_[b]->setVisible(!manual);
        pedestrianButtons_[b]->setEnabled(controls.pedestrianEnabled[b]);
    }
    for (std::size_t f = 0; f < phaseButtons_.size(); ++f) {
        phaseButtons_[f]->setVisible(manual);
        phaseButtons_[f]->setEnabled(f == 0 || controls.phaseButtonEnabled[f - 1]);
    }
    yellowFlashButton_->setVisible(manual);
    offButton_->setVisible(manual);
    for (std::size_t i = 0; i < panels_.size(); ++i) panels_[i]->setText(ToQString(engine_.panels()[i]));
    statusLine_->setText(ToQString(engine_.statusLine()));
}

// ---------------------------------------------------------------- handlers

void TForm2::SpeedButton1Click() {
    engine_.ToggleRunning();
    SyncControls();
    Repaint();
}

void TForm2::PauseToggled(bool down) {
    engine_.SetPaused(down);
    SyncControls();
}

void TForm2::SpeedButton2Click() {
    int wanted = width() + surface_->scrollRangeMaxH();
    // Never wider than the screen can show.
    if (const QScreen* shown = screen()) {
        const int frame = frameGeometry().width() - width();
        wanted = std::min(wanted, shown->availableGeometry().width() - frame);
    }
    resize(std::max(wanted, minimumWidth()), height());
}

void TForm2::CheckBox1Click(bool ticked) {
    engine_.SetFollowSchedule(!ticked);
    SyncControls();
}

void TForm2::ComboBox1Click(int index) {
    engine_.ChooseProgram(index >= 0 ? std::optional<int>(index + 1) : std::nullopt);
    SyncControls();
    Repaint();
}

void TForm2::ComboBox2Change(int index) {
    engine_.ChooseWeekday(index);
    SyncControls();
}

void TForm2::TimeEdited(int milliseconds) {
    engine_.SetTimeOfDay(milliseconds);
}

void TForm2::_TVP1Click(int button) {
    if (engine_.PressPedestrianButton(button) == SimulationMessage::ButtonAlreadyPressed) {
        MessageRequest warning;
        warning.caption = Text("Предупреждение");
        warning.text = ToQString(kButtonAlreadyPressedMessage);
        warning.icon = MessageIcon::Warning;
        // The box runs the event loop: the window may be closed meanwhile.
        const QPointer<TForm2> alive(this);
        if (host_.message) host_.message(warning);
        if (!alive) return;
    }
    SyncControls();
    Repaint();
}

void TForm2::BitBtnOClick() {
    engine_.ToggleManual();
    SyncControls();
    Repaint();
}

void TForm2::BitBtn1Click(std::uint8_t code) {
    engine_.PressManualButton(code);
    SyncControls();
}

// The engine takes a click only while it runs unpaused; it beeps only then.
void TForm2::PainterMouseUp(int x, int y, Qt::MouseButton button) {
    if (button != Qt::LeftButton || layout_.heads.empty()) return;
    for (const int channel : layout_.LampsAt(x + surface_->scrollPosH(), y))
        if (engine_.ClickLamp(channel) && host_.beep) host_.beep();
    Repaint();
}

void TForm2::ToolButton7Click() {
    if (layout_.heads.empty()) return;  // nothing to print
    QPrinter printer(QPrinter::HighResolution);
    const QPointer<TForm2> alive(this);
    const bool chosen = host_.choosePrinter && host_.choosePrinter(this, printer);
    if (!alive || !chosen) return;
    Print(printer);
}

void TForm2::Print(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        // Said out loud: a printout that silently never came would pass for printed.
        QString where = printer.outputFileName();
        if (where.isEmpty()) where = printer.printerName();
        if (host_.exception) host_.exception(Text("Не удалось начать печать: ") + where);
        return;
    }
    const double scale = PrintScale(printer.width(), printer.height(), layout_.width, kSurfaceHeight);
    painter.scale(scale, scale);
    SimulationPicture picture;
    picture.layout = &layout_;
    picture.channels = &engine_.channels();
    picture.font = pictureFont_;
    picture.palette = palette();
    picture.statusLineShown = true;
    picture.statusLine = ToQString(engine_.statusLine());
    DrawSimulationPicture(painter, picture);
    painter.end();
}

}  // namespace kdt::gui

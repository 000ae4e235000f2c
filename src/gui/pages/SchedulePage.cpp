#include "pages/SchedulePage.h"

#include <array>
#include <string_view>

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/RadioGroup.h"
#include "components/TimeField.h"
#include "components/UpDownEdit.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace schedule;

constexpr std::array<std::string_view, kDayCount> kDays = {"Воскресенье", "Понедельник", "Вторник", "Среда",
                                                           "Четверг",     "Пятница",     "Суббота"};
// The day a copy comes from, as the list names it: "copy from Sunday's".
constexpr std::array<std::string_view, kDayCount> kSourceDays = {
    "Воскресенья", "Понедельника", "Вторника", "Среды", "Четверга", "Пятницы", "Субботы"};
constexpr std::array<std::string_view, 3> kFixedCommands = {"ОС", "КК", "ЖМ"};
constexpr std::array<std::string_view, 4> kPowerOnStates = {"ОС", "КК", "ЖМ", "АПП"};
constexpr int kFirstProgramItem = 3;
constexpr int kPowerOnPrograms = 3;  // "АПП": the programs of the schedule
constexpr int kLargestDuration = 255;
constexpr int kVisibleRows = 10;

int PreviousDay(int day) {
    return (day + kDayCount - 1) % kDayCount;
}

QString TimeOf(const TScheduleEntry& row) {
    return TimeText(row.Hour, row.Minute);
}

// "HH:MM" back into its numbers; the hour may have more digits (a file's hour of 100).
bool ParseTime(std::string_view text, int& hour, int& minute) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    const std::optional<int> h = ParseWholeNumber(ToQString(text.substr(0, colon)));
    const std::optional<int> m = ParseWholeNumber(ToQString(text.substr(colon + 1)));
    if (!h || !m || *h > 255 || *m > 255) return false;
    hour = *h;
    minute = *m;
    return true;
}

bool RowIsCleared(const TScheduleEntry& row) {
    return row.Hour == kUnusedScheduleHour && row.Minute == 0 && row.Command == kCommandSignalsOff;
}

bool RowsDiffer(const TScheduleEntry& a, const TScheduleEntry& b) {
    return a.Hour != b.Hour || a.Minute != b.Minute || a.Command != b.Command;
}

std::string RowPayload(int day, int row) {
    return ByteText(static_cast<unsigned>(day)) + ByteText(static_cast<unsigned>(row));
}

// Clicks and releases in the time field: a click selects the first
// character, so typing overwrites the time from its first digit.
class FirstCharacterOnClick final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            if (auto* field = qobject_cast<QLineEdit*>(watched); field && !field->isReadOnly())
                field->setSelection(0, 1);
        return false;
    }
};

}  // namespace

std::uint8_t CommandOfItem(int item) {
    return static_cast<std::uint8_t>(item < kFirstProgramItem ? item : 125 + item);
}

int ItemOfCommand(std::uint8_t command) {
    return command < kFirstProgramItem ? command : command - 125;
}

QString CommandCaption(const TSignalPlan& plan, std::uint8_t command) {
    const int item = ItemOfCommand(command);
    if (item >= 0 && item < kFirstProgramItem)
        return ToQString(kFixedCommands[static_cast<std::size_t>(item)]);
    const int program = item - kFirstProgramItem + 1;
    if (program >= 1 && program <= ProgramRows(plan)) return ToQString("АПП  ") + QString::number(program);
    return {};
}

SchedulePage::SchedulePage(PageContext& context, QWidget* parent) : Page(7, context, parent) {
    BuildDays();
    BuildTable();
    BuildCopyAndClear();
    BuildPowerOn();

    auto* copyFrom = new QLabel(ToQString("Копировать с "), this);
    copyFrom->setBuddy(copySource_);
    auto* stateLabel = new QLabel(ToQString("Состояние при включении"), this);
    stateLabel->setBuddy(powerOnState_);
    auto* right = new QGridLayout;
    right->setHorizontalSpacing(6);
    right->setVerticalSpacing(4);
    right->addWidget(copyFrom, 0, 0);
    right->addWidget(copySource_, 0, 1);
    right->addWidget(copy_, 1, 1, Qt::AlignLeft);
    right->addWidget(clear_, 2, 1, Qt::AlignLeft);
    right->setRowMinimumHeight(3, 10);
    right->addWidget(stateLabel, 4, 0);
    right->addWidget(powerOnState_, 4, 1, Qt::AlignLeft);
    right->addWidget(durationLabel_, 5, 0);
    right->addWidget(duration_, 5, 1, Qt::AlignLeft);
    right->setRowStretch(6, 1);

    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->setSpacing(10);
    page->addWidget(days_, 0, Qt::AlignTop);
    page->addWidget(grid_, 0, Qt::AlignTop);
    page->addLayout(right);
    page->addStretch(1);
    RegisterInJournal();
}

// ---------------------------------------------------------------- building

void SchedulePage::BuildDays() {
    QStringList items;
    for (const std::string_view day : kDays) items << ToQString(day);
    days_ = new RadioGroup(ToQString(" Дни недели "), items, 1, this);
    days_->setObjectName(QStringLiteral("RadioGroup2"));
    SetHint(days_,
            "Выбор дня недели для редактирования|Копировать - [Ctrl]+[C]      (копирует по умолчанию из "
            "предыдущего дня недели)");
    days_->setItemIndex(day_);
    connect(days_, &RadioGroup::itemChosen, this, [this](int day) { RadioGroup2Click(day); });
}

void SchedulePage::BuildTable() {
    grid_ = new GridTable(this);
    grid_->setObjectName(QStringLiteral("StringGrid8"));
    grid_->setHeaderTexts({ToQString("ЧЧ:ММ"), ToQString(" Команды")});
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->setDataRowCount(kScheduleRows);
    const QFontMetrics metrics = grid_->fontMetrics();
    grid_->setColumnWidth(kTimeColumn, metrics.horizontalAdvance(QStringLiteral("000:00")) + 12);
    grid_->setColumnWidth(kCommandColumn, metrics.horizontalAdvance(ToQString("АПП  16")) + 40);
    grid_->setFixedWidth(2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width() +
                         grid_->columnWidth(kTimeColumn) + grid_->columnWidth(kCommandColumn));
    grid_->setFixedHeight(2 * grid_->frameWidth() + grid_->horizontalHeader()->height() +
                          kVisibleRows * GridTable::kRowHeight);
    SetHint(grid_,
            "|В первой строке время всегда равно \"00:00\"  , в строках не участвующих в суточном графике "
            "время всегда равно \"24:00\"");
    grid_->setAccessibleName(ToQString("Суточный график"));
    connect(grid_, &GridTable::cellSelected, this, [this](int row, int) { StringGrid8SelectCell(row); });

    time_ = new TimeField(grid_);
    time_->setObjectName(QStringLiteral("MaskEdit1"));
    time_->setFrame(false);
    SetHint(time_, "|Ввод времени");
    NumberKeyFilter::Install(time_, [this] { context().Beep(); });
    time_->installEventFilter(new FirstCharacterOnClick(time_));
    timeOverlay_ = new CellOverlay(grid_, time_);
    connect(time_, &QLineEdit::textChanged, this, [this] { MaskEdit1Change(); });

    commands_ = new QComboBox(grid_);
    commands_->setObjectName(QStringLiteral("ComboBox3"));
    SetHint(commands_, "Выбор прораммы|Список допустимых команд суточного графика");
    commandOverlay_ = new CellOverlay(grid_, commands_);
    connect(commands_, &QComboBox::activated, this, [this](int item) { ComboBox3Change(item); });
    QWidget::setTabOrder(grid_, time_);
    QWidget::setTabOrder(time_, commands_);
}

void SchedulePage::BuildCopyAndClear() {
    copySource_ = new QComboBox(this);
    copySource_->setObjectName(QStringLiteral("ComboBox4"));
    for (const std::string_view day : kSourceDays) copySource_->addItem(ToQString(day));
    SetHint(copySource_, "|Выбор дня недели из которого следует произвести копирования");
    copySource_->setAccessibleName(ToQString("Копировать с"));
    // Set before any page shows it: Ctrl+C works from the first moment.
    copySource_->setCurrentIndex(PreviousDay(day_));

    copy_ = new QPushButton(ToQString("Копировать"), this);
    copy_->setObjectName(QStringLiteral("Button6"));
    copy_->setAutoDefault(false);
    SetHint(copy_, "|Копирование данных");
    connect(copy_, &QPushButton::clicked, this, [this] { Button6Click(); });

    clear_ = new QPushButton(ToQString("Очистка"), this);
    clear_->setObjectName(QStringLiteral("Button2"));
    clear_->setAutoDefault(false);
    SetHint(clear_, "|Установка данных по умолчанию (24:00 - ОС)");
    connect(clear_, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void SchedulePage::BuildPowerOn() {
    powerOnState_ = new QComboBox(this);
    powerOnState_->setObjectName(QStringLiteral("ComboBox5"));
    for (const std::string_view state : kPowerOnStates) powerOnState_->addItem(ToQString(state));
    SetHint(powerOnState_, "Состояние при включении");
    powerOnState_->setAccessibleName(ToQString("Состояние при включении"));
    powerOnState_->setEnabled(false);
    connect(powerOnState_, &QComboBox::activated, this, [this](int item) { ComboBox5Change(item); });

    durationLabel_ = new QLabel(ToQString("Длительность состояния "), this);
    duration_ = new UpDownEdit(this);
    duration_->setObjectName(QStringLiteral("LabeledEdit16"));
    durationLabel_->setBuddy(duration_);
    duration_->setAccessibleName(AccessibleNameOf(durationLabel_->text()));
    SetHint(duration_, "|Длительность состояния включения измеряется в секундах");
    duration_->setRange(0, kLargestDuration);
    duration_->setMaxLength(3);
    duration_->setFixedWidth(52);
    duration_->setEnabled(false);
    NumberKeyFilter::Install(duration_, [this] { context().Beep(); });
    connect(duration_, &QLineEdit::textChanged, this, [this] { LabeledEdit16Change(); });
    OnLeave(duration_, [this] { LabeledEdit16Exit(); });
}

void SchedulePage::RegisterInJournal() {
    journal().Register(
        kTimeField, {7, ControlClass::MaskedEdit, 1, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                         ReplayTime(entry);
                     }});
    journal().Register(
        kCommandList, {7, ControlClass::ComboBox, 3, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                           ReplayCommand(entry);
                       }});
    journal().Register(kClear,
                       {7, ControlClass::Button, 2, {}, false, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayDay(entry);
                        }});
    journal().Register(
        kCopySource, {7, ControlClass::ComboBox, 4, {}, false, [this](const JournalEntry& entry, ReplaySide) {
                          ReplayDay(entry);
                      }});
    journal().Register(
        kPowerOnState,
        {7, ControlClass::ComboBox, 5, {}, true, [this](const JournalEntry& entry, ReplaySide) {
             ReplayPowerOnState(entry);
         }});
    journal().Register(kPowerOnDuration,
                       {7, ControlClass::LabeledEdit, 16, "Длительность состояния ", true,
                        [this](const JournalEntry& entry, ReplaySide) { ReplayPowerOnDuration(entry); }});
}

// ---------------------------------------------------------------- showing

void SchedulePage::Fill() {
    RebuildCommandList();
    const TSignalPlan& p = plan();
    powerOnState_->setCurrentIndex(p.PowerOnState <= kPowerOnPrograms ? p.PowerOnState : -1);
    ShowPowerOnDuration();
    UpdatePowerOnStates();
    if (days_->itemIndex() != day_) days_->setItemIndex(day_);
    copySource_->setCurrentIndex(PreviousDay(day_));
    row_ = std::clamp(row_, 1, kScheduleRows);
    FillTable();
    SelectRow(row_);
}

void SchedulePage::ApplyRomType() {
    const FillGuard guard = context().Fill();
    UpdatePowerOnStates();
}

void SchedulePage::SelectionsReset() {
    day_ = 0;
    row_ = 1;
    const FillGuard guard = context().Fill();
    days_->setItemIndex(day_);
    copySource_->setCurrentIndex(PreviousDay(day_));
}

void SchedulePage::RefreshEnabledStates() {
    const TSignalPlan& p = plan();
    const auto& day = p.Schedule[day_];
    bool cleared = day[0].Command == kCommandSignalsOff;
    for (int r = 1; r < kScheduleRows; ++r) cleared = cleared && RowIsCleared(day[r]);
    clear_->setEnabled(!cleared);
    const int source = copySource_->currentIndex();
    bool differ = false;
    if (source >= 0 && source < kDayCount)
        for (int r = 0; r < kScheduleRows; ++r) differ = differ || RowsDiffer(p.Schedule[source][r], day[r]);
    copy_->setEnabled(differ);
}

void SchedulePage::UpdatePowerOnStates() {
    const TSignalPlan& p = plan();
    // 4.1.0 and 4.1.1 have no power-on state; with "АПП" the programs
    // themselves decide, so there is no duration to give.
    const bool available = p.RomVersion > 1;
    powerOnState_->setEnabled(available);
    duration_->setEnabled(available && p.PowerOnState != kPowerOnPrograms);
}

void SchedulePage::ShowPowerOnDuration() {
    const FillGuard guard = context().Fill();
    duration_->setText(QString::number(plan().PowerOnDuration));
}

void SchedulePage::RebuildCommandList() {
    const FillGuard guard = context().Fill();
    commands_->clear();
    for (const std::string_view command : kFixedCommands) commands_->addItem(ToQString(command));
    for (int program = 1; program <= ProgramRows(plan()); ++program)
        commands_->addItem(ToQString("АПП  ") + QString::number(program));
}

void SchedulePage::FillTable() {
    grid_->setDataRowCount(kScheduleRows);
    for (int row = 1; row <= kScheduleRows; ++row) FillTableRow(row);
}

void SchedulePage::FillTableRow(int row) {
    const TScheduleEntry& entry = plan().Schedule[day_][row - 1];
    grid_->setCellText(row, kTimeColumn, TimeOf(entry));
    grid_->setCellText(row, kCommandColumn, CommandCaption(plan(), entry.Command));
}

void SchedulePage::SelectDay(int day) {
    if (day < 0 || day >= kDayCount) return;
    const FillGuard guard = context().Fill();
    if (days_->itemIndex() != day) days_->setItemIndex(day);
    RadioGroup2Click(day);
}

void SchedulePage::SelectRow(int row) {
    if (row < 1 || row > kScheduleRows) return;
    const FillGuard guard = context().Fill();
    grid_->selectCell(row, grid_->currentColumn() < 0 ? kTimeColumn : grid_->currentColumn());
    StringGrid8SelectCell(row);
}

void SchedulePage::RefreshDay() {
    const FillGuard guard = context().Fill();
    RadioGroup2Click(day_);
}

void SchedulePage::RadioGroup2Click(int day) {
    if (day < 0 || day >= kDayCount) return;
    // Another day is only shown: nothing is recorded or stored.
    const FillGuard guard = context().Fill();
    day_ = day;
    copySource_->setCurrentIndex(PreviousDay(day_));
    FillTable();
    SelectRow(row_);
}

void SchedulePage::StringGrid8SelectCell(int row) {
    if (row < 1 || row > kScheduleRows) return;
    const FillGuard guard = context().Fill();
    row_ = row;
    const TScheduleEntry& entry = plan().Schedule[day_][row - 1];
    // Row 1 is always 00:00: its time is shown, never typed over, and Tab passes it by.
    const bool firstRow = row == 1;
    time_->setReadOnly(firstRow);
    time_->setFocusPolicy(firstRow ? Qt::NoFocus : Qt::StrongFocus);
    time_->setTime(entry.Hour, entry.Minute);
    const int item = ItemOfCommand(entry.Command);
    commands_->setCurrentIndex(item >= 0 && item < commands_->count() ? item : -1);
    const QString number = QString::number(row);
    time_->setAccessibleName(grid_->headerText(kTimeColumn).trimmed() + QLatin1Char(' ') + number);
    commands_->setAccessibleName(grid_->headerText(kCommandColumn).trimmed() + QLatin1Char(' ') + number);
    timeOverlay_->place(row, kTimeColumn);
    commandOverlay_->place(row, kCommandColumn);
}

// ---------------------------------------------------------------- a row's time and command

void SchedulePage::MaskEdit1Change() {
    const int row = timeOverlay_->row();
    if (filling() || row < 2 || row > kScheduleRows) return;
    if (time_->isBlank()) return;
    const std::optional<int> hour = time_->hour();
    const std::optional<int> minute = time_->minute();
    TScheduleEntry& entry = plan().Schedule[day_][row - 1];
    if (hour && minute && *minute < 60 && *hour <= kUnusedScheduleHour) {
        // Every valid change is recorded, the same time too.
        journal().Record(kTimeField, RowPayload(day_, row) + ToUtf8(TimeOf(entry)));
        entry.Hour = static_cast<std::uint8_t>(*hour);
        entry.Minute = static_cast<std::uint8_t>(*minute);
        grid_->setCellText(row, kTimeColumn, TimeOf(entry));
        return;
    }
    // Within the hour's two digits the second one may still come.
    if (time_->cursorPosition() <= 1) return;
    {
        const FillGuard guard = context().Fill();
        time_->setTime(entry.Hour, entry.Minute);
    }
    context().Beep();
}

void SchedulePage::ComboBox3Change(int item) {
    const int row = commandOverlay_->row();
    if (filling() || row < 1 || row > kScheduleRows) return;
    // An index the list does not hold would store the code of no item.
    if (item < 0 || item >= commands_->count()) return;
    TScheduleEntry& entry = plan().Schedule[day_][row - 1];
    if (item > ProgramRows(plan()) + 2) {
        {
            const FillGuard guard = context().Fill();
            const int stored = ItemOfCommand(entry.Command);
            commands_->setCurrentIndex(stored >= 0 && stored < commands_->count() ? stored : -1);
        }
        MessageRequest warning;
        warning.icon = MessageIcon::Warning;
        warning.caption = ToQString("Предупреждение");
        warning.text = ToQString("Измените в \"параметрах\" количество программ или выберите другую");
        context().Message(warning);
        return;
    }
    if (commands_->itemText(item) == grid_->cellText(row, kCommandColumn)) return;
    journal().Record(kCommandList, RowPayload(day_, row) + ByteText(entry.Command));
    entry.Command = CommandOfItem(item);
    grid_->setCellText(row, kCommandColumn, CommandCaption(plan(), entry.Command));
}

void SchedulePage::ReplayTime(const JournalEntry& entry) {
    const int day = static_cast<int>(ByteAt(entry.payload, 0));
    const int row = static_cast<int>(ByteAt(entry.payload, 1));
    int hour = 0;
    int minute = 0;
    if (day >= kDayCount || row < 1 || row > kScheduleRows ||
        !ParseTime(std::string_view(entry.payload).substr(std::min<std::size_t>(2, entry.payload.size())),
                   hour, minute))
        return;
    // The day and the row first, so the time goes back where it came from.
    SelectDay(day);
    SelectRow(row);
    if (row > 1 && hour <= kUnusedScheduleHour && minute < 60) {
        {
            const FillGuard guard = context().Fill();
            time_->setTime(hour, minute);
        }
        MaskEdit1Change();
        return;
    }
    // A time the field would refuse (a file's hour of 100) goes back directly.
    TScheduleEntry& stored = plan().Schedule[day][row - 1];
    journal().Record(kTimeField, RowPayload(day, row) + ToUtf8(TimeOf(stored)));
    stored.Hour = static_cast<std::uint8_t>(hour);
    stored.Minute = static_cast<std::uint8_t>(minute);
    RefreshDay();
}

void SchedulePage::ReplayCommand(const JournalEntry& entry) {
    const int day = static_cast<int>(ByteAt(entry.payload, 0));
    const int row = static_cast<int>(ByteAt(entry.payload, 1));
    const auto command = static_cast<std::uint8_t>(ByteAt(entry.payload, 2));
    if (day >= kDayCount || row < 1 || row > kScheduleRows) return;
    // The list as the page shows it for today's program count, then the day and the row.
    RebuildCommandList();
    SelectDay(day);
    SelectRow(row);
    const int item = ItemOfCommand(command);
    if (item >= 0 && item < commands_->count()) {
        {
            const FillGuard guard = context().Fill();
            commands_->setCurrentIndex(item);
        }
        ComboBox3Change(item);
        return;
    }
    // A command the list has no item for (a program above the count) goes
    // back as it was, never as the code of no item.
    TScheduleEntry& stored = plan().Schedule[day][row - 1];
    journal().Record(kCommandList, RowPayload(day, row) + ByteText(stored.Command));
    stored.Command = command;
    RefreshDay();
}

// ---------------------------------------------------------------- whole days

std::string SchedulePage::DayPayload(int day) const {
    std::string bytes = ByteText(static_cast<unsigned>(day));
    for (const TScheduleEntry& row : plan().Schedule[day])
        bytes += ByteText(row.Hour) + ByteText(row.Minute) + ByteText(row.Command);
    return bytes;
}

void SchedulePage::ReplayDay(const JournalEntry& entry) {
    const int day = static_cast<int>(ByteAt(entry.payload, 0));
    if (day >= kDayCount) return;
    auto& rows = plan().Schedule[day];
    for (int r = 0; r < kScheduleRows; ++r) {
        const std::size_t at = 1 + 3 * static_cast<std::size_t>(r);
        rows[r].Hour = static_cast<std::uint8_t>(ByteAt(entry.payload, at));
        rows[r].Minute = static_cast<std::uint8_t>(ByteAt(entry.payload, at + 1));
        rows[r].Command = static_cast<std::uint8_t>(ByteAt(entry.payload, at + 2));
    }
    SelectDay(day);
}

void SchedulePage::Button2Click() {
    if (filling()) return;
    MessageRequest question;
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    question.defaultButton = kIdNo;
    question.caption = ToQString("Очистка суточного графика");
    question.text = ToQString("Установить данные по умолчанию?");
    if (context().Message(question) == kIdNo) return;
    journal().Record(kClear, DayPayload(day_));
    auto& rows = plan().Schedule[day_];
    // Row 1 keeps its time.
    rows[0].Command = kCommandSignalsOff;
    for (int r = 1; r < kScheduleRows; ++r) {
        rows[r].Hour = kUnusedScheduleHour;
        rows[r].Minute = 0;
        rows[r].Command = kCommandSignalsOff;
    }
    RefreshDay();
}

void SchedulePage::Button6Click() {
    if (filling()) return;
    const int source = copySource_->currentIndex();
    if (source < 0 || source >= kDayCount) return;
    // Recorded even onto the same day, which then changes nothing.
    journal().Record(kCopySource, DayPayload(day_));
    TSignalPlan& p = plan();
    for (int r = 0; r < kScheduleRows; ++r) {
        const TScheduleEntry row = p.Schedule[source][r];
        p.Schedule[day_][r] = row;
    }
    RefreshDay();
}

void SchedulePage::CopyRequested() {
    const int source = copySource_->currentIndex();
    if (source < 0 || source >= kDayCount) return;
    Button6Click();
}

// ---------------------------------------------------------------- power-on

void SchedulePage::ComboBox5Change(int item) {
    if (filling() || item < 0 || item > kPowerOnPrograms) return;
    TSignalPlan& p = plan();
    journal().Record(kPowerOnState, ByteText(p.PowerOnState) + std::to_string(p.PowerOnDuration));
    if (p.RomVersion > 1 && item == kPowerOnPrograms) {
        // With the programs there is no duration: it becomes 0, with no entry of its own.
        p.PowerOnDuration = 0;
    }
    p.PowerOnState = static_cast<std::uint8_t>(item);
    ShowPowerOnDuration();
    UpdatePowerOnStates();
}

void SchedulePage::ReplayPowerOnState(const JournalEntry& entry) {
    const auto state = static_cast<std::uint8_t>(ByteAt(entry.payload, 0));
    const std::optional<int> duration = ParseWholeNumber(
        ToQString(std::string_view(entry.payload).substr(std::min<std::size_t>(1, entry.payload.size()))));
    TSignalPlan& p = plan();
    if (state <= kPowerOnPrograms) {
        {
            const FillGuard guard = context().Fill();
            powerOnState_->setCurrentIndex(state);
        }
        ComboBox5Change(state);
    } else {
        // A file's state without an item goes back as it was.
        journal().Record(kPowerOnState, ByteText(p.PowerOnState) + std::to_string(p.PowerOnDuration));
        p.PowerOnState = state;
        const FillGuard guard = context().Fill();
        powerOnState_->setCurrentIndex(-1);
    }
    // The duration the state had, with no entry of its own.
    if (duration) p.PowerOnDuration = static_cast<std::uint8_t>(std::min(*duration, kLargestDuration));
    ShowPowerOnDuration();
    UpdatePowerOnStates();
}

void SchedulePage::LabeledEdit16Change() {
    if (filling()) return;
    const QString text = duration_->text();
    if (text.isEmpty()) return;
    const std::optional<int> value = ParseWholeNumber(text);
    if (!value) return;
    TSignalPlan& p = plan();
    journal().Record(kPowerOnDuration, std::to_string(p.PowerOnDuration));
    if (*value > kLargestDuration) {
        context().Beep();
        RollBackDuration();
        return;
    }
    p.PowerOnDuration = static_cast<std::uint8_t>(*value);
}

void SchedulePage::RollBackDuration() {
    // The entry just made is taken back, and with it the field's text; only
    // that entry, never another edit that happens to be the newest.
    const JournalEntry* newest = journal().newestUndo();
    if (!journal().replaying() && newest != nullptr && newest->control == kPowerOnDuration &&
        newest->payload == std::to_string(plan().PowerOnDuration) && journal().Undo()) {
        // The undo showed the page anew; the user goes on typing in the field.
        duration_->setFocus(Qt::OtherFocusReason);
        return;
    }
    ShowPowerOnDuration();
}

void SchedulePage::ReplayPowerOnDuration(const JournalEntry& entry) {
    const std::optional<int> value = ParseWholeNumber(ToQString(entry.payload));
    if (!value || *value > kLargestDuration) return;
    {
        const FillGuard guard = context().Fill();
        duration_->setText(QString::number(*value));
    }
    LabeledEdit16Change();
}

void SchedulePage::LabeledEdit16Exit() {
    if (filling()) return;
    ShowPowerOnDuration();
}

}  // namespace kdt::gui

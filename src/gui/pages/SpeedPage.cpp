#include "pages/SpeedPage.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "binding/FieldTexts.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/TimeField.h"
#include "components/UpDownEdit.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace speed;

constexpr int kLongestSpeed = 3;  // characters
constexpr int kLatestHour = 24;
constexpr int kMinutesPerHour = 60;

int TextWidth(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text);
}

bool IsGridRow(int row) {
    return row >= 1 && row <= kSpeedRows;
}
bool IsSpeedColumn(int column) {
    return column >= 1 && column <= kSpeedIndicators;
}

// Column, row, then the old time as "HH:MM" (more hour digits for a file's
// hour above 99, so any stored hour comes back).
std::string TimePayload(int column, int row, const TSpeedEntry& entry) {
    return ByteText(static_cast<unsigned>(column)) + ByteText(static_cast<unsigned>(row)) +
           ToUtf8(TimeText(entry.Hour, entry.Minute));
}

}  // namespace

SpeedPage::SpeedPage(PageContext& context, QWidget* parent) : Page(9, context, parent) {
    BuildGrid();
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->addWidget(grid_, 0, Qt::AlignTop);
    page->addStretch(1);
    RegisterInJournal();
}

// ---------------------------------------------------------------- building

void SpeedPage::BuildGrid() {
    grid_ = new GridTable(this);
    grid_->setObjectName(QStringLiteral("StringGrid10"));
    QStringList headers{ToQString("Время")};
    for (int column = 1; column <= kSpeedIndicators; ++column)
        headers << ToQString("Напр.") + QString::number(column);
    grid_->setHeaderTexts(headers);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int pad = 12;
    // Wide enough for the time field's "24:00" and for any speed.
    grid_->setColumnWidth(
        kTimeColumn, std::max(TextWidth(grid_, headers[0]), TextWidth(grid_, QStringLiteral("00:00"))) + pad);
    for (int column = 1; column <= kSpeedIndicators; ++column)
        grid_->setColumnWidth(column, TextWidth(grid_, headers[column]) + pad);
    grid_->setDataRowCount(kSpeedRows);
    int width = 2 * grid_->frameWidth();
    for (int column = 0; column < grid_->columnCount(); ++column) width += grid_->columnWidth(column);
    grid_->setFixedSize(width, 2 * grid_->frameWidth() + grid_->horizontalHeader()->height() +
                                   kSpeedRows * GridTable::kRowHeight);
    SetHint(
        grid_,
        "|В первой строке время всегда равно \"00:00\"  , в строках не участвующих в суточном графике время "
        "всегда равно \"24:00\"");
    grid_->setAccessibleName(ToQString("Параметры УСк"));
    connect(grid_, &GridTable::cellSelected, this,
            [this](int row, int column) { StringGrid10SelectCell(row, column, true); });

    timeField_ = new TimeField;
    timeField_->setObjectName(QStringLiteral("MaskEdit2"));
    timeField_->setFrame(false);
    timeField_->setAutoFillBackground(true);
    SetHint(timeField_, "|Ввод времени");
    NumberKeyFilter::Install(timeField_, [this] { context().Beep(); });
    timeOverlay_ = new CellOverlay(grid_, timeField_);
    connect(timeField_, &QLineEdit::textChanged, this, [this] {
        if (timeOverlay_->placed()) MaskEdit2Change(timeOverlay_->row());
    });

    speedField_ = new CellEditor(grid_);
    speedField_->setObjectName(QStringLiteral("StringGrid10Editor"));
    NumberKeyFilter::Install(speedField_, [this] { context().Beep(); });
    speedField_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), speedField_));
    connect(speedField_, &CellEditor::edited, this,
            [this](int row, int column) { StringGrid10SetEditText(row, column); });
}

void SpeedPage::RegisterInJournal() {
    journal().Register(
        kTimeField, {9, ControlClass::MaskedEdit, 2, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                         ReplayTime(entry);
                     }});
}

// ---------------------------------------------------------------- showing

void SpeedPage::SelectionsReset() {
    row_ = 1;
    column_ = 1;
}

void SpeedPage::Fill() {
    for (int row = 1; row <= kSpeedRows; ++row) FillRow(row);
    if (!IsGridRow(row_)) row_ = 1;
    if (column_ < kTimeColumn || column_ > kSpeedIndicators) column_ = 1;
    StringGrid10SelectCell(row_, column_, false);
}

void SpeedPage::FillRow(int row) {
    const TSpeedEntry& entry = plan().SpeedSchedule[row - 1];
    grid_->setCellText(row, kTimeColumn, TimeText(entry.Hour, entry.Minute));
    for (int column = 1; column <= kSpeedIndicators; ++column)
        grid_->setCellText(row, column, QString::number(entry.Speed[column - 1]));
}

void SpeedPage::LoadTimeField(int row) {
    const TSpeedEntry& entry = plan().SpeedSchedule[row - 1];
    timeOverlay_->place(row, kTimeColumn);
    timeField_->setAccessibleName(grid_->headerText(kTimeColumn) + QLatin1Char(' ') + QString::number(row));
    timeField_->setTime(entry.Hour, entry.Minute);
}

void SpeedPage::StringGrid10SelectCell(int row, int column, bool focusField) {
    if (!IsGridRow(row) || column < kTimeColumn || column > kSpeedIndicators) return;
    // Selecting loads the row; it records and stores nothing.
    const FillGuard guard = context().Fill();
    row_ = row;
    column_ = column;
    grid_->selectCell(row, column);
    LoadTimeField(row);
    if (column == kTimeColumn) {
        // The time is edited only through its field.
        speedField_->clearPlace();
        if (focusField && timeField_->isVisible()) {
            timeField_->setFocus(Qt::OtherFocusReason);
            timeField_->setSelection(0, 1);
        }
        return;
    }
    speedField_->placeOver(row, column);
    speedField_->setText(grid_->cellText(row, column));
    if (focusField && speedField_->isVisible()) speedField_->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- time

void SpeedPage::MaskEdit2Change(int row) {
    if (filling() || !IsGridRow(row) || timeField_->isBlank()) return;
    const std::optional<int> hour = timeField_->hour();
    const std::optional<int> minute = timeField_->minute();
    TSpeedEntry& entry = plan().SpeedSchedule[row - 1];
    if (hour && minute && *minute < kMinutesPerHour && *hour <= kLatestHour) {
        journal().Record(kTimeField, TimePayload(column_, row, entry));
        entry.Hour = static_cast<std::uint8_t>(*hour);
        entry.Minute = static_cast<std::uint8_t>(*minute);
        grid_->setCellText(row, kTimeColumn, timeField_->timeText());
        return;
    }
    // The second hour digit may still come.
    if (timeField_->cursorPosition() < 2) return;
    {
        const FillGuard guard = context().Fill();
        timeField_->setTime(entry.Hour, entry.Minute);
    }
    context().Beep();
}

void SpeedPage::ReplayTime(const JournalEntry& entry) {
    const int column = static_cast<int>(ByteAt(entry.payload, 0));
    const int row = static_cast<int>(ByteAt(entry.payload, 1));
    if (!IsGridRow(row)) return;
    const QStringList time =
        ToQString(std::string_view(entry.payload).substr(std::min<std::size_t>(2, entry.payload.size())))
            .split(QLatin1Char(':'));
    const std::optional<int> hour = ParseWholeNumber(time.value(0));
    const std::optional<int> minute = ParseWholeNumber(time.value(1));
    if (!hour || !minute) return;
    // The entry's row first, so the time goes back where it came from.
    StringGrid10SelectCell(row, column >= kTimeColumn && column <= kSpeedIndicators ? column : kTimeColumn,
                           false);
    if (*hour <= kLatestHour && *minute < kMinutesPerHour) {
        {
            const FillGuard guard = context().Fill();
            timeField_->setTime(*hour, *minute);
        }
        MaskEdit2Change(row);
        return;
    }
    // A file's time the field would refuse goes back directly, with its counter-entry.
    TSpeedEntry& stored = plan().SpeedSchedule[row - 1];
    journal().Record(kTimeField, TimePayload(column_, row, stored));
    stored.Hour = static_cast<std::uint8_t>(*hour);
    stored.Minute = static_cast<std::uint8_t>(*minute);
    FillRow(row);
}

// ---------------------------------------------------------------- speeds

void SpeedPage::StringGrid10SetEditText(int row, int column) {
    if (filling() || !IsGridRow(row) || !IsSpeedColumn(column)) return;
    const QString text = speedField_->text();
    if (text.isEmpty()) return;
    const std::optional<int> value = ParseWholeNumber(text);
    std::uint8_t& speed = plan().SpeedSchedule[row - 1].Speed[column - 1];
    if (text.size() > kLongestSpeed || !value || *value > kSpeedLimit) {
        const FillGuard guard = context().Fill();
        speedField_->setText(QString::number(speed));
        grid_->setCellText(row, column, QString::number(speed));
        return;
    }
    // Speeds keep no journal entries; the window's baseline still sees the change.
    speed = static_cast<std::uint8_t>(*value);
    grid_->setCellText(row, column, text);
}

}  // namespace kdt::gui

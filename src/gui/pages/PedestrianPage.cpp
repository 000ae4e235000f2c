#include "pages/PedestrianPage.h"

#include <stdexcept>
#include <string>

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/BitMatrix.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/SquareStrip.h"
#include "components/UpDownEdit.h"
#include "pages/ColoursPage.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace pedestrian;

constexpr int kColumns = 4;
constexpr QSize kMatrixCell(17, 14);  // the squares above share its columns
const QColor kGreyOutline(0x80, 0x80, 0x80);
constexpr std::array<std::string_view, 4> kColourNames = {"без цвета", "красный", "жёлтый", "зелёный"};
// Every in-place value is typed in at most what a byte holds.
constexpr int kLargestTyped = 255;

std::string FieldPayload(int column, int button, int shown) {
    return ByteText(static_cast<unsigned>(column)) + ByteText(static_cast<unsigned>(button)) +
           WordText(static_cast<unsigned>(shown));
}

int TextWidth(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text);
}

}  // namespace

int ShownTvpButtons(const TSignalPlan& plan) {
    return plan.TvpButtonCount <= kMaxTvpButtons ? plan.TvpButtonCount : 0;
}

PedestrianPage::PedestrianPage(PageContext& context, QWidget* parent) : Page(6, context, parent) {
    BuildGrid();
    BuildWaitDisplay();

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(grid_, 0, Qt::AlignTop);
    top->addWidget(clear_, 0, Qt::AlignTop);
    top->addStretch(1);

    auto* caption = new QLabel(ToQString("Уставка"), this);
    caption->setBuddy(squares_);
    squares_->setAccessibleName(AccessibleNameOf(caption->text()));
    auto* display = new QGridLayout;
    display->setHorizontalSpacing(4);
    display->setVerticalSpacing(0);
    display->addWidget(caption, 0, 0, Qt::AlignLeft | Qt::AlignBottom);
    display->addWidget(squares_, 0, 1);
    display->addWidget(buttons_, 1, 0, Qt::AlignTop);
    display->addWidget(matrix_, 1, 1, Qt::AlignTop);
    display->setColumnStretch(2, 1);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 2, 4, 2);
    page->setSpacing(6);
    page->addLayout(top);
    page->addLayout(display);
    page->addStretch(1);
    RegisterInJournal();
}

// ---------------------------------------------------------------- building

void PedestrianPage::BuildGrid() {
    grid_ = new GridTable(this);
    grid_->setObjectName(QStringLiteral("StringGrid6"));
    grid_->setHeaderTexts({ToQString(" № ТВП"), ToQString(" Фаза ТВП"), ToQString(" Длительность"),
                           ToQString(" Фаза Программы")});
    grid_->setNumberColumns(1);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int column = 0; column < kColumns; ++column)
        grid_->setColumnWidth(column, TextWidth(grid_, grid_->headerText(column)) + 12);
    grid_->setFixedHeight(2 * grid_->frameWidth() + grid_->horizontalHeader()->height() +
                          kMaxTvpButtons * GridTable::kRowHeight);
    FitGridWidth();
    grid_->setAccessibleName(ToQString("Привязка кнопки ТВП к фазе и установка длительности"));
    connect(grid_, &GridTable::cellSelected, this,
            [this](int row, int column) { StringGrid6SelectCell(row, column, true); });

    field_ = new CellEditor(grid_);
    field_->setObjectName(QStringLiteral("Edit7"));
    NumberKeyFilter::Install(field_, [this] { context().Beep(); });
    field_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), field_));
    connect(field_, &CellEditor::edited, this, [this](int row, int column) { Edit7Change(row, column); });
    // A field left holding what was not taken shows the stored value again.
    connect(field_, &CellEditor::left, this, [this](int row, int column) {
        if (filling() || journal().replaying() || row != button_ || column != column_) return;
        ReloadField();
    });

    clear_ = new QPushButton(ToQString("Очистка"), this);
    clear_->setObjectName(QStringLiteral("Button1"));
    clear_->setAutoDefault(false);
    connect(clear_, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void PedestrianPage::BuildWaitDisplay() {
    SquareStrip::Geometry geometry;
    geometry.count = kChannelCount;
    geometry.columns = kChannelCount;
    geometry.squareSize = 12;
    geometry.pitch = kMatrixCell.width();
    geometry.rowGap = 0;
    geometry.numberPointSize = 7;
    squares_ = new SquareStrip(geometry, this);
    squares_->setObjectName(QStringLiteral("Shape145"));
    squares_->setDescriber([this](int channel) { return DescribeChannel(channel); });
    connect(squares_, &SquareStrip::cellReleased, this,
            [this](int channel, Qt::MouseButton button) { Shape145MouseUp(channel, button); });
    connect(squares_, &SquareStrip::cellActivated, this,
            [this](int channel) { Shape145MouseUp(channel, Qt::LeftButton); });

    matrix_ = new BitMatrix(kMaxTvpButtons, kChannelCount, kMatrixCell, this);
    matrix_->setObjectName(QStringLiteral("PaintBox2"));
    // Below the last row is no button's row either.
    matrix_->setReleaseBelowIgnored(true);
    SetHint(matrix_, "|Шелчок левой кнопки мыши меняет состояние уставки на противоположное");
    matrix_->setAccessibleName(ToQString("Уставка ждите по кнопкам ТВП"));
    matrix_->setDescriber([this](MatrixCell cell) { return DescribeCell(cell); });
    connect(matrix_, &BitMatrix::cellReleased, this,
            [this](MatrixCell cell, Qt::MouseButton button) { PaintBox2MouseUp(cell, button); });
    connect(matrix_, &BitMatrix::cellActivated, this,
            [this](MatrixCell cell) { PaintBox2MouseUp(cell, Qt::LeftButton); });

    // The buttons' names, each beside its matrix row; a display only.
    buttons_ = new QListWidget(this);
    buttons_->setObjectName(QStringLiteral("ListBox1"));
    buttons_->setAccessibleName(ToQString("Кнопки ТВП"));
    buttons_->setFocusPolicy(Qt::NoFocus);
    buttons_->setSelectionMode(QAbstractItemView::NoSelection);
    buttons_->setFrameShape(QFrame::NoFrame);
    buttons_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    buttons_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    buttons_->setSpacing(0);
    buttons_->setUniformItemSizes(true);
    buttons_->viewport()->setAutoFillBackground(false);
    buttons_->setFixedSize(TextWidth(buttons_, ToQString("ТВП 4")) + 8, matrix_->height());
}

void PedestrianPage::RegisterInJournal() {
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        ControlInfo info{
            6, ControlClass::Shape, 0, {}, true, [this, channel](const JournalEntry& entry, ReplaySide) {
                const int button = static_cast<int>(ByteAt(entry.payload, 1));
                if (button < 1 || button > kMaxTvpButtons) return;
                if (button <= rows()) {
                    const FillGuard guard = context().Fill();
                    grid_->selectCell(button, column_);
                    StringGrid6SelectCell(button, column_, false);
                }
                ToggleWaitChannel(button, channel);
            }};
        journal().Register(static_cast<ControlId>(kWaitSquare + channel), std::move(info));
    }
    journal().Register(kButtonField,
                       {6, ControlClass::Edit, 7, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayField(entry);
                        }});
    journal().Register(kClear,
                       {6, ControlClass::Button, 1, {}, false, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayClear(entry);
                        }});
}

// ---------------------------------------------------------------- showing

void PedestrianPage::Fill() {
    const int count = rows();
    grid_->setDataRowCount(count);
    ApplyRomType();
    ShowSquares();
    ShowWaitMasks();
    buttons_->clear();
    for (int b = 1; b <= count; ++b) {
        auto* item = new QListWidgetItem(ToQString("ТВП ") + QString::number(b), buttons_);
        item->setSizeHint(QSize(buttons_->width(), kMatrixCell.height()));
    }
    field_->setEnabled(count > 0);
    squares_->setEnabled(count > 0);
    matrix_->setEnabled(count > 0);
    if (count == 0) {
        field_->clearPlace();
        return;
    }
    // Edits never go to a button whose row is not shown.
    button_ = std::clamp(button_, 1, count);
    if (column_ < kPhaseColumn || column_ > kInsertPhaseColumn || grid_->isColumnHidden(column_))
        column_ = kPhaseColumn;
    for (int b = 1; b <= count; ++b) {
        grid_->setCellText(b, 0, QStringLiteral("  ") + QString::number(b));
        FillRow(b);
    }
    grid_->selectCell(button_, column_);
    StringGrid6SelectCell(button_, column_, false);
}

void PedestrianPage::ApplyRomType() {
    const FillGuard guard = context().Fill();
    // Only the 4.2.x ROMs insert a pedestrian phase into a program phase.
    const bool insertion = IsRom42x(plan());
    grid_->setColumnHidden(kInsertPhaseColumn, !insertion);
    FitGridWidth();
    if (!insertion && column_ == kInsertPhaseColumn) {
        column_ = kPhaseColumn;
        if (field_->placed() && button_ <= rows()) {
            grid_->selectCell(button_, column_);
            StringGrid6SelectCell(button_, column_, false);
        }
    }
}

void PedestrianPage::SelectionsReset() {
    button_ = 1;
    column_ = kPhaseColumn;
}

void PedestrianPage::RefreshEnabledStates() {
    clear_->setEnabled(rows() > 0 && button_ <= rows() && plan().Tvp[button_].WaitMask != 0);
}

void PedestrianPage::FitGridWidth() {
    int width = 2 * grid_->frameWidth();
    for (int column = 0; column < kColumns; ++column)
        if (!grid_->isColumnHidden(column)) width += grid_->columnWidth(column);
    grid_->setFixedWidth(width);
}

int PedestrianPage::ShownValue(int button, int column) const {
    const unsigned raw = RawValue(button, column);
    switch (column) {
        case kPhaseColumn:
            return static_cast<int>(raw + 1);
        case kDurationColumn:
            return static_cast<int>(raw / 2);
        default:
            return static_cast<int>(raw + 1);
    }
}

unsigned PedestrianPage::RawValue(int button, int column) const {
    const TSignalPlan& p = plan();
    switch (column) {
        case kPhaseColumn:
            return p.Tvp[button].Phase;
        case kDurationColumn:
            return p.Tvp[button].Duration;
        default:
            return p.TvpInsertPhase[button - 1];
    }
}

void PedestrianPage::WriteRaw(int button, int column, unsigned raw) {
    TSignalPlan& p = plan();
    switch (column) {
        case kPhaseColumn:
            p.Tvp[button].Phase = static_cast<std::uint16_t>(raw);
            break;
        case kDurationColumn:
            p.Tvp[button].Duration = static_cast<std::uint16_t>(raw);
            break;
        default:
            p.TvpInsertPhase[button - 1] = static_cast<std::uint8_t>(raw);
            break;
    }
}

bool PedestrianPage::Accepts(int column, int value) const {
    const TSignalPlan& p = plan();
    const int maximum = column == kDurationColumn ? PedestrianDurationLimit(p) : PhaseRows(p);
    const int minimum = column == kDurationColumn ? 0 : 1;
    return value >= minimum && value <= std::min(maximum, kLargestTyped);
}

QString PedestrianPage::CellText(int button, int column) const {
    // An insertion phase of 255 is none: an empty cell, never rewritten as phase 1.
    if (column == kInsertPhaseColumn && RawValue(button, column) == kNoInsertPhase) return {};
    return QString::number(ShownValue(button, column));
}

void PedestrianPage::FillRow(int button) {
    if (button < 1 || button > rows()) return;
    for (int column = kPhaseColumn; column <= kInsertPhaseColumn; ++column)
        grid_->setCellText(button, column, CellText(button, column));
}

void PedestrianPage::ShowSquares() {
    const TSignalPlan& p = plan();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        squares_->setSquare(channel, ChannelFill(p.ChannelColour[channel - 1]), kGreyOutline);
    squares_->UpdateDescription();
}

void PedestrianPage::ShowWaitMasks() {
    const TSignalPlan& p = plan();
    for (int b = 1; b <= kMaxTvpButtons; ++b) matrix_->setRowBits(b - 1, p.Tvp[b].WaitMask);
    matrix_->UpdateDescription();
    squares_->UpdateDescription();
}

void PedestrianPage::ReloadField() {
    if (!field_->placed() || field_->row() > rows()) return;
    const FillGuard guard = context().Fill();
    field_->setText(CellText(field_->row(), field_->column()));
}

QString PedestrianPage::DescribeChannel(int channel) const {
    const TSignalPlan& p = plan();
    const std::uint8_t colour = p.ChannelColour[channel - 1];
    const int b = std::clamp(button_, 1, kMaxTvpButtons);
    const bool member = (p.Tvp[b].WaitMask >> (channel - 1)) & 1u;
    return ToQString("канал ") + QString::number(channel) + QStringLiteral(", ") +
           ToQString(kColourNames[colour < kColourNames.size() ? colour : 0]) +
           ToQString(member ? ", в уставке ждите ТВП " : ", не в уставке ждите ТВП ") + QString::number(b);
}

QString PedestrianPage::DescribeCell(const MatrixCell& cell) const {
    const bool set = matrix_->isSet(cell.row, cell.column);
    return ToQString("ТВП ") + QString::number(cell.row + 1) + ToQString(", канал ") +
           QString::number(cell.column + 1) + ToQString(set ? ", ждите включено" : ", ждите не включено");
}

// ---------------------------------------------------------------- the button grid

void PedestrianPage::StringGrid6SelectCell(int row, int column, bool focusField) {
    if (column < kPhaseColumn || column > kInsertPhaseColumn || row < 1 || row > rows()) return;
    // Selecting loads the cell; it records and stores nothing.
    const FillGuard guard = context().Fill();
    button_ = row;
    column_ = column;
    field_->placeOver(row, column);
    field_->setText(CellText(row, column));
    if (focusField && field_->isVisible()) field_->setFocus(Qt::OtherFocusReason);
    ShowWaitMasks();
}

void PedestrianPage::Edit7Change(int row, int column) {
    if (filling() || row < 1 || row > rows() || column < kPhaseColumn || column > kInsertPhaseColumn) return;
    const QString text = field_->text();
    if (text.isEmpty()) return;
    const std::optional<int> value = ParseWholeNumber(text);
    // Out of the limits nothing happens: the field keeps what was typed.
    if (!value || !Accepts(column, *value)) return;
    journal().Record(kButtonField, FieldPayload(column, row, ShownValue(row, column)),
                     WordText(RawValue(row, column)));
    WriteRaw(row, column, static_cast<unsigned>(column == kDurationColumn ? *value * 2 : *value - 1));
    grid_->setCellText(row, column, text);
}

void PedestrianPage::ReplayField(const JournalEntry& entry) {
    const int column = static_cast<int>(ByteAt(entry.payload, 0));
    const int button = static_cast<int>(ByteAt(entry.payload, 1));
    const int shown = static_cast<int>(WordAt(entry.payload, 2));
    if (column < kPhaseColumn || column > kInsertPhaseColumn || button < 1 || button > kMaxTvpButtons) return;
    const unsigned raw = entry.memo.size() >= 2      ? WordAt(entry.memo, 0)
                         : column == kDurationColumn ? static_cast<unsigned>(shown * 2)
                                                     : static_cast<unsigned>(shown - 1);
    // The entry's cell first, so the value goes where it came from.
    const bool shownHere = button <= rows();
    if (shownHere) {
        const FillGuard guard = context().Fill();
        grid_->selectCell(button, column);
        StringGrid6SelectCell(button, column, false);
    }
    if (shownHere && Accepts(column, shown)) {
        {
            const FillGuard guard = context().Fill();
            field_->setText(QString::number(shown));
        }
        Edit7Change(button, column);
    } else {
        // A value the field would refuse (a file's phase 300, no insertion
        // phase) or a button no row shows goes back directly, with its counter-entry.
        journal().Record(kButtonField, FieldPayload(column, button, ShownValue(button, column)),
                         WordText(RawValue(button, column)));
    }
    // The shown value drops an odd half-second; the raw value is whole.
    WriteRaw(button, column, raw);
    FillRow(button);
    ReloadField();
}

// ---------------------------------------------------------------- the "Ждите" display

void PedestrianPage::Shape145MouseUp(int channel, Qt::MouseButton button) {
    if (button != Qt::LeftButton || filling() || button_ < 1 || button_ > rows()) return;
    ToggleWaitChannel(button_, channel);
}

void PedestrianPage::PaintBox2MouseUp(const MatrixCell& cell, Qt::MouseButton button) {
    const int row = cell.row + 1;
    if (filling() || row < 1 || row > rows()) return;
    // The row is selected whatever the button; only the left one toggles.
    {
        const FillGuard guard = context().Fill();
        grid_->selectCell(row, column_);
        StringGrid6SelectCell(row, column_, false);
    }
    if (button == Qt::LeftButton) ToggleWaitChannel(row, cell.column + 1);
}

void PedestrianPage::ToggleWaitChannel(int button, int channel) {
    if (filling() || button < 1 || button > kMaxTvpButtons || channel < 1 || channel > kChannelCount) return;
    journal().Record(static_cast<ControlId>(kWaitSquare + channel),
                     std::string("t") + ByteText(static_cast<unsigned>(button)));
    TSignalPlan& p = plan();
    p.Tvp[button].WaitMask = p.Tvp[button].WaitMask ^ (std::uint32_t{1} << (channel - 1));
    ShowWaitMasks();
}

void PedestrianPage::Button1Click() {
    if (filling() || rows() == 0) return;
    const int b = std::clamp(button_, 1, rows());
    TSignalPlan& p = plan();
    const std::uint32_t mask = p.Tvp[b].WaitMask;
    if (mask == 0) return;
    // The old mask as a signed decimal number, as the entry has always held it.
    journal().Record(kClear,
                     ByteText(static_cast<unsigned>(b)) + std::to_string(static_cast<std::int32_t>(mask)));
    p.Tvp[b].WaitMask = 0;
    const FillGuard guard = context().Fill();
    StringGrid6SelectCell(button_, column_, false);
}

void PedestrianPage::ReplayClear(const JournalEntry& entry) {
    const int b = static_cast<int>(ByteAt(entry.payload, 0));
    if (b < 1 || b > kMaxTvpButtons) return;
    const std::string text = entry.payload.substr(1);
    long long mask = 0;
    try {
        mask = std::stoll(text);
    } catch (const std::exception&) {
        return;
    }
    plan().Tvp[b].WaitMask = static_cast<std::uint32_t>(mask);
    if (b <= rows()) {
        const FillGuard guard = context().Fill();
        grid_->selectCell(b, column_);
        StringGrid6SelectCell(b, column_, false);
    }
    ShowWaitMasks();
}

}  // namespace kdt::gui

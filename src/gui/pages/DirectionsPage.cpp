#include "pages/DirectionsPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/BitMatrix.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/RadioGroup.h"
#include "components/SquareStrip.h"
#include "components/UpDownEdit.h"
#include "pages/ColoursPage.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace directions;

constexpr int kLimitBeforeAnyRom = 127;
constexpr int kHeadLimitBeforeAnyRom = 50;
constexpr int kGridRowHeight = 16;
constexpr QSize kMatrixCell(13, 16);  // the squares above share its columns
const QColor kGreyOutline(0x80, 0x80, 0x80);

constexpr std::array<std::string_view, kStructureCount> kStructureItems = {
    "\"Начало фазы\"      >", "\"Зеленые\"              >",  "\"Красные\"              >",
    "\"Завершен. фазы\" >",   "\"Мигания\"               >",
};
constexpr std::array<std::string_view, kStructureCount> kStructureNames = {
    "Начало фазы", "Зеленые", "Красные", "Завершен. фазы", "Мигания"};
constexpr std::array<std::string_view, 4> kColourNames = {"без цвета", "красный", "жёлтый", "зелёный"};

unsigned ReadDuration(const TDirectionSettings& d, int tag) {
    switch (tag) {
        case 1:
            return d.HeadDuration;
        case 2:
            return d.TailDuration;
        case 3:
            return d.ExtraGreenAfterGreen;
        case 4:
            return d.ExtraGreenAfterRed;
        default:
            return d.GreenBlinkCount;
    }
}

void WriteDuration(TDirectionSettings& d, int tag, unsigned value) {
    const auto v = static_cast<std::uint16_t>(value);
    switch (tag) {
        case 1:
            d.HeadDuration = v;
            break;
        case 2:
            d.TailDuration = v;
            break;
        case 3:
            d.ExtraGreenAfterGreen = v;
            break;
        case 4:
            d.ExtraGreenAfterRed = v;
            break;
        default:
            d.GreenBlinkCount = v;
            break;
    }
}

struct FieldLine {
    int tag;
    const char* programName;
    const char* manualName;
    std::string_view hint;
    std::string_view spoken;  // what a screen reader calls the pair
    int scale;
};

constexpr std::array<FieldLine, kDurationCount> kFieldLines = {{
    {1, "LabeledEdit9", "Edit1", "Красный с жёлтым", "Красный с жёлтым", 2},
    {2, "LabeledEdit10", "Edit2", "Жёлтый", "Жёлтый", 2},
    {3, "LabeledEdit14", "Edit3", "Дополнительный зелёный", "Дополнительный зелёный после фазы", 2},
    {4, "LabeledEdit15", "Edit4", "Дополнительный зелёный", "Дополнительный зелёный перед фазой", 2},
    {5, "LabeledEdit17", "Edit5", "Мигание зелёного", "Мигание зелёного", 1},
}};

int LimitOf(const TSignalPlan& plan, int tag) {
    return tag == 5 ? kGreenBlinkCountLimit : DirectionDurationLimit(plan);
}

QString SecondsText(unsigned stored) {
    return QString::number(stored / 2) + QStringLiteral("  сек.");
}

}  // namespace

std::uint32_t StructureMask(const TDirectionSettings& direction, int structure) {
    switch (structure) {
        case 0:
            return direction.HeadMask;
        case 1:
            return direction.GreenMask;
        case 2:
            return direction.RedMask;
        case 3:
            return direction.TailMask;
        case 4:
            return direction.BlinkMask;
        default:
            return 0;
    }
}

void SetStructureMask(TDirectionSettings& direction, int structure, std::uint32_t mask) {
    switch (structure) {
        case 0:
            direction.HeadMask = mask;
            break;
        case 1:
            direction.GreenMask = mask;
            break;
        case 2:
            direction.RedMask = mask;
            break;
        case 3:
            direction.TailMask = mask;
            break;
        case 4:
            direction.BlinkMask = mask;
            break;
        default:
            break;
    }
}

DirectionsPage::DirectionsPage(PageContext& context, QWidget* parent) : Page(3, context, parent) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 0);
    page->setSpacing(1);

    // Above: the direction list, the durations on their time line, the option and "Очистка".
    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    page->addLayout(top);
    grid_ = new QTableWidget(0, 3, this);
    grid_->setObjectName(QStringLiteral("StringGrid3"));
    grid_->setHorizontalHeaderLabels(
        {ToQString(" № напр."), ToQString(" Длит \"Начала\""), ToQString(" Длит \"Завершен\"")});
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    grid_->verticalHeader()->setMinimumSectionSize(kGridRowHeight);
    grid_->horizontalHeader()->setFixedHeight(kGridRowHeight + 2);
    grid_->horizontalHeader()->setSectionsClickable(false);
    // A size smaller than the page's, so the time line keeps its captions whole.
    QFont gridFont = grid_->font();
    gridFont.setPointSizeF(gridFont.pointSizeF() - 1);
    grid_->setFont(gridFont);
    grid_->horizontalHeader()->setFont(gridFont);
    // Each column as wide as its caption; the grid as wide as its columns.
    int gridWidth = 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < 3; ++column) {
        const int width =
            grid_->fontMetrics().horizontalAdvance(grid_->horizontalHeaderItem(column)->text()) + 6;
        grid_->setColumnWidth(column, width);
        gridWidth += width;
    }
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->setFixedWidth(gridWidth);
    grid_->setWordWrap(false);
    SetHint(grid_, "Выбор направления для редактирования|Еденица длитильности равна 1 секунде");
    grid_->setAccessibleName(ToQString("Направления"));
    top->addWidget(grid_);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(3);
    fields->setVerticalSpacing(1);
    top->addLayout(fields, 1);
    BuildFields(fields);

    // Below: the structure choice, the channel squares and the matrix of the five structures.
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    page->addLayout(bottom);
    QStringList items;
    for (const std::string_view item : kStructureItems) items << ToQString(item);
    structures_ = new RadioGroup(ToQString("Структура направления"), items, 1, this);
    structures_->setObjectName(QStringLiteral("RadioGroup1"));
    SetHint(structures_, "Выбор активной уставки для редактирвания");
    // Each item as high as a matrix row, so it stands beside the row it selects.
    for (int s = 0; s < kStructureCount; ++s) structures_->item(s)->setFixedHeight(kMatrixCell.height());
    structures_->setItemIndex(structure_);
    bottom->addWidget(structures_, 0, Qt::AlignTop);

    auto* channels = new QVBoxLayout;
    channels->setSpacing(1);
    bottom->addLayout(channels);
    SquareStrip::Geometry geometry;
    geometry.count = kChannelCount;
    geometry.columns = kChannelCount;
    geometry.squareSize = 11;
    geometry.pitch = kMatrixCell.width();
    geometry.rowGap = 0;
    geometry.numberPointSize = 6;
    squares_ = new SquareStrip(geometry, this);
    squares_->setObjectName(QStringLiteral("Shape33"));
    squares_->setAccessibleName(ToQString("Каналы направления"));
    squares_->setDescriber([this](int channel) { return DescribeChannel(channel); });
    matrix_ = new BitMatrix(kStructureCount, kChannelCount, kMatrixCell, this);
    matrix_->setObjectName(QStringLiteral("PaintBox1"));
    matrix_->setAccessibleName(ToQString("Структура направления по каналам"));
    matrix_->setDescriber([this](MatrixCell cell) { return DescribeCell(cell); });
    channels->addWidget(squares_);
    channels->addWidget(matrix_);
    channels->addStretch(1);
    bottom->addStretch(1);
    page->addStretch(1);

    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) StringGrid3SelectCell(GridRowOfTableRow(row));
    });
    connect(structures_, &RadioGroup::itemChosen, this, [this](int item) { SelectStructure(item); });
    connect(squares_, &SquareStrip::cellReleased, this,
            [this](int channel, Qt::MouseButton) { Shape33MouseUp(channel); });
    connect(squares_, &SquareStrip::cellActivated, this, [this](int channel) { Shape33MouseUp(channel); });
    connect(matrix_, &BitMatrix::cellReleased, this,
            [this](MatrixCell cell, Qt::MouseButton) { PaintBox1MouseUp(cell); });
    connect(matrix_, &BitMatrix::cellActivated, this, [this](MatrixCell cell) { PaintBox1MouseUp(cell); });
    connect(option_, &QCheckBox::toggled, this, [this] {
        if (!filling()) CheckBox1Click();
    });
    connect(clear_, &QPushButton::clicked, this, [this] { SbrosUstClick(); });
    RegisterInJournal();
}

void DirectionsPage::BuildFields(QGridLayout* grid) {
    // The time line: red with yellow and the extra green before the phase,
    // the phase, then the extra green after it, the green blinks and yellow.
    constexpr std::array<int, kDurationCount> kColumnOfTag = {1, 6, 4, 2, 5};
    auto* switchOn = new QLabel(ToQString("Т.Пром включения"), this);
    auto* phase = new QLabel(ToQString("ФАЗА"), this);
    SetHint(phase, "Основной такт (Фаза)");
    phase->setAlignment(Qt::AlignCenter);
    phase->setFrameShape(QFrame::Box);
    phase->setFixedWidth(phase->fontMetrics().horizontalAdvance(phase->text()) + 6);
    auto* switchOff = new QLabel(ToQString("Т.Пром выключения"), this);
    // Over its two fields, reaching left over the row captions' empty corner.
    switchOn->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    switchOff->setAlignment(Qt::AlignCenter);
    grid->addWidget(switchOn, 0, 0, 1, 3);
    grid->addWidget(phase, 0, 3, 3, 1);
    grid->addWidget(switchOff, 0, 4, 1, 3);
    auto* programRow = new QLabel(ToQString("Переключение в АПП"), this);
    auto* manualRow = new QLabel(ToQString("Переключение в РУ"), this);
    grid->addWidget(programRow, 1, 0);
    grid->addWidget(manualRow, 2, 0);

    for (const FieldLine& line : kFieldLines) {
        const int tag = line.tag;
        const auto bindingLine = [&](bool manual) {
            NumberFieldLine field;
            field.id = static_cast<ControlId>((manual ? kManualField : kProgramField) + tag);
            field.objectName = manual ? line.manualName : line.programName;
            field.hint = line.hint;
            field.kind = ControlClass::Edit;
            field.tag = tag;
            field.scale = line.scale;
            field.read = [this, tag, manual](const TSignalPlan& p) {
                return ReadDuration(manual ? Manual(p) : Program(p), tag);
            };
            field.write = [this, tag, manual](TSignalPlan& p, unsigned value) {
                WriteDuration(manual ? Manual(p) : Program(p), tag, value);
            };
            field.limits = [tag](const TSignalPlan& p) { return NumberRange{0, LimitOf(p, tag)}; };
            return field;
        };
        for (const bool manual : {false, true}) {
            auto* field = new NumberField(context(), bindingLine(manual), this);
            field->edit()->setFixedWidth(34);
            field->edit()->setAccessibleName(ToQString(line.spoken) + ToQString(manual ? " (РУ)" : " (АПП)"));
            // Until a ROM type is applied (it always is at start).
            field->edit()->setRange(0, tag == 1 ? kHeadLimitBeforeAnyRom : kLimitBeforeAnyRom);
            field->payloadOf = [this](int oldShown) {
                return ByteText(static_cast<unsigned>(direction_)) +
                       ByteText(static_cast<unsigned>(oldShown));
            };
            field->shownOf = [](const JournalEntry& entry) {
                return static_cast<int>(ByteAt(entry.payload, 1));
            };
            field->selectContext = [this](const JournalEntry& entry) {
                StringGrid3SelectCell(static_cast<int>(ByteAt(entry.payload, 0)));
            };
            if (manual) {
                // With the option on the manual durations follow the program ones unrecorded.
                field->records = [this] { return !option_->isChecked(); };
                manual_[static_cast<std::size_t>(tag - 1)] = field;
            } else {
                field->cascade = [this, tag](int shown) { ProgramCascade(tag, shown); };
                // What the cascade changes: the manual duration, when the option is on.
                field->cascadeSnapshot = [this, tag](const TSignalPlan& p) {
                    return ByteText(option_->isChecked() ? 1 : 0) + WordText(ReadDuration(Manual(p), tag));
                };
                field->cascadeRestore = [this, tag](TSignalPlan& p, std::string_view bytes) {
                    if (ByteAt(bytes, 0) == 1) WriteDuration(Manual(p), tag, WordAt(bytes, 1));
                };
                program_[static_cast<std::size_t>(tag - 1)] = field;
            }
            grid->addWidget(field->edit(), manual ? 2 : 1, kColumnOfTag[static_cast<std::size_t>(tag - 1)]);
            // Leaving a field shows what it holds: a refused entry disappears.
            OnLeave(field->edit(), [this, field] {
                if (field->TakesText()) return;
                const FillGuard guard = context().Fill();
                field->edit()->setText(QString::number(field->shownValue()));
            });
        }
    }

    option_ = new QCheckBox(ToQString("Длительности РУ соответствуют АПП"), this);
    option_->setObjectName(QStringLiteral("CheckBox1"));
    SetHint(option_,
            "|Установка, после задания всех параметров,- присвоит всем длительностям РУ значения "
            "длительностей АПП");
    clear_ = new QPushButton(ToQString("&Очистка"), this);
    clear_->setObjectName(QStringLiteral("SbrosUst"));
    clear_->setFixedHeight(clear_->fontMetrics().height() + 8);
    SetHint(clear_, "Сброс уставок|Сброс всех каналов в уставках текущего направления");
    grid->addWidget(option_, 3, 0, 1, 5);
    grid->addWidget(clear_, 3, 5, 1, 2);
    grid->setRowStretch(4, 1);
}

void DirectionsPage::RegisterInJournal() {
    for (int tag = 1; tag <= kDurationCount; ++tag) {
        for (NumberField* field : {programField(tag), manualField(tag)}) {
            ControlInfo info{3, ControlClass::Edit, tag, {}, true, {}};
            info.replay = [field](const JournalEntry& entry, ReplaySide) { field->Replay(entry); };
            journal().Register(field->line().id, std::move(info));
        }
    }
    journal().Register(kOption, {3, ControlClass::CheckBox, 0, "Длительности РУ соответствуют АПП", true,
                                 [this](const JournalEntry& entry, ReplaySide) { ReplayOption(entry); }});
    journal().Register(kClear,
                       {3, ControlClass::Button, 5, {}, false, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayClear(entry);
                        }});
    for (int channel = 1; channel <= kChannelCount; ++channel)
        journal().Register(
            static_cast<ControlId>(kChannel + channel),
            {3,
             ControlClass::Shape,
             channel,
             {},
             true,
             [this, channel](const JournalEntry& entry, ReplaySide) { ReplayChannel(channel, entry); }});
}

// ---------------------------------------------------------------- the record

std::size_t DirectionsPage::index() const {
    return static_cast<std::size_t>(std::clamp(direction_, 1, kMaxDirections) - 1);
}

TDirectionSettings& DirectionsPage::Program(TSignalPlan& plan) const {
    return plan.Direction[index()];
}
const TDirectionSettings& DirectionsPage::Program(const TSignalPlan& plan) const {
    return plan.Direction[index()];
}
TDirectionSettings& DirectionsPage::Manual(TSignalPlan& plan) const {
    return plan.DirectionManual[index()];
}
const TDirectionSettings& DirectionsPage::Manual(const TSignalPlan& plan) const {
    return plan.DirectionManual[index()];
}

// ---------------------------------------------------------------- showing

void DirectionsPage::Fill() {
    if (direction_ < 1 || direction_ > DirectionRows(plan())) direction_ = 1;
    ShowGrid();
    ShowSquares();
    ShowOption();
    // All ten durations of the direction, not only the blink counts: after
    // another plan was opened the others would show the previous plan's values.
    StringGrid3SelectCell(direction_);
}

void DirectionsPage::PlanReplaced() {
    ShowOption();
}

void DirectionsPage::SelectionsReset() {
    direction_ = 1;
}

void DirectionsPage::ShowGrid() {
    const TSignalPlan& p = plan();
    const QSignalBlocker blocker(grid_);
    const int rows = DirectionRows(p);
    grid_->setRowCount(rows);
    for (int d = 1; d <= rows; ++d) {
        const TDirectionSettings& direction = p.Direction[d - 1];
        const QStringList texts = {QString::number(d), SecondsText(direction.HeadDuration),
                                   SecondsText(direction.TailDuration)};
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid_->setItem(TableRowOfGridRow(d), column, item);
        }
    }
}

void DirectionsPage::ShowSquares() {
    const TSignalPlan& p = plan();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        squares_->setSquare(channel, ChannelFill(p.ChannelColour[channel - 1]), kGreyOutline);
    squares_->UpdateDescription();
}

void DirectionsPage::ShowOption() {
    const FillGuard guard = context().Fill();
    option_->setChecked(plan().ManualFollowsProgram != 0);
    UpdateFieldStates();
}

void DirectionsPage::ShowMatrix() {
    const TDirectionSettings& direction = Program(plan());
    for (int s = 0; s < kStructureCount; ++s) matrix_->setRowBits(s, StructureMask(direction, s));
    matrix_->UpdateDescription();
    squares_->UpdateDescription();
}

void DirectionsPage::LoadDurationFields() {
    const FillGuard guard = context().Fill();
    for (int tag = 1; tag <= kDurationCount; ++tag) {
        programField(tag)->Fill();
        manualField(tag)->Fill();
    }
}

void DirectionsPage::StringGrid3SelectCell(int row) {
    direction_ = std::clamp(row, 1, kMaxDirections);
    {
        const QSignalBlocker blocker(grid_);
        if (direction_ <= grid_->rowCount())
            grid_->setCurrentCell(TableRowOfGridRow(direction_),
                                  grid_->currentColumn() < 0 ? 0 : grid_->currentColumn());
    }
    LoadDurationFields();
    ShowMatrix();
}

void DirectionsPage::SelectStructure(int structure) {
    structure_ = std::clamp(structure, 0, kStructureCount - 1);
    {
        const QSignalBlocker blocker(structures_);
        structures_->setItemIndex(structure_);
    }
    matrix_->UpdateDescription();
    squares_->UpdateDescription();
}

QString DirectionsPage::DescribeChannel(int channel) const {
    const TSignalPlan& p = plan();
    const std::uint8_t colour = p.ChannelColour[channel - 1];
    const bool member = (StructureMask(Program(p), structure_) & (1u << (channel - 1))) != 0;
    return ToQString("канал ") + QString::number(channel) + QStringLiteral(", ") +
           ToQString(kColourNames[colour < kColourNames.size() ? colour : 0]) +
           ToQString(member ? ", в структуре «" : ", не в структуре «") +
           ToQString(kStructureNames[static_cast<std::size_t>(structure_)]) + ToQString("»");
}

QString DirectionsPage::DescribeCell(const MatrixCell& cell) const {
    const bool set = matrix_->isSet(cell.row, cell.column);
    return ToQString("«") + ToQString(kStructureNames[static_cast<std::size_t>(cell.row)]) +
           ToQString("», канал ") + QString::number(cell.column + 1) +
           ToQString(set ? ", включён" : ", не включён");
}

// ---------------------------------------------------------------- availability

void DirectionsPage::UpdateFieldStates() {
    const TSignalPlan& p = plan();
    const int rom = p.RomVersion;
    // 4.1.0 knows only red with yellow and yellow; its blink count is the plan-wide one.
    for (const int tag : {3, 4, 5}) programField(tag)->edit()->setEnabled(rom != 0);
    option_->setEnabled(rom >= kRom413);
    const bool manualEditable = rom >= kRom413 && !option_->isChecked();
    for (int tag = 1; tag <= kDurationCount; ++tag) manualField(tag)->edit()->setEnabled(manualEditable);
}

void DirectionsPage::ApplyRomType() {
    const FillGuard guard = context().Fill();
    for (int tag = 1; tag <= kDurationCount; ++tag) {
        programField(tag)->ApplyLimits();
        manualField(tag)->ApplyLimits();
    }
    // The box shows this plan's option before anything reads it.
    option_->setChecked(plan().ManualFollowsProgram != 0);
    UpdateFieldStates();
}

void DirectionsPage::RomTypeChosen() {
    // A replayed ROM type leaves the option to its own journal entry.
    if (plan().RomVersion >= kRom413 && !journal().replaying()) CheckBox1Click();
}

void DirectionsPage::RefreshEnabledStates() {
    const TDirectionSettings& direction = Program(plan());
    bool any = false;
    for (int s = 0; s < kStructureCount; ++s) any = any || StructureMask(direction, s) != 0;
    clear_->setEnabled(any);
}

// ---------------------------------------------------------------- channels and structures

void DirectionsPage::ToggleChannel(int channel) {
    if (filling() || channel < 1 || channel > kChannelCount) return;
    TSignalPlan& p = plan();
    journal().Record(
        static_cast<ControlId>(kChannel + channel),
        "n" + ByteText(static_cast<unsigned>(direction_)) + ByteText(static_cast<unsigned>(structure_)));
    const std::uint32_t bit = 1u << (channel - 1);
    p.DirectionChannels[index()] ^= bit;
    TDirectionSettings& direction = Program(p);
    SetStructureMask(direction, structure_, StructureMask(direction, structure_) ^ bit);
    ShowMatrix();
}

void DirectionsPage::Shape33MouseUp(int channel) {
    ToggleChannel(channel);
}

void DirectionsPage::PaintBox1MouseUp(const MatrixCell& cell) {
    if (filling()) return;
    SelectStructure(cell.row);
    matrix_->setFocusCell(cell);
    ToggleChannel(cell.column + 1);
}

void DirectionsPage::ReplayChannel(int channel, const JournalEntry& entry) {
    const int d = static_cast<int>(ByteAt(entry.payload, 1));
    const int s = static_cast<int>(ByteAt(entry.payload, 2));
    if (ByteAt(entry.payload, 0) != 'n' || d < 1 || d > kMaxDirections || s >= kStructureCount) return;
    {
        const FillGuard guard = context().Fill();
        StringGrid3SelectCell(d);
        SelectStructure(s);
    }
    ToggleChannel(channel);
}

// ---------------------------------------------------------------- durations

void DirectionsPage::ProgramCascade(int tag, int shown) {
    if (tag == 1 || tag == 2) {
        if (QTableWidgetItem* item = grid_->item(TableRowOfGridRow(direction_), tag))
            item->setText(QString::number(shown) + QStringLiteral("  сек."));
    }
    // The manual duration follows without an entry of its own. Stored here,
    // not through its field: a field already showing the number (a stored odd
    // half-second) would see no change and keep the old value.
    if (!option_->isChecked()) return;
    NumberField* manual = manualField(tag);
    WriteDuration(Manual(plan()), tag, static_cast<unsigned>(shown * manual->line().scale));
    const FillGuard guard = context().Fill();
    manual->edit()->setText(QString::number(shown));
}

// ---------------------------------------------------------------- the option

void DirectionsPage::CheckBox1Click() {
    if (filling()) return;
    TSignalPlan& p = plan();
    const bool on = option_->isChecked();
    const std::uint8_t previous = p.ManualFollowsProgram;
    // The old state (0 with ROM 4.1.0), then per direction the manual and the
    // program durations and the manual masks, each whole.
    std::string payload = ByteText(previous != 0 && p.RomVersion != 0 ? 1 : 0);
    const int rows = DirectionRows(p);
    for (int d = 0; d < rows; ++d) {
        for (int tag = 1; tag <= kDurationCount; ++tag)
            payload += WordText(ReadDuration(p.DirectionManual[d], tag));
        for (int tag = 1; tag <= kDurationCount; ++tag)
            payload += WordText(ReadDuration(p.Direction[d], tag));
        for (int s = 0; s < kStructureCount; ++s)
            payload += DwordText(StructureMask(p.DirectionManual[d], s));
    }
    journal().Record(kOption, std::move(payload), ByteText(previous));
    p.ManualFollowsProgram = on ? 1 : 0;
    if (on || p.RomVersion == 0)
        for (int d = 0; d < rows; ++d) p.DirectionManual[d] = p.Direction[d];
    UpdateFieldStates();
    // The copy stored the durations whole; the fields only show them.
    LoadDurationFields();
}

void DirectionsPage::ReplayOption(const JournalEntry& entry) {
    {
        const FillGuard guard = context().Fill();
        option_->setChecked(ByteAt(entry.payload, 0) != 0);
    }
    // The handler records what it replaces, even when the box was already so.
    CheckBox1Click();
    TSignalPlan& p = plan();
    const std::size_t directions =
        entry.payload.empty()
            ? 0
            : std::min<std::size_t>((entry.payload.size() - 1) / kOptionBytesPerDirection, kMaxDirections);
    for (std::size_t d = 0; d < directions; ++d) {
        std::size_t at = 1 + d * kOptionBytesPerDirection;
        for (int tag = 1; tag <= kDurationCount; ++tag, at += 2)
            WriteDuration(p.DirectionManual[d], tag, WordAt(entry.payload, at));
        for (int tag = 1; tag <= kDurationCount; ++tag, at += 2)
            WriteDuration(p.Direction[d], tag, WordAt(entry.payload, at));
        for (int s = 0; s < kStructureCount; ++s, at += 4)
            SetStructureMask(p.DirectionManual[d], s, DwordAt(entry.payload, at));
    }
    if (!entry.memo.empty()) p.ManualFollowsProgram = static_cast<std::uint8_t>(ByteAt(entry.memo, 0));
    const FillGuard guard = context().Fill();
    StringGrid3SelectCell(direction_);
}

// ---------------------------------------------------------------- "Очистка"

void DirectionsPage::SbrosUstClick() {
    if (filling()) return;
    TDirectionSettings& direction = Program(plan());
    std::string payload = ByteText(static_cast<unsigned>(direction_));
    bool any = false;
    for (int s = 0; s < kStructureCount; ++s) {
        payload += DwordText(StructureMask(direction, s));
        any = any || StructureMask(direction, s) != 0;
    }
    if (!any) return;
    journal().Record(kClear, std::move(payload));
    for (int s = 0; s < kStructureCount; ++s) SetStructureMask(direction, s, 0);
    StringGrid3SelectCell(direction_);
}

void DirectionsPage::ReplayClear(const JournalEntry& entry) {
    const int d = static_cast<int>(ByteAt(entry.payload, 0));
    if (d < 1 || d > kMaxDirections) return;
    TDirectionSettings& direction = plan().Direction[d - 1];
    for (int s = 0; s < kStructureCount; ++s)
        SetStructureMask(direction, s, DwordAt(entry.payload, 1 + 4 * static_cast<std::size_t>(s)));
    const FillGuard guard = context().Fill();
    StringGrid3SelectCell(d);
}

}  // namespace kdt::gui

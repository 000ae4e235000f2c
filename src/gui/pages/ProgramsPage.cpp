#include "pages/ProgramsPage.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTimer>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/UpDownEdit.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace programs;

constexpr int kTactCountColumn = 1;
constexpr int kCycleColumn = 2;
constexpr int kLargestTyped = 255;

QString Seconds(unsigned halfSeconds) {
    return QString::number(halfSeconds / 2) + ToQString(" сек.");
}

int TextWidth(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text);
}

// A grid as wide as its columns and its scroll bar.
void FitWidth(GridTable* grid) {
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < grid->columnCount(); ++column) width += grid->columnWidth(column);
    grid->setFixedWidth(width);
}

std::string TactPayload(int program, int column, int tact, int shown) {
    return ByteText(static_cast<unsigned>(program)) + ByteText(static_cast<unsigned>(column)) +
           ByteText(static_cast<unsigned>(tact)) + WordText(static_cast<unsigned>(shown));
}

}  // namespace

std::uint16_t CycleLengthOf(const TSignalProgram& program) {
    unsigned sum = 0;
    for (int t = 0; t < TactRows(program); ++t)
        sum += unsigned{program.TactDuration[t]} + program.TactInterDuration[t];
    return static_cast<std::uint16_t>(sum);
}

ProgramsPage::ProgramsPage(PageContext& context, QWidget* parent) : Page(5, context, parent) {
    BuildProgramGrid();
    BuildTactGrid();
    BuildTactCount();
    QHBoxLayout* count = tactCount_->MakeRow();
    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(programGrid_);
    left->addLayout(count);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->setSpacing(10);
    page->addLayout(left);
    page->addWidget(tactGrid_);
    page->addStretch(1);
    RegisterInJournal();
}

// ---------------------------------------------------------------- building

void ProgramsPage::BuildProgramGrid() {
    programGrid_ = new GridTable(this);
    programGrid_->setObjectName(QStringLiteral("StringGrid4"));
    programGrid_->setHeaderTexts({ToQString("№ Прогр"), ToQString("Тактов"), ToQString("Длит.Прогр.")});
    programGrid_->setNumberColumns(1);
    programGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    programGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    programGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 10;
    programGrid_->setColumnWidth(0, TextWidth(programGrid_, ToQString("№ Прогр")) + pad);
    programGrid_->setColumnWidth(kTactCountColumn, TextWidth(programGrid_, ToQString("Тактов")) + pad);
    programGrid_->setColumnWidth(kCycleColumn, TextWidth(programGrid_, ToQString("Длит.Прогр.")) + pad);
    FitWidth(programGrid_);
    SetHint(programGrid_, "Выбор программы для редактирования|Еденица длитильности равна 1 секунде");
    programGrid_->setAccessibleName(ToQString("Выбор программы для редактирования"));
    connect(programGrid_, &GridTable::cellSelected, this,
            [this](int row, int) { StringGrid4SelectCell(row); });
}

void ProgramsPage::BuildTactGrid() {
    tactGrid_ = new GridTable(this);
    tactGrid_->setObjectName(QStringLiteral("StringGrid5"));
    tactGrid_->setHeaderTexts(
        {ToQString("№ Такта"), ToQString("№ Фазы"), ToQString("Длит.Фазы"), ToQString("Длит.Пром")});
    tactGrid_->setNumberColumns(1);
    tactGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tactGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 10;
    for (int column = 0; column < tactGrid_->columnCount(); ++column)
        tactGrid_->setColumnWidth(column, TextWidth(tactGrid_, tactGrid_->headerText(column)) + pad);
    FitWidth(tactGrid_);
    SetHint(tactGrid_, "|Еденица длитильности равна 1 секунде");
    tactGrid_->setAccessibleName(ToQString("Еденица длитильности равна 1 секунде"));
    connect(tactGrid_, &GridTable::cellSelected, this,
            [this](int row, int column) { StringGrid5SelectCell(row, column, true); });

    tactField_ = new CellEditor(tactGrid_);
    tactField_->setObjectName(QStringLiteral("Edit9"));
    NumberKeyFilter::Install(tactField_, [this] { context().Beep(); });
    tactField_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), tactField_));
    connect(tactField_, &CellEditor::edited, this, [this](int row, int column) { Edit9Change(row, column); });
    connect(tactField_, &CellEditor::left, this, [this](int row, int column) { Edit9Exit(row, column); });
}

void ProgramsPage::BuildTactCount() {
    NumberFieldLine line{kTactCount,
                         "LabeledEdit11",
                         "Тактов в программе ",
                         "|Изменить значение можно стрелками вверх и вниз а также колесом мыши",
                         ControlClass::LabeledEdit,
                         11,
                         1,
                         [this](const TSignalPlan& p) { return unsigned{p.Program[program_ - 1].TactCount}; },
                         [this](TSignalPlan& p, unsigned v) {
                             p.Program[program_ - 1].TactCount = static_cast<std::uint16_t>(v);
                         },
                         [](const TSignalPlan&) {
                             return NumberRange{1, kMaxTacts};
                         }};
    tactCount_ = new NumberField(context(), std::move(line), this);
    tactCount_->edit()->setFixedWidth(52);
    tactCount_->payloadOf = [this](int oldShown) {
        return ByteText(static_cast<unsigned>(program_)) + ByteText(static_cast<unsigned>(oldShown));
    };
    tactCount_->shownOf = [](const JournalEntry& entry) {
        return static_cast<int>(entry.memo.size() >= 2 ? WordAt(entry.memo, 0) : ByteAt(entry.payload, 1));
    };
    tactCount_->selectContext = [this](const JournalEntry& entry) {
        SelectProgram(static_cast<int>(ByteAt(entry.payload, 0)));
    };
    tactCount_->cascade = [this](int) { TactCountCascade(); };
    OnLeave(tactCount_->edit(), [this] { LabeledEdit11Exit(); });
}

void ProgramsPage::RegisterInJournal() {
    ControlInfo count{5, ControlClass::LabeledEdit, 11, "Тактов в программе ", true, {}};
    count.replay = [this](const JournalEntry& entry, ReplaySide) { tactCount_->Replay(entry); };
    journal().Register(kTactCount, std::move(count));
    journal().Register(kTactField,
                       {5, ControlClass::Edit, 9, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayTactField(entry);
                        }});
}

// ---------------------------------------------------------------- showing

int ProgramsPage::rows() const {
    return ProgramRows(plan());
}

int ProgramsPage::tactRows() const {
    return TactRows(plan().Program[program_ - 1]);
}

void ProgramsPage::Fill() {
    const int count = rows();
    programGrid_->setDataRowCount(count);
    tactCount_->edit()->setEnabled(count > 0);
    tactField_->setEnabled(count > 0);
    if (count == 0) {
        tactGrid_->setDataRowCount(0);
        tactField_->clearPlace();
        return;
    }
    if (program_ < 1 || program_ > count) program_ = 1;
    for (int c = count; c >= 1; --c) {
        programGrid_->setCellText(c, 0, QString::number(c));
        UpdateCycleLength(c);
        FillProgramRow(c);
    }
    // Shown again (after an undo too), the page keeps the tact cell it had.
    const int row = tactRow_;
    const int column = tactColumn_;
    SelectProgram(program_);
    if (row <= tactRows()) StringGrid5SelectCell(row, column, false);
}

void ProgramsPage::UpdateCycleLength(int program) {
    TSignalProgram& p = plan().Program[program - 1];
    // Viewing the page changes the record only where a cycle length was out of date.
    const std::uint16_t cycle = CycleLengthOf(p);
    if (p.CycleLength != cycle) p.CycleLength = cycle;
}

void ProgramsPage::FillProgramRow(int program) {
    if (program < 1 || program > rows()) return;
    const TSignalProgram& p = plan().Program[program - 1];
    programGrid_->setCellText(program, kTactCountColumn, QString::number(p.TactCount));
    programGrid_->setCellText(program, kCycleColumn, Seconds(p.CycleLength));
}

void ProgramsPage::FillTactRows() {
    const int count = tactRows();
    tactGrid_->setDataRowCount(count);
    for (int t = 1; t <= count; ++t) {
        tactGrid_->setCellText(t, 0, QString::number(t));
        for (int column = kPhaseColumn; column <= kInterDurationColumn; ++column)
            tactGrid_->setCellText(t, column, QString::number(ShownValue(program_, column, t)));
    }
}

void ProgramsPage::SelectProgram(int program) {
    if (program < 1 || program > rows()) return;
    const FillGuard guard = context().Fill();
    programGrid_->selectCell(program, kTactCountColumn);
    StringGrid4SelectCell(program);
}

void ProgramsPage::StringGrid4SelectCell(int row) {
    if (row < 1 || row > rows()) return;
    // Selecting loads the program; it records and stores nothing but the
    // cycle length, which the page keeps up to date.
    const FillGuard guard = context().Fill();
    program_ = row;
    tactCount_->Fill();
    FillTactRows();
    UpdateCycleLength(row);
    FillProgramRow(row);
    tactRow_ = 1;
    tactColumn_ = kPhaseColumn;
    if (tactRows() == 0) {
        tactField_->clearPlace();
        return;
    }
    tactGrid_->selectCell(1, kPhaseColumn);
    StringGrid5SelectCell(1, kPhaseColumn, false);
}

void ProgramsPage::StringGrid5SelectCell(int row, int column, bool focusField) {
    const FillGuard guard = context().Fill();
    if (column >= kPhaseColumn && column <= kInterDurationColumn) tactColumn_ = column;
    if (row >= 1) tactRow_ = row;
    if (tactRow_ > tactRows()) {
        tactField_->clearPlace();
        return;
    }
    FillTactRows();
    tactGrid_->selectCell(tactRow_, tactColumn_);
    tactField_->placeOver(tactRow_, tactColumn_);
    tactField_->setText(tactGrid_->cellText(tactRow_, tactColumn_));
    tactFieldRecorded_ = false;
    if (focusField && tactField_->isVisible()) tactField_->setFocus(Qt::OtherFocusReason);
}

void ProgramsPage::ReloadTactField() {
    if (!tactField_->placed() || tactField_->row() > tactRows()) return;
    const FillGuard guard = context().Fill();
    tactField_->setText(QString::number(ShownValue(program_, tactField_->column(), tactField_->row())));
    tactFieldRecorded_ = false;
}

// ---------------------------------------------------------------- tact values

int ProgramsPage::ShownValue(int program, int column, int tact) const {
    const unsigned raw = RawValue(program, column, tact);
    return static_cast<int>(column == kPhaseColumn ? raw + 1 : raw / 2);
}

unsigned ProgramsPage::RawValue(int program, int column, int tact) const {
    const TSignalProgram& p = plan().Program[program - 1];
    switch (column) {
        case kPhaseColumn:
            return p.TactPhase[tact - 1];
        case kDurationColumn:
            return p.TactDuration[tact - 1];
        default:
            return p.TactInterDuration[tact - 1];
    }
}

void ProgramsPage::WriteRaw(int program, int column, int tact, unsigned raw) {
    TSignalProgram& p = plan().Program[program - 1];
    switch (column) {
        case kPhaseColumn:
            p.TactPhase[tact - 1] = static_cast<std::uint8_t>(raw);
            break;
        case kDurationColumn:
            p.TactDuration[tact - 1] = static_cast<std::uint16_t>(raw);
            break;
        default:
            p.TactInterDuration[tact - 1] = static_cast<std::uint16_t>(raw);
            break;
    }
}

ProgramsPage::Range ProgramsPage::TypingRange(int column) const {
    const TSignalPlan& p = plan();
    switch (column) {
        case kPhaseColumn:
            return {1, PhaseRows(p)};
        case kDurationColumn:
            return {0, std::min(TactDurationLimit(p), kLargestTyped)};
        default:
            return {0, std::min(TactInterDurationLimit(p), kLargestTyped)};
    }
}

ProgramsPage::Range ProgramsPage::LeavingRange(int column) const {
    const TSignalPlan& p = plan();
    switch (column) {
        case kPhaseColumn:
            return {1, PhaseRows(p)};
        case kDurationColumn:
            return {p.MinPhaseDuration / 2, TactDurationLimit(p)};
        default:
            return {0, TactInterDurationLimit(p)};
    }
}

void ProgramsPage::Edit9Change(int row, int column) {
    if (filling() || row < 1 || row > tactRows() || column < kPhaseColumn || column > kInterDurationColumn)
        return;
    const QString text = tactField_->text();
    if (text.isEmpty()) return;
    const std::optional<int> value = ParseWholeNumber(text);
    const int oldShown = ShownValue(program_, column, row);
    if (!value || !TypingRange(column).contains(*value)) {
        // Never stored, whatever the state of the editor; a plan being
        // brought in only keeps quiet about it.
        if (!context().refreshing()) context().Beep();
        const FillGuard guard = context().Fill();
        tactField_->setText(QString::number(oldShown));
        return;
    }
    journal().Record(kTactField, TactPayload(program_, column, row, oldShown),
                     WordText(RawValue(program_, column, row)));
    WriteRaw(program_, column, row, static_cast<unsigned>(column == kPhaseColumn ? *value - 1 : *value * 2));
    if (!journal().replaying()) tactFieldRecorded_ = true;
    tactGrid_->setCellText(row, column, QString::number(*value));
    UpdateCycleLength(program_);
    FillProgramRow(program_);
}

void ProgramsPage::Edit9Exit(int row, int column) {
    if (filling() || journal().replaying() || row < 1 || row > tactRows()) return;
    if (tactField_->text().isEmpty()) {
        // An empty field changed nothing; it shows the stored value again.
        ReloadTactField();
        return;
    }
    const std::optional<int> value = ParseWholeNumber(tactField_->text());
    if (value && LeavingRange(column).contains(*value)) return;
    if (!context().refreshing()) context().Beep();
    if (!tactFieldRecorded_) {
        // Only loaded here: there is no edit of this field to take back.
        ReloadTactField();
        return;
    }
    tactFieldRecorded_ = false;
    // After the event that left the field is done: a page switch that took
    // the focus away finishes before the undo shows this page again.
    const int program = program_;
    QTimer::singleShot(0, this, [this, program, row, column] { RollBack(program, row, column); });
}

void ProgramsPage::RollBack(int program, int row, int column) {
    // Only this field's own change is taken back, never another edit that
    // happens to be the newest.
    const JournalEntry* newest = journal().newestUndo();
    const bool own = newest != nullptr && newest->control == kTactField &&
                     ByteAt(newest->payload, 0) == static_cast<unsigned>(program) &&
                     ByteAt(newest->payload, 1) == static_cast<unsigned>(column) &&
                     ByteAt(newest->payload, 2) == static_cast<unsigned>(row);
    if (own && journal().Undo()) return;
    if (program == program_) ReloadTactField();
}

void ProgramsPage::ReplayTactField(const JournalEntry& entry) {
    const int program = static_cast<int>(ByteAt(entry.payload, 0));
    const int column = static_cast<int>(ByteAt(entry.payload, 1));
    const int tact = static_cast<int>(ByteAt(entry.payload, 2));
    const int shown = static_cast<int>(WordAt(entry.payload, 3));
    if (program < 1 || program > kMaxPrograms || column < kPhaseColumn || column > kInterDurationColumn ||
        tact < 1 || tact > kMaxTacts)
        return;
    const unsigned raw = entry.memo.size() >= 2   ? WordAt(entry.memo, 0)
                         : column == kPhaseColumn ? static_cast<unsigned>(shown - 1)
                                                  : static_cast<unsigned>(shown * 2);
    // The entry's cell first, so the value goes where it came from.
    SelectProgram(program);
    const bool shownHere = program_ == program && tact <= tactRows();
    if (shownHere) StringGrid5SelectCell(tact, column, false);
    if (shownHere && TypingRange(column).contains(shown)) {
        {
            const FillGuard guard = context().Fill();
            tactField_->setText(QString::number(shown));
        }
        Edit9Change(tact, column);
    } else {
        // A value the field would refuse (a file's phase 20, a duration
        // above the limit) goes back directly, with its counter-entry.
        journal().Record(kTactField, TactPayload(program, column, tact, ShownValue(program, column, tact)),
                         WordText(RawValue(program, column, tact)));
    }
    // The shown value drops an odd half-second; the raw value is whole.
    WriteRaw(program, column, tact, raw);
    UpdateCycleLength(program);
}

void ProgramsPage::TactCountCascade() {
    programGrid_->setCellText(program_, kTactCountColumn,
                              QString::number(plan().Program[program_ - 1].TactCount));
    UpdateCycleLength(program_);
    FillProgramRow(program_);
    const int count = tactRows();
    if (count == 0) {
        tactGrid_->setDataRowCount(0);
        tactField_->clearPlace();
        return;
    }
    StringGrid5SelectCell(std::min(tactRow_, count), tactColumn_, false);
}

void ProgramsPage::LabeledEdit11Exit() {
    const FillGuard guard = context().Fill();
    tactCount_->edit()->setText(QString::number(plan().Program[program_ - 1].TactCount));
}

}  // namespace kdt::gui

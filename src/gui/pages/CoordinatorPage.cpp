#include "pages/CoordinatorPage.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/CellEditor.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/UpDownEdit.h"
#include "pages/ProgramsPage.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace coordinator;

constexpr int kCycleColumn = 1;
// A delay is one byte.
constexpr int kDelayLimit = 255;

// The cycle length in seconds with one decimal, as "%.1f" writes it with the
// system's decimal separator (and no group separator).
QString CycleSeconds(unsigned halfSeconds) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(halfSeconds / 2.0, 'f', 1);
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

std::string DelayPayload(int program, int controller, unsigned delay) {
    return ByteText(static_cast<unsigned>(program)) + ByteText(static_cast<unsigned>(controller)) +
           ByteText(delay);
}

}  // namespace

CoordinatorPage::CoordinatorPage(PageContext& context, QWidget* parent) : Page(8, context, parent) {
    BuildProgramGrid();
    BuildControllerGrid();
    BuildControllerCount();
    QHBoxLayout* count = count_->MakeRow();
    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(programGrid_);
    left->addLayout(count);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->setSpacing(10);
    page->addLayout(left);
    page->addWidget(controllerGrid_);
    page->addStretch(1);
    RegisterInJournal();
}

// ---------------------------------------------------------------- building

void CoordinatorPage::BuildProgramGrid() {
    programGrid_ = new GridTable(this);
    programGrid_->setObjectName(QStringLiteral("StringGrid7"));
    programGrid_->setHeaderTexts({ToQString("№ прогр."), ToQString("Длительность (сек.)")});
    programGrid_->setNumberColumns(1);
    programGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    programGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    programGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 10;
    for (int column = 0; column < programGrid_->columnCount(); ++column)
        programGrid_->setColumnWidth(column, TextWidth(programGrid_, programGrid_->headerText(column)) + pad);
    FitWidth(programGrid_);
    programGrid_->setAccessibleName(ToQString("Длительность (сек.)"));
    connect(programGrid_, &GridTable::cellSelected, this,
            [this](int row, int) { StringGrid7SelectCell(row); });
}

void CoordinatorPage::BuildControllerGrid() {
    controllerGrid_ = new GridTable(this);
    controllerGrid_->setObjectName(QStringLiteral("StringGrid9"));
    controllerGrid_->setHeaderTexts({ToQString("Контроллер (адр.)"), ToQString("Задержка (сек.)")});
    controllerGrid_->setNumberColumns(1);
    controllerGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    controllerGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 10;
    for (int column = 0; column < controllerGrid_->columnCount(); ++column)
        controllerGrid_->setColumnWidth(
            column, TextWidth(controllerGrid_, controllerGrid_->headerText(column)) + pad);
    FitWidth(controllerGrid_);
    controllerGrid_->setAccessibleName(ToQString("Задержка (сек.)"));
    connect(controllerGrid_, &GridTable::cellSelected, this,
            [this](int row, int) { StringGrid9SelectCell(row, true); });

    delayField_ = new CellEditor(controllerGrid_);
    delayField_->setObjectName(QStringLiteral("Edit8"));
    NumberKeyFilter::Install(delayField_, [this] { context().Beep(); });
    delayField_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), delayField_));
    connect(delayField_, &CellEditor::edited, this, [this](int row, int) { Edit8Change(row); });
}

void CoordinatorPage::BuildControllerCount() {
    NumberFieldLine line{
        kControllerCount,
        "LabeledEdit19",
        "Число контроллеров ",
        {},
        ControlClass::LabeledEdit,
        19,
        1,
        [](const TSignalPlan& p) { return unsigned{p.CoordControllerCount}; },
        [](TSignalPlan& p, unsigned v) { p.CoordControllerCount = static_cast<std::uint8_t>(v); },
        // The block of 3 + programs × controllers bytes keeps within its 99.
        [](const TSignalPlan& p) {
            return NumberRange{1, CoordControllerLimit(p)};
        }};
    count_ = new NumberField(context(), std::move(line), this);
    count_->edit()->setFixedWidth(52);
    count_->cascade = [this](int) { CountCascade(); };
    OnLeave(count_->edit(), [this] { LabeledEdit19Exit(); });
}

void CoordinatorPage::RegisterInJournal() {
    ControlInfo count{8, ControlClass::LabeledEdit, 19, "Число контроллеров ", true, {}};
    count.replay = [this](const JournalEntry& entry, ReplaySide) {
        count_->Replay(entry);
        MarkCount();
    };
    journal().Register(kControllerCount, std::move(count));
    journal().Register(kDelayField,
                       {8, ControlClass::Edit, 8, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayDelay(entry);
                        }});
}

// ---------------------------------------------------------------- showing

int CoordinatorPage::programRows() const {
    return ProgramRows(plan());
}

int CoordinatorPage::controllerRows() const {
    return CoordControllerRows(plan());
}

bool CoordinatorPage::CanBeShown() const {
    return plan().ProgramCount != 0 && plan().CoordControllerCount != 0;
}

void CoordinatorPage::SelectionsReset() {
    program_ = 1;
    controller_ = 1;
}

void CoordinatorPage::Fill() {
    const int programs = programRows();
    programGrid_->setDataRowCount(programs);
    for (int p = 1; p <= programs; ++p) {
        programGrid_->setCellText(p, 0, QString::number(p));
        UpdateCycleLength(p);
        programGrid_->setCellText(p, kCycleColumn, CycleSeconds(plan().Program[p - 1].CycleLength));
    }
    // The limit follows the program count, which may have changed anywhere.
    count_->Fill();
    MarkCount();
    if (program_ < 1 || program_ > programs) program_ = 1;
    if (programs == 0) {
        controllerGrid_->setDataRowCount(0);
        delayField_->clearPlace();
        return;
    }
    SelectProgram(program_);
}

void CoordinatorPage::UpdateCycleLength(int program) {
    TSignalProgram& p = plan().Program[program - 1];
    // Viewing the page changes the record only where a cycle length was out of date.
    const std::uint16_t cycle = CycleLengthOf(p);
    if (p.CycleLength != cycle) p.CycleLength = cycle;
}

void CoordinatorPage::MarkCount() {
    const TSignalPlan& p = plan();
    const int limit = CoordControllerLimit(p);
    UpDownEdit* field = count_->edit();
    // A file's count above the limit is shown as it is, until the user edits it.
    countMarked_ = p.CoordControllerCount > limit;
    if (!countMarked_) {
        field->setPalette(QPalette());
        field->setToolTip(QString());
        field->setStatusTip(QString());
        field->setAccessibleDescription(QString());
        return;
    }
    QPalette marked = field->palette();
    marked.setColor(QPalette::Text, Qt::red);
    field->setPalette(marked);
    const QString hint = ToQString("Больше допустимого: при числе программ %1 не более %2 контроллеров")
                             .arg(p.ProgramCount)
                             .arg(limit);
    field->setToolTip(hint);
    field->setStatusTip(hint);
    field->setAccessibleDescription(hint);
}

void CoordinatorPage::FillControllerRows() {
    const int rows = controllerRows();
    controllerGrid_->setDataRowCount(rows);
    for (int k = 1; k <= rows; ++k) {
        controllerGrid_->setCellText(k, 0, QString::number(k));
        controllerGrid_->setCellText(k, kDelayColumn,
                                     QString::number(plan().CoordDelay[program_ - 1][k - 1]));
    }
    controller_ = std::clamp(controller_, 1, std::max(rows, 1));
    if (rows == 0) {
        delayField_->clearPlace();
        return;
    }
    StringGrid9SelectCell(controller_, false);
}

void CoordinatorPage::SelectProgram(int program) {
    if (program < 1 || program > programRows()) return;
    const FillGuard guard = context().Fill();
    programGrid_->selectCell(program, kCycleColumn);
    StringGrid7SelectCell(program);
}

void CoordinatorPage::StringGrid7SelectCell(int row) {
    if (row < 1 || row > programRows()) return;
    // Selecting loads the program's delays; it records and stores nothing.
    const FillGuard guard = context().Fill();
    program_ = row;
    FillControllerRows();
}

void CoordinatorPage::StringGrid9SelectCell(int row, bool focusField) {
    if (row < 1 || row > controllerRows()) return;
    const FillGuard guard = context().Fill();
    controller_ = row;
    controllerGrid_->selectCell(row, kDelayColumn);
    delayField_->placeOver(row, kDelayColumn);
    delayField_->setText(controllerGrid_->cellText(row, kDelayColumn));
    if (focusField && delayField_->isVisible()) delayField_->setFocus(Qt::OtherFocusReason);
}

void CoordinatorPage::ReloadDelayField() {
    if (!delayField_->placed() || delayField_->row() > controllerRows()) return;
    const FillGuard guard = context().Fill();
    const QString stored = QString::number(plan().CoordDelay[program_ - 1][delayField_->row() - 1]);
    delayField_->setText(stored);
    controllerGrid_->setCellText(delayField_->row(), kDelayColumn, stored);
}

// ---------------------------------------------------------------- count

void CoordinatorPage::CountCascade() {
    MarkCount();
    // The delays above a lowered count stay in the record and show again
    // when it is raised.
    FillControllerRows();
}

void CoordinatorPage::LabeledEdit19Exit() {
    const FillGuard guard = context().Fill();
    // The stored count, even one above the limit: the field never shows a
    // value the record does not hold.
    count_->edit()->setText(QString::number(plan().CoordControllerCount));
}

// ---------------------------------------------------------------- delays

void CoordinatorPage::Edit8Change(int row) {
    if (filling() || row < 1 || row > controllerRows()) return;
    const QString text = delayField_->text();
    if (text.isEmpty()) return;
    const std::optional<int> value = ParseWholeNumber(text);
    std::uint8_t(&delays)[kMaxCoordControllers] = plan().CoordDelay[program_ - 1];
    if (value && *value <= kDelayLimit) {
        journal().Record(kDelayField, DelayPayload(program_, row, delays[row - 1]));
        delays[row - 1] = static_cast<std::uint8_t>(*value);
        controllerGrid_->setCellText(row, kDelayColumn, text);
        return;
    }
    context().Beep();
    // Only this field's own last step is taken back, never another edit
    // that happens to be the newest (on this page or another).
    const JournalEntry* newest = journal().newestUndo();
    const bool own = newest != nullptr && newest->control == kDelayField &&
                     ByteAt(newest->payload, 0) == static_cast<unsigned>(program_) &&
                     ByteAt(newest->payload, 1) == static_cast<unsigned>(row);
    const bool focused = delayField_->hasFocus();
    if (!own || !journal().TakeBack()) ReloadDelayField();
    // The page shown again after the take-back takes the focus; typing goes on here.
    if (focused && delayField_->isVisible()) {
        delayField_->setFocus(Qt::OtherFocusReason);
        delayField_->end(false);
    }
}

void CoordinatorPage::ReplayDelay(const JournalEntry& entry) {
    const int program = static_cast<int>(ByteAt(entry.payload, 0));
    const int controller = static_cast<int>(ByteAt(entry.payload, 1));
    const unsigned delay = ByteAt(entry.payload, 2);
    if (program < 1 || program > kMaxPrograms || controller < 1 || controller > kMaxCoordControllers) return;
    // The entry's cell first, so the value goes where it came from, whichever
    // page is in front.
    SelectProgram(program);
    if (program_ == program && controller <= controllerRows()) {
        StringGrid9SelectCell(controller, false);
        {
            const FillGuard guard = context().Fill();
            delayField_->setText(QString::number(delay));
        }
        Edit8Change(controller);
        return;
    }
    // A program or controller no longer shown (its count lowered since) gets
    // its value back directly, with its counter-entry.
    std::uint8_t& stored = plan().CoordDelay[program - 1][controller - 1];
    journal().Record(kDelayField, DelayPayload(program, controller, stored));
    stored = static_cast<std::uint8_t>(delay);
}

}  // namespace kdt::gui

#include "pages/PhasesPage.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "binding/FieldTexts.h"
#include "binding/PlanView.h"
#include "components/CellEditor.h"
#include "components/DirectionSquares.h"
#include "components/GridTable.h"
#include "components/KeyFilters.h"
#include "components/MarkDelegate.h"
#include "components/UpDownEdit.h"
#include "shell/QtText.h"

namespace kdt::gui {
namespace {

using namespace phases;

constexpr int kMarksColumn = 1;
constexpr int kInterTactColumn = 2;
constexpr int kGreenStreetColumn = 1;
// Green street numbers are stored minus 1 in one byte.
constexpr int kGreenStreetLimit = 256;

QString Seconds(unsigned halfSeconds) {
    return QString::number(halfSeconds / 2) + ToQString(" сек.");
}

// Position i of the string holds the mark when direction i belongs to the phase.
QString MarkString(std::uint16_t directions) {
    QString marks(kMaxDirections, QLatin1Char(' '));
    for (int d = 0; d < kMaxDirections; ++d)
        if ((directions >> d) & 1u) marks[d] = MarkDelegate::kMark;
    return marks;
}

// Runs a callback on Enter in a widget, before anything else sees the key.
class EnterWatcher final : public QObject {
public:
    EnterWatcher(std::function<void()> pressed, QObject* parent)
        : QObject(parent), pressed_(std::move(pressed)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) pressed_();
        }
        return false;
    }

private:
    std::function<void()> pressed_;
};

void OnEnter(QWidget* widget, std::function<void()> pressed) {
    widget->installEventFilter(new EnterWatcher(std::move(pressed), widget));
}

int TextWidth(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text);
}

}  // namespace

PhasesPage::PhasesPage(PageContext& context, QWidget* parent) : Page(4, context, parent) {
    BuildPhaseGrid();
    BuildPhaseFields();
    BuildGreenStreets();

    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(phaseGrid_);
    left->addWidget(squares_);
    auto* middle = new QGridLayout;
    middle->setHorizontalSpacing(4);
    middle->setVerticalSpacing(3);
    middle->addWidget(interTact_->label(), 0, 0);
    middle->addWidget(interTact_->edit(), 0, 1);
    const auto addTime = [&](UpDownEdit* field, const char* caption, int row) {
        auto* label = new QLabel(ToQString(caption), this);
        label->setBuddy(field);
        field->setAccessibleName(AccessibleNameOf(label->text()));
        middle->addWidget(label, row, 0);
        middle->addWidget(field, row, 1);
    };
    addTime(minTime_, "т.min фазы", 1);
    addTime(maxTime_, "т.max фазы", 2);
    middle->addWidget(clear_, 3, 0, 1, 2, Qt::AlignLeft);
    middle->setRowStretch(4, 1);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 0, 4, 2);
    page->setSpacing(10);
    page->addLayout(left);
    page->addLayout(middle);
    page->addWidget(greenGrid_);
    page->addStretch(1);
    RegisterInJournal();
}

// ---------------------------------------------------------------- building

void PhasesPage::BuildPhaseGrid() {
    phaseGrid_ = new GridTable(this);
    phaseGrid_->setObjectName(QStringLiteral("StringGrid1"));
    // A fixed pitch keeps the marks under the digits of the header.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF());
    phaseGrid_->setFont(fixed);
    phaseGrid_->horizontalHeader()->setFont(fixed);
    phaseGrid_->setHeaderTexts(
        {ToQString("№ фазы"), QStringLiteral("1234567890123456"), ToQString("Т.пром")});
    phaseGrid_->setNumberColumns(1);
    phaseGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    phaseGrid_->setItemDelegateForColumn(kMarksColumn, new MarkDelegate(phaseGrid_));
    // Centred as the header's digits are, so each mark stands under its digit.
    phaseGrid_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    phaseGrid_->setColumnAlignment(kMarksColumn, Qt::AlignCenter);
    phaseGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    phaseGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 10;
    phaseGrid_->setColumnWidth(0, TextWidth(phaseGrid_, ToQString("№ фазы")) + pad);
    phaseGrid_->setColumnWidth(kMarksColumn, TextWidth(phaseGrid_, QStringLiteral("1234567890123456")) + pad);
    phaseGrid_->setColumnWidth(kInterTactColumn, TextWidth(phaseGrid_, ToQString("60 сек.")) + pad);
    int width = 2 * phaseGrid_->frameWidth() + phaseGrid_->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < phaseGrid_->columnCount(); ++column)
        width += phaseGrid_->columnWidth(column);
    phaseGrid_->setFixedWidth(width);
    SetHint(phaseGrid_, "|Выбор фазы для редактирования");
    phaseGrid_->setAccessibleName(ToQString("Выбор фазы для редактирования"));
    connect(phaseGrid_, &GridTable::cellSelected, this, [this](int row, int) { StringGrid1SelectCell(row); });
    // The grid edits nothing; Enter shows the current phase's squares again.
    OnEnter(phaseGrid_, [this] { SpeedButton7Click(); });

    squares_ = new DirectionSquares(this);
    squares_->setObjectName(QStringLiteral("Shape65"));
    squares_->setNumbersToolTip(ToQString("Номера направлений"));
    SetHint(squares_, "|Щелчок левой кнопки мыши меняет значение на противоположное");
    connect(squares_, &DirectionSquares::squareClicked, this,
            [this](int direction) { Shape65MouseUp(direction); });
}

void PhasesPage::BuildPhaseFields() {
    NumberFieldLine line{
        kInterTact,
        "LabeledEdit18",
        "т.промтакта ",
        "|Еденица длитильности равна 1 секунде (изменить значение можно стрелками вверх и вниз а "
        "также колесом мыши)",
        ControlClass::LabeledEdit,
        18,
        2,
        [this](const TSignalPlan& p) { return unsigned{p.PhaseInterTact[phase_ - 1]}; },
        [this](TSignalPlan& p, unsigned v) { p.PhaseInterTact[phase_ - 1] = static_cast<std::uint16_t>(v); },
        [](const TSignalPlan& p) {
            return NumberRange{0, InterTactLimit(p)};
        }};
    interTact_ = new NumberField(context(), std::move(line), this);
    interTact_->edit()->setFixedWidth(52);
    // A refused entry is only set back.
    interTact_->refusalBeeps = false;
    interTact_->payloadOf = [this](int oldShown) {
        return ByteText(static_cast<unsigned>(phase_)) + ByteText(static_cast<unsigned>(oldShown));
    };
    interTact_->shownOf = [](const JournalEntry& entry) {
        return static_cast<int>(entry.memo.size() >= 2 ? WordAt(entry.memo, 0) / 2
                                                       : ByteAt(entry.payload, 1));
    };
    interTact_->selectContext = [this](const JournalEntry& entry) {
        SelectPhase(static_cast<int>(ByteAt(entry.payload, 0)));
    };
    interTact_->cascade = [this](int) { FillPhaseRow(phase_); };

    const auto makeTime = [this](const char* name, bool minimum) {
        auto* field = new UpDownEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        field->setFixedWidth(52);
        NumberKeyFilter::Install(field, [this] { context().Beep(); });
        connect(field, &QLineEdit::textChanged, this,
                [this, minimum] { minimum ? OnTMinFazi() : OnTMaxFazi(); });
        // What was stored shows once the field is left or Enter is pressed.
        OnLeave(field, [this, field, minimum] { ShowPhaseTime(field, minimum); });
        OnEnter(field, [this, field, minimum] { ShowPhaseTime(field, minimum); });
        return field;
    };
    minTime_ = makeTime("TMinFazi", true);
    maxTime_ = makeTime("TMaxFazi", false);

    clear_ = new QPushButton(ToQString("Очистка"), this);
    clear_->setObjectName(QStringLiteral("Button4"));
    clear_->setAutoDefault(false);
    connect(clear_, &QPushButton::clicked, this, [this] { Button4Click(); });
}

void PhasesPage::BuildGreenStreets() {
    greenGrid_ = new GridTable(this);
    greenGrid_->setObjectName(QStringLiteral("StringGrid2"));
    greenGrid_->setHeaderTexts({ToQString("№ фазы"), ToQString("№ зел. улицы")});
    greenGrid_->setNumberColumns(1);
    greenGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    greenGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int pad = 10;
    greenGrid_->setColumnWidth(0, TextWidth(greenGrid_, ToQString("№ фазы")) + pad);
    greenGrid_->setColumnWidth(kGreenStreetColumn, TextWidth(greenGrid_, ToQString("№ зел. улицы")) + pad);
    greenGrid_->setFixedWidth(2 * greenGrid_->frameWidth() +
                              greenGrid_->verticalScrollBar()->sizeHint().width() +
                              greenGrid_->columnWidth(0) + greenGrid_->columnWidth(kGreenStreetColumn));
    SetHint(greenGrid_, "|Привязка \"зеленой улицы\" к фазе");
    greenGrid_->setAccessibleName(ToQString("Привязка \"зеленой улицы\" к фазе"));
    connect(greenGrid_, &GridTable::cellSelected, this,
            [this](int row, int) { StringGrid2SelectCell(row, true); });

    greenField_ = new CellEditor(greenGrid_);
    greenField_->setObjectName(QStringLiteral("Edit6"));
    SetHint(greenField_, "|Введите \"номер зеленой улицы\" которой будет соответствовать данная фаза");
    NumberKeyFilter::Install(greenField_, [this] { context().Beep(); });
    greenField_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), greenField_));
    connect(greenField_, &CellEditor::edited, this, [this](int row, int) { Edit6Change(row); });
    // A field left holding what was not taken shows the stored number again.
    connect(greenField_, &CellEditor::left, this, [this](int row, int) {
        if (filling() || row != greenRow_) return;
        const FillGuard guard = context().Fill();
        greenField_->setText(greenGrid_->cellText(row, kGreenStreetColumn));
    });
}

void PhasesPage::RegisterInJournal() {
    for (int direction = 1; direction <= kMaxDirections; ++direction) {
        ControlInfo info{
            4, ControlClass::Shape, 0, {}, true, [this, direction](const JournalEntry& entry, ReplaySide) {
                const int phase = static_cast<int>(ByteAt(entry.payload, 1));
                if (phase < 1 || phase > kMaxPhases) return;
                SelectPhase(phase);
                ToggleDirection(direction, false);
            }};
        journal().Register(static_cast<ControlId>(kDirectionSquare + direction), std::move(info));
    }
    ControlInfo interTact{4, ControlClass::LabeledEdit, 18, "т.промтакта ", true, {}};
    interTact.replay = [this](const JournalEntry& entry, ReplaySide) { interTact_->Replay(entry); };
    journal().Register(kInterTact, std::move(interTact));
    journal().Register(kGreenStreet,
                       {4, ControlClass::Edit, 6, {}, true, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayGreenStreet(entry);
                        }});
    journal().Register(kClear,
                       {4, ControlClass::Button, 4, {}, false, [this](const JournalEntry& entry, ReplaySide) {
                            ReplayClear(entry);
                        }});
}

// ---------------------------------------------------------------- showing

int PhasesPage::rows() const {
    return PhaseRows(plan());
}

void PhasesPage::Fill() {
    const int count = rows();
    const bool any = count > 0;
    phaseGrid_->setDataRowCount(count);
    greenGrid_->setDataRowCount(count);
    // A plan without phases has nothing here to edit.
    for (QWidget* control : {static_cast<QWidget*>(interTact_->edit()), static_cast<QWidget*>(squares_),
                             static_cast<QWidget*>(greenField_)})
        control->setEnabled(any);
    ApplyRomType();
    if (!any) {
        greenField_->clearPlace();
        return;
    }
    if (phase_ < 1 || phase_ > count) phase_ = 1;
    if (greenRow_ < 1 || greenRow_ > count) greenRow_ = 1;
    for (int n = 1; n <= count; ++n) {
        phaseGrid_->setCellText(n, 0, QLatin1Char(' ') + QString::number(n));
        FillPhaseRow(n);
        greenGrid_->setCellText(n, 0, QLatin1Char(' ') + QString::number(n));
        FillGreenStreetRow(n);
    }
    SelectPhase(phase_);
    greenGrid_->selectCell(greenRow_, kGreenStreetColumn);
    StringGrid2SelectCell(greenRow_, false);
}

void PhasesPage::ApplyRomType() {
    const FillGuard guard = context().Fill();
    const TSignalPlan& p = plan();
    interTact_->ApplyLimits();
    // The phase times go into the image of 4.2.1 only.
    const bool phaseTimes = p.RomVersion == kRom421 && rows() > 0;
    for (UpDownEdit* field : {minTime_, maxTime_}) {
        field->setEnabled(phaseTimes);
        field->setRange(PhaseTimeFloor(p), kPhaseTimeLimit);
    }
}

void PhasesPage::RefreshEnabledStates() {
    clear_->setEnabled(rows() > 0 && plan().PhaseDirections[phase_ - 1] != 0);
}

void PhasesPage::FillPhaseRow(int phase) {
    if (phase < 1 || phase > rows()) return;
    const TSignalPlan& p = plan();
    phaseGrid_->setCellText(phase, kMarksColumn, MarkString(p.PhaseDirections[phase - 1]));
    phaseGrid_->setCellText(phase, kInterTactColumn, Seconds(p.PhaseInterTact[phase - 1]));
}

void PhasesPage::FillGreenStreetRow(int row) {
    if (row < 1 || row > rows()) return;
    greenGrid_->setCellText(row, kGreenStreetColumn, QString::number(plan().GreenStreet[row - 1] + 1));
}

void PhasesPage::LoadPhaseFields() {
    const FillGuard guard = context().Fill();
    interTact_->Fill();
    ShowPhaseTime(minTime_, true);
    ShowPhaseTime(maxTime_, false);
}

void PhasesPage::SelectPhase(int phase) {
    if (phase < 1 || phase > kMaxPhases) return;
    const FillGuard guard = context().Fill();
    phaseGrid_->selectCell(phase, kMarksColumn);
    phase_ = phase;
    LoadPhaseFields();
    SpeedButton7Click();
}

// ---------------------------------------------------------------- phases and directions

void PhasesPage::StringGrid1SelectCell(int row) {
    if (row < 1 || row > rows()) return;
    // Selecting loads the phase; it records and stores nothing.
    const FillGuard guard = context().Fill();
    phase_ = row;
    LoadPhaseFields();
    SpeedButton7Click();
}

void PhasesPage::SpeedButton7Click() {
    if (phase_ < 1 || phase_ > kMaxPhases) phase_ = 1;
    const TSignalPlan& p = plan();
    const std::uint16_t directions = p.PhaseDirections[phase_ - 1];
    const int used = DirectionRows(p);
    for (int d = 1; d <= DirectionSquares::kCount; ++d) {
        using Fill = DirectionSquares::SquareFill;
        squares_->setFill(d, d > used                         ? Fill::Silver
                             : ((directions >> (d - 1)) & 1u) ? Fill::Black
                                                              : Fill::White);
    }
    FillPhaseRow(phase_);
}

void PhasesPage::Shape65MouseUp(int direction) {
    ToggleDirection(direction, true);
}

void PhasesPage::ToggleDirection(int direction, bool clicked) {
    if (filling() || direction < 1 || direction > kMaxDirections) return;
    // A click works on the plan's directions only; a replay puts back what a click did.
    if (clicked && (direction > DirectionRows(plan()) || rows() == 0)) return;
    journal().Record(static_cast<ControlId>(kDirectionSquare + direction),
                     std::string("f") + ByteText(static_cast<unsigned>(phase_)));
    TSignalPlan& p = plan();
    p.PhaseDirections[phase_ - 1] =
        static_cast<std::uint16_t>(p.PhaseDirections[phase_ - 1] ^ (1u << (direction - 1)));
    SpeedButton7Click();
}

void PhasesPage::Button4Click() {
    if (filling() || rows() == 0) return;
    TSignalPlan& p = plan();
    const std::uint16_t directions = p.PhaseDirections[phase_ - 1];
    if (directions == 0) return;
    journal().Record(kClear, ByteText(static_cast<unsigned>(phase_)) + WordText(directions));
    p.PhaseDirections[phase_ - 1] = 0;
    SpeedButton7Click();
}

void PhasesPage::ReplayClear(const JournalEntry& entry) {
    const int phase = static_cast<int>(ByteAt(entry.payload, 0));
    if (phase < 1 || phase > kMaxPhases) return;
    plan().PhaseDirections[phase - 1] = static_cast<std::uint16_t>(WordAt(entry.payload, 1));
    SelectPhase(phase);
}

// ---------------------------------------------------------------- minimum and maximum phase time

void PhasesPage::OnTMinFazi() {
    StorePhaseTime(minTime_, true);
}

void PhasesPage::OnTMaxFazi() {
    StorePhaseTime(maxTime_, false);
}

void PhasesPage::StorePhaseTime(UpDownEdit* field, bool minimum) {
    if (filling() || rows() == 0) return;
    const std::optional<int> typed = ParseWholeNumber(field->text());
    if (!typed) return;
    // The field keeps what is typed ("1" on the way to "12"); the record
    // takes it raised to the floor and capped at 120.
    TSignalPlan& p = plan();
    const auto value = static_cast<std::uint16_t>(std::clamp(*typed, PhaseTimeFloor(p), kPhaseTimeLimit));
    if (minimum)
        p.PhaseMinTime[phase_ - 1] = value;
    else
        p.PhaseMaxTime[phase_ - 1] = value;
}

void PhasesPage::ShowPhaseTime(UpDownEdit* field, bool minimum) {
    const TSignalPlan& p = plan();
    const unsigned value = minimum ? p.PhaseMinTime[phase_ - 1] : p.PhaseMaxTime[phase_ - 1];
    const FillGuard guard = context().Fill();
    field->setText(QString::number(value));
}

// ---------------------------------------------------------------- green streets

void PhasesPage::StringGrid2SelectCell(int row, bool focusField) {
    if (row < 1 || row > rows()) return;
    const FillGuard guard = context().Fill();
    greenRow_ = row;
    greenField_->placeOver(row, kGreenStreetColumn);
    greenField_->setText(greenGrid_->cellText(row, kGreenStreetColumn));
    if (focusField && greenField_->isVisible()) greenField_->setFocus(Qt::OtherFocusReason);
}

void PhasesPage::Edit6Change(int row) {
    if (filling() || row < 1 || row > rows()) return;
    const std::optional<int> number = ParseWholeNumber(greenField_->text());
    if (!number || *number == 0) return;
    TSignalPlan& p = plan();
    if (*number > kGreenStreetLimit) {
        // More than a byte holds: refused, the stored number shows again.
        const FillGuard guard = context().Fill();
        greenField_->setText(QString::number(p.GreenStreet[row - 1] + 1));
        return;
    }
    // A replay has recorded its counter-entry itself.
    if (!journal().replaying())
        journal().Record(kGreenStreet,
                         ByteText(static_cast<unsigned>(row)) + ByteText(p.GreenStreet[row - 1]));
    p.GreenStreet[row - 1] = static_cast<std::uint8_t>(*number - 1);
    greenGrid_->setCellText(row, kGreenStreetColumn, QString::number(*number));
}

void PhasesPage::ReplayGreenStreet(const JournalEntry& entry) {
    const int row = static_cast<int>(ByteAt(entry.payload, 0));
    if (row < 1 || row > kMaxPhases) return;
    TSignalPlan& p = plan();
    journal().Record(kGreenStreet, ByteText(static_cast<unsigned>(row)) + ByteText(p.GreenStreet[row - 1]));
    const unsigned number = ByteAt(entry.payload, 1) + 1;
    if (row > rows()) {
        // No row shows it: the byte goes back directly.
        p.GreenStreet[row - 1] = static_cast<std::uint8_t>(number - 1);
        return;
    }
    greenGrid_->selectCell(row, kGreenStreetColumn);
    StringGrid2SelectCell(row, false);
    {
        const FillGuard guard = context().Fill();
        greenField_->setText(QString::number(number));
    }
    Edit6Change(row);
}

}  // namespace kdt::gui

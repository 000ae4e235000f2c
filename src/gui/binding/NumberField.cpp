#include "binding/NumberField.h"

#include <QHBoxLayout>
#include <QLabel>

#include "binding/FieldTexts.h"
#include "components/KeyFilters.h"
#include "components/UpDownEdit.h"
#include "shell/QtText.h"

namespace kdt::gui {

NumberField::NumberField(PageContext& context, NumberFieldLine line, QWidget* parent)
    : QObject(parent), context_(context), line_(std::move(line)), edit_(new UpDownEdit(parent)) {
    edit_->setObjectName(QString::fromLatin1(line_.objectName));
    setObjectName(edit_->objectName() + QStringLiteral("Binding"));
    if (!line_.caption.empty()) {
        label_ = new QLabel(ToQString(line_.caption), parent);
        label_->setBuddy(edit_);
        edit_->setAccessibleName(AccessibleNameOf(label_->text()));
    }
    SetHint(edit_, line_.hint);
    NumberKeyFilter::Install(edit_, [this] { context_.Beep(); });
    connect(edit_, &QLineEdit::textChanged, this, [this] { TakeText(); });
}

int NumberField::shownValue() const {
    return static_cast<int>(line_.read(context_.plan()) / line_.scale);
}

void NumberField::ApplyLimits() {
    const NumberRange range = line_.limits(context_.plan());
    edit_->setRange(range.minimum, range.maximum);
}

void NumberField::Fill() {
    ApplyLimits();
    edit_->setText(QString::number(shownValue()));
}

bool NumberField::TakesText() const {
    const NumberRange range = line_.limits(context_.plan());
    const std::optional<int> value = ParseWholeNumber(edit_->text());
    return value && *value >= range.minimum && *value <= range.maximum;
}

bool NumberField::TakeText() {
    if (context_.filling()) return false;
    if (edit_->text().isEmpty()) return false;
    TSignalPlan& plan = context_.plan();
    const std::optional<int> value = ParseWholeNumber(edit_->text());
    if (!TakesText()) {
        {
            const FillGuard guard = context_.Fill();
            edit_->setText(QString::number(shownValue()));
        }
        if (refusalBeeps) context_.Beep();
        return false;
    }
    RecordStoredValue();
    line_.write(plan, static_cast<unsigned>(*value * line_.scale));
    if (cascade) cascade(*value);
    return true;
}

void NumberField::RecordStoredValue() {
    if (records && !records()) return;
    const TSignalPlan& plan = context_.plan();
    const unsigned oldRaw = line_.read(plan);
    const int oldShown = static_cast<int>(oldRaw / line_.scale);
    std::string memo = WordText(oldRaw);
    if (cascadeSnapshot) memo += cascadeSnapshot(plan);
    context_.journal().Record(line_.id, payloadOf ? payloadOf(oldShown) : std::to_string(oldShown),
                              std::move(memo));
}

void NumberField::Replay(const JournalEntry& entry) {
    if (selectContext) {
        const FillGuard guard = context_.Fill();
        selectContext(entry);
    }
    const int shown = shownOf ? shownOf(entry) : ParseWholeNumber(ToQString(entry.payload)).value_or(0);
    TSignalPlan& plan = context_.plan();
    const NumberRange range = line_.limits(plan);
    if (shown < range.minimum || shown > range.maximum) {
        // A value the limits refuse today (a file's value, or limits that
        // changed since) goes back whole all the same, never lost with a beep.
        RecordStoredValue();
        line_.write(plan, entry.memo.size() >= 2 ? WordAt(entry.memo, 0)
                                                 : static_cast<unsigned>(shown * line_.scale));
    } else {
        {
            const FillGuard guard = context_.Fill();
            edit_->setText(QString::number(shown));
        }
        if (!TakeText()) return;
        // The shown value drops an odd half-second and what a cascade changed.
        if (entry.memo.size() >= 2) line_.write(plan, WordAt(entry.memo, 0));
    }
    if (cascadeRestore && entry.memo.size() > 2) cascadeRestore(plan, std::string_view(entry.memo).substr(2));
    const FillGuard guard = context_.Fill();
    edit_->setText(QString::number(shownValue()));
}

QHBoxLayout* NumberField::MakeRow() const {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    if (label_ != nullptr) row->addWidget(label_);
    row->addWidget(edit_);
    row->addStretch(1);
    return row;
}

}  // namespace kdt::gui

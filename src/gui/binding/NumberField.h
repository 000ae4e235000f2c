// A number field bound to one record field by one table line: its label,
// hint, limits, scale and journal entry. The binding fills the field,
// validates each change, records the value it replaces, stores the new one
// and then runs the page's cascade.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include <QObject>
#include <QString>

#include "binding/Journal.h"
#include "binding/PageContext.h"

class QHBoxLayout;
class QLabel;

namespace kdt::gui {

class UpDownEdit;

struct NumberRange {
    int minimum = 0;
    int maximum = 0;
};

struct NumberFieldLine {
    ControlId id = 0;
    const char* objectName = "";  // the control's name in the description
    std::string_view caption;     // the label; empty for a field without one
    std::string_view hint;        // "short|long"
    ControlClass kind = ControlClass::LabeledEdit;
    int tag = 0;
    int scale = 1;  // stored = shown × scale (2 for half-second fields)
    std::function<unsigned(const TSignalPlan&)> read;
    std::function<void(TSignalPlan&, unsigned)> write;
    std::function<NumberRange(const TSignalPlan&)> limits;  // in shown units
};

class NumberField final : public QObject {
    Q_OBJECT
public:
    NumberField(PageContext& context, NumberFieldLine line, QWidget* parent);

    UpDownEdit* edit() const { return edit_; }
    QLabel* label() const { return label_; }
    // The label and the field side by side, the rest of the line left empty.
    QHBoxLayout* MakeRow() const;
    const NumberFieldLine& line() const { return line_; }

    // Shows the stored value as it is (a value outside the limits too) and
    // sets the arrows' limits. Runs under the fill guard.
    void Fill();
    void ApplyLimits();
    int shownValue() const;  // the stored value in shown units

    // What a page adds to the binding.
    // After a valid entry was stored: name lists, warnings, other fields.
    std::function<void(int shown)> cascade;
    // The bytes the cascade may change, kept with the entry so undo puts them back.
    std::function<std::string(const TSignalPlan&)> cascadeSnapshot;
    std::function<void(TSignalPlan&, std::string_view)> cascadeRestore;
    // The entry's payload for the old shown value, and the shown value back
    // from an entry (default: decimal text); a field whose entry carries its
    // context (a direction, a program) brings its own, and selects that
    // context before a replay puts the value back.
    std::function<std::string(int oldShown)> payloadOf;
    std::function<int(const JournalEntry&)> shownOf;
    std::function<void(const JournalEntry&)> selectContext;
    // Whether entries are recorded for this field at all (a field may
    // record only in some states of its page).
    std::function<bool()> records;
    // Whether a refused entry beeps as it is set back (some fields only set back).
    bool refusalBeeps = true;

    // Puts an entry's value back through the handler, then the raw value
    // and the cascaded bytes the shown value cannot carry. A value outside
    // the limits (a file's value the field would refuse) goes back into the
    // record directly, with its counter-entry, so undo still restores it.
    void Replay(const JournalEntry& entry);

    // The change handler: the text as it stands now.
    bool TakeText();
    // Whether the text as it stands is an entry the field takes.
    bool TakesText() const;

private:
    // Records the value the field holds now, as a change of it does.
    void RecordStoredValue();

    PageContext& context_;
    NumberFieldLine line_;
    UpDownEdit* edit_;
    QLabel* label_ = nullptr;
};

}  // namespace kdt::gui

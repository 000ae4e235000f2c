// The undo and redo journal: entries keyed by the control that changed,
// each holding what the control showed before the change, replayed through
// that control's own handler so the handler records the counter-entry.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kdt::gui {

// A stable number per control: page number × 100 + the control's place on its page.
using ControlId = std::uint16_t;

// The control classes the descriptions of the menu captions go by.
enum class ControlClass {
    LabeledEdit,
    SpinEdit,
    RadioGroup,
    ComboBox,
    Edit,
    MaskedEdit,
    CheckBox,
    Shape,  // the payload's first character tells which kind: c, u, n, f, t
    BitButton,
    Button,
};

struct JournalEntry {
    ControlId control = 0;
    std::string payload;  // the value before the change, in the entry's byte form
    // Kept in memory only, never described or compared: what the shown value
    // cannot carry (a raw half-second value, the bytes a cascade changed).
    std::string memo;

    // The entry as bytes: identifier and payload length (16 bits each,
    // little-endian), then the payload.
    std::string Bytes() const;
};

enum class ReplaySide { Undo, Redo };

struct ControlInfo {
    int page = 0;  // the page whose tool button shows it after a replay
    ControlClass kind = ControlClass::Edit;
    int tag = 0;
    std::string caption;   // a labelled edit's label or a check box's text (UTF-8)
    bool redoable = true;  // false: its undo never creates a redo entry
    // Puts the entry's value back. Anything recorded meanwhile goes to the
    // counter side of the journal.
    std::function<void(const JournalEntry&, ReplaySide)> replay;
};

class Journal {
public:
    // Controls register once, when their page is built.
    void Register(ControlId id, ControlInfo info);
    const ControlInfo* Find(ControlId id) const;

    // Adds an entry unless recording is suppressed. Inside an undo it goes
    // to the redo list, inside a redo to the undo list without emptying the
    // redo list; any other entry goes to the undo list and empties the redo list.
    void Record(ControlId id, std::string payload, std::string memo = {});

    // Take back the newest entry of one side; false when that side is empty.
    bool Undo();
    bool Redo();
    // Takes back the newest undo entry for good: what its put-back records
    // is dropped, so no redo entry brings the refused step back.
    bool TakeBack();

    // Empties both lists (a plan was loaded, created or reset).
    void Clear();
    bool empty() const { return undo_.empty() && redo_.empty(); }
    const std::vector<JournalEntry>& undoList() const { return undo_; }
    const std::vector<JournalEntry>& redoList() const { return redo_; }
    const JournalEntry* newestUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }

    // Filling controls from the plan records nothing; see FillGuard.
    bool recordingSuppressed() const { return suppressDepth_ > 0; }
    bool replaying() const { return side_.has_value(); }
    std::optional<ReplaySide> replayingSide() const { return side_; }

    // The menu captions: "Отменить" / "Повторить", with " : " and the
    // description of the newest entry when there is one.
    std::string UndoCaption() const;
    std::string RedoCaption() const;
    std::string Describe(const JournalEntry& entry) const;

    // What the window does around the journal: an entry recorded (the
    // simulation window closes), a replayed control's page to show.
    std::function<void()> onRecord;
    std::function<void(int page)> showPage;

private:
    friend class FillGuard;
    bool Replay(std::vector<JournalEntry>& from, ReplaySide side);

    std::vector<JournalEntry> undo_;
    std::vector<JournalEntry> redo_;
    std::map<ControlId, ControlInfo> controls_;
    int suppressDepth_ = 0;
    std::optional<ReplaySide> side_;
    bool droppingRecords_ = false;
};

// While a page, a row or a cell is filled from the plan, handlers neither
// record nor store. Nested guards are fine; every way out of a scope ends it.
class [[nodiscard]] FillGuard {
public:
    explicit FillGuard(Journal& journal) : journal_(journal) { ++journal_.suppressDepth_; }
    ~FillGuard() { --journal_.suppressDepth_; }
    FillGuard(const FillGuard&) = delete;
    FillGuard& operator=(const FillGuard&) = delete;

private:
    Journal& journal_;
};

// The description texts of the menu captions, by control class, tag and payload.
std::string DescribeEntry(const ControlInfo& info, const JournalEntry& entry);

// Payload helpers: numbers as the byte forms of the entries.
std::string ByteText(unsigned value);        // one byte: the value's low 8 bits
std::string WordText(unsigned value);        // 16 bits, little-endian
std::string DwordText(std::uint32_t value);  // 32 bits, little-endian
// Reading past the end gives 0: a damaged entry puts back a harmless value.
unsigned ByteAt(std::string_view bytes, std::size_t index);
unsigned WordAt(std::string_view bytes, std::size_t index);
std::uint32_t DwordAt(std::string_view bytes, std::size_t index);

}  // namespace kdt::gui

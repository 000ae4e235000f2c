#include "binding/Journal.h"

#include <array>
#include <utility>

namespace kdt::gui {
namespace {

constexpr std::string_view kQuote = "\"";
constexpr std::string_view kUndoCaption = "Отменить";
constexpr std::string_view kRedoCaption = "Повторить";

std::string Quoted(std::string_view text) {
    return std::string(kQuote) + std::string(text) + std::string(kQuote);
}

std::string EditDescription(int tag, const JournalEntry& entry) {
    switch (tag) {
        case 1:
            return "РУ-Длительность " + Quoted("Включения фазы");
        case 2:
            return "РУ-Длительность " + Quoted("Завершения фазы");
        case 3:
            return "РУ-Доп. зелеленый после зеленого";
        case 4:
            return "РУ-Доп. зеленый после красного";
        case 5:
            return "РУ-Число миганий зеленого";
        case 6:
            return Quoted("номер фазы") + "-" + Quoted("зеленой улицы");
        case 7:  // column 3 holds a phase number too
            return std::string("ТВП-") + (ByteAt(entry.payload, 0) == 2 ? "длитльность фазы" : "№ фазы");
        case 8:
            return "координатор-задержка";
        case 9: {
            constexpr std::array<std::string_view, 3> kColumns = {"№ фазы", "длитльность фазы",
                                                                  "длительность промтакта"};
            const unsigned column = ByteAt(entry.payload, 1);
            return "такт прораммы-" + std::string(kColumns[column >= 1 && column <= 3 ? column - 1 : 0]);
        }
        default:
            return "Изменение значения";
    }
}

std::string ShapeDescription(const JournalEntry& entry) {
    constexpr std::array<std::string_view, 4> kSettings = {"желтое мигание", "кругом красное",
                                                           "конфликт зеленого", "конфликт красного"};
    switch (entry.payload.empty() ? 0 : entry.payload[0]) {
        case 'c':
            return Quoted("цвет");
        case 'f':
            return Quoted("направления в фазе");
        case 'n':
            return "канал-" + Quoted("структуры направления");
        case 't':
            return "канал-" + Quoted("ждите (ТВП)");
        case 'u': {
            const unsigned m = ByteAt(entry.payload, 1);
            return "канал-" + std::string(kSettings[m >= 1 && m <= 4 ? m - 1 : 0]);
        }
        default:
            return {};
    }
}

std::string ButtonDescription(int tag) {
    constexpr std::array<std::string_view, 5> kCleared = {"уставки ждите в ТВП", "суточного графика",
                                                          "цвета/уставки", "направлений в фазе",
                                                          "структура направления"};
    return "Очистку " + Quoted(kCleared[tag >= 1 && tag <= 5 ? tag - 1 : 0]);
}

std::string ComboDescription(int tag) {
    switch (tag) {
        case 1:
            return "Выбор в списке " + Quoted("тип сети");
        case 3:
            return "Выбор в списке " + Quoted("команда сут. графика");
        case 4:
            return "копирование суточного графика";
        case 5:
            return "состояние при включении";
        default:
            return "Выбор в списке";
    }
}

std::string RadioDescription(int tag) {
    switch (tag) {
        case 4:
            return " " + Quoted("тип ВПУ");
        case 5:
            return " " + Quoted("тип ТВП");
        case 6:
            return " " + Quoted("тип ПЗУ");
        default:
            return {};
    }
}

// Keeps the replay flag set for exactly the put-back, however it ends.
class ReplayScope {
public:
    ReplayScope(std::optional<ReplaySide>& flag, ReplaySide side) : flag_(flag) { flag_ = side; }
    ~ReplayScope() { flag_.reset(); }
    ReplayScope(const ReplayScope&) = delete;
    ReplayScope& operator=(const ReplayScope&) = delete;

private:
    std::optional<ReplaySide>& flag_;
};

}  // namespace

std::string ByteText(unsigned value) {
    return std::string(1, static_cast<char>(value & 0xFF));
}

std::string WordText(unsigned value) {
    return ByteText(value) + ByteText(value >> 8);
}

std::string DwordText(std::uint32_t value) {
    return WordText(value & 0xFFFF) + WordText(value >> 16);
}

unsigned ByteAt(std::string_view bytes, std::size_t index) {
    return index < bytes.size() ? static_cast<unsigned char>(bytes[index]) : 0u;
}

unsigned WordAt(std::string_view bytes, std::size_t index) {
    return ByteAt(bytes, index) | (ByteAt(bytes, index + 1) << 8);
}

std::uint32_t DwordAt(std::string_view bytes, std::size_t index) {
    return WordAt(bytes, index) | (std::uint32_t{WordAt(bytes, index + 2)} << 16);
}

std::string JournalEntry::Bytes() const {
    return WordText(control) + WordText(static_cast<unsigned>(payload.size())) + payload;
}

std::string DescribeEntry(const ControlInfo& info, const JournalEntry& entry) {
    switch (info.kind) {
        case ControlClass::LabeledEdit:
        case ControlClass::CheckBox:
            return Quoted(info.caption);
        case ControlClass::MaskedEdit:
            return "время в суточ. графике";
        case ControlClass::SpinEdit:
            return info.tag == 2 ? "Изменение значения " + Quoted("адрес в сети") : "Изменение значения";
        case ControlClass::Edit:
            return EditDescription(info.tag, entry);
        case ControlClass::Shape:
            return ShapeDescription(entry);
        case ControlClass::BitButton:
            return "Авто уставки";
        case ControlClass::Button:
            return ButtonDescription(info.tag);
        case ControlClass::ComboBox:
            return ComboDescription(info.tag);
        case ControlClass::RadioGroup:
            return RadioDescription(info.tag);
    }
    return {};
}

void Journal::Register(ControlId id, ControlInfo info) {
    controls_[id] = std::move(info);
}

const ControlInfo* Journal::Find(ControlId id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

void Journal::Record(ControlId id, std::string payload, std::string memo) {
    if (recordingSuppressed() || droppingRecords_) return;
    const ControlInfo* info = Find(id);
    if (side_ == ReplaySide::Undo && info != nullptr && !info->redoable) return;
    if (onRecord) onRecord();
    JournalEntry entry{id, std::move(payload), std::move(memo)};
    if (side_ == ReplaySide::Undo) {
        redo_.push_back(std::move(entry));
        return;
    }
    undo_.push_back(std::move(entry));
    if (side_ != ReplaySide::Redo) redo_.clear();
}

bool Journal::Undo() {
    return Replay(undo_, ReplaySide::Undo);
}

bool Journal::Redo() {
    return Replay(redo_, ReplaySide::Redo);
}

bool Journal::TakeBack() {
    if (undo_.empty() || side_.has_value()) return false;
    // Set for exactly the put-back, however it ends.
    struct Dropping {
        bool& flag;
        explicit Dropping(bool& on) : flag(on) { flag = true; }
        ~Dropping() { flag = false; }
        Dropping(const Dropping&) = delete;
        Dropping& operator=(const Dropping&) = delete;
    } dropping(droppingRecords_);
    return Replay(undo_, ReplaySide::Undo);
}

bool Journal::Replay(std::vector<JournalEntry>& from, ReplaySide side) {
    // A replay never starts another one: a handler that would undo inside
    // a put-back finds the journal busy.
    if (from.empty() || side_.has_value()) return false;
    const JournalEntry entry = std::move(from.back());
    from.pop_back();
    const ControlInfo* info = Find(entry.control);
    const int page = info != nullptr ? info->page : 0;
    try {
        const ReplayScope scope(side_, side);
        if (info != nullptr && info->replay) info->replay(entry, side);
    } catch (...) {
        if (page != 0 && showPage) showPage(page);
        throw;
    }
    // The flags are down before the page is shown, so its filling and the
    // user's next edit are ordinary again.
    if (page != 0 && showPage) showPage(page);
    return true;
}

void Journal::Clear() {
    undo_.clear();
    redo_.clear();
}

std::string Journal::Describe(const JournalEntry& entry) const {
    const ControlInfo* info = Find(entry.control);
    return info != nullptr ? DescribeEntry(*info, entry) : std::string();
}

std::string Journal::UndoCaption() const {
    return undo_.empty() ? std::string(kUndoCaption)
                         : std::string(kUndoCaption) + " : " + Describe(undo_.back());
}

std::string Journal::RedoCaption() const {
    return redo_.empty() ? std::string(kRedoCaption)
                         : std::string(kRedoCaption) + " : " + Describe(redo_.back());
}

}  // namespace kdt::gui

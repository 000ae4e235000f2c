#include "CommandLine.h"

#include <charconv>

#include "data/TypeKDT.h"

namespace kdt::cli {

CommandWords::CommandWords(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                           const std::set<std::string>& flagOptions,
                           const std::set<std::string>& repeatableOptions) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            // Everything after it is an argument, so a file may be named "--out".
            positional_.insert(positional_.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                               words.end());
            break;
        }
        if (word.size() < 2 || word.rfind("--", 0) != 0) {
            positional_.push_back(word);
        } else if (flagOptions.contains(word)) {
            flags_.insert(word);
        } else if (repeatableOptions.contains(word)) {
            if (i + 1 >= words.size()) throw UsageError("option " + word + " needs a value");
            repeated_.emplace(word, words[++i]);
        } else if (valueOptions.contains(word)) {
            if (i + 1 >= words.size()) throw UsageError("option " + word + " needs a value");
            if (values_.contains(word)) throw UsageError("option " + word + " is given twice");
            values_[word] = words[++i];
        } else {
            throw UsageError("unknown option " + word);
        }
    }
}

std::string CommandWords::onlyPositional(const std::string& what) const {
    if (positional_.empty()) throw UsageError("missing " + what);
    if (positional_.size() > 1) throw UsageError("unexpected argument " + positional_[1]);
    return positional_.front();
}

std::optional<std::string> CommandWords::value(const std::string& option) const {
    const auto found = values_.find(option);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::vector<std::string> CommandWords::values(const std::string& option) const {
    std::vector<std::string> found;
    const auto [first, last] = repeated_.equal_range(option);
    for (auto it = first; it != last; ++it) found.push_back(it->second);
    return found;
}

std::string CommandWords::requiredValue(const std::string& option) const {
    const auto found = value(option);
    if (!found) throw UsageError("option " + option + " is required");
    return *found;
}

long ParseNumber(const std::string& text, long minimum, long maximum, const std::string& what) {
    long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < minimum || number > maximum)
        throw UsageError(what + " must be a whole number from " + std::to_string(minimum) + " to " +
                         std::to_string(maximum) + ", not \"" + text + "\"");
    return number;
}

std::uint8_t ParseRomType(const std::string& text) {
    for (int index = 0; index < kRomTypeCount; ++index)
        if (text == kRomTypeNames[index] || text == std::to_string(index))
            return static_cast<std::uint8_t>(index);
    throw UsageError("unknown ROM type \"" + text +
                     "\" (use 0..5 or 4.1.0, 4.1.1, 4.1.2, 4.1.3, 4.2.0, 4.2.1)");
}

}  // namespace kdt::cli

// Parsing of one command's words: positional arguments and "--name value" options.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kdt::cli {

// Bad usage: the message is printed after "kdt: " and the exit status is 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class CommandWords {
public:
    // Options not in valueOptions or flagOptions are refused; "--" ends the
    // options, every word after it is positional.
    // Options in repeatableOptions take a value and may be given more than once.
    CommandWords(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                 const std::set<std::string>& flagOptions = {},
                 const std::set<std::string>& repeatableOptions = {});

    const std::vector<std::string>& positional() const { return positional_; }
    std::string onlyPositional(const std::string& what) const;
    std::optional<std::string> value(const std::string& option) const;
    std::string requiredValue(const std::string& option) const;
    bool flag(const std::string& option) const { return flags_.contains(option); }
    std::vector<std::string> values(const std::string& option) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::multimap<std::string, std::string> repeated_;
    std::set<std::string> flags_;
};

// A ROM type given as an index 0..5 or a name 4.1.0 .. 4.2.1.
std::uint8_t ParseRomType(const std::string& text);
// A whole decimal number within the limits.
long ParseNumber(const std::string& text, long minimum, long maximum, const std::string& what);

}  // namespace kdt::cli

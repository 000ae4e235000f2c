// How every reader and writer in core reports: success, or the message that
// says why not. Results that carry data derive from it and add their fields.
#pragma once

#include <string>
#include <utility>

namespace kdt {

struct [[nodiscard]] Outcome {
    std::string error;  // empty on success; otherwise one line, ready to be shown

    bool ok() const noexcept { return error.empty(); }

    static Outcome Success() { return {}; }
    // A failure always has a message, so that it can never pass for success.
    static Outcome Failure(std::string message) {
        Outcome outcome;
        outcome.error = message.empty() ? std::string("неизвестная ошибка") : std::move(message);
        return outcome;
    }
};

}  // namespace kdt

// The undo and redo journals as the shell sees them: two lists of entries
// and the flag that keeps filling a page from recording. Recording and replay
// belong to the pages and the undo command.
#pragma once

#include <string>
#include <vector>

namespace kdt::gui {

struct EditJournal {
    using Entry = std::string;  // control identifier, payload length, payload

    std::vector<Entry> undo;
    std::vector<Entry> redo;
    bool recordingSuppressed = false;

    void clear() {
        undo.clear();
        redo.clear();
    }
    bool empty() const { return undo.empty() && redo.empty(); }
};

}  // namespace kdt::gui

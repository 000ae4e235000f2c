// What the editor keeps for the whole run besides its windows: the one plan,
// the project it came from, the projects of this run and the journals.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "binding/Journal.h"
#include "data/TypeKDT.h"
#include "project/PlanCommands.h"

namespace kdt::gui {

struct EditingState {
    TSignalPlan plan{};
    PlanEditorState editor;
    // The full path of the current project; the record keeps only its first
    // 255 bytes, so every file operation takes the path from here. Empty for
    // a plan that was never saved.
    std::filesystem::path currentPath;
    std::vector<std::filesystem::path> projects;  // newest first
    int currentPage = 0;                          // 0 until a page was shown
    Journal journal;
    // The record as it was last opened, created, imported or saved (as a save
    // would write it): an edit that records no journal entry still shows as
    // a difference from it.
    std::array<std::uint8_t, kSignalPlanSize> baseline{};

    void TakeBaseline();
    bool planModified() const;
};

// Paths are the same project where the file system says so: ignoring case
// on Windows, exactly elsewhere.
bool SameProject(const std::filesystem::path& a, const std::filesystem::path& b);

// The path as a project path is shown and stored: lower case where the file
// system ignores case.
std::filesystem::path ProjectPath(const std::filesystem::path& path);

}  // namespace kdt::gui

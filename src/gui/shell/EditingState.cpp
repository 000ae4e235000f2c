#include "shell/EditingState.h"

#include <algorithm>

#include "common/FileIO.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "data/TextEncoding.h"

namespace kdt::gui {

namespace {

// The plan as a save would write it: the slots beyond the counts do not
// make a difference a user could lose.
TSignalPlan AsSaved(const TSignalPlan& plan, const NetworkAddressEditor& addressEditor) {
    TSignalPlan copy = plan;
    NormalisePlan(copy, addressEditor.value);
    return copy;
}

}  // namespace

void EditingState::TakeBaseline() {
    const TSignalPlan saved = AsSaved(plan, editor.addressEditor);
    const auto bytes = RecordBytes(saved);
    std::copy(bytes.begin(), bytes.end(), baseline.begin());
}

bool EditingState::planModified() const {
    const TSignalPlan saved = AsSaved(plan, editor.addressEditor);
    const auto bytes = RecordBytes(saved);
    return !std::equal(bytes.begin(), bytes.end(), baseline.begin());
}

bool SameProject(const std::filesystem::path& a, const std::filesystem::path& b) {
    return ProjectPathText(a) == ProjectPathText(b);
}

std::filesystem::path ProjectPath(const std::filesystem::path& path) {
    return Utf8ToPath(ProjectPathText(path));
}

}  // namespace kdt::gui

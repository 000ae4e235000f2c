#include "shell/EditingState.h"

#include "common/FileIO.h"
#include "data/ProjectFile.h"
#include "data/TextEncoding.h"

namespace kdt::gui {

bool SameProject(const std::filesystem::path& a, const std::filesystem::path& b) {
    return ProjectPathText(a) == ProjectPathText(b);
}

std::filesystem::path ProjectPath(const std::filesystem::path& path) { return Utf8ToPath(ProjectPathText(path)); }

}  // namespace kdt::gui

// The file commands' plan side, shared by the editor and the command line:
// opening any supported file, saving under a name, and starting a new project.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "data/TypeKDT.h"

namespace kdt {

inline constexpr std::string_view kNotImplementedMessage = "Данная процедура еще не реализована";

struct OpenPlanResult {
    std::string error;               // empty on success; plan and editor are then unchanged
    std::uint8_t layoutVersion = 0;  // of a project file, as found
    std::string warning;             // something went wrong that did not stop the open
    bool ok() const { return error.empty(); }
};

// Opens a file as the open command does: dispatched by extension, read, the
// editor refreshed, the plan normalised and tied to the file's absolute path.
OpenPlanResult OpenPlanFile(const std::filesystem::path& path, TSignalPlan& plan,
                            NetworkAddressEditor& editor, OldLayoutHandling oldLayouts);

struct SavePlanResult {
    std::filesystem::path written;  // the name the plan went to (".kdt" appended when needed)
    std::string error;              // empty on success
    bool ok() const { return error.empty(); }
};

// Normalises the plan and writes it as a project under the chosen name. The
// record is written before the plan is tied to the new name, and a failed
// write leaves the plan tied to the file it had.
SavePlanResult SavePlanAs(const std::filesystem::path& chosen, TSignalPlan& plan,
                          const NetworkAddressEditor& editor);

// A new plan tied to the chosen file and saved there.
SavePlanResult CreateNewProject(const std::filesystem::path& chosen, TSignalPlan& plan,
                                NetworkAddressEditor& editor, std::uint8_t defaultRomVersion,
                                std::uint8_t defaultSpeed);

}  // namespace kdt

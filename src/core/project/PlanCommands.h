// The file commands' plan side, shared by the editor and the command line:
// opening any supported file, saving under a name, and starting a new project.
// It orchestrates data (project files, the legacy import) and rom (the image
// reader), so it sits above both and neither includes it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Outcome.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "data/TypeKDT.h"
#include "rom/RomImageReader.h"

namespace kdt {

inline constexpr std::string_view kNotImplementedMessage = "Данная процедура еще не реализована";

// What the plan-wide commands keep besides the plan, for the whole run: the
// parameters page's address editor and the image reader with its scratch record.
struct PlanEditorState {
    NetworkAddressEditor addressEditor;
    RomImageReader romReader;
};

enum class OpenFailure {
    None,
    Unreadable,  // the file could not be read, or is not of a kind the program opens
    NoPlan,      // an image was read but holds no plan, or a table holds no rows
    Refused,     // a table whose name says it holds no plan (a warning, not an error)
};

// On failure the error is the message, failure its kind, and the plan and
// the editor state are unchanged.
struct [[nodiscard]] OpenPlanResult : Outcome {
    OpenFailure failure = OpenFailure::None;
    std::filesystem::path path;      // the absolute path the plan was tied to
    std::string detail;              // what exactly went wrong, where the message is the system's fixed text
    std::uint8_t layoutVersion = 0;  // of a project file, as found
    std::string warning;             // something went wrong that did not stop the open
    std::string shortFileWarning;    // a project file shorter than the record (the editor reads it silently)
    // A legacy table: the message of a bad row that ended the import early
    // (the rows before it were imported), and the rows skipped because their
    // indices lie outside the plan.
    std::string importStopMessage;
    int skippedRows = 0;
    std::vector<std::string> truncatedValues;  // values cut to their field's width, one text each
};

// Opens a file as the open command does: dispatched by extension (a ROM
// image with the layout of the plan's RomVersion), read, the editor
// refreshed, the plan normalised and tied to the file's absolute path.
OpenPlanResult OpenPlanFile(const std::filesystem::path& path, TSignalPlan& plan, PlanEditorState& editor,
                            OldLayoutHandling oldLayouts);

struct [[nodiscard]] SavePlanResult : Outcome {
    std::filesystem::path written;  // the name the plan went to (".kdt" appended when needed)
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

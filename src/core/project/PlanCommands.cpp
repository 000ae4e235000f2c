#include "project/PlanCommands.h"

#include "common/FileIO.h"
#include "data/LegacyImport.h"
#include "data/TextEncoding.h"

namespace kdt {
namespace fs = std::filesystem;

namespace {

fs::path AbsolutePath(const fs::path& path) {
    std::error_code ignored;
    fs::path absolute = fs::absolute(path, ignored);
    return absolute.empty() ? path : absolute.lexically_normal();
}

}  // namespace

OpenPlanResult OpenPlanFile(const fs::path& path, TSignalPlan& plan, PlanEditorState& editor,
                            OldLayoutHandling oldLayouts) {
    OpenPlanResult result;
    TSignalPlan opened = plan;
    const std::string extension = LowerCaseExtension(path);
    if (extension == ".kdt" || extension == ".kdt2") {
        const ProjectFileRead read = ReadProjectFile(path, opened, oldLayouts);
        if (!read.ok()) {
            result.failure = OpenFailure::Unreadable;
            result.error = read.error;
            return result;
        }
        result.layoutVersion = read.layoutVersion;
        result.warning = read.rewriteError;
        result.shortFileWarning = read.shortFileWarning;
    } else if (extension == ".dbf") {
        const LegacyImportResult imported = ImportLegacyTable(path, opened);
        if (imported.status != LegacyImportResult::Status::Imported) {
            switch (imported.status) {
                case LegacyImportResult::Status::Refused:
                    result.failure = OpenFailure::Refused;
                    break;
                case LegacyImportResult::Status::Empty:
                    result.failure = OpenFailure::NoPlan;
                    break;
                default:
                    result.failure = OpenFailure::Unreadable;
                    break;
            }
            result.error = imported.error;
            result.detail = imported.stopDetail;
            return result;
        }
        result.importStopMessage = imported.stopMessage;
        result.detail = imported.stopDetail;
        result.skippedRows = imported.skippedRows;
        result.truncatedValues = imported.truncatedValues;
        if (IsRom42x(opened)) DoubleTimeValues(opened);
    } else if (extension == ".hex" || extension == ".bin") {
        const RomImageFileRead read = ReadRomImageFile(path, plan.RomVersion, editor.romReader, opened);
        if (!read.ok()) {
            result.failure = read.status == RomImageFileRead::Status::NoPlan ? OpenFailure::NoPlan
                                                                             : OpenFailure::Unreadable;
            result.error = read.error;
            return result;
        }
        // Images hold whole seconds; the plan keeps half-seconds.
        if (IsRom42x(opened)) DoubleTimeValues(opened);
    } else {
        result.failure = OpenFailure::Unreadable;
        result.error = std::string(kNotImplementedMessage);
        return result;
    }

    NetworkAddressEditor openedEditor = editor.addressEditor;
    RefreshEditorRecord(opened, openedEditor);
    NormalisePlan(opened, openedEditor.value);
    result.path = AbsolutePath(path);
    StoreProjectFileName(opened, result.path);
    plan = opened;
    editor.addressEditor = openedEditor;
    return result;
}

SavePlanResult SavePlanAs(const fs::path& chosen, TSignalPlan& plan, const NetworkAddressEditor& editor) {
    SavePlanResult result;
    // Checked before ".kdt" is appended: "" or "sub/" would otherwise become
    // a hidden file named ".kdt", and a folder's name a file beside it.
    if (Outcome name = CheckWriteName(chosen); !name.ok()) {
        result.error = std::move(name.error);
        return result;
    }
    result.written = ProjectSaveName(AbsolutePath(chosen));
    NormalisePlan(plan, editor.value);
    result.error = SaveProjectFile(result.written, plan).error;
    if (result.ok()) StoreProjectFileName(plan, result.written);
    return result;
}

SavePlanResult CreateNewProject(const fs::path& chosen, TSignalPlan& plan, NetworkAddressEditor& editor,
                                std::uint8_t defaultRomVersion, std::uint8_t defaultSpeed) {
    ResetPlan(plan, defaultRomVersion, defaultSpeed);
    RefreshEditorRecord(plan, editor);
    // A new project's file names itself, so it is tied before it is written.
    StoreProjectFileName(plan, ProjectSaveName(AbsolutePath(chosen)));
    return SavePlanAs(chosen, plan, editor);
}

}  // namespace kdt

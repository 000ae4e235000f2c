#include <cstdio>
#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"
#include "project/ImageVerify.h"
#include "rom/RomImageReader.h"

namespace kdt::cli {
namespace {

std::string ByteLine(const ImageByte& byte) {
    char text[64];
    std::snprintf(text, sizeof text, "  0x%04zX (%zu): plan 0x%02X, image 0x%02X", byte.address, byte.address,
                  unsigned{byte.planByte}, unsigned{byte.imageByte});
    return std::string(text) + (byte.holds.empty() ? "" : " — " + byte.holds);
}

}  // namespace

int RunVerify(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--rom"});
    const std::vector<std::string>& arguments = command.positional();
    if (arguments.size() < 2) throw UsageError("needs a plan and an image: PLAN IMAGE");
    if (arguments.size() > 2) throw UsageError("unexpected argument " + arguments[2]);
    const std::string& planPath = arguments[0];
    const std::string& imagePath = arguments[1];
    const std::string extension = LowerCaseExtension(Utf8ToPath(imagePath));
    if (extension != ".hex" && extension != ".bin")
        throw UsageError("IMAGE must be a .hex or a .bin file, not \"" + imagePath + "\"");
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;

    PlanSession session;
    if (OpenPlanArgument(session, "verify", planPath, rom, err)) return kExitUsage;
    const std::uint8_t romVersion = rom.value_or(session.plan.RomVersion);
    const FileReadResult image = LoadRomImageFile(Utf8ToPath(imagePath));
    if (!image.ok()) {
        err << "kdt verify: " << image.error << "\n";
        return kExitUsage;
    }
    const ImageVerification verified = VerifyRomImage(session.plan, romVersion, image.bytes);
    if (!verified.ok()) {
        err << "kdt verify: " << imagePath << ": " << verified.error << "\n";
        return kExitUsage;
    }
    const std::string layout = romVersion < kRomTypeCount ? std::string(kRomTypeNames[romVersion]) : "?";
    if (verified.identical()) {
        out << "the image holds the plan: " << verified.comparedBytes << " bytes of the " << layout
            << " layout are the same\n";
        return kExitOk;
    }
    out << "the image differs from the plan at " << verified.mismatches.size() << " of "
        << verified.comparedBytes << " addresses of the " << layout << " layout\n";
    if (verified.decoded) {
        if (!verified.differences.empty()) {
            out << "values (plan → image):\n";
            for (const std::string& line : DifferenceLines(verified.differences, true)) out << line << "\n";
        }
    } else {
        out << "no values compared: " << verified.notDecoded << "\n";
    }
    if (!verified.unexplained.empty()) {
        out << "bytes no field explains:\n";
        for (const ImageByte& byte : verified.unexplained) out << ByteLine(byte) << "\n";
    }
    return kExitProblem;
}

}  // namespace kdt::cli

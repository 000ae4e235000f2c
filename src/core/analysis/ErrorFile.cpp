#include "analysis/ErrorFile.h"

#include "common/FileIO.h"
#include "data/TextEncoding.h"

namespace kdt {

std::vector<std::string> FindingLines(const TSignalPlan& plan, const std::vector<std::string>& findings) {
    std::vector<std::string> lines = {
        "*** Проект СОД: \"" + Cp1251ToUtf8(StoredText(plan.ProjectFileName)) + "\"",
        "*** Комментарий к проекту: \"" + Cp1251ToUtf8(StoredText(plan.Comment)) + "\"",
        "***",
    };
    lines.insert(lines.end(), findings.begin(), findings.end());
    return lines;
}

std::vector<std::string> ErrorFileLines(const TSignalPlan& plan, const std::filesystem::path& errorFile,
                                        const std::vector<std::string>& findings) {
    std::vector<std::string> lines = {
        "*** Результат анализа проекта СОД сохранен в файле: \"" + PathToUtf8(errorFile) + "\"",
        "***",
    };
    const std::vector<std::string> rest = FindingLines(plan, findings);
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

std::string ErrorFileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += Utf8ToCp1251(line);
        text += "\r\n";
    }
    return text;
}

Outcome WriteErrorFile(const std::filesystem::path& errorFile, const std::vector<std::string>& lines) {
    const std::string text = ErrorFileText(lines);
    return WriteFileAtomically(errorFile,
                               std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace kdt

#include "shell/StartupArgument.h"

#include "data/TextEncoding.h"

namespace kdt {
namespace {

// Length in characters of UTF-8 text (continuation bytes do not count).
std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char byte : text)
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) ++count;
    return count;
}

bool IsBlankOrControl(char byte) {
    return static_cast<unsigned char>(byte) <= 0x20 || byte == 0x7F;
}

}  // namespace

bool PassesExtensionTest(std::string_view path, std::string_view extensionList) {
    const std::size_t nameStart = path.find_last_of("/\\");
    const std::string_view fileName = nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
    const std::size_t dot = fileName.rfind('.');
    const std::string extension =
        dot == std::string_view::npos ? std::string() : LowerCaseCp1251Letters(fileName.substr(dot));
    return extensionList.find(extension + ";") != std::string_view::npos;
}

std::string CommandLineFromArguments(std::string_view programPath,
                                     const std::vector<std::string>& arguments) {
    std::string commandLine = "\"" + std::string(programPath) + "\"";
    for (const std::string& argument : arguments) commandLine += " " + argument;
    return commandLine;
}

std::string ExtractFileArgument(std::string_view commandLine, bool lowerCase) {
    const std::string text = lowerCase ? LowerCaseCp1251Letters(commandLine) : std::string(commandLine);
    const std::size_t quoteBlank = text.find("\" ");
    if (quoteBlank == std::string::npos) return {};
    std::string argument = text.substr(quoteBlank + 2);
    if (CharacterCount(argument) > 3) {
        if (argument.back() == '"') argument.pop_back();
        if (!argument.empty() && argument.front() == ' ') argument.erase(0, 1);
        if (!argument.empty() && argument.front() == '"') argument.erase(0, 1);
    }
    return argument;
}

std::string UsableFileArgument(std::string_view argument) {
    if (CharacterCount(argument) < 5) return {};
    std::size_t first = 0;
    std::size_t last = argument.size();
    while (first < last && IsBlankOrControl(argument[first])) ++first;
    while (last > first && IsBlankOrControl(argument[last - 1])) --last;
    return std::string(argument.substr(first, last - first));
}

}  // namespace kdt

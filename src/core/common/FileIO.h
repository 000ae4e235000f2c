// Whole-file reads and crash-safe writes shared by every file the program makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace kdt {

struct FileReadResult {
    std::vector<std::uint8_t> bytes;
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// Reads at most maxBytes from the start of a regular file.
FileReadResult ReadFileBytes(const std::filesystem::path& path,
                             std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// Replaces the file with the given bytes so that a crash leaves either the old
// or the new file, never a half-written one: the bytes go to a temporary file
// in the same folder, are flushed to the disk, and the temporary file is then
// renamed over the target. An existing target keeps its permissions. Returns
// an empty string on success, otherwise the reason.
std::string WriteFileAtomically(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes);

// The program's work folder, where the analysis leaves its error file:
// "c:\kdt_win" on Windows, ~/kdt_win elsewhere.
std::filesystem::path DefaultWorkFolder();

// Paths as UTF-8 text, the program's internal encoding.
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path Utf8ToPath(const std::string& utf8);

}  // namespace kdt

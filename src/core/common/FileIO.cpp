#include "common/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kdt {
namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& path) { return "\"" + PathToUtf8(path) + "\""; }

std::string SystemReason(int error) { return std::generic_category().message(error); }

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#if defined(_WIN32)
    std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

fs::path TemporaryPathBeside(const fs::path& target) {
    static std::mt19937_64 generator{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFFFull));
    fs::path temporary = target;
    temporary += suffix;
    return temporary;
}

}  // namespace

std::string PathToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path Utf8ToPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

fs::path DefaultWorkFolder() {
#if defined(_WIN32)
    return fs::path("c:\\kdt_win");
#else
    const char* home = std::getenv("HOME");
    return (home != nullptr && *home != 0 ? fs::path(home) : fs::path(".")) / "kdt_win";
#endif
}

FileReadResult ReadFileBytes(const fs::path& path, std::size_t maxBytes) {
    FileReadResult result;
    std::error_code status;
    if (fs::is_directory(path, status)) {
        result.error = "Не удалось прочитать файл " + Quoted(path) + ": это папка";
        return result;
    }
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        result.error = "Не удалось открыть файл " + Quoted(path) + ": " + SystemReason(errno);
        return result;
    }
    std::uint8_t chunk[65536];
    while (result.bytes.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof chunk, maxBytes - result.bytes.size());
        const std::size_t got = std::fread(chunk, 1, wanted, file);
        result.bytes.insert(result.bytes.end(), chunk, chunk + got);
        if (got < wanted) break;
    }
    if (std::ferror(file)) {
        result.error = "Ошибка чтения файла " + Quoted(path) + ": " + SystemReason(errno);
        result.bytes.clear();
    }
    std::fclose(file);
    return result;
}

std::string WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::error_code status;
    if (fs::is_directory(path, status))
        return "Не удалось записать файл " + Quoted(path) + ": это папка";

    const fs::path temporary = TemporaryPathBeside(path);
    std::FILE* file = OpenFile(temporary, "wbx");
    if (file == nullptr)
        return "Не удалось создать файл " + Quoted(temporary) + ": " + SystemReason(errno);

    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = written && FlushToDisk(file);
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        fs::remove(temporary, status);
        return "Не удалось записать файл " + Quoted(path) + ": " + SystemReason(writeError);
    }

    if (fs::exists(path, status)) {
        const fs::perms permissions = fs::status(path, status).permissions();
        if (!status) fs::permissions(temporary, permissions, status);
    }
    fs::rename(temporary, path, status);
    if (status) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return "Не удалось записать файл " + Quoted(path) + ": " + status.message();
    }
    return {};
}

}  // namespace kdt

// What every fuzz target shares: a broken property is reported like a crash,
// so libFuzzer keeps the input.
#pragma once

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace kdt::fuzz {

inline int Verdict(const std::string& failure) {
    if (failure.empty()) return 0;
    std::fprintf(stderr, "property broken: %s\n", failure.c_str());
    std::abort();
}

// A folder of this process for the files a target writes, in memory where the
// system has such a file system: the writes are flushed to disk on every input.
// Under KDT_FUZZ_SCRATCH when set, so a run that aborts on a finding (and
// skips the exit handler) leaves nothing its caller does not remove.
inline const std::filesystem::path& ScratchFolder() {
    // Never destroyed: the exit handler that removes the folder needs it.
    static const std::filesystem::path* const folder = [] {
        std::error_code status;
        const char* chosen = std::getenv("KDT_FUZZ_SCRATCH");
        std::filesystem::path base = chosen != nullptr && *chosen != 0 ? chosen : "/dev/shm";
        if (!std::filesystem::is_directory(base, status)) base = std::filesystem::temp_directory_path();
        auto* path = new std::filesystem::path(base / ("kdt-fuzz-" + std::to_string(::getpid())));
        std::filesystem::create_directories(*path, status);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return path;
    }();
    return *folder;
}

}  // namespace kdt::fuzz

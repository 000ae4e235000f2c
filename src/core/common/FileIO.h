// Whole-file reads and crash-safe writes shared by every file the program makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/Outcome.h"

namespace kdt {

struct [[nodiscard]] FileReadResult : Outcome {
    std::vector<std::uint8_t> bytes;
};

// What a read does with a file longer than its limit.
enum class BeyondLimit {
    ReadPrefix,  // the first maxBytes are read (a project file holds one record)
    Refuse,      // nothing is read: the file cannot be what the caller expects
};

// Reads a regular file, symbolic links followed: at most maxBytes from its
// start, or nothing when it is longer and the caller refuses that. Anything
// else (a folder, a device, a FIFO, a socket) is refused before it is read,
// so a FIFO never blocks the program.
FileReadResult ReadFileBytes(const std::filesystem::path& path,
                             std::size_t maxBytes = std::numeric_limits<std::size_t>::max(),
                             BeyondLimit beyondLimit = BeyondLimit::ReadPrefix);

// How a target that has no write permission bit at all is treated.
enum class ReadOnlyTarget {
    Refuse,   // "файл только для чтения", also for a process that could write it
    Replace,  // replaced, and the new file loses the read-only mark (ROM images)
};

struct WriteOptions {
    ReadOnlyTarget readOnly = ReadOnlyTarget::Refuse;
    // When set and the existing target is longer: its bytes from this offset
    // on follow the new bytes, copied a block at a time.
    std::optional<std::uint64_t> keepTailFrom;
};

// Whether a name can be written to: not when it is empty, ends in a folder
// separator, or names a folder.
Outcome CheckWriteName(const std::filesystem::path& path);

// Writes a file so that a crash leaves either the old or the whole new file:
// the bytes go to a temporary file beside the final target (a symbolic link
// is followed to it), which gets the target's permissions and, where the
// process may, its owner and group, is flushed to the disk and renamed over
// the target. The temporary file is created readable by its owner only and
// has a short name of fixed length, so any target name the file system
// accepts can be written. Refused before anything is written: a bad name
// (CheckWriteName), a dangling link, an existing target that is not a regular
// file, a read-only target unless the options allow it. Every message names
// the target as given.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::filesystem::path& target, WriteOptions options = {});
    ~AtomicFileWriter();  // an uncommitted temporary file is removed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Appends bytes; after a failure it does nothing (error() says why).
    void Write(std::span<const std::uint8_t> bytes);
    void Write(std::string_view text);

    // Adds the kept tail, sets permissions and owner, flushes and renames.
    Outcome Commit();

private:
    bool FlushBuffer();
    bool CopyTail();
    bool TakeOverTargetAttributes();
    void Fail(const std::string& reason);
    void Discard();

    std::filesystem::path given_;  // for messages
    WriteOptions options_;
    std::filesystem::path final_;  // the target with its links followed
    std::filesystem::path temporary_;
    bool targetExists_ = false;
    std::uint64_t targetMode_ = 0;
    std::uint64_t targetOwner_ = 0;
    std::uint64_t targetGroup_ = 0;
    int descriptor_ = -1;
    std::vector<std::uint8_t> buffer_;
    std::string error_;
    bool committed_ = false;
};

// The whole file at once through AtomicFileWriter.
Outcome WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                            WriteOptions options = {});

// Whether both paths name one existing file (same device and inode, links followed).
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The program's work folder, where the analysis leaves its error file:
// "c:\kdt_win" on Windows, ~/kdt_win elsewhere.
std::filesystem::path DefaultWorkFolder();

// Paths as UTF-8 text, the program's internal encoding.
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path Utf8ToPath(const std::string& utf8);

}  // namespace kdt

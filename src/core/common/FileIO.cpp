#include "common/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kdt {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
// Links that lead to links: as many as the system itself follows.
constexpr int kMaxLinkDepth = 40;

std::string Quoted(const fs::path& path) {
    return "\"" + PathToUtf8(path) + "\"";
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

std::string CannotWrite(const fs::path& path, const std::string& reason) {
    return "Не удалось записать файл " + Quoted(path) + ": " + reason;
}

std::string CannotRead(const fs::path& path, const std::string& reason) {
    return "Не удалось прочитать файл " + Quoted(path) + ": " + reason;
}

constexpr const char* kNotRegular = "это не обычный файл (устройство, канал или сокет)";
constexpr const char* kFolder = "это папка";
constexpr const char* kReadOnly = "файл только для чтения";

bool EndsInSeparator(const fs::path& path) {
    const fs::path::string_type& text = path.native();
    if (text.empty()) return false;
    const auto last = text.back();
#if defined(_WIN32)
    return last == L'/' || last == L'\\';
#else
    return last == '/';
#endif
}

// A short name of fixed length: the target's own name may already be as
// long as the file system allows.
fs::path TemporaryNameIn(const fs::path& folder) {
    static std::mt19937 generator{std::random_device{}()};
    static std::mutex guard;
    std::uint32_t number = 0;
    {
        const std::lock_guard lock(guard);
        number = static_cast<std::uint32_t>(generator());
    }
    char name[24];
    std::snprintf(name, sizeof name, ".kdt%08x.tmp", static_cast<unsigned>(number));
    return folder / name;
}

// ---- descriptors, one set of calls per platform ---------------------------

#if defined(_WIN32)

int OpenNewPrivateFile(const fs::path& path) {
    int descriptor = -1;
    if (_wsopen_s(&descriptor, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _SH_DENYRW, _S_IREAD | _S_IWRITE) != 0)
        return -1;
    return descriptor;
}
int OpenForReading(const fs::path& path) {
    int descriptor = -1;
    if (_wsopen_s(&descriptor, path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, 0) != 0)
        return -1;
    return descriptor;
}
long long WriteSome(int descriptor, const std::uint8_t* data, std::size_t size) {
    return _write(descriptor, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
long long ReadSome(int descriptor, std::uint8_t* data, std::size_t size) {
    return _read(descriptor, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
bool SeekTo(int descriptor, std::uint64_t offset) {
    return _lseeki64(descriptor, static_cast<long long>(offset), SEEK_SET) >= 0;
}
bool SyncToDisk(int descriptor) {
    return _commit(descriptor) == 0;
}
bool CloseDescriptor(int descriptor) {
    return _close(descriptor) == 0;
}

#else

int OpenNewPrivateFile(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
}
// Non-blocking, so that a FIFO put in place of a checked file cannot stall
// the open; regular files ignore the flag.
int OpenForReading(const fs::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
long long WriteSome(int descriptor, const std::uint8_t* data, std::size_t size) {
    return ::write(descriptor, data, size);
}
long long ReadSome(int descriptor, std::uint8_t* data, std::size_t size) {
    return ::read(descriptor, data, size);
}
bool SeekTo(int descriptor, std::uint64_t offset) {
    return ::lseek(descriptor, static_cast<off_t>(offset), SEEK_SET) >= 0;
}
bool SyncToDisk(int descriptor) {
    return ::fsync(descriptor) == 0;
}
bool CloseDescriptor(int descriptor) {
    return ::close(descriptor) == 0;
}

// The file-creation mask, which a plain create would have applied.
mode_t CurrentUmask() {
#if defined(__linux__)
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) != 0) continue;
        char* end = nullptr;
        const unsigned long mask = std::strtoul(line.c_str() + 6, &end, 8);
        if (end != line.c_str() + 6) return static_cast<mode_t>(mask & 0777);
    }
#endif
    static std::mutex guard;
    const std::lock_guard lock(guard);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// A rename is part of the folder; without this a crash may forget it.
void SyncFolder(const fs::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

#endif

bool WriteAll(int descriptor, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const long long written = WriteSome(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
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

// ---- reading --------------------------------------------------------------

FileReadResult ReadFileBytes(const fs::path& path, std::size_t maxBytes, BeyondLimit beyondLimit) {
    FileReadResult result;
    // Checked before the file is opened: opening a device may already act on it.
    std::error_code status;
    const fs::file_status type = fs::status(path, status);
    if (status || !fs::exists(type)) {
        const int reason = status ? status.value() : ENOENT;
        result.error = "Не удалось открыть файл " + Quoted(path) + ": " + SystemReason(reason);
        return result;
    }
    if (fs::is_directory(type)) {
        result.error = CannotRead(path, kFolder);
        return result;
    }
    if (!fs::is_regular_file(type)) {
        result.error = CannotRead(path, kNotRegular);
        return result;
    }

    const int descriptor = OpenForReading(path);
    if (descriptor < 0) {
        result.error = "Не удалось открыть файл " + Quoted(path) + ": " + SystemReason(errno);
        return result;
    }
    std::uint64_t size = 0;
#if defined(_WIN32)
    struct _stat64 opened {};
    const bool regular = _fstat64(descriptor, &opened) == 0 && (opened.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat opened {};
    const bool regular = ::fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode);
#endif
    if (!regular) {
        CloseDescriptor(descriptor);
        result.error = CannotRead(path, kNotRegular);
        return result;
    }
    size = static_cast<std::uint64_t>(opened.st_size);
    if (beyondLimit == BeyondLimit::Refuse && size > maxBytes) {
        CloseDescriptor(descriptor);
        result.error = CannotRead(path, "файл длиной " + std::to_string(size) + " байт длиннее допустимых " +
                                            std::to_string(maxBytes) + " байт");
        return result;
    }

    result.bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(size, maxBytes)));
    std::uint8_t chunk[kBlockSize];
    while (result.bytes.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof chunk, maxBytes - result.bytes.size());
        const long long got = ReadSome(descriptor, chunk, wanted);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.error = "Ошибка чтения файла " + Quoted(path) + ": " + SystemReason(errno);
            result.bytes.clear();
            break;
        }
        if (got == 0) break;
        result.bytes.insert(result.bytes.end(), chunk, chunk + got);
    }
    // A file that grew while it was read is still refused as a whole.
    if (result.ok() && beyondLimit == BeyondLimit::Refuse && result.bytes.size() == maxBytes) {
        std::uint8_t extra = 0;
        if (ReadSome(descriptor, &extra, 1) > 0) {
            result.bytes.clear();
            result.error = CannotRead(path, "файл длиннее допустимых " + std::to_string(maxBytes) + " байт");
        }
    }
    CloseDescriptor(descriptor);
    return result;
}

// ---- writing --------------------------------------------------------------

Outcome CheckWriteName(const fs::path& path) {
    if (path.empty()) return Outcome::Failure("Не указано имя файла для записи");
    if (EndsInSeparator(path))
        return Outcome::Failure(CannotWrite(path, "имя оканчивается разделителем папок, это имя папки"));
    const fs::path name = path.filename();
    std::error_code status;
    if (name == "." || name == ".." || fs::is_directory(path, status))
        return Outcome::Failure(CannotWrite(path, kFolder));
    return Outcome::Success();
}

AtomicFileWriter::AtomicFileWriter(const fs::path& target, WriteOptions options)
    : given_(target), options_(options) {
    if (Outcome name = CheckWriteName(target); !name.ok()) {
        error_ = std::move(name.error);
        return;
    }

    // Follow the links to the file they name: that file is replaced, and the
    // links stay links.
    fs::path current = target;
    std::error_code status;
    for (int depth = 0;; ++depth) {
        if (depth > kMaxLinkDepth) {
            Fail("слишком длинная цепочка символических ссылок");
            return;
        }
        const fs::file_status link = fs::symlink_status(current, status);
        if (status && status != std::errc::no_such_file_or_directory) {
            Fail(status.message());
            return;
        }
        if (!fs::exists(link)) {
            if (depth > 0) {
                Fail("ссылка ведёт к несуществующему файлу " + Quoted(current));
                return;
            }
            break;
        }
        if (!fs::is_symlink(link)) {
            targetExists_ = true;
            break;
        }
        const fs::path next = fs::read_symlink(current, status);
        if (status) {
            Fail(status.message());
            return;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    final_ = current;

    if (targetExists_) {
#if defined(_WIN32)
        const fs::file_status type = fs::status(final_, status);
        if (status) {
            Fail(status.message());
            return;
        }
        if (fs::is_directory(type)) {
            Fail(kFolder);
            return;
        }
        if (!fs::is_regular_file(type)) {
            Fail(kNotRegular);
            return;
        }
        targetMode_ = static_cast<std::uint64_t>(type.permissions() & fs::perms::mask);
        const bool writable = (type.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                                     fs::perms::others_write)) != fs::perms::none;
#else
        struct stat found {};
        if (::stat(final_.c_str(), &found) != 0) {
            Fail(SystemReason(errno));
            return;
        }
        if (S_ISDIR(found.st_mode)) {
            Fail(kFolder);
            return;
        }
        if (!S_ISREG(found.st_mode)) {
            Fail(kNotRegular);
            return;
        }
        targetMode_ = found.st_mode & 07777;
        targetOwner_ = found.st_uid;
        targetGroup_ = found.st_gid;
        const bool writable = (found.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
#endif
        // Asked also of a process that could write it, as editors do: the
        // mark says the file is not to be changed.
        if (!writable && options_.readOnly == ReadOnlyTarget::Refuse) {
            Fail(kReadOnly);
            return;
        }
    }

    const fs::path folder = final_.has_parent_path() ? final_.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = TemporaryNameIn(folder);
        descriptor_ = OpenNewPrivateFile(temporary_);
        if (descriptor_ >= 0 || errno != EEXIST) break;
    }
    if (descriptor_ < 0) {
        const int reason = errno;
        temporary_.clear();
        Fail(SystemReason(reason));
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Fail(const std::string& reason) {
    if (error_.empty()) error_ = CannotWrite(given_, reason);
}

void AtomicFileWriter::Discard() {
    if (descriptor_ >= 0) {
        CloseDescriptor(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty() && !committed_) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        temporary_.clear();
    }
}

bool AtomicFileWriter::FlushBuffer() {
    if (buffer_.empty()) return true;
    if (!WriteAll(descriptor_, buffer_.data(), buffer_.size())) {
        Fail(SystemReason(errno));
        return false;
    }
    buffer_.clear();
    return true;
}

void AtomicFileWriter::Write(std::span<const std::uint8_t> bytes) {
    if (!ok() || descriptor_ < 0) return;
    if (buffer_.size() + bytes.size() < kBlockSize) {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        return;
    }
    if (!FlushBuffer()) return;
    if (!WriteAll(descriptor_, bytes.data(), bytes.size())) Fail(SystemReason(errno));
}

void AtomicFileWriter::Write(std::string_view text) {
    Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool AtomicFileWriter::CopyTail() {
    if (!options_.keepTailFrom || !targetExists_) return true;
    const int source = OpenForReading(final_);
    if (source < 0) {
        Fail(SystemReason(errno));
        return false;
    }
    bool copied = SeekTo(source, *options_.keepTailFrom);
    std::vector<std::uint8_t> block(kBlockSize);
    while (copied) {
        const long long got = ReadSome(source, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            copied = got == 0;
            break;
        }
        copied = WriteAll(descriptor_, block.data(), static_cast<std::size_t>(got));
    }
    const int reason = errno;
    CloseDescriptor(source);
    if (!copied) Fail(SystemReason(reason));
    return copied;
}

bool AtomicFileWriter::TakeOverTargetAttributes() {
#if defined(_WIN32)
    return true;  // applied to the renamed file in Commit
#else
    mode_t mode = 0;
    if (targetExists_) {
        // Owner first: a change of owner clears the set-user-ID bits that
        // the mode then puts back.
        if (targetOwner_ != ::geteuid() || targetGroup_ != ::getegid()) {
            if (::fchown(descriptor_, static_cast<uid_t>(targetOwner_), static_cast<gid_t>(targetGroup_)) !=
                0)
                (void)::fchown(descriptor_, static_cast<uid_t>(-1), static_cast<gid_t>(targetGroup_));
        }
        mode = static_cast<mode_t>(targetMode_);
        if (options_.readOnly == ReadOnlyTarget::Replace && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            mode |= S_IWUSR;
    } else {
        mode = static_cast<mode_t>(0666 & ~CurrentUmask());
    }
    if (::fchmod(descriptor_, mode) != 0) {
        Fail(SystemReason(errno));
        return false;
    }
    return true;
#endif
}

Outcome AtomicFileWriter::Commit() {
    const auto failed = [this] {
        Discard();
        return Outcome::Failure(error_);
    };
    if (!ok()) return failed();
    if (!FlushBuffer() || !CopyTail() || !TakeOverTargetAttributes()) return failed();
    if (!SyncToDisk(descriptor_)) {
        Fail(SystemReason(errno));
        return failed();
    }
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (!CloseDescriptor(descriptor)) {
        Fail(SystemReason(errno));
        return failed();
    }

    std::error_code status;
#if defined(_WIN32)
    // The system refuses to replace a read-only file; a ROM image is replaced all the same.
    if (targetExists_ && options_.readOnly == ReadOnlyTarget::Replace)
        fs::permissions(final_, fs::perms::owner_write, fs::perm_options::add, status);
    if (targetExists_)
        fs::permissions(temporary_, static_cast<fs::perms>(targetMode_) | fs::perms::owner_write, status);
    status.clear();
#endif
    fs::rename(temporary_, final_, status);
    if (status) {
        Fail(status.message());
        return failed();
    }
    committed_ = true;
    temporary_.clear();
#if !defined(_WIN32)
    SyncFolder(final_.has_parent_path() ? final_.parent_path() : fs::path("."));
#endif
    return Outcome::Success();
}

Outcome WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes, WriteOptions options) {
    AtomicFileWriter writer(path, options);
    writer.Write(bytes);
    return writer.Commit();
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code status;
    const bool same = fs::equivalent(a, b, status);
    return !status && same;
}

}  // namespace kdt

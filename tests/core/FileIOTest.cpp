// The file layer every reader and writer goes through: what may be written
// and read, and what a crash or a full disk leaves behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>

#include "common/FileIO.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', '!'};

mode_t ModeOf(const fs::path& path) {
    struct stat found {};
    EXPECT_EQ(::lstat(path.c_str(), &found), 0) << path;
    return found.st_mode;
}

// A character device like /dev/null; only a privileged process may make one.
bool MakeNullDevice(const fs::path& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
}

// The entries a write may have left besides the ones named.
std::vector<std::string> Others(const TempFolder& folder, std::vector<std::string> expected) {
    std::vector<std::string> others;
    for (const std::string& name : folder.entries())
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) others.push_back(name);
    return others;
}

TEST(AtomicWrite, WritesThroughLinksAndTheLinksStayLinks) {
    TempFolder folder;
    fs::create_directory(folder / "real");
    WriteBytes(folder / "real" / "plan.kdt", kOld);
    fs::create_symlink("real/plan.kdt", folder / "relative.kdt");       // relative to its own folder
    fs::create_symlink(folder / "relative.kdt", folder / "chain.kdt");  // a link to a link

    for (const char* name : {"relative.kdt", "chain.kdt"}) {
        SCOPED_TRACE(name);
        WriteBytes(folder / "real" / "plan.kdt", kOld);
        ASSERT_EQ(WriteFileAtomically(folder / name, kNew).error, "");
        EXPECT_EQ(ReadBytes(folder / "real" / "plan.kdt"), kNew);
        EXPECT_TRUE(fs::is_symlink(folder / "relative.kdt"));
        EXPECT_TRUE(fs::is_symlink(folder / "chain.kdt"));
        EXPECT_EQ(Others(folder, {"real", "relative.kdt", "chain.kdt"}), std::vector<std::string>{});
        EXPECT_EQ(fs::directory_iterator(folder / "real")->path().filename(), "plan.kdt");
    }
}

TEST(AtomicWrite, RefusesWhatIsNotARegularFileOrAFileName) {
    TempFolder folder;
    fs::create_directory(folder / "sub");
    fs::create_symlink(folder / "missing.kdt", folder / "dangling.kdt");
    fs::create_symlink(folder / "sub", folder / "folder-link.kdt");
    ASSERT_EQ(::mkfifo((folder / "fifo.kdt").c_str(), 0600), 0);
    // A device of its own: were the check ever lost, a test aimed at /dev/null
    // would replace the machine's.
    const bool devices = MakeNullDevice(folder / "device.kdt");
    fs::create_symlink(folder / "device.kdt", folder / "device-link.kdt");
    const std::vector<std::string> before = folder.entries();

    struct Case {
        const char* why;
        fs::path target;
        const char* reason;  // part of the message
    };
    const Case cases[] = {
        {"an empty name", "", "Не указано имя файла"},
        {"a name ending in a separator", folder / "sub/", "разделителем папок"},
        {"a missing folder's name with a separator", folder / "new/", "разделителем папок"},
        {"the root", "/", "разделителем папок"},
        {"a folder", folder / "sub", "это папка"},
        {"the current folder", ".", "это папка"},
        {"a link to a folder", folder / "folder-link.kdt", "это папка"},
        {"a dangling link", folder / "dangling.kdt", "несуществующему файлу"},
        {"a FIFO", folder / "fifo.kdt", "не обычный файл"},
        {"a device", folder / "device.kdt", "не обычный файл"},
        {"a link to a device", folder / "device-link.kdt", "не обычный файл"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        if (!devices && std::string(c.why).find("device") != std::string::npos) continue;
        const std::string error = WriteFileAtomically(c.target, kNew).error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        if (!c.target.empty()) {
            EXPECT_NE(error.find(PathToUtf8(c.target)), std::string::npos) << error;
        }
    }
    EXPECT_EQ(folder.entries(), before);
    EXPECT_FALSE(fs::exists(folder / "missing.kdt"));
    if (devices) {
        EXPECT_TRUE(S_ISCHR(ModeOf(folder / "device.kdt")));
    }
    EXPECT_TRUE(fs::is_empty(folder / "sub"));
}

TEST(AtomicWrite, TheTemporaryFileIsPrivateShortAndBesideTheFinalTarget) {
    TempFolder folder;
    fs::create_directory(folder / "real");
    const fs::path target = folder / "real" / "plan.kdt";
    WriteBytes(target, kOld);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    fs::create_symlink(target, folder / "link.kdt");

    AtomicFileWriter writer(folder / "link.kdt");
    ASSERT_TRUE(writer.ok()) << writer.error();
    writer.Write(kNew);
    std::vector<fs::path> temporary;
    for (const auto& entry : fs::directory_iterator(folder / "real"))
        if (entry.path() != target) temporary.push_back(entry.path());
    ASSERT_EQ(temporary.size(), 1u) << "the temporary file lies beside the final target";
    EXPECT_EQ(ModeOf(temporary[0]) & 07777, 0600u) << "nobody else may read it while it is written";
    EXPECT_EQ(temporary[0].filename().string().size(), 16u) << temporary[0];
    EXPECT_EQ(Others(folder, {"real", "link.kdt"}), std::vector<std::string>{});

    ASSERT_EQ(writer.Commit().error, "");
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_EQ(ModeOf(target) & 07777, 0640u) << "the target's permissions";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator()), 1);
}

TEST(AtomicWrite, ANewFileGetsThePermissionsAPlainCreateWouldGive) {
    TempFolder folder;
    const mode_t previous = ::umask(027);
    const std::string error = WriteFileAtomically(folder / "new.kdt", kNew).error;
    ::umask(previous);
    ASSERT_EQ(error, "");
    EXPECT_EQ(ModeOf(folder / "new.kdt") & 07777, 0640u);
}

TEST(AtomicWrite, ANameAsLongAsTheFileSystemAllowsIsWritten) {
    TempFolder folder;
    for (const std::size_t length : {std::size_t{239}, std::size_t{255}}) {
        const fs::path target = folder / (std::string(length - 4, 'n') + ".kdt");
        EXPECT_EQ(WriteFileAtomically(target, kNew).error, "") << length;
        EXPECT_EQ(ReadBytes(target), kNew) << length;
    }
}

TEST(AtomicWrite, ReadOnlyTargetsAreRefusedUnlessTheyAreToBeReplaced) {
    TempFolder folder;
    const fs::path target = folder / "plan.kdt";
    WriteBytes(target, kOld);
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);

    // Refused also where the process could write it (root can).
    const std::string error = WriteFileAtomically(target, kNew).error;
    EXPECT_NE(error.find("файл только для чтения"), std::string::npos) << error;
    EXPECT_NE(error.find(PathToUtf8(target)), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(target), kOld);

    WriteOptions replace;
    replace.readOnly = ReadOnlyTarget::Replace;
    ASSERT_EQ(WriteFileAtomically(target, kNew, replace).error, "");
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_EQ(ModeOf(target) & 07777, 0644u) << "the new file is no longer marked read-only";
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"plan.kdt"});
}

TEST(AtomicWrite, KeepsTheOwnerAndGroupOfAnotherUsersFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "only a process that may change owners can keep them";
    TempFolder folder;
    const fs::path target = folder / "plan.kdt";
    WriteBytes(target, kOld);
    ASSERT_EQ(::chown(target.c_str(), 4242, 4343), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0664), 0);
    ASSERT_EQ(WriteFileAtomically(target, kNew).error, "");
    struct stat found {};
    ASSERT_EQ(::stat(target.c_str(), &found), 0);
    EXPECT_EQ(found.st_uid, 4242u) << "that user can still save the file";
    EXPECT_EQ(found.st_gid, 4343u);
    EXPECT_EQ(found.st_mode & 07777, 0664u);
}

TEST(AtomicWrite, KeepsTheTailOfALongerTargetFromTheOffsetAsked) {
    TempFolder folder;
    const fs::path target = folder / "plan.kdt";
    Bytes old(300000);
    for (std::size_t i = 0; i < old.size(); ++i) old[i] = static_cast<std::uint8_t>(i * 7);
    WriteBytes(target, old);
    WriteOptions options;
    options.keepTailFrom = 1000;
    ASSERT_EQ(WriteFileAtomically(target, kNew, options).error, "");
    Bytes expected = kNew;
    expected.insert(expected.end(), old.begin() + 1000, old.end());
    EXPECT_EQ(ReadBytes(target), expected);

    // No tail to keep: shorter, or not there at all.
    options.keepTailFrom = 10 * old.size();
    ASSERT_EQ(WriteFileAtomically(target, kNew, options).error, "");
    EXPECT_EQ(ReadBytes(target), kNew);
    ASSERT_EQ(WriteFileAtomically(folder / "fresh.kdt", kNew, options).error, "");
    EXPECT_EQ(ReadBytes(folder / "fresh.kdt"), kNew);
}

// Child exit codes of the full-disk test.
enum FullDiskVerdict {
    kReported = 0,
    kNotReported = 1,
    kNotNamingTheTarget = 2,
    kNamingTheTemporaryFile = 3
};

TEST(AtomicWrite, AFullDiskIsReportedNamingTheTargetAndLeavesTheOldFile) {
    TempFolder folder;
    const fs::path target = folder / "plan.kdt";
    WriteBytes(target, kOld);
    const Bytes large(200000, 0x5A);
    // A file size limit fails the writes as a full disk would.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{65536, 65536};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string error = WriteFileAtomically(target, large).error;
        int verdict = kReported;
        if (error.empty())
            verdict = kNotReported;
        else if (error.find(PathToUtf8(target)) == std::string::npos)
            verdict = kNotNamingTheTarget;
        else if (error.find(".tmp") != std::string::npos)
            verdict = kNamingTheTemporaryFile;
        ::_exit(verdict);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kReported);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"plan.kdt"}) << "the temporary file is removed";

    const std::string error = WriteFileAtomically(folder / "no" / "plan.kdt", kNew).error;
    EXPECT_NE(error.find(PathToUtf8(folder / "no" / "plan.kdt")), std::string::npos) << error;
    EXPECT_EQ(error.find(".tmp"), std::string::npos) << error;
}

// A save killed at any moment: the target is the whole old or the whole new
// file, and what the kill leaves behind is readable by its owner only.
TEST(AtomicWrite, AKilledSaveLeavesTheWholeOldOrTheWholeNewFile) {
    TempFolder folder;
    const fs::path target = folder / "plan.kdt";
    // Two contents of different sizes, large enough that kills land inside a write.
    const Bytes first(512 * 1024, 0xA1);
    const Bytes second(384 * 1024 + 17, 0xB2);
    WriteBytes(target, first);
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    std::mt19937 random(12);
    int leftovers = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i) (void)WriteFileAtomically(target, i % 2 == 0 ? second : first);
        }
        ::usleep(2000 + random() % 30000);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const Bytes now = ReadBytes(target);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
        EXPECT_EQ(ModeOf(target) & 07777, 0600u);
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            if (entry.path() == target) continue;
            ++leftovers;
            EXPECT_EQ(ModeOf(entry.path()) & 077, 0u) << entry.path() << " is readable by others";
            fs::remove(entry.path());
        }
    }
    RecordProperty("temporary files left by kills", leftovers);
}

TEST(ReadFile, ReadsRegularFilesOnlyAndRefusesTooLongOnesBeforeReading) {
    TempFolder folder;
    WriteBytes(folder / "plan.kdt", kNew);
    fs::create_symlink(folder / "plan.kdt", folder / "link.kdt");
    fs::create_symlink("/dev/zero", folder / "zero.dbf");
    fs::create_directory(folder / "dir.kdt");

    EXPECT_EQ(ReadFileBytes(folder / "link.kdt").bytes, kNew) << "links are followed";
    EXPECT_EQ(ReadFileBytes(folder / "plan.kdt", 2).bytes, (Bytes{'n', 'e'})) << "a prefix";
    const FileReadResult tooLong = ReadFileBytes(folder / "plan.kdt", 3, BeyondLimit::Refuse);
    EXPECT_TRUE(tooLong.bytes.empty());
    EXPECT_NE(tooLong.error.find("4 байт"), std::string::npos) << tooLong.error;
    EXPECT_TRUE(ReadFileBytes(folder / "plan.kdt", 4, BeyondLimit::Refuse).ok());

    // With a limit, so that a lost check could not read for ever. (FIFOs, which
    // would block an ordinary open, are tried on the program under an alarm.)
    const FileReadResult zero = ReadFileBytes(folder / "zero.dbf", 1 << 20);
    EXPECT_NE(zero.error.find("не обычный файл"), std::string::npos) << zero.error;
    EXPECT_TRUE(zero.bytes.empty());
    EXPECT_NE(ReadFileBytes(folder / "dir.kdt").error.find("это папка"), std::string::npos);
    EXPECT_NE(ReadFileBytes(folder / "none.kdt").error.find("none.kdt"), std::string::npos);
}

TEST(SameFile, LinksAndHardLinksAreTheFileThemselves) {
    TempFolder folder;
    WriteBytes(folder / "a.kdt", kOld);
    WriteBytes(folder / "b.kdt", kOld);
    fs::create_symlink(folder / "a.kdt", folder / "soft.kdt");
    fs::create_hard_link(folder / "a.kdt", folder / "hard.kdt");
    EXPECT_TRUE(IsSameFile(folder / "a.kdt", folder / "soft.kdt"));
    EXPECT_TRUE(IsSameFile(folder / "hard.kdt", folder / "soft.kdt"));
    EXPECT_FALSE(IsSameFile(folder / "a.kdt", folder / "b.kdt"));
    EXPECT_FALSE(IsSameFile(folder / "a.kdt", folder / "none.kdt"));
}

}  // namespace
}  // namespace kdt

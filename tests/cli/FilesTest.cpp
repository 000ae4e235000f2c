// What every kdt command does with the files it is given: outputs written
// through links and never over an input, refused names and targets, read-only
// files, inputs that are not regular files, outputs that cannot be written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>

#include "common/FileIO.h"
#include "data/TypeKDT.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

namespace fs = std::filesystem;
using test::Kdt;
using test::KdtRun;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";
const std::string kTables = KDT_TEST_DATA_DIR "/legacy-import/";
const Bytes kOld = {'o', 'l', 'd'};

// A device like /dev/null of the test's own: were a check ever lost, a test
// aimed at /dev/null would replace the machine's. Only a privileged process
// may make one.
bool MakeNullDevice(const fs::path& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
}

bool IsCharacterDevice(const fs::path& path) {
    struct stat found {};
    return ::lstat(path.c_str(), &found) == 0 && S_ISCHR(found.st_mode);
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += word + " ";
    return text;
}

// The files the writers read, laid out in a scratch folder.
struct Inputs {
    explicit Inputs(const TempFolder& folder)
        : plan((folder / "crossing.kdt").string()),
          image((folder / "crossing.hex").string()),
          faulty((folder / "faulty.kdt").string()),
          links((folder / "links.txt").string()) {
        fs::copy_file(kExample, plan);
        std::ofstream(links) << "1: 0\n";
        EXPECT_EQ(Kdt({"compile", plan, "--out", image}).status, 0);
        EXPECT_EQ(Kdt({"new", "--out", faulty}).status, 0);  // a new plan has analysis findings
    }
    std::string plan, image, faulty, links;
};

struct Writer {
    const char* name;
    int status;  // when the output is written
    std::function<std::vector<std::string>(const Inputs&, const std::string&)> arguments;
};

// Every command that writes a file, with the output it is given.
std::vector<Writer> Writers() {
    return {
        {"new", 0,
         [](const Inputs&, const std::string& out) {
             return std::vector<std::string>{"new", "--out", out};
         }},
        {"compile", 0,
         [](const Inputs& in, const std::string& out) {
             return std::vector<std::string>{"compile", in.plan, "--out", out};
         }},
        {"decode", 0,
         [](const Inputs& in, const std::string& out) {
             return std::vector<std::string>{"decode", in.image, "--rom", "4.2.1", "--out", out};
         }},
        {"import", 0,
         [](const Inputs&, const std::string& out) {
             return std::vector<std::string>{"import", kTables + "crossing.dbf", "--out", out};
         }},
        {"report", 0,
         [](const Inputs& in, const std::string& out) {
             return std::vector<std::string>{"report", in.plan, "--out", out};
         }},
        {"analyse", 1,
         [](const Inputs& in, const std::string& out) {
             return std::vector<std::string>{"analyse", in.faulty, "--error-file", out};
         }},
        {"simulate", 0,
         [](const Inputs& in, const std::string& out) {
             return std::vector<std::string>{"simulate", in.plan,   "--day", "1",       "--time",
                                             "08:00:00", "--ticks", "3",     "--trace", out};
         }},
        {"export-sumo", 0,
         [](const Inputs& in, const std::string& out) {
             return std::vector<std::string>{"export-sumo", in.plan, "--out", out};
         }},
    };
}

TEST(KdtOutputs, EveryWriterWritesThroughALinkAndRefusesWhatIsNoFile) {
    for (const Writer& writer : Writers()) {
        SCOPED_TRACE(writer.name);
        TempFolder folder;
        const Inputs inputs(folder);
        fs::create_directory(folder / "real");
        WriteBytes(folder / "real" / "target.kdt", kOld);
        fs::create_symlink("real/target.kdt", folder / "link.kdt");

        KdtRun run = Kdt(writer.arguments(inputs, (folder / "link.kdt").string()));
        EXPECT_EQ(run.status, writer.status) << run.err;
        EXPECT_TRUE(fs::is_symlink(folder / "link.kdt"));
        const Bytes written = ReadBytes(folder / "real" / "target.kdt");
        EXPECT_GT(written.size(), kOld.size()) << "the link's target holds the output";

        // Each name ends in .kdt, so that the project writers take it as it is.
        fs::create_symlink(folder / "missing.kdt", folder / "dangling.kdt");
        const bool devices = MakeNullDevice(folder / "device.kdt");
        fs::create_symlink(folder / "device.kdt", folder / "device-link.kdt");
        ASSERT_EQ(::mkfifo((folder / "fifo.kdt").c_str(), 0600), 0);
        // A reader, so that a writer that opened the FIFO would not block but fail the test.
        const int reader = ::open((folder / "fifo.kdt").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        fs::create_directory(folder / "folder.kdt");
        for (const char* name : {"dangling.kdt", "device.kdt", "device-link.kdt", "fifo.kdt", "folder.kdt"}) {
            if (!devices && std::string(name).rfind("device", 0) == 0) continue;
            const std::vector<std::string> arguments = writer.arguments(inputs, (folder / name).string());
            run = Kdt(arguments);
            EXPECT_EQ(run.status, 2) << Joined(arguments) << "\n" << run.err;
            EXPECT_EQ(run.errLines(), 1u) << run.err;
            EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
        }
        ::close(reader);
        EXPECT_FALSE(fs::exists(folder / "missing.kdt"));
        if (devices) {
            EXPECT_TRUE(IsCharacterDevice(folder / "device.kdt")) << "the device is still a device";
        }
        EXPECT_TRUE(fs::is_empty(folder / "folder.kdt"));
        EXPECT_EQ(ReadBytes(folder / "real" / "target.kdt"), written);
    }
}

TEST(KdtOutputs, TheNonProjectWritersRefuseADeviceNamedDirectly) {
    TempFolder folder;
    const Inputs inputs(folder);
    // Named like /dev/null, without the extension a project writer would add.
    if (!MakeNullDevice(folder / "null")) GTEST_SKIP() << "only a privileged process may make a device";
    for (const Writer& writer : Writers()) {
        const std::string name = writer.name;
        if (name == "new" || name == "decode" || name == "import") continue;
        const KdtRun run = Kdt(writer.arguments(inputs, (folder / "null").string()));
        EXPECT_EQ(run.status, 2) << writer.name << ": " << run.err;
        EXPECT_NE(run.err.find("не обычный файл"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(IsCharacterDevice(folder / "null"));
}

TEST(KdtOutputs, AnOutputIsNeverAnInputOfItsCommand) {
    TempFolder folder;
    const Inputs inputs(folder);
    fs::copy_file(kTables + "crossing.dbf", folder / "t.dbf");
    fs::copy_file(kTables + "crossing.dbt", folder / "T.DBT");
    fs::create_symlink(inputs.image, folder / "alias.kdt");
    fs::create_symlink(folder / "T.DBT", folder / "memo.kdt");
    fs::create_hard_link(inputs.plan, folder / "hard.hex");
    fs::create_symlink(inputs.links, folder / "links.kdt");
    const std::string table = (folder / "t.dbf").string();

    struct Case {
        const char* why;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"a report over its plan", {"report", inputs.plan, "--out", inputs.plan}},
        {"an image over its plan", {"compile", inputs.plan, "--out", inputs.plan}},
        {"an image over a hard link to its plan",
         {"compile", inputs.plan, "--out", (folder / "hard.hex").string()}},
        {"a trace over its plan",
         {"simulate", inputs.plan, "--day", "1", "--time", "08:00:00", "--ticks", "3", "--trace",
          inputs.plan}},
        {"an error file over its plan", {"analyse", inputs.faulty, "--error-file", inputs.faulty}},
        {"a decoded plan over a link to its image",
         {"decode", inputs.image, "--rom", "4.2.1", "--out", (folder / "alias.kdt").string()}},
        {"an imported plan over its base", {"import", table, "--base", inputs.plan, "--out", inputs.plan}},
        {"an imported plan over the table's memo file",
         {"import", table, "--out", (folder / "memo.kdt").string()}},
        {"a compiled image without --out over itself", {"compile", inputs.image, "--rom", "4.2.1"}},
        {"a SUMO file over its plan", {"export-sumo", inputs.plan, "--out", inputs.plan}},
        {"a SUMO file over its link map",
         {"export-sumo", inputs.plan, "--links", inputs.links, "--out", (folder / "links.kdt").string()}},
    };
    std::map<std::string, Bytes> before;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        if (fs::is_regular_file(entry.path()))
            before[entry.path().filename().string()] = ReadBytes(entry.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const KdtRun run = Kdt(c.arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_EQ(run.out, "");
    }
    for (const auto& [name, bytes] : before) EXPECT_EQ(ReadBytes(folder / name), bytes) << name;
    EXPECT_NE(Kdt(cases[8].arguments).err.find("--out"), std::string::npos) << "it asks for --out";
}

TEST(KdtOutputs, NamesThatAreNoFileNamesAreRefusedAndNoHiddenFileAppears) {
    TempFolder folder;
    const Inputs inputs(folder);
    fs::create_directory(folder / "work");
    fs::create_directory(folder / "work" / "sub");
    const test::CurrentFolder here(folder / "work");
    for (const Writer& writer : Writers()) {
        for (const char* name : {"", ".", "sub/", "sub", "./"}) {
            const std::vector<std::string> arguments = writer.arguments(inputs, name);
            const KdtRun run = Kdt(arguments);
            EXPECT_EQ(run.status, 2) << Joined(arguments) << "\n" << run.err;
            EXPECT_EQ(run.errLines(), 1u) << run.err;
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "work"), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(folder / "work" / "sub"));
}

TEST(KdtOutputs, ANameAsLongAsTheFileSystemAllowsIsSaved) {
    TempFolder folder;
    const std::string name = (folder / (std::string(251, 'p') + ".kdt")).string();
    const KdtRun run = Kdt({"new", "--out", name});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(name).size(), kSignalPlanSize);
}

TEST(KdtOutputs, ReadOnlyTargetsAreRefusedExceptAnEarlierImage) {
    for (const Writer& writer : Writers()) {
        SCOPED_TRACE(writer.name);
        TempFolder folder;
        const Inputs inputs(folder);
        const fs::path target = folder / "locked.kdt";
        WriteBytes(target, kOld);
        ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
        const KdtRun run = Kdt(writer.arguments(inputs, target.string()));
        if (std::string(writer.name) == "compile") {
            // A ROM image is replaced as the editor replaces it.
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_GT(ReadBytes(target).size(), 1000u);
            continue;
        }
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("файл только для чтения"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(target), kOld);
    }
}

// ---- the real program: what a terminal, a full disk or memory would see ----

struct ProcessRun {
    int status = -1;  // the exit status, or minus the signal
    long maxResidentKiB = 0;
    std::string err;
};

// Runs kdt with stdout sent to a file of the caller's choice; an alarm ends a
// run that blocks.
ProcessRun RunProcess(const std::vector<std::string>& arguments, const std::string& stdoutTo,
                      const fs::path& stderrFile, rlim_t fileSizeLimit = RLIM_INFINITY) {
    ProcessRun run;
    const pid_t child = ::fork();
    if (child == 0) {
        if (fileSizeLimit != RLIM_INFINITY) {
            // Writes beyond the limit fail as on a full file system.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        const int out = ::open(stdoutTo.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0) ::_exit(120);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::alarm(20);
        std::vector<char*> argv;
        std::string program = KDT_CLI_PATH;
        argv.push_back(program.data());
        std::vector<std::string> words = arguments;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(121);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    run.maxResidentKiB = usage.ru_maxrss;
    const Bytes err = ReadBytes(stderrFile);
    run.err.assign(err.begin(), err.end());
    return run;
}

std::vector<std::string> Others(const TempFolder& folder, const std::vector<std::string>& expected) {
    std::vector<std::string> others;
    for (const std::string& name : folder.entries())
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) others.push_back(name);
    return others;
}

std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(KdtProcess, OutputThatNeverArrivesIsAFailure) {
    TempFolder folder;
    const std::vector<std::vector<std::string>> commands = {
        {"report", kExample, "--sections", "all"},
        {"info", kExample},
        {"simulate", kExample, "--day", "1", "--time", "08:00:00", "--ticks", "10"},
    };
    for (const std::vector<std::string>& command : commands) {
        ProcessRun run = RunProcess(command, "/dev/full", folder / "err.txt");
        EXPECT_EQ(run.status, 2) << Joined(command) << "\n" << run.err;
        EXPECT_EQ(Lines(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find("standard output"), std::string::npos) << run.err;
        // The same command reaches a file whole.
        run = RunProcess(command, (folder / "out.txt").string(), folder / "err.txt");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_FALSE(ReadBytes(folder / "out.txt").empty());
    }
}

TEST(KdtProcess, AFullDiskIsAFailureAndAnEarlierReportStays) {
    TempFolder folder;
    const fs::path report = folder / "report.txt";
    WriteBytes(report, kOld);
    const std::vector<std::string> command = {"report", kExample, "--sections", "all"};
    // The report is some 30 KB; the file system takes 4 KB.
    ProcessRun run = RunProcess(command, (folder / "stdout.txt").string(), folder / "err.txt", 4096);
    EXPECT_EQ(run.status, 2) << "half a report on stdout is no success\n" << run.err;
    EXPECT_EQ(Lines(run.err), 1u) << run.err;

    std::vector<std::string> toFile = command;
    toFile.insert(toFile.end(), {"--out", report.string()});
    run = RunProcess(toFile, "/dev/null", folder / "err.txt", 4096);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(Lines(run.err), 1u) << run.err;
    EXPECT_EQ(ReadBytes(report), kOld) << "the earlier report is whole";
    EXPECT_EQ(Others(folder, {"report.txt", "stdout.txt", "err.txt"}), std::vector<std::string>{});
}

TEST(KdtProcess, ANewPlanOverAHugeFileKeepsItsTailWithoutReadingItWhole) {
    TempFolder folder;
    const fs::path big = folder / "big.kdt";
    constexpr off_t kSize = 96 * 1024 * 1024;
    {
        std::ofstream file(big, std::ios::binary);
        file.seekp(kSize - 1);
        file.put('\x7E');  // sparse up to the marker
    }
    const ProcessRun run = RunProcess({"new", "--out", big.string()}, "/dev/null", folder / "err.txt");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::file_size(big), static_cast<std::uintmax_t>(kSize));
    std::ifstream file(big, std::ios::binary);
    char head[6] = {};
    file.read(head, sizeof head);
    EXPECT_EQ(head[5], 2) << "the record at the start";
    file.seekg(kSize - 1);
    EXPECT_EQ(file.get(), 0x7E) << "the last byte of the tail";
    EXPECT_LT(run.maxResidentKiB, 48 * 1024) << "the tail is copied, not read whole";
}

TEST(KdtProcess, InputsThatAreNotRegularFilesAreRefusedAtOnce) {
    TempFolder folder;
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {"f.kdt", {"info"}},
        {"f.hex", {"info", "--rom", "4.2.1"}},
        {"f.bin", {"info", "--rom", "4.2.1"}},
        {"f.dbf", {"info"}},
        {"zero.dbf", {"info"}},
        {"zero.kdt", {"info"}},
    };
    for (const auto& [name, arguments] : cases) {
        if (std::string(name).rfind("zero", 0) == 0)
            fs::create_symlink("/dev/zero", folder / name);
        else
            ASSERT_EQ(::mkfifo((folder / name).c_str(), 0600), 0);
        std::vector<std::string> words = arguments;
        words.insert(words.begin() + 1, (folder / name).string());
        const ProcessRun run = RunProcess(words, "/dev/null", folder / "err.txt");
        EXPECT_EQ(run.status, 2) << name << " (a negative status is a signal: the alarm of a blocked run)";
        EXPECT_NE(run.err.find("не обычный файл"), std::string::npos) << name << ": " << run.err;
    }
}

TEST(KdtInputs, ATableLongerThanTheBoundIsRefusedBeforeItIsRead) {
    TempFolder folder;
    const fs::path huge = folder / "huge.dbf";
    {
        std::ofstream file(huge, std::ios::binary);
        file.put('\x03');
        file.seekp(64 * 1024 * 1024);
        file.put('\x1A');
    }
    const KdtRun run = Kdt({"import", huge.string(), "--out", (folder / "out.kdt").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(std::to_string(64 * 1024 * 1024)), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder / "out.kdt"));
}

TEST(KdtInputs, TheMemoFileOfATableNamedWithoutAFolderIsFound) {
    TempFolder folder;
    fs::copy_file(kTables + "crossing.dbf", folder / "memo3.dbf");
    fs::copy_file(kTables + "crossing.dbt", folder / "MEMO3.DBT");
    const test::CurrentFolder here(folder.path());
    const KdtRun run = Kdt({"import", "memo3.dbf", "--out", "out.kdt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(folder / "out.kdt").size(), kSignalPlanSize);
}

TEST(KdtInputs, AProjectFileShorterThanTheRecordOpensWithAWarning) {
    TempFolder folder;
    Bytes bytes = ReadBytes(kExample);
    bytes.resize(3000);
    WriteBytes(folder / "short.kdt", bytes);
    KdtRun run = Kdt({"info", (folder / "short.kdt").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.errLines(), 1u) << run.err;
    EXPECT_NE(run.err.find("warning"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("3000 байт"), std::string::npos) << run.err;
    run = Kdt({"info", kExample});
    EXPECT_EQ(run.err, "") << "a whole record opens without a word";
}

}  // namespace
}  // namespace kdt

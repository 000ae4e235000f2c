#include <gtest/gtest.h>

#include "shell/StartupArgument.h"

namespace kdt {
namespace {

TEST(ExtensionTest, ProjectExtensions) {
    const std::pair<const char*, bool> cases[] = {
        {"c:\\kdt\\plan.kdt", true},
        {"/home/u/plan.kdt2", true},
        {"/home/u/PLAN.KDT", true},  // compared in lower case
        {"/home/u/plan", true},      // no extension: ";" is in the list
        {"/home/u/plan.dbf", false},
        {"/home/u/plan.kd", false},  // ".kd;" is not in the list
        {"/home/u/plan.dt", false},
        {"/home/u.kdt/plan", true},  // the dot belongs to a folder, not the file name
        {"c:\\a.b\\plan.hex", false},
        {"/home/u/plan.kdt.bak", false},
        {"", true},
    };
    for (const auto& [path, passes] : cases)
        EXPECT_EQ(PassesExtensionTest(path, kProjectExtensionList), passes) << path;
    EXPECT_TRUE(PassesExtensionTest("/x/report.txt", ".kdt;.txt;"));
}

TEST(FileArgument, ExtractedFromTheCommandLine) {
    struct Case {
        const char* why;
        const char* commandLine;
        bool lowerCase;
        const char* expected;
    };
    const Case cases[] = {
        {"quoted path with blanks", R"("C:\KDT\kdt.exe" "C:\My Plans\plan one.kdt")", false,
         R"(C:\My Plans\plan one.kdt)"},
        {"lower-cased where paths ignore case", R"("C:\KDT\kdt.exe" "C:\Планы\ПЛАН.KDT")", true,
         R"(c:\планы\план.kdt)"},
        {"case kept elsewhere", R"("/usr/bin/kdt" /home/Ann/Plan.kdt)", false, "/home/Ann/Plan.kdt"},
        {"only the program path", R"("C:\KDT\kdt.exe")", false, ""},
        {"program path and a trailing blank", R"("C:\KDT\kdt.exe" )", false, ""},
        {"unquoted program path has no argument", R"(kdt.exe plan.kdt)", false, ""},
        {"several words are one path", R"("/usr/bin/kdt" /tmp/my plan.kdt)", false, "/tmp/my plan.kdt"},
        {"extra blank before the quoted argument", R"("kdt"  "/a/b.kdt")", false, "/a/b.kdt"},
        {"three characters are taken as they stand", R"("kdt" "a")", false, "\"a\""},
        {"four characters lose their quotes", R"("kdt" "ab")", false, "ab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtractFileArgument(c.commandLine, c.lowerCase), c.expected) << c.why;
}

TEST(FileArgument, CommandLineFromAnArgumentVector) {
    EXPECT_EQ(CommandLineFromArguments("/usr/bin/kdt-gui", {}), "\"/usr/bin/kdt-gui\"");
    const std::string line = CommandLineFromArguments("/usr/bin/kdt-gui", {"/tmp/my", "plan.kdt"});
    EXPECT_EQ(line, "\"/usr/bin/kdt-gui\" /tmp/my plan.kdt");
    EXPECT_EQ(ExtractFileArgument(line, false), "/tmp/my plan.kdt");
    EXPECT_EQ(ExtractFileArgument(CommandLineFromArguments("/usr/bin/kdt-gui", {}), false), "");
}

TEST(FileArgument, UsableOnShow) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"a.kd", ""},  // four characters are dropped
        {"a.kdt", "a.kdt"},
        {"  /x/a.kdt \t\r\n", "/x/a.kdt"},
        {"\x01/x/a.kdt", "/x/a.kdt"},
        {"пл.к", ""},  // characters, not bytes, are counted
        {"пла.к", "пла.к"},
    };
    for (const auto& [argument, expected] : cases)
        EXPECT_EQ(UsableFileArgument(argument), expected) << argument;
}

}  // namespace
}  // namespace kdt

// kdt export-sumo: the SUMO additional file, its options and its link map.
#include <gtest/gtest.h>

#include <fstream>

#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

using test::Kdt;
using test::KdtRun;
using test::ReadBytes;
using test::TempFolder;

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";

std::string Text(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The WAUT's lines, one per switch.
std::vector<std::string> Switches(const std::string& xml) {
    std::vector<std::string> found;
    for (std::size_t at = xml.find("<wautSwitch "); at != std::string::npos;
         at = xml.find("<wautSwitch ", at + 1))
        found.push_back(xml.substr(at, xml.find("/>", at) + 2 - at));
    return found;
}

TEST(KdtExportSumo, WritesTheProgramsAndTheDaysSwitches) {
    TempFolder folder;
    const std::string out = (folder / "crossing.add.xml").string();
    KdtRun run = Kdt({"export-sumo", kExample, "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out + "\n");
    std::string xml = Text(out);
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
    for (const char* id : {"1", "2", "3", "flash", "dark", "allred"})
        EXPECT_NE(xml.find("<tlLogic id=\"crossing\" type=\"static\" programID=\"" + std::string(id) + "\""),
                  std::string::npos)
            << id;
    EXPECT_NE(xml.find("startProg=\"flash\""), std::string::npos);
    // Monday, by default: 06:00 АПП 1, 07:00 АПП 2, 10:00 АПП 1, 17:00 АПП 3, 20:00 АПП 1, 23:00 ЖМ.
    EXPECT_EQ(Switches(xml),
              (std::vector<std::string>{
                  "<wautSwitch time=\"21600\" to=\"1\"/>", "<wautSwitch time=\"25200\" to=\"2\"/>",
                  "<wautSwitch time=\"36000\" to=\"1\"/>", "<wautSwitch time=\"61200\" to=\"3\"/>",
                  "<wautSwitch time=\"72000\" to=\"1\"/>", "<wautSwitch time=\"82800\" to=\"flash\"/>"}));
    // Program 1 comes back at 10:00 where program 2 left its tact: SUMO's
    // cycle cannot follow, and the user is told.
    EXPECT_NE(run.err.find("warning: АПП 1 enters tact 1 at 10:00"), std::string::npos) << run.err;

    run = Kdt({"export-sumo", kExample, "--out", out, "--day", "0", "--tls", "J3"});
    ASSERT_EQ(run.status, 0) << run.err;
    xml = Text(out);
    EXPECT_EQ(Switches(xml), (std::vector<std::string>{"<wautSwitch time=\"27000\" to=\"1\"/>",
                                                       "<wautSwitch time=\"82800\" to=\"flash\"/>"}));
    EXPECT_NE(xml.find("<wautJunction wautID=\"J3_schedule\" junctionID=\"J3\"/>"), std::string::npos);
    EXPECT_NE(xml.find("midnight of Воскресенье"), std::string::npos);
}

TEST(KdtExportSumo, TheLinkMapDecidesTheStateStrings) {
    TempFolder folder;
    std::ofstream(folder / "links.txt") << "# two links for the north approach\n"
                                           "1: 0 10\n2: 1\n3: 2\n4: 3\n9: 4\n10: 5\n"
                                           "5: 6 # pedestrians\n6: 7\n7: 8\n8: 9\n";
    const std::string out = (folder / "x.add.xml").string();
    const KdtRun run = Kdt(
        {"export-sumo", kExample, "--out", out, "--links", (folder / "links.txt").string(), "--tls", "J"});
    ASSERT_EQ(run.status, 0) << run.err;
    // Tact 1's main time: directions 1 and 2 green, so links 0, 1 and 10.
    EXPECT_NE(Text(out).find("<phase duration=\"30\" state=\"GGrrrrrrrrG\"/>"), std::string::npos)
        << Text(out);
}

TEST(KdtExportSumo, BadLinkMapsAndOptionsAreStatusTwo) {
    TempFolder folder;
    const auto map = [&](const std::string& name, const std::string& text) {
        std::ofstream(folder / name) << text;
        return (folder / name).string();
    };
    const std::string out = (folder / "x.add.xml").string();
    struct Case {
        std::vector<std::string> arguments;
        const char* says;
    };
    const Case cases[] = {
        {{"export-sumo", kExample, "--out", out, "--links", map("a.txt", "1: 0\n11: 1\n")},
         "a.txt, line 2: \"11\" is not a direction of the plan (1..10)"},
        {{"export-sumo", kExample, "--out", out, "--links", map("b.txt", "1: 0\n2: 0\n")},
         "b.txt, line 2: link 0 is named twice (also on line 1)"},
        {{"export-sumo", kExample, "--out", out, "--links", map("c.txt", "1: 1\n")}, "link 0 is not named"},
        {{"export-sumo", kExample, "--out", out, "--links", (folder / "missing.txt").string()},
         "missing.txt"},
        {{"export-sumo", kExample, "--out", out, "--day", "7"}, "--day"},
        {{"export-sumo", kExample, "--out", out, "--tls", ""}, "--tls"},
        {{"export-sumo", kExample, "--out", out, "--tls", "a\tb"}, "--tls"},
        {{"export-sumo", kExample}, "--out"},
    };
    for (const Case& c : cases) {
        const KdtRun run = Kdt(c.arguments);
        EXPECT_EQ(run.status, 2) << c.says;
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

}  // namespace
}  // namespace kdt

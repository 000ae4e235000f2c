// kdt diff: plans from any file kdt opens, differences in the report's words,
// exit status as diff(1) gives it.
#include <gtest/gtest.h>

#include <filesystem>

#include "ExampleCrossing.h"
#include "data/ProjectFile.h"
#include "data/TextEncoding.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

namespace fs = std::filesystem;
using test::Kdt;
using test::KdtRun;
using test::TempFolder;

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";
const std::string kTables = KDT_TEST_DATA_DIR "/legacy-import/";

TSignalPlan Example() {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    return plan;
}

std::string Save(const TempFolder& folder, const std::string& name, const TSignalPlan& plan) {
    const fs::path path = folder / name;
    TSignalPlan saved = plan;  // a save writes the layout version into the record
    EXPECT_TRUE(SaveProjectFile(path, saved).ok());
    return path.string();
}

TEST(KdtDiff, TheSamePlanTiedToTwoPathsDiffersInTheProjectPathOnly) {
    TempFolder folder;
    fs::create_directory(folder / "other");
    fs::copy_file(kExample, folder / "a.kdt");
    fs::copy_file(kExample, folder / "other" / "a.kdt2");
    const std::string a = (folder / "a.kdt").string();
    const std::string b = (folder / "other" / "a.kdt2").string();

    KdtRun run = Kdt({"diff", a, b});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "Не входит в образ ПЗУ\n  Имя проекта: \"" + a + "\" → \"" + b + "\"\n");
    EXPECT_EQ(run.err, "");

    run = Kdt({"diff", a, b, "--controller-only"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");

    run = Kdt({"diff", a, b, "--format", "json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "[\n  {\"section\": \"Не входит в образ ПЗУ\", \"item\": \"Имя проекта\", \"field\": \"\", "
              "\"old\": \"\\\"" +
                  a + "\\\"\", \"new\": \"\\\"" + b + "\\\"\"}\n]\n");

    run = Kdt({"diff", a, a, "--format", "json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "[]\n");
}

TEST(KdtDiff, PlansThatDifferOnlyWhereNoImageLooksDifferForTheEditorOnly) {
    TempFolder folder;
    TSignalPlan plan = Example();
    const std::string a = Save(folder, "a.kdt", plan);
    StoreText(plan.Comment, Utf8ToCp1251("другой"));
    plan.ChannelColour[26] = 1;
    plan.DirectionChannels[0] = 0;
    plan.ManualFollowsProgram = 0;
    const std::string b = Save(folder, "a.kdt2", plan);

    KdtRun run = Kdt({"diff", a, b});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out,
              "Не входит в образ ПЗУ\n"
              "  Имя проекта: \"" +
                  a + "\" → \"" + b +
                  "\"\n"
                  "  Комментарий к файлу: \"Пример: перекрёсток ул. Ленина и пр. Мира\" → \"другой\"\n"
                  "  Канал 27: цвет Желтый → Красный\n"
                  "  Направления: длительности РУ соответствуют АПП да → нет\n"
                  "  Направление 1: каналы направления 1, 2, 3 → —\n");
    run = Kdt({"diff", a, b, "--controller-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

// What the memo lines are depends on the ROM type: only 4.2.1 images hold them.
TEST(KdtDiff, MemoLinesAreControllerValuesFor421Only) {
    TempFolder folder;
    for (const auto& [rom, inImage] : {std::pair{kRom421, true}, std::pair{kRom420, false}}) {
        TSignalPlan plan = Example();
        plan.RomVersion = rom;
        const std::string a = Save(folder, "m.kdt", plan);
        plan.ExtraLines[4][0] = 'X';
        const std::string b = Save(folder, "n.kdt", plan);
        const KdtRun run = Kdt({"diff", a, b, "--controller-only"});
        EXPECT_EQ(run.status, inImage ? 1 : 0) << run.out;
        EXPECT_EQ(run.out.find("Дополнительно, строка 1") != std::string::npos, inImage) << run.out;
    }
}

// A plan and its own image read back differ only where an image holds
// nothing: compiling loses no controller value for the readable ROM types.
TEST(KdtDiff, APlanAndItsImageDifferOnlyWhereNoImageLooks) {
    TempFolder folder;
    for (const char* rom : {"4.1.3", "4.2.0", "4.2.1"}) {
        SCOPED_TRACE(rom);
        const std::string image = (folder / (std::string(rom) + ".hex")).string();
        ASSERT_EQ(Kdt({"compile", kExample, "--rom", rom, "--out", image}).status, 0);
        TSignalPlan example = Example();
        example.RomVersion = static_cast<std::uint8_t>(rom[4] == '3'   ? kRom413
                                                       : rom[4] == '0' ? kRom420
                                                                       : kRom421);
        const std::string source = Save(folder, "source.kdt", example);
        const KdtRun run = Kdt({"diff", source, image, "--rom", rom, "--controller-only"});
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(run.out, "");
        // The full comparison still names what only the editor keeps.
        const KdtRun full = Kdt({"diff", source, image, "--rom", rom});
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.out.rfind("Не входит в образ ПЗУ\n", 0), 0u) << full.out;
    }
}

TEST(KdtDiff, ATableAndAProjectAreComparedAlike) {
    TempFolder folder;
    const std::string imported = (folder / "imported.kdt").string();
    ASSERT_EQ(Kdt({"import", kTables + "crossing.dbf", "--out", imported}).status, 0);
    const KdtRun run = Kdt({"diff", kTables + "crossing.dbf", imported});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "Не входит в образ ПЗУ\n  Имя проекта: \"" +
                           fs::absolute(kTables + "crossing.dbf").lexically_normal().string() + "\" → \"" +
                           imported + "\"\n");
}

TEST(KdtDiff, BadInputIsStatusTwo) {
    TempFolder folder;
    const std::string empty = (folder / "empty.bin").string();
    test::WriteBytes(empty, std::vector<std::uint8_t>(3000, 0));
    const std::vector<std::vector<std::string>> cases = {
        {"diff", kExample},
        {"diff", kExample, kExample, kExample},
        {"diff", kExample, (folder / "missing.kdt").string()},
        {"diff", kExample, kExample, "--format", "xml"},
        {"diff", kExample, empty},                    // an image needs --rom
        {"diff", kExample, empty, "--rom", "4.2.1"},  // an image that holds no plan
        {"diff", kExample, kExample, "--rom", "5.0"},
    };
    for (const auto& arguments : cases) {
        const KdtRun run = Kdt(arguments);
        EXPECT_EQ(run.status, 2) << arguments.back() << "\n" << run.out;
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace kdt

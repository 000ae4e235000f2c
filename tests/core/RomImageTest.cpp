// The ROM image as the controller reads it: record order, encodings, the
// derived pedestrian tables, the HEX text and the image reader's checks.
#include <gtest/gtest.h>

#include <cstring>

#include "data/PlanProcedures.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomImageBuilder.h"
#include "rom/RomImageReader.h"

namespace kdt {
namespace {

using Bytes = std::vector<std::uint8_t>;

TSignalPlan NewPlan(std::uint8_t rom) {
    TSignalPlan plan;
    ResetPlan(plan, rom, 60);
    return plan;
}

// A plan the reader accepts: a program runs in the schedule.
TSignalPlan ReadablePlan(std::uint8_t rom) {
    TSignalPlan plan = NewPlan(rom);
    plan.Schedule[1][1] = {7, 0, kCommandFirstProgram};
    return plan;
}

std::vector<std::string> Lines(const TSignalPlan& plan) {
    std::vector<std::string> lines;
    EXPECT_TRUE(BuildRomImage(plan, lines));
    return lines;
}

Bytes Image(const TSignalPlan& plan) {
    const HexConversion image = HexToBin(Lines(plan));
    EXPECT_TRUE(image.ok()) << image.error;
    return image.image;
}

Bytes At(const Bytes& image, std::size_t address, std::size_t count) {
    return Bytes(image.begin() + address, image.begin() + address + count);
}

struct Record {
    unsigned length;
    unsigned address;
};

Record Header(const std::string& line) {
    return {unsigned(std::stoul(line.substr(1, 2), nullptr, 16)),
            unsigned(std::stoul(line.substr(3, 4), nullptr, 16))};
}

TEST(HexRecord, FormatsFieldsAndChecksum) {
    EXPECT_EQ(FormatHexRecord(1, 0, 2, Bytes{0x04}), ":0100020004F9");
    EXPECT_EQ(FormatHexRecord(2, 0, 0x077D, Bytes{0x00, 0x03}), ":02077D00000377");
    EXPECT_EQ(FormatHexRecord(0, 1, 0, {}), ":00000001FF");
    const Bytes sixteen(16, 0xAB);
    EXPECT_EQ(FormatHexRecord(16, 0, 0x0004, sixteen).substr(0, 9), ":10000400");
}

TEST(RomImage, NewPlanOpensTheImageAsDocumented) {
    const std::vector<std::string> lines = Lines(NewPlan(kRom420));
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], ":0100000005FA");
    EXPECT_EQ(lines[1], ":0100010005F9");
    EXPECT_EQ(lines[2], ":0100020004F9");
    EXPECT_EQ(lines[3], ":01000300FFFD");
    const Bytes image = Image(NewPlan(kRom420));
    Bytes program1{1};
    program1.insert(program1.end(), 16, 0);
    program1.insert(program1.end(), 16, 20);
    program1.insert(program1.end(), 16, 6);
    EXPECT_EQ(At(image, 4, 49), program1);
    EXPECT_EQ(At(image, 788, 16), Bytes(16, 13));

    const Bytes image413 = Image(NewPlan(kRom413));
    EXPECT_EQ(image413[0], 10);
    EXPECT_EQ(At(image413, 4 + 17, 16), Bytes(16, 40));
    EXPECT_EQ(At(image413, 4 + 33, 16), Bytes(16, 12));
    EXPECT_EQ(At(image413, 788, 16), Bytes(16, 13));
}

TEST(RomImage, BinSizesPerRomType) {
    const std::size_t sizes[] = {1702, 1750, 1750, 1910, 2001, 2974};
    for (std::uint8_t rom = 0; rom < 6; ++rom) {
        EXPECT_EQ(Image(NewPlan(rom)).size(), sizes[rom]) << int(rom);
        EXPECT_EQ(RomImageSize(rom), sizes[rom]);
    }
}

TEST(RomImage, EveryDataRecordHasTheDocumentedShape) {
    for (std::uint8_t rom = 0; rom < 6; ++rom) {
        const std::vector<std::string> lines = Lines(NewPlan(rom));
        EXPECT_EQ(lines.back(), ":00000001FF");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), ":00000001FF"), 1);
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            const Record record = Header(lines[i]);
            EXPECT_GE(record.length, 1u);
            EXPECT_LE(record.length, 16u);
            EXPECT_EQ(lines[i].size(), 11 + 2 * record.length);
            unsigned sum = 0;
            for (std::size_t c = 1; c < lines[i].size(); c += 2)
                sum += std::stoul(lines[i].substr(c, 2), nullptr, 16);
            EXPECT_EQ(sum % 256, 0u) << lines[i];
        }
    }
}

TEST(RomImage, NetworkRecordOf410And411AndTheOverwrittenAddress4) {
    for (const std::uint8_t rom : {std::uint8_t(0), std::uint8_t(1), std::uint8_t(2)}) {
        TSignalPlan plan = NewPlan(rom);
        plan.Program[0].TactCount = 7;
        const std::vector<std::string> lines = Lines(plan);
        EXPECT_EQ(lines[2], FormatHexRecord(3, 0, 2, Bytes{0xFF, 0xFF, 0}));
        EXPECT_EQ(Header(lines[3]).address, 4u) << "the program block's first record";
        const Bytes image = Image(plan);
        EXPECT_EQ(At(image, 2, 3), (Bytes{0xFF, 0xFF, 7}));

        plan.NetworkType = 1;
        plan.NetworkAddress = 0x0213;
        EXPECT_EQ(At(Image(plan), 2, 2), (Bytes{0x13, 0xFF}));
        plan.NetworkType = 2;
        EXPECT_EQ(At(Image(plan), 2, 2), (Bytes{0xFF, 0x13}));
    }
}

TEST(RomImage, HalfSecondsAreShiftedBeforeTheyAreCutToAByte) {
    TSignalPlan plan = NewPlan(kRom421);
    plan.Program[0].TactDuration[0] = 390;  // 195 s
    plan.Program[0].CycleLength = 510;      // 255 s
    plan.MinPhaseDuration = 510;
    plan.Direction[0].TailDuration = 300;
    const Bytes image = Image(plan);
    EXPECT_EQ(image[4 + 17], 195);
    EXPECT_EQ(image[788], 255);
    EXPECT_EQ(image[822], 255);
    EXPECT_EQ(image[840 + 21], 150);

    plan.RomVersion = kRom413;  // 4.1.x keeps half-seconds and loses the high byte
    const Bytes image413 = Image(plan);
    EXPECT_EQ(image413[4 + 17], 390 & 0xFF);
    EXPECT_EQ(image413[788], 255) << "the cycle is in seconds in every layout";
}

TEST(RomImage, PedestrianPeriodAndInsertionMap) {
    TSignalPlan plan = NewPlan(kRom420);
    plan.PhaseCount = 3;
    plan.TvpButtonCount = 1;
    plan.TvpInsertPhase[0] = 2;
    plan.Tvp[1] = {1, 40, 0};
    plan.Program[0].TactCount = 3;
    plan.Program[0].TactPhase[2] = 2;
    plan.Program[0].TactDuration[2] = 40;
    plan.Program[0].TactInterDuration[2] = 12;
    // U = 40 + 12 - 12 - 40 - 12 = -12, halved -6.
    Bytes image = Image(plan);
    EXPECT_EQ(image[1386], 0xFA);
    EXPECT_EQ(At(image, 1387, 15), Bytes(15, 0)) << "programs beyond the count";
    EXPECT_EQ(At(image, 1402, 48), Bytes(48, 0)) << "buttons beyond the count";
    Bytes map(16, 0xFF);
    map[2] = 0;
    EXPECT_EQ(At(image, 1450, 16), map);

    // -13 halves towards zero to -6 as well, and a later button wins the map.
    plan.Program[0].TactDuration[2] = 39;
    plan.TvpButtonCount = 2;
    plan.TvpInsertPhase[1] = 2;
    plan.Tvp[2] = {0, 20, 0};
    image = Image(plan);
    EXPECT_EQ(image[1386], 0xFA);
    EXPECT_EQ(image[1402], 3) << "39 + 12 - 12 - 20 - 12 = 7, halved 3";
    EXPECT_EQ(image[1450 + 2], 1);

    plan.TvpButtonCount = 0;
    image = Image(plan);
    EXPECT_EQ(At(image, 1386, 64), Bytes(64, 0));
    EXPECT_EQ(At(image, 1450, 16), Bytes(16, 0xFF));
}

TEST(RomImage, ButtonsOf41xAnd42x) {
    TSignalPlan plan = NewPlan(kRom413);
    plan.Tvp[2] = {5, 30, 0x80000001u};
    Bytes image = Image(plan);
    EXPECT_EQ(At(image, 804 + 6, 6), (Bytes{5, 30, 0x01, 0, 0, 0x80}));
    plan.RomVersion = kRom420;
    plan.TvpInsertPhase[1] = 9;
    image = Image(plan);
    EXPECT_EQ(At(image, 1370 + 4, 4), (Bytes{9, 5, 15, 0}));
    EXPECT_EQ(At(image, 1466 + 4, 4), (Bytes{0x01, 0, 0, 0x80}));
}

TEST(RomImage, CoordinatorBlockFillsItsRoomAndOverrunsIt) {
    TSignalPlan plan = NewPlan(kRom420);
    plan.NetworkType = 3;
    plan.ProgramCount = 16;
    plan.CoordControllerCount = 6;
    plan.PowerOnDuration = 0x55;
    for (int p = 0; p < 16; ++p)
        for (int k = 0; k < 32; ++k) plan.CoordDelay[p][k] = std::uint8_t(p * 10 + k);
    EXPECT_EQ(CoordinatorBlockSize(plan), 99u);
    EXPECT_EQ(CoordinatorOverrunWarning(plan), "");
    Bytes image = Image(plan);
    EXPECT_EQ(At(image, 1818, 3), (Bytes{3, 6, 0}));
    EXPECT_EQ(At(image, 1821, 6), (Bytes{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(image[1916], 155) << "program 16, controller 6";
    EXPECT_EQ(image[1917], 0x55);

    plan.CoordControllerCount = 7;
    EXPECT_NE(CoordinatorOverrunWarning(plan), "");
    image = Image(plan);
    EXPECT_EQ(image[1917], 0x55) << "the power-on record comes later and wins";

    // Without a master the second byte is the address and one delay per program follows.
    plan.NetworkType = 4;
    plan.CoordControllerCount = 1;
    plan.NetworkAddress = 0x1234;
    plan.ProgramCount = 2;
    image = Image(plan);
    EXPECT_EQ(At(image, 1818, 5), (Bytes{4, 0x34, 0x12, 0, 10}));
    plan.RomVersion = 1;
    EXPECT_EQ(At(Image(plan), 1648, 3), (Bytes{4, 0x34, 0}));
}

TEST(RomImage, Extension421) {
    TSignalPlan plan = NewPlan(kRom421);
    plan.ProgramCount = 2;
    plan.Program[1].TactCount = 2;
    plan.Program[1].TactPhase[0] = 1;
    plan.Program[1].TactDuration[0] = 41;  // 20 s
    plan.Program[1].TactDuration[1] = 2;   // 1 s
    plan.PhaseMinTime[0] = 3;
    plan.PhaseMinTime[1] = 25;
    plan.PhaseMaxTime[15] = 300;
    plan.DetectorCount = 2;
    plan.Detector[1].ZoneCount = 4;
    plan.Detector[3].ZoneDirections[47] = 0xBEEF;
    std::memcpy(plan.ExtraLines[31], "0123456789ABCDEF", 16);
    const std::vector<std::string> lines = Lines(plan);
    const Bytes image = Image(plan);

    // Program 1: 20 - 3 = 17; program 2: (20 - 25) + (1 - 3) = -7.
    EXPECT_EQ(At(image, 2909, 4), (Bytes{17, 0, 0xF9, 0xFF}));
    EXPECT_EQ(At(image, 2913, 28), Bytes(28, 0));
    EXPECT_EQ(At(image, 2520, 5), (Bytes{2, 0, 4, 0, 0}));
    EXPECT_EQ(At(image, 2525 + 96 * 3 + 94, 2), (Bytes{0xEF, 0xBE}));
    EXPECT_EQ(std::string(image.begin() + 2008 + 496, image.begin() + 2008 + 512), "0123456789ABCDEF");
    EXPECT_EQ(image[2957 + 15], 300 & 0xFF);
    EXPECT_EQ(image[2973], 2);

    // The 4.2.0 list, without its end-of-file record, comes first.
    plan.RomVersion = kRom420;
    const std::vector<std::string> lines420 = Lines(plan);
    ASSERT_GT(lines.size(), lines420.size());
    for (std::size_t i = 0; i + 1 < lines420.size(); ++i) {
        if (i == 2) continue;  // the RomVersion record
        EXPECT_EQ(lines[i], lines420[i]) << i;
    }
    EXPECT_EQ(Header(lines[lines420.size() - 1]).address, 2008u);
}

TEST(RomImage, RefusesARomTypeOutsideTheSix) {
    TSignalPlan plan = NewPlan(6);
    std::vector<std::string> lines;
    std::string why;
    EXPECT_FALSE(BuildRomImage(plan, lines, &why));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(why.empty());
}

TEST(HexToBin, ReadsWhatTheBuilderLeavesOutAndRefusesBrokenLines) {
    // Lower case, a missing end record, lines without ":" and other types.
    const std::vector<std::string> lines = {"junk", ":02000004abcdXX", ":0100000204F9", ":01000100ee"};
    HexConversion result = HexToBin(lines);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.image, (Bytes{0xFF, 0xEE}));

    result = HexToBin(std::vector<std::string>{":0100050011", ":00000001FF", ":01000900AA"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.image.size(), 6u) << "the end record stops the conversion";

    // The image ends after the last record processed, not the highest one.
    result = HexToBin(std::vector<std::string>{":01001000AA", ":01000200BB"});
    EXPECT_EQ(result.image.size(), 3u);
    EXPECT_TRUE(HexToBin(std::vector<std::string>{}).image.empty());

    const char* broken[] = {
        ":0G00000011",    // not hexadecimal in the length
        ":01000Z0011",    // nor in the address
        ":0100000011Q",   // the data byte is "11", the checksum is not read: accepted below
        ":02000000AA",    // data past the end of the line
        ":01",            // the line ends inside the header
        ":01FFFF00AA",    // fits: the last address
        ":02FFFF00AAAA",  // reaches past 64 KiB
        ":0100000ZAA",    // another type: skipped
        ":03000005AB",    // another type is skipped unread, even when short
        ":0300000",       // the line ends inside the type
    };
    const bool accepted[] = {false, false, true, false, false, true, false, true, true, false};
    for (std::size_t i = 0; i < std::size(broken); ++i)
        EXPECT_EQ(HexToBin(std::vector<std::string>{broken[i]}).ok(), accepted[i]) << broken[i];
}

TEST(HexFile, LinesAndLineEnds) {
    EXPECT_EQ(HexFileText(std::vector<std::string>{":a", ":b"}), ":a\r\n:b\r\n");
    EXPECT_EQ(SplitHexLines(":a\r\n:b\n:c"), (std::vector<std::string>{":a", ":b", ":c"}));
}

// ---- HEX files read from disk -------------------------------------------

std::string Rec(std::uint8_t type, std::uint16_t address, const Bytes& data) {
    return FormatHexRecord(static_cast<std::uint8_t>(data.size()), type, address, data);
}
const std::string kEnd = ":00000001FF";

TEST(HexFileReading, AcceptsWhatIntelHexAllows) {
    const std::string ext04 = Rec(4, 0, {0, 0});
    const std::string ext02 = Rec(2, 0, {0, 0});
    const std::string start03 = Rec(3, 0, {0x12, 0x34, 0x56, 0x78});
    const std::string start05 = Rec(5, 0, {0, 0, 0x10, 0});
    struct Case {
        const char* why;
        std::string text;
        Bytes image;
    };
    const Case cases[] = {
        {"any address order; the image ends after the highest address",
         Rec(0, 4, {0x11}) + "\r\n" + Rec(0, 0, {0xAA, 0xBB}) + "\r\n" + kEnd + "\r\n",
         {0xAA, 0xBB, 0xFF, 0xFF, 0x11}},
        {"a later overlapping record wins", Rec(0, 0, {1, 2}) + "\n" + Rec(0, 1, {9}) + "\n" + kEnd, {1, 9}},
        {"a data record of length 0 is empty, not the end",
         Rec(0, 0, {}) + "\n" + Rec(0, 0, {7}) + "\n" + kEnd,
         {7}},
        {"everything after the end record is ignored",
         Rec(0, 0, {7}) + "\r\n" + kEnd + "\r\n\x1A" + "junk\n" + Rec(0, 5, {8}) + "\n",
         {7}},
        {"CR, LF and CR LF line ends",
         Rec(0, 0, {1}) + "\r" + Rec(0, 1, {2}) + "\n" + Rec(0, 2, {3}) + "\r\n" + kEnd,
         {1, 2, 3}},
        {"a leading BOM, blank lines, blanks after a record",
         "\xEF\xBB\xBF\r\n \t\n" + Rec(0, 0, {5}) + "  \n\n" + kEnd,
         {5}},
        {"lower-case digits", ":0100000005fa\n:00000001ff", {5}},
        {"extended addresses of 0 and start addresses",
         ext04 + "\n" + ext02 + "\n" + start03 + "\n" + start05 + "\n" + Rec(0, 1, {4}) + "\n" + kEnd,
         {0xFF, 4}},
        {"no end record: the last line ends the file", Rec(0, 0, {1}) + "\n" + Rec(0, 1, {2}), {1, 2}},
        {"nothing at all", "", {}},
    };
    for (const Case& c : cases) {
        const HexConversion result = ReadHexFileText(c.text);
        EXPECT_TRUE(result.ok()) << c.why << ": " << result.error;
        EXPECT_EQ(result.image, c.image) << c.why;
    }
}

TEST(HexFileReading, RefusesEveryDamageNamingItsLine) {
    std::string badSum = Rec(0, 1, {0x22});
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    struct Case {
        const char* why;
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"a changed checksum", Rec(0, 0, {1}) + "\r\n" + badSum + "\r\n" + kEnd,
         "строка 2 файла HEX имеет неверную контрольную сумму"},
        {"a changed data byte", ":0100000006FA\n" + kEnd,
         "строка 1 файла HEX имеет неверную контрольную сумму FA (должна быть F9)"},
        {"a BOM inside the file", Rec(0, 0, {1}) + "\n\xEF\xBB\xBF" + Rec(0, 1, {2}),
         "строка 2 файла HEX не является записью"},
        {"NUL bytes before the colon", std::string("\0\0", 2) + Rec(0, 0, {1}),
         "строка 1 файла HEX не является записью"},
        {"a line of text before the end", "\n\nnotes\n" + kEnd, "строка 3 файла HEX не является записью"},
        {"a blank before the colon", " " + Rec(0, 0, {1}), "строка 1 файла HEX не является записью"},
        {"a record cut short", ":020000\n", "строка 1 файла HEX не является целой записью"},
        {"an odd number of digits", ":0100000005F\n", "строка 1 файла HEX не является целой записью"},
        {"a length that does not match", ":0200000011ED\n",
         "строка 1 файла HEX содержит запись длиной 1 байт вместо указанных 2"},
        {"a character that is no digit", ":01000000G5FA\n",
         "строка 1 файла HEX содержит недопустимый символ"},
        {"an extended linear address", Rec(4, 0, {0, 1}) + "\n" + Rec(0, 0, {1}), "расширенный адрес 0001"},
        {"an extended segment address", Rec(2, 0, {0x10, 0}) + "\n" + Rec(0, 0, {1}),
         "расширенный адрес 1000"},
        {"an unknown record type", Rec(6, 0, {1}), "неизвестного типа 06"},
        {"data past 64 KiB", Rec(0, 0xFFFF, {1, 2}), "за пределами 64 КБ"},
    };
    for (const Case& c : cases) {
        const HexConversion result = ReadHexFileText(c.text);
        EXPECT_NE(result.error.find(c.error), std::string::npos) << c.why << ": " << result.error;
        EXPECT_TRUE(result.image.empty()) << c.why;
    }
}

// The builder's records read from a HEX file give the very image the BIN
// file holds, in every layout: the strict reading changes nothing there.
TEST(HexFileReading, TheBuildersFileReadsAsItsBinImage) {
    for (std::uint8_t rom = 0; rom < kRomTypeCount; ++rom) {
        for (const bool master : {false, true}) {
            TSignalPlan plan = ReadablePlan(rom);
            if (master) {  // a coordinator block that overruns into the records after it
                plan.NetworkType = 3;
                plan.ProgramCount = 11;
                plan.CoordControllerCount = 9;
            }
            const std::vector<std::string> lines = Lines(plan);
            const HexConversion bin = HexToBin(lines);
            const HexConversion read = ReadHexFileText(HexFileText(lines));
            ASSERT_TRUE(read.ok()) << read.error;
            EXPECT_EQ(read.image, bin.image) << "ROM type " << int(rom) << (master ? ", master" : "");
            EXPECT_EQ(bin.image.size(), RomImageSize(rom));
        }
    }
}

// ---- reader ------------------------------------------------------------

TEST(RomImageReader, ChecksInOrderAndTheRomTypeChosen) {
    struct Case {
        const char* why;
        std::uint8_t rom;
        std::size_t address;
        std::uint8_t value;
        bool accepted;
    };
    const Case cases[] = {
        {"4.1.3 needs a conflict exit of 10", kRom413, 0, 9, false},
        {"4.1.3 takes 10", kRom413, 0, 10, true},
        {"4.2.x takes 5", kRom420, 0, 5, true},
        {"4.2.x refuses 4", kRom420, 0, 4, false},
        {"repeat count 0", kRom420, 1, 0, false},
        {"repeat count 11", kRom421, 1, 11, false},
        {"phase count 0", kRom420, 820, 0, false},
        {"phase count 17", kRom413, 844, 17, false},
        {"direction count 17", kRom420, 821, 17, false},
        {"blink count 10", kRom420, 823, 10, false},
        {"blink count 9", kRom420, 823, 9, true},
        {"network type 6", kRom420, 1818, 6, false},
        {"network type 6 in 4.1.3", kRom413, 1728, 6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Bytes image = Image(ReadablePlan(c.rom));
        image[c.address] = c.value;
        RomImageReader reader;
        TSignalPlan plan = NewPlan(0);
        const TSignalPlan before = plan;
        EXPECT_EQ(reader.DecodeRomImage(image, c.rom, plan), c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(std::memcmp(&plan, &before, sizeof plan), 0);
        }
    }
}

TEST(RomImageReader, RefusesOtherRomTypesShortImagesAndSchedulesWithoutPrograms) {
    const Bytes image420 = Image(ReadablePlan(kRom420));
    RomImageReader reader;
    TSignalPlan plan = NewPlan(0);
    for (const std::uint8_t rom : {std::uint8_t(0), std::uint8_t(1), std::uint8_t(2), std::uint8_t(6)})
        EXPECT_FALSE(reader.DecodeRomImage(image420, rom, plan)) << int(rom);
    EXPECT_FALSE(reader.DecodeRomImage(Bytes(image420.begin(), image420.end() - 1), kRom420, plan));
    EXPECT_FALSE(reader.DecodeRomImage(image420, kRom421, plan)) << "a 4.2.0 image is too short for 4.2.1";
    EXPECT_FALSE(reader.DecodeRomImage({}, kRom413, plan));

    TSignalPlan onlyModes = NewPlan(kRom420);
    onlyModes.Schedule[2][1] = {8, 0, kCommandYellowFlash};
    EXPECT_FALSE(reader.DecodeRomImage(Image(onlyModes), kRom420, plan));
    Bytes tooHigh = Image(ReadablePlan(kRom420));
    tooHigh[1482 + 5] = 144;  // "АПП 17"
    EXPECT_FALSE(reader.DecodeRomImage(tooHigh, kRom420, plan));
}

TEST(RomImageReader, RestoresThePlanFromItsImage) {
    TSignalPlan source = ReadablePlan(kRom420);
    source.Schedule[3][2] = {9, 30, kCommandFirstProgram + 4};  // program 5
    source.Program[4].TactDuration[3] = 41;                     // odd: comes back as 40
    source.YellowFlashMask = 0b0111;
    source.AllRedMask = 0b0100;
    source.Direction[0].GreenMask = 0b1001;
    source.Direction[1].RedMask = 0b1000;
    source.ChannelColour[20] = 3;  // in no mask: the scratch record's colour, 0, comes back
    source.NetworkType = 4;
    source.NetworkAddress = 0x0305;
    source.TvpButtonCount = 2;
    source.Tvp[2] = {3, 30, 0xF0};
    source.TvpInsertPhase[1] = 1;

    RomImageReader reader;
    TSignalPlan plan = NewPlan(kRom420);
    ASSERT_TRUE(reader.DecodeRomImage(Image(source), kRom420, plan));
    EXPECT_EQ(plan.RomVersion, kRom420);
    EXPECT_EQ(plan.ProgramCount, 5);
    EXPECT_EQ(plan.Program[4].TactDuration[3], 20) << "whole seconds until DoubleTimeValues";
    DoubleTimeValues(plan);
    EXPECT_EQ(plan.Program[4].TactDuration[3], 40);
    // Yellow 0-2, then red 2, then direction 1 green 0 and 3, then direction 2 red 3.
    EXPECT_EQ(plan.ChannelColour[0], 3);
    EXPECT_EQ(plan.ChannelColour[1], 2);
    EXPECT_EQ(plan.ChannelColour[2], 1);
    EXPECT_EQ(plan.ChannelColour[3], 1) << "green in direction 1, red in direction 2";
    EXPECT_EQ(plan.ChannelColour[20], 0);
    EXPECT_EQ(plan.NetworkAddress, 0x0305);
    EXPECT_EQ(plan.TvpButtonCount, 2);
    EXPECT_EQ(plan.Tvp[2].Duration, 30);
    EXPECT_EQ(plan.TvpInsertPhase[1], 1);
    EXPECT_EQ(plan.Comment.Length, 0) << "images carry no comment";
}

TEST(RomImageReader, TheScratchRecordKeepsWhatImagesDoNotCarry) {
    RomImageReader reader;
    TSignalPlan plan421 = ReadablePlan(kRom421);
    plan421.PhaseMaxTime[4] = 77;
    TSignalPlan plan = NewPlan(0);
    ASSERT_TRUE(reader.DecodeRomImage(Image(plan421), kRom421, plan));
    EXPECT_EQ(plan.PhaseMaxTime[4], 77);
    EXPECT_EQ(plan.RomVersion, kRom421);

    // A later 4.2.0 image does not carry the maximum phase times: the
    // scratch record still holds what the 4.2.1 image left.
    ASSERT_TRUE(reader.DecodeRomImage(Image(ReadablePlan(kRom420)), kRom420, plan));
    EXPECT_EQ(plan.PhaseMaxTime[4], 77);
    EXPECT_EQ(plan.RomVersion, kRom420);
}

TEST(RomImageReader, A413ImageKeepsItsUsedButtons) {
    TSignalPlan source = ReadablePlan(kRom413);
    source.TvpButtonCount = 3;
    source.Tvp[1] = {2, 30, 0x10};
    source.Tvp[3] = {0, 44, 0};
    NormalisePlan(source, 0);
    RomImageReader reader;
    TSignalPlan plan = NewPlan(kRom413);
    ASSERT_TRUE(reader.DecodeRomImage(Image(source), kRom413, plan));
    EXPECT_EQ(plan.TvpButtonCount, 3) << "button 2 is unused, button 3 is not";
    NormalisePlan(plan, 0);
    EXPECT_EQ(plan.Tvp[3].Duration, 44);

    TSignalPlan none = ReadablePlan(kRom413);
    NormalisePlan(none, 0);
    ASSERT_TRUE(reader.DecodeRomImage(Image(none), kRom413, plan));
    EXPECT_EQ(plan.TvpButtonCount, 0);
}

TEST(RomImageReader, ACoordinatorBlockPastTheImageIsRefused) {
    TSignalPlan source = ReadablePlan(kRom420);
    Bytes image = Image(source);
    image[1818] = 3;    // master
    image[1819] = 255;  // controllers: 255 delays per program reach past the image
    for (int r = 0; r < 16; ++r) image[1482 + 3 * r + 2] = 143;  // 16 programs on Sunday
    RomImageReader reader;
    TSignalPlan plan = NewPlan(0);
    EXPECT_FALSE(reader.DecodeRomImage(image, kRom420, plan));

    image.resize(8000, 0x01);  // the same with room: read, delays beyond 32 ignored
    EXPECT_TRUE(reader.DecodeRomImage(image, kRom420, plan));
    EXPECT_EQ(plan.CoordControllerCount, 255);
}

}  // namespace
}  // namespace kdt

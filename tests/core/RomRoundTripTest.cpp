// Random plans are built into ROM images and read back: every field an image
// carries must come back in the image's units, and everything it does not
// carry must come from the reader's scratch record (all zeros for a fresh
// reader). Damaged images must be refused cleanly or decoded within the
// reader's own checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "data/PlanProcedures.h"
#include "data/TypeKDT.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomImageBuilder.h"
#include "rom/RomImageReader.h"
#include "support/RandomPlans.h"

namespace kdt {
namespace {

using test::Differences;
using test::ExpectedDecode;
using test::LayoutImageSize;
using test::RandomValidPlan;
using test::Rng;
using test::U16;
using test::U8;

constexpr int kPlansPerRomType = 250;
constexpr int kDamagedImagesPerRomType = 300;
constexpr std::uint8_t kReadableRomTypes[] = {kRom413, kRom420, kRom421};

// After the caller's conversion to half-seconds, a 4.2.x plan holds every
// half-second value of the source rounded down to even.
std::string HalfSecondDifferences(const TSignalPlan& doubled, const TSignalPlan& source) {
    std::ostringstream out;
    auto check = [&](const std::string& what, std::uint16_t got, std::uint16_t original) {
        const std::uint16_t want = U16(original & ~1u);
        if (got != want) out << "  " << what << ": " << got << ", expected " << want << "\n";
    };
    check("MinPhaseDuration", doubled.MinPhaseDuration, source.MinPhaseDuration);
    check("ConflictExitPeriod", doubled.ConflictExitPeriod, source.ConflictExitPeriod);
    for (int b = 1; b <= kMaxTvpButtons; ++b)
        check("Tvp[" + std::to_string(b) + "].Duration", doubled.Tvp[b].Duration, source.Tvp[b].Duration);
    for (int d = 0; d < kMaxDirections; ++d) {
        const std::string n = "[" + std::to_string(d + 1) + "]";
        for (auto [name, got, from] :
             {std::tuple{"Direction", &doubled.Direction[d], &source.Direction[d]},
              std::tuple{"DirectionManual", &doubled.DirectionManual[d], &source.DirectionManual[d]}}) {
            check(name + n + ".HeadDuration", got->HeadDuration, from->HeadDuration);
            check(name + n + ".TailDuration", got->TailDuration, from->TailDuration);
            check(name + n + ".ExtraGreenAfterGreen", got->ExtraGreenAfterGreen, from->ExtraGreenAfterGreen);
            check(name + n + ".ExtraGreenAfterRed", got->ExtraGreenAfterRed, from->ExtraGreenAfterRed);
        }
    }
    for (int p = 0; p < kMaxPhases; ++p)
        check("PhaseInterTact[" + std::to_string(p + 1) + "]", doubled.PhaseInterTact[p],
              source.PhaseInterTact[p]);
    for (int p = 0; p < kMaxPrograms; ++p) {
        const std::string n = "Program[" + std::to_string(p + 1) + "]";
        check(n + ".CycleLength", doubled.Program[p].CycleLength, source.Program[p].CycleLength);
        for (int t = 0; t < kMaxTacts; ++t) {
            const std::string tact = n + ".Tact[" + std::to_string(t + 1) + "]";
            check(tact + "Duration", doubled.Program[p].TactDuration[t], source.Program[p].TactDuration[t]);
            check(tact + "InterDuration", doubled.Program[p].TactInterDuration[t],
                  source.Program[p].TactInterDuration[t]);
        }
    }
    return out.str();
}

std::vector<std::uint8_t> BuildBin(const TSignalPlan& plan) {
    std::vector<std::string> lines;
    std::string why;
    if (!BuildRomImage(plan, lines, &why)) {
        ADD_FAILURE() << "the image was not built: " << why;
        return {};
    }
    const HexConversion converted = HexToBin(lines);
    if (!converted.ok()) {
        ADD_FAILURE() << "the builder's lines did not convert: " << converted.error;
        return {};
    }
    return converted.image;
}

std::uint32_t SeedFor(std::uint8_t romVersion, int index) {
    return 100000u * romVersion + index;
}

TEST(RomRoundTrip, RandomValidPlansComeBackWithEveryFieldTheImageCarries) {
    for (const std::uint8_t romVersion : kReadableRomTypes) {
        int failedPlans = 0;
        for (int i = 0; i < kPlansPerRomType && failedPlans < 3; ++i) {
            const std::uint32_t seed = SeedFor(romVersion, i);
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", seed " + std::to_string(seed));
            const TSignalPlan source = RandomValidPlan(romVersion, seed);
            const TSignalPlan untouched = source;

            const std::vector<std::uint8_t> image = BuildBin(source);
            ASSERT_EQ(image.size(), LayoutImageSize(romVersion));
            EXPECT_EQ(std::memcmp(&source, &untouched, sizeof source), 0) << "the builder changed the plan";

            // The whole record is replaced, so what was in it before must not show.
            TSignalPlan decoded;
            std::memset(&decoded, 0xA5, sizeof decoded);
            RomImageReader reader;
            if (!reader.DecodeRomImage(image, romVersion, decoded)) {
                ADD_FAILURE() << "a valid plan's image was refused";
                ++failedPlans;
                continue;
            }
            const std::string differences = Differences(decoded, ExpectedDecode(source));
            if (!differences.empty()) {
                ADD_FAILURE() << "decoded plan differs:\n" << differences;
                ++failedPlans;
                continue;
            }
            if (romVersion > kRom413) {
                TSignalPlan doubled = decoded;
                DoubleTimeValues(doubled);
                const std::string halves = HalfSecondDifferences(doubled, source);
                if (!halves.empty()) {
                    ADD_FAILURE() << "half-second values after doubling:\n" << halves;
                    ++failedPlans;
                }
            }
        }
    }
}

// Bit flips, truncation and damaged HEX text, with one reader reused as the
// program reuses it. A refused image leaves the plan alone; an accepted one
// has passed the reader's checks and is the reader's scratch record.
TEST(RomRoundTrip, DamagedImagesAreRefusedOrDecodedWithinTheReaderChecks) {
    for (const std::uint8_t romVersion : kReadableRomTypes) {
        RomImageReader reader;
        int accepted = 0;
        int refused = 0;
        for (int i = 0; i < kDamagedImagesPerRomType; ++i) {
            const std::uint32_t seed = SeedFor(romVersion, 50000 + i);
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", seed " + std::to_string(seed));
            const TSignalPlan source = RandomValidPlan(romVersion, seed);
            std::vector<std::string> lines;
            ASSERT_TRUE(BuildRomImage(source, lines));
            Rng rng(seed ^ 0x5EED5EEDu);

            std::vector<std::uint8_t> image;
            bool truncated = false;
            const int mode = i % 4;
            if (mode == 3) {
                // Damage the HEX text itself: any character, hexadecimal or not.
                for (unsigned n = rng.In(1, 6); n > 0; --n) {
                    std::string& line = lines[rng.In(0, static_cast<unsigned>(lines.size() - 1))];
                    if (rng.OneIn(4)) {
                        line.resize(rng.In(0, static_cast<unsigned>(line.size())));
                    } else if (!line.empty()) {
                        line[rng.In(0, static_cast<unsigned>(line.size() - 1))] =
                            static_cast<char>(rng.In(32, 126));
                    }
                }
                const HexConversion converted = HexToBin(lines);
                if (!converted.ok()) continue;
                image = converted.image;
                truncated = image.size() < LayoutImageSize(romVersion);
            } else {
                const HexConversion converted = HexToBin(lines);
                ASSERT_TRUE(converted.ok());
                image = converted.image;
                if (mode != 1) {
                    for (unsigned n = rng.In(1, 16); n > 0; --n)
                        image[rng.In(0, static_cast<unsigned>(image.size() - 1))] ^= U8(1u << rng.In(0, 7));
                }
                if (mode != 0) {
                    image.resize(rng.In(0, static_cast<unsigned>(image.size() - 1)));
                    truncated = true;
                }
            }

            TSignalPlan plan;
            std::memset(&plan, 0x5A, sizeof plan);
            const TSignalPlan before = plan;
            const bool ok = reader.DecodeRomImage(image, romVersion, plan);
            if (truncated) {
                EXPECT_FALSE(ok) << "an image of " << image.size() << " bytes was accepted";
            }
            if (!ok) {
                ++refused;
                EXPECT_EQ(std::memcmp(&plan, &before, sizeof plan), 0) << "a refused image changed the plan";
                continue;
            }
            ++accepted;
            EXPECT_EQ(std::memcmp(&plan, &reader.scratch(), sizeof plan), 0);
            EXPECT_EQ(plan.RomVersion, romVersion);
            EXPECT_GE(plan.ConflictExitPeriod, romVersion > kRom413 ? 5 : 10);
            EXPECT_LE(plan.ConflictExitPeriod, 255);
            EXPECT_GE(plan.ConflictRepeatCount, 1);
            EXPECT_LE(plan.ConflictRepeatCount, 10);
            EXPECT_GE(plan.PhaseCount, 1);
            EXPECT_LE(plan.PhaseCount, kMaxPhases);
            EXPECT_GE(plan.DirectionCount, 1);
            EXPECT_LE(plan.DirectionCount, kMaxDirections);
            EXPECT_LE(plan.PhaseEndBlinkCount, 9);
            EXPECT_GE(plan.ProgramCount, 1);
            EXPECT_LE(plan.ProgramCount, kMaxPrograms);
            EXPECT_LE(plan.NetworkType, 5);
        }
        // Both outcomes must have been exercised, or the damage was too mild
        // (or the reader refuses everything).
        EXPECT_GT(accepted, 0) << "RomVersion " << int(romVersion);
        EXPECT_GT(refused, 0) << "RomVersion " << int(romVersion);
    }
}

}  // namespace
}  // namespace kdt

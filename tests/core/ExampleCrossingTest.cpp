// The bundled example is made by its generator; the committed file must be
// what the generator makes today.
#include <gtest/gtest.h>

#include <cstring>

#include "ExampleCrossing.h"
#include "data/PlanProcedures.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

TEST(ExampleCrossing, CommittedFileMatchesItsGenerator) {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    const std::vector<std::uint8_t> committed = test::ReadBytes(KDT_EXAMPLES_DIR "/crossing.kdt");
    ASSERT_EQ(committed.size(), kSignalPlanSize) << "run `make example` to regenerate it";
    for (std::size_t i = 0; i < kSignalPlanSize; ++i)
        ASSERT_EQ(committed[i], RecordBytes(plan)[i]) << "byte " << i << " differs; run `make example`";
}

TEST(ExampleCrossing, IsAlreadyNormalised) {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    TSignalPlan normalised = plan;
    NetworkAddressEditor editor;
    RefreshEditorRecord(normalised, editor);
    NormalisePlan(normalised, editor.value);
    EXPECT_EQ(std::memcmp(&plan, &normalised, sizeof plan), 0);
    EXPECT_EQ(plan.RomVersion, kRom421);
    EXPECT_GE(plan.DirectionCount, 8);
    EXPECT_GE(plan.PhaseCount, 4);
    EXPECT_GE(plan.ProgramCount, 3);
    EXPECT_EQ(plan.TvpButtonCount, 2);
}

}  // namespace
}  // namespace kdt

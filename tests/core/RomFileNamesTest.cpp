#include <gtest/gtest.h>

#include "rom/RomFileNames.h"

namespace kdt {
namespace {

TEST(RomFilePath, FolderAndTheProjectNameWithoutItsLastExtension) {
    struct Case {
        const char* project;
        RomFileType type;
        const char* expected;
    };
    const Case cases[] = {
        {"/home/u/plans/crossing.kdt", RomFileType::Hex, "/rom/crossing.hex"},
        {"/home/u/plans/x.kdt2", RomFileType::Hex, "/rom/x.hex"},
        {"/home/u/a.kdt.b.kdt", RomFileType::Bin, "/rom/a.kdt.b.bin"},
        {"c:\\kdt_win\\project\\перекрёсток.kdt", RomFileType::Bin, "/rom/перекрёсток.bin"},
        {"/home/u.d/noext", RomFileType::Hex, "/rom/noext.hex"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RomFilePath(c.project, "/rom", c.type).string(), c.expected) << c.project;
}

TEST(ProgrammerParameters, TemplateSubstitution) {
    struct Case {
        const char* why;
        const char* parameterTemplate;
        const char* expected;
    };
    const Case cases[] = {
        {"the path alone", "%N", "/rom/X.hex"},
        {"path and version", "-p %N -v %V", "-p /rom/X.hex -v 6"},
#if defined(_WIN32)
        {"only the first %n", "%n %N", "/rom/X.hex %n"},
#else
        {"only the first %n", "%n %N", "/rom/X.hex %N"},
#endif
        {"version before path", "%v:%n", "6:/rom/X.hex"},
#if defined(_WIN32)
        {"the template is lower-cased, the path is not", "-P COM1 %N", "-p com1 /rom/X.hex"},
#else
        {"the template keeps its case where file names have one", "-P COM1 %N -v %V",
         "-P COM1 /rom/X.hex -v 6"},
#endif
        {"no placeholders", "-auto", "-auto"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgrammerParameters(c.parameterTemplate, "/rom/X.hex", 5), c.expected) << c.why;
    EXPECT_EQ(ProgrammerParameters("%n %v", "/rom/%v/x.hex", 0), "/rom/%v/x.hex 1")
        << "a %v inside the path is the path's own";
}

}  // namespace
}  // namespace kdt

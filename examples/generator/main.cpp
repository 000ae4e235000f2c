// Writes the bundled example plan: kdt-make-example [OUT.kdt]
#include <iostream>

#include "ExampleCrossing.h"
#include "common/FileIO.h"
#include "data/ProjectFile.h"

int main(int argc, char** argv) {
    const std::filesystem::path out = kdt::Utf8ToPath(argc > 1 ? argv[1] : "examples/crossing.kdt");
    kdt::TSignalPlan plan{};
    kdt::example::BuildExampleCrossing(plan);
    if (const kdt::Outcome saved = kdt::SaveProjectFile(out, plan); !saved.ok()) {
        std::cerr << "kdt-make-example: " << saved.error << "\n";
        return 1;
    }
    std::cout << kdt::PathToUtf8(out) << "\n";
    return 0;
}

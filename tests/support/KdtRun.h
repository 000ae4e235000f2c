// Runs one kdt command in-process and keeps what it printed.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"

namespace kdt::test {

struct KdtRun {
    int status;
    std::string out;
    std::string err;

    std::size_t errLines() const {
        return static_cast<std::size_t>(std::count(err.begin(), err.end(), '\n'));
    }
};

inline KdtRun Kdt(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunKdt(arguments, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace kdt::test

// The gameplay hash once a second over the run's first minute, against the trace checked in
// beside this file. A change of the game's logic, its data or the policy changes it: regenerate
// it on purpose only, with a line in the commit message saying why:
//
//   MORNA_E2E_WRITE_GOLDEN=1 build/ci/tests/game_e2e_tests --gtest_filter=GoldenTrace.*
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/game/e2e/recorded_run.h"

namespace morna::e2e {
namespace {

constexpr int kSeconds = 60;
const std::string kTraceFile = std::string(MORNA_SOURCE_DIR) + "/tests/game/e2e/golden_trace.txt";

std::vector<std::string> Trace(const RunRecord& r) {
    std::vector<std::string> lines;
    for (int s = 1; s <= kSeconds && s * 60 <= static_cast<int>(r.frameHashes.size()); ++s) {
        char line[64];
        std::snprintf(line, sizeof line, "%5d %016" PRIx64, s * 60 - 1, r.frameHashes[static_cast<size_t>(s * 60 - 1)]);
        lines.push_back(line);
    }
    return lines;
}

TEST(GoldenTrace, FirstMinuteOfTheRun) {
    const std::vector<std::string> trace = Trace(TheRun());
    ASSERT_EQ(trace.size(), static_cast<size_t>(kSeconds));
    if (std::getenv("MORNA_E2E_WRITE_GOLDEN") != nullptr) {
        std::ofstream out(kTraceFile, std::ios::binary);
        out << "# frame, gameplay hash after it: the policy's run from the title (tests/game/e2e/golden_trace_test.cpp)\n";
        for (const std::string& line : trace) out << line << "\n";
    }
    std::ifstream in(kTraceFile, std::ios::binary);
    ASSERT_TRUE(in) << kTraceFile;
    std::vector<std::string> golden;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') golden.push_back(line);
    }
    for (size_t i = 0; i < trace.size() && i < golden.size(); ++i) {
        ASSERT_EQ(trace[i], golden[i]) << "first difference at second " << i + 1;
    }
    EXPECT_EQ(trace.size(), golden.size());
}

}  // namespace
}  // namespace morna::e2e

// Test helper: the lines tests/x11/present_probe.c appends, preloaded into the game: each hold of
// the X server and each present, with their start and length in microseconds (CLOCK_MONOTONIC).
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace morna::test {

struct PresentLog {
    struct Span {
        long long startUs = 0, tookUs = 0;
    };
    std::vector<Span> holds, presents;

    // The file's lines; empty where there is none.
    static PresentLog Read(const std::string& path) {
        PresentLog log;
        std::ifstream in(path);
        std::string what;
        Span span;
        while (in >> what >> span.startUs >> span.tookUs) (what == "hold" ? log.holds : log.presents).push_back(span);
        return log;
    }
};

}  // namespace morna::test

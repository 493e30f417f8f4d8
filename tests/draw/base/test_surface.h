#pragma once
// A memory surface for the drawing tests: owns its bytes and describes them.
#include <cstdint>
#include <random>
#include <vector>

#include "draw/base/surface_info.h"

namespace morna::test {

struct TestSurface {
    // pad: bytes after each row beyond width * bytes per pixel.
    TestSurface(int32_t type, int w, int h, int pad = 0)
        : bytes(static_cast<size_t>((w * tovarineGameSDK3rd::Draw::PixelSizeOf(type) + pad) * h)) {
        info.type = type;
        info.width = w;
        info.height = h;
        info.pitch = w * tovarineGameSDK3rd::Draw::PixelSizeOf(type) + pad;
        info.pixels = bytes.empty() ? nullptr : bytes.data();
        info.initialised = true;
    }
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    void Fill(std::mt19937& rng) {
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    }
    uint8_t* At(int x, int y) { return bytes.data() + y * info.pitch + x * info.GetPixelSize(); }

    std::vector<uint8_t> bytes;
    tovarineGameSDK3rd::Draw::CSurfaceInfo info;
};

// Counts the calls it gets and answers what it is told.
class CountingLocker : public tovarineGameSDK3rd::Draw::ISurfaceLocker {
public:
    explicit CountingLocker(int answer) : answer_(answer) {}
    int Lock() override { ++locks; return answer_; }
    int Unlock() override { ++unlocks; return 0; }
    int locks = 0, unlocks = 0;

private:
    int answer_;
};

}  // namespace morna::test

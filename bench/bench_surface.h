#pragma once
// A 640x480 surface of random pixels for the benchmarks.
#include <cstdint>
#include <random>
#include <vector>

#include "draw/base/surface_info.h"

namespace morna::bench {

constexpr int kW = 640, kH = 480;

struct FrameSurface {
    explicit FrameSurface(int32_t type, uint32_t seed = 1)
        : bytes(static_cast<size_t>(kW) * kH * tovarineGameSDK3rd::Draw::PixelSizeOf(type)) {
        std::mt19937 rng(seed);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        info.type = type;
        info.width = kW;
        info.height = kH;
        info.pitch = kW * tovarineGameSDK3rd::Draw::PixelSizeOf(type);
        info.pixels = bytes.data();
        info.initialised = true;
    }
    std::vector<uint8_t> bytes;
    tovarineGameSDK3rd::Draw::CSurfaceInfo info;
};

}  // namespace morna::bench

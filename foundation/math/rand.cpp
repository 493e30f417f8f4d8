#include "foundation/math/rand.h"

#include "platform/clock.h"
#include "platform/memory_status.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <utility>

namespace tovarineGameSDK3rd::Math {
namespace {
constexpr int32_t kN = CRand::kStateSize;
constexpr int32_t kM = 397;
constexpr uint32_t kMatrix = 0x9908B0DFu;
constexpr uint32_t kUpper = 0x80000000u;
constexpr uint32_t kLower = 0x7FFFFFFFu;
}  // namespace

CRand::CRand() : state_{}, index_(kNeverSeeded), seed_(MakeSeed(morna::platform::MonotonicMilliseconds())) {
    SetSeed(seed_);
}

uint32_t CRand::MakeSeed(uint32_t milliseconds) {
    morna::platform::MemoryStatus mem;
    morna::platform::QueryMemoryStatus(mem);  // zeroes on failure; the clock still varies
    return (milliseconds & 0xFFFFFFu) | (static_cast<uint32_t>(mem.availablePhysical & 0xFFu) << 24);
}

void CRand::SetSeed(uint32_t x) {
    // The linear-congruential fill: each word takes its high half from one
    // step and its low half from the next.
    for (int32_t i = 0; i < kN; ++i) {
        state_[i] = x & 0xFFFF0000u;
        x = x * 69069u + 1u;
        state_[i] |= x >> 16;
        x = x * 69069u + 1u;
    }
    index_ = kN;
}

void CRand::Regenerate() {
    for (int32_t k = 0; k < kN; ++k) {
        const uint32_t y = (state_[k] & kUpper) | (state_[(k + 1) % kN] & kLower);
        state_[k] = state_[(k + kM) % kN] ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
    }
    index_ = 0;
}

uint32_t CRand::Get() {
    // An index outside 0..623 (a damaged loaded state) regenerates as well,
    // so the state array is never read out of range.
    if (index_ >= kN || index_ < 0) {
        if (index_ == kNeverSeeded) SetSeed(kDefaultSeed);
        Regenerate();
    }
    uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

uint32_t CRand::Get(uint32_t n) {
    if (n == 0) return 0;
    return Get() % n;
}

void CRand::Serialize(Auxiliary::ISerialize& ar) {
    if (ar.IsStoring()) {
        for (uint32_t& w : state_) ar << w;
        ar << index_;
        return;
    }
    uint32_t state[kN];
    int32_t index = 0;
    for (uint32_t& w : state) ar << w;
    ar << index;
    if (ar.IsFailed()) return;
    std::copy(std::begin(state), std::end(state), std::begin(state_));
    index_ = index;
}

void Shuffle(std::vector<int>& v, CRand& rand) {
    const std::size_t n = v.size();
    if (n < 2) return;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const std::size_t j = rand.Get() % (n - i - 1);
        std::swap(v[i], v[i + 1 + j]);
    }
}

}  // namespace tovarineGameSDK3rd::Math

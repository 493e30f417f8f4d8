#pragma once
// The SDK's random numbers: a 32-bit Mersenne Twister (MT19937) and the shuffle
// built on it. The stream of a given seed is part of the game's behaviour
// (replays depend on it), so every step here is fixed.
#include "foundation/auxiliary/serialize.h"

#include <cstdint>
#include <vector>

namespace tovarineGameSDK3rd::Math {

class CRand : public Auxiliary::IArchive {
public:
    static constexpr int32_t kStateSize = 624;
    static constexpr int32_t kNeverSeeded = 625;  // index value: seed with 4357 on the first draw
    static constexpr uint32_t kDefaultSeed = 4357;

    // Seeds from the clock and the free memory (MakeSeed), so two runs differ.
    CRand();
    // (milliseconds & 0xFFFFFF) | the low byte of the free physical memory << 24.
    static uint32_t MakeSeed(uint32_t milliseconds);
    ~CRand() override = default;

    void SetSeed(uint32_t seed);
    // The next 32-bit output.
    uint32_t Get();
    // Get() mod n; 0 without a draw for n = 0.
    uint32_t Get(uint32_t n);

    // The 624 state words, then the index (2500 bytes); the seed is not kept.
    // A load that runs past the data leaves the generator as it was.
    void Serialize(Auxiliary::ISerialize& ar) override;

    // The seed the constructor chose.
    uint32_t GetSeed() const { return seed_; }

private:
    void Regenerate();

    uint32_t state_[kStateSize];
    int32_t index_;
    uint32_t seed_;
};

// Reorders v in place so that every element leaves its place (one single cycle).
void Shuffle(std::vector<int>& v, CRand& rand);

}  // namespace tovarineGameSDK3rd::Math

#include "foundation/auxiliary/serialize.h"
#include "foundation/math/rand.h"
#include "foundation/math/root_counter.h"
#include "foundation/math/sin_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <numeric>
#include <string>
#include <vector>
#include <tuple>

using namespace tovarineGameSDK3rd::Math;

TEST(CRand, SeedFourThousandThreeHundredFiftySevenGivesTheKnownStream) {
    CRand r;
    r.SetSeed(4357);
    EXPECT_EQ(r.Get(), 0xAAE64AC3u);
    EXPECT_EQ(r.Get(), 0x5E7C47DAu);
    EXPECT_EQ(r.Get(), 0xB98E8121u);
}

TEST(CRand, GetZeroDrawsNothing) {
    CRand a, b;
    a.SetSeed(7);
    b.SetSeed(7);
    EXPECT_EQ(a.Get(0), 0u);
    EXPECT_EQ(a.Get(), b.Get());
    const uint32_t x = b.Get();
    EXPECT_EQ(a.Get(10), x % 10);
}

TEST(CRand, SavedStateContinuesWhereItStopped) {
    CRand a;
    a.SetSeed(2024);
    for (int i = 0; i < 700; ++i) a.Get();  // past one regeneration: index 76
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    a.Serialize(ar);
    const std::vector<uint8_t>& data = ar.GetData();
    ASSERT_EQ(data.size(), 2500u);
    EXPECT_EQ(std::vector<uint8_t>(data.end() - 4, data.end()), (std::vector<uint8_t>{76, 0, 0, 0}));

    CRand b;
    b.SetSeed(1);
    ar.SetStoring(false);
    b.Serialize(ar);
    EXPECT_FALSE(ar.IsFailed());
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(a.Get(), b.Get()) << i;
}

TEST(CRand, LoadedNeverSeededStateStartsFromTheDefaultSeed) {
    CRand a;
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    a.Serialize(ar);
    std::vector<uint8_t>& data = ar.GetData();
    data[2496] = 0x71;  // index 625
    data[2497] = 0x02;
    ar.SetStoring(false);
    a.Serialize(ar);
    EXPECT_EQ(a.Get(), 0xAAE64AC3u);
    EXPECT_EQ(a.Get(), 0x5E7C47DAu);
}

TEST(CRand, TruncatedOrDamagedStateIsHarmless) {
    CRand a, ref;
    a.SetSeed(5);
    ref.SetSeed(5);
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    a.Serialize(ar);
    ar.GetData().pop_back();
    ar.SetStoring(false);
    a.Serialize(ar);
    EXPECT_TRUE(ar.IsFailed());
    EXPECT_EQ(a.Get(), ref.Get());  // left as it was

    // An index below 0 regenerates instead of reading before the state.
    CRand b;
    tovarineGameSDK3rd::Auxiliary::CSerialize full;  // a whole stream, its index made -5
    b.Serialize(full);
    full.GetData()[2496] = 0xFB;
    full.GetData()[2497] = full.GetData()[2498] = full.GetData()[2499] = 0xFF;
    full.SetStoring(false);
    b.Serialize(full);
    ASSERT_FALSE(full.IsFailed());
    CRand again;
    full.SetStoring(false);
    again.Serialize(full);
    EXPECT_EQ(b.Get(), again.Get());  // the sanitizer build catches a read before the state
}

// Short vectors stay, two always swap; each draw is taken modulo the places after i: seed
// 4357 draws 0xAAE64AC3 (odd: j = 1 of 2) and then j = 0 of 1.
TEST(Shuffle, DrawsModuloTheRemainingPlacesAfterI) {
    CRand r;
    std::vector<int> none, one{5}, two{1, 2};
    Shuffle(none, r);
    Shuffle(one, r);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(one, std::vector<int>{5});
    for (int i = 0; i < 3; ++i) {
        Shuffle(two, r);
        EXPECT_EQ(two, (i % 2 == 0 ? std::vector<int>{2, 1} : std::vector<int>{1, 2}));
    }
    r.SetSeed(4357);
    std::vector<int> v{0, 1, 2};
    Shuffle(v, r);
    EXPECT_EQ(v, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(r.Get(), 0xB98E8121u);
}

TEST(Shuffle, IsOneCycleDrivenByTheGenerator) {
    for (uint32_t seed : {1u, 4357u, 123456u}) {
        CRand r;
        r.SetSeed(seed);
        std::vector<int> v(9);
        std::iota(v.begin(), v.end(), 0);
        Shuffle(v, r);
        // A permutation in which following v from 0 visits every element once.
        std::vector<int> sorted = v;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < 9; ++i) ASSERT_EQ(sorted[i], i);
        int at = 0, steps = 0;
        do { at = v[at]; ++steps; } while (at != 0 && steps < 20);
        EXPECT_EQ(steps, 9) << "seed " << seed;

        // The same seed reproduces the order, using exactly n - 1 draws.
        CRand again, ref;
        again.SetSeed(seed);
        ref.SetSeed(seed);
        std::vector<int> w(9);
        std::iota(w.begin(), w.end(), 0);
        Shuffle(w, again);
        EXPECT_EQ(w, v);
        for (int i = 0; i < 8; ++i) ref.Get();
        EXPECT_EQ(again.Get(), ref.Get());
    }
}

// Counter timelines: bounds, step and start value, then the calls ('+', '-') and the value
// after each. A step below 0 moves once every -step calls; at a bound the counter wraps to
// the opposite bound, not by the overshoot, and never overflows.
TEST(CRootCounter, Timelines) {
    struct Timeline {
        int32_t start, end, step, from;
        std::string ops;
        std::vector<int32_t> values;
    };
    std::vector<Timeline> cases = {
        {0, INT_MAX, 1, INT_MAX - 1, "++-", {INT_MAX, 0, INT_MAX}},
        {0, 10, 4, 0, "++++", {4, 8, 0, 4}},
        {0, INT_MAX, INT_MAX, 5, "+", {0}},
        {INT_MIN, INT_MAX, INT_MAX, INT_MIN + 1, "-", {INT_MAX}},
        {10, 0, 1, 0, "++", {10, 9}},  // reversed bounds run from start toward end
        {10, 0, 1, 10, "-", {0}},
    };
    for (int k = 1; k <= 3; ++k) {  // steps 0 and -1 move every call, -2 every second, -3 every third
        Timeline t{0, 100, k == 1 ? 0 : -k, 50, std::string(3 * k, '+') + std::string(3 * k, '-'), {}};
        for (int i = 1; i <= 3 * k; ++i) t.values.push_back(50 + i / k);
        for (int i = 1; i <= 3 * k; ++i) t.values.push_back(53 - i / k);
        cases.push_back(t);
        if (k == 1) cases.push_back({0, 100, -1, 50, "+-", {51, 50}});
    }
    for (const Timeline& t : cases) {
        CRootCounter c;
        c.SetStart(t.start);
        c.SetEnd(t.end);
        c.SetStep(t.step);
        c.Set(t.from);
        std::vector<int32_t> got;
        for (char op : t.ops) {
            if (op == '+') ++c;
            else --c;
            got.push_back(c.Get());
        }
        EXPECT_EQ(got, t.values) << t.start << ".." << t.end << " step " << t.step << " from " << t.from;
    }
    CRootCounter d;
    d.Set(INT_MAX);
    EXPECT_TRUE(d.IsEnd());
    d.Set(0);
    EXPECT_TRUE(d.IsBegin());
}

// The five fields in their order, the sub-count included; a cut stream leaves it alone.
TEST(CRootCounter, SerializesItsFiveFields) {
    CRootCounter c;
    c.SetStart(-2);
    c.SetEnd(9);
    c.SetStep(-3);
    c.Set(4);
    ++c;  // sub-count 1
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    c.Serialize(ar);
    EXPECT_EQ(ar.GetData(), (std::vector<uint8_t>{4, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 9, 0, 0, 0,
                                                  0xFD, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}));
    CRootCounter back;
    ar.SetStoring(false);
    back.Serialize(ar);
    ++back;
    EXPECT_EQ(back.Get(), 4);
    ++back;  // the loaded sub-count makes this the third call
    EXPECT_EQ(back.Get(), 5);
    ar.GetData().resize(19);
    ar.SetStoring(false);
    CRootCounter untouched;
    untouched.Serialize(ar);
    EXPECT_TRUE(ar.IsFailed());
    EXPECT_EQ(untouched.GetEnd(), 0x7FFFFFFF);
}

TEST(CSinTable, EntriesAtTheQuarterTurns) {
    const int32_t cosIdx[] = {0, 1, 128, 256, 384, 511};
    const int32_t cosVal[] = {65536, 65531, 0, -65536, 0, 65531};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(SinTable.cosine[cosIdx[k]], cosVal[k]) << cosIdx[k];
    const int32_t atanIdx[] = {0, 1, 128, 255};
    const int16_t atanVal[] = {0, 40, 4836, 8171};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(SinTable.arctangent[atanIdx[k]], atanVal[k]) << atanIdx[k];
    const int32_t sinAt[][2] = {{128, 65536}, {0, 0}, {384, -65536}};
    for (const auto& [i, v] : sinAt) EXPECT_EQ(SinTable.Sin(i), v) << i;
    EXPECT_EQ(SinTable.Cos(512 + 256), -65536);
}

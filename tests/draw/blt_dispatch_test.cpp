#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "draw/blt_dispatch.h"
#include "foundation/vtl/exception.h"
#include "tests/draw/base/test_surface.h"

using namespace tovarineGameSDK3rd;
using namespace tovarineGameSDK3rd::Draw;
using morna::test::TestSurface;

namespace {

constexpr int32_t kFormats[] = {Palette8, RGB565, RGB555, RGB888, BGR888, XRGB8888,
                                XBGR8888, ARGB4565, ARGB4555, ARGB8888, ABGR8888};

int Column(int32_t f) {
    for (int i = 0; i < 11; ++i)
        if (kFormats[i] == f) return i;
    return -1;
}

// Op 0, source by row, destination by column in the order of kFormats.
const char* const kCopyGrid[11] = {
    "...........",  // Palette8: answers 0 without drawing
    "-xxxxxxx---",  // RGB565
    "xxxxxxx-x--",  // RGB555
    "-xxxxxx--x-",  // RGB888
    "-xxxxxx--xx",  // BGR888
    "-xxxxxx--x-",  // XRGB8888
    "-xxxxxx--xx",  // XBGR8888
    "-xxxxxxxxxx",  // ARGB4565
    "-xxxxxxxxxx",  // ARGB4555
    "-xxxxxxxxxx",  // ARGB8888
    "-xxxxxxxxxx",  // ABGR8888
};

bool FamilyPair(int32_t s, int32_t d) {
    if (s == d) return s != Palette8;
    const bool plainRgb = s == RGB888 || s == BGR888 || s == XRGB8888 || s == XBGR8888;
    return (s == RGB565 && d == ARGB4565) || (s == RGB555 && d == ARGB4555) ||
           (plainRgb && (d == ARGB8888 || d == ABGR8888)) || (s == ARGB4565 && d == RGB565) ||
           (s == ARGB4555 && d == RGB555) || (s == ARGB8888 && (d == RGB888 || d == XRGB8888)) ||
           (s == ABGR8888 && (d == BGR888 || d == XBGR8888));
}

bool AlphaPair(int32_t s, int32_t d) {
    return (s == ARGB4565 && (d == RGB565 || d == ARGB4565)) || (s == ARGB4555 && (d == RGB555 || d == ARGB4555)) ||
           (s == ARGB8888 && (d == RGB888 || d == XRGB8888 || d == ARGB8888)) ||
           (s == ABGR8888 && (d == BGR888 || d == XBGR8888 || d == ABGR8888));
}

struct Answer {
    int code;
    bool member;  // a member runs (for the built operations: the destination is drawn)
};

// What a blit answers, written from the operations' pair tables.
Answer Expected(int32_t op, int32_t s, int32_t d) {
    if (op < 0 || op > 17 || (op >= 11 && op <= 13)) return {1, false};
    bool member = false, zero = false;
    const bool keyed = op == 1 || op == 4 || op == 5 || op == 8 || op == 9 || op == 15 || op == 17;
    if (op == 0) {
        const char c = kCopyGrid[Column(s)][Column(d)];
        member = c == 'x';
        zero = c == '.';
    } else if (op == 8 || op == 9) {
        member = s == d && s != Palette8 && s != RGB888;
    } else if (op == 10) {
        member = AlphaPair(s, d);
    } else {
        member = FamilyPair(s, d);
        zero = s == Palette8 && d == Palette8;
    }
    if ((keyed || (op >= 2 && op <= 7) || op == 14 || op == 16) && s == d && !member) zero = true;
    return {member || zero ? 0 : 2, member};
}

// Records Lock and Unlock calls of every surface that shares it, in order.
class RecordingLocker : public ISurfaceLocker {
public:
    RecordingLocker(std::string* log, char name, int answer = 0) : log_(log), name_(name), answer_(answer) {}
    int Lock() override {
        *log_ += 'L';
        *log_ += name_;
        return answer_;
    }
    int Unlock() override {
        *log_ += 'U';
        *log_ += name_;
        return answer_;
    }

private:
    std::string* log_;
    char name_;
    int answer_;
};

const uint32_t kRates[2] = {0x80, 0x40};

}  // namespace

// Every operation code over every pair of formats: the answer, the lock order, and pixels
// drawn only where a member runs.
TEST(DispatchBlt, AnswersEveryOperationAndPairAsTheTablesSay) {
    std::mt19937 rng(7);
    std::vector<int32_t> ops{INT_MIN, -1, 100, 255, INT_MAX};
    for (int32_t op = 0; op <= 19; ++op) ops.push_back(op);
    for (int32_t op : ops) {
        for (int32_t s : kFormats) {
            for (int32_t d : kFormats) {
                TestSurface src(s, 9, 5), dst(d, 9, 5);
                src.Fill(rng);
                dst.Fill(rng);
                src.info.colourKey = 0x00FF00FF;
                std::string log;
                src.info.SetLocker(new RecordingLocker(&log, 's'));
                dst.info.SetLocker(new RecordingLocker(&log, 'd'));
                const auto srcBefore = src.bytes, dstBefore = dst.bytes;
                const Answer want = Expected(op, s, d);
                SCOPED_TRACE(testing::Message() << "op " << op << " src " << s << " dst " << d);
                EXPECT_EQ(DispatchBlt(dst.info, static_cast<EBltOp>(op), src.info, BltGeometry{}, kRates), want.code);
                EXPECT_EQ(log, want.code == 1 ? "" : "LdLsUsUd");
                EXPECT_FALSE(src.info.locked);
                EXPECT_FALSE(dst.info.locked);
                EXPECT_EQ(src.bytes, srcBefore);
                if (want.member) {
                    EXPECT_NE(dst.bytes, dstBefore);
                } else {
                    EXPECT_EQ(dst.bytes, dstBefore);
                }
            }
        }
    }
}

// Two surfaces of one code that is no format: the operations that answer 0 for equal types
// without a member (add, subtract, the rated blends) draw nothing and answer 0.
TEST(DispatchBlt, EqualCodesWithoutAFormatAnswerZero) {
    for (int32_t code : {0, 1, 9, 14}) {
        for (int32_t op : {2, 3, 4, 5, 6, 7, 8, 9, 14, 15, 16, 17}) {
            TestSurface src(RGB565, 2, 2), dst(RGB565, 2, 2);
            src.bytes.assign(src.bytes.size(), 0xFF);
            src.info.type = dst.info.type = code;
            EXPECT_EQ(DispatchBlt(dst.info, static_cast<EBltOp>(op), src.info, BltGeometry{}, kRates), 0) << op << " " << code;
            EXPECT_EQ(dst.bytes, std::vector<uint8_t>(dst.bytes.size(), 0)) << op << " " << code;
        }
    }
}

// A rate operation without its rate answers 1 and locks nothing.
TEST(DispatchBlt, RateOperationWithoutRateLocksNothing) {
    for (int32_t op : {6, 7, 8, 9, 14, 15, 16, 17}) {
        TestSurface src(XRGB8888, 4, 4), dst(XRGB8888, 4, 4);
        std::string log;
        src.info.SetLocker(new RecordingLocker(&log, 's'));
        dst.info.SetLocker(new RecordingLocker(&log, 'd'));
        EXPECT_EQ(DispatchBlt(dst.info, static_cast<EBltOp>(op), src.info, BltGeometry{}, nullptr), 1) << op;
        EXPECT_EQ(log, "") << op;
    }
    // Operations that read no rate accept a null parameter.
    TestSurface src(RGB565, 4, 4), dst(RGB565, 4, 4);
    EXPECT_EQ(DispatchBlt(dst.info, EBltOp::BltKeyedCopy, src.info, BltGeometry{}, nullptr), 0);
}

TEST(DispatchBlt, SurfaceOntoItselfThrowsAndIsUnlocked) {
    TestSurface s(RGB565, 4, 4);
    for (EBltOp op : {EBltOp::BltCopy, EBltOp::BltKeyedCopy, EBltOp::BltAdd}) {
        try {
            DispatchBlt(s.info, op, s.info, BltGeometry{}, kRates);
            ADD_FAILURE() << "no exception";
        } catch (const VTL::CRuntimeException& e) {
            const auto m = e.getMessage();
            EXPECT_EQ(std::string(m.c_str(), m.size()), "２重Lock(CSurfaceInfo::Lock)");
        }
        EXPECT_FALSE(s.info.locked);
    }
    // Still usable afterwards.
    TestSurface other(RGB565, 4, 4);
    EXPECT_EQ(DispatchBlt(s.info, EBltOp::BltCopy, other.info, BltGeometry{}), 0);
}

// A refused lock answers 1 and touches nothing, however often it is tried, also before a pair
// that has no member; the surface that did lock is unlocked again.
TEST(DispatchBlt, RefusedLockAnswersOneAndDrawsNothing) {
    std::mt19937 rng(3);
    for (int which = 0; which < 3; ++which) {
        TestSurface src(XBGR8888, 6, 6), dst(XRGB8888, 6, 6);
        src.Fill(rng);
        dst.Fill(rng);
        std::string log;
        src.info.SetLocker(new RecordingLocker(&log, 's', which == 1 ? 1 : 0));
        dst.info.SetLocker(new RecordingLocker(&log, 'd', which == 0 ? 1 : 0));
        if (which == 2) src.info.initialised = false;  // a description of nothing answers -1
        const auto before = dst.bytes;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(DispatchBlt(dst.info, EBltOp::BltCopy, src.info, BltGeometry{}), 1);
            EXPECT_EQ(DispatchBlt(dst.info, EBltOp::BltKeyedCopy, src.info, BltGeometry{}), 1);
            EXPECT_EQ(DispatchBlt(dst.info, EBltOp::BltKeyedAddRate, src.info, BltGeometry{}, kRates), 1);
        }
        EXPECT_EQ(dst.bytes, before);
        EXPECT_FALSE(dst.info.locked);
        EXPECT_FALSE(src.info.locked);
        const std::string once = which == 0 ? "Ld" : which == 1 ? "LdLsUd" : "LdUd";
        std::string all;
        for (int i = 0; i < 9; ++i) all += once;
        EXPECT_EQ(log, all) << which;
    }
}

// A member that finds nothing inside the clip still makes the blit answer 0.
TEST(DispatchBlt, NothingInsideTheClipStillAnswersZero) {
    TestSurface src(RGB565, 4, 4), dst(RGB565, 4, 4);
    Point p{10, 10};
    EXPECT_EQ(DispatchBlt(dst.info, EBltOp::BltCopy, src.info, BltGeometry{&p}), 0);
    EXPECT_EQ(DispatchBlt(dst.info, EBltOp::BltKeyedCopy, src.info, BltGeometry{&p}), 0);
}

#include "platform/charset.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>

namespace mp = morna::platform;

TEST(Charset, RoundTripsJapanese) {
    // "エラー" in Shift-JIS and UTF-8, and ソ whose trail byte is '\'.
    const std::string sjis("\x83\x47\x83\x89\x81\x5B\x83\x5C", 8);
    std::string utf8;
    ASSERT_TRUE(mp::Cp932ToUtf8(sjis, utf8));
    EXPECT_EQ(utf8, "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\xE3\x82\xBD");
    std::string back;
    ASSERT_TRUE(mp::Utf8ToCp932(utf8, back));
    EXPECT_EQ(back, sjis);
}

TEST(Charset, RejectsBrokenInput) {
    std::string out = "x";
    EXPECT_FALSE(mp::Cp932ToUtf8(std::string("\x83", 1), out));  // lead byte without trail
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(mp::Utf8ToCp932("\xF0\x9F\x98\x80", out));      // no CP932 form
    EXPECT_TRUE(mp::Cp932ToUtf8("", out));
    EXPECT_TRUE(out.empty());
}

// The monotonic clock in milliseconds (within a reading of it taken around the call); a sleep
// lasts at least as long as asked.
TEST(Clock, MillisecondsOfTheMonotonicClock) {
    auto now = [] {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
    };
    const uint32_t before = now(), m = mp::MonotonicMilliseconds(), after = now();
    EXPECT_LE(static_cast<uint32_t>(m - before), static_cast<uint32_t>(after - before));
    mp::SleepMilliseconds(20);
    EXPECT_GE(static_cast<uint32_t>(mp::MonotonicMilliseconds() - m), 20u);
}

#include "platform/charset.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

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

TEST(Clock, NeverRunsBackwards) {
    uint32_t a = mp::MonotonicMilliseconds();
    uint32_t b = mp::MonotonicMilliseconds();
    EXPECT_LT(static_cast<uint32_t>(b - a), 1000u);
}

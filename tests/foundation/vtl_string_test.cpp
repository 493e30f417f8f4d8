#include "foundation/vtl/vtl_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_set>

using tovarineGameSDK3rd::VTL::Int64ToString;
using tovarineGameSDK3rd::VTL::memcompare;
using tovarineGameSDK3rd::VTL::ReplaceString;
using tovarineGameSDK3rd::VTL::VTLstring;
using NullPtr = tovarineGameSDK3rd::VTL::detail::null_pointer_exception;

namespace {

std::string Str(const VTLstring& s) { return std::string(s.c_str(), s.size()); }

// Runs f, expects E with exactly `message`, and checks that s did not change.
template <class E, class F>
void ExpectThrowUnchanged(VTLstring& s, F f, const char* message) {
    const std::string before = Str(s);
    const auto capacity = s.capacity();
    const bool had_buffer = s.has_buffer();
    try {
        f();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const E& e) {
        EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(Str(s), before);
    EXPECT_EQ(s.capacity(), capacity);
    EXPECT_EQ(s.has_buffer(), had_buffer);
}

TEST(VTLstringTest, DefaultIsEmptyTextWithoutBuffer) {
    VTLstring s;
    EXPECT_FALSE(s.has_buffer());
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_EQ(s.compare(""), 0);
    EXPECT_TRUE(s == "");
    EXPECT_STREQ(s.c_str(), "");
    EXPECT_EQ(*s.begin(), '\0');
    EXPECT_EQ(s.begin(), s.end());
}

TEST(VTLstringTest, CapacityGrowsByPowersOfTwoAboveTheNeed) {
    VTLstring s;
    s.assign("abc");
    EXPECT_EQ(s.capacity(), 8u);  // 4 bytes needed, strictly more: 8
    std::vector<unsigned> caps;
    for (char c = 'd'; c <= 'h'; ++c) {
        s.push_back(c);
        caps.push_back(s.capacity());
    }
    // 4..7 characters fit in 8 bytes; the 8th grows to 16.
    EXPECT_EQ(caps, (std::vector<unsigned>{8, 8, 8, 8, 16}));
    EXPECT_EQ(Str(s), "abcdefgh");

    VTLstring one("x");
    EXPECT_EQ(one.capacity(), 4u);  // P(2) = 4
    VTLstring r;
    r.Reserve(3);
    EXPECT_EQ(r.capacity(), 8u);
    EXPECT_EQ(r.size(), 0u);
    r.assign("ab");
    r.Reserve(20);
    EXPECT_EQ(r.capacity(), 32u);
    EXPECT_EQ(Str(r), "ab");
}

TEST(VTLstringTest, AssignFreesReplacesAndKeepsRoomOfAnEmptyString) {
    VTLstring s("hello");
    s.assign("x", 0);
    EXPECT_FALSE(s.has_buffer());
    EXPECT_EQ(s.capacity(), 0u);

    s.assign("0123456789");  // 11 bytes: 16
    EXPECT_EQ(s.capacity(), 16u);
    s.assign("ab");  // a non-empty string starts over: P(3) = 4
    EXPECT_EQ(s.capacity(), 4u);

    VTLstring e;
    e.Reserve(30);  // an empty string with room keeps it
    e.assign("abc");
    EXPECT_EQ(e.capacity(), 32u);

    s.assign(3, 'z');
    EXPECT_EQ(Str(s), "zzz");

    const VTLstring src("abcdef");
    s.assign(src, 2, 100);
    EXPECT_EQ(Str(s), "cdef");
    s.assign(src, 6, 5);
    EXPECT_EQ(Str(s), "");
    EXPECT_FALSE(s.has_buffer());
    s.assign(src, 1, 2);
    EXPECT_EQ(Str(s), "bc");
}

TEST(VTLstringTest, AssignFromItsOwnBuffer) {
    VTLstring s("abcdefgh");
    s.assign(s.c_str() + 2, 4);
    EXPECT_EQ(Str(s), "cdef");
    s.assign(s.c_str());
    EXPECT_EQ(Str(s), "cdef");
    const VTLstring& same = s;
    s = same;
    EXPECT_EQ(Str(s), "cdef");
    s.insert(1, s.c_str(), 4);  // in place, source moves under the insertion
    EXPECT_EQ(Str(s), "ccdefdef");
    s.append(s.c_str(), 8);  // growth path
    EXPECT_EQ(Str(s), "ccdefdefccdefdef");
}

TEST(VTLstringTest, ErrorsThrowTheirMessageAndLeaveTheStringAlone) {
    VTLstring s("abc");
    const char* null = nullptr;
    ExpectThrowUnchanged<NullPtr>(s, [&] { s.assign(null); },
                                  "in VTL::VTLstring::basic_string::assign(const char_type* s)");
    ExpectThrowUnchanged<NullPtr>(s, [&] { s.append(null); },
                                  "in VTL::VTLstring::basic_string::append(const char_type* s)");
    ExpectThrowUnchanged<NullPtr>(s, [&] { (void)s.compare(null); },
                                  "in VTL::VTLstring::basic_string::compare(const char_type* s) const");
    const VTLstring other("xy");
    ExpectThrowUnchanged<std::out_of_range>(
        s, [&] { s.assign(other, 3, 1); },
        "in VTL::VTLstring::basic_string::assign(const self_type& s, size_type pos, size_type n)");
    ExpectThrowUnchanged<std::out_of_range>(
        s, [&] { (void)s.substr(3); },
        "in VTL::VTLstring::basic_string::substr(size_type pos = 0,size_type n = npos) const");
    VTLstring empty;
    ExpectThrowUnchanged<std::out_of_range>(
        empty, [&] { (void)empty.substr(0); },
        "in VTL::VTLstring::basic_string::substr(size_type pos = 0,size_type n = npos) const");
    VTLstring::iterator detached;
    try {
        (void)*detached;
        ADD_FAILURE();
    } catch (const NullPtr& e) {
        EXPECT_STREQ(e.what(), "in VTL::VTLstring::basic_string::iterator::operator* () const");
    }
}

TEST(VTLstringTest, InsertAndErase) {
    VTLstring s("ace");
    s.insert(1, "b", 1);
    s.insert(VTLstring::npos, 1, 'f');
    s.insert(100, "g", 1);  // past the end means the end
    s.insert(3, 1, 'd');
    EXPECT_EQ(Str(s), "abcdefg");

    s.assign("abcdef");
    const auto cap = s.capacity();
    s.erase(2, VTLstring::npos);
    EXPECT_EQ(Str(s), "ab");
    EXPECT_EQ(s.capacity(), cap);
    s.erase(5, 1);  // past the end: nothing
    EXPECT_EQ(Str(s), "ab");

    s.assign("abcdef");
    s.erase(1, 2);
    EXPECT_EQ(Str(s), "adef");
    s.erase(2, 10);  // runs past the end: to the end, room kept
    EXPECT_EQ(Str(s), "ad");
    EXPECT_TRUE(s.has_buffer());
    s.erase(0, 2);  // exactly everything: emptied in place
    EXPECT_TRUE(s.has_buffer());
    EXPECT_EQ(s.size(), 0u);
    s.assign("abc");
    s.erase(0, VTLstring::npos);  // everything from 0: freed
    EXPECT_FALSE(s.has_buffer());
    EXPECT_EQ(s.capacity(), 0u);
}

TEST(VTLstringTest, CompareIsUnsignedThenByLength) {
    EXPECT_EQ(VTLstring("abc").compare("ab"), 1);
    EXPECT_EQ(VTLstring("a").compare("ab"), -1);
    EXPECT_EQ(VTLstring("ab").compare("ab"), 0);
    EXPECT_EQ(VTLstring("\x80").compare("z"), 1);
    EXPECT_EQ(VTLstring("z").compare("\x83\x41"), -1);
    EXPECT_LT(VTLstring("z"), VTLstring("\xE0"));
    EXPECT_EQ(memcompare("\x01\x02\x03\xFF", "\x01\x02\x03\x00", 4), 1);
    EXPECT_EQ(memcompare("\x01\x02", "\x01\x03", 2), -1);
    EXPECT_EQ(memcompare("a", "b", 0), 0);
    // Embedded NUL bytes count in the string compares.
    EXPECT_FALSE(VTLstring("a\0b", 3) == VTLstring("a\0c", 3));
    EXPECT_TRUE(VTLstring("a\0b", 3) == VTLstring("a\0b", 3));
}

TEST(VTLstringTest, SubstrAndConcatenation) {
    const VTLstring s("abcdef");
    EXPECT_EQ(Str(s.substr(2)), "cdef");
    EXPECT_EQ(Str(s.substr(1, 2)), "bc");
    EXPECT_EQ(Str(s.substr(5, 100)), "f");

    const VTLstring ab = VTLstring("ab") + VTLstring("cd");
    EXPECT_EQ(Str(ab), "abcd");
    EXPECT_EQ(ab.capacity(), 8u);  // Reserve(5)
    EXPECT_EQ(Str(VTLstring() + VTLstring()), "");
    EXPECT_EQ(Str('x' + VTLstring("yz")), "xyz");
    EXPECT_EQ(Str("data\\" + VTLstring("a.txt") + '!'), "data\\a.txt!");
    VTLstring t;
    t += "ab";
    t += VTLstring("cd");
    t += 'e';
    t.append("fgh", 2);
    EXPECT_EQ(Str(t), "abcdefg");
}

TEST(VTLstringTest, WorksAsAMapKey) {
    std::map<VTLstring, int> ordered{{"b", 2}, {"a", 1}, {"\x82\xa0", 3}};
    EXPECT_EQ(Str(ordered.begin()->first), "a");
    EXPECT_EQ(Str(ordered.rbegin()->first), "\x82\xa0");
    std::unordered_set<VTLstring> set{"x", "y"};
    EXPECT_EQ(set.count(VTLstring("x")), 1u);
    EXPECT_EQ(set.count(VTLstring("z")), 0u);
}

TEST(VTLstringTest, ToLowerSkipsDoubleByteCharacters) {
    VTLstring s("ABC\x83\x41Z");  // 83 41 is a katakana, its trail byte looks like 'A'
    s.ToLower();
    EXPECT_EQ(Str(s), "abc\x83\x41z");
}

TEST(VTLstringTest, Int64ToString) {
    EXPECT_EQ(Str(Int64ToString(0)), "0");
    EXPECT_EQ(Str(Int64ToString(-1)), "-1");
    EXPECT_EQ(Str(Int64ToString(4096)), "4096");
    EXPECT_EQ(Str(Int64ToString(INT64_MAX)), "9223372036854775807");
    EXPECT_EQ(Str(Int64ToString(INT64_MIN)), "-9223372036854775808");
}

TEST(VTLstringTest, ReplaceString) {
    VTLstring s("xabcx");
    EXPECT_EQ(ReplaceString(s, "ABC", "[%s]", false), 1);
    EXPECT_EQ(Str(s), "x[%s]x");

    s = "abcABC";
    EXPECT_EQ(ReplaceString(s, "ABC", "", true), 1);
    EXPECT_EQ(Str(s), "abc");

    s = "aaaa";  // matches do not overlap
    EXPECT_EQ(ReplaceString(s, "aa", "b", true), 2);
    EXPECT_EQ(Str(s), "bb");

    s = "none";
    EXPECT_EQ(ReplaceString(s, "x", "y", false), 0);
    EXPECT_EQ(Str(s), "none");
    EXPECT_EQ(ReplaceString(s, "", "y", false), 0);
    VTLstring empty;
    EXPECT_EQ(ReplaceString(empty, "a", "y", false), 0);

    // ソ is 83 5C: its trail byte is '\', which must not match inside the character.
    s = "\x83\x5C\\";
    EXPECT_EQ(ReplaceString(s, "\\", "/", false), 1);
    EXPECT_EQ(Str(s), "\x83\x5C/");
    // ア is 83 41: 'A' and 'a' match only outside it, also exact.
    s = "\x83\x41" "a";
    EXPECT_EQ(ReplaceString(s, "A", "b", false), 1);
    EXPECT_EQ(Str(s), "\x83\x41" "b");
    s = "\x83\x41" "A";
    EXPECT_EQ(ReplaceString(s, "A", "b", true), 1);
    EXPECT_EQ(Str(s), "\x83\x41" "b");
    // A double-byte character matches only whole.
    s = "x\x83\x41y\x83\x42";
    EXPECT_EQ(ReplaceString(s, "\x83\x41", "!", false), 1);
    EXPECT_EQ(Str(s), "x!y\x83\x42");
}

}  // namespace

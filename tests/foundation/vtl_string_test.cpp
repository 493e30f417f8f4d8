#include "foundation/vtl/vtl_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

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
    try {
        f();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const E& e) {
        EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(Str(s), before);
    EXPECT_EQ(s.capacity(), capacity);
}

TEST(VTLstringTest, CapacityIsThePowerOfTwoAboveTheNeed) {
    VTLstring s("abc");
    std::vector<unsigned> caps{s.capacity()};
    for (char c = 'd'; c <= 'h'; ++c) caps.push_back((s += c).capacity());
    // 3..7 characters fit in 8 bytes; the 8th grows to 16.
    EXPECT_EQ(caps, (std::vector<unsigned>{8, 8, 8, 8, 8, 16}));
    EXPECT_EQ(VTLstring("x").capacity(), 4u);
    VTLstring r;
    r.Reserve(3);
    EXPECT_EQ(r.capacity(), 8u);
    r.assign("ab");
    r.Reserve(20);
    EXPECT_EQ(r.capacity(), 32u);
    EXPECT_EQ(Str(r), "ab");
}

TEST(VTLstringTest, AssignFreesOrStartsOverButAnEmptyStringKeepsItsRoom) {
    VTLstring s("0123456789");
    EXPECT_EQ(s.capacity(), 16u);
    s.assign("ab");
    EXPECT_EQ(s.capacity(), 4u);
    s.assign("x", 0);
    EXPECT_FALSE(s.has_buffer());
    s.Reserve(30);
    s.assign(3, 'z');
    EXPECT_EQ(Str(s), "zzz");
    EXPECT_EQ(s.capacity(), 32u);

    const VTLstring src("abcdef");
    s.assign(src, 2, 100);
    EXPECT_EQ(Str(s), "cdef");
    s.assign(src, 6, 5);
    EXPECT_FALSE(s.has_buffer());
}

TEST(VTLstringTest, SourceInsideTheStringItself) {
    VTLstring s("abcdefgh");
    s.assign(s.c_str() + 2, 4);
    EXPECT_EQ(Str(s), "cdef");
    const VTLstring& same = s;
    s = same;
    s.insert(1, s.c_str(), 4);  // in place: the source moves under the insertion
    EXPECT_EQ(Str(s), "ccdefdef");
    s.append(s.c_str(), 8);  // growth
    EXPECT_EQ(Str(s), "ccdefdefccdefdef");
}

TEST(VTLstringTest, ErrorsThrowTheirMessageAndLeaveTheStringAlone) {
    VTLstring s("abc"), empty;
    const char* null = nullptr;
    ExpectThrowUnchanged<NullPtr>(s, [&] { s.assign(null); },
                                  "in VTL::VTLstring::basic_string::assign(const char_type* s)");
    ExpectThrowUnchanged<NullPtr>(s, [&] { s.append(null); },
                                  "in VTL::VTLstring::basic_string::append(const char_type* s)");
    ExpectThrowUnchanged<NullPtr>(s, [&] { (void)s.compare(null); },
                                  "in VTL::VTLstring::basic_string::compare(const char_type* s) const");
    ExpectThrowUnchanged<std::out_of_range>(
        s, [&] { s.assign(VTLstring("xy"), 3, 1); },
        "in VTL::VTLstring::basic_string::assign(const self_type& s, size_type pos, size_type n)");
    const char* substr_message = "in VTL::VTLstring::basic_string::substr(size_type pos = 0,size_type n = npos) const";
    ExpectThrowUnchanged<std::out_of_range>(s, [&] { (void)s.substr(3); }, substr_message);
    ExpectThrowUnchanged<std::out_of_range>(empty, [&] { (void)empty.substr(0); }, substr_message);
    ExpectThrowUnchanged<NullPtr>(empty, [] { (void)*VTLstring::iterator(); },
                                  "in VTL::VTLstring::basic_string::iterator::operator* () const");
}

TEST(VTLstringTest, InsertAndErase) {
    VTLstring s("ace");
    s.insert(1, "b", 1).insert(VTLstring::npos, 1, 'f').insert(100, "g", 1).insert(3, 1, 'd');
    EXPECT_EQ(Str(s), "abcdefg");

    s.assign("abcdef");
    s.erase(1, 2);
    EXPECT_EQ(Str(s), "adef");
    s.erase(9, 1);
    s.erase(2, 10);  // runs past the end: to the end, room kept
    EXPECT_EQ(Str(s), "ad");
    EXPECT_EQ(s.capacity(), 8u);
    s.erase(0, 2);  // exactly everything: emptied in place
    EXPECT_TRUE(s.has_buffer());
    s.assign("abc");
    s.erase(0, VTLstring::npos);  // everything from 0: freed
    EXPECT_FALSE(s.has_buffer());
}

TEST(VTLstringTest, CompareIsUnsignedThenByLength) {
    EXPECT_EQ(VTLstring("abc").compare("ab"), 1);
    EXPECT_EQ(VTLstring("a").compare("ab"), -1);
    EXPECT_EQ(VTLstring("ab").compare("ab"), 0);
    EXPECT_EQ(VTLstring("\x80").compare("z"), 1);
    EXPECT_LT(VTLstring("z"), VTLstring("\xE0"));
    EXPECT_EQ(memcompare("\x01\x02\x03\x04\xFF", "\x01\x02\x03\x04\x00", 5), 1);
    EXPECT_EQ(memcompare("a", "b", 0), 0);
    EXPECT_NE(VTLstring("a\0b", 3), VTLstring("a\0c", 3));  // NUL bytes count

    std::map<VTLstring, int> ordered{{"b", 2}, {"\x82\xa0", 3}, {"a", 1}};
    EXPECT_EQ(Str(ordered.begin()->first), "a");
    EXPECT_EQ(Str(ordered.rbegin()->first), "\x82\xa0");
    EXPECT_EQ(std::unordered_set<VTLstring>({"x", "y"}).count("x"), 1u);
}

TEST(VTLstringTest, SubstrConcatenationAndNumbers) {
    const VTLstring s("abcdef");
    EXPECT_EQ(Str(s.substr(2)), "cdef");
    EXPECT_EQ(Str(s.substr(5, 100)), "f");
    const VTLstring abcd = VTLstring("ab") + VTLstring("cd");
    EXPECT_EQ(Str(abcd), "abcd");
    EXPECT_EQ(abcd.capacity(), 8u);
    EXPECT_EQ(Str('x' + VTLstring("yz")), "xyz");
    EXPECT_EQ(Str("data\\" + VTLstring("a.txt") + '!'), "data\\a.txt!");
    EXPECT_EQ(Str(Int64ToString(-1)), "-1");
    EXPECT_EQ(Str(Int64ToString(4096)), "4096");
    EXPECT_EQ(Str(Int64ToString(INT64_MIN)), "-9223372036854775808");
}

TEST(VTLstringTest, ReplaceStringAndToLowerStepOverDoubleByteCharacters) {
    struct Case {
        const char *text, *from, *to;
        bool exact;
        int count;
        const char* result;
    };
    const Case cases[] = {
        {"xabcx", "ABC", "[%s]", false, 1, "x[%s]x"},
        {"abcABC", "ABC", "", true, 1, "abc"},
        {"aaaa", "aa", "b", true, 2, "bb"},  // matches do not overlap
        {"none", "x", "y", false, 0, "none"},
        {"none", "", "y", false, 0, "none"},
        {"", "a", "y", false, 0, ""},
        // ソ is 83 5C: its trail byte is '\', never matched inside the character
        {"\x83\x5C\\", "\\", "/", false, 1, "\x83\x5C/"},
        {"\x83\x5C\\", "\\", "/", true, 1, "\x83\x5C/"},
        // ア is 83 41: 'A' matches only outside it
        {"\x83\x41" "a", "A", "b", false, 1, "\x83\x41" "b"},
        // a double-byte character matches only whole, its trail byte exactly
        {"x\x83\x41y\x83\x61", "\x83\x41", "!", false, 1, "x!y\x83\x61"},
    };
    for (const Case& c : cases) {
        VTLstring s(c.text);
        EXPECT_EQ(ReplaceString(s, c.from, c.to, c.exact), c.count) << c.text << " / " << c.from;
        EXPECT_EQ(Str(s), c.result) << c.text << " / " << c.from;
    }
    VTLstring all("abab");
    ReplaceString(all, "ab", "", true);
    EXPECT_FALSE(all.has_buffer());  // emptied as by assigning the empty text

    VTLstring lower("ABC\x83\x41Z");
    lower.ToLower();
    EXPECT_EQ(Str(lower), "abc\x83\x41z");
}

}  // namespace

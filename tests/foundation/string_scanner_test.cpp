#include "foundation/auxiliary/string_scanner.h"
#include "foundation/vtl/exception.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using tovarineGameSDK3rd::Auxiliary::CStringScanner;
using tovarineGameSDK3rd::VTL::CRuntimeException;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

std::string S(const VTLstring& v) { return std::string(v.c_str(), v.size()); }

}  // namespace

TEST(StringScanner, LeadBytesAndHexDigits) {
    // Every byte, through the one test of the lead byte.
    for (int b = 0; b <= 0xFF; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const auto c = static_cast<unsigned char>(b);
        EXPECT_EQ(CStringScanner::IsSJISLeadByte(c), lead) << b;
    }
    for (auto [c, v] : {std::pair{'0', 0}, std::pair{'9', 9}, std::pair{'A', 10}, std::pair{'f', 15}}) {
        EXPECT_EQ(CStringScanner::HexToInt(c), v) << c;
    }
    for (char c : {'g', 'G', '/', ':', '@', '`', '\0'}) {
        try {
            CStringScanner::HexToInt(c);
            ADD_FAILURE() << "no throw for " << int(c);
        } catch (const CRuntimeException& e) {
            EXPECT_EQ(S(e.getMessage()), "実行時例外（範囲外の数値が指定されている)");
        }
    }
}

TEST(StringScanner, EndTestsSkipBlanksOnly) {
    const char* p = " \t\r\n";
    EXPECT_TRUE(CStringScanner::IsEnd(&p));
    EXPECT_EQ(*p, '\0');
    p = " ,x";
    EXPECT_FALSE(CStringScanner::IsEnd(&p));
    EXPECT_EQ(*p, ',');
    EXPECT_FALSE(CStringScanner::SkipBlanksAndCommas(&p));
    EXPECT_EQ(*p, 'x');
    p = ", ,\r\n";
    EXPECT_TRUE(CStringScanner::SkipBlanksAndCommas(&p));
}

TEST(StringScanner, GetNum) {
    int n = 77;
    const char* p = "  -12x";
    EXPECT_EQ(CStringScanner::GetNum(&p, &n), 0);
    EXPECT_EQ(n, -12);
    EXPECT_EQ(*p, 'x');
    p = "-x";
    EXPECT_EQ(CStringScanner::GetNum(&p, &n), 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(*p, 'x');  // the sign stays consumed
    n = 77;
    p = " \t\r\n";
    EXPECT_EQ(CStringScanner::GetNum(&p, &n), -1);
    EXPECT_EQ(n, 77);
    // Past 32 bits the value wraps.
    const std::pair<const char*, int> edges[] = {
        {"+2147483647", 2147483647}, {"2147483648", -2147483647 - 1}, {"-2147483648", -2147483647 - 1}, {"4294967297", 1}};
    for (const auto& [text, want] : edges) {
        p = text;
        EXPECT_EQ(CStringScanner::GetNum(&p, &n), 0) << text;
        EXPECT_EQ(n, want) << text;
    }
}

TEST(StringScanner, GetNextTokenWithEmptyFields) {
    int n = -1;
    const char* p = "1,,3";
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, true), 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, true), 0);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, true), 0);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, true), 2);  // the end is no number here
    p = "1/2\t3";
    for (int want : {1, 2, 3}) {
        EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, true), 0);
        EXPECT_EQ(n, want);
    }
    p = "x,5";
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, true), 2);
    EXPECT_EQ(*p, 'x');
    p = " 7 ,8";  // blanks before the number, not between it and the separator
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, true), 0);
    EXPECT_EQ(*p, ' ');
}

TEST(StringScanner, GetNextTokenWithoutEmptyFields) {
    int n = -1;
    const char* p = "1, 2";
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, false), 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(*p, ',');  // left for the next call
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, false), 0);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, false), 1);
    p = ",,abc";
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, false), 2);
    p = "1/2";  // '/' is no comma: the second call finds no digits
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, false), 0);
    EXPECT_EQ(CStringScanner::GetNextToken(&p, &n, false), 2);
}

TEST(StringScanner, GetNum64) {
    int64_t v = 5;
    EXPECT_EQ(CStringScanner::GetNum64("-9000000000", &v), 0);
    EXPECT_EQ(v, -9000000000LL);
    EXPECT_EQ(CStringScanner::GetNum64("+5", &v), 1);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(CStringScanner::GetNum64("12abc", &v), 0);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(CStringScanner::GetNum64(" 1", &v), 1);
    EXPECT_EQ(CStringScanner::GetNum64("", &v), 1);
    EXPECT_EQ(CStringScanner::GetNum64("-", &v), 1);
    EXPECT_EQ(CStringScanner::GetNum64("9223372036854775807", &v), 0);
    EXPECT_EQ(v, INT64_MAX);
    EXPECT_EQ(CStringScanner::GetNum64("-9223372036854775808", &v), 0);
    EXPECT_EQ(v, INT64_MIN);
}

TEST(StringScanner, GetStrings) {
    const char* p = "\"a b\" c";
    EXPECT_EQ(S(CStringScanner::GetStrings(&p)), "a b");
    EXPECT_EQ(S(CStringScanner::GetStrings(&p)), "c");
    EXPECT_EQ(*p, '\0');
    EXPECT_EQ(S(CStringScanner::GetStrings(&p)), "");
    p = "abc\r\n";  // CR ends no unquoted token
    EXPECT_EQ(S(CStringScanner::GetStrings(&p)), "abc\r");
    EXPECT_EQ(*p, '\n');
    p = " \"x\ny\tz";  // an unclosed quote runs to the end
    EXPECT_EQ(S(CStringScanner::GetStrings(&p)), "x\ny\tz");
    EXPECT_EQ(*p, '\0');
    p = "\"\"next";
    EXPECT_EQ(S(CStringScanner::GetStrings(&p)), "");
    EXPECT_EQ(*p, 'n');
}

TEST(StringScanner, WordAndTerminatedTokens) {
    const char* p = "ab\tc";
    EXPECT_EQ(S(CStringScanner::GetWord(&p)), "ab");
    EXPECT_EQ(*p, '\t');
    EXPECT_EQ(S(CStringScanner::GetWord(&p)), "");
    p = " x";
    EXPECT_EQ(S(CStringScanner::GetWord(&p)), "");
    p = "a,b/c";
    EXPECT_EQ(S(CStringScanner::GetCommaToken(&p)), "a");
    EXPECT_EQ(*p, ',');
    EXPECT_EQ(S(CStringScanner::GetCommaToken(&p)), "");
    ++p;
    EXPECT_EQ(S(CStringScanner::GetCommaToken(&p)), "b");
    EXPECT_EQ(*p, '/');
    p = "key=value";
    EXPECT_EQ(S(CStringScanner::GetStrTo(&p, '=')), "key");
    EXPECT_EQ(*p, '=');
    EXPECT_EQ(S(CStringScanner::GetStrTo(&p, '=')), "");
    p = "no end";
    EXPECT_EQ(S(CStringScanner::GetStrTo(&p, ';')), "no end");
    EXPECT_EQ(*p, '\0');
}

TEST(StringScanner, DoubleByteCharactersAreTakenWhole) {
    // ソ is 83 5C: its trail byte is no '\' terminator. A lone lead byte at the
    // end stops at the NUL.
    char text[] = "d\x83\x5C\\f";
    char* p = text;
    EXPECT_EQ(S(CStringScanner::GetStrTo(&p, '\\')), "d\x83\x5C");
    EXPECT_EQ(*p, '\\');
    const char* q = "\x83";
    EXPECT_EQ(S(CStringScanner::GetStrTo(&q, '\\')), "\x83");
    EXPECT_EQ(*q, '\0');
    q = "\x82\xA0 x";
    EXPECT_EQ(S(CStringScanner::GetWord(&q)), "\x82\xA0");
}

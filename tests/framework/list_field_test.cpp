// The field readers: what each reads and where it leaves the cursor.
#include "framework/list_field.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace KestraneGameBase2;

TEST(ListField, EachReaderReadsItsFieldAndLeavesTheCursorAfterIt) {
    struct Row { const char* in; std::string read; const char* rest; };
    auto field = [](const char** p) { return std::string(ReadListField(p).c_str()); };
    auto number = [](auto reader) { return [reader](const char** p) { return std::to_string(reader(p)); }; };
    auto real = [](const char** p) { return std::to_string(ReadListDouble(p)); };
    const std::pair<std::function<std::string(const char**)>, std::vector<Row>> readers[] = {
        {field, {{"abc//def\tx", "abc", "x"}, {"\"a\tb\"\tc", "a\tb", "c"}, {"\"q//x\"\ty", "q", "y"},
                 {"a\nb", "a", "b"}, {"\"open", "open", ""}, {"\"\"", "", ""}, {"", "", ""}}},
        {number(ReadListInt), {{"-12\tx", "-12", "x"}, {"12a\t", "12", ""}, {" 7\t", "0", ""}, {"x", "0", ""}}},
        {number(ReadListCommaInt), {{" 12,34", "12", "34"}, {"4\t10", "4", ""}, {",5", "0", "5"}}},
        {real, {{"-1.25\tx", std::to_string(-1.25), "x"}, {"3.123456789\t", std::to_string(3.12345678), ""},
                {"1.5 \t", std::to_string(1.5), ""}, {"1.5//x", std::to_string(1.5), ""},
                {"2.A", std::to_string(3.0), ""}, {"-.5\t1", "0.000000", "1"}, {"7\t", std::to_string(7.0), ""}}},
    };
    for (const auto& [reader, rows] : readers) {
        for (const Row& r : rows) {
            const char* p = r.in;
            EXPECT_EQ(reader(&p), r.read) << r.in;
            EXPECT_STREQ(p, r.rest) << r.in;
        }
    }
    const char* p = "3.123456789";
    EXPECT_DOUBLE_EQ(ReadListDouble(&p), 3 + 0.1 + 0.02 + 0.003 + 0.0004 + 0.00005 + 0.000006 + 0.0000007 + 0.00000008);
}

TEST(ListField, LinesEndOnlyAtCarriageReturnLineFeed) {
    std::vector<std::string> lines;
    ForEachListLine(std::string_view("a\r\nb\rc\n\r\n\r\nd\0e", 14),
                    [&](const auto& line) { lines.emplace_back(line.c_str(), line.size()); });
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b\rc\n", "", std::string("d\0e", 3)}));
}

}  // namespace

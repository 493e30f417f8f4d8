#include "foundation/vtl/exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

using namespace tovarineGameSDK3rd::VTL;

namespace {

struct MessageCase {
    const char* name;
    std::function<void()> raise;
    const char* bytes;  // Shift-JIS
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

class ExceptionMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ExceptionMessageTest, MessageIsExactShiftJis) {
    try {
        GetParam().raise();
        ADD_FAILURE() << "nothing thrown";
    } catch (const CException& e) {  // caught through the base: getMessage is virtual
        const VTLstring m = e.getMessage();
        EXPECT_EQ(std::string(m.c_str(), m.size()), std::string(GetParam().bytes));
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, ExceptionMessageTest,
    ::testing::Values(
        MessageCase{"Base", [] { throw CException(); }, ""},
        // "Null pointerからのアクセス"
        MessageCase{"NullPointer", [] { throw CNullPointerException(); },
                    "Null pointer\x82\xa9\x82\xe7\x82\xcc\x83\x41\x83\x4e\x83\x5a\x83\x58"},
        // "配列範囲外へのメモリへのアクセス"
        MessageCase{"IndexOutOfBounds", [] { throw CIndexOutOfBoundsException(); },
                    "\x94\x7a\x97\xf1\x94\xcd\x88\xcd\x8a\x4f\x82\xd6\x82\xcc\x83\x81\x83\x82\x83\x8a\x82\xd6"
                    "\x82\xcc\x83\x41\x83\x4e\x83\x5a\x83\x58"},
        // "実行時例外（範囲外の数値が指定されている)"
        MessageCase{"RuntimeEmpty", [] { throw CRuntimeException(); },
                    "\x8e\xc0\x8d\x73\x8e\x9e\x97\xe1\x8a\x4f\x81\x69\x94\xcd\x88\xcd\x8a\x4f\x82\xcc\x90\x94"
                    "\x92\x6c\x82\xaa\x8e\x77\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xe9)"},
        MessageCase{"RuntimeGiven", [] { throw CRuntimeException("bad hex"); }, "bad hex"},
        MessageCase{"Syntax", [] { throw CSyntaxException("missing argument"); }, "missing argument"},
        MessageCase{"SyntaxEmpty", [] { throw CSyntaxException(); }, ""},
        // "InterruptedException例外が発生"
        MessageCase{"Interrupted", [] { throw CInterruptedException(); },
                    "InterruptedException\x97\xe1\x8a\x4f\x82\xaa\x94\xad\x90\xb6"},
        // "CIllegalMonitorStateException例外が発生"
        MessageCase{"IllegalMonitorState", [] { throw CIllegalMonitorStateException(); },
                    "CIllegalMonitorStateException\x97\xe1\x8a\x4f\x82\xaa\x94\xad\x90\xb6"}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

}  // namespace

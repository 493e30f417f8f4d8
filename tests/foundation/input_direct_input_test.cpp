#include "foundation/input/direct_input.h"
#include "tests/common/checked_input_scope.h"
#include "tests/common/log_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace in = tovarineGameSDK3rd::Input;
namespace mt = morna::test;
namespace r = morna::platform::input_result;

namespace {

using MakeCase = mt::InputMakeCase;

const MakeCase kMakeCases[] = {
    {"Ready", [](mt::FakeSystem&) {}, 0},
    {"ServiceVersion3", [](mt::FakeSystem& s) { s.initialize5 = r::kFail; }, 1},
    {"LibraryVersion3", [](mt::FakeSystem& s) { s.serviceObject = false; s.initialize5 = r::kFail; }, 2},
    {"LibraryVersion5", [](mt::FakeSystem& s) { s.serviceObject = false; }, 0},
    {"NoLibrary", [](mt::FakeSystem& s) { s.serviceObject = false; s.library = false; }, 3},
    {"NoEntry", [](mt::FakeSystem& s) { s.serviceObject = false; s.createEntry = false; }, 3},
    {"CreateFails", [](mt::FakeSystem& s) { s.serviceObject = false; s.libraryCreate = r::kFail; }, 3},
    {"NoInitialize", [](mt::FakeSystem& s) { s.initialize5 = s.initialize3 = r::kFail; }, 5},
    {"LibraryNoInitialize",
     [](mt::FakeSystem& s) { s.serviceObject = false; s.initialize5 = s.initialize3 = r::kFail; }, 5},
};

class DirectInputMakeTest : public ::testing::TestWithParam<MakeCase> {};

TEST_P(DirectInputMakeTest, Status) {
    const MakeCase& c = GetParam();
    mt::FakeSystem sys;
    c.setup(sys);
    // Everything made is released, the library last, as the scope checks.
    mt::CheckedInputScope scope(sys);
    mt::LogCapture log;
    in::CDirectInput di;
    EXPECT_EQ(di.GetStatus(), c.status);
    EXPECT_EQ(di.Get() != nullptr, c.status != 3);
}

INSTANTIATE_TEST_SUITE_P(Steps, DirectInputMakeTest, ::testing::ValuesIn(kMakeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

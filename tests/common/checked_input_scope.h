// Test helper: the fake keyboard's scope for a test suite, which checks when it ends that the
// keyboard's input objects were gone before their library closed and that nothing the fake made
// outlives the scope. Declare it before what uses the keyboard, so that it ends after.
// (fake_input_provider.h itself stays free of the test framework for the headless driver.)
#pragma once

#include <gtest/gtest.h>

#include "tests/common/fake_input_provider.h"

namespace morna::test {

class CheckedInputScope : public FakeInputScope {
public:
    explicit CheckedInputScope(FakeSystem& system) : FakeInputScope(system), system_(system) {}
    ~CheckedInputScope() {
        EXPECT_EQ(system_.objectsAtLibraryClose, 0) << "input objects alive when their library closed";
        EXPECT_EQ(system_.liveObjects, 0) << "input objects outlive the keyboard's scope";
        EXPECT_EQ(system_.liveDevices, 0) << "keyboard devices outlive the keyboard's scope";
        EXPECT_EQ(system_.liveLibraries, 0) << "input libraries outlive the keyboard's scope";
    }
    CheckedInputScope(const CheckedInputScope&) = delete;
    CheckedInputScope& operator=(const CheckedInputScope&) = delete;

private:
    const FakeSystem& system_;
};

}  // namespace morna::test

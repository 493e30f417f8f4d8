#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

namespace mp = morna::platform;

// The hook's recording is read by the framework's tests; here the box itself fails cleanly.
TEST(MessageBox, WithoutADisplayOrWithBadTextTheAnswerIsZeroWithAReason) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    for (const char* text : {"本文", "\x81"}) {  // "\x81": a lead byte without its trail
        std::string error;
        EXPECT_EQ(mp::ShowMessageBox({0, text, "題", mp::MB_OKCANCEL | mp::MB_ICONERROR}, &error), 0);
        EXPECT_FALSE(error.empty());
    }
    if (display) setenv("DISPLAY", saved.c_str(), 1);
}

}  // namespace

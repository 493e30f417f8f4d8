// The browser's start with a stand-in xdg-open found through PATH, which writes the arguments
// it was given: the address reaches it whole, and no shell reads it.
#include "platform/browser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TEST(Browser, TheAddressIsXdgOpensOneArgumentAndAFailedStartSaysWhy) {
    const fs::path folder = fs::temp_directory_path() / ("morna-browser-" + std::to_string(::getpid()));
    fs::create_directories(folder / "empty");
    // PATH holds only this folder while it runs: the shell's own cd and printf, and /bin/mv.
    std::ofstream(folder / "xdg-open") << "#!/bin/sh\ncd '" << folder.string()
                                       << "'\nprintf '%s|' \"$#\" \"$@\" > args.tmp\n/bin/mv args.tmp args\n";
    fs::permissions(folder / "xdg-open", fs::perms::owner_all);
    const std::string path = std::getenv("PATH"), address = "http://127.0.0.1/a b;touch pwned $(touch pwned) 'q\"";
    ::setenv("PATH", folder.c_str(), 1);
    std::string error;
    EXPECT_TRUE(morna::platform::OpenBrowser(address, &error)) << error;
    for (int i = 0; i < 6000 && !fs::exists(folder / "args"); ++i) ::usleep(10000);  // it runs on its own
    std::stringstream args;
    args << std::ifstream(folder / "args").rdbuf();
    EXPECT_EQ(args.str(), "1|" + address + "|");
    EXPECT_FALSE(fs::exists(folder / "pwned"));
    for (const char* refused : {"", "--help"}) EXPECT_FALSE(morna::platform::OpenBrowser(refused)) << refused;
    ::setenv("PATH", (folder / "empty").c_str(), 1);
    EXPECT_FALSE(morna::platform::OpenBrowser("http://127.0.0.1/", &error));
    EXPECT_NE(error.find("xdg-open could not be started"), std::string::npos) << error;
    ::setenv("PATH", path.c_str(), 1);
    fs::remove_all(folder);
}

// The program's entry, run as the built game in folders of its own (SDL's dummy video): the
// early exit, one instance per executable path, and the exit without a display.
#include <SDL.h>
#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "game/app.h"
#include "tests/common/game_process.h"

namespace {

using morna::test::Finish;
using morna::test::GameFolder;
using morna::test::Started;

TEST(Entry, DeleteSaveInFrontEndsAtOnceWithNothingOnDisk) {
    using Args = std::vector<std::string>;
    for (const Args& args : {Args{"deletesave"}, Args{"deletesav"}, Args{"deletesav", "x"}}) {
        GameFolder game("g");
        EXPECT_EQ(Finish(game.Start(args), 60), 0) << args[0];
        const auto entries = std::filesystem::directory_iterator(game / "");
        EXPECT_EQ(std::distance(begin(entries), end(entries)), 2) << "only the game and its data";
    }
    // Only with the normal show state, and only with the first nine characters.
    EXPECT_FALSE(EndsAtOnce("deletesave", 2));
    EXPECT_FALSE(EndsAtOnce("deletesa", 1));
}

TEST(Entry, AsksNotToBeCompositedBeforeTheEarlyExit) {
    const auto folder = std::filesystem::current_path();  // it enters the test program's folder
    const std::string locale = std::setlocale(LC_CTYPE, nullptr);
    EXPECT_EQ(MornaMain("deletesave", 1), 0);
    std::filesystem::current_path(folder);
    std::setlocale(LC_CTYPE, locale.c_str());
    EXPECT_STREQ(SDL_GetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR), "1");
}

TEST(Entry, OneInstancePerExecutablePath) {
    // The folder's name holds ソ, whose second Shift-JIS byte is a backslash.
    GameFolder first(reinterpret_cast<const char*>(u8"ソフト"));
    const pid_t running = first.Start({"deletesa"});
    ASSERT_TRUE(Started(running, first / "save/key.cfg")) << first.Stderr();
    EXPECT_EQ(Finish(first.Start({}), 60), 0);  // a second start from the same path
    GameFolder other("other");
    const pid_t copy = other.Start({});
    EXPECT_TRUE(Started(copy, other / "save/key.cfg")) << other.Stderr();
    EXPECT_EQ(Finish(copy, 0), -1);
    EXPECT_EQ(Finish(running, 0), -1);  // both were still running
}

TEST(Entry, TerminationSignalsCloseTheGameAsItsCloseBoxDoes) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        GameFolder game("g");
        const pid_t running = game.Start({});
        ASSERT_TRUE(Started(running, game / "save/key.cfg")) << game.Stderr();
        EXPECT_FALSE(std::filesystem::exists(game / "save/system.cfg"));
        ::kill(running, signal);
        EXPECT_EQ(Finish(running, 60), 0) << signal;
        EXPECT_TRUE(std::filesystem::exists(game / "save/system.cfg")) << signal;  // the exit save
    }
}

TEST(Entry, WithoutADisplayTheGameSaysWhyAndFails) {
    GameFolder game("g");
    EXPECT_EQ(Finish(game.Start({}, {{"SDL_VIDEODRIVER", "none"}}), 60), 1);
    EXPECT_NE(game.Stderr().find("morna: no window could be made: "), std::string::npos) << game.Stderr();
    // The error log reaches standard error as dated UTF-8 lines.
    const std::string line = reinterpret_cast<const char*>(u8" CWindow::CreateでCreateWindowに失敗。\n");
    const size_t at = game.Stderr().find(line);
    ASSERT_NE(at, std::string::npos) << game.Stderr();
    ASSERT_GE(at, 19u);
    EXPECT_EQ(game.Stderr()[at - 3], ':');
}

// Where no display can be reached (a text console, ssh without forwarding, DISPLAY naming a server
// that is not there), SDL would fall back on a driver that draws nowhere: the game would play on
// with no window to see or close, and hold the single instance against the next start.
TEST(Entry, WithNoDisplayToReachTheGameEndsSayingWhichItLookedFor) {
    int absent = 600;  // an X display number nobody serves
    while (std::filesystem::exists("/tmp/.X" + std::to_string(absent) + "-lock") ||
           std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(absent)))
        ++absent;
    const std::string nowhere = ":" + std::to_string(absent);
    struct Case {
        const char* display;
        std::string said;
    };
    for (const Case& c : {Case{nullptr, "X11: DISPLAY is not set"},
                          Case{nowhere.c_str(), "X11: no X server answers at DISPLAY \"" + nowhere + "\""}}) {
        GameFolder game("g");
        // No compositor either: the runtime folder where Wayland looks for one is empty.
        std::filesystem::create_directories(game / "runtime");
        const pid_t lost = game.Start({}, {{"SDL_VIDEODRIVER", nullptr},
                                           {"DISPLAY", c.display},
                                           {"WAYLAND_DISPLAY", nullptr},
                                           {"XDG_RUNTIME_DIR", (game / "runtime").c_str()}});
        EXPECT_EQ(Finish(lost, 60), 1) << game.Stderr();
        const std::string why = "morna: no window could be made: no display could be opened (" + c.said +
                                "; Wayland: no compositor at the default display)";
        EXPECT_NE(game.Stderr().find(why), std::string::npos) << game.Stderr();
        // The next start, where a display is there, is not taken for a second instance: it plays until
        // closed, and saves at its exit.
        std::filesystem::remove_all(game / "save");
        const pid_t next = game.Start({});
        ASSERT_TRUE(Started(next, game / "save/key.cfg")) << game.Stderr();
        ::kill(next, SIGTERM);
        EXPECT_EQ(Finish(next, 60), 0);
        EXPECT_TRUE(std::filesystem::exists(game / "save/system.cfg"));
    }
}

}  // namespace

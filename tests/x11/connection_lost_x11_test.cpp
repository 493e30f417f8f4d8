// The X server ends under a running application (killed, or shut down): the process ends as Xlib
// ends it, exit code 1, without waiting on the dead connection. Each round runs a server of its own
// and the application in a child process, since the loss ends the process.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/appframe/app_base.h"
#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/thread_manager.h"
#include "tests/common/process_state.h"

#include "tests/x11/x_view.h"  // last: Xlib's macros

// SDL's teardown of a window asks the server whether it is mapped and, on a failed request, reads
// the answer's state unset: whatever the stack held. Mapped, it waits for the window's unmap notice,
// which a dead connection never brings. Here a failed request always says mapped, the worst case,
// so that a teardown on the dead connection is met every time rather than now and then.
extern "C" Status XGetWindowAttributes(Display* display, Window window, XWindowAttributes* out) {
    using Real = Status (*)(Display*, Window, XWindowAttributes*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "XGetWindowAttributes"));
    const Status ok = real(display, window, out);
    if (!ok) out->map_state = IsViewable;
    return ok;
}

namespace sdk = tovarineGameSDK3rd;
using morna::test::XView;

namespace {

// Shows its window, says so on `ready`, and pumps until the lost connection ends the process.
class App : public sdk::AppFrame::CAppBase {
public:
    explicit App(int ready) : ready_(ready) {}
    void MainThread() override {
        XView x;
        const Window w = XView::Of(GetHWnd());
        const uint32_t start = SDL_GetTicks();
        while (!(x.get() && w != 0 && x.Read(w).viewable)) {
            if (SDL_GetTicks() - start > 20000) return;
            IsThreadValid();
            SDL_Delay(10);
        }
        if (write(ready_, "1\n", 2) == 2) CAppBase::MainThread();
    }

private:
    int ready_;
};

// What is written on `fd` up to a newline, the end of the pipe or `ms`: the server writes its
// display's number and then the newline, and ends when the pipe is closed between the two.
std::string ReadLine(int fd, int ms) {
    const uint32_t start = SDL_GetTicks();
    std::string got;
    for (;;) {
        const int left = ms - static_cast<int>(SDL_GetTicks() - start);
        pollfd p{fd, POLLIN, 0};
        char c = 0;
        if (left <= 0 || poll(&p, 1, left) <= 0 || read(fd, &c, 1) != 1 || c == '\n') return got;
        got += c;
    }
}

// A server of its own, on the first free display: its pid, and the display's name.
pid_t StartServer(std::string& display) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    const std::string number = ReadLine(pipeFds[0], 20000);
    close(pipeFds[0]);
    display = number.empty() ? "" : ":" + number;
    return pid;
}


}  // namespace

TEST(X11ConnectionLost, TheServerEndingEndsTheApplicationWithItsWindowsLeft) {
    for (const int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal == SIGKILL ? "server killed" : "server shut down");
        std::string display;
        const pid_t server = StartServer(display);
        ASSERT_GT(server, 0);
        ASSERT_FALSE(display.empty()) << "the server named no display within 20 s";

        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t app = fork();
        if (app == 0) {
            close(ready[0]);
            setenv("DISPLAY", display.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "x11", 1);
            {
                sdk::AppFrame::CAppInitializer init(nullptr, nullptr, "", 1);
                sdk::Thread::CThreadManager::StartThread(new App(ready[1]));
            }
            _exit(3);  // the window was never shown
        }
        close(ready[1]);
        const std::string shown = ReadLine(ready[0], 30000);
        close(ready[0]);
        if (shown != "1") {
            kill(app, SIGKILL);
            kill(server, SIGKILL);
            waitpid(app, nullptr, 0);
            waitpid(server, nullptr, 0);
            FAIL() << "the application's window was not shown on " << display << " within 30 s";
        }

        kill(server, signal);
        waitpid(server, nullptr, 0);
        const uint32_t lost = SDL_GetTicks();
        int status = 0;
        pid_t ended = 0;
        while ((ended = waitpid(app, &status, WNOHANG)) == 0 && SDL_GetTicks() - lost < 10000) SDL_Delay(10);
        if (ended == 0) {
            const double cpu = morna::test::CpuSeconds(app);
            kill(app, SIGKILL);
            waitpid(app, nullptr, 0);
            FAIL() << "still running 10 s after its server ended, " << cpu << " s of CPU used in all";
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1)
            << "status " << status << (WIFSIGNALED(status) ? " (signal)" : "");
    }
}

// The X server ends under a running application (killed, or shut down): the process ends as Xlib
// ends it, exit code 1, without waiting on the dead connection, and says so on its standard error
// where that takes the line at once. Each round runs a server of its own and the application in a
// child process, since the loss ends the process.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

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

// The application's standard error as its server ends: a pipe the test reads, held by another of its
// threads (a stream's lock, which every write of the stream takes), or a pipe full, nobody reading.
enum class Stderr { Read, LockedByAThread, Full };

// Shows its window, holds its standard error as `stderrAs` says, says so on `ready`, and pumps until
// the lost connection ends the process.
class App : public sdk::AppFrame::CAppBase {
public:
    App(int ready, Stderr stderrAs) : ready_(ready), stderrAs_(stderrAs) {}
    void MainThread() override {
        XView x;
        const Window w = XView::Of(GetHWnd());
        const uint32_t start = SDL_GetTicks();
        while (!(x.get() && w != 0 && x.Read(w).viewable)) {
            if (SDL_GetTicks() - start > 20000) return;
            IsThreadValid();
            SDL_Delay(10);
        }
        if (stderrAs_ == Stderr::LockedByAThread) {
            static std::atomic<bool> locked{false};
            std::thread([] {
                flockfile(stderr);
                locked = true;
                for (;;) pause();
            }).detach();
            while (!locked) SDL_Delay(1);
        }
        if (write(ready_, "1\n", 2) == 2) CAppBase::MainThread();
    }

private:
    int ready_;
    Stderr stderrAs_;
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
    const struct {
        int signal;
        Stderr stderrAs;
        const char* what;
    } rounds[] = {{SIGKILL, Stderr::Read, "server killed"},
                  {SIGTERM, Stderr::LockedByAThread, "server shut down, standard error's lock held by another thread"},
                  {SIGKILL, Stderr::Full, "server killed, standard error a full pipe"}};
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.what);
        std::string display;
        const pid_t server = StartServer(display);
        ASSERT_GT(server, 0);
        ASSERT_FALSE(display.empty()) << "the server named no display within 20 s";

        int ready[2], errors[2] = {-1, -1};
        ASSERT_EQ(pipe(ready), 0);
        if (round.stderrAs != Stderr::LockedByAThread) {
            ASSERT_EQ(pipe(errors), 0);
        }
        const pid_t app = fork();
        if (app == 0) {
            close(ready[0]);
            if (errors[1] >= 0) {
                dup2(errors[1], 2);
                close(errors[0]);
                close(errors[1]);
            }
            setenv("DISPLAY", display.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "x11", 1);
            {
                sdk::AppFrame::CAppInitializer init(nullptr, nullptr, "", 1);
                sdk::Thread::CThreadManager::StartThread(new App(ready[1], round.stderrAs));
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
        if (round.stderrAs == Stderr::Full) {  // filled here, then blocking again for the application's writes
            const int flags = fcntl(errors[1], F_GETFL);
            fcntl(errors[1], F_SETFL, flags | O_NONBLOCK);
            const std::string block(4096, 'x');
            for (size_t size : {block.size(), size_t{1}})  // the last page's bytes too, a byte at a time
                while (write(errors[1], block.data(), size) > 0 || errno == EINTR) {
                }
            fcntl(errors[1], F_SETFL, flags);
        }
        if (errors[1] >= 0) close(errors[1]);

        kill(server, round.signal);
        waitpid(server, nullptr, 0);
        const uint32_t lost = SDL_GetTicks();
        int status = 0;
        pid_t ended = 0;
        while ((ended = waitpid(app, &status, WNOHANG)) == 0 && SDL_GetTicks() - lost < 10000) SDL_Delay(10);
        if (ended == 0) {
            const double cpu = morna::test::CpuSeconds(app);
            kill(app, SIGKILL);
            waitpid(app, nullptr, 0);
            if (errors[0] >= 0) close(errors[0]);
            FAIL() << "still running 10 s after its server ended, " << cpu << " s of CPU used in all";
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1)
            << "status " << status << (WIFSIGNALED(status) ? " (signal)" : "");
        if (round.stderrAs == Stderr::Read) {
            std::string written;  // up to the pipe's end (the application's is closed), or 5 s
            char buffer[4096];
            pollfd p{errors[0], POLLIN, 0};
            for (ssize_t n = 1; n > 0 && poll(&p, 1, 5000) > 0 && (n = read(errors[0], buffer, sizeof buffer)) > 0;)
                written.append(buffer, static_cast<size_t>(n));
            EXPECT_NE(written.find("X11: the connection to the X server " + display + " was lost; the program ends\n"),
                      std::string::npos)
                << written;
        }
        if (errors[0] >= 0) close(errors[0]);
    }
}

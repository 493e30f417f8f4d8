// The X server held by the game's present, and what another program on the display feels of it.
// The built game runs on an Xvfb of the benchmark's own (1920x1080, no window manager) with one busy
// loop per core beside it (MORNA_BENCH_BUSY loops instead, 0 for none), on its title and in play
// (z typed through XTEST on the title, then the stage's walk-in), in its 640x480 window and in full
// screen; and the display with no game, for the floor. tests/x11/present_probe.c, preloaded into
// the game, notes each hold of the server and each present; a client of the benchmark's own times
// its XGetInputFocus round trips meanwhile. Each case is one 10 s window, reported as counters:
//   held_share_pct                       the share of the window the server served the game alone
//   held_med_ms, held_p99_ms, held_max_ms  the holds' lengths (0 where none)
//   presents_per_s, present_med_ms, present_p99_ms  the game's SDL_RenderPresent calls
//   rtt_p99_ms, rtt_over16ms_per10s      the other client's round trips: the 99th percentile, and
//                                        the count longer than a frame at 60 Hz
// MORNA_BENCH_SHOTS names a folder for a picture of each game's window (PPM) as its window opens,
// to see that the case shows what it says. The games: MORNA_BENCH_GAMES, entries split by ';', each "LABEL=PATH [NAME=VALUE ...]" (the
// environment added for that game, e.g. SDL_RENDER_DRIVER=opengl); by default this build's game,
// labelled "this". The cases run condition by condition, each game in turn, so that games compared
// meet the same load.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/common/full_screen_start.h"
#include "tests/x11/present_log.h"

#include <X11/Xatom.h>  // last: Xlib's macros
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

namespace fs = std::filesystem;
using morna::test::PresentLog;

constexpr int kScreenW = 1920, kScreenH = 1080;
constexpr long long kWindowUs = 10'000'000;

long long NowUs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// A child process that dies with the benchmark (it is also ended by its pid when done).
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
            const std::string& dir = {}, int keepFd = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(126);
    if (keepFd < 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

void End(pid_t pid, int seconds) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (const long long until = NowUs() + seconds * 1000000LL; NowUs() < until; usleep(20000))
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// The Xvfb and the busy loops, for the whole run; ended by their pids at exit.
class Stage {
public:
    static Stage& Get() {
        static Stage stage;
        return stage;
    }
    const std::string& DisplayName() const { return display_; }
    int Busy() const { return static_cast<int>(busy_.size()); }

private:
    Stage() {
        int fds[2];
        if (pipe(fds) != 0) return;
        xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                       std::to_string(kScreenW) + "x" + std::to_string(kScreenH) + "x24", "-noreset", "-nolisten", "tcp"},
                      {}, {}, fds[1]);
        close(fds[1]);
        char number[16] = {};
        const ssize_t n = read(fds[0], number, sizeof number - 1);  // written once the server listens
        close(fds[0]);
        if (n > 0) display_ = ":" + std::to_string(std::strtol(number, nullptr, 10));
        const char* wanted = std::getenv("MORNA_BENCH_BUSY");
        const long loops = wanted != nullptr ? std::strtol(wanted, nullptr, 10) : sysconf(_SC_NPROCESSORS_ONLN);
        for (long i = 0; i < loops; ++i) busy_.push_back(Spawn({"sh", "-c", "while :; do :; done"}));
    }
    ~Stage() {
        for (const pid_t pid : busy_) End(pid, 1);
        End(xvfb_, 5);
    }
    pid_t xvfb_ = 0;
    std::string display_;
    std::vector<pid_t> busy_;
};

struct Game {
    std::string label, path;
    std::vector<std::string> env;
};

std::vector<Game> Games() {
    std::vector<Game> games;
    const char* list = std::getenv("MORNA_BENCH_GAMES");
    std::stringstream entries(list != nullptr ? list : "");
    for (std::string entry; std::getline(entries, entry, ';');) {
        std::stringstream words(entry);
        std::string first;
        if (!(words >> first) || first.find('=') == std::string::npos) continue;
        Game g{first.substr(0, first.find('=')), first.substr(first.find('=') + 1), {}};
        for (std::string e; words >> e;) g.env.push_back(e);
        games.push_back(g);
    }
    if (games.empty()) games.push_back({"this", MORNA_GAME, {}});
    return games;
}

// The other client's round trips over [from, until), in microseconds.
std::vector<long long> RoundTrips(const std::string& display, long long from, long long until) {
    std::vector<long long> trips;
    ::Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr) return trips;
    while (NowUs() < from) usleep(1000);
    for (long long t = NowUs(); t < until; t = NowUs()) {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(d, &focus, &revert);
        trips.push_back(NowUs() - t);
        usleep(1000);
    }
    XCloseDisplay(d);
    return trips;
}

double Percentile(std::vector<long long> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return static_cast<double>(v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))]);
}

void ReportTrips(benchmark::State& state, const std::vector<long long>& trips) {
    const long long over = std::count_if(trips.begin(), trips.end(), [](long long us) { return us > 16000; });
    state.counters["rtt_p99_ms"] = Percentile(trips, 0.99) / 1000;
    state.counters["rtt_over16ms_per10s"] = static_cast<double>(over) * 1e7 / kWindowUs;
    state.counters["rtt_count"] = static_cast<double>(trips.size());
}

// The game's top-level window: with no manager, a child of the root with the game's pid.
Window GameWindow(::Display* d, pid_t pid) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned int count = 0;
    const Atom wmPid = XInternAtom(d, "_NET_WM_PID", False);
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        XWindowAttributes a;
        if (XGetWindowProperty(d, children[i], wmPid, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) ==
                Success &&
            data != nullptr) {
            if (n == 1 && *reinterpret_cast<long*>(data) == pid && XGetWindowAttributes(d, children[i], &a) &&
                a.map_state == IsViewable)
                found = children[i];
            XFree(data);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

bool WaitFor(long long us, const std::function<bool()>& done) {
    for (const long long until = NowUs() + us; NowUs() < until; usleep(20000))
        if (done()) return true;
    return done();
}

void Tap(::Display* d, KeySym key) {
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, key), True, CurrentTime);
    XFlush(d);
    usleep(150000);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, key), False, CurrentTime);
    XFlush(d);
}

// The window's pixels as a PPM file.
void Shoot(::Display* d, Window w, const std::string& name) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a)) return;
    XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (image == nullptr) return;
    if (FILE* f = std::fopen(name.c_str(), "wb")) {
        std::fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                              static_cast<unsigned char>(p)};
                std::fwrite(rgb, 1, 3, f);
            }
        std::fclose(f);
    }
    XDestroyImage(image);
}

// A folder of its own for one run: the game copied (it finds its data beside its own path), its
// data linked, a fresh save/ (full screen written there when asked).
bool MakeFolder(const fs::path& folder, const Game& game, bool fullScreen) {
    std::error_code e;
    fs::remove_all(folder, e);
    fs::create_directories(folder / "save", e);
    fs::copy_file(game.path, folder / "morna", e);
    if (e) return false;
    fs::create_directory_symlink(fs::path(game.path).parent_path() / "data", folder / "data", e);
    if (e || !fullScreen) return !e;
    return morna::test::SaveFullScreenStart(folder);
}

void RunGame(benchmark::State& state, const std::string& name, const Game& game, bool play, bool fullScreen) {
    Stage& stage = Stage::Get();
    if (stage.DisplayName().empty()) {
        state.SkipWithError("no Xvfb");
        return;
    }
    const fs::path folder = fs::temp_directory_path() / ("morna-bench-" + std::to_string(getpid()));
    if (!MakeFolder(folder, game, fullScreen)) {
        state.SkipWithError(("cannot make a game folder from " + game.path).c_str());
        return;
    }
    const std::string log = (folder / "present.log").string();
    std::vector<std::string> env{"DISPLAY=" + stage.DisplayName(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                                 std::string("LD_PRELOAD=") + MORNA_PRESENT_PROBE, "MORNA_PRESENT_LOG=" + log};
    env.insert(env.end(), game.env.begin(), game.env.end());
    ::Display* d = XOpenDisplay(stage.DisplayName().c_str());
    const pid_t pid = Spawn({(folder / "morna").string()}, env, folder.string());
    Window w = 0;
    bool ready = d != nullptr && WaitFor(60'000'000, [&] { return (w = GameWindow(d, pid)) != 0; });
    if (ready) {
        // The window takes the focus itself where no manager gives it; the title settles.
        ready = WaitFor(20'000'000, [&] {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(d, &focus, &revert);
            return focus == w;
        });
        usleep(3'000'000);
        if (ready && play) {
            Tap(d, XK_z);  // the title's first entry: a new game
            usleep(6'000'000);  // the stage's walk-in
        }
    }
    long long from = 0;
    std::vector<long long> trips;
    for (auto _ : state) {
        if (!ready) {
            state.SkipWithError("the game's window never came, or never took the focus");
            break;
        }
        from = NowUs() + 100000;
        trips = RoundTrips(stage.DisplayName(), from, from + kWindowUs);
    }
    if (const char* shots = std::getenv("MORNA_BENCH_SHOTS"); ready && shots != nullptr)
        Shoot(d, w, std::string(shots) + "/" + name + ".ppm");
    End(pid, 20);
    if (d != nullptr) XCloseDisplay(d);
    if (!ready) {
        fs::remove_all(folder);
        return;
    }
    const long long until = from + kWindowUs;
    const PresentLog noted = PresentLog::Read(log);
    std::vector<long long> held, presents;
    long long heldUs = 0;
    for (const PresentLog::Span& s : noted.holds) {
        const long long a = std::max(s.startUs, from), b = std::min(s.startUs + s.tookUs, until);
        if (b <= a) continue;
        held.push_back(s.tookUs);
        heldUs += b - a;
    }
    for (const PresentLog::Span& s : noted.presents)
        if (s.startUs >= from && s.startUs < until) presents.push_back(s.tookUs);
    state.counters["held_share_pct"] = 100.0 * static_cast<double>(heldUs) / kWindowUs;
    state.counters["held_med_ms"] = Percentile(held, 0.5) / 1000;
    state.counters["held_p99_ms"] = Percentile(held, 0.99) / 1000;
    state.counters["held_max_ms"] = held.empty() ? 0 : static_cast<double>(*std::max_element(held.begin(), held.end())) / 1000;
    state.counters["presents_per_s"] = static_cast<double>(presents.size()) * 1e6 / kWindowUs;
    state.counters["present_med_ms"] = Percentile(presents, 0.5) / 1000;
    state.counters["present_p99_ms"] = Percentile(presents, 0.99) / 1000;
    ReportTrips(state, trips);
    state.counters["busy_loops"] = stage.Busy();
    fs::remove_all(folder);
}

void RunNoGame(benchmark::State& state) {
    Stage& stage = Stage::Get();
    if (stage.DisplayName().empty()) {
        state.SkipWithError("no Xvfb");
        return;
    }
    std::vector<long long> trips;
    for (auto _ : state) {
        const long long from = NowUs() + 100000;
        trips = RoundTrips(stage.DisplayName(), from, from + kWindowUs);
    }
    ReportTrips(state, trips);
    state.counters["busy_loops"] = stage.Busy();
}

// The cases, condition by condition, each game in turn.
const bool kRegistered = [] {
    benchmark::RegisterBenchmark("PresentHold/no_game", RunNoGame)->Iterations(1)->Unit(benchmark::kSecond);
    const struct {
        const char* name;
        bool play, fullScreen;
    } conditions[] = {{"title_window", false, false},
                      {"title_fullscreen", false, true},
                      {"play_window", true, false},
                      {"play_fullscreen", true, true}};
    for (const auto& c : conditions)
        for (const Game& g : Games())
            benchmark::RegisterBenchmark(("PresentHold/" + std::string(c.name) + "/" + g.label).c_str(),
                                         [g, c](benchmark::State& s) {
                                             RunGame(s, std::string(c.name) + "-" + g.label, g, c.play, c.fullScreen);
                                         })
                ->Iterations(1)
                ->Unit(benchmark::kSecond);
    return true;
}();

}  // namespace

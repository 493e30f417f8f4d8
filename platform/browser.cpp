#include "platform/browser.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "platform/hook_slot.h"
#include "platform/thread.h"

extern char** environ;

namespace morna::platform {
namespace {

HookSlot<BrowserHook> gHook;

// The child is waited for on a thread of its own, so that it leaves no zombie and nobody
// waits for the browser.
uint32_t Reap(void* pid) {
    waitpid(static_cast<pid_t>(reinterpret_cast<intptr_t>(pid)), nullptr, 0);
    return 0;
}

}  // namespace

BrowserHook SetBrowserHook(BrowserHook hook) { return gHook.Set(std::move(hook)); }

bool OpenBrowser(const std::string& address, std::string* error) {
    if (BrowserHook hook = gHook.Get()) return hook(address);
    if (address.empty() || address[0] == '-') {
        if (error != nullptr) *error = "not an address: " + address;
        return false;
    }
    std::string program = "xdg-open", argument = address;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int failure = posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ);
    if (failure != 0) {
        if (error != nullptr) *error = std::string("xdg-open could not be started: ") + std::strerror(failure);
        return false;
    }
    int32_t id = 0;
    Thread* reaper = StartThread(&Reap, reinterpret_cast<void*>(static_cast<intptr_t>(pid)), 0, &id);
    if (reaper != nullptr) CloseThread(reaper);
    else waitpid(pid, nullptr, 0);  // no thread to spare: wait here rather than leave a zombie
    return true;
}

}  // namespace morna::platform

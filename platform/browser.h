#pragma once
// Opens an address in the desktop's browser: xdg-open, started with posix_spawnp, the address
// its one argument (no shell reads it). A hook can take the place of the start: tests record
// through it.
#include <functional>
#include <string>

namespace morna::platform {

// True once xdg-open was started (it is reaped when it ends); false, with the reason in
// *error, when the address is empty or begins with '-' (it would read as an option), or
// the program could not be started.
bool OpenBrowser(const std::string& address, std::string* error = nullptr);

// While set, OpenBrowser hands the address to the hook and answers what it answers.
// Answers the hook it replaces; an empty function removes it.
using BrowserHook = std::function<bool(const std::string& address)>;
BrowserHook SetBrowserHook(BrowserHook hook);

}  // namespace morna::platform

#pragma once
// Run-time loading of shared libraries (plug-ins).
#include <string>

namespace morna::platform {

using SharedLibraryHandle = void*;

// path is a POSIX path in UTF-8. Answers null when the library cannot be
// loaded; LastSharedLibraryError then says why.
SharedLibraryHandle OpenSharedLibrary(const std::string& path);
// The address of an exported symbol, null when the library has none.
void* FindSharedLibrarySymbol(SharedLibraryHandle lib, const char* name);
// Drops one reference to the library; true on success.
bool CloseSharedLibrary(SharedLibraryHandle lib);
// The loader's text for the calling thread's last failure (empty when none).
std::string LastSharedLibraryError();

}  // namespace morna::platform

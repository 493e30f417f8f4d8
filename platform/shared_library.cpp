#include "platform/shared_library.h"

#include <dlfcn.h>

namespace morna::platform {
namespace {
thread_local std::string lastError;

void Remember() {
    const char* e = dlerror();
    lastError = e ? e : "";
}
}  // namespace

SharedLibraryHandle OpenSharedLibrary(const std::string& path) {
    dlerror();
    // RTLD_LOCAL: a plug-in's symbols stay its own, as a DLL's do.
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) Remember(); else lastError.clear();
    return h;
}

void* FindSharedLibrarySymbol(SharedLibraryHandle lib, const char* name) {
    if (!lib || !name) return nullptr;
    dlerror();
    void* p = dlsym(lib, name);
    if (!p) Remember();
    return p;
}

bool CloseSharedLibrary(SharedLibraryHandle lib) {
    if (!lib) return false;
    if (dlclose(lib) != 0) {
        Remember();
        return false;
    }
    return true;
}

std::string LastSharedLibraryError() { return lastError; }

}  // namespace morna::platform

// A fuzz target's own folder under /tmp, made the file layer's base directory on first use
// and removed at exit. tmpl is a mkdtemp pattern that must live as long as the program.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/auxiliary/file.h"
#include "platform/file_system.h"

namespace morna::fuzz {

inline const std::string& TempBaseFolder(char* tmpl) {
    static char* made = nullptr;
    static const std::string folder = [tmpl] {
        if (::mkdtemp(tmpl) == nullptr) std::abort();
        std::string name;
        if (!morna::platform::NameFromSystemPath(tmpl, name)) std::abort();
        tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(tovarineGameSDK3rd::VTL::VTLstring(name.c_str()));
        made = tmpl;
        std::atexit([] { std::filesystem::remove_all(made); });
        return std::string(tmpl);
    }();
    return folder;
}

}  // namespace morna::fuzz

// Test helper: a new folder under /tmp that is the file layer's base directory
// for the helper's lifetime; the old base directory comes back and the folder
// goes, with all it holds, at the end.
//
//   TempBaseFolder folder("morna-pack");
//   std::ofstream(folder.Path() + "/a.txt") << "x";   // CFile reads it as "a.txt"
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "foundation/auxiliary/file.h"
#include "platform/file_system.h"

namespace morna::test {

class TempBaseFolder {
public:
    // base: the part of the folder below it that becomes the base directory ("" for itself).
    explicit TempBaseFolder(const std::string& prefix, const std::string& base = "") {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
        path_ = pattern;
        const std::string baseFolder = base.empty() ? path_ : path_ + "/" + base;
        std::filesystem::create_directories(baseFolder);
        std::string name;
        if (!morna::platform::NameFromSystemPath(baseFolder, name)) throw std::runtime_error("no name for " + baseFolder);
        saved_ = tovarineGameSDK3rd::Auxiliary::CFile::GetBaseDirectory();
        tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(name.c_str());
    }
    ~TempBaseFolder() {
        tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(saved_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempBaseFolder(const TempBaseFolder&) = delete;
    TempBaseFolder& operator=(const TempBaseFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    tovarineGameSDK3rd::VTL::VTLstring saved_;
};

// The folder of a program that needs one for its whole run (a fuzz target): made by the first
// call, with that call's prefix, and removed at exit.
inline const std::string& ProgramBaseFolder(const std::string& prefix) {
    static const TempBaseFolder folder(prefix);
    return folder.Path();
}

}  // namespace morna::test

// Arbitrary list.txt contents for the image list, read from a file as LoadList reads it:
// no crash, and every id kept maps to a non-empty file name.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "framework/image_loader.h"
#include "tests/common/temp_base_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = morna::test::ProgramBaseFolder("morna-fuzz-image-list");
    std::FILE* out = std::fopen((folder + "/list.txt").c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);

    tovarineGameSDK3rd::Auxiliary::CFile file;
    if (file.Read("list.txt") != 0) return 0;
    std::map<int32_t, tovarineGameSDK3rd::VTL::VTLstring> names;
    KestraneGameBase2::CImageLoader::ReadList(file, names);
    for (const auto& [id, name] : names) {
        if (name.empty()) std::abort();
    }
    return 0;
}

// Reads entries out of an arbitrary archive: the input is written as the archive
// of the folder "data" and three names are read through it, one of them the name
// in the first record, so that the entry reader is reached as often as the index.
// Whatever reads must hold exactly its size and a NUL; whatever fails holds nothing.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/auxiliary/file.h"
#include "tests/common/temp_base_folder.h"
#include "platform/file_system.h"

using tovarineGameSDK3rd::Auxiliary::CFile;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

const std::string& Folder() { return morna::test::ProgramBaseFolder("morna-fuzz-pack"); }

void ReadOne(const VTLstring& name) {
    CFile f;
    const int32_t r = f.Read(name);
    if (r != 0) {
        if (f.GetMemory() != nullptr || f.GetSize() != 0) std::abort();
        return;
    }
    const auto* p = static_cast<const volatile uint8_t*>(f.GetMemory());
    uint32_t sum = 0;
    for (uint32_t i = 0; i < f.GetSize(); ++i) sum += p[i];
    if (p[f.GetSize()] != 0) std::abort();
    (void)sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string archive = Folder() + "/data.dat";
    std::FILE* out = std::fopen(archive.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);

    ReadOne("data\\a");
    ReadOne("data\\b\\c.txt");
    if (size > 12) {  // the first record's name, cut at its NUL or at 255 bytes
        size_t n = 0;
        while (12 + n < size && n < 255 && data[12 + n] != 0) ++n;
        ReadOne(VTLstring("data\\") + VTLstring(reinterpret_cast<const char*>(data + 12), static_cast<uint32_t>(n)));
    }
    return 0;
}

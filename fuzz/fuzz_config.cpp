// Loads arbitrary bytes as each configuration file: every load answers 0, 1 or 2,
// and a refused load leaves the record exactly as it was.
#include <cstdlib>
#include <fstream>
#include <functional>

#include "fuzz/temp_base_folder.h"
#include "game/global_config.h"

using namespace KestraneGameBase2;

namespace {

template <class Record>
std::vector<uint8_t> Bytes(Record& r) {
    Aux::CSerialize ar;
    ar << r;
    return ar.GetData();
}

template <class Record>
void Check(Record& r) {
    const std::vector<uint8_t> before = Bytes(r);
    const int32_t answer = r.Load("config.bin");
    if (answer < 0 || answer > 2) std::abort();
    if (answer != 0 && Bytes(r) != before) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char tmpl[] = "/tmp/morna-fuzz-config-XXXXXX";
    const std::string& folder = morna::fuzz::TempBaseFolder(tmpl);
    std::ofstream(folder + "/config.bin", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SSystemConfig system;
    system.windowX = 12;
    Check(system);
    SGlobalConfig global;
    global.extrasUnlocked = 0x3400;
    global.fontName = "f";
    Check(global);
    return 0;
}

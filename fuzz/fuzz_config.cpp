// Loads arbitrary bytes as each configuration file, as key.cfg and as the mixer's
// kept volumes: every load answers 0, 1 or 2, and a refused load leaves the record
// exactly as it was; accepted volumes are within 0..65535 and save back to the same
// bytes.
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "framework/key_control.h"
#include "framework/mixer_volumes.h"
#include "game/files/global_config.h"
#include "tests/common/temp_base_folder.h"

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
    const std::string& folder = morna::test::ProgramBaseFolder("morna-fuzz-config");
    for (const char* name : {"/config.bin", "/key.cfg"}) {
        std::ofstream(folder + name, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    SSystemConfig system;
    system.windowX = 12;
    Check(system);
    SGlobalConfig global;
    global.extrasUnlocked = 0x3400;
    global.fontName = "f";
    Check(global);

    // The kept volumes have one form: an accepted file is what saving its volumes writes.
    SMixerVolumes volumes;
    volumes.values[1][0] = 7;
    const std::vector<uint8_t> volumesBefore = Bytes(volumes);
    const int32_t kept = volumes.Load("config.bin");
    if (kept < 0 || kept > 3 || (kept != 0 && Bytes(volumes) != volumesBefore)) std::abort();
    if (kept == 0) {
        for (const auto& line : volumes.values)
            if (line[0] > SMixerVolumes::kFull || line[1] > SMixerVolumes::kFull) std::abort();
        if (volumes.Save("mixer.bin")) std::abort();
        std::ifstream saved(folder + "/mixer.bin", std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
        if (bytes != std::vector<uint8_t>(data, data + size)) std::abort();
    }

    // key.cfg: refused loads keep the bindings; accepted ones save back to bindings
    // that load again as they were.
    CKeyControlBase keys;
    keys.GetConfig().assign(3, CKeyControlBase::SConfigData(1, 0, 0x1C));
    const auto before = keys.GetConfig();
    const int32_t answer = keys.Load();
    if (answer < 0 || answer > 2) std::abort();
    if (answer != 0 && keys.GetConfig() != before) std::abort();
    if (answer == 0) {
        const auto loaded = keys.GetConfig();
        if (keys.Save() || keys.Load() != 0 || keys.GetConfig() != loaded) std::abort();
    }
    return 0;
}

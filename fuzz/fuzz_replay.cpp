// Reads arbitrary bytes as a replay file, as given and with their trailer made valid (so the
// content past the checksum is reached): a refused read (1 or 2) changes neither the header
// nor the key log; an accepted one writes back to the bytes it was read from, with the
// fields a replay does not hold at 0 and the record's last field kept.
#include <algorithm>
#include <cstdlib>

#include "game/files/ranking.h"
#include "game/files/replay.h"

namespace {

SStageProgress Header() {
    SStageProgress h;
    h.stage = 3, h.dropCounter = 9, h.itemLevel1 = h.invincible = 1, h.subStep = 7;
    return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kSaveFileLimit) return 0;
    const std::vector<uint8_t> raw(data, data + size);
    for (const std::vector<uint8_t>& bytes : {raw, WithTrailer(raw)}) {
        SStageProgress header = Header();
        std::vector<uint8_t> keys = {1, 2};
        const std::vector<uint8_t> before = EncodeReplay(header, keys);
        const int32_t answer = DecodeReplay(bytes, header, keys);
        if (answer == 1 || answer == 2) {
            if (EncodeReplay(header, keys) != before || header.dropCounter != 9 || header.invincible != 1) std::abort();
            continue;
        }
        if (answer != 0 || keys.size() > bytes.size()) std::abort();
        if (header.dropCounter != 0 || header.itemLevel1 != 0 || header.invincible != 0 || header.subStep != 7)
            std::abort();
        const std::vector<uint8_t> again = EncodeReplay(header, keys);
        if (again.size() > bytes.size() || !std::equal(again.begin(), again.end() - 4, bytes.begin())) std::abort();
    }
    return 0;
}

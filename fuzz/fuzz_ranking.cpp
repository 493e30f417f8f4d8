// Reads arbitrary bytes as ranking.sav, as given and with their trailer made valid (so the
// content past the checksum is reached): a refused read leaves the list as it was; an
// accepted one holds at most ten entries and writes back to the bytes it was read from.
#include <algorithm>
#include <cstdlib>

#include "game/files/ranking.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kSaveFileLimit) return 0;
    const std::vector<uint8_t> raw(data, data + size);
    for (const std::vector<uint8_t>& bytes : {raw, WithTrailer(raw)}) {
        std::list<SRankingEntry> list = {{7, {1, 2, 3, 4, 5, 6}}};
        const std::vector<uint8_t> before = EncodeRanking(list);
        const int32_t answer = DecodeRanking(bytes, list);
        if (answer == 2) {
            if (EncodeRanking(list) != before) std::abort();
            continue;
        }
        if (answer != 0 || list.size() > kRankingSize) std::abort();
        // Version word aside, the entries read are the bytes they came from.
        const std::vector<uint8_t> again = EncodeRanking(list);
        if (!std::equal(again.begin() + 4, again.end() - 4, bytes.begin() + 4)) std::abort();
    }
    return 0;
}

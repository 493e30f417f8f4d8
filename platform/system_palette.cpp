#include "platform/system_palette.h"

#include <algorithm>
#include <mutex>

namespace morna::platform {

namespace {
std::mutex paletteMutex;
PaletteEntry palette[256];
int paletteCount = 0;
}  // namespace

int GetSystemPaletteEntries(int start, int count, PaletteEntry* out) {
    std::lock_guard<std::mutex> lock(paletteMutex);
    if (start < 0 || count <= 0 || !out || start >= paletteCount) return 0;
    const int n = std::min(count, paletteCount - start);
    std::copy(palette + start, palette + start + n, out);
    return n;
}

void SetSystemPaletteEntries(const PaletteEntry* entries, int count) {
    std::lock_guard<std::mutex> lock(paletteMutex);
    paletteCount = entries ? std::clamp(count, 0, 256) : 0;
    std::copy(entries, entries + paletteCount, palette);
}

}  // namespace morna::platform

#pragma once
// The system palette: the 256 colours of an 8-bit display. Our displays are never 8-bit by
// themselves; the display layer sets the palette when it runs an 8-bit mode, and tests set it
// directly. Until then there is none, and readers get no entries.
#include <cstdint>

namespace morna::platform {

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
};

// Copies up to `count` entries from index `start` into out; answers how many were copied
// (0 when there is no palette or start lies beyond it).
int GetSystemPaletteEntries(int start, int count, PaletteEntry* out);

// Replaces the palette with `count` entries (at most 256); count 0 removes it.
void SetSystemPaletteEntries(const PaletteEntry* entries, int count);

}  // namespace morna::platform

/* An image plug-in for the loader's tests. Its picture format: "TSPI", width and height as
 * 32-bit little-endian words, then width x height pixels 0x00RRGGBB (little endian), rows top
 * down. It describes any header it is given (so a test can declare an oversized picture) but
 * decodes only when all the pixels are there. Output: 24-bit rows, bottom-up. */
#include <stdlib.h>
#include <string.h>

#include "platform/image_plugin_abi.h"

#define EXPORT __attribute__((visibility("default")))

static uint32_t U32(const uint8_t* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24; }

EXPORT int32_t IsSupported(const char* fileName, const void* data) {
    (void)fileName;
    return memcmp(data, "TSPI", 4) == 0;
}

EXPORT int32_t GetPictureInfo(const void* data, int32_t size, uint32_t flag, MornaSpiPictureInfo* info) {
    const uint8_t* d = (const uint8_t*)data;
    if (flag != 1 || size < 12 || memcmp(d, "TSPI", 4) != 0) return 1;
    memset(info, 0, sizeof *info);
    info->width = (int32_t)U32(d + 4);
    info->height = (int32_t)U32(d + 8);
    info->colourDepth = 24;
    return 0;
}

EXPORT int32_t GetPicture(const void* data, int32_t size, uint32_t flag, void** info, void** bits,
                          MornaSpiProgress progress, intptr_t user) {
    const uint8_t* d = (const uint8_t*)data;
    (void)progress, (void)user;
    if (flag != 1 || size < 12 || memcmp(d, "TSPI", 4) != 0) return 1;
    const uint32_t w = U32(d + 4), h = U32(d + 8);
    if (w == 0 || h == 0 || w > 4096 || h > 4096 || (uint64_t)w * h * 4 > (uint64_t)size - 12) return 1;
    const uint32_t stride = (w * 3 + 3) & ~3u;
    uint8_t* header = (uint8_t*)calloc(1, 40);
    uint8_t* rows = (uint8_t*)calloc(h, stride);
    if (!header || !rows) {
        free(header);
        free(rows);
        return 1;
    }
    header[0] = 40;
    memcpy(header + 4, &w, 4);
    memcpy(header + 8, &h, 4);
    header[12] = 1;
    header[14] = 24;
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = rows + (size_t)(h - 1 - y) * stride;
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t c = U32(d + 12 + 4 * ((size_t)y * w + x));
            row[3 * x] = (uint8_t)c;
            row[3 * x + 1] = (uint8_t)(c >> 8);
            row[3 * x + 2] = (uint8_t)(c >> 16);
        }
    }
    *info = header;
    *bits = rows;
    return 0;
}

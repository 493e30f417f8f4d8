/* The C interface of an image plug-in: a shared library in the program's "SPI" folder named
 * "if" + the picture's extension + ".spi" (title.png is read by SPI/ifpng.spi), exporting the
 * three functions below with C linkage and default visibility. Only memory mode is used: the
 * picture's bytes are handed over whole, and flag is always 1.
 *
 *   int32_t IsSupported(const char* fileName, const void* data);
 *       fileName is null; data points to the first 2,048 bytes of the file (the file always
 *       holds at least that many). Non-zero: the plug-in reads this picture.
 *
 *   int32_t GetPictureInfo(const void* data, int32_t size, uint32_t flag, MornaSpiPictureInfo* info);
 *       Fills info for the size bytes at data. 0 success.
 *
 *   int32_t GetPicture(const void* data, int32_t size, uint32_t flag, void** info, void** bits,
 *                      MornaSpiProgress progress, intptr_t user);
 *       Decodes the picture. 0 success; *info and *bits then point to two blocks allocated
 *       with malloc, which the program frees with free once it has drawn them:
 *         *info: a 40-byte DIB info header (little endian: size 40, width, height (positive:
 *                rows bottom-up; negative: top down), planes 1, bit count 1, 4, 8, 16, 24 or 32,
 *                compression 0, or 3 with three 32-bit colour masks after the header), followed
 *                by the colour table (4 bytes blue, green, red, 0 per entry; 2^bits entries, or
 *                the header's colours-used count when that is not 0) for 8 bits or fewer;
 *         *bits: |height| rows of ((width x bit count + 31) / 32) x 4 bytes each.
 *       The width and height must be those that GetPictureInfo answered. progress may be null.
 *
 * Pictures above 16,384 pixels a side or 16,777,216 pixels in all are refused by the program.
 */
#ifndef MORNA_PLATFORM_IMAGE_PLUGIN_ABI_H
#define MORNA_PLATFORM_IMAGE_PLUGIN_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What GetPictureInfo answers. width and height are the third and fourth 32-bit fields. */
typedef struct MornaSpiPictureInfo {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    uint16_t xDensity;
    uint16_t yDensity;
    int16_t colourDepth;
} MornaSpiPictureInfo;

/* Called now and then while decoding; a non-zero answer asks the plug-in to stop. */
typedef int32_t (*MornaSpiProgress)(int32_t done, int32_t total, intptr_t user);

typedef int32_t (*MornaSpiIsSupported)(const char* fileName, const void* data);
typedef int32_t (*MornaSpiGetPictureInfo)(const void* data, int32_t size, uint32_t flag, MornaSpiPictureInfo* info);
typedef int32_t (*MornaSpiGetPicture)(const void* data, int32_t size, uint32_t flag, void** info, void** bits,
                                      MornaSpiProgress progress, intptr_t user);

#ifdef __cplusplus
}
#endif

#endif

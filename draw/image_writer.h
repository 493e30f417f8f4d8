#pragma once
// The two image writers of a surface description: BMP (24 bits, bottom-up) and tvg.
#include "draw/base/surface_info.h"
#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd::Draw {

// Both read the pixels through pixels and pitch without locking. The rectangle (null: the
// whole surface) is cut to the surface. Answer: CFile::Write's (0 written), -1 an empty
// rectangle, -2 no pixels to read (not initialised, null pointer, a format that is never
// converted from: Palette8 and ABGR8888, or a file beyond 4 GiB); no file is written on -1
// and -2.
// SaveBitmap: 24 bits per pixel, rows bottom-up, fill bytes 0.
int SaveBitmap(const CSurfaceInfo& surface, const VTL::VTLstring& fileName, const Rect* rect = nullptr);
// SaveTvg: ARGB8888 pixels, LZSS-packed when compress is set and the data shrinks.
int SaveTvg(const CSurfaceInfo& surface, const VTL::VTLstring& fileName, const Rect* rect = nullptr,
            bool compress = false);

}  // namespace tovarineGameSDK3rd::Draw

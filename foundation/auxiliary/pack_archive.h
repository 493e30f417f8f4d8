#pragma once
// Pack archives: a file that is not on disk may stand in the archive of a folder
// above it ("data\image.dat" holds "a.tvg" of "data\image\"). The system only
// reads them. Layout, integers unsigned 32-bit little endian unless said:
//
//   0   8 bytes  magic "tovapack", "tovapkEx", "tovapkDx", "packKstr" or "Kstrpack"
//   8   4 bytes  entry count, signed
//   12  count records, then the entries' data wherever the records say
//
//   magic                 record  name field  position  unpacked  stored
//   "tovapack"            40      32          32        36        (= unpacked)
//   "tovapkEx"            44      32          32        36        40
//   "tovapkDx"            268     256         256       260       264
//   "packKstr"/"Kstrpack" 268     256         as "tovapkDx", the position field 4 above the data
//
// Names are NUL-terminated in their field, '\' between folders, matched without
// regard to ASCII case. An entry whose two sizes differ is LZSS-packed (never in
// "tovapack"). Archives are untrusted: a table that runs past the file makes the
// archive unusable, and an entry is only handed out when its data lies inside
// the file and can give its size.
#include <cstdint>
#include <cstdio>

#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd::Auxiliary {

struct SPackEntry {
    uint32_t position = 0;    // of the data, from the archive's start
    uint32_t size = 0;        // of the contents
    uint32_t storedSize = 0;  // of the data in the archive
    bool packed = false;      // the data is LZSS-packed
};

enum class EPackLookup {
    kFound,         // entry describes the data, and the archive stands at it
    kEntryDamaged,  // the entry is there but its data cannot be what it says
    kMissing,       // a sound archive without the entry
    kUnusable,      // not an archive, an empty or damaged table, or no seek to the data
};

// Looks up name (lower-cased, '\' between folders) in the archive open at file.
// archiveName only names the archive in error-log lines.
EPackLookup FindPackEntry(std::FILE* file, const VTL::VTLstring& name, const VTL::VTLstring& archiveName,
                          SPackEntry& entry);

}  // namespace tovarineGameSDK3rd::Auxiliary

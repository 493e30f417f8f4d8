#include "foundation/auxiliary/pack_archive.h"

#include <cstring>

#include "foundation/auxiliary/lzss.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/file_system.h"

namespace tovarineGameSDK3rd::Auxiliary {
namespace {

struct SPackFormat {
    char magic[8];
    uint32_t recordSize;
    uint32_t nameSize;      // the fields follow the name: position, unpacked size, stored size
    bool hasStoredSize;     // "tovapack" has one size for both
    uint32_t positionBias;  // what the position field holds above the data's position
};

constexpr SPackFormat kFormats[] = {
    {{'t', 'o', 'v', 'a', 'p', 'a', 'c', 'k'}, 40, 32, false, 0},
    {{'t', 'o', 'v', 'a', 'p', 'k', 'E', 'x'}, 44, 32, true, 0},
    {{'t', 'o', 'v', 'a', 'p', 'k', 'D', 'x'}, 268, 256, true, 0},
    {{'p', 'a', 'c', 'k', 'K', 's', 't', 'r'}, 268, 256, true, 4},
    {{'K', 's', 't', 'r', 'p', 'a', 'c', 'k'}, 268, 256, true, 4},
};
constexpr uint32_t kHeaderSize = 12;
constexpr uint32_t kLargestRecord = 268;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool ReadExactly(std::FILE* file, void* to, uint32_t n) { return std::fread(to, 1, n, file) == n; }

const SPackFormat* FormatOf(const uint8_t* magic) {
    for (const SPackFormat& f : kFormats) {
        if (std::memcmp(magic, f.magic, sizeof f.magic) == 0) return &f;
    }
    return nullptr;
}

}  // namespace

EPackLookup FindPackEntry(std::FILE* file, const VTL::VTLstring& name, const VTL::VTLstring& archiveName,
                          SPackEntry& entry) {
    const char* const where = archiveName.c_str();
    std::size_t fileSize = 0;
    if (!morna::platform::FileSize(file, fileSize)) {
        GetErrorLog().Out("CFile::Readでアーカイブのサイズが取得できない %s", where);
        return EPackLookup::kUnusable;
    }
    uint8_t header[kHeaderSize];
    const SPackFormat* format = nullptr;
    if (!ReadExactly(file, header, kHeaderSize) || (format = FormatOf(header)) == nullptr) {
        GetErrorLog().Out("CFile::Readでアーカイブの形式が違う %s", where);
        return EPackLookup::kUnusable;
    }
    const auto count = static_cast<int32_t>(Le32(header + 8));
    if (count <= 0) return EPackLookup::kUnusable;
    if (kHeaderSize + static_cast<uint64_t>(count) * format->recordSize > fileSize) {
        GetErrorLog().Out("CFile::Readでアーカイブのエントリ表がファイルを越えている %s (%d件)", where, count);
        return EPackLookup::kUnusable;
    }

    // The table is read record by record; nothing is kept between look-ups.
    uint8_t record[kLargestRecord];
    bool found = false;
    for (int32_t i = 0; i < count && !found; ++i) {
        if (!ReadExactly(file, record, format->recordSize)) {
            GetErrorLog().Out("CFile::Readでアーカイブのエントリ表が読めない %s", where);
            return EPackLookup::kUnusable;
        }
        const auto* text = reinterpret_cast<const char*>(record);
        const void* nul = std::memchr(text, 0, format->nameSize);
        const auto length = nul ? static_cast<uint32_t>(static_cast<const char*>(nul) - text) : format->nameSize;
        if (nul == nullptr) {
            GetErrorLog().Out("CFile::Readでアーカイブのエントリ名が終わっていない %s (%d番)", where, i);
        }
        VTL::VTLstring entryName(text, length);
        entryName.ToLower();
        found = entryName == name;
    }
    if (!found) return EPackLookup::kMissing;

    const uint8_t* fields = record + format->nameSize;
    entry.position = Le32(fields) - format->positionBias;
    entry.size = Le32(fields + 4);
    entry.storedSize = format->hasStoredSize ? Le32(fields + 8) : entry.size;
    entry.packed = entry.size != entry.storedSize;

    // The seek takes the position as signed: data at 2 GB or beyond cannot be reached.
    if (static_cast<int32_t>(entry.position) < 0) {
        GetErrorLog().Out("CFile::Readでアーカイブのデータ位置に移動できない %s %s", where, name.c_str());
        return EPackLookup::kUnusable;
    }
    if (entry.size == 0xFFFFFFFFu) {  // the contents and their NUL would not fit
        GetErrorLog().Out("CFile::Readでアーカイブのエントリが大きすぎる %s %s", where, name.c_str());
        return EPackLookup::kEntryDamaged;
    }
    if (static_cast<uint64_t>(entry.position) + entry.storedSize > fileSize) {
        GetErrorLog().Out("CFile::Readでアーカイブのデータがファイルを越えている %s %s", where, name.c_str());
        return EPackLookup::kEntryDamaged;
    }
    // Checked before anything is allocated for the contents.
    if (entry.packed && entry.size > CLZSS::MaxUnpackedSize(entry.storedSize)) {
        GetErrorLog().Out("CFile::Readでアーカイブの圧縮データが足りない %s %s", where, name.c_str());
        return EPackLookup::kEntryDamaged;
    }
    if (std::fseek(file, static_cast<long>(entry.position), SEEK_SET) != 0) {
        GetErrorLog().Out("CFile::Readでアーカイブのデータ位置に移動できない %s %s", where, name.c_str());
        return EPackLookup::kUnusable;
    }
    return EPackLookup::kFound;
}

}  // namespace tovarineGameSDK3rd::Auxiliary

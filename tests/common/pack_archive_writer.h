// Test helper: writes pack archives, which the product itself only reads.
//
//   PackWriter w("tovapkEx");
//   w.Add("image\\a.tvg", contents, /*pack=*/true);
//   std::string bytes = w.Bytes();
//
// Layout: the 8-byte magic, a 32-bit entry count, the records, then the data of
// each entry in order. Records: name field (32 bytes for "tovapack" and
// "tovapkEx", 256 for the others), data position, unpacked size and (all but
// "tovapack") stored size, little endian; "packKstr" and "Kstrpack" store the
// position plus 4.
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/auxiliary/lzss.h"

namespace morna::test {

class PackWriter {
public:
    explicit PackWriter(const std::string& magic) : magic_(magic) {
        if (magic.size() != 8) throw std::invalid_argument("magic of 8 bytes");
        wide_ = magic != "tovapack" && magic != "tovapkEx";
        oneSize_ = magic == "tovapack";
        bias_ = (magic == "packKstr" || magic == "Kstrpack") ? 4 : 0;
    }

    uint32_t RecordSize() const { return oneSize_ ? 40 : (wide_ ? 268 : 44); }
    uint32_t NameSize() const { return wide_ ? 256 : 32; }

    // pack: store the contents LZSS-packed (they must shrink).
    PackWriter& Add(const std::string& name, const std::string& contents, bool pack = false) {
        Entry e{name, static_cast<uint32_t>(contents.size()), contents, 0, kAuto};
        if (pack) {
            if (oneSize_) throw std::invalid_argument("tovapack stores no packed entries");
            tovarineGameSDK3rd::Auxiliary::CLZSS lz;
            uint8_t* out = nullptr;
            uint32_t packedSize = 0;
            if (lz.Encode(reinterpret_cast<const uint8_t*>(contents.data()), &out,
                          static_cast<uint32_t>(contents.size()), &packedSize, true) != 0) {
                throw std::invalid_argument("contents that do not shrink cannot be packed");
            }
            e.stored.assign(reinterpret_cast<const char*>(out), packedSize);
            delete[] out;
        }
        e.storedSize = static_cast<uint32_t>(e.stored.size());
        entries_.push_back(e);
        return *this;
    }

    // A record whose fields are given outright, with stored bytes placed as usual;
    // position = kAuto puts the field at the data (with the magic's bias).
    static constexpr uint64_t kAuto = ~0ull;
    PackWriter& AddRaw(const std::string& name, const std::string& stored, uint32_t size, uint32_t storedSize,
                       uint64_t position = kAuto) {
        entries_.push_back(Entry{name, size, stored, storedSize, position});
        return *this;
    }

    // The entry count written into the header, when it should lie.
    PackWriter& SetCount(int32_t count) {
        count_ = count;
        countSet_ = true;
        return *this;
    }

    std::string Bytes() const {
        std::string out = magic_;
        Put32(out, countSet_ ? static_cast<uint32_t>(count_) : static_cast<uint32_t>(entries_.size()));
        uint64_t data = 12 + static_cast<uint64_t>(RecordSize()) * entries_.size();
        std::string blobs;
        for (const Entry& e : entries_) {
            std::string record(RecordSize(), '\0');
            std::memcpy(record.data(), e.name.data(), std::min<size_t>(e.name.size(), NameSize()));
            std::string fields;
            const uint64_t at = e.position == kAuto ? data + blobs.size() + bias_ : e.position;
            Put32(fields, static_cast<uint32_t>(at));
            Put32(fields, e.size);
            if (!oneSize_) Put32(fields, e.storedSize);
            record.replace(NameSize(), fields.size(), fields);
            out += record;
            blobs += e.stored;
        }
        return out + blobs;
    }

private:
    struct Entry {
        std::string name;
        uint32_t size;
        std::string stored;
        uint32_t storedSize;
        uint64_t position;
    };

    static void Put32(std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    }

    std::string magic_;
    bool wide_ = false;
    bool oneSize_ = false;
    uint32_t bias_ = 0;
    std::vector<Entry> entries_;
    int32_t count_ = 0;
    bool countSet_ = false;
};

}  // namespace morna::test

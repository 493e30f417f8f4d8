#include "tools/pack/pack_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "foundation/auxiliary/lzss.h"

namespace morna::tools {
namespace {

void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

PackWriter::PackWriter(const std::string& magic) : magic_(magic) {
    if (magic.size() != 8) throw std::invalid_argument("magic of 8 bytes");
    wide_ = magic != "tovapack" && magic != "tovapkEx";
    oneSize_ = magic == "tovapack";
    bias_ = (magic == "packKstr" || magic == "Kstrpack") ? 4 : 0;
}

PackWriter& PackWriter::Add(const std::string& name, const std::string& contents, bool pack) {
    Entry e{name, static_cast<uint32_t>(contents.size()), contents, 0, kAuto};
    if (pack) {
        if (oneSize_) throw std::invalid_argument("tovapack stores no packed entries");
        tovarineGameSDK3rd::Auxiliary::CLZSS lz;
        uint8_t* out = nullptr;
        uint32_t packedSize = 0;
        const int r = lz.Encode(reinterpret_cast<const uint8_t*>(contents.data()), &out,
                                static_cast<uint32_t>(contents.size()), &packedSize, true);
        std::unique_ptr<uint8_t[]> owner(out);
        if (r != 0) throw std::invalid_argument("contents that do not shrink cannot be packed");
        e.stored.assign(reinterpret_cast<const char*>(out), packedSize);
    }
    e.storedSize = static_cast<uint32_t>(e.stored.size());
    entries_.push_back(e);
    return *this;
}

PackWriter& PackWriter::AddRaw(const std::string& name, const std::string& stored, uint32_t size,
                               uint32_t storedSize, uint64_t position) {
    entries_.push_back(Entry{name, size, stored, storedSize, position});
    return *this;
}

PackWriter& PackWriter::SetCount(int32_t count) {
    count_ = count;
    countSet_ = true;
    return *this;
}

std::string PackWriter::Bytes() const {
    std::string out = magic_;
    Put32(out, countSet_ ? static_cast<uint32_t>(count_) : static_cast<uint32_t>(entries_.size()));
    const uint64_t data = 12 + static_cast<uint64_t>(RecordSize()) * entries_.size();
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

}  // namespace morna::tools

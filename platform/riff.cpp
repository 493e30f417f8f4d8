#include "platform/riff.h"

#include <algorithm>
#include <cstring>

#include "platform/file_system.h"
#include "platform/wave_format.h"

namespace morna::platform {

RiffReader::RiffReader(std::FILE* file) : file_(file) {
    std::size_t n = 0;
    if (file != nullptr && FileSize(file, n)) {
        size_ = n;
        open_ = true;
    }
}

uint64_t RiffReader::ReadAt(uint64_t offset, void* out, uint64_t n) const {
    if (!open_ || offset >= size_) return 0;
    n = std::min(n, size_ - offset);
    if (memory_ != nullptr) {
        std::memcpy(out, memory_ + offset, n);
        return n;
    }
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return 0;
    return std::fread(out, 1, n, file_);
}

bool RiffReader::Descend(RiffChunk& chunk, const RiffChunk* parent, Find how, uint32_t fourcc) {
    const uint64_t limit = parent != nullptr ? std::min(parent->End(), size_) : size_;
    uint64_t at = position_;
    while (at + 8 <= limit) {
        uint8_t head[12] = {};
        const uint64_t got = ReadAt(at, head, std::min<uint64_t>(12, limit - at));
        if (got < 8) return false;
        const uint32_t id = LoadLE32(head);
        const uint32_t declared = LoadLE32(head + 4);
        const uint64_t data = at + 8;
        const uint32_t size = static_cast<uint32_t>(std::min<uint64_t>(declared, limit - data));
        const bool list = id == FourCC("RIFF") || id == FourCC("LIST");
        const uint32_t form = list && got >= 12 && size >= 4 ? LoadLE32(head + 8) : 0;
        const bool match = how == Find::kRiff ? id == FourCC("RIFF") && size >= 4 && form == fourcc : id == fourcc;
        if (match) {
            chunk.id = id;
            chunk.size = size;
            chunk.formType = form;
            chunk.dataOffset = data;
            position_ = data + (list && size >= 4 ? 4 : 0);
            return true;
        }
        at = data + declared + (declared & 1u);
    }
    return false;
}

void RiffReader::Ascend(const RiffChunk& chunk) { position_ = chunk.End() + (chunk.size & 1u); }

}  // namespace morna::platform

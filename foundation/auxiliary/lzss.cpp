#include "foundation/auxiliary/lzss.h"

#include "foundation/vtl/text_output_stream.h"

#include <bit>
#include <cstring>
#include <new>

namespace tovarineGameSDK3rd::Auxiliary {

uint64_t CLZSS::MaxUnpackedSize(uint32_t packedSize) {
    const uint64_t groups = packedSize / 17u;
    const uint32_t rest = packedSize % 17u;  // a flag byte and up to 7 references and a literal
    uint64_t most = groups * 8u * kMaxMatch;
    if (rest > 1) most += (rest - 1) / 2 * kMaxMatch + (rest - 1) % 2;
    return most;
}

int32_t CLZSS::Decode(const uint8_t* packed, uint32_t packedSize, VTL::smart_ptr<uint8_t>& out,
                      uint32_t size) {
    if (size == 0) return kLzssNothingToDo;
    if (!out.isNull()) {
        if (out.GetElementCount() < out.GetPosition() ||
            out.GetElementCount() - out.GetPosition() < size) {
            GetErrorLog().Out("CLZSS::Decodeで展開先の領域が足りない");
            return kLzssNoMemory;
        }
        uint8_t* block = out.GetNoCheck();
        return Decode(packed, packedSize, &block, size, false);
    }
    if (packed == nullptr || size > MaxUnpackedSize(packedSize)) {
        GetErrorLog().Out("CLZSS::Decodeで圧縮データが壊れている");
        return kLzssDamaged;
    }
    VTL::smart_ptr<uint8_t> block;
    try {
        block.AddArray(size);
    } catch (const std::bad_alloc&) {
        return kLzssNoMemory;
    }
    uint8_t* p = block.GetNoCheck();
    const int32_t result = Decode(packed, packedSize, &p, size, false);
    if (result == kLzssOk) out = block;
    return result;
}

int32_t CLZSS::Decode(const uint8_t* packed, uint32_t packedSize, uint8_t** out, uint32_t size,
                      bool allocate) {
    if (size == 0) return kLzssNothingToDo;
    if (out == nullptr || packed == nullptr || size > MaxUnpackedSize(packedSize)) {
        if (allocate && out != nullptr) *out = nullptr;
        GetErrorLog().Out("CLZSS::Decodeで圧縮データが壊れている");
        return kLzssDamaged;
    }
    if (allocate) {
        *out = new (std::nothrow) uint8_t[size];
        if (*out == nullptr) return kLzssNoMemory;
    }
    const int32_t result = Unpack(packed, packedSize, *out, size);
    if (result != kLzssOk) GetErrorLog().Out("CLZSS::Decodeで圧縮データが途中で終わっている");
    if (result != kLzssOk && allocate) {
        delete[] *out;
        *out = nullptr;
    }
    return result;
}

int32_t CLZSS::Unpack(const uint8_t* packed, uint32_t packedSize, uint8_t* out, uint32_t size) {
    std::memset(ring_, 0, sizeof ring_);
    const uint8_t* in = packed;
    const uint8_t* const inEnd = packed + packedSize;
    uint8_t* dst = out;
    uint8_t* const dstEnd = out + size;
    uint32_t r = kRingStart;
    uint32_t flags = 0;
    for (;;) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in == inEnd) return kLzssDamaged;
            flags = *in++ | 0xFF00u;
        }
        if (flags & 1) {
            if (in == inEnd) return kLzssDamaged;
            const uint8_t c = *in++;
            *dst++ = c;
            ring_[r] = c;
            r = (r + 1) & (kRingSize - 1);
            if (dst == dstEnd) return kLzssOk;
        } else {
            if (inEnd - in < 2) return kLzssDamaged;
            const uint32_t b1 = in[0], b2 = in[1];
            in += 2;
            const uint32_t position = b1 | ((b2 & 0xF0u) << 4);
            uint32_t length = (b2 & 0x0Fu) + kMinMatch;
            // Stop the moment size bytes are out, even inside a reference.
            const uint32_t room = static_cast<uint32_t>(dstEnd - dst);
            const bool last = length >= room;
            if (last) length = room;
            for (uint32_t k = 0; k < length; ++k) {
                const uint8_t c = ring_[(position + k) & (kRingSize - 1)];
                *dst++ = c;
                ring_[r] = c;
                r = (r + 1) & (kRingSize - 1);
            }
            if (last) return kLzssOk;
        }
    }
}

namespace {

// The first i in 1..17 where a and b differ, 18 when all agree: the byte-wise
// compare of the insertion, eight bytes at a time.
inline uint32_t FirstDifference(const uint8_t* a, const uint8_t* b) {
    for (uint32_t i = 1; i < 17; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            const uint64_t d = x ^ y;
            if constexpr (std::endian::native == std::endian::little)
                return i + static_cast<uint32_t>(std::countr_zero(d)) / 8;
            else
                return i + static_cast<uint32_t>(std::countl_zero(d)) / 8;
        }
    }
    return a[17] == b[17] ? 18 : 17;
}

}  // namespace

void CLZSS::InsertNode(uint32_t r) {
    const uint8_t* key = &text_[r];
    uint32_t p = kRingSize + 1 + key[0];
    int cmp = 1;
    left_[r] = right_[r] = kNone;
    matchLength_ = 0;
    for (;;) {
        uint16_t* const child = cmp >= 0 ? right_ : left_;
        if (child[p] == kNone) {
            child[p] = static_cast<uint16_t>(r);
            parent_[r] = static_cast<uint16_t>(p);
            return;
        }
        p = child[p];
        const uint32_t i = FirstDifference(key, &text_[p]);
        if (i < kMaxMatch) cmp = static_cast<int>(key[i]) - static_cast<int>(text_[p + i]);
        // Only a strictly longer match replaces the one found higher up the tree.
        if (i > matchLength_) {
            matchPosition_ = p;
            matchLength_ = i;
            if (i >= kMaxMatch) break;
        }
    }
    // A full match: r takes p's place and p leaves the tree.
    parent_[r] = parent_[p];
    left_[r] = left_[p];
    right_[r] = right_[p];
    parent_[left_[p]] = static_cast<uint16_t>(r);
    parent_[right_[p]] = static_cast<uint16_t>(r);
    if (right_[parent_[p]] == p)
        right_[parent_[p]] = static_cast<uint16_t>(r);
    else
        left_[parent_[p]] = static_cast<uint16_t>(r);
    parent_[p] = kNone;
}

void CLZSS::DeleteNode(uint32_t p) {
    if (parent_[p] == kNone) return;
    uint32_t q;
    if (right_[p] == kNone) {
        q = left_[p];
    } else if (left_[p] == kNone) {
        q = right_[p];
    } else {
        q = left_[p];
        if (right_[q] != kNone) {
            do {
                q = right_[q];
            } while (right_[q] != kNone);
            right_[parent_[q]] = left_[q];
            parent_[left_[q]] = parent_[q];
            left_[q] = left_[p];
            parent_[left_[p]] = static_cast<uint16_t>(q);
        }
        right_[q] = right_[p];
        parent_[right_[p]] = static_cast<uint16_t>(q);
    }
    parent_[q] = parent_[p];
    if (right_[parent_[p]] == p)
        right_[parent_[p]] = static_cast<uint16_t>(q);
    else
        left_[parent_[p]] = static_cast<uint16_t>(q);
    parent_[p] = kNone;
}

int32_t CLZSS::Encode(const uint8_t* data, VTL::smart_ptr<uint8_t>& out, uint32_t size,
                      uint32_t* packedSize) {
    if (!out.isNull()) return Encode(data, nullptr, size, packedSize, false);
    uint32_t length = 0;
    if (packedSize == nullptr) packedSize = &length;
    uint8_t* stream = nullptr;
    const int32_t result = Encode(data, &stream, size, packedSize, true);
    if (result != kLzssOk) return result;
    try {
        out.AddArray(*packedSize);
        std::memcpy(out.GetNoCheck(), stream, *packedSize);
    } catch (const std::bad_alloc&) {
        delete[] stream;
        return kLzssNoMemory;
    }
    delete[] stream;
    return kLzssOk;
}

int32_t CLZSS::Encode(const uint8_t* data, uint8_t** out, uint32_t size, uint32_t* packedSize,
                      bool allocate) {
    uint32_t counted = 0;
    if (packedSize == nullptr) packedSize = &counted;
    *packedSize = 0;
    if (allocate && out != nullptr) *out = nullptr;
    if (size < 17 || data == nullptr || (allocate && out == nullptr)) return kLzssNothingToDo;
    const uint32_t limit = size - 8;

    for (uint32_t i = kRingSize + 1; i <= kRingSize + 256; ++i) right_[i] = kNone;
    for (uint32_t i = 0; i < kRingSize; ++i) parent_[i] = kNone;
    // The whole buffer starts zeroed, including the copy of the ring's head
    // behind it, so that copy always equals the ring's first 17 bytes.
    std::memset(text_, 0, sizeof text_);

    const uint8_t* in = data;
    const uint8_t* const inEnd = data + size;
    uint32_t s = 0, r = kRingStart;
    uint32_t len = 0;
    for (; len < kMaxMatch && in != inEnd; ++len) text_[r + len] = *in++;
    for (uint32_t i = 1; i <= kMaxMatch; ++i) InsertNode(r - i);
    InsertNode(r);

    uint8_t* block = nullptr;
    if (allocate) {
        block = new (std::nothrow) uint8_t[limit];
        if (block == nullptr) return kLzssNoMemory;
    }
    uint8_t group[1 + 2 * 8];
    uint32_t groupLength = 1;
    uint8_t mask = 1;
    group[0] = 0;
    // Counts a complete group and appends it; false once the stream would not
    // come out shorter than the limit.
    auto flush = [&]() -> bool {
        if (*packedSize + groupLength >= limit) {
            *packedSize += groupLength;
            return false;
        }
        if (block != nullptr) std::memcpy(block + *packedSize, group, groupLength);
        *packedSize += groupLength;
        group[0] = 0;
        groupLength = 1;
        mask = 1;
        return true;
    };
    bool ok = true;
    while (len > 0) {
        if (matchLength_ > len) matchLength_ = len;
        if (matchLength_ >= kMinMatch) {
            group[groupLength++] = static_cast<uint8_t>(matchPosition_ & 0xFF);
            group[groupLength++] =
                static_cast<uint8_t>(((matchPosition_ >> 4) & 0xF0) | (matchLength_ - kMinMatch));
        } else {
            matchLength_ = 1;
            group[0] |= mask;
            group[groupLength++] = text_[r];
        }
        mask = static_cast<uint8_t>(mask << 1);
        if (mask == 0 && !(ok = flush())) break;

        const uint32_t last = matchLength_;
        uint32_t i = 0;
        for (; i < last && in != inEnd; ++i) {
            DeleteNode(s);
            const uint8_t c = *in++;
            text_[s] = c;
            if (s < kMaxMatch - 1) text_[s + kRingSize] = c;
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            InsertNode(r);
        }
        for (; i < last; ++i) {
            DeleteNode(s);
            s = (s + 1) & (kRingSize - 1);
            r = (r + 1) & (kRingSize - 1);
            if (--len > 0) InsertNode(r);
        }
    }
    if (ok && groupLength > 1) ok = flush();
    if (!ok) {
        delete[] block;
        return kLzssNothingToDo;
    }
    if (allocate) *out = block;
    return kLzssOk;
}

}  // namespace tovarineGameSDK3rd::Auxiliary

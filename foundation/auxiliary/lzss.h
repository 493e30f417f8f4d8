#pragma once
// LZSS packing of byte blocks: pack-archive entries and tvg pictures are stored
// with it, so every constant here is part of the stored format.
//
// Stream: groups of one flag byte and up to 8 items, bit 0 first; a set bit is a
// literal byte, a clear bit a reference b1 b2 = 12-bit absolute ring position
// (b1 | (b2 & 0xF0) << 4) and length (b2 & 0x0F) + 3. The ring holds 4096 bytes,
// zeroed at the start of each call, written from position 4078. No header, no
// length, no end marker: the unpacked size is always stored elsewhere.
#include "foundation/vtl/smart_ptr.h"

#include <cstdint>

namespace tovarineGameSDK3rd::Auxiliary {

// Answers of the decoder.
enum : int32_t {
    kLzssOk = 0,
    kLzssNothingToDo = 1,   // size 0 asked for, or (encoder) the data does not shrink
    kLzssDamaged = 2,       // the packed stream ends or cannot produce the size asked for
    kLzssNoMemory = 3,      // no block for the output, or the given block is too small
};

class ICompress {
public:
    // As the next, into out's block when it holds one (it must hold size bytes
    // from its position), else into a new block of size bytes that out then owns.
    virtual int32_t Decode(const uint8_t* packed, uint32_t packedSize, VTL::smart_ptr<uint8_t>& out,
                           uint32_t size) = 0;
    // Unpacks exactly size bytes from the packedSize bytes at packed. With
    // allocate, *out becomes a new block of size bytes (free it with delete[]);
    // without, *out must already hold size bytes. 0 done, 1 size 0, 2 damaged or
    // truncated stream (with allocate the block is freed and *out null), 3 no memory.
    virtual int32_t Decode(const uint8_t* packed, uint32_t packedSize, uint8_t** out, uint32_t size,
                           bool allocate) = 0;
    // When out is empty it receives a new block of exactly *packedSize bytes
    // holding the stream; when it already holds a block, this only measures.
    virtual int32_t Encode(const uint8_t* data, VTL::smart_ptr<uint8_t>& out, uint32_t size,
                           uint32_t* packedSize) = 0;
    // Packs size bytes. 0 when the stream is shorter than size - 8 bytes, else 1.
    // With allocate *out becomes a new block of size - 8 bytes holding the stream
    // (delete[]; null on 1); without, only *packedSize is computed.
    virtual int32_t Encode(const uint8_t* data, uint8_t** out, uint32_t size, uint32_t* packedSize,
                           bool allocate) = 0;
    virtual ~ICompress() {}
};

class CLZSS : public ICompress {
public:
    static constexpr uint32_t kRingSize = 4096;
    static constexpr uint32_t kMaxMatch = 18;
    static constexpr uint32_t kMinMatch = 3;
    static constexpr uint32_t kRingStart = kRingSize - kMaxMatch;  // 4078
    static constexpr uint32_t kNone = kRingSize;                   // "no node" in the tree

    // The most bytes that packedSize bytes of stream can unpack to: a group of
    // 17 bytes yields at most 8 x 18. Sizes above it are refused before any
    // allocation, so a hostile size cannot make the decoder allocate unboundedly.
    static uint64_t MaxUnpackedSize(uint32_t packedSize);

    int32_t Decode(const uint8_t* packed, uint32_t packedSize, VTL::smart_ptr<uint8_t>& out,
                   uint32_t size) override;
    int32_t Decode(const uint8_t* packed, uint32_t packedSize, uint8_t** out, uint32_t size,
                   bool allocate) override;
    int32_t Encode(const uint8_t* data, VTL::smart_ptr<uint8_t>& out, uint32_t size,
                   uint32_t* packedSize) override;
    int32_t Encode(const uint8_t* data, uint8_t** out, uint32_t size, uint32_t* packedSize,
                   bool allocate) override;

private:
    int32_t Unpack(const uint8_t* packed, uint32_t packedSize, uint8_t* out, uint32_t size);
    void InsertNode(uint32_t r);
    void DeleteNode(uint32_t p);

    uint8_t ring_[kRingSize];
    // Ring plus a copy of its first 17 bytes, so an 18-byte compare never wraps.
    uint8_t text_[kRingSize + kMaxMatch - 1];
    // Tree of ring positions: one root per first byte at kRingSize + 1 + byte.
    // All three arrays have room for the roots so no index is ever out of range.
    uint16_t parent_[kRingSize + 1 + 256];
    uint16_t left_[kRingSize + 1 + 256];
    uint16_t right_[kRingSize + 1 + 256];
    uint32_t matchPosition_ = 0;
    uint32_t matchLength_ = 0;
};

}  // namespace tovarineGameSDK3rd::Auxiliary

#pragma once
// A walker over RIFF files, in memory or in a stdio stream. A chunk is a
// four-byte id, a 32-bit little-endian size and its data, padded to an even
// length; a "RIFF" or "LIST" chunk's data begins with a four-byte form type.
// Descend searches forward from the current place, inside the parent when one is
// given, for the first chunk of an id (or the first RIFF form of a type) and
// stops at the start of its data (behind the form type); Ascend moves behind the
// chunk. A chunk whose size runs past its parent or the source is cut there, so
// nothing a walker hands out lies outside the bytes it was given.
#include <cstdint>
#include <cstdio>

namespace morna::platform {

constexpr uint32_t FourCC(const char (&s)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) | (static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[3])) << 24);
}

struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;        // bytes of data inside the parent and the source
    uint32_t formType = 0;    // RIFF and LIST chunks
    uint64_t dataOffset = 0;  // first byte behind the size field
    uint64_t End() const { return dataOffset + size; }
};

class RiffReader {
public:
    enum class Find { kChunk, kRiff };

    RiffReader() = default;
    // Over n bytes that must outlive the walker.
    RiffReader(const uint8_t* data, uint64_t n) : memory_(data), size_(data ? n : 0), open_(data != nullptr) {}
    // Over an open stream, whose size is taken now; IsOpen is false when it
    // cannot be measured. The walker moves the stream's position.
    explicit RiffReader(std::FILE* file);

    bool IsOpen() const { return open_; }
    uint64_t Size() const { return size_; }
    uint64_t Tell() const { return position_; }

    // fourcc is the chunk id (kChunk) or the form type (kRiff).
    bool Descend(RiffChunk& chunk, const RiffChunk* parent, Find how, uint32_t fourcc);
    // Moves behind the chunk and its pad byte.
    void Ascend(const RiffChunk& chunk);
    // Up to n bytes from offset, never past the source; answers the count.
    uint64_t ReadAt(uint64_t offset, void* out, uint64_t n) const;

private:
    const uint8_t* memory_ = nullptr;
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    bool open_ = false;
};

}  // namespace morna::platform

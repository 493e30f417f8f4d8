#pragma once
// Writes pack archives, which the product itself only reads. Used by the tests and the
// data-set generator.
//
//   PackWriter w("tovapkEx");
//   w.Add("image\\a.tvg", contents, /*pack=*/true);
//   std::string bytes = w.Bytes();
//
// Layout: the 8-byte magic, a 32-bit entry count, the records, then the data of each entry in
// order. Records: name field (32 bytes for "tovapack" and "tovapkEx", 256 for the others),
// data position, unpacked size and (all but "tovapack") stored size, little endian;
// "packKstr" and "Kstrpack" store the position plus 4.
#include <cstdint>
#include <string>
#include <vector>

namespace morna::tools {

class PackWriter {
public:
    // Throws std::invalid_argument for a magic that is not 8 bytes.
    explicit PackWriter(const std::string& magic);

    uint32_t RecordSize() const { return oneSize_ ? 40 : (wide_ ? 268 : 44); }
    uint32_t NameSize() const { return wide_ ? 256 : 32; }

    // pack: store the contents LZSS-packed (they must shrink, else std::invalid_argument).
    PackWriter& Add(const std::string& name, const std::string& contents, bool pack = false);

    // A record whose fields are given outright, with stored bytes placed as usual;
    // position = kAuto puts the field at the data (with the magic's bias).
    static constexpr uint64_t kAuto = ~0ull;
    PackWriter& AddRaw(const std::string& name, const std::string& stored, uint32_t size, uint32_t storedSize,
                       uint64_t position = kAuto);

    // The entry count written into the header, when it should lie.
    PackWriter& SetCount(int32_t count);

    std::string Bytes() const;

private:
    struct Entry {
        std::string name;
        uint32_t size;
        std::string stored;
        uint32_t storedSize;
        uint64_t position;
    };

    std::string magic_;
    bool wide_ = false;
    bool oneSize_ = false;
    uint32_t bias_ = 0;
    std::vector<Entry> entries_;
    int32_t count_ = 0;
    bool countSet_ = false;
};

}  // namespace morna::tools

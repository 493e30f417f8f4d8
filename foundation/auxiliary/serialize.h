#pragma once
// CSerialize: the byte-stream archive that configuration, ranking and replay
// files are written with. One operation per value serves both directions: while
// storing it appends the value's bytes, while loading it reads them back, so a
// record serializes itself with one body (IArchive::Serialize).
//
// Stream: the values in the order given, nothing between them, no header, no
// tags. Integers and floating-point values are their bytes, little endian;
// strings their characters and a 0 byte; containers a 32-bit count and then each
// element; a vector of booleans one byte (1 or 0) per bit.
//
// Loading is bounded by the data: a value that runs past the end, a string
// without its 0 byte or a count larger than the remaining bytes could hold puts
// the archive in a failed state (IsFailed). The state sticks until Clear,
// SetStoring or a Load that reads: every later load yields 0 or an empty value
// and allocates nothing. Streams read from files are untrusted (replays are
// dropped on the window), so loaders check IsFailed before using what they read.
#include <cstdint>
#include <vector>

#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd::Auxiliary {

class ISerialize;

// Anything that serializes itself. The same body runs for storing and loading;
// it asks IsStoring where the two must differ.
class IArchive {
public:
    virtual void Serialize(ISerialize& ar) = 0;
    virtual ~IArchive() {}
};

class ISerialize {
public:
    // Empties the data, rewinds, clears the failed state and turns to storing.
    virtual void Clear() = 0;
    virtual bool IsStoring() const = 0;
    virtual bool& GetStoringFlag() = 0;
    // Rewinds and clears the failed state; storing also empties the data.
    virtual void SetStoring(bool storing) = 0;
    // Changes the flag only.
    virtual void SetStoringFlag(bool storing) = 0;
    virtual std::vector<uint8_t>& GetData() = 0;

    // A nested archive: its data (count, bytes), its storing flag (1 byte) and its
    // read position (4 bytes).
    virtual ISerialize& operator<<(ISerialize& nested) = 0;
    // Smart arrays: the holder's element count (0 for a null array), then the
    // elements from the pointer's position, which must lie at the array's start
    // (CIndexOutOfBoundsException otherwise, before anything is stored).
    // Loading gives a new block of the count loaded (null for 0).
    virtual ISerialize& operator<<(VTL::smart_ptr<uint32_t>& a) = 0;
    virtual ISerialize& operator<<(VTL::smart_ptr<uint8_t>& a) = 0;
    virtual ISerialize& operator<<(VTL::smart_ptr<int32_t>& a) = 0;
    // Vectors: the count, then each element.
    virtual ISerialize& operator<<(std::vector<uint32_t>& v) = 0;
    virtual ISerialize& operator<<(std::vector<uint16_t>& v) = 0;
    virtual ISerialize& operator<<(std::vector<VTL::VTLstring>& v) = 0;
    virtual ISerialize& operator<<(std::vector<uint8_t>& v) = 0;
    virtual ISerialize& operator<<(std::vector<bool>& v) = 0;
    virtual ISerialize& operator<<(std::vector<int32_t>& v) = 0;
    // Values, their bytes in memory order.
    virtual ISerialize& operator<<(int64_t& x) = 0;
    virtual ISerialize& operator<<(uint64_t& x) = 0;
    virtual ISerialize& operator<<(double& x) = 0;
    virtual ISerialize& operator<<(uint32_t& x) = 0;
    virtual ISerialize& operator<<(uint16_t& x) = 0;
    // The characters and a 0 byte; loading takes the bytes up to the next 0.
    virtual ISerialize& operator<<(VTL::VTLstring& s) = 0;
    virtual ISerialize& operator<<(uint8_t& x) = 0;
    // Stored as 1 or 0; any non-zero byte loads as true.
    virtual ISerialize& operator<<(bool& x) = 0;
    virtual ISerialize& operator<<(float& x) = 0;
    virtual ISerialize& operator<<(int16_t& x) = 0;
    virtual ISerialize& operator<<(char& x) = 0;
    virtual ISerialize& operator<<(int32_t& x) = 0;
    // Runs the object's Serialize with this archive.
    virtual ISerialize& operator<<(IArchive& object) = 0;

    // Copies the other's data, storing flag, read position and failed state.
    virtual void Assign(ISerialize& other) = 0;
    // Writes the data to the file: 1 for an empty name, else the answer of
    // CFile::WriteVector (0 written, 1 cannot create, 2 write failed, 3 close failed).
    virtual int32_t Save(const VTL::VTLstring& name) = 0;
    // Replaces the data with the file's contents: the answer of CFile::ReadVector
    // (0 read, else the data is left as it was). Neither the flag nor the read
    // position changes: a caller turns to loading with SetStoring(false).
    virtual int32_t Load(const VTL::VTLstring& name) = 0;
    virtual uint32_t& GetReadPosition() = 0;
    // True once a load ran past the data (see above).
    virtual bool IsFailed() const = 0;
    virtual ~ISerialize() {}
};

class CSerialize : public ISerialize {
public:
    CSerialize() { Clear(); }

    void Clear() override;
    bool IsStoring() const override { return storing_; }
    bool& GetStoringFlag() override { return storing_; }
    void SetStoring(bool storing) override;
    void SetStoringFlag(bool storing) override { storing_ = storing; }
    std::vector<uint8_t>& GetData() override { return data_; }

    ISerialize& operator<<(ISerialize& nested) override;
    ISerialize& operator<<(VTL::smart_ptr<uint32_t>& a) override;
    ISerialize& operator<<(VTL::smart_ptr<uint8_t>& a) override;
    ISerialize& operator<<(VTL::smart_ptr<int32_t>& a) override;
    ISerialize& operator<<(std::vector<uint32_t>& v) override;
    ISerialize& operator<<(std::vector<uint16_t>& v) override;
    ISerialize& operator<<(std::vector<VTL::VTLstring>& v) override;
    ISerialize& operator<<(std::vector<uint8_t>& v) override;
    ISerialize& operator<<(std::vector<bool>& v) override;
    ISerialize& operator<<(std::vector<int32_t>& v) override;
    ISerialize& operator<<(int64_t& x) override;
    ISerialize& operator<<(uint64_t& x) override;
    ISerialize& operator<<(double& x) override;
    ISerialize& operator<<(uint32_t& x) override;
    ISerialize& operator<<(uint16_t& x) override;
    ISerialize& operator<<(VTL::VTLstring& s) override;
    ISerialize& operator<<(uint8_t& x) override;
    ISerialize& operator<<(bool& x) override;
    ISerialize& operator<<(float& x) override;
    ISerialize& operator<<(int16_t& x) override;
    ISerialize& operator<<(char& x) override;
    ISerialize& operator<<(int32_t& x) override;
    ISerialize& operator<<(IArchive& object) override;

    void Assign(ISerialize& other) override;
    int32_t Save(const VTL::VTLstring& name) override;
    int32_t Load(const VTL::VTLstring& name) override;
    uint32_t& GetReadPosition() override { return readPosition_; }
    bool IsFailed() const override { return failed_; }

private:
    template <class T>
    ISerialize& Value(T& x);
    template <class T>
    ISerialize& Vector(std::vector<T>& v, uint32_t leastBytesEach);
    template <class T>
    ISerialize& SmartArray(VTL::smart_ptr<T>& a);

    uint32_t Remaining() const;
    // Loads a container's count; false (failed, nothing to allocate) when the
    // remaining bytes cannot hold that many elements of leastBytesEach bytes.
    bool LoadCount(uint32_t& count, uint32_t leastBytesEach);
    void Fail();

    std::vector<uint8_t> data_;
    bool storing_ = true;
    uint32_t readPosition_ = 0;
    bool failed_ = false;
};

}  // namespace tovarineGameSDK3rd::Auxiliary

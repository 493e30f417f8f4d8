#include "foundation/auxiliary/serialize.h"

#include <bit>
#include <cstring>
#include <type_traits>

#include "foundation/auxiliary/file.h"
#include "foundation/vtl/exception.h"

namespace tovarineGameSDK3rd::Auxiliary {

// Values are stored in memory order, which the stream defines as little endian.
static_assert(std::endian::native == std::endian::little, "the stream layout is the memory order of a little-endian host");

void CSerialize::Clear() {
    data_.clear();
    readPosition_ = 0;
    storing_ = true;
    failed_ = false;
}

void CSerialize::SetStoring(bool storing) {
    storing_ = storing;
    readPosition_ = 0;
    failed_ = false;
    if (storing) data_.clear();
}

uint32_t CSerialize::Remaining() const {
    if (readPosition_ >= data_.size()) return 0;
    const std::size_t rest = data_.size() - readPosition_;
    return rest > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(rest);
}

void CSerialize::Fail() {
    failed_ = true;
    readPosition_ = static_cast<uint32_t>(data_.size() > 0xFFFFFFFFu ? 0xFFFFFFFFu : data_.size());
}

template <class T>
ISerialize& CSerialize::Value(T& x) {
    static_assert(std::is_trivially_copyable_v<T> && !std::is_same_v<T, bool>);
    if (storing_) {
        const auto* p = reinterpret_cast<const uint8_t*>(&x);
        data_.insert(data_.end(), p, p + sizeof(T));
    } else if (!failed_ && Remaining() >= sizeof(T)) {
        std::memcpy(&x, data_.data() + readPosition_, sizeof(T));
        readPosition_ += static_cast<uint32_t>(sizeof(T));
    } else {
        Fail();
        x = T{};
    }
    return *this;
}

bool CSerialize::LoadCount(uint32_t& count, uint32_t leastBytesEach) {
    Value(count);
    if (failed_) return false;
    if (count > Remaining() / leastBytesEach) {
        Fail();
        count = 0;
        return false;
    }
    return true;
}

template <class T>
ISerialize& CSerialize::Vector(std::vector<T>& v, uint32_t leastBytesEach) {
    if (storing_) {
        uint32_t count = static_cast<uint32_t>(v.size());
        Value(count);
        for (uint32_t i = 0; i < count; ++i) {
            if constexpr (std::is_same_v<T, bool>) {
                bool bit = v[i];
                *this << bit;
            } else {
                *this << v[i];
            }
        }
        return *this;
    }
    uint32_t count = 0;
    if (!LoadCount(count, leastBytesEach)) {
        v.clear();
        return *this;
    }
    // Filled in a vector of our own: v is only touched once the outcome is known.
    std::vector<T> loaded(count);
    for (uint32_t i = 0; i < count && !failed_; ++i) {
        if constexpr (std::is_same_v<T, bool>) {
            bool bit = false;
            *this << bit;
            loaded[i] = bit;
        } else {
            *this << loaded[i];
        }
    }
    if (failed_) {
        v.clear();
    } else {
        v.swap(loaded);
    }
    return *this;
}

template <class T>
ISerialize& CSerialize::SmartArray(VTL::smart_ptr<T>& a) {
    if (storing_) {
        uint32_t count = a.GetElementCount();
        // The elements run from the position to the count; anything but the
        // start would reach past the array.
        if (count != 0 && a.GetPosition() != 0) throw VTL::CIndexOutOfBoundsException();
        Value(count);
        for (uint32_t i = 0; i < count; ++i) *this << a[i];
        return *this;
    }
    uint32_t count = 0;
    if (!LoadCount(count, sizeof(T))) {
        a.Release();
        return *this;
    }
    a.AddArray(count);
    for (uint32_t i = 0; i < count; ++i) *this << a[i];
    return *this;
}

ISerialize& CSerialize::operator<<(ISerialize& nested) {
    if (storing_) {
        // Storing an archive into itself must not read the data it appends to.
        std::vector<uint8_t> copy;
        std::vector<uint8_t>& data = &nested == this ? (copy = data_) : nested.GetData();
        *this << data;
        bool flag = nested.GetStoringFlag();
        *this << flag;
        int32_t position = static_cast<int32_t>(nested.GetReadPosition());
        *this << position;
        return *this;
    }
    std::vector<uint8_t> data;
    bool flag = false;
    int32_t position = 0;
    *this << data << flag << position;
    if (failed_) {
        if (&nested != this) nested.Clear();
        return *this;
    }
    nested.SetStoring(false);  // rewinds and clears its failed state, keeps its data
    nested.GetData().swap(data);
    nested.SetStoringFlag(flag);
    nested.GetReadPosition() = static_cast<uint32_t>(position);
    return *this;
}

ISerialize& CSerialize::operator<<(VTL::smart_ptr<uint32_t>& a) { return SmartArray(a); }
ISerialize& CSerialize::operator<<(VTL::smart_ptr<uint8_t>& a) { return SmartArray(a); }
ISerialize& CSerialize::operator<<(VTL::smart_ptr<int32_t>& a) { return SmartArray(a); }
ISerialize& CSerialize::operator<<(std::vector<uint32_t>& v) { return Vector(v, 4); }
ISerialize& CSerialize::operator<<(std::vector<uint16_t>& v) { return Vector(v, 2); }
ISerialize& CSerialize::operator<<(std::vector<VTL::VTLstring>& v) { return Vector(v, 1); }
ISerialize& CSerialize::operator<<(std::vector<uint8_t>& v) { return Vector(v, 1); }
ISerialize& CSerialize::operator<<(std::vector<bool>& v) { return Vector(v, 1); }
ISerialize& CSerialize::operator<<(std::vector<int32_t>& v) { return Vector(v, 4); }
ISerialize& CSerialize::operator<<(int64_t& x) { return Value(x); }
ISerialize& CSerialize::operator<<(uint64_t& x) { return Value(x); }
ISerialize& CSerialize::operator<<(double& x) { return Value(x); }
ISerialize& CSerialize::operator<<(uint32_t& x) { return Value(x); }
ISerialize& CSerialize::operator<<(uint16_t& x) { return Value(x); }
ISerialize& CSerialize::operator<<(uint8_t& x) { return Value(x); }
ISerialize& CSerialize::operator<<(float& x) { return Value(x); }
ISerialize& CSerialize::operator<<(int16_t& x) { return Value(x); }
ISerialize& CSerialize::operator<<(char& x) { return Value(x); }
ISerialize& CSerialize::operator<<(int32_t& x) { return Value(x); }

ISerialize& CSerialize::operator<<(bool& x) {
    uint8_t byte = x ? 1 : 0;
    Value(byte);
    if (!storing_) x = byte != 0;
    return *this;
}

ISerialize& CSerialize::operator<<(VTL::VTLstring& s) {
    if (storing_) {
        const auto* p = reinterpret_cast<const uint8_t*>(s.data());
        data_.insert(data_.end(), p, p + s.size());
        data_.push_back(0);
        return *this;
    }
    const uint32_t rest = failed_ ? 0 : Remaining();
    const uint8_t* start = data_.data() + (rest ? readPosition_ : 0);
    const void* nul = rest ? std::memchr(start, 0, rest) : nullptr;
    if (nul == nullptr) {
        Fail();
        s.clear();
        return *this;
    }
    const auto length = static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - start);
    s.assign(reinterpret_cast<const char*>(start), length);
    readPosition_ += length + 1;
    return *this;
}

ISerialize& CSerialize::operator<<(IArchive& object) {
    object.Serialize(*this);
    return *this;
}

void CSerialize::Assign(ISerialize& other) {
    if (&other == this) return;
    data_ = other.GetData();
    storing_ = other.IsStoring();
    readPosition_ = other.GetReadPosition();
    failed_ = other.IsFailed();
}

int32_t CSerialize::Save(const VTL::VTLstring& name) {
    if (name.empty()) return 1;
    CFile file;
    return file.WriteVector(name, data_);
}

int32_t CSerialize::Load(const VTL::VTLstring& name) {
    CFile file;
    std::vector<uint8_t> read;
    const int32_t result = file.ReadVector(name, read);
    if (result != 0) return result;
    data_.swap(read);
    failed_ = false;  // new data: nothing of it has been found short yet
    return 0;
}

}  // namespace tovarineGameSDK3rd::Auxiliary

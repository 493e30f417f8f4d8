#pragma once
// An ordered map of text keys to text values, with numbers stored as decimal
// text, a line-oriented file form ("#key value" lines) and a stream form.
#include "foundation/auxiliary/serialize.h"
#include "foundation/vtl/vtl_string.h"

#include <cstdint>
#include <map>

namespace tovarineGameSDK3rd::Auxiliary {

class IStringMap {
public:
    using Map = std::map<VTL::VTLstring, VTL::VTLstring>;

    // Stores the number's decimal text.
    virtual void Write(const VTL::VTLstring& key, int64_t number) = 0;
    // Replaces the value of an existing key or inserts a new entry.
    virtual void Write(const VTL::VTLstring& key, const VTL::VTLstring& value) = 0;
    // Appends value to an existing entry's text; a missing key is inserted with value.
    virtual void Append(const VTL::VTLstring& key, const VTL::VTLstring& value) = 0;
    // -1 missing (out = 0); 0 parsed; 1 the text holds no digits.
    virtual int32_t ReadNumber(const VTL::VTLstring& key, int64_t& out) const = 0;
    // 0 found; -1 missing (value emptied).
    virtual int32_t Read(const VTL::VTLstring& key, VTL::VTLstring& value) const = 0;
    // The stored text, or def when the key is missing or its text is empty.
    virtual VTL::VTLstring GetString(const VTL::VTLstring& key, const VTL::VTLstring& def) const = 0;
    virtual int32_t GetNumber(const VTL::VTLstring& key, int32_t def) const = 0;
    virtual int64_t GetNumber64(const VTL::VTLstring& key, int64_t def) const = 0;
    virtual bool Erase(const VTL::VTLstring& key) = 0;
    virtual void Clear() = 0;
    // Reads a string-map file (disk, pack archive or memory name); the file
    // layer's result, the map untouched on failure.
    virtual int32_t Load(const VTL::VTLstring& name) = 0;
    // 0 written; 1 the file could not be created, 2 a write and 3 the close failed
    // (the old file is then kept).
    virtual int32_t Save(const VTL::VTLstring& name) const = 0;
    // Replaces, entry by entry in key order, every occurrence of the key in
    // text by its value.
    virtual void Replace(VTL::VTLstring& text, bool caseSensitive) const = 0;
    virtual Map& GetMap() = 0;
    virtual ~IStringMap() = default;
};

class CStringMap : public IStringMap, public IArchive {
public:
    void Write(const VTL::VTLstring& key, int64_t number) override;
    void Write(const VTL::VTLstring& key, const VTL::VTLstring& value) override;
    void Append(const VTL::VTLstring& key, const VTL::VTLstring& value) override;
    int32_t ReadNumber(const VTL::VTLstring& key, int64_t& out) const override;
    int32_t Read(const VTL::VTLstring& key, VTL::VTLstring& value) const override;
    VTL::VTLstring GetString(const VTL::VTLstring& key, const VTL::VTLstring& def) const override;
    int32_t GetNumber(const VTL::VTLstring& key, int32_t def) const override;
    int64_t GetNumber64(const VTL::VTLstring& key, int64_t def) const override;
    bool Erase(const VTL::VTLstring& key) override;
    void Clear() override { map_.clear(); }
    int32_t Load(const VTL::VTLstring& name) override;
    int32_t Save(const VTL::VTLstring& name) const override;
    void Replace(VTL::VTLstring& text, bool caseSensitive) const override;
    Map& GetMap() override { return map_; }

    // The entry count (4 bytes), then each key and value as a string. Loading
    // replaces the whole map, or nothing when the archive fails.
    void Serialize(ISerialize& ar) override;

private:
    Map map_;
};

}  // namespace tovarineGameSDK3rd::Auxiliary

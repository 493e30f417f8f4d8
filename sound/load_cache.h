#pragma once
// Objects loaded on demand by small integer ids. The ids and their file names
// come from a definition list read once; an id's object is made on its first
// Load by the derived loader's hook; the ids in use stay in most-recently-used
// order, so that a stale listener with a budget can evict the least recently
// used ones.
#include <any>
#include <cstdint>
#include <map>

#include "foundation/vtl/fast_list.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd::Auxiliary {

// One definition: what the loader made for it (empty until loaded) and its file.
class CLoadCacheInfo {
public:
    std::any object;
    VTL::VTLstring fileName;
};

// An id in use: the owning cache (its definitions) and the id.
struct CIDObjectAndNumber {
    const void* object;
    int32_t number;
    friend bool operator<(const CIDObjectAndNumber& a, const CIDObjectAndNumber& b) {
        return a.object != b.object ? a.object < b.object : a.number < b.number;
    }
};

class ILoadCacheListener {
public:
    virtual void Notify(const int32_t& id) = 0;
    virtual ~ILoadCacheListener() {}
};

class CDefaultLoadCacheListener : public ILoadCacheListener {
public:
    void Notify(const int32_t&) override {}
};

class ICacheStaleListener {
public:
    virtual int32_t OnLoad(VTL::smart_ptr<CLoadCacheInfo>& entry) = 0;
    virtual int32_t OnRelease(VTL::smart_ptr<CLoadCacheInfo>& entry) = 0;
    virtual bool IsStale() = 0;
    virtual ~ICacheStaleListener() {}
};

// Counts the loaded entries; stale beyond the limit (never, by default).
class CDefaultCacheStaleListener : public ICacheStaleListener {
public:
    explicit CDefaultCacheStaleListener(int32_t limit = 0x7FFFFFFF) : limit_(limit) {}
    int32_t OnLoad(VTL::smart_ptr<CLoadCacheInfo>&) override {
        ++count_;
        return 0;
    }
    int32_t OnRelease(VTL::smart_ptr<CLoadCacheInfo>&) override {
        --count_;
        return 0;
    }
    bool IsStale() override { return count_ > limit_; }

private:
    int32_t count_ = 0;
    int32_t limit_;
};

using UseList = VTL::fast_list<CIDObjectAndNumber>;

class ILoadCache {
public:
    // The definition list: 0 read, 1 unreadable, 2 a numbered line without a number.
    virtual int32_t Set(const VTL::VTLstring& listFile, bool numbered) = 0;
    // 0 loaded now or already in use; 1 not defined; else the hook's failure.
    virtual int32_t Load(int32_t id) = 0;
    virtual bool IsLoaded(int32_t id) = 0;
    // 0 when an id in use was dropped, 1 when it was not in use.
    virtual int32_t Erase(int32_t id) = 0;
    virtual int32_t Clear() = 0;
    // 0 found, 1 not defined.
    virtual int32_t GetInfo(int32_t id, VTL::smart_ptr<CLoadCacheInfo>& out) = 0;
    virtual void SetListener(const VTL::smart_ptr<ILoadCacheListener>& listener) = 0;
    virtual VTL::smart_ptr<ILoadCacheListener> GetListener() = 0;
    virtual void SetStaleListener(const VTL::smart_ptr<ICacheStaleListener>& listener) = 0;
    virtual VTL::smart_ptr<ICacheStaleListener> GetStaleListener() = 0;
    virtual void EnableDefinitions(bool enable) = 0;
    virtual void SetPath(const VTL::VTLstring& path) = 0;
    virtual VTL::VTLstring GetPath() = 0;
    virtual ~ILoadCache() {}
};

class CLoadCache : public ILoadCache {
public:
    CLoadCache();
    ~CLoadCache() override;
    CLoadCache(const CLoadCache&) = delete;
    CLoadCache& operator=(const CLoadCache&) = delete;

    int32_t Set(const VTL::VTLstring& listFile, bool numbered) override { return ReadDefinitionFile(listFile, numbered); }
    int32_t Load(int32_t id) override;
    bool IsLoaded(int32_t id) override;
    int32_t Erase(int32_t id) override;
    int32_t Clear() override;
    int32_t GetInfo(int32_t id, VTL::smart_ptr<CLoadCacheInfo>& out) override;
    void SetListener(const VTL::smart_ptr<ILoadCacheListener>& listener) override { listener_ = listener; }
    VTL::smart_ptr<ILoadCacheListener> GetListener() override { return listener_; }
    void SetStaleListener(const VTL::smart_ptr<ICacheStaleListener>& listener) override { staleListener_ = listener; }
    VTL::smart_ptr<ICacheStaleListener> GetStaleListener() override { return staleListener_; }
    void EnableDefinitions(bool enable) override { definitionsEnabled_ = enable; }
    void SetPath(const VTL::VTLstring& path) override { path_ = path; }
    VTL::VTLstring GetPath() override { return path_; }

    // Elements in the use list (of every cache that shares it).
    virtual int32_t GetCount() { return static_cast<int32_t>(useList_->size()); }
    VTL::smart_ptr<UseList> GetUseList() const { return useList_; }

    // Reads "name" (unnumbered: ids count the content lines from 0) or
    // "name,id" lines; empty lines and lines beginning with "//" are skipped.
    int32_t ReadDefinitionFile(const VTL::VTLstring& listFile, bool numbered);

protected:
    // Makes the entry's object: 0 success.
    virtual int32_t CreateEntry(VTL::smart_ptr<CLoadCacheInfo>& entry) = 0;
    // A definition was made (also again after its object was evicted).
    virtual void OnDefine(VTL::smart_ptr<CLoadCacheInfo>&, int32_t) {}

    CIDObjectAndNumber Key(int32_t id) const { return {&definitions_, id}; }
    void Define(int32_t id, const VTL::VTLstring& fileName);

    VTL::smart_ptr<ILoadCacheListener> listener_;
    VTL::smart_ptr<ICacheStaleListener> staleListener_;
    VTL::smart_ptr<UseList> useList_;
    std::map<int32_t, VTL::smart_ptr<CLoadCacheInfo>> definitions_;
    bool definitionsEnabled_ = true;
    VTL::VTLstring path_;
};

}  // namespace tovarineGameSDK3rd::Auxiliary

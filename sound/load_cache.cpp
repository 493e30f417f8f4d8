#include "sound/load_cache.h"

#include <vector>

#include "foundation/auxiliary/file.h"
#include "foundation/auxiliary/string_scanner.h"

namespace tovarineGameSDK3rd::Auxiliary {

CLoadCache::CLoadCache()
    : listener_(new CDefaultLoadCacheListener),
      staleListener_(new CDefaultCacheStaleListener),
      useList_(new UseList) {}

CLoadCache::~CLoadCache() { CLoadCache::Clear(); }

void CLoadCache::Define(int32_t id, const VTL::VTLstring& fileName) {
    VTL::smart_ptr<CLoadCacheInfo> info(new CLoadCacheInfo);
    info->fileName = fileName;
    definitions_[id] = info;
    OnDefine(info, id);
}

int32_t CLoadCache::ReadDefinitionFile(const VTL::VTLstring& listFile, bool numbered) {
    if (!definitionsEnabled_) return 0;
    CFile file;
    if (file.Read(listFile) != 0) return 1;
    char line[256];
    int32_t n = 0;  // content lines so far
    for (;;) {
        const int32_t r = file.ReadLineRaw(line, sizeof line);
        if (r == 1 || r == 3) return 0;
        if (line[0] == '\0' || (line[0] == '/' && line[1] == '/')) continue;
        const char* cursor = line;
        const VTL::VTLstring name = CStringScanner::GetCommaToken(&cursor);
        int32_t id = n++;
        if (numbered && CStringScanner::GetNextToken(&cursor, &id, false) != 0) return 2;
        Define(id, path_ + name);
    }
}

int32_t CLoadCache::Load(int32_t id) {
    listener_->Notify(id);
    if (useList_->touch(Key(id))) return 0;
    if (definitions_.find(id) == definitions_.end()) return 1;
    while (staleListener_->IsStale() && !useList_->empty()) {
        const CIDObjectAndNumber victim = useList_->back();
        useList_->pop_back();
        auto it = victim.object == &definitions_ ? definitions_.find(victim.number) : definitions_.end();
        if (it == definitions_.end()) continue;
        staleListener_->OnRelease(it->second);
        // Only the object goes: the id stays defined and loads again on its next use.
        Define(victim.number, it->second->fileName);
    }
    VTL::smart_ptr<CLoadCacheInfo> entry = definitions_[id];
    const int32_t r = CreateEntry(entry);
    if (r == 0) staleListener_->OnLoad(entry);
    return r;
}

bool CLoadCache::IsLoaded(int32_t id) {
    listener_->Notify(id);
    return useList_->contains(Key(id));
}

int32_t CLoadCache::Erase(int32_t id) {
    definitions_.erase(id);
    return useList_->erase(Key(id)) ? 0 : 1;
}

int32_t CLoadCache::Clear() {
    definitions_.clear();
    std::vector<CIDObjectAndNumber> mine;
    for (const CIDObjectAndNumber& e : *useList_) {
        if (e.object == &definitions_) mine.push_back(e);
    }
    for (const CIDObjectAndNumber& e : mine) useList_->erase(e);
    return 0;
}

int32_t CLoadCache::GetInfo(int32_t id, VTL::smart_ptr<CLoadCacheInfo>& out) {
    auto it = definitions_.find(id);
    if (it == definitions_.end()) return 1;
    out = it->second;
    return 0;
}

}  // namespace tovarineGameSDK3rd::Auxiliary

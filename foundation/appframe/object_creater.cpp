#include "foundation/appframe/object_creater.h"

#include "foundation/auxiliary/file.h"
#include "foundation/thread/singleton.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/file_system.h"
#include "platform/shared_library.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tovarineGameSDK3rd::AppFrame {
namespace {

using InitializerEntry = void (*)(IObjectCreater*);
constexpr const char* kEntryName = "TovaDllInitializer";

constinit Thread::CSingletonHolder<CObjectCreater> g_creater;

}  // namespace

// ---- CDllPlugInLoader

int32_t CDllPlugInLoader::Load(const VTL::VTLstring& name) {
    name_ = name;
    Release();
    std::string path;
    if (morna::platform::SystemPathFromName(name_.view(), path)) module_ = morna::platform::OpenSharedLibrary(path);
    if (module_) return 0;
    GetErrorLog().Out("CDllPlugInLoader::Load \"%s\"のロードに失敗", name_.c_str());
    return 1;
}

int32_t CDllPlugInLoader::Release() {
    if (!module_) return 0;
    const bool ok = morna::platform::CloseSharedLibrary(module_);
    module_ = nullptr;
    return ok ? 0 : 1;
}

CDllPlugInLoader::~CDllPlugInLoader() { Release(); }

// ---- CObjectCreater

CObjectCreater* CObjectCreater::GetInstance() { return g_creater.Get(); }

void CObjectCreater::DestroyInstance() { g_creater.Destroy(); }

void* CObjectCreater::Create(const char* name) {
    if (!name) return nullptr;
    Thread::CCriticalLock guard(lock_);
    const size_t len = std::strlen(name);
    for (const auto& info : classes_) {
        if (info->name.size() == len && std::memcmp(info->name.c_str(), name, len) == 0)
            return info->factory->Create();
    }
    return nullptr;
}

void CObjectCreater::RegisterClass(const char* name, IObjectFactory* factory) {
    // No lock, by design: plug-in entries register under LoadPlugIn's lock, and
    // the program registers its own classes from one thread.
    std::unique_ptr<IObjectFactory> owned(factory);
    if (!name || !owned) return;  // nothing that Create could ever use
    classes_.push_back(std::unique_ptr<CObjectInfo>(new CObjectInfo{loading_, name, std::move(owned)}));
}

CPlugInInfo* CObjectCreater::FindPlugIn(const VTL::VTLstring& fullName) const {
    for (const auto& p : plugIns_)
        if (p->GetName() == fullName) return p.get();
    return nullptr;
}

int32_t CObjectCreater::LoadPlugIn(const char* name) {
    if (!name) return 0;
    const VTL::VTLstring full = Auxiliary::CFile::GetFullName(VTL::VTLstring(name));
    Thread::CCriticalLock guard(lock_);
    if (CPlugInInfo* p = FindPlugIn(full)) {
        p->SetCount(p->GetCount() + 1);
        return 0;
    }
    auto info = std::make_unique<CPlugInInfo>();
    loading_ = info.get();
    if (info->Load(full) != 0) {
        loading_ = nullptr;
        return 0;
    }
    auto entry = reinterpret_cast<InitializerEntry>(
        morna::platform::FindSharedLibrarySymbol(info->GetModule(), kEntryName));
    if (!entry) {
        loading_ = nullptr;
        return 0;
    }
    try {
        entry(this);
    } catch (...) {
        // Drop what the entry registered before its library goes with info.
        CPlugInInfo* p = info.get();
        std::erase_if(classes_, [p](const std::unique_ptr<CObjectInfo>& c) { return c->owner == p; });
        loading_ = nullptr;
        throw;
    }
    plugIns_.push_back(std::move(info));
    loading_ = nullptr;
    return 0;
}

int32_t CObjectCreater::ReleasePlugIn(const char* name) {
    if (!name) return 0;
    const VTL::VTLstring full = Auxiliary::CFile::GetFullName(VTL::VTLstring(name));
    Thread::CCriticalLock guard(lock_);
    CPlugInInfo* p = FindPlugIn(full);
    if (!p) {
        GetErrorLog().Out("CObjectCreater::ReleasePlugIn 登録されていないPlugInの削除");
        return 0;
    }
    p->SetCount(p->GetCount() - 1);
    if (p->GetCount() > 0) return 0;
    // The factories' code lives in the library: destroy them before freeing it.
    std::erase_if(classes_, [p](const std::unique_ptr<CObjectInfo>& c) { return c->owner == p; });
    std::erase_if(plugIns_, [p](const std::unique_ptr<CPlugInInfo>& q) { return q.get() == p; });
    return 0;
}

void* CObjectCreater::Allocate(uint32_t size) { return std::malloc(size); }

void CObjectCreater::Free(void* p) { std::free(p); }

}  // namespace tovarineGameSDK3rd::AppFrame

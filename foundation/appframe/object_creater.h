#pragma once
// The process-wide registry of classes that can be created by name, and the
// loader of plug-in libraries that add classes to it. A plug-in exports
//   extern "C" void TovaDllInitializer(IObjectCreater* creater);
// and registers a factory for each class it brings from inside that call.
#include "foundation/thread/critical_section.h"
#include "foundation/vtl/vtl_string.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tovarineGameSDK3rd::AppFrame {

// Makes one class's instances. The registry owns the factory and deletes it
// through the virtual destructor when its entry goes, while the library that
// brought it is still loaded. Keep this header-only: plug-ins implement it
// without linking against the program.
class IObjectFactory {
public:
    // A new instance; the caller owns it.
    virtual void* Create() = 0;
    virtual ~IObjectFactory() = default;
};

// The factory for a class T handed out as a pointer to As (the interface the
// caller will cast the result back to).
template <class T, class As = T>
class CObjectFactory : public IObjectFactory {
public:
    void* Create() override { return static_cast<As*>(new T()); }
};

class IObjectCreater {
public:
    // A new object of the first class registered under name (case counts); null when none.
    virtual void* Create(const VTL::VTLstring& name) = 0;
    virtual void* Create(const char* name) = 0;
    // Takes ownership of factory. Repeated names are accepted; the earlier one wins.
    virtual void RegisterClass(const VTL::VTLstring& name, IObjectFactory* factory) = 0;
    virtual void RegisterClass(const char* name, IObjectFactory* factory) = 0;
    // Loads the plug-in, or counts one more load of it. Always 0; failures go to the error log.
    virtual int32_t LoadPlugIn(const VTL::VTLstring& name) = 0;
    virtual int32_t LoadPlugIn(const char* name) = 0;
    // Counts one load down; at 0 the plug-in's classes go and the library is freed. Always 0.
    virtual int32_t ReleasePlugIn(const VTL::VTLstring& name) = 0;
    virtual int32_t ReleasePlugIn(const char* name) = 0;
    // Memory from the program's heap, so that a plug-in and the program free what the other allocated.
    virtual void* Allocate(uint32_t size) = 0;
    virtual void Free(void* p) = 0;
    virtual ~IObjectCreater() = default;
};

// One loaded library.
class CDllPlugInLoader {
public:
    CDllPlugInLoader() = default;
    CDllPlugInLoader(const CDllPlugInLoader&) = delete;
    CDllPlugInLoader& operator=(const CDllPlugInLoader&) = delete;

    // name is a full name. 0 loaded; 1 not (written to the error log).
    virtual int32_t Load(const VTL::VTLstring& name);
    // 0 when nothing is loaded or freeing succeeded, else 1.
    virtual int32_t Release();
    virtual VTL::VTLstring GetName() const { return name_; }
    virtual void* GetModule() const { return module_; }
    virtual ~CDllPlugInLoader();

private:
    void* module_ = nullptr;
    VTL::VTLstring name_;
};

// A loaded plug-in with the number of times it was loaded.
class CPlugInInfo : public CDllPlugInLoader {
public:
    int32_t GetCount() const { return count_; }
    void SetCount(int32_t n) { count_ = n; }

private:
    int32_t count_ = 1;
};

// One registered class.
struct CObjectInfo {
    CPlugInInfo* owner;  // the plug-in whose entry registered it; null for the program's own
    VTL::VTLstring name;
    std::unique_ptr<IObjectFactory> factory;
};

class CObjectCreater : public IObjectCreater {
public:
    // The process-wide creator, made on first use (under the singletons'
    // creation lock while the multi-thread flag is set).
    static CObjectCreater* GetInstance();
    // Deletes it (at exit, or earlier); the next GetInstance makes a new one.
    static void DestroyInstance();

    CObjectCreater() = default;
    CObjectCreater(const CObjectCreater&) = delete;
    CObjectCreater& operator=(const CObjectCreater&) = delete;

    void* Create(const VTL::VTLstring& name) override { return Create(name.c_str()); }
    void* Create(const char* name) override;
    void RegisterClass(const VTL::VTLstring& name, IObjectFactory* factory) override {
        RegisterClass(name.c_str(), factory);
    }
    void RegisterClass(const char* name, IObjectFactory* factory) override;
    int32_t LoadPlugIn(const VTL::VTLstring& name) override { return LoadPlugIn(name.c_str()); }
    int32_t LoadPlugIn(const char* name) override;
    int32_t ReleasePlugIn(const VTL::VTLstring& name) override { return ReleasePlugIn(name.c_str()); }
    int32_t ReleasePlugIn(const char* name) override;
    void* Allocate(uint32_t size) override;
    void Free(void* p) override;
    // Every factory goes before any library is freed (member order below).
    ~CObjectCreater() override = default;

private:
    CPlugInInfo* FindPlugIn(const VTL::VTLstring& fullName) const;

    // Destroyed bottom-up: the lock, then the classes, then the plug-ins.
    std::vector<std::unique_ptr<CPlugInInfo>> plugIns_;
    std::vector<std::unique_ptr<CObjectInfo>> classes_;
    Thread::CCriticalSection lock_;
    CPlugInInfo* loading_ = nullptr;  // the plug-in whose entry is running
};

}  // namespace tovarineGameSDK3rd::AppFrame

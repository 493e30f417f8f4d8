#pragma once
// The object that the program's entry builds first and destroys last: it sets
// the SDK up for threads, runs the start-up callbacks, and at the end waits for
// every thread before the exit callbacks run.
#include <cstdint>

#include "foundation/vtl/function_callback.h"
#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::AppFrame {

class CAppInitializer {
public:
    // The four values as the entry received them. Sets the multi-thread flag,
    // marks the calling thread as one that is not a CThread and runs the
    // initializer list (a broken element throws the template library's
    // null-pointer or index exception).
    CAppInitializer(void* instance, void* prevInstance, const char* commandLine, int32_t showCommand);
    // Waits until every CThread has ended, clears the multi-thread flag and runs
    // the finalizer list; a callback that throws is reported to the error log.
    ~CAppInitializer();
    CAppInitializer(const CAppInitializer&) = delete;
    CAppInitializer& operator=(const CAppInitializer&) = delete;

    // The live initializer, or null.
    static CAppInitializer* GetInstance();
    void* GetInstanceHandle() const { return m_instance; }
    void* GetPrevInstanceHandle() const { return m_prevInstance; }
    const char* GetCommandLine() const { return m_commandLine; }
    int32_t GetShowCommand() const { return m_showCommand; }

    // Appends to the lists, in the order the callbacks are to run.
    static void RegisterInitializer(const VTL::smart_ptr<VTL::function_callback>& callback);
    static void RegisterFinalizer(const VTL::smart_ptr<VTL::function_callback>& callback);
    // Deletes both lists (at exit).
    static void DestroyCallbackLists();

private:
    void* m_instance;
    void* m_prevInstance;
    const char* m_commandLine;
    int32_t m_showCommand;
};

}  // namespace tovarineGameSDK3rd::AppFrame

#pragma once
// The application's start-up and exit callback lists. They live below every module that
// appends to them (the file layer, the ThreadLocal registry); the CAppInitializer one floor up
// runs them, and its RegisterInitializer and RegisterFinalizer are these.
#include "foundation/vtl/exception.h"
#include "foundation/vtl/function_callback.h"
#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::Thread {

enum class CallbackList { Initializer, Finalizer };

// Appends to a list, in the order the callbacks are to run.
void RegisterCallback(CallbackList list, const VTL::smart_ptr<VTL::function_callback>& callback);

// Runs a list in registration order; a callback may append to it. A broken element throws the
// template library's null-pointer or index exception. A CException from an element goes to
// onError and the rest still run; without onError it leaves the run.
void RunCallbacks(CallbackList list, void (*onError)(const VTL::CException&) = nullptr);

// Deletes both lists (at exit).
void DestroyCallbackLists();

}  // namespace tovarineGameSDK3rd::Thread

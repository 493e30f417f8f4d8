#pragma once
// Operating-system threads for the SDK's CThread, on POSIX threads.
#include <cstdint>

namespace morna::platform {

// Ids that the SDK keys per-thread data and lock owners by: taken from a
// process-wide counter the first time a thread asks (or when StartThread
// makes the thread), starting at 1 and never reused, unlike the kernel's.
// -1 means "no thread" throughout the SDK.
int32_t CurrentThreadId();

class Thread;  // an operating-system thread that has not been closed yet

// Entry of a started thread; its answer is the thread's exit code.
using ThreadEntry = uint32_t (*)(void* arg);

// Starts entry(arg) on a new thread with the given stack size (0 = the system's
// default; a size below the system's minimum is raised to it). The new thread's
// id is decided before it runs (its CurrentThreadId) and answered in *id.
// Answers null, with *id left alone, when no thread could be made.
Thread* StartThread(ThreadEntry entry, void* arg, uint32_t stackSize, int32_t* id);

// Waits without limit until the thread has returned from its entry. False when
// it cannot be joined (it is the calling thread, or was joined already); the
// handle stays open either way.
bool JoinThread(Thread* thread);

// Releases the handle. A thread that was never joined is detached: it runs on
// and frees its own resources when it returns.
void CloseThread(Thread* thread);

}  // namespace morna::platform

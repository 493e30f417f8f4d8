#include "foundation/thread/mutex.h"

#include <string>

#include "platform/module_path.h"

namespace tovarineGameSDK3rd::Thread {

int32_t CMutex::Open(const VTL::VTLstring& name) { return m_lock.Open(name.c_str()); }

void CMutex::Wait() {
    if (m_lock.IsOpen()) m_lock.Wait();
}

void CMutex::Close() { m_lock.Close(); }

VTL::VTLstring CMutex::ExecutableMutexName() {
    std::string path = morna::platform::ExecutablePath();
    for (char& c : path) {
        if (c == '\\') c = '?';
    }
    return VTL::VTLstring(path.c_str());
}

bool CMutex::IsFirstInstance(const VTL::VTLstring& name) {
    const bool useExe = name.c_str()[0] == '\0';
    return Open(useExe ? ExecutableMutexName() : name) == 0;
}

}  // namespace tovarineGameSDK3rd::Thread

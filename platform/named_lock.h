#pragma once
// The single-instance mutex: a lock file named after the mutex name, held with
// an exclusive flock for as long as it is open. The kernel drops the lock when
// its holder ends, however it ends.
#include <cstdint>
#include <string>
#include <string_view>

namespace morna::platform {

class NamedLock {
public:
    NamedLock() = default;
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;
    ~NamedLock() { Close(); }

    // Closes what was open, then opens the lock file for name and tries to lock
    // it: 0 locked (this is the first holder), 1 another holder has it (the file
    // stays open, and Wait can still take it), 2 the file could not be opened.
    int32_t Open(std::string_view name);
    // Waits without limit for the lock. False when nothing is open or the wait failed.
    bool Wait();
    // Unlocks and closes.
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // The lock file's full name for a mutex name: in the user's runtime folder
    // (or else the temporary folder), the name in UTF-8 (its bytes as they are
    // when it is not valid Shift-JIS) with '/', '%' and control bytes
    // written as %XX; a name that would pass 255 bytes is cut and ended with a
    // hash of the whole name, so that long names stay apart.
    static std::string FileName(std::string_view name);

private:
    int m_fd = -1;
};

}  // namespace morna::platform

#include "platform/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/charset.h"

namespace morna::platform {
namespace {

constexpr size_t kMaxFileName = 255;
constexpr std::string_view kPrefix = "morna-mutex-";
constexpr std::string_view kSuffix = ".lock";

bool IsDirectory(const char* path) {
    struct stat st {};
    return path && *path == '/' && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

std::string LockFolder() {
    for (const char* var : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* dir = std::getenv(var);
        if (IsDirectory(dir)) return dir;
    }
    return "/tmp";
}

uint64_t Fnv1a64(std::string_view s) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

}  // namespace

std::string NamedLock::FileName(std::string_view name) {
    // Names are Shift-JIS inside the program; on disk they are UTF-8 where they convert.
    std::string utf8;
    if (!Cp932ToUtf8(name, utf8)) utf8.assign(name);
    std::string body;
    for (unsigned char c : utf8) {
        if (c == '/' || c == '%' || c < 0x20 || c == 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            body += hex;
        } else {
            body += static_cast<char>(c);
        }
    }
    const size_t room = kMaxFileName - kPrefix.size() - kSuffix.size();
    if (body.size() > room) {
        char hash[20];
        std::snprintf(hash, sizeof hash, "#%016llx", static_cast<unsigned long long>(Fnv1a64(name)));
        body.resize(room - (sizeof hash - 3));
        body += hash;
    }
    std::string path = LockFolder();
    if (path.back() != '/') path += '/';
    path += kPrefix;
    path += body;
    path += kSuffix;
    return path;
}

int32_t NamedLock::Open(std::string_view name) {
    Close();
    const std::string path = FileName(name);
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return 2;
    int r;
    do {
        r = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r == 0) return 0;
    return errno == EWOULDBLOCK ? 1 : 2;
}

bool NamedLock::Wait() {
    if (m_fd < 0) return false;
    int r;
    do {
        r = ::flock(m_fd, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

void NamedLock::Close() {
    if (m_fd < 0) return;
    // The file itself stays: removing it could let a second process lock a
    // fresh file while a third still holds the old one.
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

}  // namespace morna::platform

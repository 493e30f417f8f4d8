#include "platform/file_system.h"

#include "platform/charset.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace morna::platform {
namespace {

bool IsDriveZ(std::string_view name) {
    return name.size() >= 3 && (name[0] == 'Z' || name[0] == 'z') && name[1] == ':' &&
           (name[2] == '\\' || name[2] == '/');
}

// The LF -> CR LF translation of a text stream, as a stdio cookie over a binary stream.
ssize_t TextWrite(void* cookie, const char* buf, size_t n) {
    std::string bytes;
    AppendTextBytes(bytes, std::string_view(buf, n));
    return std::fwrite(bytes.data(), 1, bytes.size(), static_cast<std::FILE*>(cookie)) == bytes.size()
               ? static_cast<ssize_t>(n)
               : 0;
}

ssize_t TextRead(void* cookie, char* buf, size_t n) {
    std::FILE* f = static_cast<std::FILE*>(cookie);
    const size_t got = std::fread(buf, 1, n, f);
    return got == 0 && std::ferror(f) ? -1 : static_cast<ssize_t>(got);
}

int TextSeek(void* cookie, off64_t* offset, int whence) {
    std::FILE* f = static_cast<std::FILE*>(cookie);
    if (std::fflush(f) != 0 || fseeko(f, *offset, whence) != 0) return -1;
    *offset = ftello(f);
    return 0;
}

int TextClose(void* cookie) { return std::fclose(static_cast<std::FILE*>(cookie)) == 0 ? 0 : EOF; }

bool WriteAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

void AppendTextBytes(std::string& out, std::string_view text) {
    size_t from = 0;
    for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', from)) {
        out.append(text, from, i - from).append("\r\n");
        from = i + 1;
    }
    out.append(text, from);
}

bool SystemPathFromName(std::string_view name, std::string& path) {
    path.clear();
    if (!IsDriveZ(name) || name.find('\0') != std::string_view::npos) return false;
    std::string sjis(name.substr(2));
    for (size_t i = 0; i < sjis.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(sjis[i]);
        if (IsSjisLeadByte(c)) {
            ++i;  // its trail byte may be 0x5C and is never a separator
        } else if (c == '\\') {
            sjis[i] = '/';
        }
    }
    return Cp932ToUtf8(sjis, path);
}

bool NameFromSystemPath(std::string_view path, std::string& name) {
    name.clear();
    if (path.empty() || path[0] != '/') return false;
    std::string sjis;
    if (!Utf8ToCp932(path, sjis)) return false;
    for (size_t i = 0; i < sjis.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(sjis[i]);
        if (IsSjisLeadByte(c))
            ++i;
        else if (c == '/')
            sjis[i] = '\\';
    }
    name = "Z:" + sjis;
    return true;
}

bool CurrentDirectoryName(std::string& name) {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (ec) {
        name.clear();
        return false;
    }
    return NameFromSystemPath(cwd.native(), name);
}

bool TemporaryFolderName(std::string& name) {
    std::error_code ec;
    const std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    if (ec || !NameFromSystemPath(tmp.native(), name)) {
        name.clear();
        return false;
    }
    if (name.back() != '\\') name += '\\';
    return true;
}

std::FILE* OpenFile(std::string_view name, const char* mode) {
    std::string path;
    if (mode == nullptr || !SystemPathFromName(name, path)) {
        errno = ENOENT;
        return nullptr;
    }
    std::string m;
    bool binary = false, writes = false;
    for (const char* p = mode; *p; ++p) {
        if (*p == 't') continue;  // the text flag of other runtimes; text is our default
        if (*p == 'b') binary = true;
        if (*p == 'w' || *p == 'a' || *p == '+') writes = true;
        m += *p;
    }
    m += 'e';  // close on exec
    if (binary || !writes) {
        std::FILE* f = std::fopen(path.c_str(), m.c_str());
        struct stat st;
        // A folder opens for reading here, but it is no file.
        if (f != nullptr && ::fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
            std::fclose(f);
            errno = EISDIR;
            return nullptr;
        }
        return f;
    }
    m += 'b';
    std::FILE* raw = std::fopen(path.c_str(), m.c_str());
    if (raw == nullptr) return nullptr;
    std::FILE* text = fopencookie(raw, m.c_str(), {TextRead, TextWrite, TextSeek, TextClose});
    if (text == nullptr) std::fclose(raw);
    return text;
}

bool FileSize(std::FILE* file, std::size_t& size) {
    struct stat st;
    size = 0;
    if (file == nullptr || ::fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = static_cast<std::size_t>(st.st_size);
    return true;
}

bool CreateUniqueFile(std::string_view folder, std::string_view prefix, std::string& name) {
    name.clear();
    std::string path;
    if (!SystemPathFromName(folder, path)) return false;
    if (path.empty() || path.back() != '/') path += '/';
    path.append(prefix).append("XXXXXX.tmp");
    std::vector<char> buf(path.begin(), path.end());
    buf.push_back('\0');
    const int fd = ::mkostemps(buf.data(), 4, O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    if (!NameFromSystemPath(buf.data(), name)) {
        ::unlink(buf.data());
        return false;
    }
    return true;
}

bool RemoveFile(std::string_view name) {
    std::string path;
    return SystemPathFromName(name, path) && ::unlink(path.c_str()) == 0;
}

bool IsDirectory(std::string_view name) {
    std::string path;
    struct stat st;
    return SystemPathFromName(name, path) && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(std::string_view name) {
    std::string path;
    return SystemPathFromName(name, path) && ::mkdir(path.c_str(), 0777) == 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
    std::string a, b;
    return SystemPathFromName(from, a) && SystemPathFromName(to, b) && ::rename(a.c_str(), b.c_str()) == 0;
}

namespace {

// When this process began, as the file clock reads it: a temporary of our own process id
// older than that was left by an earlier process that had the same id.
const timespec gProcessStart = [] {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

// The process id of "." + base + ".TVR<pid>-<n>", the writer's temporary for base; 0 when the
// entry is anything else.
pid_t TemporaryOwner(std::string_view entry, std::string_view base) {
    std::string head = ".";  // appended, not concatenated: g++ 12 at -O3 warns of an overlap that is not there
    head.append(base).append(".TVR");
    if (entry.substr(0, head.size()) != head) return 0;
    entry.remove_prefix(head.size());
    const size_t dash = entry.find('-');
    auto digits = [](std::string_view d) {
        return !d.empty() && d.size() <= 10 && d.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (dash == std::string_view::npos || !digits(entry.substr(0, dash)) || !digits(entry.substr(dash + 1))) return 0;
    const long pid = std::strtol(std::string(entry.substr(0, dash)).c_str(), nullptr, 10);
    return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

// Removes the temporaries of the file at path that a writer killed between writing and
// renaming left behind: those of processes that are gone, and those of our own id made
// before this process began. A live writer's temporary is left alone.
void RemoveStaleTemporaries(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = path.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(dir)) {
        const pid_t owner = TemporaryOwner(e->d_name, base);
        if (owner == 0) continue;
        const std::string temp = folder + e->d_name;
        struct stat st;
        if (::lstat(temp.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        bool gone;
        if (owner == ::getpid()) {
            gone = st.st_mtim.tv_sec < gProcessStart.tv_sec ||
                   (st.st_mtim.tv_sec == gProcessStart.tv_sec && st.st_mtim.tv_nsec < gProcessStart.tv_nsec);
        } else {
            gone = ::kill(owner, 0) != 0 && errno == ESRCH;
        }
        if (gone) stale.push_back(temp);
    }
    ::closedir(dir);
    for (const std::string& temp : stale) ::unlink(temp.c_str());
}

}  // namespace

WriteResult WriteWholeFile(std::string_view name, const void* data, std::size_t size) {
    std::string path;
    if (!SystemPathFromName(name, path) || path.empty() || path.back() == '/') return WriteResult::kCannotCreate;
    struct stat st;
    const bool existed = ::stat(path.c_str(), &st) == 0;  // a new file gets 0666 less the umask
    if (existed && (!S_ISREG(st.st_mode) || ::access(path.c_str(), W_OK) != 0)) return WriteResult::kCannotCreate;
    RemoveStaleTemporaries(path);
    const size_t slash = path.rfind('/');
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".TVR" + std::to_string(::getpid()) +
               "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return WriteResult::kCannotCreate;
    }
    if (fd < 0) return WriteResult::kCannotCreate;
    if (existed) ::fchmod(fd, st.st_mode & 07777);
    if (!WriteAll(fd, static_cast<const char*>(data), size) || ::fdatasync(fd) != 0) {
        ::close(fd);
        ::unlink(temp.c_str());
        return WriteResult::kWriteFailed;
    }
    if (::close(fd) != 0) {
        ::unlink(temp.c_str());
        return WriteResult::kCloseFailed;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return WriteResult::kCannotCreate;
    }
    return WriteResult::kOk;
}

}  // namespace morna::platform

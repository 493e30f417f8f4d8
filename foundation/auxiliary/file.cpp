#include "foundation/auxiliary/file.h"

#include "foundation/auxiliary/lzss.h"
#include "foundation/auxiliary/string_scanner.h"
#include "foundation/thread/callback_lists.h"
#include "foundation/thread/critical_section.h"
#include "foundation/vtl/function_callback.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/file_system.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace tovarineGameSDK3rd::Auxiliary {
namespace {

// Process-wide state: the base directory and the search-path list.
struct SharedState {
    Thread::CCriticalSection lock;
    VTL::VTLstring baseDirectory;
    CFile::SearchPathList searchPath;
};

SharedState& Shared() {
    static SharedState* state = new SharedState;  // outlives every static CFile user
    return *state;
}

// The base directory is recorded when the application starts, before any file
// is read, and forgotten at its end.
[[maybe_unused]] const bool registered = [] {
    using Callback = VTL::smart_ptr<VTL::function_callback>;
    Thread::RegisterCallback(Thread::CallbackList::Initializer,
                             Callback(VTL::function_callback_vg0::Create(&CFile::RecordCurrentDirectory)));
    Thread::RegisterCallback(Thread::CallbackList::Finalizer,
                             Callback(VTL::function_callback_vg0::Create(&CFile::ClearBaseDirectory)));
    return true;
}();

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsLead(char c) { return CStringScanner::IsSJISLeadByte(static_cast<uint8_t>(c)); }

// Index just behind the last separator (0 when none), scanning whole characters
// so a trail byte is never taken for one.
VTL::VTLstring::size_type AfterLastSeparator(const VTL::VTLstring& s) {
    VTL::VTLstring::size_type after = 0;
    for (VTL::VTLstring::size_type i = 0; i < s.size(); ++i) {
        if (IsLead(s[i])) {
            ++i;
        } else if (IsSeparator(s[i])) {
            after = i + 1;
        }
    }
    return after;
}

VTL::VTLstring View(const char* p, size_t n) { return VTL::VTLstring(p, static_cast<VTL::VTLstring::size_type>(n)); }

std::string Std(const VTL::VTLstring& s) { return std::string(s.c_str(), s.size()); }

// Write's answer for a whole-file save: 0, 1 cannot create, 2 write failed, 3 close failed.
int32_t SaveAnswer(morna::platform::WriteResult r) {
    switch (r) {
        case morna::platform::WriteResult::kOk: return 0;
        case morna::platform::WriteResult::kCannotCreate: return 1;
        case morna::platform::WriteResult::kWriteFailed: return 2;
        case morna::platform::WriteResult::kCloseFailed: return 3;
    }
    return 1;
}

}  // namespace

CFile::~CFile() {
    if (stream_ != nullptr) Close();  // with a stream open, Close closes only the stream
    ReleaseContents();
}

// ---- base directory, full names, search path ------------------------------

void CFile::SetBaseDirectory(const VTL::VTLstring& directory) {
    VTL::VTLstring dir = directory;
    bool cut = false;
    if (!dir.empty() && dir[0] == '"') {
        dir.erase(0, 1);
        if (std::strchr(dir.c_str(), '.') != nullptr) {
            GetParentDirectory(dir);
            cut = true;
        }
    }
    if (!cut && (dir.empty() || !IsSeparator(dir[dir.size() - 1]))) dir += '\\';
    SharedState& s = Shared();
    Thread::CCriticalLock lock(s.lock);
    s.baseDirectory = dir;
}

void CFile::RecordCurrentDirectory() {
    std::string cwd;
    if (!morna::platform::CurrentDirectoryName(cwd)) {
        GetErrorLog().Out("CFile::RecordCurrentDirectoryでカレントディレクトリが取得できない");
        cwd.clear();
    }
    SetBaseDirectory(VTL::VTLstring(cwd.data(), static_cast<VTL::VTLstring::size_type>(cwd.size())));
}

VTL::VTLstring CFile::GetBaseDirectory() {
    SharedState& s = Shared();
    {
        Thread::CCriticalLock lock(s.lock);
        if (!s.baseDirectory.empty()) return s.baseDirectory;
    }
    RecordCurrentDirectory();
    Thread::CCriticalLock lock(s.lock);
    return s.baseDirectory;
}

void CFile::ClearBaseDirectory() {
    SharedState& s = Shared();
    Thread::CCriticalLock lock(s.lock);
    s.baseDirectory.clear();
}

CFile::SearchPathList CFile::GetSearchPath() {
    SharedState& s = Shared();
    Thread::CCriticalLock lock(s.lock);
    return s.searchPath;
}

void CFile::SetSearchPath(const SearchPathList& paths) {
    SharedState& s = Shared();
    Thread::CCriticalLock lock(s.lock);
    s.searchPath = paths;
}

bool CFile::GetParentDirectory(VTL::VTLstring& path) {
    const auto n = path.size();
    if (n == 0) return false;
    VTL::VTLstring::size_type start = 0;
    if (n >= 2 && path[0] == '\\' && path[1] == '\\') {
        if (n == 2) return false;
        // \\server\share\ is a root: separators count from behind the server name.
        start = n;
        for (VTL::VTLstring::size_type i = 2; i < n; ++i) {
            if (IsLead(path[i])) {
                ++i;
            } else if (IsSeparator(path[i])) {
                start = i + 1;
                break;
            }
        }
    }
    // The last two separators at or after start.
    VTL::VTLstring::size_type last = VTL::VTLstring::npos, before = VTL::VTLstring::npos;
    bool endsWithSeparator = false;
    for (VTL::VTLstring::size_type i = 0; i < n; ++i) {
        if (IsLead(path[i])) {
            ++i;
            continue;
        }
        if (IsSeparator(path[i]) && i >= start) {
            before = last;
            last = i;
            endsWithSeparator = i == n - 1;
        }
    }
    if (endsWithSeparator) {
        if (before == VTL::VTLstring::npos) return false;  // a root
        path.erase(before + 1);
        return true;
    }
    if (last == VTL::VTLstring::npos) {
        path += '\\';
        return true;
    }
    path.erase(last + 1);
    return true;
}

VTL::VTLstring CFile::GetFullName(const VTL::VTLstring& name) { return GetFullName(name, GetBaseDirectory()); }

VTL::VTLstring CFile::GetFullName(const VTL::VTLstring& name, const VTL::VTLstring& baseDirectory) {
    VTL::VTLstring full;
    const char* p = name.c_str();
    const bool network = name.size() >= 2 && p[0] == '\\' && p[1] == '\\';
    if (network || std::strchr(p, ':') != nullptr) {
        full = name;
    } else {
        VTL::VTLstring base = baseDirectory;
        for (;;) {
            if (p[0] == '.' && p[1] == '.' && IsSeparator(p[2])) {
                GetParentDirectory(base);
                p += 3;
            } else if (p[0] == '.' && IsSeparator(p[1])) {
                p += 2;
            } else if (IsSeparator(p[0])) {
                p += 1;
            } else {
                break;
            }
        }
        full = base + View(p, name.size() - static_cast<size_t>(p - name.c_str()));
    }
    for (VTL::VTLstring::size_type i = 0; i < full.size(); ++i) {
        if (IsLead(full[i]))
            ++i;
        else if (full[i] == '/')
            full[i] = '\\';
    }
    return full;
}

// ---- streams and whole-file writes -----------------------------------------

int32_t CFile::Open(const VTL::VTLstring& name, const char* mode) {
    const VTL::VTLstring full = GetFullName(name);
    Close();
    stream_ = morna::platform::OpenFile(Std(full), mode);
    if (stream_ != nullptr) {
        name_ = full;
        return 0;
    }
    const SearchPathList paths = GetSearchPath();
    if (!paths.isNull()) {
        for (const VTL::VTLstring& prefix : *paths) {
            Close();
            const VTL::VTLstring tried = prefix + "/" + name;
            stream_ = morna::platform::OpenFile(Std(GetFullName(tried)), mode);
            if (stream_ != nullptr) {
                name_ = tried;
                return 0;
            }
        }
    }
    return 1;
}

int32_t CFile::Write(const VTL::VTLstring& name, const void* data, uint32_t size) {
    return SaveAnswer(morna::platform::WriteWholeFile(Std(GetFullName(name)), data, size));
}

int32_t CFile::WriteString(const VTL::VTLstring& text) {
    if (stream_ == nullptr) return -1;
    return std::fprintf(stream_, "%s", text.c_str()) < 0 ? -1 : 0;
}

int32_t CFile::Close() {
    if (stream_ != nullptr) {
        const int r = std::fclose(stream_);
        stream_ = nullptr;
        return r;
    }
    return ReleaseContents();
}

int32_t CFile::ReleaseContents() {
    owned_.reset();
    buffer_ = nullptr;
    size_ = 0;
    hasCursor_ = false;
    cursor_ = 0;
    borrowed_ = false;
    if (temporary_) {
        temporary_ = false;
        DeleteTemporary(name_);
    }
    archived_ = false;
    name_.clear();
    return 0;
}

int32_t CFile::WriteLines(const VTL::VTLstring& name, const std::vector<VTL::VTLstring>& lines) {
    // The name itself, as the system opened it: a relative one against the
    // current directory, not the base directory.
    std::string cwd;
    morna::platform::CurrentDirectoryName(cwd);
    if (!cwd.empty() && cwd.back() != '\\') cwd += '\\';
    const VTL::VTLstring full =
        GetFullName(name, VTL::VTLstring(cwd.data(), static_cast<VTL::VTLstring::size_type>(cwd.size())));
    // As a text stream writes them, but saved whole through a new file like every other save.
    std::string bytes;
    for (const VTL::VTLstring& line : lines)
        morna::platform::AppendTextBytes(bytes, std::string_view(line.c_str(), line.size()));
    const int32_t r = SaveAnswer(morna::platform::WriteWholeFile(Std(full), bytes.data(), bytes.size()));
    return r == 3 ? 2 : r;  // a failed close is a failed write here
}

int32_t CFile::WriteVector(const VTL::VTLstring& name, const std::vector<uint8_t>& bytes) {
    return Write(name, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// ---- reading ---------------------------------------------------------------

int32_t CFile::Read(const VTL::VTLstring& name) {
    int32_t r = InnerRead(name);
    if (r == 0) return 0;
    const SearchPathList paths = GetSearchPath();
    if (paths.isNull()) return r;
    for (const VTL::VTLstring& prefix : *paths) {
        r = InnerRead(prefix + "/" + name);
        if (r == 0) return 0;
    }
    return r;
}

int32_t CFile::InnerRead(const VTL::VTLstring& name) {
    if (name.empty()) return -1;
    if (stream_ != nullptr) Close();
    ReleaseContents();
    name_ = name;
    if (name[0] == '!') return InnerReadMemory(name);
    borrowed_ = false;
    const VTL::VTLstring full = GetFullName(name);
    std::FILE* f = morna::platform::OpenFile(Std(full), "rb");
    if (f == nullptr) return InnerReadArchive(full);
    size_t size = 0;
    // The contents and their NUL must fit the 32-bit size.
    if (!morna::platform::FileSize(f, size) || size >= 0xFFFFFFFFu) {
        std::fclose(f);
        GetErrorLog().Out("CFile::Readでファイルサイズが取得できない %s", full.c_str());
        return 2;
    }
    return TakeContents(f, static_cast<uint32_t>(size), static_cast<uint32_t>(size), false);
}

int32_t CFile::TakeContents(std::FILE* file, uint32_t size, uint32_t storedSize, bool packed) {
    owned_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size) + 1]);
    uint8_t* block = owned_.get();
    if (block == nullptr) {
        std::fclose(file);
        return 3;
    }
    block[size] = 0;
    buffer_ = block;
    size_ = size;
    bool ok;
    if (packed) {
        std::unique_ptr<uint8_t[]> scratch(new (std::nothrow) uint8_t[storedSize ? storedSize : 1]);
        std::unique_ptr<CLZSS> lz(new (std::nothrow) CLZSS);
        ok = scratch != nullptr && lz != nullptr &&
             std::fread(scratch.get(), 1, storedSize, file) == storedSize &&
             (size == 0 || lz->Decode(scratch.get(), storedSize, &block, size, false) == 0);
    } else {
        ok = std::fread(block, 1, size, file) == size;
    }
    if (!ok) {
        GetErrorLog().Out("CFile::Readで読み込みに失敗 %s", name_.c_str());
        ReleaseContents();
        std::fclose(file);
        return 4;
    }
    if (std::fclose(file) != 0) {
        ReleaseContents();
        return 5;
    }
    hasCursor_ = true;
    if (size >= 4 && std::memcmp(block, "TPK1", 4) == 0) {
        marked_ = true;
        for (uint32_t i = 4; i < size; ++i) block[i] = DescrambleByte(block[i]);
        cursor_ = 4;
    } else {
        marked_ = false;
        cursor_ = 0;
    }
    return 0;
}

void CFile::BorrowContents(uint8_t* memory, uint32_t size) {
    owned_.reset();
    buffer_ = memory;
    size_ = size;
    cursor_ = 0;
    hasCursor_ = true;
    borrowed_ = true;
    marked_ = false;
}

int32_t CFile::ReadVector(const VTL::VTLstring& name, std::vector<uint8_t>& out) {
    const int32_t r = Read(name);
    if (r != 0) return r;
    const uint8_t* p = static_cast<const uint8_t*>(GetMemory());
    out.assign(p, p + GetSize());
    return 0;
}

// ---- the contents ----------------------------------------------------------

VTL::VTLstring CFile::GetPureFileName() const {
    const auto after = AfterLastSeparator(name_);
    return after >= name_.size() ? VTL::VTLstring() : name_.substr(after);
}

VTL::VTLstring CFile::GetSuffix() const { return GetSuffix(name_); }

VTL::VTLstring CFile::GetSuffix(const VTL::VTLstring& name) {
    const auto after = AfterLastSeparator(name);
    const VTL::VTLstring pure = after >= name.size() ? VTL::VTLstring() : name.substr(after);
    const char* dot = std::strrchr(pure.c_str(), '.');
    if (dot == nullptr) return VTL::VTLstring();
    return View(dot + 1, pure.size() - static_cast<size_t>(dot + 1 - pure.c_str()));
}

// The marker only counts while contents are held; Close leaves the flag as it was.
void* CFile::GetMemory() const {
    if (buffer_ == nullptr) return nullptr;
    return marked_ ? buffer_ + 4 : buffer_;
}

uint32_t CFile::GetSize() const {
    if (buffer_ == nullptr) return 0;
    return marked_ && size_ >= 4 ? size_ - 4 : size_;
}

void CFile::ResetReadPointer() {
    hasCursor_ = buffer_ != nullptr;
    cursor_ = marked_ && hasCursor_ ? 4 : 0;
}

bool CFile::NextLine(uint64_t limit, const uint8_t*& start, uint64_t& length, bool& cut) {
    if (cursor_ >= size_) return false;
    start = buffer_ + cursor_;
    const uint8_t* const end = buffer_ + size_;
    const uint8_t* p = start;
    cut = false;
    for (;; ++p) {
        // The limit comes first: a line of exactly limit bytes is cut before its CR LF.
        if (static_cast<uint64_t>(p - start) == limit) {
            cut = true;
            break;
        }
        if (p == end || (end - p >= 2 && p[0] == '\r' && p[1] == '\n')) break;
    }
    length = static_cast<uint64_t>(p - start);
    cursor_ += cut ? length : length + 2;  // past the CR LF, or past the end by 2
    return true;
}

int32_t CFile::ReadLine(VTL::VTLstring& line) {
    if (!hasCursor_) return 3;
    const uint8_t* start;
    uint64_t length;
    bool cut;
    if (!NextLine(UINT64_MAX, start, length, cut)) return 1;
    line.assign(reinterpret_cast<const char*>(start), static_cast<VTL::VTLstring::size_type>(length));
    return 0;
}

int32_t CFile::ReadLineRaw(char* buffer, int32_t capacity) {
    if (buffer != nullptr && capacity >= 1) buffer[0] = '\0';
    if (!hasCursor_) return 3;
    if (cursor_ >= size_) return 1;
    if (buffer == nullptr || capacity <= 1) return 2;
    const uint8_t* start;
    uint64_t length;
    bool cut;
    NextLine(static_cast<uint64_t>(capacity - 1), start, length, cut);
    std::memcpy(buffer, start, static_cast<size_t>(length));
    buffer[length] = '\0';
    return cut ? 2 : 0;
}

int32_t CFile::ReadQuotedString(char* out, int32_t capacity) {
    if (out == nullptr || capacity < 1) return 1;
    out[0] = '\0';
    char line[256];
    if (ReadLineRaw(line, sizeof line) != 0) return 1;
    if (std::strcmp(line, "\"END\"") == 0) return 1;
    std::string text(line[0] != '\0' ? line + 1 : line);  // the opening quote is not tested
    while (text.empty() || text.back() != '"') {
        // Beyond what out can hold (with its NUL, less the closing quote): give up.
        if (text.size() > static_cast<size_t>(capacity)) return 1;
        if (ReadLineRaw(line, sizeof line) != 0) return 1;
        text += '\n';
        text += line;
    }
    text.pop_back();
    if (text.size() + 1 > static_cast<size_t>(capacity)) return 1;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return 0;
}

int32_t CFile::ReadData(void* to, int32_t n) {
    if (!hasCursor_) return 2;
    if (cursor_ >= size_) return 1;
    if (n < 0 || static_cast<uint64_t>(n) > size_ - cursor_) return 1;
    if (n > 0) std::memcpy(to, buffer_ + cursor_, static_cast<size_t>(n));
    cursor_ += static_cast<uint64_t>(n);
    return 0;
}

int32_t CFile::Scramble() {
    if (buffer_ == nullptr || marked_) return 1;
    if (hasCursor_ && cursor_ + 4 <= size_ && std::memcmp(buffer_ + cursor_, "TPK1", 4) == 0) return 1;
    if (size_ > 0xFFFFFFFFu - 5) return 1;
    const uint32_t size = size_;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[static_cast<size_t>(size) + 5]);
    if (block == nullptr) return 1;
    std::memcpy(block.get(), "TPK1", 4);
    for (uint32_t i = 0; i < size; ++i) block[4 + i] = ScrambleByte(buffer_[i]);
    block[size + 4] = 0;
    ReleaseContents();
    owned_ = std::move(block);
    buffer_ = owned_.get();
    size_ = size + 4;
    cursor_ = 0;
    hasCursor_ = true;
    return 0;
}

// ---- temporary files -------------------------------------------------------

int32_t CFile::DeleteTemporary(const VTL::VTLstring& name) {
    if (name.empty()) return -1;
    return morna::platform::RemoveFile(Std(GetFullName(name))) ? 0 : 1;
}

int32_t CFile::CreateTemporary(bool force) {
    if (buffer_ == nullptr && !force) return 1;
    if (!force && !archived_ && !borrowed_) {
        // The file on disk serves as it is.
        const VTL::VTLstring keep = name_;
        ReleaseContents();
        name_ = keep;
        return 0;
    }
    std::string folder, made;
    if (!morna::platform::TemporaryFolderName(folder) || !morna::platform::CreateUniqueFile(folder, "TVR", made)) {
        GetErrorLog().Out("CFile::CreateTemporaryで一時ファイルが作れない");
        return 2;
    }
    const VTL::VTLstring temporary(made.data(), static_cast<VTL::VTLstring::size_type>(made.size()));
    if (Save(temporary) != 0) {
        morna::platform::RemoveFile(made);
        GetErrorLog().Out("CFile::CreateTemporaryで一時ファイルに書けない %s", temporary.c_str());
        return 2;
    }
    ReleaseContents();
    temporary_ = true;
    name_ = temporary;
    return 0;
}

}  // namespace tovarineGameSDK3rd::Auxiliary

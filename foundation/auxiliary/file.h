#pragma once
// CFile: the one way the system reads and writes files. A read takes a whole file
// (from the disk, a pack archive or a memory name) into one block with a NUL
// after it; the line, quoted-string and data readers then walk it with a cursor.
// Names are Shift-JIS; '\' and '/' both separate folders, and every name is made
// a full path against the base directory before it reaches the platform.
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace tovarineGameSDK3rd::Auxiliary {

class IFile {
public:
    // Opens with a stdio mode; a mode without 'b' that writes gives a text stream
    // whose LF go out as CR LF. 0 opened, 1 not.
    virtual int32_t Open(const VTL::VTLstring& name, const char* mode) = 0;
    // Writes the whole file (to a new file beside it, renamed over it):
    // 0, 1 cannot create, 2 write failed, 3 close failed.
    virtual int32_t Write(const VTL::VTLstring& name, const void* data, uint32_t size) = 0;
    // Through the open stream: 0, or -1 with no stream or a failed write.
    virtual int32_t WriteString(const VTL::VTLstring& text) = 0;
    virtual int32_t Close() = 0;
    virtual std::FILE* GetFilePointer() = 0;
    // 0 read, 1 not found, 2 no size, 3 no memory, 4 read failed, 5 close failed,
    // 6 a bad memory name, -1 empty name.
    virtual int32_t Read(const VTL::VTLstring& name) = 0;
    virtual VTL::VTLstring GetName() const = 0;
    virtual VTL::VTLstring GetPureFileName() const = 0;
    virtual VTL::VTLstring GetSuffix() const = 0;
    virtual void* GetMemory() const = 0;
    virtual uint32_t GetSize() const = 0;
    // A line ends at CR LF only (a lone CR or LF belongs to it) or at the end of
    // the contents. 0 read, 1 at the end, 3 nothing read.
    virtual int32_t ReadLine(VTL::VTLstring& line) = 0;
    // At most capacity - 1 bytes and a NUL: 0 read, 1 at the end, 2 cut (the next
    // call goes on with the same line), 3 nothing read.
    virtual int32_t ReadLineRaw(char* buffer, int32_t capacity) = 0;
    // The next double-quoted string, possibly over several lines (joined by LF),
    // into out of capacity bytes: 0 read; 1 at the "END" line, at the end of the
    // contents, on a line of 255 bytes or more, or when it would not fit.
    virtual int32_t ReadQuotedString(char* out, int32_t capacity) = 0;
    virtual void ResetReadPointer() = 0;
    // n bytes from the cursor: 0 copied; 1 at the end, or n negative or more than
    // remains (nothing copied); 2 nothing read.
    virtual int32_t ReadData(void* to, int32_t n) = 0;
    virtual int32_t Save(const VTL::VTLstring& name) = 0;
    // Turns the contents into their scrambled stored form: 0, 1 nothing to do.
    virtual int32_t Scramble() = 0;
    // -1 empty name, 0 deleted, 1 not.
    virtual int32_t DeleteTemporary(const VTL::VTLstring& name) = 0;
    // Makes the contents a real file on disk: 0, 1 nothing read, 2 failure.
    virtual int32_t CreateTemporary(bool force) = 0;
    virtual int32_t ReadVector(const VTL::VTLstring& name, std::vector<uint8_t>& out) = 0;
    // The strings one after the other as a text stream writes them (each LF as
    // CR LF) to the name itself (relative to the current directory), saved whole
    // like Write: 0, 1 cannot create, 2 write failed (the old file kept).
    virtual int32_t WriteLines(const VTL::VTLstring& name, const std::vector<VTL::VTLstring>& lines) = 0;
    virtual int32_t WriteVector(const VTL::VTLstring& name, const std::vector<uint8_t>& bytes) = 0;
    virtual ~IFile() {}
};

class CFile : public IFile {
public:
    CFile() = default;
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    int32_t Open(const VTL::VTLstring& name, const char* mode) override;
    int32_t Write(const VTL::VTLstring& name, const void* data, uint32_t size) override;
    int32_t WriteString(const VTL::VTLstring& text) override;
    int32_t Close() override;
    std::FILE* GetFilePointer() override { return stream_; }
    int32_t Read(const VTL::VTLstring& name) override;
    VTL::VTLstring GetName() const override { return name_; }
    VTL::VTLstring GetPureFileName() const override;
    VTL::VTLstring GetSuffix() const override;
    void* GetMemory() const override;
    uint32_t GetSize() const override;
    int32_t ReadLine(VTL::VTLstring& line) override;
    int32_t ReadLineRaw(char* buffer, int32_t capacity) override;
    int32_t ReadQuotedString(char* out, int32_t capacity) override;
    void ResetReadPointer() override;
    int32_t ReadData(void* to, int32_t n) override;
    int32_t Save(const VTL::VTLstring& name) override { return Write(name, GetMemory(), GetSize()); }
    int32_t Scramble() override;
    int32_t DeleteTemporary(const VTL::VTLstring& name) override;
    int32_t CreateTemporary(bool force) override;
    int32_t ReadVector(const VTL::VTLstring& name, std::vector<uint8_t>& out) override;
    int32_t WriteLines(const VTL::VTLstring& name, const std::vector<VTL::VTLstring>& lines) override;
    int32_t WriteVector(const VTL::VTLstring& name, const std::vector<uint8_t>& bytes) override;

    // The base directory, ending in a separator. Recording follows the start-up
    // rule: a text that begins with '"' loses it and, when the rest holds a '.',
    // is cut to its folder; otherwise '\' is appended unless it ends with one.
    static void SetBaseDirectory(const VTL::VTLstring& directory);
    // Records the current directory (the start-up callback).
    static void RecordCurrentDirectory();
    // Records the current directory first when nothing was recorded.
    static VTL::VTLstring GetBaseDirectory();
    static void ClearBaseDirectory();

    // The full name of a name against the base directory: "\\" names and names
    // holding ':' stay; leading "..\", ".\" and '\' (or with '/') climb or are
    // dropped; then every '/' becomes '\'.
    static VTL::VTLstring GetFullName(const VTL::VTLstring& name);
    // The text after the last '.' of a name's last part; empty when there is none.
    static VTL::VTLstring GetSuffix(const VTL::VTLstring& name);
    static VTL::VTLstring GetFullName(const VTL::VTLstring& name, const VTL::VTLstring& base);
    // Cuts a path to its parent folder (ending in a separator). False, leaving it,
    // for an empty path or a root such as "D:\" or "\\server\share\".
    static bool GetParentDirectory(VTL::VTLstring& path);

    // Prefixes that Open and Read retry with; null (nothing) unless set.
    using SearchPathList = VTL::smart_ptr<std::vector<VTL::VTLstring>>;
    static SearchPathList GetSearchPath();
    static void SetSearchPath(const SearchPathList& paths);

    // The byte-wise transform of scrambled contents and its inverse.
    static uint8_t ScrambleByte(uint8_t b) { return static_cast<uint8_t>(((b << 3) | (b >> 5)) ^ kScrambleKey); }
    static uint8_t DescrambleByte(uint8_t b) {
        const uint8_t x = static_cast<uint8_t>(b ^ kScrambleKey);
        return static_cast<uint8_t>((x >> 3) | (x << 5));
    }

private:
    static constexpr uint8_t kScrambleKey = 0xA7;

    int32_t InnerRead(const VTL::VTLstring& name);
    // Close without the stream: frees (or forgets) the contents, deletes a
    // temporary file, clears archived and the name. Close does this when no
    // stream is open; paths that must drop the contents with a stream open call
    // it directly, so no buffer is ever lost.
    int32_t ReleaseContents();
    // Reading of a memory name "!%x,%x" and the pack-archive search for a full
    // name that is not on disk (file_archive.cpp).
    int32_t InnerReadMemory(const VTL::VTLstring& name);
    int32_t InnerReadArchive(const VTL::VTLstring& fullName);
    // Takes the contents from an open file at its position: size bytes, read
    // straight or (packed) unpacked from storedSize bytes; closes the file; sets
    // buffer, size, cursor and the marker. 0, 3, 4 or 5 as Read answers.
    int32_t TakeContents(std::FILE* file, uint32_t size, uint32_t storedSize, bool packed);
    // Uses memory that is not ours: never freed, no marker test.
    void BorrowContents(uint8_t* memory, uint32_t size);
    // The next line from the cursor, at most limit bytes: its start and length;
    // false at the end. cut tells that the limit ended it.
    bool NextLine(uint64_t limit, const uint8_t*& start, uint64_t& length, bool& cut);

    std::FILE* stream_ = nullptr;
    std::unique_ptr<uint8_t[]> owned_;  // the contents when they are ours
    uint8_t* buffer_ = nullptr;         // the contents: owned_ or borrowed memory
    uint32_t size_ = 0;
    // Offset of the read position into the buffer; it may lie past the end (by 2
    // after a last line without CR LF), so it is kept as a number, not a pointer.
    uint64_t cursor_ = 0;
    bool hasCursor_ = false;
    VTL::VTLstring name_;
    bool marked_ = false;
    bool temporary_ = false;
    bool archived_ = false;
    bool borrowed_ = false;
};

}  // namespace tovarineGameSDK3rd::Auxiliary

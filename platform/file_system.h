#pragma once
// The file system as the program names it. Inside, names are Shift-JIS with '\'
// between folders, and an absolute POSIX path is drive "Z:" ("/home/a/x.rpl" is
// "Z:\home\a\x.rpl"). Only here do names become POSIX paths in UTF-8: each '\'
// that is not the trail byte of a double-byte character becomes '/'. A name that
// is not a "Z:" path or does not convert names no file: it is not found.
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace morna::platform {

// "Z:\a\b" -> "/a/b" (UTF-8). False for any other form or a name that does not convert.
bool SystemPathFromName(std::string_view name, std::string& path);
// "/a/b" -> "Z:\a\b" (Shift-JIS). False for a relative path or one that does not convert.
bool NameFromSystemPath(std::string_view path, std::string& name);

// The current directory and the temporary folder ($TMPDIR, else /tmp) as names;
// the temporary folder's name ends with '\'.
bool CurrentDirectoryName(std::string& name);
bool TemporaryFolderName(std::string& name);

// Opens a stream with a stdio mode. A mode without 'b' that writes ('w', 'a' or
// '+') gives a text stream: each LF written goes out as CR LF, as text files of
// the system always did. Reading is never translated. Null when the name does
// not convert (errno ENOENT), names a folder, or the file does not open.
std::FILE* OpenFile(std::string_view name, const char* mode);

// Appends the bytes that a text stream writes for text: each LF as CR LF.
void AppendTextBytes(std::string& out, std::string_view text);

// Size of an existing regular file; false when it cannot be read.
bool FileSize(std::FILE* file, std::size_t& size);

// Makes a new empty file prefix + unique part + ".tmp" in folder (a name ending
// in '\') and answers its name.
bool CreateUniqueFile(std::string_view folder, std::string_view prefix, std::string& name);

bool RemoveFile(std::string_view name);
bool RenameFile(std::string_view from, std::string_view to);
bool IsDirectory(std::string_view name);
// Makes one folder (its parent must exist); false when it cannot.
bool MakeDirectory(std::string_view name);

// Writes a whole file safely: the bytes go to a new file in the same folder,
// which then replaces the target by rename, so a crash never leaves half a file.
// An existing target keeps its permission bits; one that may not be written is
// left alone. The target's own temporaries that a killed writer left (".<name>.TVR<pid>-<n>"
// of a process that is gone) are removed first; nothing else in the folder is touched.
enum class WriteResult {
    kOk,
    kCannotCreate,  // no such folder, target not writable, name does not convert, or rename refused
    kWriteFailed,
    kCloseFailed,
};
WriteResult WriteWholeFile(std::string_view name, const void* data, std::size_t size);

}  // namespace morna::platform

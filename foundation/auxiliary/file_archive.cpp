// Where CFile::Read looks when a name is not a file on disk: memory names, and
// the pack archives of the folders above the file.
#include "foundation/auxiliary/file.h"

#include "foundation/auxiliary/pack_archive.h"
#include "platform/file_system.h"

#include <cstdio>
#include <string>

namespace tovarineGameSDK3rd::Auxiliary {

// "!%x,%x": the address and size of a block of memory, in hexadecimal. The block
// is the caller's and is trusted as it stands; it is neither copied nor freed.
int32_t CFile::InnerReadMemory(const VTL::VTLstring& name) {
    unsigned long long address = 0;
    unsigned int size = 0;
    if (std::sscanf(name.c_str(), "!%llx,%x", &address, &size) < 2) return 6;
    BorrowContents(reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(address)), size);
    return 0;
}

// The archives of the folders above the file, nearest first: for the folder D the
// archive is D's name with ".dat", or with ".rpl" when that does not open, and the
// entry is the file's path below D. An archive that cannot be used only hides its
// own entries; the search climbs on until D is a root.
int32_t CFile::InnerReadArchive(const VTL::VTLstring& fullName) {
    static const char* const kExtensions[] = {"dat", "rpl"};
    VTL::VTLstring path = fullName;
    for (;;) {
        VTL::VTLstring folder = path;
        VTL::VTLstring above;
        if (!GetParentDirectory(folder) || !GetParentDirectory(above = folder) || above == folder) return 1;

        std::FILE* file = nullptr;
        VTL::VTLstring archive;
        for (const char* extension : kExtensions) {
            archive = folder.substr(0, folder.size() - 1) + "." + extension;
            file = morna::platform::OpenFile(std::string(archive.c_str(), archive.size()), "rb");
            if (file != nullptr) break;
        }
        path = archive;
        if (file == nullptr) continue;

        VTL::VTLstring entryName = fullName.substr(folder.size());
        entryName.ToLower();
        SPackEntry entry;
        switch (FindPackEntry(file, entryName, archive, entry)) {
        case EPackLookup::kFound:
            archived_ = true;
            return TakeContents(file, entry.size, entry.storedSize, entry.packed);
        case EPackLookup::kEntryDamaged:
            std::fclose(file);
            ReleaseContents();  // as any failed read: the object holds nothing, not even the name
            return 4;
        case EPackLookup::kMissing:
        case EPackLookup::kUnusable:
            std::fclose(file);
            break;
        }
    }
}

}  // namespace tovarineGameSDK3rd::Auxiliary

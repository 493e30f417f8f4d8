// Where CFile::Read looks when a name is not a file on disk: memory names, and
// the pack archives of the folders above the file.
#include "foundation/auxiliary/file.h"

#include <cstdio>

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

// No pack archive is read yet: a name that is not on disk is not found.
int32_t CFile::InnerReadArchive(const VTL::VTLstring& fullName) {
    (void)fullName;
    return 1;
}

}  // namespace tovarineGameSDK3rd::Auxiliary

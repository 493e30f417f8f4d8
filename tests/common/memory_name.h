// Test helper: the file layer's memory name ("!address,size", both in hexadecimal) of a block,
// which a read then borrows: the block must outlive every read of the name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace morna::test {

inline std::string MemoryName(const void* block, size_t size) {
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(block)),
                  size);
    return name;
}

inline std::string MemoryName(const std::vector<uint8_t>& bytes) { return MemoryName(bytes.data(), bytes.size()); }

}  // namespace morna::test

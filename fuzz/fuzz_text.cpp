// Walks arbitrary contents with the line readers and each line with the text
// scanners, as the readers of list files and data tables do. The contents are
// read through a memory name, so nothing past the given bytes is ever there.
#include "foundation/auxiliary/file.h"
#include "foundation/auxiliary/string_scanner.h"
#include "foundation/vtl/exception.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using tovarineGameSDK3rd::Auxiliary::CFile;
using tovarineGameSDK3rd::Auxiliary::CStringScanner;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

void Scan(const VTLstring& line) {
    const char* const begin = line.c_str();
    const char* const end = begin + std::strlen(begin);
    auto check = [&](const char* p) {
        if (p < begin || p > end) std::abort();
    };
    int n = 0;
    int64_t v = 0;
    const char* p = begin;
    while (CStringScanner::GetNextToken(&p, &n, true) == 0 && *p) check(p);
    check(p);
    p = begin;
    while (CStringScanner::GetNextToken(&p, &n, false) == 0) check(p);
    check(p);
    p = begin;
    for (int guard = 0; !CStringScanner::IsEnd(&p) && guard < 4096; ++guard) {
        const char* before = p;
        const VTLstring t = CStringScanner::GetStrings(&p);
        check(p);
        if (t.size() > static_cast<size_t>(p - before)) std::abort();
        if (p == before) ++p;  // a token that consumed nothing: step over it
    }
    p = begin;
    CStringScanner::GetWord(&p);
    check(p);
    p = begin;
    CStringScanner::GetStrTo(&p, line.empty() ? '\\' : line[0]);
    check(p);
    p = begin;
    CStringScanner::GetCommaToken(&p);
    check(p);
    p = begin;
    while (CStringScanner::GetNum(&p, &n) == 0) check(p);
    CStringScanner::GetNum64(line, &v);
    if (!line.empty()) {
        try {
            CStringScanner::HexToInt(line[0]);
        } catch (const tovarineGameSDK3rd::VTL::CRuntimeException&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data)),
                  size);
    CFile f;
    if (f.Read(name) != 0) std::abort();
    VTLstring line;
    size_t total = 0;
    while (f.ReadLine(line) == 0) {
        total += line.size() + 2;
        Scan(line);
    }
    if (total < size) std::abort();  // every byte belongs to some line
    f.ResetReadPointer();
    char raw[16];
    while (f.ReadLineRaw(raw, static_cast<int32_t>(2 + size % (sizeof raw - 1))) != 1) {
        if (std::strlen(raw) >= sizeof raw) std::abort();
    }
    f.ResetReadPointer();
    char quoted[64];
    for (int i = 0; i < 1000 && f.ReadQuotedString(quoted, static_cast<int32_t>(size % sizeof quoted)) == 0; ++i) {
        if (std::strlen(quoted) >= sizeof quoted) std::abort();
    }
    f.ResetReadPointer();
    uint8_t chunk[7];
    while (f.ReadData(chunk, static_cast<int32_t>(1 + size % sizeof chunk)) == 0) {
    }
    return 0;
}

#include "foundation/auxiliary/string_scanner.h"

#include "foundation/vtl/exception.h"

namespace tovarineGameSDK3rd::Auxiliary {
namespace {

bool IsBlank(char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return c == ',' || c == '\t' || c == '/'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void SkipBlanks(const char** cursor) {
    while (IsBlank(**cursor)) ++*cursor;
}

// Takes characters until stop(c) or the NUL, leaving the cursor on that byte. A
// lead byte takes its trail byte with it unless the trail is the NUL.
template <class Stop>
VTL::VTLstring TakeUntil(const char** cursor, Stop stop) {
    const char* p = *cursor;
    while (*p != '\0' && !stop(*p)) {
        if (CStringScanner::IsSJISLeadByte(static_cast<uint8_t>(*p)) && p[1] != '\0')
            p += 2;
        else
            ++p;
    }
    VTL::VTLstring token(*cursor, static_cast<VTL::VTLstring::size_type>(p - *cursor));
    *cursor = p;
    return token;
}

}  // namespace

int CStringScanner::HexToInt(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw VTL::CRuntimeException();
}

bool CStringScanner::IsEnd(const char** cursor) {
    SkipBlanks(cursor);
    return **cursor == '\0';
}

bool CStringScanner::SkipBlanksAndCommas(const char** cursor) {
    while (IsBlank(**cursor) || **cursor == ',') ++*cursor;
    return **cursor == '\0';
}

int CStringScanner::GetNum(const char** cursor, int* out) {
    SkipBlanks(cursor);
    if (**cursor == '\0') return -1;
    uint32_t value = 0;  // wraps as the 32-bit arithmetic it stands for
    uint32_t sign = 1;
    if (**cursor == '+' || **cursor == '-') {
        if (**cursor == '-') sign = static_cast<uint32_t>(-1);
        ++*cursor;
    }
    bool digits = false;
    while (IsDigit(**cursor)) {
        value = value * 10u + static_cast<uint32_t>(**cursor - '0');
        ++*cursor;
        digits = true;
    }
    *out = static_cast<int>(value * sign);
    return digits ? 0 : 1;
}

int CStringScanner::GetNextToken(const char** cursor, int* out, bool emptyField) {
    if (emptyField) {
        if (IsSeparator(**cursor)) {
            ++*cursor;
            *out = 0;
            return 0;
        }
        const int r = GetNum(cursor, out);
        if (IsSeparator(**cursor)) ++*cursor;
        return r == 0 ? 0 : 2;
    }
    if (SkipBlanksAndCommas(cursor)) return 1;
    return GetNum(cursor, out) == 0 ? 0 : 2;
}

int CStringScanner::GetNum64(VTL::VTLstring text, int64_t* out) {
    const char* p = text.c_str();
    const bool negative = *p == '-';
    if (negative) ++p;
    uint64_t value = 0;
    bool digits = false;
    while (IsDigit(*p)) {
        value = value * 10u + static_cast<uint64_t>(*p++ - '0');
        digits = true;
    }
    if (!digits) {
        *out = 0;
        return 1;
    }
    *out = static_cast<int64_t>(negative ? 0 - value : value);
    return 0;
}

VTL::VTLstring CStringScanner::GetStrings(const char** cursor) {
    SkipBlanks(cursor);
    if (**cursor == '"') {
        ++*cursor;
        VTL::VTLstring token = TakeUntil(cursor, [](char c) { return c == '"'; });
        if (**cursor == '"') ++*cursor;
        return token;
    }
    return GetWord(cursor);
}

VTL::VTLstring CStringScanner::GetWord(const char** cursor) {
    return TakeUntil(cursor, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
}

VTL::VTLstring CStringScanner::GetStrTo(const char** cursor, char terminator) {
    return TakeUntil(cursor, [terminator](char c) { return c == terminator; });
}

VTL::VTLstring CStringScanner::GetCommaToken(const char** cursor) {
    return TakeUntil(cursor, [](char c) { return c == ',' || c == '/'; });
}

}  // namespace tovarineGameSDK3rd::Auxiliary

#include "framework/list_field.h"

#include "foundation/auxiliary/string_scanner.h"

namespace KestraneGameBase2 {

using tovarineGameSDK3rd::Auxiliary::CStringScanner;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The bytes up to `stop` or the NUL, neither consumed; every byte counts alone.
VTLstring TakeTo(const char** cursor, char stop) {
    const char* begin = *cursor;
    const char* p = begin;
    while (*p != '\0' && *p != stop) ++p;
    *cursor = p;
    return VTLstring(begin, static_cast<uint32_t>(p - begin));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int64_t Decimal(const VTLstring& text) {
    int64_t value = 0;
    CStringScanner::GetNum64(text, &value);
    return value;
}

}  // namespace

VTLstring ReadListField(const char** cursor) {
    const char* p = *cursor;
    const bool quoted = *p == '"';
    if (quoted) ++p;
    VTLstring out;
    const char* runStart = p;  // collected bytes are appended a run at a time
    bool comment = false;
    auto flush = [&] {
        if (!comment && p > runStart) out.append(runStart, static_cast<uint32_t>(p - runStart));
    };
    for (;;) {
        const char c = *p;
        if (c == '/' && p[1] == '/' && !comment) {
            flush();
            comment = true;
        }
        if (!quoted && (c == '\t' || c == '\0')) break;
        if (quoted && c == '"') {
            flush();
            ++p;
            if (*p != '\0') ++p;
            *cursor = p;
            return out;
        }
        if ((!quoted && c == '\n') || (quoted && c == '\0')) break;
        ++p;
    }
    flush();
    if (*p != '\0') ++p;
    *cursor = p;
    return out;
}

int64_t ReadListInt(const char** cursor) { return Decimal(ReadListField(cursor)); }

int64_t ReadListCommaInt(const char** cursor) {
    while (IsBlank(**cursor)) ++*cursor;
    const VTLstring text = TakeTo(cursor, ',');
    if (**cursor == ',') ++*cursor;
    return Decimal(text);
}

double ReadListDouble(const char** cursor) {
    while (IsBlank(**cursor)) ++*cursor;
    const bool negative = **cursor == '-';
    if (negative) ++*cursor;
    const VTLstring field = TakeTo(cursor, '\t');
    if (**cursor == '\t') ++*cursor;

    const char* p = field.c_str();
    const VTLstring integer = TakeTo(&p, '.');
    int64_t whole = 0;
    if (CStringScanner::GetNum64(integer, &whole) != 0) return 0;
    double value = static_cast<double>(whole);
    if (*p == '.') {
        ++p;
        double divisor = 10;
        // A character that is no digit ends the fraction (a blank or "//" after a real).
        for (int i = 0; i < 8 && HexDigit(p[i]) >= 0; ++i, divisor *= 10) value += HexDigit(p[i]) / divisor;
    }
    return negative ? -value : value;
}

}  // namespace KestraneGameBase2

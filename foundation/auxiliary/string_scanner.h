#pragma once
// Scanning of text lines: a cursor (pointer to a pointer into NUL-terminated
// Shift-JIS text) is advanced over what each function consumes, never past the
// NUL. Blanks are LF, CR, space and TAB; field separators are ',', TAB and '/'.
// A double-byte character is taken whole: its trail byte never ends a token.
#include "foundation/vtl/vtl_string.h"

#include <cstdint>

namespace tovarineGameSDK3rd::Auxiliary {

class CStringScanner {
public:
    static bool IsSJISLeadByte(uint8_t c) { return VTL::IsSJISLeadByte(c); }
    // 0-9, A-F, a-f give 0 to 15; anything else throws VTL::CRuntimeException
    // with the empty (general) message.
    static int HexToInt(char c);

    // Skips blanks; true when the cursor then stands on the NUL.
    static bool IsEnd(const char** cursor);
    // Skips blanks and ','; true when the cursor then stands on the NUL.
    static bool SkipBlanksAndCommas(const char** cursor);
    // A signed decimal after blanks, 32-bit, wrapping: 0 read, 1 no digits (out 0,
    // a sign stays consumed), -1 at the end of the text (out untouched).
    static int GetNum(const char** cursor, int* out);
    // One numeric field of a separated line: 0 read, 1 end of text, 2 no number.
    // With emptyField a separator at the cursor is an empty field worth 0, and one
    // separator after the number is consumed; without, commas and blanks before
    // the number are skipped and the separator after it is left.
    static int GetNextToken(const char** cursor, int* out, bool emptyField);
    // A signed 64-bit decimal at the start of the text ('-' only; bytes after the
    // digits ignored): 0 read, 1 no digits (out 0).
    static int GetNum64(VTL::VTLstring text, int64_t* out);
    // Skips blanks, then one token: a double-quoted one (quotes dropped, blanks
    // inside kept) or one that ends at space, TAB, LF or the NUL, unconsumed.
    static VTL::VTLstring GetStrings(const char** cursor);
    // Up to space, TAB, LF or the NUL, none consumed.
    static VTL::VTLstring GetWord(const char** cursor);
    // Up to the terminator or the NUL, neither consumed.
    static VTL::VTLstring GetStrTo(const char** cursor, char terminator);
    // Up to ',', '/' or the NUL, none consumed.
    static VTL::VTLstring GetCommaToken(const char** cursor);

    // The same over a cursor into writable text.
    static bool IsEnd(char** cursor) { return IsEnd(Const(cursor)); }
    static bool SkipBlanksAndCommas(char** cursor) { return SkipBlanksAndCommas(Const(cursor)); }
    static int GetNum(char** cursor, int* out) { return GetNum(Const(cursor), out); }
    static int GetNextToken(char** cursor, int* out, bool emptyField) {
        return GetNextToken(Const(cursor), out, emptyField);
    }
    static VTL::VTLstring GetStrings(char** cursor) { return GetStrings(Const(cursor)); }
    static VTL::VTLstring GetWord(char** cursor) { return GetWord(Const(cursor)); }
    static VTL::VTLstring GetStrTo(char** cursor, char terminator) { return GetStrTo(Const(cursor), terminator); }
    static VTL::VTLstring GetCommaToken(char** cursor) { return GetCommaToken(Const(cursor)); }

private:
    static const char** Const(char** cursor) { return const_cast<const char**>(cursor); }
};

}  // namespace tovarineGameSDK3rd::Auxiliary

#pragma once
// The field readers of the game's text tables. Each advances a cursor (a pointer into a
// NUL-terminated line) past what it reads, never past the NUL. Fields end at a TAB or at
// the end of the line, may be quoted, and "//" starts a comment. Bytes are taken as they
// are; Shift-JIS double-byte characters get no special treatment.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "foundation/vtl/vtl_string.h"

namespace KestraneGameBase2 {

// One field. Unquoted, it runs to a TAB, a line feed or the end, and the stopping character
// is consumed. Quoted, it runs to the closing quote, which is consumed with the character
// after it (normally the TAB); a quoted field may hold TABs and line feeds. From "//" on
// nothing more is collected, inside quotes as well.
tovarineGameSDK3rd::VTL::VTLstring ReadListField(const char** cursor);
// One field as ReadListField reads it, as a signed decimal ('-' only): 0 when it is none.
int64_t ReadListInt(const char** cursor);
// Skips blanks, takes the text up to the next ',' (or the end), steps over that comma and
// reads the text as a signed decimal: 0 when it is none.
int64_t ReadListCommaInt(const char** cursor);
// A real to the next TAB (the TAB consumed): blanks, an optional '-', an integer part, then
// after a '.' up to eight fraction digits ("0"-"9", and "A"-"F"/"a"-"f" worth 10-15). The
// fraction stops at any other character. 0 when the integer part is no number.
double ReadListDouble(const char** cursor);

// Calls fn(line) for every line of a text, as CFile::ReadLine splits it: a line ends only at
// CR LF (a lone CR or LF belongs to it); the text after the last CR LF is a line when it is
// not empty. The line is a VTLstring, so the readers above can walk it to its NUL.
template <class Fn>
void ForEachListLine(std::string_view text, Fn&& fn) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find("\r\n", at), text.size());
        fn(tovarineGameSDK3rd::VTL::VTLstring(text.data() + at, static_cast<uint32_t>(end - at)));
        at = end + 2;
    }
}

}  // namespace KestraneGameBase2

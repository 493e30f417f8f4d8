#pragma once
// Conversion between the program's Shift-JIS text (code page 932) and the UTF-8
// that the system around it speaks (file names, captions, fonts, message boxes).
#include <string>
#include <string_view>

namespace morna::platform {

// Each answers false, leaving out empty, when the input is not valid in its
// source encoding or holds a character the target cannot express.
bool Cp932ToUtf8(std::string_view in, std::string& out);
bool Utf8ToCp932(std::string_view in, std::string& out);

// Shift-JIS lead bytes: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace morna::platform

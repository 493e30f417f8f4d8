// printf into a string of any length.
#pragma once

#include <cstdarg>
#include <string>

namespace tovarineGameSDK3rd {

// What printf makes of format and args; false (out untouched) when the format is refused.
bool FormatText(std::string& out, const char* format, std::va_list args);

}  // namespace tovarineGameSDK3rd

// Reads arbitrary bytes as the update check's answer: only the first 500 bytes count, the text
// ends at the first NUL among them, and the number is the one that text starts with (an
// optional '-', then digits, wrapping as unsigned 64 bits); no digits read as 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/check_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int64_t got = KestraneGameBase2::CCheckVersion::ParseVersion(reinterpret_cast<const char*>(data), size);
    const size_t end = size < KestraneGameBase2::CCheckVersion::kAnswerBytes ? size : KestraneGameBase2::CCheckVersion::kAnswerBytes;
    size_t i = 0;
    const bool negative = end > 0 && data[0] == '-';
    if (negative) ++i;
    uint64_t value = 0;
    for (; i < end && data[i] >= '0' && data[i] <= '9'; ++i) value = value * 10u + (data[i] - '0');
    if (got != static_cast<int64_t>(negative ? 0 - value : value)) std::abort();
    return 0;
}

#include "foundation/vtl/log_device.h"

#include <cstdarg>

#include "foundation/vtl/format_text.h"
#include "platform/charset.h"
#include "platform/clock.h"

namespace tovarineGameSDK3rd {

void CTextOutputStreamLogDevice::Out(const char* format, ...) {
    if (format == nullptr) return;
    va_list args;
    va_start(args, format);
    std::string text;
    FormatText(text, format, args);  // a refused format writes an empty line
    va_end(args);
    Write(text);
}

std::string CTextOutputStreamLogDevice::Line(int64_t seconds, const std::string& sjis) {
    morna::platform::LocalDateTime t;
    char head[40] = "(no local time) ";
    if (morna::platform::ToLocalDateTime(seconds, t))
        std::snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
    std::string text;
    if (!morna::platform::Cp932ToUtf8(sjis, text)) {
        text.clear();
        for (const char c : sjis) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            text += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : std::string(escaped);
        }
    }
    if (text.empty() || text.back() != '\n') text += '\n';
    return head + text;
}

void CTextOutputStreamLogDevice::Write(const std::string& sjis) {
    const std::string line = Line(morna::platform::WallClockSeconds(), sjis);
    // One write per line, so that lines of several threads never interleave.
    std::fwrite(line.data(), 1, line.size(), to_);
    std::fflush(to_);
}

}  // namespace tovarineGameSDK3rd

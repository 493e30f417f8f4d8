#include "platform/module_path.h"

#include <unistd.h>

#include <vector>

#include "platform/charset.h"

namespace morna::platform {

std::string ExecutablePath() {
    std::vector<char> buf(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buf.size()) {
            buf.resize(static_cast<size_t>(n));
            break;
        }
        if (buf.size() >= 65536) return {};
        buf.resize(buf.size() * 2);
    }
    std::string utf8(buf.begin(), buf.end());
    std::string sjis;
    if (!Utf8ToCp932(utf8, sjis)) sjis = utf8;
    // Only '/' bytes become separators; in Shift-JIS a 0x2F never trails a lead byte.
    for (char& c : sjis) {
        if (c == '/') c = '\\';
    }
    return "Z:" + sjis;
}

}  // namespace morna::platform

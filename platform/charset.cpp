#include "platform/charset.h"

#include <cerrno>
#include <iconv.h>

namespace morna::platform {
namespace {

bool Convert(const char* to, const char* from, std::string_view in, std::string& out) {
    out.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    // CP932 <-> UTF-8 grows a character at most from 2 to 3 bytes (1 to 3 for
    // half-width kana), so 3 bytes per input byte always suffice.
    std::string buf(in.size() * 3 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buf.data();
    size_t dstLeft = buf.size();
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    bool ok = r != static_cast<size_t>(-1) && srcLeft == 0;
    if (ok) ok = iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok) return false;
    buf.resize(buf.size() - dstLeft);
    out = std::move(buf);
    return true;
}

}  // namespace

bool Cp932ToUtf8(std::string_view in, std::string& out) { return Convert("UTF-8", "CP932", in, out); }
bool Utf8ToCp932(std::string_view in, std::string& out) { return Convert("CP932", "UTF-8", in, out); }

}  // namespace morna::platform

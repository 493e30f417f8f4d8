#include "platform/charset.h"

#include <algorithm>
#include <iconv.h>

namespace morna::platform {
namespace {

// One conversion descriptor per direction and thread: file names convert on every
// open, and iconv_open costs far more than converting a short name.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Run(std::string_view in, std::string& out) {
        out.clear();
        if (!Valid()) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        // CP932 <-> UTF-8 grows a character at most from 2 to 3 bytes (1 to 3 for
        // half-width kana), so 3 bytes per input byte always suffice.
        std::string buf(in.size() * 3 + 4, '\0');
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = buf.data();
        size_t dstLeft = buf.size();
        bool ok = iconv(cd_, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0;
        if (ok) ok = iconv(cd_, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
        if (!ok) return false;
        buf.resize(buf.size() - dstLeft);
        out = std::move(buf);
        return true;
    }

private:
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t cd_;
};

// ASCII is the same in both encodings (0x5C and 0x7E included).
bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

bool Cp932ToUtf8(std::string_view in, std::string& out) {
    if (IsAscii(in)) {
        out.assign(in);
        return true;
    }
    thread_local Converter conv("UTF-8", "CP932");
    return conv.Run(in, out);
}

bool Utf8ToCp932(std::string_view in, std::string& out) {
    if (IsAscii(in)) {
        out.assign(in);
        return true;
    }
    thread_local Converter conv("CP932", "UTF-8");
    return conv.Run(in, out);
}

}  // namespace morna::platform

// A device for the error-log stream that writes every message as one line of UTF-8 on a
// stdio stream (standard error for the game), headed by the local date and time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd {

class CTextOutputStreamLogDevice : public ITextOutputStream {
public:
    explicit CTextOutputStreamLogDevice(std::FILE* to = stderr) : to_(to) {}

    void Out(const VTL::VTLstring& s) override { Write(s.c_str()); }
    void Out(std::int32_t n) override { Write(std::to_string(n)); }
    void Out(const char* format, ...) override MORNA_PRINTF_FORMAT(2, 3);

    // "YYYY-MM-DD hh:mm:ss text\n" for the Shift-JIS text; bytes that are not Shift-JIS are
    // written as \xNN.
    static std::string Line(int64_t seconds, const std::string& sjis);

private:
    void Write(const std::string& sjis);
    std::FILE* to_;
};

}  // namespace tovarineGameSDK3rd

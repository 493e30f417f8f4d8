#include "foundation/vtl/text_output_stream.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "foundation/vtl/format_text.h"

namespace tovarineGameSDK3rd {

CTextOutputStreamVersatile::CTextOutputStreamVersatile()
    : device_(VTL::smart_ptr<ITextOutputStream>(new CTextOutputStreamNullDevice)) {}

VTL::smart_ptr<ITextOutputStream> CTextOutputStreamVersatile::GetDevice() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return device_;
}

void CTextOutputStreamVersatile::SetDevice(const VTL::smart_ptr<ITextOutputStream>& device) {
    VTL::smart_ptr<ITextOutputStream> old;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        old = device_;
        device_ = device;
    }
    // old goes here, outside the lock: its destructor may write to the log itself.
}

void CTextOutputStreamVersatile::Clear() { GetDevice()->Clear(); }

void CTextOutputStreamVersatile::Out(const VTL::VTLstring& s) { GetDevice()->Out(s); }

void CTextOutputStreamVersatile::Out(std::int32_t n) { GetDevice()->Out(n); }

void CTextOutputStreamVersatile::Out(const char* format, ...) {
    VTL::smart_ptr<ITextOutputStream> device = GetDevice();
    if (device.isNull()) throw VTL::CNullPointerException();
    char text[kBufferSize];
    int n = -1;
    if (format) {
        va_list args;
        va_start(args, format);
        n = std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    if (n < 0) {
        text[0] = 0;
    } else if (n >= kBufferSize) {
        // Cut: drop a Shift-JIS lead byte whose trail byte did not fit.
        int last = -1;
        for (int i = 0; i < kBufferSize - 1; ++i) {
            if (VTL::IsSJISLeadByte(static_cast<unsigned char>(text[i]))) {
                if (i + 1 >= kBufferSize - 1) last = i;
                ++i;
            }
        }
        if (last >= 0) text[last] = 0;
    }
    device->Out("%s", text);
}

CTextOutputStreamVersatile& GetErrorLog() {
    // Never destroyed, so static destructors may still report; the atexit step puts
    // the null device back so that an installed device is released at exit.
    static CTextOutputStreamVersatile* const log = [] {
        auto* stream = new CTextOutputStreamVersatile();
        std::atexit([] { GetErrorLog().SetDevice(VTL::smart_ptr<ITextOutputStream>(new CTextOutputStreamNullDevice)); });
        return stream;
    }();
    return *log;
}

bool FormatText(std::string& out, const char* format, std::va_list args) {
    std::va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    if (n < 0) {
        va_end(again);
        return false;
    }
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(static_cast<size_t>(n));
    out = std::move(text);
    return true;
}

namespace {
// Makes the stream before main runs.
[[maybe_unused]] CTextOutputStreamVersatile& g_error_log_at_start = GetErrorLog();
}  // namespace

}  // namespace tovarineGameSDK3rd

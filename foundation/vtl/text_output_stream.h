// The error-log stream: the SDK writes the failures it survives, one Japanese line
// each, to GetErrorLog(). Its device at start discards everything; a program that
// wants the messages installs another with SetDevice.
#pragma once

#include <cstdint>
#include <mutex>

#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd {

#define MORNA_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))

// A text sink. A device is handed finished text as Out("%s", text); it should treat
// every call as printf-style, so that a '%' in the text is never formatted twice.
class ITextOutputStream {
public:
    virtual void Clear() {}
    virtual void Out(const VTL::VTLstring& s) { Out("%s", s.c_str()); }
    virtual void Out(std::int32_t n) { Out("%d", n); }
    virtual void Out(const char* /*format*/, ...) MORNA_PRINTF_FORMAT(2, 3) {}
    virtual ~ITextOutputStream() = default;
};

// Discards everything.
class CTextOutputStreamNullDevice : public ITextOutputStream {
public:
    void Clear() override {}
    void Out(const VTL::VTLstring&) override {}
    void Out(std::int32_t) override {}
    void Out(const char*, ...) override MORNA_PRINTF_FORMAT(2, 3) {}
};

// Formats once and hands the finished text to its device. Callable from any thread;
// the device it calls must accept calls from several threads.
class CTextOutputStreamVersatile : public ITextOutputStream {
public:
    // Formatted text longer than this, NUL included, is cut.
    static constexpr int kBufferSize = 512;

    explicit CTextOutputStreamVersatile(const VTL::smart_ptr<ITextOutputStream>& device) : device_(device) {}
    CTextOutputStreamVersatile();

    void Clear() override;
    void Out(const VTL::VTLstring& s) override;
    void Out(std::int32_t n) override;
    void Out(const char* format, ...) override MORNA_PRINTF_FORMAT(2, 3);
    // Replaces the device; the old one goes with its last reference. A null device
    // makes every later call throw CNullPointerException.
    void SetDevice(const VTL::smart_ptr<ITextOutputStream>& device);
    VTL::smart_ptr<ITextOutputStream> GetDevice() const;

private:
    mutable std::mutex mutex_;  // guards device_ itself, not the calls made on it
    VTL::smart_ptr<ITextOutputStream> device_;
};

// The process-wide error-log stream: made on first use (and before main), safe to
// reach from any thread, and still usable while static objects are destroyed; at
// exit its device is replaced by the null device, so a program's device is released.
CTextOutputStreamVersatile& GetErrorLog();

}  // namespace tovarineGameSDK3rd

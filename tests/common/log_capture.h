// Test helper: records every line written to the error-log stream.
//
//   LogCapture log;                 // installs itself on GetErrorLog()
//   ... code that reports ...
//   EXPECT_EQ(log.Lines(), std::vector<std::string>{"..."});
//                                   // the destructor puts the null device back
#pragma once

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/vtl/text_output_stream.h"

namespace morna::test {

// A device that keeps each formatted line, in order, under a mutex.
class RecordingDevice : public tovarineGameSDK3rd::ITextOutputStream {
public:
    void Clear() override {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }
    void Out(const tovarineGameSDK3rd::VTL::VTLstring& s) override { Add(std::string(s.c_str(), s.size())); }
    void Out(std::int32_t n) override { Add(std::to_string(n)); }
    void Out(const char* format, ...) override __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        va_list again;
        va_copy(again, args);
        const int n = std::vsnprintf(nullptr, 0, format, args);
        std::string line(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
        if (n > 0) std::vsnprintf(line.data(), line.size() + 1, format, again);
        va_end(again);
        va_end(args);
        Add(std::move(line));
    }

    std::vector<std::string> Lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    void Add(std::string line) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
    }

    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

// Installs a RecordingDevice on the error-log stream for its lifetime.
class LogCapture {
public:
    LogCapture() : device_(new RecordingDevice) { tovarineGameSDK3rd::GetErrorLog().SetDevice(device_); }
    ~LogCapture() {
        tovarineGameSDK3rd::GetErrorLog().SetDevice(
            tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::ITextOutputStream>(
                new tovarineGameSDK3rd::CTextOutputStreamNullDevice));
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> Lines() const { return device_->Lines(); }
    // True when some line contains `part`.
    bool Contains(const std::string& part) const {
        for (const std::string& line : Lines()) {
            if (line.find(part) != std::string::npos) return true;
        }
        return false;
    }
    void Clear() { device_->Clear(); }

private:
    tovarineGameSDK3rd::VTL::smart_ptr<RecordingDevice> device_;
};

}  // namespace morna::test

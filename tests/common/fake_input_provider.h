#pragma once
// A keyboard service whose every step the test decides, put in place of the
// real one with morna::platform::SetInputProvider.
#include "platform/direct_input.h"

#include <cstring>
#include <deque>
#include <memory>

namespace morna::test {

namespace r = morna::platform::input_result;
namespace mp = morna::platform;

// What the fake system answers; each step of the keyboard's making can fail.
struct FakeSystem {
    bool serviceObject = true;
    bool library = true;
    bool createEntry = true;
    int32_t libraryCreate = r::kOk;
    int32_t initialize5 = r::kOk;
    int32_t initialize3 = r::kOk;
    int32_t createKeyboard = r::kOk;
    int32_t format = r::kOk;
    int32_t cooperative = r::kOk;
    // Answers of successive Acquire and GetState calls; kOk once used up.
    std::deque<int32_t> acquires;
    std::deque<int32_t> reads;
    uint8_t keys[256] = {};

    uint32_t level = 0;
    int acquireCalls = 0;
    int unacquireCalls = 0;
    int liveObjects = 0;
    int liveDevices = 0;
    int liveLibraries = 0;
    // Objects still alive when a library closed (they must be gone before it is).
    int objectsAtLibraryClose = 0;

    static int32_t Next(std::deque<int32_t>& answers) {
        if (answers.empty()) return r::kOk;
        const int32_t a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FakeDevice : public mp::KeyboardDevice {
public:
    explicit FakeDevice(FakeSystem& s) : s_(s) { ++s_.liveDevices; }
    ~FakeDevice() override { --s_.liveDevices; }
    int32_t SetKeyboardFormat() override { return s_.format; }
    int32_t SetCooperativeLevel(mp::InputWindow, uint32_t flags) override {
        s_.level = flags;
        return s_.cooperative;
    }
    int32_t Acquire() override {
        ++s_.acquireCalls;
        return FakeSystem::Next(s_.acquires);
    }
    int32_t Unacquire() override {
        ++s_.unacquireCalls;
        return r::kOk;
    }
    int32_t GetState(uint8_t (&keys)[256]) override {
        const int32_t a = FakeSystem::Next(s_.reads);
        if (a == r::kOk) std::memcpy(keys, s_.keys, 256);
        return a;
    }

private:
    FakeSystem& s_;
};

class FakeObject : public mp::InputObject {
public:
    explicit FakeObject(FakeSystem& s) : s_(s) { ++s_.liveObjects; }
    ~FakeObject() override { --s_.liveObjects; }
    int32_t Initialize(uint32_t version) override { return version == 0x0500 ? s_.initialize5 : s_.initialize3; }
    int32_t CreateKeyboard(std::unique_ptr<mp::KeyboardDevice>& device) override {
        if (s_.createKeyboard == r::kOk) device = std::make_unique<FakeDevice>(s_);
        return s_.createKeyboard;
    }

private:
    FakeSystem& s_;
};

class FakeLibrary : public mp::InputLibrary {
public:
    explicit FakeLibrary(FakeSystem& s) : s_(s) { ++s_.liveLibraries; }
    ~FakeLibrary() override {
        s_.objectsAtLibraryClose += s_.liveObjects;
        --s_.liveLibraries;
    }
    bool HasCreateEntry() override { return s_.createEntry; }
    int32_t Create(uint32_t, std::unique_ptr<mp::InputObject>& object) override {
        if (s_.libraryCreate == r::kOk) object = std::make_unique<FakeObject>(s_);
        return s_.libraryCreate;
    }

private:
    FakeSystem& s_;
};

class FakeProvider : public mp::InputProvider {
public:
    explicit FakeProvider(FakeSystem& s) : s_(s) {}
    std::unique_ptr<mp::InputObject> CreateObject() override {
        return s_.serviceObject ? std::make_unique<FakeObject>(s_) : nullptr;
    }
    std::unique_ptr<mp::InputLibrary> OpenLibrary() override {
        return s_.library ? std::make_unique<FakeLibrary>(s_) : nullptr;
    }

private:
    FakeSystem& s_;
};

// One row of a table of ways the keyboard's making goes: what fails, the
// status that follows and the one error-log line written (or null).
struct InputMakeCase {
    const char* name;
    void (*setup)(FakeSystem&);
    int32_t status;
};

// Puts a provider over `system` in place for its lifetime.
class FakeInputScope {
public:
    explicit FakeInputScope(FakeSystem& system) : provider_(system) { mp::SetInputProvider(&provider_); }
    ~FakeInputScope() { mp::SetInputProvider(nullptr); }
    FakeInputScope(const FakeInputScope&) = delete;
    FakeInputScope& operator=(const FakeInputScope&) = delete;

private:
    FakeProvider provider_;
};

}  // namespace morna::test

#pragma once
// The input object through which the keyboard device is made: from the
// system's object service, or from its library when the service has none.
#include "platform/direct_input.h"

#include <cstdint>
#include <memory>

namespace tovarineGameSDK3rd::Input {

class CDirectInput {
public:
    // Status codes; 3 and above leave no usable object.
    enum : int32_t {
        kReady = 0,             // initialised for version 0x0500
        kReadyVersion3 = 1,     // made by the object service, initialised for 0x0300 only
        kMadeByLibrary = 2,     // made by the library's entry, not initialised for 0x0500
        kLibraryFailed = 3,     // the library, its entry or its create call failed
        kNoInterface = 4,
        kInitializeFailed = 5,  // neither version initialised
    };
    static constexpr uint32_t kVersion5 = 0x0500;
    static constexpr uint32_t kVersion3 = 0x0300;

    CDirectInput();
    ~CDirectInput();
    CDirectInput(const CDirectInput&) = delete;
    CDirectInput& operator=(const CDirectInput&) = delete;

    int32_t GetStatus() const { return status_; }
    // The object in use; null when none was made.
    morna::platform::InputObject* Get() const { return interface_; }

private:
    void ReleaseComUse();

    bool comCounted_ = false;
    // Declared before the objects: an object made by the library dies first.
    std::unique_ptr<morna::platform::InputLibrary> library_;
    std::unique_ptr<morna::platform::InputObject> serviceObject_;  // holds a COM use
    std::unique_ptr<morna::platform::InputObject> libraryObject_;
    morna::platform::InputObject* interface_ = nullptr;
    int32_t status_ = kReady;
};

}  // namespace tovarineGameSDK3rd::Input

#include "foundation/input/direct_input.h"

#include "foundation/thread/com.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Input {

namespace mp = morna::platform;
namespace r = morna::platform::input_result;

CDirectInput::CDirectInput() {
    status_ = kReady;
    // Only a count that went up is taken down again.
    comCounted_ = Thread::AddRefCOM() == 0;
    mp::InputProvider& provider = mp::GetInputProvider();
    serviceObject_ = provider.CreateObject();
    if (serviceObject_) {
        interface_ = serviceObject_.get();
    } else {
        ReleaseComUse();
        library_ = provider.OpenLibrary();
        if (!library_) {
            GetErrorLog().Out("CDirectInput::CDirectInputでLoadLibraryに失敗");
            status_ = kLibraryFailed;
            return;
        }
        if (!library_->HasCreateEntry()) {
            GetErrorLog().Out("CDirectInput::CDirectInputでGetProcに失敗");
            status_ = kLibraryFailed;
            return;
        }
        if (library_->Create(kVersion3, libraryObject_) != r::kOk) {
            GetErrorLog().Out("CDirectInput::CDirectInputでDirectInputCreateに失敗");
            libraryObject_.reset();
            status_ = kLibraryFailed;
            return;
        }
        interface_ = libraryObject_.get();
        status_ = kMadeByLibrary;
    }
    if (interface_ == nullptr) {
        GetErrorLog().Out("CDirectInput::CDirectInputでDirectInputInterfaceが得られない");
        status_ = kNoInterface;
        return;
    }
    if (interface_->Initialize(kVersion5) == r::kOk) {
        status_ = kReady;
    } else if (interface_->Initialize(kVersion3) != r::kOk) {
        GetErrorLog().Out("CDirectInput::CKeyInputでDirectInputの初期化に失敗");
        status_ = kInitializeFailed;
    } else if (status_ == kReady) {
        status_ = kReadyVersion3;
    }
}

CDirectInput::~CDirectInput() {
    interface_ = nullptr;
    libraryObject_.reset();
    serviceObject_.reset();
    ReleaseComUse();
    library_.reset();
}

void CDirectInput::ReleaseComUse() {
    if (comCounted_) Thread::ReleaseCOM();
    comCounted_ = false;
}

}  // namespace tovarineGameSDK3rd::Input

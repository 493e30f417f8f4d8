#include "framework/message_box.h"

#include <string>

#include "foundation/vtl/text_output_stream.h"

namespace KestraneGameBase2 {

int ShowMessageBox(tovarineGameSDK3rd::HWND owner, const tovarineGameSDK3rd::VTL::VTLstring& text,
                   const tovarineGameSDK3rd::VTL::VTLstring& caption, uint32_t flags) {
    morna::platform::MessageBoxRequest request;
    request.owner = owner;
    request.text.assign(text.c_str(), text.size());
    request.caption.assign(caption.c_str(), caption.size());
    request.flags = flags;
    std::string error;
    const int answer = morna::platform::ShowMessageBox(request, &error);
    if (answer == 0) tovarineGameSDK3rd::GetErrorLog().Out("メッセージボックスを表示できない: %s", error.c_str());
    return answer;
}

}  // namespace KestraneGameBase2

#include "framework/check_version.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/auxiliary/string_scanner.h"
#include "foundation/vtl/text_output_stream.h"
#include "framework/message_box.h"
#include "platform/browser.h"

namespace KestraneGameBase2 {

namespace mp = morna::platform;

CCheckVersion::~CCheckVersion() { StopThread(); }  // here, while Interrupt is still ours

void CCheckVersion::Interrupt() {
    // The stop first: a thread that has not begun its request yet sees it and does not begin.
    CThread::Interrupt();
    cancel_.Cancel();
}

void CCheckVersion::ThreadProc() {
    cancel_.Reset();
    if (IsThreadValid() && lastVersion_ != -1 && owner_ != 0) CheckVersion();
    StopThread();
}

int64_t CCheckVersion::ParseVersion(const char* data, size_t size) {
    char text[kAnswerBytes + 1];
    const size_t n = std::min(size, kAnswerBytes);
    if (n != 0) std::memcpy(text, data, n);
    text[n] = '\0';  // the text ends after what was read
    int64_t value = 0;
    tovarineGameSDK3rd::Auxiliary::CStringScanner::GetNum64(text, &value);
    return value;
}

void CCheckVersion::CheckVersion() {
    result_ = -1;
    mp::HttpGetRequest request;
    request.url.assign(versionAddress_.c_str(), versionAddress_.size());
    request.userAgent = "WININET Sample Program";
    request.maxBodyBytes = kAnswerBytes;
    request.timeoutMs = timeoutMs_;
    request.noCache = true;
    mp::HttpAnswer answer;
    if (!mp::HttpGet(request, answer, &cancel_)) return;  // silent: no network is no news
    const int64_t version = ParseVersion(answer.body.data(), answer.body.size());
    if (version <= int64_t{lastVersion_}) return;

    const int chosen = ShowMessageBox(0,
                                      "最新バージョンが見つかりました。\nダウンロードページを開きますか？\n"
                                      "(キャンセルすると次のアップデートまでダイアログを表示しません)",
                                      "アップデート確認", mp::MB_OKCANCEL);
    if (chosen == mp::IDOK) {
        std::string error;
        if (!mp::OpenBrowser(std::string(downloadAddress_.c_str(), downloadAddress_.size()), &error))
            tovarineGameSDK3rd::GetErrorLog().Out("ダウンロードページを開けない: %s", error.c_str());
    }
    // Kept only when the player saw the box: a box that could not be shown promised nothing.
    if (chosen == mp::IDOK || chosen == mp::IDCANCEL) result_ = static_cast<int32_t>(version);
}

}  // namespace KestraneGameBase2

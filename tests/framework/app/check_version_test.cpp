// The update check against HTTP servers on 127.0.0.1 that the tests start: what it asks, which
// answers offer the download page, what the player's answer does, and system.cfg afterwards.
#include "framework/check_version.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "framework/app_frame.h"
#include "platform/browser.h"
#include "platform/display_mode.h"
#include "platform/message_box.h"
#include "tests/common/app_thread.h"
#include "tests/common/local_http_server.h"
#include "tests/common/temp_base_folder.h"

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
using morna::test::LocalHttpServer;
using Strings = std::vector<std::string>;
constexpr const char* kDownload = "http://127.0.0.1:1/download page";

// Boxes as "owner flags caption|text", answered with `answer`, and the browser's addresses.
struct Recorder {
    std::mutex lock;
    std::condition_variable boxed;
    Strings boxes, opened;
    explicit Recorder(int answer) {
        mp::SetMessageBoxHook([this, answer](const mp::MessageBoxRequest& r) {
            std::lock_guard<std::mutex> guard(lock);
            boxes.push_back(std::to_string(r.owner) + " " + std::to_string(r.flags) + " " + r.caption + "|" + r.text);
            boxed.notify_all();
            return answer;
        });
        mp::SetBrowserHook([this](const std::string& address) {
            std::lock_guard<std::mutex> guard(lock);
            opened.push_back(address);
            return true;
        });
    }
    ~Recorder() {
        mp::SetMessageBoxHook(nullptr);
        mp::SetBrowserHook(nullptr);
    }
};

const std::string kBox = "0 1 アップデート確認|最新バージョンが見つかりました。\nダウンロードページを開きますか？\n"
                         "(キャンセルすると次のアップデートまでダイアログを表示しません)";

TEST(CheckVersion, OffersOnlyANewerNumberFromA2xxAnswerCutAt500Bytes) {
    const std::string cut = std::string(499, '0') + std::string(101, '9');  // 9 within the first 500 bytes
    const struct {
        const char* url;  // "": none, "-": refused, else the server's
        int status;
        std::string body;
        int32_t last, owner;
        int answer;
        int32_t result;
        bool boxed;
    } rows[] = {
        {"s", 200, "12\r\n", 5, 7, mp::IDOK, 12, true}, {"s", 200, "12", 5, 7, mp::IDCANCEL, 12, true},
        {"s", 200, "5", 12, 7, mp::IDOK, -1, false},    {"s", 404, "99", 5, 7, mp::IDOK, -1, false},
        {"s", 200, cut, 5, 7, mp::IDCANCEL, 9, true},   {"s", 200, "12", 5, 7, 0, -1, true},  // no box shown
        {"-", 0, "", 5, 7, mp::IDOK, -1, false},        {"", 0, "", 5, 7, mp::IDOK, -1, false},
        {"s", 200, "12", -1, 7, mp::IDOK, -1, false},   {"s", 200, "12", 5, 0, mp::IDOK, -1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(&row - rows));
        Recorder record(row.answer);
        LocalHttpServer server(row.status, row.body);
        KB::CCheckVersion check;
        check.SetVersionAddress(row.url[0] == 's' ? server.Url().c_str() : row.url[0] ? LocalHttpServer::RefusedUrl().c_str() : "");
        check.SetDownloadAddress(kDownload);
        check.SetLastVersion(row.last);
        check.SetOwnerWindow(row.owner);
        check.InnerRun();
        EXPECT_EQ(check.GetResult(), row.result);
        EXPECT_EQ(record.boxes, row.boxed ? Strings{kBox} : Strings{});
        EXPECT_EQ(record.opened, row.answer == mp::IDOK && row.boxed ? Strings{kDownload} : Strings{});
        const Strings asked = server.Requests();
        ASSERT_EQ(asked.size(), row.url[0] == 's' && row.last != -1 && row.owner != 0 ? 1u : 0u);
        for (const char* line : {"GET /version.txt HTTP/1.1\r\n", "\r\nUser-Agent: WININET Sample Program\r\n",
                                 "\r\nCache-Control: no-cache\r\n", "\r\nPragma: no-cache\r\n"}) {
            if (!asked.empty()) {
                EXPECT_NE(asked[0].find(line), std::string::npos) << line << " in " << asked[0];
            }
        }
    }
}

TEST(CheckVersion, ARequestThatWaitsGoesAtOnceWhenTheThreadStopsAndTheTimeLimitEndsIt) {
    Recorder record(mp::IDOK);
    LocalHttpServer silent(200, "12", false);
    {
        KB::CCheckVersion check;
        check.SetVersionAddress(silent.Url().c_str());
        check.SetLastVersion(5);
        check.SetOwnerWindow(7);
        check.SetRequestTimeout(24 * 3600 * 1000);  // only the stop can end it while the test runs
        ASSERT_EQ(check.CreateThread(), 0);
        silent.Requests(true);
    }  // the game closes
    EXPECT_TRUE(record.boxes.empty());

    mp::HttpAnswer answer;
    std::string error;
    EXPECT_FALSE(mp::HttpGet({silent.Url(), "", 500, 50, false}, answer, nullptr, &error));
    EXPECT_NE(error.find("Timeout"), std::string::npos) << error;
}

// The frame starts the check when the switch is on, and keeps the offered version for system.cfg.
struct CheckFrame : KB::CAppFrameBase {
    std::string url;
    Recorder& record;
    CheckFrame(std::string u, Recorder& r) : url(std::move(u)), record(r) {}
    void MainLoop() override {
        GetCheckVersion().SetVersionAddress(url.c_str());
        GetCheckVersion().SetDownloadAddress(kDownload);
        InitializeFrame();
        std::unique_lock<std::mutex> guard(record.lock);
        record.boxed.wait(guard, [&] { return !record.boxes.empty(); });
        guard.unlock();
        KeepCheckedVersion();
        KB::GetSystemConfig().fileName = "save\\system.cfg";
        EXPECT_FALSE(KB::GetSystemConfig().Save());
    }
};

TEST(CheckVersion, TheFrameKeepsTheOfferedVersionWhetherOkOrCancel) {
    LocalHttpServer server(200, "12");
    mp::SetDisplaySleeper([](uint32_t) {});
    for (int answer : {mp::IDOK, mp::IDCANCEL}) {
        Recorder record(answer);
        morna::test::RunOnAppThread([&](morna::test::BodyApp&) {
            morna::test::TempBaseFolder folder("morna-check");
            KB::GetSystemConfig() = KB::SSystemConfig();
            KB::GetSystemConfig().lastVersion = 5;
            CheckFrame frame(server.Url(), record);
            frame.GetGlobalConfig().updateCheck = true;
            frame.Start();
            frame.GetGlobalConfig().updateCheck = false;
            KB::SSystemConfig stored;
            EXPECT_EQ(stored.Load("save\\system.cfg"), 0);
            EXPECT_EQ(stored.lastVersion, 12u);
            KB::DestroyBGMPlayer();  // it keeps the frame's factory
            KB::DestroyMusicLoader();
            KB::DestroySEList();
        });
        EXPECT_EQ(record.opened.size(), answer == mp::IDOK ? 1u : 0u);
    }
    mp::SetDisplaySleeper(nullptr);
}

}  // namespace

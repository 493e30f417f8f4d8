#include "foundation/vtl/text_output_stream.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/vtl/log_device.h"
#include "tests/common/log_capture.h"

using namespace tovarineGameSDK3rd;
using morna::test::LogCapture;
using morna::test::RecordingDevice;

namespace {

TEST(ErrorLogTest, EachLineArrivesOnceFormattedOnce) {
    LogCapture capture;
    GetErrorLog().Out("CWindow::CreateでRegisterClassEx失敗");
    GetErrorLog().Out("CMIDIOutputMCI::Openで読み込むファイルが無い %s", "data\\100%d%s%n.mid");
    GetErrorLog().Out("nBpp=%d BMask=0x%x", 16, 0x1Fu);
    GetErrorLog().Out(VTL::VTLstring("50%s"));
    GetErrorLog().Out(-42);
    EXPECT_EQ(capture.Lines(),
              (std::vector<std::string>{
                  "CWindow::Create\x82\xc5RegisterClassEx\x8e\xb8\x94\x73",
                  "CMIDIOutputMCI::Open\x82\xc5\x93\xc7\x82\xdd\x8d\x9e\x82\xde\x83\x74\x83\x40\x83\x43"
                  "\x83\x8b\x82\xaa\x96\xb3\x82\xa2 data\\100%d%s%n.mid",
                  "nBpp=16 BMask=0x1f", "50%s", "-42"}));
}

TEST(ErrorLogTest, LongTextIsCutToTheBuffer) {
    LogCapture capture;
    const std::string long_text(2000, 'a');
    GetErrorLog().Out("%s", long_text.c_str());
    // A double-byte character that would straddle the cut is dropped whole.
    const std::string sjis = std::string(510, 'b') + "\x83\x41\x83\x41";
    GetErrorLog().Out("%s", sjis.c_str());
    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(511, 'a'));
    EXPECT_EQ(lines[1], std::string(510, 'b'));
}

TEST(ErrorLogTest, NullDeviceThrowsAndCaptureRestoresTheDiscardingOne) {
    {
        LogCapture capture;
        GetErrorLog().SetDevice(VTL::smart_ptr<ITextOutputStream>());
        EXPECT_THROW(GetErrorLog().Out("x"), VTL::CNullPointerException);
        EXPECT_THROW(GetErrorLog().Out(1), VTL::CNullPointerException);
        EXPECT_THROW(GetErrorLog().Clear(), VTL::CNullPointerException);
    }
    EXPECT_NO_THROW(GetErrorLog().Out("x"));
}

TEST(ErrorLogTest, ManyThreadsReportWhileTheDeviceChanges) {
    VTL::smart_ptr<RecordingDevice> device(new RecordingDevice);
    GetErrorLog().SetDevice(device);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i) GetErrorLog().Out("thread %d line %d", t, i);
        });
    }
    for (int i = 0; i < 200; ++i) GetErrorLog().SetDevice(device);  // replaced under the writers
    for (auto& th : threads) th.join();
    GetErrorLog().SetDevice(new CTextOutputStreamNullDevice);
    EXPECT_EQ(device->Lines().size(), 2000u);
}

// The game's device: every message once, as a line of UTF-8 headed by the local time.
TEST(ErrorLogTest, LogDeviceWritesEachMessageOnceAsUtf8WithTheTime) {
    const char* tz = std::getenv("TZ");
    const std::string savedTz = tz ? tz : "";
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(CTextOutputStreamLogDevice::Line(1796626800, "\x83\x47\x83\x89\x81\x5B 50%s"),
              "2026-12-07 07:00:00 \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC 50%s\n");
    EXPECT_EQ(CTextOutputStreamLogDevice::Line(0, "a\x81\n"), "1970-01-01 00:00:00 a\\x81\n");
    if (tz) setenv("TZ", savedTz.c_str(), 1);
    else unsetenv("TZ");

    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    GetErrorLog().SetDevice(new CTextOutputStreamLogDevice(file));
    GetErrorLog().Out("\x83\x47\x83\x89\x81\x5B %d%%s", 7);
    GetErrorLog().Out(VTL::VTLstring("x\n"));
    GetErrorLog().Out(-3);
    GetErrorLog().SetDevice(new CTextOutputStreamNullDevice);
    std::rewind(file);
    std::string all(4096, '\0');
    all.resize(std::fread(all.data(), 1, all.size(), file));
    std::fclose(file);
    std::vector<std::string> bodies;
    for (size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1) {
        ASSERT_GE(end - at, 20u);
        EXPECT_EQ(all[at + 4], '-');
        bodies.push_back(all.substr(at + 20, end - at - 20));
    }
    EXPECT_EQ(bodies, (std::vector<std::string>{"\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC 7%s", "x", "-3"}));
}

}  // namespace

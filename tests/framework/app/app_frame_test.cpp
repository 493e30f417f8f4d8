// The application frame after its start-up, on a window of SDL's dummy driver (a 1024 by 768
// desktop): the window's place, full screen with its fallback and its loss, drops, the error box.
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/app_frame.h"
#include "framework/mixer_volumes.h"
#include "framework/sound_list.h"
#include "platform/clock.h"
#include "platform/display_mode.h"
#include "platform/message_box.h"
#include "platform/sound_output.h"
#include "tests/common/app_thread.h"
#include "tests/common/file_bytes.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
using Names = std::vector<KB::VTLstring>;

class TestFrame : public KB::CAppFrameBase {
public:
    explicit TestFrame(std::function<void(TestFrame&)> body) : body_(std::move(body)) {}
    void MainLoop() override {
        InitializeFrame();
        body_(*this);
    }
    KB::HWND Window() { return GetMyApp()->GetHWnd(); }
    const std::vector<uint32_t>& SavedMaster() const { return savedMasterVolumes_; }
    // Focus events or the files of one drop (UTF-8 names) for the window, then the pump.
    void Push(std::vector<uint8_t> windowEvents, std::vector<const char*> drop = {}) {
        const uint32_t id = SDL_GetWindowID(mp::GetSdlWindow(Window()));
        for (uint8_t w : windowEvents) PushEvent({.window = {SDL_WINDOWEVENT, 0, id, w, 0, 0, 0, 0, 0}});
        for (const char* name : drop) PushEvent({.drop = {SDL_DROPFILE, 0, SDL_strdup(name), id}});
        if (!drop.empty()) PushEvent({.drop = {SDL_DROPCOMPLETE, 0, nullptr, id}});
        IsThreadValid();
    }

private:
    static void PushEvent(SDL_Event e) { SDL_PushEvent(&e); }
    std::function<void(TestFrame&)> body_;
};

void RunFrame(const std::function<void(TestFrame&)>& body) {
    mp::SetDisplaySleeper([](uint32_t) {});
    morna::test::RunOnAppThread([&](morna::test::BodyApp&) {
        morna::test::TempBaseFolder folder("morna-frame");  // the initializer took the current folder
        KB::GetSystemConfig() = KB::SSystemConfig();
        KB::GetSystemConfig().width = 640;
        KB::GetSystemConfig().height = 480;
        TestFrame(body).Start();
        KB::DestroyBGMPlayer();  // it keeps the frame's factory
        KB::DestroyMusicLoader();
        KB::DestroySEList();
    });
    mp::SetDisplaySleeper(nullptr);
}

TEST(AppFrame, WindowPlaceIsKeptOnTheScreenAndCentredOffIt) {
    const int32_t rows[][4] = {  // asked, placed (192, 144 is the centre)
        {0x7FFFFFFF, 0x7FFFFFFF, 192, 144}, {10, -32, 10, -32},   {10, -33, 192, 144},  {-640, 768, -640, 768},
        {-641, 0, 192, 144},                {1025, 0, 192, 144}, {INT32_MIN, 5, 192, 144}};
    RunFrame([&](TestFrame& frame) {
        EXPECT_EQ(KB::GetSystemConfig().windowX, 192);  // the start-up placed it from the record's default
        for (const auto& r : rows) {
            EXPECT_EQ(frame.SetWindowPosition(r[0], r[1]), 0);
            int32_t x = 0, y = 0;
            mp::GetWindowPosition(frame.Window(), x, y);
            EXPECT_EQ((std::vector<int32_t>{KB::GetSystemConfig().windowX, KB::GetSystemConfig().windowY, x, y}),
                      (std::vector<int32_t>{r[2], r[3], r[2], r[3]})) << r[0] << ", " << r[1];
        }
    });
}

TEST(AppFrame, FullScreenFallsBackToSixteenBitsLeavesOnDeactivationAndARefusalKeepsTheWindow) {
    RunFrame([&](TestFrame& frame) {
        KB::SSystemConfig& system = KB::GetSystemConfig();
        auto draw = frame.GetDraw();
        mp::SetFocusSettleTime(0);  // the loss below counts at once
        mp::InjectDisplayModeRefusals(1);  // 32 bits refused: 16 serves
        EXPECT_EQ(frame.ChangeScreenMode(0, 0, 32), 0);
        EXPECT_TRUE(system.fullScreen);
        EXPECT_EQ(draw->GetPrimaryType(), 3);
        frame.Push({SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST});
        EXPECT_FALSE(system.fullScreen || draw->IsFullScreen());
        EXPECT_TRUE(frame.IsScreenChanged());
        EXPECT_EQ(KB::RepaintCountdown(), 59);  // 60, and the loss repaints once

        mp::InjectDisplayModeRefusals(2);
        EXPECT_NE(frame.ChangeScreenMode(640, 480, 32), 0);
        EXPECT_FALSE(system.fullScreen || draw->IsFullScreen());
        EXPECT_NE(draw->GetPrimary()->GetDDSurface(), nullptr);  // the window still has a picture
        mp::InjectDisplayModeRefusals(0);
    });
    // The process's sound stays silenced by the loss, as after any last window: put back for the
    // tests after it in the process, with the layer's own settle time.
    mp::SetApplicationActive(true);
    mp::SetFocusSettleTime(250);
}

TEST(AppFrame, EachAcceptedDropReplacesTheListWithShiftJisNames) {
    RunFrame([&](TestFrame& frame) {
        frame.Push({}, {"/tmp/a.rpl"});
        EXPECT_EQ(frame.GetDroppedFiles(), Names{}) << "refused until accepted";
        ASSERT_TRUE(mp::DragAcceptFiles(frame.Window(), true));
        // A name without a Shift-JIS form is left out.
        frame.Push({}, {reinterpret_cast<const char*>(u8"/tmp/リプレイ/a.rpl"), "/tmp/\xF0\x9F\x98\x80.rpl", "/tmp/b c"});
        EXPECT_EQ(frame.GetDroppedFiles(), (Names{"Z:\\tmp\\リプレイ\\a.rpl", "Z:\\tmp\\b c"}));
        frame.Push({}, {"/x.rpl"});
        EXPECT_EQ(frame.GetDroppedFiles(), Names{"Z:\\x.rpl"});
    });
}

TEST(AppFrame, ErrorBoxShowsTheCursorForItsTimeOnly) {
    auto count = [] {  // the cursor's display count, unchanged
        const int32_t c = mp::ShowCursor(true) - 1;
        mp::ShowCursor(false);
        return c;
    };
    std::vector<mp::MessageBoxRequest> boxes;
    std::vector<int32_t> counts;
    mp::SetMessageBoxHook([&](const mp::MessageBoxRequest& r) {
        boxes.push_back(r);
        counts.push_back(count());
        return mp::IDOK;
    });
    RunFrame([&](TestFrame& frame) {
        while (count() >= 0) mp::ShowCursor(false);
        for (uint8_t shown : {0, 1}) {
            KB::CursorShown() = shown;
            EXPECT_EQ(KB::CAppFrameBase::ErrorBox("読めません"), mp::IDOK);
            EXPECT_EQ(KB::CursorShown(), shown);
            EXPECT_EQ(count(), shown - 1);
            mp::ShowCursor(true);
        }
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].owner, frame.Window());
        EXPECT_EQ(boxes[0].caption + boxes[0].text, "エラー読めません");
        EXPECT_EQ(boxes[0].flags, mp::MB_OK);
    });
    mp::SetMessageBoxHook(nullptr);
    EXPECT_EQ(counts, (std::vector<int32_t>{0, 0}));
}

// The sound steps of the start-up; the master volume keeps line 0's proportions.
TEST(AppFrame, SoundStartUpAndMasterVolume) {
    RunFrame([&](TestFrame& frame) {
        EXPECT_TRUE(frame.GetBGMFactory().GetStreamDefault());
        EXPECT_FALSE(frame.GetSEFactory().GetStreamDefault() || frame.GetSEFactory().GetSoundParameter()->IsGlobalFocus());
        const auto streams = frame.GetBGMFactory().GetSoundParameter()->GetStreamFactory();
        EXPECT_EQ(dynamic_cast<tovarineGameSDK3rd::Multimedia::CSoundStreamFactory&>(*streams).GetStreamMap()->GetMap().at("ogg"), "CVorbisStream");
        EXPECT_TRUE(KB::GetBGMPlayer()->IsUseLoopPoints());
        std::vector<uint32_t> line;
        for (const auto& [v, expected] : std::vector<std::pair<int32_t, uint32_t>>{{30000, 30000}, {70000, 65535}}) {
            frame.SetMasterVolume(v);
            frame.GetMixer().GetVolume(0, line);
            EXPECT_EQ(line, (std::vector<uint32_t>{expected, expected}));
        }
        KB::DestroyBGMPlayer();
        KB::DestroyMusicLoader();
        KB::DestroySEList();
    });
}

// The mixer.cfg the stand-in writes: version 0, lines 0 to 2 (two channels, little endian), trailer.
std::vector<uint8_t> MixerFile(uint32_t master, uint32_t wave, int32_t version = 0, bool extraByte = false) {
    std::vector<uint8_t> b;
    const auto put = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
    };
    put(static_cast<uint32_t>(version));
    for (uint32_t v : {master, master, wave, wave, 65535u, 65535u}) put(v);
    if (extraByte) b.push_back(0);
    const uint32_t c = KB::ConfigCRC(b);
    b.insert(b.end(), {uint8_t(c >> 24), uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    return b;
}

// The process's mixer lines are its machine's mixer, which the frame's mixer device leaves where
// it set them (a new start reads them back from the file): each mixer test puts them back as it
// found them, for the tests after it in the process that render sound at full volume.
class KeptLines {
public:
    KeptLines() {
        for (int i = 0; i < mp::kSoundLines; ++i) gains_[i] = mp::GetLineGain(static_cast<mp::SoundLine>(i));
    }
    ~KeptLines() {
        for (int i = 0; i < mp::kSoundLines; ++i) mp::SetLineGain(static_cast<mp::SoundLine>(i), gains_[i]);
    }

private:
    mp::StereoGain gains_[mp::kSoundLines];
};

// The mixer's volumes outlive the run, as a machine's mixer keeps its own: each start is a
// frame over the same folder with the process's lines back at full, as a new process has them.
TEST(AppFrame, MixerVolumesAreKeptBetweenStartsAndABadFileGivesFullVolume) {
    using Volumes = std::vector<uint32_t>;
    std::vector<uint8_t> flipped = MixerFile(32770, 65535);
    flipped[30] ^= 1;
    const std::vector<uint8_t> full = MixerFile(65535, 65535);
    struct Row {
        const char* what;
        std::vector<uint8_t> before;  // empty: no file
        Volumes opened;               // line 0 as the mixer, its opening record and the frame read it
        bool damaged;
        std::function<void(TestFrame&)> act;
        std::vector<uint8_t> after;  // empty: no file
    };
    const auto master = [](int32_t v) { return [v](TestFrame& f) { f.SetMasterVolume(v); }; };
    const std::vector<Row> rows = {
        {"first start; the dialog's live slider at half, OK", {}, {65535, 65535}, false, master(32770), MixerFile(32770, 65535)},
        {"the next start opens at half; the wave line set too", MixerFile(32770, 65535), {32770, 32770}, false,
         [](TestFrame& f) { f.GetMixer().SetVolume(1, {1000, 1000}); }, MixerFile(32770, 1000)},
        {"a fifth, then Cancel puts the opening volumes back", MixerFile(32770, 1000), {32770, 32770}, false,
         [](TestFrame& f) {
             f.SetMasterVolume(13110);
             f.GetMixer().SetVolume(0, f.SavedMaster());
         },
         MixerFile(32770, 1000)},
        {"nothing set: nothing written", {}, {65535, 65535}, false, [](TestFrame&) {}, {}},
        {"trailer flipped", flipped, {65535, 65535}, true, [](TestFrame&) {}, full},
        {"short", std::vector<uint8_t>(full.begin() + 4, full.end()), {65535, 65535}, true, [](TestFrame&) {}, full},
        {"a byte more", MixerFile(32770, 65535, 0, true), {65535, 65535}, true, [](TestFrame&) {}, full},
        {"version 1", MixerFile(32770, 65535, 1), {65535, 65535}, true, [](TestFrame&) {}, full},
        {"a volume above 65535", MixerFile(65536, 65535), {65535, 65535}, true, master(1000), MixerFile(1000, 65535)},
    };
    const KeptLines kept;
    mp::SetDisplaySleeper([](uint32_t) {});
    morna::test::RunOnAppThread([&](morna::test::BodyApp&) {
        morna::test::TempBaseFolder folder("morna-frame");
        const std::string path = folder.Path() + "/save/mixer.cfg";
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            std::filesystem::create_directories(folder.Path() + "/save");
            std::filesystem::remove(path);
            if (!row.before.empty()) morna::test::WriteBytes(path, row.before);
            for (mp::SoundLine line : {mp::SoundLine::kMaster, mp::SoundLine::kWave, mp::SoundLine::kSynth})
                mp::SetLineGain(line, {1.0f, 1.0f});
            KB::GetSystemConfig() = KB::SSystemConfig();
            morna::test::LogCapture log;
            bool started = false;
            TestFrame([&](TestFrame& f) {
                started = true;
                Volumes now, opening;
                f.GetMixer().GetVolume(0, now);
                f.GetMixer().GetSavedVolume(0, opening);
                EXPECT_EQ((std::vector<Volumes>{now, opening, f.SavedMaster()}), std::vector<Volumes>(3, row.opened));
                row.act(f);
                KB::DestroyBGMPlayer();  // it keeps the frame's factory
                KB::DestroyMusicLoader();
                KB::DestroySEList();
            }).Start();
            EXPECT_TRUE(started);
            EXPECT_EQ(log.Contains("mixer.cfg"), row.damaged);
            EXPECT_EQ(morna::test::ReadBytes(path), row.after);
        }
    });
    mp::SetDisplaySleeper(nullptr);
}

// The device's own saves, with nothing after the last change: a drag's last step reaches the
// file while the device still lives (a killed run keeps it), at most one save per gap; failing
// saves are logged once until one succeeds, and an unreadable file at start once.
TEST(AppFrame, MixerVolumesReachTheFileAfterTheLastChangeAndFailuresLogOnce) {
    const KeptLines kept;
    morna::test::TempBaseFolder folder("morna-mixer");
    const std::string save = folder.Path() + "/save", path = save + "/mixer.cfg";
    std::filesystem::create_directories(save);
    for (mp::SoundLine line : {mp::SoundLine::kMaster, mp::SoundLine::kWave, mp::SoundLine::kSynth})
        mp::SetLineGain(line, {1.0f, 1.0f});
    // Every save writes a new file of its own beside the target and renames it over the target:
    // the saves counted as the kernel sees those files made (renames onto one name may merge).
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, save.c_str(), IN_CREATE), 0);
    const auto saves = [watch] {
        int32_t n = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(watch, buffer, sizeof buffer)) > 0;)
            for (char* p = buffer; p < buffer + got; ++n)
                p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len;
        return n;
    };
    // True once the test holds within 5 s.
    const auto soon = [](const std::function<bool()>& test) {
        for (const uint32_t start = mp::MonotonicMilliseconds(); mp::MonotonicMilliseconds() - start < 5000;
             mp::SleepMilliseconds(2))
            if (test()) return true;
        return test();
    };
    // The master slider from full to a fifth in 40 steps, 10 ms apart.
    const auto drag = [](KB::CKeptMixerDevice& device, uint32_t to) {
        for (uint32_t step = 1; step <= 40; ++step) {
            const uint32_t v = 65535 - (65535 - to) * step / 40;
            EXPECT_EQ(device.WriteLine(0, {v, v}), 0u);
            mp::SleepMilliseconds(10);
        }
    };
    {
        KB::CKeptMixerDevice device;
        const uint32_t start = mp::MonotonicMilliseconds();
        drag(device, 13107);
        const uint32_t last = mp::MonotonicMilliseconds();
        ASSERT_TRUE(soon([&] { return morna::test::ReadBytes(path) == MixerFile(13107, 65535); }));
        const uint32_t arrived = mp::MonotonicMilliseconds();
        // A save at the first step, then at most one per gap up to the last.
        const int32_t n = saves();
        EXPECT_GE(n, 1);
        EXPECT_LE(n, static_cast<int32_t>((arrived - start) / KB::CKeptMixerDevice::kSaveGapMs + 1));
        RecordProperty("drag_saves", n);
        RecordProperty("last_change_to_file_ms", static_cast<int>(arrived - last));
    }
    EXPECT_EQ(saves(), 0);  // all was saved: the end writes nothing

    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    const std::string unreadable = "mixer.cfgを読めない", failed = "mixer.cfgを書き込めない";
    const auto count = [](const std::vector<std::string>& lines, const std::string& part) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& l) { return l.find(part) != std::string::npos; });
    };
    morna::test::LogCapture log;
    {
        KB::CKeptMixerDevice device;
        EXPECT_EQ(log.Lines().size(), 1u);
        EXPECT_EQ(count(log.Lines(), unreadable), 1);
        EXPECT_TRUE(std::filesystem::is_directory(path));  // the player's folder is left alone
        drag(device, 13107);
        EXPECT_TRUE(soon([&] { return count(log.Lines(), failed) == 1; }));
        // A save that succeeds ends the run of failures: the next failure is logged again.
        std::filesystem::remove(path);
        EXPECT_EQ(device.WriteLine(0, {5000, 5000}), 0u);
        EXPECT_TRUE(soon([&] { return morna::test::ReadBytes(path) == MixerFile(5000, 65535); }));
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
        EXPECT_EQ(device.WriteLine(0, {6000, 6000}), 0u);
        EXPECT_TRUE(soon([&] { return count(log.Lines(), failed) == 2; }));
    }  // its end tries once more, silently
    EXPECT_EQ(log.Lines().size(), 3u);
    EXPECT_EQ(count(log.Lines(), failed), 2);
    ::close(watch);
}

}  // namespace

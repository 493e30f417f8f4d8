// Test helper: a sound factory whose sounds write every call that changes them
// into one log ("5 volume -1200"), numbered by their file name ("data\music\5.wav"
// is 5), with a position a test sets.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sound/sound_factory.h"
#include "tests/common/temp_base_folder.h"

namespace morna::test {

namespace MM = tovarineGameSDK3rd::Multimedia;

class RecordingSound : public MM::CSoundNullDevice {
public:
    RecordingSound(int id, std::vector<std::string>& log) : id_(std::to_string(id) + " "), log_(log) {}
    int32_t Play() override { return Note("play"); }
    int32_t Stop() override { return Note("stop"); }
    int32_t SetLoopPlay(bool loop) override { return Note(loop ? "loop" : "once"); }
    int32_t SetVolume(int32_t v) override { return Note("volume " + std::to_string(v)); }
    int32_t SetCurrentPos(int32_t ms) override { return Note("seek " + std::to_string(position = ms)); }
    int32_t GetCurrentPos() override { return position; }
    int32_t GetType() override { return MM::kWaveSound; }

    int32_t position = 0;

private:
    int32_t Note(const std::string& what) {
        log_.push_back(id_ + what);
        return 0;
    }
    std::string id_;
    std::vector<std::string>& log_;
};

class RecordingFactory : public MM::CSoundFactory {
public:
    tovarineGameSDK3rd::VTL::smart_ptr<MM::ISound> CreateSound(const tovarineGameSDK3rd::VTL::VTLstring& name) override {
        const std::string file = name.c_str();
        made.push_back(new RecordingSound(std::atoi(file.c_str() + file.find_last_of('\\') + 1), log));
        return tovarineGameSDK3rd::VTL::smart_ptr<MM::ISound>(made.back());
    }
    std::vector<std::string> log;
    std::vector<RecordingSound*> made;
};

// Writes a file below a base folder (a POSIX path such as "data/music/list.txt").
inline void WriteBelow(const TempBaseFolder& folder, const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(folder.Path() + "/" + path).parent_path());
    std::ofstream(folder.Path() + "/" + path, std::ios::binary) << text;
}

}  // namespace morna::test

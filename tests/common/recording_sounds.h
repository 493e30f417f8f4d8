// Test helper: a sound factory whose sounds write every call that changes them
// into one log ("5 volume -1200"), numbered by their file name ("data\music\5.wav"
// is 5), with a position a test sets; and the sound-effect list on such sounds.
//
//   RecordingSE sounds(folder.Path());   // below the base folder: data\se\list.txt, ids 0-255
//   ... the game plays effects through GetSEList() ...
//   sounds.played == {{104, true}}       // every effect played, in order, with its loop flag
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/sound_list.h"
#include "sound/sound_factory.h"
#include "tests/common/temp_base_folder.h"

namespace morna::test {

namespace MM = tovarineGameSDK3rd::Multimedia;

struct SPlay {
    int32_t id;
    bool loop;
    bool operator==(const SPlay&) const = default;
};

class RecordingSound : public MM::CSoundNullDevice {
public:
    RecordingSound(int id, std::vector<std::string>& log, std::vector<SPlay>& played)
        : number_(id), id_(std::to_string(id) + " "), log_(log), played_(played) {}
    int32_t Play() override {
        played_.push_back({number_, loop_});
        return Note("play");
    }
    int32_t Stop() override { return Note("stop"); }
    int32_t SetLoopPlay(bool loop) override { return Note((loop_ = loop) ? "loop" : "once"); }
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
    int32_t number_;
    bool loop_ = false;
    std::string id_;
    std::vector<std::string>& log_;
    std::vector<SPlay>& played_;
};

class RecordingFactory : public MM::CSoundFactory {
public:
    tovarineGameSDK3rd::VTL::smart_ptr<MM::ISound> CreateSound(const tovarineGameSDK3rd::VTL::VTLstring& name) override {
        const std::string file = name.c_str();
        made.push_back(new RecordingSound(std::atoi(file.c_str() + file.find_last_of('\\') + 1), log, played));
        return tovarineGameSDK3rd::VTL::smart_ptr<MM::ISound>(made.back());
    }
    std::vector<std::string> log;
    std::vector<SPlay> played;
    std::vector<RecordingSound*> made;
};

// Writes a file below a folder (a POSIX path such as "data/music/list.txt").
inline void WriteBelow(const std::string& folder, const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(folder + "/" + path).parent_path());
    std::ofstream(folder + "/" + path, std::ios::binary) << text;
}

// The process's sound-effect list on recording sounds for ids 0-255 while it lives.
class RecordingSE {
public:
    // folder: the file layer's base folder, where data\se\list.txt is written.
    explicit RecordingSE(const std::string& folder) {
        std::string list;
        for (int id = 0; id < 256; ++id) list += std::to_string(id) + ".wav," + std::to_string(id) + "\r\n";
        WriteBelow(folder, "data/se/list.txt", list);
        KestraneGameBase2::GetSEList()->Load(KestraneGameBase2::SoundFactoryRef(factory_));
    }
    ~RecordingSE() { KestraneGameBase2::DestroySEList(); }
    RecordingSE(const RecordingSE&) = delete;
    RecordingSE& operator=(const RecordingSE&) = delete;

private:
    RecordingFactory* factory_ = new RecordingFactory;  // owned by the list

public:
    std::vector<SPlay>& played = factory_->played;
    std::vector<std::string>& log = factory_->log;  // every call, such as "104 stop"
};

}  // namespace morna::test

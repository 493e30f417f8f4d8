#pragma once
// The sound recipes: every sound effect of data\se\list.txt, and the music of
// data\music\list.txt (WAV tracks rendered by the synth, one Standard MIDI File), composed by
// one step sequencer from fixed chord progressions and each track's seed.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/datagen/datagen.h"
#include "tools/datagen/synth.h"

namespace morna::datagen {

// id -> file name of a numbered list, read as the game's sound loaders read it.
std::map<int32_t, std::string> ReadSoundList(const char* listFile);

struct Effect {
    std::vector<Tone> tones;
    bool loop = false;  // played looped: whole periods, flat, quieter
};

class SoundBook : public RecipeBook {
public:
    SoundBook();
    const char* Folder() const override { return "data\\se"; }
    std::map<int32_t, std::string> ReadList() const override { return ReadSoundList("data\\se\\list.txt"); }
    std::vector<int32_t> Ids() const override;
    bool Make(int32_t id, const std::string& name, std::string& error) override;
    const Effect& Recipe(int32_t id) const { return effects_.at(id); }
    // The samples of an effect, made anew.
    std::vector<int16_t> Samples(int32_t id) const;

private:
    std::map<int32_t, Effect> effects_;
};

// One note of a composed sequence, in sixteenth-note steps.
enum class Part { kLead, kBass, kChord, kKick, kSnare, kHat };
struct Note {
    int step;
    int length;
    int key;  // MIDI key (the drums: 36 kick, 38 snare, 42 closed hat)
    Part part;
    int velocity;
};

enum class Mode { kMajor, kMinor, kDorian };
enum class Feel { kCalm, kDrive, kBoss, kSlow };

struct TrackStyle {
    int track;
    int tempo;         // quarter notes a minute, 4/4
    int tonic;         // MIDI key of the key's tonic around the lead's range
    Mode mode;
    int introBars, loopBars;
    int progression;   // 0 I-V-vi-IV, 1 i-VI-III-VII, 2 i-iv-v-i, 3 ii-V-I-vi
    Feel feel;
    bool midi;         // a Standard MIDI File with a chord part, else a WAV track
};

const std::vector<TrackStyle>& TrackStyles();
// The bars: intro (drums and bass), the loop, and one more bar copying the loop's first.
std::vector<Note> Compose(const TrackStyle& style);
int Bars(const TrackStyle& style);
// The loop points in ms and the file's length in ms.
int32_t LoopStartMs(const TrackStyle& style);
int32_t LoopEndMs(const TrackStyle& style);
int32_t LengthMs(const TrackStyle& style);
std::vector<int16_t> RenderTrack(const TrackStyle& style);
std::vector<uint8_t> MidiTrackBytes(const TrackStyle& style);

class MusicBook : public RecipeBook {
public:
    const char* Folder() const override { return "data\\music"; }
    std::map<int32_t, std::string> ReadList() const override { return ReadSoundList("data\\music\\list.txt"); }
    std::vector<int32_t> Ids() const override;
    bool Make(int32_t id, const std::string& name, std::string& error) override;
};

}  // namespace morna::datagen

// The sound effects, one recipe an id: waves, pitch paths and lengths as the data set's
// design gives them.
#include <utility>

#include "foundation/auxiliary/file.h"
#include "sound/load_cache.h"
#include "tools/datagen/sounds.h"

namespace morna::datagen {
namespace {

using W = Wave;
using Tones = std::vector<Tone>;

Tones operator+(Tones a, const Tones& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Tones One(Wave w, std::vector<double> hz, double s) { return {Voice(w, std::move(hz), s)}; }
// Successive notes of one length.
Tones Arp(Wave w, const std::vector<double>& notes, double each) {
    Tones out;
    for (size_t i = 0; i < notes.size(); ++i) out.push_back(Voice(w, {notes[i]}, each).At(each * static_cast<double>(i)));
    return out;
}
// The tone n times, each after a gap of half its length.
Tones Times(const Tone& t, int n) {
    Tones out;
    for (int i = 0; i < n; ++i) out.push_back(Tone(t).At(1.5 * t.seconds * i));
    return out;
}
Tones With(Tones t, auto change) {
    for (Tone& v : t) change(v);
    return t;
}

// Reads a numbered list through the load cache's own reader.
class ListReader : public tovarineGameSDK3rd::Auxiliary::CLoadCache {
public:
    std::map<int32_t, std::string> names;

protected:
    int32_t CreateEntry(tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::Auxiliary::CLoadCacheInfo>&) override { return 1; }
    void OnDefine(tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::Auxiliary::CLoadCacheInfo>& entry, int32_t id) override {
        names[id] = entry->fileName.c_str();
    }
};

uint32_t EffectSeed(int32_t id) { return 0x5E0000u + static_cast<uint32_t>(id); }

}  // namespace

std::map<int32_t, std::string> ReadSoundList(const char* listFile) {
    ListReader reader;
    reader.ReadDefinitionFile(listFile, true);
    return reader.names;
}

SoundBook::SoundBook() {
    auto add = [&](int32_t id, Tones t, bool loop = false) { effects_[id] = {std::move(t), loop}; };
    add(15, One(W::kPulse25, {600, 1200}, 0.08));
    add(55, One(W::kNoise, {0}, 0.15) + One(W::kSquare, {300, 150}, 0.15));
    add(57, One(W::kSine, {900, 700}, 0.05));
    add(58, One(W::kPulse25, {1200, 900}, 0.06));
    add(59, One(W::kNoise, {0}, 0.12));
    add(60, One(W::kNoise, {0}, 0.3) + One(W::kTriangle, {120, 60}, 0.3));
    add(61, One(W::kSquare, {200, 500}, 0.15));
    add(100, One(W::kPulse25, {1000}, 0.03));
    add(101, One(W::kPulse25, {880}, 0.04) + Tones{Voice(W::kPulse25, {1320}, 0.06).At(0.04)});
    add(102, One(W::kPulse25, {660, 440}, 0.08));
    add(103, Arp(W::kPulse25, {523, 659, 784, 1047}, 0.06));
    // The loops hold whole periods of every wave and pulse over their length.
    add(104, With(One(W::kTriangle, {110}, 0.5) + One(W::kSine, {220}, 0.5), [](Tone& t) { t.flat = true; }), true);
    add(105, One(W::kSquare, {400, 80}, 0.4));
    add(106, Arp(W::kPulse25, {784, 1047, 1319}, 0.05));
    add(107, One(W::kNoise, {0}, 0.1) + One(W::kSquare, {200, 100}, 0.15));
    add(108, One(W::kTriangle, {300, 200}, 0.1) + One(W::kNoise, {0}, 0.05));
    add(109, Arp(W::kPulse25, {1047, 1319, 1568}, 0.04));
    add(110, One(W::kSine, {600}, 0.05));
    add(111, One(W::kPulse25, {500, 400}, 0.04));
    add(112, One(W::kTriangle, {800, 700}, 0.06));
    add(113, One(W::kSine, {1500, 2500}, 0.06));
    add(114, One(W::kPulse25, {900, 300}, 0.1));
    add(115, With(One(W::kSine, {2000, 3000}, 0.15), [](Tone& t) { t.pulseHz = 20, t.pulseDepth = 1; }));
    add(116, One(W::kNoise, {0}, 0.05) + One(W::kSquare, {300, 1200}, 0.3));
    add(117, With(One(W::kPulse25, {220}, 1.0) + One(W::kPulse25, {277}, 1.0) + One(W::kPulse25, {330}, 1.0),
                  [](Tone& t) { t.flat = true, t.pulseHz = 8, t.pulseDepth = 0.8; }), true);
    add(118, One(W::kSquare, {100, 800}, 0.6));
    add(119, With(One(W::kTriangle, {440}, 0.5), [](Tone& t) { t.flat = true, t.vibratoHz = 8, t.vibratoDepth = 10; }), true);
    add(120, One(W::kNoise, {0}, 1.2) + One(W::kTriangle, {80, 30}, 1.2));
    add(121, One(W::kTriangle, {200, 50}, 1.5));
    add(122, One(W::kTriangle, {200, 80}, 0.8));
    add(123, Arp(W::kPulse25, {784, 988, 1175, 1568}, 0.08));
    add(124, One(W::kSine, {660}, 0.05));
    add(125, One(W::kNoise, {0}, 0.5) + One(W::kSquare, {1000, 100}, 0.5));
    add(126, Arp(W::kTriangle, {392, 330, 262}, 0.3));
    add(127, One(W::kNoise, {0}, 0.8) + One(W::kSquare, {60}, 0.8));
    add(150, One(W::kNoise, {0}, 0.3) + One(W::kSquare, {150, 300}, 0.3));
    add(151, One(W::kTriangle, {60, 40}, 0.2) + One(W::kNoise, {0}, 0.05));
    add(152, One(W::kTriangle, {120, 90}, 0.1));
    add(153, One(W::kNoise, {0}, 0.2));
    add(154, One(W::kTriangle, {50, 30}, 0.4) + One(W::kNoise, {0}, 0.2));
    add(156, One(W::kNoise, {0}, 0.6) + One(W::kTriangle, {70, 35}, 0.6));
    add(157, One(W::kPulse25, {100, 300}, 0.8));
    add(158, One(W::kSquare, {300, 200}, 0.1));
    add(159, One(W::kPulse25, {1400, 900}, 0.08));
    add(160, One(W::kNoise, {0}, 0.25) + One(W::kSquare, {200, 120}, 0.25));
    add(161, One(W::kTriangle, {200, 800}, 0.5));
    add(162, One(W::kSine, {300, 600}, 0.12));
    add(163, Arp(W::kPulse25, {392, 523}, 0.08));
    add(164, Times(Voice(W::kTriangle, {150}, 0.1), 3));
    add(165, With(One(W::kNoise, {0}, 0.1), [](Tone& t) { t.highPass = 3000; }));
    add(166, One(W::kSine, {500, 900}, 0.2));
    add(167, One(W::kSine, {900, 500}, 0.2));
    add(168, One(W::kSquare, {800, 200}, 0.4));
    add(169, One(W::kSine, {700, 1100}, 0.1));
    add(170, Arp(W::kPulse25, {1047, 1568}, 0.05));
    add(171, One(W::kSine, {2000, 1200}, 0.1));
    add(172, One(W::kNoise, {0}, 0.05) + One(W::kSine, {3000}, 0.05));
    add(173, One(W::kPulse25, {200, 1600}, 0.8));
    add(174, With(One(W::kSine, {300, 2400}, 0.8), [](Tone& t) { t.vibratoHz = 6, t.vibratoDepth = 40; }));
    add(175, One(W::kNoise, {0}, 0.8) + One(W::kTriangle, {55}, 0.8));
    add(176, With(One(W::kSine, {1400}, 0.3), [](Tone& t) { t.vibratoHz = 12, t.vibratoDepth = 200; }));
    add(177, One(W::kNoise, {0}, 0.2) + One(W::kSine, {2500, 1500}, 0.3));
    add(178, One(W::kSquare, {1000, 300}, 0.3));
    add(180, One(W::kSine, {1500}, 0.03));
    add(181, One(W::kSine, {1760}, 0.3));
    add(182, One(W::kSine, {3000, 1000}, 0.12));
    add(200, One(W::kPulse25, {1000, 800}, 0.05));
    add(201, One(W::kPulse25, {700, 500}, 0.06));
    add(202, One(W::kSine, {400, 200}, 0.08));
    add(203, One(W::kSquare, {250, 150}, 0.12));
    add(204, One(W::kNoise, {0}, 0.3) + One(W::kTriangle, {90, 45}, 0.3));
    add(205, One(W::kPulse25, {300, 700}, 0.12));
    // A band of noise (high- and low-passed) whose edges rise six times over the sound.
    add(206, With(One(W::kNoise, {0}, 0.4), [](Tone& t) { t.highPass = 300, t.lowPass = 800, t.lowPassEnd = 4800; }));
    add(207, Times(Voice(W::kSine, {2000, 2600}, 0.05), 2));
    add(208, One(W::kSquare, {120}, 0.2) + One(W::kNoise, {0}, 0.1));
    add(209, One(W::kSine, {300, 700, 300}, 0.2));
    add(210, One(W::kPulse25, {1500, 500}, 0.15));
}

std::vector<int32_t> SoundBook::Ids() const {
    std::vector<int32_t> ids;
    for (const auto& entry : effects_) ids.push_back(entry.first);
    return ids;
}

std::vector<int16_t> SoundBook::Samples(int32_t id) const {
    const Effect& e = effects_.at(id);
    Random noise(EffectSeed(id));
    return Finish(MixTones(e.tones, noise), e.loop ? -10 : -6);
}

bool SoundBook::Make(int32_t id, const std::string& name, std::string& error) {
    const std::vector<uint8_t> bytes = WaveBytes(Samples(id));
    tovarineGameSDK3rd::Auxiliary::CFile file;
    if (file.WriteVector(name.c_str(), bytes) == 0) return true;
    error = "cannot write";
    return false;
}

}  // namespace morna::datagen

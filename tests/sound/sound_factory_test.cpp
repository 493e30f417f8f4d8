#include <gtest/gtest.h>

#include <fstream>

#include "platform/midi_synth.h"
#include "sound/load_cache.h"
#include "sound/sound_factory.h"
#include "sound/sound_loader.h"
#include "sound/wave_sound.h"
#include "tests/sound/midi_songs.h"
#include "tests/sound/mixer_fixture.h"

namespace {

using namespace tovarineGameSDK3rd::Multimedia;
using tovarineGameSDK3rd::Auxiliary::CDefaultCacheStaleListener;
using tovarineGameSDK3rd::Auxiliary::CLoadCache;
using tovarineGameSDK3rd::Auxiliary::CLoadCacheInfo;
using tovarineGameSDK3rd::VTL::smart_ptr;
using tovarineGameSDK3rd::VTL::VTLstring;
using morna::platform::MidiProbe;

// Records the entries it is asked to make.
class CountingCache : public CLoadCache {
public:
    std::vector<std::string> made;

protected:
    int32_t CreateEntry(smart_ptr<CLoadCacheInfo>& entry) override {
        made.push_back(entry->fileName.c_str());
        return 0;
    }
};

class SoundFactoryTest : public morna::test::MixerTest {
protected:
    VTLstring PutText(const std::string& name, const std::string& text) {
        std::ofstream(folder_.Path() + "/" + name, std::ios::binary) << text;
        return name.c_str();
    }
    std::string FileOf(CLoadCache& cache, int32_t id) {
        smart_ptr<CLoadCacheInfo> info;
        return cache.GetInfo(id, info) == 0 ? info->fileName.c_str() : "-";
    }
    VTLstring Wave() { return PutWave("a.wav", 1, 22050, std::vector<int16_t>(2205, 1000)); }
};

TEST_F(SoundFactoryTest, DefinitionListsAndTheirUse) {
    CountingCache c;
    c.SetPath("se\\");
    EXPECT_EQ(c.Set(PutText("n.txt", "a.wav,3\r\n\r\n// x,4\r\nb.wav , 3\r\nc.wav,7\r\nd.wav\r\ne.wav,9\r\n"), true), 2);
    EXPECT_EQ(FileOf(c, 3), "se\\b.wav ");  // the later line wins
    EXPECT_EQ(FileOf(c, 7), "se\\c.wav");
    EXPECT_EQ(FileOf(c, 4), "-");
    EXPECT_EQ(FileOf(c, 9), "-");  // after the line without a number

    CountingCache u;
    EXPECT_EQ(u.Set(PutText("u.txt", "// head\r\na.wav\r\n\r\nb.wav/comment\r\n"), false), 0);
    EXPECT_EQ(FileOf(u, 0), "a.wav");
    EXPECT_EQ(FileOf(u, 1), "b.wav");
    EXPECT_EQ(u.Set("missing.txt", false), 1);
    EXPECT_EQ(u.Load(5), 1);  // undefined: in use from now on
    EXPECT_EQ(u.Load(5), 0);
    EXPECT_EQ(u.Load(0), 0);
    EXPECT_EQ(u.Load(0), 0);
    EXPECT_EQ(u.made, std::vector<std::string>{"a.wav"});
    EXPECT_EQ(u.Erase(5), 0);
    EXPECT_EQ(u.Erase(5), 1);

    CountingCache off;
    off.EnableDefinitions(false);
    EXPECT_EQ(off.Set("u.txt", false), 0);
    EXPECT_EQ(FileOf(off, 0), "-");

    // With a limit of 0 each new load first evicts the least recently used
    // object; its id stays defined and loads again on its next use.
    u.SetStaleListener(smart_ptr<tovarineGameSDK3rd::Auxiliary::ICacheStaleListener>(new CDefaultCacheStaleListener(0)));
    u.Clear();
    u.Set("u.txt", false);
    for (int32_t id : {0, 1, 0, 1}) EXPECT_EQ(u.Load(id), 0);
    EXPECT_EQ(u.made, (std::vector<std::string>{"a.wav", "a.wav", "b.wav", "a.wav", "b.wav"}));
    EXPECT_EQ(FileOf(u, 0), "a.wav");
    EXPECT_EQ(u.GetCount(), 1);
}

TEST_F(SoundFactoryTest, LoadersHandOutOneSoundPerIdAndSilenceOtherwise) {
    CSoundFactory factory;
    const smart_ptr<ISoundFactory> f(&factory, false);
    Wave();
    CSELoader se;
    se.SetSoundFactory(f);
    ASSERT_EQ(se.Set(PutText("se.txt", "a.wav,1\r\nmissing.mid,2\r\n"), true), 0);
    const auto silent = se.GetSound(5);
    EXPECT_EQ(silent->GetType(), kSoundNullDevice);
    EXPECT_NE(se.GetSound(5).GetNoCheck(), silent.GetNoCheck());
    const auto one = se.GetSound(1);
    EXPECT_EQ(one->GetType(), kWaveSound);
    EXPECT_EQ(one->GetFileName(), "a.wav");
    EXPECT_EQ(se.GetSound(1).GetNoCheck(), one.GetNoCheck());
    const auto missing = se.GetSound(2);
    EXPECT_EQ(missing->GetType(), kSoundNullDevice);
    EXPECT_EQ(se.GetSound(2).GetNoCheck(), missing.GetNoCheck());
    EXPECT_EQ(factory.GetSoundList().size(), 1u);

    // Loaded once without a factory, a record keeps no sound: silence.
    CSELoader bare;
    bare.Set("se.txt", true);
    EXPECT_EQ(bare.GetSound(1)->GetType(), kSoundNullDevice);

    CSoundLoader music;
    music.SetSoundFactory(f);
    music.Set("se.txt", true);
    music.Stop(1);  // never loaded: nothing is made
    EXPECT_FALSE(music.GetSound(1));
    EXPECT_EQ(music.Load(1), 0);
    EXPECT_EQ(music.GetSound(1)->GetType(), kWaveSound);
    EXPECT_EQ(music.Load(2), 1);
    EXPECT_EQ(music.GetSound(7)->GetType(), kSoundNullDevice);
    EXPECT_EQ(factory.GetSoundList().size(), 2u);

    // Wave only: a wave sound of the kind the switch names, whatever the extension says.
    PutWave("b.mid", 1, 22050, std::vector<int16_t>(2205, 1000));
    for (const bool streaming : {true, false}) {
        CSoundLoader waves;
        waves.SetSoundFactory(f);
        waves.SetWaveOnly(true);
        waves.SetStreaming(streaming);
        waves.Set(PutText("w.txt", "a.wav,1\r\nb.mid,2\r\n"), true);
        for (const int32_t id : {1, 2}) {
            EXPECT_EQ(waves.Load(id), 0);
            auto* wave = dynamic_cast<CWaveSound*>(waves.GetSound(id).GetNoCheck());
            ASSERT_NE(wave, nullptr);
            EXPECT_EQ(wave->GetStreamMode(), streaming);
        }
    }
}

TEST_F(SoundFactoryTest, KindsByExtensionAndProbe) {
    ASSERT_TRUE(morna::tools::SaveBytes(folder_.Path() + "/s.MID", morna::test::TwoTempoSong()));
    ASSERT_TRUE(morna::tools::SaveBytes(folder_.Path() + "/s.midi", morna::test::TwoTempoSong()));
    Wave();
    std::rename((folder_.Path() + "/a.wav").c_str(), (folder_.Path() + "/a.rmi").c_str());
    CSoundFactory factory;
    EXPECT_EQ(factory.CreateSound("s.MID")->GetType(), kMIDIOutputDM);
    EXPECT_EQ(factory.CreateSound("a.rmi")->GetType(), kWaveSound);
    EXPECT_EQ(factory.CreateSound("s.midi")->GetType(), kWaveSound);
    const auto failed = factory.CreateSound("missing.mid");
    EXPECT_EQ(failed->GetType(), kSoundNullDevice);
    EXPECT_EQ(factory.GetSoundList().size(), 0u);

    morna::platform::ForceMidiProbe(MidiProbe::kDirectMusic, 0);
    EXPECT_EQ(factory.CreateMIDI()->GetType(), kMIDIOutputMCI);
    morna::platform::ForceMidiProbe(MidiProbe::kMidiMapper, 0);
    EXPECT_EQ(factory.CreateMIDI()->GetType(), kSoundNullDevice);
    for (auto p : {MidiProbe::kDirectMusic, MidiProbe::kMidiMapper}) morna::platform::ForceMidiProbe(p, -1);

    const auto unregistered = factory.InnerCreateSound(7);
    EXPECT_EQ(factory.GetSoundList().size(), 0u);
    const auto registered = factory.InnerCreateSound(0);
    EXPECT_EQ(factory.GetSoundList(), std::list<ISound*>{registered.GetNoCheck()});
    EXPECT_EQ(unregistered->GetType(), kSoundNullDevice);
    EXPECT_EQ(CSoundFactory::GetThreadFactory().GetNoCheck(), &factory);
}

TEST_F(SoundFactoryTest, DevicesLiveWhileSoundsUseThemEvenPastTheFactory) {
    auto* factory = new CSoundFactory;
    factory->SetStreamDefault(true);
    auto wave = factory->CreateWave();
    EXPECT_TRUE(dynamic_cast<CWaveSound&>(*wave).GetStreamMode());
    CWaveOutputDirectSound* output = factory->GetWaveOutput();
    ASSERT_NE(output, nullptr);
    auto other = factory->CreateWaveSound("", false);
    EXPECT_FALSE(dynamic_cast<CWaveSound&>(*other).GetStreamMode());
    wave = nullptr;
    EXPECT_EQ(factory->GetWaveOutput(), output);
    other = nullptr;
    EXPECT_EQ(factory->GetWaveOutput(), nullptr);
    EXPECT_EQ(factory->GetDirectSound(), nullptr);

    // Made again by the next sound; a sound that outlives its factory keeps its devices.
    ASSERT_EQ(factory->CreateSound(Wave())->Play(), 0);  // released at once
    auto playing = factory->CreateSound("a.wav");
    ASSERT_EQ(playing->Play(), 0);
    auto midi = factory->CreateMIDI();
    delete factory;
    EXPECT_FALSE(playing->IsPlay());  // the factory stopped it
    EXPECT_EQ(playing->Play(), 0);
    EXPECT_GT(morna::test::Rms(Render(1000)), 500.0);
    playing = nullptr;
    midi = nullptr;
    EXPECT_EQ(CSoundFactory::GetThreadFactory().GetNoCheck(), nullptr);
}

}  // namespace

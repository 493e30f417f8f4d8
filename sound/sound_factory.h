#pragma once
// The sound factory: a file name or a type code becomes a ready sound. MIDI goes
// to the synth (DirectMusic first, MCI as fallback), anything else to a wave
// sound; a missing device or a file that does not load gives the silent sound.
// The devices the sounds share and the list of live sounds sit in a state that
// the factory and each registered sound hold: a device lives while a sound uses
// it, and a sound that outlives its factory releases it harmlessly.
#include <cstdint>
#include <list>

#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"
#include "sound/direct_sound.h"
#include "sound/midi_output.h"
#include "sound/sound.h"

namespace tovarineGameSDK3rd::Multimedia {

// What the factory is asked to build (numbered apart from SoundClassId).
enum SoundTypeCode : int32_t {
    kTypeNull = 0,
    kTypeMIDIMCI = 1,
    kTypeMIDIDirectMusic = 2,
    kTypeWaveDefault = 3,  // static or streaming by the factory's stream default
    kTypeWaveStatic = 4,
    kTypeWaveStream = 5,
};

class ISoundFactory {
public:
    // Nothing is loaded; the name is not used.
    virtual VTL::smart_ptr<ISound> CreateWaveSound(const VTL::VTLstring& name, bool streaming) = 0;
    // By the extension ("mid" makes MIDI), then loaded; the silent sound when the load fails.
    virtual VTL::smart_ptr<ISound> CreateSound(const VTL::VTLstring& name) = 0;
    virtual VTL::smart_ptr<ISound> CreateWave() = 0;
    // The primary MIDI kind, else the fallback.
    virtual VTL::smart_ptr<ISound> CreateMIDI() = 0;
    virtual std::list<ISound*>& GetSoundList() = 0;
    virtual void AddRefDirectSound() = 0;
    virtual void ReleaseDirectSound() = 0;
    virtual CDirectSound* GetDirectSound() = 0;
    virtual void AddRefDirectMusic() = 0;
    virtual void ReleaseDirectMusic() = 0;
    virtual CDirectMusic* GetDirectMusic() = 0;
    virtual void AddRefWaveOutput() = 0;
    virtual void ReleaseWaveOutput() = 0;
    virtual CWaveOutputDirectSound* GetWaveOutput() = 0;
    virtual void SetMIDIDevices(int32_t primary, int32_t fallback) = 0;
    virtual VTL::smart_ptr<CSoundParameter> GetSoundParameter() = 0;
    virtual void SetSoundParameter(const VTL::smart_ptr<CSoundParameter>& parameter) = 0;
    virtual void SetStreamDefault(bool streaming) = 0;
    virtual bool GetStreamDefault() = 0;
    virtual ~ISoundFactory() {}
};

class CSoundFactory : public ISoundFactory {
public:
    // Becomes the calling thread's current factory.
    CSoundFactory();
    // Stops its live sounds; they and the devices they use stay valid until released.
    ~CSoundFactory() override;
    CSoundFactory(const CSoundFactory&) = delete;
    CSoundFactory& operator=(const CSoundFactory&) = delete;

    VTL::smart_ptr<ISound> CreateWaveSound(const VTL::VTLstring& name, bool streaming) override;
    VTL::smart_ptr<ISound> CreateSound(const VTL::VTLstring& name) override;
    VTL::smart_ptr<ISound> CreateWave() override { return InnerCreateSound(kTypeWaveDefault); }
    VTL::smart_ptr<ISound> CreateMIDI() override;
    std::list<ISound*>& GetSoundList() override;
    void AddRefDirectSound() override;
    void ReleaseDirectSound() override;
    CDirectSound* GetDirectSound() override;
    void AddRefDirectMusic() override;
    void ReleaseDirectMusic() override;
    CDirectMusic* GetDirectMusic() override;
    void AddRefWaveOutput() override;
    void ReleaseWaveOutput() override;
    CWaveOutputDirectSound* GetWaveOutput() override;
    void SetMIDIDevices(int32_t primary, int32_t fallback) override {
        primary_ = primary;
        fallback_ = fallback;
    }
    VTL::smart_ptr<CSoundParameter> GetSoundParameter() override { return parameter_; }
    void SetSoundParameter(const VTL::smart_ptr<CSoundParameter>& parameter) override { parameter_ = parameter; }
    void SetStreamDefault(bool streaming) override { streamDefault_ = streaming; }
    bool GetStreamDefault() override { return streamDefault_; }

    // The one builder: codes 0 to 5 (a missing device gives an unregistered
    // silent sound, as does any other code).
    VTL::smart_ptr<ISound> InnerCreateSound(int32_t code);

    // The calling thread's current factory (empty when none).
    static VTL::smart_ptr<ISoundFactory> GetThreadFactory();

    struct Shared;

private:
    VTL::smart_ptr<Shared> shared_;
    int32_t primary_ = kTypeMIDIDirectMusic;
    int32_t fallback_ = kTypeMIDIMCI;
    VTL::smart_ptr<CSoundParameter> parameter_;
    bool streamDefault_ = false;
};

}  // namespace tovarineGameSDK3rd::Multimedia

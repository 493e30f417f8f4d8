#pragma once
// Sounds by id over the load cache: each definition names a sound file, made
// through a sound factory on the id's first load. The sound-effect loader keeps
// a record per id and loads on demand in GetSound.
#include <cstdint>

#include "foundation/math/root_counter.h"
#include "foundation/vtl/smart_ptr.h"
#include "sound/load_cache.h"
#include "sound/sound.h"
#include "sound/sound_factory.h"

namespace tovarineGameSDK3rd::Multimedia {

class CSoundLoader : public Auxiliary::CLoadCache {
public:
    void SetSoundFactory(const VTL::smart_ptr<ISoundFactory>& factory) { factory_ = factory; }
    // Wave only: sounds are made as wave sounds whatever their extension, streaming or
    // static as the second switch says.
    void SetWaveOnly(bool waveOnly) { waveOnly_ = waveOnly; }
    void SetStreaming(bool streaming) { streaming_ = streaming; }
    // No loading: the id's sound (empty while it was never loaded), or a new
    // silent sound for an id without definition.
    virtual VTL::smart_ptr<ISound> GetSound(int32_t id);
    // Stops the id's sound when the id is in use; makes nothing.
    void Stop(int32_t id);

protected:
    // The sound by the factory, loaded: -1 without a factory, 1 when only the
    // silent sound could be made, else the sound's Load.
    int32_t CreateEntry(VTL::smart_ptr<Auxiliary::CLoadCacheInfo>& entry) override;

    VTL::smart_ptr<ISoundFactory> factory_;
    bool waveOnly_ = false;
    bool streaming_ = false;
};

class CSELoader : public CSoundLoader {
public:
    // One sound effect.
    class CSELoaderInfo {
    public:
        VTL::VTLstring fileName;
        VTL::smart_ptr<ISound> sound;  // empty until loaded
        int32_t value = 0;
        Math::CRootCounter counter;
        int32_t id = -1;
    };

    // Loads the id first; a new silent sound for an id without definition, or
    // whose record has no sound (it was loaded without a factory).
    VTL::smart_ptr<ISound> GetSound(int32_t id) override;

protected:
    int32_t CreateEntry(VTL::smart_ptr<Auxiliary::CLoadCacheInfo>& entry) override { return CreateEntrySound(entry); }
    // Kept with the loader's layout; nothing reads them.
    int32_t reserved0_ = 0;
    int32_t reserved1_ = 5;

    void OnDefine(VTL::smart_ptr<Auxiliary::CLoadCacheInfo>& entry, int32_t id) override { CreateEntryInfo(entry, id); }

private:
    // The record's sound by the factory, loaded; a silent one when the load fails.
    int32_t CreateEntrySound(VTL::smart_ptr<Auxiliary::CLoadCacheInfo>& entry);
    void CreateEntryInfo(VTL::smart_ptr<Auxiliary::CLoadCacheInfo>& entry, int32_t id);
    static CSELoaderInfo* Record(const Auxiliary::CLoadCacheInfo& entry);
};

}  // namespace tovarineGameSDK3rd::Multimedia

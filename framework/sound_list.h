#pragma once
// Sound effects and music tracks by number: the sound-effect list plays an
// effect with the configured volume; the music loader holds the tracks. Both
// load their folder's "list.txt" (numbered) through a sound factory. They are
// process-wide, made on first use.
#include <cstdint>
#include <memory>

#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"
#include "sound/sound_factory.h"
#include "sound/sound_loader.h"

namespace KestraneGameBase2 {

using SoundFactoryRef = tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::Multimedia::ISoundFactory>;
using SoundRef = tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::Multimedia::ISound>;

// The volume scale 0 to 255 in hundredths of a decibel: -10000 below 1, 0 above
// 254, else trunc(2000 x log10(v / 255)) in single precision.
int32_t AttenuationFromVolume(int32_t volume);

// The loaders' set-up: the folder, a cache limit of 0xFFFF entries, the factory
// and the folder's numbered "list.txt".
void SetUpLoader(tovarineGameSDK3rd::Multimedia::CSoundLoader& loader, const tovarineGameSDK3rd::VTL::VTLstring& folder,
                 const SoundFactoryRef& factory);

class CSEList {
public:
    // A new loader on "data\se\list.txt" with the factory (kept for Reload).
    void Load(const SoundFactoryRef& factory);
    // Plays the effect (the silent sound for an unknown id) at the list's
    // volume: Play's answer, 0 while effects are off.
    int32_t Play(int32_t id, bool loop);
    int32_t Stop(int32_t id);
    // 0 to 255; every loaded effect takes it.
    void SetVolume(int32_t volume);
    int32_t GetVolume() const { return volume_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool IsEnabled() const { return enabled_; }
    // Releases every loaded effect and reads the list again.
    void Reload() { Load(factory_); }
    // The shutdown: the loader goes with its effects.
    void DestroyLoader() { loader_.reset(); }
    tovarineGameSDK3rd::Multimedia::CSELoader* GetLoader() const { return loader_.get(); }

private:
    std::unique_ptr<tovarineGameSDK3rd::Multimedia::CSELoader> loader_;
    tovarineGameSDK3rd::VTL::VTLstring folder_ = "data\\se\\";
    int32_t volume_ = 255;
    bool enabled_ = true;
    SoundFactoryRef factory_;
};

class CMusicLoader {
public:
    // A new loader on "data\music\list.txt"; the factory then makes streaming sounds.
    void Load(const SoundFactoryRef& factory);
    // Deletes the loader (with its tracks) and clears the folder.
    void Release();
    tovarineGameSDK3rd::Multimedia::CSoundLoader* GetLoader() const { return loader_.get(); }
    const tovarineGameSDK3rd::VTL::VTLstring& GetFolder() const { return folder_; }

private:
    std::unique_ptr<tovarineGameSDK3rd::Multimedia::CSoundLoader> loader_;
    tovarineGameSDK3rd::VTL::VTLstring folder_ = "data\\music\\";
};

CSEList* GetSEList();
CSEList* CreateSEList();
void DestroySEList();
CMusicLoader* GetMusicLoader();
CMusicLoader* CreateMusicLoader();
void DestroyMusicLoader();

}  // namespace KestraneGameBase2

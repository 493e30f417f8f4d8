#include "framework/sound_list.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/thread/singleton.h"

namespace KestraneGameBase2 {

namespace MM = tovarineGameSDK3rd::Multimedia;
namespace Aux = tovarineGameSDK3rd::Auxiliary;
using tovarineGameSDK3rd::VTL::smart_ptr;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {
constinit tovarineGameSDK3rd::Thread::CSingletonHolder<CSEList> gSEList;
constinit tovarineGameSDK3rd::Thread::CSingletonHolder<CMusicLoader> gMusicLoader;
}  // namespace

int32_t AttenuationFromVolume(int32_t volume) {
    if (volume < 1) return -10000;
    if (volume > 254) return 0;
    const float level = std::log10(static_cast<float>(volume) / 255.0f);
    return static_cast<int32_t>(2000.0f * level);
}

void SetUpLoader(MM::CSoundLoader& loader, const VTLstring& folder, const SoundFactoryRef& factory) {
    loader.SetPath(folder);
    loader.SetStaleListener(smart_ptr<Aux::ICacheStaleListener>(new Aux::CDefaultCacheStaleListener(0xFFFF)));
    loader.SetSoundFactory(factory);
    loader.Set(folder + "list.txt", true);
}

// ---- sound effects ------------------------------------------------------------

void CSEList::Load(const SoundFactoryRef& factory) {
    loader_ = std::make_unique<MM::CSELoader>();
    SetUpLoader(*loader_, folder_, factory);
    factory_ = factory;
}

int32_t CSEList::Play(int32_t id, bool loop) {
    if (!enabled_) return 0;
    const SoundRef sound = loader_ ? loader_->GetSound(id) : SoundRef(new MM::CSoundNullDevice);
    sound->SetVolume(AttenuationFromVolume(volume_));
    sound->SetLoopPlay(loop);
    return sound->Play();
}

int32_t CSEList::Stop(int32_t id) {
    if (!enabled_ || !loader_) return 0;
    return loader_->GetSound(id)->Stop();
}

void CSEList::SetVolume(int32_t volume) {
    volume_ = std::clamp(volume, 0, 255);
    if (!loader_) return;
    const int32_t attenuation = AttenuationFromVolume(volume_);
    // The ids first: getting an effect moves its id to the front of the use list.
    std::vector<int32_t> loaded;
    for (const Aux::CIDObjectAndNumber& used : *loader_->GetUseList()) loaded.push_back(used.number);
    for (const int32_t id : loaded) {
        const SoundRef sound = loader_->GetSound(id);
        sound->SetVolume(attenuation + 1);  // a change the buffer cannot skip
        sound->SetVolume(attenuation);
    }
}

// ---- music tracks ------------------------------------------------------------

void CMusicLoader::Load(const SoundFactoryRef& factory) {
    loader_ = std::make_unique<MM::CSoundLoader>();
    folder_ = "data\\music\\";
    SetUpLoader(*loader_, folder_, factory);
    if (factory) factory->SetStreamDefault(true);
}

void CMusicLoader::Release() {
    loader_.reset();
    folder_ = VTLstring();
}

CSEList* GetSEList() { return gSEList.Get(); }
CSEList* CreateSEList() { return gSEList.Get(); }
void DestroySEList() { gSEList.Destroy(); }
CMusicLoader* GetMusicLoader() { return gMusicLoader.Get(); }
CMusicLoader* CreateMusicLoader() { return gMusicLoader.Get(); }
void DestroyMusicLoader() { gMusicLoader.Destroy(); }

}  // namespace KestraneGameBase2

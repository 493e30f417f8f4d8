#include "sound/sound_factory.h"

#include <algorithm>
#include <mutex>

#include "foundation/auxiliary/file.h"
#include "foundation/thread/thread_local.h"
#include "foundation/vtl/ref_creater.h"
#include "sound/wave_sound.h"

namespace tovarineGameSDK3rd::Multimedia {

// The devices and the live list, held by the factory and by every registered sound.
struct CSoundFactory::Shared {
    enum class Release { kNothing, kDirectMusic, kWaveOutput };

    std::recursive_mutex lock;
    // Destroyed in reverse order: the wave output and DirectMusic before DirectSound.
    VTL::ref_creater<CDirectSound> directSound;
    VTL::ref_creater_and_mediator<CDirectMusic, CDirectSound> directMusic;
    VTL::ref_creater_and_mediator<CWaveOutputDirectSound, CDirectSound> waveOutput;
    std::list<ISound*> sounds;

    // A use of a device made on DirectSound: one use of DirectSound too.
    template <class Holder>
    void AddRefOnDirectSound(Holder& holder) {
        std::lock_guard<std::recursive_mutex> guard(lock);
        directSound.AddRef();
        holder.SetMediator(directSound.Get());
        holder.AddRef();
    }
    template <class Holder>
    void ReleaseOnDirectSound(Holder& holder) {
        std::lock_guard<std::recursive_mutex> guard(lock);
        holder.Release();
        directSound.Release();
    }
    // A sound's last release: off the list, then its device use goes (only when it was listed).
    void Remove(ISound* sound, Release release) {
        std::lock_guard<std::recursive_mutex> guard(lock);
        const auto it = std::find(sounds.begin(), sounds.end(), sound);
        if (it == sounds.end()) return;
        sounds.erase(it);
        if (release == Release::kDirectMusic) ReleaseOnDirectSound(directMusic);
        if (release == Release::kWaveOutput) ReleaseOnDirectSound(waveOutput);
    }
};

namespace {

// Runs when a registered sound has been deleted; keeps the shared state alive until then.
class SoundGone : public VTL::function_callback {
public:
    SoundGone(const VTL::smart_ptr<CSoundFactory::Shared>& shared, ISound* sound,
              CSoundFactory::Shared::Release release)
        : shared_(shared), sound_(sound), release_(release) {}
    void run() override { shared_->Remove(sound_, release_); }

private:
    VTL::smart_ptr<CSoundFactory::Shared> shared_;
    ISound* sound_;
    CSoundFactory::Shared::Release release_;
};

Thread::ThreadLocal<VTL::smart_ptr<ISoundFactory>>& ThreadFactories() {
    static auto* slot = new Thread::ThreadLocal<VTL::smart_ptr<ISoundFactory>>;  // outlives every factory
    return *slot;
}

VTL::smart_ptr<ISound> Unregistered(ISound* sound) { return VTL::smart_ptr<ISound>(sound); }

}  // namespace

CSoundFactory::CSoundFactory() : shared_(new Shared), parameter_(new CSoundParameter) {
    ThreadFactories().Set(VTL::smart_ptr<ISoundFactory>(this, false));
}

CSoundFactory::~CSoundFactory() {
    std::list<ISound*> live;
    {
        std::lock_guard<std::recursive_mutex> guard(shared_->lock);
        live = shared_->sounds;
    }
    for (ISound* s : live) s->Stop();
    if (ThreadFactories().Get()->GetNoCheck() == this) ThreadFactories().Set(nullptr);
}

VTL::smart_ptr<ISoundFactory> CSoundFactory::GetThreadFactory() { return *ThreadFactories().Get(); }

VTL::smart_ptr<ISound> CSoundFactory::CreateWaveSound(const VTL::VTLstring&, bool streaming) {
    return InnerCreateSound(streaming ? kTypeWaveStream : kTypeWaveStatic);
}

VTL::smart_ptr<ISound> CSoundFactory::CreateSound(const VTL::VTLstring& name) {
    VTL::VTLstring extension = Auxiliary::CFile::GetSuffix(name);
    extension.ToLower();
    VTL::smart_ptr<ISound> sound = extension == "mid" ? CreateMIDI() : CreateWave();
    if (sound->Load(name) != 0) return Unregistered(new CSoundNullDevice);
    return sound;
}

VTL::smart_ptr<ISound> CSoundFactory::CreateMIDI() {
    VTL::smart_ptr<ISound> sound = InnerCreateSound(primary_);
    if (sound->GetType() == kSoundNullDevice) sound = InnerCreateSound(fallback_);
    return sound;
}

VTL::smart_ptr<ISound> CSoundFactory::InnerCreateSound(int32_t code) {
    ISound* sound = nullptr;
    Shared::Release release = Shared::Release::kNothing;
    // MIDI takes the parameter's focus switch here, as a wave sound's buffer does when it is made.
    const bool globalFocus = parameter_ && parameter_->IsGlobalFocus();
    if (code == kTypeNull) {
        sound = new CSoundNullDevice;
    } else if (code == kTypeMIDIMCI && ProbeMidiMapper()) {
        auto* midi = new CMIDIOutputMCI;
        midi->SetGlobalFocus(globalFocus);
        sound = midi;
    } else if (code == kTypeMIDIDirectMusic && ProbeDirectMusic()) {
        AddRefDirectMusic();
        GetDirectMusic()->SetGlobalFocus(globalFocus);
        sound = new CMIDIOutputDM(GetDirectMusic());
        release = Shared::Release::kDirectMusic;
    } else if (code >= kTypeWaveDefault && code <= kTypeWaveStream && ProbeDirectSound()) {
        AddRefWaveOutput();
        GetWaveOutput()->SetSoundParameter(parameter_);
        auto* wave = new CWaveSound(GetWaveOutput());
        wave->SetStreamMode(code == kTypeWaveDefault ? streamDefault_ : code == kTypeWaveStream);
        sound = wave;
        release = Shared::Release::kWaveOutput;
    } else {
        return Unregistered(new CSoundNullDevice);
    }
    VTL::smart_ptr<VTL::function_callback> gone(new SoundGone(shared_, sound, release));
    auto* holder = new VTL::nonarray_callback_ref_object<ISound>(sound, gone);
    {
        std::lock_guard<std::recursive_mutex> guard(shared_->lock);
        shared_->sounds.push_back(sound);
    }
    return VTL::smart_ptr<ISound>::Adopt(sound, holder);
}

std::list<ISound*>& CSoundFactory::GetSoundList() { return shared_->sounds; }

void CSoundFactory::AddRefDirectSound() {
    std::lock_guard<std::recursive_mutex> guard(shared_->lock);
    shared_->directSound.AddRef();
}

void CSoundFactory::ReleaseDirectSound() {
    std::lock_guard<std::recursive_mutex> guard(shared_->lock);
    shared_->directSound.Release();
}

CDirectSound* CSoundFactory::GetDirectSound() { return shared_->directSound.Get(); }
void CSoundFactory::AddRefDirectMusic() { shared_->AddRefOnDirectSound(shared_->directMusic); }
void CSoundFactory::ReleaseDirectMusic() { shared_->ReleaseOnDirectSound(shared_->directMusic); }
CDirectMusic* CSoundFactory::GetDirectMusic() { return shared_->directMusic.Get(); }
void CSoundFactory::AddRefWaveOutput() { shared_->AddRefOnDirectSound(shared_->waveOutput); }
void CSoundFactory::ReleaseWaveOutput() { shared_->ReleaseOnDirectSound(shared_->waveOutput); }
CWaveOutputDirectSound* CSoundFactory::GetWaveOutput() { return shared_->waveOutput.Get(); }

}  // namespace tovarineGameSDK3rd::Multimedia

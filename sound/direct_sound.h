#pragma once
// The wave side of the sound devices: the device object over the process's
// mixer, the wave output that makes buffers and restores registered sounds when
// the application is activated again, the buffers (secondary ones over the
// mixer's sound buffers, the primary one that only records its format, and the
// null buffer of a missing device) and the options for new buffers.
#include <cstdint>
#include <list>
#include <memory>

#include "foundation/vtl/smart_ptr.h"
#include "foundation/window/win_hook.h"
#include "platform/sound_buffer.h"
#include "sound/sound.h"
#include "sound/sound_stream.h"
#include "sound/sound_stream_factory.h"

namespace tovarineGameSDK3rd::Multimedia {

// Can the mixer open its output? Asked once per process; tests force the answer
// with morna::platform::ForceSoundOutputProbe.
bool ProbeDirectSound();

class CDirectSound {
public:
    // Status 0 usable; 1 the mixer cannot open; 2 and 3 only through SetFaultForTest.
    CDirectSound();
    virtual ~CDirectSound();
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;

    // 0; 1 the device is not usable (logged).
    int32_t SetCooperativeLevel(int32_t level);
    int32_t GetStatus() const { return status_; }
    HWND GetHWnd() const { return hwnd_; }

    // Test hook: the next devices made fail at initialisation (2) or at the
    // cooperative level (3); 0 ends it.
    static void SetFaultForTest(int32_t status);

private:
    HWND hwnd_ = 0;
    int32_t status_ = 0;
};

class CSoundParameter {
public:
    CSoundParameter() : factory_(new CSoundStreamFactory) {}
    virtual ~CSoundParameter() {}
    void SetGlobalFocus(bool on) { globalFocus_ = on; }
    bool IsGlobalFocus() const { return globalFocus_; }
    void SetPanControl(bool on) { pan_ = on; }
    bool IsPanControl() const { return pan_; }
    void SetFrequencyControl(bool on) { frequency_ = on; }
    bool IsFrequencyControl() const { return frequency_; }
    void SetStreamFactory(const VTL::smart_ptr<ISoundStreamFactory>& factory) { factory_ = factory; }
    VTL::smart_ptr<ISoundStreamFactory> GetStreamFactory() const { return factory_; }

private:
    bool globalFocus_ = false;
    bool pan_ = false;
    bool frequency_ = false;
    VTL::smart_ptr<ISoundStreamFactory> factory_;
};

// Results: 0 success; the null buffer answers -1 to everything.
class ISoundBuffer {
public:
    virtual ~ISoundBuffer() {}
    virtual int32_t IsValid() = 0;
    virtual int32_t Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear, CSoundParameter* parameter) = 0;
    virtual VTL::smart_ptr<ISoundBuffer> Duplicate() = 0;
    // 1 lost, 3 playing, 2 otherwise; 0 without a buffer.
    virtual int32_t GetStatus() = 0;
    virtual int32_t SetFormat(const WAVEFORMATEX* format) = 0;
    virtual int32_t GetFormat(WAVEFORMATEX* format) = 0;
    virtual int32_t SetCurrentPosition(uint32_t offset) = 0;
    virtual int32_t GetCurrentPosition(uint32_t* play, uint32_t* write) = 0;
    virtual int32_t SetVolume(int32_t volume) = 0;
    virtual int32_t GetVolume(int32_t* volume) = 0;
    virtual int32_t SetPan(int32_t pan) = 0;
    virtual int32_t GetPan(int32_t* pan) = 0;
    virtual int32_t SetFrequency(uint32_t hz) = 0;
    virtual int32_t GetFrequency(uint32_t* hz) = 0;
    virtual int32_t Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2, uint32_t* size2) = 0;
    virtual int32_t Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) = 0;
    // 0; 1 no buffer; 2 lost; 3 other failures.
    virtual int32_t Play(bool loop) = 0;
    virtual int32_t Stop() = 0;
    virtual int32_t Restore() = 0;
};

// A buffer of the device: 0 success, 1 no buffer yet, 2 the mixer refused.
class CDirectSoundBuffer : public ISoundBuffer {
public:
    explicit CDirectSoundBuffer(CDirectSound* device) : device_(device) {}
    int32_t IsValid() override { return 1; }
    int32_t GetStatus() override;
    int32_t SetFormat(const WAVEFORMATEX* format) override;
    int32_t GetFormat(WAVEFORMATEX* format) override;
    int32_t SetCurrentPosition(uint32_t offset) override;
    int32_t GetCurrentPosition(uint32_t* play, uint32_t* write) override;
    int32_t SetVolume(int32_t volume) override;
    int32_t GetVolume(int32_t* volume) override;
    int32_t SetPan(int32_t pan) override;
    int32_t GetPan(int32_t* pan) override;
    int32_t SetFrequency(uint32_t hz) override;
    int32_t GetFrequency(uint32_t* hz) override;
    // A lost buffer is restored once and locked again.
    int32_t Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2, uint32_t* size2) override;
    int32_t Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) override;
    int32_t Play(bool loop) override;
    int32_t Stop() override;
    int32_t Restore() override;

    // The mixer's buffer (null before Create); tests reach its hooks here.
    morna::platform::SoundBuffer* GetPlatformBuffer() const { return buffer_.get(); }

protected:
    CDirectSound* device_;
    std::unique_ptr<morna::platform::SoundBuffer> buffer_;
};

// The primary buffer: its format is recorded; the mixer converts every buffer to its own output.
class CDirectSoundPrimaryBuffer : public CDirectSoundBuffer {
public:
    using CDirectSoundBuffer::CDirectSoundBuffer;
    int32_t Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear, CSoundParameter* parameter) override;
    VTL::smart_ptr<ISoundBuffer> Duplicate() override { return nullptr; }
    int32_t SetFormat(const WAVEFORMATEX* format) override;
    int32_t GetFormat(WAVEFORMATEX* format) override;

private:
    bool created_ = false;
    WAVEFORMATEX format_;
};

class CDirectSoundSeconderyBuffer : public CDirectSoundBuffer {
public:
    using CDirectSoundBuffer::CDirectSoundBuffer;
    // 0; 1 refused (format, size); 2 and 3 the clearing lock or unlock failed.
    int32_t Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear, CSoundParameter* parameter) override;
    VTL::smart_ptr<ISoundBuffer> Duplicate() override;
};

class CNullSoundBuffer : public ISoundBuffer {
public:
    int32_t IsValid() override { return 0; }
    int32_t Create(const WAVEFORMATEX*, uint32_t, bool, CSoundParameter*) override { return -1; }
    VTL::smart_ptr<ISoundBuffer> Duplicate() override { return VTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer); }
    int32_t GetStatus() override { return -1; }
    int32_t SetFormat(const WAVEFORMATEX*) override { return -1; }
    int32_t GetFormat(WAVEFORMATEX*) override { return -1; }
    int32_t SetCurrentPosition(uint32_t) override { return -1; }
    int32_t GetCurrentPosition(uint32_t*, uint32_t*) override { return -1; }
    int32_t SetVolume(int32_t) override { return -1; }
    int32_t GetVolume(int32_t*) override { return -1; }
    int32_t SetPan(int32_t) override { return -1; }
    int32_t GetPan(int32_t*) override { return -1; }
    int32_t SetFrequency(uint32_t) override { return -1; }
    int32_t GetFrequency(uint32_t*) override { return -1; }
    int32_t Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*) override { return -1; }
    int32_t Unlock(void*, uint32_t, void*, uint32_t) override { return -1; }
    int32_t Play(bool) override { return -1; }
    int32_t Stop() override { return -1; }
    int32_t Restore() override { return -1; }
};

// The three messages of a fill, one for each step that can fail.
struct FillMessages {
    const char* lock;
    const char* read;
    const char* unlock;
};
// Locks bytes from offset (the first region only), reads the stream into it and
// unlocks: 0, or 1 lock, 2 read (more than asked), 3 unlock failed, each after
// its message. got: the bytes read; the rest of the region keeps what it held.
int32_t FillFromStream(ISoundBuffer& buffer, uint32_t offset, uint32_t bytes, ISoundStream& stream,
                       const FillMessages& messages, uint32_t& got);

class IWaveOutput {
public:
    virtual ~IWaveOutput() {}
    virtual bool IsValid() = 0;
    virtual VTL::smart_ptr<ISoundBuffer> CreateBuffer() = 0;
    virtual VTL::smart_ptr<CSoundParameter> GetSoundParameter() = 0;
    virtual void SetSoundParameter(const VTL::smart_ptr<CSoundParameter>& parameter) = 0;
    virtual std::list<ISound*>& GetSoundList() = 0;
    // Keeps static wave sounds (0); any other sound answers 1 and is not kept.
    virtual int32_t AddSound(ISound* sound) = 0;
    virtual int32_t RemoveSound(ISound* sound) = 0;
};

class CWaveOutputDirectSound : public IWaveOutput, public Window::IWinHook {
public:
    // Throws CSyntaxException for a null device. Hooks the calling thread's window.
    explicit CWaveOutputDirectSound(CDirectSound* device);
    ~CWaveOutputDirectSound() override;
    CWaveOutputDirectSound(const CWaveOutputDirectSound&) = delete;
    CWaveOutputDirectSound& operator=(const CWaveOutputDirectSound&) = delete;

    bool IsValid() override { return true; }
    VTL::smart_ptr<ISoundBuffer> CreateBuffer() override { return MakeBuffer(); }
    VTL::smart_ptr<CSoundParameter> GetSoundParameter() override { return parameter_; }
    void SetSoundParameter(const VTL::smart_ptr<CSoundParameter>& parameter) override { parameter_ = parameter; }
    std::list<ISound*>& GetSoundList() override { return sounds_; }
    int32_t AddSound(ISound* sound) override;
    int32_t RemoveSound(ISound* sound) override;
    // The primary format (rate (r + 1) x 11025 Hz, 8b + 8 bits): 0 already so;
    // 3 changed, restoring every registered sound (also without a device); 1, 2 refused.
    int32_t SetFormat(int32_t rateStep, int32_t bitsStep, bool stereo);
    // A secondary buffer with nothing made yet, or a null buffer without a device.
    VTL::smart_ptr<ISoundBuffer> MakeBuffer();
    // The primary buffer (empty before the first SetFormat).
    VTL::smart_ptr<ISoundBuffer> GetPrimaryBuffer() const { return primary_; }

    // Activation restores the registered sounds; always 0, so the message goes on.
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) override;

private:
    void RestoreAll();

    std::list<ISound*> sounds_;
    VTL::smart_ptr<CSoundParameter> parameter_;
    CDirectSound* device_;
    VTL::smart_ptr<ISoundBuffer> primary_;
    int32_t formatKey_ = -1;
};

}  // namespace tovarineGameSDK3rd::Multimedia

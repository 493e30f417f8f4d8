#pragma once
// A wave file of any length played through a three-second ring buffer that loops,
// refilled by a thread of its own from the file's stream once half a second was
// played. At the end of the data the stream rewinds (loop) or the buffered rest
// plays out over silence and the sound stops.
#include <cstdint>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/thread.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"
#include "sound/direct_sound.h"
#include "sound/sound.h"

namespace tovarineGameSDK3rd::Multimedia {

// The streaming thread's waits between refill attempts. Tests replace it to
// step the thread pass by pass.
class IStreamPacer {
public:
    virtual ~IStreamPacer() {}
    // Waits about ms; true when the thread was asked to stop meanwhile.
    virtual bool Wait(Thread::CThread& thread, uint32_t ms) = 0;
};

class CWaveStreamSound : public IWaveSound, public Thread::CThread {
public:
    explicit CWaveStreamSound(IWaveOutput* output);
    ~CWaveStreamSound() override;

    // Always 0; a file that cannot be opened shows at Play.
    int32_t Load(const VTL::VTLstring& name) override;
    int32_t Release() override;
    // 0; 1 no buffer could be made and filled; 2 the buffer did not play; 3 no thread.
    int32_t Play() override;
    int32_t Pause() override;
    int32_t Replay() override;
    int32_t Stop() override;
    bool IsPlay() override;
    int32_t SetLoopPlay(bool loop) override;
    bool IsLoopPlay() override;
    int32_t SetCurrentPos(int32_t ms) override;
    int32_t GetCurrentPos() override;
    // -1 before the first Load.
    int32_t GetLength() override;
    int32_t SetVolume(int32_t volume) override;
    int32_t GetVolume() override;
    int32_t GetType() override { return kWaveStreamSound; }
    VTL::VTLstring GetFileName() override;
    int32_t Restore() override;

    void ThreadProc() override;

    VTL::smart_ptr<ISoundBuffer> GetBuffer();
    VTL::smart_ptr<ISoundStream> GetStream();
    // Null puts back the thread's own sleep.
    void SetPacer(const VTL::smart_ptr<IStreamPacer>& pacer);

private:
    int32_t InitBuffer();
    // 0 nothing to do or refilled; 1 the stream gave nothing; 2 read, 3 lock,
    // 4 unlock, 5 cursor read failed.
    int32_t GetNextSoundData();
    int32_t InnerStop();
    // The wait between attempts; true when a stop was requested.
    bool Pace();
    // Plays out what is buffered over silence; then stops.
    void Drain(uint32_t ring);
    // Moves the position by the play cursor's advance; false when the cursor cannot be read.
    bool TrackPosition(uint32_t ring, uint32_t& play, bool* wrapped);

    VTL::smart_ptr<ISoundBuffer> buffer_;
    VTL::smart_ptr<ISoundStream> stream_;
    Thread::CCriticalSection lock_;
    IWaveOutput* output_;
    uint32_t position_ = 0;
    uint32_t lastWrite_ = 0;
    uint32_t writeOffset_ = 0;
    uint32_t shortfall_ = 0;
    uint32_t lastPlay_ = 0;
    VTL::VTLstring name_;
    int32_t pauseCount_ = 0;
    bool loop_ = false;
    uint32_t bytesPerSec_ = 0;
    uint32_t streamLength_ = 0;
    int32_t volume_ = 0;
    bool delivered_ = false;  // the last refill read bytes
    VTL::smart_ptr<IStreamPacer> pacer_;
};

}  // namespace tovarineGameSDK3rd::Multimedia

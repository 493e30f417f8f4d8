#pragma once
// The music player: one track at a time by number, fades counted in frames, a
// track that waits for the fade-out to end, and loop points from "loop.txt"
// that the music thread applies. Every operation of the player runs under the
// music lock (recursive), which the application thread and the music thread share.
#include <atomic>
#include <cstdint>
#include <map>
#include <utility>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/thread.h"
#include "framework/sound_list.h"

namespace KestraneGameBase2 {

tovarineGameSDK3rd::Thread::CCriticalSection& MusicLock();

// track -> (loop start, loop end), in ms of the track's position.
using LoopPoints = std::map<int32_t, std::pair<int32_t, int32_t>>;
// "track,start,end" lines; empty and "//" lines skipped, a later line of a
// track replaces an earlier one. A line whose numbers do not parse, or whose end
// is not after its start, is skipped. False when the file does not read.
bool ReadLoopPoints(const tovarineGameSDK3rd::VTL::VTLstring& file, LoopPoints& out);

class CBGMPlayer {
public:
    // The music loader on the factory, and the loop points of its folder.
    void Initialize(const SoundFactoryRef& factory);
    // Fades the current track over fadeFrames and starts track when the fade
    // ends; at once when nothing is current or fadeFrames < 1. Nothing for a
    // track below 0, or the current one while nothing waits.
    void Play(int32_t track, int32_t fadeFrames);
    // At once when nothing is current, else after a fade of 16 frames.
    void PlayAfterFade(int32_t track);
    // Loops the track at the player's volume (when music is on) and makes it current.
    void Start(int32_t track);
    void FadeOut(int32_t frames);
    // A running fade-out is rescaled to the new length.
    void SetFade(int32_t frames);
    // 0 to 255, for the current track at once.
    void SetVolume(int32_t volume);
    int32_t GetVolume();
    // Reloads the music and starts the track that was current again at once.
    void Reset();
    // One frame of the fades.
    void OnFrame();
    // The loop points: 0 after a jump back to the loop start, else the ms left
    // to the loop end; -1 without loop points for the current track.
    int32_t Tick();

    void SetEnabled(bool enabled);
    bool IsEnabled();
    void SetUseLoopPoints(bool use);
    bool IsUseLoopPoints();
    int32_t GetCurrent();
    int32_t GetPending();

private:
    // The track's sound: loaded through the music loader first; silent when undefined.
    SoundRef TrackSound(int32_t track);
    // Stops (or pauses) the track and gives it back the player's volume.
    void EndTrack(int32_t track);

    int32_t current_ = -1;
    int32_t fading_ = -1;
    int32_t fadeInCount_ = 0, fadeInLength_ = 0;
    int32_t fadeOutCount_ = 0, fadeOutLength_ = 0;
    uint8_t spare_ = 0;
    int32_t pending_ = -1;
    bool pauseAtEnd_ = false;
    int32_t volume_ = 255;
    bool enabled_ = true;
    bool useLoopPoints_ = false;
    tovarineGameSDK3rd::VTL::VTLstring loopFile_ = "loop.txt";
    LoopPoints loopPoints_;
    SoundFactoryRef factory_;
};

CBGMPlayer* GetBGMPlayer();
CBGMPlayer* CreateBGMPlayer();
void DestroyBGMPlayer();

// Applies the music's loop points in the background: Tick, then a sleep of 1 ms
// near a loop end or 1000 ms otherwise, until a stop is requested.
class CMusicThread : public tovarineGameSDK3rd::Thread::CThread {
public:
    // Stopped here, while ThreadProc is still this class's: the base's destructor would stop it
    // with the object already its base.
    ~CMusicThread() override { StopThread(); }
    // Asks the thread to load a track (nothing in the game asks).
    void RequestLoad(int32_t track);

protected:
    void ThreadProc() override;

private:
    std::atomic<bool> request_{false};
    std::atomic<int32_t> requestedTrack_{-1};
};

}  // namespace KestraneGameBase2

#include "sound/sound.h"

namespace tovarineGameSDK3rd::Multimedia {

int32_t ISound::MsecToHMS(int32_t t, int32_t& hours, int32_t& minutes, int32_t& seconds, int32_t& milliseconds) {
    if (t < 0) return -1;
    milliseconds = t % 1000;
    const int32_t s = t / 1000;
    seconds = s % 60;
    minutes = (s / 60) % 60;
    hours = s / 60 / 60;
    return 0;
}

int32_t ISound::HMSToMsec(int32_t& t, int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds) {
    if (hours < 0 || minutes < 0 || seconds < 0 || milliseconds < 0) return -1;
    // Wraps like the 32-bit arithmetic it stands for, never as undefined overflow.
    const int64_t ms = ((static_cast<int64_t>(hours) * 60 + minutes) * 60 + seconds) * 1000 + milliseconds;
    t = static_cast<int32_t>(static_cast<uint32_t>(ms));
    return 0;
}

}  // namespace tovarineGameSDK3rd::Multimedia

#include "platform/wave_format.h"

#include <algorithm>
#include <cstring>

namespace morna::platform {

WaveFormat ReadWaveFormat(const uint8_t* bytes, std::size_t n) {
    uint8_t b[kWaveFormatSize] = {};
    if (bytes != nullptr) std::memcpy(b, bytes, std::min(n, kWaveFormatSize));
    WaveFormat f;
    f.formatTag = LoadLE16(b);
    f.channels = LoadLE16(b + 2);
    f.samplesPerSec = LoadLE32(b + 4);
    f.avgBytesPerSec = LoadLE32(b + 8);
    f.blockAlign = LoadLE16(b + 12);
    f.bitsPerSample = LoadLE16(b + 14);
    f.extraSize = LoadLE16(b + 16);
    return f;
}

void WriteWaveFormat(const WaveFormat& f, uint8_t* out) {
    StoreLE16(out, f.formatTag);
    StoreLE16(out + 2, f.channels);
    StoreLE32(out + 4, f.samplesPerSec);
    StoreLE32(out + 8, f.avgBytesPerSec);
    StoreLE16(out + 12, f.blockAlign);
    StoreLE16(out + 14, f.bitsPerSample);
    StoreLE16(out + 16, f.extraSize);
}

WaveFormat PcmWaveFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample) {
    WaveFormat f;
    f.formatTag = kWaveFormatPcm;
    f.channels = channels;
    f.samplesPerSec = samplesPerSec;
    f.bitsPerSample = bitsPerSample;
    f.blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    f.avgBytesPerSec = samplesPerSec * f.blockAlign;
    return f;
}

}  // namespace morna::platform

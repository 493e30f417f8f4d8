#pragma once
// Decoders of compressed wave formats into 16-bit PCM, behind one adapter: a
// format suggestion, an open that checks the parameters, size queries, a convert
// that reports the source bytes it used and the PCM bytes it made, and a reset.
// Codecs: IMA ADPCM (tag 0x11) and MS ADPCM (0x02) in whole blocks, G.711 A-law
// (0x06) and mu-law (0x07), and MPEG audio (0x55) through libmpg123.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/wave_format.h"

namespace morna::platform {

inline constexpr uint16_t kWaveFormatMsAdpcm = 0x02;
inline constexpr uint16_t kWaveFormatALaw = 0x06;
inline constexpr uint16_t kWaveFormatMuLaw = 0x07;
inline constexpr uint16_t kWaveFormatImaAdpcm = 0x11;
inline constexpr uint16_t kWaveFormatMpegLayer3 = 0x55;

// A source format: the 18-byte record and the format-specific bytes after it.
struct CodecFormat {
    WaveFormat wave;
    std::vector<uint8_t> extra;
};

// 16-bit PCM at the source's rate and channels; false for a tag without a codec.
bool SuggestPcmFormat(const WaveFormat& source, WaveFormat& pcm);

// One decoder: units of compressed data (whole blocks, MPEG frames) are decoded
// into PCM that waits inside the codec until a convert hands it out. Source bytes
// count as used only once every PCM byte made from them was delivered, so a
// caller whose position reaches the end of its data has lost nothing.
class AudioCodec {
public:
    virtual ~AudioCodec() = default;

    // src: srcLength bytes from the caller's position to the end of its data (the
    // same bytes again while used answers 0), of which the first dataLength are
    // data and the rest zeros that let a last unit complete: a unit may reach into
    // them but never starts there. Fills dst as far as the source allows; false
    // when the decoder failed (nothing produced).
    bool Convert(const uint8_t* src, uint32_t srcLength, uint32_t dataLength, uint8_t* dst, uint32_t dstLength,
                 uint32_t& used, uint32_t& produced);
    // PCM bytes for source bytes, and source bytes for PCM bytes; false when
    // there is no answer.
    virtual bool SizeBySource(uint32_t sourceBytes, uint32_t& pcmBytes) const = 0;
    virtual bool SizeByDestination(uint32_t pcmBytes, uint32_t& sourceBytes) const = 0;
    // Forgets every state, as a new codec would start.
    bool Reset();

protected:
    // Decodes from src (at most n bytes, the rest of the source) and appends the
    // PCM; answers the bytes consumed (0: nothing more can be decoded from them),
    // or -1 when the decoder failed.
    virtual int64_t DecodeUnit(const uint8_t* src, uint32_t n, std::vector<uint8_t>& pcm) = 0;
    virtual bool ResetDecoder() { return true; }

private:
    std::vector<uint8_t> pending_;  // PCM made, not yet delivered
    uint32_t pendingAt_ = 0;
    uint32_t fed_ = 0;  // source bytes decoded whose use is not yet reported
};

// 0 opened; 1 no codec for the tag; 2 parameters the codec cannot take.
int32_t OpenAudioCodec(const CodecFormat& source, const WaveFormat& pcm, std::unique_ptr<AudioCodec>& codec);

}  // namespace morna::platform

#include "platform/audio_codec.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>

namespace morna::platform {

bool SuggestPcmFormat(const WaveFormat& source, WaveFormat& pcm) {
    switch (source.formatTag) {
        case kWaveFormatMsAdpcm:
        case kWaveFormatALaw:
        case kWaveFormatMuLaw:
        case kWaveFormatImaAdpcm:
        case kWaveFormatMpegLayer3:
            pcm = PcmWaveFormat(source.channels, source.samplesPerSec, 16);
            return true;
        default:
            return false;
    }
}

// ---- the adapter -------------------------------------------------------------

bool AudioCodec::Convert(const uint8_t* src, uint32_t srcLength, uint32_t dataLength, uint8_t* dst,
                         uint32_t dstLength, uint32_t& used, uint32_t& produced) {
    used = 0;
    produced = 0;
    fed_ = std::min(fed_, srcLength);
    for (;;) {
        if (pendingAt_ < pending_.size()) {
            if (produced == dstLength) break;
            const uint32_t n = std::min<uint32_t>(dstLength - produced, static_cast<uint32_t>(pending_.size() - pendingAt_));
            std::memcpy(dst + produced, pending_.data() + pendingAt_, n);
            pendingAt_ += n;
            produced += n;
            continue;
        }
        pending_.clear();
        pendingAt_ = 0;
        // With the destination full, only ask for what the decoder already holds,
        // so that no source is reported used while its PCM is still inside.
        const uint32_t available = produced == dstLength || fed_ >= dataLength ? 0 : srcLength - fed_;
        const int64_t consumed = DecodeUnit(src + fed_, available, pending_);
        if (consumed < 0) {
            pending_.clear();
            return false;
        }
        fed_ += static_cast<uint32_t>(consumed);
        if (pending_.empty() && consumed == 0) break;
    }
    if (pendingAt_ >= pending_.size()) {
        used = fed_;
        fed_ = 0;
    }
    return true;
}

bool AudioCodec::Reset() {
    pending_.clear();
    pendingAt_ = 0;
    fed_ = 0;
    return ResetDecoder();
}

namespace {

int16_t Clamp16(int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

void Put16(std::vector<uint8_t>& pcm, int32_t v) {
    const uint16_t u = static_cast<uint16_t>(Clamp16(v));
    pcm.push_back(static_cast<uint8_t>(u));
    pcm.push_back(static_cast<uint8_t>(u >> 8));
}

// ---- codecs of whole blocks ------------------------------------------------

// A codec whose source comes in blocks of a fixed size, each decoding to the
// same number of sample frames.
class BlockCodec : public AudioCodec {
public:
    BlockCodec(uint32_t blockBytes, uint32_t framesPerBlock, uint32_t channels)
        : blockBytes_(blockBytes), pcmBlockBytes_(framesPerBlock * channels * 2) {}

    bool SizeBySource(uint32_t sourceBytes, uint32_t& pcmBytes) const override {
        if (sourceBytes < blockBytes_) return false;
        pcmBytes = static_cast<uint32_t>(static_cast<uint64_t>(sourceBytes / blockBytes_) * pcmBlockBytes_);
        return true;
    }
    // The blocks that lie wholly before that much PCM: decoding restarts at a block.
    bool SizeByDestination(uint32_t pcmBytes, uint32_t& sourceBytes) const override {
        sourceBytes = static_cast<uint32_t>(static_cast<uint64_t>(pcmBytes / pcmBlockBytes_) * blockBytes_);
        return true;
    }

protected:
    int64_t DecodeUnit(const uint8_t* src, uint32_t n, std::vector<uint8_t>& pcm) override {
        if (n < blockBytes_) return 0;
        pcm.reserve(pcm.size() + pcmBlockBytes_);
        DecodeBlock(src, pcm);
        return blockBytes_;
    }
    virtual void DecodeBlock(const uint8_t* block, std::vector<uint8_t>& pcm) = 0;

    const uint32_t blockBytes_;
    const uint32_t pcmBlockBytes_;
};

// G.711: one byte a sample; the block is one sample frame.
class G711Codec : public BlockCodec {
public:
    G711Codec(bool aLaw, uint32_t channels) : BlockCodec(channels, 1, channels), aLaw_(aLaw) {}

protected:
    void DecodeBlock(const uint8_t* block, std::vector<uint8_t>& pcm) override {
        for (uint32_t i = 0; i < blockBytes_; ++i) Put16(pcm, aLaw_ ? ALaw(block[i]) : MuLaw(block[i]));
    }

private:
    static int32_t ALaw(uint8_t code) {
        const int32_t a = code ^ 0x55;
        const int32_t segment = (a >> 4) & 7;
        int32_t t = (a & 0x0F) << 4;
        t += segment == 0 ? 8 : 0x108;
        if (segment > 1) t <<= segment - 1;
        return (a & 0x80) ? t : -t;
    }
    static int32_t MuLaw(uint8_t code) {
        const int32_t u = ~code & 0xFF;
        const int32_t t = (((u & 0x0F) << 3) + 0x84) << ((u >> 4) & 7);
        return (u & 0x80) ? 0x84 - t : t - 0x84;
    }

    const bool aLaw_;
};

// IMA ADPCM: per channel a 4-byte header (the first sample and the step index),
// then groups of 4 bytes per channel in turn, 8 samples each, low nibble first.
class ImaAdpcmCodec : public BlockCodec {
public:
    ImaAdpcmCodec(uint32_t blockAlign, uint32_t frames, uint32_t channels)
        : BlockCodec(blockAlign, frames, channels), channels_(channels), frames_(frames) {}

    static uint32_t Capacity(uint32_t blockAlign, uint32_t channels) {
        return (blockAlign - 4 * channels) * 2 / channels + 1;
    }

protected:
    void DecodeBlock(const uint8_t* block, std::vector<uint8_t>& pcm) override {
        static constexpr int32_t kIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
        static constexpr int32_t kStep[89] = {
            7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
            31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
            130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
            544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
            2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
            9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
        int32_t predictor[2], index[2];
        std::vector<int16_t>& samples = samples_;
        samples.assign(static_cast<size_t>(frames_) * channels_, 0);
        for (uint32_t c = 0; c < channels_; ++c) {
            predictor[c] = static_cast<int16_t>(LoadLE16(block + 4 * c));
            index[c] = std::min<int32_t>(block[4 * c + 2], 88);
            samples[c] = static_cast<int16_t>(predictor[c]);
        }
        const uint8_t* data = block + 4 * channels_;
        for (uint32_t frame = 1; frame < frames_; ++frame) {
            const uint32_t k = frame - 1;  // nibble number within the channel
            for (uint32_t c = 0; c < channels_; ++c) {
                const uint8_t byte = data[((k / 8) * channels_ + c) * 4 + (k % 8) / 2];
                const int32_t code = (k & 1) ? byte >> 4 : byte & 0x0F;
                const int32_t step = kStep[index[c]];
                int32_t diff = step >> 3;
                if (code & 4) diff += step;
                if (code & 2) diff += step >> 1;
                if (code & 1) diff += step >> 2;
                predictor[c] = Clamp16(code & 8 ? predictor[c] - diff : predictor[c] + diff);
                index[c] = std::clamp(index[c] + kIndex[code], 0, 88);
                samples[frame * channels_ + c] = static_cast<int16_t>(predictor[c]);
            }
        }
        for (int16_t s : samples) Put16(pcm, s);
    }

private:
    const uint32_t channels_;
    const uint32_t frames_;
    std::vector<int16_t> samples_;
};

// MS ADPCM: per channel a predictor number, the step and the two newest samples
// (all channels' fields in turn), then nibbles high first, channels in turn.
class MsAdpcmCodec : public BlockCodec {
public:
    MsAdpcmCodec(uint32_t blockAlign, uint32_t frames, uint32_t channels, std::vector<int32_t> coefficients)
        : BlockCodec(blockAlign, frames, channels), channels_(channels), frames_(frames), coef_(std::move(coefficients)) {}

    static uint32_t Capacity(uint32_t blockAlign, uint32_t channels) { return (blockAlign - 7 * channels) * 2 / channels + 2; }

protected:
    void DecodeBlock(const uint8_t* block, std::vector<uint8_t>& pcm) override {
        static constexpr int32_t kAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                               768, 614, 512, 409, 307, 230, 230, 230};
        const uint32_t ch = channels_;
        int32_t c1[2], c2[2], delta[2], s1[2], s2[2];
        for (uint32_t c = 0; c < ch; ++c) {
            const uint32_t predictor = block[c] < coef_.size() / 2 ? block[c] : 0;
            c1[c] = coef_[2 * predictor];
            c2[c] = coef_[2 * predictor + 1];
            delta[c] = static_cast<int16_t>(LoadLE16(block + ch + 2 * c));
            s1[c] = static_cast<int16_t>(LoadLE16(block + 3 * ch + 2 * c));
            s2[c] = static_cast<int16_t>(LoadLE16(block + 5 * ch + 2 * c));
        }
        for (uint32_t c = 0; c < ch; ++c) Put16(pcm, s2[c]);
        for (uint32_t c = 0; c < ch; ++c) Put16(pcm, s1[c]);
        const uint8_t* data = block + 7 * ch;
        for (uint32_t k = 0; k < (frames_ - 2) * ch; ++k) {
            const uint32_t c = k % ch;
            const int32_t code = (k & 1) ? data[k / 2] & 0x0F : data[k / 2] >> 4;
            const int32_t signedCode = code >= 8 ? code - 16 : code;
            const int32_t predicted = (s1[c] * c1[c] + s2[c] * c2[c]) >> 8;
            const int32_t sample = Clamp16(predicted + signedCode * delta[c]);
            // Bounded so that a damaged block cannot overflow; real steps stay far below.
            delta[c] = static_cast<int32_t>(std::clamp<int64_t>((int64_t{kAdapt[code]} * delta[c]) >> 8, 16, 0x00FFFFFF));
            s2[c] = s1[c];
            s1[c] = sample;
            Put16(pcm, sample);
        }
    }

private:
    const uint32_t channels_;
    const uint32_t frames_;
    const std::vector<int32_t> coef_;
};

// ---- MPEG audio ------------------------------------------------------------

class MpegCodec : public AudioCodec {
public:
    MpegCodec(const WaveFormat& source, const WaveFormat& pcm) : source_(source), pcm_(pcm) {}
    ~MpegCodec() override {
        if (handle_ != nullptr) mpg123_delete(handle_);
    }

    bool Open() {
        int error = 0;
        handle_ = mpg123_new(nullptr, &error);
        if (handle_ == nullptr) return false;
        // Fixed output: 16-bit at the suggested rate and channels, resampled and
        // mixed by the decoder where the frames differ.
        const long flags = MPG123_QUIET | MPG123_AUTO_RESAMPLE | (pcm_.channels == 1 ? MPG123_MONO_MIX : MPG123_FORCE_STEREO);
        return mpg123_param(handle_, MPG123_FLAGS, flags, 0) == MPG123_OK &&
               mpg123_param(handle_, MPG123_RESYNC_LIMIT, 65536, 0) == MPG123_OK &&
               mpg123_format_none(handle_) == MPG123_OK &&
               mpg123_format(handle_, static_cast<long>(pcm_.samplesPerSec), pcm_.channels == 1 ? MPG123_MONO : MPG123_STEREO,
                             MPG123_ENC_SIGNED_16) == MPG123_OK &&
               mpg123_open_feed(handle_) == MPG123_OK;
    }

    bool SizeBySource(uint32_t sourceBytes, uint32_t& pcmBytes) const override {
        if (source_.avgBytesPerSec == 0) return false;
        pcmBytes = static_cast<uint32_t>(static_cast<uint64_t>(sourceBytes) * pcm_.avgBytesPerSec / source_.avgBytesPerSec);
        return true;
    }
    // In proportion; the decoder finds the next frame from there.
    bool SizeByDestination(uint32_t pcmBytes, uint32_t& sourceBytes) const override {
        if (pcm_.avgBytesPerSec == 0) return false;
        sourceBytes = static_cast<uint32_t>(static_cast<uint64_t>(pcmBytes) * source_.avgBytesPerSec / pcm_.avgBytesPerSec);
        return true;
    }

protected:
    // Pieces of at most 1 KiB, so the PCM waiting here stays small.
    int64_t DecodeUnit(const uint8_t* src, uint32_t n, std::vector<uint8_t>& pcm) override {
        Drain(pcm);
        if (!pcm.empty() || n == 0) return 0;
        const uint32_t piece = std::min<uint32_t>(n, 1024);
        if (mpg123_feed(handle_, src, piece) != MPG123_OK) return -1;
        Drain(pcm);
        return piece;
    }
    bool ResetDecoder() override {
        mpg123_close(handle_);
        return mpg123_open_feed(handle_) == MPG123_OK;
    }

private:
    // Takes every frame the decoder can finish from what it was fed. A damaged
    // frame ends the pass; the decoder finds its way again in later input.
    void Drain(std::vector<uint8_t>& pcm) {
        uint8_t out[16384];
        for (;;) {
            size_t done = 0;
            const int r = mpg123_read(handle_, out, sizeof out, &done);
            pcm.insert(pcm.end(), out, out + done);
            if (r == MPG123_OK || r == MPG123_NEW_FORMAT) continue;
            break;
        }
    }

    mpg123_handle* handle_ = nullptr;
    const WaveFormat source_;
    const WaveFormat pcm_;
};

}  // namespace

int32_t OpenAudioCodec(const CodecFormat& source, const WaveFormat& pcm, std::unique_ptr<AudioCodec>& codec) {
    codec.reset();
    const WaveFormat& f = source.wave;
    WaveFormat suggested;
    if (!SuggestPcmFormat(f, suggested)) return 1;
    const uint32_t ch = f.channels;
    if (ch == 0 || ch > 2 || pcm.channels != ch || pcm.bitsPerSample != 16) return 2;
    // The samples per block that the format states, when it states them.
    const uint32_t stated = source.extra.size() >= 2 ? LoadLE16(source.extra.data()) : 0;
    switch (f.formatTag) {
        case kWaveFormatALaw:
        case kWaveFormatMuLaw:
            if (f.bitsPerSample != 8 || f.blockAlign != ch) return 2;
            codec = std::make_unique<G711Codec>(f.formatTag == kWaveFormatALaw, ch);
            return 0;
        case kWaveFormatImaAdpcm: {
            if (f.bitsPerSample != 4 || f.blockAlign <= 4 * ch || (f.blockAlign - 4 * ch) % (4 * ch) != 0) return 2;
            const uint32_t capacity = ImaAdpcmCodec::Capacity(f.blockAlign, ch);
            if (stated > capacity) return 2;
            codec = std::make_unique<ImaAdpcmCodec>(f.blockAlign, stated != 0 ? stated : capacity, ch);
            return 0;
        }
        case kWaveFormatMsAdpcm: {
            if (f.bitsPerSample != 4 || f.blockAlign <= 7 * ch) return 2;
            const uint32_t capacity = MsAdpcmCodec::Capacity(f.blockAlign, ch);
            const uint32_t count = source.extra.size() >= 4 ? LoadLE16(source.extra.data() + 2) : 0;
            if (stated > capacity || stated == 1 || count == 0 || source.extra.size() < 4 + 4 * static_cast<size_t>(count)) {
                return 2;
            }
            std::vector<int32_t> coefficients;
            for (uint32_t i = 0; i < 2 * count; ++i) {
                coefficients.push_back(static_cast<int16_t>(LoadLE16(source.extra.data() + 4 + 2 * i)));
            }
            codec = std::make_unique<MsAdpcmCodec>(f.blockAlign, stated != 0 ? stated : capacity, ch, std::move(coefficients));
            return 0;
        }
        case kWaveFormatMpegLayer3: {
            auto mpeg = std::make_unique<MpegCodec>(f, pcm);
            if (!mpeg->Open()) return 2;
            codec = std::move(mpeg);
            return 0;
        }
        default:
            return 1;
    }
}

}  // namespace morna::platform

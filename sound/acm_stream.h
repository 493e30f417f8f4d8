#pragma once
// The stream of compressed audio: a RIFF WAVE file whose format is not PCM, or a
// bare MPEG audio file whose format is built from its first frame header. The
// whole file is read into memory (disk, pack archive or memory name) and
// decoded out of it into 16-bit PCM through the codec adapter.
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/auxiliary/file.h"
#include "foundation/vtl/smart_ptr.h"
#include "platform/audio_codec.h"
#include "sound/sound_stream.h"

namespace tovarineGameSDK3rd::Multimedia {

class CACMStream : public ISoundStream {
public:
    CACMStream();
    ~CACMStream() override;
    CACMStream(const CACMStream&) = delete;
    CACMStream& operator=(const CACMStream&) = delete;

    // 0; 1 unreadable; 2 neither a compressed WAVE nor MPEG audio; 3 no codec
    // for the format; 4 the codec refused it; 5 no size for a block.
    int32_t Open(const char* name) override;
    int32_t Close() override;
    int32_t GetLength() override { return static_cast<int32_t>(lengthMs_); }
    // 0; 1 no usable format; 2 at or past the length; 3 the codec did not restart.
    int32_t SetCurrentPos(int32_t ms) override;
    int32_t GetCurrentPos() override;
    // 0xFFFFFFFF when not open; 0 at the end.
    uint32_t Read(void* buffer, uint32_t bytes) override;
    WAVEFORMATEX* GetFormat() override { return &pcmFormat_; }

    // 0; 1 no memory; 2 not a RIFF WAVE; 3 no "fmt "; 4 PCM, no "data" or no rate.
    int32_t InitializeNormal();
    // 0, or 1 for anything that is not MPEG-1 audio.
    int32_t InitializeMP3();
    const morna::platform::CodecFormat& GetSourceFormat() const { return source_; }

private:
    const uint8_t* Memory() const { return static_cast<const uint8_t*>(file_->GetMemory()); }

    VTL::smart_ptr<Auxiliary::CFile> file_;
    morna::platform::CodecFormat source_;  // a copy: the file's bytes are never written
    WAVEFORMATEX pcmFormat_;
    std::unique_ptr<morna::platform::AudioCodec> codec_;
    uint32_t dataLength_ = 0;
    uint32_t dataOffset_ = 0;
    uint32_t sourcePos_ = 0;
    uint32_t lengthMs_ = 0;
    uint32_t pcmPos_ = 0;
    uint32_t sourceBlock_ = 0;
    uint32_t destBlock_ = 0;
};

}  // namespace tovarineGameSDK3rd::Multimedia

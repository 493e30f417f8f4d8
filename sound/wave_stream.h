#pragma once
// The stream of a PCM RIFF WAVE file. A plain file on disk is read through its
// stdio stream; anything else that the file layer can read whole (a pack-archive
// member, a memory name) is read from that copy. Both give the same bytes.
#include <cstdint>

#include "foundation/auxiliary/file.h"
#include "foundation/vtl/smart_ptr.h"
#include "platform/riff.h"
#include "sound/sound_stream.h"

namespace tovarineGameSDK3rd::Multimedia {

class CWaveStream : public ISoundStream {
public:
    CWaveStream();
    ~CWaveStream() override;
    CWaveStream(const CWaveStream&) = delete;
    CWaveStream& operator=(const CWaveStream&) = delete;

    // 0; 1 the file cannot be read; 2 not a usable PCM WAVE.
    int32_t Open(const char* name) override;
    int32_t Close() override;
    int32_t GetLength() override;
    int32_t SetCurrentPos(int32_t ms) override;
    int32_t GetCurrentPos() override;
    uint32_t Read(void* buffer, uint32_t bytes) override;
    WAVEFORMATEX* GetFormat() override { return &format_; }

    bool IsMemoryMode() const { return memoryMode_; }

private:
    int32_t Initialize();
    // File mode: puts the stream at the read position.
    void SeekFile();

    VTL::smart_ptr<Auxiliary::CFile> file_;
    bool memoryMode_ = false;
    WAVEFORMATEX format_;
    uint64_t dataOffset_ = 0;
    uint32_t dataLength_ = 0;
    uint32_t position_ = 0;
    morna::platform::RiffReader riff_;
};

}  // namespace tovarineGameSDK3rd::Multimedia

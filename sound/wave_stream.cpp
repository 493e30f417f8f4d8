#include "sound/wave_stream.h"

#include <algorithm>
#include <cstring>

#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Multimedia {

using morna::platform::FourCC;
using morna::platform::RiffChunk;
using morna::platform::RiffReader;

CWaveStream::CWaveStream() : file_(new Auxiliary::CFile) { Close(); }

CWaveStream::~CWaveStream() { Close(); }

int32_t CWaveStream::Close() {
    riff_ = RiffReader();
    file_->Close();  // the stream, or the copy in memory
    memoryMode_ = false;
    format_ = WAVEFORMATEX();
    dataOffset_ = 0;
    dataLength_ = 0;
    position_ = 0;
    return 0;
}

int32_t CWaveStream::Open(const char* name) {
    Close();
    memoryMode_ = false;
    if (file_->Open(name, "rb") != 0) {
        memoryMode_ = true;
        if (file_->Read(name) != 0) {
            GetErrorLog().Out("CWaveStream::Load %sのファイル読み込み時のエラー", name);
            return 1;
        }
    }
    if (Initialize() != 0) {
        Close();
        return 2;
    }
    return 0;
}

int32_t CWaveStream::Initialize() {
    riff_ = memoryMode_ ? RiffReader(static_cast<const uint8_t*>(file_->GetMemory()), file_->GetSize())
                        : RiffReader(file_->GetFilePointer());
    if (!riff_.IsOpen()) {
        GetErrorLog().Out("CWaveStream::Initialize mmioOpenに失敗");
        return 1;
    }
    RiffChunk wave;
    if (!riff_.Descend(wave, nullptr, RiffReader::Find::kRiff, FourCC("WAVE"))) {
        GetErrorLog().Out("CWaveStream::Initialize Waveファイルでない");
        return 2;
    }
    RiffChunk fmt;
    if (!riff_.Descend(fmt, &wave, RiffReader::Find::kChunk, FourCC("fmt "))) {
        GetErrorLog().Out("CWaveStream::Initialize fmtチャンクが指定できない");
        return 3;
    }
    // 18 bytes even from a 16-byte chunk: the extra-size field is never read for PCM.
    uint8_t bytes[morna::platform::kWaveFormatSize] = {};
    const uint64_t got = riff_.ReadAt(fmt.dataOffset, bytes, sizeof bytes);
    format_ = morna::platform::ReadWaveFormat(bytes, got);
    if (format_.formatTag != morna::platform::kWaveFormatPcm) {
        GetErrorLog().Out("CWaveStream::Initialize WAVE_FORMAT_PCMじゃない");
        return 4;
    }
    riff_.Ascend(fmt);
    RiffChunk data;
    if (!riff_.Descend(data, &wave, RiffReader::Find::kChunk, FourCC("data"))) {
        GetErrorLog().Out("CWaveStream::Initialize データチャンクに行けない");
        return 5;
    }
    // The walker cut the size to the bytes the file holds, so both modes agree.
    dataLength_ = data.size;
    dataOffset_ = data.dataOffset;
    position_ = 0;
    SeekFile();
    SetCurrentPos(0);
    return 0;
}

int32_t CWaveStream::GetLength() { return StreamMs(dataLength_, format_.avgBytesPerSec); }

int32_t CWaveStream::GetCurrentPos() { return StreamMs(position_, format_.avgBytesPerSec); }

int32_t CWaveStream::SetCurrentPos(int32_t ms) {
    uint32_t bytes = 0;
    if (!StreamBytes(format_.avgBytesPerSec, ms, bytes)) return 1;
    if (ms >= GetLength()) return 2;
    position_ = bytes;
    SeekFile();
    return 0;
}

void CWaveStream::SeekFile() {
    if (!memoryMode_ && file_->GetFilePointer() != nullptr) {
        fseeko(file_->GetFilePointer(), static_cast<off_t>(dataOffset_ + position_), SEEK_SET);
    }
}

uint32_t CWaveStream::Read(void* buffer, uint32_t bytes) {
    const uint32_t n = position_ < dataLength_ ? std::min(bytes, dataLength_ - position_) : 0;
    if (n == 0) return 0;
    uint32_t count = 0;
    if (memoryMode_) {
        std::memcpy(buffer, static_cast<const uint8_t*>(file_->GetMemory()) + dataOffset_ + position_, n);
        count = n;
    } else {
        count = static_cast<uint32_t>(std::fread(buffer, 1, n, file_->GetFilePointer()));
    }
    position_ += count;
    return count;
}

}  // namespace tovarineGameSDK3rd::Multimedia

#include "sound/acm_stream.h"

#include <algorithm>
#include <cstring>

#include "foundation/vtl/text_output_stream.h"
#include "platform/riff.h"

namespace tovarineGameSDK3rd::Multimedia {

using morna::platform::FourCC;
using morna::platform::RiffChunk;
using morna::platform::RiffReader;

namespace {

// MPEG-1 bit rates in kbit/s by layer (1 to 3) and index; 0 marks free format and the forbidden index.
constexpr uint32_t kBitRates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
constexpr uint32_t kSampleRates[4] = {44100, 48000, 32000, 0};

constexpr uint32_t kTailLimit = 500;     // a smaller tail is decoded from a zero-padded copy
constexpr uint32_t kPaddedTail = 1000;

}  // namespace

CACMStream::CACMStream() : file_(new Auxiliary::CFile) { Close(); }

CACMStream::~CACMStream() { Close(); }

int32_t CACMStream::Close() {
    codec_.reset();
    file_->Close();
    source_ = morna::platform::CodecFormat();
    pcmFormat_ = WAVEFORMATEX();
    dataLength_ = dataOffset_ = sourcePos_ = lengthMs_ = pcmPos_ = sourceBlock_ = destBlock_ = 0;
    return 0;
}

int32_t CACMStream::Open(const char* name) {
    Close();
    const int32_t read = file_->Read(name);
    if (read != 0) {
        GetErrorLog().Out("CACMStream::Open ファイル読み込みに失敗(ret=%d) - %s", read, name);
        return 1;
    }
    int32_t r = InitializeNormal();
    if (r == 2) r = InitializeMP3();
    if (r != 0) {
        GetErrorLog().Out("CACMStream::Open オープンに失敗(ret=%d) - %s", r, name);
        Close();
        return 2;
    }
    if (!morna::platform::SuggestPcmFormat(source_.wave, pcmFormat_)) {
        GetErrorLog().Out("CACMStream::Open acmFormatSuggest()に失敗");
        Close();
        return 3;
    }
    if (morna::platform::OpenAudioCodec(source_, pcmFormat_, codec_) != 0) {
        GetErrorLog().Out("CACMStream::Open acmStreamOpen()に失敗");
        Close();
        return 4;
    }
    if (!codec_->SizeBySource(sourceBlock_, destBlock_)) {
        GetErrorLog().Out("CACMStream::Open acmStreamSize()に失敗");
        Close();
        return 5;
    }
    return 0;
}

int32_t CACMStream::InitializeNormal() {
    RiffReader riff(Memory(), file_->GetSize());
    if (!riff.IsOpen()) {
        GetErrorLog().Out("CACMStream::InitializeNormal mmioOpenに失敗");
        return 1;
    }
    RiffChunk wave, fmt, data;
    if (!riff.Descend(wave, nullptr, RiffReader::Find::kRiff, FourCC("WAVE"))) {
        GetErrorLog().Out("CACMStream::InitializeNormal Waveファイルでない");
        return 2;
    }
    if (!riff.Descend(fmt, &wave, RiffReader::Find::kChunk, FourCC("fmt "))) {
        GetErrorLog().Out("CACMStream::InitializeNormal fmtチャンクが指定できない");
        return 3;
    }
    // The record and as many of its extra bytes as the chunk holds.
    const uint8_t* record = Memory() + fmt.dataOffset;
    source_.wave = morna::platform::ReadWaveFormat(record, fmt.size);
    if (fmt.size > morna::platform::kWaveFormatSize) {
        const uint32_t extra = std::min<uint32_t>(source_.wave.extraSize, fmt.size - morna::platform::kWaveFormatSize);
        source_.extra.assign(record + morna::platform::kWaveFormatSize, record + morna::platform::kWaveFormatSize + extra);
    }
    if (source_.wave.formatTag == morna::platform::kWaveFormatPcm) {
        GetErrorLog().Out("CACMStream::InitializeNormal ACMを使うまでもない");
        return 4;
    }
    riff.Ascend(fmt);
    if (!riff.Descend(data, &wave, RiffReader::Find::kChunk, FourCC("data"))) {
        GetErrorLog().Out("CACMStream::InitializeNormal データチャンクに行けない");
        return 4;
    }
    if (source_.wave.avgBytesPerSec == 0) {
        GetErrorLog().Out("CACMStream::InitializeNormal 平均転送レートが0");
        return 4;
    }
    dataLength_ = data.size;
    dataOffset_ = static_cast<uint32_t>(data.dataOffset);
    sourceBlock_ = source_.wave.blockAlign;
    lengthMs_ = static_cast<uint32_t>(static_cast<uint64_t>(dataLength_) * 1000 / source_.wave.avgBytesPerSec);
    return 0;
}

int32_t CACMStream::InitializeMP3() {
    uint32_t size = file_->GetSize();
    const uint8_t* p = Memory();
    if (size <= 128 || p == nullptr) {
        GetErrorLog().Out("CACMStream::InitializeMP3 ファイルサイズが異常(dwFileSize=%d)", static_cast<int32_t>(size));
        return 1;
    }
    uint32_t tag = 0;
    if (std::memcmp(p, "ID3", 3) == 0) {
        tag = ((p[6] * 128u + p[7]) * 128u + p[8]) * 128u + p[9];
        tag += p[3] >= 4 && (p[5] & 0x10) != 0 ? 20 : 10;
        if (static_cast<uint64_t>(size) <= static_cast<uint64_t>(tag) + 128) {
            GetErrorLog().Out("CACMStream::InitializeMP3 ID3ヘッダ長が異常(availSize=%d, dwID3Size=%d)",
                              static_cast<int32_t>(size), static_cast<int32_t>(tag));
            return 1;
        }
        p += tag;
        size -= tag;
    }
    if (p[0] != 0xFF) {
        GetErrorLog().Out("CACMStream::InitializeMP3 MP3チェックphase1に失敗(src[0]=0x%X)", p[0]);
        return 1;
    }
    if ((p[1] & 0xF8) != 0xF8) {
        GetErrorLog().Out("CACMStream::InitializeMP3 MP3チェックphase2に失敗(src[1]=0x%X)", p[1]);
        return 1;
    }
    const uint32_t layer = 4 - ((p[1] >> 1) & 3);
    if (layer == 4) {
        GetErrorLog().Out("CACMStream::InitializeMP3 MP3が無効なレイヤ");
        return 1;
    }
    const uint32_t bitRate = kBitRates[layer - 1][p[2] >> 4];
    const uint32_t sampleRate = kSampleRates[(p[2] >> 2) & 3];
    // Free format, the forbidden index and the reserved rate would divide by 0 below.
    if (bitRate == 0 || sampleRate == 0) {
        GetErrorLog().Out("CACMStream::InitializeMP3 MP3のビットレートかサンプリングレートが無効(src[2]=0x%X)", p[2]);
        return 1;
    }
    // The 30-byte MPEG layer 3 record: the 18 bytes, then ID, flags, block size,
    // frames per block and codec delay.
    WAVEFORMATEX& w = source_.wave;
    w = WAVEFORMATEX();
    w.formatTag = morna::platform::kWaveFormatMpegLayer3;
    w.channels = (p[3] & 0xC0) == 0xC0 ? 1 : 2;
    w.samplesPerSec = sampleRate;
    w.avgBytesPerSec = bitRate * 1000 / 8;
    w.blockAlign = 1;
    w.bitsPerSample = 0;
    w.extraSize = 12;
    const uint16_t blockSize = static_cast<uint16_t>(static_cast<int32_t>(72000 * bitRate) / static_cast<int32_t>(sampleRate));
    source_.extra.assign(12, 0);
    morna::platform::StoreLE16(source_.extra.data(), 1);
    morna::platform::StoreLE32(source_.extra.data() + 2, 2);
    morna::platform::StoreLE16(source_.extra.data() + 6, blockSize);
    morna::platform::StoreLE16(source_.extra.data() + 8, 1);
    morna::platform::StoreLE16(source_.extra.data() + 10, 1393);

    const uint8_t* end = Memory() + file_->GetSize();
    // Only a tag that leaves the frame header before it: a shorter rest would make
    // the data's length wrap.
    if (size >= 128 + 4 && std::memcmp(end - 128, "TAG", 3) == 0) size -= 128;
    dataOffset_ = tag + 4;
    dataLength_ = size - 4;
    sourceBlock_ = blockSize;
    lengthMs_ = dataLength_ * 8 / bitRate;
    return 0;
}

int32_t CACMStream::GetCurrentPos() { return StreamMs(pcmPos_, pcmFormat_.avgBytesPerSec); }

int32_t CACMStream::SetCurrentPos(int32_t ms) {
    uint32_t bytes = 0;
    if (!StreamBytes(pcmFormat_.avgBytesPerSec, ms, bytes)) return 1;
    if (static_cast<uint32_t>(ms) >= lengthMs_) return 2;  // unsigned: a negative ms is past the end
    if (codec_ != nullptr && !codec_->Reset()) {
        GetErrorLog().Out("CACMStream::SetCurrentPos acmStreamOpen()に失敗");
        return 3;
    }
    uint32_t source = 0;
    if (codec_ != nullptr) codec_->SizeByDestination(bytes, source);
    sourcePos_ = std::min(source, dataLength_);
    pcmPos_ = bytes;
    return 0;
}

uint32_t CACMStream::Read(void* buffer, uint32_t bytes) {
    if (Memory() == nullptr || codec_ == nullptr) return 0xFFFFFFFFu;
    if (sourcePos_ >= dataLength_) return 0;
    const uint8_t* src = Memory() + dataOffset_ + sourcePos_;
    const uint32_t remaining = dataLength_ - sourcePos_;
    uint32_t srcLength = remaining;
    // A short tail goes to the codec with zeros behind it, so its last frame
    // completes; the zeros are never decoded as units of their own (a G.711 file
    // would end in a full-scale click).
    uint8_t padded[kPaddedTail];
    if (srcLength < kTailLimit) {
        std::memset(padded, 0, sizeof padded);
        std::memcpy(padded, src, srcLength);
        src = padded;
        srcLength = kPaddedTail;
    }
    uint32_t used = 0, produced = 0;
    if (!codec_->Convert(src, srcLength, remaining, static_cast<uint8_t*>(buffer), bytes, used, produced)) {
        GetErrorLog().Out("CACMStream::Read acmStreamConvert()に失敗");
        return 0;
    }
    if (produced != 0) sourcePos_ = std::min(sourcePos_ + std::min(used, dataLength_ - sourcePos_), dataLength_);
    pcmPos_ += produced;
    return produced;
}

}  // namespace tovarineGameSDK3rd::Multimedia

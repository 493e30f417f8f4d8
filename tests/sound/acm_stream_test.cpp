#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/appframe/object_creater.h"
#include "sound/acm_stream.h"
#include "sound/sound_stream_factory.h"
#include "sound/wave_stream.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/sound/stream_helpers.h"
#include "tests/sound/sndfile_files.h"
#include "tools/wave/wave_writer.h"

using namespace tovarineGameSDK3rd::Multimedia;
using morna::test::MemoryName;
using morna::test::ReadAll;
using morna::tools::Bytes;

namespace {

// A bare MPEG-1 layer III header for 128 kbit/s, 44.1 kHz, stereo, and zeros.
Bytes MpegHeaderFile(size_t size) {
    Bytes b(size, 0);
    b[0] = 0xFF, b[1] = 0xFB, b[2] = 0x90, b[3] = 0x00;
    return b;
}

class AcmStreamTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return folder_.Path() + "/" + name; }
    morna::test::TempBaseFolder folder_{"morna-acm"};
};

}  // namespace

TEST_F(AcmStreamTest, AdpcmAndG711DecodeAsTheReferenceDoes) {
    const struct {
        const char* name;
        int format;
        int channels;
    } cases[] = {
        {"ima1.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1}, {"ima2.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 2},
        {"ms1.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 1},   {"ms2.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 2},
        {"alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, 2},      {"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(morna::test::WriteSndFile(Path(c.name), c.format, 22050, c.channels, morna::test::TestSignal(20000, c.channels)));
        const std::vector<int16_t> reference = morna::test::ReadSndFile(Path(c.name));
        CACMStream s;
        ASSERT_EQ(s.Open(c.name), 0);
        EXPECT_EQ(s.GetFormat()->avgBytesPerSec, 22050u * 2 * c.channels);
        const Bytes pcm = ReadAll(s, 4000);
        // Blocks decode whole; the reference stops at the frame count the file states.
        ASSERT_GE(pcm.size(), reference.size() * 2);
        EXPECT_EQ(0, std::memcmp(pcm.data(), reference.data(), reference.size() * 2));
        // From a block boundary the decoder starts afresh and gives the same samples.
        ASSERT_EQ(s.SetCurrentPos(500), 0);
        const Bytes later = ReadAll(s, 65536);
        ASSERT_GE(later.size(), 1000u);
        const size_t at = pcm.size() - later.size();
        EXPECT_EQ(0, std::memcmp(pcm.data() + at, later.data(), 1000));
    }
}

TEST_F(AcmStreamTest, MpegReadsTheSameInAnyPieces) {
    ASSERT_TRUE(morna::test::WriteSndFile(Path("tone.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2,
                                          morna::test::TestSignal(44100, 2)));
    std::vector<Bytes> reads;
    for (uint32_t piece : {1024u, 65536u, 0u}) {
        CACMStream s;
        ASSERT_EQ(s.Open("tone.mp3"), 0);
        reads.push_back(ReadAll(s, piece != 0 ? piece : MsToBytes(s.GetFormat()->avgBytesPerSec, s.GetLength())));
        const int32_t at = s.GetCurrentPos();
        EXPECT_EQ(s.SetCurrentPos(s.GetLength()), 2);
        EXPECT_EQ(s.GetCurrentPos(), at);
    }
    // About a second of audio, less the first frame (its header is not fed).
    EXPECT_GT(reads[0].size(), 44100u * 4 * 9 / 10);
    EXPECT_EQ(reads[0], reads[1]);
    EXPECT_EQ(reads[0], reads[2]);
}

TEST_F(AcmStreamTest, MpegHeaderRules) {
    morna::test::LogCapture log;
    CACMStream s;
    const Bytes b128 = MpegHeaderFile(128), b129 = MpegHeaderFile(129);
    EXPECT_EQ(s.Open(MemoryName(b128).c_str()), 2);
    EXPECT_TRUE(log.Contains("ファイルサイズが異常(dwFileSize=128)"));
    ASSERT_EQ(s.Open(MemoryName(b129).c_str()), 0);
    const auto& f = s.GetSourceFormat();
    EXPECT_EQ(f.wave.avgBytesPerSec, 16000u);
    EXPECT_EQ(f.wave.channels, 2);
    EXPECT_EQ(morna::platform::LoadLE16(f.extra.data() + 6), 208);  // block size
    EXPECT_EQ(s.GetLength(), (129 - 4) * 8 / 128);

    // ID3v2: 4 size bytes, taken whole, plus 10, or 20 for a v2.4 tag with a footer.
    for (const auto& [version, flags, add] : {std::tuple{3, 0x10, 10}, std::tuple{4, 0x10, 20}, std::tuple{4, 0x00, 10}}) {
        Bytes file{'I', 'D', '3', static_cast<uint8_t>(version), 0, static_cast<uint8_t>(flags), 0, 0, 1, 0x85};
        file.resize(261 + add, 0);  // (1 x 128 + 0x85) bytes of tag
        const Bytes frame = MpegHeaderFile(200);
        file.insert(file.end(), frame.begin(), frame.end());
        EXPECT_EQ(s.Open(MemoryName(file).c_str()), 0) << version << " " << flags;
    }
    // Bit-rate index 15 and sample-rate index 3 would divide by zero.
    for (uint8_t third : {0xF0, 0x9C}) {
        Bytes bad = MpegHeaderFile(400);
        bad[2] = third;
        EXPECT_EQ(s.Open(MemoryName(bad).c_str()), 2);
    }
}

TEST_F(AcmStreamTest, RefusalsAndTheTail) {
    morna::test::LogCapture log;
    CACMStream s;
    ASSERT_TRUE(morna::tools::SaveBytes(Path("pcm.wav"), morna::tools::PcmWaveFileBytes(1, 8000, 8, Bytes(1000, 1))));
    EXPECT_EQ(s.Open("pcm.wav"), 2);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"CACMStream::InitializeNormal ACMを使うまでもない",
                                                     "CACMStream::Open オープンに失敗(ret=4) - pcm.wav"}));
    morna::platform::WaveFormat f = morna::platform::PcmWaveFormat(1, 8000, 4);
    f.formatTag = 0x11;
    f.blockAlign = 4;  // no room for samples
    f.avgBytesPerSec = 4000;
    ASSERT_TRUE(morna::tools::SaveBytes(Path("small.wav"), morna::tools::WaveFileBytes(f, Bytes(64))));
    EXPECT_EQ(s.Open("small.wav"), 4);
    f.formatTag = 0x31;  // no codec
    ASSERT_TRUE(morna::tools::SaveBytes(Path("gsm.wav"), morna::tools::WaveFileBytes(f, Bytes(64))));
    EXPECT_EQ(s.Open("gsm.wav"), 3);

    // Three IMA blocks and a 100-byte tail: the tail decodes as a whole block, then the end.
    f = morna::platform::PcmWaveFormat(1, 8000, 4);
    f.formatTag = 0x11;
    f.blockAlign = 256;
    f.avgBytesPerSec = 4055;
    ASSERT_TRUE(morna::tools::SaveBytes(Path("tail.wav"), morna::tools::WaveFileBytes(f, Bytes(3 * 256 + 100, 0x12))));
    ASSERT_EQ(s.Open("tail.wav"), 0);
    std::vector<uint8_t> buffer(1 << 16);
    EXPECT_EQ(s.Read(buffer.data(), 3 * 1010), 3u * 1010);
    EXPECT_EQ(s.Read(buffer.data(), 1 << 16), 1010u);
    EXPECT_EQ(s.Read(buffer.data(), 1 << 16), 0u);
}

namespace {
// A stream class that opens anything, registered by name in the object creator.
class CTestStream : public CNullSoundStream {
public:
    int32_t Open(const char*) override { return 0; }
};
}  // namespace

TEST_F(AcmStreamTest, FactoryPicksTheStreamByExtensionAndTrial) {
    tovarineGameSDK3rd::AppFrame::CObjectCreater::GetInstance()->RegisterClass(
        "CTestStreamOfSoundTests", new tovarineGameSDK3rd::AppFrame::CObjectFactory<CTestStream, ISoundStream>);
    const Bytes pcm = morna::tools::PcmWaveFileBytes(1, 8000, 8, Bytes(800, 0x80));
    for (const char* name : {"a.WAV", "pcm"}) ASSERT_TRUE(morna::tools::SaveBytes(Path(name), pcm));
    ASSERT_TRUE(morna::test::WriteSndFile(Path("ima.wav"), SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 8000, 1,
                                          morna::test::TestSignal(4000, 1)));
    ASSERT_TRUE(morna::tools::SaveBytes(Path("song.ogg"), pcm));

    CSoundStreamFactory factory;
    factory.GetStreamMap()->Write("XyZ", "CTestStreamOfSoundTests");
    factory.GetStreamMap()->Write("ogg", "CVorbisStream");
    EXPECT_NE(dynamic_cast<CWaveStream*>(factory.Open("a.WAV").GetNoCheck()), nullptr);
    EXPECT_NE(dynamic_cast<CTestStream*>(factory.Open("b.xyz").GetNoCheck()), nullptr);
    EXPECT_NE(dynamic_cast<CACMStream*>(factory.Open("ima.wav").GetNoCheck()), nullptr);
    // Without a dot the WAVE stream is not tried; the compressed stream refuses PCM.
    EXPECT_EQ(factory.Open("pcm")->GetFormat(), nullptr);
    EXPECT_EQ(factory.Open("song.ogg")->GetFormat(), nullptr);
}

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sound/wave_stream.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/sound/stream_helpers.h"
#include "tools/pack/pack_writer.h"
#include "tools/wave/wave_writer.h"

using namespace tovarineGameSDK3rd::Multimedia;
using morna::test::MemoryName;
using morna::test::ReadAll;
using morna::tools::Bytes;

namespace {

Bytes Ramp(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return b;
}

class WaveStreamTest : public ::testing::Test {
protected:
    // Writes the bytes as name on disk and answers the name.
    std::string Put(const std::string& name, const Bytes& bytes) {
        EXPECT_TRUE(morna::tools::SaveBytes(folder_.Path() + "/" + name, bytes));
        return name;
    }
    morna::test::TempBaseFolder folder_{"morna-wave"};
};

}  // namespace

TEST_F(WaveStreamTest, DiskArchiveAndMemoryGiveTheSameBytesAndPositions) {
    const Bytes data = Ramp(11025 + 301);
    morna::tools::WaveLayout layout;
    layout.after = {{"LIST", Bytes(12, 'x')}};  // Read must stop at the end of "data"
    const Bytes file = morna::tools::WaveFileBytes(morna::platform::PcmWaveFormat(1, 11025, 8), data, layout);
    Put("a.wav", file);
    const std::string archive = morna::tools::PackWriter("tovapkEx").Add("b.wav", std::string(file.begin(), file.end())).Bytes();
    Put("snd.dat", Bytes(archive.begin(), archive.end()));
    for (const std::string& name : {std::string("a.wav"), std::string("snd\\b.wav"), MemoryName(file)}) {
        SCOPED_TRACE(name);
        CWaveStream s;
        ASSERT_EQ(s.Open(name.c_str()), 0);
        EXPECT_EQ(s.IsMemoryMode(), name != "a.wav");
        EXPECT_EQ(s.GetLength(), 1027);
        EXPECT_EQ(ReadAll(s, 1000), data);
        EXPECT_EQ(s.SetCurrentPos(500), 0);  // 11025 x 500 / 1000 = byte 5512
        EXPECT_EQ(s.GetCurrentPos(), 499);
        EXPECT_EQ(ReadAll(s, 4096), Bytes(data.begin() + 5512, data.end()));
        EXPECT_EQ(s.SetCurrentPos(s.GetLength()), 2);
    }
}

TEST_F(WaveStreamTest, TruncatedFileReadsWhatItHoldsInBothModes) {
    const Bytes data = Ramp(4000);
    const Bytes whole = morna::tools::PcmWaveFileBytes(2, 22050, 16, data);
    const Bytes file(whole.begin(), whole.end() - 1234);
    Put("cut.wav", file);
    for (const std::string& name : {std::string("cut.wav"), MemoryName(file)}) {
        CWaveStream s;
        ASSERT_EQ(s.Open(name.c_str()), 0);
        EXPECT_EQ(ReadAll(s, 777), Bytes(data.begin(), data.end() - 1234)) << name;
    }
}

TEST_F(WaveStreamTest, FormatsWithoutUsableDataAnswerTheirCodes) {
    CWaveStream s;
    // An average rate of 0 leaves no position to compute.
    morna::platform::WaveFormat zero = morna::platform::PcmWaveFormat(1, 8000, 8);
    zero.avgBytesPerSec = 0;
    ASSERT_EQ(s.Open(Put("zero.wav", morna::tools::WaveFileBytes(zero, Ramp(100))).c_str()), 0);
    EXPECT_EQ(s.GetLength(), -1);
    EXPECT_EQ(s.GetCurrentPos(), -1);
    EXPECT_EQ(s.SetCurrentPos(0), 1);

    ASSERT_EQ(s.Open(Put("empty.wav", morna::tools::PcmWaveFileBytes(1, 8000, 8, {})).c_str()), 0);
    EXPECT_EQ(s.SetCurrentPos(0), 2);

    morna::test::LogCapture log;
    morna::platform::WaveFormat adpcm = morna::platform::PcmWaveFormat(1, 8000, 4);
    adpcm.formatTag = 0x11;
    EXPECT_EQ(s.Open(Put("ima.wav", morna::tools::WaveFileBytes(adpcm, Ramp(256))).c_str()), 2);
    // "data" before "fmt " is not found: the search only goes forward.
    const Bytes fmt(morna::tools::WaveFileBytes(morna::platform::PcmWaveFormat(1, 8000, 8), {}));
    Bytes swapped{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    const Bytes dataChunk = morna::tools::RiffChunkBytes("data", Ramp(10));
    swapped.insert(swapped.end(), dataChunk.begin(), dataChunk.end());
    swapped.insert(swapped.end(), fmt.begin() + 12, fmt.begin() + 12 + 26);  // its "fmt " chunk
    morna::platform::StoreLE32(swapped.data() + 4, static_cast<uint32_t>(swapped.size() - 8));
    EXPECT_EQ(s.Open(Put("swapped.wav", swapped).c_str()), 2);
    EXPECT_EQ(s.Open("missing.wav"), 1);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"CWaveStream::Initialize WAVE_FORMAT_PCMじゃない",
                                                     "CWaveStream::Initialize データチャンクに行けない",
                                                     "CWaveStream::Load missing.wavのファイル読み込み時のエラー"}));
}

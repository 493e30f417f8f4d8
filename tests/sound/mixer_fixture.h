// Test helper: the mixer on its manual back end with one device and wave output,
// frames pulled by hand, and wave files written into a temporary base folder.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sound_output.h"
#include "sound/direct_sound.h"
#include "tests/common/temp_base_folder.h"
#include "tools/wave/wave_writer.h"

namespace morna::test {

// Chooses the manual back end for its lifetime; made before the device.
struct ManualBackend {
    ManualBackend() { morna::platform::SetOutputBackend(morna::platform::OutputBackend::kManual); }
    ~ManualBackend() { morna::platform::SetOutputBackend(morna::platform::OutputBackend::kDevice); }
};

class MixerTest : public ::testing::Test {
protected:
    std::vector<int16_t> Render(uint32_t frames) {
        std::vector<int16_t> out(2 * static_cast<size_t>(frames));
        morna::platform::RenderSoundOutput(out.data(), frames);
        return out;
    }
    // Writes 16-bit samples as a PCM WAVE file and answers its name.
    tovarineGameSDK3rd::VTL::VTLstring PutWave(const std::string& name, uint16_t channels, uint32_t rate,
                                               const std::vector<int16_t>& samples) {
        std::vector<uint8_t> bytes(samples.size() * 2);
        std::memcpy(bytes.data(), samples.data(), bytes.size());
        EXPECT_TRUE(morna::tools::SaveBytes(folder_.Path() + "/" + name, morna::tools::PcmWaveFileBytes(channels, rate, 16, bytes)));
        return name.c_str();
    }
    // A stereo ramp that never repeats within 2^16 frames, without zeros.
    static std::vector<int16_t> Ramp(size_t frames) {
        std::vector<int16_t> s(2 * frames);
        for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>((static_cast<int32_t>((i * 7919) % 65000) - 32500) | 1);
        return s;
    }

    ManualBackend manual_;
    TempBaseFolder folder_{"morna-mixer"};
    tovarineGameSDK3rd::Multimedia::CDirectSound device_;
    tovarineGameSDK3rd::Multimedia::CWaveOutputDirectSound output_{&device_};
};

}  // namespace morna::test

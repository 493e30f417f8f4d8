#include "game/files/key_control.h"

#include <gtest/gtest.h>

#include "tests/common/checked_input_scope.h"
#include "tests/common/file_bytes.h"
#include "tests/common/temp_base_folder.h"

using Bytes = std::vector<uint8_t>;

namespace {

class GameKeysTest : public ::testing::Test {
protected:
    uint32_t Frame(std::initializer_list<uint8_t> held, CKeyControl& kc) {
        std::fill(std::begin(sys_.keys), std::end(sys_.keys), 0);
        for (uint8_t k : held) sys_.keys[k] = 0x80;
        return kc.Update();
    }
    morna::test::TempBaseFolder folder_{"morna-gamekeys"};
    std::string path_ = folder_.Path() + "/save/key.cfg";
    morna::test::FakeSystem sys_;
    morna::test::CheckedInputScope scope_{sys_};
};

TEST_F(GameKeysTest, FirstStartWritesTheDefaultsInTheirOrder) {
    std::filesystem::create_directory(folder_.Path() + "/save");
    CKeyControl kc;
    const Bytes file = morna::test::ReadBytes(path_);
    ASSERT_EQ(file.size(), 102u);
    Bytes expected = {0x18, 0x00};
    for (KeyBinding b : CKeyControl::kDefaultBindings) {
        expected.insert(expected.end(), {uint8_t(b), uint8_t(b >> 8), uint8_t(b >> 16), uint8_t(b >> 24)});
    }
    expected.insert(expected.end(), {0x55, 0xCE, 0x5C, 0xCF});
    EXPECT_EQ(file, expected);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 10), (Bytes{0x18, 0, 0, 0, 0xC8, 0, 0, 1, 0, 0}));

    // F pauses (14), D fast-forwards (15); pad code 11 is button 7, "Pad ７".
    EXPECT_EQ(Frame({}, kc), 0u);
    EXPECT_EQ(Frame({0x21}, kc), 1u << 14);
    EXPECT_EQ(Frame({0x20}, kc), 1u << 15);
    EXPECT_EQ(CKeyControl::GetKeyName(256 + 11), "Pad ７");
    int padKey = -1;
    for (const auto& b : kc.GetConfig())
        if (b.device == 1 && b.code == 11) padKey = b.key;
    EXPECT_EQ(padKey, 14);
}

TEST_F(GameKeysTest, EmptyBindingFileLeavesOnlyTheNumericPad) {
    std::filesystem::create_directory(folder_.Path() + "/save");
    morna::test::WriteBytes(path_, {0, 0, 0, 0, 0, 0});
    CKeyControl kc;
    EXPECT_TRUE(kc.GetConfig().empty());
    EXPECT_EQ(morna::test::ReadBytes(path_).size(), 6u);  // loaded, not rewritten
    EXPECT_EQ(Frame({}, kc), 0u);
    EXPECT_EQ(Frame({0x48}, kc), 1u << 0);  // Num 8: up
    EXPECT_EQ(Frame({}, kc), 0u);
    EXPECT_EQ(Frame({0xC8}, kc), 0u);  // the arrow: nothing
}

}  // namespace

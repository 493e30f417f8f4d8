#include "foundation/auxiliary/serialize.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/auxiliary/file.h"
#include "foundation/vtl/exception.h"
#include "tests/common/temp_base_folder.h"

using namespace tovarineGameSDK3rd;
using namespace tovarineGameSDK3rd::Auxiliary;
using VTL::VTLstring;

namespace {

using Bytes = std::vector<uint8_t>;

// A record with one field of every kind the archive knows, in a fixed order.
struct SRecord : IArchive {
    int64_t i64 = 0;
    uint64_t u64 = 0;
    double d = 0;
    uint32_t u32 = 0;
    uint16_t u16 = 0;
    VTLstring text;
    uint8_t u8 = 0;
    bool flag = false;
    float f = 0;
    int16_t i16 = 0;
    char c = 0;
    int32_t i32 = 0;
    std::vector<uint32_t> vu32;
    std::vector<uint16_t> vu16;
    std::vector<VTLstring> vtext;
    std::vector<uint8_t> vu8;
    std::vector<bool> bits;
    std::vector<int32_t> vi32;
    VTL::smart_ptr<uint32_t> au32;
    VTL::smart_ptr<uint8_t> au8;
    VTL::smart_ptr<int32_t> ai32;

    void Serialize(ISerialize& ar) override {
        ar << i64 << u64 << d << u32 << u16 << text << u8 << flag << f << i16 << c << i32;
        ar << vu32 << vu16 << vtext << vu8 << bits << vi32 << au32 << au8 << ai32;
    }

    static SRecord Sample() {
        SRecord r;
        r.i64 = -2;
        r.u64 = 0x0102030405060708u;
        r.d = 1.5;
        r.u32 = 0x12345678;
        r.u16 = 0xBEEF;
        r.text = "ab";
        r.u8 = 0xFE;
        r.flag = true;
        r.f = -2.0f;
        r.i16 = -3;
        r.c = 'z';
        r.i32 = -1;
        r.vu32 = {7};
        r.vu16 = {1, 2, 3};
        r.vtext = {"x", ""};
        r.vu8 = {9, 8};
        r.bits = {true, false, true};
        r.vi32 = {-5};
        r.au32.AddArray(2);
        r.au32[0] = 0xA1;
        r.au32[1] = 0xA2;
        r.ai32.AddArray(1);
        r.ai32[0] = -7;
        return r;  // au8 stays null
    }
};

// The stored form of SRecord::Sample, written out by hand.
const Bytes kSampleBytes = {
    0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // int64 -2
    0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // uint64
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F,  // double 1.5
    0x78, 0x56, 0x34, 0x12,                          // uint32
    0xEF, 0xBE,                                      // uint16
    0x61, 0x62, 0x00,                                // "ab"
    0xFE,                                            // uint8
    0x01,                                            // bool
    0x00, 0x00, 0x00, 0xC0,                          // float -2
    0xFD, 0xFF,                                      // int16 -3
    0x7A,                                            // char
    0xFF, 0xFF, 0xFF, 0xFF,                          // int32 -1
    0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,  // vector<uint32> {7}
    0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00,  // vector<uint16>
    0x02, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00,        // vector<string> {"x", ""}
    0x02, 0x00, 0x00, 0x00, 0x09, 0x08,              // vector<uint8>
    0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,        // vector<bool>
    0x01, 0x00, 0x00, 0x00, 0xFB, 0xFF, 0xFF, 0xFF,  // vector<int32> {-5}
    0x02, 0x00, 0x00, 0x00, 0xA1, 0x00, 0x00, 0x00, 0xA2, 0x00, 0x00, 0x00,  // smart array u32
    0x00, 0x00, 0x00, 0x00,                          // null smart array u8
    0x01, 0x00, 0x00, 0x00, 0xF9, 0xFF, 0xFF, 0xFF,  // smart array i32
};

// A loaded record equals the sample when it stores back to the sample's bytes.
void ExpectStoresAsSample(SRecord& r) {
    CSerialize ar;
    ar << r;
    EXPECT_EQ(ar.GetData(), kSampleBytes);
}

CSerialize LoadingFrom(const Bytes& bytes) {
    CSerialize ar;
    ar.GetData() = bytes;
    ar.SetStoring(false);
    return ar;
}

}  // namespace

// Every kind in its layout; the same body loads what it stored (a null array in the stream
// empties the target).
TEST(Serialize, StoresEveryKindInItsLayoutAndLoadsItBack) {
    CSerialize ar;
    SRecord stored = SRecord::Sample();
    ar << stored;
    EXPECT_EQ(ar.GetData(), kSampleBytes);
    ar.SetStoring(false);
    SRecord loaded;
    loaded.au8.AddArray(3);
    ar << loaded;
    EXPECT_FALSE(ar.IsFailed());
    EXPECT_EQ(ar.GetReadPosition(), kSampleBytes.size());
    ExpectStoresAsSample(loaded);
}

// Loading keeps the data and rewinds, storing starts afresh; a boolean loads true for any
// non-zero byte; a failure sticks, values load as 0, until the archive is rewound by a mode.
TEST(Serialize, ModesAndFailureStickiness) {
    CSerialize ar = LoadingFrom({0x00, 0x02, 0xFF, 1, 'a', 'b'});
    bool a = true, b = false, c = false;
    ar << a << b << c;
    EXPECT_EQ(std::vector<bool>({a, b, c}), std::vector<bool>({false, true, true}));
    VTLstring str = "old";
    ar << str;  // no 0 byte anywhere
    EXPECT_TRUE(ar.IsFailed());
    EXPECT_TRUE(str.empty());
    ar.GetReadPosition() = 0;
    uint32_t v = 99;
    ar << v;  // the bytes are there, but the archive stays failed
    EXPECT_EQ(v, 0u);
    ar.SetStoring(false);
    EXPECT_FALSE(ar.IsFailed());
    ar << v;
    EXPECT_EQ(v, 0x01FF0200u);
    EXPECT_EQ(ar.GetData().size(), 6u);
    ar.SetStoring(true);
    EXPECT_TRUE(ar.GetData().empty());
}

// A nested archive carries its data, flag and position; one stored into itself stores its
// data as it was before; a nested load that fails empties the target.
TEST(Serialize, NestedArchives) {
    CSerialize inner;
    uint16_t x = 0x0201;
    inner << x;
    inner.SetStoringFlag(false);
    inner.GetReadPosition() = 1;
    CSerialize outer;
    outer << inner;
    EXPECT_EQ(outer.GetData(), (Bytes{2, 0, 0, 0, 0x01, 0x02, 0x00, 0x01, 0, 0, 0}));
    outer.SetStoring(false);
    CSerialize back;
    outer << back;
    EXPECT_EQ(back.GetData(), (Bytes{0x01, 0x02}));
    EXPECT_FALSE(back.IsStoring());
    EXPECT_EQ(back.GetReadPosition(), 1u);

    CSerialize self;
    uint8_t seven = 7;
    self << seven;
    self << self;
    EXPECT_EQ(self.GetData(), (Bytes{7, 1, 0, 0, 0, 7, 1, 0, 0, 0, 0}));

    CSerialize cut = LoadingFrom({5, 0, 0, 0, 1});
    cut << back;
    EXPECT_TRUE(cut.IsFailed());
    EXPECT_TRUE(back.GetData().empty());
}

TEST(Serialize, SmartArrayAwayFromItsStartThrowsBeforeStoring) {
    CSerialize ar;
    VTL::smart_ptr<uint32_t> a;
    a.AddArray(2);
    ++a;
    EXPECT_THROW(ar << a, VTL::CIndexOutOfBoundsException);
    EXPECT_TRUE(ar.GetData().empty());
}

// Damaged streams: each case is a stream and a body that loads from it; the
// archive must end failed, the body's values empty, nothing allocated on faith.
struct DamagedCase {
    const char* name;
    Bytes bytes;
};

class SerializeDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(SerializeDamaged, FailsAndYieldsEmptyValues) {
    CSerialize ar = LoadingFrom(GetParam().bytes);
    SRecord r = SRecord::Sample();
    ar << r;
    EXPECT_TRUE(ar.IsFailed());
    EXPECT_LE(ar.GetReadPosition(), GetParam().bytes.size());
    // The last field comes after every damage: empty, whatever its old value.
    EXPECT_TRUE(r.ai32.isNull());
}

Bytes Truncated(size_t n) { return Bytes(kSampleBytes.begin(), kSampleBytes.begin() + static_cast<long>(n)); }

Bytes WithCountAt(size_t offset, uint32_t count) {
    Bytes b = kSampleBytes;
    std::memcpy(b.data() + offset, &count, 4);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SerializeDamaged,
    ::testing::Values(DamagedCase{"Empty", {}}, DamagedCase{"InsideFirstValue", Truncated(3)},
                      DamagedCase{"InsideString", Truncated(31)},  // "ab" without its 0
                      DamagedCase{"InsideVectorCount", Truncated(48)},
                      DamagedCase{"InsideLastArray", Truncated(kSampleBytes.size() - 1)},
                      DamagedCase{"HugeVectorCount", WithCountAt(46, 0xFFFFFFFFu)},
                      DamagedCase{"CountJustTooLarge", WithCountAt(46, 17)},
                      DamagedCase{"HugeStringCount", WithCountAt(64, 0x7FFFFFFFu)},
                      DamagedCase{"HugeArrayCount", WithCountAt(92, 0x40000000u)}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return info.param.name; });

// ---- files ---------------------------------------------------------------------

namespace {

class SerializeFiles : public ::testing::Test {
protected:
    std::string Get(const std::string& relative) {
        std::ifstream in(dir_ + "/" + relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    morna::test::TempBaseFolder folder_{"morna-serialize"};
    const std::string dir_ = folder_.Path();
};

}  // namespace

TEST_F(SerializeFiles, SaveWritesTheStreamAndLoadReadsItBack) {
    CSerialize ar;
    SRecord stored = SRecord::Sample();
    ar << stored;
    ASSERT_EQ(ar.Save("record.sav"), 0);
    EXPECT_EQ(Get("record.sav"), std::string(kSampleBytes.begin(), kSampleBytes.end()));

    CSerialize in;
    ASSERT_EQ(in.Load("record.sav"), 0);
    EXPECT_TRUE(in.IsStoring());  // Load leaves the mode to the caller
    in.SetStoring(false);
    SRecord loaded;
    in << loaded;
    EXPECT_FALSE(in.IsFailed());
    ExpectStoresAsSample(loaded);
}

// Failures leave the data alone and write nothing; a load clears an earlier failure.
TEST_F(SerializeFiles, FailuresLeaveTheDataAlone) {
    CSerialize ar;
    uint32_t v = 1;
    ar << v;
    EXPECT_EQ(ar.Save(""), 1);
    EXPECT_EQ(ar.Save("no-such-folder\\x.sav"), 1);
    EXPECT_EQ(ar.Load("missing.sav"), 1);
    EXPECT_EQ(ar.GetData(), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(ar.Load(""), -1);
    EXPECT_TRUE(std::filesystem::is_empty(dir_));
    std::ofstream(dir_ + "/two.sav", std::ios::binary) << std::string("\x02\x00\x00\x00", 4);
    ar.SetStoring(false);
    ar << v << v;
    ASSERT_TRUE(ar.IsFailed());
    ASSERT_EQ(ar.Load("two.sav"), 0);
    ar.GetReadPosition() = 0;
    ar << v;
    EXPECT_FALSE(ar.IsFailed());
    EXPECT_EQ(v, 2u);
}

TEST(SerializeMemory, LoadReadsAMemoryName) {
    const Bytes bytes = {0x61, 0x00, 0x07, 0x00, 0x00, 0x00};
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(bytes.data())), bytes.size());
    CSerialize ar;
    ASSERT_EQ(ar.Load(name), 0);
    ar.SetStoring(false);
    VTLstring s;
    uint32_t v = 0;
    ar << s << v;
    EXPECT_EQ(s, "a");
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(ar.Load("!12"), 6);
}

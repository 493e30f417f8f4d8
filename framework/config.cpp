#include "framework/config.h"

#include <array>
#include <cstdio>

#include "foundation/auxiliary/file.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/file_system.h"

namespace KestraneGameBase2 {
namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint32_t ConfigCRC(const uint8_t* data, size_t size) {
    uint32_t c = 0;
    for (size_t i = 0; i < size; ++i) {
        c = (c >> 8) ^ kCrcTable[(c ^ data[i]) & 0xFFu];
        if ((i & 7u) == 7u) c = ~c;
    }
    return c;
}

void AppendCRC(Aux::ISerialize& ar) {
    std::vector<uint8_t>& data = ar.GetData();
    const uint32_t c = ConfigCRC(data);
    data.insert(data.end(), {uint8_t(c >> 24), uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
}

bool VerifyCRC(Aux::ISerialize& ar) {
    std::vector<uint8_t>& data = ar.GetData();
    if (data.size() < 4) return false;
    const uint8_t* t = data.data() + data.size() - 4;
    const uint32_t stored = uint32_t(t[0]) << 24 | uint32_t(t[1]) << 16 | uint32_t(t[2]) << 8 | t[3];
    data.resize(data.size() - 4);
    return stored == ConfigCRC(data);
}

int32_t ReadBoundedFile(const VTLstring& name, size_t limit, std::vector<uint8_t>& bytes) {
    Aux::CFile file;
    if (name.empty() || file.Open(name, "rb") != 0) return 1;
    std::FILE* f = file.GetFilePointer();
    size_t size = 0;
    if (!morna::platform::FileSize(f, size)) return 1;
    if (size > limit) return 2;
    std::vector<uint8_t> read(size);
    if (std::fread(read.data(), 1, size, f) != size) return 1;
    bytes.swap(read);
    return 0;
}

bool SaveStreamFile(const VTLstring& name, Aux::CSerialize& ar) {
    if (ar.Save(name) == 0) return false;
    tovarineGameSDK3rd::GetErrorLog().Out("SaveStreamFile %sを書き込めない", name.c_str());
    return true;
}

int32_t ReadCheckedFile(const VTLstring& name, Aux::CSerialize& ar) {
    ar.Clear();
    // A file on disk is measured before the stream reads it whole; the stream still reads the
    // names it finds in a pack archive or in memory, which are as large as what holds them.
    {
        Aux::CFile file;
        size_t size = 0;
        if (!name.empty() && file.Open(name, "rb") == 0 && morna::platform::FileSize(file.GetFilePointer(), size) &&
            size > kSettingsFileLimit)
            return 2;
    }
    if (ar.Load(name) != 0) return 1;
    if (!VerifyCRC(ar)) return 2;
    ar.SetStoring(false);
    return 0;
}

bool WriteCheckedFile(const VTLstring& name, Aux::CSerialize& ar) {
    AppendCRC(ar);
    return SaveStreamFile(name, ar);
}

int32_t LoadRecord(Aux::CSerialize& ar, Aux::IArchive& record, bool withVersion) {
    // The record's own bytes are the copy to go back to: a derived record whose
    // fields load only in part (a byte of a wider field) is restored exactly.
    Aux::CSerialize before;
    before << record;
    int32_t version = 0;
    if (withVersion) ar << version;
    ar << record;
    if (!ar.IsFailed()) return 0;
    before.SetStoring(false);
    before << record;
    return 2;
}

// ---- SGlobalConfigBase

void SGlobalConfigBase::Reset() {
    keepBgmInactive = bgmOff = seOff = false;
    bgmVolume = seVolume = 160;
    cpuLevel = 3;
    freeBgmMemory = useJoystick = true;
    showFps = updateCheck = topmost = backgroundInput = false;
    reduceMemory = true;
    reserved = 0;
    loopFromHead = invincible = false;
}

void SGlobalConfigBase::Serialize(Aux::ISerialize& ar) {
    ar << keepBgmInactive << bgmOff << seOff << bgmVolume << seVolume << cpuLevel << freeBgmMemory << topmost
       << backgroundInput << useJoystick << showFps << reduceMemory << updateCheck << reserved << loopFromHead
       << invincible;
}

int32_t LoadConfigFile(const VTLstring& name, Aux::IArchive& record) {
    Aux::CSerialize ar;
    const int32_t r = ReadCheckedFile(name, ar);
    return r != 0 ? r : LoadRecord(ar, record, true);
}

bool SaveConfigFile(const VTLstring& name, int32_t version, Aux::IArchive& record) {
    Aux::CSerialize ar;
    ar << version << record;
    return WriteCheckedFile(name, ar);
}

int32_t SGlobalConfigBase::Load(const VTLstring& name) {
    fileName = name;
    return LoadConfigFile(name, *this);
}

bool SGlobalConfigBase::Save() { return SaveConfigFile(fileName, GetVersion(), *this); }

// ---- SSystemConfig

void SSystemConfig::Serialize(Aux::ISerialize& ar) {
    ar << reserved2 << reserved3 << reserved4 << reserved1 << fullScreen << width << height << windowX << windowY
       << lastVersion << reserved6;
}

int32_t SSystemConfig::Load(const VTLstring& name) {
    fileName = name;
    return LoadConfigFile(name, *this);
}

bool SSystemConfig::Save() { return SaveConfigFile(fileName, 0, *this); }

SSystemConfig& GetSystemConfig() {
    static SSystemConfig config;
    return config;
}

}  // namespace KestraneGameBase2

#pragma once
// Configuration records and their files. A file is the version word (i32, 0),
// the record's fields in its own serialization order and a 4-byte big-endian
// trailer, ConfigCRC of every byte before it. Key bindings, rankings and
// replays carry the same trailer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/auxiliary/serialize.h"
#include "foundation/vtl/vtl_string.h"

namespace KestraneGameBase2 {

namespace Aux = tovarineGameSDK3rd::Auxiliary;
using VTLstring = tovarineGameSDK3rd::VTL::VTLstring;

// Reflected CRC-32 steps (polynomial 0xEDB88320) from 0, every bit inverted after
// each whole 8-byte block; the 0-7 bytes after the last block are not followed by
// an inversion, nor is the result. Stored files depend on this exact rule.
uint32_t ConfigCRC(const uint8_t* data, size_t size);
inline uint32_t ConfigCRC(const std::vector<uint8_t>& bytes) { return ConfigCRC(bytes.data(), bytes.size()); }

// Appends the four trailer bytes (high byte first) to a stream's data.
void AppendCRC(Aux::ISerialize& ar);
// Removes the trailer and tells whether it matches the rest; false for a stream
// shorter than 4 bytes (which is left as it was).
bool VerifyCRC(Aux::ISerialize& ar);

// No settings file comes near this (key.cfg, the largest, holds at most 65535 four-byte
// bindings); a larger one is refused as damaged before it is read.
constexpr size_t kSettingsFileLimit = size_t{1} << 20;

// A file's bytes: 0 read, 1 it cannot be opened or read, 2 larger than limit (nothing
// read). bytes changes only on 0.
int32_t ReadBoundedFile(const VTLstring& name, size_t limit, std::vector<uint8_t>& bytes);
// Writes the stream as one whole file through a temporary name (the old file stays whole);
// true on failure, which the error log notes. An empty name fails at once.
bool SaveStreamFile(const VTLstring& name, Aux::CSerialize& ar);

// Reads a whole file of at most kSettingsFileLimit bytes and checks its trailer: 0 with the
// stream rewound for loading (trailer removed), 1 when the file cannot be read, 2 when it is
// too large or the trailer does not match.
int32_t ReadCheckedFile(const VTLstring& name, Aux::CSerialize& ar);
// Appends the trailer and writes the stream as SaveStreamFile does; true on failure.
bool WriteCheckedFile(const VTLstring& name, Aux::CSerialize& ar);

// Loads a record from a checked stream that ReadCheckedFile answered 0 for: a
// version word when withVersion, then the record. A stream that runs out before
// the record's last field leaves the record as it was and answers 2.
int32_t LoadRecord(Aux::CSerialize& ar, Aux::IArchive& record, bool withVersion);

// A configuration file of one record: 0, 1 or 2 as above.
int32_t LoadConfigFile(const VTLstring& name, Aux::IArchive& record);
// Writes the version word, the record and the trailer; true on failure.
bool SaveConfigFile(const VTLstring& name, int32_t version, Aux::IArchive& record);

// The framework's settings: sound switches and volumes, display and input options.
struct SGlobalConfigBase : Aux::IArchive {
    bool keepBgmInactive;
    bool bgmOff;
    bool seOff;
    int32_t bgmVolume;
    int32_t seVolume;
    int32_t cpuLevel;
    bool freeBgmMemory;
    bool useJoystick;
    bool showFps;
    bool updateCheck;
    bool topmost;
    bool backgroundInput;
    bool reduceMemory;
    uint8_t reserved;
    bool loopFromHead;
    bool invincible;
    VTLstring fileName;  // of the last Load; not serialized

    SGlobalConfigBase() { SGlobalConfigBase::Reset(); }

    void Serialize(Aux::ISerialize& ar) override;
    ~SGlobalConfigBase() override = default;
    // The version word written before the record.
    virtual int32_t GetVersion() { return 0; }
    virtual void Reset();
    // 0 loaded, 1 unreadable, 2 damaged; on 1 and 2 the record keeps its values.
    virtual int32_t Load(const VTLstring& name);
    // Writes to the name of the last Load; true on failure.
    virtual bool Save();
};

// Screen mode, picture size, window position and the last version the update
// check offered.
struct SSystemConfig : Aux::IArchive {
    bool fullScreen = false;
    int32_t width = 800;
    int32_t height = 600;
    int32_t windowX = 0x7FFFFFFF;
    int32_t windowY = 0x7FFFFFFF;
    uint32_t lastVersion = 0;
    uint8_t reserved1 = 0;
    int32_t reserved2 = -1;
    int32_t reserved3 = 0;
    int32_t reserved4 = -1;
    uint8_t reserved5 = 0;
    uint32_t reserved6 = 0;
    VTLstring fileName;

    void Serialize(Aux::ISerialize& ar) override;
    ~SSystemConfig() override = default;
    virtual int32_t Load(const VTLstring& name);
    virtual bool Save();
};

// The program's one system configuration.
SSystemConfig& GetSystemConfig();

}  // namespace KestraneGameBase2

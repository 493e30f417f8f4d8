#include "game/files/replay.h"

#include "framework/app_frame.h"
#include "game/files/ranking.h"
#include "game/ids.h"

namespace Aux = tovarineGameSDK3rd::Auxiliary;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

constexpr const char* kMagic = "morna";
// The keys a key-log byte keeps, from its bit 0 up.
constexpr KeyBit kLogged[] = {KeyBit::kDecide, KeyBit::kBack, KeyBit::kUp,   KeyBit::kLeft,
                              KeyBit::kDown,   KeyBit::kRight, KeyBit::kPause};

}  // namespace

void SerializeProgress(Aux::ISerialize& ar, SStageProgress& r) {
    ar << r.stage << r.scrollX << r.scrollY << r.eventStep << r.vertical << r.scrollSpeed << r.targetSpeed
       << r.nextColumn << r.backgroundOpacity << r.backgroundSpeed << r.scoreCarry;
}

uint8_t PackKeys(uint32_t mask) {
    uint8_t keys = 0;
    for (size_t i = 0; i < std::size(kLogged); ++i) {
        if ((mask & Bit(kLogged[i])) != 0) keys |= static_cast<uint8_t>(1u << i);
    }
    return keys;
}

uint32_t UnpackKeys(uint8_t keys) {
    uint32_t mask = 0;
    for (size_t i = 0; i < std::size(kLogged); ++i) {
        if ((keys >> i & 1u) != 0) mask |= Bit(kLogged[i]);
    }
    return mask;
}

std::vector<uint8_t> EncodeReplay(SStageProgress header, const std::vector<uint8_t>& keys) {
    Aux::CSerialize ar;
    VTLstring magic = kMagic;
    std::vector<uint8_t> log = keys;
    ar << magic;
    SerializeProgress(ar, header);
    ar << log;
    return WithTrailer(std::move(ar.GetData()));
}

int32_t DecodeReplay(std::vector<uint8_t> bytes, SStageProgress& header, std::vector<uint8_t>& keys) {
    Aux::CSerialize ar;
    if (!OpenCheckedBytes(std::move(bytes), ar)) return 1;
    VTLstring magic;
    ar << magic;
    if (ar.IsFailed() || magic != kMagic) return 2;
    SStageProgress read = header;
    read.Reset();
    SerializeProgress(ar, read);
    std::vector<uint8_t> log;
    ar << log;  // a count past the bytes fails before anything is allocated
    if (ar.IsFailed()) return 1;
    header = read;
    keys.assign(log.begin(), log.end());  // the caller's reserved room stays
    return 0;
}

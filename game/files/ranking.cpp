#include "game/files/ranking.h"

#include <algorithm>

#include "framework/config.h"

namespace Aux = tovarineGameSDK3rd::Auxiliary;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

void SerializeEntry(Aux::ISerialize& ar, SRankingEntry& entry) {
    ar << entry.score;
    for (uint8_t& d : entry.date) ar << d;
}

}  // namespace

// ---- the files

int32_t ReadSaveFile(const VTLstring& name, std::vector<uint8_t>& bytes) {
    return KestraneGameBase2::ReadBoundedFile(name, kSaveFileLimit, bytes);
}

bool WriteSaveFile(const VTLstring& name, std::vector<uint8_t> bytes) {
    Aux::CSerialize ar;
    ar.GetData().swap(bytes);
    return KestraneGameBase2::SaveStreamFile(name, ar);
}

bool OpenCheckedBytes(std::vector<uint8_t> bytes, Aux::CSerialize& ar) {
    ar.Clear();
    ar.GetData().swap(bytes);
    if (!KestraneGameBase2::VerifyCRC(ar)) return false;
    ar.SetStoring(false);
    return true;
}

std::vector<uint8_t> WithTrailer(std::vector<uint8_t> bytes) {
    Aux::CSerialize ar;
    ar.GetData().swap(bytes);
    KestraneGameBase2::AppendCRC(ar);
    return std::move(ar.GetData());
}

std::vector<uint8_t> EncodeRanking(const std::list<SRankingEntry>& list) {
    Aux::CSerialize ar;
    int32_t version = 0;
    int32_t count = static_cast<int32_t>(std::min<size_t>(list.size(), kRankingSize));
    ar << version << count;
    auto it = list.begin();
    for (int32_t i = 0; i < count; ++i, ++it) {
        SRankingEntry entry = *it;
        SerializeEntry(ar, entry);
    }
    return WithTrailer(std::move(ar.GetData()));
}

int32_t DecodeRanking(std::vector<uint8_t> bytes, std::list<SRankingEntry>& list) {
    Aux::CSerialize ar;
    if (!OpenCheckedBytes(std::move(bytes), ar)) return 2;
    int32_t version = 0, count = 0;
    ar << version << count;
    if (ar.IsFailed() || count < 0 || count > static_cast<int32_t>(kRankingSize)) return 2;
    std::list<SRankingEntry> read;
    for (int32_t i = 0; i < count; ++i) SerializeEntry(ar, read.emplace_back());
    if (ar.IsFailed()) return 2;
    list.swap(read);
    return 0;
}

// The ranking list kept by the play state, its grades and texts, and the ranking screen.
#include <algorithm>
#include <cstdio>

#include "foundation/auxiliary/file.h"
#include "game/files/ranking.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/objects/objects.h"
#include "game/play/game_resource.h"
#include "game/scenes/ranking_screen.h"

namespace Aux = tovarineGameSDK3rd::Auxiliary;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

constexpr const char* kRankingFile = "save\\ranking.sav";

// Searched in order: the first threshold not above the score. Five characters each.
struct SGrade {
    uint32_t threshold;
    const char* label;
};
constexpr SGrade kGrades[] = {{2000000, "[SSS]"}, {1500000, " [SS]"}, {1200000, "  [S]"}, {1000000, "  [A]"},
                              {500000, "  [B]"},  {200000, "  [C]"},  {0, "  [D]"}};

}  // namespace

// ---- the list and its texts

const char* GradeText(uint32_t score) {
    const SGrade* g = std::begin(kGrades);
    while (score < g->threshold) ++g;  // the last threshold is 0
    return g->label;
}

VTLstring RankingLine(const SRankingEntry& entry, bool isNew) {
    if (entry.score == 0) return "  [-] -------  --/--/-- --:--:--";
    const uint8_t* d = entry.date;
    char line[80];
    std::snprintf(line, sizeof line, "%s %07u  %d/%02d/%02d %02d:%02d:%02d%s", GradeText(entry.score),
                  std::min<uint32_t>(entry.score, 9999999), d[0], d[1], d[2], d[3], d[4], d[5], isNew ? " 更新!" : "");
    return line;
}

VTLstring MakeReplayFileName(const SRankingEntry& entry) {
    const uint8_t* d = entry.date;
    char name[64];
    std::snprintf(name, sizeof name, "save\\%s%02d%02d%02d%02d%02d%02d.rpl", GradeText(entry.score), d[0], d[1], d[2],
                  d[3], d[4], d[5]);
    return name;
}

int32_t CGameResource::LoadRanking() {
    std::vector<uint8_t> bytes;
    const int32_t read = ReadSaveFile(kRankingFile, bytes);
    if (read != 0) return read;
    const int32_t result = DecodeRanking(std::move(bytes), ranking);
    rankingScreen.count = static_cast<uint32_t>(ranking.size());
    return result;
}

bool CGameResource::SaveRanking() { return WriteSaveFile(kRankingFile, EncodeRanking(ranking)); }

int32_t CGameResource::EnterRanking(const SRankingEntry& entry) {
    if (ranking.empty()) LoadRanking();
    if (entry.score == 0) return -1;
    // An equal score goes after the older entries.
    int32_t place = 0;
    auto it = ranking.begin();
    for (; it != ranking.end() && it->score >= entry.score; ++it) ++place;
    if (it == ranking.end() && ranking.size() >= kRankingSize) return -1;
    ranking.insert(it, entry);
    if (ranking.size() > kRankingSize) {
        Aux::CFile().DeleteTemporary(MakeReplayFileName(ranking.back()));  // a failure leaves a stray file only
        ranking.pop_back();
    }
    rankingScreen.count = static_cast<uint32_t>(ranking.size());
    SaveRanking();
    SaveReplay(MakeReplayFileName(entry));
    return place;
}

void CGameResource::ShowRanking(int32_t newPlace) {
    if (ranking.empty()) LoadRanking();
    rankingScreen.rowObjects.clear();
    constexpr uint32_t kWhite = 0xFFFFFF;
    auto row = ranking.begin();
    for (int32_t place = 0; place < static_cast<int32_t>(kRankingSize); ++place) {
        const SRankingEntry entry = row != ranking.end() ? *row++ : SRankingEntry{};
        const bool isNew = place == newPlace;
        const VTLstring line = RankingLine(entry, isNew);
        const uint32_t grey = static_cast<uint32_t>(255 - 8 * place) * 0x010101;
        const uint32_t lower = place == 0 ? 0x80FFFF : isNew ? 0x80FF80 : grey;
        const uint32_t upper = isNew ? kWhite : place == 0 ? 0x80FFFF : grey;
        for (int layer = 0; layer < 2; ++layer) {
            CObjectFont* text = place == 0 ? CreateFont(-1, 32, 58) : CreateFont(-1, 40, 68);
            if (text == nullptr) continue;
            rankingScreen.rowObjects.emplace_back(effects.back());  // shares the owner CreateFont made
            text->SetText(Config(), place == 0 ? 32 : 28, layer == 0 ? lower : upper, false, line);
            if (place > 0) {
                // Slides down and comes to rest 36 x place pixels lower.
                text->motion.vy = 6;
                text->motion.frictionY = 6.0 / (place * 12);
            }
            if (isNew && layer == 1) {
                text->fadeCounter = 64;
                text->fadeLength = 64;
                text->fadeDelay = -1;
                text->fadeRepeat = 1;
            }
        }
    }
    if (CObjectFont* title = CreateFont(-1, 16, 16)) title->SetText(Config(), 32, 0xA0FFFF, true, "＜ランキング＞");
    if (scene == Scene::kRanking) {
        if (CObjectFont* hint = CreateFont(-1, 128, 440))
            hint->SetText(Config(), 24, 0xC0FFC0, true, "記録を選択してリプレイを再生できます。");
    }
    if (newPlace != -1) PlaySe(Se::kNewRank);
}

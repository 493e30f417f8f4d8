// A stored stage record (as a replay header holds it) and arbitrary stage-map text: the game
// starts from the record, then the map's columns are spawned as the view scrolls, their
// markers run the stage events, and the field's objects move. Beyond not crashing, the
// columns come one a frame, the event step only grows and every jelly's cells fit its size.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_play_state.h"
#include "tests/game/support/bare_pass.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// Every kind the spawner and the events can name: enemies 0-65 (0 the crystal), blocks 0-23,
// terrain 0-4 with the puddings and the jelly after them, effects 1-24 (0 "dummy").
SKindTables StageKinds() {
    SKindTables t;
    const auto add = [&t](int section, const char* name) {
        RegisterName(t.objectNames[section], name);
        t.objects[section].emplace_back().index = static_cast<uint8_t>(t.objects[section].size() - 1);
    };
    for (int i = 0; i < 3; ++i) t.objects[0].emplace_back();
    for (int i = 0; i < 66; ++i) add(1, i == 0 ? "クリスタル" : "e");
    for (int i = 0; i < 24; ++i) add(3, "b");
    for (const char* name : {"l", "l", "l", "l", "l", "プリン", "p", "p", "p", "ゼリー"}) add(5, name);
    for (int i = 0; i <= 24; ++i) {
        RegisterName(t.effectNames, i == 0 ? "dummy" : "fx");
        SEffectKind& e = t.effects.emplace_back();
        e.speed = 0.5, e.angle = 128, e.frames = {0};
    }
    return t;
}

// What the last input left on the field.
uint64_t lastEndState = 0;

}  // namespace

extern "C" uint64_t MornaFuzzEndState() { return lastEndState; }

// Bytes: the record (stage, next column, scroll x and y, event step, vertical flag, speeds as
// sixteenths, score carry), the frames to run, then the map text; a 0xFF byte starts its second part.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput bytes(data, size);
    // A play state of its own for each input, so that a finding reproduces from its one file.
    static const SKindTables kinds = StageKinds();
    const std::unique_ptr<CGameResource> game = MakeFuzzPlayState(kinds);
    CGameResource& g = *game;
    SStageProgress record;
    record.stage = bytes.Raw<uint8_t>() % 5 - 1;
    record.nextColumn = bytes.Raw<int32_t>();
    record.scrollX = bytes.Raw<int16_t>() * 4.0;
    record.scrollY = bytes.Raw<int16_t>() / 8.0;
    record.eventStep = bytes.Raw<int8_t>();
    record.vertical = bytes.Raw<uint8_t>() & 1;
    record.scrollSpeed = bytes.Raw<uint8_t>() / 16.0;
    record.targetSpeed = bytes.Raw<uint8_t>() / 16.0;
    record.scoreCarry = bytes.Raw<int32_t>();
    const int frames = bytes.Raw<uint16_t>() % 2000;
    g.replayLog.playing = record.eventStep < 0;
    g.StartGame(record);  // no stage file here: its map is empty

    const std::string_view in = bytes.Rest();
    const size_t split = in.find('\xFF');
    g.stageMap.Clear();
    ParseStagePart(in.substr(0, split), 0, g.kinds.objectNames[1], g.stageMap);
    if (split != std::string_view::npos) ParseStagePart(in.substr(split + 1), 1, g.kinds.objectNames[1], g.stageMap);
    g.verticalScrollRange = g.stageMap.verticalRange;
    for (int32_t c = -1; c < 24; ++c) g.SpawnMapColumn(c, c < 2);

    for (int f = 0; f < frames; ++f) {
        const int32_t column = g.progress.nextColumn, step = g.progress.eventStep;
        g.UpdateAmbientEffects(640);
        g.UpdateBackground();
        g.UpdateScroll();
        g.UpdatePendingSpawns();
        morna::test::RunBareFrames(g, 1);
        Check(g.progress.nextColumn == column || g.progress.nextColumn == WrapSub(column, -1));
        Check(g.progress.eventStep >= step || step == INT32_MAX);
        if (f % 256 == 255) g.RescueCrushedPlayer(), g.status.hp = g.status.maxHp;
        if (g.boss.bossId >= 0 && f % 64 == 63) g.ResetBossRecord(), g.progress.scrollSpeed = 1.0;  // the fight won
    }
    for (const auto& o : g.objects) {
        if (const auto* j = dynamic_cast<const CObjectJelly*>(o.GetNoCheck())) {
            Check(j->cells.size() == 2u * j->cellsWide * j->cellsHigh);
        }
    }
    lastEndState = FieldHash(g);
    g.EraseFieldObjects();
    g.RemoveTextObjects();
    g.ResetStageProgress();
    Check(g.objects.empty() && g.pendingSpawns.empty());
    return 0;
}

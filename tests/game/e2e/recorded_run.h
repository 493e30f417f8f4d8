// The run of the game by the play policy, recorded once per process: from the title through
// stage 0 and boss 0 to stage 1 in play (or the frame bound), drawn every frame, talks shown.
// It keeps what the run showed (its milestones, the largest lists, the error log), the gameplay
// hash after every frame and after every logged frame (a frame whose keys went into the key
// log), and its replay file; the snapshots go into the build folder.
//
// Playback runs a saved replay in a fresh play state and hashes its logged frames the same way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/game/e2e/game_driver.h"
#include "tests/game/e2e/gameplay_hash.h"
#include "tests/game/e2e/play_policy.h"

namespace morna::e2e {

constexpr int kFrameBound = 20000;
constexpr int kStageOneFrames = 600;  // stage 1 is played this long before the run ends

struct RunRecord {
    int started = -1;    // frame of the first play frame
    int bossStart = -1;  // boss 0's record set
    int defeat = -1;     // boss 0's HP at 0
    int stageOne = -1;   // stage 1 in play
    int frames = 0;
    int32_t lastEvent = -1;  // stage 0's last event step
    size_t maxObjects = 0, maxEffects = 0;
    size_t enemiesSeen = 0;  // enemies that joined stage 0's list
    bool snapshots[4] = {};  // title, stage 0, the fight, stage 1 written
    std::vector<std::string> log;
    std::vector<uint64_t> frameHashes;   // after every frame
    std::vector<uint64_t> loggedHashes;  // after every logged frame
    std::string replay;                  // a "Z:" name
};

// A folder under /tmp for the process's replay files, removed at exit.
inline const std::string& ReplayFolder() {
    struct Folder {
        Folder() {
            std::string pattern = (std::filesystem::temp_directory_path() / "morna-e2e-replay-XXXXXX").string();
            if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::string path;
    };
    static const Folder folder;
    return folder.path;
}

// Runs the policy's game. With stopAtLogged >= 0 it ends after that logged frame and hands
// back the gameplay fields there (to name a difference); else it records the whole run.
inline RunRecord RecordRun(int stopAtLogged = -1, std::vector<Field>* fieldsAt = nullptr) {
    RunRecord r;
    GameDriver run;
    const PlayPolicy policy;
    CGameResource& g = run.Game();
    const auto shot = [&](int i, const char* file) { r.snapshots[i] = run.SaveScreen(file); };
    size_t logged = 0;
    for (int f = 0; f < kFrameBound && (r.stageOne < 0 || f < r.stageOne + kStageOneFrames); ++f) {
        const size_t before = g.objects.size();
        run.Frame(policy(run, f));
        r.frames = f + 1;
        r.frameHashes.push_back(GameplayHash(g));
        if (g.replayLog.keys.size() > logged) {
            logged = g.replayLog.keys.size();
            r.loggedHashes.push_back(r.frameHashes.back());
            if (stopAtLogged >= 0 && static_cast<int>(logged) == stopAtLogged + 1) {
                if (fieldsAt != nullptr) *fieldsAt = GameplayFields(g);
                return r;
            }
        }
        r.maxObjects = std::max(r.maxObjects, g.objects.size() + g.pendingSpawns.size());
        r.maxEffects = std::max(r.maxEffects, g.effects.size() + g.backEffects.size() + g.landEffects.size() +
                                                  g.frontEffects.size());
        if (f == 120) shot(0, "e2e_title.bmp");
        if (r.started < 0 && g.scene == Scene::kPlay) r.started = f;
        if (g.progress.stage == 0 && r.started >= 0) {
            r.lastEvent = std::max(r.lastEvent, g.progress.eventStep - 1);
            if (r.bossStart < 0) {
                size_t n = 0;
                for (auto it = std::next(g.objects.begin(), static_cast<std::ptrdiff_t>(std::min(before, g.objects.size())));
                     it != g.objects.end(); ++it)
                    n += !it->isNull() && (*it)->GetType() == kTypeEnemy;
                r.enemiesSeen += n;
            }
        }
        if (!r.snapshots[1] && r.started >= 0 && f == r.started + 900) shot(1, "e2e_stage0.bmp");
        if (r.bossStart < 0 && g.boss.bossId == 0) r.bossStart = f;
        if (!r.snapshots[2] && r.bossStart >= 0 && g.scene == Scene::kPlay && g.boss.hp > 0 &&
            g.boss.hp <= g.boss.maxHp / 2 &&
            g.screenFx.flashCounter == 0 && g.cutins.empty())
            shot(2, "e2e_boss0.bmp");
        if (r.defeat < 0 && r.bossStart >= 0 && g.boss.bossId == 0 && g.boss.hp <= 0) r.defeat = f;
        if (r.stageOne < 0 && g.progress.stage == 1 && g.scene == Scene::kPlay && g.boss.bossId < 0) r.stageOne = f;
        if (!r.snapshots[3] && r.stageOne >= 0 && f == r.stageOne + kStageOneFrames - 1) shot(3, "e2e_stage1.bmp");
        if (std::getenv("MORNA_E2E_TRACE") != nullptr && run.LogLines().size() > r.log.size()) {
            r.log = run.LogLines();
            std::printf("%5d scene %d: error log: %s\n", f, static_cast<int>(g.scene), r.log.back().c_str());
        }
        if (std::getenv("MORNA_E2E_TRACE") != nullptr && f % 300 == 0) {
            std::printf("%5d scene %d stage %d event %d scroll %.0f hero %.0f,%.0f hp %d energy %d gauge %d boss %d/%d "
                        "step %d objects %zu score %d\n",
                        f, static_cast<int>(g.scene), g.progress.stage, g.progress.eventStep, g.progress.scrollX, g.player->x,
                        g.player->y, g.status.hp, g.status.barrierEnergy, g.status.gauge, g.boss.bossId, g.boss.hp,
                        g.boss.step, g.objects.size(), g.status.score);
        }
    }
    std::string name;
    if (platform::NameFromSystemPath(ReplayFolder() + "/run.rpl", name) && !g.SaveReplay(name.c_str())) r.replay = name;
    r.log = run.LogLines();
    return r;
}

// The process's recording of the run.
inline const RunRecord& TheRun() {
    static const RunRecord record = RecordRun();
    return record;
}

struct Playback {
    std::vector<uint64_t> hashes;        // after every logged frame
    std::vector<uint64_t> effectHashes;  // the effect lists after every logged frame
    std::vector<Field> fieldsAtStop;     // the gameplay fields where `stop` ended it
    std::vector<Field> effectsAtStop;    // and the effect lists
    int stoppedAt = -1;
};

// Plays a replay file in a fresh play state seeded with clockSeed, drawing every drawEvery-th
// frame (0: none), until the log has ended; stop (when given) may end it early after a logged
// frame, whose fields are then kept.
inline Playback PlayReplay(const std::string& replay, uint32_t clockSeed, int drawEvery,
                           const std::function<bool(int logged, uint64_t hash)>& stop = nullptr) {
    Playback p;
    GameDriver run(clockSeed);
    CGameResource& g = run.Game();
    if (g.LoadReplay(replay.c_str()) != 0) return p;
    int32_t logged = 0;
    for (int f = 0; f < kFrameBound && g.replayLog.playing; ++f) {
        run.Frame(0, drawEvery > 0 && f % drawEvery == 0);
        if (g.replayLog.index <= logged || g.scene == Scene::kFadeToTitle) continue;
        logged = g.replayLog.index;
        p.hashes.push_back(GameplayHash(g));
        p.effectHashes.push_back(EffectHash(g));
        if (stop && stop(logged - 1, p.hashes.back())) {
            p.fieldsAtStop = GameplayFields(g);
            p.effectsAtStop = EffectFields(g);
            p.stoppedAt = logged - 1;
            break;
        }
    }
    return p;
}

}  // namespace morna::e2e

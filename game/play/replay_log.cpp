// The play state's key log: each play frame's keys recorded, or played back from a
// loaded replay; saving and loading the replay files.
#include "framework/app_frame.h"
#include "game/files/ranking.h"
#include "game/files/replay.h"
#include "game/play/game_resource.h"

using tovarineGameSDK3rd::VTL::VTLstring;

bool CGameResource::SaveReplay(const VTLstring& name) { return WriteSaveFile(name, EncodeReplay(replayLog.header, replayLog.keys)); }

int32_t CGameResource::LoadReplay(const VTLstring& name) {
    using KestraneGameBase2::CAppFrameBase;
    std::vector<uint8_t> bytes;
    const int32_t read = ReadSaveFile(name, bytes);
    if (read == 1) {
        CAppFrameBase::ErrorBox("リプレイファイルが開けませんでした。");
        return -1;
    }
    const int32_t result = read == 0 ? DecodeReplay(std::move(bytes), replayLog.header, replayLog.keys) : 1;
    if (result != 0) {
        replayLog.keys.clear();
        CAppFrameBase::ErrorBox(result == 1 ? "リプレイファイルが読み込めませんでした。"
                                            : "モルナ！のリプレイファイルではありません。");
        return result;
    }
    replayLog.playing = true;
    replayLog.index = 0;
    StartGame(replayLog.header);
    talkState.shown = 0xFFFFFFFFu;  // playback shows no conversation
    SetMode(Scene::kPlay);
    return 0;
}

void CGameResource::RecordKeys(KestraneGameBase2::SKey& key) {
    if (!replayLog.playing) {
        replayLog.keys.push_back(PackKeys(key.mask));
        return;
    }
    if (replayLog.index >= 0 && static_cast<size_t>(replayLog.index) < replayLog.keys.size()) {
        key.mask = UnpackKeys(replayLog.keys[static_cast<size_t>(replayLog.index++)]);
        return;
    }
    // The log has ended: the live keys never reach a replay; fade to a new game.
    key.mask = 0;
    SetMode(Scene::kFadeToTitle);
}

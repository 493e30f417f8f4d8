// The play state's key log: each play frame's keys recorded, or played back from a
// loaded replay; saving and loading the replay files.
#include "framework/app_frame.h"
#include "game/files/ranking.h"
#include "game/files/replay.h"
#include "game/play/game_resource.h"

using tovarineGameSDK3rd::VTL::VTLstring;

bool CGameResource::SaveReplay(const VTLstring& name) { return WriteSaveFile(name, EncodeReplay(replayHeader, keyLog)); }

int32_t CGameResource::LoadReplay(const VTLstring& name) {
    using KestraneGameBase2::CAppFrameBase;
    std::vector<uint8_t> bytes;
    const int32_t read = ReadSaveFile(name, bytes);
    if (read == 1) {
        CAppFrameBase::ErrorBox("リプレイファイルが開けませんでした。");
        return -1;
    }
    const int32_t result = read == 0 ? DecodeReplay(std::move(bytes), replayHeader, keyLog) : 1;
    if (result != 0) {
        keyLog.clear();
        CAppFrameBase::ErrorBox(result == 1 ? "リプレイファイルが読み込めませんでした。"
                                            : "モルナ！のリプレイファイルではありません。");
        return result;
    }
    replayPlaying = true;
    keyLogIndex = 0;
    StartGame(replayHeader);
    talksShown = 0xFFFFFFFFu;  // playback shows no conversation
    SetMode(Scene::kPlay);
    return 0;
}

void CGameResource::RecordKeys(KestraneGameBase2::SKey& key) {
    if (!replayPlaying) {
        keyLog.push_back(PackKeys(key.mask));
        return;
    }
    if (keyLogIndex >= 0 && static_cast<size_t>(keyLogIndex) < keyLog.size()) {
        key.mask = UnpackKeys(keyLog[static_cast<size_t>(keyLogIndex++)]);
        return;
    }
    // The log has ended: the live keys never reach a replay; fade to a new game.
    key.mask = 0;
    SetMode(Scene::kFadeToTitle);
}

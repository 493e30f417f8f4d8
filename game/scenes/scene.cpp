// The scene machine: the per-frame scene step, the mode switch with each scene's entry work,
// and the steps of the menus, the play, the pause, the scripted wait, the fade to the title
// and the cut-in gallery. The game over, ending, talk and how-to-play steps are in
// scene_sequences.cpp.
#include <algorithm>
#include <iterator>

#include "framework/bgm_player.h"
#include "framework/sine_table.h"
#include "game/files/key_control.h"
#include "game/files/sounds.h"
#include "game/files/text_tables.h"
#include "game/ids.h"
#include "game/play/game_resource.h"
#include "game/scenes/ranking_screen.h"

namespace KB = KestraneGameBase2;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

constexpr int32_t kEveryFrame = 0;

constexpr const char* kTitleItems = "ゲームを始める\n遊び方説明\nランキング\n設定\nゲーム終了";
constexpr const char* kTitleItemsWithExtras = "ゲームを始める\n遊び方説明\nランキング\n設定\nおまけ\nゲーム終了";
constexpr const char* kPauseItems = "再開する\nタイトルに戻る";
constexpr const char* kGalleryHelp =
    "＜カットイン選択後の操作＞\n決定キー：再生\nキャンセルキー：戻る\n方向キー：スクロール";

// The cut-in gallery: the menu's moves in order, with the cut-in each plays and how far its
// still picture pans (from 0, 0).
struct SGalleryRow {
    const char* name;
    int32_t cutin;
    int32_t panRight;
    int32_t panBottom;
};
constexpr SGalleryRow kGallery[] = {
    {"プラズマクロー", Cutin::kSkillBlast, 60, 60},
    {"ギガトンハンマー", Cutin::kBoss0Hammer, 0, 320},
    {"バルカンフレア", Cutin::kBoss1Finale, 160, 0},
    {"オープンパンドラ", Cutin::kBoss2Special, 60, 0},
    {"ギロチンスカイ", Cutin::kBoss3Finale, 0, 320},
    {"真・タケミナカタバースト", Cutin::kFinisher, 260, 240},
};
// The record of a cut-in's still picture is 15 + this, by the cut-in's place in Cutin::kAll.
constexpr int32_t kGalleryStill[] = {0, 1, 2, 4, 5, 6};
constexpr int32_t kGalleryStillBase = 15;
constexpr int32_t kVulcanUnderlay = 18;  // drawn under the still of boss 1's finale

bool ExtrasUnlocked(const SGlobalConfig& config) { return config.extrasUnlocked != 0; }

void AcceptDrops(IWindowHost* host, bool accept) {
    if (host != nullptr) host->AcceptDrops(accept);
}

VTLstring GalleryItems() {
    VTLstring items;
    for (const SGalleryRow& row : kGallery) items += VTLstring(items.empty() ? "" : "\n") + row.name;
    return items;
}

}  // namespace

// ---- helpers of the scenes

void CGameResource::RemoveTextObjects() {
    effects.remove_if([](const EffectPtr& e) { return e->GetType() == kTypeFont; });
}

void CGameResource::WorldFrame() {
    KB::SKey none;
    PlayFrame(&none, true);
}

void CGameResource::MenuRepeat() {
    if (!keyControl) return;
    keyControl->SetRepeatDirections(48);
    keyControl->SetRepeatButtons(KB::CKeyControlBase::kOncePerPress);
}

void CGameResource::SetKeyRepeat(KeyBit bit, int32_t interval) {
    const int32_t key = static_cast<int32_t>(bit);
    if (keyControl && keyControl->GetKeyCount() > key) keyControl->SetRepeat(key, interval);
}

void CGameResource::OpenMenu(int32_t x, int32_t y, int32_t width, const char* items) {
    selectWindow.Open(x, y, width, 0, items);
    selectWindow.Render(false);
    MenuRepeat();
}

void CGameResource::CloseMenu() {
    selectWindow.Render(false);
    selectWindow.fade = -255;
}

void CGameResource::LayOutPages(int32_t indent) {
    CMessageWindow& w = messageWindow;
    w.SetVisibleLines(4);
    w.SetWidth(600);
    w.busyResult = w.stayShown = true;
    w.indent = indent;
    w.inputLock = 15;
    w.newPage = true;
    w.nextWait = CMessageWindow::kNoWait;
    w.waitMarker = true;
}

void CGameResource::PreloadCutin(int32_t id) { framesToSkip = ::PreloadCutin(kinds.cutins, id, clock_); }

void CGameResource::ReleaseCutin(int32_t id) { ::ReleaseCutin(kinds.cutins, id); }

void CGameResource::ClearObjectLists() {
    objects.clear();
    pendingSpawns.clear();
    effects.clear();
    if (backdrop.keepEffects == 0) backEffects.clear();
    cutins.clear();
    bossObjects.clear();
    bossIndex = 0;
}

// ---- the mode switch

void CGameResource::EnterScene(Scene n) {
    RemoveTextObjects();
    screenFx.hudSlideSpeed = 1;
    messageWindow.Clear();
    AcceptDrops(host_, false);
    scene = n;
}

bool CGameResource::Pause() {
    if (scene != Scene::kPlay) return false;
    SetMode(Scene::kPause);
    return true;
}

void CGameResource::SetMode(Scene n) {
    // A replay that reaches the ending fades to the title instead.
    if (replayLog.playing && n == Scene::kEnding) n = Scene::kFadeToTitle;
    EnterScene(n);
    switch (n) {
        case Scene::kTitle:
            AcceptDrops(host_, true);
            talkState.shown = 0;
            PlayMusic(Music::kTitle, kMusicFade);
            OpenMenu(208, ExtrasUnlocked(Config()) ? 240 : 256, 224, ExtrasUnlocked(Config()) ? kTitleItemsWithExtras : kTitleItems);
            break;
        case Scene::kHowToPlay:
            if (keyControl) keyControl->SetRepeatButtons(KB::CKeyControlBase::kOncePerPress);
            SetKeyRepeat(KeyBit::kDecide, kEveryFrame);
            LoadHelp();
            LayOutPages(0);
            break;
        case Scene::kRanking:
            screenFx.hudSlideSpeed = -1;
            ShowRanking(-1);
            rankingScreen.row = 0;
            break;
        case Scene::kPlay:
            // Every key acts on each frame it is held: the barrier stays up while decide is held.
            if (keyControl) keyControl->SetRepeatDirections(kEveryFrame), keyControl->SetRepeatButtons(kEveryFrame);
            break;
        case Scene::kTalk:
            if (keyControl) {
                keyControl->SetRepeatDirections(KB::CKeyControlBase::kOncePerPress);
                keyControl->SetRepeatButtons(KB::CKeyControlBase::kOncePerPress);
            }
            // Fast-forward acts on every frame it is held: it completes each line and skips each wait.
            SetKeyRepeat(KeyBit::kFastForward, kEveryFrame);
            LayOutPages(104);
            talkState.face = SFace();
            break;
        case Scene::kPause:
            OpenMenu(208, 256, 224, kPauseItems);
            break;
        case Scene::kGameOver:
            KB::GetBGMPlayer()->FadeOut(60);
            MenuRepeat();
            if (player) {
                // The hero jumps and falls off the screen.
                CObjectAvatar& hero = *player;
                hero.pose = 5;
                hero.poseTimer = 0;
                hero.ResetMotion();
                hero.motion.vx = KB::CosOf(192) * 3.0;
                hero.motion.vy = KB::SinOf(192) * 3.0;
                hero.motion.accelAngle = 64;
                hero.motion.accel = gravity / 2;
                hero.motion.speedLimit = 3.0;
            }
            gameOverCounter = 0;
            progress.scrollSpeed = progress.targetSpeed = 0;
            PlaySe(Se::kGameOver);
            break;
        case Scene::kEnding:
            PlayMusic(Music::kEnding, kMusicFade);
            MenuRepeat();
            break;
        case Scene::kFadeToTitle:
            screenFx.StartFadeOut(60);
            break;
        case Scene::kGalleryMenu: {
            static const VTLstring items = GalleryItems();
            OpenMenu(160, 120, 320, items.c_str());
            LayOutPages(8);
            messageWindow.waitMarker = false;  // no key ends this text
            messageWindow.SetText(-1, kGalleryHelp);
            messageWindow.background = true;
            messageWindow.hidden = false;
            talkState.face = SFace();
            break;
        }
        default:
            break;
    }
}

// ---- the scene step

void CGameResource::UpdateScene(KB::SKey& key) {
    if (framesToSkip > 0) {
        --framesToSkip;
        return;
    }
    if (scene == Scene::kPlay && !replayLog.playing) {
        if (Config().invincible) progress.invincible = 1;
        if (progress.invincible != 0) status.score = 0;  // an invincible game is never rated
    }
    screenFx.UpdateHudSlide();
    screenFx.UpdateFade();
    // The camera stands still during a talk: items' bounces read it, and a replay shows no talk.
    if (scene != Scene::kTalk) screenFx.UpdateShake();

    switch (scene) {
        case Scene::kTitle: UpdateTitle(key); break;
        case Scene::kHowToPlay:
            UpdateHowToPlay(key);
            WorldFrame();
            break;
        case Scene::kRanking: UpdateRankingList(key); break;
        case Scene::kPlay:
            if (replayLog.playing && Pushed(key, KeyBit::kPause)) {
                SetMode(Scene::kFadeToTitle);  // the replay is abandoned
            } else {
                PlayFrame(&key, false);
            }
            break;
        case Scene::kTalk: UpdateTalk(key); break;
        case Scene::kScriptedWait: UpdateScriptedWait(); break;
        case Scene::kPause: UpdatePauseMenu(key); break;
        case Scene::kGameOver:
            ++rankingScreen.blink;
            WorldFrame();
            UpdateGameOverMenu(key);
            break;
        case Scene::kEnding:
            ++rankingScreen.blink;
            WorldFrame();
            UpdateEnding(key);
            break;
        case Scene::kFadeToTitle:
            WorldFrame();
            if (screenFx.fadeCounter >= screenFx.fadeDuration) {
                ResetGame();
                SetMode(Scene::kTitle);
                screenFx.fadeCounter = screenFx.fadeDuration = -1;
                screenFx.fadeDirection = 0;
                screenFx.halfFade = 0;
                replayLog.playing = false;
            }
            break;
        case Scene::kGalleryMenu: UpdateGalleryMenu(key); break;
        case Scene::kGallery: UpdateGallery(key); break;
        default: break;
    }
}

void CGameResource::UpdateTitle(KB::SKey& key) {
    if (std::vector<VTLstring>* drops = host_ != nullptr ? host_->DroppedFiles() : nullptr; drops && !drops->empty()) {
        const VTLstring name = drops->front();  // the error box's message pump may bring a new drop
        drops->clear();
        LoadReplay(name);
        return;
    }
    if (selectWindow.Update(key)) return;
    if (selectWindow.closed) {
        // A new game, recorded: its start record is the replay header.
        replayLog.playing = false;  // F12 during a replay leaves the flag on
        progress.stage = 0;
        StartGame(progress);
        replayLog.keys.clear();
        SetMode(Scene::kPlay);
        const uint32_t begin = clock_.Now();
        LoadCutinRecord(kinds.cutins, Cutin::kFinisher);  // its first layer: the finisher's large pictures
        framesToSkip = static_cast<int32_t>((clock_.Now() - begin) / 60);
        return;
    }
    if (selectWindow.fade == 0 && Pushed(key, KeyBit::kDecide)) {
        const int32_t item = selectWindow.cursor;
        const int32_t exitItem = ExtrasUnlocked(Config()) ? 5 : 4;
        if (item == 0) {
            PlaySe(Se::kGameStart);
            CloseMenu();
        } else if (item == 1 || item == 2) {
            PlaySe(Se::kDecide);
            SetMode(item == 1 ? Scene::kHowToPlay : Scene::kRanking);
        } else if (item == 3) {
            PlaySe(Se::kDecide);
            if (host_ != nullptr) host_->OpenSettings();
        } else if (item == exitItem) {
            RequestExit();
        } else if (item == 4) {
            PlaySe(Se::kDecide);
            SetMode(Scene::kGalleryMenu);
        }
    }
    WorldFrame();
}

void CGameResource::UpdateRankingList(KB::SKey& key) {
    const int32_t n = static_cast<int32_t>(rankingScreen.count);
    if (Pushed(key, KeyBit::kDecide)) {
        PlaySe(Se::kDecide);
        if (n == 0) {
            SetMode(Scene::kTitle);
        } else if (rankingScreen.row >= 0 && rankingScreen.row < static_cast<int32_t>(ranking.size())) {
            LoadReplay(MakeReplayFileName(*std::next(ranking.begin(), rankingScreen.row)));
        }
        return;
    }
    if (Pushed(key, KeyBit::kBack)) {
        PlaySe(Se::kBack);
        SetMode(Scene::kTitle);
        return;
    }
    const int32_t d = (Pushed(key, KeyBit::kUp) ? -1 : 0) + (Pushed(key, KeyBit::kDown) ? 1 : 0);
    if (d != 0 && n > 0) {
        PlaySe(Se::kCursor);
        rankingScreen.row = (rankingScreen.row + d + n) % n;
        rankingScreen.blink = 0;
    }
    ++rankingScreen.blink;
    WorldFrame();
}

void CGameResource::UpdatePauseMenu(KB::SKey& key) {
    selectWindow.Update(key);
    if (selectWindow.closed) {
        if (selectWindow.cursor == 0) {
            SetMode(Scene::kPlay);
        } else if (selectWindow.cursor == 1) {
            ReleaseStageImages();
            ResetGame();
            SetMode(Scene::kTitle);
        }
        return;
    }
    // Taken while the menu still opens.
    if (selectWindow.fade >= 0 && Pushed(key, KeyBit::kDecide)) {
        PlaySe(Se::kDecide);
        CloseMenu();
    }
}

void CGameResource::UpdateScriptedWait() {
    WorldFrame();
    if (++scriptedWait > 300) {
        SetMode(Scene::kPlay);
        return;
    }
    bool bossTravels = false;
    if (!bossObjects.empty()) {
        if (const auto* body = dynamic_cast<const CObjectEnemy*>(bossObjects.front().GetNoCheck())) {
            bossTravels = body->moving != 0;
        }
    }
    if (move.targetX == -1 && !bossTravels) SetMode(Scene::kPlay);
}

void CGameResource::UpdateGalleryMenu(KB::SKey& key) {
    if (selectWindow.Update(key)) return;
    KB::SKey none;
    messageWindow.Update(none);
    if (selectWindow.closed) {
        SetMode(Scene::kTitle);
        cutins.clear();
        return;
    }
    const int32_t item = selectWindow.cursor;
    if (selectWindow.fade == 0 && Pushed(key, KeyBit::kDecide) && item >= 0 && item < static_cast<int32_t>(std::size(kGallery))) {
        PlaySe(Se::kDecide);
        gallery.value = kGallery[item].cutin;
        gallery.pan = {0, 0, kGallery[item].panRight, kGallery[item].panBottom};
        gallery.panX = gallery.panY = 0;
        cutins.clear();
        if (Config().reduceMemory) {
            for (int32_t id : Cutin::kAll) ReleaseCutin(id);
        }
        PreloadCutin(gallery.value);
        cutinScreen.keepSnapshot = 0;
        if (cutinScreen.snapshot.GetSize(nullptr, nullptr) != 0) cutinScreen.snapshot.CreateSurface(kScreenWidth, kScreenHeight);
        EnterScene(Scene::kGallery);
    }
    if (Pushed(key, KeyBit::kBack)) {
        CloseMenu();
        messageWindow.Clear();
        PlaySe(Se::kBack);
    }
    WorldFrame();
}

void CGameResource::UpdateGallery(KB::SKey& key) {
    if (cutins.empty()) {
        // The still picture, until the cut-in is played.
        gallery.playing = 0;
        const auto at = std::find(std::begin(Cutin::kAll), std::end(Cutin::kAll), gallery.value);
        const int32_t k = at == std::end(Cutin::kAll) ? 0 : kGalleryStill[at - std::begin(Cutin::kAll)];
        if (gallery.value == Cutin::kBoss1Finale) CreateCutin(kVulcanUnderlay, gallery.panX, gallery.panY, 0, 0);
        CreateCutin(kGalleryStillBase + k, gallery.panX, gallery.panY, 0, 0);
    }
    if (Pushed(key, KeyBit::kDecide)) {
        gallery.panX = gallery.panY = 0;
        cutins.clear();
        StartCutin(gallery.value, false);
        gallery.playing = 1;
    } else if (Pushed(key, KeyBit::kBack)) {
        PlaySe(Se::kBack);
        cutins.clear();
        SetMode(Scene::kGalleryMenu);
        return;
    } else if (Pushed(key, KeyBit::kUp)) {
        gallery.panY += 8;
    } else if (Pushed(key, KeyBit::kDown)) {
        gallery.panY -= 8;
    } else if (Pushed(key, KeyBit::kLeft)) {
        gallery.panX += 8;
    } else if (Pushed(key, KeyBit::kRight)) {
        gallery.panX -= 8;
    }
    gallery.panX = std::clamp(gallery.panX, gallery.pan.left, gallery.pan.right);
    gallery.panY = std::clamp(gallery.panY, gallery.pan.top, gallery.pan.bottom);
    if (gallery.playing == 0) {
        for (const EffectPtr& layer : cutins) layer->x = -gallery.panX, layer->y = -gallery.panY;
    }
    WorldFrame();
}

// The scenes that run as sequences: the game over with its ranking entry and retry menu, the
// ending, the conversations (with the once-per-game rule of LoadTalk) and the how-to-play
// pages with their demonstrations.
#include "framework/bgm_player.h"
#include "framework/sine_table.h"
#include "game/files/key_control.h"
#include "game/files/sounds.h"
#include "game/files/text_tables.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

namespace KB = KestraneGameBase2;

namespace {

constexpr int32_t kMenuOpen = 600;  // the game-over counter from which the retry menu runs

void HalfTransparent(std::list<CGameResource::EffectPtr>& effects) {
    for (const CGameResource::EffectPtr& e : effects) e->alpha = 127, e->fadeInCounter = 0;
}

}  // namespace

// ---- game over

void CGameResource::UpdateGameOverMenu(KB::SKey& key) {
    int32_t& c = gameOverCounter;
    if (c < kMenuOpen) {
        ++c;
        if (c == 120) {
            PlayMusic(Music::kGameOver, kMusicFade);
            screenFx.StartFadeOut(180);
        }
        if (c == 300) {
            ClearObjectLists();
            backdrop.keepEffects = 0;
            CreateEffect(92, 0, 320, 160);
            screenFx.StartFadeIn(120);
        }
        if (c == 420) {
            SRankingEntry entry;
            entry.score = static_cast<uint32_t>(status.score);
            StampLocalTime(entry);
            const int32_t place = EnterRanking(entry);
            if (place >= 0) {
                for (const EffectPtr& e : effects) e->alpha = 127;
                screenFx.hudSlideSpeed = -1;
                ShowRanking(place);
            } else {
                c = kMenuOpen;
            }
        }
        if (c >= 480 && c < kMenuOpen) {
            c = 480;  // the ranking stays until a key
            if ((key.mask & (Bit(KeyBit::kDecide) | Bit(KeyBit::kBack))) != 0) {
                PlaySe(Se::kDecide);
                c = kMenuOpen;
                screenFx.halfFade = 0;
                RemoveTextObjects();
            }
        }
        if (c == kMenuOpen) {
            screenFx.hudSlideSpeed = 1;
            OpenMenu(208, 320, 224, "リトライする\nタイトルに戻る");
        }
        return;
    }
    selectWindow.Update(key);
    if (selectWindow.closed) {
        if (selectWindow.cursor == 0) {
            StartGame(checkpoint);
            SetMode(Scene::kPlay);
        } else {
            ResetGame();
            SetMode(Scene::kTitle);
        }
        if (scene == Scene::kPlay && progress.stage == 3) {
            screenFx.StartFadeOut(2);
        } else {
            screenFx.StartFadeIn(60);
        }
    } else if (selectWindow.fade >= 0 && Pushed(key, KeyBit::kDecide)) {
        KB::GetBGMPlayer()->FadeOut(60);
        CloseMenu();
    }
}

// ---- ending

bool CGameResource::UpdateEnding(KB::SKey& key) {
    int32_t& e = blackOutCounter;
    if (e == 180) {
        if (!IsAnyButtonPushed(key)) return false;
        e = 300;
        SRankingEntry entry;
        entry.score = static_cast<uint32_t>(status.score);
        StampLocalTime(entry);
        const int32_t place = EnterRanking(entry);
        if (place >= 0) {
            HalfTransparent(effects);
            screenFx.hudSlideSpeed = -1;
            ShowRanking(place);
        } else {
            KB::GetBGMPlayer()->FadeOut(180);
            e = 400;
            screenFx.StartFadeOut(180);
        }
        return false;
    }
    if (e == 300) {
        if (IsAnyButtonPushed(key)) {
            KB::GetBGMPlayer()->FadeOut(180);
            e = 400;
            screenFx.StartFadeOut(180);
            RemoveTextObjects();
        }
        return false;
    }
    if (e == 0) {
        ClearObjectLists();
        if (progress.stage == 3) {
            CreateEffect(94, 0, 320, 120);
            if (CObjectEffect* late = CreateEffect(95, 0, 460, 300)) {
                late->alpha = 0;
                late->fadeInCounter = late->fadeInLength = 240;
            }
        } else {
            CreateEffect(93, 0, 320, 160);
        }
        screenFx.StartFadeIn(180);
        if (player) player->pose = 1, player->poseTimer = 0;
    }
    if (e > 579) {
        ResetGame();
        SetMode(Scene::kTitle);
        return true;
    }
    ++e;
    return false;
}

// ---- conversations

int CGameResource::LoadFaces() { return ::LoadFaces(faces); }

void CGameResource::LoadTalk(Talk talk, bool resume) {
    const int32_t id = static_cast<int32_t>(talk);
    talkState.page = talkState.pageFrame = talkState.pageCount = 0;
    talkState.face = SFace();
    talkState.resume = 0;
    scriptedWait = 0;
    bool shown = false;
    const uint32_t bit = 1u << (static_cast<uint32_t>(id) & 31);
    if ((talkState.shown & bit) == 0) {
        talkState.shown |= bit;
        LoadFaces();
        if (ReadTalk(id, talkState.pages) == 0) {
            talkState.id = id;
            talkState.pageCount = static_cast<int32_t>(talkState.pages.size());
            SetMode(Scene::kTalk);
            talkState.resume = resume ? 1 : 0;
            shown = true;
        }
    }
    if (!shown && resume) EnterScene(Scene::kScriptedWait);
    // The talk scene turns them to face each other; a skipped talk (as in every replay) too.
    if (boss.bossId >= 0 && !bossObjects.empty()) {
        FaceBossToPlayer();
        FacePlayerToBoss();
    }
}

bool CGameResource::UpdateTalk(KB::SKey& key) {
    if (talkState.pageFrame == 0) {
        if (talkState.page >= static_cast<int32_t>(talkState.pages.size())) {
            if (talkState.resume == 0) {
                SetMode(Scene::kPlay);
            } else {
                EnterScene(Scene::kScriptedWait);
            }
            return true;
        }
        const STalkPage& page = talkState.pages[static_cast<size_t>(talkState.page)];
        messageWindow.newPage = true;
        messageWindow.nextWait = CMessageWindow::kNoWait;
        messageWindow.SetText(-1, page.text);
        const auto face = faces.find(page.speaker);
        if (page.speaker == "*") {
            PlaySe(Se::kNarratorPage);
            messageWindow.background = false;
            talkState.face = SFace();
        } else if (face != faces.end()) {
            talkState.face = face->second;
            messageWindow.background = true;
        } else {
            messageWindow.background = false;
            talkState.face = SFace();
        }
    }
    ++talkState.pageFrame;
    if (!messageWindow.Update(key)) {
        ++talkState.page;
        talkState.pageFrame = 0;
    }
    return false;
}

// ---- how to play

int CGameResource::LoadHelp() {
    talkState.page = talkState.pageFrame = 0;
    return ::LoadHelp(helpPages);
}

bool CGameResource::UpdateHowToPlay(KB::SKey& key) {
    const auto leave = [this] {
        ResetGame();
        SetMode(Scene::kTitle);
        messageWindow.Clear();
        return true;
    };
    if (Pushed(key, KeyBit::kFastForward)) return leave();
    if (talkState.pageFrame == 0) {
        if (talkState.page >= static_cast<int32_t>(helpPages.size())) return leave();
        messageWindow.newPage = true;
        messageWindow.nextWait = CMessageWindow::kNoWait;
        messageWindow.SetText(-1, helpPages[static_cast<size_t>(talkState.page)]);
    }
    const int32_t f = ++talkState.pageFrame;
    const auto walk = [this](int32_t x, int32_t y) { MovePlayerTo(x, y, 6.0, 1.0); };
    const auto enemyFromRight = [this](int32_t y) {
        if (CObjectEnemy* e = CreateEnemy(0, 640, y, 0)) e->motion.vx = -3.0;
    };
    const auto item = [this](int32_t kind, int32_t y) {
        if (CObjectItem* i = CreateItem(kind, 640, y)) i->SetVelocityFromPosition(2.0);
    };
    bool raise = false;   // the barrier is held this frame
    bool mayEnd = true;   // the page may advance once its text is done
    switch (talkState.page) {
        case 0:
            if (f == 30) walk(384, 176);
            if (f == 60) walk(288, 144);
            if (f == 100) walk(320, 240);
            mayEnd = f >= 100;
            break;
        case 1:
            if (f == 1) enemyFromRight(240);
            if (f == 60) walk(384, 240);
            mayEnd = f >= 120;
            break;
        case 2:
            if (f == 1) walk(320, 240), enemyFromRight(240);
            raise = f >= 31 && f <= 149;
            mayEnd = f >= 155;
            break;
        case 3:
            if (f == 1) CreateShot(0, 640, 176, 0);
            raise = f >= 31 && f <= 89;
            mayEnd = f >= 120;
            break;
        case 5:
            if (f == 20) CreateBlock(0, 344, 0, 0);
            if (f == 120) walk(320, 240);
            raise = f < 90;
            mayEnd = f >= 150;
            break;
        case 7:
            mayEnd = status.barrierUp == 0 && f >= 60;
            break;
        case 8:
            if (f == 1) {
                for (int32_t y : {40, 140, 240, 340}) {
                    if (CObjectEnemy* e = CreateEnemy(0, 640, y, 0)) e->MoveToward(0, 3.0, 0, 3.0, 320, 240);
                }
            }
            if (f == 60) UseSkill(true);
            mayEnd = f >= 60;
            break;
        case 11:
            if (f == 1) walk(320, 240), item(0, 55), item(1, 190), item(2, 325);
            break;
        case 12:
            if (f == 1) item(3, 117), item(6, 220);
            break;
        case 13:
            if (f == 1) {
                if (CObjectCrystal* crystal = CreateCrystal(640, 240)) {
                    crystal->motion.vx = KB::CosOf(160) * 2.0;
                    crystal->motion.vy = KB::SinOf(160) * 2.0;
                    crystal->Think(*this);
                }
            }
            break;
        default:
            break;
    }
    if (!raise) {
        UpdateBarrierEnergy();
    } else if (status.barrierUp == 0) {
        StartBarrier();
    }
    if (!messageWindow.Update(key) && mayEnd) {
        ++talkState.page;
        talkState.pageFrame = 0;
    }
    return false;
}

// The frame's picture: the cut-in screen, a black screen or the play field, with the draw list
// that orders the field's objects by priority, the stage background, the talk overlays, the
// scene windows, the ranking highlight, and the whole-picture flash and fade.
#include <map>

#include "framework/image_loader.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CImageLoader;
using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::Draw::Rect;
using tovarineGameSDK3rd::Draw::Size;

namespace {

constexpr int32_t kW = CGameResource::kScreenWidth;
constexpr int32_t kH = CGameResource::kScreenHeight;

void FillBlack(ISurface& target) {
    target.SetFillColor(0);
    target.Clear(nullptr);
}

// The menu and, while it is open and still, its cursor.
void DrawMenu(CSelectWindow& menu, ISurface* target) {
    menu.Draw(target);
    if (menu.fade == 0) menu.DrawCursor(target);
}

// Ordered by priority; equal priorities keep their insertion order.
using DrawList = std::multimap<int32_t, IObjectDraw*>;

template <class List>
void InsertAll(DrawList& list, const List& objects) {
    for (const auto& o : objects) list.emplace(o->GetDrawPriority(), o.GetNoCheck());
}

}  // namespace

void CGameResource::Draw(ISurface* target) {
    if (framesToSkip >= 1) return;  // the last picture stays
    // The pause menu comes first: Alt+Enter and F1 pause during a cut-in or a faded-out screen
    // too, and a menu that took the keys behind a frozen picture would be chosen from blind.
    if (scene == Scene::kPause) {
        FillBlack(*target);
        DrawMenu(selectWindow, target);
    } else if (!cutins.empty() || cutinScreen.zoom >= 1) {
        DrawCutinScreen(target);
    } else if (screenFx.fadeDuration > 0 && screenFx.fadeCounter >= screenFx.fadeDuration) {
        FillBlack(*target);
        DrawOverlays(target);
    } else {
        DrawPlayField(target);
    }
}

bool CGameResource::ClearBackground(ISurface* target) {
    if (blackOutCounter > 0) {
        FillBlack(*target);
        return false;
    }
    if (gameOverCounter >= 300) {
        FillBlack(*target);
        return true;
    }
    if (progress.backgroundOpacity < 255) {
        const uint32_t b = backdrop.tint;
        target->SetFillColor((b << 8) | ((2 * b) & 0xFF));
        target->Clear(nullptr);
    }
    return false;
}

void CGameResource::DrawPlayField(ISurface* target) {
    DrawList list;
    InsertAll(list, effects);
    if (!ClearBackground(target)) {
        if (progress.backgroundOpacity < 255) {
            for (const auto& e : backEffects) e->Draw(target);
        }
        DrawStageBackground(target);
        InsertAll(list, landEffects);
        InsertAll(list, frontEffects);
        InsertAll(list, objects);
        if (status.barrierUp != 0) {
            CObjectBarrier& barrier = ActiveBarrier();
            list.emplace(barrier.GetDrawPriority(), &barrier);
        }
        list.emplace(player->GetDrawPriority(), player.GetNoCheck());
    }
    for (auto& [priority, object] : list) object->Draw(target);
    player->DrawBarrierGauge(target, status.barrierEnergy, status.maxBarrierEnergy, player.GetNoCheck(),
                             status.overload != 0, status.hardOverload != 0);
    if (status.finisherCounter > 0) DrawSkillEffect(target);
    DrawHud(target);
    DrawOverlays(target);
    if (scene == Scene::kTitle || scene == Scene::kGalleryMenu || (scene == Scene::kGameOver && gameOverCounter >= 600)) {
        DrawMenu(selectWindow, target);
    }
    if (scene == Scene::kRanking) DrawRankingHighlight(target);

    // Flash: the colour scaled by what is left of it; none on its first frame.
    const int32_t c = screenFx.flashCounter, d = screenFx.flashDuration;
    if (c > 0 && d != 0 && c != d) {
        const auto part = [c, d](uint8_t v) { return static_cast<uint32_t>(v) * static_cast<uint32_t>(c) / static_cast<uint32_t>(d); };
        target->AddColorEffect((part(screenFx.flashR) << 16) | (part(screenFx.flashG) << 8) | part(screenFx.flashB), nullptr);
    }
    if (screenFx.fadeDuration > 0) {
        const uint32_t v = static_cast<uint32_t>(screenFx.fadeCounter * 255 / screenFx.fadeDuration) & 0xFF;
        target->SubColorEffect((v << 16) | (v << 8) | v, nullptr);
    }
}

void CGameResource::DrawStageBackground(ISurface* target) {
    const int32_t opacity = progress.backgroundOpacity;
    if (opacity <= 0 || progress.stage < 0) return;
    ISurface& image = CImageLoader::GetImage(41 + progress.stage);
    int width = 0, height = 0;
    image.GetSize(&width, &height);
    const int32_t bx = TruncInt(backdrop.scrollX), by = TruncInt(backdrop.scrollY);
    const auto piece = [&](const Rect& source, int32_t x) {
        if (opacity < 255) {
            target->BlendBlt(&image, x, 0, static_cast<uint8_t>(opacity), nullptr, &source);
        } else {
            KestraneGameBase2::CBltSupport::BltCopy(*target, image, x, 0, &source);
        }
    };
    int32_t right = bx + kW;
    if (width < right) {  // the picture wraps once to its left edge
        piece(Rect{0, by, bx + kW - width, by + kH}, width - bx);
        right = width;
    }
    piece(Rect{bx, by, right, by + kH}, 0);
}

void CGameResource::DrawOverlays(ISurface* target) {
    const bool talk = scene == Scene::kTalk;
    const bool holdsText = messageWindow.HasText() || !messageWindow.GetPending().empty();
    if (talk && talkState.face.image == 0 && holdsText) KestraneGameBase2::CBltSupport::DarkenRect(*target, 0, 336, 640, 144);
    messageWindow.Draw(target);
    if (talk && talkState.face.image != 0) {
        int32_t x = 0, y = 0, w = 0, h = 0;
        messageWindow.GetBox(x, y, w, h);
        const Rect face{talkState.face.column * 96, talkState.face.row * 96, talkState.face.column * 96 + 96, talkState.face.row * 96 + 96};
        KestraneGameBase2::CBltSupport::BltCopy(*target, CImageLoader::GetImage(talkState.face.image), x + 16, y + 16, &face);
    }
}

void CGameResource::DrawRankingHighlight(ISurface* target) {
    if (ranking.empty()) return;
    const int32_t r = rankingScreen.row;
    Rect rect = r == 0 ? Rect{16, 56, 550, 90} : Rect{16, r * 36 + 56, 520, r * 36 + 92};
    // Two text layers a row, the lower first: the row's lower layer places the rectangle.
    const size_t layer = 2 * static_cast<size_t>(r);
    if (r >= 0 && layer < rankingScreen.rowObjects.size() && rankingScreen.rowObjects[layer]) {
        const int32_t cx = TruncInt(rankingScreen.rowObjects[layer]->x), cy = TruncInt(rankingScreen.rowObjects[layer]->y);
        rect = r == 0 ? Rect{cx, cy - 9, cx + 534, cy + 42} : Rect{cx, cy - 6, cx + 500, cy + 36};
    }
    const uint32_t grey = (static_cast<uint8_t>(-4 * static_cast<int32_t>(rankingScreen.blink) - 1) >> 1) + 32;
    target->AddColorEffect((grey << 16) | (grey << 8) | grey, &rect);
}

namespace {

// An object drawn in another pose: the pose it had comes back when the drawing is done.
class CPoseForDraw {
public:
    CPoseForDraw(CObjectBase* o, uint8_t pose, int32_t timer) : o_(o) {
        if (o_ == nullptr) return;
        pose_ = o_->pose, timer_ = o_->poseTimer;
        o_->pose = pose, o_->poseTimer = timer;
    }
    ~CPoseForDraw() {
        if (o_ != nullptr) o_->pose = pose_, o_->poseTimer = timer_;
    }
    CPoseForDraw(const CPoseForDraw&) = delete;
    CPoseForDraw& operator=(const CPoseForDraw&) = delete;

private:
    CObjectBase* o_;
    uint8_t pose_ = 0;
    int32_t timer_ = 0;
};

}  // namespace

void CGameResource::DrawCutinScreen(ISurface* target) {
    // Every third frame of the layers is drawn.
    if (cutinScreen.zoom == 0 && cutinScreen.framesDrawn++ % 3 != 0) return;

    CObjectBase* focus = player.GetNoCheck();
    CObjectBase* body = bossObjects.empty() ? nullptr : bossObjects[0].GetNoCheck();
    const int32_t id = cutinScreen.id;
    if (cutinScreen.keepSnapshot == 0) {
        const bool hidesBoss = id == Cutin::kBoss1Finale || id == Cutin::kBoss2Special || id == Cutin::kBoss3Finale;
        CObjectBase* posed = id == Cutin::kFinisher ? focus : hidesBoss ? body : nullptr;
        const CPoseForDraw snapshotPose(posed, 1, 0);
        DrawPlayField(&cutinScreen.snapshot);
        cutinScreen.snapshot.SubColorEffect(0x808080, nullptr);
        // Painted once a cut-in: the world is frozen beneath it, and every paint of a turned
        // body shifts its trail again.
        cutinScreen.keepSnapshot = 1;
    }
    KestraneGameBase2::CBltSupport::BltCopy(*target, cutinScreen.snapshot, 0, 0);
    if (cutinScreen.zoom < 1) {
        for (const auto& layer : cutins) layer->Draw(target);
        return;
    }

    int32_t column = 1;
    switch (id) {
        case Cutin::kSkillBlast:
        case Cutin::kFinisher: {
            const CPoseForDraw still(focus, 0, 0);
            focus->Draw(target);
            break;
        }
        case Cutin::kBoss0Hammer:
        case Cutin::kBoss1Finale:
        case Cutin::kBoss2Special:
        case Cutin::kBoss3Finale:
            if (body == nullptr) return;
            if (id != Cutin::kBoss0Hammer) {
                const CPoseForDraw striking(body, id == Cutin::kBoss3Finale ? 22 : 3, 60);
                body->Draw(target);
            } else {
                body->Draw(target);
            }
            focus = body;
            column = id == Cutin::kBoss1Finale ? 2 : id == Cutin::kBoss3Finale ? 3 : 0;
            break;
        default: return;
    }
    int32_t x0 = 0, y0 = 0;
    GetCameraOrigin(x0, y0);
    const int32_t z = cutinScreen.zoom;
    if (z <= 8) return;
    const bool growing = z > 24;
    const int32_t s = growing ? (z - 24) * 32 : (24 - z) * 16;
    const Rect source{column * 64, growing ? 0 : 64, column * 64 + 64, growing ? 64 : 128};
    const Size size{s, s};
    const int32_t x = TruncInt(focus->x) - s / 2 - x0, y = TruncInt(focus->y) - s / 2 - y0;
    ISurface& image = CImageLoader::GetImage(2);
    if (growing) {
        target->AddBlt(&image, x, y, &size, &source);
    } else {
        target->AddRateBlt(&image, x, y, static_cast<uint8_t>(255 - (24 - z) * 16), &size, &source);
    }
}

void CGameResource::DrawSkillEffect(ISurface* target) {
    const int32_t k = 150 - status.finisherCounter;
    if (k <= 0) return;
    const bool left = player->facing != 0;
    int32_t x0 = 0, y0 = 0;
    GetCameraOrigin(x0, y0);
    const int32_t px = TruncInt(player->x) - x0 + (left ? k / 2 : -(k / 2));
    const int32_t py = TruncInt(player->y) - y0;
    const int32_t reach = 6 * k;

    const int32_t x1 = left ? px - 50 : px;
    if (0 <= x1 + 50 && x1 + 50 <= 690) {
        const Rect source = left ? Rect{50, 0, 100, 320} : Rect{0, 0, 50, 320};
        const Size size{50, reach / 5 + 12 * k};
        target->AddBlt(&CImageLoader::GetImage(18), x1, py - reach / 10 - reach, &size, &source);
    }
    // The band on the far side of the hero, with its two soft edges.
    const int32_t bandLeft = left ? 0 : px + 50;
    const int32_t bandRight = left ? px - 50 : kW;
    ISurface& edge = CImageLoader::GetImage(17);
    const auto edgePiece = [&](int32_t top, int32_t y) {
        const Rect source{0, top, left ? px - 50 : 640, top + 80};
        target->AddBlt(&edge, bandLeft, y, nullptr, &source);
    };
    if (py - reach > 0) edgePiece(0, py - reach - 80);
    target->SetFillColor(0xFFFFFF);
    const Rect band{bandLeft, py - reach, bandRight, py + reach};
    target->Clear(&band);
    if (py + reach < kH) edgePiece(80, py + reach);

    // Three rounds of six sparks along the band, each shown at random.
    ISurface& sparks = CImageLoader::GetImage(16);
    int32_t sx = left ? 0 : px + 50;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 6; ++i, sx += 35) {
            if ((drawRand.Get() & 3) != 0) continue;
            const int32_t height = k * 480 / 150 + 80;
            const int32_t offset = (i % 2 == 1 ? -64 : 12 * k + 64 - height) +
                                   (static_cast<int32_t>(drawRand.Get() & 63) - 32) * k * 4 / 150;
            const Rect source{40 * i, 0, 40 * i + 40, 80};
            const Size size{40, height};
            target->BlendBlt(&sparks, sx, py - reach + offset, 255, &size, &source);
        }
    }
}

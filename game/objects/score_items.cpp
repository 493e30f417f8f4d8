// The play state's operations for the objects: the score chain and its popups, items and
// their effects on the hero, enemy shots and reflection, sparkle bursts, position tests, and
// the popups kept on the screen with their text.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/sine_table.h"
#include "game/ids.h"
#include "game/play/game_resource.h"
#include "game/widgets/message_window.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::Rect;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

constexpr int32_t kPaidAtOnce = 5;  // the death code of a kill that skips the chain
constexpr int32_t kPopupFrames = 180;
constexpr int32_t kBonusFrames = 300;

}  // namespace

// ---- score

void CGameResource::QueueKillScore(int32_t points, int32_t code, int32_t x, int32_t y) {
    if (points < 0) points = WrapSub(progress.stage * 50, points);
    if (code == kPaidAtOnce) {  // half again
        AddScore(TruncInt(points * 1.5), x, y);
        scoreChainDisplay[kBonusPopup] = kPopupFrames;
        return;
    }
    killScores.push_back({x, y, points, code});
    killScoreTimer = 8;
}

void CGameResource::FlushScoreQueue() {
    for (const int32_t timer : {kChainPopup, kBonusPopup, kSpecialPopup, kTimeBonusPopup, kLifeBonusPopup}) {
        if (scoreChainDisplay[timer] > 0) --scoreChainDisplay[timer];
    }
    if (killScoreTimer == 0) return;
    if (--killScoreTimer > 0) return;
    const size_t n = killScores.size();
    const double factor = std::min(2.0, 1 + 0.2 * (static_cast<double>(n) - 1));
    for (const SKillScore& kill : killScores) {
        int32_t p = TruncInt(kill.points * factor);
        if (kill.code == kStateKilledBySpecial) {
            scoreChainDisplay[kSpecialPopup] = kPopupFrames;
            p = TruncInt(p * 1.5);
        }
        AddScore(p, kill.x, kill.y);
    }
    if (n >= 2) {
        scoreChainDisplay[kChainPopup] = kPopupFrames;
        scoreChainDisplay[kChainCount] = static_cast<int32_t>(n - 1);
    }
    killScores.clear();
}

void CGameResource::AddScore(int32_t points, int32_t x, int32_t y) {
    if (points <= 0) return;
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    if (CObjectENumber* number = CreateScoreNumber(static_cast<double>(x) - cx, static_cast<double>(y) - cy)) {
        number->value = points;
        number->fadeCounter = 32;
        number->fadeLength = 32;
        number->fadeDelay = 16;
        number->fadeRepeat = 0;
        number->KeepOnScreen();
    }
    status.GainScore(points);
}

void CGameResource::AddBossBonus() {
    if (bossObjects.empty() || !bossObjects[0]) return;
    const int64_t score = bossObjects[0]->kind->score;
    // Only overtime (a negative limit) lowers the first part.
    if (timeLimit > 0) timeLimit = 0;
    const int64_t first = score / 2 + 5 * static_cast<int64_t>(timeLimit);
    if (first > 0) {
        const int32_t shown = static_cast<int32_t>(std::min<int64_t>(first, SPlayerStatus::kMaxScore));
        status.GainScore(first);
        scoreChainDisplay[kTimeBonusPopup] = kBonusFrames;
        scoreChainDisplay[kTimeBonusValue] = shown;
    }
    // 64 bits: a 200,000-point boss at 13,000 HP is beyond 32.
    int64_t second = fightStartHp == 0 ? 0 : score * status.hp / fightStartHp / 2;
    second = std::clamp<int64_t>(second, -SPlayerStatus::kMaxScore, SPlayerStatus::kMaxScore);
    status.GainScore(second);
    scoreChainDisplay[kLifeBonusPopup] = kBonusFrames;
    scoreChainDisplay[kLifeBonusValue] = static_cast<int32_t>(second);
    timeLimit = 0;
}

void CGameResource::AddGauge(int32_t delta) {
    status.gauge = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(status.gauge) + delta, 0, 10000));
}

// ---- items

void CGameResource::SpawnNextItem(int32_t x, int32_t y) { SpawnItem(x, y, NextDropItem()); }

void CGameResource::SpawnItem(int32_t x, int32_t y, uint8_t kind) {
    if ((kind == 7 && progress.itemLevel1 != 0) || (kind == 8 && progress.itemLevel2 != 0)) kind = 6;
    if (CObjectItem* item = CreateItem(kind, x, y)) item->SetVelocityFromPosition(3.0);
}

void CGameResource::ApplyItem(uint8_t kind) {
    SPlayerStatus& s = status;
    // The burst and the popup stand at the hero; a play state without one places neither.
    CObjectAvatar* hero = player.GetNoCheck();
    const auto burst = [this, hero] {
        if (hero != nullptr) SpawnBurstAt(*hero);
    };
    const auto topUpEnergy = [&s] {
        s.energyTimer = std::min(s.energyTimer + 750, 1500);
        s.barrierEnergy = s.maxBarrierEnergy;
    };
    static constexpr uint32_t kGreen = 0xA0FFA0, kBlue = 0x80C0FF;
    const char* text = nullptr;
    uint32_t colour = kBlue;
    switch (kind) {
        case 0:
            s.hp = std::min(s.hp + 2500, s.maxHp);
            burst();
            text = "HP+", colour = kGreen;
            break;
        case 1:
            s.magicRequest = 1;
            text = "MAGIC+";
            break;
        case 2:
            s.speedUpTimer = 1500;
            text = "SPEED+";
            break;
        case 3:
            s.energyTimer = 1500;
            s.barrierEnergy = s.maxBarrierEnergy;
            text = "MP++";
            break;
        case 4:
            topUpEnergy();
            s.hp = s.maxHp;
            burst();
            text = "HP++ MP+", colour = kGreen;
            break;
        case 5:
            topUpEnergy();
            AddGauge(5000);
            text = "TP+ MP+", colour = kGreen;
            break;
        case 7:
            s.maxHp = 13000;
            s.hp = std::min(s.hp + 3000, 13000);
            progress.itemLevel1 = 1;
            text = "MaxHP+";
            break;
        case 8:
            s.maxBarrierEnergy = 13000;
            progress.itemLevel2 = 1;
            text = "MaxMP+";
            break;
        default: break;
    }
    if (text != nullptr && hero != nullptr) {
        int32_t cx = 0, cy = 0;
        GetCameraOrigin(cx, cy);
        const int32_t px = WrapSub(TruncInt(hero->x), cx), py = WrapSub(TruncInt(hero->y), cy);
        const int32_t length = static_cast<int32_t>(std::strlen(text));
        if (CObjectFont* popup = CreateFont(120, static_cast<double>(px) - 7 * length, py)) {
            popup->SetText(28, colour, true, text);
            popup->motion.vx = 0;
            popup->motion.vy = py < 64 ? 0.5 : -0.5;  // drifts away from the top edge
            popup->fadeCounter = 60;
            popup->fadeLength = 60;
            popup->fadeDelay = 60;
            popup->fadeRepeat = 0;
        }
    }
    PlaySe(Se::kItemTaken);
}

void CGameResource::PickItemPicture(uint32_t r, int32_t& image, Rect& rect) const {
    const uint8_t k = itemDropList.empty() ? 0 : itemDropList[(r % 256) % itemDropList.size()];
    const std::vector<SObjectKind>& items = kinds.objects[4];
    if (k >= items.size()) {
        image = -1;
        rect = Rect{};
        return;
    }
    const SObjectKind& kind = items[k];
    image = kind.image;
    rect = {kind.srcX, kind.srcY, kind.srcX + kind.cellWidth, kind.srcY + kind.cellHeight};
}

// ---- shots

// Enemies fire only from points in the view.
bool CGameResource::IsInView(double x, double y) const {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    return cx <= x && x <= cx + 639.0 && cy <= y && y <= cy + 479.0;
}

void CGameResource::FireShots(int32_t kind, double x, double y, uint8_t angle, int32_t images, double speed) {
    if (!IsInView(x, y)) return;
    CObjectShot* shot = nullptr;
    if (images < 1) {
        shot = CreateShot(kind, TruncInt(x), TruncInt(y), 0);
    } else if (CObjectShotShadow* trailed = CreateShotShadow(kind, TruncInt(x), TruncInt(y))) {
        trailed->trailSpacing = 1;
        trailed->trailLength = static_cast<uint16_t>(2 * images);
        shot = trailed;
    }
    if (shot != nullptr) {
        shot->motion.vx = CosOf(angle) * speed;
        shot->motion.vy = SinOf(angle) * speed;
    }
    if (kind >= 4 && kind <= 12) PlayShotSound(kind - 4);
}

void CGameResource::FireAimedShot(int32_t kind, double x, double y, double speed) {
    if (!IsInView(x, y)) return;
    if (CObjectShot* shot = CreateShot(kind, TruncInt(x), TruncInt(y), 0)) shot->SetCourse(*player, speed, 0, 0);
    if (kind >= 4 && kind <= 12) PlayShotSound(kind - 4);
}

void CGameResource::PlayShotSound(int32_t k) {
    static constexpr Se kSounds[9] = {Se::kShot0, Se::kShot0, Se::kShot1,    Se::kShot1,   Se::kShot2,
                                      Se::kShot3, Se::kNone,  Se::kShotHigh, Se::kShotHigh};
    if (k >= 0 && k < 9 && kSounds[k] != Se::kNone) PlaySe(kSounds[k]);
}

void CGameResource::ReflectShot(const CObjectShot& shot) {
    const int32_t x = TruncInt(shot.x), y = TruncInt(shot.y);
    CObjectReflect* reflector = CreateReflect(shot.kind, x, y);
    if (reflector == nullptr) return;
    const uint8_t a = AngleOf(x - player->x, y - player->y);
    const uint8_t back = static_cast<uint8_t>(a + 128);
    reflector->motion.vx = CosOf(back) * 2.0;
    reflector->motion.vy = SinOf(back) * 2.0;
    reflector->motion.accelAngle = a;
    reflector->motion.accel = 0.5;
    reflector->motion.speedLimit = shot.motion.Speed() + 8.0;
    reflector->angle = a;
}

// ---- effects

CObjectEffect* CGameResource::CreateEffectAtWorld(int32_t id, int32_t lifetime, double x, double y) {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    return CreateEffect(id, lifetime, x - cx, y - cy);
}

void CGameResource::SpawnBurst(int32_t w, int32_t h, double x, double y) {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    const double sx = x - cx, sy = y - cy;
    // No draw for an empty bound.
    const auto draw = [this](int32_t bound) { return bound > 0 ? static_cast<int32_t>(playRand.Get() % bound) : 0; };
    for (int32_t i = 0; i < 16; ++i) {
        const int32_t ry = draw(h);
        const int32_t rx = draw(w);
        if (CObjectEffect* e = CreateEffect(37 + i % 2, -1, sx + rx - w / 2, sy + ry - h / 2)) {
            e->startDelay = static_cast<int16_t>(2 * i);
        }
    }
    PlaySe(Se::kSparkleBurst);
}

void CGameResource::SpawnBurstAt(const CObjectBase& object) {
    SpawnBurst(2 * object.kind->hitWidth, 2 * object.kind->hitHeight, object.x, object.y);
}

// ---- queries

CObjectBarrier* CGameResource::GetActiveBarrier() { return barriers[status.magicTimer >= 1 ? 1 : 0].GetNoCheck(); }

void CGameResource::RemoveLandOfKind(uint16_t index, const Rect& rect) {
    for (const ObjectPtr& o : objects) {
        if (o->GetType() != kTypeLand || o->kind->index != index) continue;
        const int32_t x = TruncInt(o->x), y = TruncInt(o->y);
        if (rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom) o->SetState(kStateRemove);
    }
}

bool CGameResource::AnyEnemyOnScreen() const {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    for (const ObjectPtr& o : objects) {
        const int32_t t = o->GetType();
        if (t != kTypeShot && !(t == kTypeEnemy && o->kind->undying == 0)) continue;
        const int64_t sx = static_cast<int64_t>(TruncInt(o->x)) - cx, sy = static_cast<int64_t>(TruncInt(o->y)) - cy;
        if (sx >= 0 && sx < kScreenWidth && sy >= 0 && sy < kScreenHeight) return true;
    }
    return false;
}

namespace {

const CObjectBase* BossBody(const std::vector<CGameResource::ObjectPtr>& bosses) {
    return bosses.empty() ? nullptr : bosses[0].GetNoCheck();
}

}  // namespace

bool CGameResource::IsBossOnScreen(int32_t margin) const {
    const CObjectBase* body = BossBody(bossObjects);
    if (body == nullptr) return false;
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    const int64_t sx = static_cast<int64_t>(TruncInt(body->x)) - cx, sy = static_cast<int64_t>(TruncInt(body->y)) - cy;
    const int32_t hw = body->kind->hitWidth / 2, hh = body->kind->hitHeight / 2;
    return sx + hw >= margin && sx - hw <= 639 - margin && sy + hh >= margin && sy - hh <= 479 - margin;
}

int32_t CGameResource::DistanceToPlayer(const CObjectBase& object) const {
    const double dx = static_cast<double>(TruncInt(object.x)) - TruncInt(player->x);
    const double dy = static_cast<double>(TruncInt(object.y)) - TruncInt(player->y);
    return TruncInt(std::sqrt(dx * dx + dy * dy));
}

namespace {

// 3 px + 7 py, or px by + py bx with a boss, in unsigned 32 bits.
uint32_t PositionValue(const CGameResource& game) {
    const uint32_t px = static_cast<uint32_t>(TruncInt(game.player->x));
    const uint32_t py = static_cast<uint32_t>(TruncInt(game.player->y));
    const CObjectBase* body = BossBody(game.bossObjects);
    if (body == nullptr) return 3 * px + 7 * py;
    return px * static_cast<uint32_t>(TruncInt(body->y)) + py * static_cast<uint32_t>(TruncInt(body->x));
}

}  // namespace

bool CGameResource::PositionChance(uint32_t percent) const { return PositionValue(*this) % 100 < percent; }

uint32_t CGameResource::PositionRandom(uint32_t n) const { return n == 0 ? 0 : PositionValue(*this) % n; }

bool CGameResource::IsAboveViewCentre(double y) const {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    return cy + 240.0 > y;
}

// ---- popups on the screen

namespace {

// Moves the w x h box centred on the effect inside 640 x 480; the bottom edge wins.
void KeepBoxOnScreen(IObjectDraw& e, int32_t w, int32_t h) {
    const int64_t left = static_cast<int64_t>(TruncInt(e.x)) - w / 2;
    const int64_t top = static_cast<int64_t>(TruncInt(e.y)) - h / 2;
    if (left + w > CGameResource::kScreenWidth) {
        e.x += static_cast<double>(CGameResource::kScreenWidth - w - left);
    } else if (left < 0) {
        e.x -= static_cast<double>(left);
    }
    if (top < 0) e.y -= static_cast<double>(top);
    if (top + h > CGameResource::kScreenHeight) e.y += static_cast<double>(CGameResource::kScreenHeight - h - top);
}

}  // namespace

void CObjectEffect::KeepOnScreen() { KeepBoxOnScreen(*this, kind->cellWidth, kind->cellHeight); }

void CObjectENumber::KeepOnScreen() {
    // A value below 1 still shows one digit.
    const int32_t digits = value < 1 ? 1 : static_cast<int32_t>(std::log10(value)) + 1;
    KeepBoxOnScreen(*this, digits * kind->cellWidth, kind->cellHeight);
}

void CObjectFont::SetText(int32_t size, uint32_t colour, bool proportional, const VTLstring& text) {
    static constexpr uint32_t kShadow = 0x202020;
    const SGlobalConfig& config = WindowConfig();
    tovarineGameSDK3rd::Draw::CFont& font = *textPlane.GetFont();
    font.SetColor(colour);
    font.SetShadowColor(config.textShadow ? kShadow : tovarineGameSDK3rd::Draw::CFont::kNoColour);
    font.SetText(text);
    font.SetFont(proportional ? config.propFontName : VTLstring("MS ゴシック"));
    font.SetSize(size);
    font.SetLineHeight(size + 4);
    font.SetShadowOffset(2, 2);
    if (config.smoothText) {
        textPlane.UpdateTextAA2();
        smoothed = 1;
    } else {
        textPlane.UpdateText();
    }
}

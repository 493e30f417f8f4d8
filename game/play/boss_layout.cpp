// The boss's pieces in formation, run by the object passes in every sub-step: the body rides
// its leading segment, boss 12's segments follow the head along a trail, and boss 0 is posed
// from the animation table step by step, with tilt, mirroring and afterimages.
#include <algorithm>

#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "game/play/boss_fight.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

namespace {

constexpr uint8_t kPoseActive = 0;
constexpr uint8_t kPoseHidden = 1;
constexpr uint8_t kPoseShown = 8;  // shown, does not hurt
constexpr uint8_t kPoseEnraged = 10;
constexpr int32_t kChainSpacing = 16;  // trail entries per element
constexpr uint8_t kChainTurn = 4;

void Ride(CGameResource& game, CObjectEnemy& body) {
    if (game.boss.heightSegment >= game.formation.segments.size()) return;
    const CGameResource::ObjectPtr& segment = game.formation.segments[game.boss.heightSegment];
    if (!segment) return;
    body.x = segment->x;
    body.y = segment->y - segment->kind->hitHeight / 2;
    body.motion = segment->motion;
}

void LayChain(CGameResource& game, CObjectEnemy& body) {
    std::vector<SChainTrailEntry>& trail = game.formation.trail;
    const size_t n = game.bossObjects.size();
    size_t used = trail.size();
    if (kChainSpacing * n > used) return;
    int32_t s = kChainSpacing;
    if (game.formation.coils != 0) {
        const int32_t c = std::min<int32_t>(game.formation.coils, 14);
        used -= n * c;
        s -= c;
    }
    trail[0].x = body.x;
    trail[0].y = body.y;
    trail[0].angle = TurnAngleToward(body.facing, kChainTurn, AngleOf(body.motion.vx, body.motion.vy));
    for (size_t i = used - 1; i >= 1; --i) {
        trail[i].angle = TurnAngleToward(trail[i].angle, kChainTurn, trail[i - 1].angle);
    }
    const double link = (body.kind->hitWidth * 3.0 * 0.25 + game.formation.extension) / s;
    for (size_t i = 1; i < used; ++i) {
        const uint8_t a = trail[i - 1].angle;
        trail[i].x = trail[i - 1].x + SinOf(static_cast<uint8_t>(a - 64)) * link;
        trail[i].y = trail[i - 1].y + SinOf(static_cast<uint8_t>(a + 128)) * link;
    }
    for (size_t k = 0; k < n; ++k) {
        CObjectEnemy* element = BossElement(game.bossObjects, k);
        if (element == nullptr) continue;
        const SChainTrailEntry& e = trail[k * s];
        element->x = e.x;
        element->y = e.y;
        element->facing = e.angle;
    }
}

// The skeleton's frame: where the parts of one step sit relative to the body.
struct SSkeleton {
    CObjectEnemy& body;
    const SBossBlock& block;
    size_t k;  // the current step
    int64_t baseX, baseY;  // wide: a table's values and far positions cannot overflow
    bool right;  // mirrored about the anchor

    int64_t MirrorX(int64_t px) const { return right ? 2 * int64_t{block.value1} - px : px; }
    void Place(CObjectBase& o, int64_t px, int64_t py) const {
        o.x = static_cast<double>(baseX + px);
        o.y = static_cast<double>(baseY + py);
    }
};

void PosePartsByAnimation(CGameResource& game, const SBossBlock& block) {
    const bool still = !game.IsBossAnimationRunning() || game.boss.damageScale == 0;
    for (size_t j = 0; j < block.partOn.size(); ++j) {
        CObjectEnemy* part = BossElement(game.bossObjects, j + 1);
        if (part == nullptr || part->kind->power == 0 || part->pose == kPoseHidden) continue;
        uint8_t pose = kPoseShown;
        if (!still && block.partOn[j]) pose = game.boss.enraged != 0 ? kPoseEnraged : kPoseActive;
        SetPose(*part, pose);
    }
}

// The first boss part glides through a step from the previous step's first pair, from step 4 on.
void Interpolate(const CGameResource& game, const SSkeleton& sk, int64_t& px, int64_t& py) {
    if (sk.k <= 3) return;
    const SBossStep& prev = sk.block.steps[sk.k - 1];
    const int64_t length = int64_t{sk.block.steps[sk.k].endTime} - prev.endTime;
    const int64_t spent = int64_t{game.boss.animationFrame} - prev.endTime;
    if (length == 0 || spent >= length || prev.partValues.empty()) return;
    const auto [x0, y0] = prev.partValues[0];
    const auto along = [&](int64_t from, int64_t to) {
        return static_cast<int64_t>(from + static_cast<__int128>(to - from) * spent / length);
    };
    px = along(x0, px);
    py = along(y0, py);
}

void LayAfterimages(CGameResource& game, const SSkeleton& sk, int64_t px, int64_t py) {
    const size_t m = game.formation.afterimageParts.size();
    const auto [x0, y0] = sk.block.steps[sk.k].partValues[0];
    const int32_t picture = WrapSub(sk.block.steps[sk.k].x, sk.block.steps[0].x);
    for (size_t i = 0; i < m; ++i) {
        CObjectEnemy* a = BossElement(game.formation.afterimageParts, i);
        if (a == nullptr) continue;
        const int64_t di = static_cast<int64_t>(i), dm = static_cast<int64_t>(m);
        sk.Place(*a, sk.MirrorX(x0 + (px - x0) * di / dm), y0 + (py - y0) * di / dm);
        if (sk.k < 8 || i == 0) {
            SetPose(*a, kPoseShown);
            a->phase = picture;
            a->alpha = static_cast<uint8_t>(255 - 100 * i);
            a->facing = sk.body.facing;
        } else {
            a->alpha = 0;
        }
    }
}

void PlaceParts(CGameResource& game, const SSkeleton& sk) {
    const SBossStep& step = sk.block.steps[sk.k];
    const uint16_t tilt = game.boss.tilt;
    int64_t ox = 0, oy = 0;
    if (tilt != 0) {
        int w = 0, h = 0;
        KestraneGameBase2::CImageLoader::GetImage(step.x).GetSize(&w, &h);
        ox = -(w / 4);
        oy = -(h / 2);
    }
    const uint8_t t = static_cast<uint8_t>(tilt >> 8);
    for (size_t j = 0; j < step.partValues.size(); ++j) {
        CObjectEnemy* part = BossElement(game.bossObjects, j + 1);
        if (part == nullptr) continue;
        int64_t px = step.partValues[j].first, py = step.partValues[j].second;
        if (px == -1) {
            SetPose(*part, kPoseHidden);
            if (j == 0) {
                for (size_t i = 0; i < game.formation.afterimageParts.size(); ++i) {
                    if (CObjectEnemy* a = BossElement(game.formation.afterimageParts, i)) SetPose(*a, kPoseHidden);
                }
            }
            continue;
        }
        if (j == 0) {
            Interpolate(game, sk, px, py);
            LayAfterimages(game, sk, px, py);
        }
        if (part->pose == kPoseHidden) SetPose(*part, kPoseShown);
        if (tilt != 0) {
            const double x = static_cast<double>(px + ox), y = static_cast<double>(py + oy);
            px = TruncInt(CosOf(t) * x - SinOf(t) * y) - ox;
            py = TruncInt(SinOf(t) * x + CosOf(t) * y) - oy;
        }
        sk.Place(*part, sk.MirrorX(px), py);
    }
}

void PlaceSpecialPart(CGameResource& game, const SSkeleton& sk) {
    CObjectEnemy* special = dynamic_cast<CObjectEnemy*>(game.formation.specialPart.GetNoCheck());
    if (special == nullptr) return;
    if (game.boss.animation >= 5 || game.boss.flinchCountdown <= 0) {
        SetPose(*special, kPoseHidden);
        return;
    }
    SetPose(*special, kPoseShown);
    const int32_t picture = sk.block.steps[sk.k].x;
    special->phase = WrapSub(picture, sk.right ? 284 : 300);
    sk.Place(*special, sk.right ? 50 : 56, 66);
}

}  // namespace

void CGameResource::UpdateBossChain(bool evenWhenDefeated) {
    CObjectEnemy* body = BossElement(bossObjects, 0);
    if (body == nullptr || (boss.hp <= 0 && !evenWhenDefeated)) return;
    Ride(*this, *body);
    if (boss.bossId == 12) LayChain(*this, *body);
    if (boss.bossId != 0 || static_cast<uint32_t>(boss.animation) >= bossAnimations.size()) return;

    const SBossBlock& block = bossAnimations[static_cast<uint32_t>(boss.animation)];
    const bool right = body->facing != kFacingLeft;
    const uint8_t turn = static_cast<uint8_t>(boss.tilt >> 8);
    body->turn = right && boss.tilt != 0 ? static_cast<uint8_t>(-turn) : turn;
    if (block.partOn.size() + 1 <= bossObjects.size()) PosePartsByAnimation(*this, block);
    if (block.steps.empty()) return;

    const size_t k = BossStepAt(block, boss.animationFrame);
    boss.displayOffsetX = block.value1;
    boss.displayOffsetY = block.value2;
    body->phase = block.steps[k].x;
    const SSkeleton sk{*body, block, k, int64_t{TruncInt(body->x)} - block.value1,
                       int64_t{TruncInt(body->y)} - block.value2, right};
    if (block.steps[k].partValues.size() + 1 <= bossObjects.size()) PlaceParts(*this, sk);
    PlaceSpecialPart(*this, sk);
}

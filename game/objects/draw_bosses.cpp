// The draw of boss bodies and boss parts: large pictures chosen by the kind's special frame
// durations, a few looks of their own, and the three character bodies with their trail, arm
// and held weapon. Drawing reads no play generator; the turned body shifts its own trail.
#include <algorithm>

#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "game/objects/objects.h"

using KestraneGameBase2::CImageLoader;
using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::Draw::Rect;

namespace {

ISurface& Image(int32_t id) { return CImageLoader::GetImage(id); }

constexpr int32_t kArmImage = 11;
constexpr int32_t kWeaponImage = 89;

// How a character body is drawn in its pose.
struct BodyLook {
    int32_t column = 0;  // column base: three frames a set
    int32_t row = 0;
    int32_t weapon = -1;  // weapon (arm) mode: -1 none, 2 the turned body
    int32_t held = -1;    // weapon piece: -1 none, 0 in front of the body, 1 behind it
    bool armAfter = false;
    bool tinted = false;
    uint32_t tint = 0;
    bool panel = false;  // the status panel behind the body
};

BodyLook LookOfBody1(uint8_t pose, int32_t t) {
    BodyLook l;
    switch (pose) {
    case 2: case 5: l.column = 1, l.row = 1; break;
    case 3: l.row = 2; break;
    case 17: l.column = 1; break;
    case 18:
        if ((t / 30) % 2 == 0) l.column = 1, l.row = 2;
        break;
    case 19: l.row = 1, l.tinted = true, l.tint = RisingLevel(8, t) << 16; break;
    case 23: l.row = 1, l.tinted = true, l.tint = RisingLevel(5, t) << 16; break;
    default: break;
    }
    return l;
}

BodyLook LookOfBody3(uint8_t pose, int32_t t, bool facingRight) {
    BodyLook l;
    l.weapon = 0, l.held = 0;
    auto set = [&](int32_t column, int32_t row, int32_t weapon, int32_t held) {
        l.column = column, l.row = row, l.weapon = weapon, l.held = held;
    };
    switch (pose) {
    case 2: set(1, 0, 0, 0); break;
    case 3: set(1, 4, 1, t > 10 ? -1 : 0), l.armAfter = !facingRight; break;
    case 5: set(1, 0, -1, -1), l.panel = true; break;
    case 7: set(0, 9, 2, -1); break;
    case 19: set(1, 3, 1, 0), l.armAfter = facingRight; break;
    case 20: set(0, 1, 1, 0); break;
    case 21: set(1, 1, 1, 0); break;
    case 22: set(0, 2, 0, 0); break;
    case 23: {
        set(0, 1, 1, 0);
        const uint32_t u = static_cast<uint32_t>(t);
        l.tinted = true, l.tint = ((3 * u & 255) << 16) | ((6 * u & 255) << 8) | (12 * u & 255);
        break;
    }
    case 24: set(1, 2, 1, t > 4 ? -1 : 0), l.armAfter = !facingRight; break;
    case 25: set(1, 2, 1, t > 30 ? -1 : 0), l.armAfter = !facingRight; break;
    case 26: set(0, 3, 0, 0); break;
    case 27: set(0, 4, 2, t > 16 ? -1 : 0); break;
    default: break;
    }
    return l;
}

}  // namespace

void CObjectBoss::Draw(ISurface* target) {
    if (kind->image == 0 || pose == 1) return;
    const SObjectKind& k = *kind;
    const int32_t cw = k.cellWidth;
    const int32_t ch = k.cellHeight;
    const bool facingRight = facing != kFacingLeft;
    switch (k.frameTime) {
    case -1: {  // a two-sided picture numbered by the phase
        int w = 0;
        int h = 0;
        Image(phase).GetSize(&w, &h);
        const Rect half = facingRight ? Rect{w / 2, 0, w, h} : Rect{0, 0, w / 2, h};
        DrawSprite(target, screenX, screenY, &half, phase);
        return;
    }
    case -2: {  // a grid of pictures, eight a row
        const int32_t left = phase % 8 * cw;
        const int32_t top = phase / 8 * ch;
        const Rect r{left, top, left + cw, top + ch};
        DrawSprite(target, screenX, screenY, &r);
        return;
    }
    case -3: {  // successive images by the phase, the right-facing cell beside the left one
        const int32_t left = k.srcX + (facingRight ? cw : 0);
        const Rect r{left, k.srcY, left + cw, k.srcY + ch};
        DrawSprite(target, screenX, screenY, &r, k.image + phase);
        return;
    }
    case -7:
        return;
    case -6: {  // a swarm of four motes around the body, drawn under it
        ISurface& src = Image(k.image);
        for (int32_t mote = 0; mote < 4; ++mote) {
            const int32_t u = static_cast<int32_t>(animCounter + 13u * static_cast<uint32_t>(mote));
            const int32_t m = static_cast<int32_t>(static_cast<uint32_t>(u) % 32);
            const int32_t c = u / 32;
            Rect r{};
            if (!KindCell(m / 4, 0, r)) continue;
            const int32_t e = (40 - m) / 2 + 24;
            const uint8_t a = static_cast<uint8_t>(4 * m);
            const int32_t dx = TruncInt((((7 * c + 24 * mote) % 48) - 24) * e / 32 * CosOf(a));
            const int32_t dy = TruncInt((((11 * c + 24 * mote) % 48) - 24) * e / 32 * SinOf(a));
            const bool swapped = mote >= 2;
            target->AddBlt(&src, screenX + (swapped ? dy : dx), screenY + (swapped ? dx : dy), nullptr, &r);
        }
        break;
    }
    default:
        break;
    }
    Rect r{};
    switch (k.index) {
    case 12: {  // eight directions from the facing angle
        const int32_t f = pose == 2 || pose == 5 ? 0 : FrameOf(k, animCounter);
        if (KindCell(f, ((facing + 16) / 32 + 4) % 8, r)) DrawSprite(target, screenX, screenY, &r);
        return;
    }
    case 17:
        if (KindCell(FrameOf(k, animCounter), facingRight ? 1 : 0, r)) DrawSprite(target, screenX, screenY, &r);
        return;
    case 24:
        if (pose == 19 && poseTimer % 4 < 2) {  // a flash: the glow cell left of the origin over the body
            CObjectBase::Draw(target);
            if (!KindCell(-1, 0, r)) return;
            if (turn != 0) {
                RotateAlphaBlt(target, Image(k.image), screenX, screenY, turn, &r);
            } else {
                target->BlendBlt(&Image(k.image), screenX, screenY, alpha, nullptr, &r);
            }
            return;
        }
        break;
    case 1: case 2: case 3:
        DrawCharacterBody(target);
        return;
    default:
        break;
    }
    CObjectBase::Draw(target);
}

void CObjectBoss::DrawCharacterBody(ISurface* target) {
    const SObjectKind& k = *kind;
    const int32_t cw = k.cellWidth;
    const int32_t ch = k.cellHeight;
    const int32_t x = screenX;
    const int32_t y = screenY;
    bool facingRight = facing != kFacingLeft;
    BodyLook l;
    if (k.index == 1) {
        l = LookOfBody1(pose, poseTimer);
    } else if (k.index == 2) {
        l.row = pose == 2 || pose == 5 ? 1 : 0;
    } else {
        l = LookOfBody3(pose, poseTimer, facingRight);
        if (l.weapon == 2) facingRight = false;  // the turned body always lies the same way
    }
    int32_t piece = l.column + 2 * l.row;  // the weapon follows the unmirrored row
    if (phase == 1 && (animCounter & 4) == 0) piece += 20;
    if (facingRight) {
        l.row += k.index == 1 ? 3 : k.index == 2 ? 2 : 5;
        if (l.held == 0) l.held = 1;
    }

    if (k.index == 2 && pose == 15) {
        const Rect mark{120, 288, 144, 320};
        BltKeyedCopy(*target, Image(0), x + 40, y - 36, &mark);
    }
    if (l.panel) {
        const Rect panel{0, 111, 108, 131};
        BltBlend(*target, Image(1), x - 32, y - 20, 255, &panel);
    }

    const int32_t frame = FrameOf(k, animCounter);
    if (l.weapon == 2) {  // the body lying on its side: the cell turned, H wide and W high
        OffsetTrailScreen((ch - cw) / 2, (cw - ch) / 2);
        Rect r{};
        if (!KindCell(3 * l.column, l.row, r)) return;
        if (frame % 2 != 0) r.left += ch;
        r.right = r.left + ch;
        r.bottom = r.top + cw;
        DrawTrailRect(target, kind, alpha, &r);
        DrawArm(target, 2);
        BltKeyedCopy(*target, Image(k.image), x - cw / 2 + ch / 2, y - ch / 2 + cw / 2, &r);
        if (l.held >= 0) DrawWeapon(target, piece, facingRight);
        return;
    }
    const int32_t left = (frame + 3 * l.column) * cw;
    const Rect r{left, l.row * ch, left + cw, l.row * ch + ch};
    const int32_t bodyY = l.weapon == 1 ? y - 3 : y;
    DrawTrailRect(target, kind, alpha, &r);
    if (l.held == 1) DrawWeapon(target, piece, facingRight);  // behind the body
    if (!l.armAfter) DrawArm(target, l.weapon);
    if (l.tinted) {
        AddColor(*target, Image(k.image), l.tint, x, bodyY, &r);
    } else {
        DrawSprite(target, x, bodyY, &r);
    }
    if (l.armAfter) DrawArm(target, l.weapon);
    if (l.held == 0) DrawWeapon(target, piece, facingRight);  // in front
}

void CObjectBoss::DrawArm(ISurface* target, int32_t mode) {
    if (mode < 0) return;
    const bool right = facing != kFacingLeft;
    const int32_t left = static_cast<int32_t>(((animCounter >> 1) & 1) + 2 * static_cast<uint32_t>(mode) + 2) * 32;
    const Rect r{left, right ? 32 : 0, left + 32, right ? 64 : 32};
    // Where the arm joins the body, by mode: facing left, facing right.
    static constexpr int32_t kOffset[3][2][2] = {{{31, 17}, {-3, 17}}, {{30, 2}, {-2, 2}}, {{22, -17}, {28, -17}}};
    const int32_t* o = mode < 3 ? kOffset[mode][right ? 1 : 0] : nullptr;
    const int32_t dx = o ? o[0] : 0;
    const int32_t dy = o ? o[1] : 0;
    target->BlendBlt(&Image(kArmImage), screenX + dx, screenY + dy, 255, nullptr, &r);
}

void CObjectBoss::DrawWeapon(ISurface* target, int32_t piece, bool facingRight) {
    if (piece < 0) return;
    const bool big = piece >= 20;
    if (big) piece -= 20;
    const int32_t q = std::max(piece - 4, 0);
    // The hand's place in the body cell by piece, and the grip's place in the weapon cell.
    int32_t hx = 0;
    int32_t hy = 0;
    switch (piece) {
    case 0: case 1: case 4: hx = 39, hy = 48; break;
    case 2: case 3: hx = 38, hy = 40; break;
    case 5: hx = 2, hy = 26; break;
    case 6: hx = 37, hy = 11; break;
    case 7: hx = 35, hy = 41; break;
    case 8: hx = 52, hy = 20; break;
    case 9: hx = 17, hy = -1; break;
    default: break;
    }
    static constexpr int32_t kGrip[6][2] = {{26, 9}, {30, 16}, {10, 29}, {9, 4}, {7, 9}, {24, 29}};
    int32_t dx = q < 6 ? kGrip[q][0] : 0;
    const int32_t dy = q < 6 ? kGrip[q][1] : 0;
    if (facingRight) {
        const int32_t span = piece == 8 ? kind->cellHeight : kind->cellWidth;
        hx = span - hx + (piece == 8 ? 12 : 0);
        dx = 32 - dx;
    }
    const int32_t top = (facingRight ? 32 : 0) + (big ? 64 : 0);
    const Rect r{32 * q, top, 32 * q + 32, top + 32};
    BltKeyedCopy(*target, Image(kWeaponImage), screenX - dx + hx, screenY - dy + hy, &r);
}

// The common object draw with its helpers, the hero, the barrier, the enemies and the few
// classes that add a detail to the common draw. Drawing reads the objects and never a play
// generator: logic must not depend on a frame being drawn.
#include "blit/polygon/rotate_polygon.h"
#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "game/objects/objects.h"

using KestraneGameBase2::CBltSupport;
using KestraneGameBase2::CImageLoader;
using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::Draw::Point;
using tovarineGameSDK3rd::Draw::PolyBltGeometry;
using tovarineGameSDK3rd::Draw::Rect;

namespace {

ISurface& Image(int32_t id) { return CImageLoader::GetImage(id); }

int RotateBlt(ISurface* target, ISurface& plane, int32_t x, int32_t y, uint8_t angle, const Rect* source,
              int32_t op) {
    PolyBltGeometry geom;
    Rect whole{};
    Point srcPoints[4];
    Point dstPoints[4];
    if (tovarineGameSDK3rd::Draw::MakeRotatePolygon(&geom, plane.GetSurfaceInfo(), x, y, angle, 0xFFFF, 4, source,
                                                    nullptr, &whole, srcPoints, dstPoints) != 0) {
        return 1;
    }
    return target->PolyBlt(op, plane.GetSurfaceInfo(), &geom, 0);
}

}  // namespace

int32_t EffectTotalFrames(const SEffectKind& kind) {
    if (kind.frameTime < 0) return -1;
    return static_cast<int32_t>(static_cast<uint32_t>(kind.frames.size()) * static_cast<uint32_t>(kind.frameTime));
}

int32_t ImageWidth(int32_t image) {
    int w = 0;
    int h = 0;
    Image(image).GetSize(&w, &h);
    return w;
}

int RotateKeyedBlt(ISurface* target, ISurface& plane, int32_t x, int32_t y, uint8_t angle, const Rect* source) {
    return RotateBlt(target, plane, x, y, angle, source, 1);
}

int RotateAlphaBlt(ISurface* target, ISurface& plane, int32_t x, int32_t y, uint8_t angle, const Rect* source) {
    return RotateBlt(target, plane, x, y, angle, source, 10);
}

bool CObjectBase::KindCell(int32_t f, int32_t r, Rect& rect) const {
    rect = Rect{f, r, 0, 0};
    return CellRect(*kind, rect, kind->image);
}

void CObjectBase::DrawSprite(ISurface* target, int32_t x, int32_t y, const Rect* source, int32_t image) {
    if (image == -1) image = kind->image;
    const uint8_t a = EffectiveAlpha();
    if (a == 0) return;
    ISurface& src = Image(image);
    const uint8_t blend = kind->blend;
    if (additive != 0 || blend == 2) {
        if (a == 255) {
            target->AddBlt(&src, x, y, nullptr, source);
        } else {
            BltAddRate(*target, src, x, y, a, source);
        }
    } else if (blend == 1) {
        if (a == 255) {
            BltCopy(*target, src, x, y, source);
        } else {
            BltBlend(*target, src, x, y, a, source);
        }
    } else if (blend == 3) {
        if (turn != 0) {
            RotateAlphaBlt(target, src, x, y, turn, source);
        } else {
            BltBlend(*target, src, x, y, a, source);
        }
    } else if (turn != 0) {  // no mode named: keyed, by the source's alpha once translucent
        if (a == 255) {
            RotateKeyedBlt(target, src, x, y, turn, source);
        } else {
            RotateAlphaBlt(target, src, x, y, turn, source);
        }
    } else if (a == 255) {
        BltKeyedCopy(*target, src, x, y, source);
    } else {
        BltKeyedBlend(*target, src, x, y, a, source);
    }
}

void CObjectBase::Draw(ISurface* target) {
    if (kind->image < 0) return;
    Rect r{};
    if (KindCell(FrameOf(*kind, animCounter), 0, r)) DrawSprite(target, screenX, screenY, &r);
}

// ---- the hero and the barrier

void CObjectAvatar::Draw(ISurface* target) {
    if (alpha == 0 || kind->image < 0) return;
    const int32_t cw = kind->cellWidth;
    const int32_t ch = kind->cellHeight;
    const int32_t left = cw * FrameOf(*kind, animCounter) + kind->srcX;
    int32_t top = kind->srcY;
    if (pose == 5) {
        top += ch;
    } else if (coolTimer != 0) {
        if (coolTimer % 4 < 2) return;  // the cool-down blinks, overlay and all
        top += ch;
    }
    if (facing == kFacingLeft && pose != 16) top += 2 * ch;  // the mirrored rows lie below
    const Rect r{left, top, left + cw, top + ch};
    ISurface& src = Image(kind->image);
    const int32_t x = screenX;
    const int32_t y = screenY;
    const uint32_t level = (static_cast<uint32_t>(poseTimer) * 4) & 255;
    switch (pose) {
    case 1:
        return;
    case 2:
        AddColor(*target, src, 0x800000, x, y, &r);
        break;
    case 3:
        AddColor(*target, src, 0x404000, x, y, &r);
        break;
    case 4:
        AddColor(*target, src, level << 16, x, y, &r);
        break;
    case 19:
        AddColor(*target, src, (level << 16) | (level << 8), x, y, &r);
        break;
    case 5: {
        const Rect panel{0, 111, 108, 131};
        BltBlend(*target, Image(1), x - 32, y - 20, 255, &panel);
        BltKeyedBlend(*target, src, x, y, alpha, &r);
        break;
    }
    case 14:
    case 16: {
        const Rect mark = pose == 14 ? Rect{96, 288, 120, 320} : Rect{144, 288, 168, 320};
        BltKeyedCopy(*target, Image(0), x + 40, y - 36, &mark);
        BltKeyedCopy(*target, src, x, y, &r);
        break;
    }
    default:
        BltKeyedCopy(*target, src, x, y, &r);
        break;
    }
    DrawOverlay(target);
}

void CObjectAvatar::DrawOverlay(ISurface* target) {
    const int32_t left = static_cast<int32_t>((animCounter >> 1) & 1) * 32;
    const bool leftward = facing == kFacingLeft;
    const Rect r{left, leftward ? 0 : 32, left + 32, leftward ? 32 : 64};
    target->BlendBlt(&Image(11), screenX + (leftward ? 20 : 8), screenY + 2, alpha, nullptr, &r);
}

void CObjectAvatar::DrawBarrierGauge(ISurface* target, int32_t energy, int32_t maxEnergy, CObjectAvatar* player,
                                     bool secondRow, bool glint) {
    if (energy == maxEnergy || player->pose == 5) return;
    const int32_t len = static_cast<int32_t>(static_cast<int64_t>(maxEnergy) * 50 / 10000);
    const int32_t fill = static_cast<int32_t>(static_cast<int64_t>(energy) * 50 / 10000);
    int32_t y = player->screenY + 4 + player->kind->cellHeight;
    if (y > 480) y -= 40;
    const int32_t x = player->kind->cellWidth / 2 + player->screenX - len / 2;
    ISurface& bar = Image(0);
    const Rect frame{64, 148, len + 66, 160};
    const Rect end{166, 148, 168, 160};
    const Rect filled{64, secondRow ? 172 : 160, 64 + fill, secondRow ? 184 : 172};
    BltKeyedCopy(*target, bar, x - 1, y, &frame);
    BltKeyedCopy(*target, bar, x + 1 + len, y, &end);
    BltKeyedCopy(*target, bar, x - 1, y, &filled);
    if (glint) {
        const uint32_t u = static_cast<uint8_t>(-8 * ((energy / 10) & 31) - 1);
        const Rect shine{x + 1, y + 2, x + 1 + len, y + 10};
        target->AddColorEffect(((u & 0xFE) << 7) | u, &shine);
    }
}

void CObjectBarrier::Draw(ISurface* target) {
    if (kind->image < 0) return;
    const int32_t cw = kind->cellWidth;
    const int32_t ch = kind->cellHeight;
    ISurface& src = Image(kind->image);
    const int32_t left = kind->srcX + cw * static_cast<int32_t>((animCounter % 6) >> 1);
    const Rect inner{left, kind->srcY, left + cw, kind->srcY + ch};
    target->BlendBlt(&src, screenX, screenY, 128, nullptr, &inner);
    const int32_t m = static_cast<int32_t>(animCounter % 12);
    const Rect outer{cw * (m % 4), ch * (m / 4 + 1), cw * (m % 4) + cw, ch * (m / 4 + 2)};
    target->BlendBlt(&src, screenX, screenY, alpha, nullptr, &outer);
}

// ---- enemies

namespace {

// The enemy looks: a cell by frame and row, drawn by the draw mode or tinted.
struct EnemyPainter {
    CObjectEnemy& e;
    ISurface* target;

    void Cell(int32_t f, int32_t r, int32_t dx = 0, int32_t dy = 0) const {
        Rect rect{};
        if (e.KindCell(f, r, rect)) e.DrawSprite(target, e.screenX + dx, e.screenY + dy, &rect);
    }
    void Tint(int32_t f, int32_t r, uint32_t colour) const {
        Rect rect{};
        if (e.KindCell(f, r, rect)) CBltSupport::AddColor(*target, Image(e.kind->image), colour, e.screenX, e.screenY, &rect);
    }
    // Blue or red at level c, the other channels a quarter of it.
    static uint32_t BlueTint(uint32_t c) { return ((c & 0xFC) << 14) | ((c & 0xFC) << 6) | c; }
    static uint32_t RedTint(uint32_t c) { return (c << 16) | ((c & 0xFC) << 6) | (c >> 2); }
    uint32_t HurtLevel() const { return e.poseTimer > 30 ? 255 : RisingLevel(8, e.poseTimer); }
    int32_t Row() const { return e.facing == kFacingLeft ? 0 : 1; }
};

// The two-cell body (upper frame 0, lower frame 1) that stretches while hurt.
void DrawStretchingBody(CObjectEnemy& e, ISurface* target) {
    const int32_t h = e.kind->cellHeight;
    Rect upper{};
    Rect lower{};
    if (!e.KindCell(0, 0, upper) || !e.KindCell(1, 0, lower)) return;
    const int32_t x = e.screenX;
    const int32_t y = e.screenY;
    if (e.pose != 3) {
        e.DrawSprite(target, x, y - h / 2, &upper);
        e.DrawSprite(target, x, y + h / 2, &lower);
        return;
    }
    const uint8_t angle = static_cast<uint8_t>(4 * (static_cast<uint8_t>(e.poseTimer) + 16));
    const int32_t s = TruncInt(2.0 * h * SinOf(angle));  // the stretch
    if (e.phase == 0) {
        if (s < h) {
            upper.bottom -= h - s;
            e.DrawSprite(target, x, y + h / 2 + (h - s), &upper);
        } else {
            e.DrawSprite(target, x, y - h / 2 + (2 * h - s), &upper);
            lower.bottom -= 2 * h - s;
            e.DrawSprite(target, x, y + h / 2 + (2 * h - s), &lower);
        }
    } else if (s < h) {
        lower.top += h - s;
        e.DrawSprite(target, x, y - h / 2, &lower);
    } else {
        e.DrawSprite(target, x, y - h / 2 + (s - h), &lower);
        upper.top += 2 * h - s;
        e.DrawSprite(target, x, y - h / 2, &upper);
    }
}

// The kind's own look; false where the common draw serves.
bool DrawEnemyLook(CObjectEnemy& e, ISurface* target) {
    const EnemyPainter p{e, target};
    const SObjectKind& k = *e.kind;
    const int32_t t = e.poseTimer;
    const bool hurt = e.pose == 3;
    switch (k.index) {
    case 6: case 67: case 68: case 69: case 71: case 72:
        p.Cell(FrameOf(k, e.animCounter), p.Row());
        return true;
    case 9: case 10:
        if (!hurt || t % 4 >= 2) return false;
        p.Cell(3, 0);
        return true;
    case 11: case 12:
        if (!hurt) return false;
        p.Cell(FrameOf(k, e.animCounter), 1);
        return true;
    case 13: case 17: case 19:
    case 14: case 18: case 20: {
        if (e.pose == 8 && (k.index == 19 || k.index == 20)) {
            p.Cell(4, 0);
            return true;
        }
        if (!hurt) return false;
        const bool blue = k.index == 13 || k.index == 17 || k.index == 19;
        const uint32_t c = p.HurtLevel();
        p.Tint(FrameOf(k, e.animCounter), 0, blue ? EnemyPainter::BlueTint(c) : EnemyPainter::RedTint(c));
        return true;
    }
    case 26: case 27: {
        if (!hurt) return false;
        if (t <= 14) {
            p.Cell(1, 0);
            return true;
        }
        p.Cell(0, 0);
        Rect glow{};
        if (e.KindCell(2, 0, glow)) {
            const uint8_t rate = static_cast<uint8_t>(375 - 8 * static_cast<uint32_t>(t));
            target->BlendBlt(&Image(k.image), e.screenX, e.screenY, rate, nullptr, &glow);
        }
        return true;
    }
    case 42: {
        const int32_t f = FrameOf(k, e.animCounter);
        for (int32_t i = 0; i < 16; ++i) {
            const uint8_t a = static_cast<uint8_t>(16 * i);
            p.Cell(f, 0, TruncInt(16 * CosOf(a)), TruncInt(16 * SinOf(a)));
        }
        return true;
    }
    case 47: {
        const uint8_t a = e.turn;
        ISurface& src = Image(k.image);
        Rect r{};
        if (e.KindCell(e.phase, 0, r)) RotateKeyedBlt(target, src, e.screenX, e.screenY, a, &r);
        if (e.KindCell(0, 0, r)) {
            RotateKeyedBlt(target, src, e.screenX + TruncInt(k.cellWidth * CosOf(a)),
                           e.screenY + TruncInt(k.cellHeight * SinOf(a)), a, &r);
        }
        return true;
    }
    case 48:
        if (!(e.motion.vx > 0.0)) return false;
        p.Cell(FrameOfReverse(k, e.animCounter), 0);
        return true;
    case 60:
        DrawStretchingBody(e, target);
        return true;
    case 63: case 64: case 65: case 66: {
        if (e.pose != 23) return false;
        const uint32_t c = (static_cast<uint32_t>(t) * 4) & 255;
        p.Tint(0, 0, c * 0x010101);
        return true;
    }
    case 70: {
        const int32_t f = e.phase == 1 ? 1 : FrameOf(k, e.animCounter);
        const uint32_t h = RisingLevel(8, t);
        if (hurt) {
            p.Tint(f, p.Row(), (h << 16) | (h << 8));
        } else {
            p.Cell(f, p.Row());
        }
        return true;
    }
    case 73: {
        const uint8_t a = e.facing;
        const int32_t f = (a < 128 ? 0 : 2) + FrameOf(k, e.animCounter);
        const int32_t row = (a & 64) ? 0 : 1;
        if (hurt) {
            p.Tint(f, row, RisingLevel(8, t));
        } else {
            p.Cell(f, row);
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

void CObjectEnemy::Draw(ISurface* target) {
    if (pose == 1 || kind->image < 0) return;
    if (kind->frameTime == -4) {  // a still picture by the phase, opaque whatever the alpha
        Rect r{};
        if (!KindCell(phase, 0, r)) return;
        ISurface& src = Image(kind->image);
        if (kind->blend == 2) {
            target->AddBlt(&src, screenX, screenY, nullptr, &r);
        } else {
            BltKeyedCopy(*target, src, screenX, screenY, &r);
        }
        return;
    }
    if (!DrawEnemyLook(*this, target)) CObjectBase::Draw(target);
}

// ---- the classes that add a detail to the common draw

void CObjectCrystal::Draw(ISurface* target) {
    if (heldImage != -1) {  // the item it holds, centred in the cell
        const int32_t x = screenX + (kind->cellWidth - (heldRect.right - heldRect.left)) / 2;
        const int32_t y = screenY + (kind->cellHeight - (heldRect.bottom - heldRect.top)) / 2;
        BltKeyedCopy(*target, Image(heldImage), x, y, &heldRect);
    }
    alpha = 192;
    CObjectBase::Draw(target);
}

void CObjectItem::Draw(ISurface* target) {
    CObjectBase::Draw(target);
    if (kind->image < 0) return;
    ISurface& src = Image(kind->image);
    for (uint32_t i = 0; i < 2; ++i) {  // two sparkles wandering over the item
        const uint32_t t = animCounter + 8 * i;
        const int32_t left = static_cast<int32_t>((t % 16) / 4 * 16 + (kind->index > 5 ? 64 : 0));
        const int32_t top = i == 0 ? 96 : 112;
        const Rect r{left, top, left + 16, top + 16};
        const int32_t dx = static_cast<int32_t>((7 * (t / 16) + 24 * i) % 48) - 8;
        const int32_t dy = static_cast<int32_t>((11 * (t / 16) + 24 * i) % 48) - 8;
        BltKeyedCopy(*target, src, screenX + dx, screenY + dy, &r);
    }
}

void CObjectLand::Draw(ISurface* target) {
    if (kind->image == 0) return;
    if (kind->frameTime != -1) {
        CObjectBase::Draw(target);
        return;
    }
    if (kind->image < 0) return;
    const int32_t left = (hp % 6) * kind->cellWidth + kind->srcX;  // the look wears with the hits
    const Rect r{left, kind->srcY, left + kind->cellWidth, kind->srcY + kind->cellHeight};
    DrawSprite(target, screenX, screenY, &r);
}

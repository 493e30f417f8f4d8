// The draws of the trail classes, shots, reflectors, blocks, puddings and jellies, on the
// helpers of draw_actors.cpp. Like every draw they read no play generator.
#include "framework/image_loader.h"
#include "game/objects/objects.h"

using KestraneGameBase2::CBltSupport;
using KestraneGameBase2::CImageLoader;
using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::Draw::Rect;

namespace {

ISurface& Image(int32_t id) { return CImageLoader::GetImage(id); }

// The walk of every trail painter: copy(point, a) at every (spacing + 1)-th point, a falling by
// alpha / (length + 1) at every point, or only at the copies.
template <class Copy>
void WalkTrail(const IObjectShadow& s, uint8_t alpha, bool fadeAtCopiesOnly, Copy&& copy) {
    if (s.trailLength == 0) return;
    const uint8_t step = static_cast<uint8_t>(alpha / (s.trailLength + 1));
    uint8_t a = alpha;
    uint32_t i = 0;
    for (const IObjectShadow::SPoint& p : s.trailScreen) {
        if (!fadeAtCopiesOnly) a = static_cast<uint8_t>(a - step);
        if (++i <= s.trailSpacing) continue;
        if (fadeAtCopiesOnly) a = static_cast<uint8_t>(a - step);
        copy(p, a);
        i = 0;
    }
}

// One after-image: rate-added in mode 2, else keyed at the rate, or turned by its own alpha.
void TrailCopy(ISurface* target, int32_t image, uint8_t blend, uint8_t turn, const IObjectShadow::SPoint& p,
               uint8_t a, const Rect* source) {
    ISurface& src = Image(image);
    if (blend == 2) {
        target->AddRateBlt(&src, p.x, p.y, a, nullptr, source);
    } else if (turn != 0) {
        RotateAlphaBlt(target, src, p.x, p.y, turn, source);
    } else {
        target->KeyedBlendBlt(&src, p.x, p.y, a, nullptr, source);
    }
}

// Each copy one frame further back along the list (16-bit, clamped to its end), or copy g
// when the list is empty; g counts only while advance is set.
template <class Kind>
void FramedTrail(IObjectShadow& s, ISurface* target, const Kind& kind, int32_t counter, uint8_t alpha,
                 bool advance, bool fadeAtCopiesOnly, uint8_t turn) {
    if (kind.image < 0) return;
    uint16_t k = static_cast<uint16_t>(FrameOf(kind, static_cast<uint32_t>(counter)));
    int32_t g = 0;
    const size_t length = kind.frames.size();
    WalkTrail(s, alpha, fadeAtCopiesOnly, [&](const IObjectShadow::SPoint& p, uint8_t a) {
        int32_t frame = g;
        if (length != 0) {
            k = static_cast<uint16_t>(k - 1);
            if (k >= length) k = static_cast<uint16_t>(length - 1);
            frame = static_cast<int32_t>(kind.frames[k]);
        }
        Rect r{frame, s.trailRow, 0, 0};
        if (CellRect(kind, r, kind.image)) TrailCopy(target, kind.image, kind.blend, turn, p, a, &r);
        if (advance) ++g;
    });
}

}  // namespace

void IObjectShadow::DrawTrail(ISurface* target, const SObjectKind* kind, int32_t counter, uint8_t alpha,
                              bool advance) {
    FramedTrail(*this, target, *kind, counter, alpha, advance, false, trailTurn);
}

void IObjectShadow::DrawTrailRect(ISurface* target, const SObjectKind* kind, uint8_t alpha, const Rect* source) {
    if (kind->image < 0) return;
    WalkTrail(*this, alpha, false, [&](const SPoint& p, uint8_t a) {
        TrailCopy(target, kind->image, kind->blend, trailTurn, p, a, source);
    });
}

void IObjectShadow::DrawEffectTrail(ISurface* target, const SEffectKind* kind, int32_t counter, uint8_t alpha,
                                    bool advance) {
    FramedTrail(*this, target, *kind, counter, alpha, advance, true, 0);
}

// ---- the trail classes

void CObjectEnemyShadow::Draw(ISurface* target) {
    if (pose == 1 || kind->image < 0) return;
    Rect r{};
    if (kind->frameTime == -3) {  // a chain: body, the segments along the trail, the head on top
        ISurface& src = Image(kind->image);
        if (KindCell(1, 0, r)) target->AddBlt(&src, screenX, screenY, nullptr, &r);
        uint32_t i = 0;
        int32_t j = 2;
        for (const SPoint& p : trailScreen) {
            if (++i <= trailSpacing) continue;
            i = 0;
            if (KindCell(j++, 0, r)) target->AddBlt(&src, p.x, p.y, nullptr, &r);
        }
        if (KindCell(0, 0, r)) target->KeyedBlendBlt(&src, screenX, screenY, 127, nullptr, &r);
        return;
    }
    int32_t row = 0;
    if (kind->frameTime == -4) {
        DrawTrail(target, kind, static_cast<int32_t>(animCounter), EffectiveAlpha(), true);
        if (KindCell(0, 0, r)) DrawSprite(target, screenX, screenY, &r);
        return;
    }
    if (kind->index == 69) {
        row = facing == kFacingLeft ? 0 : 1;
        trailRow = static_cast<uint8_t>(row);
    }
    DrawTrail(target, kind, static_cast<int32_t>(animCounter), EffectiveAlpha(), false);
    if (KindCell(FrameOf(*kind, animCounter), row, r)) DrawSprite(target, screenX, screenY, &r);
}

void CObjectShotShadow::Draw(ISurface* target) {
    DrawTrail(target, kind, static_cast<int32_t>(animCounter), EffectiveAlpha(), false);
    CObjectShot::Draw(target);
}

void CObjectBlockShadow::Draw(ISurface* target) {
    const bool twenty = kind->index == 20;
    DrawTrail(target, kind, static_cast<int32_t>(animCounter), EffectiveAlpha(), twenty);
    if (twenty) {
        CObjectBase::Draw(target);
        return;
    }
    Rect r{};
    if (kind->image >= 0 && KindCell(FrameOf(*kind, animCounter), 0, r)) {
        BltKeyedCopy(*target, Image(kind->image), screenX, screenY, &r);
    }
}

void CObjectEffectLandShadow::Draw(ISurface* target) {
    if (startDelay > 0) return;
    DrawEffectTrail(target, kind, animCounter, EffectiveAlpha(), kind->frameTime == -4);
    CObjectEffectLand::Draw(target);
}

// ---- shots, reflectors, blocks, puddings, jellies

namespace {

// Frame f, row r of the object's kind by its draw mode at (x, y).
void DrawCell(CObjectBase& o, ISurface* target, int32_t f, int32_t r, int32_t x, int32_t y) {
    Rect rect{};
    if (o.KindCell(f, r, rect)) o.DrawSprite(target, x, y, &rect);
}

}  // namespace

void CObjectShot::Draw(ISurface* target) {
    if (kind->image < 0) return;
    const int32_t a = HeadingOf(motion.vx, motion.vy);
    const int32_t cw = kind->cellWidth;
    const int32_t ch = kind->cellHeight;
    if (kind->frameTime == -1) {  // one column per eighth of a turn
        DrawCell(*this, target, ((a & 255) + 16) >> 5, static_cast<int32_t>((animCounter >> 3) & 1), screenX, screenY);
        return;
    }
    Rect r{};
    switch (kind->index) {
    case 9: {
        const Rect piece{0, 80, 16, 96};
        BltKeyedCopy(*target, Image(21), screenX + (cw - 16) / 2, screenY + (ch - 16) / 2, &piece);
        break;
    }
    case 6: case 7: case 3: {
        const int32_t upright = kind->index == 3 ? 64 : 128;  // the picture's own heading
        if ((a & 255) == upright) break;
        const uint8_t angle = static_cast<uint8_t>(kind->index == 3 ? a - 64 : a);
        if (KindCell(FrameOf(*kind, animCounter), 0, r)) RotateKeyedBlt(target, Image(kind->image), screenX, screenY, angle, &r);
        return;
    }
    case 17: case 18:
        if (pose != 3 || (animCounter & 4) != 0) break;
        if (KindCell(0, 0, r)) target->AddRateBlt(&Image(kind->image), screenX, screenY, 255, nullptr, &r);
        return;
    case 2:
        if (KindCell(FrameOf(*kind, animCounter), 0, r)) {
            BltDoubleBlend(*target, Image(kind->image), screenX - cw / 2, screenY - ch / 2, &r);
        }
        return;
    default:
        break;
    }
    CObjectBase::Draw(target);
}

void CObjectReflect::Draw(ISurface* target) {
    CObjectShot::Draw(target);
    const int32_t cw = kind->cellWidth;
    const int32_t ch = kind->cellHeight;
    const int32_t size = kind->index == 2 || cw > 40 || ch > 40 ? 48 : 32;
    const int32_t left = static_cast<int32_t>((animCounter % 24) >> 3) * size;
    const Rect ring{left, 0, left + size, size};
    target->BlendBlt(&Image(15), screenX - size / 2 + cw / 2, screenY - size / 2 + ch / 2, 128, nullptr, &ring);
}

void CObjectBlock::Draw(ISurface* target) {
    if (kind->image <= 0) return;
    const uint32_t ch = kind->cellHeight;
    if (kind->frameTime == -1) {  // a texture scrolling up 8 pixels a frame; no height, no scroll
        const int32_t scroll = ch == 0 ? 0 : static_cast<int32_t>(8u * animCounter % ch);
        DrawCell(*this, target, static_cast<int32_t>((animCounter >> 2) & 1), 0, screenX, screenY - scroll);
        return;
    }
    switch (kind->index) {
    case 15: case 17:
        DrawCell(*this, target, FrameOf(*kind, animCounter), phase, screenX, screenY);
        return;
    case 18: {
        const Rect glow = (animCounter & 2) ? Rect{96, 0, 192, 176} : Rect{0, 0, 96, 176};
        target->AddBlt(&Image(87), screenX - 16, screenY - 32, nullptr, &glow);
        DrawCell(*this, target, FrameOf(*kind, animCounter), phase == kFacingLeft ? 0 : 1, screenX, screenY);
        return;
    }
    case 19:
        if (pose != 1) DrawCell(*this, target, static_cast<int32_t>((animCounter >> 5) & 1), 0, screenX, screenY);
        return;
    default:
        CObjectBase::Draw(target);
    }
}

void CObjectPudding::Draw(ISurface* target) {
    if (pose != 20 && pose != 23) {
        CObjectBase::Draw(target);
        return;
    }
    if (kind->image < 0) return;
    // The squash frames come in pairs, four timer steps each.
    const int32_t q = WrapSub(pose == 20 ? 30 : 60, poseTimer) / 4;
    DrawCell(*this, target, (pose == 20 ? 5 : 1) + 2 * (q / 4) + q % 2, 0, screenX, screenY);
}

void CObjectJelly::Draw(ISurface* target) {
    if (kind->image < 0) return;
    UpdateNeighbours();
    if (cells.size() < 2u * cellsWide * cellsHigh) return;
    static constexpr int32_t kVariant[8] = {0, 1, 0, 1, 2, 3, 2, 4};
    const int32_t top = static_cast<int32_t>(static_cast<uint32_t>(phase) * 16u + static_cast<uint32_t>(kind->srcY));
    for (int32_t row = 0; row < cellsHigh; ++row) {
        for (int32_t column = 0; column < cellsWide; ++column) {
            const uint8_t* c = Cell(column, row);
            if (c[0] != 0) continue;  // eaten
            const uint32_t m = c[1];
            const int32_t px = screenX + kCell * column;
            const int32_t py = screenY + kCell * row;
            // The three neighbour bits around each corner pick its quarter's variant.
            const struct { uint32_t code; int32_t dx, dy; } quarters[4] = {
                {m & 7, 0, 0},
                {(m >> 2) & 7, 0, 8},
                {(m >> 4) & 7, 8, 8},
                {((m << 2) | (m >> 6)) & 7, 8, 0},
            };
            for (const auto& q : quarters) {
                const int32_t left = kVariant[q.code] * 16 + kind->srcX + q.dx;
                const Rect r{left, top + q.dy, left + 8, top + q.dy + 8};
                DrawSprite(target, px + q.dx, py + q.dy, &r);
            }
        }
    }
}


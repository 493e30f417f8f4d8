// The hero (3), the enemies (100-174), the shots (180-198) and the blocks (200-232). Enemies
// face left (they meet the hero flying right); every kind has its own shape family.
#include "tools/datagen/images.h"
#include "tools/datagen/pictures.h"

namespace morna::datagen {
namespace {

using namespace palette;

// ---- the hero -----------------------------------------------------------------------------

// Ti facing right, flying: the heel wings beat with the frame (offset -2, 0, +2).
Canvas Hero(int frame) {
    Canvas c(48, 48);
    const double beat = 2.0 * (frame - 1);
    const Colour jacket = kSky, trousers = kNavy, boots = 0xFF7A4A26u;
    Paint(c, Polygon({{9, 33}, {2, 27 + beat}, {5, 33 + beat * 0.5}, {1, 35 + beat}, {8, 36}}), 0xFFF4F8FFu, 1);
    Paint(c, Capsule({21, 31}, {13, 37}, 3), Darker(trousers, 30), 1);
    Paint(c, Capsule({13, 37}, {9, 39}, 2.6), Darker(boots, 30), 1);
    Paint(c, Capsule({21, 25}, {15, 30}, 2.4), Darker(jacket, 50), 1);
    Paint(c, Ellipse(23.5, 26.5, 8, 6.5, Deg(-25)), jacket, 2);
    Paint(c, RoundRect(15.5, 27.5, 22.5, 33.5, 2), 0xFF9A6432u, 1);
    Fill(c, Capsule({19, 28}, {27, 21}, 0.7), 0xFF5A3A1Au);
    Paint(c, Capsule({20, 30}, {11, 33}, 3), trousers, 1);
    Paint(c, Capsule({11, 33}, {7, 34}, 2.6), boots, 1);
    Paint(c, Polygon({{8, 31}, {3, 24 + beat}, {7, 30 + beat * 0.5}, {2, 32 + beat}, {7, 34}}), 0xFFFFFFFFu, 1);
    Paint(c, Capsule({27, 24}, {36, 27}, 2.6), jacket, 1);
    Paint(c, Disc(38, 27.5, 2.6), kSkin, 1);
    Paint(c, Disc(30, 16.5, 8.5), kSkin, 2);
    Paint(c, Union(Ellipse(27.5, 11, 8.5, 5, Deg(-8)), Polygon({{18, 9}, {23, 5}, {25, 12}, {20, 19}})), 0xFF2A3A78u, 2);
    Fill(c, Capsule({23, 10}, {36, 9}, 1.2), 0xFFE8B830u);
    Paint(c, Disc(34, 9.5, 2.4), 0xFFA8E8FFu, 1, false);
    Fill(c, Box(34, 15, 36, 19), kInk);
    Fill(c, Box(35, 21, 37, 22), 0xFFB05848u);
    Fill(c, Disc(31, 19.5, 1.6), 0xFFF4A8A0u);
    Paint(c, Disc(26, 23, 2.8), kScarf, 1);
    return c;
}


// ---- enemies ------------------------------------------------------------------------------

// A row of frames drawn by draw(frame).
Canvas Strip(int frames, int cw, int ch, const std::function<Canvas(int)>& draw) {
    return Cells(frames, 1, cw, ch, [&](int k, int) { return draw(k); });
}

// 0 slime: a dome that squashes.
Canvas Slime(int f) {
    Canvas c(32, 32);
    const double sx = f ? 1.1 : 0.94, sy = f ? 0.86 : 1.0;
    Paint(c, Union(Ellipse(16, 22, 12.5 * sx, 7.5 * sy), Ellipse(16, 17 + 4 * (1 - sy), 9 * sx, 10 * sy)), 0xFF58C850u, 3);
    Fill(c, Ellipse(11, 12 + 4 * (1 - sy), 2.5, 1.5, Deg(-30)), 0xFFE8FFE0u);
    Eye(c, 11, 18 + 3 * (1 - sy), 2.2);
    Eye(c, 18, 18 + 3 * (1 - sy), 2.2);
    Fill(c, Ellipse(14, 24, 2, 1.2), 0xFF1E5A1Eu);
    return c;
}

// 1 burr: a spiky ball turning a third of its spike step each frame.
Canvas Burr(int f) {
    Canvas c(32, 32);
    Paint(c, Star(16, 16, 14.5, 9, 10, Deg(12.0 * f)), 0xFF9A7A30u, 2);
    Paint(c, Disc(16, 16, 9), 0xFF6E9A3Au, 2);
    Eye(c, 12, 15, 2.4);
    Eye(c, 19, 15, 2.4);
    Brow(c, 9, 11, 14, 12.5, 0.8);
    Brow(c, 17, 12.5, 22, 11, 0.8);
    return c;
}

// 2 the swordswoman's feather blade: additive, turning.
Canvas FeatherBlade(int f) {
    Canvas c(24, 24, kDark);
    for (int k = 0; k < 3; ++k) {
        const double a = Deg(15.0 * f + 120.0 * k);
        GlowLine(c, {12, 12}, {12 + 10 * Cos(a), 12 + 10 * Sin(a)}, 3, 0xFFFF70D0u);
    }
    Glow(c, {12, 12}, 6, 0xFFFFFFFFu);
    FinishAdditive(c);
    return c;
}

// 3 ice pellet: four growing stages of a crystal.
Canvas IcePellet(int f) {
    Canvas c(16, 16);
    const double r = 3.5 + 1.2 * f;
    Paint(c, Polygon({{8, 8 - r}, {8 + r * 0.7, 8}, {8, 8 + r}, {8 - r * 0.7, 8}}), f == 3 ? kSnow : kIce, 1);
    return c;
}

// 4 ice spear: a long shard pointing down, brighter on frame 1.
Canvas IceSpear(int f) {
    Canvas c(16, 40);
    Paint(c, Polygon({{3, 2}, {13, 2}, {11, 20}, {8, 38}, {5, 20}}), f ? Lighter(kIce, 80) : kIce, 2);
    Fill(c, Capsule({7, 5}, {7.5, 24}, 0.8), 0xFFFFFFFFu);
    return c;
}

// 5 ice dragon: head, body, two tail segments. The chain adds its segments (no key), so they
// stand on black.
Canvas IceDragon(int f) {
    Canvas c(32, 32, f == 0 ? kKey : kDark);
    if (f == 0) {
        Paint(c, Union(Ellipse(17, 17, 11, 8), Polygon({{4, 14}, {12, 10}, {12, 22}, {3, 20}})), kIce, 2);
        Paint(c, Polygon({{20, 9}, {28, 2}, {25, 12}}), kSnow, 1);
        Paint(c, Polygon({{14, 9}, {19, 1}, {19, 10}}), kSnow, 1);
        Eye(c, 12, 15, 2.4, -1, 0, 0xFF1C4AA0u);
        Fill(c, Capsule({4, 19}, {10, 19}, 0.6), kInk);
    } else {
        const double r = f == 1 ? 10 : (f == 2 ? 8 : 6);
        Paint(c, Disc(16, 16, r), f == 1 ? kFrost : Lighter(kFrost, 40 * f), 2);
        Paint(c, Polygon({{16 - r * 0.5, 16 - r * 0.7}, {16, 16 - r - 5}, {16 + r * 0.5, 16 - r * 0.7}}), kSnow, 1);
    }
    return c;
}

// 6 icicle bat: icicle wings up and down.
Canvas IcicleBat(int f) {
    Canvas c(32, 32);
    const double w = f ? 8 : -6;
    Paint(c, Polygon({{15, 15}, {26, 15 - w}, {30, 18 - w * 0.4}, {24, 19}}), kIce, 1);
    Paint(c, Polygon({{17, 15}, {6, 15 - w}, {2, 18 - w * 0.4}, {8, 19}}), kSnow, 1);
    Paint(c, Ellipse(16, 18, 6, 5.5), kFrost, 2);
    Paint(c, Polygon({{12, 14}, {13, 9}, {15, 14}}), kFrost, 1);
    Paint(c, Polygon({{17, 14}, {19, 9}, {20, 14}}), kFrost, 1);
    Eye(c, 13.5, 17.5, 1.8);
    Eye(c, 18.5, 17.5, 1.8);
    return c;
}

// 7, 8 ice wall: whole, cracked, broken, shattered.
Canvas IceWall(int f, Colour tone) {
    Canvas c(32, 32);
    if (f < 3) {
        Paint(c, RoundRect(2, 2, 30, 30, 3), tone, 3);
        Fill(c, Capsule({6, 6}, {12, 6}, 1), 0xFFFFFFFFu);
        if (f >= 1) Fill(c, Polygon({{15, 3}, {17, 3}, {13, 14}, {19, 19}, {14, 29}, {13, 29}, {17, 19}, {11, 14}}), kInk);
        if (f >= 2) Fill(c, Polygon({{29, 9}, {29, 11}, {21, 14}, {26, 24}, {25, 25}, {19, 14}}), kInk);
    } else {
        for (int k = 0; k < 5; ++k) {
            const double a = Deg(72.0 * k + 20);
            Paint(c, Moved(Turned(Box(-4, -4, 4, 4), {0, 0}, a), 16 + 9 * Cos(a), 16 + 9 * Sin(a)), tone, 1);
        }
    }
    return c;
}

// 9, 10 flying fish: fins beat; frame 3 opens the mouth (attack).
Canvas FlyingFish(int f, Colour back, Colour belly) {
    Canvas c(32, 32);
    const double fin = f == 3 ? 0 : (f == 1 ? 4 : (f == 2 ? -3 : 0));
    Paint(c, Polygon({{24, 16}, {31, 9}, {29, 16}, {31, 24}}), Darker(back, 20), 1);
    Paint(c, Polygon({{14, 14}, {22, 4 - fin}, {24, 14}}), Lighter(back, 60), 1);
    Paint(c, Ellipse(15, 17, 11, 6.5), back, 2);
    Fill(c, Intersect(Ellipse(15, 17, 10, 5.5), Box(0, 18, 32, 32)), belly);
    Paint(c, Polygon({{14, 18}, {20, 26 + fin}, {23, 19}}), Lighter(back, 90), 1);
    Eye(c, 8, 15, 2.2);
    if (f == 3) Fill(c, Polygon({{2, 16}, {7, 18}, {2, 21}}), 0xFF801020u);
    return c;
}

// 11, 12 swallow: wings up and down; row 1 the dive with a lit rim.
Canvas Swallow(int f, bool attack, Colour back) {
    Canvas c(32, 32);
    const double w = f ? 9 : -8, tilt = attack ? Deg(-25) : 0;
    Canvas body(32, 32);
    Paint(body, Polygon({{22, 16}, {31, 10}, {27, 16}, {31, 22}}), back, 1);
    Paint(body, Polygon({{14, 15}, {20, 15 - w}, {25, 17 - w * 1.1}, {20, 18}}), Darker(back, 30), 1);
    Paint(body, Ellipse(15, 17, 9, 4.5), back, 2);
    Fill(body, Intersect(Ellipse(15, 17, 8, 3.5), Box(0, 18, 32, 32)), 0xFFFFF0E0u);
    Paint(body, Polygon({{5, 16}, {1, 17.5}, {5, 19}}), 0xFFFFB020u, 1, false);
    Eye(body, 8, 15.5, 1.6);
    Paint(body, Polygon({{13, 16}, {17, 16 + w}, {22, 18 + w * 1.1}, {18, 19}}), Lighter(back, 40), 1);
    c = tilt != 0 ? Rotated(body, tilt) : body;
    if (attack) {
        Canvas rim = c;
        Outline(rim, 0xFFFF5030u);
        Stamp(c, rim, 0, 0);
    }
    return c;
}

// 13, 14 squid: points left, tentacles wave.
Canvas Squid(int f, Colour tone) {
    Canvas c(48, 48);
    const double wave = 2.0 * (f - 1);
    for (int k = 0; k < 4; ++k) {
        const double y = 17 + 4.5 * k;
        Paint(c, Capsule({30, y}, {44, y + wave * (k % 2 ? 1 : -1)}, 1.8), Lighter(tone, 40), 1);
    }
    Paint(c, Union(Ellipse(21, 24, 13, 8), Polygon({{2, 24}, {12, 13}, {12, 35}})), tone, 3);
    Paint(c, Polygon({{3, 24}, {11, 15}, {11, 33}}), Lighter(tone, 70), 2);
    Eye(c, 19, 21, 3);
    Eye(c, 19, 28, 3);
    return c;
}

// 15, 16 shadow star: a dark five-point star, turning, with glowing eyes.
Canvas ShadowStar(int f, Colour glow) {
    Canvas c(48, 48);
    Paint(c, Star(24, 25, 21, 9.5, 5, Deg(8.0 * (f - 1))), 0xFF2E2A48u, 3);
    Fill(c, Ellipse(19, 24, 2.6, 3.4), glow);
    Fill(c, Ellipse(28, 24, 2.6, 3.4), glow);
    Fill(c, Disc(19, 23, 1), 0xFFFFFFFFu);
    Fill(c, Disc(28, 23, 1), 0xFFFFFFFFu);
    return c;
}

// 17, 18 bomb bee: carries a bomb; wings beat.
Canvas BombBee(int f, Colour stripe) {
    Canvas c(48, 48);
    const double w = f ? 6 : -2;
    Paint(c, Ellipse(27, 10 + w * 0.3, 6, 9 - w * 0.5, Deg(25)), 0xC0E8F8FFu, 1);
    Paint(c, Disc(22, 38, 7), 0xFF303040u, 2);
    Fill(c, Capsule({24, 31}, {27, 27}, 1.2), kBark);
    Fill(c, Disc(27.5, 26.5, 1.8), 0xFFFF9020u);
    Paint(c, Ellipse(26, 21, 13, 9), 0xFFFFC820u, 3);
    Fill(c, Intersect(Ellipse(26, 21, 12, 8), Union(Box(25, 10, 28, 32), Box(32, 10, 35, 32))), stripe);
    Paint(c, Polygon({{38, 19}, {45, 21}, {38, 23}}), 0xFF303040u, 1);
    Eye(c, 17, 19, 3);
    Brow(c, 14, 14.5, 20, 16);
    Paint(c, Ellipse(21, 10 + w * 0.3, 5, 8 - w * 0.5, Deg(-20)), 0xC0F4FCFFu, 1);
    return c;
}

// 19, 20 pinwheel: four turning frames, then frame 4 folded shut.
Canvas Pinwheel(int f, Colour a, Colour b) {
    Canvas c(48, 48);
    if (f == 4) {
        Paint(c, Polygon({{24, 6}, {30, 24}, {24, 42}, {18, 24}}), a, 2);
        Fill(c, Capsule({24, 8}, {24, 40}, 0.8), Darker(a, 80));
    } else {
        for (int k = 0; k < 4; ++k) {
            const double t = Deg(90.0 * k + 22.5 * f);
            const Point tip{24 + 20 * Cos(t), 24 + 20 * Sin(t)}, side{24 + 13 * Cos(t + Deg(60)), 24 + 13 * Sin(t + Deg(60))};
            Paint(c, Polygon({{24, 24}, tip, side}), k % 2 ? a : b, 2);
        }
    }
    Paint(c, Disc(24, 24, 4.5), kGold, 1);
    Fill(c, Disc(23, 23, 1.2), kInk);
    Fill(c, Disc(26, 23, 1.2), kInk);
    return c;
}

// 21, 22 ark: a flying boat with a propeller (carries an item).
Canvas Ark(int f, Colour hull) {
    Canvas c(64, 48);
    Paint(c, Capsule({32, 8}, {32, 16}, 1.5), 0xFF505060u, 1);
    const double p = f ? 14 : 5;
    Paint(c, Ellipse(32, 7, p, 2.5), 0xFFD0D0D8u, 1);
    Paint(c, RoundRect(14, 14, 50, 26, 4), kCream, 2);
    Paint(c, Box(20, 17, 27, 23), 0xFF80C8FFu, 1);
    Paint(c, Box(37, 17, 44, 23), 0xFF80C8FFu, 1);
    Paint(c, Polygon({{3, 24}, {61, 24}, {52, 40}, {12, 40}}), hull, 3);
    Fill(c, Box(8, 29, 57, 31), Lighter(hull, 90));
    Paint(c, Star(32, 34, 5, 2.2, 5), kGold, 1);
    return c;
}

// 23 comet: additive, a head and a tail to the upper right.
Canvas Comet(int f) {
    Canvas c(32, 32, kDark);
    GlowLine(c, {12, 20}, {30, 2}, 5 + f, 0xFF3080FFu);
    Glow(c, {12, 20}, 9, 0xFFFFD080u);
    Glow(c, {12, 20}, 4 + f, 0xFFFFFFFFu);
    FinishAdditive(c);
    return c;
}

// 24, 25 chick: a round bird, wings flapping (24) or tucked (25).
Canvas Chick(int f, Colour tone) {
    Canvas c(24, 24);
    Paint(c, Disc(12, 13, 8), tone, 2);
    Paint(c, Ellipse(15, 14 - 2 * f, 3.5, 2.5, Deg(f ? -30 : 10)), Darker(tone, 40), 1);
    Paint(c, Polygon({{5, 12}, {1, 13.5}, {5, 15}}), 0xFFF08020u, 1, false);
    Eye(c, 8, 11, 1.6);
    Paint(c, Polygon({{11, 5}, {13, 1}, {14, 6}}), tone, 1);
    return c;
}

// 26, 27 turret: idle, firing, glow overlay.
Canvas Turret(int f, bool up, Colour tone) {
    Canvas c(48, 48);
    Paint(c, Capsule({24, 24}, {6, 12}, 5), Darker(tone, 30), 2);
    if (f == 1) Paint(c, Disc(5, 11, 4), 0xFFFFE060u, 1);
    Paint(c, Ellipse(24, 28, 14, 11), tone, 3);
    Paint(c, RoundRect(6, 34, 42, 46, 3), 0xFF505868u, 2);
    Fill(c, Disc(21, 27, 3.5), f == 2 ? 0xFFFFFFFFu : 0xFFFF5030u);
    if (f == 2) Tint(c, 0xFFFFF0A0u, 120);
    return up ? c : Rotated(Mirrored(c), kPi);
}

// 28 slug: a slow slug, the body stretches.
Canvas Slug(int f) {
    Canvas c(48, 32);
    const double s = 1.0 + 0.06 * (f - 1);
    Paint(c, Ellipse(34, 10, 8, 3.5, Deg(-10)), 0xFFC08A50u, 2);
    Paint(c, Union(Ellipse(24, 23, 19 * s, 7), Ellipse(13, 19, 8, 8)), 0xFFA8C860u, 3);
    Paint(c, Union(Disc(30, 15, 8.5), Ellipse(31, 11, 6, 4)), 0xFFD8A060u, 3);
    Paint(c, Capsule({9, 14}, {6, 5}, 1.2), 0xFFA8C860u, 1);
    Paint(c, Capsule({13, 13}, {13, 4}, 1.2), 0xFFA8C860u, 1);
    Fill(c, Disc(6, 5, 1.8), kInk);
    Fill(c, Disc(13, 4, 1.8), kInk);
    return c;
}

// 29 hopper: crouched, then stretched in a jump.
Canvas Hopper(int f) {
    Canvas c(32, 32);
    const double lift = f ? -4 : 0;
    if (f) Paint(c, Capsule({20, 22}, {26, 30}, 2.5), 0xFF3A9A4Au, 1);
    else Paint(c, Ellipse(22, 27, 7, 3), 0xFF3A9A4Au, 1);
    Paint(c, Ellipse(16, 21 + lift, 11, 8), 0xFF5AC85Au, 3);
    Fill(c, Intersect(Ellipse(16, 21 + lift, 9.5, 6.5), Box(0, 23 + lift, 32, 32)), 0xFFE8F0B0u);
    Eye(c, 10, 13 + lift, 3);
    Eye(c, 19, 13 + lift, 3);
    Fill(c, Capsule({6, 21 + lift}, {13, 22 + lift}, 0.7), kInk);
    return c;
}

// A curling wave with eyes, at scale k of a 32-px cell: the crest curls toward the left.
void Wave(Canvas& c, double k, int f, Colour tone) {
    const double t = Deg(30.0 * (f - 1)), lean = 1.5 * Sin(t) * k;
    Paint(c, Ellipse(17 * k, 22 * k, 14 * k, 8 * k), tone, int(2 * k));
    const Shape crest = Minus(Disc(15 * k + lean, 14 * k, 10 * k), Disc(8.5 * k + lean, 17 * k, 6.5 * k));
    Paint(c, Intersect(crest, Box(0, 0, 32 * k, 22 * k)), Lighter(tone, 50), int(2 * k));
    Fill(c, Intersect(Minus(Disc(15 * k + lean, 14 * k, 9 * k), Disc(15.5 * k + lean, 15.5 * k, 7.5 * k)), Box(0, 0, 32 * k, 20 * k)),
         0xFFF0FAFFu);
    Fill(c, Intersect(Ellipse(17 * k, 22 * k, 13 * k, 7 * k), Box(0, 26 * k, 32 * k, 32 * k)), Lighter(tone, 140));
    Eye(c, 12 * k, 23 * k, 2.2 * k);
    Eye(c, 19 * k, 23 * k, 2.2 * k);
}

// 30, 31 wave spirit.
Canvas WaveSpirit(int f, Colour tone) {
    Canvas c(32, 32);
    Wave(c, 1, f, tone);
    return c;
}

// 32, 33 balloon: a face on a balloon with a string and a basket.
Canvas Balloon(int f, Colour tone) {
    Canvas c(32, 40);
    const double sway = f ? 1.5 : -1.5;
    Fill(c, Capsule({16, 24}, {16 + sway, 31}, 0.6), kInk);
    Paint(c, RoundRect(11 + sway, 30, 21 + sway, 37, 2), kBark, 1);
    Paint(c, Disc(16, 14, 11.5), tone, 3);
    Fill(c, Ellipse(11, 8, 3, 2, Deg(-30)), 0xFFFFFFFFu);
    Eye(c, 12, 14, 2.2);
    Eye(c, 19, 14, 2.2);
    Fill(c, Ellipse(15.5, 20, 2.5, 1.5), Darker(tone, 120));
    return c;
}

// 34, 35 floating mine: a spiked sea mine whose lamp blinks.
Canvas FloatMine(int f, Colour tone) {
    Canvas c(32, 32);
    for (int k = 0; k < 8; ++k) {
        const double a = Deg(45.0 * k);
        Paint(c, Capsule({16, 16}, {16 + 13 * Cos(a), 16 + 13 * Sin(a)}, 1.8), 0xFF8890A0u, 1);
    }
    Paint(c, Disc(16, 16, 9.5), tone, 3);
    Paint(c, Disc(16, 16, 3.5), f ? 0xFFFFF060u : 0xFF802020u, 1);
    return c;
}

// 36, 37 bubble: additive, a rim and a glint.
Canvas Bubble(int f, Colour tone) {
    Canvas c(24, 24, kDark);
    const double r = f ? 10.5 : 9.5;
    AroundPoint(c, {12, 12}, [&](int x, int y, double, double, double d) {
        if (d <= r) c.Set(x, y, Mix(0xFF000000u, tone, int(256 * (d / r) * (d / r) * (d / r))));
    });
    Glow(c, {8, 8}, 3.5, 0xFFFFFFFFu);
    FinishAdditive(c);
    return c;
}

// 38 rock wall: a heavy rock with cracks.
Canvas RockWall() {
    Canvas c(48, 48);
    Paint(c, Polygon({{6, 10}, {20, 2}, {38, 4}, {46, 18}, {44, 40}, {28, 46}, {8, 42}, {2, 26}}), 0xFF8A7A68u, 4);
    Fill(c, Capsule({16, 14}, {22, 22}, 0.8), kInk);
    Fill(c, Capsule({22, 22}, {20, 32}, 0.8), kInk);
    Fill(c, Capsule({34, 12}, {30, 20}, 0.8), kInk);
    Paint(c, Ellipse(34, 33, 5, 3), kMoss, 1);
    return c;
}

// 39 totem: three stacked faces whose eyes light in turn.
Canvas Totem(int f) {
    Canvas c(32, 64);
    const Colour wood[3] = {0xFFB06A30u, 0xFF2E8A70u, 0xFFC84A3Au};
    for (int k = 0; k < 3; ++k) {
        const double y = 2 + 20.5 * k;
        Paint(c, RoundRect(4, y, 28, y + 20, 4), wood[k], 2);
        const Colour lit = (k + f) % 2 ? 0xFFFFF060u : 0xFF301810u;
        Fill(c, Box(8, y + 6, 13, y + 10), lit);
        Fill(c, Box(19, y + 6, 24, y + 10), lit);
        Fill(c, Box(11, y + 13, 21, y + 16), kInk);
    }
    Paint(c, Polygon({{4, 4}, {0, 0}, {8, 3}}), kGold, 1);
    Paint(c, Polygon({{28, 4}, {32, 0}, {24, 3}}), kGold, 1);
    return c;
}

// 40 stalker eye: a big eye; the lid closes on frame 2.
Canvas StalkerEye(int f) {
    Canvas c(48, 48);
    Paint(c, Disc(24, 24, 19), 0xFFF0E8F0u, 3);
    for (int k = 0; k < 4; ++k) {
        const double a = Deg(90.0 * k + 30);
        Fill(c, Capsule({24 + 18 * Cos(a), 24 + 18 * Sin(a)}, {24 + 12 * Cos(a + 0.3), 24 + 12 * Sin(a + 0.3)}, 0.6), 0xFFD04050u);
    }
    Paint(c, Disc(19 + f, 24, 9), 0xFF8A2AC0u, 2);
    Fill(c, Disc(18 + f, 24, 4.5), kInk);
    Fill(c, Disc(16 + f, 21, 2), 0xFFFFFFFFu);
    if (f == 2) Paint(c, Intersect(Disc(24, 24, 19), Box(0, 0, 48, 22)), 0xFF6A4A8Au, 2);
    return c;
}

// 41 firework shell: a striped shell whose fuse sparks.
Canvas FireworkShell(int f) {
    Canvas c(48, 48);
    Paint(c, Disc(24, 27, 15), 0xFFD83050u, 3);
    Fill(c, Intersect(Disc(24, 27, 14), Union(Box(0, 20, 48, 23), Box(0, 31, 48, 34))), 0xFFFFE060u);
    Paint(c, Capsule({24, 12}, {28, 5}, 1.5), kBark, 1);
    const double a = Deg(90.0 * f);
    for (int k = 0; k < 3; ++k)
        Fill(c, Capsule({28, 5}, {28 + 5 * Cos(a + 2.1 * k), 5 + 4 * Sin(a + 2.1 * k)}, 0.7), 0xFFFFF080u);
    Eye(c, 18, 26, 2.4);
    Eye(c, 26, 26, 2.4);
    return c;
}

// 42 ring bead: drawn sixteen times in a ring; it pulses.
Canvas RingBead(int f) {
    Canvas c(24, 24);
    Paint(c, Disc(12, 12, 5 + f), Mix(0xFFFF80E0u, 0xFFFFFFFFu, 60 * f), 2);
    return c;
}

// 43, 44 clod: a lumpy clump with a grumpy face.
Canvas Clod(int f, Colour tone) {
    Canvas c(48, 48);
    const double s = f ? 1.04 : 0.97;
    Paint(c, Union(Union(Disc(24, 26, 16 * s), Disc(14, 18, 9 * s)), Union(Disc(33, 17, 9 * s), Disc(24, 12, 8 * s))), tone, 4);
    Eye(c, 17, 25, 3);
    Eye(c, 28, 25, 3);
    Brow(c, 13, 19, 20, 21);
    Brow(c, 25, 21, 32, 19);
    Fill(c, Capsule({19, 34}, {27, 33}, 1), kInk);
    return c;
}

// 45 big wave: the same curl at twice the size.
Canvas BigWave(int f) {
    Canvas c(64, 64);
    Wave(c, 2, f, 0xFF2A7AD8u);
    return c;
}

// 46 roller: a rolling armoured ball, a quarter turn a frame.
Canvas Roller(int f) {
    Canvas c(32, 32);
    Paint(c, Disc(16, 16, 14), 0xFF8A6AB0u, 3);
    for (int k = 0; k < 3; ++k) {
        const double a = Deg(-22.5 * f + 120.0 * k);
        Fill(c, Capsule({16 + 4 * Cos(a), 16 + 4 * Sin(a)}, {16 + 12 * Cos(a), 16 + 12 * Sin(a)}, 1), 0xFF4A3A70u);
    }
    Paint(c, Disc(16, 16, 4), 0xFFE8D8FFu, 1);
    return c;
}

// 47 wind-up screw: frame 0 the key (tail), 1-3 the body turning.
Canvas Screw(int f) {
    Canvas c(32, 32);
    if (f == 0) {
        Paint(c, Union(Ellipse(11, 16, 6, 8), Ellipse(21, 16, 6, 8)), kGold, 2);
        Fill(c, Disc(11, 16, 2.5), kKey);
        Fill(c, Disc(21, 16, 2.5), kKey);
        return c;
    }
    Paint(c, Polygon({{3, 16}, {12, 8}, {28, 8}, {28, 24}, {12, 24}}), 0xFF9AA8B8u, 2);
    for (int k = 0; k < 4; ++k) {
        const double x = 10 + 5 * k + 1.7 * f;
        Fill(c, Capsule({x, 9}, {x - 3, 23}, 0.8), 0xFF4A5868u);
    }
    Eye(c, 13, 14, 2);
    return c;
}

// 48 crawler: a caterpillar whose humps travel.
Canvas Crawler(int f) {
    Canvas c(48, 32);
    for (int k = 4; k >= 0; --k) {
        const double x = 10 + 8 * k, lift = 3 * Sin(Deg(90.0 * (k + f)));
        Paint(c, Disc(x, 20 - std::max(0.0, lift), 7), k == 0 ? 0xFF8AD04Au : (k % 2 ? 0xFF5AA83Au : 0xFF6AB848u), 2);
    }
    Eye(c, 7, 18, 2.2);
    Paint(c, Capsule({8, 13}, {5, 7}, 0.8), 0xFF5AA83Au, 1);
    return c;
}

// 49, 50 column soldier: a marching helmeted soldier.
Canvas Soldier(int f, Colour coat) {
    Canvas c(32, 32);
    Paint(c, Capsule({14, 24}, {12.0 - 3 * f, 29}, 2), 0xFF404858u, 1);
    Paint(c, Capsule({18, 24}, {19.0 + 3 * f, 29}, 2), 0xFF404858u, 1);
    Paint(c, RoundRect(10, 14, 22, 26, 3), coat, 2);
    Paint(c, Capsule({8, 18}, {4, 12}, 1.2), 0xFFB0B8C0u, 1);
    Paint(c, Disc(15, 10, 6), kSkin, 2);
    Paint(c, Intersect(Disc(15, 9, 7), Box(0, 0, 32, 9)), 0xFF708090u, 2);
    Fill(c, Box(10, 10, 12, 12), kInk);
    return c;
}

// 51, 52 cannon battery: barrels up (floor) or down (ceiling).
Canvas Cannon(int f, bool ceiling) {
    Canvas c(64, 48);
    const double recoil = f ? 3 : 0;
    Paint(c, Capsule({24, 26}, {12 + recoil, 8 + recoil}, 4.5), 0xFF505A68u, 2);
    Paint(c, Capsule({44, 26}, {32 + recoil, 8 + recoil}, 4.5), 0xFF505A68u, 2);
    Paint(c, RoundRect(6, 22, 58, 44, 6), kSteel, 3);
    Fill(c, Box(10, 34, 54, 36), kEmber);
    Fill(c, Disc(24, 29, 2.5), 0xFFFFE060u);
    Fill(c, Disc(40, 29, 2.5), 0xFFFFE060u);
    return ceiling ? Rotated(Mirrored(c), kPi) : c;
}

// 53, 54 mortar shell: five pictures of a shell turning over.
Canvas MortarShell(int f, Colour tone) {
    Canvas c(24, 24);
    Canvas s(24, 24);
    Paint(s, Union(Ellipse(12, 12, 8, 5), Polygon({{18, 8}, {23, 5}, {23, 19}, {18, 16}})), tone, 2);
    Fill(s, Capsule({7, 12}, {15, 12}, 0.7), Lighter(tone, 120));
    c = Rotated(s, Deg(-45.0 * f));
    return c;
}

// 55-58 splitting orb in four sizes: a two-tone orb with one big eye.
Canvas SplitOrb(int f, int size) {
    Canvas c(size, size);
    const double h = size / 2.0, r = h - 2 - (f ? 0 : size / 24.0);
    Paint(c, Disc(h, h, r), 0xFFE8609Au, std::max(1, size / 16));
    Fill(c, Intersect(Disc(h, h, r - 1), Box(0, h + r * 0.2, size, size)), 0xFFFFD0E0u);
    Fill(c, Capsule({h - r * 0.8, h + r * 0.2}, {h + r * 0.8, h + r * 0.2}, std::max(0.6, size / 48.0)), kInk);
    Eye(c, h - r * 0.2, h - r * 0.25, r * 0.35);
    return c;
}

// 59 ceiling slab: stone with spikes underneath.
Canvas CeilingSlab() {
    Canvas c(128, 32);
    Paint(c, RoundRect(1, 1, 127, 18, 3), 0xFF707888u, 3);
    for (int k = 0; k < 10; ++k) Paint(c, Polygon({{4 + 12.4 * k, 18}, {16 + 12.4 * k, 18}, {10 + 12.4 * k, 30}}), 0xFFB8C0D0u, 1);
    for (int k = 0; k < 4; ++k) Fill(c, Box(14 + 30 * k, 6, 20 + 30 * k, 12), kEmber);
    return c;
}

// 60 shutter: the upper and the lower half of a striped metal door.
Canvas Shutter(int f) {
    Canvas c(32, 48);
    Paint(c, Box(3, f ? 0 : 2, 29, f ? 46 : 48), kSteel, 2);
    for (int y = 6; y < 46; y += 8) Fill(c, Box(4, y, 28, y + 2), kIron);
    if (f == 0) Paint(c, Box(1, 0, 31, 5), kEmber, 1);
    else Paint(c, Box(1, 42, 31, 47), 0xFFFFD040u, 1);
    return c;
}

// 61 seeker: a round homing bomb with fins all round and a lit core.
Canvas Seeker(int f) {
    Canvas c(24, 24);
    for (int k = 0; k < 4; ++k) {
        const double a = Deg(90.0 * k + 45);
        Paint(c, Polygon({{12 + 6 * Cos(a - 0.4), 12 + 6 * Sin(a - 0.4)}, {12 + 11 * Cos(a), 12 + 11 * Sin(a)},
                          {12 + 6 * Cos(a + 0.4), 12 + 6 * Sin(a + 0.4)}}),
              kEmber, 1);
    }
    Paint(c, Disc(12, 12, 7), 0xFF606878u, 2);
    Fill(c, Disc(12, 12, 3), f ? 0xFFFFFFA0u : 0xFFFF6020u);
    return c;
}

// 62 lob bomb: a round bomb with a sparking fuse.
Canvas LobBomb(int f) {
    Canvas c(24, 24);
    Paint(c, Disc(11, 14, 8), 0xFF383848u, 2);
    Fill(c, Ellipse(8, 11, 2.5, 1.5, Deg(-30)), 0xFF9090A8u);
    Paint(c, Capsule({15, 8}, {18, 4}, 1.2), kBark, 1);
    Fill(c, Star(19, 3, f ? 3.5 : 2.5, 1.2, 4, Deg(45.0 * f)), 0xFFFFE040u);
    return c;
}

// 63-66 tumbler doll: a round doll rocking.
Canvas Tumbler(int f, Colour robe) {
    Canvas c(48, 48);
    Canvas d(48, 48);
    Paint(d, Union(Disc(24, 31, 15), Disc(24, 17, 12)), robe, 4);
    Paint(d, Ellipse(24, 19, 8.5, 7.5), 0xFFFFF0E0u, 2);
    Eye(d, 20, 18, 2.4);
    Eye(d, 28, 18, 2.4);
    Brow(d, 17, 14, 22, 15);
    Brow(d, 26, 15, 31, 14);
    Fill(d, Capsule({22, 23}, {26, 23}, 0.8), 0xFFC03020u);
    Paint(d, Star(24, 34, 5, 2.3, 5), kGold, 1);
    c = Rotated(d, Deg(f ? 8 : -8));
    return c;
}

// 67-72 the boar knight's goblins, facing left, each with its own prop (row 1 the mirror).
Canvas Goblin(int f, int prop) {
    Canvas c(48, 48);
    const double step = f ? 1.5 : -1.5;
    Paint(c, Capsule({20, 38}, {18 - step, 45}, 2.6), kHelperDark, 1);
    Paint(c, Capsule({28, 38}, {30 + step, 45}, 2.6), kHelperDark, 1);
    Paint(c, Ellipse(24, 32, 10, 9), kHelper, 3);
    Paint(c, Disc(23, 18, 10), 0xFFB888E8u, 3);
    Paint(c, Polygon({{30, 12}, {40, 6}, {33, 17}}), 0xFFB888E8u, 1);
    Paint(c, Polygon({{15, 12}, {8, 4}, {17, 9}}), 0xFFB888E8u, 1);
    Eye(c, 18, 17, 2.5);
    Eye(c, 25, 17, 2.5);
    Fill(c, Capsule({18, 24}, {24, 24}, 0.8), kInk);
    switch (prop) {
        case 0:  // lifter: a block above the head
            Paint(c, Capsule({16, 28}, {14, 8 + step}, 2), kHelper, 1);
            Paint(c, RoundRect(6, -2 + step, 30, 7 + step, 2), 0xFF9A8A70u, 2);
            break;
        case 1:  // thrower: a ball held back
            Paint(c, Capsule({30, 28}, {38, 22 + step}, 2), kHelper, 1);
            Paint(c, Disc(40, 20 + step, 5), 0xFFE05050u, 2);
            break;
        case 2:  // wall builder: a trowel and a brick
            Paint(c, Capsule({14, 30}, {8, 30 + step}, 2), kHelper, 1);
            Paint(c, Polygon({{2, 27 + step}, {8, 26 + step}, {8, 34 + step}}), 0xFFB0B8C8u, 1);
            Paint(c, RoundRect(30, 30, 44, 38, 1), 0xFFC06040u, 1);
            break;
        case 3:  // waiter: a lantern, lit on frame 1
            Paint(c, Capsule({14, 30}, {10, 26}, 2), kHelper, 1);
            Paint(c, RoundRect(5, 24, 13, 34, 2), f ? 0xFFFFE070u : 0xFFA08050u, 1);
            break;
        case 4:  // boomerang
            Paint(c, Union(Capsule({6, 28 + step}, {14, 20 + step}, 2.4), Capsule({14, 20 + step}, {22, 26 + step}, 2.4)), kBark, 1);
            break;
        default:  // swinger: a club
            Paint(c, Capsule({14, 30}, {6, 20 + 3 * step}, 3), kBark, 2);
            break;
    }
    return c;
}

// 73 spinning top goblin: columns 0-1 angle base 0, 2-3 base 2; rows by the angle's half.
Canvas SpinTop(int column, int row) {
    Canvas c(48, 48);
    const double tilt = (column < 2 ? 1 : -1) * (row ? 14 : -14), spin = Deg(30.0 * (column % 2));
    Canvas t(48, 48);
    Paint(t, Polygon({{8, 20}, {40, 20}, {26, 44}, {22, 44}}), kHelper, 3);
    for (int k = 0; k < 3; ++k) Fill(t, Intersect(Polygon({{8, 20}, {40, 20}, {26, 44}, {22, 44}}),
                                                  Moved(Box(0, 0, 4, 48), 12 + 10 * k + 6 * Sin(spin), 0)), kGold);
    Paint(t, Disc(24, 14, 9), 0xFFB888E8u, 2);
    Eye(t, 20, 13, 2.2);
    Eye(t, 27, 13, 2.2);
    c = Rotated(t, Deg(tilt));
    return c;
}

// 74 crystal: translucent facets around the held item, glinting in turn.
Canvas Crystal(int f) {
    Canvas c(48, 48);
    const Shape gem = Polygon({{24, 2}, {42, 16}, {36, 44}, {12, 44}, {6, 16}});
    Fill(c, gem, WithAlpha(0xFFA0E8FFu, 150));
    Fill(c, Polygon({{24, 2}, {30, 16}, {24, 44}, {18, 16}}), WithAlpha(0xFFD8F8FFu, 120));
    for (const Shape& edge : {Capsule({24, 2}, {18, 16}, 0.6), Capsule({24, 2}, {30, 16}, 0.6), Capsule({6, 16}, {42, 16}, 0.6),
                              Capsule({18, 16}, {24, 44}, 0.6), Capsule({30, 16}, {24, 44}, 0.6)})
        Fill(c, edge, 0xFFFFFFFFu);
    Outline(c);
    Fill(c, Star(14 + 10 * f, 10 + 6 * f, 4, 1.2, 4), 0xFFFFFFFFu);
    return c;
}

// ---- shots --------------------------------------------------------------------------------

// A lit orb for additive shots.
Canvas GlowShot(int size, int f, Colour rim) {
    Canvas c(size, size, kDark);
    const double h = size / 2.0;
    Glow(c, {h, h}, h - (f ? 0 : 1), rim);
    Glow(c, {h, h}, h * 0.55, 0xFFFFFFFFu);
    FinishAdditive(c);
    return c;
}

// A bright keyed bullet: white-yellow core, coloured rim, pointing right (length x width).
Canvas Bullet(int w, int h, int f, Colour rim, bool pointed) {
    Canvas c(w, h);
    const double cy = h / 2.0, r = h / 2.0 - 1.5;
    const Shape body = pointed ? Union(Capsule({r + 1.5, cy}, {w - r - 3.0, cy}, r), Polygon({{w - r - 3.0, cy - r}, {w - 1.0, cy}, {w - r - 3.0, cy + r}}))
                               : Capsule({r + 1.5, cy}, {w - r - 1.5, cy}, r);
    Paint(c, body, f ? Lighter(rim, 60) : rim, 1);
    Fill(c, Capsule({r + 1.5, cy - 0.3}, {w - r - 3.0, cy - 0.3}, std::max(0.8, r - 2)), 0xFFFFFFD0u);
    return c;
}

// 4, 5: arrowheads in eight headings (column k = 45k degrees), row 1 brighter.
Canvas Arrowheads(Colour rim) {
    return Cells(8, 2, 16, 16, [rim](int k, int row) {
        Canvas a(16, 16);
        Paint(a, Polygon({{14, 8}, {3, 2.5}, {6, 8}, {3, 13.5}}), row ? Lighter(rim, 90) : rim, 1);
        Fill(a, Polygon({{11, 8}, {6, 6}, {7, 8}, {6, 10}}), 0xFFFFFFE0u);
        return Rotated(a, Deg(45.0 * k));
    });
}

// ---- blocks -------------------------------------------------------------------------------

// A boulder of radius r in a cell, its cracks turned by angle.
Canvas Boulder(int size, double angle, Colour tone, bool glowCrack = false) {
    Canvas c(size, size);
    const double h = size / 2.0, r = h - 2;
    Paint(c, Polygon({{h + r * 0.2, h - r}, {h + r * 0.85, h - r * 0.55}, {h + r, h + r * 0.2}, {h + r * 0.55, h + r * 0.85},
                      {h - r * 0.3, h + r}, {h - r * 0.95, h + r * 0.4}, {h - r * 0.9, h - r * 0.45}, {h - r * 0.35, h - r * 0.95}}),
          tone, std::max(2, size / 12));
    for (int k = 0; k < 3; ++k) {
        const double a = angle + Deg(120.0 * k);
        Fill(c, Capsule({h + r * 0.15 * Cos(a), h + r * 0.15 * Sin(a)}, {h + r * 0.6 * Cos(a + 0.3), h + r * 0.6 * Sin(a + 0.3)},
                        glowCrack ? 1.2 : 0.7),
             glowCrack ? 0xFFFFA030u : Darker(tone, 120));
    }
    return c;
}

// A mine: a ball with a blinking lamp.
Canvas Mine(int size, int f, Colour tone, Colour empty = kKey) {
    Canvas c(size, size, empty);
    const double h = size / 2.0;
    for (int k = 0; k < 4; ++k) {
        const double a = Deg(90.0 * k + 45);
        Paint(c, Capsule({h, h}, {h + (h - 2) * Cos(a), h + (h - 2) * Sin(a)}, 1.5), 0xFFA0A8B8u, 1);
    }
    Paint(c, Disc(h, h, h * 0.6), tone, 2);
    Fill(c, Disc(h, h, h * 0.22), f ? 0xFFFFF060u : 0xFF701818u);
    return c;
}

// Fragments turning: four frames of a small shard.
Canvas Shards(int size, Colour tone) {
    return Cells(4, 1, size, size, [&](int f, int) {
        Canvas c(size, size);
        const double h = size / 2.0;
        Paint(c, Turned(Polygon({{h - h * 0.7, h - h * 0.3}, {h + h * 0.6, h - h * 0.6}, {h + h * 0.3, h + h * 0.6}}), {h, h}, Deg(90.0 * f)),
              tone, 1);
        return c;
    });
}

// 17: the swing, six frames of a club sweeping over its pivot; row 1 the other way round.
Canvas SwingArc(int f, bool reverse) {
    Canvas c(48, 32);
    const double a0 = Deg(-165 + 30.0 * f);
    for (int k = 3; k >= 1; --k) {
        const double a = a0 - Deg(14.0 * k);
        Fill(c, Capsule({24 + 8 * Cos(a), 29 + 8 * Sin(a)}, {24 + 20 * Cos(a), 29 + 20 * Sin(a)}, 3.2 - 0.6 * k),
             Mix(0xFFFFFFFFu, 0xFFB070FFu, 70 * k));
    }
    Paint(c, Capsule({24, 29}, {24 + 19 * Cos(a0), 29 + 19 * Sin(a0)}, 2.6), kBark, 1);
    return reverse ? Mirrored(c) : c;
}

// 21, 22: a nest on the floor (opening up) or hanging (opening down).
Canvas Nest(bool hanging) {
    Canvas c(48, 48);
    Paint(c, Ellipse(24, 30, 21, 13), 0xFF9A6A3Au, 3);
    Fill(c, Ellipse(24, 24, 14, 5), 0xFF3A2410u);
    for (int k = 0; k < 7; ++k)
        Fill(c, Capsule({6.0 + 6 * k, 28.0 + (k % 2) * 5}, {12.0 + 6 * k, 36.0 - (k % 3) * 3}, 0.7), 0xFF6A4420u);
    Paint(c, Ellipse(18, 23, 3, 2.5), kSnow, 1);
    Paint(c, Ellipse(28, 22, 3, 2.5), kSnow, 1);
    return hanging ? Rotated(Mirrored(c), kPi) : c;
}

// 26-28 cake launcher shots: candy balls with a swirl.
Canvas Candy(int f, Colour tone) {
    Canvas c(24, 24);
    Paint(c, Disc(12, 12, 9), tone, 2);
    const double a = Deg(45.0 * f);
    Fill(c, Capsule({12 + 6 * Cos(a), 12 + 6 * Sin(a)}, {12 - 6 * Cos(a), 12 - 6 * Sin(a)}, 1.3), 0xFFFFFFFFu);
    return c;
}

// 12: a water wall tile in two frames that scroll (seamless top to bottom).
Canvas WaterWall(int f) {
    Canvas c(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double w = Sin(Deg(11.25 * y + 90.0 * f)) + Sin(Deg(22.5 * x + 11.25 * y));
            c.Set(x, y, WithAlpha(Mix(0xFF2A6AD0u, 0xFFB8E8FFu, int(64 + 48 * w)), 255));
        }
    return c;
}

}  // namespace

void AddCharacterPictures(ImageBook& book) {
    // Rows facing right, right hurt, left, left hurt; frames 0-2.
    book.Add(3, [](Random&) { return HurtRows(3, 48, 48, Hero); });
    book.Add(100, [](Random&) { return Strip(2, 32, 32, Slime); });
    book.Add(101, [](Random&) { return Strip(3, 32, 32, Burr); });
    book.Add(102, [](Random&) { return Strip(6, 24, 24, FeatherBlade); });
    book.Add(103, [](Random&) { return Strip(4, 16, 16, IcePellet); });
    book.Add(104, [](Random&) { return Strip(2, 16, 40, IceSpear); });
    book.Add(105, [](Random&) { return Strip(4, 32, 32, IceDragon); });
    book.Add(106, [](Random&) { return FacingRows(2, 32, 32, IcicleBat); });
    book.Add(107, [](Random&) { return Strip(4, 32, 32, [](int f) { return IceWall(f, kIce); }); });
    book.Add(108, [](Random&) { return Strip(4, 32, 32, [](int f) { return IceWall(f, kSnow); }); });
    book.Add(109, [](Random&) { return Strip(4, 32, 32, [](int f) { return FlyingFish(f, 0xFFE86A3Au, 0xFFFFE8C0u); }); });
    book.Add(110, [](Random&) { return Strip(4, 32, 32, [](int f) { return FlyingFish(f, 0xFF3A8AE8u, 0xFFE0F0FFu); }); });
    for (int k = 0; k < 2; ++k)
        book.Add(111 + k, [k](Random&) {
            return Cells(2, 2, 32, 32, [k](int f, int row) { return Swallow(f, row == 1, k ? 0xFF6A3A9Au : 0xFF2A4A8Au); });
        });
    book.Add(113, [](Random&) { return Strip(3, 48, 48, [](int f) { return Squid(f, 0xFFE8A0B0u); }); });
    book.Add(114, [](Random&) { return Strip(3, 48, 48, [](int f) { return Squid(f, 0xFFE0C070u); }); });
    book.Add(115, [](Random&) { return Strip(3, 48, 48, [](int f) { return ShadowStar(f, 0xFFFFE040u); }); });
    book.Add(116, [](Random&) { return Strip(3, 48, 48, [](int f) { return ShadowStar(f, 0xFFFF4040u); }); });
    book.Add(117, [](Random&) { return Strip(2, 48, 48, [](int f) { return BombBee(f, 0xFF302828u); }); });
    book.Add(118, [](Random&) { return Strip(2, 48, 48, [](int f) { return BombBee(f, 0xFFC03030u); }); });
    book.Add(119, [](Random&) { return Strip(5, 48, 48, [](int f) { return Pinwheel(f, 0xFFF07830u, 0xFFFFE070u); }); });
    book.Add(120, [](Random&) { return Strip(5, 48, 48, [](int f) { return Pinwheel(f, 0xFF40B0F0u, 0xFFB0F0FFu); }); });
    book.Add(121, [](Random&) { return Strip(2, 64, 48, [](int f) { return Ark(f, 0xFFB86A30u); }); });
    book.Add(122, [](Random&) { return Strip(2, 64, 48, [](int f) { return Ark(f, 0xFF4A70B8u); }); });
    book.Add(123, [](Random&) { return Strip(2, 32, 32, Comet); });
    book.Add(124, [](Random&) { return Strip(2, 24, 24, [](int f) { return Chick(f, 0xFFFFE050u); }); });
    book.Add(125, [](Random&) { return Chick(0, 0xFFFF9A50u); });
    book.Add(126, [](Random&) { return Strip(3, 48, 48, [](int f) { return Turret(f, true, 0xFF7A8A6Au); }); });
    book.Add(127, [](Random&) { return Strip(3, 48, 48, [](int f) { return Turret(f, false, 0xFF8A6A7Au); }); });
    book.Add(128, [](Random&) { return Strip(3, 48, 32, Slug); });
    book.Add(129, [](Random&) { return Strip(2, 32, 32, Hopper); });
    book.Add(130, [](Random&) { return Strip(3, 32, 32, [](int f) { return WaveSpirit(f, 0xFF3A9AE8u); }); });
    book.Add(131, [](Random&) { return Strip(3, 32, 32, [](int f) { return WaveSpirit(f, 0xFF3AC8A8u); }); });
    book.Add(132, [](Random&) { return Strip(2, 32, 40, [](int f) { return Balloon(f, 0xFFF05A7Au); }); });
    book.Add(133, [](Random&) { return Strip(2, 32, 40, [](int f) { return Balloon(f, 0xFF5AC0F0u); }); });
    book.Add(134, [](Random&) { return Strip(2, 32, 32, [](int f) { return FloatMine(f, 0xFF4A5A70u); }); });
    book.Add(135, [](Random&) { return Strip(2, 32, 32, [](int f) { return FloatMine(f, 0xFF704A4Au); }); });
    book.Add(136, [](Random&) { return Strip(2, 24, 24, [](int f) { return Bubble(f, 0xFF60C0FFu); }); });
    book.Add(137, [](Random&) { return Strip(2, 24, 24, [](int f) { return Bubble(f, 0xFFFF80C0u); }); });
    book.Add(138, [](Random&) { return RockWall(); });
    book.Add(139, [](Random&) { return Strip(2, 32, 64, Totem); });
    book.Add(140, [](Random&) { return Strip(3, 48, 48, StalkerEye); });
    book.Add(141, [](Random&) { return Strip(4, 48, 48, FireworkShell); });
    book.Add(142, [](Random&) { return Strip(3, 24, 24, RingBead); });
    book.Add(143, [](Random&) { return Strip(2, 48, 48, [](int f) { return Clod(f, 0xFF9A7A50u); }); });
    book.Add(144, [](Random&) { return Strip(2, 48, 48, [](int f) { return Clod(f, 0xFF6A7A8Au); }); });
    book.Add(145, [](Random&) { return Strip(3, 64, 64, BigWave); });
    book.Add(146, [](Random&) { return Strip(4, 32, 32, Roller); });
    book.Add(147, [](Random&) { return Strip(4, 32, 32, Screw); });
    book.Add(148, [](Random&) { return Strip(4, 48, 32, Crawler); });
    book.Add(149, [](Random&) { return Strip(2, 32, 32, [](int f) { return Soldier(f, kEmber); }); });
    book.Add(150, [](Random&) { return Strip(2, 32, 32, [](int f) { return Soldier(f, kSteel); }); });
    book.Add(151, [](Random&) { return Strip(2, 64, 48, [](int f) { return Cannon(f, false); }); });
    book.Add(152, [](Random&) { return Strip(2, 64, 48, [](int f) { return Cannon(f, true); }); });
    book.Add(153, [](Random&) { return Strip(5, 24, 24, [](int f) { return MortarShell(f, 0xFF9AA040u); }); });
    book.Add(154, [](Random&) { return Strip(5, 24, 24, [](int f) { return MortarShell(f, 0xFFA05A40u); }); });
    const int orbs[4] = {64, 48, 32, 24};
    for (int k = 0; k < 4; ++k)
        book.Add(155 + k, [size = orbs[k]](Random&) { return Strip(2, size, size, [size](int f) { return SplitOrb(f, size); }); });
    book.Add(159, [](Random&) { return CeilingSlab(); });
    book.Add(160, [](Random&) { return Strip(2, 32, 48, Shutter); });
    book.Add(161, [](Random&) { return Strip(2, 24, 24, Seeker); });
    book.Add(162, [](Random&) { return Strip(2, 24, 24, LobBomb); });
    const Colour robes[4] = {0xFFE03A30u, 0xFF3A6AE0u, 0xFF3AB060u, 0xFFE0B030u};
    for (int k = 0; k < 4; ++k)
        book.Add(163 + k, [robe = robes[k]](Random&) { return Strip(2, 48, 48, [robe](int f) { return Tumbler(f, robe); }); });
    for (int k = 0; k < 6; ++k)
        book.Add(167 + k, [k](Random&) {
            return Cells(2, 2, 48, 48, [k](int f, int row) { return row ? Mirrored(Goblin(f, k)) : Goblin(f, k); });
        });
    book.Add(173, [](Random&) { return Cells(4, 2, 48, 48, SpinTop); });
    book.Add(174, [](Random&) { return Strip(3, 48, 48, Crystal); });
    book.Add(180, [](Random&) { return Strip(2, 16, 16, [](int f) { return GlowShot(16, f, 0xFFFFD040u); }); });
    book.Add(181, [](Random&) { return Strip(2, 16, 16, [](int f) { return GlowShot(16, f, 0xFFFF50C0u); }); });
    book.Add(182, [](Random&) {  // added doubled, with no key: on black
        return Strip(2, 16, 16, [](int f) {
            Canvas c(16, 16, kDark);
            Paint(c, Disc(8, 8, 6.5), f ? 0xFFFF90E0u : 0xFFFF50C0u, 2);
            Fill(c, Disc(7, 7, 3), 0xFFFFF8FFu);
            return c;
        });
    });
    book.Add(183, [](Random&) {
        Canvas c(12, 32);
        Paint(c, Polygon({{6, 31}, {1, 6}, {6, 1}, {11, 6}}), kIce, 1);
        Fill(c, Capsule({6, 5}, {6, 22}, 0.8), 0xFFFFFFFFu);
        return c;
    });
    book.Add(184, [](Random&) { return Arrowheads(0xFFFF6020u); });
    book.Add(185, [](Random&) { return Arrowheads(0xFF20A0FFu); });
    book.Add(186, [](Random&) { return Strip(2, 32, 8, [](int f) { return Bullet(32, 8, f, 0xFFFFB020u, false); }); });
    book.Add(187, [](Random&) { return Strip(2, 32, 8, [](int f) { return Bullet(32, 8, f, 0xFF30C0FFu, false); }); });
    book.Add(188, [](Random&) { return Strip(2, 24, 12, [](int f) { return Bullet(24, 12, f, 0xFF60E060u, true); }); });
    book.Add(189, [](Random&) {
        return Strip(2, 24, 24, [](int f) {
            Canvas c(24, 24);
            Paint(c, Disc(12, 12, 10), f ? 0xFF585868u : 0xFF404050u, 2);
            Fill(c, Disc(12, 12, 7), 0xFF20202Cu);
            return c;
        });
    });
    book.Add(190, [](Random&) {
        return Strip(2, 12, 12, [](int f) {
            Canvas c(12, 12, kDark);
            Sparkle(c, 6, 6, f ? 5 : 4, f ? 0xFFFF80FFu : 0xFFFFE060u);
            FinishAdditive(c);
            return c;
        });
    });
    for (int k = 0; k < 2; ++k)
        book.Add(191 + k, [k](Random&) {
            return Strip(2, 16, 16, [k](int f) {
                Canvas c(16, 16);
                Fill(c, Capsule({8, 11}, {8.0 + (f ? 1 : -1), 15}, 0.5), kInk);
                Paint(c, Disc(8, 7, 5.5), k ? 0xFF60C0FFu : 0xFFFF6080u, 1);
                Fill(c, Disc(6, 5, 1.5), 0xFFFFFFFFu);
                return c;
            });
        });
    book.Add(193, [](Random&) { return Strip(2, 20, 20, [](int f) { return Bullet(20, 12, f, 0xFFFF8030u, true); }); });
    book.Add(194, [](Random&) { return Strip(2, 20, 20, [](int f) { return Bullet(20, 12, f, 0xFF8060FFu, true); }); });
    book.Add(195, [](Random&) { return Strip(2, 16, 16, [](int f) { return Bullet(16, 8, f, 0xFFFF8030u, true); }); });
    book.Add(196, [](Random&) { return Strip(2, 16, 16, [](int f) { return Bullet(16, 8, f, 0xFF8060FFu, true); }); });
    // Mines, drawn by their alpha ("blend"): pose 3 also adds cell 0 with no key and no alpha, so
    // that cell stands on black, which the blend leaves out as it does the key colour.
    for (int k = 0; k < 2; ++k)
        book.Add(197 + k, [tone = k ? 0xFF5A3A5Au : 0xFF4A5A3Au](Random&) {
            return Strip(2, 24, 24, [tone](int f) { return Mine(24, f, tone, f == 0 ? kDark : kKey); });
        });

    book.Add(200, [](Random&) {
        Canvas c(32, 32);
        Paint(c, Box(2, 2, 30, 30), 0xFFC08A48u, 2);
        Fill(c, Capsule({4, 4}, {28, 28}, 1.2), 0xFF8A5A28u);
        Fill(c, Capsule({28, 4}, {4, 28}, 1.2), 0xFF8A5A28u);
        Outline(c);
        return c;
    });
    for (int k = 0; k < 2; ++k)
        book.Add(201 + k, [k](Random&) {
            return Strip(2, 48, 48, [k](int f) { return Boulder(48, Deg((k ? 45.0 : -45.0) * f), 0xFF9A8470u); });
        });
    for (int k = 0; k < 2; ++k)
        book.Add(203 + k, [k](Random&) {
            return Strip(2, 48, 48, [k](int f) {
                Canvas c = Boulder(48, Deg(k ? 30.0 : -30.0), 0xFF8A7A6Au, f == 1);
                return c;
            });
        });
    for (int k = 0; k < 2; ++k)
        book.Add(205 + k, [k](Random&) {
            return Strip(4, 32, 32, [k](int f) { return Boulder(32, Deg((k ? 90.0 : -90.0) * f), 0xFFA08C74u); });
        });
    book.Add(207, [](Random&) { return Strip(2, 24, 24, [](int f) { return Mine(24, f, 0xFF505868u); }); });
    book.Add(208, [](Random&) { return Shards(16, 0xFF808898u); });
    book.Add(209, [](Random&) { return Strip(2, 24, 24, [](int f) { return Mine(24, f, 0xFF685050u); }); });
    book.Add(210, [](Random&) { return Shards(16, 0xFF987878u); });
    book.Add(211, [](Random&) {
        return Strip(6, 24, 24, [](int f) {
            Canvas c(24, 24);
            Paint(c, Turned(Polygon({{12, 2}, {16, 12}, {12, 22}, {8, 12}}), {12, 12}, Deg(60.0 * f)), kIce, 1);
            return c;
        });
    });
    book.Add(212, [](Random&) { return Strip(2, 32, 32, WaterWall); });
    book.Add(213, [](Random&) {
        return Strip(4, 32, 32, [](int f) {
            Canvas c(32, 32);
            Paint(c, Turned(Union(Capsule({6, 22}, {16, 8}, 4), Capsule({16, 8}, {26, 22}, 4)), {16, 16}, Deg(90.0 * f)), 0xFF9A8A78u, 2);
            return c;
        });
    });
    book.Add(214, [](Random&) { return Boulder(32, 0.4, 0xFF8A7A68u); });
    book.Add(215, [](Random&) {
        return Cells(2, 2, 24, 24, [](int f, int row) { return Mine(24, f, row ? 0xFF7A3A9Au : 0xFF5A5A6Au); });
    });
    book.Add(216, [](Random&) { return Shards(16, 0xFF9A7AB0u); });
    book.Add(217, [](Random&) { return Cells(6, 2, 48, 32, [](int f, int row) { return SwingArc(f, row == 1); }); });
    book.Add(218, [](Random&) { return Cells(2, 2, 64, 112, [](int f, int row) { return ThrownGolem(f, row == 1); }); });
    book.Add(219, [](Random&) { return Strip(2, 64, 64, [](int f) { return Boulder(64, Deg(20.0 * f), 0xFF7A6A5Au); }); });
    book.Add(220, [](Random&) {
        return Strip(4, 48, 48, [](int f) {
            Canvas c(48, 48);
            const double w = 14 * Cos(Deg(45.0 * f));
            Paint(c, Polygon({{24 - w, 6}, {24 + w, 12}, {24 + w, 42}, {24 - w, 36}}), std::abs(w) < 6 ? kSnow : kIce, 2);
            Fill(c, Capsule({24 - w * 0.6, 12}, {24 - w * 0.6, 30}, 0.8), 0xFFFFFFFFu);
            return c;
        });
    });
    book.Add(221, [](Random&) { return Nest(false); });
    book.Add(222, [](Random&) { return Nest(true); });
    book.Add(223, [](Random&) { return Boulder(64, 0.3, 0xFFB09A80u, true); });
    book.Add(224, [](Random&) { return Boulder(48, 1.1, 0xFFB09A80u); });
    book.Add(225, [](Random&) { return Boulder(32, 2.0, 0xFFB09A80u); });
    const Colour candies[3] = {0xFFFF70A0u, 0xFFFFD060u, 0xFF80D0FFu};
    for (int k = 0; k < 3; ++k)
        book.Add(226 + k, [tone = candies[k]](Random&) { return Strip(2, 24, 24, [tone](int f) { return Candy(f, tone); }); });
    book.Add(229, [](Random&) { return Shards(16, 0xFF6A7A5Au); });
    book.Add(230, [](Random&) { return Shards(16, 0xFF7A5A7Au); });
    for (int k = 0; k < 2; ++k)
        book.Add(231 + k, [k](Random&) {
            Canvas c(24, 24);
            Paint(c, Disc(12, 12, 9.5), kHelper, 2);
            for (int t = 0; t < 12; ++t) {
                const double a = Deg((k ? -30.0 : 30.0) * t), r = 1 + 0.6 * t;
                Fill(c, Disc(12 + r * Cos(a), 12 + r * Sin(a), 1), 0xFFF0D8FFu);
            }
            return c;
        });
}

}  // namespace morna::datagen

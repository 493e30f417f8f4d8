// Effects 601-695: additive sheets (light on black), blended puffs (soft alpha) and keyed
// decorations, fragments and end pictures. Explosions run orange, yellow and white.
#include <cmath>

#include "tools/datagen/images.h"
#include "tools/datagen/pictures.h"

namespace morna::datagen {
namespace {

using namespace palette;

constexpr Colour kFire = 0xFFFF8020u, kFlame = 0xFFFFC040u;

// An additive sheet: every cell drawn on black, lit pixels made opaque.
Canvas Lit(int columns, int rows, int cw, int ch, const std::function<void(Canvas&, int column, int row)>& draw) {
    Canvas c = Cells(columns, rows, cw, ch, [&](int k, int r) {
        Canvas cell(cw, ch, kDark);
        draw(cell, k, r);
        return cell;
    }, kDark);
    FinishAdditive(c);
    return c;
}

// Star colours for the ambient rows: seven hues, then the same seven deeper.
Colour Hue(int k) {
    const Colour wheel[7] = {0xFFFFF0A0u, 0xFFA0E0FFu, 0xFFFFA0E0u, 0xFFA0FFC0u, 0xFFFFC080u, 0xFFC0A0FFu, 0xFFFFFFFFu};
    return k < 7 ? wheel[k] : Mix(wheel[k % 7], 0xFF6060FFu, 70);
}

// Frame t of n of an explosion in a size x size cell: a fireball that swells and cools, a
// ring of sparks flying out.
void Explosion(Canvas& c, int t, int n, Colour outer, Colour inner) {
    const double h = c.w / 2.0, p = (t + 1.0) / n, r = h * (0.35 + 0.6 * p), fade = 1.0 - p * p;
    Glow(c, {h, h}, r, Mix(0xFF000000u, outer, int(256 * fade)));
    Glow(c, {h, h}, r * 0.7, Mix(0xFF000000u, inner, int(256 * fade)));
    if (t < n / 2) Glow(c, {h, h}, r * 0.45 * (1 - p), 0xFFFFFFFFu);
    Random sparks(static_cast<uint32_t>(c.w * 131 + n));
    for (int k = 0; k < 10; ++k) {
        const double a = Deg(36.0 * k + sparks.Real(0, 30)), d = h * (0.3 + 0.7 * p) * sparks.Real(0.7, 1.0);
        Glow(c, {h + d * Cos(a), h + d * Sin(a)}, std::max(1.5, h * 0.14 * fade), Mix(0xFF000000u, inner, int(256 * fade)));
    }
}

// A soft puff for blended smoke and dust: alpha that thins as it spreads.
void Puff(Canvas& c, double x, double y, double r, Colour colour, double strength) {
    Soft(c, {x, y}, r, WithAlpha(colour, int(255 * std::clamp(strength, 0.0, 1.0))));
}

// A keyed sign: a plate with an arrow at angle (or a symbol), blinking brighter on frame 1.
Canvas Sign(int f, double angle, int symbol) {
    Canvas c(32, 32);
    Paint(c, Box(14, 20, 18, 31), kBark, 1);
    Paint(c, RoundRect(3, 2, 29, 24, 5), f ? 0xFFFFB050u : kEmber, 2);
    const Colour mark = 0xFFFFFFFFu;
    if (symbol < 0) {
        Fill(c, Turned(Polygon({{8, 11}, {16, 11}, {16, 7}, {24, 13}, {16, 19}, {16, 15}, {8, 15}}), {16, 13}, angle), mark);
    } else if (symbol == 0) {
        Fill(c, Polygon({{16, 6}, {23, 13}, {16, 20}, {9, 13}}), mark);
    } else if (symbol == 1) {
        Fill(c, Ring(16, 13, 3.5, 6.5), mark);
    } else if (symbol == 2) {
        Fill(c, Polygon({{16, 6}, {23, 19}, {9, 19}}), mark);
    } else {
        Fill(c, Star(16, 13.5, 8, 3.5, 5), mark);
    }
    return c;
}

// Grass tufts: four variants.
Canvas Grass() {
    return Cells(4, 1, 32, 32, [](int k, int) {
        Canvas c(32, 32);
        for (int b = 0; b < 5 + k; ++b) {
            const double x = 5 + (22.0 / (4 + k)) * b, h = 10 + ((b * 7 + k * 3) % 9);
            Paint(c, Polygon({{x - 2.5, 31}, {x + ((b + k) % 3 - 1) * 3.0, 31 - h}, {x + 2.5, 31}}), b % 2 ? kLeaf : kMoss, 1);
        }
        if (k == 2) Paint(c, Disc(20, 18, 3), 0xFFFFE060u, 1);
        return c;
    });
}

Canvas BigTree() {
    Canvas c(64, 96);
    Paint(c, Polygon({{26, 95}, {29, 50}, {35, 50}, {38, 95}}), kBark, 2);
    Paint(c, Capsule({32, 62}, {46, 48}, 2.5), kBark, 1);
    for (const auto& [x, y, r] : {std::tuple{32.0, 30.0, 22.0}, {16.0, 42.0, 14.0}, {48.0, 40.0, 15.0}, {32.0, 14.0, 13.0}})
        Paint(c, Disc(x, y, r), kLeaf, 3);
    Fill(c, Disc(24, 22, 3), 0xFFE84040u);
    Fill(c, Disc(42, 34, 3), 0xFFE84040u);
    return c;
}

Canvas NoticeBoard() {
    Canvas c(32, 64);
    Paint(c, Box(14, 28, 18, 63), kBark, 1);
    Paint(c, RoundRect(2, 4, 30, 30, 3), 0xFFC89858u, 2);
    for (int k = 0; k < 3; ++k) Fill(c, Box(7, 11 + 6 * k, 25 - 4 * (k % 2), 13 + 6 * k), 0xFF5A3A1Au);
    return c;
}

Canvas Flag() {
    return Cells(3, 1, 32, 48, [](int f, int) {
        Canvas c(32, 48);
        Paint(c, Box(4, 2, 7, 47), 0xFF9098A8u, 1);
        std::vector<Point> top, bottom;
        for (int k = 0; k <= 6; ++k) {
            const double x = 7 + 4 * k, w = 2 * Sin(Deg(60.0 * k + 120 * f)) * k / 6;
            top.push_back({x, 4 + w});
            bottom.push_back({x, 20 + w});
        }
        std::vector<Point> poly = top;
        poly.insert(poly.end(), bottom.rbegin(), bottom.rend());
        Paint(c, Polygon(poly), kEmber, 2);
        Fill(c, Disc(15, 12 + Sin(Deg(120.0 * f)), 3), 0xFFFFFFFFu);
        return c;
    });
}

// The pile: left slope, middle, right slope in seven source rows of 32.
Canvas Pile() {
    return Cells(3, 7, 32, 32, [](int k, int r) {
        Canvas c(32, 32);
        const Colour soil = Mix(0xFF9A6A3Au, 0xFF6A4426u, 30 * r);
        if (k == 1) Fill(c, Box(0, 0, 32, 32), soil);
        if (k == 0) Fill(c, Polygon({{32, 0}, {32, 32}, {0, 32}}), soil);
        if (k == 2) Fill(c, Polygon({{0, 0}, {32, 32}, {0, 32}}), soil);
        for (int s = 0; s < 6; ++s) {
            const double x = (s * 11 + r * 7) % 30 + 1, y = (s * 17 + r * 5) % 30 + 1;
            if (c.Solid(int(x), int(y))) Fill(c, Disc(x, y, 1.5), Darker(soil, 50));
        }
        if (r == 0) {
            if (k == 0) Fill(c, Capsule({32, 1}, {1, 31}, 1.3), kMoss);
            if (k == 1) Fill(c, Box(0, 0, 32, 3), kMoss);
            if (k == 2) Fill(c, Capsule({0, 1}, {31, 31}, 1.3), kMoss);
        }
        return c;
    });
}

// Score digits, 12 x 16, 0-9.
Canvas ScoreDigits() {
    Canvas c(120, 16);
    for (int d = 0; d < 10; ++d) Label(c, 12 * d + 1, 1, std::string(1, char('0' + d)), 0xFFFFF060u, 2, 2);
    return c;
}

// End pictures: a banner of big letters, with a lantern or an island where they say so.
Canvas Banner(int w, int h, const std::string& text, Colour colour, int scale) {
    Canvas c(w, h);
    const int tw = TextWidth(text, scale);
    Canvas shadow(w, h);
    Text(shadow, (w - tw) / 2 + scale / 2, (h - 7 * scale) / 2 + scale / 2, text, 0xFF301020u, scale, scale);
    Stamp(c, shadow, 0, 0);
    Label(c, (w - tw) / 2, (h - 7 * scale) / 2, text, colour, scale, scale);
    return c;
}

void Lantern(Canvas& c, double x, double y, double s) {
    Paint(c, Capsule({x, y - 20 * s}, {x, y - 14 * s}, 1.5 * s), 0xFF5A4A3Au, 1);
    Paint(c, RoundRect(x - 10 * s, y - 14 * s, x + 10 * s, y + 12 * s, 4 * s), 0xFFFFD060u, 2);
    Fill(c, RoundRect(x - 6 * s, y - 8 * s, x + 6 * s, y + 6 * s, 2 * s), 0xFFFFF8D0u);
    Paint(c, Box(x - 12 * s, y + 12 * s, x + 12 * s, y + 16 * s), 0xFF8A5A30u, 1);
    Paint(c, Box(x - 12 * s, y - 17 * s, x + 12 * s, y - 13 * s), 0xFF8A5A30u, 1);
}

Canvas LitIsland(Random& random) {
    Canvas c(320, 200, 0xFF101830u);
    Linear(c, Box(0, 0, 320, 200), {0, 0}, 0xFF141C40u, {0, 200}, 0xFF40507Au);
    for (int k = 0; k < 60; ++k) {
        const int x = random.Below(320), y = random.Below(120);  // in this order on every compiler
        c.Set(x, y, 0xFFD0D8FFu);
    }
    Glow(c, {160, 92}, 70, 0xFF604818u);
    Paint(c, Union(Ellipse(160, 128, 100, 26), Polygon({{80, 128}, {240, 128}, {176, 186}, {146, 186}})), 0xFF5A7A3Au, 4);
    Fill(c, Intersect(Union(Ellipse(160, 128, 100, 26), Polygon({{80, 128}, {240, 128}, {176, 186}, {146, 186}})), Box(0, 132, 320, 200)),
         0xFF7A5A3Au);
    Paint(c, Box(150, 80, 170, 118), 0xFFE8E0D0u, 2);
    Paint(c, Polygon({{144, 82}, {160, 66}, {176, 82}}), 0xFFC04040u, 2);
    Lantern(c, 160, 60, 0.8);
    for (int k = 0; k < 5; ++k) Paint(c, Disc(110 + 25 * k, 110 - (k % 2) * 4, 9), kLeaf, 2);
    for (int k = 0; k < 4; ++k) Fill(c, Box(100 + 40 * k, 108, 104 + 40 * k, 112), 0xFFFFF0A0u);
    return c;
}

// Slashes: an arc of light sweeping over n frames, for the queen's arm swings.
void Arc(Canvas& c, double cx, double cy, double r, double from, double to, double width, Colour colour) {
    const int steps = 12;
    for (int k = 0; k < steps; ++k) {
        const double a0 = from + (to - from) * k / steps, a1 = from + (to - from) * (k + 1) / steps;
        const double w = width * (0.4 + 0.6 * (k + 1) / steps);
        GlowLine(c, {cx + r * Cos(a0), cy + r * Sin(a0)}, {cx + r * Cos(a1), cy + r * Sin(a1)}, w, colour);
    }
}

Canvas Swing(int cw, int ch, int frames, bool right, bool thrust) {
    Canvas c = Lit(frames, 1, cw, ch, [&](Canvas& cell, int t, int) {
        const double p = (t + 1.0) / frames, fade = t < frames / 2 ? 1.0 : 1.0 - (t - frames / 2.0) / (frames / 2.0 + 1);
        const Colour col = Mix(0xFF000000u, 0xFFA0E8FFu, int(256 * fade));
        if (thrust) {
            const double len = cw * (0.3 + 0.65 * p);
            GlowLine(cell, {cw - 4.0, ch / 2.0}, {cw - 4.0 - len, ch / 2.0}, ch * 0.18, col);
            GlowLine(cell, {cw - 4.0, ch / 2.0}, {cw - 4.0 - len * 0.8, ch / 2.0}, ch * 0.07, Mix(0xFF000000u, 0xFFFFFFFFu, int(256 * fade)));
        } else {
            Arc(cell, cw / 2.0, ch / 2.0, cw * 0.38, Deg(-150), Deg(-150 + 240 * p), cw * 0.06, col);
            Arc(cell, cw / 2.0, ch / 2.0, cw * 0.38, Deg(-150 + 180 * p), Deg(-150 + 240 * p), cw * 0.025, Mix(0xFF000000u, 0xFFFFFFFFu, int(256 * fade)));
        }
    });
    return right ? c : Cells(frames, 1, cw, ch, [&](int k, int) { return Mirrored(Cut(c, k * cw, 0, cw, ch)); }, kDark);
}

// A ring particle flying along row r's direction (45r degrees), shrinking over 8 frames.
Canvas SlowRing(Colour tone, int kind) {
    return Lit(8, 8, 16, 16, [&](Canvas& c, int t, int r) {
        const double a = Deg(45.0 * r), k = 1.0 - t / 9.0;
        const Colour col = Mix(0xFF000000u, tone, int(256 * k));
        if (kind == 1) {  // ice: a small crystal along the direction
            GlowLine(c, {8 - 5 * Cos(a) * k, 8 - 5 * Sin(a) * k}, {8 + 5 * Cos(a) * k, 8 + 5 * Sin(a) * k}, 2.2, col);
        } else if (kind == 2) {  // leaf: a slanted lens
            GlowLine(c, {8 - 4 * Cos(a + 0.8), 8 - 4 * Sin(a + 0.8)}, {8 + 4 * Cos(a + 0.8), 8 + 4 * Sin(a + 0.8)}, 3 * k + 1, col);
        } else if (kind == 3) {  // candy or star: a four-point twinkle
            Sparkle(c, 8, 8, 6 * k + 1, col);
        } else {  // flame: a teardrop trailing back
            Glow(c, {8, 8}, 5 * k + 1.5, col);
            GlowLine(c, {8, 8}, {8 - 6 * Cos(a), 8 - 6 * Sin(a)}, 2 * k + 0.5, Mix(0xFF000000u, 0xFFFF4010u, int(200 * k)));
        }
    });
}

// Sparks fading over n frames in a small cell.
Canvas SparkRing(Colour tone, int frames, int size) {
    return Lit(frames, 1, size, size, [&](Canvas& c, int t, int) {
        const double h = size / 2.0, k = 1.0 - t / double(frames);
        Sparkle(c, h, h, (h - 1) * (0.5 + 0.5 * k), Mix(0xFF000000u, tone, int(256 * k)));
        Glow(c, {h, h}, h * 0.4 * k + 0.8, Mix(0xFF000000u, 0xFFFFFFFFu, int(200 * k)));
    });
}

// Keyed fragments: chips of a material turning over four frames.
Canvas Chips(int frames, int rows, Colour tone) {
    return Cells(frames, rows, 16, 16, [&](int f, int r) {
        Canvas c(16, 16);
        const double a = Deg(90.0 * f + 30.0 * r), s = 5.0 - r;
        Paint(c, Turned(Polygon({{8 - s, 8 - s * 0.4}, {8 + s * 0.8, 8 - s * 0.7}, {8 + s * 0.5, 8 + s * 0.8}, {8 - s * 0.6, 8 + s * 0.5}}), {8, 8}, a),
              Mix(tone, 0xFFFFFFFFu, 30 * r), 1);
        return c;
    });
}

// A cross of light that shrinks: four frames.
Canvas Cross(Colour tone) {
    return Lit(4, 1, 24, 24, [&](Canvas& c, int t, int) {
        const double k = 1.0 - t / 5.0;
        Sparkle(c, 12, 12, 10 * k + 1, Mix(0xFF000000u, tone, int(256 * k)));
    });
}

// An aura of rising flames or ice around a 96-px body.
Canvas Aura(Colour tone, bool ice) {
    return Lit(8, 1, 96, 96, [&](Canvas& c, int t, int) {
        for (int k = 0; k < 10; ++k) {
            const double x = 14 + 68.0 * ((k * 37) % 10) / 9, phase = (t + k * 3) % 8 / 8.0;
            const double y = 86 - 70 * phase, r = (ice ? 5 : 8) * (1 - phase) + 2;
            Glow(c, {x, y}, r, Mix(0xFF000000u, tone, int(220 * (1 - phase))));
            if (ice) Sparkle(c, x, y, r, Mix(0xFF000000u, 0xFFFFFFFFu, int(200 * (1 - phase))));
        }
        Glow(c, {48, 60}, 40, Mix(0xFF000000u, tone, 70));
    });
}

// A power-up flash: a ring and rays bursting from the centre of a 128-px cell.
Canvas Awakening(Colour tone) {
    return Lit(8, 1, 128, 128, [&](Canvas& c, int t, int) {
        const double p = (t + 1) / 8.0, fade = 1 - p * 0.8;
        for (int k = 0; k < 12; ++k) {
            const double a = Deg(30.0 * k + 15 * t);
            GlowLine(c, {64 + 16 * Cos(a), 64 + 16 * Sin(a)}, {64 + 60 * p * Cos(a), 64 + 60 * p * Sin(a)}, 3, Mix(0xFF000000u, tone, int(256 * fade)));
        }
        for (int k = 0; k < 48; ++k) {
            const double a = Deg(7.5 * k);
            Glow(c, {64 + 56 * p * Cos(a), 64 + 56 * p * Sin(a)}, 4, Mix(0xFF000000u, 0xFFFFFFFFu, int(160 * fade)));
        }
        Glow(c, {64, 64}, 24 * (1 - p) + 6, Mix(0xFF000000u, 0xFFFFFFFFu, int(256 * fade)));
    });
}

// The ice circle: rings and a six-point figure of frost.
Canvas IceCircle() {
    Canvas c(256, 256, kDark);
    for (const double r : {120.0, 104.0, 62.0}) {
        for (int k = 0; k < 96; ++k) {
            const double a0 = Deg(3.75 * k), a1 = Deg(3.75 * (k + 1));
            GlowLine(c, {128 + r * Cos(a0), 128 + r * Sin(a0)}, {128 + r * Cos(a1), 128 + r * Sin(a1)}, 3.5, 0xFF3080C0u);
        }
    }
    for (int k = 0; k < 6; ++k) {
        const double a = Deg(60.0 * k - 90), b = Deg(60.0 * (k + 2) - 90);
        GlowLine(c, {128 + 104 * Cos(a), 128 + 104 * Sin(a)}, {128 + 104 * Cos(b), 128 + 104 * Sin(b)}, 3, 0xFF60B0F0u);
        Sparkle(c, 128 + 112 * Cos(a), 128 + 112 * Sin(a), 9, 0xFFC0F0FFu);
    }
    FinishAdditive(c);
    return c;
}

}  // namespace

void AddEffectPictures(ImageBook& book) {
    book.Add(601, [](Random&) {
        return Lit(3, 14, 16, 16, [](Canvas& c, int f, int r) { Sparkle(c, 8, 8, 3 + 1.5 * f, Hue(r)); });
    });
    book.Add(602, [](Random&) {
        return Lit(4, 14, 16, 16, [](Canvas& c, int f, int r) {
            Sparkle(c, 8, 8, 4 + 1.2 * (f < 2 ? f : 3 - f) + f % 2, Hue(r));
            Glow(c, {8, 8}, 2.5, 0xFFFFFFFFu);
        });
    });
    book.Add(603, [](Random&) {
        Canvas c(84, 6, kDark);
        const int at[8] = {0, 6, 12, 18, 60, 66, 72, 78};
        for (int k = 0; k < 8; ++k) Glow(c, {at[k] + 3.0, 3}, 3, Hue(k));
        FinishAdditive(c);
        return c;
    });
    book.Add(604, [](Random&) {
        return Lit(4, 4, 16, 16, [](Canvas& c, int f, int r) {
            const double rad = 3 + f + r * 0.5;
            AroundPoint(c, {8, 8}, [&](int x, int y, double, double, double d) {
                if (d < rad && d > rad - 1.6) c.Set(x, y, Mix(0xFF000000u, 0xFF80C8FFu, 200));
            });
            Glow(c, {6.5, 6.5}, 1.5, 0xFFFFFFFFu);
        });
    });
    book.Add(605, [](Random&) {
        return Lit(2, 4, 32, 16, [](Canvas& c, int f, int r) {
            GlowLine(c, {5, 8}, {30, 6 + 0.5 * r}, 2 + f, Mix(0xFF000000u, Hue(r), 160));
            Glow(c, {5, 8}, 4 + f, 0xFFFFFFFFu);
        });
    });
    book.Add(606, [](Random&) { return ScoreDigits(); });
    const double arrows[8] = {-90, 180, 0, 90, -135, -45, 135, 45};
    for (int k = 0; k < 8; ++k)
        book.Add(607 + k, [a = arrows[k]](Random&) { return Cells(2, 1, 32, 32, [a](int f, int) { return Sign(f, Deg(a), -1); }); });
    for (int k = 0; k < 4; ++k)
        book.Add(615 + k, [k](Random&) { return Cells(2, 1, 32, 32, [k](int f, int) { return Sign(f, 0, k); }); });
    book.Add(619, [](Random&) { return NoticeBoard(); });
    book.Add(620, [](Random&) { return Flag(); });
    for (int k = 0; k < 2; ++k)
        book.Add(k ? 625 : 621, [k](Random&) {
            return Cells(5, 1, 48, 32, [k](int t, int) {
                Canvas c(48, 32);
                const double p = (t + 1) / 5.0;
                for (int b = 0; b < 4; ++b)
                    Puff(c, (k ? 14 + 24 * p : 34 - 24 * p) + 7 * b * (k ? -1 : 1) * 0.5, 22 - 4 * b * p, 6 + 6 * p, 0xFFB09878u, 0.9 - 0.7 * p);
                return c;
            });
        });
    book.Add(622, [](Random&) { return Grass(); });
    book.Add(623, [](Random&) { return BigTree(); });
    book.Add(624, [](Random&) { return Pile(); });
    book.Add(626, [](Random&) {
        return Lit(1, 1, 128, 32, [](Canvas& c, int, int) {
            for (int x = 0; x < 128; ++x)
                for (int y = 0; y < 32; ++y) {
                    const double v = 1 - std::abs(y + 0.5 - 24) / 10, u = 1 - std::abs(x + 0.5 - 64) / 64;
                    if (v > 0) c.Set(x, y, Mix(0xFF000000u, Mix(kFire, 0xFFFFFFFFu, int(200 * v)), int(256 * v * (0.4 + 0.6 * u))));
                }
        });
    });
    const struct { int id, size, frames; Colour outer, inner; } booms[] = {
        {627, 32, 6, kFire, kFlame}, {628, 48, 6, kFire, kFlame}, {629, 64, 8, 0xFFFF6010u, kFlame},
        {657, 32, 6, 0xFFFF5020u, 0xFFFFE080u}, {658, 48, 6, 0xFFFF5020u, 0xFFFFE080u}, {659, 64, 8, 0xFFFF4010u, 0xFFFFD060u},
        {660, 96, 8, 0xFFFF4010u, 0xFFFFD060u}, {662, 128, 8, 0xFFFF3010u, 0xFFFFF0A0u}, {632, 48, 6, 0xFFA040FFu, 0xFFF0C0FFu},
        {636, 48, 8, 0xFF4080FFu, 0xFFC0F0FFu}};
    for (const auto& b : booms)
        book.Add(b.id, [b](Random&) {
            return Lit(b.frames, 1, b.size, b.size, [&](Canvas& c, int t, int) { Explosion(c, t, b.frames, b.outer, b.inner); });
        });
    book.Add(630, [](Random&) { return SparkRing(kFlame, 4, 16); });
    for (const auto& [id, frames, tone] : {std::tuple{631, 5, 0xFF808890u}, {634, 6, 0xFFA08868u}, {635, 6, 0xFFC0A888u}})
        book.Add(id, [frames = frames, tone = tone](Random&) {
            return Cells(frames, 1, 32, 32, [&](int t, int) {
                Canvas c(32, 32);
                const double p = (t + 1.0) / frames;
                Puff(c, 16, 18 - 4 * p, 7 + 8 * p, tone, 1.0 - 0.75 * p);
                Puff(c, 11, 20 - 2 * p, 5 + 5 * p, Lighter(tone, 40), 0.8 - 0.6 * p);
                return c;
            });
        });
    book.Add(633, [](Random&) {
        return Lit(8, 1, 16, 16, [](Canvas& c, int k, int) {
            const double a = Deg(45.0 * k);
            GlowLine(c, {8 - 5 * Cos(a), 8 - 5 * Sin(a)}, {8 + 5 * Cos(a), 8 + 5 * Sin(a)}, 3, 0xFFFFB040u);
        });
    });
    book.Add(637, [](Random&) { return SparkRing(0xFFFFF0A0u, 6, 16); });
    book.Add(638, [](Random&) { return SparkRing(0xFFA0F0FFu, 6, 24); });
    book.Add(639, [](Random&) {
        return Lit(2, 2, 16, 16, [](Canvas& c, int k, int r) {
            // A quarter of a target ring, its corner toward the centre of the whole marker.
            AroundPoint(c, {k ? 0.0 : 16.0, r ? 0.0 : 16.0}, [&](int x, int y, double, double, double d) {
                if (std::abs(d - 11) < 2.5) c.Set(x, y, Mix(0xFF000000u, 0xFFFF6040u, int(256 * (1 - std::abs(d - 11) / 2.5))));
            });
        });
    });
    book.Add(640, [](Random&) { return Swing(96, 48, 6, false, true); });
    book.Add(641, [](Random&) { return Swing(96, 48, 6, true, true); });
    book.Add(642, [](Random&) { return Swing(96, 96, 8, false, false); });
    book.Add(643, [](Random&) { return Swing(96, 96, 8, true, false); });
    book.Add(644, [](Random&) { return Swing(128, 128, 10, false, false); });
    book.Add(645, [](Random&) { return Swing(128, 128, 10, true, false); });
    book.Add(646, [](Random&) {
        return Lit(4, 1, 32, 32, [](Canvas& c, int t, int) {
            const double k = 1 - t / 4.0;
            Glow(c, {16, 16}, 15 * k + 2, Mix(0xFF000000u, kFlame, int(256 * k)));
            Sparkle(c, 16, 16, 14 * k + 1, Mix(0xFF000000u, 0xFFFFFFFFu, int(256 * k)));
        });
    });
    const Colour rings[6] = {0xFFFF4040u, 0xFF4080FFu, 0xFF40E060u, 0xFFFFE040u, 0xFFFFFFFFu, 0xFFC060FFu};
    for (int k = 0; k < 6; ++k) book.Add(647 + k, [tone = rings[k]](Random&) { return SparkRing(tone, 6, 16); });
    book.Add(653, [](Random&) { return SlowRing(kFire, 0); });
    book.Add(654, [](Random&) { return SlowRing(0xFF80D0FFu, 1); });
    book.Add(655, [](Random&) { return SlowRing(0xFF60E060u, 2); });
    book.Add(656, [](Random&) { return SlowRing(0xFFFF80C0u, 3); });
    book.Add(677, [](Random&) { return SlowRing(0xFFFFE060u, 3); });
    book.Add(661, [](Random&) {
        return Lit(6, 1, 32, 32, [](Canvas& c, int t, int) {
            const double p = (t + 1) / 6.0;
            for (int k = 0; k < 5; ++k) {
                const double a = Deg(72.0 * k + 30 * t);
                Glow(c, {16 + 10 * p * Cos(a), 16 + 10 * p * Sin(a)}, 4.5 * (1 - p) + 1.5, 0xFFFF90C0u);
            }
            Glow(c, {16, 16}, 4 * (1 - p) + 1, 0xFFFFF0A0u);
        });
    });
    book.Add(663, [](Random&) {
        return Lit(6, 1, 16, 16, [](Canvas& c, int t, int) {
            const double k = 1 - t / 7.0;
            Glow(c, {8, 6 + t * 0.8}, 3.5 * k + 1, Mix(0xFF000000u, 0xFF80D0FFu, int(256 * k)));
            Glow(c, {8, 6 + t * 0.8}, 1.5 * k + 0.5, 0xFFFFFFFFu);
        });
    });
    book.Add(664, [](Random&) { return Chips(3, 1, 0xFF9A8A78u); });
    book.Add(665, [](Random&) { return Chips(4, 3, 0xFF8A7A9Au); });
    const Colour chips[6] = {0xFFFFD040u, 0xFF8A9AAAu, 0xFF60A0E0u, 0xFFA07AD0u, 0xFFE05050u, 0xFF50B060u};
    for (int k = 0; k < 6; ++k) book.Add(666 + k, [tone = chips[k]](Random&) { return Chips(4, 1, tone); });
    book.Add(672, [](Random&) { return Chips(1, 1, 0xFFE0B040u); });
    book.Add(673, [](Random&) { return Cross(kFire); });
    book.Add(674, [](Random&) { return Cross(0xFF80D0FFu); });
    book.Add(675, [](Random&) { return Cross(0xFF60E060u); });
    book.Add(676, [](Random&) { return Cross(0xFFFFE060u); });
    const Colour bits[4] = {0xFFFF4040u, 0xFF4090FFu, 0xFFFFFFFFu, 0xFFFFD040u};
    for (int k = 0; k < 4; ++k)
        book.Add(678 + k, [tone = bits[k]](Random&) {
            return Lit(4, 1, 8, 8, [tone](Canvas& c, int t, int) { Glow(c, {4, 4}, 4 - 0.7 * t, tone); });
        });
    book.Add(682, [](Random&) { return SparkRing(0xFFFFE0A0u, 6, 16); });
    book.Add(683, [](Random&) { return Awakening(0xFFFF9030u); });
    book.Add(684, [](Random&) { return Awakening(0xFF60C0FFu); });
    book.Add(685, [](Random&) { return Aura(0xFFFF6020u, false); });
    book.Add(686, [](Random&) { return Aura(0xFF60B0FFu, true); });
    book.Add(687, [](Random&) {
        return Lit(1, 1, 64, 16, [](Canvas& c, int, int) { GlowLine(c, {4, 8}, {60, 8}, 7, 0xFFC0F0FFu); });
    });
    book.Add(688, [](Random&) { return SparkRing(0xFFFFE080u, 7, 16); });
    book.Add(689, [](Random&) { return SparkRing(0xFF90E0FFu, 7, 16); });
    book.Add(690, [](Random&) { return IceCircle(); });
    book.Add(691, [](Random&) {
        return Lit(1, 1, 32, 8, [](Canvas& c, int, int) {
            GlowLine(c, {-4, 4}, {36, 4}, 4, 0xFFFFE0A0u);
            GlowLine(c, {-4, 4}, {36, 4}, 1.5, 0xFFFFFFFFu);
        });
    });
    book.Add(692, [](Random&) { return Banner(400, 80, "GAME OVER", 0xFFE04848u, 6); });
    book.Add(693, [](Random&) {
        Canvas c = Banner(480, 200, "THE END", 0xFFFFE080u, 8);
        Lantern(c, 240, 40, 1.6);
        return c;
    });
    book.Add(694, [](Random&) { return Banner(480, 160, "TRUE END", 0xFFA0E8FFu, 8); });
    book.Add(695, [](Random& r) { return LitIsland(r); });
}

}  // namespace morna::datagen

// The HUD sheets (0, 1), the cut-in zoom (2), the barriers (4, 5), the items (6), the
// reflector rings (15), the skill pictures (16-18), the shot core (21) and block 18's glow (87).
#include "tools/datagen/images.h"
#include "tools/datagen/pictures.h"

namespace morna::datagen {
namespace {

using namespace palette;

// The icon of a gauge: a shield or a star on its 37 x 32 cell; the twin is brighter.
void ShieldIcon(Canvas& c, int x, int y, bool bright) {
    const Colour red = bright ? 0xFFFF7070u : kRed;
    Paint(c, Polygon({{x + 7.0, y + 5.0}, {x + 29.0, y + 5.0}, {x + 29.0, y + 15.0}, {x + 18.0, y + 28.0}, {x + 7.0, y + 15.0}}),
          red, 2);
    Fill(c, Capsule({x + 18.0, y + 10.0}, {x + 18.0, y + 20.0}, 1.5), bright ? 0xFFFFFFFFu : 0xFFFFD0D0u);
    Fill(c, Capsule({x + 13.0, y + 14.0}, {x + 23.0, y + 14.0}, 1.5), bright ? 0xFFFFFFFFu : 0xFFFFD0D0u);
}

void StarIcon(Canvas& c, int x, int y, Colour colour) { Paint(c, Star(x + 18.5, y + 16.5, 13, 6, 5), colour, 2); }

// A gauge trough from x0 to x1 (exclusive) in rows y..y+32: ink, a 2-px light border, the
// dark interior in rows 10-22; open on the right (and on the left unless closed).
void Trough(Canvas& c, int x0, int x1, int y, bool closedLeft = true) {
    const int in = closedLeft ? 3 : 0;
    Fill(c, Box(x0, y + 7, x1, y + 26), kInk);
    Fill(c, Box(x0 + in / 3, y + 8, x1, y + 25), 0xFFD8E0F0u);
    Fill(c, Box(x0 + in, y + 10, x1, y + 23), 0xFF202434u);
    Fill(c, Box(x0 + in, y + 10, x1, y + 12), 0xFF121420u);
}
// Its right end, 3 columns: the border turned down and the ink.
void TroughEnd(Canvas& c, int x, int y) {
    Fill(c, Box(x, y + 7, x + 3, y + 26), kInk);
    Fill(c, Box(x, y + 8, x + 2, y + 25), 0xFFD8E0F0u);
}
// A fill bar: rows 10-22 of its 32-row cell, lit on top, from x0 + 2 to x1.
void FillBar(Canvas& c, int x0, int x1, int y, Colour colour) {
    Linear(c, Box(x0 + 2, y + 10, x1, y + 23), {0, y + 10.0}, Lighter(colour, 120), {0, y + 23.0}, Darker(colour, 70));
    Fill(c, Box(x0 + 2, y + 12, x1, y + 13), Lighter(colour, 160));
}

Canvas UiSheet() {
    Canvas c(256, 352);
    // Icons and marks on a layer of their own, outlined; bars and frames carry their own ink.
    Canvas icons(256, 352);
    for (int twin = 0; twin < 2; ++twin) {
        ShieldIcon(icons, 0, 32 * twin, twin == 1);
        StarIcon(icons, 0, 64 + 32 * twin, twin ? 0xFFFFF080u : kGold);
        // The dim gauge icon covers the star: grey, crossed out.
        StarIcon(icons, 144, 64 + 32 * twin, twin ? 0xFFB0B0B8u : 0xFF8A8A94u);
        Fill(icons, Capsule({150.0, 70.0 + 32 * twin}, {175.0, 90.0 + 32 * twin}, 2), 0xFFD03030u);
        Fill(icons, Capsule({175.0, 70.0 + 32 * twin}, {150.0, 90.0 + 32 * twin}, 2), 0xFFD03030u);
        // Boss icon: a round skull-like face.
        const double y = 224 + 32 * twin;
        Paint(icons, Union(Disc(16, y + 14, 12), RoundRect(9, y + 18, 23, y + 29, 3)), twin ? 0xFFFFFFFFu : 0xFFE0D8C8u, 2);
        Fill(icons, Ellipse(11.5, y + 15, 3.5, 4), 0xFF601818u);
        Fill(icons, Ellipse(20.5, y + 15, 3.5, 4), 0xFF601818u);
        Fill(icons, Polygon({{16, y + 19}, {18, y + 23}, {14, y + 23}}), kInk);
        for (int k = 0; k < 3; ++k) Fill(icons, Box(12 + 3 * k, y + 25, 13 + 3 * k, y + 29), kInk);
        // Power-up icons: flame, horn, snowflake.
        const double py = 288 + 32 * twin;
        const int lift = twin ? 90 : 0;
        Paint(icons, Union(Ellipse(16, py + 20, 9, 9), Polygon({{7, py + 20}, {16, py + 2}, {25, py + 20}})),
              Lighter(0xFFF05A1Eu, lift), 2);
        Fill(icons, Union(Ellipse(16, py + 22, 4.5, 5), Polygon({{11.5, py + 22}, {16, py + 12}, {20.5, py + 22}})), 0xFFFFE070u);
        Paint(icons, Polygon({{38, py + 28}, {44, py + 12}, {54, py + 4}, {50, py + 14}, {48, py + 28}}), Lighter(0xFFC8B070u, lift), 2);
        for (int k = 0; k < 3; ++k) {
            const double a = Deg(60.0 * k);
            Fill(icons, Capsule({80 + 12 * Cos(a), py + 16 + 12 * Sin(a)}, {80 - 12 * Cos(a), py + 16 - 12 * Sin(a)}, 2),
                 Lighter(kIce, lift));
        }
        Fill(icons, Disc(80, py + 16, 4), 0xFFFFFFFFu);
    }
    Paint(icons, Polygon({{66, 130}, {86, 130}, {76, 142}}), 0xFFFFFFFFu, 1);
    Paint(icons, Disc(120, 136, 6.5), 0xFFE000E0u, 2);
    Paint(icons, Polygon({{133, 129}, {139, 129}, {136, 135}, {141, 135}, {131, 143}, {134, 137}, {130, 137}}), 0xFFE08000u, 1);
    Paint(icons, Polygon({{152, 129}, {158, 136}, {152, 143}, {146, 136}}), 0xFF0080E0u, 2);
    Paint(icons, RoundRect(104, 291, 112, 310, 3), 0xFFFFE040u, 2);
    Paint(icons, Disc(108, 315, 3), 0xFFFFE040u, 1);
    Paint(icons, Union(Capsule({124, 304}, {130, 298}, 2.5), Capsule({130, 298}, {140, 306}, 2.5)), 0xFF9AD0FFu, 1);
    Paint(icons, Polygon({{148, 299}, {158, 299}, {158, 293}, {167, 304}, {158, 315}, {158, 309}, {148, 309}}), 0xFF70F070u, 2);
    Outline(icons);
    Stamp(c, icons, 0, 0);
    // The stock mark fills its 9 x 17 cell, with its own ink.
    Paint(c, Polygon({{100.5, 128.5}, {104.5, 134}, {100.5, 144.5}, {96.5, 134}}), 0xFF60E8FFu, 1, false);
    // HP and gauge troughs with their ends and fills (fills leave the frame's left border).
    Trough(c, 37, 187, 0);
    TroughEnd(c, 187, 0);
    FillBar(c, 37, 167, 32, 0xFF40D060u);
    Trough(c, 37, 137, 64);
    TroughEnd(c, 137, 64);
    FillBar(c, 37, 137, 96, 0xFFF09020u);
    // Boss gauge: left cap, a body open on both sides, right cap; the fill from the body's start.
    Trough(c, 32, 37, 224);
    Trough(c, 37, 187, 224, false);
    TroughEnd(c, 187, 224);
    FillBar(c, 35, 187, 256, 0xFFE03030u);
    // Window frame: 3 x 3 tiles of 16 (corners, edges, an unused centre).
    const Shape inner = RoundRect(5, 133, 43, 171, 3);
    Fill(c, RoundRect(1, 129, 47, 175, 6), kInk);
    Fill(c, Minus(RoundRect(2, 130, 46, 174, 5), inner), 0xFFE8D8A0u);
    Fill(c, Minus(RoundRect(3, 131, 45, 173, 4), RoundRect(4, 132, 44, 172, 3.5)), 0xFFB89848u);
    Fill(c, inner, 0xFF1C2448u);
    // Barrier gauge: frame open on the right, its end, the fills (cyan, overload red).
    Fill(c, Box(64, 148, 131, 160), kInk);
    Fill(c, Box(65, 149, 131, 159), 0xFFD8E0F0u);
    Fill(c, Box(66, 150, 131, 158), 0xFF202434u);
    Fill(c, Box(166, 148, 168, 160), kInk);
    Fill(c, Box(166, 149, 167, 159), 0xFFD8E0F0u);
    Linear(c, Box(66, 162, 129, 170), {0, 162}, 0xFFB0FFFFu, {0, 170}, 0xFF0090B0u);
    Linear(c, Box(66, 174, 129, 182), {0, 174}, 0xFFFFB0B0u, {0, 182}, 0xFFB01010u);
    // Cursor bar: a 2-px opaque cyan outline round a faint interior.
    Fill(c, RoundRect(0, 192, 192, 216, 4), WithAlpha(0xFF60F0FFu, 64));
    Fill(c, Minus(RoundRect(0, 192, 192, 216, 4), RoundRect(2, 194, 190, 214, 2)), 0xFF60F0FFu);
    return c;
}

// Image 1: labels, small digits and signs, score digits on a dark backing, the two panels.
Canvas ScoreSheet() {
    Canvas c(256, 136);
    const Colour label = 0xFFFFF0A0u, digits = 0xFFFFFFFFu;
    Label(c, 1, 2, "CHAIN x", label, 2, 2);
    Label(c, 107, 2, "SPECIAL x", 0xFFFFB8F0u, 2, 2);
    Label(c, 1, 21, "BONUS x", 0xFFA0FFB0u, 2, 2);
    Label(c, 1, 40, "TIME +", 0xFFA0E0FFu, 2, 2);
    Label(c, 121, 40, "LIFE +", 0xFFFFA0A0u, 2, 2);
    for (int d = 0; d < 10; ++d) Label(c, 16 * d + 3, 58, std::string(1, char('0' + d)), digits, 2, 3);
    Label(c, 163, 58, "+", digits, 2, 3);
    Label(c, 179, 58, "x", digits, 2, 3);
    Fill(c, Box(194, 73, 198, 78), kInk);
    Fill(c, Box(195, 74, 197, 77), digits);
    for (int d = 0; d < 10; ++d) {
        Fill(c, RoundRect(20 * d, 81, 20 * d + 20, 110, 3), 0xA0101828u);
        Label(c, 20 * d + 3, 85, std::string(1, char('0' + d)), 0xFFFFF4D0u, 3, 3);
    }
    Fill(c, RoundRect(0, 111, 108, 131, 5), 0xFF3A1020u);
    Fill(c, Minus(RoundRect(0, 111, 108, 131, 5), RoundRect(2, 113, 106, 129, 3)), 0xFFFF6060u);
    Label(c, 30, 114, "DOWN", 0xFFFFFFFFu, 2, 2);
    Fill(c, RoundRect(116, 111, 192, 135, 5), 0xC0182040u);
    Fill(c, Minus(RoundRect(116, 111, 192, 135, 5), RoundRect(118, 113, 190, 133, 3)), 0xFF80C0FFu);
    Label(c, 125, 116, "SCORE", 0xFFFFFFFFu, 2, 2);
    return c;
}

// Image 2: per column a soft radial glow (row 0) and a ring burst (row 64).
Canvas CutinZoom() {
    const Colour colours[4] = {0xFFFF9030u, 0xFF50A0FFu, 0xFFFF60C0u, 0xFFB0E8FFu};
    Canvas c(256, 128, kDark);
    for (int k = 0; k < 4; ++k) {
        Glow(c, {64.0 * k + 32, 32}, 31, colours[k]);
        Glow(c, {64.0 * k + 32, 32}, 12, 0xFFFFFFFFu);
        Canvas ring(64, 64, kDark);
        for (int a = 0; a < 16; ++a) {
            const double t = Deg(22.5 * a);
            GlowLine(ring, {32 + 14 * Cos(t), 32 + 14 * Sin(t)}, {32 + 29 * Cos(t), 32 + 29 * Sin(t)}, 2.5, colours[k]);
        }
        AroundPoint(ring, {32, 32}, [&](int x, int y, double, double, double d) {
            if (d > 24 && d < 30) ring.Set(x, y, Mix(ring.Get(x, y) | 0xFF000000u, colours[k], 180 - int(20 * std::abs(d - 27))));
        });
        Put(c, ring, 64 * k, 64);
    }
    FinishAdditive(c);
    return c;
}

// Images 4, 5: row 0 three ring cells, rows 1-3 twelve sparkle frames; blended by alpha.
Canvas Barrier(Colour tone) {
    Canvas c(384, 384);
    for (int k = 0; k < 3; ++k) {
        Canvas cell(96, 96);
        const double ang = Deg(120.0 * k), hx = 30 * Cos(ang - 2.2), hy = 30 * Sin(ang - 2.2);
        AroundPoint(cell, {48, 48}, [&](int x, int y, double dx, double dy, double d) {
            if (d > 46) return;
            // A bubble: faint inside, bright toward its rim, a highlight that turns.
            double a = d < 40 ? 40 + 60 * (d / 40) * (d / 40) : 230 - 20 * (d - 40);
            const double h = std::sqrt((dx - hx) * (dx - hx) + (dy - hy) * (dy - hy));
            Colour col = tone;
            if (h < 10) col = Mix(tone, 0xFFFFFFFFu, int(200 - 20 * h)), a = std::max(a, 200.0 - 10 * h);
            cell.Set(x, y, WithAlpha(col, int(std::min(a, 255.0))));
        });
        Put(c, cell, 96 * k, 0);
    }
    for (int f = 0; f < 12; ++f) {
        Canvas cell(96, 96);
        for (int s = 0; s < 6; ++s) {
            const double a = Deg(60.0 * s + 10.0 * f), r = 38 + 4 * Sin(Deg(30.0 * f + 60 * s));
            const double x = 48 + r * Cos(a), y = 48 + r * Sin(a), size = 4 + 2 * Sin(Deg(45.0 * f + 90 * s));
            Soft(cell, {x, y}, size + 2, WithAlpha(Lighter(tone, 160), 255));
            Fill(cell, Capsule({x - size, y}, {x + size, y}, 0.6), 0xFFFFFFFFu);
            Fill(cell, Capsule({x, y - size}, {x, y + size}, 0.6), 0xFFFFFFFFu);
        }
        Put(c, cell, 96 * (f % 4), 96 * (1 + f / 4));
    }
    return c;
}

// Image 6: items 0-8, two 32-px frames each; sparkles in rows 96-128.
Canvas Items() {
    Canvas c(256, 128);
    for (int k = 0; k < 9; ++k) {
        for (int f = 0; f < 2; ++f) {
            Canvas cell(32, 32);
            const double r = f ? 11.5 : 11, cx = 16, cy = 16;
            switch (k) {
                case 0: case 4: {  // heart orbs: red, the big one gold-rimmed
                    Paint(cell, Disc(cx, cy, k == 4 ? 13 : r), k == 4 ? kGold : 0xFFFFE0E8u, 2);
                    Paint(cell, Union(Union(Disc(12, 14, 5), Disc(20, 14, 5)), Polygon({{7.2, 15.5}, {24.8, 15.5}, {16, 25}})),
                          kRed, 2);
                    break;
                }
                case 1: Paint(cell, Disc(cx, cy, r), 0xFFB040E0u, 3), Paint(cell, Star(cx, cy, 7, 3, 4, Deg(45.0 * f)), 0xFFFFE0FFu, 1); break;
                case 2:
                    Paint(cell, Disc(cx, cy, r), 0xFFF09020u, 3);
                    Paint(cell, Polygon({{9, 12}, {23, 12}, {19, 16}, {25, 16}, {13, 24}, {15, 18}, {8, 18}}), 0xFFFFF0C0u, 1);
                    break;
                case 3: Paint(cell, Disc(cx, cy, r), 0xFF2080F0u, 3), Paint(cell, Polygon({{16, 8}, {22, 16}, {16, 24}, {10, 16}}), 0xFFC0F0FFu, 1); break;
                case 5: Paint(cell, Disc(cx, cy, r + 1), 0xFFFFE040u, 3), Label(cell, 9, 10, "S", 0xFFB04000u, 2, 2, 0xFFFFFFFFu); break;
                case 6: Paint(cell, Star(cx, cy + 1, f ? 14 : 13, 6, 5, Deg(f ? 6 : -6)), 0xFFFFE040u, 2); break;
                case 7:
                case 8: {  // fruits: life (red apple-like), magic (violet)
                    const Colour skin = k == 7 ? 0xFFE83040u : 0xFF8A40E0u;
                    Paint(cell, Union(Disc(12, 18, 8), Disc(20, 18, 8)), skin, 3);
                    Paint(cell, Capsule({16, 10}, {18, 4}, 1.3), kBark, 1);
                    Paint(cell, Ellipse(22, 7, 5, 2.5, Deg(-20)), kLeaf, 1);
                    break;
                }
            }
            if (k < 4 || k == 5) Fill(cell, Ellipse(11, 10, 3, 2, Deg(-30)), WithAlpha(0xFFFFFFFFu, 255));
            if (f == 1) Tint(cell, 0xFFFFFFFFu, 40);
            Outline(cell);
            Put(c, cell, 64 * (k % 4) + 32 * f, 32 * (k / 4));
        }
    }
    // Sparkles: four 16-px frames per row; warm for items 0-5, gold for 6-8.
    for (int half = 0; half < 2; ++half)
        for (int row = 0; row < 2; ++row)
            for (int f = 0; f < 4; ++f) {
                Canvas cell(16, 16);
                const double s = 2 + (f < 2 ? f : 3 - f) * 2.5;
                const Colour tone = half ? 0xFFFFE060u : (row ? 0xFFA0E0FFu : 0xFFFFFFFFu);
                Fill(cell, Capsule({8 - s, 8}, {8 + s, 8}, 0.7), tone);
                Fill(cell, Capsule({8, 8 - s}, {8, 8 + s}, 0.7), tone);
                Fill(cell, Disc(8, 8, 1.5), 0xFFFFFFFFu);
                Put(c, cell, 64 * half + 16 * f, 96 + 16 * row);
            }
    return c;
}

// Image 15: three 48-px reflector ring frames (blended at rate 128).
Canvas ReflectorRings() {
    Canvas c(144, 48);
    for (int k = 0; k < 3; ++k) {
        Canvas cell(48, 48);
        AroundPoint(cell, {24, 24}, [&](int x, int y, double dx, double dy, double d) {
            const double band = 1 - std::abs(d - 19) / 4;
            // Six dashes that turn with the frame.
            const int a = int(255 * band * (0.6 + 0.4 * AngularWave(dx, dy, 6, Deg(40.0 * k))));
            if (band > 0 && a > 0) cell.Set(x, y, WithAlpha(Mix(0xFF80FFFFu, 0xFFFFFFFFu, int(200 * band)), a));
        });
        Put(c, cell, 48 * k, 0);
    }
    return c;
}

// Image 16: six 40 x 80 light streaks with alpha.
Canvas SkillSparks() {
    Canvas c(240, 80);
    for (int k = 0; k < 6; ++k)
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 40; ++x) {
                const double w = 3 + 5 * Sin(kPi * (y + 0.5) / 80) * (1 - 0.1 * k);
                const double dx = std::abs(x + 0.5 - 20 - 6 * Sin(Deg(y * 2.0 + 60 * k)));
                if (dx > w) continue;
                const double a = (1 - dx / w) * Sin(kPi * (y + 0.5) / 80);
                if (int(255 * a) > 0) c.Set(40 * k + x, y, WithAlpha(Mix(0xFFFFE080u, 0xFFFFFFFFu, int(256 * a)), int(255 * a)));
            }
    return c;
}

// Image 17: the skill band's upper edge (fading up) and lower edge (fading down).
Canvas BandEdges(Random& random) {
    Canvas c(640, 160, kDark);
    std::vector<double> streak(640);
    for (double& s : streak) s = random.Real(0.6, 1.0);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 640; ++x) {
            const double t = (y + 0.5) / 80;  // 1 at the band
            const double k = t * t * streak[x];
            const Colour col = Mix(0xFF000000u, Mix(0xFFFF9020u, 0xFFFFFFC0u, int(256 * t * t)), int(256 * k));
            c.Set(x, y, col);
            c.Set(x, 159 - y, col);
        }
    FinishAdditive(c);
    return c;
}

// Image 18: the skill band's front, facing right then left.
Canvas BandFront() {
    Canvas c(100, 320, kDark);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 50; ++x) {
            const double t = (x + 0.5) / 50, v = Sin(kPi * (y + 0.5) / 320);
            const double k = t * t * t * (0.8 + 0.2 * Sin(Deg(y * 9.0)));
            const Colour col = Mix(0xFF000000u, Mix(0xFFFFA040u, 0xFFFFFFFFu, int(256 * t)), int(256 * k * (0.5 + 0.5 * v)));
            c.Set(x, y, col);
            c.Set(99 - x, y, col);
        }
    FinishAdditive(c);
    return c;
}

// Image 21: shot 9's core at (0,80)-(16,96).
Canvas ShotCore() {
    Canvas c(64, 96);
    Paint(c, Disc(8, 88, 6.5), 0xFFFFF060u, 2);
    Fill(c, Disc(7, 87, 2.5), 0xFFFFFFFFu);
    return c;
}

// Image 87: block 18's glow, two 96 x 176 frames around a 64 x 112 body.
Canvas PartnerGlow() {
    Canvas c(192, 176, kDark);
    for (int f = 0; f < 2; ++f)
        for (int y = 0; y < 176; ++y)
            for (int x = 0; x < 96; ++x) {
                const double dx = (x + 0.5 - 48) / (f ? 46.0 : 42.0), dy = (y + 0.5 - 88) / (f ? 86.0 : 80.0);
                const double d = std::sqrt(dx * dx + dy * dy);
                if (d >= 1) continue;
                c.Set(96 * f + x, y, Mix(0xFF000000u, f ? 0xFFC080FFu : 0xFF9050E0u, int(256 * (1 - d) * (1 - d) * 1.6)));
            }
    FinishAdditive(c);
    return c;
}

}  // namespace

void AddInterfacePictures(ImageBook& book) {
    book.Add(0, [](Random&) { return UiSheet(); });
    book.Add(1, [](Random&) { return ScoreSheet(); });
    book.Add(2, [](Random&) { return CutinZoom(); });
    book.Add(4, [](Random&) { return Barrier(0xFF40E0FFu); });
    book.Add(5, [](Random&) { return Barrier(0xFFFFD040u); });
    book.Add(6, [](Random&) { return Items(); });
    book.Add(15, [](Random&) { return ReflectorRings(); });
    book.Add(16, [](Random&) { return SkillSparks(); });
    book.Add(17, [](Random& r) { return BandEdges(r); });
    book.Add(18, [](Random&) { return BandFront(); });
    book.Add(21, [](Random&) { return ShotCore(); });
    book.Add(87, [](Random&) { return PartnerGlow(); });
}

}  // namespace morna::datagen

// Terrain tiles (31-37, BMP), puddings (38, 39), the jelly (40) and the stage backgrounds
// (41-44, BMP): dark, low in contrast, and seamless where x = 0 meets x = width - 1.
#include <cmath>

#include "tools/datagen/images.h"
#include "tools/datagen/pictures.h"

namespace morna::datagen {
namespace {

using namespace palette;

// ---- terrain tiles ------------------------------------------------------------------------

// Speckles that wrap at the tile's edges, so that tiles join without a seam.
void Speckle(Canvas& c, Random& random, int n, Colour a, Colour b) {
    for (int k = 0; k < n; ++k) {
        const int x = random.Below(c.w), y = random.Below(c.h);
        const Colour col = random.Below(2) ? a : b;
        for (int d = 0; d < 2; ++d) c.Set((x + d) % c.w, y, col);
    }
}

Canvas GrassRock(Random& random) {
    Canvas c(32, 32, kSoil);
    Linear(c, Box(0, 0, 32, 32), {0, 0}, 0xFF7A5636u, {0, 32}, 0xFF4E3420u);
    Speckle(c, random, 40, 0xFF8E6A44u, 0xFF3E2A1Au);
    // Stone courses: a mortar line and offset joints, so stacked tiles read as masonry.
    Fill(c, Box(0, 19, 32, 20), 0xFF36241Au);
    Fill(c, Box(15, 6, 16, 19), 0xFF36241Au);
    Fill(c, Box(0, 20, 1, 32), 0xFF36241Au);
    Fill(c, Box(0, 0, 32, 5), kMoss);
    for (int x = 0; x < 32; x += 4) Fill(c, Polygon({{x + 0.0, 5}, {x + 2.0, 9.0 + (x % 8) / 2}, {x + 4.0, 5}}), kMoss);
    Fill(c, Box(0, 0, 32, 2), 0xFF5AA84Au);
    return c;
}

Canvas SteelFloor() {
    Canvas c(32, 32);
    Linear(c, Box(0, 0, 32, 32), {0, 0}, 0xFF6A86A8u, {32, 32}, 0xFF3A4A64u);
    Fill(c, Box(0, 0, 32, 1), 0xFF9AB4D0u);
    Fill(c, Box(0, 31, 32, 32), 0xFF202A3Au);
    Fill(c, Box(31, 0, 32, 32), 0xFF2A3448u);
    for (const Point& p : {Point{5, 5}, Point{27, 5}, Point{5, 27}, Point{27, 27}}) {
        Fill(c, Disc(p.x, p.y, 2.2), 0xFF8AA4C4u);
        Fill(c, Disc(p.x + 0.6, p.y + 0.6, 1.0), 0xFF303C50u);
    }
    Fill(c, Box(8, 14, 24, 18), kRust);
    return c;
}

// Six cake tiles: sponge, chocolate, strawberry, wafer, biscuit, jelly-topped.
Canvas CakeFloor(Random& random) {
    Canvas c(192, 32);
    const Colour body[6] = {0xFFF2D29Au, 0xFF8C5A3Cu, 0xFFF4A0B8u, 0xFFE8C890u, 0xFFD8A868u, 0xFFF8E8D0u};
    const Colour top[6] = {0xFFFFF8F0u, 0xFF5A3420u, 0xFFFFFFFFu, 0xFFF8E0B0u, 0xFFC08850u, 0xFFE04A70u};
    for (int k = 0; k < 6; ++k) {
        Canvas t(32, 32, body[k]);
        Speckle(t, random, 18, Lighter(body[k], 40), Darker(body[k], 40));
        Fill(t, Box(0, 0, 32, 7), top[k]);
        for (int x = 0; x < 32; x += 8) Fill(t, Disc(x + 4, 7, 3), top[k]);
        if (k == 3)
            for (int y = 12; y < 32; y += 6) Fill(t, Box(0, y, 32, y + 1), Darker(body[k], 50));
        if (k == 2) Fill(t, Disc(16, 18, 3), 0xFFE03050u);
        Fill(t, Box(0, 31, 32, 32), Darker(body[k], 60));
        Put(c, t, 32 * k, 0);
    }
    return c;
}

Canvas CrystalFloor() {
    Canvas c(32, 32);
    Linear(c, Box(0, 0, 32, 32), {0, 0}, 0xFFB8E8FFu, {0, 32}, 0xFF4A8AC8u);
    Fill(c, Polygon({{0, 0}, {16, 10}, {32, 0}}), 0xFFE0F6FFu);
    Fill(c, Polygon({{0, 32}, {16, 10}, {0, 14}}), 0xFF6AA8E0u);
    Fill(c, Polygon({{32, 32}, {16, 10}, {32, 14}}), 0xFF3A78B8u);
    Fill(c, Capsule({16, 10}, {16, 32}, 0.5), 0xFFD8F4FFu);
    Fill(c, Box(0, 31, 32, 32), 0xFF2A5A98u);
    return c;
}

// The gate seal: a stone with a rune that glows brighter on frame 1.
Canvas GateSeal() {
    return Cells(2, 1, 32, 32, [](int f, int) {
        Canvas t(32, 32);
        Linear(t, Box(0, 0, 32, 32), {0, 0}, 0xFF6A6078u, {0, 32}, 0xFF3A3448u);
        Fill(t, Box(0, 0, 32, 1), 0xFF8A80A0u);
        const Colour rune = f ? 0xFFFFE8FFu : 0xFFC070F0u;
        Fill(t, Ring(16, 16, 7, 9), rune);
        Fill(t, Capsule({16, 9}, {16, 23}, 1), rune);
        Fill(t, Capsule({11, 14}, {21, 14}, 1), rune);
        return t;
    });
}

Canvas CeilingStone(Random& random) {
    Canvas c(32, 32);
    Linear(c, Box(0, 0, 32, 32), {0, 0}, 0xFF3A4656u, {0, 32}, 0xFF56647Au);
    Speckle(c, random, 30, 0xFF6A7A90u, 0xFF2A3240u);
    Fill(c, Box(0, 30, 32, 32), 0xFF7A8AA0u);
    Fill(c, Box(0, 14, 32, 15), 0xFF262E3Au);
    return c;
}

// The electric fence: two posts and a bolt that jumps between three shapes.
Canvas ElectricFence() {
    return Cells(3, 1, 32, 32, [](int f, int) {
        Canvas t(32, 32);
        Fill(t, Box(0, 0, 5, 32), 0xFF505A6Au);
        Fill(t, Box(27, 0, 32, 32), 0xFF505A6Au);
        Fill(t, Box(1, 0, 2, 32), 0xFF8A96A8u);
        Fill(t, Box(28, 0, 29, 32), 0xFF8A96A8u);
        for (int row = 0; row < 2; ++row) {
            std::vector<Point> pts;
            for (int k = 0; k <= 6; ++k) pts.push_back({5 + 22.0 * k / 6, 8 + 16.0 * row + ((k + f + row) % 2 ? -3 : 3) * (k % 6 ? 1 : 0)});
            for (size_t k = 0; k + 1 < pts.size(); ++k) {
                Fill(t, Capsule(pts[k], pts[k + 1], 1.6), 0xFF60C8FFu);
                Fill(t, Capsule(pts[k], pts[k + 1], 0.6), 0xFFFFFFFFu);
            }
        }
        return t;
    });
}

// ---- puddings and jelly -------------------------------------------------------------------

// A pudding in a w x h cell, squashed by s (1 none; below 1 flatter, above 1 taller).
Canvas Pudding(int w, int h, double s, double lean) {
    Canvas c(w, h);
    const double base = h - 4, pw = w * 0.42 / std::sqrt(s), ph = h * 0.62 * s, top = base - ph;
    Paint(c, Ellipse(w / 2.0, base, w * 0.47, h * 0.06 + 2), 0xFFF0F0F8u, 2);
    const Shape body = Polygon({{w / 2.0 - pw, base}, {w / 2.0 - pw * 0.7 + lean, top}, {w / 2.0 + pw * 0.7 + lean, top}, {w / 2.0 + pw, base}});
    Paint(c, Union(body, Ellipse(w / 2.0 + lean, top, pw * 0.7, h * 0.05 + 1)), 0xFFFFD878u, std::max(2, w / 24));
    Fill(c, Intersect(Union(body, Ellipse(w / 2.0 + lean, top, pw * 0.7, h * 0.05 + 1)), Box(0, 0, w, top + ph * 0.22)), 0xFF9A5A24u);
    Fill(c, Ellipse(w / 2.0 - pw * 0.35 + lean, top + ph * 0.4, pw * 0.12, ph * 0.18), 0xFFFFF0C0u);
    Eye(c, w / 2.0 - pw * 0.25 + lean * 0.6, top + ph * 0.55, w / 32.0 + 0.8);
    Eye(c, w / 2.0 + pw * 0.25 + lean * 0.6, top + ph * 0.55, w / 32.0 + 0.8);
    return c;
}

// Row 0 upright, row 1 hanging; frame 0 idle, 1-4 squeezed, 5-8 bouncing.
Canvas PuddingSheet(int w, int h) {
    return Cells(9, 2, w, h, [w, h](int f, int row) {
        double s = 1, lean = 0;
        if (f >= 1 && f <= 4) s = 1 - 0.1 * f, lean = -w * 0.03 * f;
        if (f >= 5) s = 1 + 0.12 * Sin(Deg(90.0 * (f - 5) + 90)), lean = w * 0.04 * Sin(Deg(90.0 * (f - 5)));
        const Canvas c = Pudding(w, h, s, lean);
        return row ? Rotated(Mirrored(c), kPi) : c;
    });
}

// The jelly: five variant columns of 16 px (alone, one side, other side, both sides, inside)
// in four phase rows; each quarter of a variant has its corner's two outer edges closed or
// open as the variant says.
Canvas Jelly() {
    Canvas c(80, 64);
    const Colour tones[4] = {0xFF60D890u, 0xFF70E0A0u, 0xFF80E8B0u, 0xFF70E0A0u};
    for (int phase = 0; phase < 4; ++phase)
        for (int v = 0; v < 5; ++v)
            for (int q = 0; q < 4; ++q) {
                // Quarters: 0 top-left, 1 bottom-left, 2 bottom-right, 3 top-right; their "one" side
                // is up, left, down, right, their "other" side left, down, right, up.
                const bool oneOpen = v == 1 || v >= 3, otherOpen = v == 2 || v >= 3, notch = v == 3;
                const int qx = (q == 2 || q == 3) ? 8 : 0, qy = (q == 1 || q == 2) ? 8 : 0;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x) {
                        // Distances (in the quarter) to its outer vertical and horizontal edges.
                        const int dxo = qx ? 7 - x : x, dyo = qy ? 7 - y : y;
                        const bool vertOneSide = q == 1 || q == 3;  // the "one" side is vertical (left/right)
                        const bool vOpen = vertOneSide ? oneOpen : otherOpen, hOpen = vertOneSide ? otherOpen : oneOpen;
                        int edge = 8;
                        if (!vOpen) edge = std::min(edge, dxo);
                        if (!hOpen) edge = std::min(edge, dyo);
                        if (!vOpen && !hOpen && dxo + dyo < 3) edge = -1;  // the rounded corner
                        if (notch && dxo + dyo < 2) edge = 0;
                        Colour col = tones[phase];
                        if (edge < 0) continue;
                        if (edge == 0) col = 0xFF2A8A50u;
                        else if (edge == 1) col = Lighter(tones[phase], 100);
                        if ((x + y + phase) % 7 == 0 && edge > 2) col = Lighter(tones[phase], 60);
                        c.Set(16 * v + qx + x, 16 * phase + qy + y, col);
                    }
            }
    return c;
}

// ---- backgrounds --------------------------------------------------------------------------

// A height profile that repeats every `period` pixels: a sum of whole-numbered waves.
struct Profile {
    std::vector<double> h;
    Profile(int period, double base, std::initializer_list<std::pair<int, double>> waves, Random& random) : h(period, base) {
        for (const auto& [k, a] : waves) {
            const double phase = random.Real(0, 2 * kPi);
            for (int x = 0; x < period; ++x) h[x] += a * Sin(2 * kPi * k * x / period + phase);
        }
    }
    double operator()(int x) const { return h[((x % int(h.size())) + h.size()) % h.size()]; }
};

// Fills every column below a profile with a colour (a silhouette).
void Silhouette(Canvas& c, const Profile& p, Colour colour) {
    for (int x = 0; x < c.w; ++x)
        for (int y = std::max(0, int(p(x))); y < c.h; ++y) c.px[size_t(y) * c.w + x] = colour;
}

// A shape drawn at x and one width to either side, so that what crosses an edge comes back
// on the other.
void Wrapped(Canvas& c, const std::function<void(double dx)>& draw) {
    for (const double dx : {-double(c.w), 0.0, double(c.w)}) draw(dx);
}

void Sky(Canvas& c, Colour top, Colour bottom) { Linear(c, Box(0, 0, c.w, c.h), {0, 0}, top, {0, double(c.h)}, bottom); }

void FaintStars(Canvas& c, Random& random, int n, int maxY, Colour tone) {
    for (int k = 0; k < n; ++k) {
        const int x = random.Below(c.w), y = random.Below(maxY);
        c.Set(x, y, Mix(c.Get(x, y), tone, random.Range(60, 160)));
    }
}

void Cloud(Canvas& c, double x, double y, double w, Colour tone, int strength) {
    Wrapped(c, [&](double dx) {
        for (int k = 0; k < 5; ++k) {
            const double cx = x + dx + w * (k - 2) * 0.22, r = w * (0.22 - 0.03 * std::abs(k - 2));
            const Shape s = Ellipse(cx, y - r * 0.3, r, r * 0.6);
            const int x0 = std::max(0, int(s.x0)), x1 = std::min(c.w, int(s.x1) + 1);
            for (int py = std::max(0, int(s.y0)); py < std::min(c.h, int(s.y1) + 1); ++py)
                for (int px = x0; px < x1; ++px)
                    if (s.Contains(px + 0.5, py + 0.5)) c.Set(px, py, Mix(c.Get(px, py), tone, strength));
        }
    });
}

// n clouds at heights y0..y1 and widths w0..w1. The draws are separate statements: the order
// in which a call's arguments are evaluated differs between compilers.
void Clouds(Canvas& c, Random& random, int n, double y0, double y1, double w0, double w1, Colour tone, int strength) {
    for (int k = 0; k < n; ++k) {
        const double x = random.Real(0, c.w), y = random.Real(y0, y1), w = random.Real(w0, w1);
        Cloud(c, x, y, w, tone, strength);
    }
}

Canvas Meadow(Random& random) {
    Canvas c(1280, 480, 0xFF000000u);
    Sky(c, 0xFF14203Cu, 0xFF3A5A6Eu);
    FaintStars(c, random, 160, 200, 0xFFB0C8E8u);
    Clouds(c, random, 7, 80, 260, 120, 220, 0xFF6A86A0u, 70);
    Silhouette(c, Profile(1280, 300, {{2, 30}, {5, 18}, {11, 7}}, random), 0xFF25433Eu);
    Silhouette(c, Profile(1280, 360, {{3, 26}, {7, 12}, {16, 5}}, random), 0xFF1E3A2Cu);
    // Trees on the near hills.
    const Profile near(1280, 410, {{4, 22}, {9, 8}}, random);
    for (int k = 0; k < 14; ++k) {
        const double x = random.Real(0, 1280), h = random.Real(30, 60);
        Wrapped(c, [&](double dx) {
            const double base = near(int(x)) + 6;
            Fill(c, Box(x + dx - 2, base - h * 0.5, x + dx + 2, base), 0xFF1A241Au);
            Fill(c, Ellipse(x + dx, base - h * 0.65, h * 0.32, h * 0.45), 0xFF1C3424u);
        });
    }
    Silhouette(c, near, 0xFF182C20u);
    return c;
}

Canvas Foundry(Random& random) {
    Canvas c(1280, 768, 0xFF000000u);
    Sky(c, 0xFF101A2Eu, 0xFF3A4460u);
    Linear(c, Box(0, 520, 1280, 768), {0, 520}, 0xFF3A4460u, {0, 768}, 0xFF6A4A3Au);
    FaintStars(c, random, 120, 360, 0xFFA0B0D0u);
    // Far towers with windows, then pipes and girders in front.
    for (int k = 0; k < 18; ++k) {
        const double x = random.Real(0, 1280), w = random.Real(40, 90), top = random.Real(260, 520);
        const uint32_t windows = random.Next();
        Wrapped(c, [&](double dx) {
            Random lit(windows);  // the same windows on both sides of the wrap
            Fill(c, Box(x + dx, top, x + dx + w, 768), 0xFF22304Au);
            for (double wy = top + 14; wy < 740; wy += 26)
                for (double wx = x + dx + 8; wx < x + dx + w - 8; wx += 16)
                    if (lit.Below(3) == 0) Fill(c, Box(wx, wy, wx + 5, wy + 8), 0xFF8A6A3Au);
        });
    }
    const Profile rail(1280, 600, {{3, 20}, {8, 10}}, random);
    Silhouette(c, rail, 0xFF1A2234u);
    for (int k = 0; k < 1280; k += 64)
        for (int y = 560; y < 768; y += 48) {
            Fill(c, Capsule({double(k), double(y)}, {k + 32.0, y + 24.0}, 2), 0xFF2A3448u);
            Fill(c, Capsule({k + 32.0, y + 24.0}, {k + 64.0, double(y)}, 2), 0xFF2A3448u);
        }
    for (int k = 0; k < 6; ++k) {
        const double x = random.Real(0, 1280), y = random.Real(300, 700);
        Wrapped(c, [&](double dx) { Glow(c, {x + dx, y}, 50, 0xFF302010u); });
    }
    return c;
}

Canvas CandyLand(Random& random) {
    Canvas c(1280, 768, 0xFF000000u);
    Sky(c, 0xFF3A2440u, 0xFF8A5A6Eu);
    // Faint polka dots in the sky.
    for (int y = 20; y < 500; y += 40)
        for (int x = 20 + (y / 40) % 2 * 20; x < 1280; x += 40) Fill(c, Disc(x + 0.5, y + 0.5, 4), Mix(c.Get(x, y), 0xFFFFD0E0u, 30));
    Clouds(c, random, 8, 100, 420, 140, 240, 0xFFE0B0C0u, 50);
    // Cake towers: stacked tiers with cream rims.
    for (int k = 0; k < 9; ++k) {
        const double x = random.Real(0, 1280), w = random.Real(60, 120);
        const double y = random.Real(420, 560);
        Wrapped(c, [&](double dx) {
            double yy = y, ww = w;
            for (int t = 0; t < 3; ++t) {
                Fill(c, Box(x + dx - ww / 2, yy, x + dx + ww / 2, 768), 0xFF5A3A50u);
                Fill(c, Box(x + dx - ww / 2, yy, x + dx + ww / 2, yy + 6), 0xFF8A6A7Eu);
                ww *= 0.7, yy -= 60;
            }
        });
    }
    Silhouette(c, Profile(1280, 620, {{2, 24}, {6, 14}, {13, 6}}, random), 0xFF4A2E42u);
    for (int k = 0; k < 12; ++k) {
        const double x = random.Real(0, 1280), h = random.Real(60, 110);
        Wrapped(c, [&](double dx) {
            Fill(c, Box(x + dx - 2, 690 - h, x + dx + 2, 700), 0xFF6A4A5Au);
            Fill(c, Disc(x + dx, 690 - h, 16), 0xFF7A4A64u);
            Fill(c, Ring(x + dx, 690 - h, 6, 9), 0xFF8A5A74u);
        });
    }
    Silhouette(c, Profile(1280, 700, {{3, 14}, {10, 5}}, random), 0xFF3A2236u);
    return c;
}

Canvas IcePalace(Random& random) {
    Canvas c(1280, 480, 0xFF000000u);
    Sky(c, 0xFF0C1630u, 0xFF2A4A6Au);
    FaintStars(c, random, 200, 260, 0xFFD0E8FFu);
    // Aurora: soft bands that wave with whole periods.
    for (int band = 0; band < 2; ++band) {
        const Profile wave(1280, 110 + 50 * band, {{2, 25}, {5, 12}}, random);
        for (int x = 0; x < 1280; ++x)
            for (int d = -30; d < 30; ++d) {
                const int y = int(wave(x)) + d;
                const int k = int(60 * (1 - std::abs(d) / 30.0));
                c.Set(x, y, Mix(c.Get(x, y), band ? 0xFF60E0C0u : 0xFF60A0F0u, k));
            }
    }
    // Ice spires, then the white ground.
    for (int k = 0; k < 16; ++k) {
        const double x = random.Real(0, 1280), w = random.Real(20, 46), h = random.Real(80, 200);
        Wrapped(c, [&](double dx) {
            Fill(c, Polygon({{x + dx - w, 430}, {x + dx, 430 - h}, {x + dx + w, 430}}), 0xFF3A5A80u);
            Fill(c, Polygon({{x + dx, 430 - h}, {x + dx + w, 430}, {x + dx + w * 0.3, 430}}), 0xFF2E4A6Eu);
        });
    }
    Silhouette(c, Profile(1280, 430, {{3, 10}, {8, 5}}, random), 0xFF6A86A8u);
    return c;
}

}  // namespace

void AddWorldPictures(ImageBook& book) {
    book.Add(31, [](Random& r) { return GrassRock(r); });
    book.Add(32, [](Random&) { return SteelFloor(); });
    book.Add(33, [](Random& r) { return CakeFloor(r); });
    book.Add(34, [](Random&) { return CrystalFloor(); });
    book.Add(35, [](Random&) { return GateSeal(); });
    book.Add(36, [](Random& r) { return CeilingStone(r); });
    book.Add(37, [](Random&) { return ElectricFence(); });
    book.Add(38, [](Random&) { return PuddingSheet(64, 64); });
    book.Add(39, [](Random&) { return PuddingSheet(96, 128); });
    book.Add(40, [](Random&) { return Jelly(); });
    book.Add(41, [](Random& r) { return Meadow(r); });
    book.Add(42, [](Random& r) { return Foundry(r); });
    book.Add(43, [](Random& r) { return CandyLand(r); });
    book.Add(44, [](Random& r) { return IcePalace(r); });
}

}  // namespace morna::datagen

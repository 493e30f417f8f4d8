// Portraits (the faces of 90 and the cut-in portraits), banners, speed lines and rays, the
// finisher frames and the gallery stills. A portrait is drawn in a 96 x 144 design space:
// the face sheet shows its top 96 x 96, a cut-in portrait all of it three and a third times over.
#include <cmath>

#include "tools/datagen/images.h"
#include "tools/datagen/pictures.h"

namespace morna::datagen {
namespace {

using namespace palette;

enum class Who { kTilt, kLume, kDordon, kIora, kGlad, kTeppa, kFloria };

// Drawing in the design space: a point (x, y) lands at (ox + k x, oy + k y).
struct Pen {
    Canvas& c;
    double ox, oy, k;
    Point P(double x, double y) const { return {ox + k * x, oy + k * y}; }
    Shape Place(const Shape& s) const { return Moved(Scaled(s, {0, 0}, k, k), ox, oy); }
    void Paint(const Shape& s, Colour colour, int depth = 2) const { datagen::Paint(c, Place(s), colour, std::max(1, int(depth * k))); }
    void Fill(const Shape& s, Colour colour) const { datagen::Fill(c, Place(s), colour); }
};

// Big portrait eyes: white, iris, pupil, a glint; narrowed when determined.
void PortraitEye(const Pen& p, double x, double y, Colour iris, bool fierce) {
    const double h = fierce ? 4.5 : 6;
    p.Paint(Ellipse(x, y, 5.2, h), 0xFFFFFFFFu, 1);
    p.Fill(Ellipse(x - 0.6, y + 0.3, 3.6, h - 1.2), iris);
    p.Fill(Ellipse(x - 0.6, y + 0.6, 1.8, h - 3), kInk);
    p.Fill(Disc(x - 2, y - 1.6, 1.2), 0xFFFFFFFFu);
    p.Fill(Capsule({x - 5.5, y - h + 0.3}, {x + 5.5, y - h + 0.3 - (fierce ? 0 : 0.8)}, 0.9), kInk);
}

// A human portrait: hair behind, shoulders, neck, head, face, hair in front, extras.
struct Look {
    Colour skin, hair, iris, cloth, trim;
    bool longHair, goggles, crown, wings, scarf;
};

void Human(const Pen& p, const Look& l, bool fierce, bool openMouth) {
    if (l.wings)
        for (int s = -1; s <= 1; s += 2)
            p.Paint(Polygon({{48 + 18.0 * s, 90}, {48 + 50.0 * s, 40}, {48 + 46.0 * s, 70}, {48 + 52.0 * s, 84}, {48 + 30.0 * s, 118}}),
                    0xFFF4F4FFu, 2);
    p.Paint(Union(Ellipse(48, 42, 28, 29), l.longHair ? RoundRect(20, 40, 76, 118, 14) : Ellipse(48, 52, 26, 22)), l.hair, 3);
    p.Paint(Union(RoundRect(12, 84, 84, 160, 18), Polygon({{30, 84}, {66, 84}, {48, 100}})), l.cloth, 3);
    p.Fill(Polygon({{36, 84}, {60, 84}, {48, 100}}), l.trim);
    p.Paint(Box(41, 64, 55, 88), Darker(l.skin, 20), 1);
    if (l.scarf) p.Paint(Union(Ellipse(48, 84, 18, 7), Polygon({{56, 84}, {78, 96}, {70, 102}, {52, 90}})), kScarf, 2);
    p.Paint(Ellipse(48, 48, 21, 25), l.skin, 2);
    PortraitEye(p, 39.5, 50, l.iris, fierce);
    PortraitEye(p, 56.5, 50, l.iris, fierce);
    if (fierce) {
        p.Fill(Capsule({33, 40}, {44, 43}, 1.1), kInk);
        p.Fill(Capsule({63, 40}, {52, 43}, 1.1), kInk);
    }
    p.Fill(Capsule({47, 58}, {48.5, 60}, 0.6), Darker(l.skin, 70));
    if (openMouth) p.Paint(Ellipse(48, 66, 4.5, 3.5), 0xFF8A2A30u, 1);
    else p.Fill(Capsule({44, 66}, {52, 66}, 0.8), 0xFFB05050u);
    p.Fill(Ellipse(35, 59, 3, 1.6), Mix(l.skin, 0xFFFF8080u, 90));
    p.Fill(Ellipse(61, 59, 3, 1.6), Mix(l.skin, 0xFFFF8080u, 90));
    // Bangs.
    p.Paint(Polygon({{24, 44}, {28, 24}, {48, 16}, {70, 24}, {73, 44}, {64, 34}, {58, 40}, {50, 30}, {42, 40}, {36, 32}}), l.hair, 2);
    if (l.goggles) {
        p.Fill(Capsule({24, 26}, {72, 26}, 2.2), 0xFFE8B830u);
        p.Paint(Disc(38, 26, 6), 0xFFA8E8FFu, 1);
        p.Paint(Disc(58, 26, 6), 0xFFA8E8FFu, 1);
    }
    if (l.crown)
        p.Paint(Polygon({{32, 22}, {34, 8}, {40, 16}, {48, 4}, {56, 16}, {62, 8}, {64, 22}}), kGold, 2);
}

void Portrait(const Pen& p, Who who, bool fierce, bool openMouth) {
    switch (who) {
        case Who::kTilt:
            Human(p, {kSkin, 0xFF2A3A78u, 0xFF3070D0u, kSky, kNavy, false, true, false, false, true}, fierce, openMouth);
            break;
        case Who::kIora:
            Human(p, {kSkin, 0xFFE8E0F8u, 0xFF9A4AD8u, 0xFF8A4AC8u, 0xFFC8D0E0u, true, false, false, true, false}, fierce, openMouth);
            break;
        case Who::kFloria:
            Human(p, {0xFFF8E4E0u, 0xFFC8E8FFu, 0xFF2A80D0u, 0xFF5AA8E0u, 0xFFF4FAFFu, true, false, true, false, false}, fierce, openMouth);
            break;
        case Who::kLume: {
            // The barrier spirit: a round glowing wisp with big eyes.
            p.Paint(Union(Disc(48, 56, 30), Polygon({{30, 40}, {48, 6}, {66, 40}})), 0xFF70E8FFu, 3);
            p.Fill(Disc(48, 60, 20), 0xFFC8F8FFu);
            PortraitEye(p, 39, 56, 0xFF2090C0u, false);
            PortraitEye(p, 57, 56, 0xFF2090C0u, false);
            p.Fill(Ellipse(48, 70, 3, openMouth ? 3 : 1.5), 0xFF206080u);
            p.Paint(Union(RoundRect(24, 92, 72, 160, 20), Disc(48, 96, 16)), 0xFF50C8F0u, 2);
            break;
        }
        case Who::kDordon: {
            p.Paint(Union(Ellipse(48, 128, 56, 44), Ellipse(48, 92, 44, 20)), 0xFF8C8276u, 4);
            p.Paint(Disc(48, 52, 38), 0xFF8C8276u, 4);
            p.Paint(Ellipse(50, 18, 30, 11), kMoss, 3);
            p.Fill(Capsule({22, 40}, {42, 44}, 3.5), 0xFF5E564Eu);
            p.Fill(Capsule({54, 44}, {74, 40}, 3.5), 0xFF5E564Eu);
            p.Fill(Ellipse(33, 50, 6, fierce ? 2 : 3.5), 0xFFFFC040u);
            p.Fill(Ellipse(63, 50, 6, fierce ? 2 : 3.5), 0xFFFFC040u);
            if (openMouth) {
                p.Paint(Ellipse(48, 72, 14, 8), 0xFF3A1A14u, 1);
                for (int k = 0; k < 4; ++k) p.Fill(Box(38 + 5.5 * k, 64, 42 + 5.5 * k, 68), 0xFFF0E8D0u);
            } else {
                p.Fill(Capsule({36, 72}, {60, 71}, 1.5), kInk);
            }
            p.Fill(Capsule({62, 24}, {70, 34}, 1), 0xFF5E564Eu);
            break;
        }
        case Who::kGlad: {
            p.Paint(Union(RoundRect(10, 92, 86, 160, 16), Ellipse(48, 96, 40, 14)), 0xFF8A90A0u, 4);
            p.Paint(Polygon({{10, 100}, {30, 92}, {26, 160}, {4, 160}}), 0xFFB03030u, 2);
            p.Paint(Union(Ellipse(48, 56, 30, 30), Ellipse(48, 74, 18, 14)), 0xFF7A5A44u, 4);
            p.Fill(Ellipse(42, 78, 3, 4), 0xFF3A2418u);
            p.Fill(Ellipse(54, 78, 3, 4), 0xFF3A2418u);
            p.Paint(Polygon({{30, 80}, {22, 60}, {34, 76}}), 0xFFF8F0E0u, 1);
            p.Paint(Polygon({{66, 80}, {74, 60}, {62, 76}}), 0xFFF8F0E0u, 1);
            p.Paint(Union(Ellipse(48, 32, 32, 16), Polygon({{64, 24}, {88, 4}, {76, 30}})), 0xFF9098A8u, 3);
            p.Paint(Polygon({{32, 24}, {8, 4}, {20, 30}}), 0xFF9098A8u, 2);
            PortraitEye(p, 37, 50, 0xFFC03020u, true);
            PortraitEye(p, 59, 50, 0xFFC03020u, true);
            if (openMouth) p.Paint(Ellipse(48, 90, 8, 4), 0xFF3A1A14u, 1);
            break;
        }
        case Who::kTeppa: {
            p.Paint(RoundRect(18, 20, 78, 96, 12), 0xFF9A8A72u, 4);
            p.Paint(Ellipse(48, 22, 22, 7), kMoss, 2);
            PortraitEye(p, 37, 50, 0xFF3A2A1Au, false);
            PortraitEye(p, 59, 50, 0xFF3A2A1Au, false);
            p.Fill(Capsule({40, 72}, {56, 72}, 1.5), kInk);
            p.Paint(RoundRect(8, 96, 88, 160, 14), 0xFF8A7A62u, 3);
            break;
        }
    }
}

// Image 90: the faces, 96 x 96 on coloured squares, fully opaque.
Canvas Faces() {
    const Who who[7] = {Who::kTilt, Who::kLume, Who::kDordon, Who::kIora, Who::kGlad, Who::kTeppa, Who::kFloria};
    const Colour back[10] = {0xFF5A8AD0u, 0xFF4AB0C8u, 0xFF7A8A5Au, 0xFF9A6AC0u, 0xFFB0604Au, 0xFF8A7A5Au, 0xFF6AA0D8u,
                             0xFF506070u, 0xFF506070u, 0xFF506070u};
    Canvas c(480, 192);
    for (int k = 0; k < 10; ++k) {
        Canvas cell(96, 96, back[k]);
        Linear(cell, Box(0, 0, 96, 96), {0, 0}, Lighter(back[k], 50), {0, 96}, Darker(back[k], 60));
        if (k < 7) Portrait(Pen{cell, 0, 0, 1}, who[k], false, false);
        Fill(cell, Minus(Box(0, 0, 96, 96), Box(2, 2, 94, 94)), 0xFF202030u);
        for (Colour& p : cell.px) p |= 0xFF000000u;
        Put(c, cell, 96 * (k % 5), 96 * (k / 5));
    }
    return c;
}

// A cut-in portrait 320 x 480 (keyed): the whole design space, three and a third times over.
Canvas CutinPortrait(Who who, bool fierce, bool openMouth) {
    Canvas c(320, 480);
    Portrait(Pen{c, 0, 0, 320.0 / 96}, who, fierce, openMouth);
    return c;
}

// A banner 640 x 96: a band with the move's name in big letters.
Canvas NameBanner(const std::string& name, Colour band, Colour text) {
    Canvas c(640, 96);
    Linear(c, Polygon({{0, 14}, {640, 6}, {640, 82}, {0, 90}}), {0, 6}, Lighter(band, 60), {0, 90}, Darker(band, 80));
    Fill(c, Polygon({{0, 14}, {640, 6}, {640, 10}, {0, 18}}), kGold);
    Fill(c, Polygon({{0, 86}, {640, 78}, {640, 82}, {0, 90}}), kGold);
    const int tw = TextWidth(name, 9);
    Label(c, (640 - tw) / 2, 16, name, text, 9, 9);
    return c;
}

// Speed lines: streaks flying left, shifted per frame (additive).
Canvas SpeedLines(int frame) {
    Canvas c(640, 480, kDark);
    Random random(77);
    for (int k = 0; k < 70; ++k) {
        const double y = random.Real(0, 480), len = random.Real(80, 260), x = std::fmod(random.Real(0, 900) - 160.0 * frame + 1800, 900) - 130;
        const Colour hue = random.Below(3) ? 0xFF80C0FFu : 0xFFFFFFFFu;  // one draw per statement: a fixed order
        const Colour tone = Mix(0xFF000000u, hue, random.Range(60, 200));
        GlowLine(c, {x, y}, {x + len, y}, random.Real(1.5, 4), tone);
    }
    FinishAdditive(c);
    return c;
}

// Light rays turning about the centre (additive).
Canvas Rays(int frame) {
    Canvas c(640, 480, kDark);
    AroundPoint(c, {320, 240}, [&](int x, int y, double dx, double dy, double d) {
        const double ray = AngularWave(dx, dy, 12, Deg(90.0 + 10.0 * frame));
        const double v = std::max(0.0, ray) * std::min(1.0, d / 120) * (1.0 - std::min(1.0, d / 420));
        if (v > 0.02) c.Set(x, y, Mix(0xFF000000u, 0xFFFFE8A0u, int(200 * v)));
    });
    FinishAdditive(c);
    return c;
}

// The finisher: frames 0-7 charge (an orb in a turning ring), 8-15 the flash, 16-23 the
// release (a star that spins and throws rays). Keyed, solid colours.
Canvas Finisher(int k) {
    Canvas c(256, 256);
    const Point o{128, 128};
    if (k < 8) {
        for (int r = 0; r < 8; ++r) {
            const double a = Deg(45.0 * r + 5.625 * k);  // the eight frames turn one dot's step
            Paint(c, Disc(o.x + 84 * Cos(a), o.y + 84 * Sin(a), 7), 0xFFFFE070u, 1);
        }
        Fill(c, Ring(o.x, o.y, 92, 96), 0xFF60E0FFu);
        Paint(c, Disc(o.x, o.y, 34 + 4 * Sin(Deg(45.0 * k))), 0xFF60E0FFu, 4);
        Fill(c, Disc(o.x, o.y, 20 + 3 * Sin(Deg(45.0 * k))), 0xFFF0FFFFu);
    } else if (k < 16) {
        const double p = (k - 7) / 8.0;
        Fill(c, Disc(o.x, o.y, 40 + 86 * p), Mix(0xFFFFFFFFu, 0xFFA0F0FFu, int(200 * p)));
        Fill(c, Disc(o.x, o.y, 30 + 60 * p), 0xFFFFFFFFu);
        for (int r = 0; r < 8; ++r) {
            const double a = Deg(45.0 * r + 22.5);
            Fill(c, Capsule(o, {o.x + 126 * Cos(a), o.y + 126 * Sin(a)}, 3 + 3 * (1 - p)), 0xFFFFF8C0u);
        }
    } else {
        const double spin = Deg(15.0 * (k - 16));
        for (int r = 0; r < 12; ++r) {
            const double a = spin + Deg(30.0 * r);
            Fill(c, Polygon({{o.x + 30 * Cos(a - 0.1), o.y + 30 * Sin(a - 0.1)}, {o.x + 124 * Cos(a), o.y + 124 * Sin(a)},
                             {o.x + 30 * Cos(a + 0.1), o.y + 30 * Sin(a + 0.1)}}),
                 r % 2 ? 0xFFFFE070u : 0xFF80E8FFu);
        }
        Paint(c, Star(o.x, o.y, 60, 26, 8, spin), 0xFFFFE070u, 4);
        Fill(c, Disc(o.x, o.y, 18), 0xFFFFFFFFu);
    }
    return c;
}

// A soft glow of a colour, additive, w x h.
Canvas GlowPicture(int w, int h, Colour tone) {
    Canvas c(w, h, kDark);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5 - w / 2.0) / (w / 2.0), dy = (y + 0.5 - h / 2.0) / (h / 2.0), d = std::sqrt(dx * dx + dy * dy);
            if (d < 1) c.Set(x, y, Mix(0xFF000000u, Mix(tone, 0xFFFFFFFFu, int(160 * (1 - d))), int(256 * (1 - d) * (1 - d))));
        }
    FinishAdditive(c);
    return c;
}

// Image 434: the finisher band, bright on its right edge, streaked.
Canvas FinisherBand() {
    Canvas c(64, 480, kDark);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 64; ++x) {
            const double t = (x + 0.5) / 64, streak = 0.75 + 0.25 * Sin(Deg(y * 13.0)) * Sin(Deg(y * 5.0));
            c.Set(x, y, Mix(0xFF000000u, Mix(0xFF60C0FFu, 0xFFFFFFFFu, int(256 * t * t)), int(256 * t * t * streak)));
        }
    FinishAdditive(c);
    return c;
}

// Gallery stills: opaque scenes larger than the screen, so that their pan never shows an edge.
Canvas Backdrop(int w, int h, Colour top, Colour bottom, Random& random) {
    Canvas c(w, h);
    Linear(c, Box(0, 0, w, h), {0, 0}, top, {0, double(h)}, bottom);
    for (int k = 0; k < w * h / 3000; ++k) {
        const int x = random.Below(w), y = random.Below(h);
        c.Set(x, y, Mix(c.Get(x, y) | 0xFF000000u, 0xFFFFFFFFu, random.Range(60, 180)));
    }
    return c;
}

void Streaks(Canvas& c, Random& random, Colour tone, int n) {
    for (int k = 0; k < n; ++k) {
        const double y = random.Real(0, c.h), x = random.Real(-100, c.w), len = random.Real(100, 400), width = random.Real(1, 3);
        GlowLine(c, {x, y}, {x + len, y}, width, Mix(0xFF000000u, tone, random.Range(40, 120)));
    }
}

Canvas Still(int w, int h, Who who, Colour top, Colour bottom, Colour accent, Random& random, bool figureOnly = false) {
    Canvas c = figureOnly ? Canvas(w, h) : Backdrop(w, h, top, bottom, random);
    if (!figureOnly) Streaks(c, random, accent, w / 8);
    const double k = h / 150.0;
    Portrait(Pen{c, w * 0.5 - 48 * k, h - 146 * k, k}, who, true, true);
    if (!figureOnly)
        for (Colour& p : c.px) p |= 0xFF000000u;
    return c;
}

}  // namespace

void AddCutinPictures(ImageBook& book) {
    book.Add(90, [](Random&) { return Faces(); });
    book.Add(400, [](Random&) { return CutinPortrait(Who::kTilt, true, true); });
    book.Add(401, [](Random&) { return NameBanner("SKILL", 0xFF2050A0u, 0xFFFFF0A0u); });
    for (int k = 0; k < 4; ++k) book.Add(403 + k, [k](Random&) { return SpeedLines(k); });
    for (int k = 0; k < 3; ++k) book.Add(407 + k, [k](Random&) { return Rays(k); });
    for (int k = 0; k < 24; ++k) book.Add(410 + k, [k](Random&) { return Finisher(k); });
    book.Add(434, [](Random&) { return FinisherBand(); });
    book.Add(440, [](Random&) { return CutinPortrait(Who::kDordon, true, false); });
    book.Add(441, [](Random&) { return CutinPortrait(Who::kDordon, true, true); });
    book.Add(442, [](Random&) { return NameBanner("HAMMER", 0xFF6A5A3Au, 0xFFFFD060u); });
    book.Add(443, [](Random&) { return CutinPortrait(Who::kIora, true, true); });
    book.Add(444, [](Random&) { return GlowPicture(64, 48, 0xFFFF80E0u); });
    book.Add(445, [](Random&) { return NameBanner("BLADE", 0xFF6A3A9Au, 0xFFF0E0FFu); });
    book.Add(446, [](Random&) { return CutinPortrait(Who::kGlad, true, true); });
    book.Add(447, [](Random&) { return GlowPicture(64, 48, 0xFFFF9040u); });
    book.Add(448, [](Random&) { return CutinPortrait(Who::kFloria, true, false); });
    book.Add(449, [](Random&) { return NameBanner("FROST", 0xFF2A70B0u, 0xFFE0F8FFu); });
    book.Add(450, [](Random& r) { return Still(700, 540, Who::kTilt, 0xFF102040u, 0xFF3060A0u, 0xFF80C0FFu, r); });
    book.Add(451, [](Random& r) {
        Canvas c = Still(900, 720, Who::kTilt, 0xFF101830u, 0xFF503070u, 0xFFFFE0A0u, r);
        const Canvas burst = Resized(Finisher(20), 300, 300);
        Stamp(c, burst, 560, 60);
        return c;
    });
    book.Add(452, [](Random& r) { return Still(640, 800, Who::kDordon, 0xFF201810u, 0xFF6A4A2Au, 0xFFFFA040u, r); });
    book.Add(453, [](Random& r) {
        Canvas c = Backdrop(800, 480, 0xFF1A1030u, 0xFF6A3A7Au, r);
        Streaks(c, r, 0xFFFF80E0u, 120);
        for (Colour& p : c.px) p |= 0xFF000000u;
        return c;
    });
    book.Add(454, [](Random& r) { return Still(800, 480, Who::kIora, 0, 0, 0, r, true); });
    book.Add(455, [](Random& r) { return Still(700, 480, Who::kGlad, 0xFF301010u, 0xFF8A3A20u, 0xFFFFA060u, r); });
    book.Add(456, [](Random& r) { return Still(640, 800, Who::kFloria, 0xFF081830u, 0xFF3A7AB0u, 0xFFC0F0FFu, r); });
}

}  // namespace morna::datagen

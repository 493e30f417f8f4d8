// The bosses and their pieces: the stone giant (300-309, its faces 316, its mallets 320-335),
// the winged swordswoman (340), the boar knight (341) and his golem (342, thrown as block 218),
// the ice queen (343, her sword 89, her arm and the hero's scarf in 11, her mirror 344), the
// fire serpent (345) and the cake (347). Left-facing pictures; the other facing is their exact
// mirror.
#include <cmath>

#include "tools/datagen/images.h"
#include "tools/datagen/pictures.h"

namespace morna::datagen {
namespace {

using namespace palette;

// ---- the stone giant ----------------------------------------------------------------------

constexpr Colour kStone = 0xFF8C8276u, kStoneDark = 0xFF5E564Eu;

// One pose of the giant: feet, fist and the tilt of the raised arm, in left-half coordinates.
struct GiantPose {
    Point frontFoot, backFoot, fist, elbow;
    double lean;  // the torso's lean (radians, + leans forward)
    bool surprised;
};

// The giant's own face at the head centre (56, 66): eyes under a heavy brow, a mouth.
void GiantFace(Canvas& c, double x, double y, int mood) {
    // Brow ridge, then eyes: glowing amber, narrowed when angry.
    const double squint = mood == 2 ? 1.2 : (mood == 1 ? 3.2 : 2.4);
    Fill(c, Ellipse(x - 14, y - 6, 5.5, squint), 0xFFFFC040u);
    Fill(c, Ellipse(x + 4, y - 7, 5.5, squint), 0xFFFFC040u);
    Fill(c, Disc(x - 15, y - 6, 1.6), kInk);
    Fill(c, Disc(x + 3, y - 7, 1.6), kInk);
    Fill(c, Capsule({x - 22, y - 12 + (mood == 2 ? 3 : 0)}, {x - 6, y - 11}, 2.2), kStoneDark);
    Fill(c, Capsule({x - 3, y - 12}, {x + 12, y - 13 + (mood == 2 ? 3 : 0)}, 2.2), kStoneDark);
    if (mood == 1) Paint(c, Ellipse(x - 8, y + 10, 5, 6), 0xFF3A1A14u, 1);
    else if (mood == 2) Paint(c, Union(Ellipse(x - 8, y + 9, 10, 5), Box(x - 18, y + 7, x + 2, y + 9)), 0xFF3A1A14u, 1);
    else Fill(c, Capsule({x - 16, y + 9}, {x + 2, y + 8}, 1.4), kInk);
    if (mood == 2)
        for (int k = 0; k < 3; ++k) Fill(c, Box(x - 15 + 6 * k, y + 5, x - 12 + 6 * k, y + 8), 0xFFF0E8D0u);
}

Canvas GiantHalf(const GiantPose& p, int mood) {
    Canvas c(192, 364);
    // The back arm hangs behind the torso.
    Paint(c, Capsule({112, 132}, {128, 196}, 15), kStoneDark, 3);
    Paint(c, Disc(130, 206, 15), kStoneDark, 3);
    // Tail with plates along its top.
    Paint(c, Capsule({112, 268}, {146, 292}, 24), kStone, 4);
    Paint(c, Capsule({146, 292}, {170, 318}, 17), kStone, 4);
    Paint(c, Capsule({170, 318}, {186, 344}, 10), kStone, 3);
    for (int k = 0; k < 4; ++k)
        Paint(c, Polygon({{128.0 + 16 * k, 262.0 + 18 * k}, {140.0 + 16 * k, 246.0 + 20 * k}, {146.0 + 16 * k, 272.0 + 18 * k}}),
              kLeaf, 2);
    // Legs and feet.
    for (const auto& [hip, foot, tone] : {std::tuple{Point{118, 276}, p.backFoot, kStoneDark}, std::tuple{Point{86, 278}, p.frontFoot, kStone}}) {
        Paint(c, Capsule(hip, {foot.x, foot.y - 12}, 19), tone, 3);
        Paint(c, Ellipse(foot.x - 4, foot.y + 10, 26, 12), Darker(tone, 20), 3);
    }
    // Hips, torso (leaning), moss on the shoulders.
    Paint(c, Ellipse(100, 258, 44, 30), kStoneDark, 4);
    const Point chest{84 - 20 * p.lean, 168};
    Paint(c, Ellipse(chest.x, chest.y, 60, 72, p.lean * 0.5), kStone, 5);
    Fill(c, Capsule({chest.x - 26, chest.y + 10}, {chest.x + 4, chest.y + 40}, 1.5), kStoneDark);
    Fill(c, Capsule({chest.x + 20, chest.y - 30}, {chest.x + 34, chest.y - 4}, 1.5), kStoneDark);
    Paint(c, Ellipse(chest.x + 24, chest.y - 58, 26, 12, 0.2), kMoss, 3);
    Fill(c, Ellipse(chest.x + 4, chest.y + 20, 22, 18), Lighter(kStone, 30));
    // Head with its own face, sunk into a hump of shoulders.
    const Point head{56 - 16 * p.lean, 66 + 6 * p.lean};
    Paint(c, Ellipse(head.x + 26, head.y + 40, 44, 30, -0.3), kStone, 5);
    Paint(c, Disc(head.x, head.y, 36), kStone, 5);
    Paint(c, Ellipse(head.x + 6, head.y - 28, 24, 10), kMoss, 3);
    GiantFace(c, head.x, head.y, mood);
    // The front arm: shoulder, elbow, fist.
    const Point shoulder{chest.x - 22, chest.y - 40};
    Paint(c, Capsule(shoulder, p.elbow, 17), kStone, 4);
    Paint(c, Capsule(p.elbow, p.fist, 15), kStone, 4);
    Paint(c, Disc(p.fist.x, p.fist.y, 19), Lighter(kStone, 20), 4);
    Fill(c, Capsule({p.fist.x - 8, p.fist.y - 4}, {p.fist.x + 6, p.fist.y - 8}, 1.2), kStoneDark);
    return c;
}

// Picture 300 + k: the pose of each picture (idle, four steps, falling, swing wind-up and
// strike, mallet raised and slammed), feet and fist where the skeleton puts them.
GiantPose PoseOf(int k) {
    GiantPose p{{52, 340}, {122, 340}, {22, 128}, {40, 170}, 0, false};
    const Point feet[5][2] = {{{52, 340}, {122, 340}}, {{36, 340}, {130, 340}}, {{60, 340}, {112, 340}},
                              {{64, 340}, {136, 340}}, {{48, 340}, {118, 340}}};
    if (k >= 1 && k <= 4) p.frontFoot = feet[k][0], p.backFoot = feet[k][1];
    switch (k) {
        case 5: p.frontFoot = {60, 328}, p.backFoot = {130, 330}, p.fist = {30, 104}, p.elbow = {26, 150}, p.lean = -0.25; break;
        case 6: p.fist = {96, 52}, p.elbow = {110, 110}, p.lean = -0.2; break;
        case 7: p.fist = {20, 186}, p.elbow = {34, 140}, p.lean = 0.3; break;
        case 8: p.fist = {46, 24}, p.elbow = {30, 80}, p.lean = -0.1; break;
        case 9: p.fist = {20, 214}, p.elbow = {30, 160}, p.lean = 0.35; break;
        default: break;
    }
    return p;
}

int MoodOf(int k) { return k == 5 ? 1 : (k >= 6 ? 2 : 0); }

Canvas GiantPicture(int k) {
    const Canvas half = GiantHalf(PoseOf(k), MoodOf(k));
    Canvas c(384, 364);
    Put(c, half, 0, 0);
    Put(c, Mirrored(half), 192, 0);
    return c;
}

// Image 316: pained faces on a stone plate, 48-px cells; rows 0-1 face left, 2-3 right.
Canvas GiantFaces() {
    Canvas c(384, 192);
    for (int k = 0; k < 16; ++k) {
        Canvas cell(48, 48);
        Fill(cell, Disc(24, 24, 21), kStone);
        const double y = 24;
        // Screwed-up eyes and an open, pained mouth; the mouth opens wider in the later pictures.
        Fill(cell, Capsule({7, y - 10}, {14, y - 6}, 1.2), kInk);
        Fill(cell, Capsule({7, y - 2}, {14, y - 6}, 1.2), kInk);
        Fill(cell, Capsule({30, y - 10}, {23, y - 6}, 1.2), kInk);
        Fill(cell, Capsule({30, y - 2}, {23, y - 6}, 1.2), kInk);
        const double open = 3 + (k % 10) * 0.5;
        Paint(cell, Ellipse(16, y + 9, 8, open), 0xFF3A1A14u, 1);
        Fill(cell, Box(10, y + 9 - open, 22, y + 10 - open), 0xFFF0E8D0u);
        if (k % 3 == 1) Fill(cell, Ellipse(38, 10, 2, 3), 0xFF80C8FFu);  // a bead of sweat
        Put(c, cell, 48 * (k % 8), 48 * (k / 8));
        Put(c, Mirrored(cell), 48 * (k % 8), 96 + 48 * (k / 8));
    }
    return c;
}

// Images 320-335: the ball-headed mallet, its handle toward the fist of its picture; a
// slight tint per id. Left cell, then its mirror.
Canvas Mallet(int k) {
    const Point toHand[10] = {{28, 78}, {28, 78}, {28, 78}, {28, 78}, {28, 78}, {-10, 90}, {-30, 70}, {50, -80}, {0, 100}, {60, -130}};
    const Point d = toHand[k < 10 ? k : 0];
    const double len = std::sqrt(d.x * d.x + d.y * d.y);
    Canvas cell(96, 96);
    Paint(cell, Capsule({48, 48}, {48 + 46 * d.x / len, 48 + 46 * d.y / len}, 5), kBark, 2);
    const Colour head = Mix(0xFF9A9088u, k % 2 ? 0xFFB08060u : 0xFF8090B0u, 6 * k);
    Paint(cell, Disc(48, 48, 28), head, 5);
    Fill(cell, Ring(48, 48, 20, 23), Darker(head, 60));
    Fill(cell, Ellipse(38, 36, 7, 4, -0.6), Lighter(head, 120));
    Canvas c(192, 96);
    Put(c, cell, 0, 0);
    Put(c, Mirrored(cell), 96, 0);
    return c;
}

// ---- the winged swordswoman ---------------------------------------------------------------

// A sword from the grip along the unit direction (dx, dy).
void Sword(Canvas& c, Point grip, Point d, double length, Colour blade = 0xFFE0E8F8u) {
    const Point tip{grip.x + length * d.x, grip.y + length * d.y}, base{grip.x + 4 * d.x, grip.y + 4 * d.y};
    Paint(c, Union(Capsule(base, tip, 1.8), Polygon({tip, {tip.x - 5 * d.x + 2 * d.y, tip.y - 5 * d.y - 2 * d.x},
                                                     {tip.x - 5 * d.x - 2 * d.y, tip.y - 5 * d.y + 2 * d.x}})),
          blade, 1);
    Fill(c, Capsule({base.x - 4 * d.y, base.y + 4 * d.x}, {base.x + 4 * d.y, base.y - 4 * d.x}, 1.3), kGold);
}
void Sword(Canvas& c, Point grip, double angle, double length, Colour blade = 0xFFE0E8F8u) {
    Sword(c, grip, Point{Cos(angle), Sin(angle)}, length, blade);
}

// Column base b, row r (0 idle | charge, 1 wind-up | hurt, 2 attack | ready), frame f.
Canvas Swordswoman(int b, int r, int f) {
    Canvas c(64, 80);
    const double flap = Deg(14.0 * (f == 1 ? 1 : (f == 2 ? -1 : 0)));
    const Colour hair = 0xFFE8E0F8u, tunic = 0xFF8A4AC8u, wing = 0xFFFFFFFFu;
    for (int k = 0; k < 2; ++k) {
        const double a = Deg(-40.0 - 25 * k) + flap;
        Paint(c, Polygon({{38, 30}, {38 + 26 * Cos(a), 30 + 26 * Sin(a)}, {38 + 22 * Cos(a + 0.5), 30 + 22 * Sin(a + 0.5)},
                          {44, 40}}),
              k ? Darker(wing, 30) : wing, 2);
    }
    Paint(c, Capsule({34, 56}, {38, 74}, 3), 0xFF4A3A6Au, 1);
    Paint(c, Capsule({30, 56}, {26, 74}, 3), 0xFF5A4A7Au, 1);
    Paint(c, Polygon({{24, 44}, {40, 44}, {46, 62}, {18, 62}}), tunic, 2);
    Paint(c, RoundRect(23, 27, 41, 46, 4), 0xFFC8D0E0u, 2);
    Fill(c, Box(24, 44, 40, 46), kGold);
    Paint(c, Union(Disc(31, 17, 10), Polygon({{36, 12}, {46, 30}, {38, 34}})), hair, 2);
    Paint(c, Disc(29, 19, 7.5), kSkin, 2);
    Fill(c, Ellipse(30, 13, 7, 3.5), hair);
    Fill(c, Box(24, 18, 26, 21), kInk);
    Fill(c, Box(25, 24, 28, 25), 0xFFC06070u);
    // Arm and sword by the pose.
    Point hand{22, 40};
    double swordAngle = Deg(110);
    if (b == 0 && r == 1) hand = {38, 20}, swordAngle = Deg(-30);      // wind-up: sword over the shoulder
    if (b == 0 && r == 2) hand = {14, 36}, swordAngle = Deg(180);      // attack: thrust forward
    if (b == 1 && r == 0) hand = {24, 18}, swordAngle = Deg(-90);      // charge: sword raised
    if (b == 1 && r == 1) hand = {40, 34}, swordAngle = Deg(60);       // hurt: thrown back
    if (b == 1 && r == 2) hand = {16, 32}, swordAngle = Deg(200);      // ready: pointed up-forward
    Sword(c, hand, swordAngle, 26);
    Paint(c, Capsule({30, 31}, hand, 2.6), kSkin, 1);
    if (b == 1 && r == 0) Tint(c, 0xFFFFE0FFu, 40);
    return b == 1 && r == 1 ? Hurt(c) : c;
}

Canvas SwordswomanSheet() {
    Sheet s(6, 6, 64, 80);
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 6; ++k) {
            const Canvas cell = Swordswoman(k / 3, r, k % 3);
            s.Put(k, r, cell);
            s.Put(k, r + 3, Mirrored(cell));
        }
    return s.pic;
}

// ---- the boar knight and his golem --------------------------------------------------------

Canvas BoarKnight(int f) {
    Canvas c(80, 80);
    const double step = 3.0 * (f - 1);
    Paint(c, Polygon({{44, 24}, {74, 30}, {70, 62}, {48, 56}}), 0xFFB03030u, 2);  // cape
    Paint(c, Capsule({34, 58}, {30 + step, 74}, 6), 0xFF4A4A58u, 2);
    Paint(c, Capsule({50, 58}, {54 - step, 74}, 6), 0xFF3A3A48u, 2);
    Paint(c, RoundRect(24, 28, 62, 62, 10), 0xFF8A90A0u, 4);
    Fill(c, Box(26, 46, 60, 50), kGold);
    Paint(c, Union(Ellipse(30, 26, 18, 15), Ellipse(14, 32, 10, 8)), 0xFF7A5A44u, 3);  // boar head and snout
    Fill(c, Ellipse(8, 32, 3, 4), 0xFF3A2418u);
    Paint(c, Polygon({{14, 38}, {6, 26}, {17, 34}}), 0xFFF8F0E0u, 1);  // tusk
    Paint(c, Union(Ellipse(32, 14, 16, 8), Polygon({{36, 8}, {48, 0}, {44, 12}})), 0xFF9098A8u, 2);  // helmet and horn
    Eye(c, 24, 22, 2.6);
    Brow(c, 19, 17, 28, 19, 1.4);
    Paint(c, Capsule({28, 40}, {14, 52}, 5), 0xFF8A90A0u, 2);
    Paint(c, Disc(12, 54, 6), 0xFF7A5A44u, 2);
    return c;
}

// The golem: a boxy little stone body, arms swinging with the frame.
Canvas Golem(int w, int h, int f) {
    Canvas c(w, h);
    const double k = w / 64.0, swing = (f ? 4 : -4) * k, oy = (h - 64 * k) / 2;
    Paint(c, Capsule({14 * k, 30 * k + oy}, {8 * k, 44 * k + swing + oy}, 6 * k), 0xFF7A6A5Au, 2);
    Paint(c, Capsule({50 * k, 30 * k + oy}, {56 * k, 44 * k - swing + oy}, 6 * k), 0xFF6A5A4Au, 2);
    Paint(c, Box(22 * k, 48 * k + oy, 30 * k, 60 * k + oy), 0xFF5A4A3Au, 2);
    Paint(c, Box(34 * k, 48 * k + oy, 42 * k, 60 * k + oy), 0xFF5A4A3Au, 2);
    Paint(c, RoundRect(14 * k, 10 * k + oy, 50 * k, 52 * k + oy, 8 * k), 0xFF9A8A72u, int(3 * k));
    Paint(c, Ellipse(30 * k, 12 * k + oy, 10 * k, 4 * k), kMoss, 1);
    Eye(c, 24 * k, 28 * k + oy, 4 * k);
    Eye(c, 38 * k, 28 * k + oy, 4 * k);
    Fill(c, Capsule({26 * k, 40 * k + oy}, {36 * k, 40 * k + oy}, 1.2 * k), kInk);
    return c;
}

// ---- the ice queen ------------------------------------------------------------------------

// Column base b, row r, frame f; the sword and the sword arm are pieces of their own.
Canvas IceQueen(int b, int r, int f) {
    Canvas c(64, 96);
    const double sway = 1.5 * (f == 1 ? 1 : (f == 2 ? -1 : 0));
    const bool hurt = b == 1 && r == 0, casting = (b == 0 && r == 1) || (b == 1 && r == 3);
    Paint(c, Polygon({{24 + sway, 46}, {40 + sway, 46}, {54, 92}, {10, 92}}), 0xFFD8F0FFu, 3);  // gown
    Fill(c, Polygon({{30 + sway, 50}, {34 + sway, 50}, {42, 92}, {22, 92}}), 0xFF8FD0F4u);
    Paint(c, RoundRect(24 + sway, 28, 40 + sway, 50, 5), 0xFF5AA8E0u, 2);
    Paint(c, Union(Disc(33 + sway, 18, 11), Polygon({{38 + sway, 12}, {48 + sway, 52}, {34 + sway, 44}})), 0xFFC8E8FFu, 2);
    Paint(c, Disc(30 + sway, 20, 7.5), 0xFFF8E4E0u, 2);
    Fill(c, Ellipse(32 + sway, 14, 7, 3.5), 0xFFC8E8FFu);
    Paint(c, Polygon({{25 + sway, 10}, {27 + sway, 3}, {30 + sway, 8}, {33 + sway, 1}, {36 + sway, 8}, {39 + sway, 3}, {40 + sway, 10}}),
          kGold, 1);
    Fill(c, Box(25 + sway, 19, 27 + sway, 22), 0xFF2060B0u);
    Fill(c, Box(26 + sway, 25, 29 + sway, 26), 0xFFB05870u);
    // The free arm: at her side, or raised to cast.
    const Point hand = casting ? Point{14, 22} : Point{20 + sway, 48};
    Paint(c, Capsule({27 + sway, 32}, hand, 2.6), 0xFF5AA8E0u, 1);
    Paint(c, Disc(hand.x, hand.y, 2.6), 0xFFF8E4E0u, 1);
    if (casting) {
        Canvas glow(64, 96, kKey);
        Fill(glow, Star(hand.x - 2, hand.y - 6, 7, 2.5, 6, Deg(15.0 * f)), 0xFFE0FFFFu);
        Stamp(c, glow, 0, 0);
    }
    return hurt ? Hurt(c) : c;
}

// The dive: the queen lying on her side, two 96 x 64 pictures (the gown trails differently).
Canvas IceQueenDive(int f) {
    Canvas upright = IceQueen(0, 0, f ? 1 : 2);
    Canvas wide(96, 96);
    Put(wide, upright, 16, 0);
    const Canvas turned = Rotated(wide, Deg(-90));
    return Cut(turned, 0, 16, 96, 64);
}

Canvas IceQueenSheet() {
    Sheet s(6, 10, 64, 96);
    for (int r = 0; r < 5; ++r)
        for (int k = 0; k < 6; ++k) {
            if (r == 4 && k < 3) continue;  // the dive pictures below
            const Canvas cell = IceQueen(k / 3, r, k % 3);
            s.Put(k, r, cell);
            s.Put(k, r + 5, Mirrored(cell));
        }
    for (int f = 0; f < 2; ++f) {
        const Canvas dive = IceQueenDive(f);
        Put(s.pic, dive, 96 * f, 4 * 96);
        Put(s.pic, Mirrored(dive), 96 * f, 9 * 96);
    }
    return s.pic;
}

// Image 89: sword pieces, 32-px cells: column q (its grip where the arm holds it), row 0
// facing left, 1 right, rows 2-3 the big glowing set.
Canvas SwordPieces() {
    const Point grips[6] = {{26, 9}, {30, 16}, {10, 29}, {9, 4}, {7, 9}, {24, 29}};
    Canvas c(512, 128);
    for (int q = 0; q < 16; ++q)
        for (int big = 0; big < 2; ++big) {
            Canvas cell(32, 32);
            Point grip{16 - 12 * Cos(Deg(22.5 * q)), 16 - 12 * Sin(Deg(22.5 * q))};
            if (q < 6) grip = grips[q];
            // The blade points from the grip through the cell's centre.
            const double gx = 16 - grip.x, gy = 16 - grip.y, gl = std::sqrt(gx * gx + gy * gy);
            const Point dir{gx / gl, gy / gl};
            if (big) {
                Canvas glow(32, 32, kKey);
                Fill(glow, Capsule(grip, {grip.x + 26 * dir.x, grip.y + 26 * dir.y}, 3.5), 0xFFB0F0FFu);
                Stamp(cell, glow, 0, 0);
            }
            Sword(cell, grip, dir, big ? 27 : 23, big ? 0xFFF0FFFFu : 0xFFC8E4F8u);
            Put(c, cell, 32 * q, 64 * big);
            Put(c, Mirrored(cell), 32 * q, 64 * big + 32);
        }
    return c;
}

// Image 11: the hero's scarf (columns 0-1) and the queen's arm in modes 0-2 (columns 2-7);
// rows 0 facing left, 1 facing right.
Canvas ScarfAndArm() {
    Canvas c(256, 64);
    for (int f = 0; f < 2; ++f) {
        // The scarf trails from the knot at the hero's neck: right of the knot facing left.
        for (int row = 0; row < 2; ++row) {
            Canvas cell(32, 32);
            const bool left = row == 0;
            const Point knot = left ? Point{2, 20} : Point{18, 20};
            for (int k = 0; k < 8; ++k) {
                const double t0 = k / 8.0, t1 = (k + 1) / 8.0, dir = left ? 1 : -1;
                const Point a{knot.x + dir * 16 * t0 + (left ? 0 : 0), knot.y - 3 * t0 + 2.5 * Sin(Deg(180.0 * f + 300 * t0))};
                const Point b{knot.x + dir * 16 * t1, knot.y - 3 * t1 + 2.5 * Sin(Deg(180.0 * f + 300 * t1))};
                Fill(cell, Capsule(a, b, 2.6 - 1.2 * t0), kScarf);
            }
            Outline(cell);
            Put(c, cell, 32 * f, 32 * row);
        }
        // The arm: mode 0 hanging to the grip, 1 forward, 2 raised.
        const Point hands[3] = {{8, 30}, {4, 12}, {12, 2}};
        const Point shoulders[3] = {{10, 8}, {16, 24}, {14, 28}};
        for (int m = 0; m < 3; ++m) {
            Canvas cell(32, 32);
            const Point h{hands[m].x, hands[m].y + (f ? 1 : 0)};
            Paint(cell, Capsule(shoulders[m], h, 3.2), 0xFF5AA8E0u, 1);
            Paint(cell, Disc(h.x, h.y, 3), 0xFFF8E4E0u, 1);
            Put(c, cell, 64 + 64 * m + 32 * f, 0);
            Put(c, Mirrored(cell), 64 + 64 * m + 32 * f, 32);
        }
    }
    return c;
}

// Image 344: the ice mirror: a flash cell, then two shimmering frames.
Canvas IceMirror() {
    Canvas c(144, 64);
    for (int k = 0; k < 3; ++k) {
        Canvas cell(48, 64);
        Paint(cell, Ellipse(24, 30, 18, 26), 0xFFB8C8E0u, 2);
        Linear(cell, Ellipse(24, 30, 14, 22), {10, 10}, k == 0 ? 0xFFFFFFFFu : 0xFFE8F8FFu, {38, 52}, k == 0 ? 0xFFE0F8FFu : 0xFF6AB0E8u);
        Fill(cell, Capsule({16.0 + 4 * (k == 2), 16}, {26.0 + 4 * (k == 2), 40}, 1.5), 0xFFFFFFFFu);
        Paint(cell, Polygon({{18, 56}, {30, 56}, {26, 62}, {22, 62}}), kGold, 1);
        Put(c, cell, 48 * k, 0);
    }
    return c;
}

// ---- the fire serpent and the cake --------------------------------------------------------

Canvas SerpentHead(int f) {
    Canvas c(64, 64);
    Paint(c, Polygon({{20, 18}, {6, 8}, {18, 28}}), 0xFFFFB030u, 1);
    Paint(c, Union(Ellipse(30, 32, 20, 15), Ellipse(48, 34, 13, 9)), 0xFFE04020u, 3);
    Fill(c, Intersect(Ellipse(48, 34, 12, 8), Box(0, 36, 64, 64)), 0xFFFFD080u);
    Fill(c, Polygon({{44, 36 + 2.0 * f}, {61, 36 + 3.0 * f}, {48, 40 + 3.0 * f}}), 0xFF5A1010u);
    Eye(c, 40, 26, 3.5, 1, 0, 0xFFA01010u);
    Brow(c, 34, 21, 45, 23, 1.3);
    Paint(c, Polygon({{26, 20}, {30, 6}, {34, 20}}), 0xFFFFB030u, 1);
    Paint(c, Polygon({{16, 26}, {12, 14}, {22, 22}}), 0xFFFFB030u, 1);
    return c;
}

// Rows r = 0..7: the head turned to (r - 4) x 45 degrees; leftward rows are mirrored, not
// turned upside down.
Canvas SerpentHeads() {
    return Cells(2, 8, 64, 64, [](int f, int r) {
        const double a = 45.0 * (r - 4);
        const Canvas head = SerpentHead(f);
        if (a < -90 || a > 90) return Rotated(Mirrored(head), Deg(a < 0 ? a + 180 : a - 180));
        return Rotated(head, Deg(a));
    });
}

Canvas SerpentBody() {
    return Cells(2, 1, 48, 48, [](int f, int) {
        Canvas c(48, 48);
        Paint(c, Disc(24, 24, 17), 0xFFD04020u, 3);
        Fill(c, Ellipse(24, 28, 11, 8), 0xFFFFC070u);
        Paint(c, Polygon({{18, 8}, {24, 0 + 2.0 * f}, {30, 8}}), 0xFFFFB030u, 1);
        return c;
    });
}

// A cake tier w x h: sponge, cream rim with drips, fruit on top; the top tier has a face.
Canvas CakeTier(int w, int h, int tier) {
    Canvas c(w, h);
    const double top = h * 0.3;
    Paint(c, RoundRect(4, top, w - 4, h - 4, 8), tier == 1 ? 0xFF9A5A3Cu : kCream, 4);
    Fill(c, Box(6, top + (h - top) * 0.5, w - 6, top + (h - top) * 0.5 + 5), tier == 1 ? 0xFFF4A0B8u : 0xFFE07090u);
    Paint(c, Union(RoundRect(2, top - 6, w - 2, top + 8, 6), Box(2, top, w - 2, top + 10)), 0xFFFFF8F0u, 2);
    for (double x = 14; x < w - 10; x += 22) Fill(c, Ellipse(x, top + 12, 4, 6), 0xFFFFF8F0u);
    for (double x = 22; x < w - 16; x += 34) {
        Paint(c, Disc(x, top - 8, 7), 0xFFE8304Cu, 2);
        Paint(c, Ellipse(x + 2, top - 15, 3, 1.8), kLeaf, 1);
    }
    if (tier == 0) {
        Eye(c, w / 2.0 - 16, top + 32, 5);
        Eye(c, w / 2.0 + 16, top + 32, 5);
        Fill(c, Ellipse(w / 2.0, top + 48, 8, 3), 0xFF6A2020u);
        for (int k = -1; k <= 1; ++k) {
            Paint(c, Box(w / 2.0 + 20 * k - 2, top - 30, w / 2.0 + 20 * k + 2, top - 6), 0xFFFFE0F0u, 1);
            Fill(c, Ellipse(w / 2.0 + 20 * k, top - 33, 2.5, 4), 0xFFFFC030u);
        }
    }
    return c;
}

// A mid-boss's parts share its body's picture, so that the defeat's grey-out of that picture
// greys them all: the serpent's head rows with the body segment below them, the cake's tiers
// one above the other.
Canvas Serpent() {
    Canvas c(128, 560);
    Put(c, SerpentHeads(), 0, 0);
    Put(c, SerpentBody(), 0, 512);
    return c;
}

Canvas Cake() {
    Canvas c(288, 304);
    Put(c, CakeTier(160, 96, 0), 0, 0);
    Put(c, CakeTier(224, 96, 1), 0, 96);
    Put(c, CakeTier(288, 112, 2), 0, 192);
    return c;
}

}  // namespace

// The golem thrown by the boar knight (block 218): two frames, row 0 stretched, row 1 curled.
Canvas ThrownGolem(int f, bool curled) {
    const Canvas g = Golem(64, curled ? 64 : 112, f);
    if (!curled) return Rotated(g, Deg(f ? 10 : -10));
    Canvas c(64, 112);
    Put(c, Rotated(g, Deg(f ? 45 : 0)), 0, 24);
    return c;
}

void AddBossPictures(ImageBook& book) {
    book.Add(11, [](Random&) { return ScarfAndArm(); });
    book.Add(89, [](Random&) { return SwordPieces(); });
    for (int k = 0; k < 10; ++k) book.Add(300 + k, [k](Random&) { return GiantPicture(k); });
    book.Add(316, [](Random&) { return GiantFaces(); });
    for (int k = 0; k < 16; ++k) book.Add(320 + k, [k](Random&) { return Mallet(k); });
    book.Add(340, [](Random&) { return SwordswomanSheet(); });
    book.Add(341, [](Random&) { return HurtRows(3, 80, 80, BoarKnight); });
    book.Add(342, [](Random&) { return FacingRows(2, 64, 64, [](int f) { return Golem(64, 64, f); }); });
    book.Add(343, [](Random&) { return IceQueenSheet(); });
    book.Add(344, [](Random&) { return IceMirror(); });
    book.Add(345, [](Random&) { return Serpent(); });
    book.Add(347, [](Random&) { return Cake(); });
}

}  // namespace morna::datagen

#pragma once
// The raster kit of the data-set generator: ARGB8888 pictures built from shapes. Only
// arithmetic that repeats exactly on every machine is used (+ - * /, sqrt, floor; sine and
// cosine are our own polynomials), so every run writes the same bytes.
#include <cstdint>
#include <functional>
#include <random>
#include <string_view>
#include <vector>

namespace morna::datagen {

using Colour = uint32_t;  // 0xAARRGGBB

constexpr Colour kKey = 0x00FF00FF;   // an empty pixel of a keyed or blended picture
constexpr Colour kDark = 0x00000000;  // an empty pixel of an additive picture
constexpr Colour kInk = 0xFF141420;   // the outline of every opaque shape
constexpr double kPi = 3.14159265358979323846;

constexpr Colour Opaque(uint32_t rgb) { return 0xFF000000u | rgb; }
constexpr int AlphaOf(Colour c) { return static_cast<int>(c >> 24); }
// Each channel (alpha too) t/256 of the way from a to b.
Colour Mix(Colour a, Colour b, int t);
inline Colour Lighter(Colour c, int t) { return Mix(c, c | 0x00FFFFFFu, t); }
inline Colour Darker(Colour c, int t) { return Mix(c, c & 0xFF000000u, t); }
inline Colour WithAlpha(Colour c, int a) { return (c & 0x00FFFFFFu) | static_cast<uint32_t>(a) << 24; }

double Sin(double radians);
double Cos(double radians);
// sin(n a + phase) for a the angle of the direction (dx, dy): n-fold patterns around a
// point (rays, dashes) without an arc tangent.
double AngularWave(double dx, double dy, int n, double phase);
// Degrees to radians, for readable recipes.
constexpr double Deg(double d) { return d * kPi / 180.0; }

// One generator per asset: MT19937's words are fixed by the standard, the library's
// distributions are not, so values are cut from the raw words.
class Random {
public:
    explicit Random(uint32_t seed) : mt_(seed) {}
    uint32_t Next() { return static_cast<uint32_t>(mt_()); }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    int Range(int lo, int hi) { return lo + Below(hi - lo + 1); }  // both ends included
    double Unit() { return Next() / 4294967296.0; }
    double Real(double lo, double hi) { return lo + (hi - lo) * Unit(); }

private:
    std::mt19937 mt_;
};

struct Point {
    double x = 0, y = 0;
};

// A region of the plane: a bounding box and a test of a point. A pixel belongs to a shape
// when its centre does.
struct Shape {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::function<bool(double, double)> in;
    bool Contains(double x, double y) const { return x >= x0 && x < x1 && y >= y0 && y < y1 && in(x, y); }
};

Shape Box(double x0, double y0, double x1, double y1);
Shape Disc(double cx, double cy, double r);
Shape Ellipse(double cx, double cy, double rx, double ry, double angle = 0);
Shape Ring(double cx, double cy, double inner, double outer);
Shape Polygon(std::vector<Point> points);  // even-odd, any number of corners
Shape Star(double cx, double cy, double outer, double inner, int points, double angle = 0);
Shape RoundRect(double x0, double y0, double x1, double y1, double r);
Shape Capsule(Point a, Point b, double r);  // a thick line with round ends
Shape Union(Shape a, Shape b);
Shape Minus(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
Shape Turned(Shape s, Point centre, double angle);  // clockwise on screen (y down)
Shape Moved(Shape s, double dx, double dy);
Shape Scaled(Shape s, Point centre, double sx, double sy);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Colour fill = kKey) : w(width), h(height), px(size_t(width) * height, fill) {}
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    Colour Get(int x, int y) const { return Inside(x, y) ? px[size_t(y) * w + x] : kKey; }
    void Set(int x, int y, Colour c) {
        if (Inside(x, y)) px[size_t(y) * w + x] = c;
    }
    bool Solid(int x, int y) const { return AlphaOf(Get(x, y)) != 0; }

    int w = 0, h = 0;
    std::vector<Colour> px;
};

// Every pixel of the shape set to c.
void Fill(Canvas& c, const Shape& s, Colour colour);
// A cel-shaded part: lit toward the upper left, shaded toward the lower right (bands of
// `depth` pixels), ringed by ink where it borders anything else.
void Paint(Canvas& c, const Shape& s, Colour colour, int depth = 2, bool ink = true);
// The shape filled from colour a at point pa to colour b at pb (linear), or from the centre
// outward (radial, r the outer radius).
void Linear(Canvas& c, const Shape& s, Point pa, Colour a, Point pb, Colour b);
void Radial(Canvas& c, const Shape& s, Point centre, double r, Colour inner, Colour outer);
// Light added (saturating) with a falloff of (1 - d/r)^2 around a point or a segment: the
// glow of additive pictures.
void Glow(Canvas& c, Point centre, double r, Colour colour);
void GlowLine(Canvas& c, Point a, Point b, double r, Colour colour);
// An alpha falloff around a point, over what is there (soft smoke and light for blended
// pictures): alpha and colour move toward the glow's by its strength.
void Soft(Canvas& c, Point centre, double r, Colour colour);

// Calls fn(x, y, dx, dy, d) for every pixel, (dx, dy) its centre's offset from o and d its
// distance: the loop of pictures drawn by distance (rings, bubbles, glows).
void AroundPoint(Canvas& c, Point o, const std::function<void(int x, int y, double dx, double dy, double d)>& fn);

// The 1-px dark outline around every opaque pixel (4-neighbours) of the rectangle.
void Outline(Canvas& c, Colour ink = kInk);
// Opaque pixels t/256 of the way toward colour.
void Tint(Canvas& c, Colour colour, int t);
Canvas Mirrored(const Canvas& c);
// Turned about its centre by angle (clockwise), nearest pixel, same size.
Canvas Rotated(const Canvas& c, double angle);
// Box-filtered (shrinking) or nearest (growing) copy of width x height.
Canvas Resized(const Canvas& c, int width, int height);
Canvas Cut(const Canvas& c, int x, int y, int width, int height);
// The opaque pixels of src over dst at (x, y); Put copies every pixel.
void Stamp(Canvas& dst, const Canvas& src, int x, int y);
void Put(Canvas& dst, const Canvas& src, int x, int y);
// An additive picture's empty pixels: black with alpha 0; lit pixels opaque.
void FinishAdditive(Canvas& c);

// The 5 x 7 pixel font (ASCII; glyphs drawn here), scaled by whole factors, 1 column apart.
int TextWidth(std::string_view text, int sx);
void Text(Canvas& c, int x, int y, std::string_view text, Colour colour, int sx, int sy);
// Text with its ink outline, for labels that must read on any background.
void Label(Canvas& c, int x, int y, std::string_view text, Colour colour, int sx, int sy, Colour ink = kInk);

// A picture of cells: cell (column, row) at (column * cw, row * ch).
struct Sheet {
    Sheet(int columns, int rows, int cw, int ch, Colour empty = kKey)
        : pic(columns * cw, rows * ch, empty), cw(cw), ch(ch) {}
    void Put(int column, int row, const Canvas& cell) { datagen::Put(pic, cell, column * cw, row * ch); }
    Canvas Cell(int column, int row) const { return Cut(pic, column * cw, row * ch, cw, ch); }
    Canvas pic;
    int cw, ch;
};

}  // namespace morna::datagen

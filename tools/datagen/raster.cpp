#include "tools/datagen/raster.h"

#include <algorithm>
#include <cmath>

namespace morna::datagen {
namespace {

int Channel(Colour c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// The pixel rows and columns whose centres a box can hold, cut to the canvas.
struct Span {
    int x0, y0, x1, y1;
};
Span SpanOf(const Canvas& c, double x0, double y0, double x1, double y1, int margin = 0) {
    return {std::max(0, static_cast<int>(std::floor(x0)) - margin), std::max(0, static_cast<int>(std::floor(y0)) - margin),
            std::min(c.w, static_cast<int>(std::ceil(x1)) + margin), std::min(c.h, static_cast<int>(std::ceil(y1)) + margin)};
}

Colour AddLight(Colour base, Colour light, double k) {
    Colour out = base & 0xFF000000u;
    for (int s = 0; s <= 16; s += 8) {
        const int v = Channel(base, s) + static_cast<int>(Channel(light, s) * k + 0.5);
        out |= static_cast<Colour>(std::min(v, 255)) << s;
    }
    return out;
}

// x reduced to [-pi, pi].
double Reduce(double x) { return x - 2 * kPi * std::floor(x / (2 * kPi) + 0.5); }

}  // namespace

Colour Mix(Colour a, Colour b, int t) {
    t = std::clamp(t, 0, 256);
    Colour out = 0;
    for (int s = 0; s <= 24; s += 8) {
        const int v = Channel(a, s) + ((Channel(b, s) - Channel(a, s)) * t) / 256;
        out |= static_cast<Colour>(v) << s;
    }
    return out;
}

double Sin(double x) {
    x = Reduce(x);
    if (x > kPi / 2) x = kPi - x;
    if (x < -kPi / 2) x = -kPi - x;
    // Taylor series on [-pi/2, pi/2]: the last term below 1e-16.
    const double x2 = x * x;
    double term = x, sum = x;
    for (int n = 1; n <= 11; ++n) {
        term = -term * x2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double Cos(double x) { return Sin(x + kPi / 2); }

double AngularWave(double dx, double dy, int n, double phase) {
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0) return Sin(phase);
    // (cos a + i sin a)^n by repeated multiplication.
    double re = 1, im = 0;
    for (int k = 0; k < n; ++k) {
        const double r = re * dx / d - im * dy / d;
        im = re * dy / d + im * dx / d;
        re = r;
    }
    return im * Cos(phase) + re * Sin(phase);
}

Shape Box(double x0, double y0, double x1, double y1) {
    return {x0, y0, x1, y1, [](double, double) { return true; }};
}

Shape Disc(double cx, double cy, double r) {
    return {cx - r, cy - r, cx + r, cy + r, [=](double x, double y) {
                const double dx = x - cx, dy = y - cy;
                return dx * dx + dy * dy <= r * r;
            }};
}

Shape Ellipse(double cx, double cy, double rx, double ry, double angle) {
    const double c = Cos(angle), s = Sin(angle), e = std::max(rx, ry);
    return {cx - e, cy - e, cx + e, cy + e, [=](double x, double y) {
                const double dx = x - cx, dy = y - cy;
                const double u = (dx * c + dy * s) / rx, v = (-dx * s + dy * c) / ry;
                return u * u + v * v <= 1.0;
            }};
}

Shape Ring(double cx, double cy, double inner, double outer) {
    return {cx - outer, cy - outer, cx + outer, cy + outer, [=](double x, double y) {
                const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                return d <= outer * outer && d >= inner * inner;
            }};
}

Shape Polygon(std::vector<Point> p) {
    Shape s{1e9, 1e9, -1e9, -1e9, nullptr};
    for (const Point& q : p) {
        s.x0 = std::min(s.x0, q.x), s.y0 = std::min(s.y0, q.y);
        s.x1 = std::max(s.x1, q.x), s.y1 = std::max(s.y1, q.y);
    }
    s.in = [p = std::move(p)](double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
            if ((p[i].y > y) != (p[j].y > y) && x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
                inside = !inside;
        }
        return inside;
    };
    return s;
}

Shape Star(double cx, double cy, double outer, double inner, int points, double angle) {
    std::vector<Point> p;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = angle - kPi / 2 + i * kPi / points, r = (i % 2) ? inner : outer;
        p.push_back({cx + r * Cos(a), cy + r * Sin(a)});
    }
    return Polygon(std::move(p));
}

Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
    return {x0, y0, x1, y1, [=](double x, double y) {
                const double dx = std::max({x0 + r - x, 0.0, x - (x1 - r)});
                const double dy = std::max({y0 + r - y, 0.0, y - (y1 - r)});
                return dx * dx + dy * dy <= r * r;
            }};
}

Shape Capsule(Point a, Point b, double r) {
    const double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
    return {std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r,
            [=](double x, double y) {
                double t = len2 > 0 ? ((x - a.x) * vx + (y - a.y) * vy) / len2 : 0;
                t = std::clamp(t, 0.0, 1.0);
                const double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
                return dx * dx + dy * dy <= r * r;
            }};
}

Shape Union(Shape a, Shape b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1),
            [a, b](double x, double y) { return a.Contains(x, y) || b.Contains(x, y); }};
}

Shape Minus(Shape a, Shape b) {
    return {a.x0, a.y0, a.x1, a.y1, [a, b](double x, double y) { return a.Contains(x, y) && !b.Contains(x, y); }};
}

Shape Intersect(Shape a, Shape b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1),
            [a, b](double x, double y) { return a.Contains(x, y) && b.Contains(x, y); }};
}

Shape Turned(Shape s, Point o, double angle) {
    const double c = Cos(angle), sn = Sin(angle);
    Shape t{1e9, 1e9, -1e9, -1e9, nullptr};
    for (const Point& q : {Point{s.x0, s.y0}, Point{s.x1, s.y0}, Point{s.x0, s.y1}, Point{s.x1, s.y1}}) {
        const double x = o.x + (q.x - o.x) * c - (q.y - o.y) * sn, y = o.y + (q.x - o.x) * sn + (q.y - o.y) * c;
        t.x0 = std::min(t.x0, x), t.y0 = std::min(t.y0, y), t.x1 = std::max(t.x1, x), t.y1 = std::max(t.y1, y);
    }
    t.in = [s, o, c, sn](double x, double y) {
        const double dx = x - o.x, dy = y - o.y;
        return s.Contains(o.x + dx * c + dy * sn, o.y - dx * sn + dy * c);
    };
    return t;
}

Shape Moved(Shape s, double dx, double dy) {
    return {s.x0 + dx, s.y0 + dy, s.x1 + dx, s.y1 + dy, [s, dx, dy](double x, double y) { return s.Contains(x - dx, y - dy); }};
}

Shape Scaled(Shape s, Point o, double sx, double sy) {
    const double ax = o.x + (s.x0 - o.x) * sx, bx = o.x + (s.x1 - o.x) * sx;
    const double ay = o.y + (s.y0 - o.y) * sy, by = o.y + (s.y1 - o.y) * sy;
    return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by),
            [s, o, sx, sy](double x, double y) { return s.Contains(o.x + (x - o.x) / sx, o.y + (y - o.y) / sy); }};
}

void Fill(Canvas& c, const Shape& s, Colour colour) {
    const Span b = SpanOf(c, s.x0, s.y0, s.x1, s.y1);
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x)
            if (s.Contains(x + 0.5, y + 0.5)) c.px[size_t(y) * c.w + x] = colour;
}

void Paint(Canvas& c, const Shape& s, Colour colour, int depth, bool ink) {
    depth = std::max(depth, 1);
    const int m = depth + 1;
    const Span b = SpanOf(c, s.x0, s.y0, s.x1, s.y1, 1);
    // The shape's pixels over the span and a margin that the shading looks into.
    const int mw = b.x1 - b.x0 + 2 * m, mh = b.y1 - b.y0 + 2 * m;
    if (mw <= 2 * m || mh <= 2 * m) return;
    std::vector<uint8_t> mask(size_t(mw) * mh);
    for (int y = 0; y < mh; ++y)
        for (int x = 0; x < mw; ++x) mask[size_t(y) * mw + x] = s.Contains(b.x0 - m + x + 0.5, b.y0 - m + y + 0.5);
    auto at = [&](int x, int y) { return mask[size_t(y - b.y0 + m) * mw + (x - b.x0 + m)] != 0; };
    const Colour light = Lighter(colour, 80), shade = Darker(colour, 60), deep = Darker(colour, 110);
    const int half = std::max(1, depth / 2);
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x) {
            if (at(x, y)) {
                Colour v = colour;
                if (!at(x + half, y + half)) v = deep;
                else if (!at(x + depth, y + depth)) v = shade;
                else if (!at(x - depth, y - depth)) v = light;
                c.px[size_t(y) * c.w + x] = v;
            } else if (ink && (at(x - 1, y) || at(x + 1, y) || at(x, y - 1) || at(x, y + 1))) {
                c.px[size_t(y) * c.w + x] = kInk;
            }
        }
}

void Linear(Canvas& c, const Shape& s, Point pa, Colour a, Point pb, Colour b) {
    const double vx = pb.x - pa.x, vy = pb.y - pa.y, len2 = std::max(vx * vx + vy * vy, 1e-9);
    const Span sp = SpanOf(c, s.x0, s.y0, s.x1, s.y1);
    for (int y = sp.y0; y < sp.y1; ++y)
        for (int x = sp.x0; x < sp.x1; ++x) {
            if (!s.Contains(x + 0.5, y + 0.5)) continue;
            const double t = std::clamp(((x + 0.5 - pa.x) * vx + (y + 0.5 - pa.y) * vy) / len2, 0.0, 1.0);
            c.px[size_t(y) * c.w + x] = Mix(a, b, static_cast<int>(t * 256));
        }
}

void Radial(Canvas& c, const Shape& s, Point o, double r, Colour inner, Colour outer) {
    const Span sp = SpanOf(c, s.x0, s.y0, s.x1, s.y1);
    for (int y = sp.y0; y < sp.y1; ++y)
        for (int x = sp.x0; x < sp.x1; ++x) {
            if (!s.Contains(x + 0.5, y + 0.5)) continue;
            const double dx = x + 0.5 - o.x, dy = y + 0.5 - o.y;
            const double t = std::min(std::sqrt(dx * dx + dy * dy) / r, 1.0);
            c.px[size_t(y) * c.w + x] = Mix(inner, outer, static_cast<int>(t * 256));
        }
}

namespace {
template <class Distance>
void AddFalloff(Canvas& c, double x0, double y0, double x1, double y1, double r, Colour colour, Distance dist) {
    const Span sp = SpanOf(c, x0 - r, y0 - r, x1 + r, y1 + r);
    for (int y = sp.y0; y < sp.y1; ++y)
        for (int x = sp.x0; x < sp.x1; ++x) {
            const double d = dist(x + 0.5, y + 0.5);
            if (d >= r) continue;
            const double k = (1 - d / r) * (1 - d / r);
            Colour& p = c.px[size_t(y) * c.w + x];
            p = AddLight(p, colour, k);
        }
}
}  // namespace

void Glow(Canvas& c, Point o, double r, Colour colour) {
    AddFalloff(c, o.x, o.y, o.x, o.y, r, colour, [&](double x, double y) {
        return std::sqrt((x - o.x) * (x - o.x) + (y - o.y) * (y - o.y));
    });
}

void GlowLine(Canvas& c, Point a, Point b, double r, Colour colour) {
    const double vx = b.x - a.x, vy = b.y - a.y, len2 = std::max(vx * vx + vy * vy, 1e-9);
    AddFalloff(c, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y), r, colour,
               [&](double x, double y) {
                   const double t = std::clamp(((x - a.x) * vx + (y - a.y) * vy) / len2, 0.0, 1.0);
                   const double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
                   return std::sqrt(dx * dx + dy * dy);
               });
}

void Soft(Canvas& c, Point o, double r, Colour colour) {
    const Span sp = SpanOf(c, o.x - r, o.y - r, o.x + r, o.y + r);
    for (int y = sp.y0; y < sp.y1; ++y)
        for (int x = sp.x0; x < sp.x1; ++x) {
            const double dx = x + 0.5 - o.x, dy = y + 0.5 - o.y, d = std::sqrt(dx * dx + dy * dy);
            if (d >= r) continue;
            const int k = static_cast<int>((1 - d / r) * AlphaOf(colour));
            if (k == 0) continue;  // an empty pixel stays the key colour
            Colour& p = c.px[size_t(y) * c.w + x];
            const int a = AlphaOf(p);
            const Colour rgb = a == 0 ? colour : Mix(p, colour, k);
            p = WithAlpha(rgb, std::min(255, a + k * (255 - a) / 255));
        }
}

void AroundPoint(Canvas& c, Point o, const std::function<void(int, int, double, double, double)>& fn) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const double dx = x + 0.5 - o.x, dy = y + 0.5 - o.y;
            fn(x, y, dx, dy, std::sqrt(dx * dx + dy * dy));
        }
}

void Outline(Canvas& c, Colour ink) {
    Canvas src = c;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (!src.Solid(x, y) && (src.Solid(x - 1, y) || src.Solid(x + 1, y) || src.Solid(x, y - 1) || src.Solid(x, y + 1)))
                c.px[size_t(y) * c.w + x] = ink;
}

void Tint(Canvas& c, Colour colour, int t) {
    for (Colour& p : c.px)
        if (AlphaOf(p) != 0) p = WithAlpha(Mix(p, colour, t), AlphaOf(p));
}

Canvas Mirrored(const Canvas& c) {
    Canvas m(c.w, c.h);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) m.px[size_t(y) * c.w + x] = c.px[size_t(y) * c.w + (c.w - 1 - x)];
    return m;
}

Canvas Rotated(const Canvas& c, double angle) {
    Canvas r(c.w, c.h, c.px.empty() ? kKey : (AlphaOf(c.px[0]) == 0 ? c.px[0] : kKey));
    const double co = Cos(angle), si = Sin(angle), cx = c.w / 2.0, cy = c.h / 2.0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const int sx = static_cast<int>(std::floor(cx + dx * co + dy * si));
            const int sy = static_cast<int>(std::floor(cy - dx * si + dy * co));
            if (c.Inside(sx, sy)) r.px[size_t(y) * c.w + x] = c.px[size_t(sy) * c.w + sx];
        }
    return r;
}

Canvas Resized(const Canvas& c, int w, int h) {
    Canvas r(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx0 = x * c.w / w, sy0 = y * c.h / h;
            const int sx1 = std::max(sx0 + 1, (x + 1) * c.w / w), sy1 = std::max(sy0 + 1, (y + 1) * c.h / h);
            uint64_t sum[4] = {0, 0, 0, 0}, n = 0;
            for (int v = sy0; v < sy1; ++v)
                for (int u = sx0; u < sx1; ++u) {
                    const Colour p = c.px[size_t(v) * c.w + u];
                    for (int k = 0; k < 4; ++k) sum[k] += (p >> (8 * k)) & 0xFF;
                    ++n;
                }
            Colour out = 0;
            for (int k = 0; k < 4; ++k) out |= static_cast<Colour>(sum[k] / n) << (8 * k);
            r.px[size_t(y) * w + x] = out;
        }
    return r;
}

Canvas Cut(const Canvas& c, int x, int y, int w, int h) {
    Canvas r(w, h);
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) r.px[size_t(v) * w + u] = c.Get(x + u, y + v);
    return r;
}

void Stamp(Canvas& dst, const Canvas& src, int x, int y) {
    for (int v = 0; v < src.h; ++v)
        for (int u = 0; u < src.w; ++u)
            if (src.Solid(u, v)) dst.Set(x + u, y + v, src.px[size_t(v) * src.w + u]);
}

void Put(Canvas& dst, const Canvas& src, int x, int y) {
    for (int v = 0; v < src.h; ++v)
        for (int u = 0; u < src.w; ++u) dst.Set(x + u, y + v, src.px[size_t(v) * src.w + u]);
}

void FinishAdditive(Canvas& c) {
    for (Colour& p : c.px) p = (p & 0x00FFFFFFu) == 0 ? kDark : (p | 0xFF000000u);
}

}  // namespace morna::datagen

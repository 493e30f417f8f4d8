#include "tools/datagen/pictures.h"

namespace morna::datagen {

Canvas Cells(int columns, int rows, int cw, int ch, const std::function<Canvas(int, int)>& cell, Colour empty) {
    Sheet sheet(columns, rows, cw, ch, empty);
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < columns; ++k) sheet.Put(k, r, cell(k, r));
    return sheet.pic;
}

Canvas FacingRows(int columns, int cw, int ch, const std::function<Canvas(int)>& draw) {
    Sheet sheet(columns, 2, cw, ch);
    for (int k = 0; k < columns; ++k) {
        const Canvas c = draw(k);
        sheet.Put(k, 0, c);
        sheet.Put(k, 1, Mirrored(c));
    }
    return sheet.pic;
}

Canvas HurtRows(int columns, int cw, int ch, const std::function<Canvas(int)>& draw) {
    Sheet sheet(columns, 4, cw, ch);
    for (int k = 0; k < columns; ++k) {
        const Canvas c = draw(k);
        sheet.Put(k, 0, c);
        sheet.Put(k, 1, Hurt(c));
        sheet.Put(k, 2, Mirrored(c));
        sheet.Put(k, 3, Hurt(Mirrored(c)));
    }
    return sheet.pic;
}

Canvas Hurt(const Canvas& cell) {
    Canvas c = cell;
    for (Colour& p : c.px)
        if (AlphaOf(p) != 0 && p != kInk) p = WithAlpha(Mix(p, 0xFFFFFFFFu, 128), AlphaOf(p));
    return c;
}

void Eye(Canvas& c, double x, double y, double r, double lx, double ly, Colour iris) {
    Fill(c, Disc(x, y, r + 1), kInk);
    Fill(c, Disc(x, y, r), 0xFFFFFFFFu);
    const double p = r * 0.55;
    Fill(c, Disc(x + lx * (r - p) * 0.8, y + ly * (r - p) * 0.8, p), iris);
    if (r >= 3) Fill(c, Disc(x + lx * (r - p) * 0.8 - p * 0.35, y + ly * (r - p) * 0.8 - p * 0.35, std::max(0.8, p * 0.35)), 0xFFFFFFFFu);
}

void Brow(Canvas& c, double x0, double y0, double x1, double y1, double width) {
    Fill(c, Capsule({x0, y0}, {x1, y1}, width), kInk);
}

void Sparkle(Canvas& c, double x, double y, double r, Colour colour) {
    GlowLine(c, {x - r, y}, {x + r, y}, r * 0.25 + 1, colour);
    GlowLine(c, {x, y - r}, {x, y + r}, r * 0.25 + 1, colour);
    Glow(c, {x, y}, r * 0.6 + 1, colour);
}

}  // namespace morna::datagen

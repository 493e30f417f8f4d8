#pragma once
// What the recipe groups share: sheets of cells, the conventions of the sprites (exact
// mirrors for the other facing, hurt cells tinted halfway to white, outlines), eyes, and
// the palette of each world.
#include <functional>

#include "tools/datagen/raster.h"

namespace morna::datagen {

// Palettes: stage 0 greens and browns, stage 1 steel blue and orange, stage 2 pinks and
// creams, stage 3 ice blue and white; boss helpers purple; shots bright with a coloured rim.
namespace palette {
constexpr Colour kLeaf = 0xFF4CB04Au, kMoss = 0xFF2E7D3Au, kBark = 0xFF8A5A32u, kSoil = 0xFF6B4A2Eu;
constexpr Colour kSteel = 0xFF5A7CA8u, kIron = 0xFF3E5068u, kEmber = 0xFFF08A24u, kRust = 0xFFB85A1Eu;
constexpr Colour kPink = 0xFFF28CB8u, kCream = 0xFFFFEBC4u, kBerry = 0xFFD2406Eu, kCocoa = 0xFF8C5A3Cu;
constexpr Colour kIce = 0xFF8FD8F8u, kSnow = 0xFFF4FAFFu, kFrost = 0xFF4A9BD8u, kGlacier = 0xFF2C6CB0u;
constexpr Colour kHelper = 0xFF9A5AD0u, kHelperDark = 0xFF5E3490u;
constexpr Colour kSkin = 0xFFF6CFA6u, kWhite = 0xFFFFFFFFu, kGold = 0xFFFFD040u, kRed = 0xFFE23C3Cu;
constexpr Colour kSky = 0xFF3C78E0u, kNavy = 0xFF243C7Cu, kScarf = 0xFFE8343Cu;
}  // namespace palette

// A sheet of columns x rows cells, each drawn by cell(column, row).
Canvas Cells(int columns, int rows, int cw, int ch, const std::function<Canvas(int column, int row)>& cell,
             Colour empty = kKey);
// Two rows: the cells of draw(column) facing left, then their exact mirrors.
Canvas FacingRows(int columns, int cw, int ch, const std::function<Canvas(int column)>& draw);
// Four rows of draw(column): as drawn, hurt, mirrored, mirrored and hurt.
Canvas HurtRows(int columns, int cw, int ch, const std::function<Canvas(int column)>& draw);
// The cell tinted halfway toward white: the hurt look.
Canvas Hurt(const Canvas& cell);
// An eye looking along (lx, ly) (unit-ish): white, ringed, with a dark pupil and a glint.
void Eye(Canvas& c, double x, double y, double r, double lx = -1, double ly = 0, Colour iris = 0xFF202030u);
// An angry brow or a closed eye line.
void Brow(Canvas& c, double x0, double y0, double x1, double y1, double width = 1.2);
// The boar knight's golem thrown as a block: row 0 stretched, row 1 curled up.
Canvas ThrownGolem(int frame, bool curled);
// A sparkle of four rays (additive pictures).
void Sparkle(Canvas& c, double x, double y, double r, Colour colour);

}  // namespace morna::datagen

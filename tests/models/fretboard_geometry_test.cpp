#include "models/fretboard_geometry.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace fretlets {
namespace {

using Hit = CellRects::Hit;

// A guitar's fretboard area of 124 x 212 pixels with a 16-pixel character:
// margins of 20 and 24, strings 16 apart, frets 32 apart, cells of 8.
TEST(FretboardGeometry, SpreadsTheStringsAndFretsOverTheArea) {
  const FretboardGeometry g = computeFretboardGeometry({0, 0, 124, 212}, 6, 16);
  EXPECT_EQ(g.xLeft, 20);
  EXPECT_EQ(g.xRight, 104);
  EXPECT_EQ(g.yTop, 24);
  EXPECT_EQ(g.yBottom, 188);
  EXPECT_EQ(g.stringSpacing, 16);
  EXPECT_EQ(g.fretSpacing, 32);
  const CellRects cells(g, 6);
  EXPECT_EQ(cells.cell(0, 0), (PixelRect{16, 0, 24, 8}));
  EXPECT_EQ(cells.cell(2, 3), (PixelRect{64, 64, 72, 72}));
  EXPECT_EQ(cells.cell(5, 5), (PixelRect{96, 160, 104, 168}));

  // Three strings share the same width: the margins grow, the spacing too.
  const FretboardGeometry saz = computeFretboardGeometry({0, 0, 124, 212}, 3, 16);
  EXPECT_EQ(saz.xLeft, 41);
  EXPECT_EQ(saz.stringSpacing, 21);
  EXPECT_EQ(saz.xLeft + 2 * saz.stringSpacing, 83);
}

TEST(FretboardGeometry, AHitIncludesACellsLeftAndTopEdgesOnly) {
  const CellRects cells(computeFretboardGeometry({0, 0, 124, 212}, 6, 16), 6);
  struct Press {
    int x;
    int y;
    std::optional<Hit> hit;
  };
  const std::vector<Press> presses{{16, 0, Hit{0, 0}},       {23, 7, Hit{0, 0}},
                                   {24, 0, std::nullopt},    {15, 0, std::nullopt},
                                   {16, 8, std::nullopt},    {30, 36, std::nullopt},
                                   {64, 64, Hit{2, 3}},      {103, 167, Hit{5, 5}},
                                   {100, 170, std::nullopt}, {-5, -5, std::nullopt}};
  for (const Press& p : presses) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_EQ(cells.hitTest(p.x, p.y), p.hit);
  }
  // Strings the instrument lacks have no cells.
  const CellRects saz(computeFretboardGeometry({0, 0, 124, 212}, 3, 16), 3);
  EXPECT_EQ(saz.hitTest(96 + 4, 160 + 4), std::nullopt);
}

}  // namespace
}  // namespace fretlets

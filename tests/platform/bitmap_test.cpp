// Bitmap storage, pixel access and canvas drawing: layouts, clipping, ellipse shapes, copies.
#include "platform/bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

using platform::Bitmap;
using platform::Color;
using platform::MakeColor;

constexpr Color kInk = MakeColor(200, 100, 50);

// The bitmap as rows of '#' (ink) and '.' (anything else): failures show the shape.
std::string Picture(const Bitmap& b, Color ink = kInk) {
  std::string s;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) s += b.Pixel(x, y) == ink ? '#' : '.';
    s += '\n';
  }
  return s;
}

std::string PictureOf(int w, int h, const std::function<bool(int, int)>& inside) {
  std::string s;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s += inside(x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

// A w x h window of a bigger picture, starting at (left, top).
std::string Crop(const std::string& picture, int bigWidth, int left, int top, int w, int h) {
  std::string s;
  for (int y = 0; y < h; ++y) s += picture.substr((top + y) * (bigWidth + 1) + left, w) + '\n';
  return s;
}

TEST(Bitmap, CreateAcceptsOnlyTheTwoDepthsAndSaneSizes) {
  // clang-format off
  const struct {
    int w, h, bits;
    bool ok;
  } cases[] = {
    {4, 3, 24, true},  {4, 3, 32, true},    {1, 1, 24, true},   {16384, 1, 24, true},
    {4, 3, 16, false}, {4, 3, 8, false},    {-1, 3, 24, false}, {4, -3, 24, false},
    {16385, 1, 24, false}, {1, INT_MAX, 32, false},
  };
  // clang-format on
  for (const auto& c : cases) {
    Bitmap b(2, 2, 24);
    EXPECT_EQ(b.Create(c.w, c.h, c.bits), c.ok) << c.w << "x" << c.h << "x" << c.bits;
    if (c.ok) {
      EXPECT_EQ(b.Width(), c.w);
      EXPECT_EQ(b.Bits(), c.bits);
      EXPECT_EQ(b.Pixel(0, 0), 0u) << "new bitmaps are black";
    } else {
      EXPECT_EQ(b.Width(), 2) << "a refused Create leaves the bitmap as it was";
    }
  }
  Bitmap empty(0, 5, 24);
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.Scanline(0), nullptr);
}

TEST(Bitmap, PixelsAreStoredBlueGreenRedAndReadBackAsTheGameColour) {
  for (const int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    Bitmap b(3, 2, bits);
    b.SetPixel(1, 1, MakeColor(0x11, 0x22, 0x33));
    EXPECT_EQ(b.Pixel(1, 1), 0x00332211u);
    const std::uint8_t* p = b.Scanline(1) + bits / 8;
    EXPECT_EQ(p[0], 0x33);  // blue first, as BMP files store it
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    if (bits == 32) {
      EXPECT_EQ(p[3], 0xFF) << "drawn pixels are opaque";
    }
    EXPECT_GE(b.Pitch(), 3 * bits / 8);
    EXPECT_EQ(b.Scanline(1) - b.Scanline(0), b.Pitch());
  }
}

TEST(Bitmap, OutOfRangePixelsReadZeroAndIgnoreWrites) {
  Bitmap b(4, 3, 24);
  b.FillRect(0, 0, 4, 3, kInk);
  const std::string before = Picture(b);
  const int points[][2] = {{-1, 0}, {4, 0}, {0, -1}, {0, 3}, {INT_MIN, INT_MIN}, {INT_MAX, 1}};
  for (const auto& p : points) {
    EXPECT_EQ(b.Pixel(p[0], p[1]), 0u) << p[0] << "," << p[1];
    b.SetPixel(p[0], p[1], MakeColor(1, 2, 3));
  }
  EXPECT_EQ(Picture(b), before);
  EXPECT_EQ(b.Scanline(-1), nullptr);
  EXPECT_EQ(b.Scanline(3), nullptr);
}

TEST(Bitmap, FillRectCoversTheHalfOpenRectangleClippedToTheBitmap) {
  // clang-format off
  const struct {
    int x1, y1, x2, y2;
    int left, top, right, bottom;  // expected pixels [left, right) x [top, bottom)
  } cases[] = {
    {1, 1, 3, 2, 1, 1, 3, 2},          // right and bottom edges excluded
    {3, 2, 1, 1, 1, 1, 3, 2},          // corners in any order
    {-5, -5, 2, 2, 0, 0, 2, 2},        // clipped at the top-left
    {4, 3, 99, 99, 4, 3, 6, 5},        // clipped at the bottom-right
    {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 6, 5},
    {2, 2, 2, 4, 0, 0, 0, 0},          // zero width
    {7, 0, 9, 5, 0, 0, 0, 0},          // wholly outside
  };
  // clang-format on
  for (const auto& c : cases) {
    Bitmap b(6, 5, 24);
    b.FillRect(c.x1, c.y1, c.x2, c.y2, kInk);
    EXPECT_EQ(Picture(b), PictureOf(6, 5,
                                    [&](int x, int y) {
                                      return x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                                    }))
        << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
  }
}

// The world's detail-level disc: bounding rectangle (V, V)-(3V+1, 3V+1) in a 4V bitmap
// covers exactly (i - 2V)^2 + (j - 2V)^2 <= (V + 0.5)^2.
TEST(Bitmap, FilledEllipseIsTheDetailLevelDisc) {
  for (const int v : {1, 2, 3, 5, 8, 13}) {
    Bitmap b(4 * v, 4 * v, 24);
    b.FillEllipse(v, v, 3 * v + 1, 3 * v + 1, kInk);
    EXPECT_EQ(Picture(b), PictureOf(4 * v, 4 * v,
                                    [&](int i, int j) {
                                      return 4 * ((i - 2 * v) * (i - 2 * v) + (j - 2 * v) * (j - 2 * v)) <=
                                             (2 * v + 1) * (2 * v + 1);
                                    }))
        << "V = " << v;
  }
}

// The grass mask: bounding rectangle (0, 0)-(2G-1, 2G-1) in a 2G bitmap covers exactly
// (a - G + 1)^2 + (b - G + 1)^2 <= (G - 0.5)^2; the last row and column stay clear.
TEST(Bitmap, FilledEllipseIsTheGrassMaskDisc) {
  for (const int g : {1, 2, 3, 4, 7, 25}) {
    Bitmap b(2 * g, 2 * g, 32);
    b.FillEllipse(0, 0, 2 * g - 1, 2 * g - 1, kInk);
    EXPECT_EQ(Picture(b), PictureOf(2 * g, 2 * g,
                                    [&](int a, int c) {
                                      return 4 * ((a - g + 1) * (a - g + 1) + (c - g + 1) * (c - g + 1)) <=
                                             (2 * g - 1) * (2 * g - 1);
                                    }))
        << "G = " << g;
  }
}

TEST(Bitmap, EllipseInAPanelCornerLeavesTheCornersOut) {
  Bitmap b(10, 10, 24);
  b.FillRect(0, 0, 10, 10, MakeColor(128, 0, 0));
  b.FillEllipse(0, 0, 10, 10, MakeColor(192, 192, 192));
  EXPECT_EQ(Picture(b, MakeColor(192, 192, 192)),
            "...####...\n"
            ".########.\n"
            ".########.\n"
            "##########\n"
            "##########\n"
            "##########\n"
            "##########\n"
            ".########.\n"
            ".########.\n"
            "...####...\n");
}

TEST(Bitmap, ClippedEllipsesAreTheVisiblePartOfTheWholeOne) {
  // Each rectangle is drawn into a 6 x 5 bitmap and, shifted by (20, 20), into one
  // big enough for all of it; the small picture must be the big one's window.
  const int rects[][4] = {{-7, -3, 9, 11}, {2, -10, 30, 3}, {5, 4, -4, -6}, {-100, 1, 100, 4}};
  for (const auto& r : rects) {
    for (const bool outline : {false, true}) {
      Bitmap small(6, 5, 24), big(150, 50, 24);
      if (outline) {
        small.OutlineEllipse(r[0], r[1], r[2], r[3], kInk);
        big.OutlineEllipse(r[0] + 20, r[1] + 20, r[2] + 20, r[3] + 20, kInk);
      } else {
        small.FillEllipse(r[0], r[1], r[2], r[3], kInk);
        big.FillEllipse(r[0] + 20, r[1] + 20, r[2] + 20, r[3] + 20, kInk);
      }
      EXPECT_EQ(Picture(small), Crop(Picture(big), 150, 20, 20, 6, 5))
          << (outline ? "outline " : "fill ") << r[0] << "," << r[1] << " - " << r[2] << "," << r[3];
    }
  }
}

TEST(Bitmap, OutlineIsTheBorderOfTheFilledEllipse) {
  const int sizes[][2] = {{1, 1}, {3, 3}, {5, 3}, {2, 5}, {9, 9}, {31, 7}, {40, 40}};
  for (const auto& s : sizes) {
    const int w = s[0], h = s[1];
    Bitmap filled(w + 2, h + 2, 24), outline(w + 2, h + 2, 24);
    filled.FillEllipse(1, 1, w + 1, h + 1, kInk);
    outline.OutlineEllipse(1, 1, w + 1, h + 1, kInk);
    const auto in = [&](int x, int y) { return filled.Pixel(x, y) == kInk; };
    // Border: inside, with a left, right, upper or lower neighbour outside.
    EXPECT_EQ(Picture(outline),
              PictureOf(w + 2, h + 2,
                        [&](int x, int y) {
                          return in(x, y) && !(in(x - 1, y) && in(x + 1, y) && in(x, y - 1) && in(x, y + 1));
                        }))
        << w << "x" << h;
  }
}

TEST(Bitmap, EllipsesIgnoreEmptyAndAbsurdRectangles) {
  Bitmap b(8, 8, 24);
  b.FillEllipse(2, 2, 2, 6, kInk);
  b.OutlineEllipse(2, 2, 6, 2, kInk);
  b.FillEllipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kInk);
  b.OutlineEllipse(INT_MIN, 0, INT_MAX, 8, kInk);
  EXPECT_EQ(Picture(b), PictureOf(8, 8, [](int, int) { return false; }));
}

TEST(Bitmap, LargeOutlinesStayOneRingWide) {
  // The cover noise draws outlines far wider than the bitmap: only the ring shows.
  Bitmap b(64, 64, 24);
  b.OutlineEllipse(-200, 10, 264, 54, kInk);
  for (int x = 0; x < 64; ++x) {
    EXPECT_EQ(b.Pixel(x, 32), 0u) << x;  // the middle row is inside, not on the ring
    EXPECT_EQ(b.Pixel(x, 10), kInk) << x;
    EXPECT_EQ(b.Pixel(x, 53), kInk) << x;
  }
}

Bitmap Numbered(int w, int h, int bits) {
  Bitmap b(w, h, bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, MakeColor(x * 10 + 1, y * 10 + 1, 7));
  return b;
}

TEST(Bitmap, CopyRectStretchesByNearestPixel) {
  const Bitmap source = Numbered(2, 2, 24);
  Bitmap b(4, 4, 32);
  b.StretchDraw(0, 0, 4, 4, source);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Pixel(x, y), source.Pixel(x / 2, y / 2)) << x << "," << y;
  EXPECT_EQ(b.Scanline(3)[3 * 4 + 3], 0xFF) << "24-bit pixels arrive opaque";

  const Bitmap large = Numbered(8, 4, 32);
  Bitmap half(4, 2, 24);
  half.StretchDraw(0, 0, 4, 2, large);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(half.Pixel(x, y), large.Pixel(2 * x + 1, 2 * y + 1)) << x << "," << y;
}

TEST(Bitmap, CopyRectCopiesQuartersAndClips) {
  const Bitmap source = Numbered(10, 10, 24);
  Bitmap corner(5, 5, 24);
  corner.CopyRect(0, 0, 5, 5, source, 5, 5, 10, 10);  // the bottom-right quarter
  EXPECT_EQ(corner.Pixel(0, 0), source.Pixel(5, 5));
  EXPECT_EQ(corner.Pixel(4, 4), source.Pixel(9, 9));

  Bitmap clipped(4, 4, 24);
  clipped.Draw(-2, 1, Numbered(4, 4, 24));  // partly off the left edge
  EXPECT_EQ(clipped.Pixel(0, 1), MakeColor(21, 1, 7));
  EXPECT_EQ(clipped.Pixel(1, 3), MakeColor(31, 21, 7));
  EXPECT_EQ(clipped.Pixel(2, 1), 0u);
  EXPECT_EQ(clipped.Pixel(0, 0), 0u);

  Bitmap beyond(3, 3, 24);
  beyond.CopyRect(0, 0, 3, 3, Numbered(2, 2, 24), 0, 0, 3, 3);  // source rectangle reaches past its bitmap
  EXPECT_EQ(beyond.Pixel(1, 1), MakeColor(11, 11, 7));
  EXPECT_EQ(beyond.Pixel(2, 2), 0u) << "source pixels that do not exist are skipped";
}

TEST(Bitmap, CopyRectWithinOneBitmapReadsTheOriginal) {
  Bitmap b = Numbered(4, 1, 24);
  const Bitmap original = b;
  b.CopyRect(1, 0, 4, 1, b, 0, 0, 3, 1);  // shift right by one over itself
  EXPECT_EQ(b.Pixel(0, 0), original.Pixel(0, 0));
  for (int x = 1; x < 4; ++x) EXPECT_EQ(b.Pixel(x, 0), original.Pixel(x - 1, 0)) << x;
}

TEST(Bitmap, CopiesAreDeepAndMovesEmptyTheSource) {
  Bitmap a = Numbered(3, 3, 32);
  Bitmap copy(a);
  copy.SetPixel(0, 0, kInk);
  EXPECT_NE(a.Pixel(0, 0), kInk);
  Bitmap assigned;
  assigned = a;
  assigned = assigned;  // self-assignment keeps the picture
  EXPECT_EQ(assigned.Pixel(2, 2), a.Pixel(2, 2));
  EXPECT_EQ(assigned.Bits(), 32);
  Bitmap moved(std::move(a));
  EXPECT_TRUE(a.Empty());  // NOLINT(bugprone-use-after-move): moved-from state is part of the contract
  EXPECT_EQ(moved.Width(), 3);
}

TEST(Bitmap, ResizeKeepsTheTopLeftAndTheDepth) {
  Bitmap b = Numbered(3, 2, 32);
  const Bitmap original = b;
  ASSERT_TRUE(b.Resize(5, 1));
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Height(), 1);
  EXPECT_EQ(b.Bits(), 32);
  EXPECT_EQ(b.Pixel(2, 0), original.Pixel(2, 0));
  EXPECT_EQ(b.Pixel(3, 0), 0u);
  EXPECT_FALSE(b.Resize(-1, 4));
  EXPECT_EQ(b.Width(), 5);
  ASSERT_TRUE(b.Resize(0, 0));
  EXPECT_TRUE(b.Empty());
}

}  // namespace

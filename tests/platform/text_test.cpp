// Text on bitmaps through the font cache: where the ink lands, Czech letters, bold, errors.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "platform/bitmap.h"
#include "platform/fonts.h"

namespace {

using platform::Bitmap;
using platform::FontCache;
using platform::MakeColor;

constexpr platform::Color kPaper = MakeColor(255, 255, 255);
constexpr platform::Color kInk = MakeColor(0, 0, 128);

struct Box {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;  // inked pixels, closed bounds
  int count = 0;
};

Box InkBox(const Bitmap& b, platform::Color background) {
  Box box;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (b.Pixel(x, y) == background) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
      ++box.count;
    }
  }
  return box;
}

Bitmap Paper(int w, int h, int bits = 24) {
  Bitmap b(w, h, bits);
  b.FillRect(0, 0, w, h, kPaper);
  return b;
}

TEST(Fonts, TheGameTypefaceIsInstalled) {
  EXPECT_FALSE(platform::FindDejaVuSans(false).empty());
  EXPECT_FALSE(platform::FindDejaVuSans(true).empty());
  FontCache fonts;
  EXPECT_TRUE(fonts.Ready());
  EXPECT_EQ(fonts.Font(16, false), fonts.Font(16, false)) << "opened once, then cached";
  EXPECT_NE(fonts.Font(16, false), fonts.Font(16, true));
}

TEST(Fonts, CachesMayComeAndGoIndependently) {
  auto outer = std::make_unique<FontCache>();
  {
    FontCache inner;
    EXPECT_GT(inner.TextWidth("Hello", 16, false), 0);
  }
  EXPECT_GT(outer->TextWidth("Hello", 16, true), 0) << "the font engine outlives the inner cache";
}

TEST(Text, InkLandsInsideTheTextBoxAtThePosition) {
  FontCache fonts;
  for (const bool bold : {false, true}) {
    SCOPED_TRACE(bold);
    Bitmap b = Paper(200, 40);
    ASSERT_TRUE(b.DrawText(10, 5, "Morvane 1/2", kInk, fonts, 16, bold));
    const int w = fonts.TextWidth("Morvane 1/2", 16, bold);
    const int h = fonts.TextHeight("Morvane 1/2", 16, bold);
    const Box box = InkBox(b, kPaper);
    ASSERT_GT(box.count, 50);
    EXPECT_GE(box.left, 10);
    EXPECT_LT(box.right, 10 + w);
    EXPECT_GE(box.top, 5);
    EXPECT_LT(box.bottom, 5 + h);
    EXPECT_LT(box.left, 10 + 3) << "the first glyph starts at the position";
    EXPECT_GT(box.right, 10 + w * 3 / 4) << "the ink spans the measured width";
  }
}

TEST(Text, ThickStrokesGetTheFullInkColour) {
  FontCache fonts;
  Bitmap b = Paper(60, 60);
  ASSERT_TRUE(b.DrawText(0, 0, "I", kInk, fonts, 48, true));
  int solid = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) solid += b.Pixel(x, y) == kInk;
  EXPECT_GT(solid, 100) << "blended edges, but a solid stroke inside";
}

TEST(Text, CzechLettersRenderWithTheirAccents) {
  FontCache fonts;
  EXPECT_GT(fonts.TextWidth("Ř", 20, false), 0);
  // Ř is R with a caron: same foot, ink higher up.
  Bitmap plain = Paper(40, 40), caron = Paper(40, 40);
  ASSERT_TRUE(plain.DrawText(5, 5, "R", kInk, fonts, 20, false));
  ASSERT_TRUE(caron.DrawText(5, 5, "Ř", kInk, fonts, 20, false));
  const Box r = InkBox(plain, kPaper), rc = InkBox(caron, kPaper);
  EXPECT_LT(rc.top, r.top);
  EXPECT_EQ(rc.bottom, r.bottom);
  for (const char* word : {"ěščřžýáíéůúťďň", "ĚŠČŘŽÝÁÍÉŮÚŤĎŇ"}) {
    Bitmap b = Paper(300, 40);
    ASSERT_TRUE(b.DrawText(2, 2, word, kInk, fonts, 18, false));
    EXPECT_GT(InkBox(b, kPaper).count, 100) << word;
  }
}

TEST(Text, BoldIsWiderAndWorksWithoutABoldFace) {
  FontCache fonts;
  FontCache synthetic(platform::FindDejaVuSans(false), "");
  EXPECT_GT(fonts.TextWidth("Superiority", 16, true), fonts.TextWidth("Superiority", 16, false));
  EXPECT_GT(synthetic.TextWidth("Superiority", 16, true), synthetic.TextWidth("Superiority", 16, false));
  EXPECT_EQ(fonts.TextWidth("", 16, false), 0);
  EXPECT_GT(fonts.TextHeight("", 16, false), 0) << "an empty line still has a height";
}

TEST(Text, TextIsClippedAtEveryEdge) {
  FontCache fonts;
  const int positions[][2] = {{-30, 0}, {0, -12},         {90, 0},
                              {0, 12},  {-10000, -10000}, {INT_MAX - 5, INT_MAX - 5}};
  for (const auto& p : positions) {
    Bitmap b = Paper(100, 20);
    EXPECT_TRUE(b.DrawText(p[0], p[1], "Clipped text here", kInk, fonts, 16, false)) << p[0] << "," << p[1];
  }
  Bitmap b = Paper(100, 20);
  b.DrawText(-30, 0, "Clipped text here", kInk, fonts, 16, false);
  EXPECT_EQ(InkBox(b, kPaper).left, 0) << "the visible part is drawn";
}

TEST(Text, InkRaisesAlphaOnATransparentBitmap) {
  FontCache fonts;
  Bitmap b(60, 30, 32);  // black, alpha 0
  ASSERT_TRUE(b.DrawText(2, 2, "HUD", MakeColor(255, 255, 255), fonts, 20, true));
  int opaque = 0, clear = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      const std::uint8_t* p = b.Scanline(y) + x * 4;
      opaque += p[3] == 255 && p[0] == 255;
      clear += p[3] == 0 && p[0] == 0;
    }
  }
  EXPECT_GT(opaque, 20);
  EXPECT_GT(clear, 60 * 30 / 2);
}

TEST(Text, MissingFontsAndBadSizesFailWithoutDrawing) {
  FontCache missing("/nonexistent/font.ttf", "");
  EXPECT_FALSE(missing.Ready());
  Bitmap b = Paper(20, 20);
  EXPECT_FALSE(b.DrawText(0, 0, "x", kInk, missing, 12, false));
  EXPECT_FALSE(missing.Error().empty());
  EXPECT_EQ(missing.TextWidth("x", 12, false), 0);

  FontCache fonts;
  for (const int size : {0, -4, 1001}) {
    EXPECT_EQ(fonts.Font(size, false), nullptr) << size;
    EXPECT_FALSE(b.DrawText(0, 0, "x", kInk, fonts, size, false)) << size;
  }
  EXPECT_EQ(InkBox(b, kPaper).count, 0);
}

TEST(Text, DialogPointSizesBecomePixelsAt96Dpi) {
  const int cases[][2] = {{8, 11}, {9, 12}, {12, 16}, {14, 19}};
  for (const auto& c : cases) EXPECT_EQ(platform::PixelsFromPoints(c[0]), c[1]) << c[0];
}

}  // namespace

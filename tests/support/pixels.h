// Pixel checks shared by the window tests: a colour read back from a bitmap and compared
// with a tolerance, with a message that says what was there.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/bitmap.h"

namespace testpixels {

struct Rgb {
  int r, g, b;
};

inline Rgb Of(platform::Color c) { return {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)}; }

inline Rgb At(const platform::Bitmap& bmp, int x, int y) { return Of(bmp.Pixel(x, y)); }

inline ::testing::AssertionResult NearRgb(Rgb got, Rgb want, int tolerance) {
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b << "), want ("
                                       << want.r << ", " << want.g << ", " << want.b << ")";
}

}  // namespace testpixels

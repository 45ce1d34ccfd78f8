// Painting kit of the forge's textures and pictures: tiling noise fields (value noise, fBm,
// cellular), colour ramps, and a float canvas that draws anti-aliased shapes given by their
// signed distance. Everything is seeded by the caller's generator, so pictures repeat exactly.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <span>
#include <vector>

#include "platform/bitmap.h"
#include "scene/vectorgeometry.h"

namespace forge {

// Channels 0..255, kept as floats while painting.
struct Rgb {
  float r = 0, g = 0, b = 0;
};
constexpr Rgb RgbOf(int r, int g, int b) { return {float(r), float(g), float(b)}; }
Rgb Mix(Rgb a, Rgb b, float t);
Rgb Shade(Rgb c, float k);  // every channel times k

// A uniform draw in [0, 1) that is the same with every standard library.
float Uniform(std::mt19937& gen);

// A square grid of values whose right edge meets its left and whose bottom meets its top.
class Field {
 public:
  explicit Field(int size = 0, float fill = 0);
  int Size() const { return size_; }
  float& At(int x, int y);
  float At(int x, int y) const;
  float Sample(float x, float y) const;  // bilinear, wrapping
  void Normalise();                      // stretched to 0..1
  std::vector<float> values;

 private:
  int size_;
};

// Smoothly interpolated random values on a lattice of cells x cells points; tiles.
Field ValueNoise(std::mt19937& gen, int size, int cells);
// Octaves of value noise: the first on `cells` lattice cells, each next on twice as many with
// `gain` times the weight. Normalised to 0..1.
Field Fbm(std::mt19937& gen, int size, int cells, int octaves, float gain = 0.5f);
// One jittered point per cell of a cells x cells grid: distances (in pixels) to the nearest and
// second-nearest point, and a random value 0..1 of the nearest one's cell. Stones and cracks.
struct Cellular {
  Field nearest, second, id;
};
Cellular CellularNoise(std::mt19937& gen, int size, int cells);

struct RampStop {
  float at;
  Rgb colour;
};
// The colour at t between the stops (sorted by `at`), clamped at both ends.
Rgb Ramp(std::span<const RampStop> stops, float t);

// Signed distance in pixels to a shape's edge, negative inside.
using Shape = std::function<float(float x, float y)>;
Shape Circle(float cx, float cy, float r);
Shape Ring(float cx, float cy, float inner, float outer);
Shape RoundBox(float x0, float y0, float x1, float y1, float radius = 0);
Shape Segment(float x0, float y0, float x1, float y1, float halfWidth);
Shape Polygon(std::vector<TTexPoint> points);  // any simple polygon, either winding
Shape Union(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);

// An RGBA float picture, top row first. Pixels with no alpha become pure black in a cut-out
// bitmap (transparent in the game); every other pixel is kept off pure black.
class Canvas {
 public:
  Canvas(int width, int height, Rgb background = {}, float alpha = 1);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Paints the shape over what is there, anti-aliased across one pixel, within bounds.
  void Fill(const Shape& shape, Rgb colour, float opacity = 1);
  void Fill(const Shape& shape, Rgb colour, float opacity, int x0, int y0, int x1, int y1);
  // Every pixel through f(x, y, colour, alpha).
  void Each(const std::function<void(int x, int y, Rgb& colour, float& alpha)>& f);
  Rgb& At(int x, int y) { return colour_[y * width_ + x]; }
  float& AlphaAt(int x, int y) { return alpha_[y * width_ + x]; }

  // 24-bit. cutOut: pixels below half alpha are written (0, 0, 0).
  platform::Bitmap ToBitmap(bool cutOut = false) const;

 private:
  int width_, height_;
  std::vector<Rgb> colour_;
  std::vector<float> alpha_;
};

}  // namespace forge

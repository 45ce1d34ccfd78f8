// Noise fields, ramps and the anti-aliased canvas of the forge's pictures.
#include "tools/forge/texkit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace forge {

namespace {

int Wrap(int v, int n) { return ((v % n) + n) % n; }
float Smooth(float t) { return t * t * (3 - 2 * t); }
float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

}  // namespace

Rgb Mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Shade(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

float Uniform(std::mt19937& gen) { return static_cast<float>(gen() >> 8) * (1.0f / 16777216.0f); }

// ---- fields ----

Field::Field(int size, float fill) : values(static_cast<std::size_t>(size) * size, fill), size_(size) {}

float& Field::At(int x, int y) { return values[Wrap(y, size_) * size_ + Wrap(x, size_)]; }
float Field::At(int x, int y) const { return values[Wrap(y, size_) * size_ + Wrap(x, size_)]; }

float Field::Sample(float x, float y) const {
  int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  float tx = x - ix, ty = y - iy;
  float top = At(ix, iy) + (At(ix + 1, iy) - At(ix, iy)) * tx;
  float bottom = At(ix, iy + 1) + (At(ix + 1, iy + 1) - At(ix, iy + 1)) * tx;
  return top + (bottom - top) * ty;
}

void Field::Normalise() {
  if (values.empty()) return;
  auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  float a = *lo, span = *hi - *lo;
  for (float& v : values) v = span > 0 ? (v - a) / span : 0.5f;
}

Field ValueNoise(std::mt19937& gen, int size, int cells) {
  std::vector<float> lattice(static_cast<std::size_t>(cells) * cells);
  for (float& v : lattice) v = Uniform(gen);
  auto L = [&](int x, int y) { return lattice[Wrap(y, cells) * cells + Wrap(x, cells)]; };
  Field f(size);
  const float step = static_cast<float>(cells) / size;
  for (int y = 0; y < size; ++y) {
    float fy = y * step;
    int iy = static_cast<int>(fy);
    float ty = Smooth(fy - iy);
    for (int x = 0; x < size; ++x) {
      float fx = x * step;
      int ix = static_cast<int>(fx);
      float tx = Smooth(fx - ix);
      float top = L(ix, iy) + (L(ix + 1, iy) - L(ix, iy)) * tx;
      float bottom = L(ix, iy + 1) + (L(ix + 1, iy + 1) - L(ix, iy + 1)) * tx;
      f.At(x, y) = top + (bottom - top) * ty;
    }
  }
  return f;
}

Field Fbm(std::mt19937& gen, int size, int cells, int octaves, float gain) {
  Field sum(size);
  float weight = 1;
  for (int o = 0; o < octaves && cells <= size; ++o, cells *= 2, weight *= gain) {
    Field octave = ValueNoise(gen, size, cells);
    for (std::size_t i = 0; i < sum.values.size(); ++i) sum.values[i] += octave.values[i] * weight;
  }
  sum.Normalise();
  return sum;
}

Cellular CellularNoise(std::mt19937& gen, int size, int cells) {
  const float cell = static_cast<float>(size) / cells;
  std::vector<TTexPoint> points(static_cast<std::size_t>(cells) * cells);
  std::vector<float> ids(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    float jx = Uniform(gen), jy = Uniform(gen);
    points[i] = {(static_cast<float>(i % cells) + 0.1f + 0.8f * jx) * cell,
                 (static_cast<float>(i / cells) + 0.1f + 0.8f * jy) * cell};
    ids[i] = Uniform(gen);
  }
  Cellular out{Field(size), Field(size), Field(size)};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int cx = static_cast<int>(x / cell), cy = static_cast<int>(y / cell);
      float d1 = std::numeric_limits<float>::max(), d2 = d1, id = 0;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          int gx = cx + dx, gy = cy + dy;
          std::size_t k = static_cast<std::size_t>(Wrap(gy, cells) * cells + Wrap(gx, cells));
          // The point seen through the wrap: shifted by whole tiles.
          float px = points[k].x + std::floor(static_cast<float>(gx) / cells) * size;
          float py = points[k].y + std::floor(static_cast<float>(gy) / cells) * size;
          float d = std::hypot(px - (x + 0.5f), py - (y + 0.5f));
          if (d < d1) {
            d2 = d1, d1 = d, id = ids[k];
          } else if (d < d2) {
            d2 = d;
          }
        }
      out.nearest.At(x, y) = d1, out.second.At(x, y) = d2, out.id.At(x, y) = id;
    }
  return out;
}

Rgb Ramp(std::span<const RampStop> stops, float t) {
  if (stops.empty()) return {};
  if (t <= stops.front().at) return stops.front().colour;
  for (std::size_t i = 1; i < stops.size(); ++i)
    if (t <= stops[i].at) {
      float span = stops[i].at - stops[i - 1].at;
      return Mix(stops[i - 1].colour, stops[i].colour, span > 0 ? (t - stops[i - 1].at) / span : 1);
    }
  return stops.back().colour;
}

// ---- shapes ----

Shape Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Shape Ring(float cx, float cy, float inner, float outer) {
  return [=](float x, float y) {
    float d = std::hypot(x - cx, y - cy);
    return std::max(d - outer, inner - d);
  };
}

Shape RoundBox(float x0, float y0, float x1, float y1, float radius) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = std::abs(x1 - x0) / 2 - radius, hy = std::abs(y1 - y0) / 2 - radius;
  return [=](float x, float y) {
    float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
  };
}

Shape Segment(float x0, float y0, float x1, float y1, float halfWidth) {
  return [=](float x, float y) {
    float ax = x - x0, ay = y - y0, bx = x1 - x0, by = y1 - y0;
    float len2 = bx * bx + by * by;
    float t = len2 > 0 ? std::clamp((ax * bx + ay * by) / len2, 0.0f, 1.0f) : 0;
    return std::hypot(ax - bx * t, ay - by * t) - halfWidth;
  };
}

Shape Polygon(std::vector<TTexPoint> p) {
  return [p = std::move(p)](float x, float y) {
    float best = std::numeric_limits<float>::max();
    bool inside = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
      TTexPoint a = p[j], b = p[i];
      float bx = b.x - a.x, by = b.y - a.y, ax = x - a.x, ay = y - a.y;
      float len2 = bx * bx + by * by;
      float t = len2 > 0 ? std::clamp((ax * bx + ay * by) / len2, 0.0f, 1.0f) : 0;
      best = std::min(best, std::hypot(ax - bx * t, ay - by * t));
      if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * bx / by) inside = !inside;
    }
    return inside ? -best : best;
  };
}

Shape Union(Shape a, Shape b) {
  return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Shape Subtract(Shape a, Shape b) {
  return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Shape Intersect(Shape a, Shape b) {
  return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

// ---- canvas ----

Canvas::Canvas(int width, int height, Rgb background, float alpha)
    : width_(width), height_(height), colour_(static_cast<std::size_t>(width) * height, background),
      alpha_(colour_.size(), alpha) {}

void Canvas::Fill(const Shape& shape, Rgb colour, float opacity) {
  Fill(shape, colour, opacity, 0, 0, width_, height_);
}

void Canvas::Fill(const Shape& shape, Rgb colour, float opacity, int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width_), y1 = std::min(y1, height_);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      float a = Clamp01(0.5f - shape(x + 0.5f, y + 0.5f)) * opacity;
      if (a <= 0) continue;
      std::size_t i = static_cast<std::size_t>(y) * width_ + x;
      // Straight-alpha "over": a transparent pixel takes the new colour whole, so cut-out
      // edges keep their colour instead of fading toward the black behind them.
      float out = a + alpha_[i] * (1 - a);
      colour_[i] = Mix(colour_[i], colour, out > 0 ? a / out : 1);
      alpha_[i] = out;
    }
}

void Canvas::Each(const std::function<void(int, int, Rgb&, float&)>& f) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * width_ + x;
      f(x, y, colour_[i], alpha_[i]);
    }
}

platform::Bitmap Canvas::ToBitmap(bool cutOut) const {
  platform::Bitmap bmp(width_, height_, 24);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * width_ + x;
      if (cutOut && alpha_[i] < 0.5f) {
        bmp.SetPixel(x, y, platform::MakeColor(0, 0, 0));
        continue;
      }
      Rgb c = colour_[i];
      int r = std::clamp(static_cast<int>(std::lround(c.r)), 0, 255);
      int g = std::clamp(static_cast<int>(std::lround(c.g)), 0, 255);
      int b = std::clamp(static_cast<int>(std::lround(c.b)), 0, 255);
      // Pure black is the game's "transparent": a real dark pixel stays just above it.
      if (r == 0 && g == 0 && b == 0) r = g = b = 1;
      bmp.SetPixel(x, y, platform::MakeColor(r, g, b));
    }
  return bmp;
}

}  // namespace forge

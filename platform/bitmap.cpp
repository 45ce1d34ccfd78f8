// Bitmap storage, pixel access and canvas drawing over an SDL surface.
#include "platform/bitmap.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace platform {
namespace {

Uint32 FormatOfBits(int bits) { return bits == 32 ? SDL_PIXELFORMAT_BGRA32 : SDL_PIXELFORMAT_BGR24; }

void WritePixel(std::uint8_t* p, int bytesPerPixel, Color c) {
  p[0] = static_cast<std::uint8_t>(BlueOf(c));
  p[1] = static_cast<std::uint8_t>(GreenOf(c));
  p[2] = static_cast<std::uint8_t>(RedOf(c));
  if (bytesPerPixel == 4) p[3] = 0xFF;
}

Color ReadPixel(const std::uint8_t* p) { return MakeColor(p[2], p[1], p[0]); }

// Corners in any order, clipped to [0, width) x [0, height): the half-open ranges to touch.
struct Span {
  int begin, end;
};
Span ClipRange(long long a, long long b, int size) {
  if (a > b) std::swap(a, b);
  return {static_cast<int>(std::clamp<long long>(a, 0, size)),
          static_cast<int>(std::clamp<long long>(b, 0, size))};
}

// Ellipse arithmetic is exact in integers; beyond this the products would not fit.
constexpr long long kMaxEllipseCoordinate = 1LL << 24;

// The ellipse inscribed in [x1, x2) x [y1, y2), tested at pixel centres with everything
// doubled so it stays in integers: pixel (x, y) is in when
// (2x + 1 - (x1 + x2))^2 h^2 + (2y + 1 - (y1 + y2))^2 w^2 <= w^2 h^2.
class Ellipse {
 public:
  Ellipse(long long x1, long long y1, long long x2, long long y2)
      : xs_(x1 + x2),
        ys_(y1 + y2),
        w_(std::llabs(x2 - x1)),
        h_(std::llabs(y2 - y1)),
        top_(std::min(y1, y2)),
        bottom_(std::max(y1, y2)) {}

  bool Empty() const { return w_ == 0 || h_ == 0; }

  // The run of pixels inside on row y, as a closed range; first > last when none.
  std::pair<long long, long long> Row(long long y) const {
    if (y < top_ || y >= bottom_) return {1, 0};
    const Wide dy = 2 * y + 1 - ys_;
    const Wide room = Wide(w_) * w_ * h_ * h_ - dy * dy * w_ * w_;  // what dx^2 h^2 may use
    if (room < 0) return {1, 0};
    const double reach = std::sqrt(static_cast<double>(room)) / static_cast<double>(h_);
    long long first = static_cast<long long>(std::ceil((xs_ - 1 - reach) / 2));
    long long last = static_cast<long long>(std::floor((xs_ - 1 + reach) / 2));
    // The floating-point estimate can be off by one either way at the boundary.
    while (first <= last && !Inside(first, room)) ++first;
    while (Inside(first - 1, room)) --first;
    while (last >= first && !Inside(last, room)) --last;
    while (Inside(last + 1, room)) ++last;
    return {first, last};
  }

 private:
  using Wide = __int128;
  bool Inside(long long x, Wide room) const {
    const Wide dx = 2 * x + 1 - xs_;
    return dx * dx * h_ * h_ <= room;
  }

  long long xs_, ys_, w_, h_, top_, bottom_;
};

// Pixels first..last (closed) of row y, clipped to the row.
void FillRun(Bitmap& bitmap, long long first, long long last, int y, Color color) {
  if (first > last) return;
  const long long w = bitmap.Width();
  bitmap.FillRect(static_cast<int>(std::clamp<long long>(first, 0, w)), y,
                  static_cast<int>(std::clamp<long long>(last + 1, 0, w)), y + 1, color);
}

bool EllipseInRange(int x1, int y1, int x2, int y2) {
  for (const int v : {x1, y1, x2, y2})
    if (std::llabs(v) > kMaxEllipseCoordinate) return false;
  return true;
}

}  // namespace

Bitmap::Bitmap(int width, int height, int bits) { Create(width, height, bits); }

Bitmap::~Bitmap() { Clear(); }

Bitmap::Bitmap(const Bitmap& other) {
  if (other.surface_ != nullptr) surface_ = SDL_DuplicateSurface(other.surface_);
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
  if (this != &other) Adopt(other.surface_ ? SDL_DuplicateSurface(other.surface_) : nullptr);
  return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept : surface_(std::exchange(other.surface_, nullptr)) {}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  if (this != &other) Adopt(std::exchange(other.surface_, nullptr));
  return *this;
}

void Bitmap::Adopt(SDL_Surface* surface) {
  if (surface_ != nullptr) SDL_FreeSurface(surface_);
  surface_ = surface;
}

void Bitmap::Clear() { Adopt(nullptr); }

bool Bitmap::Create(int width, int height, int bits) {
  if ((bits != 24 && bits != 32) || width < 0 || height < 0 || width > kMaxBitmapSide ||
      height > kMaxBitmapSide)
    return false;
  if (width == 0 || height == 0) {
    Clear();
    return true;
  }
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, bits, FormatOfBits(bits));
  if (surface == nullptr) return false;
  Adopt(surface);  // SDL hands out zeroed pixels: black
  return true;
}

bool Bitmap::Resize(int width, int height) {
  if (width == Width() && height == Height()) return true;
  Bitmap resized;
  if (!resized.Create(width, height, Empty() ? 24 : Bits())) return false;
  if (!resized.Empty() && !Empty()) {
    const int rows = std::min(height, Height());
    const std::size_t bytes =
        static_cast<std::size_t>(std::min(width, Width())) * surface_->format->BytesPerPixel;
    for (int y = 0; y < rows; ++y) std::memcpy(resized.Scanline(y), Scanline(y), bytes);
  }
  *this = std::move(resized);
  return true;
}

int Bitmap::Width() const { return surface_ ? surface_->w : 0; }
int Bitmap::Height() const { return surface_ ? surface_->h : 0; }
int Bitmap::Bits() const { return surface_ ? surface_->format->BytesPerPixel * 8 : 0; }
int Bitmap::Pitch() const { return surface_ ? surface_->pitch : 0; }

std::uint8_t* Bitmap::Scanline(int y) {
  if (surface_ == nullptr || y < 0 || y >= surface_->h) return nullptr;
  return static_cast<std::uint8_t*>(surface_->pixels) + static_cast<std::ptrdiff_t>(y) * surface_->pitch;
}

const std::uint8_t* Bitmap::Scanline(int y) const { return const_cast<Bitmap*>(this)->Scanline(y); }

Color Bitmap::Pixel(int x, int y) const {
  const std::uint8_t* row = Scanline(y);
  if (row == nullptr || x < 0 || x >= surface_->w) return 0;
  return ReadPixel(row + static_cast<std::ptrdiff_t>(x) * surface_->format->BytesPerPixel);
}

void Bitmap::SetPixel(int x, int y, Color color) {
  std::uint8_t* row = Scanline(y);
  if (row == nullptr || x < 0 || x >= surface_->w) return;
  const int bpp = surface_->format->BytesPerPixel;
  WritePixel(row + static_cast<std::ptrdiff_t>(x) * bpp, bpp, color);
}

void Bitmap::FillRect(int x1, int y1, int x2, int y2, Color color) {
  if (Empty()) return;
  const Span xs = ClipRange(x1, x2, Width());
  const Span ys = ClipRange(y1, y2, Height());
  const int bpp = surface_->format->BytesPerPixel;
  for (int y = ys.begin; y < ys.end; ++y) {
    std::uint8_t* row = Scanline(y);
    for (int x = xs.begin; x < xs.end; ++x) WritePixel(row + x * bpp, bpp, color);
  }
}

void Bitmap::FillEllipse(int x1, int y1, int x2, int y2, Color color) {
  if (Empty() || !EllipseInRange(x1, y1, x2, y2)) return;
  const Ellipse ellipse(x1, y1, x2, y2);
  if (ellipse.Empty()) return;
  const Span ys = ClipRange(y1, y2, Height());
  for (int y = ys.begin; y < ys.end; ++y) {
    const auto [first, last] = ellipse.Row(y);
    FillRun(*this, first, last, y, color);
  }
}

void Bitmap::OutlineEllipse(int x1, int y1, int x2, int y2, Color color) {
  if (Empty() || !EllipseInRange(x1, y1, x2, y2)) return;
  const Ellipse ellipse(x1, y1, x2, y2);
  if (ellipse.Empty()) return;
  const Span ys = ClipRange(y1, y2, Height());
  for (int y = ys.begin; y < ys.end; ++y) {
    const auto [first, last] = ellipse.Row(y);
    if (first > last) continue;
    const auto [aboveFirst, aboveLast] = ellipse.Row(y - 1LL);
    const auto [belowFirst, belowLast] = ellipse.Row(y + 1LL);
    // Interior: inside with both row neighbours and both column neighbours inside.
    const long long innerFirst = std::max({first + 1, aboveFirst, belowFirst});
    const long long innerLast = std::min({last - 1, aboveLast, belowLast});
    if (innerFirst > innerLast) {
      FillRun(*this, first, last, y, color);
    } else {
      FillRun(*this, first, innerFirst - 1, y, color);
      FillRun(*this, innerLast + 1, last, y, color);
    }
  }
}

void Bitmap::CopyRect(int dx1, int dy1, int dx2, int dy2, const Bitmap& source, int sx1, int sy1, int sx2,
                      int sy2) {
  if (Empty() || source.Empty()) return;
  if (&source == this) {  // overlapping reads and writes: copy from a snapshot
    const Bitmap snapshot(*this);
    CopyRect(dx1, dy1, dx2, dy2, snapshot, sx1, sy1, sx2, sy2);
    return;
  }
  if (dx1 > dx2) std::swap(dx1, dx2);
  if (dy1 > dy2) std::swap(dy1, dy2);
  if (sx1 > sx2) std::swap(sx1, sx2);
  if (sy1 > sy2) std::swap(sy1, sy2);
  const long long dw = static_cast<long long>(dx2) - dx1, dh = static_cast<long long>(dy2) - dy1;
  const long long sw = static_cast<long long>(sx2) - sx1, sh = static_cast<long long>(sy2) - sy1;
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;

  const int dbpp = surface_->format->BytesPerPixel;
  const int sbpp = source.surface_->format->BytesPerPixel;
  const Span xs = ClipRange(dx1, dx2, Width());
  const Span ys = ClipRange(dy1, dy2, Height());
  for (int y = ys.begin; y < ys.end; ++y) {
    // The source pixel whose centre maps nearest to this pixel's centre.
    const long long sy = sy1 + ((2 * (y - dy1) + 1) * sh) / (2 * dh);
    const std::uint8_t* srow =
        source.Scanline(static_cast<int>(std::clamp<long long>(sy, -1, source.Height())));
    if (srow == nullptr) continue;
    std::uint8_t* drow = Scanline(y);
    for (int x = xs.begin; x < xs.end; ++x) {
      const long long sx = sx1 + ((2 * (x - dx1) + 1) * sw) / (2 * dw);
      if (sx < 0 || sx >= source.Width()) continue;
      const std::uint8_t* s = srow + sx * sbpp;
      std::uint8_t* d = drow + x * dbpp;
      std::memcpy(d, s, 3);
      if (dbpp == 4) d[3] = sbpp == 4 ? s[3] : 0xFF;
    }
  }
}

void Bitmap::StretchDraw(int x1, int y1, int x2, int y2, const Bitmap& source) {
  CopyRect(x1, y1, x2, y2, source, 0, 0, source.Width(), source.Height());
}

void Bitmap::Draw(int x, int y, const Bitmap& source) {
  StretchDraw(x, y, x + source.Width(), y + source.Height(), source);
}

}  // namespace platform

// BMP files: our own header checks, SDL's reader for the pixels, and our own writer.
#include <SDL.h>

#include <climits>
#include <cstdio>
#include <iterator>

#include "platform/bitmap.h"

#include "platform/atomicfile.h"
#include "platform/filebytes.h"

namespace platform {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitfields = 3;
constexpr std::uint32_t kColorSpaceSrgb = 0x73524742;  // 'sRGB'
constexpr std::size_t kMaxBmpFileSize = INT_MAX;       // SDL's memory streams count in int

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

bool KnownHeaderSize(std::uint32_t size) {
  for (const std::uint32_t known : {12u, 40u, 52u, 56u, 108u, 124u})
    if (size == known) return true;
  return false;
}

// Channel masks of a bit-field bitmap: red, green and blue present, no bit shared.
bool MasksUsable(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  if (r == 0 || g == 0 || b == 0) return false;
  return (r & g) == 0 && (r & b) == 0 && (g & b) == 0 && (a & (r | g | b)) == 0;
}

bool Fail(std::string& error, const char* message) {
  error = message;
  return false;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

bool InspectBmp(std::span<const std::uint8_t> bytes, BmpInfo& info, std::string& error) {
  const std::uint64_t size = bytes.size();
  if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M') return Fail(error, "Not a bitmap");
  if (size < kFileHeaderSize + 4) return Fail(error, "Truncated bitmap");
  const std::uint64_t statedSize = U32(bytes, 2);
  const std::uint64_t pixelOffset = U32(bytes, 10);
  if (statedSize > size) return Fail(error, "Truncated bitmap");

  const std::uint32_t headerSize = U32(bytes, kFileHeaderSize);
  if (!KnownHeaderSize(headerSize)) return Fail(error, "Unsupported bitmap header");
  if (kFileHeaderSize + headerSize > size) return Fail(error, "Truncated bitmap");

  const std::size_t h = kFileHeaderSize;
  std::int64_t width, height;
  std::uint32_t planes, bits, compression = kCompressionNone, colorsUsed = 0;
  std::uint64_t paletteEntrySize = 4;
  if (headerSize == 12) {  // the old core header: 16-bit sizes, 3-byte palette entries
    width = U16(bytes, h + 4);
    height = U16(bytes, h + 6);
    planes = U16(bytes, h + 8);
    bits = U16(bytes, h + 10);
    paletteEntrySize = 3;
  } else {
    width = I32(bytes, h + 4);
    height = I32(bytes, h + 8);
    planes = U16(bytes, h + 12);
    bits = U16(bytes, h + 14);
    compression = U32(bytes, h + 16);
    colorsUsed = U32(bytes, h + 32);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;  // int64: even INT32_MIN negates safely
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
    return Fail(error, "Bad bitmap size");
  if (planes != 1) return Fail(error, "Bad bitmap planes");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return Fail(error, "Unsupported bitmap depth");
  if (!(compression == kCompressionNone || (compression == kCompressionBitfields && bits == 32)))
    return Fail(error, "Unsupported bitmap compression");

  // What follows the header: the channel masks of a short bit-field header, then the palette.
  std::uint64_t tablesAt = kFileHeaderSize + headerSize;
  if (compression == kCompressionBitfields) {
    std::size_t masksAt = h + 40;
    if (headerSize == 40) {
      masksAt = tablesAt;
      tablesAt += 12;
      if (tablesAt > size) return Fail(error, "Truncated bitmap");
    }
    const std::uint32_t alpha = headerSize >= 56 ? U32(bytes, h + 52) : 0;
    if (!MasksUsable(U32(bytes, masksAt), U32(bytes, masksAt + 4), U32(bytes, masksAt + 8), alpha))
      return Fail(error, "Bad bitmap masks");
  }
  std::uint64_t paletteCount = 0;
  if (bits <= 8) {
    const std::uint64_t most = std::uint64_t{1} << bits;
    paletteCount = colorsUsed == 0 ? most : colorsUsed;
    if (paletteCount > most) return Fail(error, "Bad bitmap palette");
  }
  const std::uint64_t paletteEnd = tablesAt + paletteCount * paletteEntrySize;
  if (paletteEnd > size) return Fail(error, "Truncated bitmap");
  if (pixelOffset < paletteEnd || pixelOffset > size) return Fail(error, "Bad pixel data offset");

  // Rows are padded to whole 32-bit words; every row must be in the file.
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t pixelEnd = pixelOffset + rowBytes * static_cast<std::uint64_t>(height);
  if (pixelEnd > size) return Fail(error, "Truncated bitmap");

  info.width = static_cast<int>(width);
  info.height = static_cast<int>(height);
  info.bits = static_cast<int>(bits);
  info.topDown = topDown;
  info.length = static_cast<std::size_t>(std::max(statedSize, pixelEnd));
  return true;
}

bool Bitmap::LoadBmpFromMemory(std::span<const std::uint8_t> bytes, std::string& error) {
  BmpInfo info;
  if (!InspectBmp(bytes, info, error)) return false;
  if (info.length > kMaxBmpFileSize) return Fail(error, "File too large");
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(info.length));
  if (stream == nullptr) return Fail(error, "Unreadable bitmap");
  SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
  if (loaded == nullptr) return Fail(error, "Unreadable bitmap");
  const Uint32 format = info.bits == 32 ? SDL_PIXELFORMAT_BGRA32 : SDL_PIXELFORMAT_BGR24;
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, format, 0);
  SDL_FreeSurface(loaded);
  if (converted == nullptr) return Fail(error, "Unreadable bitmap");
  if (converted->w != info.width || converted->h != info.height) {
    SDL_FreeSurface(converted);
    return Fail(error, "Unreadable bitmap");
  }
  Adopt(converted);
  return true;
}

bool Bitmap::LoadBmpFile(const std::string& path, std::string& error) {
  std::vector<std::uint8_t> bytes;
  switch (ReadFileBytes(path, kMaxBmpFileSize, bytes)) {
    case ReadFileResult::Missing: return Fail(error, "File not found");
    case ReadFileResult::TooLarge: return Fail(error, "File too large");
    case ReadFileResult::Unreadable: return Fail(error, "Cannot read file");
    case ReadFileResult::Ok: break;
  }
  return LoadBmpFromMemory(bytes, error);
}

std::vector<std::uint8_t> Bitmap::EncodeBmp() const {
  std::vector<std::uint8_t> out;
  if (Empty()) return out;
  const bool alpha = Bits() == 32;
  // 32-bit pictures carry a header with channel masks so readers keep the alpha.
  const std::uint32_t headerSize = alpha ? 108 : 40;
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(Width()) * Bits() + 31) / 32 * 4;
  const std::uint32_t pixelOffset = static_cast<std::uint32_t>(kFileHeaderSize) + headerSize;
  const std::uint32_t fileSize = pixelOffset + rowBytes * static_cast<std::uint32_t>(Height());
  out.reserve(fileSize);

  out.push_back('B');
  out.push_back('M');
  Put32(out, fileSize);
  Put32(out, 0);  // reserved
  Put32(out, pixelOffset);

  Put32(out, headerSize);
  Put32(out, static_cast<std::uint32_t>(Width()));
  Put32(out, static_cast<std::uint32_t>(Height()));  // positive: rows stored bottom-up
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(Bits()));
  Put32(out, alpha ? kCompressionBitfields : kCompressionNone);
  Put32(out, rowBytes * static_cast<std::uint32_t>(Height()));
  Put32(out, 2835);  // 72 dpi, in pixels per metre
  Put32(out, 2835);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // colours important
  if (alpha) {
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
    Put32(out, kColorSpaceSrgb);
    out.insert(out.end(), 36 + 12, 0);  // end points and gamma: unused with sRGB
  }

  const std::size_t pixelBytes = static_cast<std::size_t>(Width()) * (Bits() / 8);
  for (int y = Height() - 1; y >= 0; --y) {
    const std::uint8_t* row = Scanline(y);
    out.insert(out.end(), row, row + pixelBytes);
    out.insert(out.end(), rowBytes - pixelBytes, 0);
  }
  return out;
}

bool Bitmap::SaveBmp(const std::string& path, std::string& error) const {
  if (Empty()) return Fail(error, "Empty bitmap");
  const std::vector<std::uint8_t> bytes = EncodeBmp();
  std::string why;
  if (!WriteFileAtomically(path, bytes, why)) return Fail(error, "Cannot write file");
  return true;
}

}  // namespace platform

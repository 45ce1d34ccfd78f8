// Fuzz target for the BMP reader: any bytes must load or be refused, never crash or leak, and
// whatever loads must write and read back to the very same pixels, alpha included.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "platform/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::Bitmap bitmap;
  std::string error;
  if (!bitmap.LoadBmpFromMemory(std::span<const std::uint8_t>(data, size), error)) return 0;
  platform::Bitmap again;
  if (!again.LoadBmpFromMemory(bitmap.EncodeBmp(), error)) __builtin_trap();
  if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height() || again.Bits() != bitmap.Bits())
    __builtin_trap();
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Bits() / 8);
  for (int y = 0; y < bitmap.Height(); ++y)
    if (std::memcmp(again.Scanline(y), bitmap.Scanline(y), rowBytes) != 0) __builtin_trap();
  return 0;
}

// Fuzz target for the BMP reader: any bytes must load or be refused, never crash or leak.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::Bitmap bitmap;
  std::string error;
  if (!bitmap.LoadBmpFromMemory(std::span<const std::uint8_t>(data, size), error)) return 0;
  // What loads must write and read back again.
  platform::Bitmap again;
  if (!again.LoadBmpFromMemory(bitmap.EncodeBmp(), error)) __builtin_trap();
  if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height()) __builtin_trap();
  return 0;
}

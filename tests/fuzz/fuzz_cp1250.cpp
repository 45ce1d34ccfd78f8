// Fuzz target for the Windows-1250 converter: every byte string survives the trip to UTF-8 and
// back; any bytes read as UTF-8 narrow to no more bytes than they were, and when nothing had to
// become '?', the narrowed text widens back to exactly the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/cp1250.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (platform::Utf8ToCp1250(platform::Cp1250ToUtf8(bytes)) != bytes) __builtin_trap();

  const std::string narrowed = platform::Utf8ToCp1250(bytes);
  if (narrowed.size() > size) __builtin_trap();
  if (bytes.find('?') == std::string_view::npos && narrowed.find('?') == std::string::npos &&
      platform::Cp1250ToUtf8(narrowed) != bytes)
    __builtin_trap();
  return 0;
}

// Feeds arbitrary bytes to the theme reader and builds what it accepts, headless: it must
// answer records or an error, never crash, and whatever it reads must write back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "platform/glcontext.h"
#include "world/theme.h"

// The fuzzer never opens a window, so no texture is ever uploaded or freed in GL.
bool platform::HasCurrentGLContext() { return false; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  TTRVThemeFileData records;
  std::string error;
  const bool ok = ParseThemeFile(bytes, records, error);
  if (!ok && error.empty()) std::abort();

  // The complete records, broken file or not, are exactly what the writer can store.
  if (!ThemeFileFault(records).empty()) std::abort();
  const std::vector<std::uint8_t> written = WriteThemeFile(records);
  TTRVThemeFileData again;
  if (!ParseThemeFile(written, again, error) || WriteThemeFile(again) != written) std::abort();

  TTRVTheme theme;
  const TTRVThemeLoadResult result = theme.LoadThemeBytes(bytes);
  if (result.ok != ok) std::abort();
  if (theme.materialLibrary.Count() != static_cast<int>(theme.materialInfos.size()) ||
      theme.objectRoot.Count() != static_cast<int>(theme.objectInfos.size()) ||
      theme.objectInfos.size() > records.objects.size())
    std::abort();
  for (int kind = 0; kind < 256; ++kind) {
    const std::vector<std::uint8_t> list = theme.ObjectsOfKind(kind);
    if (list.size() != std::size_t{list[0]} + 1) std::abort();
  }
  return 0;
}

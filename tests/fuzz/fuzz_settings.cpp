// Fuzz target for the settings reader: any config.ini must read into values within range,
// and what is written from them must read back the same.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/inifile.h"
#include "config/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TTRVSettings settings;
  if (!settings.ReadSettingsBytes(std::span<const std::uint8_t>(data, size))) return 0;
  TTRVSettings mended = settings;
  mended.Mend();
  platform::IniFile once, twice;
  settings.WriteTo(once);
  mended.WriteTo(twice);
  if (once.ToText() != twice.ToText()) __builtin_trap();  // reading left something out of range

  // Written over the very bytes it came from, the file must read back to the same settings.
  platform::IniFile file;
  file.LoadFromBytes(std::span<const std::uint8_t>(data, size));
  settings.WriteTo(file);
  const std::string text = file.ToText();
  TTRVSettings again;
  again.ReadSettingsBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  platform::IniFile thrice;
  again.WriteTo(thrice);
  if (thrice.ToText() != once.ToText()) __builtin_trap();
  return 0;
}

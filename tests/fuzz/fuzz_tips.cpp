// Fuzz target for the loading tips: any Tips<language>.txt gives at least one tip, each a
// non-empty line of whole characters no longer than 4096 bytes, and the rotation stays in range.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/cp1250.h"
#include "shell/texts.h"
#include "shell/tips.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double now = 0;
  TTRVTips tips([&] { return now; }, [](int n) { return n - 1; });
  tips.UseTipLines(TextLinesFromBytes(std::span(data, size)), size % 2 ? "CZE" : "ENG");
  if (tips.Tips().empty()) __builtin_trap();
  for (const std::string& tip : tips.Tips()) {
    // A cut inside a character would not make the trip through the code page unchanged.
    if (tip.empty() || tip.size() > 4096 || platform::Cp1250ToUtf8(platform::Utf8ToCp1250(tip)) != tip)
      __builtin_trap();
  }
  for (int step = 0; step < 3; ++step) {
    if (tips.CurrentTip().empty()) __builtin_trap();
    now += TTRVTips::kTipSeconds + 1;
  }
  return 0;
}

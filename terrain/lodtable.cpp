// Building the detail-level table.
#include "terrain/lodtable.h"

#include <algorithm>
#include <cstdlib>

TTRVLodTable BuildLodTable(int viewDistance) {
  TTRVLodTable t;
  t.viewRange = std::clamp(viewDistance, 1, kMaxViewRange);
  const int v = t.viewRange;
  t.size = 4 * v;
  t.levels.assign(static_cast<std::size_t>(t.size) * static_cast<std::size_t>(t.size), kLodNotDrawn);
  const int c = t.Centre();
  // The disc of diameter 2V + 1 centred on the camera's entry, outline included.
  const float r = static_cast<float>(v) + 0.5f;
  for (int i = 0; i < t.size; ++i)
    for (int j = 0; j < t.size; ++j) {
      const int di = i - c, dj = j - c;
      std::uint8_t& level = t.levels[static_cast<std::size_t>(i) * static_cast<std::size_t>(t.size) + static_cast<std::size_t>(j)];
      if (static_cast<float>(di * di + dj * dj) <= r * r) level = kLodCoarsest;
      const int ring = std::max(std::abs(di), std::abs(dj));
      if (ring <= 3) level = 2;
      if (ring <= 2) level = 1;
      if (ring <= 1) level = kLodFull;
    }
  return t;
}

TTRVFogRange FogRangeFor(int viewRange) {
  const float v = static_cast<float>(std::max(1, viewRange));
  return {22.0f * v, 28.0f * v};
}

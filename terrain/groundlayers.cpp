// The ground layers' weights, slots and draw cells of one sector.
#include "terrain/groundlayers.h"

#include <algorithm>
#include <cstdlib>

#include "world/theme.h"

namespace {

constexpr int kPainted = 1024;  // a class painter or a steep slope outweighs any height band

std::size_t Vertex(int x, int z) { return static_cast<std::size_t>(x * kSectorSide + z); }

// The theme a vertex takes its ground from: its own when it has materials, else the climate's.
TTRVTheme* VertexTheme(std::uint8_t cellType, const std::vector<TTRVTheme*>& themes, TTRVTheme* ground) {
  const std::size_t t = cellType >> 4;
  TTRVTheme* theme = t < themes.size() ? themes[t] : nullptr;
  if (theme && !theme->materialInfos.empty()) return theme;
  return ground && !ground->materialInfos.empty() ? ground : nullptr;
}

int MaterialCount(const TTRVTheme& theme) {
  return std::min(static_cast<int>(theme.materialInfos.size()), kMostGroundMaterials);
}

}  // namespace

std::uint8_t TTRVGroundLayers::Weight(int slot, int material, int x, int z) const {
  if (slot < 0 || static_cast<std::size_t>(slot) >= weights.size()) return 0;
  const std::size_t i = static_cast<std::size_t>(material) * kSectorSamples + Vertex(x, z);
  const auto& w = weights[static_cast<std::size_t>(slot)];
  return material >= 0 && i < w.size() ? w[i] : 0;
}

TTRVGroundLayers BuildGroundLayers(const TTRVSectorGrid& heights, const TTRVSectorGrid& cellTypes,
                                   const std::vector<TTRVTheme*>& themes, TTRVTheme* groundTheme) {
  TTRVGroundLayers out;
  out.themeSlots.fill(kNoSlot);

  // Slots, in the order the vertices are met.
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = kSectorSide - 1; z >= 0; --z) {
      TTRVTheme* theme = VertexTheme(SectorSample(cellTypes, x, z), themes, groundTheme);
      if (!theme) continue;
      std::size_t slot = 0;
      while (slot < out.slotThemes.size() && out.slotThemes[slot]->themeName != theme->themeName) ++slot;
      if (slot == out.slotThemes.size()) {
        if (slot >= kNoSlot) continue;  // 255 distinct themes in one sector: the rest stay bare
        out.slotThemes.push_back(theme);
        TTRVSectorMatInfo info;
        info.slotThemeName = theme->themeName;
        const std::size_t size = static_cast<std::size_t>(MaterialCount(*theme)) * kSectorSamples;
        info.drawCells.assign(size, 0);
        out.matInfos.push_back(std::move(info));
        out.weights.emplace_back(size, 0);
      }
      out.themeSlots[Vertex(x, z)] = static_cast<std::uint8_t>(slot);
    }

  const auto h = [&](int x, int z) { return static_cast<int>(SectorSample(heights, x, z)); };
  std::vector<int> w;
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = 0; z < kSectorSide; ++z) {
      const std::uint8_t slot = out.themeSlots[Vertex(x, z)];
      if (slot == kNoSlot) continue;
      const TTRVTheme& theme = *out.slotThemes[slot];
      const int count = MaterialCount(theme);
      const int height = h(x, z), terrainClass = SectorSample(cellTypes, x, z) & 15;
      w.assign(static_cast<std::size_t>(count), 0);
      for (int m = 0; m < count; ++m) {
        const TTRVMaterialInfo& info = theme.materialInfos[static_cast<std::size_t>(m)];
        if (!info.heightLayer) continue;
        w[static_cast<std::size_t>(m)] = info.heightWeights[static_cast<std::size_t>(height)];
        if (terrainClass != 0 && info.paintsClass == terrainClass) w[static_cast<std::size_t>(m)] = kPainted;
      }
      if (x >= 2 && x <= 30 && z >= 2 && z <= 30 && terrainClass == 0) {
        const int slope = std::abs(h(x - 1, z) - height) + std::abs(h(x + 1, z) - height) +
                          std::abs(h(x, z - 1) - height) + std::abs(h(x, z + 1) - height);
        for (int m = 0; m < count; ++m) {
          const TTRVMaterialInfo& info = theme.materialInfos[static_cast<std::size_t>(m)];
          if (info.slopeLayer) w[static_cast<std::size_t>(m)] = slope > info.slopeThreshold ? kPainted : 0;
        }
      }

      int sum = 0;
      for (int v : w) sum += v;
      if (sum == 0) {
        w[0] = 255;
      } else {
        for (int& v : w) v = std::min(255, v * 256 / sum);
      }
      TTRVSectorMatInfo& info = out.matInfos[slot];
      info.usedMaterials.set(0);
      for (int m = 0; m < count; ++m)
        if (w[static_cast<std::size_t>(m)] != 0) info.usedMaterials.set(static_cast<std::size_t>(m));

      // Ground falling away toward +Z is darkened, by at most half.
      if (z >= 2 && z <= 31 && height < h(x, z - 1)) {
        const float f = std::max(0.5f, static_cast<float>(height - h(x, z - 1)) * 0.07f + 1);
        for (int& v : w) v = std::min(255, static_cast<int>(static_cast<float>(v) * f));
      }
      std::vector<std::uint8_t>& weights = out.weights[slot];
      for (int m = 0; m < count; ++m)
        weights[static_cast<std::size_t>(m) * kSectorSamples + Vertex(x, z)] = static_cast<std::uint8_t>(w[static_cast<std::size_t>(m)]);
    }

  // Draw cells: material 0 lays the whole sector; every other material the cells round the
  // vertices where it weighs anything, all four of them, so no road or river ends half a
  // cell short of its vertex.
  for (std::size_t slot = 0; slot < out.matInfos.size(); ++slot) {
    TTRVSectorMatInfo& info = out.matInfos[slot];
    const std::vector<std::uint8_t>& weights = out.weights[slot];
    const int count = static_cast<int>(info.drawCells.size() / kSectorSamples);
    if (count == 0) continue;
    std::fill_n(info.drawCells.begin(), kSectorSamples, std::uint8_t{1});
    for (int m = 1; m < count; ++m) {
      const std::size_t base = static_cast<std::size_t>(m) * kSectorSamples;
      for (int x = 0; x < kSectorSide; ++x)
        for (int z = 0; z < kSectorSide; ++z) {
          if (weights[base + Vertex(x, z)] == 0) continue;
          for (int cx = std::max(0, x - 1); cx <= std::min(kSectorCells - 1, x); ++cx)
            for (int cz = std::max(0, z - 1); cz <= std::min(kSectorCells - 1, z); ++cz) info.drawCells[base + Vertex(cx, cz)] = 1;
        }
    }
  }
  return out;
}

std::vector<std::uint8_t> WeightImage(std::span<const std::uint8_t> weights, std::span<const std::uint8_t> alphaWeights) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSectorSamples) * 4, 0);
  const auto at = [](std::span<const std::uint8_t> w, std::size_t i) -> std::uint8_t { return i < w.size() ? w[i] : 0; };
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = 0; z < kSectorSide; ++z) {
      // The picture's first row is the top one, and texture row 0 the bottom one.
      std::uint8_t* px = &rgba[(static_cast<std::size_t>(kSectorSide - 1 - z) * kSectorSide + static_cast<std::size_t>(x)) * 4];
      const std::uint8_t v = at(weights, Vertex(x, z));
      px[0] = px[1] = px[2] = v;
      px[3] = alphaWeights.empty() ? 255 : at(alphaWeights, Vertex(x, z));
    }
  return rgba;
}

std::string WeightMaterialName(int slot, int material, int sectorX, int sectorZ) {
  return "A" + std::to_string(slot) + std::to_string(material) + "@" + std::to_string(sectorX) + "@" + std::to_string(sectorZ);
}

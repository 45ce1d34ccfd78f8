// Building a sector's level meshes and animating its water.
#include "terrain/sectormesh.h"

#include <cmath>

namespace {

void PushVertex(TTRVSectorMesh& m, float x, float y, float z) {
  m.positions.insert(m.positions.end(), {x, y, z});
  m.texCoords.insert(m.texCoords.end(), {1.0f - x / kSectorCells, z / kSectorCells});
}

void PushQuad(std::vector<std::uint16_t>& out, int v0, int v1, int v2, int v3) {
  // Split along v0-v2: the same diagonal the surface queries interpolate across.
  for (int v : {v0, v1, v2, v0, v2, v3}) out.push_back(static_cast<std::uint16_t>(v));
}

}  // namespace

int SectorLevelStep(int level) {
  static constexpr int kSteps[] = {1, 2, 4, 8};
  return kSteps[level < 0 ? 0 : level > 3 ? 3 : level];
}

float SectorSkirtDepth(int level) {
  static constexpr float kDepths[] = {0, 4, 8, 8};
  return kDepths[level < 0 ? 0 : level > 3 ? 3 : level];
}

TTRVSectorMesh BuildSectorMesh(const TTRVSectorGrid& heights, float heightDivisor, int level) {
  TTRVSectorMesh m;
  m.level = level < 0 ? 0 : level > 3 ? 3 : level;
  const float divisor = heightDivisor > 0 && std::isfinite(heightDivisor) ? heightDivisor : 1.0f;
  const int s = SectorLevelStep(m.level), n = kSectorCells / s, side = n + 1;
  const auto h = [&](int a, int b) { return SectorSample(heights, a * s, b * s); };
  const auto grid = [side](int a, int b) { return a * side + b; };

  for (int a = 0; a <= n; ++a)
    for (int b = 0; b <= n; ++b) PushVertex(m, static_cast<float>(a * s), h(a, b) / divisor, static_cast<float>(b * s));

  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b) {
      if (h(a, b) == 0 && h(a, b + 1) == 0 && h(a + 1, b + 1) == 0 && h(a + 1, b) == 0) {
        m.needsFlatWater = true;
        continue;
      }
      PushQuad(m.groundIndices, grid(a, b), grid(a, b + 1), grid(a + 1, b + 1), grid(a + 1, b));
      ++m.groundQuads;
    }

  const float depth = SectorSkirtDepth(m.level);
  if (depth <= 0) return m;
  // Each border: its upper vertices in order along the border, and the lowered copies
  // appended after them. The winding makes each skirt face away from the sector.
  struct Border {
    int a0, b0, da, db;  // first vertex and step along the border, in grid units
    bool flip;           // reverse the winding so the face points outward
  };
  const Border borders[] = {{0, 0, 0, 1, true}, {n, 0, 0, 1, false}, {0, 0, 1, 0, false}, {0, n, 1, 0, true}};
  for (const Border& border : borders) {
    const int lowered = m.VertexCount();
    for (int k = 0; k <= n; ++k) {
      const int a = border.a0 + border.da * k, b = border.b0 + border.db * k;
      PushVertex(m, static_cast<float>(a * s), h(a, b) / divisor - depth, static_cast<float>(b * s));
    }
    for (int k = 0; k < n; ++k) {
      const int a0 = border.a0 + border.da * k, b0 = border.b0 + border.db * k;
      const int a1 = a0 + border.da, b1 = b0 + border.db;
      if (h(a0, b0) == 0 || h(a1, b1) == 0) continue;
      const int top0 = grid(a0, b0), top1 = grid(a1, b1), low0 = lowered + k, low1 = lowered + k + 1;
      if (border.flip)
        PushQuad(m.skirtIndices, top0, low0, low1, top1);
      else
        PushQuad(m.skirtIndices, top0, top1, low1, low0);
      ++m.skirtQuads;
    }
  }
  return m;
}

TTRVWaterMesh BuildWaterMesh(const TTRVSectorGrid& heights, float heightDivisor) {
  TTRVWaterMesh w;
  const float divisor = heightDivisor > 0 && std::isfinite(heightDivisor) ? heightDivisor : 1.0f;
  w.positions.assign(static_cast<std::size_t>(kSectorSide * kSectorSide * 3), 0.0f);
  w.texCoords.assign(static_cast<std::size_t>(kSectorSide * kSectorSide * 2), 0.0f);
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = 0; z < kSectorSide; ++z) {
      float* p = &w.positions[static_cast<std::size_t>((x * kSectorSide + z) * 3)];
      p[0] = static_cast<float>(x) - (x == 0 ? 0.1f : 0.0f);
      p[1] = 0.1f;
      p[2] = static_cast<float>(z) - (z == 0 ? 0.1f : 0.0f);
    }
  const auto low = [&](int x, int z) { return SectorSample(heights, x, z) / divisor < kWaterDepthLimit; };
  const auto at = [](int x, int z) { return x * kSectorSide + z; };
  for (int x = 0; x < kSectorCells; ++x)
    for (int z = 0; z < kSectorCells; ++z) {
      if (!(low(x, z) && low(x, z + 1) && low(x + 1, z + 1) && low(x + 1, z))) continue;
      PushQuad(w.indices, at(x, z), at(x, z + 1), at(x + 1, z + 1), at(x + 1, z));
      ++w.quads;
    }
  return w;
}

void AnimateWater(TTRVWaterMesh& mesh, int sectorX, int sectorZ, const TTRVWaveState& waves, const TTRVRippleGrid& ripple) {
  if (mesh.positions.size() < static_cast<std::size_t>(kSectorSide * kSectorSide * 3)) return;
  float waveX[kSectorSide], waveZ[kSectorSide];
  for (int k = 0; k < kSectorSide; ++k) {
    waveX[k] = std::sin(static_cast<float>(sectorX + k) + waves.phaseA);
    waveZ[k] = std::sin(static_cast<float>(sectorZ + k) + waves.phaseB);
  }
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = 0; z < kSectorSide; ++z) {
      const std::size_t i = static_cast<std::size_t>(x * kSectorSide + z);
      const float r = ripple[static_cast<std::size_t>(x)][static_cast<std::size_t>(z)];
      mesh.positions[i * 3 + 1] = (waveX[x] + waveZ[z]) * 0.05f + 0.1f;
      mesh.texCoords[i * 2] = static_cast<float>(x) / kSectorCells + waves.sinA * r;
      mesh.texCoords[i * 2 + 1] = static_cast<float>(z) / kSectorCells + waves.sinB * r;
    }
}

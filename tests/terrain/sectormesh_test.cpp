// A sector's level meshes, skirts and water, built from small height fixtures.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/vectorgeometry.h"
#include "terrain/sectormesh.h"

namespace {

TTRVSectorGrid Filled(std::uint8_t h) {
  TTRVSectorGrid g;
  g.fill(h);
  return g;
}

void Set(TTRVSectorGrid& g, int x, int z, std::uint8_t h) { g[static_cast<std::size_t>(x * kSectorSide + z)] = h; }

TAffineVector Vertex(const std::vector<float>& positions, int v) {
  const std::size_t i = static_cast<std::size_t>(v) * 3;
  return {positions[i], positions[i + 1], positions[i + 2]};
}

TEST(SectorMesh, LevelsOfALandSector) {
  const struct {
    int level;
    int vertices, groundQuads, skirtQuads;
    float skirtDepth;
  } cases[] = {
      {0, 33 * 33, 32 * 32, 0, 0},             // full detail: no skirts
      {1, 17 * 17 + 4 * 17, 16 * 16, 4 * 16, 4},
      {2, 9 * 9 + 4 * 9, 8 * 8, 4 * 8, 8},
      {3, 5 * 5 + 4 * 5, 4 * 4, 4 * 4, 8},
  };
  const TTRVSectorGrid land = Filled(50);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    const TTRVSectorMesh m = BuildSectorMesh(land, 10, c.level);
    EXPECT_EQ(m.VertexCount(), c.vertices);
    EXPECT_EQ(m.groundQuads, c.groundQuads);
    EXPECT_EQ(m.skirtQuads, c.skirtQuads);
    EXPECT_EQ(m.groundIndices.size(), static_cast<std::size_t>(6 * c.groundQuads));
    EXPECT_EQ(m.skirtIndices.size(), static_cast<std::size_t>(6 * c.skirtQuads));
    EXPECT_FALSE(m.needsFlatWater);
    EXPECT_EQ(m.texCoords.size(), m.positions.size() / 3 * 2);
    EXPECT_FLOAT_EQ(SectorSkirtDepth(c.level), c.skirtDepth);
    for (std::uint16_t i : m.skirtIndices) {
      const float y = Vertex(m.positions, i).y;
      EXPECT_TRUE(y == 5.0f || y == 5.0f - c.skirtDepth) << y;
    }
  }
}

TEST(SectorMesh, VerticesSitAtTheirHeightsWithTheBakedImagesCoordinates) {
  TTRVSectorGrid g = Filled(0);
  Set(g, 4, 8, 30);
  Set(g, 32, 0, 13);
  const TTRVSectorMesh m = BuildSectorMesh(g, 10, 1);  // step 2: grid vertex (a, b) is sample (2a, 2b)
  const int side = 17;
  const struct {
    int a, b;
    float x, y, z, s, t;
  } cases[] = {{2, 4, 4, 3.0f, 8, 1 - 4 / 32.0f, 8 / 32.0f}, {16, 0, 32, 1.3f, 0, 0, 0}, {0, 16, 0, 0, 32, 1, 1}};
  for (const auto& c : cases) {
    const int v = c.a * side + c.b;
    const TAffineVector p = Vertex(m.positions, v);
    EXPECT_FLOAT_EQ(p.x, c.x);
    EXPECT_FLOAT_EQ(p.y, c.y);
    EXPECT_FLOAT_EQ(p.z, c.z);
    EXPECT_FLOAT_EQ(m.texCoords[static_cast<std::size_t>(v) * 2], c.s);
    EXPECT_FLOAT_EQ(m.texCoords[static_cast<std::size_t>(v) * 2 + 1], c.t);
  }
}

TEST(SectorMesh, QuadsAtHeightZeroAreSkippedAndAskForTheFlatWater) {
  const struct {
    const char* what;
    int level;
    std::vector<std::array<int, 2>> raised;  // samples at height 40
    int groundQuads;
    bool flatWater;
  } cases[] = {
      {"open sea", 2, {}, 0, true},
      {"one raised corner draws the quads around it", 1, {{{4, 4}}}, 4, true},
      {"a raised sample between coarse vertices is not seen", 3, {{{4, 4}}}, 0, true},
      {"one raised corner at full detail", 0, {{{10, 10}}}, 4, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVSectorGrid g = Filled(0);
    for (auto [x, z] : c.raised) Set(g, x, z, 40);
    const TTRVSectorMesh m = BuildSectorMesh(g, 10, c.level);
    EXPECT_EQ(m.groundQuads, c.groundQuads);
    EXPECT_EQ(m.needsFlatWater, c.flatWater);
    EXPECT_EQ(m.skirtQuads, 0) << "no skirt hangs from a border at height 0";
  }
}

TEST(SectorMesh, SkirtsHangOnlyWhereBothUpperVerticesAreAboveZero) {
  TTRVSectorGrid g = Filled(20);
  Set(g, 0, 8, 0);    // on the x = 0 border: level-1 vertex (0, 4)
  Set(g, 32, 32, 0);  // the far corner: touches the x = 32 and z = 32 borders
  const TTRVSectorMesh m = BuildSectorMesh(g, 10, 1);
  EXPECT_EQ(m.skirtQuads, 4 * 16 - 2 - 2);
  EXPECT_EQ(m.groundQuads, 16 * 16) << "a quad with a non-zero corner is still drawn";
  EXPECT_FALSE(m.needsFlatWater);
}

TEST(SectorMesh, SkirtsFaceAwayFromTheSector) {
  const TTRVSectorMesh m = BuildSectorMesh(Filled(30), 10, 2);
  ASSERT_EQ(m.skirtIndices.size() % 3, 0u);
  for (std::size_t i = 0; i < m.skirtIndices.size(); i += 3) {
    const TAffineVector a = Vertex(m.positions, m.skirtIndices[i]), b = Vertex(m.positions, m.skirtIndices[i + 1]),
                        c = Vertex(m.positions, m.skirtIndices[i + 2]);
    const TAffineVector normal = VectorCrossProduct(b - a, c - a);  // counter-clockwise fronts
    TAffineVector outward = (a + b + c) / 3.0f - TAffineVector(16, 0, 16);
    outward.y = 0;
    EXPECT_GT(VectorDotProduct(normal, outward), 0) << "triangle " << i / 3;
  }
}

TEST(SectorMesh, AGroundTriangleSplitsItsQuadAlongTheRisingDiagonal) {
  TTRVSectorGrid g = Filled(10);
  const TTRVSectorMesh m = BuildSectorMesh(g, 10, 0);
  // First quad: corners (0,0), (0,1), (1,1), (1,0); both triangles hold (0,0) and (1,1).
  for (int tri = 0; tri < 2; ++tri) {
    bool low = false, high = false;
    for (int k = 0; k < 3; ++k) {
      const TAffineVector p = Vertex(m.positions, m.groundIndices[static_cast<std::size_t>(tri * 3 + k)]);
      low |= p.x == 0 && p.z == 0;
      high |= p.x == 1 && p.z == 1;
    }
    EXPECT_TRUE(low && high) << tri;
  }
}

TEST(SectorMesh, ABadDivisorDoesNotPoisonTheMesh) {
  for (float divisor : {0.0f, -3.0f, NAN}) {
    const TTRVSectorMesh m = BuildSectorMesh(Filled(7), divisor, 2);
    for (float v : m.positions) ASSERT_TRUE(std::isfinite(v));
  }
}

TEST(WaterMesh, CellsWithEveryCornerBelowTwoUnitsGetWater) {
  const struct {
    const char* what;
    std::uint8_t sample;  // the height of sample (5, 5), divisor 10
    int quads;
  } cases[] = {{"open sea", 0, 1024}, {"shallow ground", 19, 1024}, {"exactly two units", 20, 1020}, {"a hill", 200, 1020}};
  for (const auto& c : cases) {
    TTRVSectorGrid g = Filled(0);
    Set(g, 5, 5, c.sample);
    EXPECT_EQ(BuildWaterMesh(g, 10).quads, c.quads) << c.what;
  }
}

TEST(WaterMesh, WavesRippleAndOverlapTheNeighbours) {
  TTRVWaterMesh w = BuildWaterMesh(Filled(0), 10);
  TTRVWaveState waves;
  waves.phaseA = 0.3f;
  waves.phaseB = -1.1f;
  waves.sinA = std::sin(waves.phaseA);
  waves.sinB = std::sin(waves.phaseB);
  TTRVRippleGrid ripple{};
  for (int x = 0; x < kSectorCells; ++x)
    for (int z = 0; z < kSectorCells; ++z) ripple[static_cast<std::size_t>(x)][static_cast<std::size_t>(z)] = (x + z) % 2 ? 0.004f : -0.004f;
  AnimateWater(w, 3, 4, waves, ripple);
  const struct {
    int x, z;
    float px, pz;
  } cases[] = {{0, 0, -0.1f, -0.1f}, {0, 7, -0.1f, 7}, {7, 0, 7, -0.1f}, {32, 32, 32, 32}, {12, 5, 12, 5}};
  for (const auto& c : cases) {
    const int v = c.x * kSectorSide + c.z;
    const TAffineVector p = Vertex(w.positions, v);
    EXPECT_FLOAT_EQ(p.x, c.px);
    EXPECT_FLOAT_EQ(p.z, c.pz);
    EXPECT_NEAR(p.y, (std::sin(3.0f + c.x + 0.3f) + std::sin(4.0f + c.z - 1.1f)) * 0.05f + 0.1f, 1e-6);
    const float r = ripple[static_cast<std::size_t>(c.x)][static_cast<std::size_t>(c.z)];
    EXPECT_NEAR(w.texCoords[static_cast<std::size_t>(v) * 2], c.x / 32.0f + waves.sinA * r, 1e-6);
    EXPECT_NEAR(w.texCoords[static_cast<std::size_t>(v) * 2 + 1], c.z / 32.0f + waves.sinB * r, 1e-6);
  }
}

}  // namespace

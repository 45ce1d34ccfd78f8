// The forge's modelling and painting kits: faces wind outward whatever the transform, outlines
// of any shape triangulate to their own area, atlas cells land where the picture has them, and
// every ground texture tiles without a seam.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <functional>
#include <random>
#include <string>

#include "tools/forge/ground_textures.h"
#include "tools/forge/meshkit.h"

namespace {

using forge::MeshKit;

// Twice the signed volume the faces enclose, summed as tetrahedra from the origin: positive
// exactly when the faces of a closed solid wind outward.
float EnclosedVolume(const MeshKit& m) {
  const auto& p = m.Positions();
  float v = 0;
  for (std::size_t i = 0; i + 2 < p.size(); i += 3) v += glm::dot(p[i], glm::cross(p[i + 1], p[i + 2])) / 6;
  return v;
}

TEST(MeshKit, ClosedSolidsWindOutwardUnderAnyTransform) {
  struct Case {
    const char* what;
    TMatrix transform;
    std::function<void(MeshKit&)> build;
    float volume;
  };
  const TTexPoint ell[] = {{0, 0}, {0, 2}, {1, 2}, {1, 1}, {2, 1}, {2, 0}};  // an L, not convex
  const Case cases[] = {
      {"box", TMatrix(1.0f), [](MeshKit& m) { m.Box({-1, -1, -1}, {1, 1, 1}); }, 8},
      {"mirrored box", forge::Scaling(-1, 1, 1), [](MeshKit& m) { m.Box({0, 0, 0}, {1, 2, 3}); }, 6},
      {"turned box", forge::RotationY(30) * forge::RotationX(50), [](MeshKit& m) { m.Box({0, 0, 0}, {1, 1, 1}); }, 1},
      {"L prism", TMatrix(1.0f), [&](MeshKit& m) { m.Prism(ell, 0, 1); }, 3},
      {"L side plate", TMatrix(1.0f), [&](MeshKit& m) { m.PlateZY(ell, 0, 2); }, 6},
      {"cylinder", TMatrix(1.0f), [](MeshKit& m) { m.Cylinder(1, 1, 0, 1, 64); }, 3.1365f},
      {"cone", forge::Translation(5, 0, 0), [](MeshKit& m) { m.Cylinder(1, 0, 0, 3, 64); }, 3.1365f},
  };
  for (const Case& c : cases) {
    MeshKit m;
    m.Push(c.transform);
    c.build(m);
    m.Pop();
    EXPECT_NEAR(EnclosedVolume(m), c.volume, 0.01f) << c.what;
    for (std::size_t i = 0; i + 2 < m.Positions().size(); i += 3) {
      TAffineVector n = glm::cross(m.Positions()[i + 1] - m.Positions()[i], m.Positions()[i + 2] - m.Positions()[i]);
      EXPECT_GE(glm::dot(n, m.Normals()[i]), -1e-6f) << c.what << " triangle " << i / 3;
    }
  }
}

TEST(MeshKit, LoftCapsAndPointedEndsLeaveNoSlivers) {
  // A square tube that ends in a point: the tip's collapsed faces are dropped, not kept as NaN.
  const forge::LoftSection sections[] = {{0, {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}}, {2, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}}};
  MeshKit m;
  m.Loft(sections, true, false);
  EXPECT_NEAR(EnclosedVolume(m), 4 * 2 / 3.0f, 1e-4f);
  for (const TAffineVector& n : m.Normals()) EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
  EXPECT_EQ(m.TriangleCount(), 4u + 2u);
}

TEST(MeshKit, AtlasCellsCountRowsFromTheTopOfThePicture) {
  forge::UvRect top = forge::AtlasCell(0, 0, 4, 0);
  forge::UvRect bottom = forge::AtlasCell(3, 3, 4, 0);
  EXPECT_FLOAT_EQ(top.t1, 1.0f);  // t = 1 is the image's top row
  EXPECT_FLOAT_EQ(top.t0, 0.75f);
  EXPECT_FLOAT_EQ(bottom.s0, 0.75f);
  EXPECT_FLOAT_EQ(bottom.t0, 0.0f);
  forge::UvRect inset = forge::AtlasCell(1, 1, 4, 0.1f);
  EXPECT_GT(inset.s0, 0.25f);
  EXPECT_LT(inset.s1, 0.5f);
}

// Difference between the last and first columns (rows), and the largest between any two
// neighbouring ones inside: a tile that does not wrap shows a step no neighbour pair has.
void SeamAndInside(const platform::Bitmap& b, bool columns, double& seam, double& inside) {
  auto diff = [&](int a, int c) {
    double d = 0;
    const int n = columns ? b.Height() : b.Width();
    for (int k = 0; k < n; ++k) {
      platform::Color p = columns ? b.Pixel(a, k) : b.Pixel(k, a), q = columns ? b.Pixel(c, k) : b.Pixel(k, c);
      d += std::abs(platform::RedOf(p) - platform::RedOf(q)) + std::abs(platform::GreenOf(p) - platform::GreenOf(q)) +
           std::abs(platform::BlueOf(p) - platform::BlueOf(q));
    }
    return d / n;
  };
  const int size = columns ? b.Width() : b.Height();
  seam = diff(size - 1, 0);
  inside = 0;
  for (int i = 0; i + 1 < size; ++i) inside = std::max(inside, diff(i, i + 1));
}

TEST(GroundTextures, EveryLayerTilesWithoutASeam) {
  std::mt19937 gen(7);
  const forge::Rgb a = forge::RgbOf(60, 90, 40), b = forge::RgbOf(170, 160, 120), c = forge::RgbOf(110, 90, 70);
  const std::pair<const char*, platform::Bitmap> textures[] = {
      {"vegetation", forge::VegetationTexture(gen, a, b, c)}, {"sand", forge::SandTexture(gen, a, b)},
      {"rock", forge::RockTexture(gen, a, b)},                {"snow", forge::SnowTexture(gen, a, b)},
      {"gravel", forge::GravelTexture(gen, a, b)},            {"litter", forge::LitterTexture(gen, a, b)},
      {"paving", forge::PavingTexture(gen, a, b)},            {"water", forge::WaterTexture(gen, a, b)},
  };
  for (const auto& [name, texture] : textures) {
    ASSERT_EQ(texture.Width(), forge::kGroundSize) << name;
    ASSERT_EQ(texture.Height(), forge::kGroundSize) << name;
    for (bool columns : {true, false}) {
      double seam, inside;
      SeamAndInside(texture, columns, seam, inside);
      EXPECT_LE(seam, inside) << name << (columns ? " left/right" : " top/bottom");
    }
  }
}

}  // namespace

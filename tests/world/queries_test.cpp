// Terrain and spatial queries on small fixture grids: heights, the surface and its normal,
// traces, box overlaps, the shot probe and the unit searches.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <memory>
#include <vector>

#include "world/pathfinder.h"
#include "world/queries.h"

namespace {

bool Finite(const TAffineVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool Finite(const TVector& v) { return Finite(TAffineVector(v)); }

// A 16 x 16 map, divisor 2, flat at 0 except where a test raises it.
struct Ground {
  TTRVGrid<std::uint8_t> heights{16, 16, 0};
  TTRVGrid<float> objects{16, 16, 0.0f};
  TTRVGroundView View() { return {&heights, 2.0f, &objects}; }
};

TEST(Queries, GroundAndTopHeightsReadTheCellUnderThePosition) {
  Ground g;
  g.heights(0, 0) = 6;
  g.heights(15, 3) = 9;
  g.objects(0, 0) = 4.5f;
  const struct {
    float x, z;
    float ground, top;
  } cases[] = {
      {0.5f, 0.5f, 3, 7.5f},   // cell 0
      {-0.5f, 0.5f, 0, 0},     // cell -1: outside
      {0.5f, -0.01f, 0, 0},
      {15.9f, 3.2f, 4.5f, 4.5f},
      {16.0f, 3.2f, 0, 0},     // past the last cell
      {NAN, 1, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(GroundHeight(g.View(), {c.x, 0, c.z}), c.ground) << c.x << ", " << c.z;
    EXPECT_FLOAT_EQ(TopHeight(g.View(), {c.x, 0, c.z}), c.top) << c.x << ", " << c.z;
  }
}

TEST(Queries, CellsFloorTowardMinusInfinity) {
  EXPECT_EQ(CellOf({2.7f, 0, 3.1f}), (TTRVCell{2, 3}));
  EXPECT_EQ(CellOf({-0.5f, 0, -2.5f}), (TTRVCell{-1, -3}));
  EXPECT_EQ(CellPosition({4, 9}), TAffineVector(4, 0, 9));
}

TEST(Queries, SurfaceInterpolatesOnTheCellsTwoTriangles) {
  Ground g;
  // Cell (2, 2): corners h(2,2) = 1, h(3,2) = 2, h(2,3) = 3, h(3,3) = 5 (bytes / 2). The two
  // triangles are different planes: h = 1 + fx + 3 fz on the x side of the diagonal, and
  // h = 1 + 2 fx + 2 fz on the z side, so each has its own upward normal.
  g.heights(2, 2) = 2;
  g.heights(3, 2) = 4;
  g.heights(2, 3) = 6;
  g.heights(3, 3) = 10;
  const TAffineVector xSide = TAffineVector(-1, 1, -3) / std::sqrt(11.0f);
  const TAffineVector zSide = TAffineVector(-2, 1, -2) / 3.0f;
  // (3, 3) lies in cell (3, 3), which falls from 5 to the flat sea at z = 4.
  const TAffineVector farCell = TAffineVector(0, 1, 5) / std::sqrt(26.0f);
  const TAffineVector up(0, 1, 0);
  const struct {
    const char* what;
    float x, z;
    float height;
    TAffineVector normal;
  } cases[] = {
      {"exact corner uses the second triangle", 2, 2, 1, zSide},
      {"far corner", 3, 3, 5, farCell},
      {"x side of the diagonal", 2.75f, 2.25f, 2 + (1 - 2) * 0.25f + (5 - 2) * 0.25f, xSide},
      {"z side of the diagonal", 2.25f, 2.75f, 3 + (5 - 3) * 0.25f + (1 - 3) * 0.25f, zSide},
      {"on the diagonal", 2.5f, 2.5f, 3, zSide},
      {"outside", -0.1f, 2, 0, up},
      {"beyond the last sample", 15.01f, 2, 0, up},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TTRVSurface s = SurfaceAt(g.View(), c.x, c.z);
    EXPECT_NEAR(s.height, c.height, 1e-5);
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(s.normal[axis], c.normal[axis], 1e-5) << "axis " << axis;
    EXPECT_EQ(s.normal.w, 0);
    // Without the normal the height is the same.
    EXPECT_EQ(SurfaceAt(g.View(), c.x, c.z, false).height, s.height);
  }
}

TEST(Queries, SurfaceNormalLeansAwayFromTheRise) {
  Ground g;
  for (int x = 0; x < 16; ++x)
    for (int z = 0; z < 16; ++z) g.heights(x, z) = static_cast<std::uint8_t>(2 * x);  // rises 1 per cell along X
  for (auto [x, z] : {std::pair{4.7f, 5.2f}, std::pair{4.2f, 5.7f}}) {
    const TTRVSurface s = SurfaceAt(g.View(), x, z);
    EXPECT_NEAR(s.normal.x, -std::sqrt(0.5f), 1e-5);
    EXPECT_NEAR(s.normal.y, std::sqrt(0.5f), 1e-5);
    EXPECT_NEAR(s.normal.z, 0, 1e-5);
    EXPECT_NEAR(s.height, x, 1e-5);
  }
  // The last column has no neighbour beyond it: flat along X, still a valid upward normal.
  const TTRVSurface edge = SurfaceAt(g.View(), 15, 7.5f);
  EXPECT_NEAR(edge.height, 15, 1e-5);
  EXPECT_TRUE(Finite(edge.normal));
  EXPECT_NEAR(edge.normal.y, 1, 1e-5);
}

TEST(Queries, TraceFromAPointToItselfTakesNoSample) {
  Ground g;
  TTRVPathFinder finder;
  finder.Reset(16, 16, true);
  const TTRVTrace t = TraceSegment(g.View(), {5, 1, 5}, {5, 1, 5}, &finder);
  EXPECT_TRUE(t.visible);
  EXPECT_TRUE(t.passable);
  EXPECT_EQ(t.length, 0);
  EXPECT_EQ(t.lastVisible, TAffineVector(5, 1, 5));
}

TEST(Queries, TraceSightAndPassage) {
  const struct {
    const char* what;
    TAffineVector from, to;
    bool ridge, tower, blockedCell, blockedStart;
    bool visible, passable;
    float lastVisibleX;  // x of the last visible point
  } cases[] = {
      {"open flat ground", {1.5f, 1, 8.5f}, {12.5f, 1, 8.5f}, false, false, false, false, true, true, 12.5f},
      {"a ridge at x = 6 hides the far end", {1.5f, 1, 8.5f}, {12.5f, 1, 8.5f}, true, false, false, false, false, true, 4.5f},
      {"a ridge lower than the line", {1.5f, 9, 8.5f}, {12.5f, 9, 8.5f}, true, false, false, false, true, true, 12.5f},
      {"a static object hides it", {1.5f, 1, 8.5f}, {12.5f, 1, 8.5f}, false, true, false, false, false, true, 8.5f},
      {"a blocked cell on the way", {1.5f, 1, 8.5f}, {12.5f, 1, 8.5f}, false, false, true, false, true, false, 12.5f},
      {"a blocked neighbour of the start", {3.5f, 1, 8.5f}, {12.5f, 1, 8.5f}, false, false, false, true, true, false, 12.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Ground g;
    TTRVPathFinder finder;
    finder.Reset(16, 16, true);
    if (c.ridge)
      for (int z = 0; z < 16; ++z) g.heights(6, z) = 8;  // 4 units high
    if (c.tower) g.objects(9, 8) = 3;
    if (c.blockedCell) finder.SetPassable(10, 8, false);
    if (c.blockedStart) finder.SetPassable(3, 9, false);
    const TTRVTrace t = TraceSegment(g.View(), c.from, c.to, &finder);
    EXPECT_EQ(t.visible, c.visible);
    EXPECT_EQ(t.passable, c.passable);
    EXPECT_NEAR(t.lastVisible.x, c.lastVisibleX, 1e-4);
    EXPECT_NEAR(t.length, VectorLength(c.to - c.from), 1e-5);
  }
}

TEST(Queries, TraceNeverSamplesPastItsEnd) {
  // Looking down at a point on flat ground: one more unit along the line would be underground.
  Ground g;
  const TAffineVector from{2, 4.5f, 8}, to{6.5f, 0, 8};
  const TTRVTrace t = TraceSegment(g.View(), from, to);
  EXPECT_TRUE(t.visible);
  EXPECT_EQ(t.lastVisible, to);
}

TEST(Queries, CanAimWithinTheDeviation) {
  const struct {
    TAffineVector from, to;
    float deviation;
    bool can;
  } cases[] = {
      {{0, 0, 0}, {0, 0, 10}, -1, true},
      {{0, 0, 0}, {10, 0, 0}, -1, true},
      {{0, 0, 0}, {0, 0, 10}, 0.01f, true},
      {{0, 0, 0}, {0.5f, 0, 10}, 0.01f, false},
      {{0, 0, 0}, {10, 0, 0}, 1, false},  // a right angle is sqrt(2) away
      {{3, 3, 3}, {3, 3, 3}, 1, true},    // a zero segment: the zero vector is 1 from the facing
      {{3, 3, 3}, {3, 3, 3}, 0.5f, false},
  };
  for (const auto& c : cases) EXPECT_EQ(CanAim(c.from, c.to, c.deviation, {0, 0, 1}), c.can);
}

std::unique_ptr<TGLDummyCube> Box(TAffineVector at, TAffineVector scale = {1, 1, 1}, float turn = 0) {
  auto b = std::make_unique<TGLDummyCube>();
  b->Position.SetPoint(at);
  b->Scale.SetVector(scale);
  if (turn != 0) b->Turn(turn);
  return b;
}

TEST(Queries, BoxesIntersect) {
  const struct {
    const char* what;
    TAffineVector atB, scaleA, scaleB;
    float turnB;
    bool overlap;
  } cases[] = {
      {"apart", {1.1f, 0, 0}, {1, 1, 1}, {1, 1, 1}, 0, false},
      {"touching corners inside", {0.9f, 0.2f, 0}, {1, 1, 1}, {1, 1, 1}, 0, true},
      {"turned 45 degrees reaches further", {1.1f, 0, 0}, {1, 1, 1}, {1, 1, 1}, 45, true},
      {"turned but still apart", {1.3f, 0, 0}, {1, 1, 1}, {1, 1, 1}, 45, false},
      {"a cross: no corner inside either", {0, 0, 0}, {4, 0.2f, 0.2f}, {0.2f, 0.2f, 4}, 0, true},
      {"one inside the other", {0.1f, 0, 0}, {5, 5, 5}, {1, 1, 1}, 0, true},
      {"a thin rod through a box", {0, 0, 0}, {1, 1, 1}, {0.01f, 0.01f, 10}, 0, true},
  };
  for (const auto& c : cases) {
    auto a = Box({0, 0, 0}, c.scaleA), b = Box(c.atB, c.scaleB, c.turnB);
    EXPECT_EQ(BoxesIntersect(*a, *b), c.overlap) << c.what;
    EXPECT_EQ(BoxesIntersect(*b, *a), c.overlap) << c.what << " (swapped)";
  }
}

TEST(Queries, ProbeBoxEndsAtTheSegmentsEndPoint) {
  TGLDummyCube probe;
  LayProbeBox(probe, {0, 1, 0}, {10, 1, 0}, {1, 0, 0});
  EXPECT_NEAR(probe.Scale.Z(), 10, 1e-5);
  const struct {
    float x;
    bool hit;
  } cases[] = {{8, true}, {1, true}, {10.4f, true}, {10.6f, false}, {15, false}, {-0.6f, false}};
  for (const auto& c : cases) {
    auto unit = Box({c.x, 1, 0});
    EXPECT_EQ(BoxesIntersect(probe, *unit), c.hit) << c.x;
  }
}

TEST(Queries, ProbeBoxWithAZeroDirectionStaysFinite) {
  TGLDummyCube probe;
  LayProbeBox(probe, {2, 2, 2}, {2, 2, 2}, {0, 0, 0});
  const TMatrix& m = probe.AbsoluteMatrix();
  for (int col = 0; col < 4; ++col) EXPECT_TRUE(Finite(TVector(m[col]))) << col;
}

// A handful of units as the searches see them, in side order.
struct Units {
  std::deque<std::unique_ptr<TGLDummyCube>> objects;
  std::deque<float> armour;
  std::vector<TTRVUnitRef> refs;

  TTRVUnitRef& Add(TAffineVector at, int side, int type, float hp = 10, bool far = false) {
    objects.push_back(Box(at));
    armour.push_back(hp);
    TTRVUnitRef r;
    r.object = objects.back().get();
    r.armour = &armour.back();
    r.side = side;
    r.unitType = type;
    r.isFar = far;
    refs.push_back(r);
    return refs.back();
  }
  TTRVUnitList List() const { return refs; }
};

TEST(Queries, UnitOnSegmentFindsTheNearestNearUnitUpToTheEndPoint) {
  Units u;
  u.Add({14, 1, 0}, 1, 1);          // 0: behind the end point (behind the hill)
  u.Add({7, 1, 0}, 1, 1);           // 1
  u.Add({4, 1, 0}, 1, 1, 10, true); // 2: far units take no part
  u.Add({5, 1, 0}, 1, 1);           // 3: the nearest near one
  u.Add({2, 1, 0}, 0, 0);           // 4: the shooter
  TGLDummyCube probe;
  const TTRVUnitRef* hit = UnitOnSegment(u.List(), probe, {2, 1, 0}, {10, 1, 0}, u.refs[4].object, {1, 0, 0});
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->object, u.refs[3].object);

  EXPECT_EQ(UnitOnSegment(std::span(u.refs).first(1), probe, {2, 1, 0}, {10, 1, 0}, nullptr, {1, 0, 0}), nullptr)
      << "a unit beyond the end point is not hit";
}

TEST(Queries, UnitOnSegmentIgnoresUnitsAThousandAway) {
  Units u;
  u.Add({1500, 1, 0}, 1, 1);
  TGLDummyCube probe;
  EXPECT_EQ(UnitOnSegment(u.List(), probe, {0, 1, 0}, {1500, 1, 0}, nullptr, {1, 0, 0}), nullptr);
}

TEST(Queries, UnitTouchingTakesTheLastOverlapAndSkipsTheBoxItself) {
  Units u;
  u.Add({0.5f, 0, 0}, 0, 1);
  u.Add({-0.5f, 0, 0}, 1, 1, 0);  // a wreck
  u.Add({0, 0, 0.5f}, 2, 2, 10, true);
  u.Add({0, 0.5f, 0}, 2, 2);
  u.Add({9, 0, 0}, 2, 2);
  auto box = Box({0, 0, 0});
  EXPECT_EQ(UnitTouching(u.List(), *box, false)->object, u.refs[3].object);
  EXPECT_EQ(UnitTouching(std::span(u.refs).first(2), *box, false)->object, u.refs[0].object);
  EXPECT_EQ(UnitTouching(std::span(u.refs).first(2), *box, true)->object, u.refs[1].object);
  EXPECT_EQ(UnitTouching(std::span(u.refs).first(1), *u.refs[0].object, true), nullptr) << "not itself";
}

TEST(Queries, UnitOfTypeTouchingCountsWrecksOnlyForThePlayer) {
  Units u;
  TTRVUnitRef asker = u.Add({0, 0, 0}, 0, 0);
  u.Add({0.6f, 0, 0}, 1, 1, 0);  // a tank wreck next to it
  const TGLBaseSceneObject& box = *u.refs[0].object;
  EXPECT_FALSE(UnitOfTypeTouching(u.List(), box, asker, 1));
  asker.isPlayer = true;
  EXPECT_TRUE(UnitOfTypeTouching(u.List(), box, asker, 1));
  EXPECT_FALSE(UnitOfTypeTouching(u.List(), box, asker, 2)) << "another type";
  EXPECT_FALSE(UnitOfTypeTouching(u.List(), box, asker, 0)) << "itself";
}

TEST(Queries, PickUnitNearestToTheLineAheadOfTheCamera) {
  Units u;
  u.Add({0, 0, -20}, 1, 1);   // 0: behind the camera, on the line
  u.Add({6, 0, 30}, 1, 1);    // 1: 6 off the line
  u.Add({2, 0, 40}, 1, 1);    // 2: 2 off
  u.Add({1, 0, 50}, 1, 1, 0); // 3: dead
  u.Add({0.5f, 0, 45}, 1, 1, 10, true);  // 4: far
  const TAffineVector camera{0, 0, 0}, target{0, 0, 10};
  EXPECT_EQ(PickUnit(u.List(), camera, target, nullptr)->object, u.refs[2].object);
  EXPECT_EQ(PickUnit(u.List(), camera, target, u.refs[2].object), nullptr) << "6 off is beyond 5";
  EXPECT_EQ(PickUnit(u.List(), camera, camera, nullptr), nullptr) << "a target on the camera gives no line";
}

TEST(Queries, EnemyWithinSkipsTheOwnSideAndDamagesOnlyWithPresetStances) {
  Units u;
  TTRVUnitRef me = u.Add({0, 0, 0}, 0, 1);
  u.Add({1, 0, 0}, 0, 1);      // a friend
  u.Add({3, 0, 0}, 1, 1, 0);   // a dead enemy
  u.Add({4, 0, 0}, 2, 1, 10);  // a live enemy
  EXPECT_FALSE(EnemyWithin(u.List(), me, 2, 4, false)) << "4 away is not nearer than 4";
  EXPECT_TRUE(EnemyWithin(u.List(), me, 2, 5, false));
  EXPECT_EQ(u.armour[3], 10);
  EXPECT_TRUE(EnemyWithin(u.List(), me, 2, 5, true));
  EXPECT_EQ(u.armour[3], 8);
}

TEST(Queries, FirstInLineWhenNoNeighbourIsCloserToTheGoal) {
  TTRVGrid<std::uint16_t> distance(12, 12, 0);
  for (int x = 0; x < 12; ++x)
    for (int z = 0; z < 12; ++z) distance(x, z) = static_cast<std::uint16_t>(2 + x);  // the goal lies toward -X
  const struct {
    const char* what;
    TAffineVector other;
    int otherType;
    float otherArmour;
    int minLevel;
    bool first;
  } cases[] = {
      {"a neighbour nearer the goal", {3.2f, 0, 5.2f}, 1, 10, 0, false},
      {"a neighbour farther from it", {7.2f, 0, 5.2f}, 1, 10, 0, true},
      {"a nearer one of another type", {3.2f, 0, 5.2f}, 2, 10, 0, true},
      {"a nearer wreck", {3.2f, 0, 5.2f}, 1, 0, 0, true},
      {"a nearer one outside the radius", {0.5f + 1, 0, 1.2f}, 1, 10, 0, true},
      {"below the minimum level", {7.2f, 0, 5.2f}, 1, 10, 9, false},
  };
  for (const auto& c : cases) {
    Units u;
    TTRVUnitRef me = u.Add({4.7f, 0, 5.2f}, 0, 1);  // rounded cell (5, 5): value 7
    u.Add(c.other, 0, c.otherType, c.otherArmour);
    EXPECT_EQ(FirstInLine(u.List(), me, distance, c.minLevel, 3.5f), c.first) << c.what;
  }
  Units u;
  TTRVUnitRef edge = u.Add({0.2f, 0, 5}, 0, 1);  // rounded cell 0: on the border
  EXPECT_FALSE(FirstInLine(u.List(), edge, distance, 0, 3));
}

}  // namespace

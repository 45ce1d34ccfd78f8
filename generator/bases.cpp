// Base choice, naval bases, compounds, fences, walls, defence points and removals.
#include "generator/bases.h"

#include <algorithm>

#include "world/floatingwave.h"
#include "generator/worldout.h"
#include "world/worldload.h"

std::uint8_t WallRotationToward(int dx, int dz) {
  // A wall runs one unit along its own +X. Objects turn clockwise seen from above, so a
  // quarter turn (code 2) sends that run to +Z and three quarters (code 6) to -Z: the
  // neighbour at z + 1 takes code 2 and the one at z - 1 code 6.
  if (dx > 0) return 0;
  if (dx < 0) return 4;
  return dz > 0 ? 2 : 6;
}

namespace {

constexpr int kTopUpBelow = 10;
constexpr int kTopUpTo = 11;
constexpr int kNavalTries = 1001;
constexpr int kDefenceDraws = 1001;
constexpr int kCompoundReach = 10;
constexpr int kPerimeterReach = 12;

long long Distance2(const TTRVCell& a, const TTRVCell& b) {
  const long long dx = a.x - b.x, dz = a.z - b.z;
  return dx * dx + dz * dz;
}

bool Usable(const TTRVPathFinder& f, const TTRVCell& c) {
  return c.x >= 1 && c.z >= 1 && c.x <= f.grid.SizeX() - 2 && c.z <= f.grid.SizeZ() - 2 && f.Passable(c.x, c.z);
}

std::string Count(std::size_t n) { return std::to_string(n); }

// Settlement ground near each base joins the military theme.
void MarkCompounds(TTRVGenState& state, const std::vector<TTRVCell>& bases) {
  const int L = state.Length(), R = state.RowLength();
  for (const TTRVCell& b : bases)
    for (int x = std::max(1, b.x - kCompoundReach); x <= std::min(L - 2, b.x + kCompoundReach); ++x)
      for (int z = std::max(1, b.z - kCompoundReach); z <= std::min(R - 2, b.z + kCompoundReach); ++z)
        if (state.classGrid(x, z) == tcSettlement) state.zoneGrid(x, z) = static_cast<std::uint8_t>(state.militaryTheme);
}

// The ring of cells around each compound, 0 or base index + 1, without stray corners.
TTRVGrid<std::uint8_t> MarkPerimeter(const TTRVGenState& state, const std::vector<TTRVCell>& bases) {
  const int L = state.Length(), R = state.RowLength();
  const auto military = static_cast<std::uint8_t>(state.militaryTheme);
  TTRVGrid<std::uint8_t> area(L - 1, R, 0);
  for (std::size_t b = 0; b < bases.size(); ++b) {
    const TTRVCell& base = bases[b];
    for (int x = std::max(2, base.x - kPerimeterReach); x <= std::min(L - 3, base.x + kPerimeterReach); ++x)
      for (int z = std::max(2, base.z - kPerimeterReach); z <= std::min(R - 3, base.z + kPerimeterReach); ++z) {
        const int c = state.classGrid(x, z);
        if (state.zoneGrid(x, z) == military || (c != tcOpenGround && c != tcForest && c != tcSettlement)) continue;
        // A post on a base's own cell would shut the base out of its own compound.
        if (std::ranges::find(bases, TTRVCell{x, z}) != bases.end()) continue;
        bool touches = false;
        for (int dx = -1; dx <= 1 && !touches; ++dx)
          for (int dz = -1; dz <= 1 && !touches; ++dz)
            touches = (dx || dz) && state.zoneGrid(x + dx, z + dz) == military;
        if (touches) area(x, z) = static_cast<std::uint8_t>(std::min<std::size_t>(b + 1, 255));
      }
  }
  auto marked = [&](int x, int z) { return area.At(x, z) != 0; };
  for (int x = 1; x <= L - 3; ++x)
    for (int z = 1; z <= R - 2; ++z)
      if (marked(x, z) && !marked(x - 1, z) && !marked(x + 1, z) && !marked(x, z - 1) && !marked(x, z + 1))
        area(x, z) = 0;
  for (int x = 1; x <= L - 3; ++x)
    for (int z = 1; z <= R - 2; ++z)
      if (marked(x, z) && marked(x + 1, z) && marked(x + 1, z + 1) && marked(x, z + 1)) area(x, z) = 0;
  return area;
}

void PlaceFencePosts(TTRVGenState& state, const TTRVGrid<std::uint8_t>& area) {
  for (int x = 1; x <= state.Length() - 3; ++x)
    for (int z = 1; z <= state.RowLength() - 2; ++z)
      if (area(x, z) != 0) {
        TTRVGenPlacement p;
        p.x = x;
        p.z = z;
        p.theme = static_cast<std::uint8_t>(state.militaryTheme);
        p.object = 0;
        p.purpose = ppFencePost;
        state.placements.push_back(p);
      }
}

void ChooseDefencePoints(const std::vector<TTRVCell>& bases, const TTRVGrid<std::uint8_t>& area, TTRVBaseLayout& layout,
                         platform::RandomGenerator& rng) {
  layout.defencePoints.assign(bases.size(), {});
  auto draw = [&](const TTRVCell& base) {
    const int dz = rng.Int(30) - 15;
    const int dx = rng.Int(30) - 15;
    return TTRVCell{base.x + dx, base.z + dz};
  };
  for (std::size_t b = 0; b < bases.size(); ++b) {
    std::array<TTRVCell, kDefencePoints>& points = layout.defencePoints[b];
    for (TTRVCell& p : points) p = draw(bases[b]);
    for (int k = 0; k < kDefencePoints; ++k) {
      auto fits = [&](const TTRVCell& c) {
        if (area.At(c.x, c.z) != b + 1) return false;
        return std::find(points.begin(), points.begin() + k, c) == points.begin() + k;
      };
      for (int d = 0; d < kDefenceDraws && !fits(points[static_cast<std::size_t>(k)]); ++d)
        points[static_cast<std::size_t>(k)] = draw(bases[b]);
    }
  }
}

// Each post gets a wall segment towards every neighbouring post, posts taken from the last
// placed to the first, and for each its neighbours likewise.
void PlaceWalls(TTRVGenState& state) {
  const int L = state.Length(), R = state.RowLength();
  TTRVGrid<std::int32_t> postAt(L, R, -1);
  std::vector<std::size_t> posts;
  for (std::size_t i = 0; i < state.placements.size(); ++i) {
    const TTRVGenPlacement& p = state.placements[i];
    if (p.purpose == ppFencePost && p.theme == state.militaryTheme && p.object == 0) {
      postAt(p.x, p.z) = static_cast<std::int32_t>(i);
      posts.push_back(i);
    }
  }
  static constexpr TTRVCell kSides[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (auto p = posts.rbegin(); p != posts.rend(); ++p) {
    const TTRVGenPlacement post = state.placements[*p];
    std::vector<std::pair<std::int32_t, std::uint8_t>> walls;
    for (const TTRVCell& s : kSides) {
      const std::int32_t q = postAt.At(post.x + s.x, post.z + s.z, -1);
      if (q >= 0) walls.push_back({q, WallRotationToward(s.x, s.z)});
    }
    std::ranges::sort(walls, std::greater<>());
    for (const auto& [q, rotation] : walls) {
      TTRVGenPlacement wall;
      wall.x = post.x;
      wall.z = post.z;
      wall.theme = post.theme;
      wall.object = 1;
      wall.rotation = rotation;
      wall.list = 1;
      wall.purpose = ppWall;
      state.placements.push_back(wall);
    }
  }
}

void MilitaryBuildings(TTRVGenState& state, platform::RandomGenerator& rng) {
  const auto military = static_cast<std::uint8_t>(state.militaryTheme);
  const std::vector<std::uint8_t>& buildings = state.themes[military].buildings;
  for (TTRVGenPlacement& p : state.placements)
    if (p.purpose == ppBuilding && state.zoneGrid(p.x, p.z) == military) {
      p.theme = military;
      p.object = buildings[static_cast<std::size_t>(rng.Int(static_cast<int>(buildings.size())))];
      p.rotation = static_cast<std::uint8_t>(rng.Int(4) * 2);
    }
}

// A post clears its cell of everything but walls, and goes itself when no wall stands
// there; a tree at the waterline goes too.
std::vector<std::uint32_t> ChooseRemovals(const TTRVGenState& state) {
  const int L = state.Length(), R = state.RowLength();
  TTRVGrid<std::uint8_t> hasPost(L, R, 0), hasWall(L, R, 0);
  for (const TTRVGenPlacement& p : state.placements) {
    if (p.purpose == ppFencePost) hasPost(p.x, p.z) = 1;
    if (p.purpose == ppWall) hasWall(p.x, p.z) = 1;
  }
  std::vector<std::uint32_t> removed;
  for (std::size_t i = 0; i < state.placements.size(); ++i) {
    const TTRVGenPlacement& p = state.placements[i];
    bool gone = false;
    if (p.purpose == ppFencePost) gone = !hasWall(p.x, p.z);
    else if (p.purpose != ppWall) gone = hasPost(p.x, p.z) != 0;
    if (p.purpose == ppTree && state.elevation(p.x, p.z) < 2) gone = true;
    if (gone) removed.push_back(static_cast<std::uint32_t>(i));
  }
  return removed;
}


std::vector<std::uint8_t> RemovalFlags(const TTRVGenState& state, const std::vector<std::uint32_t>& removed) {
  std::vector<std::uint8_t> flags(state.placements.size(), 0);
  for (std::uint32_t i : removed) flags[i] = 1;
  return flags;
}

}  // namespace

void OpenGate(TTRVGenState& state, const TTRVCell& gate) {
  // Asked of the same mapping the walls were turned with, so the two cannot drift apart.
  auto leadsTo = [&](const TTRVGenPlacement& w) {
    static constexpr TTRVCell kSides[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const TTRVCell& s : kSides)
      if (WallRotationToward(s.x, s.z) == w.rotation) return TTRVCell{w.x + s.x, w.z + s.z} == gate;
    return false;
  };
  std::erase_if(state.placements, [&](const TTRVGenPlacement& p) {
    const bool here = TTRVCell{p.x, p.z} == gate;
    return here || (p.purpose == ppWall && leadsTo(p));
  });
}

namespace {

// Fences only leave gates where roads run straight through them; a diagonal road or a road
// end at the fence line seals a compound for tanks. Every base the ground no longer joins to
// the first one gets gates along the shortest way out; a base no gate can free is given up.
void OpenGates(TTRVGenState& state, std::vector<TTRVCell>& bases, std::vector<std::array<TTRVCell, kDefencePoints>>& points) {
  const int L = state.Length(), R = state.RowLength();
  TTRVPathFinder ground, open;
  TTRVWorldWave joined;
  for (std::size_t b = 1; b < bases.size();) {
    FillGroundGrid(state, RemovalFlags(state, ChooseRemovals(state)), ground);
    joined.Compute(ground.grid, bases[0], 0);
    if (joined.Reached(bases[b].x, bases[b].z)) {
      ++b;
      continue;
    }
    // The ground as it would be without any fence post.
    std::vector<std::uint32_t> noPosts = ChooseRemovals(state);
    for (std::size_t i = 0; i < state.placements.size(); ++i)
      if (state.placements[i].purpose == ppFencePost) noPosts.push_back(static_cast<std::uint32_t>(i));
    FillGroundGrid(state, RemovalFlags(state, noPosts), open);
    TTRVGrid<std::int32_t> from(L, R, -1);
    std::vector<TTRVCell> queue{bases[b]};
    from(bases[b].x, bases[b].z) = 0;
    TTRVCell exit{-1, -1};
    for (std::size_t head = 0; head < queue.size() && exit.x < 0; ++head) {
      const TTRVCell c = queue[head];
      for (const TTRVCell& n : {TTRVCell{c.x - 1, c.z}, {c.x + 1, c.z}, {c.x, c.z - 1}, {c.x, c.z + 1}}) {
        if (n.x < 1 || n.z < 1 || n.x > L - 2 || n.z > R - 2 || from(n.x, n.z) >= 0 || !open.Passable(n.x, n.z)) continue;
        from(n.x, n.z) = static_cast<std::int32_t>(head);
        queue.push_back(n);
        if (joined.Reached(n.x, n.z)) {
          exit = n;
          break;
        }
      }
    }
    bool opened = false;
    for (std::int32_t at = exit.x < 0 ? -1 : static_cast<std::int32_t>(queue.size() - 1); at > 0;) {
      const TTRVCell c = queue[static_cast<std::size_t>(at)];
      if (!ground.Passable(c.x, c.z)) {
        OpenGate(state, c);
        opened = true;
      }
      at = from(c.x, c.z);
    }
    if (!opened) {
      // No fence stands in the way, so no gate can help: the base is given up.
      bases.erase(bases.begin() + static_cast<std::ptrdiff_t>(b));
      points.erase(points.begin() + static_cast<std::ptrdiff_t>(b));
    }
  }
}

}  // namespace

void FillGroundGrid(const TTRVGenState& state, const std::vector<std::uint8_t>& removed, TTRVPathFinder& ground) {
  const TTRVGrid<std::uint8_t> classes = LoadedClasses(state);
  ground.Reset(state.Length(), state.RowLength(), true);
  for (int x = 0; x < state.Length(); ++x)
    for (int z = 0; z < state.RowLength(); ++z)
      if (classes(x, z) == tcSea) ground.grid(x, z) = 0;
  BlockCoast(classes, ground);
  for (std::size_t i = 0; i < state.placements.size(); ++i) {
    const TTRVGenPlacement& p = state.placements[i];
    if (i < removed.size() && removed[i]) continue;
    const std::uint8_t kind = state.themes[p.theme].objectKinds[p.object];
    if (kind == 0 || kind == 1 || kind == 3) ground.SetPassable(p.x, p.z, false);
  }
}

std::vector<TTRVCell> ChooseBases(const TTRVPathFinder& ground, const std::vector<TTRVCell>& nodes, int baseCount,
                                  platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  std::vector<std::size_t> usable;
  for (std::size_t i = 0; i < nodes.size(); ++i)
    if (Usable(ground, nodes[i])) usable.push_back(i);
  std::vector<TTRVCell> best;
  if (baseCount <= 0 || usable.empty()) return best;
  const std::size_t wanted = static_cast<std::size_t>(baseCount);
  TTRVWorldWave wave;
  const int last = static_cast<int>(nodes.size()) - 1;
  for (int pass = 0; pass < kBasePasses && best.size() < wanted; ++pass) {
    // The first base must stand where tanks can drive, or no other base could reach it.
    const std::size_t c = usable[static_cast<std::size_t>(rng.Int(static_cast<int>(usable.size())))];
    std::vector<TTRVCell> bases{nodes[c]};
    // Every node the route search would reach from the first base, in one flood.
    wave.Compute(ground.grid, nodes[c], 0);
    for (int k = 1; k <= last && bases.size() < wanted; ++k) {
      if (static_cast<std::size_t>(k) == c) continue;
      progress.Report(TextId::GenBases, 800 + k * 100 / std::max(1, last), Count(bases.size()));
      const TTRVCell& node = nodes[static_cast<std::size_t>(k)];
      if (node == nodes[c] || !Usable(ground, node) || !wave.Reached(node.x, node.z)) continue;
      const bool apart = std::ranges::all_of(
          bases, [&](const TTRVCell& b) { return Distance2(b, node) >= static_cast<long long>(kBaseSpacing) * kBaseSpacing; });
      if (apart) bases.push_back(node);
    }
    if (bases.size() > best.size()) best = bases;
  }
  return best;
}

void PlaceNavalBases(const TTRVGrid<std::uint8_t>& classes, TTRVBaseLayout& layout, platform::RandomGenerator& rng,
                     TTRVGenProgress& progress) {
  const int L = classes.SizeX(), R = classes.SizeZ();
  TTRVGrid<std::uint8_t> sea(L, R, 0);
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z) sea(x, z) = classes(x, z) == tcSea;
  TTRVWorldWave corner;
  corner.Compute(sea, kOpenSeaCell, 0);
  // The water boats sail on in the game: wide enough, and joined to the corner. Without open
  // sea at the corner the game gives boats no water at all (and the wave above would have
  // started from some other sea), so no place is valid.
  TTRVPathFinder boats;
  boats.Reset(L, R, false);
  OpenSea(classes, boats);
  const bool seaAtCorner = KeepConnectedTo(boats, kOpenSeaCell);

  // Valid places fill the first slots, so that sides 0 .. placed - 1 all have one; the
  // slots after them keep a last guess.
  layout.navalBasesPlaced = 0;
  std::vector<TTRVCell> guesses;
  for (int k = 0; k < kNavalBaseCount; ++k) {
    progress.Report(TextId::GenNavalBases, 900, std::to_string(k));
    TTRVCell cell;
    bool placed = false;
    for (int t = 0; t < kNavalTries && !placed; ++t) {
      cell.z = 3 + rng.Int(R - 7);
      cell.x = 8 + rng.Int(L - 17);
      bool open = seaAtCorner && boats.Passable(cell.x, cell.z);
      for (int dx = -7; dx <= 7 && open; ++dx)
        for (int dz = -2; dz <= 2 && open; ++dz) open = corner.Reached(cell.x + dx, cell.z + dz);
      for (int j = 0; j < layout.navalBasesPlaced && open; ++j)
        open = Distance2(cell, layout.navalBases[static_cast<std::size_t>(j)]) >=
               static_cast<long long>(kNavalSpacing) * kNavalSpacing;
      placed = open;
    }
    if (placed) layout.navalBases[static_cast<std::size_t>(layout.navalBasesPlaced++)] = cell;
    else guesses.push_back(cell);
  }
  for (std::size_t g = 0; g < guesses.size(); ++g)
    layout.navalBases[static_cast<std::size_t>(layout.navalBasesPlaced) + g] = guesses[g];
}

std::string PlaceBases(TTRVGenState& state, TTRVBaseLayout& layout, platform::RandomGenerator& rng,
                       TTRVGenProgress& progress) {
  layout = TTRVBaseLayout{};
  progress.Report(TextId::GenBases, 800);
  TTRVPathFinder ground;
  FillGroundGrid(state, {}, ground);

  if (state.nodes.size() < kTopUpBelow) {
    // Too few roads: random cells of passable ground stand in for nodes.
    std::vector<TTRVCell> land;
    for (int x = 1; x <= state.Length() - 2; ++x)
      for (int z = 1; z <= state.RowLength() - 2; ++z)
        if (ground.Passable(x, z)) land.push_back({x, z});
    if (land.empty()) return "the island has no ground a base could stand on";
    while (state.nodes.size() < kTopUpTo)
      state.nodes.push_back(land[static_cast<std::size_t>(rng.Int(static_cast<int>(land.size())))]);
  }
  layout.bases = ChooseBases(ground, state.nodes, state.params.baseCount, rng, progress);
  PlaceNavalBases(LoadedClasses(state), layout, rng, progress);

  MarkCompounds(state, layout.bases);
  const TTRVGrid<std::uint8_t> area = MarkPerimeter(state, layout.bases);
  PlaceFencePosts(state, area);
  ChooseDefencePoints(layout.bases, area, layout, rng);
  PlaceWalls(state);
  MilitaryBuildings(state, rng);
  OpenGates(state, layout.bases, layout.defencePoints);
  layout.removed = ChooseRemovals(state);
  return {};
}

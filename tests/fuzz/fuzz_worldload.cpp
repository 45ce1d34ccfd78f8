// Fuzz target for the world loader after parsing: the input becomes the sector records of a
// sound 2 x 2 world file (heights, cell types, placements; theme nibbles kept to the two themes
// the world names), loaded headless over two fixture themes: "Basic" with five objects and
// "Dry" with none. A world the object cross-check refuses must not load; one that loads must
// build every stored sector from its record without dropping a placement.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "terrain/sector.h"
#include "terrain/sectorbake.h"
#include "terrain/sectorstream.h"
#include "tests/world/world_fixture.h"
#include "world/world.h"

namespace {

using namespace worldtest;

constexpr int kThemes = 2;
constexpr std::size_t kObjectCounts[kThemes] = {5, 0};

// Hands out the input byte by byte; zeros once it runs out.
class Input {
 public:
  explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Empty() const { return pos_ >= bytes_.size(); }
  std::uint8_t Byte() { return pos_ < bytes_.size() ? bytes_[pos_++] : 0; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

std::uint8_t KeepTheme(std::uint8_t b) { return static_cast<std::uint8_t>((((b >> 4) % kThemes) << 4) | (b & 15)); }

TTRVWorldFileData WorldFrom(std::span<const std::uint8_t> bytes) {
  TTRVWorldFileData d;
  d.worldName = "Fuzz";
  d.themeNames = {"Basic", "Dry"};
  d.sectorCountX = d.sectorCountZ = 2;
  d.grass.assign(static_cast<std::size_t>(d.CellsX() * d.CellsZ()), 0);
  for (TTRVCell16& naval : d.navalBases) naval = {3, 3};
  Input in(bytes);
  bool stored[4] = {};
  while (!in.Empty() && d.sectors.size() < 4) {
    const int index = in.Byte() % 4;
    TTRVSectorRecord r;
    r.sectorX = index / 2;
    r.sectorZ = index % 2;
    for (std::uint8_t& h : r.heights) h = in.Byte();
    for (std::uint8_t& t : r.cellTypes) t = KeepTheme(in.Byte());
    for (std::vector<TTRVPlacement>& list : r.placements) {
      list.resize(in.Byte() % 8);
      for (TTRVPlacement& p : list)
        p = {static_cast<std::uint8_t>(in.Byte() % kSectorCells), static_cast<std::uint8_t>(in.Byte() % kSectorCells),
             KeepTheme(in.Byte()), in.Byte(), in.Byte()};
    }
    if (stored[index]) continue;
    stored[index] = true;
    d.sectors.push_back(r);
  }
  return d;
}

ProgramFolder* folder = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  folder = new ProgramFolder;
  WriteTheme(folder->Path(), "Basic", {tcOpenGround, tcSea, tcRiver});
  WriteTheme(folder->Path(), "Dry", {tcOpenGround}, false);
  std::atexit([] { delete folder; });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TTRVWorldFileData d = WorldFrom(std::span(data, size));
  if (d.sectors.empty()) return 0;
  std::string error;
  if (!SaveWorldFile(folder->Worlds() / "Fuzz.TRV", d, error)) __builtin_trap();  // the records are sound
  std::filesystem::remove(folder->Worlds() / "FuzzMAP.bmp");  // drawn from each world anew

  const bool objectsFit = WorldObjectFault(d, kObjectCounts).empty();
  TGLScene scene;
  TTRVWorldContext context = Context(*folder, &scene);
  context.settings.GroundTextureSize = 16;
  std::unique_ptr<TTRVWorld> world = CreateLoadedWorld(context, "Fuzz", true, nullptr, error);
  if (!world) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (!objectsFit) __builtin_trap();

  PrepareSectors(*world);
  for (const TTRVSectorRecord& r : d.sectors) {
    TTRVSector* sector = GetOrCreateSector(*world, r.sectorX, r.sectorZ);
    if (!sector || sector->waterOnly || !sector->loadError.empty() || sector->droppedPlacements != 0) __builtin_trap();
  }
  BakePendingSectors(*world);
  for (const TTRVSectorRecord& r : d.sectors)
    for (int level = 0; level <= 4; ++level) FindSector(*world, r.sectorX, r.sectorZ)->SetDetailLevel(level);
  return 0;
}

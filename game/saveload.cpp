// Saving the running game and building a game back from a save.
#include "game/saveload.h"

#include <algorithm>
#include <cmath>

#include "game/game.h"
#include "game/newgame.h"
#include "platform/atomicfile.h"
#include "platform/filebytes.h"
#include "platform/log.h"
#include "terrain/sectorstream.h"
#include "units/entity.h"

namespace {

int Percent(int base, std::size_t index, std::size_t sideCount) {
  // One side still reports; the share is of the sides after the first.
  const double span = static_cast<double>(std::max<std::size_t>(sideCount, 2) - 1);
  return base + static_cast<int>(std::floor(static_cast<double>(index) / span * 10));
}

bool OnMap(const TTRVWorld& world, float x, float z) {
  return x >= 0 && z >= 0 && x < static_cast<float>(world.CellsX()) && z < static_cast<float>(world.CellsZ());
}

// What the saved sides ask of this island: rally cells and bases on its map.
bool SidesFitIsland(const TTRVWorld& world, const TTRVWorldInfo& setup, std::string& error) {
  for (const TTRVWorldFractionInfo& side : setup.sides) {
    for (const TTRVCell& c : side.rallyCell)
      if (!world.heightGrid.Inside(c.x, c.z)) {
        error = "side \"" + side.name + "\" gathers at (" + std::to_string(c.x) + ", " + std::to_string(c.z) +
                "), off the island's map";
        return false;
      }
    if (!OnMap(world, side.basePosition.x, side.basePosition.z)) {
      error = "the base of side \"" + side.name + "\" lies off the island's map";
      return false;
    }
  }
  return true;
}

void AddUnits(TTRVWorld& world, const std::vector<TTRVSavedUnit>& units) {
  auto* cube = world.sideRoot->AddNewChild<TGLDummyCube>();
  for (const TTRVSavedUnit& u : units) {
    auto* unit = cube->AddNewChild<TTRVEntity>();
    const TAffineVector at(u.position);
    unit->Setup(world, at, false, u.state, TAffineVector(u.direction));
    if (u.state.isPlayer) world.FocusOn(at);
  }
}

}  // namespace

TTRVSaveData CollectSave(const TTRVWorld& world) {
  TTRVSaveData data;
  data.setup = world;
  data.units.resize(static_cast<std::size_t>(world.sideRoot->Count()));
  for (int d = 0; d < world.sideRoot->Count(); ++d) {
    const TGLBaseSceneObject* cube = world.sideRoot->Children(d);
    for (int k = 0; k < cube->Count(); ++k) {
      const auto* unit = dynamic_cast<const TTRVEntity*>(cube->Children(k));
      if (!unit) continue;
      data.units[static_cast<std::size_t>(d)].push_back(
          {unit->state, unit->Position.AsVector(), unit->Direction.AsVector()});
    }
  }
  return data;
}

bool TTRVGame::SaveGame(const std::filesystem::path& file, double savedAt, std::string& error) {
  if (file.empty()) {
    error = "not a save name";
    return false;
  }
  // Nothing moves while the units are read; the game goes on as it was whatever happens.
  const bool wasRunning = world_->running;
  world_->running = false;
  const std::vector<std::uint8_t> bytes = WriteSaveFile(CollectSave(*world_), savedAt, error);
  bool ok = !bytes.empty();
  if (ok) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    ok = platform::WriteFileAtomically(file, bytes, error);
  }
  world_->running = wasRunning;
  if (!ok) error = "the game could not be saved: " + error;
  return ok;
}

std::unique_ptr<TTRVGame> LoadSavedGame(TTRVWorldContext context, const std::filesystem::path& saveFile,
                                        std::string& error) {
  const std::string saveName = saveFile.stem().string();
  std::vector<std::uint8_t> bytes;
  switch (platform::ReadFileBytes(saveFile, kMaxSaveFileSize, bytes)) {
    case platform::ReadFileResult::Ok: break;
    case platform::ReadFileResult::Missing: error = "the saved game \"" + saveName + "\" is missing"; return nullptr;
    case platform::ReadFileResult::TooLarge: error = "the saved game \"" + saveName + "\" is too large"; return nullptr;
    case platform::ReadFileResult::Unreadable:
      error = "the saved game \"" + saveName + "\" cannot be read";
      return nullptr;
  }
  TTRVSaveData save;
  if (!ParseSaveFile(bytes, save, error)) {
    error = "Saved game \"" + saveName + "\": " + error;
    return nullptr;
  }
  bytes.clear();

  std::unique_ptr<TTRVWorld> world = CreateLoadedWorld(std::move(context), save.setup.worldName, false, nullptr, error);
  if (!world) return nullptr;
  TTRVWorld& w = *world;
  if (!SidesFitIsland(w, save.setup, error)) {
    error = "Saved game \"" + saveName + "\": " + error;
    platform::LogError("game", error);
    return nullptr;
  }
  w.missionName = save.setup.missionName;
  w.missionType = save.setup.missionType;
  w.playerUnitType = save.setup.playerUnitType;
  w.playerSide = save.setup.playerSide;
  w.savedAt = save.setup.savedAt;
  w.sides = std::move(save.setup.sides);

  const std::size_t sideCount = w.sides.size();
  for (std::size_t i = 0; i < sideCount; ++i) {
    TTRVWorldFractionInfo& side = w.sides[i];
    w.ReportProgress(TextId::LoadReadingUnits, Percent(80, i, sideCount), side.name);
    if (UsesNavalBase(w, i)) BuildPier(w, side.basePosition);
    CreateSideBeacons(w, side);
  }
  for (std::size_t d = 0; d < sideCount; ++d) {
    w.ReportProgress(TextId::LoadAddingUnits, Percent(90, d, sideCount), w.sides[d].name);
    AddUnits(w, save.units[d]);
  }

  const TTRVWorldFractionInfo& player = w.sides[w.playerSide];
  w.stancesPreset = player.defending || player.attacking || player.roaming ? 1 : 0;
  if (!w.stancesPreset)
    for (TTRVWorldFractionInfo& side : w.sides) side.roaming = 1;
  PrepareSectors(w);
  return std::make_unique<TTRVGame>(std::move(world));
}

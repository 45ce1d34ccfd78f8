// The order of the stages, the themes and climate zones, and the retry for enough bases.
#include "generator/creator.h"

#include <algorithm>

#include "generator/dressing.h"
#include "generator/elevation.h"
#include "generator/terrain.h"
#include "generator/worldout.h"
#include "platform/programfiles.h"
#include "world/worldcheck.h"

namespace {

constexpr int kZoneThreshold = 128;

}  // namespace

TTRVWorldCreator::TTRVWorldCreator(std::filesystem::path programFolder, platform::RandomGenerator& rng)
    : programFolder_(std::move(programFolder)), rng_(rng) {}

bool TTRVWorldCreator::DrawSketch(bool multiSeed, const TTRVWorldParams& params, std::string& error) {
  return ::DrawSketch(state_.sketch, params.mapWidth, params.mapHeight, params.landPercent, multiSeed, rng_, error);
}

void TTRVWorldCreator::SetSketch(const platform::Bitmap& sketch) {
  state_.sketch.Reset(sketch.Width(), sketch.Height(), 0);
  for (int x = 0; x < sketch.Width(); ++x)
    for (int y = 0; y < sketch.Height(); ++y)
      state_.sketch(x, y) = static_cast<std::uint8_t>(platform::RedOf(sketch.Pixel(x, y)));
}

bool TTRVWorldCreator::LoadThemes(std::string& error) {
  state_.themes.clear();
  state_.militaryTheme = -1;
  for (const std::string& name : state_.params.themeNames) {
    TTRVGenTheme theme;
    if (!ReadGenTheme(programFolder_, name, theme, error)) return false;
    if (theme.name == "Military") state_.militaryTheme = static_cast<int>(state_.themes.size());
    state_.themes.push_back(std::move(theme));
  }
  if (state_.militaryTheme < 0) {
    error = "the themes include no \"Military\", which the bases are built from";
    return false;
  }
  // Compounds need a fence post (object 0), a wall (object 1) and buildings.
  const TTRVGenTheme& military = state_.themes[static_cast<std::size_t>(state_.militaryTheme)];
  const std::vector<std::uint8_t>& kinds = military.objectKinds;
  if (kinds.size() < 2 || kinds[0] != 3 || kinds[1] != 4) {
    error = "theme \"Military\" must hold a fence post (kind 3) and a wall (kind 4) as objects 0 and 1";
    return false;
  }
  if (military.buildings.empty()) {
    error = "theme \"Military\" holds no buildings for the compounds";
    return false;
  }
  return true;
}

void TTRVWorldCreator::MakeClimateZones() {
  const TTRVWorldParams& p = state_.params;
  for (int t = 0; t < static_cast<int>(state_.themes.size()); ++t) {
    if (!state_.themes[static_cast<std::size_t>(t)].Paints(0) || t == state_.militaryTheme) continue;
    MakeField(state_.noiseField, p.mapWidth, p.mapHeight, p.featureSize, nullptr, rng_);
    // Later themes overwrite earlier ones; vertices never covered keep theme 0.
    std::vector<std::uint8_t>& zone = state_.zoneGrid.Cells();
    const std::vector<std::uint8_t>& noise = state_.noiseField.Cells();
    for (std::size_t i = 0; i < zone.size(); ++i)
      if (noise[i] > kZoneThreshold) zone[i] = static_cast<std::uint8_t>(t);
  }
}

bool TTRVWorldCreator::Generate(const TTRVWorldParams& params, std::string& error) {
  unusable_ = true;
  if (error = WorldParamsFault(params); !error.empty()) return false;
  state_.params = params;
  layout_ = {};
  Stage("themes_read");
  if (!LoadThemes(error)) return false;
  unusable_ = false;

  Stage("elevation");
  progress.Report(TextId::GenElevations, 0);
  state_.ResetGrids();
  MakeField(state_.noiseField, params.mapWidth, params.mapHeight, params.featureSize,
            state_.sketch.Empty() ? nullptr : &state_.sketch, rng_);
  state_.elevation = state_.noiseField;

  Stage("zones");
  MakeClimateZones();
  Stage("terraces");
  if (error = RaiseTerraces(state_, rng_, progress); !error.empty()) return false;
  Stage("rivers");
  CarveRivers(state_, rng_, progress);
  Stage("roads");
  if (error = BuildRoads(state_, rng_, progress, &roadStats_); !error.empty()) return false;
  Stage("settlements");
  BuildCities(state_, rng_, progress);
  Stage("forests");
  PlantForests(state_, rng_, progress);
  Stage("themes");
  SolveThemes(state_, progress);
  Stage("grass");
  GrowGrass(state_, rng_, progress);
  return true;
}

bool TTRVWorldCreator::PlaceBases(std::string& error) {
  if (state_.elevation.Empty()) {
    error = "no island has been generated";
    return false;
  }
  Stage("bases");
  error = ::PlaceBases(state_, layout_, rng_, progress);
  return error.empty();
}

std::string TTRVWorldCreator::LoadFault(const TTRVWorldFileData& data) const {
  std::vector<std::size_t> objectCounts;
  for (const TTRVGenTheme& theme : state_.themes) objectCounts.push_back(theme.objectKinds.size());
  const std::string fault = WorldLoadFault(data, objectCounts);
  return fault.empty() ? fault : "the island would not load: " + fault;
}

bool TTRVWorldCreator::WriteWorld(const TTRVWorldFileData& data, const std::string& worldName, std::string& error) {
  Stage("map");
  const platform::Bitmap full = DrawFullMap(state_, progress);
  const platform::Bitmap map = MakeMapImage(full, progress);
  const platform::Bitmap thumb = MakeThumbnail(full, state_.params.mapWidth, state_.params.mapHeight);
  Stage("write");
  return SaveWorldFiles(platform::ProgramFiles(programFolder_).WorldsFolder(), worldName, data, map, thumb, error);
}

bool TTRVWorldCreator::SaveWorld(const std::string& worldName, std::string& error) {
  Stage("world_file");
  const TTRVWorldFileData data = BuildWorldFile(state_, layout_, worldName, progress.Now());
  if (error = LoadFault(data); !error.empty()) return false;
  return WriteWorld(data, worldName, error);
}

bool TTRVWorldCreator::PlaceBasesAndSave(const std::string& worldName, std::string& error) {
  return PlaceBases(error) && SaveWorld(worldName, error);
}

TTRVCreateResult TTRVWorldCreator::CreateWorld(const TTRVWorldParams& params, TTRVSketchSource sketch,
                                               const std::string& worldName, int requiredBases) {
  TTRVCreateResult result;
  const int landNeeded = std::max(requiredBases, 0);
  const int navalNeeded = std::clamp(requiredBases, 0, kNavalBaseCount);
  std::string error;
  // The closest island so far: more land bases first, then more naval bases.
  int bestLand = -1, bestNaval = -1;
  for (int layout = 1; layout <= kMaxLayouts; ++layout) {
    result.layouts = layout;
    const bool drawn = sketch == TTRVSketchSource::Given ||
                       DrawSketch(sketch == TTRVSketchSource::RandomMulti, params, error);
    if (!drawn || !Generate(params, error) || !PlaceBases(error)) {
      // Parameters and themes do not get better by trying again.
      if (unusable_) break;
      continue;
    }
    Stage("world_file");
    const TTRVWorldFileData data = BuildWorldFile(state_, layout_, worldName, progress.Now());
    if (error = LoadFault(data); !error.empty()) continue;
    const int land = static_cast<int>(layout_.bases.size()), naval = layout_.navalBasesPlaced;
    if (land > bestLand || (land == bestLand && naval > bestNaval)) bestLand = land, bestNaval = naval;
    if (land >= landNeeded && naval >= navalNeeded) {
      result.basesPlaced = land;
      result.navalBasesPlaced = naval;
      result.ok = WriteWorld(data, worldName, error);
      if (!result.ok) result.error = error;
      return result;
    }
  }
  result.basesPlaced = std::max(bestLand, 0);
  result.navalBasesPlaced = std::max(bestNaval, 0);
  result.error = bestLand < 0 ? error
                              : "no island of " + std::to_string(result.layouts) + " held the " +
                                    std::to_string(landNeeded) + " land bases and " + std::to_string(navalNeeded) +
                                    " naval bases needed (the closest held " + std::to_string(bestLand) + " and " +
                                    std::to_string(bestNaval) + ")";
  return result;
}

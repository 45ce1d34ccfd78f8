// Parameter checks, the headless theme summary and grid sizing of the generator's state.
#include "generator/genstate.h"

#include <cmath>

#include "platform/filebytes.h"
#include "platform/programfiles.h"
#include "world/themefile.h"

namespace {

// Far beyond any theme the forge writes; a stray huge file is not read into memory.
constexpr std::uintmax_t kMaxThemeBytes = 256u << 20;

}  // namespace

std::string WorldParamsFault(const TTRVWorldParams& p) {
  auto range = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
  if (!range(p.mapWidth, kMinMapSectors, kMaxMapSectors) || !range(p.mapHeight, kMinMapSectors, kMaxMapSectors))
    return "the map must be " + std::to_string(kMinMapSectors) + " to " + std::to_string(kMaxMapSectors) +
           " sectors along each side, not " + std::to_string(p.mapWidth) + " x " + std::to_string(p.mapHeight);
  if (!range(p.featureSize, 2, 1024)) return "feature size " + std::to_string(p.featureSize) + " is not 2 to 1024";
  if (!range(p.heightScale, 1, 255)) return "height scale " + std::to_string(p.heightScale) + " is not 1 to 255";
  if (!range(p.landPercent, 0, 100)) return "land share " + std::to_string(p.landPercent) + " % is not 0 to 100";
  if (!range(p.baseCount, 0, 1000)) return "base count " + std::to_string(p.baseCount) + " is not 0 to 1000";
  if (!std::isfinite(p.treeDensity) || p.treeDensity < 0) return "tree density must be a finite, non-negative number";
  if (p.themeNames.empty()) return "no themes are named";
  if (static_cast<int>(p.themeNames.size()) > kMaxThemeNames)
    return std::to_string(p.themeNames.size()) + " themes are named; a world holds at most " +
           std::to_string(kMaxThemeNames);
  int climates = 0;
  for (const std::string& name : p.themeNames)
    if (name != "Water" && name != "Military") ++climates;
  if (climates > kMaxClimateThemes)
    return std::to_string(climates) + " climate themes are enabled; a world holds at most " +
           std::to_string(kMaxClimateThemes);
  return {};
}

bool ReadGenTheme(const std::filesystem::path& programFolder, const std::string& name, TTRVGenTheme& out,
                  std::string& error) {
  out = TTRVGenTheme{};
  const std::filesystem::path path = platform::ProgramFiles(programFolder).Theme(name);
  if (path.empty()) {
    error = "\"" + name + "\" is not a theme name";
    return false;
  }
  std::vector<std::uint8_t> bytes;
  switch (platform::ReadFileBytes(path, kMaxThemeBytes, bytes)) {
    case platform::ReadFileResult::Missing:
      error = "theme \"" + name + "\" is missing (" + path.string() + ")";
      return false;
    case platform::ReadFileResult::TooLarge: error = "theme \"" + name + "\" is too large to be a theme"; return false;
    case platform::ReadFileResult::Unreadable: error = "theme \"" + name + "\" cannot be read"; return false;
    case platform::ReadFileResult::Ok: break;
  }
  TTRVThemeFileData data;
  std::string why;
  if (!ParseThemeFile(bytes, data, why)) {
    error = "theme \"" + name + "\" is broken: " + why;
    return false;
  }
  if (static_cast<int>(data.objects.size()) > kMaxObjectsPerTheme) {
    error = "theme \"" + name + "\" holds " + std::to_string(data.objects.size()) +
            " objects; a world can name at most " + std::to_string(kMaxObjectsPerTheme) + " per theme";
    return false;
  }
  out.name = data.themeName;
  for (const TTRVMaterialRecord& m : data.materials)
    if (m.paintsClass < out.paints.size()) out.paints[m.paintsClass] = true;
  for (std::size_t i = 0; i < data.objects.size(); ++i) {
    const std::uint8_t kind = data.objects[i].kind;
    const auto index = static_cast<std::uint8_t>(i);
    out.objectKinds.push_back(kind);
    if (kind == 0) out.trees.push_back(index);
    if (kind == 1) out.buildings.push_back(index);
    if (kind == 2) out.grass.push_back(index);
  }
  return true;
}

void TTRVGenState::ResetGrids() {
  const int cx = params.mapWidth * 32, cz = params.mapHeight * 32;
  noiseField.Reset(cx, cz, 0);
  elevation.Reset(cx, cz, 0);
  zoneGrid.Reset(cx, cz, 0);
  classGrid.Reset(cx, cz, 0);
  grassFlags.Reset(cx, cz, 0);
  placements.clear();
  nodes.clear();
}

int TTRVGenState::LastThemeWith(std::vector<std::uint8_t> TTRVGenTheme::*list) const {
  for (int t = static_cast<int>(themes.size()) - 1; t >= 0; --t)
    if (!(themes[static_cast<std::size_t>(t)].*list).empty()) return t;
  return -1;
}

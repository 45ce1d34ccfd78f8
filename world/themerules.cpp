// Height-layer weights and the rules shipped themes obey. A theme that breaks a rule still
// loads; worlds built on it go wrong quietly, which is why the forge and the loader say so.
#include <algorithm>
#include <string>

#include "world/themefile.h"

namespace {

constexpr std::uint8_t kGroundClasses[] = {1, 2, 4, 5, 6};  // road, forest, sea, river, settlement
constexpr std::uint8_t kSeaClass = 4, kRiverClass = 5;
constexpr std::size_t kMostObjectsPerTheme = 16;

bool IsGroundClass(std::uint8_t c) { return std::ranges::find(kGroundClasses, c) != std::ranges::end(kGroundClasses); }

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// "Basic.TRV" and "Basic" both name the theme "Basic".
std::string_view StripExtension(std::string_view fileName) {
  constexpr std::string_view ext = ".TRV";
  if (fileName.size() >= ext.size() && fileName.substr(fileName.size() - ext.size()) == ext)
    fileName.remove_suffix(ext.size());
  return fileName;
}

bool IsUnitTheme(std::string_view name) {
  return name == "Heli" || name == "Tank" || name == "Boat" || name == "Turret";
}

void CheckMilitary(const TTRVThemeFileData& data, std::vector<std::string>& faults) {
  struct Slot {
    std::size_t index;
    std::uint8_t kind;
    const char* what;
  };
  // The naval base finds its pier as object 2, walls and fences as the first two.
  constexpr Slot slots[] = {{0, okObstacle, "the fence post"}, {1, okImposterObject, "the wall"}};
  if (data.objects.size() < 3) {
    faults.push_back("Military holds " + std::to_string(data.objects.size()) +
                     " objects; it needs a fence post, a wall and a pier as objects 0 to 2");
  }
  for (const Slot& s : slots)
    if (s.index < data.objects.size() && data.objects[s.index].kind != s.kind)
      faults.push_back("Military object " + std::to_string(s.index) + " is kind " +
                       std::to_string(data.objects[s.index].kind) + "; " + s.what + " must be kind " +
                       std::to_string(s.kind));
  for (std::size_t i = 3; i < data.objects.size(); ++i)
    if (data.objects[i].kind != okBuilding)
      faults.push_back("Military object " + std::to_string(i) + " (" + Quoted(data.objects[i].objectName) +
                       ") is kind " + std::to_string(data.objects[i].kind) + "; objects after the pier are buildings (kind 1)");
}

}  // namespace

std::array<std::uint8_t, 256> ThemeHeightWeights(std::uint8_t lo, std::uint8_t pk, std::uint8_t hi) {
  std::array<std::uint8_t, 256> w{};
  // trunc(255 - (pk - h) / (pk - lo) * 255) equals 255 * (h - lo) / (pk - lo), which is never
  // negative, so integer division gives the same truncated weight with no rounding to doubt.
  if (pk > lo)
    for (int h = lo; h <= pk; ++h) w[h] = static_cast<std::uint8_t>(255 * (h - lo) / (pk - lo));
  if (hi > pk)
    for (int h = pk; h <= hi; ++h) w[h] = static_cast<std::uint8_t>(255 * (hi - h) / (hi - pk));
  return w;
}

std::string CheckThemeRules(const TTRVThemeFileData& data, std::string_view fileName) {
  std::vector<std::string> faults;
  const std::string_view fileTheme = StripExtension(fileName);
  const std::string_view name = fileTheme.empty() ? std::string_view(data.themeName) : fileTheme;

  if (!fileTheme.empty() && fileTheme != data.themeName)
    faults.push_back("the theme calls itself " + Quoted(data.themeName) + " but its file is " +
                     Quoted(std::string(fileTheme)));
  if (data.objects.size() > kMostObjectsPerTheme)
    faults.push_back("holds " + std::to_string(data.objects.size()) + " objects; a theme holds at most " +
                     std::to_string(kMostObjectsPerTheme));

  for (const TTRVMaterialRecord& m : data.materials) {
    const std::string who = "material " + Quoted(m.materialName);
    const std::string paints = " paints class " + std::to_string(m.paintsClass);
    if (m.paintsClass != 0 && !IsGroundClass(m.paintsClass))
      faults.push_back(who + paints + ", which is no terrain class");
    if (IsGroundClass(m.paintsClass)) {
      // Class materials are laid by the class grid, never by height.
      if (m.heightLayer == 0) faults.push_back(who + paints + " but is not a height layer");
      const auto w = ThemeHeightWeights(m.bandLow, m.bandPeak, m.bandHigh);
      if (std::ranges::any_of(w, [](std::uint8_t v) { return v != 0; }))
        faults.push_back(who + paints + " but its height band is not empty");
    }
    if (m.textureScale == 0) faults.push_back(who + " has texture scale 0 and would show one texel");
    if (name == "Water" && m.paintsClass != kSeaClass && m.paintsClass != kRiverClass)
      faults.push_back("Water " + who + paints + "; only sea (4) and river (5) materials belong there");
    if (IsUnitTheme(name) && m.paintsClass != 0)
      faults.push_back(std::string(name) + " " + who + paints + "; unit materials paint no class");
  }

  if ((name == "Water" || name == "HUD") && !data.objects.empty())
    faults.push_back(std::string(name) + " holds " + std::to_string(data.objects.size()) +
                     " objects; it must hold materials only");
  if (name == "Military") CheckMilitary(data, faults);

  std::string out;
  for (const std::string& f : faults) out += (out.empty() ? "" : "\n") + f;
  return out;
}

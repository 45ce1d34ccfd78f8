// The forge step "unit-themes": themes Heli, Tank, Boat and Turret, each one paint material and
// its parts in the order the unit rigs take them (part i is object i).
#include <functional>
#include <vector>

#include "tools/forge/steps.h"
#include "tools/forge/themekit.h"
#include "tools/forge/unit_models.h"

namespace forge {

namespace {

struct Part {
  const char* name;
  std::function<MeshKit()> build;
};

struct UnitTheme {
  const char* name;
  UnitPalette palette;
  std::vector<Part> parts;
};

float VerticalExtent(const MeshKit& m) {
  float lo = 0, hi = 0;
  for (const TAffineVector& p : m.Positions()) lo = std::min(lo, p.y), hi = std::max(hi, p.y);
  return hi - lo;
}

}  // namespace

bool ForgeUnitThemes(const ForgeContext& context, std::string& error) {
  std::mt19937 gen = SeededGenerator("unit-themes");
  // Side-neutral paints: olive for the army, navy grey at sea, concrete and olive for turrets.
  const UnitTheme units[] = {
      {"Heli", {RgbOf(96, 104, 64), RgbOf(62, 68, 44), RgbOf(84, 86, 76)},
       {{"Fuselage", HeliFuselage}, {"Rotor", HeliRotor}, {"Gun", HeliGun}}},
      {"Tank", {RgbOf(104, 102, 66), RgbOf(70, 70, 48), RgbOf(90, 88, 70)},
       {{"Hull", TankHull}, {"Turret", TankTurret}, {"Gun", TankGun}}},
      {"Boat", {RgbOf(172, 178, 186), RgbOf(104, 110, 120), RgbOf(184, 186, 188)},
       {{"Hull", BoatHull}, {"FrontTurret", BoatTurret}, {"FrontGun", BoatGun}, {"Launcher", BoatLauncher}}},
      {"Turret", {RgbOf(100, 104, 76), RgbOf(66, 70, 52), RgbOf(96, 96, 90)},
       {{"Tower", TurretTower}, {"Head", TurretHead}}},
  };
  for (const UnitTheme& unit : units) {
    TTRVThemeFileData theme;
    theme.themeName = unit.name;
    const std::string material = std::string(unit.name) + "Paint";
    theme.materials.push_back(TextureMaterial(material, PaintUnitAtlas(gen, unit.palette)));
    for (const Part& part : unit.parts) {
      MeshKit model = part.build();
      theme.objects.push_back(ModelObject(std::string(unit.name) + part.name, material, okImposterObject,
                                          VerticalExtent(model), model));
    }
    if (!WriteTheme(context, theme, error)) return false;
  }
  return true;
}

}  // namespace forge

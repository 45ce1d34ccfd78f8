// The forge step "ground-themes": the climate themes Basic, BasicDry, Desert and Arctic, the
// theme Water, and themes/GroundThemes.txt, the list the world creation dialog offers.
//
// Ground layers: material 0 is the base ground. Height bands are in height bytes (0 is the sea
// floor, land rises from 1, mountains reach the 200s); beaches sit in the first few bytes. Rock
// is both a height band and a slope layer, and a slope layer is flagged as a height layer too so
// that every ground pass is drawn alike (unlit). Class layers (road 1, forest 2, settlement 6)
// carry an empty band: the class grid alone lays them.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "tools/forge/flora.h"
#include "tools/forge/ground_textures.h"
#include "tools/forge/houses.h"
#include "tools/forge/steps.h"
#include "tools/forge/themekit.h"

namespace forge {

namespace {

constexpr std::uint8_t kRoad = 1, kForest = 2, kSea = 4, kRiver = 5, kSettlement = 6;
constexpr std::uint8_t kRockSlope = 40;

TTRVMaterialRecord RockLayer(std::string name, const platform::Bitmap& texture, std::uint8_t lo, std::uint8_t pk,
                             std::uint8_t hi) {
  TTRVMaterialRecord m = HeightLayer(std::move(name), texture, lo, pk, hi, 4);
  m.slopeLayer = 1;
  m.slopeThreshold = kRockSlope;
  return m;
}

// A tree's obstacle: its trunk, standing the tree's full height.
std::vector<TTRVMarkerPoint> Trunk(float height) { return {Marker({0, height / 2, 0}, {0.25f, height, 0.25f})}; }

// A tree's height is its model's top: fronds droop and branches reach past the trunk.
void AddTree(TTRVThemeFileData& t, const char* name, const MeshKit& model) {
  float height = 0;
  for (const TAffineVector& p : model.Positions()) height = std::max(height, p.y);
  t.objects.push_back(ModelObject(name, "Trees", okTree, height, model, Trunk(height)));
}

void AddBuilding(TTRVThemeFileData& t, const char* name, const Building& b) {
  t.objects.push_back(ModelObject(name, "Houses", okBuilding, b.height, b.model, b.markers));
}

void AddGrass(TTRVThemeFileData& t, const char* name, int column, int row, float height) {
  t.objects.push_back(ModelObject(name, "Tufts", okGrass, height, GrassTuft(column, row, 0.4f, height)));
}

// The object materials every climate shares: trees, houses and its own grass.
void AddObjectMaterials(TTRVThemeFileData& t, const platform::Bitmap& trees, const platform::Bitmap& houses,
                        const platform::Bitmap& grass) {
  t.materials.push_back(TextureMaterial("Trees", trees));
  t.materials.push_back(TextureMaterial("Houses", houses));
  t.materials.push_back(TextureMaterial("Tufts", grass, 1));
}

TTRVThemeFileData Basic(std::mt19937& gen, const platform::Bitmap& trees, const platform::Bitmap& houses) {
  TTRVThemeFileData t;
  t.themeName = "Basic";
  t.materials = {
      HeightLayer("Grass", VegetationTexture(gen, RgbOf(46, 86, 30), RgbOf(104, 150, 58), RgbOf(120, 104, 70)), 1, 8, 160, 8),
      HeightLayer("Beach", SandTexture(gen, RgbOf(178, 160, 118), RgbOf(222, 206, 160)), 0, 0, 10, 8),
      HeightLayer("Heath", VegetationTexture(gen, RgbOf(70, 84, 40), RgbOf(128, 130, 70), RgbOf(110, 100, 80)), 90, 170, 230, 8),
      RockLayer("Rock", RockTexture(gen, RgbOf(88, 86, 80), RgbOf(160, 156, 146)), 180, 255, 255),
      ClassLayer("Road", GravelTexture(gen, RgbOf(134, 116, 88), RgbOf(170, 164, 150)), kRoad, 16),
      ClassLayer("ForestFloor", LitterTexture(gen, RgbOf(52, 44, 30), RgbOf(96, 92, 44)), kForest, 8),
      ClassLayer("Cobbles", PavingTexture(gen, RgbOf(140, 134, 124), RgbOf(84, 80, 70)), kSettlement, 12),
  };
  AddObjectMaterials(t, trees, houses, PaintGrassAtlas(gen, RgbOf(40, 90, 30), RgbOf(120, 170, 60), RgbOf(230, 210, 80)));
  AddTree(t, "Spruce", Conifer(gen, 2.6f, 0.55f, kNeedles));
  AddTree(t, "Oak", Broadleaf(gen, 2.2f, 0.7f, kBark, kLeaves));
  AddTree(t, "Birch", Broadleaf(gen, 2.4f, 0.45f, kBirchBark, kAutumnLeaves));
  const HouseStyle cottage{kPlasterWindow, kPlasterDoor, kPlaster, kRedTiles, 0.75f};
  const HouseStyle farm{kPlasterWindow, kPlasterDoor, kPlaster, kSlate, 0.8f};
  const HouseStyle barn{kPlanks, kBarnDoor, kPlanks, kSlate, 0.9f};
  AddBuilding(t, "Cottage", GableHouse(0.62f, 0.5f, 0.36f, cottage, true));
  AddBuilding(t, "Farmhouse", LHouse(0.78f, 0.42f, 0.4f, farm));
  AddBuilding(t, "Barn", GableHouse(0.8f, 0.56f, 0.42f, barn, false));
  AddGrass(t, "Grass", 0, 0, 0.25f);
  AddGrass(t, "Flowers", 1, 0, 0.22f);
  t.objects.push_back(ModelObject("Boulder", "Trees", okObstacle, 0.25f, Boulder(0.3f, kStone), Trunk(0.25f)));
  return t;
}

TTRVThemeFileData BasicDry(std::mt19937& gen, const platform::Bitmap& trees, const platform::Bitmap& houses) {
  TTRVThemeFileData t;
  t.themeName = "BasicDry";
  t.materials = {
      HeightLayer("DryGrass", VegetationTexture(gen, RgbOf(120, 112, 58), RgbOf(186, 168, 96), RgbOf(160, 132, 96)), 1, 8, 150, 8),
      HeightLayer("Beach", SandTexture(gen, RgbOf(190, 170, 124), RgbOf(230, 214, 170)), 0, 0, 10, 8),
      HeightLayer("Scrub", VegetationTexture(gen, RgbOf(82, 88, 46), RgbOf(140, 136, 80), RgbOf(150, 120, 84)), 80, 160, 230, 8),
      RockLayer("Rock", RockTexture(gen, RgbOf(120, 100, 76), RgbOf(196, 176, 140)), 170, 255, 255),
      ClassLayer("Road", GravelTexture(gen, RgbOf(176, 150, 110), RgbOf(206, 196, 172)), kRoad, 16),
      ClassLayer("ForestFloor", LitterTexture(gen, RgbOf(100, 80, 52), RgbOf(150, 110, 60)), kForest, 8),
      ClassLayer("Paving", PavingTexture(gen, RgbOf(196, 178, 146), RgbOf(120, 104, 82)), kSettlement, 12),
  };
  AddObjectMaterials(t, trees, houses, PaintGrassAtlas(gen, RgbOf(110, 110, 50), RgbOf(200, 180, 100), RgbOf(200, 80, 60)));
  AddTree(t, "StonePine", UmbrellaPine(gen, 2.2f, 0.7f));
  AddTree(t, "Cypress", Cypress(2.3f));
  AddTree(t, "Olive", Broadleaf(gen, 1.6f, 0.6f, kBark, kOliveLeaves));
  const HouseStyle villa{kStuccoWindow, kStuccoDoor, kPlaster, kTerracotta, 0.45f};
  AddBuilding(t, "Villa", GableHouse(0.66f, 0.52f, 0.38f, villa, true));
  AddBuilding(t, "Farmstead", LHouse(0.76f, 0.44f, 0.36f, villa));
  AddBuilding(t, "Cottage", GableHouse(0.5f, 0.46f, 0.34f, villa, false));
  AddGrass(t, "DryGrass", 0, 1, 0.24f);
  AddGrass(t, "Poppies", 1, 0, 0.2f);
  return t;
}

TTRVThemeFileData Desert(std::mt19937& gen, const platform::Bitmap& trees, const platform::Bitmap& houses) {
  TTRVThemeFileData t;
  t.themeName = "Desert";
  t.materials = {
      HeightLayer("Sand", SandTexture(gen, RgbOf(196, 160, 104), RgbOf(236, 206, 150)), 0, 4, 130, 8),
      HeightLayer("Hardpan", GravelTexture(gen, RgbOf(176, 136, 92), RgbOf(130, 100, 74)), 60, 140, 220, 8),
      RockLayer("Sandstone", RockTexture(gen, RgbOf(132, 76, 48), RgbOf(206, 140, 92)), 160, 255, 255),
      ClassLayer("Track", GravelTexture(gen, RgbOf(200, 170, 124), RgbOf(160, 140, 110)), kRoad, 16),
      ClassLayer("Oasis", VegetationTexture(gen, RgbOf(70, 74, 36), RgbOf(128, 128, 62), RgbOf(170, 140, 96)), kForest, 8),
      ClassLayer("Flagstones", PavingTexture(gen, RgbOf(208, 176, 130), RgbOf(150, 118, 84)), kSettlement, 10),
  };
  AddObjectMaterials(t, trees, houses, PaintGrassAtlas(gen, RgbOf(130, 120, 60), RgbOf(200, 184, 110), RgbOf(220, 120, 60)));
  AddTree(t, "Palm", Palm(gen, 2.4f));
  AddTree(t, "Cactus", Cactus(1.7f));
  AddTree(t, "Acacia", UmbrellaPine(gen, 1.8f, 0.75f, kAcaciaLeaves));
  AddBuilding(t, "Adobe", FlatHouse(0.66f, 0.56f, 0.4f, false));
  AddBuilding(t, "DomedHouse", FlatHouse(0.58f, 0.58f, 0.36f, true));
  AddBuilding(t, "Tower", AdobeTower(0.44f, 0.85f));
  AddGrass(t, "DryTuft", 0, 1, 0.22f);
  t.objects.push_back(ModelObject("Rock", "Trees", okObstacle, 0.2f, Boulder(0.28f, kSandstone), Trunk(0.2f)));
  return t;
}

TTRVThemeFileData Arctic(std::mt19937& gen, const platform::Bitmap& trees, const platform::Bitmap& houses) {
  TTRVThemeFileData t;
  t.themeName = "Arctic";
  TTRVMaterialRecord rock = RockLayer("Rock", RockTexture(gen, RgbOf(62, 64, 68), RgbOf(130, 132, 136)), 0, 0, 0);
  t.materials = {
      HeightLayer("Tundra", VegetationTexture(gen, RgbOf(74, 78, 52), RgbOf(132, 128, 88), RgbOf(200, 204, 212)), 1, 6, 70, 8),
      HeightLayer("Shingle", GravelTexture(gen, RgbOf(110, 110, 108), RgbOf(170, 168, 164)), 0, 0, 8, 10),
      HeightLayer("Snow", SnowTexture(gen, RgbOf(190, 202, 222), RgbOf(246, 248, 252)), 30, 110, 255, 6),
      HeightLayer("Ice", SnowTexture(gen, RgbOf(150, 180, 210), RgbOf(220, 236, 248)), 170, 255, 255, 4),
      rock,
      ClassLayer("Track", GravelTexture(gen, RgbOf(170, 172, 180), RgbOf(110, 104, 96)), kRoad, 16),
      ClassLayer("Needles", LitterTexture(gen, RgbOf(200, 206, 218), RgbOf(60, 72, 56)), kForest, 8),
      ClassLayer("Yard", PavingTexture(gen, RgbOf(170, 170, 172), RgbOf(220, 226, 236)), kSettlement, 12),
  };
  AddObjectMaterials(t, trees, houses, PaintGrassAtlas(gen, RgbOf(90, 92, 60), RgbOf(170, 160, 110), RgbOf(230, 230, 240)));
  AddTree(t, "SnowSpruce", Conifer(gen, 2.8f, 0.5f, kSnowNeedles));
  AddTree(t, "SnowFir", Conifer(gen, 2.0f, 0.6f, kSnowNeedles));
  AddTree(t, "DeadTree", BareTree(gen, 1.8f));
  const HouseStyle cabin{kLogWindow, kPlasterDoor, kLogWindow, kSnowRoof, 1.0f};
  const HouseStyle lodge{kPlasterWindow, kPlasterDoor, kPlaster, kSnowRoof, 0.9f};
  AddBuilding(t, "Cabin", GableHouse(0.56f, 0.48f, 0.32f, cabin, true));
  AddBuilding(t, "Lodge", LHouse(0.76f, 0.44f, 0.38f, lodge));
  AddBuilding(t, "Shed", GableHouse(0.44f, 0.4f, 0.28f, cabin, false));
  AddGrass(t, "Sedge", 1, 1, 0.2f);
  t.objects.push_back(ModelObject("SnowRock", "Trees", okObstacle, 0.22f, Boulder(0.3f, kSnowLump), Trunk(0.22f)));
  return t;
}

TTRVThemeFileData Water(std::mt19937& gen) {
  TTRVThemeFileData t;
  t.themeName = "Water";
  // The sea is also the tiling water surface, drawn additively over the sea floor.
  t.materials = {ClassLayer("Sea", WaterTexture(gen, RgbOf(12, 40, 78), RgbOf(40, 92, 130)), kSea, 4),
                 ClassLayer("River", WaterTexture(gen, RgbOf(24, 56, 62), RgbOf(60, 106, 104)), kRiver, 8)};
  return t;
}

}  // namespace

bool ForgeGroundThemes(const ForgeContext& context, std::string& error) {
  std::mt19937 gen = SeededGenerator("ground-themes");
  const platform::Bitmap trees = PaintFloraAtlas(gen);
  const platform::Bitmap houses = PaintBuildingAtlas(gen);
  for (auto make : {Basic, BasicDry, Desert, Arctic})
    if (!WriteTheme(context, make(gen, trees, houses), error)) return false;
  if (!WriteTheme(context, Water(gen), error)) return false;
  // The dialog lists these theme names in this order and gives each its display name.
  std::string list;
  for (const char* name : {"Basic", "BasicDry", "Desert", "Arctic"}) list += std::string(name) + "\r\n";
  const std::string bytes = platform::Utf8ToCp1250(list);
  return WriteFileAtomically(context.outDir / "themes" / "GroundThemes.txt", bytes.data(), bytes.size(), error);
}

}  // namespace forge

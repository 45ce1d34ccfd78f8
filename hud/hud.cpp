// The HUD's construction: the theme, every sprite in drawing order, the side-coloured icons
// and the small helpers the other HUD files share. Placement is hudlayout.cpp's business.
#include "hud/hud.h"

#include <algorithm>
#include <filesystem>

#include "platform/bitmap.h"
#include "platform/filebytes.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "units/entity.h"
#include "world/world.h"

namespace {

// The theme file is a few megabytes; anything far larger is not ours.
constexpr std::uintmax_t kMaxThemeBytes = 64u << 20;

constexpr const char* kSideIconNames[] = {"IconHeli",     "IconTank",        "IconBoat", "IconTurret",
                                          "HUDtargetFire", "HUDtargetNoFire", "HUDBase"};

}  // namespace

TTRVHUD::TTRVHUD(TTRVWorld& world) : world_(world) {
  Visible = world.hudVisible;  // shown when the game says so, from the first step on
  const std::filesystem::path path = platform::InsideFolder(world.Context().programFolder, "themes/HUD.TRV");
  const TTRVThemeLoadResult loaded = path.empty() ? TTRVThemeLoadResult{false, "no program folder", {}}
                                                  : theme.LoadThemeFile(path);
  if (!loaded.ok) {
    themeError = loaded.error;
    platform::LogWarning("hud", "theme HUD: " + loaded.error + "; the HUD is drawn without pictures");
  }
  // The HUD pass draws unlit anyway; this keeps the pictures unlit wherever else they show.
  for (int i = 0; i < theme.materialLibrary.Count(); ++i)
    theme.materialLibrary.Materials(i)->Material.MaterialOptions |= moNoLighting;

  // A thin red band round the strike point, seen from any side.
  strikeMarker = AddNewChild<TGLSphere>();
  strikeMarker->Radius = 5;
  strikeMarker->Slices = 32;
  strikeMarker->Stacks = 2;
  strikeMarker->Top = 7;
  strikeMarker->Bottom = -7;
  TGLMaterial& ring = strikeMarker->Material;
  ring.BlendingMode = bmTransparency;
  ring.FaceCulling = fcNoCull;
  ring.FrontProperties.Diffuse.SetColor(1, 0, 0, 0.3f);
  ring.FrontProperties.Emission.SetColor(1, 0, 0, 1);
  strikeMarker->Visible = false;

  Build();
}

TTRVHUD::~TTRVHUD() {
  // The sprites name materials of the theme and the icon library: let them go first.
  DeleteChildren();
  iconLibrary.Clear();
}

void TTRVHUD::UseThemeMaterial(TGLHUDSprite& sprite, const std::string& name) {
  sprite.Material.MaterialLibrary = &theme.materialLibrary;
  sprite.Material.LibMaterialName = name;
}

void TTRVHUD::UseIconMaterial(TGLHUDSprite& sprite, const std::string& name) {
  sprite.Material.MaterialLibrary = &iconLibrary;
  sprite.Material.LibMaterialName = name;
}

TGLHUDSprite* TTRVHUD::AddSprite(TGLBaseSceneObject& parent, const std::string& themeMaterial) {
  auto* sprite = parent.AddNewChild<TGLHUDSprite>();
  if (!themeMaterial.empty()) UseThemeMaterial(*sprite, themeMaterial);
  return sprite;
}

void TTRVHUD::Build() {
  // Children draw in tree order: the map and what lies on it first, the cursor over them.
  mapSprite = AddSprite(*this, {});
  mapSprite->Material.MaterialLibrary = &world_.hudMaterials;
  mapSprite->Material.LibMaterialName = "HUDMap";
  markerRoot = AddSprite(*mapSprite, {});
  markerRoot->SetSize(0, 0);
  baseMarkerRoot = mapSprite->AddNewChild<TGLDummyCube>();
  barRoot = AddNewChild<TGLDummyCube>();
  legendRoot = AddNewChild<TGLDummyCube>();
  static constexpr const char* kLegend[] = {"IconHeli", "IconTank", "IconBoat", "IconTurret"};
  for (int p = 0; p < 4; ++p) {
    TGLHUDSprite* icon = AddSprite(*legendRoot, kLegend[p]);
    icon->Rotation = p == utTurret ? 0 : 270;  // vehicles lie along the bars, turrets stand
  }
  for (int p = 0; p < 4; ++p) AddSprite(*legendRoot, "HUDnums");

  armourGauge = AddSprite(*mapSprite, "HUDarmor");
  maskSprite = AddSprite(*armourGauge, "HUDmask");

  // The marker's material follows its target's side from the first update; until then there
  // is nothing to mark.
  targetMarker = AddSprite(*this, {});
  targetMarker->Visible = false;
  cursor = AddSprite(*mapSprite, "HUDcursorFire");
  mgIcon = AddSprite(*mapSprite, "HUDiconMachinegun");
  gunIcon = AddSprite(*mapSprite, "HUDiconGun");
  rocketIcon = AddSprite(*mapSprite, "HUDiconRocket");
  mgBar = AddSprite(*mapSprite, {});
  gunBar = AddSprite(*this, {});
  rocketBar = AddSprite(*this, {});
  for (TGLHUDSprite* bar : {mgBar, gunBar, rocketBar}) {
    bar->Material.MaterialOptions = moNoLighting;
    bar->Material.FrontProperties.Diffuse.SetColor(1, 0, 0, 1);
  }

  timeAccelSign = AddSprite(*this, "TimeAccel");
  timeAccelSign->Visible = false;
  strikeReadySign = AddSprite(*this, "HUDArtillery");
  strikeReadySign->Visible = false;
  shieldSprite = AddSprite(*this, "HUDshield");
  shieldSprite->Visible = false;
  mapNode = AddNewChild<TGLDummyCube>();

  Layout(false);
  // Where the pointer rests until the player's first step moves it: mid-view, not the corner.
  cursor->Position.SetPoint(static_cast<float>(ScreenWidth() / 2), static_cast<float>(ScreenHeight() / 2), 0);
}

bool TTRVHUD::LoadSideIcons(int sideIndex, std::int32_t colour) {
  const std::filesystem::path path = platform::InsideFolder(world_.Context().programFolder, "themes/HUD.TRV");
  std::vector<std::uint8_t> bytes;
  if (path.empty() || platform::ReadFileBytes(path, kMaxThemeBytes, bytes) != platform::ReadFileResult::Ok) {
    platform::LogWarning("hud", "side icons: the theme HUD cannot be read");
    return false;
  }
  // The whole reader, not a scan for 'M' bytes: records are read end to end, so an object
  // record (or a byte inside one) can never be misread as a material.
  TTRVThemeFileData data;
  std::string error;
  if (!ParseThemeFile(bytes, data, error)) {
    platform::LogWarning("hud", "side icons: theme HUD: " + error);
    if (data.materials.empty()) return false;  // the complete records before the fault still serve
  }
  // A black side would vanish: black is the cut-out.
  const platform::Color paint = (colour & 0xFFFFFF) == 0 ? platform::MakeColor(1, 1, 1)
                                                         : static_cast<platform::Color>(colour & 0xFFFFFF);
  const std::string suffix = std::to_string(sideIndex);
  for (const TTRVMaterialRecord& record : data.materials) {
    if (std::find(std::begin(kSideIconNames), std::end(kSideIconNames), record.materialName) == std::end(kSideIconNames))
      continue;
    platform::Bitmap bitmap;
    std::string why;
    if (!bitmap.LoadBmpFromMemory(record.bmp, why)) {
      platform::LogWarning("hud", "side icon " + record.materialName + ": " + why);
      continue;
    }
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if ((bitmap.Pixel(x, y) & 0xFFFFFF) != 0) bitmap.SetPixel(x, y, paint);
    const std::string name = record.materialName + suffix;
    if (const int old = iconLibrary.IndexOf(name); old >= 0) iconLibrary.Delete(old);
    TGLMaterial& m = iconLibrary.AddTextureMaterial(name, bitmap)->Material;
    m.MaterialOptions = moNoLighting;
    UseCutOutPicture(m, bmAlphaTest50);
  }
  return true;
}

float& TTRVHUD::MapZoom() {
  float* lent = world_.Context().cockpit.mapZoom;
  return lent ? *lent : ownZoom_;
}

float& TTRVHUD::MapSize() {
  float* lent = world_.Context().cockpit.mapSize;
  return lent ? *lent : ownSize_;
}

const TTRVSettings& TTRVHUD::Settings() const {
  const TTRVSettings* live = world_.Context().cockpit.settings;
  return live ? *live : world_.Context().settings;
}

int TTRVHUD::ScreenWidth() const { return std::max(1, Settings().ResolutionX); }
int TTRVHUD::ScreenHeight() const { return std::max(1, Settings().ResolutionY); }

TAffineVector TTRVHUD::CameraTargetPosition() const {
  const TGLBaseSceneObject* target = world_.Context().cameraTarget;
  return target ? target->AbsoluteAffinePosition() : TAffineVector(playerX, 0, playerZ);
}

TAffineVector TTRVHUD::CameraTargetDirection() const {
  const TGLBaseSceneObject* target = world_.Context().cameraTarget;
  return target ? TAffineVector(target->AbsoluteDirection()) : TAffineVector(0, 0, 1);
}

void TTRVHUD::MapPoint(const TAffineVector& world, float& x, float& y) const {
  const TVector local = mapNode->AbsoluteToLocal(TVector(world, 1));
  x = -local.x * mapScale + mapSprite->Position.X();
  y = -local.z * mapScale + mapSprite->Position.Y();
}

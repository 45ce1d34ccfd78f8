// The world's construction, themes, water material, camera focus, per-frame factors and
// tear-down. The loading sequence is in worldload.cpp.
#include "world/world.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "platform/paths.h"
#include "platform/programfiles.h"
#include "platform/random.h"
#include "world/worldroot.h"

TTRVWorld::TTRVWorld(TTRVWorldContext context) : context_(std::move(context)) {
  if (!context_.scene) {
    // Headless users (the generator, tools) need no view; the world keeps a scene of its own.
    ownScene_ = std::make_unique<TGLScene>();
    context_.scene = ownScene_.get();
  }
  viewRange = static_cast<std::uint8_t>(std::clamp(context_.settings.ViewDistance, 1, 255));
  BuildScene();
  FillWaterRipple();

  // Without a sea material, open sea is still drawn as plain water, never as a missing index.
  defaultWater_.MaterialOptions = moNoLighting;
  defaultWater_.BlendingMode = bmOpaque;
  defaultWater_.FrontProperties.Diffuse.SetColor(0.12f, 0.25f, 0.45f, 1);
  defaultWater_.FrontProperties.Ambient.SetColor(0.12f, 0.25f, 0.45f, 1);
}

TTRVWorld::~TTRVWorld() {
  running = false;
  // Sectors and imposters point into the world's members, so the scene objects go first.
  if (worldRoot) worldRoot->Free();
  // Builders and their point unhook each other whichever goes first; doing it here keeps
  // the order plain to read.
  nearImposterBuilder.SetRenderPoint(nullptr);
  farImposterBuilder.SetRenderPoint(nullptr);
  if (imposterPoint) imposterPoint->Free();
  worldRoot = nullptr;
  imposterPoint = nullptr;
}

void TTRVWorld::BuildScene() {
  TGLBaseSceneObject& top = context_.scene->Objects();
  auto* root = top.AddNewChild<TTRVWorldRoot>();
  worldRoot = root;
  worldRoot->Name = "World";
  sectorRoot = worldRoot->AddNewChild<TGLDummyCube>();
  staticRoot = worldRoot->AddNewChild<TGLDummyCube>();
  sideRoot = worldRoot->AddNewChild<TGLDummyCube>();
  grassRoot = worldRoot->AddNewChild<TGLDummyCube>();
  rocketRoot = worldRoot->AddNewChild<TGLDummyCube>();
  bombRoot = worldRoot->AddNewChild<TGLDummyCube>();
  aimMarker = worldRoot->AddNewChild<TGLDummyCube>();
  aimMarker->Scale.SetVector(0.1f, 0.1f, 0.1f);
  probeBox = worldRoot->AddNewChild<TGLDummyCube>();
  probeBox->Scale.SetVector(0.01f, 0.01f, 1);
  // The sky after everything opaque that stands in front of it: the depth test then spares
  // it every pixel the ground and the units already cover. The drawing callback still comes
  // after it and reads the depth of the sky too.
  skyDome = worldRoot->AddNewChild<TGLSphere>();
  skyDome->NormalDirection = ndInside;
  root->groundSource = sectorRoot;
  root->groundBefore = skyDome;
  renderHook = worldRoot->AddNewChild<TGLDirectOpenGL>();

  bakeCamera = worldRoot->AddNewChild<TGLCamera>();
  bakeCamera->CameraStyle = csOrthogonal;
  bakeCamera->Position.SetPoint(-16, 256, -16);
  // Up first: setting Direction afterwards keeps it and bends Up to stay perpendicular.
  bakeCamera->Up.SetVector(0, 0, 1);
  bakeCamera->Direction.SetVector(0, -1, 0);
  bakeCamera->DepthOfView = 256;
  bakeCamera->FocalLength = 3.1415927f;
  const int bakeSize = std::max(1, context_.settings.GroundTextureSize);
  bakeViewer = std::make_unique<TGLMemoryViewer>(bakeSize, bakeSize);
  bakeViewer->Buffer.BackgroundColor = 0x00800000;  // navy
  bakeViewer->SetCamera(bakeCamera);

  imposterPoint = top.AddNewChild<TGLRenderPoint>();
  nearImposterBuilder.SetRenderPoint(imposterPoint);
  farImposterBuilder.SetRenderPoint(imposterPoint);
}

void TTRVWorld::FillWaterRipple() {
  float f = 0.003f + static_cast<float>(platform::Random().Real()) * 0.002f;
  for (int x = 0; x < kSectorCells; ++x)
    for (int z = 0; z < kSectorCells; ++z) {
      f = -f;
      waterRipple[static_cast<std::size_t>(x)][static_cast<std::size_t>(z)] = f;
    }
}

void TTRVWorld::ClearLoaded() {
  running = false;
  sectorRoot->DeleteChildren();
  staticRoot->DeleteChildren();
  materialLibrary.Clear();
  hudMaterials.Clear();
  airRegion.reset();
  groundRegion.reset();
  waterRegion.reset();
  themes.clear();
  climateThemeCount = 0;
  seaMaterial = {};
  role5Materials.clear();
  worldStream.clear();
  sectorOffsets.Clear();
  heightGrid.Clear();
  themeGrid.Clear();
  objectHeightGrid.Clear();
  grassGrid.Clear();
  for (TTRVPathFinder* finder : {&airPathFinder, &groundPathFinder, &waterPathFinder}) {
    finder->grid.Clear();
    finder->path.clear();
  }
  landBases.clear();
  navalBases = {};
}

std::filesystem::path TTRVWorld::WorldsFolder() const {
  return context_.worldsFolder.empty() ? platform::ProgramFiles(context_.programFolder).WorldsFolder() : context_.worldsFolder;
}

void TTRVWorld::ReportProgress(TextId text, int percent, const std::string& suffix) const {
  if (context_.progress) context_.progress(TextString(text, Language()) + suffix, percent);
}

TTRVTheme* TTRVWorld::FindTheme(std::string_view name) const {
  for (auto it = themes.rbegin(); it != themes.rend(); ++it)
    if ((*it)->themeName == name) return it->get();
  return nullptr;
}

TTRVTheme* TTRVWorld::AddTheme(const std::string& name, std::string* error) {
  auto fail = [&](std::string why) -> TTRVTheme* {
    if (error) *error = std::move(why);
    return nullptr;
  };
  const std::filesystem::path path = platform::ProgramFiles(context_.programFolder).Theme(name);
  if (path.empty() || name.find('/') != std::string::npos) return fail("\"" + name + "\" is not a theme name");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return fail("the theme \"" + name + "\" is missing (" + path.string() + ")");
  auto theme = std::make_unique<TTRVTheme>();
  const TTRVThemeLoadResult result = theme->LoadThemeFile(path);
  if (!result.ok) return fail("the theme \"" + name + "\" cannot be read: " + result.error);
  themes.push_back(std::move(theme));
  return themes.back().get();
}

TGLLibMaterial* TTRVWorld::ThemeMaterial(TTRVMaterialRef ref) const {
  if (!ref.Valid() || static_cast<std::size_t>(ref.theme) >= themes.size()) return nullptr;
  return themes[static_cast<std::size_t>(ref.theme)]->materialLibrary.Materials(ref.material);
}

TGLMaterial& TTRVWorld::WaterMaterial() {
  if (TGLLibMaterial* sea = ThemeMaterial(seaMaterial)) return sea->Material;
  return defaultWater_;
}

void TTRVWorld::FocusOn(const TAffineVector& position) {
  if (context_.cameraTarget) context_.cameraTarget->SetAbsolutePosition(position);
  if (context_.camera) context_.camera->SetAbsolutePosition(position);
}

void TTRVWorld::AdvanceFrame(float t) {
  wavePhaseA -= t;
  wavePhaseB += 2 * t;
  if (wavePhaseA < -10000) wavePhaseA = 0;
  if (wavePhaseB > 10000) wavePhaseB = 0;
  waveSinA = std::sin(wavePhaseA);
  waveSinB = std::sin(wavePhaseB);
  // River water drifts against its own texture scale, so every river theme flows alike.
  for (const TTRVMaterialRef& ref : role5Materials) {
    if (TGLLibMaterial* m = ThemeMaterial(ref)) {
      m->TextureOffset.x = std::sin(-wavePhaseB) * 0.005f * m->TextureScale.x;
      m->TextureOffset.y = std::sin(wavePhaseA) * 0.005f * m->TextureScale.y;
    }
  }
}

void TTRVWorld::CentreSky() {
  if (skyDome && context_.camera) skyDome->Position.SetPoint(context_.camera->AbsoluteAffinePosition());
}

void TTRVWorld::CutAirStrikeTimer(float maxSeconds) { airStrikeTimer = std::min(airStrikeTimer, maxSeconds); }

std::unique_ptr<TTRVWorld> CreateLoadedWorld(TTRVWorldContext context, const std::string& name, bool newGame,
                                             const TTRVWorldInfo* info, std::string& error) {
  auto world = std::make_unique<TTRVWorld>(std::move(context));
  if (!world->LoadWorld(name, newGame, info, error)) return nullptr;
  return world;
}

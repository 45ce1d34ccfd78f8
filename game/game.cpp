// The game step in its fixed order, and starting a new game (saves: saveload.cpp).
#include "game/game.h"

#include "game/aimpoint.h"
#include "game/airstrike.h"
#include "game/camerafollow.h"
#include "game/mission.h"
#include "game/newgame.h"
#include "game/sidestanding.h"
#include "terrain/sectorstream.h"
#include "units/entity.h"
#include "units/targets.h"

namespace {

// Explosions, splashes, ricochets and the air strike play on the sound pool.
TTRVFXSound EffectSound(TTRVSoundCall* sound) {
  if (!sound) return {};
  return [sound](std::string_view name, const TAffineVector& at, float volume) {
    sound->PlaySound(name, nullptr, at, 1, volume);
  };
}

TTRVProjectiles::Sound ShotSound(TTRVSoundCall* sound) {
  if (!sound) return {};
  return [sound](std::string_view name, const TAffineVector& at) { sound->PlaySound(name, nullptr, at, 1, 1); };
}

}  // namespace

TTRVGame::TTRVGame(std::unique_ptr<TTRVWorld> world)
    : world_(std::move(world)),
      effects_(GroundOf(*world_), world_->Context().camera, EffectSound(world_->Context().sound)),
      projectiles_(*world_, effects_, ShotSound(world_->Context().sound)),
      battlefield_(effects_, projectiles_, unitRefs_, world_->Context().sound, world_->Context().cockpit.cameraEye) {
  ForEachUnit(*world_, [this](TTRVEntity& unit) { unit.battlefield = &battlefield_; });
  // Counted now: the first frames bake ground and simulate nothing, but the mission rules
  // already read the counts, and a side with none alive would lose at once. From then on
  // each simulated step counts them once, after everything that can destroy a unit.
  CountAliveUnits(*world_);
  hud_ = world_->worldRoot->AddNewChild<TTRVHUD>(*world_);
  hud_->BuildMarkers();
  hud_->Layout(true);
  projectiles_.bombMaterials = &hud_->theme.materialLibrary;
  battlefield_.hud = [this](const TTRVHUDReadout& readout) { ShowPlayerReadout(readout); };
  if (world_->renderHook)
    world_->renderHook->OnRender = [this](TGLDirectOpenGL&, TRenderContext& rci) {
      // Only the player's view shows the shots and the smoke, and only it says where the mouse aims.
      const TGLCamera* camera = world_->Context().camera;
      if (camera && rci.camera != camera) return;
      if (const std::optional<TAffineVector> aim = ReadAimPoint(*world_, rci)) aimPoint_ = aim;
      projectiles_.Draw(rci);
      effects_.Draw(rci);
    };
}

TTRVGame::~TTRVGame() {
  // Nothing may step or draw a world that is being taken apart.
  if (world_) {
    world_->running = false;
    if (world_->renderHook) world_->renderHook->OnRender = nullptr;
    battlefield_.hud = nullptr;
    // The units outlive this game's battlefield only until the world goes; they must not
    // reach it meanwhile.
    ForEachUnit(*world_, [](TTRVEntity& unit) { unit.battlefield = &QuietBattlefield(); });
  }
}

void TTRVGame::Step(double dt) {
  TTRVWorld& w = *world_;
  if (!w.running) return;
  const auto t = static_cast<float>(dt);
  w.AdvanceFrame(t);
  HandOverAimPoint(w);
  FollowCamera(w, t);
  w.CentreSky();
  // A frame that baked ground textures simulates nothing, baking is the slow part; the
  // mission is judged all the same.
  if (!StepSectors(w, t)) Simulate(w, t);
  CheckMission(w);
}

void TTRVGame::HandOverAimPoint(TTRVWorld& w) {
  // The last frame's drawing found this point under the mouse; from here on it is this step's
  // aim, the one the player's unit copies with the rest of the engine's controls.
  if (!aimPoint_) return;
  if (TTRVControlBlock* controls = w.Context().cockpit.controls) controls->aimPoint = TVector(*aimPoint_, 1);
  if (w.aimMarker) w.aimMarker->Position.SetPoint(*aimPoint_);
}

void TTRVGame::ShowPlayerReadout(const TTRVHUDReadout& readout) {
  if (!readout.unit) return;
  // The strike goes where the player points, not where the unit's cut aim stops.
  const TTRVControlBlock* engine = world_->Context().cockpit.controls;
  const TAffineVector underCursor = aimPoint_ ? *aimPoint_
                                    : engine  ? TAffineVector(engine->aimPoint)
                                              : TAffineVector(readout.unit->controls.aimPoint);
  battlefield_.targetPoint = AirStrikePoint(*readout.unit, underCursor);
  hud_->UpdateHUD(readout, battlefield_.targetPoint);
}

void TTRVGame::Simulate(TTRVWorld& w, float dt) {
  // The standings from the counts the last simulated step ended with (or the set-up's).
  UpdateSideStandings(w);
  CollectUnitRefs(w, unitRefs_);
  StepUnits(w, dt);
  projectiles_.StepBullets(dt);
  StepAirStrikeTimer(w, dt, battlefield_);
  CollectUnitRefs(w, unitRefs_);
  projectiles_.StepBombsAndRockets(dt, unitRefs_);
  projectiles_.StepTrails(dt);
  effects_.Step(dt);
  // Once, after everything that can destroy a unit: the HUD shows them, the mission rules judge them.
  CountAliveUnits(w);
  hud_->Progress(dt);
}

void TTRVGame::StepUnits(TTRVWorld& w, double dt) {
  // Side by side, each side's units from the last to the first. The order is taken before the
  // side steps: a unit freed by another during the step is passed over, never stepped through
  // a stale pointer, and no unit is stepped twice when the ones after it shift down.
  for (int d = 0; d < w.sideRoot->Count(); ++d) {
    TGLBaseSceneObject* cube = w.sideRoot->Children(d);
    unitOrder_.clear();
    for (int k = 0; k < cube->Count(); ++k) unitOrder_.push_back(cube->Children(k));
    for (int k = static_cast<int>(unitOrder_.size()) - 1; k >= 0; --k) {
      TGLBaseSceneObject* object = unitOrder_[static_cast<std::size_t>(k)];
      if (cube->Children(k) != object && !IsChild(*cube, object)) continue;
      if (auto* unit = dynamic_cast<TTRVEntity*>(object)) unit->Progress(dt);
    }
  }
}

bool TTRVGame::IsChild(const TGLBaseSceneObject& parent, const TGLBaseSceneObject* object) {
  for (int k = 0; k < parent.Count(); ++k)
    if (parent.Children(k) == object) return true;
  return false;
}

std::unique_ptr<TTRVGame> StartNewGame(TTRVWorldContext context, const std::string& name, const TTRVWorldInfo* info,
                                       std::string& error) {
  std::unique_ptr<TTRVWorld> world = CreateLoadedWorld(std::move(context), name, true, info, error);
  if (!world) return nullptr;
  // The HUD's start for a new game comes with the HUD.
  if (!SetUpNewGame(*world, error)) return nullptr;
  PrepareSectors(*world);
  return std::make_unique<TTRVGame>(std::move(world));
}

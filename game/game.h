// TTRVGame: one game on one island. It owns the world model and runs the game step: the
// world's own frame values first, then each subsystem in a fixed order. Subsystems never call
// each other through the step; a new one is one more line in Step.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/runningworld.h"
#include "effects/effects.h"
#include "effects/projectiles.h"
#include "game/gamebattlefield.h"
#include "hud/hud.h"
#include "world/world.h"

class TTRVGame : public TTRVRunningWorld {
 public:
  explicit TTRVGame(std::unique_ptr<TTRVWorld> world);
  ~TTRVGame() override;
  TTRVGame(const TTRVGame&) = delete;
  TTRVGame& operator=(const TTRVGame&) = delete;

  TTRVWorld& World() { return *world_; }
  TTRVEffects& Effects() { return effects_; }
  TTRVProjectiles& Projectiles() { return projectiles_; }
  TTRVGameBattlefield& Battlefield() { return battlefield_; }
  TTRVHUD& HUD() { return *hud_; }
  const TTRVWorld& World() const { return *world_; }

  // TTRVRunningWorld.
  void Step(double dt) override;
  void SetRunning(bool running) override { world_->running = running; }
  bool Running() const override { return world_->running; }
  void SetHUDVisible(bool visible) override { world_->hudVisible = visible; }
  void CutAirStrikeTimer(float maxSeconds) override { world_->CutAirStrikeTimer(maxSeconds); }
  bool SaveGame(const std::filesystem::path& file, double savedAt, std::string& error) override;
  std::string CampaignName() const override { return world_->missionName; }

  // The point under the mouse that the next step hands to the player: the drawing callback
  // keeps it here after reading the depth; tests aim by setting it.
  void KeepAimPoint(const TAffineVector& point) { aimPoint_ = point; }
  const std::optional<TAffineVector>& AimPoint() const { return aimPoint_; }

 private:
  void HandOverAimPoint(TTRVWorld& w);
  void Simulate(TTRVWorld& w, float dt);
  void ShowPlayerReadout(const TTRVHUDReadout& readout);
  void StepUnits(TTRVWorld& w, double dt);
  static bool IsChild(const TGLBaseSceneObject& parent, const TGLBaseSceneObject* object);

  // The world first: what follows is built over it and goes before it.
  std::unique_ptr<TTRVWorld> world_;
  std::vector<TGLBaseSceneObject*> unitOrder_;  // kept between steps for its storage
  std::vector<TTRVUnitRef> unitRefs_;           // the units as the shots see them, every step
  TTRVEffects effects_;
  TTRVProjectiles projectiles_;
  TTRVGameBattlefield battlefield_;
  TTRVHUD* hud_ = nullptr;  // under the world's root, freed with it
  // Read while the last frame was drawn, after its step; none until the mouse was over the view.
  std::optional<TAffineVector> aimPoint_;
};

// Loads worlds/<name>.TRV in the context as a new game with `info` (may be null) and makes it
// ready to step, not yet running. Null with the loader's message when the world is refused.
std::unique_ptr<TTRVGame> StartNewGame(TTRVWorldContext context, const std::string& name, const TTRVWorldInfo* info,
                                       std::string& error);

// Loads the world a save names (worlds/ of the context) and gives it the saved sides and
// units: piers and beacons rebuilt as a new game builds them, every unit as it was. The whole
// save is read and checked first, so a broken one never loads an island; then its rally cells
// and bases are checked against the island. Null with a message when anything is wrong; the
// game is ready to step, not yet running.
std::unique_ptr<TTRVGame> LoadSavedGame(TTRVWorldContext context, const std::filesystem::path& saveFile,
                                        std::string& error);

// The game step in its fixed order, and starting a new game.
#include "game/game.h"

#include "terrain/sectorstream.h"

TTRVGame::TTRVGame(std::unique_ptr<TTRVWorld> world) : world_(std::move(world)) {}

TTRVGame::~TTRVGame() {
  // Nothing may step a world that is being taken apart.
  if (world_) world_->running = false;
}

void TTRVGame::Step(double dt) {
  TTRVWorld& w = *world_;
  if (!w.running) return;
  const auto t = static_cast<float>(dt);
  w.AdvanceFrame(t);
  w.CentreSky();
  // A frame that baked ground textures simulates nothing: baking is the slow part.
  if (StepSectors(w, t)) return;
}

bool TTRVGame::SaveGame(const std::string&, std::string& error) {
  // Saving comes with the save-game format; until then the caller is told, not misled.
  error = "saving a game is not available yet";
  return false;
}

std::unique_ptr<TTRVGame> StartNewGame(TTRVWorldContext context, const std::string& name, const TTRVWorldInfo* info,
                                       std::string& error) {
  std::unique_ptr<TTRVWorld> world = CreateLoadedWorld(std::move(context), name, true, info, error);
  if (!world) return nullptr;
  PrepareSectors(*world);
  return std::make_unique<TTRVGame>(std::move(world));
}

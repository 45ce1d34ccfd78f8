// What the engine asks of a running game. TTRVGame implements it; tests drive the engine
// with a small stand-in, so the shell's timing rules are checked without an island.
#pragma once

#include <filesystem>
#include <string>

#include "world/status.h"

class TTRVRunningWorld {
 public:
  virtual ~TTRVRunningWorld() = default;
  // One game step of dt seconds (already clamped and accelerated by the engine). Does
  // nothing while the game is not running.
  virtual void Step(double dt) = 0;
  // The engine starts a game once it is loaded and stops it while a save is written; a
  // stopped game keeps its state but does not step.
  virtual void SetRunning(bool running) = 0;
  virtual bool Running() const = 0;
  virtual void SetHUDVisible(bool visible) = 0;
  // The tutorial's forced air strike: shorten the air-strike wait to at most this many seconds.
  virtual void CutAirStrikeTimer(float maxSeconds) = 0;
  // Writes the game to `file` (the engine names it) dated `savedAt` (days since 1899-12-30).
  // False with a message, the game running on as before and an older file kept, when it fails.
  virtual bool SaveGame(const std::filesystem::path& file, double savedAt, std::string& error) = 0;
  // The campaign the game belongs to, or "" / "- - -" for none.
  virtual std::string CampaignName() const = 0;
};

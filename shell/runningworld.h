// What the engine asks of a running world. The world implements it; tests drive the engine
// with a small stand-in, so the shell's timing rules are checked without an island.
#pragma once

#include <string>

class TTRVRunningWorld {
 public:
  virtual ~TTRVRunningWorld() = default;
  // One game step of dt seconds (already clamped and accelerated by the engine).
  virtual void Step(double dt) = 0;
  virtual void SetHUDVisible(bool visible) = 0;
  // The tutorial's forced air strike: shorten the air-strike wait to at most this many seconds.
  virtual void CutAirStrikeTimer(float maxSeconds) = 0;
  virtual bool SaveGame(const std::string& name, std::string& error) = 0;
  // The campaign the world belongs to, or "" / "- - -" for none.
  virtual std::string CampaignName() const = 0;
};

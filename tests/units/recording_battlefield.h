// A battlefield that keeps what the units asked of it, for the unit tests: every shot with its
// answer, the samples played and the effects made. The shots still take the aim test.
#pragma once

#include <string>
#include <vector>

#include "units/battlefield.h"

namespace unittest {

class RecordingBattlefield : public TTRVBattlefield {
 public:
  struct Shot {
    std::string weapon;  // "bullet", "gun", "rocket"
    TAffineVector from;
    float deviation;
    float steering;
    const TGLBaseSceneObject* homing;
    bool fired;
  };

  bool FireBullet(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
                  const TAffineVector& facing) override {
    const bool fired = TTRVBattlefield::FireBullet(shooter, from, to, deviation, facing);
    shots.push_back({"bullet", from, deviation, 0, nullptr, fired});
    return fired;
  }
  bool FireGun(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
               const TAffineVector& facing) override {
    const bool fired = TTRVBattlefield::FireGun(shooter, from, to, deviation, facing);
    shots.push_back({"gun", from, deviation, 0, nullptr, fired});
    return fired;
  }
  bool FireRocket(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float steering,
                  TGLBaseSceneObject* target, float deviation, const TAffineVector& facing) override {
    const bool fired = TTRVBattlefield::FireRocket(shooter, from, to, steering, target, deviation, facing);
    shots.push_back({"rocket", from, deviation, steering, target, fired});
    return fired;
  }
  bool CallAirStrike() override {
    ++airStrikes;
    return airStrikeAnswer;
  }
  void SmokePuffs(const TAffineVector&) override { ++smoke; }
  void WashDust(const TAffineVector&, const TAffineVector&, bool overWater) override {
    ++wash;
    if (overWater) ++washOverWater;
  }
  void BigExplosion(const TAffineVector&, bool) override { ++explosions; }
  void PlaySample(std::string_view name, TGLBaseSceneObject*) override { samples.emplace_back(name); }
  void UpdateHUD(const TTRVHUDReadout& readout) override { hud = readout; ++hudUpdates; }

  int Count(std::string_view sample) const {
    int n = 0;
    for (const std::string& s : samples) n += s == sample ? 1 : 0;
    return n;
  }

  std::vector<Shot> shots;
  std::vector<std::string> samples;
  int airStrikes = 0;
  bool airStrikeAnswer = true;
  int smoke = 0, wash = 0, washOverWater = 0, explosions = 0, hudUpdates = 0;
  TTRVHUDReadout hud;
};

}  // namespace unittest

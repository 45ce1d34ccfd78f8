// A battlefield that keeps what the units asked of it, for the unit tests: every shot with its
// answer and the test's frame, the samples played where they were played, the effects made,
// and every engine note or silence. The shots still take the quiet battlefield's aim test, so
// a shot off target is refused as in the game.
#pragma once

#include <string>
#include <vector>

#include "units/battlefield.h"

namespace unittest {

class RecordingBattlefield : public TTRVBattlefield {
 public:
  enum class Weapon { Bullet, Gun, Rocket };
  struct Shot {
    Weapon weapon = Weapon::Bullet;
    bool fired = false;
    int frame = 0;
    TAffineVector from{0}, to{0}, facing{0};
    float deviation = 0, steering = 0;
    TGLBaseSceneObject* homing = nullptr;
    bool rocket() const { return weapon == Weapon::Rocket; }
  };
  struct Sample {
    std::string name;
    TGLBaseSceneObject* at;
  };
  struct Explosion {
    TAffineVector at;
    bool upward;
  };
  // What a unit's engine was told on a frame: a note, or silence.
  static constexpr int kSilenced = -1;
  struct EngineNote {
    TTRVEntity* unit;
    int frequency;  // kSilenced for Silence
  };

  bool FireBullet(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
                  const TAffineVector& facing) override {
    const bool fired = TTRVBattlefield::FireBullet(shooter, from, to, deviation, facing);
    shots.push_back({Weapon::Bullet, fired, frame, from, to, facing, deviation, 0, nullptr});
    return fired;
  }
  bool FireGun(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
               const TAffineVector& facing) override {
    const bool fired = TTRVBattlefield::FireGun(shooter, from, to, deviation, facing);
    shots.push_back({Weapon::Gun, fired, frame, from, to, facing, deviation, 0, nullptr});
    return fired;
  }
  bool FireRocket(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float steering,
                  TGLBaseSceneObject* target, float deviation, const TAffineVector& facing) override {
    const bool fired = TTRVBattlefield::FireRocket(shooter, from, to, steering, target, deviation, facing);
    shots.push_back({Weapon::Rocket, fired, frame, from, to, facing, deviation, steering, target});
    return fired;
  }
  bool CallAirStrike() override {
    ++airStrikes;
    return airStrikeAnswer;
  }
  void SmokePuffs(const TAffineVector&) override { ++smokeFrames; }
  void WashDust(const TAffineVector&, const TAffineVector&, bool overWater) override {
    ++wash;
    if (overWater) ++washOverWater;
  }
  void BigExplosion(const TAffineVector& at, bool upward) override { explosions.push_back({at, upward}); }
  void PlaySample(std::string_view name, TGLBaseSceneObject* at) override { samples.push_back({std::string(name), at}); }
  void SetEngineSound(TTRVEntity& unit, int frequency) override { engine.push_back({&unit, frequency}); }
  void Silence(TTRVEntity& unit) override { engine.push_back({&unit, kSilenced}); }
  void UpdateHUD(const TTRVHUDReadout& readout) override {
    hud = readout;
    ++hudUpdates;
  }

  int Count(std::string_view sample) const {
    int n = 0;
    for (const Sample& s : samples) n += s.name == sample ? 1 : 0;
    return n;
  }
  void Clear() {
    shots.clear();
    samples.clear();
    explosions.clear();
    engine.clear();
    smokeFrames = 0;
  }

  int frame = 0;  // the test's frame counter, stamped on each shot
  std::vector<Shot> shots;
  std::vector<Sample> samples;
  std::vector<Explosion> explosions;
  std::vector<EngineNote> engine;
  int airStrikes = 0;
  bool airStrikeAnswer = true;
  int smokeFrames = 0, wash = 0, washOverWater = 0, hudUpdates = 0;
  TTRVHUDReadout hud;
};

}  // namespace unittest

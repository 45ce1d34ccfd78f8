// The turret's gunner and gun (units/turret.h).
#include "units/turret.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "units/entity.h"
#include "units/weaponhand.h"
#include "units/targets.h"
#include "world/queries.h"
#include "world/weapons.h"

namespace {

// The pivot swings four times as fast as the gun elevates: a crossing target is followed
// round, while a target rising steeply takes the gun a while to find.
constexpr float kYawGain = 160;       // degrees per second at a right angle
constexpr float kMaxYawRate = 160;    // degrees per second
constexpr float kPitchGain = 80;
constexpr float kMaxPitchRate = 40;
// Pitch lowers the nose: the gun looks up to 20 degrees above the horizon and 5 below it.
constexpr float kMinGunPitch = -20;
constexpr float kMaxGunPitch = 5;
// Closer than this the aim has no direction worth turning toward.
constexpr float kMinAimDistance = 1e-4f;

using weapons::turret::kMachineGun;
using weapons::turret::kRockets;
constexpr float kMachineGunDeviation = 0.05f;
constexpr float kMachineGunReload = 0.25f;
constexpr float kMachineGunRetry = 0.05f;
constexpr float kRocketDeviation = 0.05f;
constexpr float kRocketSteering = 0.5f;
constexpr float kRocketReload = 2.0f;
constexpr float kRocketRetry = 0.1f;

// The rig (entityrig.cpp): child 0 is the base, its child 0 the pivot, whose child 0 is the
// head carrying the gun. Null when the unit was never given that rig.
TGLBaseSceneObject* ChildOrNull(TGLBaseSceneObject* node) {
  return node && node->Count() > 0 ? node->Children(0) : nullptr;
}
TGLBaseSceneObject* PivotOf(TTRVEntity& unit) { return ChildOrNull(ChildOrNull(&unit)); }

void Wreck(TTRVEntity& unit, TGLBaseSceneObject& head) {
  const TAffineVector at = unit.aimNode->AbsoluteAffinePosition();
  unit.battlefield->SmokePuffs(at);
  head.Visible = false;
  if (unit.state.WreckDone()) return;
  unit.state.WreckDone() = 1;
  unit.battlefield->BigExplosion(at, false);
  unit.battlefield->PlaySample("explosion", unit.aimNode);
}

// Both loops are "rate = -gain * ((aim - origin) . axis) / d": zero once the aim lies in the
// plane the axis is normal to, and turning toward it otherwise (docs/scene-conventions.md).
void Aim(TTRVEntity& unit, TGLBaseSceneObject& pivot, TGLBaseSceneObject& head, const TAffineVector& aim, float dt) {
  const TAffineVector position = unit.AbsoluteAffinePosition();
  const float distance = VectorLength(aim - position);
  float pitchRate = 0;
  // The comparison is false for a NaN distance too, which leaves the gun as it was.
  if (distance > kMinAimDistance) {
    const float sideways = VectorDotProduct(aim - position, TAffineVector(pivot.AbsoluteRight()));
    pivot.Turn(std::clamp(-kYawGain * sideways / distance, -kMaxYawRate, kMaxYawRate) * dt);
    const float upward = VectorDotProduct(aim - head.AbsoluteAffinePosition(), TAffineVector(head.AbsoluteUp()));
    pitchRate = std::clamp(-kPitchGain * upward / distance, -kMaxPitchRate, kMaxPitchRate);
  }
  float& pitch = unit.state.GunPitch();
  pitch = std::clamp(pitch + pitchRate * dt, kMinGunPitch, kMaxGunPitch);
  head.ResetAndPitchTurnRoll(pitch, 0, 0);
}

void Fire(TTRVEntity& unit, TGLBaseSceneObject& head, const TAffineVector& aim) {
  TTRVBattlefield& field = *unit.battlefield;
  const TAffineVector from = head.AbsoluteAffinePosition();
  const TAffineVector facing(head.AbsoluteDirection());
  switch (unit.state.Weapon()) {
    case kRockets: {
      float& timer = unit.state.TurretRocketTimer();
      if (timer >= 0) return;
      TGLBaseSceneObject* homing = unit.target ? unit.target->aimNode : nullptr;
      const bool launched = field.FireRocket(unit, from, aim, kRocketSteering, homing, kRocketDeviation, facing);
      timer = launched ? kRocketReload : kRocketRetry;
      if (launched) field.PlaySample("rocket", &head);
      return;
    }
    case kMachineGun: {
      float& timer = unit.state.TurretMachineGunTimer();
      if (timer >= 0) return;
      const bool fired = field.FireBullet(unit, from, aim, kMachineGunDeviation, facing);
      timer = fired ? kMachineGunReload : kMachineGunRetry;
      if (fired) field.PlaySample("machinegun", &head);
      return;
    }
    default:
      return;  // no weapon a turret carries
  }
}

}  // namespace

void StepTurretAI(TTRVEntity& unit, float dt) {
  StepAIChoice(unit, dt);
  if (!unit.target || !unit.target->aimNode || !unit.world || !unit.aimNode) {
    unit.controls.fire = false;
    return;
  }
  // The trace stops where the ground first hides the target: the gun follows a target going
  // behind a hill to where it was last seen, without firing into the hill.
  const TTRVTrace trace = TraceSegment(GroundOf(*unit.world), unit.aimNode->AbsoluteAffinePosition(),
                                       unit.target->aimNode->AbsoluteAffinePosition());
  unit.controls.aimPoint = TVector(trace.lastVisible, 1.0f);
  unit.controls.fire = trace.visible;
}

void StepTurretGun(TTRVEntity& unit, float dt) {
  TGLBaseSceneObject* pivot = PivotOf(unit);
  TGLBaseSceneObject* head = ChildOrNull(pivot);
  if (!head || !unit.aimNode) return;
  if (unit.Wrecked()) {
    Wreck(unit, *head);
    return;
  }
  head->Visible = true;
  unit.cell = RoundedCellOf(unit.AbsoluteAffinePosition());

  const TAffineVector aim(unit.controls.aimPoint);
  Aim(unit, *pivot, *head, aim, dt);

  RunDownReload(unit.state.TurretMachineGunTimer(), dt);
  RunDownReload(unit.state.TurretRocketTimer(), dt);

  if (unit.controls.fire && !unit.holdFire) Fire(unit, *head, aim);
}

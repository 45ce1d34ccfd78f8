// The helicopter. Its velocity lives in its own frame (x lateral, y vertical, z forward) and is
// damped every frame, so the feel depends on the frame time only through the factors below.
#include "units/heli.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ai/worldbeacon.h"
#include "platform/random.h"
#include "terrain/sector.h"
#include "units/entity.h"
#include "units/playerstep.h"
#include "units/targets.h"
#include "units/weaponhand.h"

using namespace heli;

namespace {

// The rig (units/entityrig.cpp): c0 tilt node, c0.c0 fuselage node with the fuselage, main
// rotor, gun, two rocket pods and tail rotor; c1 the marker on the ground below.
TGLBaseSceneObject& Tilt(TTRVEntity& u) { return *u.Children(0); }
TGLBaseSceneObject& Body(TTRVEntity& u) { return *Tilt(u).Children(0); }
TGLBaseSceneObject& MainRotor(TTRVEntity& u) { return *Body(u).Children(1); }
TGLBaseSceneObject& Gun(TTRVEntity& u) { return *Body(u).Children(2); }
TGLBaseSceneObject& Pod(TTRVEntity& u, int pod) { return *Body(u).Children(pod == 4 ? 4 : 3); }
TGLBaseSceneObject& TailRotor(TTRVEntity& u) { return *Body(u).Children(5); }
TGLBaseSceneObject& GroundMarker(TTRVEntity& u) { return *u.Children(1); }

bool IsPlayersUnit(const TTRVEntity* unit) { return unit && unit->state.isPlayer; }

void SelectWeapon(TTRVEntity& u) {
  TTRVControlBlock& c = u.controls;
  std::uint8_t& weapon = u.state.Weapon();
  if (c.weaponRequest == weapon) return;
  const bool player = u.state.isPlayer != 0;
  const TTRVCockpit& cockpit = u.world->Context().cockpit;
  const auto say = [&](const char* sample) {
    if (player) u.battlefield->PlaySample(sample, nullptr);
  };
  switch (c.weaponRequest) {
    case kMachineGun:
      weapon = kMachineGun;
      say("MachineSel");
      break;
    case kRockets:
      weapon = kRockets;
      say("RocketsSel");
      break;
    case kAirStrike:
      if (u.world->airStrikeTimer >= 0) {
        if (!cockpit.AirStrikeForced()) say("AirStrikeNotReady");
        FallBackToWeapon(u, kMachineGun);
      } else {
        weapon = kAirStrike;
        say("AirStrikeSelected");
      }
      break;
    default:
      // Not a weapon of the helicopter: keep what is in hand.
      c.weaponRequest = weapon;
      break;
  }
}

void Fire(TTRVEntity& u) {
  TTRVControlBlock& c = u.controls;
  TTRVUnitState& s = u.state;
  const bool player = s.isPlayer != 0;
  const TAffineVector aim(c.aimPoint);
  TGLBaseSceneObject& gun = Gun(u);
  const TAffineVector facing(gun.AbsoluteDirection());
  float& machineGunTimer = s.HeliMachineGunTimer();
  float& rocketTimer = s.HeliRocketTimer();
  TTRVBattlefield& field = *u.battlefield;

  if (s.Weapon() == kAirStrike) {
    if (u.world->airStrikeTimer < 0 && field.CallAirStrike()) FallBackToWeapon(u, kMachineGun);
  } else if (s.Weapon() == kRockets && rocketTimer < 0 && !u.holdFire) {
    if (player) {
      // The player's pods take turns on every pull of the trigger.
      s.RocketPod() = s.RocketPod() == 3 ? 4 : 3;
      TGLBaseSceneObject& pod = Pod(u, s.RocketPod());
      if (field.FireRocket(u, pod.AbsoluteAffinePosition(), aim, kPlayerRocketSteering, u.world->aimMarker, -1, facing))
        field.PlaySample("rocket", &pod);
      rocketTimer = kRocketReload;
    } else {
      TGLBaseSceneObject& pod = Pod(u, s.RocketPod());
      TGLBaseSceneObject* homing = u.target ? u.target->aimNode : nullptr;
      if (field.FireRocket(u, pod.AbsoluteAffinePosition(), aim, kAIRocketSteering, homing, kAIRocketDeviation,
                           facing)) {
        field.PlaySample("rocket", &pod);
        s.RocketPod() = s.RocketPod() == 3 ? 4 : 3;
        rocketTimer = kRocketReload;
      } else {
        rocketTimer = kRocketRetry;
      }
    }
  } else if (s.Weapon() == kMachineGun && machineGunTimer < 0 && !u.holdFire) {
    if (field.FireBullet(u, gun.AbsoluteAffinePosition(), aim, player ? -1 : kAIMachineGunDeviation, facing))
      field.PlaySample("50cal", &gun);
    machineGunTimer = kMachineGunReload;
  }
}

void AimGun(TTRVEntity& u, float dt) {
  const float k = IsPlayersUnit(u.target) ? 10.0f : 1.0f;
  TGLBaseSceneObject& gun = Gun(u);
  const TAffineVector offset = TAffineVector(u.controls.aimPoint) - gun.AbsoluteAffinePosition();
  const float yawRate = std::clamp(-kGunGain * k * VectorDotProduct(offset, TAffineVector(gun.AbsoluteRight())),
                                   -kGunYawRate, kGunYawRate);
  float& yaw = u.state.GunYaw();
  yaw = std::clamp(yaw + yawRate * dt, kMinGunYaw, kMaxGunYaw);
  const float pitchRate = std::clamp(-kGunGain * k * VectorDotProduct(offset, TAffineVector(gun.AbsoluteUp())),
                                     -kGunPitchRate, kGunPitchRate);
  float& pitch = u.state.GunPitch();
  pitch = std::clamp(pitch + pitchRate * dt, kMinGunPitch, kMaxGunPitch);
  gun.ResetAndPitchTurnRoll(pitch, yaw, 0);
}

// Pushes the helicopter away from what it ran into. The push is a world direction; the
// velocity is kept in the helicopter's frame, so it is turned into that frame first.
void PushAway(TTRVEntity& u, const TAffineVector& from, float strength) {
  // Two on one spot both back off; the first then moves before the other's step, which
  // finds a direction away from it, so they part.
  const TAffineVector away = VectorNormalizeOr(u.AbsoluteAffinePosition() - from, TAffineVector(u.AbsoluteDirection()) * -1.0f);
  const TVector local = u.AbsoluteToLocal(TVector(away * strength, 0));
  u.state.Velocity() = TVector(local.x, local.y, local.z, 0);
}

void Collide(TTRVEntity& u, float dt) {
  bool hit = false;
  std::vector<TTRVUnitRef> units;
  CollectUnitRefs(*u.world, units);
  if (const TTRVUnitRef* other = UnitTouching(units, *u.hitBox, u.state.isPlayer != 0)) {
    PushAway(u, other->Position(), 10 * dt);
    hit = true;
  }
  if (!u.Wrecked()) {
    if (const TGLBaseSceneObject* obstacle = ObstacleTouching(*u.hitBox, ObstacleBoxes(u.sector), 3)) {
      PushAway(u, obstacle->AbsoluteAffinePosition(), 30 * dt);
      // A sideways nudge, so a helicopter pushed straight back at a wall slides off it.
      u.state.Velocity().x += dt;
      u.state.Velocity().w = 0;
      hit = true;
    }
  }
  if (hit) u.battlefield->PlaySample("hit" + std::to_string(platform::Random().Int(3)), u.hitBox);
}

// The wreck's fall: the rotor winds down while the body spins, then it settles on the slope.
// False when the wreck lies on the ground and the rest of the step is skipped.
bool StepWreck(TTRVEntity& u, float dt, const TVector& groundNormal, float altitude) {
  u.ClearControls();
  float& rotor = u.state.RotorSpeed();
  if (rotor > 0) {
    rotor -= 10 * dt;
    Tilt(u).Turn(rotor * dt * 15);
  } else if (rotor != 0) {
    u.Up.SetVector(TAffineVector(groundNormal));
    rotor = 0;
  }
  // The explosion comes first: a helicopter destroyed on its skids blows up as well.
  if (!u.state.WreckDone()) {
    u.state.WreckDone() = 1;
    u.battlefield->BigExplosion(u.AbsoluteAffinePosition(), false);
    u.battlefield->PlaySample("explosion", u.aimNode);
  }
  return altitude >= 0.01f;
}

}  // namespace

void StepHeliFlight(TTRVEntity& u, float dt) {
  TTRVUnitState& s = u.state;
  TTRVControlBlock& c = u.controls;
  const float d = 1 - dt, g = 1 + 2 * dt;
  TAffineVector position = u.Position.AsAffineVector();
  const TTRVSurface ground = SurfaceAt(GroundOf(*u.world), position);
  const float height = position.y - ground.height;  // above the ground
  const float altitude = height - kClearance;
  s.Altitude() = altitude;

  float lift = std::max(0.0f, (kHoverHeight - height) * dt);
  if (c.climb) lift += dt;
  if (c.brake) lift += dt;
  if (s.armour < 10) u.battlefield->SmokePuffs(position);

  if (!u.Wrecked()) {
    const float spin = lift * 100 + s.RotorSpeed();
    MainRotor(u).Turn(spin);
    TailRotor(u).Turn(spin);
    TGLBaseSceneObject& marker = GroundMarker(u);
    marker.Position.SetY(ground.height - position.y);
    const TAffineVector washAt = marker.AbsoluteAffinePosition();
    u.battlefield->WashDust(washAt, TAffineVector(ground.normal), washAt.y < 0.1f);
  } else {
    lift = 0;
    if (!StepWreck(u, dt, ground.normal, altitude)) return;
  }

  u.cell = RoundedCellOf(position);
  TVector& v = s.Velocity();
  v.y = (v.y - dt) * d + lift;
  if (height < kClearance) {
    position.y = ground.height + kClearance;
    u.Position.SetY(position.y);
    v.x = 0;
    v.y = dt;
    v.z = 0;
    if (u.Wrecked()) s.RotorSpeed() = 0;
  }

  if (c.accelerate) {
    v.z += dt;
    if (v.z > 0) v.z *= g;
    v.y -= 0.5f * dt;
  }
  if (c.brake) {
    v.z -= dt;
    if (v.z < 0) v.z *= g;
    v.y += 0.05f * dt;
  }
  // Turning bleeds forward speed.
  const float drag = std::abs(dt * c.steerX * c.steerX);
  v.z += v.z > 0 ? -drag : drag;
  v.z = std::clamp(v.z * d, kMinForward, kMaxForward);
  // A positive pitch lowers the nose (docs/scene-conventions.md): flying forward dips it, up
  // to 20 degrees at full speed, and going backward raises it.
  Tilt(u).SetPitchAngle(10 * v.z);

  if (c.turnLeft) {
    v.x += dt;
    if (v.x > 0) v.x *= g;
  }
  if (c.turnRight) {
    v.x -= dt;
    if (v.x < 0) v.x *= g;
  }
  v.x = std::clamp(v.x * d, -kMaxLateral, kMaxLateral);
  Body(u).SetRollAngle(-8 * v.x - 20 * c.steerX);

  AimGun(u, dt);
  SelectWeapon(u);
  RunDownReload(s.HeliMachineGunTimer(), dt);
  RunDownReload(s.HeliRocketTimer(), dt);
  if (c.fire) Fire(u);

  u.Turn(-c.steerX * dt * 100);
  const TVector travel = u.LocalToAbsolute(TVector(v.x, v.y, v.z, 0));
  u.Position.SetPoint(u.Position.AsAffineVector() + TAffineVector(travel) * dt);
  Collide(u, dt);
  s.PreviousPosition() = u.Position.AsVector();
}

void StepHeliSinking(TTRVEntity& u, float) {
  u.battlefield->WashDust(u.AbsoluteAffinePosition(), {0, 1, 0}, true);
}

void StepHeliPlayer(TTRVEntity& u, float dt) {
  StepPlayerCommon(u, dt);
  const TTRVUnitState& s = u.state;
  TTRVHUDReadout hud;
  hud.unit = &u;
  hud.machineGun = s.Weapon() == kMachineGun ? TTRVHUDReadout::Selected : TTRVHUDReadout::Available;
  hud.rockets = s.Weapon() == kRockets ? TTRVHUDReadout::Selected : TTRVHUDReadout::Available;
  hud.gun = TTRVHUDReadout::Hidden;
  hud.airStrikeSelected = s.Weapon() == kAirStrike;
  hud.rocketAimed = true;
  hud.gunAimed = true;
  hud.machineGunReady = 1 - s.HeliMachineGunTimer() / kMachineGunReload;
  hud.rocketReady = 1 - s.HeliRocketTimer() / kRocketReload;
  hud.gunReady = 0;
  u.battlefield->UpdateHUD(hud);
}

namespace {

std::uint8_t WeaponAgainst(const TTRVEntity& target) {
  switch (target.state.unitType) {
    case utHeli:
      return kMachineGun;
    case utBoat:
      return platform::Random().Int(2) == 0 ? kMachineGun : kRockets;
    default:
      return kRockets;  // tanks and turrets
  }
}

TTRVCell Advance(const TTRVEntity& u, const TAffineVector& position) {
  const auto& sides = u.world->sides;
  if (u.state.side >= sides.size()) return {0, 0};
  const std::size_t enemy = sides[u.state.side].mainEnemy;
  if (enemy >= sides.size() || !sides[enemy].airBeacon) return {0, 0};
  return sides[enemy].airBeacon->NextWaypoint(position);
}

float SteerFor(char letter) {
  switch (letter) {
    case 'L': return 0.5f;
    case 'R': return -0.5f;
    case 'Q': return 0.1f;
    case 'E': return -0.1f;
    case 'Z': return 0.2f;
    case 'C': return -0.2f;
    default: return 0;
  }
}

}  // namespace

void StepHeliAI(TTRVEntity& u, float dt) {
  if (StepAIChoice(u, dt) && u.target && u.target->state.side != u.state.side)
    u.controls.weaponRequest = WeaponAgainst(*u.target);

  TTRVControlBlock& c = u.controls;
  TTRVEntity* target = u.target;
  const bool engaging = u.aiState == TTRVAIState::Engage && target;
  const bool advancing = u.aiState == TTRVAIState::Advance && target;
  const TAffineVector position = u.AbsoluteAffinePosition();
  const TAffineVector from = position + TAffineVector(0.5f, 0, 0.5f);
  TTRVCell waypoint{0, 0};
  TTRVTrace sight;
  if (engaging) {
    sight = TraceSegment(GroundOf(*u.world), u.aimNode->AbsoluteAffinePosition(), target->aimNode->AbsoluteAffinePosition(),
                         &u.world->airPathFinder);
    c.aimPoint = TVector(sight.lastVisible, 1);
    const float reach = EngageDistance(u);
    if (sight.passable)
      waypoint = CellOf(reach > sight.length ? position : target->AbsoluteAffinePosition());
    else
      waypoint = target->airBeacon->Approach(from, static_cast<int>(std::trunc(reach)), {0, 0});
  } else if (advancing) {
    waypoint = Advance(u, from);
  }
  if ((engaging || advancing) && waypoint == TTRVCell{0, 0})
    waypoint = target->airBeacon->StepToward(from, target->AbsoluteAffinePosition());

  u.ClearControls();
  if (!engaging && !advancing) return;  // idle: hover where it is

  char letter = u.ClassifyDirection(CellPosition(waypoint));
  if (letter == 'Q' || letter == 'E') c.accelerate = true;
  if (letter == 'Z' || letter == 'C') c.brake = true;
  if (letter == 'L') c.turnLeft = true;
  if (letter == 'R') c.turnRight = true;
  const float altitude = u.state.Altitude();
  if (altitude < 1) {
    c.climb = true;
    c.accelerate = false;
  }
  if (altitude > kHoverHeight) c.descend = true;

  if (engaging) {
    // Round an obstacle by the waypoint, but keep the nose on the target.
    if (!sight.passable) letter = u.ClassifyDirection(target->AbsoluteAffinePosition());
    if (sight.visible) c.fire = true;
    if (sight.length < 10 && !u.holdFire) {
      c.accelerate = false;
      // Close in, it circles ground targets, strafing to the side of the pod in use.
      if (target->state.unitType != utHeli) {
        const bool leftPod = u.state.RocketPod() == 3;
        c.turnLeft = leftPod;
        c.turnRight = !leftPod;
        c.brake = true;
      }
    }
  }
  c.steerX = SteerFor(letter);
}

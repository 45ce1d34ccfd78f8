// The tank (units/tank.h). Its speed and turn rate are kept in the unit's slots and damped
// every frame; the hull only yaws, and the hull node carries the tilt of the ground under the
// three contacts.
#include "units/tank.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "ai/worldbeacon.h"
#include "platform/random.h"
#include "terrain/sector.h"
#include "units/entity.h"
#include "units/steering.h"
#include "units/weaponhand.h"
#include "units/playerstep.h"
#include "units/targets.h"

using namespace tank;

namespace {

// The rig (units/entityrig.cpp): c0 hull node with c0.c0 the hull, c0.c1 the turret carrying
// the gun (c0.c1.c0) and the corner probes c0.c2 .. c0.c5 (front +X, front -X, rear +X,
// rear -X); c1 .. c3 the ground contacts (front, rear +X, rear -X); c4, c5 the forward probes
// (+X half, middle).
TGLBaseSceneObject& Hull(TTRVEntity& u) { return *u.Children(0); }
TGLBaseSceneObject& Turret(TTRVEntity& u) { return *Hull(u).Children(1); }
TGLBaseSceneObject& Gun(TTRVEntity& u) { return *Turret(u).Children(0); }
TGLBaseSceneObject& Corner(TTRVEntity& u, int i) { return *Hull(u).Children(2 + i); }
TGLBaseSceneObject& Contact(TTRVEntity& u, int i) { return *u.Children(1 + i); }
TGLBaseSceneObject& ForwardProbe(TTRVEntity& u, int i) { return *u.Children(4 + i); }

// Closer than this the aim has no direction worth turning toward.
constexpr float kMinAimDistance = 1e-4f;
// The player's shots take no aim test.
constexpr float kNoAimLimit = -1;
// A previous position further than this along the ground is not last frame's (the far step
// moved the tank, or it was placed): its height says nothing about the slope.
constexpr float kMaxFrameTravel = 1;
// The nearest route corner worth driving at: beyond the turning circle at cruising speed.
constexpr float kRouteReach = 2;

void SelectWeapon(TTRVEntity& u) {
  TTRVControlBlock& c = u.controls;
  std::uint8_t& weapon = u.state.Weapon();
  if (c.weaponRequest == weapon) return;
  const auto say = [&](const char* sample) {
    if (u.state.isPlayer) u.battlefield->PlaySample(sample, nullptr);
  };
  switch (c.weaponRequest) {
    case kCannon:
      weapon = kCannon;
      say("CannonSel");
      break;
    case kMachineGun:
      weapon = kMachineGun;
      say("MachineSel");
      break;
    case kAirStrike:
      if (u.world->airStrikeTimer >= 0) {
        say("AirStrikeNotReady");
        FallBackToWeapon(u, kMachineGun);
      } else {
        weapon = kAirStrike;
        say("AirStrikeSelected");
      }
      break;
    default:
      // Not a weapon of the tank: keep what is in hand.
      c.weaponRequest = weapon;
      break;
  }
}

void Fire(TTRVEntity& u) {
  TTRVUnitState& s = u.state;
  TTRVBattlefield& field = *u.battlefield;
  const bool player = s.isPlayer != 0;
  if (s.Weapon() == kAirStrike) {
    if (u.world->airStrikeTimer < 0 && field.CallAirStrike()) FallBackToWeapon(u, kMachineGun);
    return;
  }
  if (u.holdFire) return;
  TGLBaseSceneObject& gun = Gun(u);
  TGLBaseSceneObject& turret = Turret(u);
  const TAffineVector from = gun.AbsoluteAffinePosition();
  const TAffineVector aim(u.controls.aimPoint);
  const TAffineVector facing(gun.AbsoluteDirection());
  // A computer's shot refused by the aim test is tried again soon; the player's trigger
  // reloads either way, so holding it off target does not fire the moment the gun swings on.
  if (s.Weapon() == kMachineGun && s.TankMachineGunTimer() < 0) {
    const bool fired = field.FireBullet(u, from, aim, player ? kNoAimLimit : kAIMachineGunDeviation, facing);
    if (fired) field.PlaySample("machinegun", &turret);
    s.TankMachineGunTimer() = fired || player ? kMachineGunReload : kAIRetry;
  } else if (s.Weapon() == kCannon && s.TankCannonTimer() < 0) {
    const bool fired = field.FireGun(u, from, aim, player ? kNoAimLimit : kAICannonDeviation, facing);
    if (fired) field.PlaySample("gun", &turret);
    s.TankCannonTimer() = fired || player ? kCannonReload : kAIRetry;
  }
}

// Both loops are "rate = -gain * k * ((aim - origin) . axis) / d": zero once the aim lies in
// the plane the axis is normal to, and turning toward it otherwise (docs/scene-conventions.md).
void AimTurretAndGun(TTRVEntity& u, float k, float dt) {
  TGLBaseSceneObject& turret = Turret(u);
  TGLBaseSceneObject& gun = Gun(u);
  const TAffineVector aim(u.controls.aimPoint);
  const TAffineVector position = u.AbsoluteAffinePosition();
  const float d = VectorLength(aim - position);
  float pitchRate = 0;
  // The comparison is false for a NaN distance too, which leaves the turret as it was.
  if (d > kMinAimDistance) {
    const float sideways = VectorDotProduct(aim - position, TAffineVector(turret.AbsoluteRight()));
    turret.Turn(std::clamp(-kTurretGain * k * sideways / d, -kMaxTurretRate, kMaxTurretRate) * dt);
    const float upward = VectorDotProduct(aim - gun.AbsoluteAffinePosition(), TAffineVector(gun.AbsoluteUp()));
    pitchRate = std::clamp(-kGunGain * k * upward / d, -kMaxGunRate, kMaxGunRate);
  }
  float& pitch = u.state.GunPitch();
  pitch = std::clamp(pitch + pitchRate * dt, kMinGunPitch, kMaxGunPitch);
  gun.ResetAndPitchTurnRoll(pitch, 0, 0);
}

// Puts the tank on the ground under its three contacts and tilts the hull with the plane
// through them. Answers the new height.
float FollowGround(TTRVEntity& u) {
  const TTRVGroundView ground = GroundOf(*u.world);
  std::array<float, 3> h{};
  for (int i = 0; i < 3; ++i) h[i] = SurfaceAt(ground, Contact(u, i).AbsoluteAffinePosition(), false).height;
  const float y = (h[0] + h[1] + h[2]) / 3;
  u.Position.SetY(y);
  std::array<TAffineVector, 3> at{};
  for (int i = 0; i < 3; ++i) {
    Contact(u, i).Position.SetY(h[i] - y);
    at[i] = Contact(u, i).AbsoluteAffinePosition();
  }
  // Front, rear +X, rear -X: the cross product of the two edges from the front points up.
  const TAffineVector normal =
      VectorNormalizeOr(VectorCrossProduct(at[1] - at[0], at[2] - at[0]), TAffineVector(u.AbsoluteUp()));
  Hull(u).PointTo(at[0], normal);
  return y;
}

// A heading along the ground, for units at one spot that have no direction to part along.
TAffineVector RandomHeading() {
  const float angle = 2 * std::numbers::pi_v<float> * static_cast<float>(platform::Random().Real());
  return {std::sin(angle), 0, std::cos(angle)};
}

bool CollideWithUnits(TTRVEntity& u, float dt) {
  std::vector<TTRVUnitRef> units;
  CollectUnitRefs(*u.world, units);
  const TTRVUnitRef* other = UnitTouching(units, *u.hitBox, u.state.isPlayer != 0);
  if (!other) return false;
  u.state.ForwardSpeed() = 0;
  u.state.TurnRate() = 0;
  // Along the ground: the height is the terrain's, and a push up or down would be lost.
  TAffineVector away = u.AbsoluteAffinePosition() - other->Position();
  away.y = 0;
  const float length = VectorLength(away);
  const TAffineVector push = length > 1e-6f ? away * (1 / length) : RandomHeading();
  u.Position.SetPoint(u.Position.AsAffineVector() + push * (0.2f * dt));
  return true;
}

// Each corner that touches an obstacle slows the tank toward a stop, pushes it back (front
// corners) or on (rear corners), turns it and slides it sideways away from the obstacle. A
// positive turn swings the nose toward -X (docs/scene-conventions.md): a front corner on +X
// turns the nose away that way, while a rear corner on +X needs the opposite turn, which
// swings the tail toward -X and off the obstacle.
bool CollideWithObstacles(TTRVEntity& u, float dt) {
  struct Rule {
    float push, turn, slide;
  };
  static constexpr std::array<Rule, 4> kRules{{{-1, 1, 0.1f}, {-1, -1, -0.1f}, {1, -1, 0.1f}, {1, 1, -0.1f}}};
  const TGLBaseSceneObject* obstacles = ObstacleBoxes(u.sector);
  if (!obstacles) return false;
  bool hit = false;
  float& speed = u.state.ForwardSpeed();
  for (int i = 0; i < 4; ++i) {
    if (!ObstacleTouching(Corner(u, i), obstacles, 3)) continue;
    const Rule& r = kRules[static_cast<std::size_t>(i)];
    speed = speed + r.push * dt - speed * dt * 10;
    u.state.TurnRate() += r.turn * dt;
    u.Slide(r.slide * dt);
    hit = true;
  }
  return hit;
}

// The wreck's part of the frame. False when the step ends here.
bool StepWreck(TTRVEntity& u) {
  TTRVBattlefield& field = *u.battlefield;
  field.SmokePuffs(u.AbsoluteAffinePosition());
  // In the water the frame's sinking has it (StepTankSinking); a drowned tank does not blow up.
  if (u.Position.Y() < kWaterLine) return false;
  if (!u.state.WreckDone()) {
    u.state.WreckDone() = 1;
    field.BigExplosion(u.aimNode->AbsoluteAffinePosition(), true);
    field.PlaySample("explosion", u.aimNode);
  }
  if (std::abs(u.state.ForwardSpeed()) < 0.01f) return false;
  // It rolls out.
  u.ClearControls();
  return true;
}

}  // namespace

void StepTankDrive(TTRVEntity& u, float dt) {
  TTRVUnitState& s = u.state;
  TTRVControlBlock& c = u.controls;
  if (u.Wrecked() && !StepWreck(u)) return;
  u.cell = RoundedCellOf(u.AbsoluteAffinePosition());

  // The turret swings twice as fast onto the player's unit as onto another computer's; the
  // player's own turret is the slowest, and computer drivers brake and turn harder.
  float k = 5, m = kAIHandling;
  if (u.target) k = u.target->state.isPlayer ? 5.0f : 2.5f;
  if (s.isPlayer) {
    k = 1;
    m = 1;
  }

  float& speed = s.ForwardSpeed();
  if (c.accelerate) speed += dt;
  if (c.brake) speed -= dt * m;
  speed = std::clamp(speed, kMinSpeed, kMaxSpeed) * (1 - dt);
  float& turnRate = s.TurnRate();
  if (c.turnLeft) turnRate -= dt;
  if (c.turnRight) turnRate += dt;
  turnRate = std::clamp(turnRate, -kMaxTurnRate, kMaxTurnRate) * (1 - 2 * dt);

  AimTurretAndGun(u, k, dt);
  SelectWeapon(u);
  RunDownReload(s.TankMachineGunTimer(), dt);
  RunDownReload(s.TankCannonTimer(), dt);
  if (c.fire) Fire(u);

  const float y = FollowGround(u);
  u.Turn(turnRate * dt * kTurnScale * m);
  u.Move(speed * dt * kDriveScale);

  // Downhill speeds the tank up, uphill slows it; only against last frame's height (w is 1
  // once a position was kept: a new tank's slot is all zeros).
  const TVector& previous = s.PreviousPosition();
  const TAffineVector now = u.Position.AsAffineVector();
  if (previous.w == 1 && std::hypot(previous.x - now.x, previous.z - now.z) < kMaxFrameTravel)
    speed += (previous.y - y) * dt * kSlopeGain;

  if (y < kWaterLine) s.armour -= kDrownRate * dt;

  const bool unitHit = CollideWithUnits(u, dt);
  const bool obstacleHit = CollideWithObstacles(u, dt);
  if (unitHit || obstacleHit) u.battlefield->PlaySample("hit" + std::to_string(platform::Random().Int(3)), u.hitBox);
  s.PreviousPosition() = TVector(u.Position.AsAffineVector(), 1);
}

void StepTankSinking(TTRVEntity& u, float) { u.battlefield->SmokePuffs(u.AbsoluteAffinePosition()); }

void StepTankPlayer(TTRVEntity& u, float dt) {
  StepPlayerCommon(u, dt);
  TTRVUnitState& s = u.state;
  TGLBaseSceneObject& gun = Gun(u);
  const bool aimed = CanAim(gun.AbsoluteAffinePosition(), TAffineVector(u.controls.aimPoint), kGunAimedDeviation,
                            TAffineVector(gun.AbsoluteDirection()));
  s.GunAimed() = aimed ? 1 : 0;
  TTRVHUDReadout hud;
  hud.unit = &u;
  hud.machineGun = s.Weapon() == kMachineGun ? TTRVHUDReadout::Selected : TTRVHUDReadout::Available;
  hud.gun = s.Weapon() == kCannon ? TTRVHUDReadout::Selected : TTRVHUDReadout::Available;
  hud.rockets = TTRVHUDReadout::Hidden;
  hud.airStrikeSelected = s.Weapon() == kAirStrike;
  hud.rocketAimed = true;
  hud.gunAimed = aimed;
  hud.machineGunReady = 1 - s.TankMachineGunTimer() / kMachineGunReload;
  hud.gunReady = 1 - s.TankCannonTimer() / kCannonReload;
  hud.rocketReady = 0;
  u.battlefield->UpdateHUD(hud);
}

namespace {

std::uint8_t WeaponAgainst(const TTRVEntity& target) {
  switch (target.state.unitType) {
    case utHeli:
      return kMachineGun;
    case utBoat:
      return platform::Random().Int(2) == 0 ? kCannon : kMachineGun;
    default:
      return kCannon;  // tanks and turrets
  }
}

const TTRVWorldFractionInfo* SideOf(const TTRVEntity& u, std::size_t side) {
  const auto& sides = u.world->sides;
  return side < sides.size() ? &sides[side] : nullptr;
}

// The ground field toward the base of the side's main enemy; null when there is none.
const TTRVAIWorldBeacon* EnemyBeacon(const TTRVEntity& u) {
  const TTRVWorldFractionInfo* own = SideOf(u, u.state.side);
  const TTRVWorldFractionInfo* enemy = own ? SideOf(u, own->mainEnemy) : nullptr;
  return enemy ? enemy->groundBeacon.get() : nullptr;
}

// The next cell toward the base of the side's main enemy; (0, 0) when there is no such field.
TTRVCell Advance(const TTRVEntity& u, const TAffineVector& from) {
  const TTRVAIWorldBeacon* beacon = EnemyBeacon(u);
  return beacon ? beacon->NextWaypoint(from) : TTRVCell{0, 0};
}

// The route on from a corner of it while it still leads down the field, else (0, 0).
TTRVCell AdvanceFromCorner(const TTRVEntity& u, const TAffineVector& corner) {
  const TTRVAIWorldBeacon* beacon = EnemyBeacon(u);
  if (!beacon) return {0, 0};
  const TTRVCell next = beacon->NextWaypoint(corner);
  return LeadsDownhill(beacon->Distance(), RoundedCellOf(corner), next) ? next : TTRVCell{0, 0};
}

// Whether another tank stands in the forward probe.
bool Blocked(TTRVEntity& u, const std::vector<TTRVUnitRef>& units, int probe) {
  return UnitOfTypeTouching(units, ForwardProbe(u, probe), u.Ref(), utTank);
}

}  // namespace

void StepTankAI(TTRVEntity& u, float dt) {
  if (StepAIChoice(u, dt) && u.target && u.target->state.side != u.state.side)
    u.controls.weaponRequest = WeaponAgainst(*u.target);

  TTRVControlBlock& c = u.controls;
  const TAffineVector position = u.AbsoluteAffinePosition();
  const TAffineVector from = position + TAffineVector(0.5f, 0, 0.5f);
  TTRVCell waypoint{0, 0};
  TTRVTrace sight;
  const bool engaging = u.aiState == TTRVAIState::Engage && u.target;
  if (engaging) {
    TTRVEntity& target = *u.target;
    TTRVAIBeacon& beacon = *target.groundBeacon;
    sight = TraceSegment(GroundOf(*u.world), u.aimNode->AbsoluteAffinePosition(), target.aimNode->AbsoluteAffinePosition(),
                         &u.world->groundPathFinder);
    c.aimPoint = TVector(sight.lastVisible, 1);
    const float reach = EngageDistance(u);
    if (sight.passable)
      waypoint = reach > sight.length ? beacon.FreeNeighbour(from) : CellOf(target.AbsoluteAffinePosition());
    else
      waypoint = beacon.Approach(from, static_cast<int>(std::trunc(reach)), u.goalCell);
    if (waypoint == TTRVCell{0, 0} || waypoint == u.cell) {
      if (u.state.side != u.world->playerSide) {
        waypoint = beacon.FreeNeighbour(from);
      } else if (FindPlayerToFollow(u)) {
        const TTRVWorldFractionInfo* side = SideOf(u, u.state.side);
        u.aiState = side && (side->attacking || side->roaming) ? TTRVAIState::Advance : TTRVAIState::Engage;
      }
    }
  } else if (u.aiState == TTRVAIState::Advance && u.target) {
    waypoint = LookAhead(Advance(u, from), position, kRouteReach, 3,
                         [&u](const TAffineVector& corner) { return AdvanceFromCorner(u, corner); });
    if (waypoint == TTRVCell{0, 0}) {
      waypoint = u.target->groundBeacon->StepToward(from, u.target->AbsoluteAffinePosition());
      const int z = platform::Random().Int(40) - 20;
      const int x = platform::Random().Int(40) - 20;
      u.goalCell = {x, z};
    }
  }

  u.ClearControls();
  // (0, 0) is no place to go: the map's corner stands for "nowhere" in the beacons' answers,
  // and a tank that gave up on its target this frame waits for the next.
  if (waypoint != TTRVCell{0, 0}) {
    SteerVehicleToward(u, CellPosition(waypoint));
  }

  // The target's state may have changed above; the sight was taken on the one engaged.
  if (engaging && u.aiState == TTRVAIState::Engage) {
    if (sight.visible) c.fire = true;
    if (sight.length < kStopAndShoot && sight.visible && !u.holdFire) {
      c.accelerate = false;
      c.turnLeft = false;
      c.turnRight = false;
    }
  }

  std::vector<TTRVUnitRef> units;
  CollectUnitRefs(*u.world, units);
  const bool outer = Blocked(u, units, 0), middle = Blocked(u, units, 1);
  if (outer && middle) {
    c.accelerate = false;
    c.turnLeft = false;
    c.turnRight = false;
    c.brake = true;
  } else if (outer) {
    // The outer probe reaches out on +X; a left turn would swing the nose toward +X, into
    // the tank it found (docs/scene-conventions.md), so it turns right, toward -X.
    c.turnRight = true;
    c.turnLeft = false;
  } else if (middle) {
    // Only the middle probe: the other tank stands ahead on the -X side; the nose goes +X.
    c.turnLeft = true;
    c.turnRight = false;
  }
}

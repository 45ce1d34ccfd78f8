// The gunboat. It has no gun of its own to point: the hull goes where the captain steers and
// each of the four mounts turns onto the aim by itself, firing whenever it is ready and the
// trigger is held. The selected weapon only says whether the trigger also calls the air strike.
#include "units/boat.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ai/worldbeacon.h"
#include "platform/random.h"
#include "units/entity.h"
#include "units/steering.h"
#include "units/weaponhand.h"
#include "units/playerstep.h"
#include "units/targets.h"

using namespace boat;

namespace {

// Closer than this the aim has no direction worth turning toward.
constexpr float kMinAimDistance = 1e-4f;
// The nearest route corner worth sailing at: well beyond the turning circle at cruising speed,
// so that a course across the grid's diagonal is one heading, not a staircase.
constexpr float kRouteReach = 5;

// The rig (units/entityrig.cpp): c0 hull node, c0.c0 hull with the front turret (c0) and its
// barrel, the right (c1), left (c2) and rear (c3) mounts each carrying its weapon as child 0;
// c1 bow point, c2 stern point, c3 and c4 the side probes.
struct BoatRig {
  TGLBaseSceneObject* hullNode = nullptr;
  TGLBaseSceneObject* turret = nullptr;
  TGLBaseSceneObject* barrel = nullptr;
  std::array<TGLBaseSceneObject*, 4> mounts{};   // the node each mount turns
  std::array<TGLBaseSceneObject*, 4> weapons{};  // where its shots leave from
  TGLBaseSceneObject* bow = nullptr;
  TGLBaseSceneObject* stern = nullptr;
  std::array<TGLBaseSceneObject*, 2> probes{};   // +X, -X
};

// False for a unit that was never given the boat's rig.
bool RigOf(TTRVEntity& u, BoatRig& rig) {
  if (u.Count() < 5 || u.Children(0)->Count() < 1) return false;
  rig.hullNode = u.Children(0);
  TGLBaseSceneObject* hull = rig.hullNode->Children(0);
  if (hull->Count() < 4 || hull->Children(0)->Count() < 1) return false;
  rig.turret = hull->Children(0);
  rig.barrel = rig.turret->Children(0);
  rig.mounts[kFrontGun] = rig.turret;
  rig.weapons[kFrontGun] = rig.barrel;
  for (int i = kRightGun; i <= kRearLauncher; ++i) {
    TGLBaseSceneObject* mount = hull->Children(i);
    if (mount->Count() < 1) return false;
    rig.mounts[static_cast<std::size_t>(i)] = mount;
    rig.weapons[static_cast<std::size_t>(i)] = mount->Children(0);
  }
  rig.bow = u.Children(1);
  rig.stern = u.Children(2);
  rig.probes = {u.Children(3), u.Children(4)};
  return true;
}

float& Yaw(TTRVEntity& u, int mount) { return u.state.Mount(mount).x; }
float& Pitch(TTRVEntity& u, int mount) { return u.state.Mount(mount).y; }
float& Timer(TTRVEntity& u, int mount) { return u.state.Mount(mount).z; }

// Who holds the trigger: the player's hands, or the computer's (a player's boat on autopilot
// included, which has no cursor for its rockets to follow).
bool PlayerSteers(const TTRVEntity& u) { return u.state.isPlayer != 0 && !u.autopilot; }

float Random01() { return static_cast<float>(platform::Random().Real()); }

// gain * ((aim - node) . axis) / distance, clamped; 0 when the aim sits on the boat.
float AimRate(float gain, float limit, const TAffineVector& aim, const TGLBaseSceneObject& node,
              const TAffineVector& axis, float distance) {
  // The comparison is false for a NaN distance too, which leaves the mount as it was.
  if (!(distance > kMinAimDistance)) return 0;
  return std::clamp(gain * VectorDotProduct(aim - node.AbsoluteAffinePosition(), axis) / distance, -limit, limit);
}

float YawRate(int mount, const TAffineVector& aim, const TGLBaseSceneObject& node, float distance) {
  const MountLimits& m = kMounts[static_cast<std::size_t>(mount)];
  return AimRate(m.yawGain, m.yawRateLimit, aim, node, TAffineVector(node.AbsoluteRight()), distance);
}

float PitchRate(int mount, const TAffineVector& aim, const TGLBaseSceneObject& node, float distance) {
  const MountLimits& m = kMounts[static_cast<std::size_t>(mount)];
  return AimRate(m.pitchGain, m.pitchRateLimit, aim, node, TAffineVector(node.AbsoluteUp()), distance);
}

void Advance(TTRVEntity& u, int mount, float yawRate, float pitchRate, float dt) {
  const MountLimits& m = kMounts[static_cast<std::size_t>(mount)];
  float& yaw = Yaw(u, mount);
  float& pitch = Pitch(u, mount);
  yaw = std::clamp(yaw + yawRate * dt, m.minYaw, m.maxYaw);
  pitch = std::clamp(pitch + pitchRate * dt, m.minPitch, m.maxPitch);
}

void AimMounts(TTRVEntity& u, const BoatRig& rig, float dt) {
  const TAffineVector aim(u.controls.aimPoint);
  const TAffineVector position = u.AbsoluteAffinePosition();
  const float distance = VectorLength(aim - position);
  // The unit's +X axis is its up crossed with its direction.
  const bool aimOnPlusX = VectorDotProduct(aim - position, TAffineVector(u.AbsoluteRight())) > 0;

  // The front gun cannot turn through the bridge behind it: with the aim on the other side it
  // swings back past the bow. A positive yaw turns a mount toward -X.
  {
    const float yaw = Yaw(u, kFrontGun);
    float rate = YawRate(kFrontGun, aim, *rig.turret, distance);
    if (aimOnPlusX && yaw > 0) rate = -kFrontSwingRate;
    if (!aimOnPlusX && yaw < 0) rate = kFrontSwingRate;
    Advance(u, kFrontGun, rate, PitchRate(kFrontGun, aim, *rig.barrel, distance), dt);
    rig.turret->ResetAndPitchTurnRoll(0, Yaw(u, kFrontGun), 0);
    rig.barrel->ResetAndPitchTurnRoll(Pitch(u, kFrontGun), 0, 0);
  }

  for (const int gun : {kRightGun, kLeftGun}) {
    TGLBaseSceneObject& mount = *rig.mounts[static_cast<std::size_t>(gun)];
    Advance(u, gun, YawRate(gun, aim, mount, distance), PitchRate(gun, aim, mount, distance), dt);
    mount.ResetAndPitchTurnRoll(Pitch(u, gun), Yaw(u, gun), 0);
  }

  // The launcher faces astern, so it likewise swings back past the stern, never over the bow.
  {
    TGLBaseSceneObject& mount = *rig.mounts[kRearLauncher];
    const float yaw = Yaw(u, kRearLauncher);
    float rate = YawRate(kRearLauncher, aim, mount, distance);
    if (!aimOnPlusX && yaw > 0) rate = -kRearSwingRate;
    if (aimOnPlusX && yaw < 0) rate = kRearSwingRate;
    Advance(u, kRearLauncher, rate, PitchRate(kRearLauncher, aim, mount, distance), dt);
    // Its pitch is kept as an elevation; a positive pitch of the node lowers it.
    mount.ResetAndPitchTurnRoll(-Pitch(u, kRearLauncher), Yaw(u, kRearLauncher), 0);
  }
}

void SelectWeapon(TTRVEntity& u) {
  TTRVControlBlock& c = u.controls;
  std::uint8_t& weapon = u.state.Weapon();
  if (c.weaponRequest != kAirStrike || weapon == kAirStrike) return;
  const bool player = u.state.isPlayer != 0;
  if (u.world->airStrikeTimer < 0) {
    weapon = kAirStrike;
    if (player) u.battlefield->PlaySample("AirStrikeSelected", nullptr);
    return;
  }
  if (player) u.battlefield->PlaySample("AirStrikeNotReady", nullptr);
  FallBackToWeapon(u, kAllMounts);
}

// One mount's shot; the timer says when it may try again.
template <class Shoot>
void TryMount(TTRVEntity& u, const BoatRig& rig, int mount, const char* sample, Shoot shoot) {
  float& timer = Timer(u, mount);
  if (timer >= 0 || u.holdFire) return;
  const MountLimits& m = kMounts[static_cast<std::size_t>(mount)];
  TGLBaseSceneObject* weapon = rig.weapons[static_cast<std::size_t>(mount)];
  const bool fired = shoot(weapon->AbsoluteAffinePosition(), TAffineVector(weapon->AbsoluteDirection()), m.deviation);
  timer = fired ? m.reload : m.retry;
  if (fired) u.battlefield->PlaySample(sample, weapon);
}

void Fire(TTRVEntity& u, const BoatRig& rig) {
  TTRVControlBlock& c = u.controls;
  TTRVBattlefield& field = *u.battlefield;
  const TAffineVector aim(c.aimPoint);
  const bool player = PlayerSteers(u);

  // The strike does not take the trigger from the mounts: they fire in the same frame.
  if (u.state.Weapon() == kAirStrike && u.world->airStrikeTimer < 0 && field.CallAirStrike())
    FallBackToWeapon(u, kAllMounts);

  // A computer's shells are wasted on helicopters; it keeps the front gun for the rest.
  const bool gunWorthIt = player || (u.target && u.target->state.unitType != utHeli);
  if (gunWorthIt)
    TryMount(u, rig, kFrontGun, "gun", [&](const TAffineVector& from, const TAffineVector& facing, float deviation) {
      return field.FireGun(u, from, aim, deviation, facing);
    });
  for (const int gun : {kRightGun, kLeftGun})
    TryMount(u, rig, gun, "machinegun", [&](const TAffineVector& from, const TAffineVector& facing, float deviation) {
      return field.FireBullet(u, from, aim, deviation, facing);
    });
  TGLBaseSceneObject* homing = player ? u.world->aimMarker : (u.target ? u.target->aimNode : nullptr);
  const float steering = player ? kPlayerRocketSteering : kAIRocketSteering;
  TryMount(u, rig, kRearLauncher, "rocket", [&](const TAffineVector& from, const TAffineVector& facing, float deviation) {
    return field.FireRocket(u, from, aim, steering, homing, deviation, facing);
  });
}

// The wreck's first frames: explosions once, then the hull lists and goes down. False while
// it is still going down, when the rest of the step is skipped.
bool StepWreck(TTRVEntity& u, const BoatRig& rig) {
  TTRVBattlefield& field = *u.battlefield;
  const TAffineVector position = u.AbsoluteAffinePosition();
  if (position.y > -0.5f) field.SmokePuffs(position);
  u.ClearControls();
  if (!u.state.WreckDone()) {
    u.state.WreckDone() = 1;
    field.BigExplosion(u.aimNode->AbsoluteAffinePosition() + TAffineVector(0, 0.1f, 0), true);
    field.BigExplosion(rig.bow->AbsoluteAffinePosition() + TAffineVector(0, 0.3f, 0), true);
    field.BigExplosion(rig.stern->AbsoluteAffinePosition() + TAffineVector(0, 0.2f, 0), true);
    field.WashDust(position + TAffineVector(0, 0.1f, 0), {0, 1, 0}, true);
    field.PlaySample("explosion", u.aimNode);
  }
  return position.y <= kWreckDepth;
}

void Sink(TTRVEntity& u, const BoatRig& rig, float dt) {
  u.Position.SetY(std::max(u.Position.Y() - kWreckSinkSpeed * dt, kWreckDepth));
  rig.hullNode->Roll((2 + Random01()) * dt);
  rig.hullNode->Pitch(Random01() * dt);
}

// Two boats on one spot have no direction to part along: the first to move steps aside, and
// the other then finds a direction away from it.
TAffineVector AwayFrom(const TTRVEntity& u, const TTRVUnitRef& other) {
  return VectorNormalizeOr(u.AbsoluteAffinePosition() - other.Position(), TAffineVector(u.AbsoluteRight()));
}

}  // namespace

void StepBoatSail(TTRVEntity& u, float dt) {
  BoatRig rig;
  if (!u.world || !u.aimNode || !u.hitBox || !RigOf(u, rig)) return;
  TTRVUnitState& s = u.state;
  TTRVControlBlock& c = u.controls;
  TTRVBattlefield& field = *u.battlefield;

  if (!u.Wrecked()) {
    u.Position.SetY(0);
    const float speed = s.ForwardSpeed();
    field.WakeSpray(rig.stern->AbsoluteAffinePosition(), TAffineVector(rig.stern->AbsoluteDirection()),
                    static_cast<int>(std::abs(std::floor(speed))));
  } else if (!StepWreck(u, rig)) {
    Sink(u, rig, dt);
    return;
  }

  u.cell = RoundedCellOf(u.AbsoluteAffinePosition());

  float& speed = s.ForwardSpeed();
  if (c.accelerate) speed += dt;
  if (c.brake) speed -= dt;
  speed = std::clamp(speed, kMinSpeed, kMaxSpeed) * (1 - dt);

  // Going astern the helm answers the other way round, as a rudder does.
  float& turn = s.TurnRate();
  const float helm = c.brake ? -kTurnAccel : kTurnAccel;
  if (c.turnLeft) turn -= helm * dt;
  if (c.turnRight) turn += helm * dt;
  turn = std::clamp(turn, -kMaxTurnRate, kMaxTurnRate) * (1 - dt / 2);

  AimMounts(u, rig, dt);
  SelectWeapon(u);
  for (int mount = 0; mount < 4; ++mount) RunDownReload(Timer(u, mount), dt);
  if (c.fire) Fire(u, rig);

  // A settled wreck keeps the list it went down with instead of rocking upright again.
  if (!u.Wrecked()) {
    float& phase = s.RockingPhase();
    if (phase < 100)
      phase += Random01() * dt;
    else
      phase = 0;
    rig.hullNode->ResetAndPitchTurnRoll(0.5f * std::sin(u.world->wavePhaseA + phase), 0,
                                        0.5f * std::sin(u.world->wavePhaseB + phase));
  }

  u.Turn(turn * dt * 100);
  u.Move(speed * dt * 2);

  bool hit = false;
  const TTRVGroundView ground = GroundOf(*u.world);
  if (TopHeight(ground, rig.bow->AbsoluteAffinePosition()) > kGroundedAbove) {
    speed -= kGroundingPush * dt;
    s.armour -= kGroundingDamage * dt;
    hit = true;
  }
  if (TopHeight(ground, rig.stern->AbsoluteAffinePosition()) > kGroundedAbove) {
    speed += kGroundingPush * dt;
    s.armour -= kGroundingDamage * dt;
    hit = true;
  }

  std::vector<TTRVUnitRef> units;
  CollectUnitRefs(*u.world, units);
  if (const TTRVUnitRef* other = UnitTouching(units, *u.hitBox, s.isPlayer != 0)) {
    speed = 0;
    turn = 0;
    u.Position.SetPoint(u.Position.AsAffineVector() + AwayFrom(u, *other) * (kCollisionPush * dt));
    hit = true;
  }
  if (hit) field.PlaySample("hit" + std::to_string(platform::Random().Int(3)), u.hitBox);
}

void StepBoatPlayer(TTRVEntity& u, float dt) {
  StepPlayerCommon(u, dt);
  BoatRig rig;
  if (!RigOf(u, rig)) return;
  TTRVUnitState& s = u.state;
  const TAffineVector aim(u.controls.aimPoint);
  const auto aimed = [&](int mount) {
    const TGLBaseSceneObject& weapon = *rig.weapons[static_cast<std::size_t>(mount)];
    return CanAim(weapon.AbsoluteAffinePosition(), aim, kMounts[static_cast<std::size_t>(mount)].deviation,
                  TAffineVector(weapon.AbsoluteDirection()));
  };
  s.FrontGunAimed() = aimed(kFrontGun) ? 1 : 0;
  s.RearLauncherAimed() = aimed(kRearLauncher) ? 1 : 0;

  TTRVHUDReadout hud;
  hud.unit = &u;
  hud.machineGun = hud.gun = hud.rockets = TTRVHUDReadout::Selected;
  hud.airStrikeSelected = s.Weapon() == kAirStrike;
  hud.rocketAimed = s.RearLauncherAimed() != 0;
  hud.gunAimed = s.FrontGunAimed() != 0;
  hud.machineGunReady = 1 - std::max(Timer(u, kRightGun), Timer(u, kLeftGun)) / kMounts[kRightGun].reload;
  hud.gunReady = 1 - Timer(u, kFrontGun) / kMounts[kFrontGun].reload;
  hud.rocketReady = 1 - Timer(u, kRearLauncher) / kMounts[kRearLauncher].reload;
  u.battlefield->UpdateHUD(hud);
}

namespace {

// The sea field toward the base of the side's main enemy; null when there is none.
const TTRVAIWorldBeacon* EnemyBeacon(const TTRVEntity& u) {
  const auto& sides = u.world->sides;
  if (u.state.side >= sides.size()) return nullptr;
  const std::size_t enemy = sides[u.state.side].mainEnemy;
  return enemy < sides.size() ? sides[enemy].waterBeacon.get() : nullptr;
}

TTRVCell AdvanceOnEnemy(const TTRVEntity& u, const TAffineVector& from) {
  const TTRVAIWorldBeacon* beacon = EnemyBeacon(u);
  return beacon ? beacon->Step(from, 3) : TTRVCell{0, 0};
}

// The route on from a corner of it while it still leads down the field, else (0, 0).
TTRVCell AdvanceFromCorner(const TTRVEntity& u, const TAffineVector& corner) {
  const TTRVAIWorldBeacon* beacon = EnemyBeacon(u);
  if (!beacon) return {0, 0};
  const TTRVCell next = beacon->Step(corner, 3);
  return LeadsDownhill(beacon->Distance(), CellOf(corner), next) ? next : TTRVCell{0, 0};
}

// Another boat across the bow on one side: turn away from it; on both: back off.
void AvoidBoats(TTRVEntity& u, const BoatRig& rig) {
  std::vector<TTRVUnitRef> units;
  CollectUnitRefs(*u.world, units);
  const TTRVUnitRef self = u.Ref();
  const bool plusX = UnitOfTypeTouching(units, *rig.probes[0], self, utBoat);
  const bool minusX = UnitOfTypeTouching(units, *rig.probes[1], self, utBoat);
  TTRVControlBlock& c = u.controls;
  if (plusX && minusX) {
    c.turnLeft = c.turnRight = c.accelerate = false;
    c.brake = true;
  } else if (plusX) {
    c.turnRight = true;  // away from +X
    c.turnLeft = false;
  } else if (minusX) {
    c.turnLeft = true;  // away from -X
    c.turnRight = false;
  }
}

}  // namespace

void StepBoatAI(TTRVEntity& u, float dt) {
  BoatRig rig;
  if (!u.world || !u.aimNode || !RigOf(u, rig)) return;
  StepAIChoice(u, dt);

  TTRVControlBlock& c = u.controls;
  TTRVEntity* target = u.target;
  const bool engaging = u.aiState == TTRVAIState::Engage && target && target->aimNode;
  const bool advancing = u.aiState == TTRVAIState::Advance && target;
  const TAffineVector position = u.AbsoluteAffinePosition();
  const TAffineVector from = position + TAffineVector(0.5f, 0, 0.5f);
  TTRVCell waypoint{0, 0};
  TTRVTrace sight;
  if (engaging) {
    sight = TraceSegment(GroundOf(*u.world), u.aimNode->AbsoluteAffinePosition(), target->aimNode->AbsoluteAffinePosition(),
                         &u.world->waterPathFinder);
    c.aimPoint = TVector(sight.lastVisible, 1);
    if (sight.passable)
      waypoint = EngageDistance(u) > sight.length ? target->waterBeacon->FreeNeighbour(from)
                                                   : CellOf(target->AbsoluteAffinePosition());
    else
      waypoint = target->waterBeacon->StepDownhill(from, 3, u.goalCell, u.engageRange);
  } else if (advancing) {
    waypoint = LookAhead(AdvanceOnEnemy(u, from), position, kRouteReach, 2,
                         [&u](const TAffineVector& corner) { return AdvanceFromCorner(u, corner); });
  }
  if ((engaging || advancing) && waypoint == TTRVCell{0, 0})
    waypoint = target->waterBeacon->StepToward(from, target->AbsoluteAffinePosition());

  u.ClearControls();
  if (engaging || advancing) SteerVehicleToward(u, CellPosition(waypoint));
  if (engaging) {
    if (sight.visible) c.fire = true;
    if (!u.holdFire && VectorLength(target->AbsoluteAffinePosition() - position) < kStopDistance)
      c.accelerate = c.turnLeft = c.turnRight = false;
  }
  AvoidBoats(u, rig);
}

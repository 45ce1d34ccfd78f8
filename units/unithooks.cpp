// The row of each unit type; the types' own files bring their steps here.
#include "units/unithooks.h"

#include "units/boat.h"
#include "units/farstep.h"
#include "units/heli.h"
#include "units/tank.h"
#include "units/turret.h"

const std::array<TTRVUnitHooks, 4>& DefaultUnitHooks() {
  static const std::array<TTRVUnitHooks, 4> hooks{{
      {StepHeliPlayer, StepHeliAI, StepHeliFlight, StepHeliSinking, FarStep},  // helicopter
      {StepTankPlayer, StepTankAI, StepTankDrive, StepTankSinking, FarStep},   // tank
      {StepBoatPlayer, StepBoatAI, StepBoatSail, nullptr, FarStep},            // boat: sinks in its own step
      {nullptr, StepTurretAI, StepTurretGun, nullptr, nullptr},                // turret: never the player's, frozen when far
  }};
  return hooks;
}

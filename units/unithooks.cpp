// The row of each unit type; the types' own files bring their steps here.
#include "units/unithooks.h"

#include "units/turret.h"

const std::array<TTRVUnitHooks, 4>& DefaultUnitHooks() {
  static const std::array<TTRVUnitHooks, 4> hooks{{
      {},  // helicopter
      {},  // tank
      {},  // boat
      {nullptr, StepTurretAI, StepTurretGun, nullptr, nullptr},  // turret
  }};
  return hooks;
}

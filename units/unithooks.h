// The per-type steps a unit's frame hands over to: the helicopter, tank, boat and turret
// files each fill one row. An empty entry means the type does nothing at that point, so the
// common frame runs before every type has its behaviour.
#pragma once

#include <array>

class TTRVEntity;

struct TTRVUnitHooks {
  using Step = void (*)(TTRVEntity& unit, float dt);
  Step player = nullptr;   // the player's own unit, before the physics step
  Step ai = nullptr;       // every other unit, before the physics step
  Step physics = nullptr;  // movement and weapons, alive or wrecked (not while sinking)
  Step sinking = nullptr;  // a wreck going down in the water: effects only, the sinking is common
  Step far = nullptr;      // far from the camera instead of all of the above
};

// The table the units use unless given another (tests give their own).
const std::array<TTRVUnitHooks, 4>& DefaultUnitHooks();

// The weapon fall-back shared by the armed units.
#include "units/weaponhand.h"

#include "units/entity.h"

void FallBackToWeapon(TTRVEntity& unit, std::uint8_t weapon) {
  unit.state.Weapon() = weapon;
  unit.controls.weaponRequest = weapon;
  const TTRVCockpit& cockpit = unit.world->Context().cockpit;
  if (unit.state.isPlayer && cockpit.controls) cockpit.controls->weaponRequest = weapon;
}

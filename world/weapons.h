// The weapon numbers: what a unit's weapon byte holds and what the controls ask for. Saves
// store the byte raw, so the numbers never change; each vehicle gives them its own meaning,
// and only the air strike has the same number on every vehicle that can call it.
#pragma once

#include <cstdint>

namespace weapons {

inline constexpr std::uint8_t kAirStrike = 2;

namespace heli {
inline constexpr std::uint8_t kMachineGun = 0, kRockets = 1, kAirStrike = weapons::kAirStrike;
}

namespace tank {
inline constexpr std::uint8_t kCannon = 0, kMachineGun = 1, kAirStrike = weapons::kAirStrike;
}

// Every mount of the boat fires on the one trigger: the byte only says whether the trigger
// calls the air strike as well.
namespace boat {
inline constexpr std::uint8_t kAllMounts = 0, kAirStrike = weapons::kAirStrike;
}

// A turret carries one of two weapons, drawn when it is set up, and calls no air strike.
namespace turret {
inline constexpr std::uint8_t kMachineGun = 0, kRockets = 1;
}

}  // namespace weapons

// --type heli|tank|boat|mixed for the scenarios that set up sides: which vehicles a side's
// share of units is made of.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "world/world.h"

// -1 for "mixed" (helicopters, tanks and boats in turn), else the unit type; none for a word
// that is not a type.
inline std::optional<int> ParseUnitMix(const std::string& word) {
  if (word == "mixed") return -1;
  if (word == "heli") return static_cast<int>(utHeli);
  if (word == "tank") return static_cast<int>(utTank);
  if (word == "boat") return static_cast<int>(utBoat);
  return std::nullopt;
}

// Adds `count` vehicles of the mix to the side's starting counts.
inline void AddVehicles(std::array<std::int16_t, 4>& counts, int count, int mix) {
  for (int k = 0; k < count; ++k) ++counts[static_cast<std::size_t>(mix < 0 ? k % 3 : mix)];
}

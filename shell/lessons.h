// The tutorial's ten lessons: what each one sets up on the "Tutorial" island (the player's
// unit, the mission, both sides' forces and stances, what the enemy must lose), the weapon
// it forces and the progress it unlocks; and the parameters that island is generated with.
#pragma once

#include <array>
#include <cstdint>

#include "config/textids.h"
#include "generator/genstate.h"
#include "world/world.h"

inline constexpr int kTutorialLessons = 10;
inline constexpr const char* kTutorialWorld = "Tutorial";
// Both sides stand on a land base of their own (and on a naval base in the boat lessons).
inline constexpr int kTutorialBases = 2;

struct TTRVLessonSide {
  std::array<std::int16_t, 4> units;  // helicopters, tanks, boats, turrets
  bool navalBase, defending, attacking;
};

struct TTRVLesson {
  std::uint8_t unitType;
  std::uint8_t mission;
  int forcedWeapon;  // -1: the player chooses
  std::uint8_t unlock;
  TTRVLessonSide player, enemy;
  std::array<std::int32_t, 4> enemyVictoryLosses;  // -1: not required
};

const std::array<TTRVLesson, kTutorialLessons>& Lessons();

// The game set-up of a lesson (0..9): "Player" in blue against "Enemy" in red, named in the
// language.
TTRVWorldInfo LessonWorldInfo(int lesson, TTRVLanguage language);

// The island every lesson is played on.
TTRVWorldParams TutorialWorldParams();

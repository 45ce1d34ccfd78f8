// The lesson table and the tutorial island's parameters.
#include "shell/lessons.h"

#include <algorithm>

namespace {

constexpr std::int32_t kNone = -1;

// Player's forces, enemy's forces, enemy's losses to win.
constexpr std::array<TTRVLesson, kTutorialLessons> kLessons = {{
    // Helicopter machinegun, helicopter rockets.
    {utHeli, mtSuperiority, 0, 1, {{1, 0, 0, 0}, false, false, false}, {{0, 0, 0, 1}, false, false, false},
     {kNone, kNone, kNone, 1}},
    {utHeli, mtSuperiority, 1, 2, {{1, 0, 0, 0}, false, false, false}, {{0, 0, 0, 1}, false, false, false},
     {kNone, kNone, kNone, 1}},
    // Tank gun, tank machinegun.
    {utTank, mtSuperiority, 0, 3, {{0, 1, 0, 0}, false, false, false}, {{0, 0, 0, 1}, false, false, false},
     {kNone, kNone, kNone, 1}},
    {utTank, mtSuperiority, 1, 4, {{0, 1, 0, 0}, false, false, false}, {{0, 0, 0, 1}, false, false, false},
     {kNone, kNone, kNone, 1}},
    // Boat.
    {utBoat, mtSuperiority, -1, 5, {{0, 0, 1, 0}, true, false, false}, {{0, 0, 0, 1}, true, false, false},
     {kNone, kNone, kNone, 1}},
    // Air strike: five turrets, one to destroy.
    {utHeli, mtSuperiority, 2, 6, {{1, 0, 0, 0}, false, false, false}, {{0, 0, 0, 5}, false, false, false},
     {kNone, kNone, kNone, 1}},
    // Enemy base attack.
    {utHeli, mtAttack, -1, 7, {{6, 7, 6, 6}, false, false, true}, {{5, 5, 5, 5}, false, true, false}, {5, 5, 5, 5}},
    // Helicopter, tank and boat battles.
    {utHeli, mtDefence, -1, 8, {{15, 0, 0, 5}, false, true, false}, {{15, 0, 0, 0}, false, false, true},
     {15, kNone, kNone, kNone}},
    {utTank, mtDefence, -1, 9, {{0, 15, 0, 5}, false, true, false}, {{0, 15, 0, 0}, false, false, true},
     {kNone, 15, kNone, kNone}},
    {utBoat, mtDefence, -1, 9, {{0, 0, 15, 5}, true, true, false}, {{0, 0, 15, 0}, true, false, true},
     {kNone, kNone, 15, kNone}},
}};

TTRVWorldFractionInfo Side(const TTRVLessonSide& from, std::string_view name, std::int32_t colour, std::uint8_t index) {
  TTRVWorldFractionInfo side;
  side.name = std::string(name);
  side.unitCounts = from.units;
  side.sideColour = colour;
  side.navalBase = from.navalBase ? 1 : 0;
  side.defending = from.defending ? 1 : 0;
  side.attacking = from.attacking ? 1 : 0;
  side.sideIndex = index;
  return side;
}

}  // namespace

const std::array<TTRVLesson, kTutorialLessons>& Lessons() { return kLessons; }

TTRVWorldInfo LessonWorldInfo(int lesson, TTRVLanguage language) {
  const TTRVLesson& l = kLessons[static_cast<std::size_t>(std::clamp(lesson, 0, kTutorialLessons - 1))];
  TTRVWorldInfo info;
  info.worldName = kTutorialWorld;
  info.playerUnitType = l.unitType;
  info.playerSide = 0;
  info.missionType = l.mission;
  info.sides.push_back(Side(l.player, Text(TextId::LessonPlayerSide, language), 0x00FF0000, 0));  // blue, as 0x00BBGGRR
  info.sides.push_back(Side(l.enemy, Text(TextId::LessonEnemySide, language), 0x000000FF, 1));  // red
  info.sides[1].victoryLosses = l.enemyVictoryLosses;
  return info;
}

TTRVWorldParams TutorialWorldParams() {
  TTRVWorldParams p;
  p.mapWidth = 10;
  p.mapHeight = 10;
  p.featureSize = 128;
  p.heightScale = 15;
  p.landPercent = 50;
  p.baseCount = kTutorialBases;
  p.treeDensity = 0.25f;
  p.themeNames = {"Basic", "Water", "Military"};
  return p;
}

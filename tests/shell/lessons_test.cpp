// The tutorial's lessons as games: each can be won and set up on the tutorial island, the
// progress they unlock only ever grows to the last lesson, and the sides are named in the
// player's language. Also the game types' names and objective jingles.
#include <gtest/gtest.h>

#include <array>
#include <iterator>

#include "shell/gametypes.h"
#include "shell/lessons.h"

namespace {

TEST(Lessons, EveryLessonIsAWinnableGameOnTheTutorialIsland) {
  for (int n = 0; n < kTutorialLessons; ++n) {
    SCOPED_TRACE(n);
    const TTRVLesson& lesson = Lessons()[static_cast<std::size_t>(n)];
    const TTRVWorldInfo info = LessonWorldInfo(n, TTRVLanguage::English);
    EXPECT_EQ(info.worldName, "Tutorial");
    ASSERT_EQ(info.sides.size(), 2u);
    EXPECT_EQ(info.playerSide, 0);
    EXPECT_EQ(info.playerUnitType, lesson.unitType);
    const TTRVWorldFractionInfo& player = info.sides[0];
    const TTRVWorldFractionInfo& enemy = info.sides[1];
    EXPECT_GE(player.unitCounts[lesson.unitType], 1) << "the player's own vehicle";
    // The boat lessons start both sides at naval bases.
    if (lesson.unitType == utBoat) {
      EXPECT_TRUE(player.navalBase);
      EXPECT_TRUE(enemy.navalBase);
    }
    // The enemy can lose what it must lose, and must lose something.
    bool condition = false;
    for (int t = 0; t < 4; ++t) {
      EXPECT_LE(enemy.victoryLosses[t], enemy.unitCounts[t]) << "type " << t;
      condition = condition || enemy.victoryLosses[t] > 0;
    }
    EXPECT_TRUE(condition);
    for (int t = 0; t < 4; ++t) {
      EXPECT_EQ(player.victoryLosses[t], -1);
      EXPECT_EQ(player.survivalMinimum[t], -1);
    }
    EXPECT_FALSE(player.scatterSpawn || enemy.scatterSpawn || player.roaming || enemy.roaming);
    EXPECT_EQ(player.attacking && player.defending, false);
    // A forced weapon is one of the vehicle's slots; boats choose their own.
    EXPECT_GE(lesson.forcedWeapon, -1);
    EXPECT_LE(lesson.forcedWeapon, 2);
    if (lesson.unitType == utBoat) {
      EXPECT_EQ(lesson.forcedWeapon, -1);
    }
  }
  EXPECT_EQ(LessonWorldInfo(0, TTRVLanguage::English).sides[0].sideColour, 0x00FF0000) << "blue";
  EXPECT_EQ(LessonWorldInfo(0, TTRVLanguage::English).sides[1].sideColour, 0x000000FF) << "red";
}

// The course as the player meets it, lesson by lesson: what is flown, against what, with
// which weapon, what the enemy must lose and what playing it unlocks.
TEST(Lessons, EachLessonSetsUpItsOwnGame) {
  using Units = std::array<std::int16_t, 4>;    // helicopters, tanks, boats, turrets
  using Losses = std::array<std::int32_t, 4>;
  constexpr std::int32_t no = -1;
  struct Stance {
    bool naval, defending, attacking;
  };
  struct Row {
    int unitType, mission, weapon, unlock;
    Units player;
    Stance playerStance;
    Units enemy;
    Stance enemyStance;
    Losses enemyLosses;
  };
  constexpr Stance none{false, false, false};
  // clang-format off
  const Row rows[] = {
      {utHeli, mtSuperiority,  0, 1, {1, 0, 0, 0}, none, {0, 0, 0, 1}, none, {no, no, no, 1}},
      {utHeli, mtSuperiority,  1, 2, {1, 0, 0, 0}, none, {0, 0, 0, 1}, none, {no, no, no, 1}},
      {utTank, mtSuperiority,  0, 3, {0, 1, 0, 0}, none, {0, 0, 0, 1}, none, {no, no, no, 1}},
      {utTank, mtSuperiority,  1, 4, {0, 1, 0, 0}, none, {0, 0, 0, 1}, none, {no, no, no, 1}},
      {utBoat, mtSuperiority, -1, 5, {0, 0, 1, 0}, {true, false, false}, {0, 0, 0, 1}, {true, false, false},
       {no, no, no, 1}},
      {utHeli, mtSuperiority,  2, 6, {1, 0, 0, 0}, none, {0, 0, 0, 5}, none, {no, no, no, 1}},
      {utHeli, mtAttack,      -1, 7, {6, 7, 6, 6}, {false, false, true}, {5, 5, 5, 5}, {false, true, false},
       {5, 5, 5, 5}},
      {utHeli, mtDefence,     -1, 8, {15, 0, 0, 5}, {false, true, false}, {15, 0, 0, 0}, {false, false, true},
       {15, no, no, no}},
      {utTank, mtDefence,     -1, 9, {0, 15, 0, 5}, {false, true, false}, {0, 15, 0, 0}, {false, false, true},
       {no, 15, no, no}},
      {utBoat, mtDefence,     -1, 9, {0, 0, 15, 5}, {true, true, false}, {0, 0, 15, 0}, {true, false, true},
       {no, no, 15, no}},
  };
  // clang-format on
  static_assert(std::size(rows) == kTutorialLessons);
  const auto stanceOf = [](const TTRVWorldFractionInfo& side) {
    return std::array<bool, 3>{side.navalBase != 0, side.defending != 0, side.attacking != 0};
  };
  for (int n = 0; n < kTutorialLessons; ++n) {
    SCOPED_TRACE(n);
    const Row& row = rows[n];
    const TTRVLesson& lesson = Lessons()[static_cast<std::size_t>(n)];
    const TTRVWorldInfo info = LessonWorldInfo(n, TTRVLanguage::English);
    EXPECT_EQ(info.playerUnitType, row.unitType);
    EXPECT_EQ(info.missionType, row.mission);
    EXPECT_EQ(lesson.forcedWeapon, row.weapon);
    EXPECT_EQ(lesson.unlock, row.unlock);
    ASSERT_EQ(info.sides.size(), 2u);
    EXPECT_EQ(info.sides[0].unitCounts, row.player);
    EXPECT_EQ(info.sides[1].unitCounts, row.enemy);
    EXPECT_EQ(stanceOf(info.sides[0]),
              (std::array<bool, 3>{row.playerStance.naval, row.playerStance.defending, row.playerStance.attacking}));
    EXPECT_EQ(stanceOf(info.sides[1]),
              (std::array<bool, 3>{row.enemyStance.naval, row.enemyStance.defending, row.enemyStance.attacking}));
    EXPECT_EQ(info.sides[1].victoryLosses, row.enemyLosses);
  }
}

TEST(Lessons, EachUnlocksTheNextAndTheLastTwoOpenTheGames) {
  for (int n = 0; n < kTutorialLessons; ++n)
    EXPECT_EQ(Lessons()[static_cast<std::size_t>(n)].unlock, std::min(n + 1, 9)) << n;
}

TEST(Lessons, SidesAreNamedInThePlayersLanguage) {
  const TTRVWorldInfo english = LessonWorldInfo(5, TTRVLanguage::English);
  const TTRVWorldInfo czech = LessonWorldInfo(5, TTRVLanguage::Czech);
  EXPECT_EQ(english.sides[0].name, "Player");
  EXPECT_EQ(english.sides[1].name, "Enemy");
  EXPECT_EQ(czech.sides[0].name, "Hráč");
  EXPECT_EQ(czech.sides[1].name, "Nepřítel");
}

TEST(Lessons, TheIslandHasRoomForBothSidesOnLandAndSea) {
  const TTRVWorldParams p = TutorialWorldParams();
  EXPECT_EQ(p.baseCount, kTutorialBases);
  EXPECT_EQ(kTutorialBases, 2);
  EXPECT_EQ(WorldParamsFault(p), "");
  EXPECT_EQ(p.themeNames, (std::vector<std::string>{"Basic", "Water", "Military"}));
}

TEST(GameTypes, NamesInBothLanguagesAndTheJinglesTheyShare) {
  struct Case {
    int unit, mission;
    const char *english, *czech, *jingle;
  } cases[] = {
      {0, 0, "Air superiority", "Letecká převaha", "obj00"}, {0, 1, "Air attack", "Letecký útok", "obj01"},
      {0, 2, "Air defence", "Letecká obrana", "obj02"},      {0, 3, "Air escort", "Letecký doprovod", "obj03"},
      {1, 0, "Ground superiority", "Pozemní převaha", "obj10"}, {1, 1, "Ground attack", "Pozemní útok", "obj01"},
      {1, 2, "Ground defence", "Pozemní obrana", "obj02"},   {1, 3, "Ground escort", "Pozemní doprovod", "obj13"},
      {2, 0, "Sea superiority", "Námořní převaha", "obj20"}, {2, 1, "Sea attack", "Námořní útok", "obj01"},
      {2, 2, "Sea defence", "Námořní obrana", "obj22"},      {2, 3, "Sea escort", "Námořní doprovod", "obj23"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GameTypeName(c.unit, c.mission, TTRVLanguage::English), c.english);
    EXPECT_EQ(GameTypeName(c.unit, c.mission, TTRVLanguage::Czech), c.czech);
    EXPECT_EQ(ObjectiveJingleName(c.unit, c.mission), c.jingle);
  }
  for (auto [unit, mission] : {std::pair{3, 0}, {-1, 0}, {0, 4}, {0, -1}}) {
    EXPECT_EQ(GameTypeName(unit, mission, TTRVLanguage::English), "");
    EXPECT_EQ(ObjectiveJingleName(unit, mission), "");
  }
}

}  // namespace

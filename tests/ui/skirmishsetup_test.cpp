// The skirmish set-up's rules without a window: which worlds can hold a skirmish, the budget
// and its balancing, the drag limits, adding and removing sides, the type locks, and the
// stances and thresholds Play hands to the game for every unit type and game type.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ui/skirmishsetup.h"

namespace {

using ui::TTRVSkirmishSetup;
constexpr auto kEnglish = TTRVLanguage::English;

TTRVExtractWorldData World(int sectorsX, int sectorsZ, int bases) {
  TTRVExtractWorldData world;
  world.valid = true;
  world.name = "Island_7";
  world.sectorsX = sectorsX;
  world.sectorsZ = sectorsZ;
  world.baseCount = bases;
  return world;
}

TTRVSkirmishSetup Opened(int sectors = 10, int bases = 8) {
  TTRVSkirmishSetup setup;
  EXPECT_EQ(setup.OpenForWorld(World(sectors, sectors, bases), -1, kEnglish), "");
  return setup;
}

int AllUnits(const TTRVSkirmishSetup& setup) {
  int total = 0;
  for (const auto& side : setup.Sides())
    for (auto count : side.unitCounts) total += count;
  return total;
}

TEST(SkirmishSetup, OnlyWorldsWithTwoUsableBasesOpen) {
  TTRVExtractWorldData unreadable = World(10, 10, 8);
  unreadable.valid = false;
  struct Case {
    const char* what;
    TTRVExtractWorldData world;
    int baseLimit;
    bool opens;
    int maxSides;
  } cases[] = {
      {"eight bases", World(10, 10, 8), -1, true, 8},
      {"two bases", World(10, 10, 2), -1, true, 2},
      {"the caller's limit is lower", World(10, 10, 8), 3, true, 3},
      {"more bases than sides can be", World(10, 10, 12), -1, true, 8},
      {"one base", World(10, 10, 1), -1, false, 2},
      {"no base", World(10, 10, 0), -1, false, 2},
      {"a limit of one", World(10, 10, 8), 1, false, 2},
      {"unreadable header", unreadable, -1, false, 2},
      {"no sectors", World(0, 0, 8), -1, false, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVSkirmishSetup setup;
    const std::string message = setup.OpenForWorld(c.world, c.baseLimit, kEnglish);
    EXPECT_EQ(message.empty(), c.opens) << message;
    EXPECT_EQ(setup.MaxSides(), c.maxSides);
  }
}

TEST(SkirmishSetup, OpensWithTheTwoStartingSides) {
  TTRVSkirmishSetup setup;
  ASSERT_EQ(setup.OpenForWorld(World(10, 10, 8), -1, TTRVLanguage::Czech), "");
  ASSERT_EQ(setup.Sides().size(), 2u);
  EXPECT_EQ(setup.Sides()[0].name, "Hráč");
  EXPECT_EQ(setup.Sides()[0].sideColour, 0xFF0000);  // blue
  EXPECT_EQ(setup.Sides()[1].name, "Nepřítel");
  EXPECT_EQ(setup.Sides()[1].sideColour, 0x0000FF);  // red
  EXPECT_EQ(setup.SelectedSide(), 1);
  EXPECT_EQ(setup.UnitBudget(), 60);
  EXPECT_LE(std::abs(AllUnits(setup) - 60), 3);
}

TEST(SkirmishSetup, ClampBudgetFollowsTheWorldAndTheSides) {
  struct Case {
    int sectors, sides, value, budget;
  } cases[] = {
      {10, 2, 0, 60},      // the default on a small world
      {30, 2, 0, 150},     // a quarter of the area, capped at 150
      {10, 2, 1000, 100},  // never more than the area
      {10, 2, -40, 60},    // at least 20 a side and 20
      {10, 8, 0, 150},     // 180 wanted, capped at 150
      {4, 2, 0, 60},       // a tiny world still takes the sides' minimum
      {20, 2, 80, 100},    // a quarter of 400 is 100
      {20, 4, 120, 120},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sectors << " sectors, " << c.sides << " sides, " << c.value);
    TTRVSkirmishSetup setup = Opened(c.sectors);
    platform::RandomGenerator random(3);
    while (static_cast<int>(setup.Sides().size()) < c.sides) ASSERT_TRUE(setup.AddSide(kEnglish, random));
    EXPECT_EQ(setup.ClampBudget(c.value), c.budget);
  }
}

TEST(SkirmishSetup, RebalanceKeepsEveryCountAboveZeroAndEnds) {
  TTRVSkirmishSetup setup = Opened();
  // The player's helicopters swallow the whole budget: every other count falls to 1, not 0,
  // and balancing ends although the budget cannot be met.
  setup.SelectSide(0);
  for (int i = 0; i < 5; ++i) setup.DragCount(utHeli, 100);
  EXPECT_GT(setup.Sides()[0].unitCounts[utHeli], 200);
  EXPECT_FALSE(setup.Rebalance(0, utHeli));
  for (std::size_t j = 0; j < setup.Sides().size(); ++j)
    for (int t = utHeli; t <= utTurret; ++t) {
      if (j != 0 || t != utHeli) {
        EXPECT_EQ(setup.Sides()[j].unitCounts[t], 1) << j << "," << t;
      }
    }
  // A count dropped to 0 stays 0 while the others are lowered.
  setup.SelectSide(1);
  setup.DragBudget(1000);  // raises every count again
  setup.DragCount(utTank, -100);
  ASSERT_EQ(setup.Sides()[1].unitCounts[utTank], 0);
  setup.SelectSide(0);
  setup.DragCount(utHeli, 1000);
  setup.DragCount(utHeli, 0);
  EXPECT_EQ(setup.Sides()[1].unitCounts[utTank], 0);
  EXPECT_EQ(setup.Sides()[1].unitCounts[utBoat], 1);
}

TEST(SkirmishSetup, RaisingToALargeBudgetStopsTurretsAtFifteen) {
  TTRVSkirmishSetup setup = Opened(30);
  ASSERT_EQ(setup.UnitBudget(), 150);
  EXPECT_LE(std::abs(AllUnits(setup) - 150), 3);
  EXPECT_EQ(setup.Sides()[1].unitCounts[utTurret], 15);
  EXPECT_EQ(setup.Sides()[0].unitCounts[utTurret], 10);  // the count balancing leaves alone
}

TEST(SkirmishSetup, DragsStayWithinTheirLimits) {
  struct Case {
    const char* what;
    int kind, dx, count;
  } cases[] = {
      {"turrets up", utTurret, 100, 15},   {"turrets down", utTurret, -100, 1},
      {"helicopters down", utHeli, -100, 0}, {"tanks down", utTank, -100, 0},
      {"boats down", utBoat, -100, 0},     {"tanks by two", utTank, 2, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVSkirmishSetup setup = Opened();
    const int before = setup.Sides()[1].unitCounts[c.kind];
    setup.DragCount(c.kind, c.dx);
    EXPECT_EQ(setup.Sides()[1].unitCounts[c.kind], c.count < 0 ? before + c.dx : c.count);
  }
}

TEST(SkirmishSetup, DraggingTheTotalMovesTheBudgetWithinItsClamp) {
  TTRVSkirmishSetup setup = Opened(20);
  ASSERT_EQ(setup.UnitBudget(), 100);
  setup.DragBudget(30);
  EXPECT_EQ(setup.UnitBudget(), 130);
  EXPECT_LE(std::abs(AllUnits(setup) - 130), 3);
  setup.DragBudget(1000);
  EXPECT_EQ(setup.UnitBudget(), 150);
  setup.DragBudget(-1000);
  EXPECT_EQ(setup.UnitBudget(), 100);
}

TEST(SkirmishSetup, AddingAndRemovingSides) {
  platform::RandomGenerator random(5);
  TTRVSkirmishSetup two = Opened(10, 2);
  EXPECT_FALSE(two.AddSide(kEnglish, random));
  EXPECT_EQ(two.Sides().size(), 2u);
  EXPECT_FALSE(two.RemoveShown());
  EXPECT_FALSE(two.RemoveSide());

  TTRVSkirmishSetup setup = Opened(10, 8);
  setup.DragBudget(30);
  ASSERT_TRUE(setup.AddSide(kEnglish, random));
  EXPECT_EQ(setup.Sides()[2].name, "Enemy Alliance 2");
  EXPECT_EQ(setup.SelectedSide(), 2);
  EXPECT_EQ(setup.UnitBudget(), 80);  // back to the default for three sides
  for (int channel = 0; channel < 3; ++channel) EXPECT_GE((setup.Sides()[2].sideColour >> (8 * channel)) & 0xFF, 128);
  while (setup.AddShown()) ASSERT_TRUE(setup.AddSide(kEnglish, random));
  EXPECT_EQ(setup.Sides().size(), 8u);
  EXPECT_FALSE(setup.AddSide(kEnglish, random));
  // Eight sides' 31 moving counts overshoot the budget either way at every pass; the
  // balancing still ends, within one pass of it.
  EXPECT_EQ(setup.UnitBudget(), 150);
  EXPECT_LE(std::abs(AllUnits(setup) - 150), 31);

  // Removing side 3 moves the later sides down with their names, colours and counts.
  setup.SelectSide(4);
  const TTRVWorldFractionInfo fourth = setup.Sides()[4];
  setup.SelectSide(3);
  ASSERT_TRUE(setup.RemoveShown());
  ASSERT_TRUE(setup.RemoveSide());
  ASSERT_EQ(setup.Sides().size(), 7u);
  EXPECT_EQ(setup.Sides()[3].name, fourth.name);
  EXPECT_EQ(setup.Sides()[3].sideColour, fourth.sideColour);
  EXPECT_EQ(setup.SelectedSide(), 6);
  EXPECT_EQ(setup.UnitBudget(), 150);
  setup.SelectSide(0);
  EXPECT_FALSE(setup.RemoveShown());
  EXPECT_FALSE(setup.RemoveSide());
}

TEST(SkirmishSetup, ShareBarsSplitTheRow) {
  TTRVSkirmishSetup setup = Opened();
  setup.SelectSide(0);
  for (int i = 0; i < 5; ++i) setup.DragCount(utHeli, 100);
  EXPECT_GT(setup.ShareWidth(0), setup.ShareWidth(1));
  EXPECT_LE(setup.ShareWidth(0) + setup.ShareWidth(1), TTRVSkirmishSetup::kShareBarWidth);
  EXPECT_GE(setup.ShareWidth(0) + setup.ShareWidth(1), TTRVSkirmishSetup::kShareBarWidth - 1);
  EXPECT_EQ(setup.ShareWidth(2), 0);
}

TEST(SkirmishSetup, UnitAndGameTypesFollowTheLocks) {
  using L = ui::TTRVGameTypeLocks;
  L onlyBoatEscort{};
  onlyBoatEscort[utHeli] = {true, true, true, true};
  onlyBoatEscort[utBoat][mtEscort] = true;
  L tankAttackDefence{};
  tankAttackDefence[utHeli][mtSuperiority] = true;
  tankAttackDefence[utTank][mtAttack] = tankAttackDefence[utTank][mtDefence] = true;

  TTRVSkirmishSetup setup = Opened();
  setup.SetLocks(onlyBoatEscort);
  EXPECT_TRUE(setup.UnitTypeLocked(utBoat));
  EXPECT_TRUE(setup.UnitTypeLocked(utTank));
  EXPECT_FALSE(setup.UnitTypeLocked(utHeli));
  setup.ChooseUnitType(utBoat);
  EXPECT_EQ(setup.UnitType(), utHeli);

  setup.SetLocks(tankAttackDefence);
  setup.ChooseUnitType(utTank);
  EXPECT_EQ(setup.UnitType(), utTank);
  EXPECT_EQ(setup.GameType(), mtAttack);
  EXPECT_FALSE(setup.ChooseGameType(mtSuperiority));  // locked: no jingle, attack stays
  EXPECT_EQ(setup.GameType(), mtAttack);
  EXPECT_TRUE(setup.ChooseGameType(mtDefence));
  EXPECT_EQ(setup.GameType(), mtDefence);
}

std::vector<TTRVWorldFractionInfo> TwoSides(std::array<std::int16_t, 4> player, std::array<std::int16_t, 4> enemy) {
  std::vector<TTRVWorldFractionInfo> sides(2);
  sides[0].unitCounts = player;
  sides[1].unitCounts = enemy;
  sides[1].roaming = 1;  // anything left from an earlier set-up is cleared
  return sides;
}

using Counts = std::array<std::int16_t, 4>;
using Limits = std::array<std::int32_t, 4>;
constexpr Limits kNone{-1, -1, -1, -1};
constexpr int kByChance = 2;  // naval base drawn at random

struct Stance {
  std::uint8_t scatter, attacking, defending;
  int naval;
  Limits victory, survival;
  Counts counts;
};

TEST(SkirmishSetup, PlayGivesEachGameTypeItsStancesAndThresholds) {
  const Counts player{9, 8, 7, 6};
  const Counts enemy{12, 10, 8, 4};
  struct Case {
    int unitType, mission;
    Stance own, other;
  } cases[] = {
      {utHeli, mtSuperiority, {1, 0, 0, kByChance, kNone, kNone, player}, {1, 0, 0, kByChance, {12, 10, 8, 4}, kNone, enemy}},
      {utTank, mtSuperiority, {1, 0, 0, 0, kNone, kNone, player}, {1, 0, 0, 0, {3, 7, -1, 0}, kNone, enemy}},
      {utBoat, mtSuperiority, {1, 0, 0, 1, kNone, kNone, player}, {1, 0, 0, 1, {-1, -1, 8, -1}, kNone, enemy}},
      {utHeli, mtAttack, {0, 1, 0, kByChance, kNone, kNone, player}, {0, 0, 1, kByChance, {-1, -1, -1, 4}, kNone, enemy}},
      {utTank, mtAttack, {0, 1, 0, 0, kNone, kNone, player}, {0, 0, 1, 0, {-1, -1, -1, 4}, kNone, enemy}},
      {utBoat, mtAttack, {0, 1, 0, 1, kNone, kNone, player}, {0, 0, 1, 1, {-1, -1, -1, 4}, kNone, enemy}},
      {utHeli, mtDefence, {0, 0, 1, 0, kNone, {-1, -1, -1, 3}, player}, {0, 1, 0, 0, {9, 7, -1, -1}, kNone, enemy}},
      {utTank, mtDefence, {0, 0, 1, 0, kNone, {-1, -1, -1, 3}, player}, {0, 1, 0, 0, {9, 7, -1, -1}, kNone, enemy}},
      {utBoat, mtDefence, {0, 0, 1, 1, kNone, {-1, -1, -1, 3}, player}, {0, 1, 0, 1, {9, -1, 6, -1}, kNone, enemy}},
      {utHeli, mtEscort, {0, 1, 0, kByChance, kNone, {4, -1, -1, -1}, player}, {0, 0, 1, kByChance, {-1, -1, -1, 4}, kNone, enemy}},
      {utTank, mtEscort, {0, 1, 0, 0, kNone, {-1, 4, -1, -1}, player}, {0, 0, 1, 0, {-1, -1, -1, 4}, kNone, enemy}},
      {utBoat, mtEscort, {0, 1, 0, 1, kNone, {-1, -1, 3, -1}, player}, {0, 0, 1, 1, {-1, -1, -1, 4}, kNone, enemy}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "unit type " << c.unitType << ", game type " << c.mission);
    auto sides = TwoSides(player, enemy);
    platform::RandomGenerator random(11);
    ui::ApplyGameType(sides, c.unitType, c.mission, random);
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(i == 0 ? "player's side" : "other side");
      const Stance& want = i == 0 ? c.own : c.other;
      const auto& got = sides[i];
      EXPECT_EQ(got.scatterSpawn, want.scatter);
      EXPECT_EQ(got.attacking, want.attacking);
      EXPECT_EQ(got.defending, want.defending);
      EXPECT_EQ(got.roaming, 0);
      if (want.naval != kByChance) {
        EXPECT_EQ(got.navalBase, want.naval);
      }
      EXPECT_EQ(got.victoryLosses, want.victory);
      EXPECT_EQ(got.survivalMinimum, want.survival);
      EXPECT_EQ(got.unitCounts, want.counts);
    }
  }
}

TEST(SkirmishSetup, PlayRaisesThePlayersCountsToWhatTheGameNeeds) {
  struct Case {
    const char* what;
    int unitType, mission;
    Counts counts;
    int kind, count, minimum;
  } cases[] = {
      {"defence with no turrets", utTank, mtDefence, {5, 5, 5, 0}, utTurret, 1, 1},
      {"defence with one turret", utHeli, mtDefence, {5, 5, 5, 1}, utTurret, 1, 1},
      {"escort with two helicopters", utHeli, mtEscort, {2, 5, 5, 5}, utHeli, 3, 1},
      {"escort with no boats", utBoat, mtEscort, {5, 5, 0, 5}, utBoat, 3, 1},
      {"escort with eight tanks", utTank, mtEscort, {5, 8, 5, 5}, utTank, 8, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto sides = TwoSides(c.counts, {5, 5, 5, 5});
    platform::RandomGenerator random(1);
    ui::ApplyGameType(sides, c.unitType, c.mission, random);
    EXPECT_EQ(sides[0].unitCounts[c.kind], c.count);
    EXPECT_EQ(sides[0].survivalMinimum[c.kind], c.minimum);
  }
}

TEST(SkirmishSetup, HelicopterGamesPutSomeSidesOnNavalBases) {
  std::vector<TTRVWorldFractionInfo> sides(8);
  platform::RandomGenerator random(7);
  ui::ApplyGameType(sides, utHeli, mtSuperiority, random);
  int naval = 0;
  for (const auto& side : sides) naval += side.navalBase;
  EXPECT_GT(naval, 0);
  EXPECT_LT(naval, 8);
}

TEST(SkirmishSetup, BuildWorldInfoCarriesTheWorldAndTheChoices) {
  TTRVSkirmishSetup setup = Opened(12, 8);
  ui::TTRVGameTypeLocks locks{};
  locks[utBoat][mtAttack] = true;
  setup.SetLocks(locks);
  setup.ChooseUnitType(utBoat);
  platform::RandomGenerator random(2);
  const TTRVWorldInfo info = setup.BuildWorldInfo(random);
  EXPECT_EQ(info.worldName, "Island_7");
  EXPECT_EQ(info.playerUnitType, utBoat);
  EXPECT_EQ(info.missionType, mtAttack);
  EXPECT_EQ(info.playerSide, 0);
  ASSERT_EQ(info.sides.size(), 2u);
  EXPECT_EQ(info.sides[0].name, "Player Alliance");
}

TEST(SkirmishSetup, EverySideNeedsItsOwnBase) {
  struct Case {
    const char* what;
    std::vector<int> naval;  // per side
    int landBases, without;
  } cases[] = {
      {"two land sides, two bases", {0, 0}, 2, -1},
      {"three land sides, two bases", {0, 0, 0}, 2, 2},
      {"a naval third side needs no land base", {0, 0, 1}, 2, -1},
      {"no land base at all", {0, 1}, 0, 0},
      {"all naval", {1, 1, 1, 1, 1, 1, 1, 1}, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVWorldInfo info;
    for (int naval : c.naval) {
      info.sides.emplace_back();
      info.sides.back().navalBase = static_cast<std::uint8_t>(naval);
    }
    EXPECT_EQ(ui::SideWithoutBase(info, c.landBases), c.without);
  }
}

}  // namespace

// The skirmish set-up's rules without its view: the sides and their unit counts under one
// balanced budget, the unit and game type choice under the locks, and the world set-up that
// Play hands to the game. Draws its random numbers from the generator it is given.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/settings.h"
#include "config/textids.h"
#include "platform/random.h"
#include "world/world.h"
#include "world/worldfile.h"

namespace ui {

// [unit type][mission type]: true when that game type may be played.
using TTRVGameTypeLocks = std::array<std::array<bool, kMissionTypeCount>, kUnitTypeCount>;

class TTRVSkirmishSetup {
 public:
  static constexpr int kMostSides = 8;
  static constexpr int kMostTurrets = 15;
  static constexpr int kShareBarWidth = 213;  // pixels of a side's row that all its units fill

  // Starts over on a world: two sides with ten of each unit. `baseLimit` is the most sides
  // the caller allows (-1: no limit of its own). Answers the message to show instead when
  // the world cannot hold a skirmish (unreadable, or fewer than two bases); then nothing
  // of the set-up is usable.
  std::string OpenForWorld(const TTRVExtractWorldData& world, int baseLimit, TTRVLanguage language);

  const TTRVExtractWorldData& World() const { return world_; }
  const std::vector<TTRVWorldFractionInfo>& Sides() const { return sides_; }
  int SelectedSide() const { return selectedSide_; }
  int UnitBudget() const { return unitBudget_; }
  int MaxSides() const { return maxSides_; }

  // The budget a value is held to on this world with this many sides.
  int ClampBudget(int value) const;
  // Moves every count but (side, kind) one step a pass toward the budget; true when any
  // count changed. Never lowers a count below 1 (a 0 stays 0), stops after 100 passes.
  bool Rebalance(int side, int kind);

  // Out-of-range sides are ignored.
  void SelectSide(int side);
  // A drag on a number panel by `dx` tens of pixels: the selected side's count of `kind`
  // (helicopters, tanks and boats at least 0; turrets 1 to 15), or the budget.
  void DragCount(int kind, int dx);
  void DragBudget(int dx);
  void PickColour(platform::RandomGenerator& random);

  bool AddShown() const { return static_cast<int>(sides_.size()) < kMostSides; }
  bool RemoveShown() const { return selectedSide_ != 0 && sides_.size() != 2; }
  // False (and nothing changes) when the world's bases are all taken.
  bool AddSide(TTRVLanguage language, platform::RandomGenerator& random);
  // False (and nothing changes) for side 0 or when only two sides are left.
  bool RemoveSide();

  // Width of side n's share bar in pixels.
  int ShareWidth(int side) const;

  void SetLocks(const TTRVGameTypeLocks& locks) { locks_ = locks; }
  bool GameTypeOpen(int unitType, int mission) const;
  // No superiority, attack or defence game of that unit type is open.
  bool UnitTypeLocked(int unitType) const;
  int UnitType() const { return unitType_; }
  int GameType() const { return gameType_; }
  // Ignored for a locked type; else takes the lowest open one of its first three games.
  void ChooseUnitType(int unitType);
  // True when the game type is now `mission` (the objective jingle then plays).
  bool ChooseGameType(int mission);

  // The set-up that Play starts, with the stances and thresholds of the game type.
  TTRVWorldInfo BuildWorldInfo(platform::RandomGenerator& random) const;

 private:
  void ResetSides();

  TTRVExtractWorldData world_;
  std::vector<TTRVWorldFractionInfo> sides_;
  int selectedSide_ = 0;
  int unitBudget_ = 0;
  int maxSides_ = 2;
  int unitType_ = utHeli;        // kept between openings
  int gameType_ = mtSuperiority;  // kept between openings
  TTRVGameTypeLocks locks_{};
};

// Each side's stances, thresholds and naval base for a game of `mission` driven in `unitType`,
// side 0 being the player's; the player's counts may rise to what that game needs.
void ApplyGameType(std::vector<TTRVWorldFractionInfo>& sides, int unitType, int mission,
                   platform::RandomGenerator& random);

TTRVGameTypeLocks LocksOf(const TTRVSettings& settings);

// The first side of `info` that has no base on a world with `landBases` land bases (naval
// sides use the naval bases), or -1 when every side has its own.
int SideWithoutBase(const TTRVWorldInfo& info, int landBases);

}  // namespace ui

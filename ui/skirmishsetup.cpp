// The skirmish set-up's rules: balancing, sides, type choice and the started set-up.
#include "ui/skirmishsetup.h"

#include <algorithm>
#include <cstdlib>

namespace ui {
namespace {

constexpr std::int32_t kBlue = 0xFF0000;  // 0x00BBGGRR
constexpr std::int32_t kRed = 0x0000FF;
constexpr std::int16_t kStartCount = 10;
constexpr int kMostPasses = 100;

int Units(const TTRVWorldFractionInfo& side) {
  int total = 0;
  for (auto count : side.unitCounts) total += count;
  return total;
}

std::int32_t Colour(int red, int green, int blue) { return red | (green << 8) | (blue << 16); }

TTRVWorldFractionInfo NewSide(std::string name, std::int32_t colour) {
  TTRVWorldFractionInfo side;
  side.name = std::move(name);
  side.sideColour = colour;
  side.unitCounts = {kStartCount, kStartCount, kStartCount, kStartCount};
  return side;
}

int Trunc(double value) { return static_cast<int>(value); }

}  // namespace

TTRVGameTypeLocks LocksOf(const TTRVSettings& settings) {
  TTRVGameTypeLocks locks{};
  for (int u = 0; u < kUnitTypeCount; ++u)
    for (int m = 0; m < kMissionTypeCount; ++m) locks[u][m] = settings.GameTypeLocks[u][m];
  return locks;
}

std::string TTRVSkirmishSetup::OpenForWorld(const TTRVExtractWorldData& world, int baseLimit, TTRVLanguage language) {
  world_ = world;
  sides_.clear();
  sides_.push_back(NewSide(TextString(TextId::SkirmishPlayerSide, language), kBlue));
  sides_.push_back(NewSide(TextString(TextId::SkirmishEnemySide, language), kRed));
  // An unreadable world, or one with a single base, would open a set-up that cannot start.
  const int bases = world.valid ? world.baseCount : -1;
  maxSides_ = baseLimit < 0 ? bases : std::min(baseLimit, bases);
  const bool usable = world.valid && world.sectorsX > 0 && world.sectorsZ > 0 && maxSides_ >= 2;
  maxSides_ = std::clamp(maxSides_, 2, kMostSides);
  ResetSides();
  return usable ? std::string() : TextString(TextId::SkirmishTooFewBases, language);
}

void TTRVSkirmishSetup::ResetSides() {
  unitBudget_ = ClampBudget(0);
  Rebalance(0, utTurret);
  selectedSide_ = static_cast<int>(sides_.size()) - 1;
}

int TTRVSkirmishSetup::ClampBudget(int value) const {
  const int area = world_.sectorsX * world_.sectorsZ;
  value = std::max(value, area / 4);
  value = std::min(value, area);
  value = std::max(value, 20 * static_cast<int>(sides_.size()) + 20);
  value = std::min(value, 150);
  return std::max(value, 50);
}

bool TTRVSkirmishSetup::Rebalance(int side, int kind) {
  bool changed = false;
  const int slack = static_cast<int>(sides_.size()) + 1;
  for (int passes = 1;; ++passes) {
    int total = 0;
    for (const auto& s : sides_) total += Units(s);
    bool passChanged = false;
    for (int j = 0; j < static_cast<int>(sides_.size()); ++j) {
      for (int t = utHeli; t <= utTurret; ++t) {
        if (j == side && t == kind) continue;
        auto& count = sides_[j].unitCounts[t];
        if (total > unitBudget_) {
          if (count > 1) {
            --count;
            passChanged = true;
          }
        } else {
          ++count;
          if (t == utTurret) count = std::min<std::int16_t>(count, kMostTurrets);
          passChanged = true;
        }
      }
    }
    changed = changed || passChanged;
    if (!passChanged) break;
    total = 0;
    for (const auto& s : sides_) total += Units(s);
    if (std::abs(total - unitBudget_) <= slack || passes > kMostPasses) break;
  }
  return changed;
}

void TTRVSkirmishSetup::SelectSide(int side) {
  if (side >= 0 && side < static_cast<int>(sides_.size())) selectedSide_ = side;
}

void TTRVSkirmishSetup::DragCount(int kind, int dx) {
  if (kind < utHeli || kind > utTurret || sides_.empty()) return;
  auto& count = sides_[selectedSide_].unitCounts[kind];
  if (kind == utTurret) {
    const int wanted = std::max(count + dx, 1);
    if (Rebalance(selectedSide_, kind)) count = static_cast<std::int16_t>(std::min(wanted, kMostTurrets));
  } else if (Rebalance(selectedSide_, kind)) {
    count = static_cast<std::int16_t>(std::clamp(count + dx, 0, 0x7FFF));
  }
}

void TTRVSkirmishSetup::DragBudget(int dx) {
  unitBudget_ = ClampBudget(unitBudget_ + dx);
  Rebalance(0, utTurret);
}

void TTRVSkirmishSetup::PickColour(platform::RandomGenerator& random) {
  if (sides_.empty()) return;
  const int red = random.Int(255);
  const int green = random.Int(255);
  const int blue = random.Int(255);
  sides_[selectedSide_].sideColour = Colour(red, green, blue);
}

bool TTRVSkirmishSetup::AddSide(TTRVLanguage language, platform::RandomGenerator& random) {
  if (static_cast<int>(sides_.size()) >= std::min(maxSides_, kMostSides)) return false;
  const int red = 128 + random.Int(128);
  const int green = 128 + random.Int(128);
  const int blue = 128 + random.Int(128);
  sides_.push_back(NewSide(TextString(TextId::SkirmishAddedSide, language) + std::to_string(sides_.size()),
                           Colour(red, green, blue)));
  ResetSides();
  return true;
}

bool TTRVSkirmishSetup::RemoveSide() {
  if (selectedSide_ == 0 || sides_.size() <= 2) return false;
  sides_.erase(sides_.begin() + selectedSide_);
  ResetSides();
  return true;
}

int TTRVSkirmishSetup::ShareWidth(int side) const {
  if (side < 0 || side >= static_cast<int>(sides_.size())) return 0;
  int all = 0;
  for (const auto& s : sides_) all += Units(s);
  if (all <= 0) return 0;
  return Trunc(static_cast<double>(Units(sides_[side])) / all * kShareBarWidth);
}

bool TTRVSkirmishSetup::GameTypeOpen(int unitType, int mission) const {
  if (unitType < 0 || unitType >= kUnitTypeCount || mission < 0 || mission >= kMissionTypeCount) return false;
  return locks_[unitType][mission];
}

bool TTRVSkirmishSetup::UnitTypeLocked(int unitType) const {
  return !GameTypeOpen(unitType, mtSuperiority) && !GameTypeOpen(unitType, mtAttack) &&
         !GameTypeOpen(unitType, mtDefence);
}

void TTRVSkirmishSetup::ChooseUnitType(int unitType) {
  if (UnitTypeLocked(unitType)) return;
  unitType_ = unitType;
  for (int m = mtSuperiority; m <= mtDefence; ++m) {
    if (GameTypeOpen(unitType, m)) {
      gameType_ = m;
      break;
    }
  }
}

bool TTRVSkirmishSetup::ChooseGameType(int mission) {
  if (GameTypeOpen(unitType_, mission)) gameType_ = mission;
  return gameType_ == mission;
}

TTRVWorldInfo TTRVSkirmishSetup::BuildWorldInfo(platform::RandomGenerator& random) const {
  TTRVWorldInfo info;
  info.worldName = world_.name;
  info.sectorCountX = static_cast<std::uint16_t>(world_.sectorsX);
  info.sectorCountZ = static_cast<std::uint16_t>(world_.sectorsZ);
  info.playerUnitType = static_cast<std::uint8_t>(unitType_);
  info.playerSide = 0;
  info.missionType = static_cast<std::uint8_t>(gameType_);
  info.sides = sides_;
  ApplyGameType(info.sides, unitType_, gameType_, random);
  return info;
}

void ApplyGameType(std::vector<TTRVWorldFractionInfo>& sides, int u, int mission, platform::RandomGenerator& random) {
  auto navalByType = [&]() -> std::uint8_t {
    if (u == utBoat) return 1;
    if (u == utHeli) return random.Real() < 0.5 ? 1 : 0;
    return 0;
  };
  for (std::size_t i = 0; i < sides.size(); ++i) {
    auto& side = sides[i];
    auto& n = side.unitCounts;
    const bool player = i == 0;
    side.roaming = 0;
    side.navalBase = 0;
    side.scatterSpawn = side.defending = side.attacking = 0;
    side.victoryLosses = {-1, -1, -1, -1};
    side.survivalMinimum = {-1, -1, -1, -1};
    switch (mission) {
      case mtSuperiority:
        side.scatterSpawn = 1;
        side.navalBase = navalByType();
        if (player) break;
        if (u == utHeli)
          side.victoryLosses = {n[0], n[1], n[2], n[3]};
        else if (u == utTank)
          side.victoryLosses = {Trunc(0.25 * n[utHeli]), Trunc(0.75 * n[utTank]), -1, 0};
        else
          side.victoryLosses = {-1, -1, n[utBoat], -1};
        break;
      case mtAttack:
        (player ? side.attacking : side.defending) = 1;
        side.navalBase = navalByType();
        if (!player) side.victoryLosses = {-1, -1, -1, n[utTurret]};
        break;
      case mtDefence:
        if (player) {
          side.defending = 1;
          side.survivalMinimum[utTurret] = std::max(Trunc(0.5 * n[utTurret]), 1);
          n[utTurret] = std::max<std::int16_t>(n[utTurret], 1);
          side.navalBase = u == utBoat ? 1 : 0;
        } else {
          side.attacking = 1;
          if (u == utBoat) {
            side.victoryLosses = {Trunc(0.75 * n[utHeli]), -1, Trunc(0.75 * n[utBoat]), -1};
            side.navalBase = 1;
          } else {
            side.victoryLosses = {Trunc(0.75 * n[utHeli]), Trunc(0.75 * n[utTank]), -1, -1};
          }
        }
        break;
      case mtEscort:
        (player ? side.attacking : side.defending) = 1;
        side.navalBase = navalByType();
        if (player) {
          side.survivalMinimum[u] = std::max(Trunc(0.5 * n[u]), 1);
          n[u] = std::max<std::int16_t>(n[u], 3);
        } else {
          side.victoryLosses = {-1, -1, -1, n[utTurret]};
        }
        break;
      default:
        break;
    }
  }
}

int SideWithoutBase(const TTRVWorldInfo& info, int landBases) {
  for (std::size_t i = 0; i < info.sides.size(); ++i) {
    const int bases = info.sides[i].navalBase ? kNavalBaseCount : landBases;
    if (static_cast<int>(i) >= bases) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace ui

// Game-type names and objective jingles.
#include "shell/gametypes.h"

namespace {

constexpr const char* kPrefixes[2][3] = {{"Air ", "Ground ", "Sea "}, {"Letecký ", "Pozemní ", "Námořní "}};
constexpr const char* kMissions[2][4] = {{"superiority", "attack", "defence", "escort"},
                                         {"převaha", "útok", "obrana", "doprovod"}};
// Czech air games agree with a feminine noun where the mission is one.
constexpr const char* kCzechAir[4] = {"Letecká převaha", "Letecký útok", "Letecká obrana", "Letecký doprovod"};

bool Valid(int unitType, int mission) { return unitType >= 0 && unitType < 3 && mission >= 0 && mission < 4; }

}  // namespace

std::string GameTypeName(int unitType, int mission, TTRVLanguage language) {
  if (!Valid(unitType, mission)) return "";
  const int l = language == TTRVLanguage::Czech ? 1 : 0;
  if (l == 1 && unitType == 0) return kCzechAir[mission];
  return std::string(kPrefixes[l][unitType]) + kMissions[l][mission];
}

std::string ObjectiveJingleName(int unitType, int mission) {
  if (!Valid(unitType, mission)) return "";
  if ((unitType == 1 && (mission == 1 || mission == 2)) || (unitType == 2 && mission == 1)) unitType = 0;
  return "obj" + std::to_string(unitType) + std::to_string(mission);
}

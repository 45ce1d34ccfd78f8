// The stored world set-up, both ways.
#include "world/worldinfocodec.h"

#include <cmath>

#include "platform/cp1250.h"
#include "world/filenames.h"

namespace {

bool Fits(const std::string& cp1250, const std::string& what, std::string& error) {
  if (cp1250.size() <= 255) return true;
  error = what + " is longer than 255 bytes";
  return false;
}

bool ReadName(platform::ByteReader& in, std::string& utf8) {
  std::string stored;
  if (!in.ShortString(stored)) return false;
  utf8 = platform::Cp1250ToUtf8(stored);
  return true;
}

}  // namespace

bool WriteWorldInfo(platform::ByteWriter& out, const TTRVWorldInfo& info, double writtenAt, std::string& error) {
  if (info.sides.size() > static_cast<std::size_t>(kMaxSides)) {
    error = "the game has " + std::to_string(info.sides.size()) + " sides; at most " + std::to_string(kMaxSides) +
            " can be stored";
    return false;
  }
  const std::string world = platform::Utf8ToCp1250(info.worldName);
  const std::string mission =
      platform::Utf8ToCp1250(info.missionName.empty() ? std::string(kNoCampaignName) : info.missionName);
  if (!Fits(world, "the world name", error) || !Fits(mission, "the mission name", error)) return false;
  std::vector<std::string> names;
  for (const TTRVWorldFractionInfo& side : info.sides) {
    names.push_back(platform::Utf8ToCp1250(side.name));
    if (!Fits(names.back(), "the name of side \"" + side.name + "\"", error)) return false;
  }

  out.ShortString(world);
  out.ShortString(mission);
  out.F64(writtenAt);
  out.U8(info.missionType);
  out.U8(info.playerUnitType);
  out.U8(info.playerSide);
  out.U8(static_cast<std::uint8_t>(info.sides.size()));
  for (std::size_t i = 0; i < info.sides.size(); ++i) {
    const TTRVWorldFractionInfo& s = info.sides[i];
    out.ShortString(names[i]);
    for (std::int16_t n : s.unitCounts) out.I16(n);
    for (std::int32_t n : s.victoryLosses) out.I32(n);
    for (std::int32_t n : s.survivalMinimum) out.I32(n);
    // Each count takes the low half of a 32-bit field.
    for (std::int16_t n : s.aliveCounts) out.U32(static_cast<std::uint16_t>(n));
    out.I32(s.sideColour);
    for (const TTRVCell& c : s.rallyCell) {
      out.I32(c.x);
      out.I32(c.z);
    }
    out.F32(s.basePosition.x);
    out.F32(s.basePosition.z);
    for (std::uint8_t flag : {s.scatterSpawn, s.defending, s.attacking, s.roaming, s.navalBase}) out.U8(flag);
  }
  return true;
}

bool ReadWorldInfo(platform::ByteReader& in, TTRVWorldInfo& out, std::string& error) {
  auto cut = [&](const std::string& what) {
    error = "the set-up ends inside " + what + platform::AtByte(in.Pos());
    return false;
  };
  std::string world, mission;
  if (!ReadName(in, world)) return cut("the world name");
  if (!ReadName(in, mission)) return cut("the mission name");
  double date = 0;
  std::uint8_t missionType = 0, vehicle = 0, player = 0, count = 0;
  if (!in.F64(date)) return cut("the date");
  if (!in.U8(missionType) || !in.U8(vehicle) || !in.U8(player) || !in.U8(count)) return cut("the game type");
  if (!std::isfinite(date)) {
    error = "the set-up's date is not a number";
    return false;
  }
  if (missionType > mtEscort) {
    error = "the set-up has the unknown mission type " + std::to_string(missionType);
    return false;
  }
  if (vehicle > utBoat) {
    error = "the set-up gives the player the unknown vehicle " + std::to_string(vehicle);
    return false;
  }
  if (count > kMaxSides) {
    error = "the set-up has " + std::to_string(count) + " sides; the game has at most " + std::to_string(kMaxSides);
    return false;
  }
  if (count > 0 && player >= count) {
    error = "the player's side " + std::to_string(player) + " is not one of the " + std::to_string(count) + " sides";
    return false;
  }
  if (in.Left() / kStoredSideMinBytes < count) return cut("the sides");

  std::vector<TTRVWorldFractionInfo> sides(count);
  for (std::size_t i = 0; i < sides.size(); ++i) {
    TTRVWorldFractionInfo& s = sides[i];
    const std::string which = "side " + std::to_string(i);
    if (!ReadName(in, s.name)) return cut("the name of " + which);
    bool ok = true;
    for (std::int16_t& n : s.unitCounts) ok = ok && in.I16(n);
    for (std::int32_t& n : s.victoryLosses) ok = ok && in.I32(n);
    for (std::int32_t& n : s.survivalMinimum) ok = ok && in.I32(n);
    for (std::int16_t& n : s.aliveCounts) {
      std::uint32_t stored = 0;
      ok = ok && in.U32(stored);
      n = static_cast<std::int16_t>(stored & 0xFFFF);
    }
    ok = ok && in.I32(s.sideColour);
    for (TTRVCell& c : s.rallyCell) ok = ok && in.I32(c.x) && in.I32(c.z);
    float x = 0, z = 0;
    ok = ok && in.F32(x) && in.F32(z);
    for (std::uint8_t* flag : {&s.scatterSpawn, &s.defending, &s.attacking, &s.roaming, &s.navalBase})
      ok = ok && in.U8(*flag);
    if (!ok) return cut("the record of " + which + " \"" + s.name + "\"");
    if (!std::isfinite(x) || !std::isfinite(z)) {
      error = "the base of " + which + " \"" + s.name + "\" is not a position";
      return false;
    }
    s.basePosition = {x, 0, z};
    s.sideIndex = static_cast<std::uint8_t>(i);
  }
  out.worldName = std::move(world);
  out.missionName = std::move(mission);
  out.savedAt = date;
  out.missionType = missionType;
  out.playerUnitType = vehicle;
  out.playerSide = player;
  out.sides = std::move(sides);
  return true;
}

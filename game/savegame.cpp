// Saved games: the file's bytes both ways, and the summary the lists show.
#include "game/savegame.h"

#include <cmath>

#include "platform/bytestream.h"
#include "platform/cp1250.h"
#include "platform/filebytes.h"
#include "world/filenames.h"
#include "world/worldinfocodec.h"

namespace {

bool Finite(const TVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

void WriteVector(platform::ByteWriter& out, const TVector& v) {
  for (float f : {v.x, v.y, v.z, v.w}) out.F32(f);
}

bool ReadVector(platform::ByteReader& in, TVector& v) {
  return in.F32(v.x) && in.F32(v.y) && in.F32(v.z) && in.F32(v.w);
}

std::string CampaignRefusal(const std::string& campaign) {
  return "the game belongs to the campaign \"" + campaign + "\"; campaign games come with campaigns";
}

// The units of one side container. The count was checked against the bytes left.
bool ReadUnits(platform::ByteReader& in, const TTRVWorldInfo& setup, std::size_t side,
               std::vector<TTRVSavedUnit>& units, int& players, std::string& error) {
  for (std::size_t k = 0; k < units.size(); ++k) {
    TTRVSavedUnit& u = units[k];
    const std::size_t start = in.Pos();
    std::array<std::byte, TTRVUnitState::kBytes> block;
    in.Raw(block.data(), block.size());
    u.state = TTRVUnitState::FromBytes(block);
    ReadVector(in, u.position);
    ReadVector(in, u.direction);
    const std::string which = "unit " + std::to_string(k) + " of side " + std::to_string(side) + platform::AtByte(start);
    if (u.state.unitType > utTurret) {
      error = which + " has the unknown type " + std::to_string(u.state.unitType);
      return false;
    }
    if (u.state.side >= setup.sides.size()) {
      error = which + " belongs to the side " + std::to_string(u.state.side) + ", which the game does not have";
      return false;
    }
    if (u.state.isPlayer > 1) {
      error = which + " has the player flag " + std::to_string(u.state.isPlayer);
      return false;
    }
    if (u.state.isPlayer && (u.state.side != setup.playerSide || ++players > 1)) {
      error = which + " is a second player's unit or stands on another side than the player's";
      return false;
    }
    if (!Finite(u.position) || !Finite(u.direction) || !std::isfinite(u.state.armour)) {
      error = which + " has a position, direction or armour that is not a number";
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> WriteSaveFile(const TTRVSaveData& data, double savedAt, std::string& error) {
  const TTRVWorldInfo& setup = data.setup;
  if (NamesCampaign(setup.missionName)) {
    error = CampaignRefusal(setup.missionName);
    return {};
  }
  if (setup.sides.empty()) {
    error = "a game without sides cannot be saved";
    return {};
  }
  if (data.units.size() != setup.sides.size()) {
    error = "the game has " + std::to_string(data.units.size()) + " unit groups for " +
            std::to_string(setup.sides.size()) + " sides";
    return {};
  }
  platform::ByteWriter out;
  out.ShortString(std::string(kSaveMagic));
  if (!WriteWorldInfo(out, setup, savedAt, error)) return {};
  out.U8(static_cast<std::uint8_t>(data.units.size()));
  for (const std::vector<TTRVSavedUnit>& side : data.units) {
    if (side.size() > 0xFFFF) {
      error = "a side has more than 65535 units";
      return {};
    }
    out.U16(static_cast<std::uint16_t>(side.size()));
    for (const TTRVSavedUnit& u : side) {
      const std::array<std::byte, TTRVUnitState::kBytes> block = u.state.ToBytes();
      out.Raw(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
      WriteVector(out, u.position);
      WriteVector(out, u.direction);
    }
  }
  return std::move(out.bytes);
}

bool ParseSaveFile(std::span<const std::uint8_t> bytes, TTRVSaveData& out, std::string& error) {
  out = TTRVSaveData{};
  platform::ByteReader in(bytes);
  std::string magic;
  if (!in.ShortString(magic) || magic != kSaveMagic) {
    error = magic == kCampaignSaveMagic ? "a campaign save, not a game save"
                                        : "not a saved game: it does not start with \"TRVSAVE\"";
    return false;
  }
  if (!ReadWorldInfo(in, out.setup, error)) return false;
  if (NamesCampaign(out.setup.missionName)) {
    error = CampaignRefusal(out.setup.missionName);
    return false;
  }
  if (out.setup.sides.empty()) {
    error = "the save holds no sides";
    return false;
  }
  std::uint8_t sideCount = 0;
  if (!in.U8(sideCount)) {
    error = "the save ends before its side count" + platform::AtByte(in.Pos());
    return false;
  }
  if (sideCount != out.setup.sides.size()) {
    error = "the save holds units of " + std::to_string(sideCount) + " sides but sets up " +
            std::to_string(out.setup.sides.size());
    return false;
  }
  out.units.resize(sideCount);
  int players = 0;
  for (std::size_t d = 0; d < out.units.size(); ++d) {
    std::uint16_t count = 0;
    if (!in.U16(count) || in.Left() / kStoredUnitBytes < count) {
      error = "the save ends inside the units of side " + std::to_string(d) + platform::AtByte(in.Pos());
      return false;
    }
    out.units[d].resize(count);
    if (!ReadUnits(in, out.setup, d, out.units[d], players, error)) return false;
  }
  return true;
}

TTRVExtractLoadGameData SaveHeaderOf(std::span<const std::uint8_t> bytes) {
  TTRVExtractLoadGameData h;
  platform::ByteReader in(bytes);
  std::string magic;
  if (!in.ShortString(magic)) return h;
  if (magic == kCampaignSaveMagic) {
    std::string title;
    double at = 0;
    if (!in.ShortString(title) || !in.F64(at) || !std::isfinite(at)) return h;
    h.valid = true;
    h.campaignSave = true;
    h.campaignName = platform::Cp1250ToUtf8(title);
    h.savedAt = at;
    return h;
  }
  if (magic != kSaveMagic) return h;
  TTRVWorldInfo setup;
  std::string error;
  if (!ReadWorldInfo(in, setup, error)) return h;
  // A campaign's game carries the campaign's block next, which only campaigns can read.
  if (!NamesCampaign(setup.missionName)) {
    TTRVSaveData whole;
    if (!ParseSaveFile(bytes, whole, error)) return h;
  }
  h.valid = true;
  h.worldName = setup.worldName;
  h.campaignName = NamesCampaign(setup.missionName) ? setup.missionName : std::string();
  h.playerUnitType = setup.playerUnitType;
  h.missionType = setup.missionType;
  h.sideCount = static_cast<int>(setup.sides.size());
  for (std::size_t i = 0; i < setup.sides.size(); ++i) {
    int alive = 0;
    for (std::int16_t n : setup.sides[i].aliveCounts) alive += n;
    (i == setup.playerSide ? h.allies : h.enemies) += alive;
  }
  h.savedAt = setup.savedAt;
  return h;
}

TTRVExtractLoadGameData ReadSaveHeader(const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes;
  if (file.empty() || platform::ReadFileBytes(file, kMaxSaveFileSize, bytes) != platform::ReadFileResult::Ok)
    return {};
  return SaveHeaderOf(bytes);
}

// The user's settings (config.ini): one table says, for every key, its section, default,
// allowed range and field; the reader, the writer and the mending all walk that table.
// No SDL or GL here: the settings reader is fuzzed on its own.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace platform {
class IniFile;
}

struct TTRVSettings;

enum class TTRVSettingSection : std::uint8_t {
  General,
  Locks,
  Quality,  // the section named by MasterDetail when read, "Custom" when written
  Controls,
};

// One entry of GameTypeLocks: [unit type][mission type].
struct TTRVLockField {
  int UnitType;
  int MissionType;
};

using TTRVSettingField = std::variant<int TTRVSettings::*, std::uint8_t TTRVSettings::*, bool TTRVSettings::*,
                                      std::string TTRVSettings::*, TTRVLockField>;

struct TTRVSettingInfo {
  std::string_view Key;
  TTRVSettingSection Section = TTRVSettingSection::General;
  TTRVSettingField Field;
  int Default = 0;                // integers, bytes and booleans (0 / 1)
  int Min = 0, Max = 0;           // allowed values; booleans 0..1 (1..1: always true)
  bool WrapsModulo = false;       // out-of-range values wrap into Min..Max instead of clamping
  std::string_view DefaultText;   // strings
  std::string_view Choices;       // strings: the allowed values separated by spaces; empty: any text
  // Quality rows: the value of the shipped "Low" and "High" detail levels ("Medium" is Default).
  int Low = 0, High = 0;
};

// Every setting, in the order it is read and written.
std::span<const TTRVSettingInfo> SettingsTable();
const TTRVSettingInfo* FindSetting(std::string_view key);  // ignores case; null when unknown

inline constexpr int kUnitTypeCount = 3;     // helicopter, tank, boat
inline constexpr int kMissionTypeCount = 4;  // superiority, attack, defence, escort

struct TTRVSettings {
  // General
  std::string MasterDetail;
  int ResolutionX = 0;
  int ResolutionY = 0;
  int Difficulty = 0;
  bool FullScr = false;
  int SoundVolume = 0;
  bool AutoZoom = false;
  std::string Language;
  bool MusicOn = false;
  std::uint8_t Tutorial = 0;
  bool LangSelected = false;
  // Locks: which skirmish game types are available
  bool GameTypeLocks[kUnitTypeCount][kMissionTypeCount]{};
  // Quality
  int GroundTextureSize = 0;
  int ViewDistance = 0;
  int ImpostorQuality = 0;
  std::uint8_t GrassDensity = 0;
  std::uint8_t GrassDistance = 0;
  int SkyTextureSize = 0;
  bool ProceduralGroundTextures = false;
  int LODdist = 0;
  bool RenderGrass = false;
  // Controls: virtual key codes
  std::uint8_t Acceleration = 0;
  std::uint8_t Break = 0;
  std::uint8_t Left = 0;
  std::uint8_t Right = 0;
  std::uint8_t Up = 0;
  std::uint8_t Down = 0;
  std::uint8_t Weapon1 = 0;
  std::uint8_t Weapon2 = 0;
  std::uint8_t TimeAccelON = 0;
  std::uint8_t TimeAccelOFF = 0;
  std::uint8_t Weapon3 = 0;

  // Derived after every read, never stored.
  float SoundVolumeFactor = 0;
  std::array<float, 4> LodDistances{};
  float MapSize = 0;
  float MapZoom = 0;

  // The defaults of the table, mended and derived.
  TTRVSettings();

  void RestoreDefaults();
  // Brings every value into its allowed range (the file and the dialogs may hold anything).
  void Mend();
  void Derive();
  // True when the quality values belong to section "Custom" (the only one ever written).
  bool UsesCustomQuality() const;

  // General, Locks, the MasterDetail section, Controls; missing keys take their defaults.
  void ReadFrom(const platform::IniFile& ini);
  // General, Locks, "Custom" (only while MasterDetail is "Custom"), Controls; other
  // sections and keys of `ini` are left alone.
  void WriteTo(platform::IniFile& ini) const;

  // A missing file gives the defaults and succeeds; an unreadable one gives the defaults
  // and fails.
  bool ReadSettings(const std::filesystem::path& file);
  bool ReadSettings(const std::filesystem::path& file, std::string& error);
  bool ReadSettingsBytes(std::span<const std::uint8_t> bytes);
  // Rewrites the file keeping what it does not own (the named presets, unknown keys).
  // Refuses to touch a file it cannot read, so that nothing in it is lost.
  bool WriteSettings(const std::filesystem::path& file, std::string& error) const;
};

// The shipped detail levels "Low", "Medium" (the defaults) and "High". Keys already present
// in those sections keep their values, so a first run never undoes a player's edit.
void WriteDefaultPresets(platform::IniFile& ini);

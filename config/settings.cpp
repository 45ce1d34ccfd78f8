// The settings table and the walks over it: defaults, mending, reading and writing config.ini.
#include "config/settings.h"

#include <algorithm>
#include <type_traits>

#include "platform/inifile.h"

namespace {

using S = TTRVSettings;
using Section = TTRVSettingSection;

// The table's rows are built field by field: every row leaves some fields at their defaults.
constexpr TTRVSettingInfo Row(std::string_view key, Section section, TTRVSettingField field, int def, int lo,
                              int hi) {
  TTRVSettingInfo info;
  info.Key = key;
  info.Section = section;
  info.Field = field;
  info.Default = def;
  info.Min = lo;
  info.Max = hi;
  return info;
}
constexpr TTRVSettingInfo Integer(std::string_view key, Section section, int S::*field, int def, int lo, int hi) {
  return Row(key, section, field, def, lo, hi);
}
constexpr TTRVSettingInfo Byte(std::string_view key, Section section, std::uint8_t S::*field, int def, int lo,
                               int hi) {
  return Row(key, section, field, def, lo, hi);
}
constexpr TTRVSettingInfo Boolean(std::string_view key, Section section, bool S::*field, bool def) {
  return Row(key, section, field, def ? 1 : 0, 0, 1);
}
// A quality row carries its value for each shipped detail level: Low, Medium (the default), High.
constexpr TTRVSettingInfo Quality(TTRVSettingInfo info, int low, int high) {
  info.Low = low;
  info.High = high;
  return info;
}
constexpr TTRVSettingInfo Text(std::string_view key, std::string S::*field, std::string_view def,
                               std::string_view choices) {
  TTRVSettingInfo info = Row(key, Section::General, field, 0, 0, 0);
  info.DefaultText = def;
  info.Choices = choices;
  return info;
}
// Helicopter superiority is the one game type that is always available: its range is {true}.
constexpr TTRVSettingInfo Lock(std::string_view key, int unit, int mission) {
  const int always = (unit == 0 && mission == 0) ? 1 : 0;
  return Row(key, Section::Locks, TTRVLockField{unit, mission}, always, always, 1);
}
// Codes are stored in bytes, so any number in the file names some key: it wraps.
constexpr TTRVSettingInfo KeyCode(std::string_view key, std::uint8_t S::*field, int def) {
  TTRVSettingInfo info = Row(key, Section::Controls, field, def, 0, 255);
  info.WrapsModulo = true;
  return info;
}

// clang-format off
constexpr TTRVSettingInfo kSettings[] = {
    Text("MasterDetail", &S::MasterDetail, "Medium", ""),
    // Upper bounds keep a hand-edited file from asking for textures or windows no machine has;
    // lower ones from a window too small for the menus (0 would be a 1 x 1 window).
    Integer("ResolutionX", Section::General, &S::ResolutionX, 1600, 640, 16384),
    Integer("ResolutionY", Section::General, &S::ResolutionY, 1200, 480, 16384),
    Integer("Difficulty", Section::General, &S::Difficulty, 100, 1, 1000),
    Boolean("FullScr", Section::General, &S::FullScr, true),
    Integer("SoundVolume", Section::General, &S::SoundVolume, 80, 0, 100),
    Boolean("AutoZoom", Section::General, &S::AutoZoom, true),
    Text("Language", &S::Language, "CZE", "ENG CZE"),
    Boolean("MusicOn", Section::General, &S::MusicOn, true),
    Byte("Tutorial", Section::General, &S::Tutorial, 0, 0, 9),
    Boolean("LangSelected", Section::General, &S::LangSelected, false),

    Lock("Type0Game0", 0, 0), Lock("Type0Game1", 0, 1), Lock("Type0Game2", 0, 2), Lock("Type0Game3", 0, 3),
    Lock("Type1Game0", 1, 0), Lock("Type1Game1", 1, 1), Lock("Type1Game2", 1, 2), Lock("Type1Game3", 1, 3),
    Lock("Type2Game0", 2, 0), Lock("Type2Game1", 2, 1), Lock("Type2Game2", 2, 2), Lock("Type2Game3", 2, 3),

    //                                                                       default  min   max    Low  High
    Quality(Integer("GroundTextureSize", Section::Quality, &S::GroundTextureSize,   64,  16, 1024),   32,  128),
    Quality(Integer("ViewDistance", Section::Quality, &S::ViewDistance,               4,   1,   64),    3,    6),
    Quality(Integer("ImpostorQuality", Section::Quality, &S::ImpostorQuality,        64,   8,  512),   32,  128),
    Quality(Byte("GrassDensity", Section::Quality, &S::GrassDensity,                  3,   1,   16),    2,    4),
    Quality(Byte("GrassDistance", Section::Quality, &S::GrassDistance,               25,   1,  100),   20,   35),
    Quality(Integer("SkyTextureSize", Section::Quality, &S::SkyTextureSize,         512,  64, 2048),  256, 1024),
    Quality(Boolean("ProceduralGroundTextures", Section::Quality, &S::ProceduralGroundTextures, true),  0,    1),
    Quality(Integer("LODdist", Section::Quality, &S::LODdist,                        10,   1,  256),   10,   16),
    Quality(Boolean("RenderGrass", Section::Quality, &S::RenderGrass, true),                             0,    1),

    KeyCode("Acceleration", &S::Acceleration, 87),  // W
    KeyCode("Break", &S::Break, 83),                // S
    KeyCode("Left", &S::Left, 65),                  // A
    KeyCode("Right", &S::Right, 68),                // D
    KeyCode("Up", &S::Up, 69),                      // E
    KeyCode("Down", &S::Down, 81),                  // Q
    KeyCode("Weapon1", &S::Weapon1, 49),            // 1
    KeyCode("Weapon2", &S::Weapon2, 50),            // 2
    KeyCode("TimeAccelON", &S::TimeAccelON, 107),   // numeric-pad plus
    KeyCode("TimeAccelOFF", &S::TimeAccelOFF, 109), // numeric-pad minus
    KeyCode("Weapon3", &S::Weapon3, 51),            // 3
};
// clang-format on

constexpr std::string_view kCustom = "Custom";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

// Calls visit with a reference to the field the entry names (const when `settings` is).
template <class Settings, class Visit>
void VisitField(Settings& settings, const TTRVSettingInfo& info, Visit&& visit) {
  std::visit(
      [&](auto member) {
        if constexpr (std::is_same_v<decltype(member), TTRVLockField>)
          visit(settings.GameTypeLocks[member.UnitType][member.MissionType]);
        else
          visit(settings.*member);
      },
      info.Field);
}

int MendInteger(const TTRVSettingInfo& info, int value) {
  if (info.WrapsModulo) {
    const long long span = static_cast<long long>(info.Max) - info.Min + 1;
    const long long offset = static_cast<long long>(value) - info.Min;
    return static_cast<int>(info.Min + (offset % span + span) % span);
  }
  return std::clamp(value, info.Min, info.Max);
}

// An allowed choice in its own spelling ("eng" -> "ENG"); anything else gives the default.
std::string MendText(const TTRVSettingInfo& info, std::string_view value) {
  if (value.empty()) return std::string(info.DefaultText);
  if (info.Choices.empty()) return std::string(value);
  std::string_view rest = info.Choices;
  while (!rest.empty()) {
    const std::size_t space = rest.find(' ');
    const std::string_view choice = rest.substr(0, space);
    if (SameName(choice, value)) return std::string(choice);
    rest = space == std::string_view::npos ? std::string_view{} : rest.substr(space + 1);
  }
  return std::string(info.DefaultText);
}

std::string_view SectionName(Section section, std::string_view qualitySection) {
  switch (section) {
    case Section::General:
      return "General";
    case Section::Locks:
      return "Locks";
    case Section::Quality:
      return qualitySection;
    case Section::Controls:
      return "Controls";
  }
  return {};
}

template <class T>
constexpr bool kIsText = std::is_same_v<std::remove_cvref_t<T>, std::string>;
template <class T>
constexpr bool kIsFlag = std::is_same_v<std::remove_cvref_t<T>, bool>;

}  // namespace

std::span<const TTRVSettingInfo> SettingsTable() { return kSettings; }

const TTRVSettingInfo* FindSetting(std::string_view key) {
  for (const TTRVSettingInfo& info : kSettings)
    if (SameName(info.Key, key)) return &info;
  return nullptr;
}

TTRVSettings::TTRVSettings() {
  RestoreDefaults();
  Mend();
  Derive();
}

void TTRVSettings::RestoreDefaults() {
  for (const TTRVSettingInfo& info : kSettings) {
    VisitField(*this, info, [&](auto& value) {
      using T = std::remove_cvref_t<decltype(value)>;
      if constexpr (kIsText<T>)
        value = std::string(info.DefaultText);
      else if constexpr (kIsFlag<T>)
        value = info.Default != 0;
      else
        value = static_cast<T>(info.Default);
    });
  }
}

void TTRVSettings::Mend() {
  for (const TTRVSettingInfo& info : kSettings) {
    VisitField(*this, info, [&](auto& value) {
      using T = std::remove_cvref_t<decltype(value)>;
      if constexpr (kIsText<T>)
        value = MendText(info, value);
      else if constexpr (kIsFlag<T>)
        value = MendInteger(info, value ? 1 : 0) != 0;
      else
        value = static_cast<T>(MendInteger(info, value));
    });
  }
}

void TTRVSettings::Derive() {
  SoundVolumeFactor = static_cast<float>(SoundVolume) / 100.0f;
  const float lod = static_cast<float>(LODdist);
  LodDistances = {0.75f * lod, lod, 1.5f * lod, 0.75f * lod};
  MapSize = 0.2f;
  MapZoom = 3.0f;
}

bool TTRVSettings::UsesCustomQuality() const { return SameName(MasterDetail, kCustom); }

void TTRVSettings::ReadFrom(const platform::IniFile& ini) {
  for (const TTRVSettingInfo& info : kSettings) {
    // MasterDetail is read first, so the quality entries below already see the new name.
    const std::string_view section = SectionName(info.Section, MasterDetail);
    VisitField(*this, info, [&](auto& value) {
      using T = std::remove_cvref_t<decltype(value)>;
      if constexpr (kIsText<T>)
        value = MendText(info, ini.ReadString(section, info.Key, info.DefaultText));
      else if constexpr (kIsFlag<T>)
        value = MendInteger(info, ini.ReadBool(section, info.Key, info.Default != 0) ? 1 : 0) != 0;
      else  // mended as an int, before narrowing to the field
        value = static_cast<T>(MendInteger(info, ini.ReadInteger(section, info.Key, info.Default)));
    });
  }
  Derive();
}

void TTRVSettings::WriteTo(platform::IniFile& ini) const {
  const bool custom = UsesCustomQuality();
  for (const TTRVSettingInfo& info : kSettings) {
    // The named presets belong to the game, not the player: only "Custom" is written.
    if (info.Section == Section::Quality && !custom) continue;
    const std::string_view section = SectionName(info.Section, kCustom);
    VisitField(*this, info, [&](const auto& value) {
      using T = std::remove_cvref_t<decltype(value)>;
      if constexpr (kIsText<T>)
        ini.WriteString(section, info.Key, MendText(info, value));
      else if constexpr (kIsFlag<T>)
        ini.WriteBool(section, info.Key, MendInteger(info, value ? 1 : 0) != 0);
      else
        ini.WriteInteger(section, info.Key, MendInteger(info, value));
    });
  }
}

bool TTRVSettings::ReadSettings(const std::filesystem::path& file) {
  std::string error;
  return ReadSettings(file, error);
}

bool TTRVSettings::ReadSettings(const std::filesystem::path& file, std::string& error) {
  platform::IniFile ini;
  const bool ok = ini.LoadFromFile(file, error);  // a failed load leaves ini empty: defaults
  ReadFrom(ini);
  return ok;
}

bool TTRVSettings::ReadSettingsBytes(std::span<const std::uint8_t> bytes) {
  platform::IniFile ini;
  ini.LoadFromBytes(bytes);
  ReadFrom(ini);
  return true;
}

bool TTRVSettings::WriteSettings(const std::filesystem::path& file, std::string& error) const {
  platform::IniFile ini;
  if (!ini.LoadFromFile(file, error)) return false;
  WriteTo(ini);
  return ini.SaveToFile(file, error);
}

void WriteDefaultPresets(platform::IniFile& ini) {
  struct Preset {
    std::string_view name;
    int TTRVSettingInfo::*column;
  };
  constexpr Preset presets[] = {{"Low", &TTRVSettingInfo::Low}, {"Medium", &TTRVSettingInfo::Default},
                                {"High", &TTRVSettingInfo::High}};
  const TTRVSettings kinds;  // only tells each row's type
  for (const Preset& preset : presets) {
    for (const TTRVSettingInfo& info : kSettings) {
      if (info.Section != Section::Quality || ini.HasKey(preset.name, info.Key)) continue;
      const int value = info.*preset.column;
      VisitField(kinds, info, [&](const auto& field) {
        using T = std::remove_cvref_t<decltype(field)>;
        if constexpr (kIsFlag<T>)
          ini.WriteBool(preset.name, info.Key, value != 0);
        else if constexpr (!kIsText<T>)
          ini.WriteInteger(preset.name, info.Key, value);
      });
    }
  }
}

// config.ini as the player meets it: defaults, detail levels, locks, mending of bad values,
// write order, round trips, and the shipped presets surviving every write.
#include "config/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/inifile.h"

namespace {

using platform::IniFile;

TTRVSettings ReadText(std::string_view text) {
  TTRVSettings settings;
  settings.ReadSettingsBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  return settings;
}

struct Quality {
  int groundTextureSize, viewDistance, impostorQuality, grassDensity, grassDistance, skyTextureSize;
  bool procedural;
  int lodDist;
  bool renderGrass;
  bool operator==(const Quality&) const = default;
};

Quality QualityOf(const TTRVSettings& s) {
  return {s.GroundTextureSize, s.ViewDistance, s.ImpostorQuality, s.GrassDensity,     s.GrassDistance,
          s.SkyTextureSize,    s.ProceduralGroundTextures,        s.LODdist,          s.RenderGrass};
}

constexpr Quality kDefaultQuality{64, 4, 64, 3, 25, 512, true, 10, true};

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("morvane-settings-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path Config() const { return dir_ / "config.ini"; }
  void WriteConfig(std::string_view text) const { std::ofstream(Config(), std::ios::binary) << text; }
  std::string ConfigText() const {
    std::ifstream in(Config(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Write(const TTRVSettings& settings) const {
    std::string error;
    ASSERT_TRUE(settings.WriteSettings(Config(), error)) << error;
  }
  TTRVSettings Read() const {
    TTRVSettings settings;
    EXPECT_TRUE(settings.ReadSettings(Config()));
    return settings;
  }

  std::filesystem::path dir_;
};

TEST_F(SettingsFile, AMissingFileGivesEveryDefault) {
  TTRVSettings s;
  s.ResolutionX = 800;
  ASSERT_TRUE(s.ReadSettings(Config()));
  EXPECT_EQ(s.MasterDetail, "Medium");
  EXPECT_EQ(s.ResolutionX, 1600);
  EXPECT_EQ(s.ResolutionY, 1200);
  EXPECT_EQ(s.Difficulty, 100);
  EXPECT_TRUE(s.FullScr);
  EXPECT_EQ(s.SoundVolume, 80);
  EXPECT_TRUE(s.AutoZoom);
  EXPECT_EQ(s.Language, "CZE");
  EXPECT_TRUE(s.MusicOn);
  EXPECT_EQ(s.Tutorial, 0);
  EXPECT_FALSE(s.LangSelected);
  EXPECT_EQ(QualityOf(s), kDefaultQuality);
  const std::vector<int> keys = {s.Acceleration, s.Break,       s.Left,         s.Right,
                                 s.Up,           s.Down,        s.Weapon1,      s.Weapon2,
                                 s.TimeAccelON,  s.TimeAccelOFF, s.Weapon3};
  EXPECT_EQ(keys, (std::vector<int>{'W', 'S', 'A', 'D', 'E', 'Q', '1', '2', 107, 109, '3'}));
  for (int u = 0; u < kUnitTypeCount; ++u)
    for (int m = 0; m < kMissionTypeCount; ++m) EXPECT_EQ(s.GameTypeLocks[u][m], u == 0 && m == 0) << u << m;
  EXPECT_FLOAT_EQ(s.SoundVolumeFactor, 0.8f);
  EXPECT_EQ(s.LodDistances, (std::array<float, 4>{7.5f, 10.0f, 15.0f, 7.5f}));
  EXPECT_FLOAT_EQ(s.MapSize, 0.2f);
  EXPECT_FLOAT_EQ(s.MapZoom, 3.0f);
}

TEST(Settings, HelicopterSuperiorityIsAlwaysAvailable) {
  const char* files[] = {
      "",
      "[General]\nLanguage=ENG\n",
      "[Locks]\nType0Game0=0\n",
      "[Locks]\nType0Game0=\n",
  };
  for (const char* file : files) {
    SCOPED_TRACE(file);
    EXPECT_TRUE(ReadText(file).GameTypeLocks[0][0]);
  }
  const TTRVSettings unlocked = ReadText("[Locks]\nType1Game2=1\ntype2game3=yes\nType0Game1=0\n");
  EXPECT_TRUE(unlocked.GameTypeLocks[1][2]);
  EXPECT_TRUE(unlocked.GameTypeLocks[2][3]);
  EXPECT_FALSE(unlocked.GameTypeLocks[0][1]);
}

TEST(Settings, QualityComesFromTheSectionMasterDetailNames) {
  const std::string presets =
      "[Low]\nGroundTextureSize=32\nViewDistance=3\nImpostorQuality=32\nGrassDensity=2\nGrassDistance=20\n"
      "SkyTextureSize=256\nProceduralGroundTextures=0\nLODdist=12\nRenderGrass=0\n"
      "[Custom]\nViewDistance=9\n";
  const Quality low{32, 3, 32, 2, 20, 256, false, 12, false};
  Quality customViewDistance = kDefaultQuality;
  customViewDistance.viewDistance = 9;
  struct Case {
    const char* masterDetail;
    Quality expected;
  };
  const Case cases[] = {
      {"Low", low},
      {"low", low},                        // section names ignore case
      {"Medium", kDefaultQuality},         // no such section: the defaults
      {"High", kDefaultQuality},
      {"Custom", customViewDistance},      // missing keys of a section take their defaults
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.masterDetail);
    const TTRVSettings s = ReadText(std::string("[General]\nMasterDetail=") + c.masterDetail + "\n" + presets);
    EXPECT_EQ(QualityOf(s), c.expected);
    EXPECT_EQ(s.MasterDetail, c.masterDetail);
  }
  EXPECT_EQ(ReadText("[General]\nLODdist=30\n[Medium]\nLODdist=20\n").LODdist, 20) << "General holds no quality";
}

// Each row: what the file says, and what the game then uses (read back through a write).
TEST(Settings, OutOfRangeValuesAreMended) {
  struct Case {
    const char* section;  // "Custom" stands for the quality section
    const char* key;
    const char* inFile;
    const char* used;
  };
  // clang-format off
  const Case cases[] = {
    {"General", "ResolutionX", "0", "640"},       {"General", "ResolutionX", "-640", "640"},
    {"General", "ResolutionX", "639", "640"},     {"General", "ResolutionX", "640", "640"},
    {"General", "ResolutionX", "100000", "16384"}, {"General", "ResolutionY", "0", "480"},
    {"General", "ResolutionY", "479", "480"},     {"General", "ResolutionY", "480", "480"},
    {"General", "ResolutionX", "wide", "1600"},    {"General", "ResolutionX", "99999999999", "1600"},
    {"General", "Difficulty", "0", "1"},           {"General", "Difficulty", "-50", "1"},
    {"General", "Difficulty", "350", "350"},
    {"General", "SoundVolume", "150", "100"},      {"General", "SoundVolume", "-10", "0"},
    {"General", "Tutorial", "300", "9"},           {"General", "Tutorial", "-1", "0"},
    {"General", "Tutorial", "9", "9"},
    {"General", "Language", "ENG", "ENG"},         {"General", "Language", "eng", "ENG"},
    {"General", "Language", "DEU", "CZE"},         {"General", "Language", "", "CZE"},
    {"General", "FullScr", "0", "0"},              {"General", "FullScr", "7", "1"},
    {"Custom", "GroundTextureSize", "8", "16"},    {"Custom", "GroundTextureSize", "4096", "1024"},
    {"Custom", "ViewDistance", "0", "1"},
    {"Custom", "ImpostorQuality", "4", "8"},       {"Custom", "ImpostorQuality", "1000", "512"},
    {"Custom", "GrassDensity", "0", "1"},          {"Custom", "GrassDensity", "300", "16"},
    {"Custom", "GrassDistance", "0", "1"},         {"Custom", "GrassDistance", "256", "100"},
    {"Custom", "GrassDistance", "45", "45"},
    {"Custom", "SkyTextureSize", "10", "64"},      {"Custom", "SkyTextureSize", "8192", "2048"},
    {"Custom", "LODdist", "0", "1"},               {"Custom", "LODdist", "-4", "1"},
    {"Controls", "Acceleration", "343", "87"},     {"Controls", "Break", "256", "0"},
    {"Controls", "Left", "-1", "255"},             {"Controls", "Right", "-2147483648", "0"},
    {"Controls", "Weapon3", "2147483647", "255"},  {"Controls", "Up", "x", "69"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key + "=" + c.inFile);
    const TTRVSettings s = ReadText(std::string("[General]\nMasterDetail=Custom\n[") + c.section + "]\n" + c.key +
                                    "=" + c.inFile + "\n");
    IniFile written;
    s.WriteTo(written);
    EXPECT_EQ(written.ReadString(c.section, c.key, "<missing>"), c.used);
  }
  EXPECT_EQ(ReadText("[General]\nMasterDetail=\n").MasterDetail, "Medium");
}

TEST(Settings, ValuesSetByTheGameAreMendedWhenWritten) {
  TTRVSettings s;
  s.ResolutionX = 0;
  s.SoundVolume = 400;
  s.Language = "xx";
  IniFile written;
  s.WriteTo(written);
  EXPECT_EQ(written.ReadString("General", "ResolutionX", ""), "640");
  EXPECT_EQ(written.ReadString("General", "SoundVolume", ""), "100");
  EXPECT_EQ(written.ReadString("General", "Language", ""), "CZE");
  s.Mend();
  EXPECT_EQ(s.ResolutionX, 640);
  EXPECT_EQ(s.SoundVolume, 100);
}

TEST_F(SettingsFile, EveryKeyIsWrittenInItsOrder) {
  TTRVSettings s;
  s.MasterDetail = "Custom";
  Write(s);
  IniFile ini;
  ini.LoadFromText(ConfigText());
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"General", "Locks", "Custom", "Controls"}));
  EXPECT_EQ(ini.KeyNames("General"),
            (std::vector<std::string>{"MasterDetail", "ResolutionX", "ResolutionY", "Difficulty", "FullScr",
                                      "SoundVolume", "AutoZoom", "Language", "MusicOn", "Tutorial",
                                      "LangSelected"}));
  EXPECT_EQ(ini.KeyNames("Locks"),
            (std::vector<std::string>{"Type0Game0", "Type0Game1", "Type0Game2", "Type0Game3", "Type1Game0",
                                      "Type1Game1", "Type1Game2", "Type1Game3", "Type2Game0", "Type2Game1",
                                      "Type2Game2", "Type2Game3"}));
  EXPECT_EQ(ini.KeyNames("Custom"),
            (std::vector<std::string>{"GroundTextureSize", "ViewDistance", "ImpostorQuality", "GrassDensity",
                                      "GrassDistance", "SkyTextureSize", "ProceduralGroundTextures", "LODdist",
                                      "RenderGrass"}));
  EXPECT_EQ(ini.KeyNames("Controls"),
            (std::vector<std::string>{"Acceleration", "Break", "Left", "Right", "Up", "Down", "Weapon1",
                                      "Weapon2", "TimeAccelON", "TimeAccelOFF", "Weapon3"}));
  EXPECT_EQ(ini.ReadString("General", "FullScr", ""), "1") << "booleans are written as 1 and 0";
  EXPECT_EQ(ini.ReadString("General", "LangSelected", ""), "0");
}

TEST_F(SettingsFile, EveryValueSurvivesAWriteAndARead) {
  TTRVSettings s;
  s.MasterDetail = "Custom";
  s.ResolutionX = 1024;
  s.ResolutionY = 768;
  s.Difficulty = 250;
  s.FullScr = false;
  s.SoundVolume = 30;
  s.AutoZoom = false;
  s.Language = "ENG";
  s.MusicOn = false;
  s.Tutorial = 9;
  s.LangSelected = true;
  for (int u = 0; u < kUnitTypeCount; ++u)
    for (int m = 0; m < kMissionTypeCount; ++m) s.GameTypeLocks[u][m] = (u + m) % 2 == 0;
  s.GroundTextureSize = 256;
  s.ViewDistance = 12;
  s.ImpostorQuality = 128;
  s.GrassDensity = 5;
  s.GrassDistance = 45;
  s.SkyTextureSize = 1024;
  s.ProceduralGroundTextures = false;
  s.LODdist = 32;
  s.RenderGrass = false;
  std::uint8_t code = 200;
  for (std::uint8_t* key : {&s.Acceleration, &s.Break, &s.Left, &s.Right, &s.Up, &s.Down, &s.Weapon1, &s.Weapon2,
                            &s.TimeAccelON, &s.TimeAccelOFF, &s.Weapon3})
    *key = code++;
  Write(s);
  const TTRVSettings r = Read();

  EXPECT_EQ(r.MasterDetail, "Custom");
  EXPECT_EQ(r.ResolutionX, 1024);
  EXPECT_EQ(r.ResolutionY, 768);
  EXPECT_EQ(r.Difficulty, 250);
  EXPECT_FALSE(r.FullScr);
  EXPECT_EQ(r.SoundVolume, 30);
  EXPECT_FLOAT_EQ(r.SoundVolumeFactor, 0.3f);
  EXPECT_FALSE(r.AutoZoom);
  EXPECT_EQ(r.Language, "ENG");
  EXPECT_FALSE(r.MusicOn);
  EXPECT_EQ(r.Tutorial, 9);
  EXPECT_TRUE(r.LangSelected);
  for (int u = 0; u < kUnitTypeCount; ++u)
    for (int m = 0; m < kMissionTypeCount; ++m) EXPECT_EQ(r.GameTypeLocks[u][m], (u + m) % 2 == 0) << u << m;
  EXPECT_EQ(QualityOf(r), (Quality{256, 12, 128, 5, 45, 1024, false, 32, false}));
  EXPECT_EQ(r.LodDistances, (std::array<float, 4>{24.0f, 32.0f, 48.0f, 24.0f}));
  const std::vector<int> keys = {r.Acceleration, r.Break,        r.Left,   r.Right, r.Up, r.Down, r.Weapon1,
                                 r.Weapon2,      r.TimeAccelON, r.TimeAccelOFF, r.Weapon3};
  EXPECT_EQ(keys, (std::vector<int>{200, 201, 202, 203, 204, 205, 206, 207, 208, 209, 210}));
}

TEST_F(SettingsFile, PresetsAndForeignLinesSurviveAWrite) {
  IniFile shipped;
  WriteDefaultPresets(shipped);
  const std::string presets = shipped.ToText();
  WriteConfig("; player's notes\n" + presets + "\n[Mods]\nNightVision=1\n");
  TTRVSettings s = Read();
  s.Language = "ENG";
  s.MasterDetail = "High";
  Write(s);
  const std::string after = ConfigText();
  EXPECT_EQ(after.rfind("; player's notes\n" + presets + "\n[Mods]\nNightVision=1\n", 0), 0u) << after;

  IniFile ini;
  ini.LoadFromText(after);
  EXPECT_EQ(ini.SectionNames(),
            (std::vector<std::string>{"Low", "Medium", "High", "Mods", "General", "Locks", "Controls"}));
  EXPECT_EQ(Read().Language, "ENG");
}

TEST_F(SettingsFile, AQualityChangeUnderANamedLevelIsLostAtTheNextRead) {
  IniFile shipped;
  WriteDefaultPresets(shipped);
  WriteConfig(shipped.ToText() + "[General]\nMasterDetail=Low\n");
  TTRVSettings s = Read();
  const int lowViewDistance = s.ViewDistance;
  ASSERT_NE(lowViewDistance, 12);
  s.ViewDistance = 12;
  Write(s);
  EXPECT_EQ(Read().ViewDistance, lowViewDistance);
  IniFile ini;
  ini.LoadFromText(ConfigText());
  EXPECT_FALSE(ini.HasSection("Custom"));

  s.MasterDetail = "Custom";  // the video dialog's Accept
  Write(s);
  EXPECT_EQ(Read().ViewDistance, 12);
  s.MasterDetail = "Low";  // back to a named level: Custom stays in the file for later
  Write(s);
  EXPECT_EQ(Read().ViewDistance, lowViewDistance);
  s.MasterDetail = "Custom";
  Write(s);
  EXPECT_EQ(Read().ViewDistance, 12);
}

TEST_F(SettingsFile, ReadingAgainDiscardsChangesNotWritten) {
  TTRVSettings s;
  s.ResolutionX = 1280;
  s.ResolutionY = 1024;
  Write(s);
  s.ResolutionX = 800;  // the options dialog changes the engine's fields, then Cancel
  s.ResolutionY = 600;
  ASSERT_TRUE(s.ReadSettings(Config()));
  EXPECT_EQ(s.ResolutionX, 1280);
  EXPECT_EQ(s.ResolutionY, 1024);
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsNeitherTrustedNorOverwritten) {
  std::filesystem::create_directories(Config() / "keep");
  TTRVSettings s;
  s.ResolutionX = 800;
  std::string error;
  EXPECT_FALSE(s.ReadSettings(Config(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(s.ResolutionX, 1600) << "the defaults, not what was there";
  error.clear();
  EXPECT_FALSE(s.WriteSettings(Config(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::exists(Config() / "keep"));
}

TEST(Settings, ShippedPresetsAreWithinRangeAndMediumIsTheDefault) {
  IniFile ini;
  WriteDefaultPresets(ini);
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Low", "Medium", "High"}));
  const auto read = [&](const char* level) {
    IniFile withLevel = ini;
    withLevel.WriteString("General", "MasterDetail", level);
    TTRVSettings s;
    s.ReadFrom(withLevel);
    // Written back as Custom, every value must be what the level says: nothing was mended.
    s.MasterDetail = "Custom";
    IniFile back;
    s.WriteTo(back);
    for (const std::string& key : ini.KeyNames(level))
      EXPECT_EQ(back.ReadString("Custom", key, ""), ini.ReadString(level, key, "")) << level << " " << key;
    return QualityOf(s);
  };
  EXPECT_EQ(read("Medium"), kDefaultQuality);
  const Quality low = read("Low"), high = read("High");
  EXPECT_EQ(low, (Quality{32, 3, 32, 2, 20, 256, false, 10, false}));
  EXPECT_EQ(high, (Quality{128, 6, 128, 4, 35, 1024, true, 16, true}));
  EXPECT_EQ(ini.KeyNames("Low").size(), 9u);

  IniFile edited;
  edited.LoadFromText("[Low]\nViewDistance=5\n");
  WriteDefaultPresets(edited);
  EXPECT_EQ(edited.ReadInteger("Low", "ViewDistance", 0), 5) << "a player's edit is kept";
  EXPECT_EQ(edited.KeyNames("Low").size(), 9u);
}

TEST(Settings, TheTableNamesEveryKeyOnceWithItsDefaultInRange) {
  std::vector<std::string> seen;
  for (const TTRVSettingInfo& info : SettingsTable()) {
    SCOPED_TRACE(std::string(info.Key));
    EXPECT_EQ(FindSetting(info.Key), &info);
    EXPECT_LE(info.Min, info.Max);
    if (info.DefaultText.empty()) {
      EXPECT_TRUE(info.Default >= info.Min && info.Default <= info.Max);
    }
  }
  EXPECT_EQ(SettingsTable().size(), 11u + 12u + 9u + 11u);
  EXPECT_EQ(FindSetting("lodDIST"), FindSetting("LODdist"));
  EXPECT_EQ(FindSetting("Nope"), nullptr);
}

}  // namespace

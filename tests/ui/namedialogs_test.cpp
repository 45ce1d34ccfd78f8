// The name entry, the save details and the world details without a window: a refused name
// keeps the dialog with the mode's message, an existing one asks first and No gives the name
// back; the details show "- - -" for what is not known; a world's size, date and thumbnail.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/fonts.h"
#include "ui/datetext.h"
#include "ui/inputdialog.h"
#include "ui/loadgamedata.h"
#include "ui/worlddata.h"

namespace {

namespace fs = std::filesystem;
using ui::TInputMode;

TEST(FormInput, ANameIsCheckedThenAskedAboutThenAccepted) {
  struct Case {
    const char* what;
    TInputMode mode;
    TTRVLanguage language;
    std::string typed;
    bool exists;
    std::string message;   // shown under the field, the dialog staying
    std::string question;  // the overwrite question, when asked
    bool accepted;
  } cases[] = {
      {"nothing typed", TInputMode::SaveGame, TTRVLanguage::English, "", false, "", "", false},
      {"a new save", TInputMode::SaveGame, TTRVLanguage::English, "My game", false, "", "", true},
      {"outside the folder", TInputMode::SaveGame, TTRVLanguage::English, "../x", false, "Save not successful !!!", "",
       false},
      {"a file of the game's", TInputMode::SaveGame, TTRVLanguage::English, "config.ini", true,
       "Save not successful !!!", "", false},
      {"the game's own save", TInputMode::SaveCamp, TTRVLanguage::Czech, "AutoSave", true,
       "Ukládání bylo neúspěšné !!!", "", false},
      {"a campaign's world name", TInputMode::NewSkirmishWorld, TTRVLanguage::English, "Island_7", false,
       "Invalid world name !!!", "", false},
      {"a campaign name with a slash", TInputMode::NewCamp, TTRVLanguage::English, "a/b", false,
       "Invalid campaign name !!!", "", false},
      {"an existing save", TInputMode::SaveGame, TTRVLanguage::English, "My game", true, "",
       "Saved game 'My game' already exists. Do you want to overwrite it?", false},
      {"an existing save in Czech", TInputMode::SaveGame, TTRVLanguage::Czech, "Žlutý ostrov", true, "",
       "Uložená pozice pod názvem 'Žlutý ostrov' již existuje. Chcete ji přepsat?", false},
      {"an existing world", TInputMode::NewSkirmishWorld, TTRVLanguage::Czech, "Sever", true, "",
       "Ostrov pod názvem 'Sever' již existuje. Chcete ho přepsat?", false},
      {"an existing campaign", TInputMode::NewCamp, TTRVLanguage::English, "War", true, "",
       "Campaign 'War' already exists. Do you want to overwrite it?", false},
  };
  platform::FontCache fonts;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui::TFormInput dialog(fonts);
    std::vector<std::string> asked, accepted;
    dialog.Exists = [&](const std::string& name) {
      asked.push_back(name);
      return c.exists;
    };
    dialog.OnAccept = [&](const std::string& name) { accepted.push_back(name); };
    dialog.Open(c.mode, c.typed, c.language);
    dialog.SubmitName();
    EXPECT_EQ(dialog.LabelMessage().Caption(), c.message);
    EXPECT_EQ(dialog.Asking(), !c.question.empty());
    EXPECT_EQ(dialog.Name(), c.typed) << "the name stays as typed";
    EXPECT_EQ(accepted, c.accepted ? std::vector<std::string>{c.typed} : std::vector<std::string>{});
    if (!c.message.empty()) {
      EXPECT_TRUE(asked.empty()) << "a refused name is not looked for on disk";
    }
    if (c.question.empty()) {
      EXPECT_TRUE(dialog.EditName().Visible());
      EXPECT_TRUE(dialog.PanelOK().Visible());
      EXPECT_FALSE(dialog.PanelYes().Visible());
      continue;
    }
    EXPECT_EQ(dialog.LabelQuestion().Caption(), c.question);
    EXPECT_FALSE(dialog.EditName().Visible());
    EXPECT_FALSE(dialog.PanelOK().Visible());
    EXPECT_TRUE(dialog.PanelYes().Visible());
    EXPECT_TRUE(dialog.PanelNo().Visible());
    // No: back to the field with the name kept, nothing written.
    dialog.PanelNo().OnClick(dialog.PanelNo());
    EXPECT_FALSE(dialog.Asking());
    EXPECT_TRUE(dialog.EditName().Visible());
    EXPECT_TRUE(dialog.PanelOK().Visible());
    EXPECT_EQ(dialog.Name(), c.typed);
    EXPECT_TRUE(accepted.empty());
    // Asked again, Yes takes the name.
    dialog.SubmitName();
    ASSERT_TRUE(dialog.Asking());
    dialog.PanelYes().OnClick(dialog.PanelYes());
    EXPECT_EQ(accepted, std::vector<std::string>{c.typed});
  }
}

TEST(FormInput, TheFieldTakesSixtyFourCharactersAndAFreshOpenForgetsTheMessage) {
  platform::FontCache fonts;
  ui::TFormInput dialog(fonts);
  dialog.Open(TInputMode::SaveGame, std::string(70, 'a'), TTRVLanguage::English);
  EXPECT_EQ(dialog.Name(), std::string(64, 'a'));
  dialog.Open(TInputMode::SaveGame, ".x", TTRVLanguage::English);
  dialog.SubmitName();
  EXPECT_FALSE(dialog.LabelMessage().Caption().empty());
  dialog.Open(TInputMode::SaveGame, "", TTRVLanguage::English);
  EXPECT_EQ(dialog.LabelMessage().Caption(), "");
  EXPECT_EQ(dialog.LabelPrompt().Caption(), "Enter file name");
}

TEST(DateTimeText, DaysSinceTheEndOf1899AsDayMonthYearAndTime) {
  const std::pair<double, std::string> cases[] = {
      {46367.711909722224, "11.12.2026 17:05:09"},
      {36585.99998842592, "29.2.2000 23:59:59"},
      {0, "30.12.1899 00:00:00"},
      {25569.5, "1.1.1970 12:00:00"},
      {-1.25, "28.12.1899 18:00:00"},
      {36585.999999, "1.3.2000 00:00:00"},  // rounds to the next day, never "24:00:00"
      {std::numeric_limits<double>::quiet_NaN(), ""},
      {std::numeric_limits<double>::infinity(), ""},
      {1e300, ""},
      {-1e9, ""},
  };
  for (const auto& [days, text] : cases) EXPECT_EQ(ui::DateTimeText(days), text) << days;
}

TEST(FormLoadGameData, TheDetailsOfASaveAndDashesForWhatIsNotKnown) {
  const std::string none = "- - -";
  TTRVExtractLoadGameData skirmish;
  skirmish.valid = true;
  skirmish.worldName = "Tutorial";
  skirmish.playerUnitType = 1;
  skirmish.missionType = 2;
  skirmish.sideCount = 3;
  skirmish.allies = 7;
  skirmish.enemies = 12;
  skirmish.savedAt = 46367.711909722224;
  TTRVExtractLoadGameData inCampaign = skirmish;
  inCampaign.campaignName = "War";
  TTRVExtractLoadGameData between;
  between.valid = true;
  between.campaignSave = true;
  between.campaignName = "War";
  between.savedAt = 46367.5;
  TTRVExtractLoadGameData odd = skirmish;
  odd.playerUnitType = 9;
  odd.campaignName = "- - -";
  TTRVExtractLoadGameData unreadable = skirmish;
  unreadable.valid = false;

  using V = std::vector<std::string>;  // world, campaign, unit, game type, sides, allies, enemies, saved
  struct Case {
    const char* what;
    const TTRVExtractLoadGameData* save;
    std::string gameType;
    TTRVLanguage language;
    V shown;
  } cases[] = {
      {"nothing highlighted", nullptr, "", TTRVLanguage::English, V(8, none)},
      {"unreadable", &unreadable, "Ground defence", TTRVLanguage::English, V(8, none)},
      {"a skirmish", &skirmish, "Ground defence", TTRVLanguage::English,
       V{"Tutorial", none, "Tank", "Ground defence", "3", "7", "12", "11.12.2026 17:05:09"}},
      {"a campaign's game", &inCampaign, "Pozemní obrana", TTRVLanguage::Czech,
       V{"Tutorial", "War", "Tank", "Pozemní obrana", "3", "7", "12", "11.12.2026 17:05:09"}},
      {"between a campaign's games", &between, "", TTRVLanguage::English,
       V{none, "War", none, none, none, none, none, "11.12.2026 12:00:00"}},
      {"an unknown unit type", &odd, "", TTRVLanguage::English,
       V{"Tutorial", none, none, none, "3", "7", "12", "11.12.2026 17:05:09"}},
  };
  platform::FontCache fonts;
  ui::TFormLoadGameData dialog(fonts);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialog.ShowSave(c.save, c.gameType, c.language);
    EXPECT_EQ((V{dialog.LabelWorld().Caption(), dialog.LabelCampaign().Caption(), dialog.LabelUnitType().Caption(),
                 dialog.LabelGameType().Caption(), dialog.LabelSides().Caption(), dialog.LabelAllies().Caption(),
                 dialog.LabelEnemies().Caption(), dialog.LabelSaved().Caption()}),
              c.shown);
  }
  TTRVExtractLoadGameData boat = skirmish;
  boat.playerUnitType = 2;
  dialog.ShowSave(&boat, "", TTRVLanguage::Czech);
  EXPECT_EQ(dialog.LabelUnitType().Caption(), "Loď");
}

class WorldData : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("morvane-worlddata-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    platform::Bitmap thumb(64, 32);
    std::string error;
    ASSERT_TRUE(thumb.SaveBmp((folder_ / "ThumbTHUMB.bmp").string(), error)) << error;
    std::ofstream(folder_ / "BrokenTHUMB.bmp") << "BM not a picture";
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(WorldData, AWorldsSizeBasesDateAndThumbnailOrDashesForNone) {
  struct Case {
    const char* what;
    bool valid;
    int x, z, bases;
    const char* thumb;
    int result;
    std::string size;
    std::optional<std::pair<int, int>> picture;  // the thumbnail's size, when shown
  } cases[] = {
      {"no such world", false, 0, 0, 0, "ThumbTHUMB.bmp", -1, "- - -", std::nullopt},
      {"20 x 10", true, 20, 10, 4, "ThumbTHUMB.bmp", 4, "20 x 10", std::pair{273, 136}},
      {"10 x 20", true, 10, 20, 2, "ThumbTHUMB.bmp", 2, "10 x 20", std::pair{136, 273}},
      {"square", true, 16, 16, 9, "ThumbTHUMB.bmp", 9, "16 x 16", std::pair{273, 273}},
      {"3 x 8", true, 3, 8, 1, "ThumbTHUMB.bmp", 1, "3 x 8", std::pair{102, 273}},
      {"no thumbnail file", true, 20, 10, 4, "MissingTHUMB.bmp", 4, "20 x 10", std::nullopt},
      {"an unreadable thumbnail", true, 20, 10, 4, "BrokenTHUMB.bmp", 4, "20 x 10", std::nullopt},
      {"no sectors is no world", true, 0, 10, 4, "ThumbTHUMB.bmp", -1, "- - -", std::nullopt},
      {"nor is a negative size", true, 12, -3, 4, "ThumbTHUMB.bmp", -1, "- - -", std::nullopt},
  };
  platform::FontCache fonts;
  ui::TFormWorldData dialog(fonts);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVExtractWorldData world;
    world.valid = c.valid;
    world.name = "Sever";
    world.sectorsX = c.x;
    world.sectorsZ = c.z;
    world.baseCount = c.bases;
    world.createdAt = 46367.711909722224;
    EXPECT_EQ(dialog.ShowWorld(world, folder_ / c.thumb, TTRVLanguage::English), c.result);
    EXPECT_EQ(dialog.LabelSize().Caption(), c.size);
    if (c.result < 0) {
      for (auto* label : {&dialog.LabelName(), &dialog.LabelCreated(), &dialog.LabelNOfBases()})
        EXPECT_EQ(label->Caption(), "- - -");
    } else {
      EXPECT_EQ(dialog.LabelName().Caption(), "Sever");
      EXPECT_EQ(dialog.LabelNOfBases().Caption(), std::to_string(c.bases));
      EXPECT_EQ(dialog.LabelCreated().Caption(), "11.12.2026 17:05:09");
    }
    const platform::widgets::TImage& thumb = dialog.ImageThumb();
    EXPECT_EQ(thumb.Visible(), c.picture.has_value());
    if (!c.picture) continue;
    EXPECT_EQ(thumb.Width(), c.picture->first);
    EXPECT_EQ(thumb.Height(), c.picture->second);
    // Centred, and the whole picture inside the frame that holds it.
    const platform::widgets::TWidget& frame = *thumb.Parent();
    EXPECT_GE(thumb.Left(), 0);
    EXPECT_GE(thumb.Top(), 0);
    EXPECT_LE(thumb.Left() + thumb.Width(), frame.Width());
    EXPECT_LE(thumb.Top() + thumb.Height(), frame.Height());
    EXPECT_LE(std::abs(thumb.Left() * 2 + thumb.Width() - frame.Width()), 1);
  }
}

TEST_F(WorldData, TheCampaignWorldsSwitchFlipsShowsItsTickAndAsksForTheListAgain) {
  platform::FontCache fonts;
  ui::TFormWorldData dialog(fonts);
  int rebuilt = 0;
  dialog.OnIncludeChanged = [&] { ++rebuilt; };
  EXPECT_FALSE(dialog.IncludeCampaignWorlds());
  EXPECT_FALSE(dialog.ImageInclCamp().Visible());
  for (bool on : {true, false, true}) {
    dialog.PanelInclCamp().OnClick(dialog.PanelInclCamp());
    EXPECT_EQ(dialog.IncludeCampaignWorlds(), on);
    EXPECT_EQ(dialog.ImageInclCamp().Visible(), on);
  }
  EXPECT_EQ(rebuilt, 3);
  dialog.ImageInclCamp().OnClick(dialog.ImageInclCamp());
  EXPECT_FALSE(dialog.IncludeCampaignWorlds()) << "the tick itself is part of the switch";
}

}  // namespace

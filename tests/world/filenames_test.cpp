// The names a player may give saves, worlds and campaigns: what is refused and what is not,
// checked as names alone (no file may appear or vanish while checking).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "world/filenames.h"

namespace {

struct NameCase {
  std::string name;
  bool save, world, campaign;  // allowed as a save's, a world's, a campaign's name
};

std::string Repeat(const std::string& piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

TEST(NameFault, TheNamesAPlayerMayGive) {
  const NameCase cases[] = {
      {"My game", true, true, true},
      {"Island_51", true, true, true},
      {"Žlutý ostrov", true, true, true},
      {"bitva-2 _u_ řeky", true, true, true},
      {"Island_7", true, false, true},  // a campaign's world would be hidden and later deleted
      {"Island_0", true, false, true},
      {"Island_50", true, false, true},
      {"Island_", true, true, true},
      {"AutoSave", false, true, true},  // the game's own saves
      {"TempSave", false, true, true},
      {"autosave", true, true, true},
      {"", false, false, false},
      {"../x", false, false, false},
      {"a/b", false, false, false},
      {"a\\b", false, false, false},
      {"config.ini", false, false, false},
      {"Screenshot.bmp", false, false, false},
      {".hidden", false, false, false},
      {"trail.", false, false, false},
      {" lead", false, false, false},
      {"trail ", false, false, false},
      {"tab\there", false, false, false},
      {"a:b", false, false, false},
      {"semi;colon", false, false, false},
      {"it's", false, false, false},
      {"mult×sign", false, false, false},
      {Repeat("a", 64), true, true, true},
      {Repeat("a", 65), false, false, false},
      {Repeat("ž", 64), true, true, true},  // counted as characters, not bytes
      {Repeat("ž", 65), false, false, false},
      {std::string("bad\xC3", 4), false, false, false},          // cut sequence
      {std::string("bad\xC0\xAF", 5), false, false, false},      // overlong "/"
      {std::string("bad\xED\xA0\x80", 6), false, false, false},  // a lone surrogate
      {std::string("bad\xFF", 4), false, false, false},
      {std::string("nul\0x", 5), false, false, false},
      {"日本", false, false, false},  // letters the game's files cannot store
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE("\"" + c.name + "\"");
    EXPECT_EQ(NameFault(c.name, TTRVNameKind::Save).empty(), c.save);
    EXPECT_EQ(NameFault(c.name, TTRVNameKind::World).empty(), c.world);
    EXPECT_EQ(NameFault(c.name, TTRVNameKind::Campaign).empty(), c.campaign);
  }
}

TEST(NameFault, CheckingANameMakesAndRemovesNoFile) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("morvane-names-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  std::ofstream("config.ini") << "[General]\n";
  for (const char* name : {"config.ini", "new name", "../x", "x"}) NameFault(name, TTRVNameKind::Save);
  std::vector<std::string> left;
  for (const fs::directory_entry& e : fs::directory_iterator(folder)) left.push_back(e.path().filename().string());
  fs::current_path(previous);
  fs::remove_all(folder);
  EXPECT_EQ(left, std::vector<std::string>{"config.ini"});
}

TEST(CampaignWorldName, OnlyAnUnderscoreAndANumberFromZeroToFifty) {
  const std::pair<const char*, bool> cases[] = {
      {"Island_7", true},   {"Island_0", true},  {"Island_50", true}, {"Island_51", false},
      {"Island_07", true},  {"Island_", false},  {"Island7", false},  {"Island_-1", false},
      {"Island_100", false}, {"_5", true},       {"Island_5a", false}, {"", false},
  };
  for (const auto& [name, campaign] : cases) EXPECT_EQ(IsCampaignWorldName(name), campaign) << name;
}

}  // namespace

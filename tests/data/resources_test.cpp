// The hand-written resources in data/ as the game reads them: the game-type and lesson texts
// sit in the blocks the engine copies by index, every tip fits the loading dialog, every line
// survives the trip to Windows-1250, every caption record names a real panel or label of a
// real dialog (and every designed caption has one), and the shipped config.ini holds the same
// detail levels the engine writes itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "platform/fonts.h"
#include "platform/inifile.h"
#include "platform/widgets/canvas.h"
#include "platform/widgets/controls.h"
#include "config/settings.h"
#include "tests/support/source.h"
#include "ui/createworlddialog.h"
#include "ui/creditsdialog.h"
#include "ui/decidedialogs.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/gameoverdialog.h"
#include "ui/inputdialog.h"
#include "ui/loadgamedata.h"
#include "ui/loadingdialog.h"
#include "ui/mainmenu.h"
#include "ui/selectiondialog.h"
#include "ui/tipsdialog.h"
#include "ui/tutorialdialog.h"
#include "ui/worlddata.h"

namespace {

namespace fs = std::filesystem;
using platform::widgets::TForm;
using platform::widgets::TLabel;
using platform::widgets::TPanel;
using platform::widgets::TWidget;

// The repository's data folder, found from this file: tests/data/ -> data/.
fs::path DataDir() { return testsupport::RepositoryFolder(__FILE__) / "data"; }

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Lines as the game splits them: '\n' ends a line, a '\r' before it is not part of it, and a
// final line break does not start another line.
std::vector<std::string> ReadLines(const fs::path& file) {
  std::vector<std::string> lines;
  std::istringstream in(ReadText(file));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Czech prose nearly always carries a háček or an acute somewhere.
bool HasCzechLetter(const std::string& s) {
  static const char* const kLetters[] = {"á", "č", "ď", "é", "ě", "í", "ň", "ó", "ř", "š",
                                         "ť", "ú", "ů", "ý", "ž", "Á", "Č", "Ď", "É", "Ě",
                                         "Í", "Ň", "Ó", "Ř", "Š", "Ť", "Ú", "Ů", "Ý", "Ž"};
  for (const char* letter : kLetters)
    if (s.find(letter) != std::string::npos) return true;
  return false;
}

TEST(GameTypesText, HasSixtyFourFilledLinesInTheBlocksTheEngineCopies) {
  const std::vector<std::string> lines = ReadLines(DataDir() / "GameTypes.txt");
  ASSERT_EQ(lines.size(), 64u);
  struct Block {
    const char* what;
    int first, count;
    bool czech;
  };
  const Block blocks[] = {
      {"game type explanations (English)", 0, 12, false}, {"game type explanations (Czech)", 12, 12, true},
      {"lesson captions (English)", 24, 10, false},       {"lesson descriptions (English)", 34, 10, false},
      {"lesson captions (Czech)", 44, 10, true},          {"lesson descriptions (Czech)", 54, 10, true},
  };
  for (const Block& b : blocks)
    for (int i = b.first; i < b.first + b.count; ++i) {
      const std::string& line = lines[i];
      EXPECT_FALSE(line.empty()) << "line " << i << " of the " << b.what;
      EXPECT_EQ(line.find_first_not_of(' '), 0u) << "line " << i << " starts with a space";
      EXPECT_NE(line.back(), ' ') << "line " << i << " ends with a space";
      if (b.czech) {
        EXPECT_TRUE(HasCzechLetter(line)) << "line " << i << " should be Czech (" << b.what << "): " << line;
      } else {
        EXPECT_TRUE(IsAscii(line)) << "line " << i << " should be English (" << b.what << "): " << line;
      }
    }
  // A caption is one button's worth of text; a description is a sentence or more.
  for (int i = 0; i < 10; ++i) {
    EXPECT_LT(lines[24 + i].size(), 40u) << "English caption " << i;
    EXPECT_LT(lines[44 + i].size(), 48u) << "Czech caption " << i;
    EXPECT_GT(lines[34 + i].size(), lines[24 + i].size()) << "English description " << i;
    EXPECT_GT(lines[54 + i].size(), lines[44 + i].size()) << "Czech description " << i;
  }
}

TEST(TipsText, BothLanguagesHaveTheSameTipsAndEnoughOfThem) {
  const std::vector<std::string> english = ReadLines(DataDir() / "TipsENG.txt");
  const std::vector<std::string> czech = ReadLines(DataDir() / "TipsCZE.txt");
  // Lines 0..14 explain the screen symbols by index, so a tip missing in one language would
  // put every later explanation under the wrong symbol.
  EXPECT_GE(english.size(), 30u);
  EXPECT_EQ(czech.size(), english.size());
  for (std::size_t i = 0; i < english.size(); ++i) {
    EXPECT_FALSE(english[i].empty()) << "English tip " << i;
    EXPECT_TRUE(IsAscii(english[i])) << "English tip " << i << ": " << english[i];
  }
  for (std::size_t i = 0; i < czech.size(); ++i)
    EXPECT_TRUE(HasCzechLetter(czech[i])) << "Czech tip " << i << ": " << czech[i];
}

TEST(TipsText, EveryTipFitsTheLoadingDialogsTipArea) {
  platform::FontCache fonts;
  ASSERT_TRUE(fonts.Ready()) << fonts.Error();
  ui::TFormLoading loading(fonts);
  const TLabel& area = loading.LabelTip();
  const int lineHeight = fonts.TextHeight("", area.Font().size, area.Font().bold);
  ASSERT_GT(lineHeight, 0);
  const int fitting = area.Height() / lineHeight;
  for (const char* file : {"TipsENG.txt", "TipsCZE.txt"}) {
    const std::vector<std::string> tips = ReadLines(DataDir() / file);
    for (std::size_t i = 0; i < tips.size(); ++i) {
      const auto wrapped = platform::widgets::WrapText(fonts, tips[i], area.Font(), area.Width());
      EXPECT_LE(static_cast<int>(wrapped.size()), fitting) << file << " tip " << i << " is cut off: " << tips[i];
    }
  }
}

// Every text file the build converts (data/*.txt) loses nothing on the way to Windows-1250.
TEST(TextResources, EveryLineSurvivesTheTripToWindows1250) {
  int files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(DataDir())) {
    if (entry.path().extension() != ".txt") continue;
    ++files;
    const std::vector<std::string> lines = ReadLines(entry.path());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string stored = platform::Utf8ToCp1250(lines[i]);
      EXPECT_EQ(platform::Cp1250ToUtf8(stored), lines[i]) << entry.path().filename() << " line " << i;
    }
  }
  EXPECT_GE(files, 5) << "Texts, GameTypes, two tips files and Sounds";
}

struct TextRecord {
  int line = 0;  // where it starts in Texts.txt, from 0
  std::vector<std::string> fields;
};

// Records are runs of lines between "***" lines.
std::vector<TextRecord> ParseTexts(const std::vector<std::string>& lines) {
  std::vector<TextRecord> records;
  TextRecord current;
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    if (i == lines.size() || lines[i] == "***") {
      if (!current.fields.empty()) records.push_back(current);
      current = TextRecord{static_cast<int>(i) + 1, {}};
    } else {
      current.fields.push_back(lines[i]);
    }
  }
  return records;
}

class DialogTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    forms_.push_back(std::make_unique<ui::TFormMainMenu>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormGameMenu>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormLoading>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormSelection>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormLoadGameData>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormInput>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormSkirmishDecide>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormCreateWorld>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormGameOver>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormWorldData>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormCampDecide>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormError>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormTips>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormCredits>(fonts_));
    forms_.push_back(std::make_unique<ui::TFormTutorial>(fonts_));
    for (const auto& form : forms_) byName_[form->Name()] = form.get();
    records_ = ParseTexts(ReadLines(DataDir() / "Texts.txt"));
  }

  static const std::string* CaptionOf(const TWidget& w) {
    if (auto* panel = dynamic_cast<const TPanel*>(&w)) return &panel->Caption();
    if (auto* label = dynamic_cast<const TLabel*>(&w)) return &label->Caption();
    if (auto* group = dynamic_cast<const platform::widgets::TGroupBox*>(&w)) return &group->Caption();
    return nullptr;
  }

  platform::FontCache fonts_;
  std::vector<std::unique_ptr<TForm>> forms_;
  std::map<std::string, TForm*> byName_;
  std::vector<TextRecord> records_;
};

TEST_F(DialogTexts, EveryRecordNamesACaptionedComponentOfADialog) {
  ASSERT_FALSE(records_.empty());
  for (const TextRecord& r : records_) {
    SCOPED_TRACE("Texts.txt line " + std::to_string(r.line + 1));
    ASSERT_TRUE(r.fields.size() == 4 || r.fields.size() == 6)
        << "a record is dialog, component, two captions and maybe two hints; got " << r.fields.size() << " lines";
    const auto form = byName_.find(r.fields[0]);
    ASSERT_NE(form, byName_.end()) << "no dialog named " << r.fields[0] << " (a new dialog belongs in this test)";
    const TWidget* component = form->second->FindComponent(r.fields[1]);
    ASSERT_NE(component, nullptr) << r.fields[0] << " has no component " << r.fields[1];
    EXPECT_NE(CaptionOf(*component), nullptr) << r.fields[1] << ": only panels, labels and group boxes take captions";
    EXPECT_FALSE(r.fields[2].empty()) << "English caption";
    EXPECT_FALSE(r.fields[3].empty()) << "Czech caption";
    // The game reads the two lines after the captions as the hints of a component that shows
    // one, so such a component without them would show the separator; hints of one that does
    // not would never be seen.
    EXPECT_EQ(r.fields.size(), component->ShowHint ? 6u : 4u) << r.fields[1];
    if (r.fields.size() == 6) {
      EXPECT_TRUE(IsAscii(r.fields[4])) << "English hint";
      EXPECT_TRUE(HasCzechLetter(r.fields[5])) << "Czech hint: " << r.fields[5];
    }
  }
}

TEST_F(DialogTexts, EveryDesignedCaptionHasARecord) {
  std::set<std::pair<std::string, std::string>> recorded;
  for (const TextRecord& r : records_)
    if (r.fields.size() >= 2) recorded.insert({r.fields[0], r.fields[1]});
  for (const auto& form : forms_)
    for (const TWidget* w : form->Components()) {
      const std::string* caption = CaptionOf(*w);
      if (caption == nullptr || caption->empty()) continue;
      EXPECT_TRUE(recorded.count({form->Name(), w->Name()}))
          << form->Name() << "." << w->Name() << " (\"" << *caption << "\") has no Czech caption in Texts.txt";
    }
}

// Both languages' captions fit the components the dialogs give them (a Czech word is often
// longer than its English one).
TEST_F(DialogTexts, EveryCaptionFitsItsComponentInBothLanguages) {
  ASSERT_TRUE(fonts_.Ready()) << fonts_.Error();
  for (const TextRecord& r : records_) {
    if (r.fields.size() < 4) continue;
    const auto form = byName_.find(r.fields[0]);
    if (form == byName_.end()) continue;
    const TWidget* w = form->second->FindComponent(r.fields[1]);
    platform::widgets::TFont font;
    if (auto* panel = dynamic_cast<const TPanel*>(w)) {
      font = panel->Font();
    } else if (auto* label = dynamic_cast<const TLabel*>(w); label && !label->AutoSize() && !label->WordWrap()) {
      font = label->Font();
    } else {
      continue;
    }
    for (int language : {2, 3})
      EXPECT_LE(fonts_.TextWidth(r.fields[language], font.size, font.bold), w->Width())
          << r.fields[0] << "." << r.fields[1] << ": \"" << r.fields[language] << "\"";
  }
}

TEST(ShippedConfig, HoldsExactlyTheDetailLevelsTheEngineWrites) {
  platform::IniFile shipped;
  std::string error;
  ASSERT_TRUE(fs::exists(DataDir() / "config.ini"));
  ASSERT_TRUE(shipped.LoadFromFile(DataDir() / "config.ini", error)) << error;
  platform::IniFile written;
  WriteDefaultPresets(written);

  const std::vector<std::string> levels = {"Low", "Medium", "High"};
  EXPECT_EQ(shipped.SectionNames(), levels)
      << "the shipped file holds the detail levels only: the player's own settings start from the defaults";
  for (const std::string& level : levels) {
    for (const TTRVSettingInfo& info : SettingsTable()) {
      if (info.Section != TTRVSettingSection::Quality) continue;
      const std::string key(info.Key);
      EXPECT_EQ(shipped.Find(level, key), written.Find(level, key)) << level << "." << key;
    }
  }
  // Medium is the reader's own defaults, so a player without the file sees the same game.
  for (const TTRVSettingInfo& info : SettingsTable()) {
    if (info.Section != TTRVSettingSection::Quality) continue;
    EXPECT_EQ(shipped.ReadInteger("Medium", info.Key, -1), info.Default) << info.Key;
  }
}

}  // namespace

// Dialog texts from data/Texts.txt and game-type texts from data/GameTypes.txt: language,
// last record wins, hints, Windows-1250, and no GameTypes without Texts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/cp1250.h"
#include "platform/fonts.h"
#include "shell/texts.h"
#include "platform/widgets/controls.h"
#include "ui/errordialog.h"

namespace {

namespace fs = std::filesystem;

class TextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("morvane-texts-" + std::to_string(::getpid()));
    fs::create_directories(folder_ / "data");
  }
  void TearDown() override { fs::remove_all(folder_); }
  void Write(const std::string& name, const std::string& utf8) {
    std::ofstream(folder_ / "data" / name, std::ios::binary) << platform::Utf8ToCp1250(utf8);
  }
  void WriteGameTypes() {
    std::string text;
    for (int i = 0; i < 64; ++i) text += "line " + std::to_string(i) + "\r\n";
    Write("GameTypes.txt", text);
  }

  fs::path folder_;
  platform::FontCache fonts_;
};

TEST_F(TextsTest, CaptionsFollowTheLanguageAndTheLastRecordWins) {
  ui::TFormError form(fonts_);
  Write("Texts.txt",
        "FormError\r\nPanelOK\r\nFirst\r\nPrvní\r\n***\r\n"
        "FormError\r\nPanelOK\r\nOK\r\nRozumím\r\n***\r\n"
        "FormOther\r\nLabelText\r\nNot this one\r\nTohle ne\r\n***\r\n"
        "FormError\r\nLabelText\r\nFile not found !\r\nSoubor nebyl nalezen !\r\n");
  std::array<platform::widgets::TForm*, 1> forms = {&form};
  TTRVGameTexts texts;
  ASSERT_TRUE(LoadTexts(folder_, "CZE", forms, texts));
  EXPECT_EQ(form.PanelOK().Caption(), "Rozumím");
  EXPECT_EQ(form.LabelText().Caption(), "Soubor nebyl nalezen !");
  ASSERT_TRUE(LoadTexts(folder_, "ENG", forms, texts));
  EXPECT_EQ(form.PanelOK().Caption(), "OK");
  EXPECT_EQ(form.LabelText().Caption(), "File not found !");
}

TEST_F(TextsTest, HintsComeFromTheTwoLinesAfterTheCaptions) {
  ui::TFormError form(fonts_);
  form.PanelOK().ShowHint = true;
  Write("Texts.txt", "FormError\nPanelOK\nOK\nOK\nBack to the menu\nZpět do menu\n");
  std::array<platform::widgets::TForm*, 1> forms = {&form};
  TTRVGameTexts texts;
  LoadTexts(folder_, "CZE", forms, texts);
  EXPECT_EQ(form.PanelOK().Hint, "Zpět do menu");
}

TEST_F(TextsTest, GameTypesAreReadOnlyWithTextsAndByLanguageBlock) {
  ui::TFormError form(fonts_);
  std::array<platform::widgets::TForm*, 1> forms = {&form};
  WriteGameTypes();
  TTRVGameTexts texts;
  EXPECT_FALSE(LoadTexts(folder_, "ENG", forms, texts));  // no Texts.txt: nothing changes
  EXPECT_TRUE(texts.GameTypeNames[0].empty());
  Write("Texts.txt", "");
  ASSERT_TRUE(LoadTexts(folder_, "ENG", forms, texts));
  EXPECT_EQ(texts.GameTypeNames[0], "line 0");
  EXPECT_EQ(texts.GameTypeNames[11], "line 11");
  EXPECT_EQ(texts.LessonNames[0], "line 24");
  EXPECT_EQ(texts.LessonNames[19], "line 43");
  ASSERT_TRUE(LoadTexts(folder_, "CZE", forms, texts));
  EXPECT_EQ(texts.GameTypeNames[0], "line 12");
  EXPECT_EQ(texts.LessonNames[0], "line 44");
  EXPECT_EQ(texts.LessonNames[19], "line 63");
}

TEST_F(TextsTest, AShortOrTruncatedFileChangesOnlyWhatItHolds) {
  ui::TFormError form(fonts_);
  std::string before = form.PanelOK().Caption();
  std::array<platform::widgets::TForm*, 1> forms = {&form};
  TTRVGameTexts texts;
  Write("Texts.txt", "FormError\nPanelOK\nOK");  // cut inside the record
  EXPECT_TRUE(LoadTexts(folder_, "ENG", forms, texts));
  EXPECT_EQ(form.PanelOK().Caption(), before);
  // A short game-type file gives what it holds and empty texts for the rest, never the
  // texts of before nor a read past its end.
  texts.GameTypeNames.fill("old");
  texts.LessonNames.fill("old");
  Write("GameTypes.txt", "only\ntwo\n");
  EXPECT_TRUE(LoadTexts(folder_, "ENG", forms, texts));
  EXPECT_EQ(texts.GameTypeNames[0], "only");
  EXPECT_EQ(texts.GameTypeNames[1], "two");
  EXPECT_EQ(texts.GameTypeNames[2], "");
  for (const std::string& lesson : texts.LessonNames) EXPECT_EQ(lesson, "");
}

TEST_F(TextsTest, NestedPanelsLabelsAndGroupBoxesAllTakeTheirCaptions) {
  platform::widgets::TForm form("FormCreateWorld", fonts_);
  auto* body = form.Add<platform::widgets::TPanel>("PanelBack");
  auto* group = body->Add<platform::widgets::TGroupBox>("GroupBoxProgress");
  auto* label = group->Add<platform::widgets::TLabel>("Label4");
  Write("Texts.txt",
        "FormCreateWorld\nGroupBoxProgress\nProgress\nPrůběh\n***\n"
        "FormCreateWorld\nLabel4\nCurrent task:\nPrávě probíhá:\n***\n");
  std::array<platform::widgets::TForm*, 1> forms = {&form};
  TTRVGameTexts texts;
  ASSERT_TRUE(LoadTexts(folder_, "CZE", forms, texts));
  EXPECT_EQ(group->Caption(), "Průběh");
  EXPECT_EQ(label->Caption(), "Právě probíhá:");
}

}  // namespace

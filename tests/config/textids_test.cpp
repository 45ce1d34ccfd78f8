// The run-time texts: every id has its words in both languages, and the language code picks them.
#include <gtest/gtest.h>

#include "config/textids.h"

namespace {

TEST(TextIds, EveryTextExistsInEnglishAndCzech) {
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
    const auto id = static_cast<TextId>(i);
    EXPECT_FALSE(Text(id, TTRVLanguage::English).empty()) << "text " << i;
    EXPECT_FALSE(Text(id, TTRVLanguage::Czech).empty()) << "text " << i;
  }
}

TEST(TextIds, TheLanguageSettingPicksTheWords) {
  EXPECT_EQ(Text(TextId::Enabled, LanguageOf("CZE")), "Ano");
  EXPECT_EQ(Text(TextId::Enabled, LanguageOf("ENG")), "Enabled");
  EXPECT_EQ(Text(TextId::Enabled, LanguageOf("")), "Enabled") << "anything but CZE is English";
  EXPECT_TRUE(Text(TextId::Count, TTRVLanguage::English).empty());
}

}  // namespace

// Sectioned key = value files: forgiving parsing, number rules, edits that keep the rest of
// the file, hostile bytes, and saves that never leave half a file.
#include "platform/inifile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using platform::IniFile;

// A string literal with its embedded NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

IniFile Parse(std::string_view text) {
  IniFile ini;
  ini.LoadFromText(text);
  return ini;
}

TEST(IniFile, LooksUpKeysWhateverTheLayoutOfTheFile) {
  struct Case {
    const char* what;
    const char* text;
    const char* section;
    const char* key;
    const char* expected;  // null: not found
  };
  // clang-format off
  const Case cases[] = {
    {"plain",                     "[General]\nLanguage=ENG\n",            "General", "Language", "ENG"},
    {"section and key any case",  "[GENERAL]\nlanguage=ENG\n",            "general", "LANGUAGE", "ENG"},
    {"spaces around everything",  "  [ General ]  \n  Language =  ENG  \n", "General", "Language", "ENG"},
    {"tabs too",                  "[General]\n\tLanguage\t=\tENG\t\n",    "General", "Language", "ENG"},
    {"CRLF endings",              "[General]\r\nLanguage=ENG\r\n",        "General", "Language", "ENG"},
    {"lone CR endings",           "[General]\rLanguage=ENG\rX=1",         "General", "Language", "ENG"},
    {"no newline at the end",     "[General]\nLanguage=ENG",              "General", "Language", "ENG"},
    {"byte-order mark",           "\xEF\xBB\xBF[General]\nLanguage=ENG",  "General", "Language", "ENG"},
    {"value holding '='",         "[General]\nLanguage=a=b\n",            "General", "Language", "a=b"},
    {"empty value",               "[General]\nLanguage=\n",               "General", "Language", ""},
    {"first of two keys",         "[General]\nLanguage=ENG\nLanguage=CZE\n", "General", "Language", "ENG"},
    {"section given twice",       "[General]\nA=1\n[Other]\n[General]\nLanguage=ENG\n", "General", "Language", "ENG"},
    {"comment is not a key",      "[General]\n;Language=ENG\n",           "General", "Language", nullptr},
    {"hash comment",              "[General]\n#Language=ENG\n",           "General", "Language", nullptr},
    {"key before any section",    "Language=ENG\n[General]\n",            "General", "Language", nullptr},
    {"other section",             "[Other]\nLanguage=ENG\n",              "General", "Language", nullptr},
    {"header without ']' opens a section", "[General]\nA=1\n[Broken\nLanguage=ENG\n", "Broken", "Language", "ENG"},
    {"...and does not leak into the one before", "[General]\n[Broken\nLanguage=ENG\n", "General", "Language", nullptr},
    {"text after ']' ignored",    "[General] junk\nLanguage=ENG\n",       "General", "Language", "ENG"},
    {"line without '='",          "[General]\nLanguage ENG\n",            "General", "Language", nullptr},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto found = Parse(c.text).Find(c.section, c.key);
    if (c.expected) {
      ASSERT_TRUE(found.has_value());
      EXPECT_EQ(*found, c.expected);
    } else {
      EXPECT_FALSE(found.has_value());
    }
  }
}

TEST(IniFile, IntegersAreDecimalAndAnythingElseGivesTheDefault) {
  struct Case {
    const char* value;
    int expected;
  };
  constexpr int kFallback = -77;
  // clang-format off
  const Case cases[] = {
    {"42", 42}, {"  42  ", 42}, {"+7", 7}, {"-3", -3}, {"0", 0}, {"007", 7},
    {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    {"2147483648", kFallback}, {"99999999999999999999", kFallback}, {"-2147483649", kFallback},
    {"", kFallback}, {"abc", kFallback}, {"12abc", kFallback}, {"1 2", kFallback}, {"0x10", kFallback},
    {"- 3", kFallback}, {"+-3", kFallback}, {"++3", kFallback}, {"+", kFallback}, {"-", kFallback},
    {"1.5", kFallback},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("value \"") + c.value + "\"");
    EXPECT_EQ(Parse(std::string("[S]\nK=") + c.value).ReadInteger("S", "K", kFallback), c.expected);
  }
  EXPECT_EQ(Parse("").ReadInteger("S", "K", kFallback), kFallback) << "missing key";
}

TEST(IniFile, BooleansAreFalseOnlyForZero) {
  struct Case {
    const char* value;
    bool fallback;
    bool expected;
  };
  // clang-format off
  const Case cases[] = {
    {"0", true, false}, {"00", true, false}, {"-0", true, false},
    {"1", false, true}, {"2", false, true}, {"-1", false, true}, {"yes", false, true}, {"false", false, true},
    {"", true, true}, {"", false, false},  // a key without a value is as good as missing
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("value \"") + c.value + "\"");
    EXPECT_EQ(Parse(std::string("[S]\nK=") + c.value).ReadBool("S", "K", c.fallback), c.expected);
  }
  EXPECT_TRUE(Parse("").ReadBool("S", "K", true));
  EXPECT_FALSE(Parse("").ReadBool("S", "K", false));
}

TEST(IniFile, WritingKeepsEveryUntouchedLineAsItWas) {
  const std::string before =
      "; written by hand\n"
      "[General]\n"
      "Language = ENG   ; a comment that is part of the value\n"
      "ResolutionX=800\n"
      "\n"
      "[Low]\n"
      "ViewDistance=3\n"
      "odd line\n"
      "\n"
      "[Medium]\n"
      "ViewDistance=4\n";
  IniFile ini = Parse(before);
  ASSERT_TRUE(ini.WriteInteger("general", "RESOLUTIONX", 1024));  // found whatever the case
  ASSERT_TRUE(ini.WriteInteger("General", "ResolutionY", 768));   // new key: end of its section
  ASSERT_TRUE(ini.WriteBool("Locks", "Type0Game0", true));        // new section: end of file
  EXPECT_EQ(ini.ToText(),
            "; written by hand\n"
            "[General]\n"
            "Language = ENG   ; a comment that is part of the value\n"
            "ResolutionX=1024\n"
            "ResolutionY=768\n"
            "\n"
            "[Low]\n"
            "ViewDistance=3\n"
            "odd line\n"
            "\n"
            "[Medium]\n"
            "ViewDistance=4\n"
            "\n"
            "[Locks]\n"
            "Type0Game0=1\n");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"General", "Low", "Medium", "Locks"}));
}

TEST(IniFile, RewritingTheSameValueChangesNothing) {
  const std::string before = "[General]\r\n  Language = ENG  \r\n";
  IniFile ini = Parse(before);
  ASSERT_TRUE(ini.WriteString("General", "Language", "ENG"));
  EXPECT_EQ(ini.ToText(), before) << "layout and CRLF endings kept";
}

TEST(IniFile, NamesThatCouldNotBeReadBackAreRefused) {
  IniFile ini;
  const char* badSections[] = {"", " General", "General ", "Gen]eral", "Gen\neral", "Gen\reral"};
  for (const char* section : badSections) EXPECT_FALSE(ini.WriteString(section, "Key", "1")) << section;
  const char* badKeys[] = {"", " Key", "Key ", "K=ey", "K\ney", "[Key", ";Key", "#Key"};
  for (const char* key : badKeys) EXPECT_FALSE(ini.WriteString("General", key, "1")) << key;
  EXPECT_EQ(ini.ToText(), "");
}

TEST(IniFile, AValueCannotForgeLinesOfItsOwn) {
  IniFile ini;
  ASSERT_TRUE(ini.WriteString("General", "MasterDetail", "Low\n[Locks]\r\nType1Game1=1"));
  const IniFile again = Parse(ini.ToText());
  EXPECT_FALSE(again.HasSection("Locks"));
  EXPECT_EQ(again.KeyNames("General"), std::vector<std::string>{"MasterDetail"});
}

TEST(IniFile, ErasingRemovesEveryCopy) {
  IniFile ini = Parse("[A]\nK=1\nL=2\nk=3\n[B]\nK=4\n[a]\nK=5\n");
  EXPECT_TRUE(ini.EraseKey("A", "K"));
  EXPECT_FALSE(ini.HasKey("A", "K"));
  EXPECT_EQ(ini.ReadInteger("A", "L", 0), 2);
  EXPECT_EQ(ini.ReadInteger("B", "K", 0), 4) << "other sections keep their key";
  EXPECT_FALSE(ini.EraseKey("A", "K"));
  EXPECT_TRUE(ini.EraseSection("a"));
  EXPECT_FALSE(ini.HasSection("A"));
  EXPECT_EQ(ini.SectionNames(), std::vector<std::string>{"B"});
}

TEST(IniFile, HostileBytesNeverCrashAndReadBackTheSame) {
  const std::string hugeLine(1 << 20, 'x');
  const std::vector<std::string> inputs = {
      "",
      "[",
      "]",
      "=",
      "[]\n=\n==\n",
      "[General",
      Bytes("[Gen\0eral]\nK\0ey=va\0lue\n"),
      "[General]\n" + hugeLine + "=" + hugeLine,
      "[" + hugeLine,
      std::string(1000, '\n'),
      std::string(1000, '\r'),
      "\r\n\r\r\n\n[A]\rK=1\r\n",
      "\xEF\xBB",
      "\xff\xfe[\x80]\n\x80=\x81\n",
  };
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.substr(0, 40));
    IniFile ini;
    ini.LoadFromBytes(std::span(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()));
    const IniFile again = Parse(ini.ToText());
    ASSERT_EQ(again.SectionNames(), ini.SectionNames());
    for (const std::string& section : ini.SectionNames()) {
      ASSERT_EQ(again.KeyNames(section), ini.KeyNames(section));
      for (const std::string& key : ini.KeyNames(section)) EXPECT_EQ(again.Find(section, key), ini.Find(section, key));
    }
  }
  const IniFile nul = Parse(Bytes("[Gen\0eral]\nK\0ey=va\0lue\n"));
  EXPECT_EQ(nul.ReadString(Bytes("Gen\0eral"), Bytes("K\0ey"), ""), Bytes("va\0lue"));
}

class IniFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("morvane-ini-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path Path(const char* name) const { return dir_ / name; }
  std::size_t FilesInFolder() const { return std::distance(std::filesystem::directory_iterator(dir_), {}); }
  static std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
};

TEST_F(IniFiles, AMissingFileLoadsEmpty) {
  IniFile ini = Parse("[Old]\nK=1\n");
  std::string error;
  EXPECT_TRUE(ini.LoadFromFile(Path("config.ini"), error)) << error;
  EXPECT_TRUE(ini.SectionNames().empty()) << "what was held before is gone";
}

TEST_F(IniFiles, UnreadableOrOversizedFilesFailWithAMessage) {
  std::filesystem::create_directory(Path("folder.ini"));
  {
    std::ofstream big(Path("big.ini"), std::ios::binary);
    const std::string chunk(1 << 16, 'x');
    for (std::size_t written = 0; written <= IniFile::kMaxFileSize; written += chunk.size()) big << chunk;
  }
  for (const char* name : {"folder.ini", "big.ini"}) {
    SCOPED_TRACE(name);
    IniFile ini = Parse("[Old]\nK=1\n");
    std::string error;
    EXPECT_FALSE(ini.LoadFromFile(Path(name), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ini.SectionNames().empty());
  }
}

TEST_F(IniFiles, SavesReplaceTheFileWholeAndLeaveNoTemporaryFile) {
  const auto file = Path("config.ini");
  { std::ofstream(file, std::ios::binary) << "[General]\r\nLanguage=CZE\r\n[High]\r\nViewDistance=8\r\n"; }
  ::chmod(file.c_str(), 0640);
  IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.LoadFromFile(file, error)) << error;
  ini.WriteString("General", "Language", "ENG");
  ASSERT_TRUE(ini.SaveToFile(file, error)) << error;
  EXPECT_EQ(Contents(file), "[General]\r\nLanguage=ENG\r\n[High]\r\nViewDistance=8\r\n");
  EXPECT_EQ(FilesInFolder(), 1u);
  struct stat info{};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the player's permissions are kept";

  IniFile fresh;
  fresh.WriteInteger("General", "Tutorial", 3);
  ASSERT_TRUE(fresh.SaveToFile(Path("new.ini"), error)) << error;
  EXPECT_EQ(Contents(Path("new.ini")), "[General]\nTutorial=3\n");
  EXPECT_EQ(FilesInFolder(), 2u);
}

TEST_F(IniFiles, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  // A folder in the way cannot be replaced by a file: the rename fails after the write.
  std::filesystem::create_directories(Path("config.ini") / "inside");
  IniFile ini = Parse("[General]\nLanguage=ENG\n");
  std::string error;
  EXPECT_FALSE(ini.SaveToFile(Path("config.ini"), error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(Path("config.ini") / "inside"));
  EXPECT_EQ(FilesInFolder(), 1u);

  error.clear();
  EXPECT_FALSE(ini.SaveToFile(Path("missing-folder/config.ini"), error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(IniFiles, SavingThroughALinkReplacesWhatItPointsTo) {
  const auto real = Path("real.ini");
  { std::ofstream(real) << "[General]\nTutorial=1\n"; }
  std::filesystem::create_symlink(real, Path("config.ini"));
  IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.LoadFromFile(Path("config.ini"), error)) << error;
  ini.WriteInteger("General", "Tutorial", 2);
  ASSERT_TRUE(ini.SaveToFile(Path("config.ini"), error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(Path("config.ini")));
  EXPECT_EQ(Contents(real), "[General]\nTutorial=2\n");
}

}  // namespace

// The sound libraries stay inside audio/: no other folder of the game includes OpenAL or
// libmpg123, so the rest of the game builds and runs without knowing how sound is made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(Layers, OnlyTheSoundSubsystemIncludesTheSoundLibraries) {
  const fs::path root = MORVANE_SOURCE_DIR;
  const std::regex library(R"re(^\s*#\s*include\s+<(AL/[^>]+|mpg123\.h)>)re");
  std::string breaches;
  int inAudio = 0;
  for (const char* folder : {"platform", "scene", "config", "world", "terrain", "ai", "generator", "audio", "effects",
                             "units", "hud", "campaign", "game", "ui", "shell"}) {
    if (!fs::is_directory(root / folder)) continue;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = e.path().extension().string();
      if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      std::ifstream in(e.path());
      std::string text;
      for (int n = 1; std::getline(in, text); ++n) {
        if (!std::regex_search(text, library)) continue;
        if (std::string(folder) == "audio" && ext == ".cpp") ++inAudio;
        else breaches += fs::relative(e.path(), root).string() + ":" + std::to_string(n) + ": " + text + "\n";
      }
    }
  }
  EXPECT_TRUE(breaches.empty()) << "only audio/*.cpp may include the sound libraries:\n" << breaches;
  EXPECT_GT(inAudio, 0) << "the check no longer sees the sound subsystem's includes";
}

}  // namespace

// Where the game's files lie: every kind in its folder, the shipped ones apart from the
// written ones, names that would leave their folder refused, and a folder listed by kind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/programfiles.h"

namespace {

using platform::ProgramFiles;
namespace fs = std::filesystem;

TEST(ProgramFiles, EachFileLiesInItsFolderReadOnlyApartFromWritable) {
  const ProgramFiles files("/opt/game", "/home/p/.local/share/morvane");
  struct Case {
    fs::path path;
    const char* expected;
  } cases[] = {
      {files.Theme("Basic"), "/opt/game/themes/Basic.TRV"},
      {files.DataFile("Texts.txt"), "/opt/game/data/Texts.txt"},
      {files.MusicFile("a.mp3"), "/opt/game/music/a.mp3"},
      {files.Config(), "/home/p/.local/share/morvane/config.ini"},
      {files.Screenshot(), "/home/p/.local/share/morvane/Screenshot.bmp"},
      {files.World("Tutorial"), "/home/p/.local/share/morvane/worlds/Tutorial.TRV"},
      {files.WorldMap("Tutorial"), "/home/p/.local/share/morvane/worlds/TutorialMAP.bmp"},
      {files.WorldThumb("Tutorial"), "/home/p/.local/share/morvane/worlds/TutorialTHUMB.bmp"},
      {files.Campaign("Isles"), "/home/p/.local/share/morvane/worlds/Isles.CAMP"},
      {files.Save("AutoSave"), "/home/p/.local/share/morvane/save/AutoSave.TRV"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.path, fs::path(c.expected));
  EXPECT_EQ(ProgramFiles("/g").Save("x"), fs::path("/g/save/x.TRV")) << "one folder for both";
}

TEST(ProgramFiles, NamesThatWouldLeaveTheirFolderGiveNoPath) {
  const ProgramFiles files("/g");
  const std::string names[] = {"", "..", ".", "../config", "sub/world", "/etc/passwd", std::string("a\0b", 3)};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(files.World(name).empty());
    EXPECT_TRUE(files.Save(name).empty());
    EXPECT_TRUE(files.Theme(name).empty());
    EXPECT_TRUE(files.DataFile(name).empty());
  }
  EXPECT_EQ(files.World("..x"), fs::path("/g/worlds/..x.TRV")) << "dots inside a name are a name";
}

TEST(ProgramFiles, ListsAFoldersFilesOfOneKindSortedByName) {
  const fs::path folder = fs::temp_directory_path() / ("morvane-list-" + std::to_string(::getpid()));
  fs::create_directories(folder / "Dir.TRV");  // a folder is not a file of the kind
  for (const char* name : {"b.TRV", "A.TRV", "c.trv", "d.TRV.bak", ".TRV", "aMAP.bmp"}) std::ofstream(folder / name) << "x";
  EXPECT_EQ(platform::ListFileNames(folder, ".TRV"), (std::vector<std::string>{"A", "b"}));
  EXPECT_TRUE(platform::ListFileNames(folder / "missing", ".TRV").empty());
  fs::remove_all(folder);
}

}  // namespace

// The layer table of docs/architecture.md holds: every #include "…" in a folder of the table
// names its own folder or a folder of a lower tier, every library header is included only
// where the document's library table allows it, and no folder with sources is left out of the
// layer table. The tables are read from the document itself, so the document and the tree
// cannot drift apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = MORVANE_SOURCE_DIR;

// The lines of one "## " section of docs/architecture.md.
std::vector<std::string> SectionLines(const std::string& heading) {
  std::ifstream doc(kRoot / "docs" / "architecture.md");
  std::vector<std::string> lines;
  std::string line;
  bool inSection = false;
  while (std::getline(doc, line)) {
    if (line.rfind("## ", 0) == 0) inSection = line == "## " + heading;
    else if (inSection) lines.push_back(line);
  }
  return lines;
}

// Folder → tier, from the rows "| tier | folder, folder | ... |" of the Layers section.
std::map<std::string, int> ReadLayerTable() {
  std::map<std::string, int> tiers;
  const std::regex row(R"(^\|\s*(\d+)\s*\|([^|]+)\|)");
  for (const std::string& line : SectionLines("Layers")) {
    std::smatch m;
    if (!std::regex_search(line, m, row)) continue;
    std::stringstream folders(m[2].str());
    std::string folder;
    while (std::getline(folders, folder, ',')) {
      folder.erase(0, folder.find_first_not_of(" \t"));
      folder.erase(folder.find_last_not_of(" \t") + 1);
      if (!folder.empty()) tiers[folder] = std::stoi(m[1].str());
    }
  }
  return tiers;
}

struct Include {
  std::string file;
  int line;
  std::string target;  // the name without its quotes or angle brackets
  bool angled = false;
};

bool IsSource(const fs::path& p) { return p.extension() == ".h" || p.extension() == ".cpp"; }

std::vector<Include> IncludesUnder(const fs::path& folder) {
  std::vector<Include> out;
  const std::regex include(R"re(^\s*#\s*include\s*([<"])([^>"]+)[>"])re");
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
    if (!e.is_regular_file() || !IsSource(e.path())) continue;
    std::ifstream in(e.path());
    std::string text;
    for (int n = 1; std::getline(in, text); ++n) {
      std::smatch m;
      if (std::regex_search(text, m, include))
        out.push_back({fs::relative(e.path(), kRoot).string(), n, m[2].str(), m[1].str() == "<"});
    }
  }
  return out;
}

// What a rule check says of one include: "" when it keeps to the table.
std::string Breach(const std::map<std::string, int>& tiers, const std::string& from, const Include& inc) {
  if (inc.angled) return {};  // the library table's business
  const std::size_t slash = inc.target.find('/');
  if (slash == std::string::npos) return {};  // a header beside the file
  const std::string to = inc.target.substr(0, slash);
  if (to == from) return {};
  const auto target = tiers.find(to);
  if (target == tiers.end()) return "includes " + to + "/, which is not in the layer table";
  const int fromTier = tiers.at(from), toTier = target->second;
  if (toTier < fromTier) return {};
  return "(tier " + std::to_string(fromTier) + ") includes " + to + "/ (tier " + std::to_string(toTier) + ")";
}

// One row of the library table: include names starting with one of the prefixes may appear
// only in the places (a folder when it ends in '/', else one file, both from the root).
struct LibraryRule {
  std::vector<std::string> prefixes;
  std::vector<std::string> places;
};

// The backticked words of a table cell, their quotes, brackets and "…" taken off.
std::vector<std::string> CellWords(const std::string& cell) {
  std::vector<std::string> words;
  const std::regex word("`([^`]+)`");
  for (std::sregex_iterator it(cell.begin(), cell.end(), word), end; it != end; ++it) {
    std::string w = (*it)[1].str();
    if (const std::size_t dots = w.find("\u2026"); dots != std::string::npos) w.erase(dots);
    std::erase_if(w, [](char c) { return c == '<' || c == '>' || c == '"'; });
    if (!w.empty()) words.push_back(w);
  }
  return words;
}

// The rows "| `<SDL…>` | `platform/` |" of the section "Who may include what".
std::vector<LibraryRule> ReadLibraryTable() {
  std::vector<LibraryRule> rules;
  const std::regex row(R"(^\|([^|]+)\|([^|]+)\|\s*$)");
  for (const std::string& line : SectionLines("Who may include what")) {
    std::smatch m;
    if (!std::regex_search(line, m, row)) continue;
    LibraryRule rule{CellWords(m[1].str()), CellWords(m[2].str())};
    if (!rule.prefixes.empty() && !rule.places.empty()) rules.push_back(std::move(rule));
  }
  return rules;
}

// What the library table says of one include: "" when it may be there.
std::string LibraryBreach(const std::vector<LibraryRule>& rules, const Include& inc) {
  for (const LibraryRule& rule : rules) {
    bool matches = false;
    for (const std::string& prefix : rule.prefixes) matches = matches || inc.target.rfind(prefix, 0) == 0;
    if (!matches) continue;
    for (const std::string& place : rule.places) {
      const bool folder = place.back() == '/';
      if (folder ? inc.file.rfind(place, 0) == 0 : inc.file == place) return {};
    }
    std::string allowed;
    for (const std::string& place : rule.places) allowed += (allowed.empty() ? "" : ", ") + place;
    return "includes " + inc.target + ", allowed only in " + allowed;
  }
  return {};
}

// Folders above every layer, which may hold sources without a row in the table.
const std::set<std::string> kAboveTheTable = {"tests", "bench", "tools"};

bool IsBuildFolder(const fs::path& folder) {
  return folder.filename().string().rfind("build", 0) == 0 || fs::exists(folder / "CMakeCache.txt");
}

// The top folders under root that hold a .h or .cpp somewhere and are neither in the table
// nor above it.
std::vector<std::string> UnlistedSourceFolders(const fs::path& root, const std::map<std::string, int>& tiers) {
  std::vector<std::string> out;
  for (const fs::directory_entry& top : fs::directory_iterator(root)) {
    const std::string name = top.path().filename().string();
    if (!top.is_directory() || name.front() == '.' || tiers.count(name) || kAboveTheTable.count(name) ||
        IsBuildFolder(top.path()))
      continue;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(top.path()))
      if (e.is_regular_file() && IsSource(e.path())) {
        out.push_back(name);
        break;
      }
  }
  return out;
}

TEST(Layers, TheTableNamesEveryLayerOfTheGame) {
  const std::map<std::string, int> tiers = ReadLayerTable();
  for (const char* folder : {"platform", "scene", "config", "world", "terrain", "generator", "game", "ui", "shell"})
    EXPECT_TRUE(tiers.count(folder)) << folder << " is missing from the table in docs/architecture.md";
  ASSERT_FALSE(tiers.empty());
  EXPECT_LT(tiers.at("platform"), tiers.at("scene"));
  EXPECT_LT(tiers.at("world"), tiers.at("terrain"));
  EXPECT_LT(tiers.at("game"), tiers.at("shell"));
}

TEST(Layers, TheRuleCatchesIncludesUpwardAndAcrossATier) {
  const std::map<std::string, int> tiers = {{"platform", 1}, {"world", 4}, {"terrain", 5}, {"ai", 5}};
  const struct {
    const char* from;
    const char* target;
    bool breach;
  } cases[] = {
      {"world", "platform/log.h", false},   {"world", "world/grid.h", false}, {"world", "grid.h", false},
      {"world", "terrain/sector.h", true},  {"terrain", "ai/beacon.h", true}, {"platform", "tests/x.h", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(!Breach(tiers, c.from, {"f", 1, c.target}).empty(), c.breach) << c.from << " -> " << c.target;
}

TEST(Layers, EveryIncludeKeepsToTheTable) {
  const std::map<std::string, int> tiers = ReadLayerTable();
  ASSERT_FALSE(tiers.empty()) << "no layer table in docs/architecture.md";
  std::vector<std::string> breaches;
  for (const auto& [folder, tier] : tiers) {
    if (!fs::is_directory(kRoot / folder)) continue;
    for (const Include& inc : IncludesUnder(kRoot / folder)) {
      const std::string why = Breach(tiers, folder, inc);
      if (!why.empty()) breaches.push_back(inc.file + ":" + std::to_string(inc.line) + ": " + folder + "/ " + why);
    }
  }
  std::string all;
  for (const std::string& b : breaches) all += b + "\n";
  EXPECT_TRUE(breaches.empty()) << all;
}

TEST(Layers, TheLibraryRuleKeepsEachLibraryToItsPlaces) {
  const std::vector<LibraryRule> rules = {{{"SDL"}, {"platform/"}},
                                          {{"GL/", "scene/gl.h"}, {"scene/", "game/aimpoint.cpp"}}};
  const struct {
    const char* file;
    const char* target;
    bool angled;
    bool breach;
  } cases[] = {
      {"platform/window.cpp", "SDL.h", true, false},
      {"platform/widgets/host.cpp", "SDL_ttf.h", true, false},  // below the folder counts
      {"world/world.cpp", "SDL.h", true, true},
      {"world/world.cpp", "SDL.h", false, true},  // quotes do not slip past the rule
      {"scene/gl.h", "GL/gl.h", true, false},
      {"game/aimpoint.cpp", "scene/gl.h", false, false},
      {"game/game.cpp", "scene/gl.h", false, true},  // a named file, not its whole folder
      {"world/world.cpp", "vector", true, false},   // the standard library is nobody's
  };
  for (const auto& c : cases)
    EXPECT_EQ(!LibraryBreach(rules, {c.file, 1, c.target, c.angled}).empty(), c.breach) << c.file << " -> " << c.target;
}

TEST(Layers, TheLibraryTableCoversEveryWrappedLibrary) {
  const std::vector<LibraryRule> rules = ReadLibraryTable();
  for (const char* header : {"SDL.h", "SDL_ttf.h", "AL/al.h", "mpg123.h", "GL/gl.h", "scene/gl.h", "glm/glm.hpp"}) {
    const Include stray{"world/world.cpp", 1, header, true};
    EXPECT_FALSE(LibraryBreach(rules, stray).empty()) << header << " has no row in docs/architecture.md";
  }
}

TEST(Layers, EveryLibraryIncludeKeepsToItsPlaces) {
  const std::map<std::string, int> tiers = ReadLayerTable();
  const std::vector<LibraryRule> rules = ReadLibraryTable();
  ASSERT_FALSE(rules.empty()) << "no library table in docs/architecture.md";
  std::string breaches;
  for (const auto& [folder, tier] : tiers) {
    if (!fs::is_directory(kRoot / folder)) continue;
    for (const Include& inc : IncludesUnder(kRoot / folder))
      if (const std::string why = LibraryBreach(rules, inc); !why.empty())
        breaches += inc.file + ":" + std::to_string(inc.line) + ": " + why + "\n";
  }
  EXPECT_TRUE(breaches.empty()) << breaches;
}

// A small tree: only the folder with sources and no row is reported.
TEST(Layers, AFolderWithSourcesOutsideTheTableIsFound) {
  const fs::path root = fs::temp_directory_path() / ("morvane-layers-" + std::to_string(::getpid()));
  fs::remove_all(root);
  const auto touch = [&](const fs::path& file) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << "\n";
  };
  touch("world/world.cpp");
  touch("saves/deep/savefile.h");    // new and unlisted
  touch("tests/world/world_test.cpp");
  touch("build-test/gen/x.cpp");
  touch("out/CMakeCache.txt");       // a build folder of another name
  touch("out/gen/y.cpp");
  touch("docs/notes.md");            // no sources: nothing to check
  touch(".git/hooks/z.cpp");
  const std::vector<std::string> found = UnlistedSourceFolders(root, {{"world", 4}});
  fs::remove_all(root);
  EXPECT_EQ(found, std::vector<std::string>{"saves"});
}

TEST(Layers, EveryFolderWithSourcesIsInTheTable) {
  const std::vector<std::string> unlisted = UnlistedSourceFolders(kRoot, ReadLayerTable());
  std::string all;
  for (const std::string& f : unlisted) all += f + "/ ";
  EXPECT_TRUE(unlisted.empty()) << all << "holds sources but is not in the layer table of docs/architecture.md";
}

}  // namespace

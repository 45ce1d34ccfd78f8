// The layer table of docs/architecture.md holds: every #include "…" in a folder of the table
// names its own folder or a folder of a lower tier. The table is read from the document itself,
// so the document and the tree cannot drift apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = MORVANE_SOURCE_DIR;

// Folder → tier, from the rows "| tier | folder, folder | ... |" of the Layers section.
std::map<std::string, int> ReadLayerTable() {
  std::ifstream doc(kRoot / "docs" / "architecture.md");
  std::map<std::string, int> tiers;
  std::string line;
  bool inLayers = false;
  const std::regex row(R"(^\|\s*(\d+)\s*\|([^|]+)\|)");
  while (std::getline(doc, line)) {
    if (line.rfind("## ", 0) == 0) inLayers = line == "## Layers";
    std::smatch m;
    if (!inLayers || !std::regex_search(line, m, row)) continue;
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
  std::string target;
};

std::vector<Include> IncludesUnder(const fs::path& folder) {
  std::vector<Include> out;
  const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
    const std::string ext = e.path().extension().string();
    if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    std::ifstream in(e.path());
    std::string text;
    for (int n = 1; std::getline(in, text); ++n) {
      std::smatch m;
      if (std::regex_search(text, m, include)) out.push_back({fs::relative(e.path(), kRoot).string(), n, m[1].str()});
    }
  }
  return out;
}

// What a rule check says of one include: "" when it keeps to the table.
std::string Breach(const std::map<std::string, int>& tiers, const std::string& from, const Include& inc) {
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

}  // namespace

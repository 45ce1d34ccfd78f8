// The world file on its own: the writer and the reader mirror each other, a file cut at any
// byte is refused with a message, and each broken field is refused by name, by the reader
// and the writer alike.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <functional>
#include <limits>

#include "tests/world/world_fixture.h"
#include "world/worldfile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using worldtest::Island;

// A 1 x 1 sector island: land, a tree and a wall, one land base, some grass.
TTRVWorldFileData SmallWorld() {
  Island island(1, 1);
  island.Fill(10, 10, 20, 20, tcOpenGround, 60);
  island.Place(12, 14, worldtest::kTree);
  island.Place(15, 15, worldtest::kWall, 2);
  island.data.firstBaseCount = 1;
  TTRVLandBase base;
  base.cell = {15, 16};
  base.turretCells[0] = {-3, 40};  // the generator may leave a defence point off the map
  island.data.landBases.push_back(base);
  island.data.grass[15 * 32 + 15] = 1;
  island.data.navalBases[7] = {4, 28};
  return island.Build();
}

// Where the fields of a written file lie.
struct Layout {
  std::size_t divisor, themeCount, countX, countZ, record, placements, grass, baseCount, bases, naval;
};

Layout LayoutOf(const TTRVWorldFileData& d, const Bytes& file) {
  Layout l{};
  l.divisor = 8 + 1 + d.worldName.size() + 8;
  l.themeCount = l.divisor + 4;
  l.countX = l.themeCount + 1;
  for (const std::string& n : d.themeNames) l.countX += 1 + n.size();
  l.countZ = l.countX + 4;
  l.record = l.countZ + 4 + 2 + 1;  // just after the first record's tag
  l.placements = l.record + kSectorRecordBody;
  l.naval = file.size() - 4 * kNavalBaseCount;
  l.bases = l.naval - d.landBases.size() * 4 * (1 + kBaseTurretCells);
  l.baseCount = l.bases - 2;
  l.grass = l.baseCount - d.grass.size();
  return l;
}

void Put32(Bytes& b, std::size_t at, std::int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::int16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
}

TEST(WorldFile, WriterAndReaderMirrorEachOther) {
  const TTRVWorldFileData d = SmallWorld();
  const Bytes file = WriteWorldFile(d);
  ASSERT_FALSE(file.empty()) << WorldDataFault(d);
  TTRVWorldFileData back;
  std::string error;
  std::vector<std::size_t> offsets;
  ASSERT_TRUE(ParseWorldFile(file, back, error, &offsets)) << error;
  EXPECT_EQ(back, d);
  EXPECT_EQ(WriteWorldFile(back), file);

  // Offsets point just after each tag, where a sector re-reads its record.
  ASSERT_EQ(offsets.size(), d.sectors.size());
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    EXPECT_EQ(file[offsets[i] - 1], kSectorTag);
    TTRVSectorRecord record;
    ASSERT_TRUE(ReadSectorRecord(file, offsets[i], record, error)) << error;
    EXPECT_EQ(record, d.sectors[i]);
  }
  EXPECT_EQ(back.sectors[0].placements[2].front().ObjectIndex(), worldtest::kWall);
  EXPECT_EQ(back.landBases[0].turretCells[0], (TTRVCell16{-3, 40}));
}

TEST(WorldFile, BytesAfterTheNavalBasesAreIgnored) {
  Bytes file = WriteWorldFile(SmallWorld());
  file.insert(file.end(), {'S', 1, 2, 3});
  TTRVWorldFileData back;
  std::string error;
  ASSERT_TRUE(ParseWorldFile(file, back, error)) << error;
  EXPECT_EQ(back, SmallWorld());
}

TEST(WorldFile, FileCutAtEveryByteIsRefusedWithAMessage) {
  const Bytes file = WriteWorldFile(SmallWorld());
  for (std::size_t n = 0; n < file.size(); ++n) {
    TTRVWorldFileData back;
    std::string error;
    ASSERT_FALSE(ParseWorldFile(std::span(file.data(), n), back, error)) << "cut at " << n;
    ASSERT_FALSE(error.empty()) << "cut at " << n;
  }
}

TEST(WorldFile, SectorRecordReadFromTheStreamIsBoundsChecked) {
  const Bytes file = WriteWorldFile(SmallWorld());
  const Layout l = LayoutOf(SmallWorld(), file);
  TTRVSectorRecord record;
  std::string error;
  for (std::size_t offset : {file.size(), file.size() + 1, file.size() - 10, l.grass})
    EXPECT_FALSE(ReadSectorRecord(file, offset, record, error)) << offset;
  Bytes bad = file;
  bad[l.placements + 2] = 32;  // list 0's first object, local x
  EXPECT_FALSE(ReadSectorRecord(bad, l.record, record, error));
  EXPECT_NE(error.find("outside"), std::string::npos) << error;
}

TEST(WorldFile, EachBrokenFieldIsRefusedByName) {
  const TTRVWorldFileData d = SmallWorld();
  const Bytes good = WriteWorldFile(d);
  const Layout l = LayoutOf(d, good);
  struct Case {
    const char* name;
    std::function<void(Bytes&)> patch;
    const char* message;
  };
  const Case cases[] = {
      {"wrong magic", [](Bytes& b) { b[3] = 'X'; }, "not a world file"},
      {"empty file", [](Bytes& b) { b.clear(); }, "not a world file"},
      {"height divisor 0", [&](Bytes& b) { Put32(b, l.divisor, 0); }, "height divisor is 0"},
      {"negative height divisor", [&](Bytes& b) { Put32(b, l.divisor, -25); }, "height divisor is -25"},
      {"no sectors along X", [&](Bytes& b) { Put32(b, l.countX, 0); }, "each side must hold 1 to 64"},
      {"65 sectors along X", [&](Bytes& b) { Put32(b, l.countX, 65); }, "each side must hold 1 to 64"},
      {"a huge Z count", [&](Bytes& b) { Put32(b, l.countZ, 1 << 20); }, "each side must hold 1 to 64"},
      {"sector x beyond the map", [&](Bytes& b) { Put32(b, l.record, 1); }, "sector (1, 0) lies outside the map"},
      {"negative sector z", [&](Bytes& b) { Put32(b, l.record + 4, -1); }, "sector (0, -1) lies outside the map"},
      {"cell names a theme not listed", [&](Bytes& b) { b[l.record + 8 + kSectorSamples + 5] = 0x14; },
       "names theme 1 of 1"},
      {"object names a theme not listed", [&](Bytes& b) { b[l.placements + 2 + 2] = 0x30; }, "names theme 3 of 1"},
      {"object outside its sector", [&](Bytes& b) { b[l.placements + 2 + 1] = 40; }, "stands outside it"},
      {"object count beyond the file", [&](Bytes& b) { Put16(b, l.placements, -1); }, "ends inside the object list 0"},
      {"grass flag 2", [&](Bytes& b) { b[l.grass + 7] = 2; }, "grass flag 7 is neither 0 nor 1"},
      {"negative base count", [&](Bytes& b) { Put16(b, l.baseCount, -1); }, "base count is negative"},
      {"base count beyond the file", [&](Bytes& b) { Put16(b, l.baseCount, 500); }, "ends inside the land bases"},
      {"land base off the map", [&](Bytes& b) { Put16(b, l.bases, 32); }, "land base 0 lies outside the map"},
      {"naval base off the map", [&](Bytes& b) { Put16(b, l.naval + 7 * 4 + 2, -1); }, "naval base 7 lies outside"},
      {"grass cut short", [&](Bytes& b) { b.resize(l.grass + 100); }, "ends inside the grass flags"},
      {"more records than sectors",
       [&](Bytes& b) {
         const Bytes record(b.begin() + static_cast<std::ptrdiff_t>(l.record - 1), b.begin() + static_cast<std::ptrdiff_t>(l.grass));
         b.insert(b.begin() + static_cast<std::ptrdiff_t>(l.grass), record.begin(), record.end());
       },
       "more sector records than its map has sectors"},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    c.patch(file);
    TTRVWorldFileData back;
    std::string error;
    EXPECT_FALSE(ParseWorldFile(file, back, error)) << c.name;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
  }
}

TEST(WorldFile, WriterRefusesWhatTheReaderWouldRefuse) {
  struct Case {
    const char* name;
    std::function<void(TTRVWorldFileData&)> change;
    const char* message;
  };
  const Case cases[] = {
      {"no land sector", [](TTRVWorldFileData& d) { d.sectors.clear(); }, "no land sector"},
      {"a sector stored twice", [](TTRVWorldFileData& d) { d.sectors.push_back(d.sectors[0]); }, "stored twice"},
      {"17 themes", [](TTRVWorldFileData& d) { d.themeNames.resize(17, "Basic"); }, "names 17 themes"},
      {"a theme name that leaves the folder", [](TTRVWorldFileData& d) { d.themeNames[0] = "../Basic"; },
       "not a file name"},
      {"an empty theme name", [](TTRVWorldFileData& d) { d.themeNames[0].clear(); }, "not a file name"},
      {"a creation date that is not a number",
       [](TTRVWorldFileData& d) { d.createdAt = std::numeric_limits<double>::quiet_NaN(); }, "not a number"},
      {"too few grass flags", [](TTRVWorldFileData& d) { d.grass.pop_back(); }, "1023 grass flags for 1024"},
      {"a 300-character world name", [](TTRVWorldFileData& d) { d.worldName.assign(300, 'w'); }, "longer than 255"},
      {"an object outside its sector", [](TTRVWorldFileData& d) { d.sectors[0].placements[0][0].z = 32; },
       "stands outside"},
  };
  for (const Case& c : cases) {
    TTRVWorldFileData d = SmallWorld();
    c.change(d);
    const std::string fault = WorldDataFault(d);
    EXPECT_NE(fault.find(c.message), std::string::npos) << c.name << ": " << fault;
    EXPECT_TRUE(WriteWorldFile(d).empty()) << c.name;
  }
}

TEST(WorldFile, ObjectsMustNameAnObjectOfTheirTheme) {
  const TTRVWorldFileData d = SmallWorld();  // objects 0 and 4 of theme 0
  const std::size_t five[] = {5}, four[] = {4};
  EXPECT_EQ(WorldObjectFault(d, five), "");
  EXPECT_NE(WorldObjectFault(d, four).find("object 4 of theme \"Basic\", which holds 4"), std::string::npos);
  EXPECT_NE(WorldObjectFault(d, {}), "");
}

TEST(WorldFile, SavingReplacesTheFileWholeOrNotAtAll) {
  worldtest::ProgramFolder folder;
  const auto path = folder.Worlds() / "Saved.TRV";
  std::string error;
  ASSERT_TRUE(SaveWorldFile(path, SmallWorld(), error)) << error;
  TTRVWorldFileData back;
  std::ifstream in(path, std::ios::binary);
  const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_TRUE(ParseWorldFile(bytes, back, error)) << error;
  EXPECT_EQ(back, SmallWorld());

  TTRVWorldFileData broken = SmallWorld();
  broken.heightDivisor = 0;
  EXPECT_FALSE(SaveWorldFile(path, broken, error));
  EXPECT_NE(error.find("height divisor"), std::string::npos);
  EXPECT_FALSE(SaveWorldFile(folder.Path() / "missing" / "X.TRV", SmallWorld(), error));
  // The earlier file is untouched and no temporary file is left behind.
  std::ifstream again(path, std::ios::binary);
  EXPECT_EQ(Bytes((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()), bytes);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Worlds())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

}  // namespace

// The theme file (magic "TRVTHM") as plain records: the byte-level reader, its mirror-image
// writer and the checker of the rules shipped themes obey. Builds no materials or scene
// objects, so the generator and the data forge can read and write themes headless.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scene/vectorgeometry.h"

inline constexpr std::string_view kThemeMagic = "TRVTHM";
inline constexpr std::uint8_t kThemeMaterialTag = 'M';
inline constexpr std::uint8_t kThemeObjectTag = 'O';

// Object kinds; the world gives each its own imposters, path blocking and map colour.
enum TTRVObjectKind : std::uint8_t { okTree = 0, okBuilding = 1, okGrass = 2, okObstacle = 3, okImposterObject = 4 };

struct TTRVMaterialRecord {
  std::string materialName;
  std::string infoText1;
  std::string infoText2;
  std::uint8_t heightLayer = 0;
  std::uint8_t slopeLayer = 0;
  std::uint8_t paintsClass = 0;  // terrain class, 0 = none
  std::uint8_t bandLow = 0;
  std::uint8_t bandPeak = 0;
  std::uint8_t bandHigh = 0;
  std::uint8_t slopeThreshold = 0;
  std::uint8_t textureScale = 1;
  std::uint8_t alphaMode = 0;  // 0 opaque, 1 alpha test 50 %, 2 alpha test 100 % and unlit
  std::vector<std::uint8_t> bmp;  // one whole BMP file, exactly as long as its headers say
};

// A point that travels with a model into every proxy of it (unit rigs use them).
struct TTRVMarkerPoint {
  TAffineVector position{0, 0, 0};
  TAffineVector scale{1, 1, 1};
};

struct TTRVObjectRecord {
  std::string objectName;
  std::string objectText;
  std::string objectMaterial;
  std::uint8_t kind = okTree;
  float height = 0;                   // above the ground, in world units
  std::vector<std::uint8_t> meshes;   // one mesh list in its stream form, nothing after it
  std::vector<TTRVMarkerPoint> markers;
};

// Materials and objects each in file order; their index is the one the game uses.
struct TTRVThemeFileData {
  std::string themeName;
  std::vector<TTRVMaterialRecord> materials;
  std::vector<TTRVObjectRecord> objects;
};

// Kind lists and ObjectsOfKind store object indices and counts in single bytes.
inline constexpr std::size_t kMaxThemeObjects = 256;
inline constexpr std::size_t kMaxObjectsOfOneKind = 255;

// Reads a whole theme file. A broken record stops the reading: the complete records before
// it are kept in out, that record and everything after it are dropped, and the answer is
// false with the reason. A later record cannot be trusted once one has gone wrong, because
// the next tag is only found by reading the broken one to its end. Bytes other than the two
// tags between records are skipped one at a time. Never throws on bad input.
bool ParseThemeFile(std::span<const std::uint8_t> bytes, TTRVThemeFileData& out, std::string& error);

// Empty when the data can be written so that ParseThemeFile reads it back unchanged: strings
// of at most 255 characters, every texture one whole valid BMP, every mesh entry exactly one
// readable mesh list, finite heights and markers, at most 255 markers per object, and object
// counts that fit the kind lists.
std::string ThemeFileFault(const TTRVThemeFileData& data);
// Materials first, then objects. Empty when ThemeFileFault has something to say.
std::vector<std::uint8_t> WriteThemeFile(const TTRVThemeFileData& data);

// Weight 0..255 of a height layer for each height byte: rising from lo to pk, falling from pk
// to hi, 0 outside; truncated, so 75 in the band 50/100/150 weighs 127.
std::array<std::uint8_t, 256> ThemeHeightWeights(std::uint8_t lo, std::uint8_t pk, std::uint8_t hi);

// The rules the game's worlds rely on, for the forge and the loader to report. fileName is the
// file's name without folder (".TRV" may stay on); when empty, the name inside stands in for
// it and the name rule is not checked. Answers one line per broken rule, empty when all hold.
std::string CheckThemeRules(const TTRVThemeFileData& data, std::string_view fileName);

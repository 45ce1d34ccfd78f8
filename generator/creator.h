// TTRVWorldCreator: makes one new island from a handful of parameters and an outline
// sketch, and writes it as a world file with its MAP and THUMB images. Runs every stage in
// order on the caller's thread, reporting progress through TTRVGenProgress; needs no window
// and no GL context (themes are read as plain records), so tests and benchmarks run it as is.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "generator/bases.h"
#include "generator/genstate.h"
#include "generator/progress.h"
#include "generator/roads.h"
#include "platform/bitmap.h"
#include "platform/random.h"
#include "world/worldfile.h"

// Where a world's outline comes from.
enum class TTRVSketchSource {
  Given,          // the sketch already in the creator (painted in the dialog)
  RandomSingle,   // a random outline grown from one seed (the tutorial)
  RandomMulti,    // one seed per 10 x 10 sectors (campaigns)
};

struct TTRVCreateResult {
  bool ok = false;
  std::string error;        // why not, when !ok
  // Of the island written, or when none was, of the one that came closest.
  int basesPlaced = 0;      // land bases
  int navalBasesPlaced = 0; // naval bases on valid open sea (of 8), in the first slots
  int layouts = 0;          // islands generated to get there
};

// Islands generated at most before CreateWorld gives up on the bases it needs.
inline constexpr int kMaxLayouts = 4;

class TTRVWorldCreator {
 public:
  // Themes are read from programFolder/themes, worlds written to programFolder/worlds.
  explicit TTRVWorldCreator(std::filesystem::path programFolder, platform::RandomGenerator& rng = platform::Random());

  TTRVGenProgress progress;
  // Called as each stage begins, with its short name ("elevation", "rivers", ...), so a
  // benchmark can time the stages.
  std::function<void(std::string_view stage)> onStage;

  // A random outline into the sketch. False when it could not grow (see DrawSketch).
  bool DrawSketch(bool multiSeed, const TTRVWorldParams& params, std::string& error);
  // The dialog's sketch, one pixel per sector; its red channel guides the outline.
  void SetSketch(const platform::Bitmap& sketch);
  TTRVGrid<std::uint8_t>& Sketch() { return state_.sketch; }

  // Every stage up to the grass. False with a message when the parameters or the themes are
  // unusable or a stage runs out of room (an island with no land to build on).
  bool Generate(const TTRVWorldParams& params, std::string& error);
  // Land bases, naval bases and compounds. Fewer bases than asked is no error: see Layout().
  bool PlaceBases(std::string& error);
  // The world file and its two images. An island the world's loader would refuse is not
  // written (false, and error says why); nothing is left behind on failure, and a world of
  // the same name stays as it was.
  bool SaveWorld(const std::string& worldName, std::string& error);
  bool PlaceBasesAndSave(const std::string& worldName, std::string& error);

  // Generates islands (a new random outline each time unless the sketch is given) until one
  // serves `requiredBases` sides and loads, at most kMaxLayouts times, and writes it. Side i
  // of a game uses land base i, or naval base i when it is a naval side, so a caller passes
  // the highest side index it will use plus one, and the island must hold that many land
  // bases and that many naval bases on valid open sea (at most kNavalBaseCount: naval sides
  // only take indices below it). When no island does, nothing is written and the result
  // says how many of each the closest one held.
  TTRVCreateResult CreateWorld(const TTRVWorldParams& params, TTRVSketchSource sketch, const std::string& worldName,
                               int requiredBases);

  const TTRVGenState& State() const { return state_; }
  TTRVGenState& State() { return state_; }
  const TTRVBaseLayout& Layout() const { return layout_; }
  const TTRVRoadStats& RoadStats() const { return roadStats_; }
  const std::filesystem::path& ProgramFolder() const { return programFolder_; }

 private:
  bool LoadThemes(std::string& error);
  void MakeClimateZones();
  // Empty when the world's loader would take the records, with the themes read here.
  std::string LoadFault(const TTRVWorldFileData& data) const;
  bool WriteWorld(const TTRVWorldFileData& data, const std::string& worldName, std::string& error);
  void Stage(std::string_view name) {
    if (onStage) onStage(name);
  }

  std::filesystem::path programFolder_;
  platform::RandomGenerator& rng_;
  TTRVGenState state_;
  TTRVBaseLayout layout_;
  TTRVRoadStats roadStats_;
  bool unusable_ = false;  // the last Generate failed on its parameters or themes
};

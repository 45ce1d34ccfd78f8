// TTRVWorld: the running game on one island: the per-cell grids every other part asks about,
// the three path grids and their pursuit regions, the themes, the sides and the scene
// containers of sectors, units, projectiles and effects. It needs no engine and no GL
// context: whatever it needs from its surroundings comes in a TTRVWorldContext, and its
// scene objects live under one root in the scene it is given. Loading is worldload.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "config/textids.h"
#include "scene/camera.h"
#include "scene/directopengl.h"
#include "scene/imposter.h"
#include "scene/material.h"
#include "scene/memoryviewer.h"
#include "scene/quadrics.h"
#include "scene/scene.h"
#include "world/cockpit.h"
#include "world/floatingwave.h"
#include "world/grid.h"
#include "world/pathfinder.h"
#include "world/soundcall.h"
#include "world/theme.h"
#include "world/worldfile.h"

class TTRVAIWorldBeacon;  // a side's field toward its rally cells; comes with the units

enum TTRVUnitType : std::uint8_t { utHeli = 0, utTank = 1, utBoat = 2, utTurret = 3 };
enum TTRVMissionType : std::uint8_t { mtSuperiority = 0, mtAttack = 1, mtDefence = 2, mtEscort = 3 };

// One fighting side.
struct TTRVWorldFractionInfo {
  std::string name;
  std::array<std::int16_t, 4> unitCounts{};   // helicopters, tanks, boats, turrets at the start
  std::array<std::int16_t, 4> aliveCounts{};  // counted once a simulated step, after the shots
  std::int32_t sideColour = 0;                // 0x00BBGGRR
  std::array<TTRVCell, 3> rallyCell{};        // of helicopters, tanks, boats
  TAffineVector basePosition{0, 0, 0};        // y = 0
  // Shared so that a side record can still be copied; only the world's copy holds them.
  std::shared_ptr<TTRVAIWorldBeacon> airBeacon, groundBeacon, waterBeacon;
  std::uint8_t scatterSpawn = 0;
  std::uint8_t defending = 0;
  std::uint8_t attacking = 0;
  std::uint8_t roaming = 0;
  std::uint8_t navalBase = 0;
  std::uint8_t sideIndex = 0;
  std::uint8_t mainEnemy = 0;
  std::array<std::int32_t, 4> victoryLosses{-1, -1, -1, -1};    // -1: no condition
  std::array<std::int32_t, 4> survivalMinimum{-1, -1, -1, -1};  // read on the first side only
};

// The set-up of a game, and the part of the world that a save stores as a whole.
struct TTRVWorldInfo {
  std::string worldName;    // "Tutorial" marks the tutorial world
  std::string missionName;  // the campaign; empty or "- - -" for none
  std::uint16_t sectorCountX = 0;
  std::uint16_t sectorCountZ = 0;
  float heightDivisor = 1;
  float mapWidth = 0;  // world map image size in pixels, one per cell
  float mapHeight = 0;
  float mapAspect = 1;
  std::vector<TTRVWorldFractionInfo> sides;
  std::uint8_t playerUnitType = utHeli;
  std::uint8_t playerSide = 0;
  std::uint8_t missionType = mtSuperiority;
  double createdAt = 0;  // days since 1899-12-30
  double savedAt = 0;
  std::uint8_t stancesPreset = 0;
};

// A material of one of the world's themes.
struct TTRVMaterialRef {
  int theme = -1;
  int material = -1;
  bool Valid() const { return theme >= 0 && material >= 0; }
  bool operator==(const TTRVMaterialRef&) const = default;
};

// Everything the world takes from its surroundings. Inside the game the engine fills it;
// tests, benchmarks and the generator fill it themselves.
struct TTRVWorldContext {
  TGLScene* scene = nullptr;  // must outlive the world; null: the world keeps a scene of its own
  std::filesystem::path programFolder;  // themes/ lies here
  std::filesystem::path worldsFolder;   // world files and map images; empty: programFolder/worlds
  TTRVSettings settings;                // Language, ViewDistance, GroundTextureSize, ...
  // Loading progress: (text, percent). May be empty.
  std::function<void(const std::string& text, int percent)> progress;
  TGLCamera* camera = nullptr;                  // the player's view, when there is one
  TGLBaseSceneObject* cameraTarget = nullptr;
  TTRVCockpit cockpit;  // the engine's side of the player's unit
  TTRVSoundCall* sound = nullptr;  // the engine's sound; null: the game is silent
};

class TTRVWorld : public TTRVWorldInfo {
 public:
  explicit TTRVWorld(TTRVWorldContext context);
  ~TTRVWorld();
  TTRVWorld(const TTRVWorld&) = delete;
  TTRVWorld& operator=(const TTRVWorld&) = delete;

  const TTRVWorldContext& Context() const { return context_; }
  std::filesystem::path WorldsFolder() const;
  TTRVLanguage Language() const { return LanguageOf(context_.settings.Language); }
  // Reports progress in the language of the settings: the text, then `suffix`.
  void ReportProgress(TextId text, int percent, const std::string& suffix = {}) const;

  // Reads worlds/<name>.TRV and builds the island (worldload.cpp). False with a message when
  // the file is missing, broken or names a theme that cannot be loaded; the world must then
  // be discarded. For a new game `info` supplies the sides, player and mission.
  bool LoadWorld(const std::string& name, bool newGame, const TTRVWorldInfo* info, std::string& error);

  // Themes.
  TTRVTheme* FindTheme(std::string_view name) const;  // the last with that themeName, or null
  // Loads themes/<name>.TRV and appends it. Null, and nothing appended, when the file is
  // missing or broken; error (when given) then says why.
  TTRVTheme* AddTheme(const std::string& name, std::string* error = nullptr);
  TGLLibMaterial* ThemeMaterial(TTRVMaterialRef ref) const;  // null for an invalid reference
  // What open sea is drawn with: the sea material, or the world's own plain water when no
  // theme paints the sea.
  TGLMaterial& WaterMaterial();

  int CellsX() const { return heightGrid.SizeX(); }
  int CellsZ() const { return heightGrid.SizeZ(); }
  // Moves the camera target, and the camera, to the position.
  void FocusOn(const TAffineVector& position);

  // The world's own share of a game step: the water phases and the texture drift of
  // rivers (units damp with their own dt). The game step (game/) calls it first.
  void AdvanceFrame(float dt);
  // Centres the sky on the camera; the game step calls it once the camera has moved.
  void CentreSky();
  // Shortens the air-strike wait to at most this many seconds.
  void CutAirStrikeTimer(float maxSeconds);

  // The world file, held for the world's lifetime: sectors re-read their records from it.
  std::vector<std::uint8_t> worldStream;
  TTRVGrid<std::int32_t> sectorOffsets;  // (sectorCountX+1) x (sectorCountZ+1); -1: open sea
  std::vector<std::unique_ptr<TTRVTheme>> themes;  // climate themes in file order, then the unit themes
  int climateThemeCount = 0;
  TTRVMaterialRef seaMaterial;                     // paints class 4; the last one found
  std::vector<TTRVMaterialRef> role5Materials;     // paint class 5; animated every frame

  TTRVGrid<std::uint8_t> heightGrid;       // height bytes; ground height = byte / heightDivisor
  TTRVGrid<std::uint8_t> themeGrid;        // index into themes
  TTRVGrid<float> objectHeightGrid;        // height of the static object on the cell, 0 = none
  TTRVGrid<std::uint8_t> grassGrid;        // 1: the cell may carry grass
  TTRVPathFinder airPathFinder;
  TTRVPathFinder groundPathFinder;
  TTRVPathFinder waterPathFinder;
  std::unique_ptr<TTRVAIWorldBeaconFloating> airRegion, groundRegion, waterRegion;
  std::vector<TTRVLandBase> landBases;     // for the set-up of sides
  std::array<TTRVCell16, kNavalBaseCount> navalBases{};

  // Scene containers, all under one root in the context's scene.
  TGLDummyCube* worldRoot = nullptr;
  TGLSphere* skyDome = nullptr;        // normals inside
  TGLDummyCube* sectorRoot = nullptr;  // one column cube per sector column (Tag = sx)
  TGLDummyCube* staticRoot = nullptr;  // naval-base piers
  TGLDummyCube* sideRoot = nullptr;    // one cube per side, its units as children
  TGLDummyCube* grassRoot = nullptr;
  TGLDummyCube* rocketRoot = nullptr;
  TGLDummyCube* bombRoot = nullptr;
  TGLDummyCube* aimMarker = nullptr;   // scaled 0.1
  TGLDummyCube* probeBox = nullptr;    // scaled 0.01 x 0.01 x length
  TGLDirectOpenGL* renderHook = nullptr;
  TGLCamera* bakeCamera = nullptr;     // orthographic, straight down, up +Z
  std::unique_ptr<TGLMemoryViewer> bakeViewer;
  TGLStaticImposterBuilder nearImposterBuilder;
  TGLStaticImposterBuilder farImposterBuilder;
  TGLRenderPoint* imposterPoint = nullptr;  // last in the scene, where queued imposters draw
  TGLMaterialLibrary materialLibrary;  // baked sector textures
  TGLMaterialLibrary hudMaterials;     // "HUDMap", until the HUD brings its own library
  bool hudVisible = false;

  std::uint8_t viewRange = 1;
  TTRVGrid<std::uint8_t> lodTable;   // 4V x 4V detail levels around the camera's sector (the sectors fill it)
  TTRVGrid<std::uint8_t> grassMask;
  TAffineVector lastGrassCentre{0, 0, 0};
  std::array<float, 9> sideStrength{};
  float sectorTimer = 0;
  float wavePhaseA = 0, wavePhaseB = 0, waveSinA = 0, waveSinB = 0;
  std::array<std::array<float, kSectorSide>, kSectorSide> waterRipple{};
  float airStrikeTimer = 0;
  bool running = false;

 private:
  void BuildScene();
  void FillWaterRipple();
  void ClearLoaded();

  std::unique_ptr<TGLScene> ownScene_;  // only when the context brought no scene
  TTRVWorldContext context_;
  TGLMaterial defaultWater_;
  friend class TTRVWorldLoader;
};

// Creates a world in the context and loads it; null with the loader's message when it refuses.
std::unique_ptr<TTRVWorld> CreateLoadedWorld(TTRVWorldContext context, const std::string& name, bool newGame,
                                             const TTRVWorldInfo* info, std::string& error);

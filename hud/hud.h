// TTRVHUD: the head-up display over the 3D view: cursor, weapon icons and reload bars, the
// marker on the unit under the cursor, the air-strike ring, the circular mini-map with its
// armour gauge, unit and base markers, the side-strength bars, their legend and the mission
// shield. Every picture is a HUD sprite in viewer pixels (origin top-left, Y down). It reads the
// world (the sides' aliveCounts as the game step counted them), the engine's cockpit and the
// live settings, and writes back only the mini-map's zoom and size and the scroll of the
// loader's map picture; it plays nothing, fires nothing, decides no game value (the air
// strike's point is the game's) and never touches the system cursor.
//
// Lifecycle (all on the game's thread):
//   created under the world's root right after the world (built at once, hidden until the
//   world's hudVisible is set); BuildMarkers() then Layout(true) once the units are placed or
//   restored; Progress(dt) every game step; UpdateHUD(readout, strikePoint) every frame from
//   the player's unit; destroyed with the world (it must not outlive it).
//
// Missing data is tolerated: without the theme file, or with a material missing from it, the
// sprite concerned shows a plain untextured quad; with no cockpit pointers the HUD keeps a zoom
// and size of its own and reads the world's copy of the settings; with no camera the target
// marker is not shown.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/settings.h"
#include "scene/baseobject.h"
#include "scene/material.h"
#include "scene/quadrics.h"
#include "scene/sprite.h"
#include "units/battlefield.h"
#include "world/theme.h"

class TTRVWorld;
class TTRVEntity;

class TTRVHUD : public TGLDummyCube {
 public:
  // Loads the theme "HUD" from the program folder and builds every sprite.
  explicit TTRVHUD(TTRVWorld& world);
  ~TTRVHUD() override;
  TTRVHUD(const TTRVHUD&) = delete;
  TTRVHUD& operator=(const TTRVHUD&) = delete;

  // Side-coloured copies of the unit icons, target markers and base marker, named with the
  // side index appended ("IconTank2"), made again if they exist. False, adding nothing, when
  // the theme file cannot be had or read; the side's markers then show no texture.
  bool LoadSideIcons(int sideIndex, std::int32_t colour);
  // One marker per unit and per base, the side bars and the shield icons. After the world's
  // units exist; calling it again rebuilds them all.
  void BuildMarkers();
  // Sizes and places everything for the screen, the map size and the zoom (both clamped
  // here). withBars: also the side bars, the legend and the shield.
  void Layout(bool withBars);
  // Every game step, after the game counted the units: map markers, bars, shield, auto zoom,
  // signs. A screen size changed in the settings since the last layout is laid out anew first.
  void Progress(float dt);
  // Every frame, from the player's unit; strikePoint is where the game would send an air
  // strike now (the ring glides there). A readout without a unit changes nothing.
  void UpdateHUD(const TTRVHUDReadout& readout, const TAffineVector& strikePoint);

  // The size of one icon for the current screen: screen width div 50.
  float IconSize() const { return iconSize; }
  // The mini-map's zoom and size: the engine's, or the HUD's own without a cockpit.
  float& MapZoom();
  float& MapSize();

  // Sprites, for the game to read and the tests to look at; the HUD owns them as children.
  TGLHUDSprite* mapSprite = nullptr;
  TGLHUDSprite* markerRoot = nullptr;        // child i: side i's unit markers, in unit order
  TGLDummyCube* baseMarkerRoot = nullptr;    // child i: side i's base marker
  TGLHUDSprite* armourGauge = nullptr;
  TGLHUDSprite* maskSprite = nullptr;
  TGLHUDSprite* cursor = nullptr;
  TGLHUDSprite* mgIcon = nullptr;
  TGLHUDSprite* gunIcon = nullptr;
  TGLHUDSprite* rocketIcon = nullptr;
  TGLHUDSprite* mgBar = nullptr;
  TGLHUDSprite* gunBar = nullptr;
  TGLHUDSprite* rocketBar = nullptr;
  TGLHUDSprite* targetMarker = nullptr;
  TGLHUDSprite* timeAccelSign = nullptr;
  TGLHUDSprite* strikeReadySign = nullptr;
  TGLHUDSprite* shieldSprite = nullptr;      // child p: the icons of protected units of type p
  TGLDummyCube* mapNode = nullptr;           // the player's position, facing the camera's way
  TGLDummyCube* barRoot = nullptr;           // child i: side i's four bars, child p of type p
  TGLDummyCube* legendRoot = nullptr;        // children 0..3 type icons, 4..7 labels
  TGLSphere* strikeMarker = nullptr;         // in world units: the ring where the strike lands

  TTRVTheme theme;                 // "HUD": every bitmap the HUD shows
  TGLMaterialLibrary iconLibrary;  // side-coloured icons; the map image stays the loader's
  std::string themeError;          // why the theme did not load; empty when it did

  // Compared, never followed: the unit may have been freed since it was set.
  const TTRVEntity* targetUnit = nullptr;
  float mapScale = 0;                  // map pixels per world unit, at the current zoom
  float iconSize = 0;
  float playerX = 0, playerZ = 0;
  bool resizing = false, magnifying = false;
  float barTimer = 0;
  bool barMode = false;  // true: unit counts; false: losses still needed for victory

 private:
  void Build();
  TGLHUDSprite* AddSprite(TGLBaseSceneObject& parent, const std::string& themeMaterial);
  void UseThemeMaterial(TGLHUDSprite& sprite, const std::string& name);
  void UseIconMaterial(TGLHUDSprite& sprite, const std::string& name);
  // The engine's settings as they are now, or the world's copy without an engine.
  const TTRVSettings& Settings() const;
  int ScreenWidth() const;
  int ScreenHeight() const;
  // The target marker's size now: pulsing on an enemy, steady on a friend. Layout keeps it,
  // so a zoom or a drag in the same frame does not stop the pulse.
  float TargetMarkerSize() const;
  TAffineVector CameraTargetPosition() const;
  TAffineVector CameraTargetDirection() const;
  // Map pixels of a world point, relative to mapNode (the player, facing the camera's way).
  void MapPoint(const TAffineVector& world, float& x, float& y) const;

  // hudlayout.cpp
  void LayoutBars();
  void PlaceTargetMarker(const TTRVEntity& unit, const TTRVEntity& target);
  void PlaceWeapon(TGLHUDSprite& icon, TGLHUDSprite& bar, TTRVHUDReadout::Icon state, float dx,
                   const char* selectedName, const char* availableName, float ready, bool aimed);
  void UpdateMapTexture();
  void UpdateArmourGauge(const TTRVEntity& unit);
  // hudmap.cpp
  bool MapInteractions(const TTRVEntity& unit);  // true: the weapon icons are hidden
  void ProgressMarkers(bool& fewEnemies);
  // hudbars.cpp
  void BuildBarsAndShield();
  void ProgressBars(float dt);
  void ProgressShield();

  TTRVWorld& world_;
  float ownZoom_ = 1, ownSize_ = 0.2f;  // stand-ins when the cockpit lends none
  float lastDt_ = 0;
  bool targetIsEnemy_ = false;
  int laidOutWidth_ = 0, laidOutHeight_ = 0;  // the screen of the last layout
  std::array<float, 4> barY_{};
};

// A HUD over the unit tests' flat 64 x 64 island: a small HUD theme written into the world's
// program folder (or the forged one), the engine's pointer, zoom and size as plain fields the
// test sets, and the HUD itself under the world's root.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/sidestanding.h"
#include "hud/hud.h"
#include "platform/bitmap.h"
#include "tests/units/unit_fixture.h"
#include "world/themefile.h"

namespace hudtest {

namespace fs = std::filesystem;

// 4 x 4: a black (cut-out) border round a 2 x 2 square of the colour.
inline std::vector<std::uint8_t> SquareBmp(platform::Color colour) {
  platform::Bitmap b(4, 4, 24);
  b.FillRect(0, 0, 4, 4, platform::MakeColor(0, 0, 0));
  b.FillRect(1, 1, 3, 3, colour);
  return b.EncodeBmp();
}

inline void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The icons the side colours are painted on, two cursors, and an object record named like the
// turret icon, which must never become one.
inline TTRVThemeFileData SmallHudTheme() {
  TTRVThemeFileData d;
  d.themeName = "HUD";
  for (const char* name : {"IconHeli", "IconTank", "IconBoat", "HUDtargetFire", "HUDtargetNoFire", "HUDBase"}) {
    TTRVMaterialRecord m;
    m.materialName = name;
    m.alphaMode = 1;
    m.bmp = SquareBmp(platform::MakeColor(255, 255, 255));
    d.materials.push_back(m);
  }
  for (const char* name : {"HUDcursorFire", "HUDcursorNoFire"}) {
    TTRVMaterialRecord m;
    m.materialName = name;
    m.alphaMode = 1;
    m.bmp = SquareBmp(platform::MakeColor(255, 0, 0));
    d.materials.push_back(m);
  }
  TTRVObjectRecord o;
  o.objectName = "IconTurret";
  o.objectMaterial = "IconTurret";
  o.meshes = worldtest::TinyMesh();
  d.objects.push_back(o);
  return d;
}

inline void WriteHudTheme(const fs::path& programFolder, const TTRVThemeFileData& data = SmallHudTheme()) {
  WriteBytes(programFolder / "themes" / "HUD.TRV", WriteThemeFile(data));
}

struct HudOptions {
  int width = 800, height = 600;
  int difficulty = 100;
  bool autoZoom = false;
  bool theme = true;  // write the small HUD theme
  TGLScene* scene = nullptr;  // null: the world keeps a scene of its own
  TGLCamera* camera = nullptr;
};

// Side 0 is the player's (blue), side 1 the enemy (red).
class HudWorld {
 public:
  explicit HudWorld(const HudOptions& o = {})
      : units(o.difficulty, 2, true, true, Cockpit(), [&](TTRVWorldContext& c) {
          c.settings.ResolutionX = o.width;
          c.settings.ResolutionY = o.height;
          c.settings.AutoZoom = o.autoZoom;
          c.camera = o.camera;
          if (o.scene) c.scene = o.scene;
        }) {
    TTRVWorld& w = World();
    w.mapWidth = 64;
    w.mapHeight = 64;
    w.mapAspect = 1;
    w.sides[0].sideColour = 0x00FF0000;  // blue
    w.sides[1].sideColour = 0x000000FF;  // red
    w.sides[1].sideIndex = 1;
    if (o.theme) WriteHudTheme(w.Context().programFolder);
    settings = w.Context().settings;  // the engine's live settings start as the game's copy
    hud = w.worldRoot->AddNewChild<TTRVHUD>(w);
  }

  TTRVWorld& World() { return *units.world; }
  // The game step's share of the HUD: the units counted, then the HUD's pass over the counts.
  void Progress(float dt) {
    CountAliveUnits(World());
    hud->Progress(dt);
  }
  // Counts the unit in its side's standing as the game's set-up does.
  TTRVEntity& Add(int type, TAffineVector at, int side, bool player = false) {
    TTRVEntity& unit = units.Add(type, at, player, side);
    ++World().sides[static_cast<std::size_t>(side)].unitCounts[static_cast<std::size_t>(type)];
    return unit;
  }
  TGLHUDSprite& Marker(int side, int index) {
    return *static_cast<TGLHUDSprite*>(hud->markerRoot->Children(side)->Children(index));
  }
  TGLHUDSprite& Bar(int side, int type) {
    return *static_cast<TGLHUDSprite*>(hud->barRoot->Children(side)->Children(type));
  }

  int mouseX = 400, mouseY = 300;
  float mapZoom = 1, mapSize = 0.2f;
  bool timeAccel = false;
  TTRVSettings settings;  // as the options leave them; the world keeps its start copy
  unittest::UnitWorld units;
  TTRVHUD* hud = nullptr;

 private:
  TTRVCockpit Cockpit() {
    TTRVCockpit c;
    c.mouseX = &mouseX;
    c.mouseY = &mouseY;
    c.mapZoom = &mapZoom;
    c.mapSize = &mapSize;
    c.timeAccel = &timeAccel;
    c.settings = &settings;
    return c;
  }
};

}  // namespace hudtest

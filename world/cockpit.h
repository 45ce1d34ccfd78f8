// What the engine lends the player's unit, the camera follow and the HUD: the controls it
// samples from the keyboard and mouse, the camera eye (which only the camera follow moves),
// the zoom the player's unit clamps, the tutorial's forced weapon, the words through which a
// lost vehicle or the mission rules end the mission, the pointer, the mini-map's zoom and size
// and the live settings. Every field may be null: a headless game has no engine, and its
// player's unit then flies on its own control block.
#pragma once

#include "config/settings.h"
#include "scene/baseobject.h"
#include "world/controlblock.h"
#include "world/status.h"
#include "world/weapons.h"

struct TTRVCockpit {
  TTRVControlBlock* controls = nullptr;  // the engine's; its weaponRequest is the engine's too
  TGLBaseSceneObject* cameraEye = nullptr;  // a child of the context's camera target
  int* zoomAccumulator = nullptr;
  const bool* tutorialMode = nullptr;
  const int* tutorialWeapon = nullptr;  // -1: the player chooses
  const bool* timeAccel = nullptr;      // the world runs three times faster
  TTRVStatus* status = nullptr;
  TTRVReason* reason = nullptr;
  // For the HUD: the pointer over the 3D view (pixels from its top-left) and the mini-map's
  // zoom and size, which the HUD's drags change for the rest of the session.
  const int* mouseX = nullptr;
  const int* mouseY = nullptr;
  float* mapZoom = nullptr;
  float* mapSize = nullptr;
  // The settings as the options leave them, read afresh every frame (the world context keeps
  // the copy the game started with, which the armour was given by).
  const TTRVSettings* settings = nullptr;

  // The tutorial makes the player use the air strike, so its "not ready" is not worth saying.
  bool AirStrikeForced() const {
    return tutorialMode && *tutorialMode && tutorialWeapon && *tutorialWeapon == weapons::kAirStrike;
  }
  bool TimeAccelerated() const { return timeAccel && *timeAccel; }
  // The mission is lost for this reason; said again every frame while it holds.
  void Report(TTRVStatus s, TTRVReason r) const {
    if (status) *status = s;
    if (reason) *reason = r;
  }
};

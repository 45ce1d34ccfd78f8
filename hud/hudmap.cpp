// The mini-map's content: one marker per unit and per base, the per-step pass that moves them
// (over the counts of live units the game step made), the automatic zoom, and the
// right-button drags that zoom and resize the map.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "hud/hud.h"
#include "units/entity.h"
#include "world/world.h"

namespace {

constexpr float kDegrees = 180.0f / std::numbers::pi_v<float>;
constexpr const char* kTypeIcons[] = {"IconHeli", "IconTank", "IconBoat", "IconTurret"};

// Side i's units, in the order they were placed: the children of its cube under sideRoot.
template <class Visit>
void ForSideUnits(const TTRVWorld& world, int side, Visit&& visit) {
  if (!world.sideRoot || side >= world.sideRoot->Count()) return;
  const TGLBaseSceneObject* cube = world.sideRoot->Children(side);
  for (int u = 0; u < cube->Count(); ++u)
    if (auto* unit = dynamic_cast<TTRVEntity*>(cube->Children(u))) visit(*unit);
}

float HorizontalDistance(const TAffineVector& a, const TAffineVector& b) {
  return std::hypot(a.x - b.x, a.z - b.z);
}

}  // namespace

void TTRVHUD::BuildMarkers() {
  Layout(false);
  mapNode->DeleteChildren();
  markerRoot->DeleteChildren();
  baseMarkerRoot->DeleteChildren();
  barRoot->DeleteChildren();
  targetUnit = nullptr;

  const int sides = static_cast<int>(world_.sides.size());
  for (int i = 0; i < sides; ++i) {
    const TTRVWorldFractionInfo& side = world_.sides[static_cast<std::size_t>(i)];
    auto* group = markerRoot->AddNewChild<TGLDummyCube>();
    LoadSideIcons(i, side.sideColour);
    const std::string suffix = std::to_string(i);
    ForSideUnits(world_, i, [&](const TTRVEntity& unit) {
      auto* marker = group->AddNewChild<TGLHUDSprite>();
      UseIconMaterial(*marker, kTypeIcons[unit.state.unitType & 3] + suffix);
      const float size = unit.state.isPlayer ? 2 * iconSize : iconSize;
      marker->SetSize(size, size);
      marker->Visible = false;  // until the first step has placed it
    });
    auto* base = baseMarkerRoot->AddNewChild<TGLHUDSprite>();
    UseIconMaterial(*base, "HUDBase" + suffix);
    base->SetSize(iconSize, iconSize);
    base->Visible = false;
  }
  BuildBarsAndShield();
}

void TTRVHUD::Progress(float dt) {
  lastDt_ = std::isfinite(dt) ? std::max(dt, 0.0f) : 0.0f;
  Visible = world_.hudVisible;
  // The options may have changed the screen since the last frame: follow it at once.
  if (ScreenWidth() != laidOutWidth_ || ScreenHeight() != laidOutHeight_) Layout(true);

  mapNode->Position.SetPoint(playerX, 0, playerZ);
  TAffineVector facing = CameraTargetDirection();
  facing.y = 0;  // the map lies flat whatever the camera's pitch
  if (VectorLength(facing) > 1e-6f) mapNode->Direction.SetVector(VectorNormalize(facing));

  bool fewEnemies = true;
  ProgressMarkers(fewEnemies);
  ProgressBars(lastDt_);
  ProgressShield();

  if (Settings().AutoZoom) {
    // With at most one enemy in sight the map zooms out to find more, else back in.
    MapZoom() += (fewEnemies ? -1.0f : 1.0f) * lastDt_ * 0.05f;
    Layout(false);
  }
  timeAccelSign->Visible = world_.Context().cockpit.TimeAccelerated();
  strikeReadySign->Visible = world_.airStrikeTimer < 0;
}

void TTRVHUD::ProgressMarkers(bool& fewEnemies) {
  const float phase = world_.wavePhaseA;
  const float zoom = MapZoom();
  const float r = std::max(std::min(iconSize * zoom, iconSize), 8.0f);
  const float radius = mapSprite->Width / 2;
  const TAffineVector look = CameraTargetPosition();
  const TAffineVector centre(look.x, 0, look.z);
  bool seen = false;

  const int sides = static_cast<int>(world_.sides.size());
  for (int i = 0; i < sides; ++i) {
    const TTRVWorldFractionInfo& side = world_.sides[static_cast<std::size_t>(i)];
    TGLBaseSceneObject* group = i < markerRoot->Count() ? markerRoot->Children(i) : nullptr;
    int k = 0;
    ForSideUnits(world_, i, [&](const TTRVEntity& unit) {
      // Markers were made for the units of BuildMarkers; a unit added since shows none.
      auto* marker = group && k < group->Count() ? static_cast<TGLHUDSprite*>(group->Children(k)) : nullptr;
      ++k;
      if (unit.Wrecked()) {
        if (marker) marker->Visible = false;
        return;
      }
      if (!marker) return;
      const TAffineVector at = unit.AbsoluteAffinePosition();
      if (VectorLength(at - centre) * mapScale >= radius) {
        marker->Visible = false;
        return;
      }
      if (unit.state.side != world_.playerSide) {
        if (seen) fewEnemies = false;
        seen = true;
      }
      float x = 0, y = 0;
      MapPoint(at, x, y);
      marker->Position.SetPoint(x, y, 0);
      marker->Visible = true;
      if (unit.state.unitType != utTurret) {
        const TVector d = unit.AbsoluteDirection();
        marker->Rotation = mapSprite->Rotation - std::atan2(d.z, d.x) * kDegrees + 90;
      }
      float size = r;
      if (&unit == targetUnit)
        size = (0.2f * std::sin(20 * phase) + 1) * iconSize;
      else if (unit.state.isPlayer)
        size = 2 * iconSize;
      else if (unit.isFar)
        size = r / 2;
      marker->SetSize(size, size);
    });
    if (group)  // units freed since the markers were made leave markers with no unit
      for (int rest = k; rest < group->Count(); ++rest) group->Children(rest)->Visible = false;

    if (i < baseMarkerRoot->Count()) {
      auto* base = static_cast<TGLHUDSprite*>(baseMarkerRoot->Children(i));
      const bool near = HorizontalDistance(side.basePosition, centre) * mapScale < radius;
      base->Visible = side.aliveCounts[utTurret] > 0 && near;
      if (base->Visible) {
        float x = 0, y = 0;
        MapPoint(side.basePosition, x, y);
        base->Position.SetPoint(x, y, 0);
        const float size = (0.4f * std::sin(5 * phase) + 1) * iconSize;
        base->SetSize(size, size);
      }
    }
  }
}

bool TTRVHUD::MapInteractions(const TTRVEntity& unit) {
  const TTRVCockpit& cockpit = world_.Context().cockpit;
  if (!cockpit.mouseX || !cockpit.mouseY) {
    resizing = magnifying = false;
    return false;
  }
  const float mx = static_cast<float>(*cockpit.mouseX), my = static_cast<float>(*cockpit.mouseY);
  const float mapX = mapSprite->Position.X(), mapY = mapSprite->Position.Y();
  const bool pressed = unit.controls.secondary;
  bool hidden = false;

  if (!resizing && !magnifying) {
    const float c = std::hypot(mx - mapX, my - mapY);
    if (c < maskSprite->Width / 2) {
      if (c < mapSprite->Width / 2) {
        UseThemeMaterial(*cursor, "HUDmagnifier");
        hidden = true;
        magnifying = pressed;
      } else if (mx < mapX && my < mapY) {
        // Only the frame's upper-left quarter: the rest lies off the screen's edges.
        UseThemeMaterial(*cursor, "HUDresize");
        hidden = true;
        resizing = pressed;
      }
    }
  }
  if (!pressed) resizing = magnifying = false;

  if (magnifying) {
    UseThemeMaterial(*cursor, "HUDmagnifier");
    MapZoom() -= lastDt_ * static_cast<float>(unit.controls.mouseDY) * 0.5f;
    Layout(false);
    hidden = true;
  }
  if (resizing) {
    UseThemeMaterial(*cursor, "HUDresize");
    const float s = static_cast<float>(ScreenWidth()), h = static_cast<float>(ScreenHeight());
    MapSize() = std::hypot(mx - s, my - h) * 0.75f / s;
    Layout(false);
    hidden = true;
  }
  return hidden;
}

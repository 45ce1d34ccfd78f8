// Where the HUD's pieces sit on the screen, and the per-frame update the player's unit drives:
// cursor, target marker, weapon icons and reload bars, air-strike ring, map scroll and turn,
// armour gauge. The map's own interactions and markers are hudmap.cpp's.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "hud/hud.h"
#include "units/entity.h"
#include "world/world.h"

namespace {

constexpr float kDegrees = 180.0f / std::numbers::pi_v<float>;
// The frame and gauge are drawn for a sprite this many map widths across.
constexpr float kFrameToMap = 1.418f;

}  // namespace

void TTRVHUD::Layout(bool withBars) {
  const int s = ScreenWidth(), h = ScreenHeight();
  laidOutWidth_ = s;
  laidOutHeight_ = h;
  float& zoom = MapZoom();
  float& size = MapSize();
  // A NaN would survive clamping and poison every marker: start it over.
  zoom = std::isfinite(zoom) ? std::clamp(zoom, 0.5f, 3.0f) : 1.0f;
  size = std::isfinite(size) ? std::clamp(size, 0.05f, 0.39f) : 0.2f;

  const float mapWidth = s * size;
  mapSprite->SetSize(mapWidth, mapWidth);
  mapSprite->Position.SetPoint(s - mapWidth / 2, h - mapWidth / 2, 0);
  // From the map's new width: a scale from the old one would put the markers of the first
  // frame after a resize off the picture beneath them.
  mapScale = world_.mapWidth > 0 ? mapSprite->Width / world_.mapWidth * zoom : 0;

  for (TGLHUDSprite* ring : {maskSprite, armourGauge}) {
    ring->SetSize(mapWidth * kFrameToMap, mapWidth * kFrameToMap);
    ring->Position.SetPoint(mapSprite->Position.AsAffineVector());
  }
  markerRoot->SetSize(0, 0);
  markerRoot->Position.SetPoint(mapSprite->Position.AsAffineVector());

  iconSize = static_cast<float>(s / 50);
  // The loader makes the map picture after the HUD is built; the sprite finds it by name.
  mapSprite->Material.MaterialLibrary = &world_.hudMaterials;
  mapSprite->Material.LibMaterialName = "HUDMap";

  cursor->SetSize(2 * iconSize, 2 * iconSize);
  for (TGLHUDSprite* icon : {mgIcon, gunIcon, rocketIcon}) icon->SetSize(iconSize / 2, iconSize / 2);
  for (TGLHUDSprite* bar : {mgBar, gunBar, rocketBar}) bar->Height = iconSize / 6;
  targetMarker->SetSize(TargetMarkerSize(), TargetMarkerSize());

  timeAccelSign->SetSize(2 * iconSize, 2 * iconSize);
  timeAccelSign->Position.SetPoint(5 * iconSize, 2 * iconSize, 0);
  strikeReadySign->SetSize(2 * iconSize, 2 * iconSize);
  strikeReadySign->Position.SetPoint(2 * iconSize, 2 * iconSize, 0);

  if (withBars) LayoutBars();
}

float TTRVHUD::TargetMarkerSize() const {
  return targetIsEnemy_ ? (0.2f * std::sin(20 * world_.wavePhaseA) + 2) * iconSize : 2 * iconSize;
}

void TTRVHUD::UpdateHUD(const TTRVHUDReadout& readout, const TAffineVector& strikePoint) {
  if (!readout.unit) return;
  const TTRVEntity& unit = *readout.unit;
  const TTRVCockpit& cockpit = world_.Context().cockpit;
  const float phase = world_.wavePhaseA;

  if (cockpit.mouseX && cockpit.mouseY)
    cursor->Position.SetPoint(static_cast<float>(*cockpit.mouseX), static_cast<float>(*cockpit.mouseY), 0);

  if (unit.target) {
    const TTRVEntity& target = *unit.target;
    targetUnit = &target;
    PlaceTargetMarker(unit, target);
  } else {
    UseThemeMaterial(*cursor, "HUDcursorUnknownFire");
    targetMarker->Visible = false;
    targetUnit = nullptr;
    targetIsEnemy_ = false;
  }

  const bool iconsHidden = MapInteractions(unit) || readout.airStrikeSelected;
  if (iconsHidden) {
    for (TGLHUDSprite* sprite : {mgIcon, gunIcon, rocketIcon, mgBar, gunBar, rocketBar}) sprite->Visible = false;
  } else {
    PlaceWeapon(*gunIcon, *gunBar, readout.gun, -iconSize, "HUDselectGun", "HUDiconGun", readout.gunReady,
                readout.gunAimed);
    PlaceWeapon(*mgIcon, *mgBar, readout.machineGun, 0, "HUDselectMachinegun", "HUDiconMachinegun",
                readout.machineGunReady, true);
    PlaceWeapon(*rocketIcon, *rocketBar, readout.rockets, iconSize, "HUDselectRocket", "HUDiconRocket",
                readout.rocketReady, readout.rocketAimed);
  }

  if (readout.airStrikeSelected) {
    UseThemeMaterial(*cursor, "HUDArtillery");
    if (!strikeMarker->Visible) strikeMarker->Position.SetPoint(strikePoint);  // no glide in from where it last stood
    strikeMarker->Visible = true;
    // Glides toward the point; a long frame lands it rather than overshooting.
    const float keep = std::clamp(1 - 2 * lastDt_, 0.0f, 1.0f);
    const TAffineVector p = strikeMarker->Position.AsAffineVector();
    strikeMarker->Position.SetPoint(strikePoint + (p - strikePoint) * keep);
    strikeMarker->Material.FrontProperties.Emission.SetColor(0.5f * std::sin(10 * phase) + 0.75f, 0, 0, 0.3f);
  } else {
    strikeMarker->Visible = false;
  }

  const TAffineVector at = unit.AbsoluteAffinePosition();
  playerX = at.x;
  playerZ = at.z;
  UpdateMapTexture();
  const TAffineVector d = CameraTargetDirection();
  mapSprite->Rotation = std::atan2(d.z, d.x) * kDegrees - 90;
  UpdateArmourGauge(unit);
}

void TTRVHUD::PlaceTargetMarker(const TTRVEntity& unit, const TTRVEntity& target) {
  const std::string side = std::to_string(target.state.side);
  targetIsEnemy_ = target.state.side != unit.state.side;
  UseThemeMaterial(*cursor, targetIsEnemy_ ? "HUDcursorFire" : "HUDcursorNoFire");
  UseIconMaterial(*targetMarker, (targetIsEnemy_ ? "HUDtargetFire" : "HUDtargetNoFire") + side);
  targetMarker->SetSize(TargetMarkerSize(), TargetMarkerSize());
  // Without a view there is nowhere on the screen to put it.
  const TGLCamera* camera = world_.Context().camera;
  targetMarker->Visible = camera != nullptr;
  if (!camera) return;
  const TGLBaseSceneObject& node = target.aimNode ? static_cast<const TGLBaseSceneObject&>(*target.aimNode) : target;
  const int s = ScreenWidth(), h = ScreenHeight();
  const TVector clip = camera->ProjectionMatrix(s, h) * camera->ViewMatrix() * TVector(node.AbsoluteAffinePosition(), 1);
  // Behind the eye the projection mirrors the point onto the screen: mark nothing there.
  if (clip.w <= 0) {
    targetMarker->Visible = false;
    return;
  }
  const float x = (clip.x / clip.w * 0.5f + 0.5f) * s;
  const float y = (clip.y / clip.w * 0.5f + 0.5f) * h;
  targetMarker->Position.SetPoint(x, h - y, 0);
}

void TTRVHUD::PlaceWeapon(TGLHUDSprite& icon, TGLHUDSprite& bar, TTRVHUDReadout::Icon state, float dx,
                          const char* selectedName, const char* availableName, float ready, bool aimed) {
  if (state != TTRVHUDReadout::Selected && state != TTRVHUDReadout::Available) {
    icon.Visible = bar.Visible = false;
    return;
  }
  icon.Visible = bar.Visible = true;
  UseThemeMaterial(icon, state == TTRVHUDReadout::Selected ? selectedName : availableName);
  const float x = cursor->Position.X() + dx, y = cursor->Position.Y() + 1.25f * iconSize;
  icon.Position.SetPoint(x, y, 0);
  // A weapon reloaded past full still draws a full bar; NaN counts as empty.
  const float fraction = std::isfinite(ready) ? std::clamp(ready, 0.0f, 1.0f) : 0.0f;
  const float box = iconSize / 2;
  bar.Width = fraction * box;
  bar.Height = iconSize / 6;
  bar.Position.SetPoint(x - box / 2 + bar.Width / 2, y + iconSize / 2, 0);
  TGLColor& colour = bar.Material.FrontProperties.Diffuse;
  if (fraction < 1)
    colour.SetColor(1, 0, 0, 1);
  else if (aimed)
    colour.SetColor(0, 1, 0, 1);
  else
    colour.SetColor(1, 1, 0, 1);
}

void TTRVHUD::UpdateMapTexture() {
  TGLLibMaterial* map = world_.hudMaterials.GetLibMaterialByName("HUDMap");
  if (!map || world_.mapWidth <= 0 || world_.mapHeight <= 0) return;
  const float zoom = MapZoom();
  const float sx = 1 / zoom, sy = world_.mapAspect / zoom;
  map->TextureScale = {sx, sy, 1};
  map->TextureOffset = {-0.5f * sx + (world_.mapWidth - playerX) / world_.mapWidth,
                        -0.5f * sy + playerZ / world_.mapHeight, 0};
}

void TTRVHUD::UpdateArmourGauge(const TTRVEntity& unit) {
  const TTRVUnitTypeInfo& info = unit.TypeInfo();
  const float full = static_cast<float>(world_.Context().settings.Difficulty) * info.baseArmour * info.playerArmourFactor;
  // With a zero Difficulty (or a type without armour) there is no full measure to divide by:
  // the gauge then only tells alive from destroyed.
  float fraction = unit.state.armour > 0 ? 1.0f : 0.0f;
  if (full > 0 && std::isfinite(unit.state.armour)) fraction = std::clamp(unit.state.armour / full, 0.0f, 1.0f);
  armourGauge->Rotation = 180 - fraction * 180;
}

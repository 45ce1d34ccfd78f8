// The side-strength bars along the bottom of the screen, which alternate every five seconds
// between the units each side has alive and the losses each enemy side still has to suffer,
// their legend, and the mission shield that counts the protected units that may still be lost.
#include <algorithm>
#include <cmath>

#include "hud/hud.h"
#include "units/entity.h"
#include "world/world.h"

namespace {

constexpr const char* kTypeIcons[] = {"IconHeli", "IconTank", "IconBoat", "IconTurret"};
constexpr float kBarPeriod = 5;

// The mission rules read the protected units of the first side only, so the shield does too.
constexpr std::size_t kShieldSide = 0;

// Icons the shield may show for one type: one per loss still allowed, and the fatal one.
int ShieldIconCount(int total, int minimum) { return minimum > 0 ? std::max(0, total - minimum + 1) : 0; }

}  // namespace

void TTRVHUD::BuildBarsAndShield() {
  for (const TTRVWorldFractionInfo& side : world_.sides) {
    auto* group = barRoot->AddNewChild<TGLDummyCube>();
    for (int p = 0; p < 4; ++p) {
      auto* bar = group->AddNewChild<TGLHUDSprite>();
      bar->Material.FrontProperties.Diffuse = TGLColor::FromWinColor(static_cast<unsigned>(side.sideColour), 0.5f);
      bar->Material.BlendingMode = bmTransparency;
      bar->Material.MaterialOptions = moNoLighting;
      bar->SetSize(0, iconSize / 2);
      bar->Visible = false;
    }
  }

  shieldSprite->DeleteChildren();
  shieldSprite->Visible = false;
  if (world_.sides.size() <= kShieldSide) return;
  const TTRVWorldFractionInfo& guarded = world_.sides[kShieldSide];
  for (int p = 0; p < 4; ++p) {
    const int minimum = guarded.survivalMinimum[static_cast<std::size_t>(p)];
    if (minimum > 0) shieldSprite->Visible = true;
    auto* group = shieldSprite->AddNewChild<TGLDummyCube>();
    const int icons = ShieldIconCount(guarded.unitCounts[static_cast<std::size_t>(p)], minimum);
    for (int k = 0; k < icons; ++k) {
      TGLHUDSprite* icon = AddSprite(*group, kTypeIcons[p]);
      icon->SetSize(iconSize, iconSize);
      icon->Visible = false;
    }
  }
}

void TTRVHUD::LayoutBars() {
  const float s = static_cast<float>(ScreenWidth()), h = static_cast<float>(ScreenHeight());
  barY_[3] = h - 5 - iconSize / 4;
  for (int p = 2; p >= 0; --p) barY_[static_cast<std::size_t>(p)] = barY_[static_cast<std::size_t>(p) + 1] - 5 - iconSize / 2;

  for (int i = 0; i < barRoot->Count(); ++i) {
    TGLBaseSceneObject* group = barRoot->Children(i);
    for (int p = 0; p < group->Count() && p < 4; ++p) {
      auto* bar = static_cast<TGLHUDSprite*>(group->Children(p));
      bar->Height = iconSize / 2;
      bar->Position.SetY(barY_[static_cast<std::size_t>(p)]);
    }
  }
  for (int c = 0; c < legendRoot->Count() && c < 8; ++c) {
    auto* sprite = static_cast<TGLHUDSprite*>(legendRoot->Children(c));
    const int row = c % 4;
    const float x = c < 4 ? iconSize / 2 + 3 : 1.5f * iconSize + 3;
    sprite->SetSize(iconSize, iconSize);
    sprite->Position.SetPoint(x, barY_[static_cast<std::size_t>(row)], 0);
  }
  if (shieldSprite->Visible) {
    shieldSprite->SetSize(iconSize, iconSize);
    shieldSprite->Position.SetPoint(s - 5 - iconSize, iconSize + 5, 0);
    for (int p = 0; p < shieldSprite->Count(); ++p) {
      TGLBaseSceneObject* group = shieldSprite->Children(p);
      for (int k = 0; k < group->Count(); ++k) {
        auto* icon = static_cast<TGLHUDSprite*>(group->Children(k));
        icon->SetSize(iconSize, iconSize);
        icon->Position.SetY(shieldSprite->Position.Y());
      }
    }
  }
}

void TTRVHUD::ProgressBars(float dt) {
  if (barTimer > kBarPeriod) {
    barTimer = 0;
    barMode = !barMode;
  } else {
    barTimer += dt;
  }
  const int s = ScreenWidth();
  const int groups = std::min(barRoot->Count(), static_cast<int>(world_.sides.size()));
  auto barOf = [&](int side, int type) { return static_cast<TGLHUDSprite*>(barRoot->Children(side)->Children(type)); };

  for (int p = 0; p < 4; ++p) {
    const auto type = static_cast<std::size_t>(p);
    auto* label = legendRoot->Count() > 4 + p ? static_cast<TGLHUDSprite*>(legendRoot->Children(4 + p)) : nullptr;
    bool anyShown = false;
    if (barMode) {
      int total = 0;
      for (int i = 0; i < groups; ++i) total += world_.sides[static_cast<std::size_t>(i)].aliveCounts[type];
      for (int i = 0; i < groups; ++i) {
        const float share = total > 0 ? static_cast<float>(world_.sides[static_cast<std::size_t>(i)].aliveCounts[type]) / total : 0;
        barOf(i, p)->Width = share * static_cast<float>(s / 2 - 2 * static_cast<int>(iconSize) + 3);
      }
      anyShown = total > 0;
      if (label) UseThemeMaterial(*label, "HUDnums");
    } else {
      for (int i = 0; i < groups; ++i) {
        const TTRVWorldFractionInfo& side = world_.sides[static_cast<std::size_t>(i)];
        const int needed = side.victoryLosses[type], counted = side.unitCounts[type];
        // Units of this side still to be destroyed for victory; the first side is the
        // player's own and never has a target to reach.
        const int remaining = needed - (counted - side.aliveCounts[type]);
        const bool shown = needed > 0 && counted > 0 && i != 0 && remaining > 0;
        barOf(i, p)->Width = shown ? static_cast<float>(remaining * (s / 100)) : 0;
        anyShown = anyShown || shown;
      }
      if (label) UseThemeMaterial(*label, "HUDkills");
    }
    if (label) label->Visible = anyShown;

    // One continuous strip per type, the first side's bar starting beside the legend.
    float previousCentre = 0, previousWidth = 0;
    for (int i = 0; i < groups; ++i) {
      TGLHUDSprite* bar = barOf(i, p);
      bar->Visible = anyShown && bar->Width > 0;
      const float centre = i == 0 ? 2 * iconSize + bar->Width / 2 + 5 : previousCentre + previousWidth / 2 + bar->Width / 2;
      bar->Position.SetPoint(centre, barY_[type], 0);
      previousCentre = centre;
      previousWidth = bar->Width;
    }
  }

  const float alpha = barTimer < 0.5f ? barTimer : barTimer <= 4.5f ? 0.5f : std::max(0.0f, kBarPeriod - barTimer);
  for (int i = 0; i < groups; ++i)
    for (int p = 0; p < 4; ++p) barOf(i, p)->Material.FrontProperties.Diffuse.Alpha = alpha;
}

void TTRVHUD::ProgressShield() {
  if (!shieldSprite->Visible || world_.sides.size() <= kShieldSide) return;
  const TTRVWorldFractionInfo& guarded = world_.sides[kShieldSide];
  // One row for all types, right to left from beside the shield.
  float x = shieldSprite->Position.X() - iconSize;
  for (int p = 0; p < shieldSprite->Count() && p < 4; ++p) {
    const auto type = static_cast<std::size_t>(p);
    // alive - minimum + 1 icons: one per protected unit that may still be lost, and the
    // last one the loss that fails the mission.
    const int spare = guarded.aliveCounts[type] - guarded.survivalMinimum[type];
    TGLBaseSceneObject* group = shieldSprite->Children(p);
    for (int k = 0; k < group->Count(); ++k) {
      auto* icon = static_cast<TGLHUDSprite*>(group->Children(k));
      icon->Visible = spare >= k;
      if (!icon->Visible) continue;
      icon->Position.SetPoint(x, shieldSprite->Position.Y(), 0);
      x -= iconSize;
    }
  }
}

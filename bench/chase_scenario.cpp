// morvane-bench chase [WORLD] [--sides S] [--heli N] [--tank|--boat] [--lod D] [--list] [--shoot]:
// starts a new game on a world of the program folder (default "Chase") through the engine as
// the game does, with the player in a helicopter (or a tank, or a boat) among N helicopters a
// side, and runs it at 800 x 600 seen from the chase camera: chase_fps over the measured
// seconds. --lod sets the detail distance, --list prints every unit at the end (where it is,
// near or far, what its pilot does). --shoot puts an enemy turret on the shore or the ground
// nearest the player, brings the player within range and fires at it with the mouse.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/benchdisplay.h"
#include "bench/scenarios.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "shell/engine.h"
#include "shell/worldfactory.h"
#include "world/world.h"
#include "game/game.h"
#include "units/entity.h"
#include "units/targets.h"
#include "world/queries.h"

namespace {

// The land cell nearest to a point within a radius, or the point itself when there is none.
TAffineVector NearestLand(const TTRVWorld& world, const TAffineVector& at, int radius) {
  const TTRVGroundView ground = GroundOf(world);
  TAffineVector best = at;
  float bestDistance = 1e9f;
  const TTRVCell c = CellOf(at);
  for (int dz = -radius; dz <= radius; ++dz)
    for (int dx = -radius; dx <= radius; ++dx) {
      const TAffineVector p(static_cast<float>(c.x + dx), 0, static_cast<float>(c.z + dz));
      const float d = std::hypot(static_cast<float>(dx), static_cast<float>(dz));
      if (d < bestDistance && GroundHeight(ground, p) > 0.3f) bestDistance = d, best = p;
    }
  best.y = GroundHeight(ground, best);
  return best;
}

// An enemy turret set down on the land nearest a boat, or `range` ahead of a land vehicle,
// the player brought within `range` of it (a boat stops at the water's edge) and turned toward
// it. The turret, or null.
TTRVEntity* SetUpTarget(TTRVWorld& world, float range) {
  TTRVEntity* player = nullptr;
  TTRVEntity* turret = nullptr;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (u.state.isPlayer) player = &u;
    else if (!turret && u.state.side != world.playerSide && u.state.unitType == utTurret) turret = &u;
  });
  if (!player || !turret) return nullptr;
  TAffineVector land = NearestLand(world, player->AbsoluteAffinePosition(), 80);
  if (player->state.unitType != utBoat) {
    const TAffineVector ahead(player->AbsoluteDirection());
    land = player->AbsoluteAffinePosition() + TAffineVector(ahead.x, 0, ahead.z) * range;
    land.y = GroundHeight(GroundOf(world), land);
  }
  turret->Position.SetPoint(land);
  const TTRVGroundView ground = GroundOf(world);
  TAffineVector at = player->AbsoluteAffinePosition();
  for (int i = 0; i < 200; ++i) {
    const TAffineVector to = land - at;
    const float d = std::hypot(to.x, to.z);
    if (d <= range) break;
    const TAffineVector next = at + TAffineVector(to.x, 0, to.z) * (0.5f / d);
    if (player->state.unitType == utBoat && GroundHeight(ground, next) > 0) break;
    at = next;
  }
  at.y = player->state.unitType == utBoat ? 0 : GroundHeight(ground, at);
  player->Position.SetPoint(at);
  const TAffineVector to = land - at;
  player->Direction.SetVector(VectorNormalizeOr(TAffineVector(to.x, 0, to.z), {0, 0, 1}));
  return turret;
}

}  // namespace

int RunChaseScenario(const BenchOptions& options) {
  std::string name = "Chase";
  int sides = 2, helicopters = 4, lod = 0;
  bool list = false, tank = false, boat = false, shoot = false;
  const auto& args = options.arguments;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sides" && i + 1 < args.size()) sides = std::clamp(std::atoi(args[++i].c_str()), 1, 9);
    else if (args[i] == "--heli" && i + 1 < args.size()) helicopters = std::clamp(std::atoi(args[++i].c_str()), 1, 50);
    else if (args[i] == "--lod" && i + 1 < args.size()) lod = std::clamp(std::atoi(args[++i].c_str()), 1, 256);
    else if (args[i] == "--list") list = true;
    else if (args[i] == "--tank") tank = true;
    else if (args[i] == "--boat") boat = true;
    else if (args[i] == "--shoot") shoot = true;
    else name = args[i];
  }

  BenchDisplay display;
  if (!display.Open(800, 600, "chase")) return 1;
  TTRVEngine engine(display.window, platform::ProgramFolder());
  engine.Settings.ResolutionX = 800;
  engine.Settings.ResolutionY = 600;
  engine.ApplyViewport();
  if (lod > 0) {
    engine.Settings.LODdist = lod;
    engine.Settings.Derive();
  }
  InstallWorldFactories(engine);

  TTRVWorldInfo info;
  for (int s = 0; s < sides; ++s) {
    TTRVWorldFractionInfo side;
    side.name = "Side " + std::to_string(s + 1);
    side.sideColour = BenchSideColour(s);
    side.unitCounts = {static_cast<std::int16_t>(helicopters), 2, static_cast<std::int16_t>(boat ? 2 : 0), 4};
    side.attacking = 1;
    side.mainEnemy = static_cast<std::uint8_t>(s == 0 ? 1 % sides : 0);
    info.sides.push_back(side);
  }
  info.playerSide = 0;
  info.playerUnitType = boat ? utBoat : tank ? utTank : utHeli;
  if (engine.StartWorld(name, &info, {}) != TTRVStartOutcome::Started) {
    std::fprintf(stderr, "chase: %s\n", engine.LastError().c_str());
    return 1;
  }
  // The player faces the enemy's base, where the company flies.
  auto& game = dynamic_cast<TTRVGame&>(*engine.World);
  ForEachUnit(game.World(), [&](TTRVEntity& u) {
    if (!u.state.isPlayer || game.World().sides.size() < 2) return;
    const TAffineVector to = game.World().sides[1].basePosition - u.AbsoluteAffinePosition();
    u.Direction.SetVector(VectorNormalizeOr(TAffineVector(to.x, 0, to.z), {0, 0, 1}));
  });
  TTRVEntity* target = shoot ? SetUpTarget(game.World(), 14) : nullptr;
  if (shoot && !target) std::fprintf(stderr, "chase: no enemy turret to shoot at\n");
  engine.SkipFade();
  engine.Viewer->Visible = true;
  engine.SetZoom(-400);
  // The pointer rests in the middle of the view: no steering, no tilt.
  display.window.Input().MoveMouse(400, 300);

  const double dt = 1.0 / 60;
  double t = 0;
  const auto frame = [&] {
    // The pointer on the target; the left button held once the view has settled.
    if (target && target->aimNode) {
      const TVector screen = engine.Viewer->Buffer.WorldToScreen(TVector(target->aimNode->AbsoluteAffinePosition(), 1));
      display.window.Input().MoveMouse(static_cast<int>(screen.x), 600 - static_cast<int>(screen.y));
      if (t > 1) display.window.Input().Press(platform::vk::LButton);
    }
    t += dt;
    engine.Progress(dt, t);
    engine.Viewer->Render();
  };
  // Settle: the sectors around the camera bake, the helicopters lift off.
  for (int i = 0; i < 120; ++i) frame();
  const double start = platform::NowSeconds();
  int frames = 0;
  while (platform::NowSeconds() - start < options.seconds) {
    frame();
    ++frames;
  }
  const double elapsed = platform::NowSeconds() - start;
  std::printf("chase_fps: %.1f\n", elapsed > 0 ? frames / elapsed : 0.0);
  if (!options.shotPath.empty()) {
    std::string error;
    if (!engine.Viewer->CreateSnapshotBitmap().SaveBmp(options.shotPath, error)) {
      std::fprintf(stderr, "chase: %s\n", error.c_str());
      return 1;
    }
  }
  if (list) {
    ForEachUnit(game.World(), [](TTRVEntity& u) {
      const TAffineVector p = u.AbsoluteAffinePosition();
      const TAffineVector d(u.AbsoluteDirection());
      std::printf("unit type %d side %d player %d at %.1f %.1f %.1f dir %.2f %.2f far %d ai %d cam %.1f model %d\n",
                  u.state.unitType, u.state.side, u.state.isPlayer, p.x, p.y, p.z, d.x, d.z, u.isFar,
                  static_cast<int>(u.aiState), u.cameraDistance, u.Children(0)->Visible ? 1 : 0);
    });
  }
  engine.StopWorld();
  return 0;
}

// morvane-bench battle [WORLD] [--sides S] [--units N] [--type heli|tank|boat|mixed]: a battle
// in front of the camera at 800 x 600 with the default ("Medium") detail, through the engine as
// the game runs it: N vehicles in all (helicopters unless --type says otherwise), shared among
// S sides, every pilot the computer's (the player's own
// helicopter on autopilot, the camera behind it), the other sides' helicopters brought within
// 25 to 40 units of it so the fighting is in view from the first second. Prints battle_fps,
// battle_cpu_ms_per_frame (every thread's, the renderer's included), step_ms_mean (the game
// step alone) and floor_fps (the same window cleared and swapped only).
// WORLD (default "Battle") is generated into the program folder's worlds/ when missing.
// --record FILE.wav renders what the battle sounds like through the loopback device instead
// of the sound card: the seconds given of game time, a thirtieth of a second per frame.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/benchdisplay.h"
#include "bench/scenarios.h"
#include "audio/wavfile.h"
#include "bench/unitmix.h"
#include "game/game.h"
#include "generator/creator.h"
#include "platform/atomicfile.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "shell/engine.h"
#include "shell/worldfactory.h"
#include "units/entity.h"
#include "units/targets.h"

namespace fs = std::filesystem;

namespace {

bool EnsureWorld(const std::string& name) {
  std::error_code ec;
  if (fs::exists(platform::ProgramFiles(platform::ProgramFolder()).World(name), ec)) return true;
  TTRVWorldParams params;
  params.heightScale = 19;
  params.themeNames = {"Basic", "Water", "Military"};
  platform::Random().Seed(7);
  TTRVWorldCreator creator(platform::ProgramFolder());
  const TTRVCreateResult made = creator.CreateWorld(params, TTRVSketchSource::RandomMulti, name, 2);
  if (!made.ok) std::fprintf(stderr, "battle: %s\n", made.error.c_str());
  return made.ok;
}

}  // namespace

int RunBattleScenario(const BenchOptions& options) {
  std::string name = "Battle";
  int sides = 2, units = 20, mix = utHeli;
  std::string recordPath;
  const auto& args = options.arguments;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sides" && i + 1 < args.size()) sides = std::clamp(std::atoi(args[++i].c_str()), 2, 9);
    else if (args[i] == "--record" && i + 1 < args.size()) recordPath = args[++i];
    else if (args[i] == "--units" && i + 1 < args.size()) units = std::clamp(std::atoi(args[++i].c_str()), 2, 400);
    else if (args[i] == "--type" && i + 1 < args.size()) {
      const std::optional<int> parsed = ParseUnitMix(args[++i]);
      if (!parsed) {
        std::fprintf(stderr, "battle: --type heli|tank|boat|mixed\n");
        return 2;
      }
      mix = *parsed;
    }
    else name = args[i];
  }
  if (!EnsureWorld(name)) return 1;

  BenchDisplay display;
  if (!display.Open(800, 600, "battle")) return 1;
  TTRVEngine engine(display.window, platform::ProgramFolder());
  engine.Settings.ResolutionX = 800;
  engine.Settings.ResolutionY = 600;
  engine.ApplyViewport();
  InstallWorldFactories(engine);
  constexpr int kRecordRate = 44100;
  audio::TSoundSample recording{kRecordRate, 2, {}};
  if (!recordPath.empty()) {
    engine.Settings.MusicOn = false;
    if (!engine.Audio.UseLoopback(kRecordRate)) {
      std::fprintf(stderr, "battle: no loopback sound device to record with\n");
      return 1;
    }
  }

  TTRVWorldInfo info;
  for (int s = 0; s < sides; ++s) {
    TTRVWorldFractionInfo side;
    side.name = "Side " + std::to_string(s + 1);
    side.sideColour = BenchSideColour(s);
    AddVehicles(side.unitCounts, units / sides + (s < units % sides ? 1 : 0), mix);
    side.attacking = 1;
    side.mainEnemy = static_cast<std::uint8_t>(s == 0 ? 1 : 0);
    // Every helicopter to win, as a skirmish would ask; the bench runs on whatever the outcome.
    for (std::size_t t = 0; t < 3; ++t) side.victoryLosses[t] = side.unitCounts[t] > 0 ? side.unitCounts[t] : -1;
    info.sides.push_back(side);
  }
  info.playerSide = 0;
  info.playerUnitType = static_cast<std::uint8_t>(mix < 0 ? utHeli : mix);
  if (engine.StartWorld(name, &info, {}) != TTRVStartOutcome::Started) {
    std::fprintf(stderr, "battle: %s\n", engine.LastError().c_str());
    return 1;
  }
  auto& game = dynamic_cast<TTRVGame&>(*engine.World);
  TTRVWorld& world = game.World();
  TTRVEntity* player = nullptr;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (u.state.isPlayer) player = &u;
  });
  if (!player) {
    std::fprintf(stderr, "battle: no player's unit\n");
    return 1;
  }
  player->autopilot = true;
  // The enemies come to the player: in a ring 25 to 40 units out, at the player's height.
  const TAffineVector centre = player->AbsoluteAffinePosition();
  int k = 0;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (u.state.side == 0 || u.state.unitType != utHeli) return;
    const float angle = 0.7f * static_cast<float>(k), reach = 25.0f + static_cast<float>(k % 4) * 5;
    ++k;
    u.Position.SetPoint(centre + TAffineVector(std::cos(angle) * reach, 1, std::sin(angle) * reach));
  });

  // The bench steps the engine itself, with the cadencer idle: the effects must not wait for it.
  engine.Audio.Effects.SetPaused(false);
  engine.SkipFade();
  engine.Viewer->Visible = true;
  engine.SetZoom(-500);
  display.window.Input().MoveMouse(400, 300);

  const double dt = 1.0 / 30;
  double t = 0, stepSeconds = 0;
  int steps = 0;
  bool recordingNow = false;
  std::vector<std::int16_t> mixed;
  const auto frame = [&] {
    t += dt;
    // The autopilot flies the player's helicopter; the camera rig still rides behind it.
    TAffineVector at = player->AbsoluteAffinePosition();
    engine.CameraTarget->Position.SetPoint(at + TAffineVector(0, player->TypeInfo().cameraHeight, 0));
    engine.CameraTarget->Direction.SetVector(TAffineVector(player->AbsoluteDirection()));
    const auto s0 = std::chrono::steady_clock::now();
    // The cadencer's order: the sound manager, then the engine's step.
    engine.Audio.Effects.Update();
    engine.Progress(dt, t);
    stepSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - s0).count();
    ++steps;
    engine.Viewer->Render();
    if (!recordPath.empty()) {
      engine.Audio.Output.Render(static_cast<std::size_t>(kRecordRate * dt), mixed);
      if (recordingNow) recording.pcm.insert(recording.pcm.end(), mixed.begin(), mixed.end());
    }
  };
  for (int i = 0; i < 60; ++i) frame();  // the ground around the camera bakes first
  stepSeconds = 0;
  steps = 0;
  const double start = platform::NowSeconds();
  // Every thread's processor time: the renderer's own threads included, and steadier than
  // the wall clock on a shared machine.
  const std::clock_t cpu0 = std::clock();
  int frames = 0;
  int particlesMax = 0;
  recordingNow = true;
  const int recordFrames = static_cast<int>(options.seconds / dt);
  while (recordPath.empty() ? platform::NowSeconds() - start < options.seconds : frames < recordFrames) {
    frame();
    ++frames;
    particlesMax = std::max(particlesMax, game.Effects().ParticleCount());
  }
  const double elapsed = platform::NowSeconds() - start;
  const double cpuMsPerFrame = frames > 0 ? static_cast<double>(std::clock() - cpu0) * 1000.0 / CLOCKS_PER_SEC / frames : 0.0;
  recordingNow = false;
  if (!recordPath.empty()) {
    std::string error;
    if (!platform::WriteFileAtomically(recordPath, audio::EncodeWav(recording), error)) {
      std::fprintf(stderr, "battle: %s\n", error.c_str());
      return 1;
    }
    std::printf("recorded_s: %.2f\n", recording.Seconds());
  }
  if (!options.shotPath.empty()) {
    std::string error;
    if (!engine.Viewer->CreateSnapshotBitmap().SaveBmp(options.shotPath, error))
      std::fprintf(stderr, "battle: %s\n", error.c_str());
  }
  int alive = 0, wrecks = 0;
  ForEachUnit(world, [&](TTRVEntity& u) { (u.Wrecked() ? wrecks : alive) += 1; });

  // The floor: the same window, nothing drawn but the clear.
  engine.Viewer->SetCamera(nullptr);
  int floorFrames = 0;
  const double f0 = platform::NowSeconds();
  while (platform::NowSeconds() - f0 < std::max(1.0, options.seconds / 4)) {
    engine.Viewer->Render();
    ++floorFrames;
  }
  engine.Viewer->SetCamera(engine.Camera);
  const double floorSeconds = platform::NowSeconds() - f0;

  std::printf("sides: %d\nunits: %d\n", sides, units);
  std::printf("battle_fps: %.1f\n", elapsed > 0 ? frames / elapsed : 0.0);
  std::printf("battle_cpu_ms_per_frame: %.2f\n", cpuMsPerFrame);
  std::printf("step_ms_mean: %.3f\n", steps > 0 ? 1000 * stepSeconds / steps : 0.0);
  std::printf("floor_fps: %.1f\n", floorSeconds > 0 ? floorFrames / floorSeconds : 0.0);
  std::printf("particles_max: %d\nalive_at_end: %d\nwrecks_at_end: %d\n", particlesMax, alive, wrecks);
  engine.StopWorld();
  return 0;
}

// The engine's world factories over the game's new-game start and its saved-game load.
#include "shell/worldfactory.h"

#include "game/game.h"
#include "shell/engine.h"

namespace {

// The engine's side of a world: its scene, settings, loading dialog, camera, sound and cockpit.
TTRVWorldContext EngineContext(TTRVEngine& e) {
  TTRVWorldContext context;
  context.scene = &e.Scene;
  context.programFolder = e.ProgramFolder();
  context.worldsFolder = e.Files().WorldsFolder();
  context.settings = e.Settings;
  context.progress = [&e](const std::string& text, int percent) { e.ShowLoadingProgress(text, percent); };
  context.camera = e.Camera;
  context.sound = &e.Audio.Effects;
  context.cameraTarget = e.CameraTarget;
  context.cockpit = e.LendCockpit();
  return context;
}

std::unique_ptr<TTRVRunningWorld> Ready(TTRVEngine& e, std::unique_ptr<TTRVGame> game) {
  if (!game) return nullptr;
  // The fog closes the view where the sky and the streamed sectors end.
  TGLFogEnvironment& fog = e.Viewer->Buffer.FogEnvironment;
  fog.FogStart = 22.0f * e.Settings.ViewDistance;
  fog.FogEnd = 28.0f * e.Settings.ViewDistance;
  return game;
}

}  // namespace

void InstallWorldFactories(TTRVEngine& engine) {
  engine.NewGameLoader = [](TTRVEngine& e, const std::string& name, const TTRVWorldInfo* info,
                            std::string& error) -> std::unique_ptr<TTRVRunningWorld> {
    return Ready(e, StartNewGame(EngineContext(e), name, info, error));
  };
  engine.SavedGameLoader = [](TTRVEngine& e, const std::string& name, const TTRVWorldInfo*,
                              std::string& error) -> std::unique_ptr<TTRVRunningWorld> {
    const std::filesystem::path file = e.Files().Save(name);
    if (file.empty()) {
      error = "\"" + name + "\" is not a save name";
      return nullptr;
    }
    return Ready(e, LoadSavedGame(EngineContext(e), file, error));
  };
}

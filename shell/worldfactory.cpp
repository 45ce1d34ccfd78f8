// The engine's world factory over the game's new-game start.
#include "shell/worldfactory.h"

#include "game/game.h"
#include "shell/engine.h"

void InstallWorldFactories(TTRVEngine& engine) {
  engine.NewGameLoader = [](TTRVEngine& e, const std::string& name, const TTRVWorldInfo* info,
                            std::string& error) -> std::unique_ptr<TTRVRunningWorld> {
    TTRVWorldContext context;
    context.scene = &e.Scene;
    context.programFolder = e.ProgramFolder();
    context.settings = e.Settings;
    context.progress = [&e](const std::string& text, int percent) { e.ShowLoadingProgress(text, percent); };
    context.camera = e.Camera;
    context.sound = &e.Audio.Effects;
    context.cameraTarget = e.CameraTarget;
    context.cockpit = e.LendCockpit();
    std::unique_ptr<TTRVGame> game = StartNewGame(std::move(context), name, info, error);
    if (!game) return nullptr;
    // The fog closes the view where the sky and the streamed sectors end.
    TGLFogEnvironment& fog = e.Viewer->Buffer.FogEnvironment;
    fog.FogStart = 22.0f * e.Settings.ViewDistance;
    fog.FogEnd = 28.0f * e.Settings.ViewDistance;
    return game;
  };
}

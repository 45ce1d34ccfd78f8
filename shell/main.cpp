// Program start: opens the game window and runs the message loop over the scene rig
// (camera, sunlight, fog) until the window is closed or the program is asked to stop.
#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/window.h"
#include "scene/cadencer.h"
#include "scene/camera.h"
#include "scene/customobject.h"
#include "scene/scene.h"
#include "scene/viewer.h"

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "morvane: %s\n", SDL_GetError());
    return 1;
  }
  int code = 0;
  {
    platform::Window window;
    std::string error;
    platform::WindowOptions options;
    options.width = 800;
    options.height = 600;
    if (!window.Create(options, error)) {
      std::fprintf(stderr, "morvane: %s\n", error.c_str());
      code = 1;
    } else {
      TGLScene scene;
      auto* camera = scene.Objects().AddNewChild<TGLCamera>();
      camera->FocalLength = window.Width() / 800.0f * 50;
      camera->DepthOfView = 1024;
      camera->Position.SetPoint(0, 5, -10);
      auto* sun = scene.Objects().AddNewChild<TGLLightSource>();
      sun->LightStyle = lsParallel;
      sun->SpotDirection.SetVector(-0.3f, -1, 0.4f);

      TGLSceneViewer viewer(window);
      viewer.SetCamera(camera);
      viewer.Buffer.BackgroundColor = 0x00E0C8A0;  // sky blue, red in the low byte
      viewer.Buffer.FogEnable = true;
      viewer.Buffer.FogEnvironment.FogColor = TGLColor::FromWinColor(0x00E0C8A0);
      viewer.Buffer.FogEnvironment.FogStart = 22 * 16;
      viewer.Buffer.FogEnvironment.FogEnd = 28 * 16;

      TGLCadencer cadencer;
      cadencer.Scene = &scene;
      platform::MessageLoop loop(window);
      loop.OnIdle = [&] {
        cadencer.Progress();
        viewer.Render();
        return true;
      };
      loop.Run();
    }
  }
  SDL_Quit();
  return code;
}

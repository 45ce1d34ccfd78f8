// Program start: the program folder becomes the current directory, the random generator is
// seeded, the main window is created and the message loop runs until the window closes.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/paths.h"
#include "platform/random.h"
#include "shell/mainwindow.h"

int main(int, char**) {
  std::filesystem::path folder = platform::ProgramFolder();
  std::error_code ec;
  std::filesystem::current_path(folder, ec);
  platform::Randomize();
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");  // SIGTERM and SIGINT arrive as a quit event
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "morvane: %s\n", SDL_GetError());
    return 1;
  }
  int code = 0;
  {
    TFormTarvin mainWindow(folder);
    std::string error;
    if (!mainWindow.Create(error)) {
      std::fprintf(stderr, "morvane: %s\n", error.c_str());
      code = 1;
    } else {
      mainWindow.Run();
    }
  }
  SDL_Quit();
  return code;
}

// Program start: the program folder becomes the current directory, the random generator is
// seeded, the main window is created and the message loop runs until the window closes.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/paths.h"
#include "platform/random.h"
#include "platform/window.h"
#include "shell/mainwindow.h"

int main(int, char**) {
  std::filesystem::path folder = platform::ProgramFolder();
  std::error_code ec;
  std::filesystem::current_path(folder, ec);
  platform::Randomize();
  platform::VideoSession video;
  if (!video.Ok()) {
    std::fprintf(stderr, "morvane: %s\n", video.Error().c_str());
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
  return code;
}

// The window every drawing scenario opens: video started and a window of the asked size, or
// the reason printed under the scenario's name.
#pragma once

#include <cstdio>
#include <string>

#include "platform/window.h"

struct BenchDisplay {
  platform::VideoSession video;  // declared first: it outlives the window
  platform::Window window;

  bool Open(int width, int height, const char* who, const std::string& title = "Morvane Field Command") {
    if (!video.Ok()) {
      std::fprintf(stderr, "%s: %s\n", who, video.Error().c_str());
      return false;
    }
    platform::WindowOptions options;
    options.title = title;
    options.width = width;
    options.height = height;
    std::string error;
    if (!window.Create(options, error)) {
      std::fprintf(stderr, "%s: %s\n", who, error.c_str());
      return false;
    }
    return true;
  }
};

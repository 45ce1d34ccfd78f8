// Display modes: what the screen can show, switching the game window into one of them
// full screen and back.
#pragma once

#include <optional>
#include <vector>

struct SDL_Window;

namespace platform {

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bits = 0;     // bytes per pixel x 8, so a true-colour desktop reports 32
  int refresh = 0;  // Hz, 0 when the driver does not say

  bool operator==(const DisplayMode&) const = default;
};

// The modes of one display as the video driver lists them (largest first), with the
// desktop mode always among them. Empty when video is not initialised or the display
// does not exist.
std::vector<DisplayMode> ListDisplayModes(int displayIndex = 0);

// The desktop's current mode, or nothing without video.
std::optional<DisplayMode> DesktopDisplayMode(int displayIndex = 0);

// True when the display lists a mode of this size and depth; bits = 0 matches any depth.
// Asking changes nothing.
bool TestDisplayMode(int width, int height, int bits, int displayIndex = 0);

// Switches the window to full screen in the given mode (the highest refresh rate the
// display offers for it). False, with nothing changed, when the display has no such mode
// or the switch cannot be made.
bool EnterFullScreen(SDL_Window* window, int width, int height, int bits);

// Back to a desktop window; the driver restores the desktop mode.
void LeaveFullScreen(SDL_Window* window);

}  // namespace platform

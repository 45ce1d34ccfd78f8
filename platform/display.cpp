// Display modes over SDL's mode list and its window full-screen switch.
#include "platform/display.h"

#include <SDL.h>

#include <algorithm>

namespace platform {
namespace {

DisplayMode FromSdl(const SDL_DisplayMode& mode) {
  return {mode.w, mode.h, static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8, mode.refresh_rate};
}

bool Matches(const SDL_DisplayMode& mode, int width, int height, int bits) {
  return mode.w == width && mode.h == height &&
         (bits == 0 || static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8 == bits);
}

// The driver's list with the blank entries some drivers report removed, and the desktop
// mode added when the list leaves it out: the desktop can always be shown.
std::vector<SDL_DisplayMode> SdlModes(int displayIndex) {
  std::vector<SDL_DisplayMode> modes;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return modes;
  const int count = SDL_GetNumDisplayModes(displayIndex);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(displayIndex, i, &mode) == 0 && mode.w > 0 && mode.h > 0) modes.push_back(mode);
  }
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(displayIndex, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
    const bool listed = std::any_of(modes.begin(), modes.end(), [&](const SDL_DisplayMode& m) {
      return m.w == desktop.w && m.h == desktop.h && m.format == desktop.format;
    });
    if (!listed) modes.push_back(desktop);
  }
  return modes;
}

// The mode of this size and depth with the highest refresh rate.
std::optional<SDL_DisplayMode> FindMode(int displayIndex, int width, int height, int bits) {
  std::optional<SDL_DisplayMode> best;
  for (const SDL_DisplayMode& mode : SdlModes(displayIndex)) {
    if (!Matches(mode, width, height, bits)) continue;
    if (!best || mode.refresh_rate > best->refresh_rate) best = mode;
  }
  return best;
}

}  // namespace

std::vector<DisplayMode> ListDisplayModes(int displayIndex) {
  std::vector<DisplayMode> modes;
  for (const SDL_DisplayMode& mode : SdlModes(displayIndex)) modes.push_back(FromSdl(mode));
  return modes;
}

std::optional<DisplayMode> DesktopDisplayMode(int displayIndex) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return std::nullopt;
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(displayIndex, &mode) != 0) return std::nullopt;
  return FromSdl(mode);
}

bool TestDisplayMode(int width, int height, int bits, int displayIndex) {
  return FindMode(displayIndex, width, height, bits).has_value();
}

bool EnterFullScreen(SDL_Window* window, int width, int height, int bits) {
  if (window == nullptr) return false;
  const int displayIndex = SDL_GetWindowDisplayIndex(window);
  if (displayIndex < 0) return false;
  const std::optional<SDL_DisplayMode> mode = FindMode(displayIndex, width, height, bits);
  if (!mode) return false;

  // The desktop's own mode needs no mode switch: a borderless window over the whole
  // screen is quicker to enter and behaves the same with or without a window manager.
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(displayIndex, &desktop) == 0 && desktop.w == mode->w && desktop.h == mode->h)
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;

  SDL_DisplayMode previous{};
  const bool hadPrevious = SDL_GetWindowDisplayMode(window, &previous) == 0;
  if (SDL_SetWindowDisplayMode(window, &*mode) != 0) return false;
  if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
    // Put back the mode the window would have used, so a failure leaves no trace.
    if (hadPrevious) SDL_SetWindowDisplayMode(window, &previous);
    return false;
  }
  return true;
}

void LeaveFullScreen(SDL_Window* window) {
  if (window != nullptr) SDL_SetWindowFullscreen(window, 0);
}

}  // namespace platform

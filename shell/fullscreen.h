// TFullScreen: the display-mode switcher of the main window: one of 24 resolution modes,
// entering and leaving full screen. A mode the display cannot show is refused when it is set
// and the previous display mode is kept; the caller falls back instead of giving up.
#pragma once

#include <functional>
#include <string>

struct SDL_Window;

enum TScreenResolution {
  srDefault, sr320x200x8, sr320x200x16, sr320x200x32, sr320x240x8, sr320x240x16, sr320x240x32,
  sr400x300x8, sr400x300x16, sr400x300x32, sr640x480x8, sr640x480x16, sr640x480x32,
  sr800x600x8, sr800x600x16, sr800x600x32, sr1024x768x8, sr1024x768x16, sr1024x768x32,
  sr1280x1024x8, sr1280x1024x16, sr1280x1024x32, sr1600x1200x16, sr1600x1200x32,
};

struct TDisplayMode {
  int Width = 0, Height = 0, BitsPerPixel = 0;
};

// Width, height and depth of a mode; srDefault answers the desktop's.
TDisplayMode DisplayModeOf(TScreenResolution mode);

class TFullScreen {
 public:
  explicit TFullScreen(SDL_Window* window = nullptr) : window_(window) {}
  ~TFullScreen();
  TFullScreen(const TFullScreen&) = delete;
  TFullScreen& operator=(const TFullScreen&) = delete;

  void SetWindow(SDL_Window* window) { window_ = window; }
  TScreenResolution ResolutionMode() const { return mode_; }
  // Stores the mode's size when the display can show it; otherwise answers false with the
  // message the player sees, and DisplayMode keeps the previous size.
  bool SetResolutionMode(TScreenResolution mode, std::string& error);
  const TDisplayMode& DisplayMode() const { return displayMode_; }
  bool HideCursor = false;
  bool Active() const { return active_; }

  std::function<void(const TDisplayMode&, TScreenResolution)> OnActive, OnNotActive;
  // Whether the display can show a mode: the display's own list when empty. Tests give a
  // screen of their own, since a virtual display offers one mode only.
  std::function<bool(const TDisplayMode&)> CanShow;

  // Enters the stored mode full screen; false (nothing changed) if the display refuses it.
  bool Enter();
  void Leave();

 private:
  SDL_Window* window_;
  TScreenResolution mode_ = srDefault;
  TDisplayMode displayMode_ = DisplayModeOf(srDefault);
  bool active_ = false;
};

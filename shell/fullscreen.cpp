// Resolution modes and the full-screen switch.
#include "shell/fullscreen.h"

#include "platform/cursor.h"
#include "platform/display.h"

namespace {
struct ModeRow {
  int w, h, bits;
};
constexpr ModeRow kModes[] = {
    {0, 0, 0},       {320, 200, 8},   {320, 200, 16},  {320, 200, 32},  {320, 240, 8},    {320, 240, 16},
    {320, 240, 32},  {400, 300, 8},   {400, 300, 16},  {400, 300, 32},  {640, 480, 8},    {640, 480, 16},
    {640, 480, 32},  {800, 600, 8},   {800, 600, 16},  {800, 600, 32},  {1024, 768, 8},   {1024, 768, 16},
    {1024, 768, 32}, {1280, 1024, 8}, {1280, 1024, 16}, {1280, 1024, 32}, {1600, 1200, 16}, {1600, 1200, 32},
};
}  // namespace

TDisplayMode DisplayModeOf(TScreenResolution mode) {
  int index = static_cast<int>(mode);
  if (index <= 0 || index >= static_cast<int>(std::size(kModes))) {
    auto desktop = platform::DesktopDisplayMode();
    if (!desktop) return {};
    return {desktop->width, desktop->height, desktop->bits};
  }
  return {kModes[index].w, kModes[index].h, kModes[index].bits};
}

TFullScreen::~TFullScreen() {
  if (active_) Leave();
}

bool TFullScreen::SetResolutionMode(TScreenResolution mode, std::string& error) {
  mode_ = mode;
  TDisplayMode m = DisplayModeOf(mode);
  const bool shown = CanShow ? CanShow(m) : platform::TestDisplayMode(m.Width, m.Height, m.BitsPerPixel);
  if (m.Width <= 0 || !shown) {
    error = "The resolution and/or screen depth are not supported by your hardware.";
    return false;
  }
  displayMode_ = m;
  return true;
}

bool TFullScreen::Enter() {
  if (!window_ || displayMode_.Width <= 0) return false;
  if (!platform::EnterFullScreen(window_, displayMode_.Width, displayMode_.Height, displayMode_.BitsPerPixel))
    return false;
  if (HideCursor) platform::ShowCursor(false);
  active_ = true;
  if (OnActive) OnActive(displayMode_, mode_);
  return true;
}

void TFullScreen::Leave() {
  platform::ShowCursor(true);
  if (window_) platform::LeaveFullScreen(window_);
  bool was = active_;
  active_ = false;
  if (was && OnNotActive) OnNotActive(displayMode_, mode_);
}

// The whole game in this process, driven like a player would: a scratch program folder
// beside the built game's data, the real main window, a clock that moves one frame per
// step (so seconds of play take no longer than their frames), input pushed as window-system
// events through the platform's message loop, and screenshots read back from the window.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"
#include "scene/viewer.h"
#include "shell/mainwindow.h"

namespace e2e {

namespace fs = std::filesystem;

// The program folder this build made: game/ beside the tests' folder.
inline fs::path BuiltGameFolder() { return platform::ProgramFolder().parent_path() / "game"; }

// Where the scripts leave their screenshots to be looked at: MORVANE_SHOTS, else the
// build's e2e-shots folder.
inline fs::path ShotFolder() {
  const char* dir = std::getenv("MORVANE_SHOTS");
  fs::path folder = dir ? fs::path(dir) : platform::ProgramFolder().parent_path() / "e2e-shots";
  fs::create_directories(folder);
  return folder;
}

class Session {
 public:
  static constexpr double kFrame = 1.0 / 30;

  // A fresh program folder named after the test, sharing the built game's read-only data;
  // `config` is written as config.ini unless empty (a first run).
  explicit Session(const std::string& name, const std::string& config = "") {
    folder_ = fs::temp_directory_path() / ("morvane-e2e-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    for (const char* shared : {"data", "themes", "music"})
      if (fs::exists(BuiltGameFolder() / shared)) fs::create_directory_symlink(BuiltGameFolder() / shared, folder_ / shared);
    if (!config.empty()) std::ofstream(folder_ / "config.ini") << config;
  }
  ~Session() {
    main_.reset();
    fs::remove_all(folder_);
  }

  // Program start as the executable does it; false (with the reason) when there is no display.
  bool Start(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      error = SDL_GetError();
      return false;
    }
    main_ = std::make_unique<TFormTarvin>(folder_, [this] { return now_; });
    if (!main_->Create(error)) return false;
    main_->MaxIdleWaitMs = 0;  // the clock is ours: never wait for real time
    Frames(2);
    return true;
  }

  TFormTarvin& Main() { return *main_; }
  TTRVEngine& Engine() { return main_->Engine(); }
  const fs::path& Folder() const { return folder_; }
  bool Running() const { return running_; }
  double Now() const { return now_; }

  // One pass of the main loop, `seconds` after the last one.
  void Frame(double seconds = kFrame) {
    now_ += seconds;
    if (running_) running_ = main_->RunOnce();
  }
  void Frames(int count, double seconds = kFrame) {
    for (int i = 0; i < count && running_; ++i) Frame(seconds);
  }
  void Wait(double seconds, double frame = kFrame) {
    const double end = now_ + seconds;
    while (now_ < end && running_) Frame(frame);
  }
  // Runs frames until the condition holds, at most `seconds` of game time; answers it.
  bool WaitFor(const std::function<bool()>& condition, double seconds, double frame = kFrame) {
    const double end = now_ + seconds;
    while (!condition() && now_ < end && running_) Frame(frame);
    return condition();
  }

  // Input, as the window system would deliver it.
  void MoveMouse(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = WindowId();
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = x - mouseX_;
    e.motion.yrel = y - mouseY_;
    mouseX_ = x;
    mouseY_ = y;
    SDL_PushEvent(&e);
  }
  void Button(bool down, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = WindowId();
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = mouseX_;
    e.button.y = mouseY_;
    SDL_PushEvent(&e);
  }
  void Key(int vk, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = WindowId();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(platform::ScancodeFromVirtualKey(vk));
    SDL_PushEvent(&e);
  }
  void Wheel(int notches) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = WindowId();
    e.wheel.y = notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&e);
  }
  void Press(int vk) {
    Key(vk, true);
    Frame();
    Key(vk, false);
    Frame();
  }

  // Clicks the middle of a widget the player can see: it must be showing and nothing may
  // lie over that point.
  ::testing::AssertionResult Click(const platform::widgets::TWidget& widget) {
    if (!widget.Showing()) return ::testing::AssertionFailure() << widget.Name() << " is not on screen";
    const int x = widget.ScreenLeft() + widget.Width() / 2, y = widget.ScreenTop() + widget.Height() / 2;
    if (main_->Host().FormAt(x, y) != widget.Form())
      return ::testing::AssertionFailure() << widget.Name() << " is covered at (" << x << ", " << y << ")";
    MoveMouse(x, y);
    Frame();
    Button(true);
    Frame();
    Button(false);
    Frame();
    return ::testing::AssertionSuccess();
  }

  // The window's picture as the player sees it now, saved as <name>.bmp for looking at.
  platform::Bitmap Shot(const std::string& name) {
    TTRVEngine& engine = Engine();
    const int w = main_->Window().Width(), h = main_->Window().Height();
    if (engine.Viewer->Visible) {
      main_->Window().MakeCurrent();
      engine.Viewer->Buffer.Render();
      main_->Screen().PresentOverView();
    } else {
      main_->Screen().Compose();
    }
    platform::Bitmap shot = ReadFramebufferToBitmap(w, h);
    std::string error;
    EXPECT_TRUE(shot.SaveBmp((ShotFolder() / (name + ".bmp")).string(), error)) << error;
    return shot;
  }

 private:
  Uint32 WindowId() { return SDL_GetWindowID(main_->Window().Handle()); }

  fs::path folder_;
  std::unique_ptr<TFormTarvin> main_;
  double now_ = 1000;
  bool running_ = true;
  int mouseX_ = 0, mouseY_ = 0;
};

}  // namespace e2e

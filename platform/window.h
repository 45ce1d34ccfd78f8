// The game's one SDL window with its OpenGL compatibility context, and the message loop
// that pumps events and, when idle, lets the frame clock run.
#pragma once

#include <functional>
#include <string>

#include "platform/input.h"

struct SDL_Window;
union SDL_Event;

namespace platform {

// SDL's video, timer and events for as long as the object lives: a program opens one before
// its first window and lets it go after the last. SIGINT and SIGTERM arrive as quit events.
class VideoSession {
 public:
  VideoSession();
  ~VideoSession();
  VideoSession(const VideoSession&) = delete;
  VideoSession& operator=(const VideoSession&) = delete;
  bool Ok() const { return ok_; }
  const std::string& Error() const { return error_; }

 private:
  bool ok_ = false;
  std::string error_;
};

struct WindowOptions {
  std::string title = "Morvane Field Command";
  int left = 0;  // the game's window sits at the screen's top-left corner
  int top = 0;
  int width = 800;
  int height = 600;
  bool fullScreen = false;
  bool visible = true;
  bool resizable = false;
};

class Window {
 public:
  Window() = default;
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Opens the window with a double-buffered GL context with destination alpha.
  bool Create(const WindowOptions& options, std::string& error);
  void Destroy();
  bool IsOpen() const { return window_ != nullptr; }

  int Width() const;
  int Height() const;
  void SetSize(int width, int height);
  void MoveTo(int left, int top);
  void SetTitle(const std::string& title);
  void MakeCurrent();
  void SwapBuffers();
  SDL_Window* Handle() const { return window_; }

  InputState& Input() { return input_; }
  const InputState& Input() const { return input_; }

 private:
  SDL_Window* window_ = nullptr;
  void* context_ = nullptr;
  int boundWidth_ = 0, boundHeight_ = 0;  // drawable size when the context was last bound
  bool ownsVideo_ = false;
  InputState input_;
};

// Pumps SDL events into the window's input state and the handlers below; when no event is
// waiting it calls the idle handler once (the cadencer's progress and the viewer's render).
class MessageLoop {
 public:
  explicit MessageLoop(Window& window) : window_(window) {}

  // Every event, before the game's input state sees it; answers true when a dialog took it,
  // so a click or key meant for a dialog does not also fire or steer (releases always
  // reach the input state, so nothing stays held).
  std::function<bool(const SDL_Event&)> OnEvent;
  // Called when idle; returns whether it did any work (if not, the loop sleeps a little).
  std::function<bool()> OnIdle;
  // Window closed or SIGTERM/SIGINT: SDL's quit event. Default: stop the loop.
  std::function<void()> OnQuit;

  // Handles every pending event; answers false once the loop should stop.
  bool PumpEvents();
  // Sleeps until an event is waiting or the time is up; the event stays queued for PumpEvents.
  void WaitForEvent(int timeoutMs);
  // Runs until Terminate or quit.
  void Run();
  void Terminate() { running_ = false; }
  bool Running() const { return running_; }
  // True once after the window was uncovered or resized: its picture must be drawn again.
  bool TakeExposed() {
    bool e = exposed_;
    exposed_ = false;
    return e;
  }

 private:
  Window& window_;
  bool running_ = true;
  bool exposed_ = true;
};

}  // namespace platform

// SDL window, GL context and the event pump.
#include "platform/window.h"

#include <SDL.h>

#include "platform/glcontext.h"

namespace platform {

bool HasCurrentGLContext() { return SDL_GL_GetCurrentContext() != nullptr; }

VideoSession::VideoSession() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
  ok_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) == 0;
  if (!ok_) error_ = std::string("Cannot start video: ") + SDL_GetError();
}

VideoSession::~VideoSession() {
  if (ok_) SDL_Quit();
}

Window::~Window() { Destroy(); }

bool Window::Create(const WindowOptions& options, std::string& error) {
  Destroy();
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      error = std::string("Cannot start video: ") + SDL_GetError();
      return false;
    }
    ownsVideo_ = true;
  }
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);  // destination alpha
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  Uint32 flags = SDL_WINDOW_OPENGL | (options.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  if (options.resizable) flags |= SDL_WINDOW_RESIZABLE;
  if (options.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  window_ = SDL_CreateWindow(options.title.c_str(), options.left, options.top, options.width,
                             options.height, flags);
  if (!window_) {
    // Some servers offer no alpha channel; destination alpha is then simply unavailable.
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    window_ = SDL_CreateWindow(options.title.c_str(), options.left, options.top, options.width,
                               options.height, flags);
  }
  if (!window_) {
    error = std::string("Cannot open the window: ") + SDL_GetError();
    Destroy();
    return false;
  }
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    error = std::string("Cannot create the OpenGL context: ") + SDL_GetError();
    Destroy();
    return false;
  }
  SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
  SDL_GL_SetSwapInterval(0);  // frames as soon as possible; the cadencer measures time itself
  return true;
}

void Window::Destroy() {
  if (context_) {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    context_ = nullptr;
  }
  if (window_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
  // The video subsystem stays up until SDL_Quit at program end: quitting it here would
  // unload the GL driver while its allocations are still being tracked.
  ownsVideo_ = false;
}

int Window::Width() const {
  int w = 0, h = 0;
  if (window_) SDL_GL_GetDrawableSize(window_, &w, &h);
  return w;
}

int Window::Height() const {
  int w = 0, h = 0;
  if (window_) SDL_GL_GetDrawableSize(window_, &w, &h);
  return h;
}

void Window::SetSize(int width, int height) {
  if (window_) SDL_SetWindowSize(window_, width, height);
}

void Window::MoveTo(int left, int top) {
  if (window_) SDL_SetWindowPosition(window_, left, top);
}

void Window::SetTitle(const std::string& title) {
  if (window_) SDL_SetWindowTitle(window_, title.c_str());
}

void Window::MakeCurrent() {
  if (!window_ || !context_) return;
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(window_, &w, &h);
  if (w != boundWidth_ || h != boundHeight_) {
    // A software GL driver sizes its buffers when a context is bound: rebind after the
    // window changed size, or frames keep going to buffers of the old size.
    SDL_GL_MakeCurrent(window_, nullptr);
    boundWidth_ = w;
    boundHeight_ = h;
  }
  SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
}

void Window::SwapBuffers() {
  if (window_) SDL_GL_SwapWindow(window_);
}

bool MessageLoop::PumpEvents() {
  SDL_Event e;
  while (running_ && SDL_PollEvent(&e)) {
    bool taken = OnEvent ? OnEvent(e) : false;
    bool press = e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEWHEEL;
    if (!(taken && press)) window_.Input().HandleEvent(e);
    if (e.type == SDL_WINDOWEVENT &&
        (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
         e.window.event == SDL_WINDOWEVENT_SHOWN || e.window.event == SDL_WINDOWEVENT_RESTORED))
      exposed_ = true;
    bool quit = e.type == SDL_QUIT ||
                (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE);
    if (quit) {
      if (OnQuit) OnQuit();
      else running_ = false;
    }
  }
  return running_;
}

void MessageLoop::WaitForEvent(int timeoutMs) {
  if (timeoutMs > 0) SDL_WaitEventTimeout(nullptr, timeoutMs);
}

void MessageLoop::Run() {
  running_ = true;
  while (PumpEvents()) {
    bool worked = OnIdle ? OnIdle() : false;
    if (!worked) SDL_Delay(1);
  }
}

}  // namespace platform

// Mouse cursors of the game's dialogs and views: show/hide and the few system shapes.
// Cursors are made on first use and freed by the CursorSet that made them.
#pragma once

#include <array>

struct SDL_Cursor;

namespace platform {

enum class CursorKind { Arrow, Hand, No, Cross, Help };
inline constexpr int kCursorKindCount = 5;

void ShowCursor(bool visible);
bool CursorVisible();

class CursorSet {
 public:
  CursorSet() = default;
  ~CursorSet();
  CursorSet(const CursorSet&) = delete;
  CursorSet& operator=(const CursorSet&) = delete;

  // Makes this the mouse cursor. False when the video driver cannot make cursors
  // (for example before video is initialised); the pointer then stays as it was.
  bool SetCursor(CursorKind kind);

  // The kind last set successfully (Arrow before any).
  CursorKind Current() const { return current_; }

 private:
  SDL_Cursor* Get(CursorKind kind);

  std::array<SDL_Cursor*, kCursorKindCount> cursors_{};
  CursorKind current_ = CursorKind::Arrow;
};

}  // namespace platform

// System cursors through SDL, plus a drawn arrow-with-question-mark for help, which
// SDL has no system shape for.
#include "platform/cursor.h"

#include <SDL.h>

#include <cstdint>
#include <string_view>

namespace platform {
namespace {

// 'X' black, '.' white, ' ' transparent; hot spot at the arrow's tip (0, 0).
constexpr int kHelpSize = 24;
// clang-format off
constexpr std::string_view kHelpArt[kHelpSize] = {
    "X                       ",
    "XX                      ",
    "X.X          .....      ",
    "X..X        .XXXXX.     ",
    "X...X      .XX...XX.    ",
    "X....X     .XX. .XX.    ",
    "X.....X     ..  .XX.    ",
    "X......X       .XX.     ",
    "X.......X     .XX.      ",
    "X........X    .XX.      ",
    "X.....XXXXX    ..       ",
    "X..X..X       .XX.      ",
    "X.X X..X      .XX.      ",
    "XX  X..X       ..       ",
    "X    X..X               ",
    "     X..X               ",
    "      XX                ",
    "                        ",
    "                        ",
    "                        ",
    "                        ",
    "                        ",
    "                        ",
    "                        ",
};
// clang-format on

constexpr bool HelpArtIsSquare() {
  for (const std::string_view row : kHelpArt)
    if (row.size() != kHelpSize) return false;
  return true;
}
static_assert(HelpArtIsSquare());

SDL_Cursor* MakeHelpCursor() {
  // SDL's monochrome cursor bits: data 1 + mask 1 is black, data 0 + mask 1 white.
  std::uint8_t data[kHelpSize * kHelpSize / 8] = {};
  std::uint8_t mask[kHelpSize * kHelpSize / 8] = {};
  for (int y = 0; y < kHelpSize; ++y) {
    for (int x = 0; x < kHelpSize; ++x) {
      const char c = kHelpArt[y][x];
      const int bit = y * kHelpSize + x;
      const auto flag = static_cast<std::uint8_t>(0x80 >> (bit % 8));
      if (c == 'X') data[bit / 8] |= flag;
      if (c == 'X' || c == '.') mask[bit / 8] |= flag;
    }
  }
  return SDL_CreateCursor(data, mask, kHelpSize, kHelpSize, 0, 0);
}

}  // namespace

void ShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

bool CursorVisible() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

CursorSet::~CursorSet() {
  // Safe even after video has shut down: SDL frees only cursors it still lists, and
  // swaps a current one for the default first.
  for (SDL_Cursor* cursor : cursors_)
    if (cursor != nullptr) SDL_FreeCursor(cursor);
}

SDL_Cursor* CursorSet::Get(CursorKind kind) {
  SDL_Cursor*& slot = cursors_[static_cast<int>(kind)];
  if (slot != nullptr) return slot;
  switch (kind) {
    case CursorKind::Arrow:
      slot = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
      break;
    case CursorKind::Hand:
      slot = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
      break;
    case CursorKind::No:
      slot = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_NO);
      break;
    case CursorKind::Cross:
      slot = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
      break;
    case CursorKind::Help:
      slot = MakeHelpCursor();
      if (slot == nullptr) slot = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
      break;
  }
  return slot;
}

bool CursorSet::SetCursor(CursorKind kind) {
  const int index = static_cast<int>(kind);
  if (index < 0 || index >= kCursorKindCount) return false;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  SDL_Cursor* cursor = Get(kind);
  if (cursor == nullptr) return false;
  SDL_SetCursor(cursor);
  current_ = kind;
  return true;
}

}  // namespace platform

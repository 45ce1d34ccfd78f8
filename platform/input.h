// Keyboard, mouse-button, cursor and wheel state kept by the game itself and fed from
// window events, so tests and the replay of synthetic input drive it the same way.
// Keys are Windows virtual-key codes 0..255: those are the codes stored in config.ini.
#pragma once

#include <array>
#include <string>

union SDL_Event;

namespace platform {

// Virtual-key codes the game names directly.
namespace vk {
inline constexpr int LButton = 0x01, RButton = 0x02, MButton = 0x04, XButton1 = 0x05, XButton2 = 0x06;
inline constexpr int Back = 0x08, Tab = 0x09, Return = 0x0D;
inline constexpr int Shift = 0x10, Control = 0x11, Menu = 0x12, Pause = 0x13, Capital = 0x14;
inline constexpr int Escape = 0x1B, Space = 0x20;
inline constexpr int Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24;
inline constexpr int Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
inline constexpr int Snapshot = 0x2C, Insert = 0x2D, Delete = 0x2E;
inline constexpr int Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Separator = 0x6C;
inline constexpr int Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F;
inline constexpr int F1 = 0x70, F24 = 0x87;
inline constexpr int NumLock = 0x90, Scroll = 0x91;
inline constexpr int LShift = 0xA0, RShift = 0xA1, LControl = 0xA2, RControl = 0xA3;
inline constexpr int LMenu = 0xA4, RMenu = 0xA5;
}  // namespace vk

// One notch of the wheel, as wheel messages count it.
inline constexpr int kWheelDelta = 120;

// The virtual-key code of a physical key (an SDL scancode), or 0 for keys the game
// has no code for. Modifiers give their sided codes (left shift -> 0xA0).
int VirtualKeyFromScancode(int sdlScancode);

// The SDL scancode of a virtual-key code, or 0 (unknown). The sideless modifier codes
// 0x10, 0x11, 0x12 give the left key; numpad Enter has no code of its own.
int ScancodeFromVirtualKey(int vk);

// The sideless code of a sided modifier (0xA0/0xA1 -> 0x10 and so on); other codes unchanged.
int GenericVirtualKey(int vk);

// The platform's name of the key with this code ("A", "Left Shift", "Keypad +"),
// at most 32 characters; empty when the code names no key.
std::string KeyNameFromVirtualKey(int vk);

class InputState {
 public:
  // Key down/up, mouse button down/up, motion, wheel, and focus loss (which releases
  // everything, since the release would go to another window). Other events are ignored.
  void HandleEvent(const SDL_Event& event);

  // Held state of a key or mouse button; out-of-range codes are never down.
  // 0x10, 0x11, 0x12 are down while either side's key is.
  bool KeyDown(int vk) const;

  int MouseX() const { return mouseX_; }
  int MouseY() const { return mouseY_; }

  // Wheel movement not yet taken, in 1/120 notches, positive turned away from the user.
  int WheelAccumulated() const { return wheel_; }
  // Returns the accumulated wheel movement and clears it.
  int TakeWheelDelta();

  // Synthetic input. Out-of-range codes are ignored. Releasing a sideless modifier
  // releases both sides.
  void Press(int vk);
  void Release(int vk);
  void MoveMouse(int x, int y);
  void Wheel(int notches);
  void ReleaseAll();

 private:
  std::array<bool, 256> down_{};
  int mouseX_ = 0;
  int mouseY_ = 0;
  int wheel_ = 0;
};

}  // namespace platform

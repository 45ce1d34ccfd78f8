// Input state from SDL events, and the virtual-key <-> scancode table.
#include "platform/input.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace platform {
namespace {

struct KeyPair {
  int vk;
  SDL_Scancode scancode;
};

// One physical key per code and one code per key: the table is a bijection, which a
// test checks. Scancodes name positions on a US layout, so the movement keys stay
// where the player's fingers are whatever the keyboard layout.
// clang-format off
constexpr KeyPair kKeys[] = {
    {0x08, SDL_SCANCODE_BACKSPACE}, {0x09, SDL_SCANCODE_TAB}, {0x0D, SDL_SCANCODE_RETURN},
    {0x13, SDL_SCANCODE_PAUSE}, {0x14, SDL_SCANCODE_CAPSLOCK}, {0x1B, SDL_SCANCODE_ESCAPE},
    {0x20, SDL_SCANCODE_SPACE},
    {0x21, SDL_SCANCODE_PAGEUP}, {0x22, SDL_SCANCODE_PAGEDOWN}, {0x23, SDL_SCANCODE_END},
    {0x24, SDL_SCANCODE_HOME}, {0x25, SDL_SCANCODE_LEFT}, {0x26, SDL_SCANCODE_UP},
    {0x27, SDL_SCANCODE_RIGHT}, {0x28, SDL_SCANCODE_DOWN},
    {0x2C, SDL_SCANCODE_PRINTSCREEN}, {0x2D, SDL_SCANCODE_INSERT}, {0x2E, SDL_SCANCODE_DELETE},
    {0x30, SDL_SCANCODE_0}, {0x31, SDL_SCANCODE_1}, {0x32, SDL_SCANCODE_2}, {0x33, SDL_SCANCODE_3},
    {0x34, SDL_SCANCODE_4}, {0x35, SDL_SCANCODE_5}, {0x36, SDL_SCANCODE_6}, {0x37, SDL_SCANCODE_7},
    {0x38, SDL_SCANCODE_8}, {0x39, SDL_SCANCODE_9},
    {0x41, SDL_SCANCODE_A}, {0x42, SDL_SCANCODE_B}, {0x43, SDL_SCANCODE_C}, {0x44, SDL_SCANCODE_D},
    {0x45, SDL_SCANCODE_E}, {0x46, SDL_SCANCODE_F}, {0x47, SDL_SCANCODE_G}, {0x48, SDL_SCANCODE_H},
    {0x49, SDL_SCANCODE_I}, {0x4A, SDL_SCANCODE_J}, {0x4B, SDL_SCANCODE_K}, {0x4C, SDL_SCANCODE_L},
    {0x4D, SDL_SCANCODE_M}, {0x4E, SDL_SCANCODE_N}, {0x4F, SDL_SCANCODE_O}, {0x50, SDL_SCANCODE_P},
    {0x51, SDL_SCANCODE_Q}, {0x52, SDL_SCANCODE_R}, {0x53, SDL_SCANCODE_S}, {0x54, SDL_SCANCODE_T},
    {0x55, SDL_SCANCODE_U}, {0x56, SDL_SCANCODE_V}, {0x57, SDL_SCANCODE_W}, {0x58, SDL_SCANCODE_X},
    {0x59, SDL_SCANCODE_Y}, {0x5A, SDL_SCANCODE_Z},
    {0x5B, SDL_SCANCODE_LGUI}, {0x5C, SDL_SCANCODE_RGUI}, {0x5D, SDL_SCANCODE_APPLICATION},
    {0x60, SDL_SCANCODE_KP_0}, {0x61, SDL_SCANCODE_KP_1}, {0x62, SDL_SCANCODE_KP_2},
    {0x63, SDL_SCANCODE_KP_3}, {0x64, SDL_SCANCODE_KP_4}, {0x65, SDL_SCANCODE_KP_5},
    {0x66, SDL_SCANCODE_KP_6}, {0x67, SDL_SCANCODE_KP_7}, {0x68, SDL_SCANCODE_KP_8},
    {0x69, SDL_SCANCODE_KP_9}, {0x6A, SDL_SCANCODE_KP_MULTIPLY}, {0x6B, SDL_SCANCODE_KP_PLUS},
    {0x6C, SDL_SCANCODE_KP_COMMA}, {0x6D, SDL_SCANCODE_KP_MINUS}, {0x6E, SDL_SCANCODE_KP_PERIOD},
    {0x6F, SDL_SCANCODE_KP_DIVIDE},
    {0x70, SDL_SCANCODE_F1}, {0x71, SDL_SCANCODE_F2}, {0x72, SDL_SCANCODE_F3}, {0x73, SDL_SCANCODE_F4},
    {0x74, SDL_SCANCODE_F5}, {0x75, SDL_SCANCODE_F6}, {0x76, SDL_SCANCODE_F7}, {0x77, SDL_SCANCODE_F8},
    {0x78, SDL_SCANCODE_F9}, {0x79, SDL_SCANCODE_F10}, {0x7A, SDL_SCANCODE_F11},
    {0x7B, SDL_SCANCODE_F12}, {0x7C, SDL_SCANCODE_F13}, {0x7D, SDL_SCANCODE_F14},
    {0x7E, SDL_SCANCODE_F15}, {0x7F, SDL_SCANCODE_F16}, {0x80, SDL_SCANCODE_F17},
    {0x81, SDL_SCANCODE_F18}, {0x82, SDL_SCANCODE_F19}, {0x83, SDL_SCANCODE_F20},
    {0x84, SDL_SCANCODE_F21}, {0x85, SDL_SCANCODE_F22}, {0x86, SDL_SCANCODE_F23},
    {0x87, SDL_SCANCODE_F24},
    {0x90, SDL_SCANCODE_NUMLOCKCLEAR}, {0x91, SDL_SCANCODE_SCROLLLOCK},
    {0xA0, SDL_SCANCODE_LSHIFT}, {0xA1, SDL_SCANCODE_RSHIFT}, {0xA2, SDL_SCANCODE_LCTRL},
    {0xA3, SDL_SCANCODE_RCTRL}, {0xA4, SDL_SCANCODE_LALT}, {0xA5, SDL_SCANCODE_RALT},
    {0xBA, SDL_SCANCODE_SEMICOLON}, {0xBB, SDL_SCANCODE_EQUALS}, {0xBC, SDL_SCANCODE_COMMA},
    {0xBD, SDL_SCANCODE_MINUS}, {0xBE, SDL_SCANCODE_PERIOD}, {0xBF, SDL_SCANCODE_SLASH},
    {0xC0, SDL_SCANCODE_GRAVE}, {0xDB, SDL_SCANCODE_LEFTBRACKET}, {0xDC, SDL_SCANCODE_BACKSLASH},
    {0xDD, SDL_SCANCODE_RIGHTBRACKET}, {0xDE, SDL_SCANCODE_APOSTROPHE},
    {0xE2, SDL_SCANCODE_NONUSBACKSLASH},
};
// clang-format on

struct KeyTables {
  std::array<std::uint16_t, 256> scancodeOfVk{};
  std::array<std::uint8_t, SDL_NUM_SCANCODES> vkOfScancode{};
};

constexpr KeyTables MakeKeyTables() {
  KeyTables t{};
  for (const KeyPair& k : kKeys) {
    t.scancodeOfVk[k.vk] = static_cast<std::uint16_t>(k.scancode);
    t.vkOfScancode[k.scancode] = static_cast<std::uint8_t>(k.vk);
  }
  return t;
}
constexpr KeyTables kKeyTables = MakeKeyTables();

bool InRange(int vk) { return vk >= 0 && vk < 256; }

int ButtonVirtualKey(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return vk::LButton;
    case SDL_BUTTON_RIGHT:
      return vk::RButton;
    case SDL_BUTTON_MIDDLE:
      return vk::MButton;
    case SDL_BUTTON_X1:
      return vk::XButton1;
    case SDL_BUTTON_X2:
      return vk::XButton2;
    default:
      return 0;
  }
}

// The two sided codes of a sideless modifier, or {0, 0}.
std::pair<int, int> Sides(int vk) {
  switch (vk) {
    case vk::Shift:
      return {vk::LShift, vk::RShift};
    case vk::Control:
      return {vk::LControl, vk::RControl};
    case vk::Menu:
      return {vk::LMenu, vk::RMenu};
    default:
      return {0, 0};
  }
}

}  // namespace

int VirtualKeyFromScancode(int sdlScancode) {
  if (sdlScancode <= 0 || sdlScancode >= SDL_NUM_SCANCODES) return 0;
  if (sdlScancode == SDL_SCANCODE_KP_ENTER) return vk::Return;  // Windows gives both Enters one code
  return kKeyTables.vkOfScancode[sdlScancode];
}

int ScancodeFromVirtualKey(int vk) {
  if (!InRange(vk)) return 0;
  if (const auto [left, right] = Sides(vk); left != 0) return kKeyTables.scancodeOfVk[left];
  return kKeyTables.scancodeOfVk[vk];
}

int GenericVirtualKey(int vk) {
  for (const int generic : {vk::Shift, vk::Control, vk::Menu}) {
    const auto [left, right] = Sides(generic);
    if (vk == left || vk == right) return generic;
  }
  return vk;
}

std::string KeyNameFromVirtualKey(int vk) {
  const int scancode = ScancodeFromVirtualKey(vk);
  if (scancode == 0) return {};
  std::string name = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
  if (name.size() > 32) name.resize(32);
  return name;
}

void InputState::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int code = VirtualKeyFromScancode(event.key.keysym.scancode);
      if (code == 0) return;
      if (event.type == SDL_KEYDOWN)
        Press(code);
      else
        Release(code);
      return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      MoveMouse(event.button.x, event.button.y);
      const int code = ButtonVirtualKey(event.button.button);
      if (code == 0) return;
      if (event.type == SDL_MOUSEBUTTONDOWN)
        Press(code);
      else
        Release(code);
      return;
    }
    case SDL_MOUSEMOTION:
      MoveMouse(event.motion.x, event.motion.y);
      return;
    case SDL_MOUSEWHEEL: {
      // A "natural scrolling" setting flips the sign; the camera zoom must not flip.
      const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      Wheel(notches);
      return;
    }
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAll();
      return;
    default:
      return;
  }
}

bool InputState::KeyDown(int vk) const {
  if (!InRange(vk)) return false;
  if (down_[vk]) return true;
  const auto [left, right] = Sides(vk);
  return left != 0 && (down_[left] || down_[right]);
}

int InputState::TakeWheelDelta() { return std::exchange(wheel_, 0); }

void InputState::Press(int vk) {
  if (InRange(vk)) down_[vk] = true;
}

void InputState::Release(int vk) {
  if (!InRange(vk)) return;
  down_[vk] = false;
  if (const auto [left, right] = Sides(vk); left != 0) {
    down_[left] = false;
    down_[right] = false;
  }
}

void InputState::MoveMouse(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
}

void InputState::Wheel(int notches) {
  // Saturate: a stuck wheel or a hostile replay must not wrap the zoom around.
  const long long sum = static_cast<long long>(wheel_) + static_cast<long long>(notches) * kWheelDelta;
  wheel_ = static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

void InputState::ReleaseAll() { down_.fill(false); }

}  // namespace platform

// Virtual-key table and InputState driven by hand-made SDL events.
#include "platform/input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace {

using platform::InputState;
using platform::ScancodeFromVirtualKey;
using platform::VirtualKeyFromScancode;
namespace vk = platform::vk;

SDL_Event KeyEvent(Uint32 type, SDL_Scancode scancode, bool repeat = false) {
  SDL_Event e{};
  e.type = type;
  e.key.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = scancode;
  return e;
}

SDL_Event ButtonEvent(Uint32 type, Uint8 button, int x, int y) {
  SDL_Event e{};
  e.type = type;
  e.button.type = type;
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event MotionEvent(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}

SDL_Event WheelEvent(int y, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.y = y;
  e.wheel.direction = direction;
  return e;
}

SDL_Event FocusLostEvent() {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  return e;
}

TEST(VirtualKeys, KeysTheGameStoresMapToTheirPhysicalKeys) {
  // clang-format off
  const struct {
    int vk;
    SDL_Scancode scancode;
  } cases[] = {
    {'W', SDL_SCANCODE_W}, {'S', SDL_SCANCODE_S}, {'A', SDL_SCANCODE_A}, {'D', SDL_SCANCODE_D},
    {'E', SDL_SCANCODE_E}, {'Q', SDL_SCANCODE_Q}, {'0', SDL_SCANCODE_0}, {'1', SDL_SCANCODE_1},
    {'9', SDL_SCANCODE_9}, {0x6B, SDL_SCANCODE_KP_PLUS}, {0x6D, SDL_SCANCODE_KP_MINUS},
    {0x1B, SDL_SCANCODE_ESCAPE}, {0x0D, SDL_SCANCODE_RETURN}, {0x20, SDL_SCANCODE_SPACE},
    {0x09, SDL_SCANCODE_TAB}, {0x08, SDL_SCANCODE_BACKSPACE},
    {0x25, SDL_SCANCODE_LEFT}, {0x26, SDL_SCANCODE_UP}, {0x27, SDL_SCANCODE_RIGHT},
    {0x28, SDL_SCANCODE_DOWN}, {0x21, SDL_SCANCODE_PAGEUP}, {0x22, SDL_SCANCODE_PAGEDOWN},
    {0x23, SDL_SCANCODE_END}, {0x24, SDL_SCANCODE_HOME}, {0x2D, SDL_SCANCODE_INSERT},
    {0x2E, SDL_SCANCODE_DELETE}, {0x14, SDL_SCANCODE_CAPSLOCK}, {0x13, SDL_SCANCODE_PAUSE},
    {0x2C, SDL_SCANCODE_PRINTSCREEN}, {0x91, SDL_SCANCODE_SCROLLLOCK},
    {0x90, SDL_SCANCODE_NUMLOCKCLEAR}, {0x60, SDL_SCANCODE_KP_0}, {0x69, SDL_SCANCODE_KP_9},
    {0x6A, SDL_SCANCODE_KP_MULTIPLY}, {0x6E, SDL_SCANCODE_KP_PERIOD},
    {0x6F, SDL_SCANCODE_KP_DIVIDE}, {0x70, SDL_SCANCODE_F1}, {0x7B, SDL_SCANCODE_F12},
    {0x7C, SDL_SCANCODE_F13}, {0x87, SDL_SCANCODE_F24}, {0xA0, SDL_SCANCODE_LSHIFT},
    {0xA1, SDL_SCANCODE_RSHIFT}, {0xA2, SDL_SCANCODE_LCTRL}, {0xA3, SDL_SCANCODE_RCTRL},
    {0xA4, SDL_SCANCODE_LALT}, {0xA5, SDL_SCANCODE_RALT}, {0xBA, SDL_SCANCODE_SEMICOLON},
    {0xBB, SDL_SCANCODE_EQUALS}, {0xBC, SDL_SCANCODE_COMMA}, {0xBD, SDL_SCANCODE_MINUS},
    {0xBE, SDL_SCANCODE_PERIOD}, {0xBF, SDL_SCANCODE_SLASH}, {0xC0, SDL_SCANCODE_GRAVE},
    {0xDB, SDL_SCANCODE_LEFTBRACKET}, {0xDC, SDL_SCANCODE_BACKSLASH},
    {0xDD, SDL_SCANCODE_RIGHTBRACKET}, {0xDE, SDL_SCANCODE_APOSTROPHE},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(ScancodeFromVirtualKey(c.vk), c.scancode) << "vk 0x" << std::hex << c.vk;
    EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << "vk 0x" << std::hex << c.vk;
  }
}

TEST(VirtualKeys, EveryLetterDigitAndFunctionKeyIsMapped) {
  for (int i = 0; i < 26; ++i)
    EXPECT_EQ(ScancodeFromVirtualKey('A' + i), SDL_SCANCODE_A + i) << char('A' + i);
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(ScancodeFromVirtualKey('0' + i), SDL_SCANCODE_1 + i - 1) << i;
  for (int i = 0; i < 12; ++i) EXPECT_EQ(ScancodeFromVirtualKey(vk::F1 + i), SDL_SCANCODE_F1 + i) << i;
  for (int i = 0; i < 12; ++i) EXPECT_EQ(ScancodeFromVirtualKey(vk::F1 + 12 + i), SDL_SCANCODE_F13 + i) << i;
  for (int i = 0; i < 16; ++i) EXPECT_NE(ScancodeFromVirtualKey(vk::Numpad0 + i), 0) << "numpad " << i;
}

TEST(VirtualKeys, TableIsOneToOneApartFromTheAliases) {
  std::set<int> scancodesSeen;
  for (int code = 0; code < 256; ++code) {
    const int scancode = ScancodeFromVirtualKey(code);
    if (scancode == 0 || code == vk::Shift || code == vk::Control || code == vk::Menu) continue;
    EXPECT_EQ(VirtualKeyFromScancode(scancode), code) << "vk 0x" << std::hex << code;
    EXPECT_TRUE(scancodesSeen.insert(scancode).second) << "scancode used twice: " << scancode;
  }
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const int code = VirtualKeyFromScancode(scancode);
    if (code == 0 || scancode == SDL_SCANCODE_KP_ENTER) continue;
    EXPECT_EQ(ScancodeFromVirtualKey(code), scancode) << "scancode " << scancode;
  }
}

TEST(VirtualKeys, AliasesAndCodesWithoutAKey) {
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_ENTER), vk::Return);
  EXPECT_EQ(ScancodeFromVirtualKey(vk::Shift), SDL_SCANCODE_LSHIFT);
  EXPECT_EQ(ScancodeFromVirtualKey(vk::Control), SDL_SCANCODE_LCTRL);
  EXPECT_EQ(ScancodeFromVirtualKey(vk::Menu), SDL_SCANCODE_LALT);
  for (const int code : {-1, 0, vk::LButton, 0x07, 0xFF, 256, INT_MAX})
    EXPECT_EQ(ScancodeFromVirtualKey(code), 0) << code;
  for (const int scancode : {-1, 0, int(SDL_SCANCODE_MUTE), int(SDL_NUM_SCANCODES), INT_MIN})
    EXPECT_EQ(VirtualKeyFromScancode(scancode), 0) << scancode;
}

TEST(VirtualKeys, GenericCodesOfSidedModifiers) {
  // clang-format off
  const int cases[][2] = {
    {vk::LShift, vk::Shift},     {vk::RShift, vk::Shift},
    {vk::LControl, vk::Control}, {vk::RControl, vk::Control},
    {vk::LMenu, vk::Menu},       {vk::RMenu, vk::Menu},
    {'A', 'A'},                  {vk::Shift, vk::Shift},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(platform::GenericVirtualKey(c[0]), c[1]) << c[0];
}

TEST(VirtualKeys, KeyNamesComeFromThePlatform) {
  EXPECT_EQ(platform::KeyNameFromVirtualKey('A'), "A");
  EXPECT_EQ(platform::KeyNameFromVirtualKey(vk::Add), "Keypad +");
  EXPECT_EQ(platform::KeyNameFromVirtualKey(0x07), "");
  EXPECT_EQ(platform::KeyNameFromVirtualKey(-5), "");
}

TEST(InputState, EitherSideOfAModifierHoldsTheSidelessCode) {
  const struct {
    SDL_Scancode left, right;
    int generic, leftCode, rightCode;
  } modifiers[] = {
      {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT, vk::Shift, vk::LShift, vk::RShift},
      {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL, vk::Control, vk::LControl, vk::RControl},
      {SDL_SCANCODE_LALT, SDL_SCANCODE_RALT, vk::Menu, vk::LMenu, vk::RMenu},
  };
  for (const auto& m : modifiers) {
    SCOPED_TRACE(m.generic);
    InputState input;
    input.HandleEvent(KeyEvent(SDL_KEYDOWN, m.left));
    EXPECT_TRUE(input.KeyDown(m.generic));
    EXPECT_TRUE(input.KeyDown(m.leftCode));
    EXPECT_FALSE(input.KeyDown(m.rightCode));
    input.HandleEvent(KeyEvent(SDL_KEYDOWN, m.right));
    input.HandleEvent(KeyEvent(SDL_KEYUP, m.left));
    EXPECT_TRUE(input.KeyDown(m.generic)) << "the other side is still held";
    EXPECT_FALSE(input.KeyDown(m.leftCode));
    input.HandleEvent(KeyEvent(SDL_KEYUP, m.right));
    EXPECT_FALSE(input.KeyDown(m.generic));
  }
}

TEST(InputState, KeysFollowDownAndUpEventsThroughRepeats) {
  InputState input;
  input.HandleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_W));
  input.HandleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_W, true));
  input.HandleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_KP_PLUS));
  EXPECT_TRUE(input.KeyDown('W'));
  EXPECT_TRUE(input.KeyDown(vk::Add));
  EXPECT_FALSE(input.KeyDown('S'));
  input.HandleEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_W));
  EXPECT_FALSE(input.KeyDown('W')) << "one release ends a repeated press";
  EXPECT_TRUE(input.KeyDown(vk::Add));
  input.HandleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_MUTE));  // a key with no code changes nothing
  for (int code = 0; code < 256; ++code) {
    if (code != vk::Add) {
      EXPECT_FALSE(input.KeyDown(code)) << code;
    }
  }
}

TEST(InputState, MouseButtonsAreTheirVirtualKeysAndCarryThePosition) {
  const struct {
    Uint8 button;
    int code;
  } buttons[] = {{SDL_BUTTON_LEFT, vk::LButton},
                 {SDL_BUTTON_RIGHT, vk::RButton},
                 {SDL_BUTTON_MIDDLE, vk::MButton},
                 {SDL_BUTTON_X1, vk::XButton1}};
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.code);
    InputState input;
    input.HandleEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, b.button, 300, 200));
    EXPECT_TRUE(input.KeyDown(b.code));
    EXPECT_EQ(input.MouseX(), 300);
    EXPECT_EQ(input.MouseY(), 200);
    input.HandleEvent(ButtonEvent(SDL_MOUSEBUTTONUP, b.button, 310, 190));
    EXPECT_FALSE(input.KeyDown(b.code));
    EXPECT_EQ(input.MouseX(), 310);
  }
}

TEST(InputState, MotionMovesTheCursor) {
  InputState input;
  input.HandleEvent(MotionEvent(512, 384));
  EXPECT_EQ(input.MouseX(), 512);
  EXPECT_EQ(input.MouseY(), 384);
}

TEST(InputState, WheelAccumulatesNotchesUntilTaken) {
  InputState input;
  input.HandleEvent(WheelEvent(2));
  input.HandleEvent(WheelEvent(-1));
  EXPECT_EQ(input.WheelAccumulated(), 120);
  input.HandleEvent(
      WheelEvent(1, SDL_MOUSEWHEEL_FLIPPED));  // natural scrolling: the user turned it towards them
  EXPECT_EQ(input.TakeWheelDelta(), 0);
  EXPECT_EQ(input.WheelAccumulated(), 0);
  input.Wheel(-3);
  EXPECT_EQ(input.TakeWheelDelta(), -360);
  EXPECT_EQ(input.TakeWheelDelta(), 0);
}

TEST(InputState, WheelSaturatesInsteadOfWrapping) {
  InputState input;
  input.Wheel(INT_MAX);
  input.Wheel(1);
  EXPECT_EQ(input.WheelAccumulated(), INT_MAX);
  input.TakeWheelDelta();
  input.Wheel(INT_MIN);
  EXPECT_EQ(input.WheelAccumulated(), INT_MIN);
}

TEST(InputState, LosingFocusReleasesKeysAndButtonsButKeepsCursorAndWheel) {
  InputState input;
  input.HandleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT));
  input.HandleEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_W));
  input.HandleEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 40, 50));
  input.HandleEvent(WheelEvent(1));
  input.HandleEvent(FocusLostEvent());
  EXPECT_FALSE(input.KeyDown('W'));
  EXPECT_FALSE(input.KeyDown(vk::Shift));
  EXPECT_FALSE(input.KeyDown(vk::LButton));
  EXPECT_EQ(input.MouseX(), 40);
  EXPECT_EQ(input.WheelAccumulated(), 120);
}

TEST(InputState, SyntheticInputAndOutOfRangeCodes) {
  InputState input;
  input.Press(vk::Shift);
  EXPECT_TRUE(input.KeyDown(vk::Shift));
  input.Press(vk::RShift);
  input.Release(vk::Shift);  // releases both sides
  EXPECT_FALSE(input.KeyDown(vk::Shift));
  EXPECT_FALSE(input.KeyDown(vk::RShift));
  input.Press(-1);
  input.Press(256);
  input.Release(1000);
  EXPECT_FALSE(input.KeyDown(-1));
  EXPECT_FALSE(input.KeyDown(256));
  input.MoveMouse(-5, 7);
  EXPECT_EQ(input.MouseX(), -5);
}

}  // namespace

// The player's controls: the key map, the per-frame sampling of keyboard and mouse into the
// control block (world/controlblock.h), the zoom wheel and key names.
// Sampling only reads the input state; the engine decides when a frame samples.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "scene/vectorgeometry.h"
#include "world/controlblock.h"

namespace platform {
class InputState;
}
struct TTRVSettings;

// The remappable actions, in the order of the key-mapping buttons.
enum class TTRVKeyAction : int {
  Acceleration,
  Break,
  Left,
  Right,
  Up,
  Down,
  Weapon1,
  Weapon2,
  TimeAccelON,
  TimeAccelOFF,
  Weapon3,
};
inline constexpr int kKeyActionCount = 11;

struct TTRVKeyActionInfo {
  std::string_view SettingKey;
  std::string_view CaptionENG;
  std::string_view CaptionCZE;
  std::uint8_t TTRVSettings::*Field;
};

struct TTRVKeyMap {
  std::array<std::uint8_t, kKeyActionCount> Codes{};

  TTRVKeyMap();  // the default keys
  static TTRVKeyMap FromSettings(const TTRVSettings& settings);
  void StoreIn(TTRVSettings& settings) const;
  void RestoreDefaults();

  std::uint8_t Code(TTRVKeyAction action) const { return Codes[static_cast<int>(action)]; }
  // Out-of-range indexes give 0 or an empty caption.
  static std::uint8_t DefaultCode(int index);
  // "ENG" gives the English caption, any other language the Czech one.
  static std::string_view Caption(int index, std::string_view language);
};

// The mouse position the engine keeps between frames.
struct TTRVMouseState {
  int MouseX = 0;  // as seen by the last sample, pixels from the view's top-left
  int MouseY = 0;
  int PrevMouseX = 0;
  int PrevMouseY = 0;
  // After the world or the campaign map has used the sample: the current position
  // becomes the previous one.
  void EndFrame();
};

// The 3D view's size and the resolution setting; steering divides by the latter.
struct TTRVSampleView {
  int ViewWidth = 0;
  int ViewHeight = 0;
  int ResolutionX = 1;
  int ResolutionY = 1;
};

// One frame's sampling: held movement keys; the latched weapon and time-acceleration keys
// (Weapon1, Weapon2, TimeAccelON, TimeAccelOFF, Weapon3: when several are held the last
// wins); fire and secondary from the mouse buttons; mouse motion and steering.
void SampleControls(const platform::InputState& input, const TTRVKeyMap& keys, const TTRVSampleView& view,
                    TTRVMouseState& mouse, TTRVControlBlock& block, bool& timeAccel);

// The camera zoom: a running sum of wheel deltas (120 per notch, positive away from the
// user), kept at the ends of the 32-bit range instead of wrapping.
std::int32_t AddWheelDelta(std::int32_t zoomAccumulator, int wheelDelta);

struct TTRVZoomRange {
  std::int32_t Min;
  std::int32_t Max;
};
// Helicopter -800..-200, tank -1000..-300, boat -2000..-300; other unit types are not limited.
TTRVZoomRange VehicleZoomRange(int unitType);
std::int32_t ClampZoomToVehicle(std::int32_t zoomAccumulator, int unitType);

// The name the options dialog shows for a key code, at most 32 characters. Escape reads
// "Esc", which is what the key-mapping dialog treats as cancel.
std::string KeyDisplayName(int vk);

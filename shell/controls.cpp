// Key map, per-frame control sampling, zoom wheel and key display names.
#include "shell/controls.h"

#include <algorithm>
#include <climits>

#include "platform/input.h"
#include "config/settings.h"

namespace {

using S = TTRVSettings;

// clang-format off
constexpr TTRVKeyActionInfo kActions[kKeyActionCount] = {
    {"Acceleration", "Acceleration", "Akcelerace", &S::Acceleration},
    {"Break", "Break", "Brzda", &S::Break},
    {"Left", "Turn left", "Zatoč doleva", &S::Left},
    {"Right", "Turn right", "Zatoč doprava", &S::Right},
    {"Up", "Increase altitude", "Nabrat výšku", &S::Up},
    {"Down", "Decrease altitude", "Snížit výšku", &S::Down},
    {"Weapon1", "Select weapon 1", "Vyber zbraň 1", &S::Weapon1},
    {"Weapon2", "Select weapon 2", "Vyber zbraň 2", &S::Weapon2},
    {"TimeAccelON", "Time acceleration ON", "Zapni urychlení času", &S::TimeAccelON},
    {"TimeAccelOFF", "Time acceleration OFF", "Vypni urychlení času", &S::TimeAccelOFF},
    {"Weapon3", "Select weapon 3", "Vyber zbraň 3", &S::Weapon3},
};
// clang-format on

bool ValidIndex(int index) { return index >= 0 && index < kKeyActionCount; }

std::int32_t Saturate(long long value) {
  return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

TTRVKeyMap::TTRVKeyMap() { RestoreDefaults(); }

TTRVKeyMap TTRVKeyMap::FromSettings(const TTRVSettings& settings) {
  TTRVKeyMap map;
  for (int i = 0; i < kKeyActionCount; ++i) map.Codes[i] = settings.*kActions[i].Field;
  return map;
}

void TTRVKeyMap::StoreIn(TTRVSettings& settings) const {
  for (int i = 0; i < kKeyActionCount; ++i) settings.*kActions[i].Field = Codes[i];
}

void TTRVKeyMap::RestoreDefaults() {
  for (int i = 0; i < kKeyActionCount; ++i) Codes[i] = DefaultCode(i);
}

std::uint8_t TTRVKeyMap::DefaultCode(int index) {
  if (!ValidIndex(index)) return 0;
  // The settings table holds the defaults, so the dialog and a fresh file always agree.
  const TTRVSettingInfo* info = FindSetting(kActions[index].SettingKey);
  return info ? static_cast<std::uint8_t>(info->Default) : 0;
}

std::string_view TTRVKeyMap::Caption(int index, std::string_view language) {
  if (!ValidIndex(index)) return {};
  return language == "ENG" ? kActions[index].CaptionENG : kActions[index].CaptionCZE;
}

void SampleControls(const platform::InputState& input, const TTRVKeyMap& keys, const TTRVSampleView& view,
                    TTRVMouseState& mouse, TTRVControlBlock& block, bool& timeAccel) {
  using A = TTRVKeyAction;
  const auto held = [&](A action) { return input.KeyDown(keys.Code(action)); };

  block.accelerate = held(A::Acceleration);
  block.brake = held(A::Break);
  block.climb = held(A::Up);
  block.descend = held(A::Down);
  block.turnLeft = held(A::Left);
  block.turnRight = held(A::Right);

  // Latched: they keep their value until another key changes it. The order is the rule.
  if (held(A::Weapon1)) block.weaponRequest = 0;
  if (held(A::Weapon2)) block.weaponRequest = 1;
  if (held(A::TimeAccelON)) timeAccel = true;
  if (held(A::TimeAccelOFF)) timeAccel = false;
  if (held(A::Weapon3)) block.weaponRequest = 2;

  block.fire = input.KeyDown(platform::vk::LButton);
  block.secondary = input.KeyDown(platform::vk::RButton);

  mouse.MouseX = input.MouseX();
  mouse.MouseY = input.MouseY();
  block.mouseDX = Saturate(static_cast<long long>(mouse.PrevMouseX) - mouse.MouseX);
  block.mouseDY = Saturate(static_cast<long long>(mouse.PrevMouseY) - mouse.MouseY);
  // The settings never hold a resolution below 1; a zero here must not make steering infinite.
  const double width = std::max(view.ResolutionX, 1);
  const double height = std::max(view.ResolutionY, 1);
  block.steerX = static_cast<float>((static_cast<double>(view.ViewWidth / 2) - mouse.MouseX) / width);
  block.steerY = static_cast<float>((static_cast<double>(view.ViewHeight / 2) - mouse.MouseY) / height);
}

void TTRVMouseState::EndFrame() {
  PrevMouseX = MouseX;
  PrevMouseY = MouseY;
}

std::int32_t AddWheelDelta(std::int32_t zoomAccumulator, int wheelDelta) {
  return Saturate(static_cast<long long>(zoomAccumulator) + wheelDelta);
}

TTRVZoomRange VehicleZoomRange(int unitType) {
  switch (unitType) {
    case 0:
      return {-800, -200};
    case 1:
      return {-1000, -300};
    case 2:
      return {-2000, -300};
    default:
      return {INT32_MIN, INT32_MAX};
  }
}

std::int32_t ClampZoomToVehicle(std::int32_t zoomAccumulator, int unitType) {
  const TTRVZoomRange range = VehicleZoomRange(unitType);
  return std::clamp(zoomAccumulator, range.Min, range.Max);
}

std::string KeyDisplayName(int vk) {
  switch (vk) {
    case 1: return "LBUTTON";
    case 2: return "RBUTTON";
    case 4: return "MBUTTON";
    case 27: return "Esc";
    case 33: return "PAGE UP";
    case 34: return "PAGE DOWN";
    case 35: return "END";
    case 36: return "HOME";
    case 37: return "LEFT";
    case 38: return "UP";
    case 39: return "RIGHT";
    case 40: return "DOWN";
    case 134: return "MWHEEL UP";
    case 135: return "MWHEEL DOWN";
    default: break;
  }
  std::string name = platform::KeyNameFromVirtualKey(vk);
  if (name.size() > 32) {
    // Cut on a character boundary, never inside a UTF-8 sequence.
    std::size_t cut = 32;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name;
}

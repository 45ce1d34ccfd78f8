// The player's controls: held and latched keys, mouse motion and steering, the zoom wheel,
// the key map and the names the options dialog shows.
#include "shell/controls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "platform/input.h"
#include "config/settings.h"

namespace {

using platform::InputState;

constexpr TTRVSampleView kView{1024, 768, 1024, 768};

// One frame with these keys held and the mouse at (x, y), then the end of the frame.
struct Frame {
  std::initializer_list<int> held;
  int x = kView.ViewWidth / 2;
  int y = kView.ViewHeight / 2;
};

class Controls : public ::testing::Test {
 protected:
  TTRVControlBlock Sample(const Frame& frame) {
    InputState input;
    for (const int vk : frame.held) input.Press(vk);
    input.MoveMouse(frame.x, frame.y);
    SampleControls(input, keys, kView, mouse, block, timeAccel);
    mouse.EndFrame();
    return block;
  }

  TTRVKeyMap keys;
  TTRVMouseState mouse;
  TTRVControlBlock block;
  bool timeAccel = false;
};

TEST_F(Controls, HeldKeysDriveTheVehicleOnlyWhileHeld) {
  struct Case {
    int vk;
    bool TTRVControlBlock::*field;
  };
  const Case cases[] = {
      {'W', &TTRVControlBlock::accelerate}, {'S', &TTRVControlBlock::brake},
      {'E', &TTRVControlBlock::climb},      {'Q', &TTRVControlBlock::descend},
      {'A', &TTRVControlBlock::turnLeft},   {'D', &TTRVControlBlock::turnRight},
      {platform::vk::LButton, &TTRVControlBlock::fire},
      {platform::vk::RButton, &TTRVControlBlock::secondary},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    const TTRVControlBlock held = Sample({{c.vk}});
    for (const Case& other : cases) EXPECT_EQ(held.*other.field, other.vk == c.vk) << other.vk;
    EXPECT_FALSE(Sample({{}}).*c.field);
  }
}

TEST_F(Controls, RemappedKeysReplaceTheDefaults) {
  keys.Codes[static_cast<int>(TTRVKeyAction::Acceleration)] = platform::vk::Up;
  EXPECT_TRUE(Sample({{platform::vk::Up}}).accelerate);
  EXPECT_FALSE(Sample({{'W'}}).accelerate);
}

TEST_F(Controls, WeaponKeysLatchAndTheLastTestedWins) {
  struct Case {
    std::initializer_list<int> held;
    int before;
    int after;
  };
  // clang-format off
  const Case cases[] = {
    {{}, 1, 1},  {{}, 2, 2},                     // nothing held: the choice stays
    {{'1'}, 2, 0}, {{'2'}, 0, 1}, {{'3'}, 0, 2},
    {{'1', '3'}, 1, 2},                          // weapon 1 and weapon 3: the air strike
    {{'1', '2'}, 2, 1}, {{'2', '3'}, 0, 2}, {{'1', '2', '3'}, 0, 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "before " << c.before << " after " << c.after);
    block.weaponRequest = static_cast<std::uint8_t>(c.before);
    EXPECT_EQ(Sample({c.held}).weaponRequest, c.after);
    EXPECT_EQ(Sample({{}}).weaponRequest, c.after) << "released: still selected";
  }
}

TEST_F(Controls, TimeAccelerationLatchesOnAndOff) {
  const int on = platform::vk::Add, off = platform::vk::Subtract;
  Sample({{on}});
  EXPECT_TRUE(timeAccel);
  Sample({{}});
  EXPECT_TRUE(timeAccel) << "stays on after the key is released";
  Sample({{off}});
  EXPECT_FALSE(timeAccel);
  Sample({{on, off}});
  EXPECT_FALSE(timeAccel) << "off is tested after on";
}

TEST_F(Controls, SteeringIsTheMouseOffsetFromTheViewCentre) {
  struct Case {
    int x, y;
    float steerX, steerY;
  };
  const Case cases[] = {
      {512, 384, 0.0f, 0.0f},    // at the centre
      {0, 384, 0.5f, 0.0f},      // left edge
      {1024, 384, -0.5f, 0.0f},  // right edge
      {512, 0, 0.0f, 0.5f},      // top
      {512, 768, 0.0f, -0.5f},   // bottom
      {256, 576, 0.25f, -0.25f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    const TTRVControlBlock b = Sample({{}, c.x, c.y});
    EXPECT_FLOAT_EQ(b.steerX, c.steerX);
    EXPECT_FLOAT_EQ(b.steerY, c.steerY);
  }
}

TEST_F(Controls, SteeringUsesTheResolutionAndStaysFiniteWithoutOne) {
  InputState input;
  input.MoveMouse(0, 0);
  SampleControls(input, keys, {800, 600, 1600, 1200}, mouse, block, timeAccel);
  EXPECT_FLOAT_EQ(block.steerX, 0.25f) << "400 / 1600";
  SampleControls(input, keys, {800, 600, 0, -5}, mouse, block, timeAccel);
  EXPECT_TRUE(std::isfinite(block.steerX));
  EXPECT_TRUE(std::isfinite(block.steerY));
}

TEST_F(Controls, MouseMotionIsPreviousMinusCurrent) {
  Sample({{}, 100, 200});
  EXPECT_EQ(Sample({{}, 100, 200}).mouseDX, 0) << "no movement";
  EXPECT_EQ(block.mouseDY, 0);
  const TTRVControlBlock moved = Sample({{}, 110, 195});
  EXPECT_EQ(moved.mouseDX, -10);
  EXPECT_EQ(moved.mouseDY, 5);
  EXPECT_EQ(Sample({{}, 110, 195}).mouseDX, 0);

  // The previous position moves on only when the frame is finished.
  InputState input;
  input.MoveMouse(130, 195);
  SampleControls(input, keys, kView, mouse, block, timeAccel);
  SampleControls(input, keys, kView, mouse, block, timeAccel);
  EXPECT_EQ(block.mouseDX, -20);

  // Positions far apart (a hostile replay) saturate instead of overflowing.
  mouse = {};
  mouse.PrevMouseX = INT32_MIN;
  input.MoveMouse(INT32_MAX, 0);
  SampleControls(input, keys, kView, mouse, block, timeAccel);
  EXPECT_EQ(block.mouseDX, INT32_MIN);
}

TEST(Zoom, TheWheelAddsItsDeltasAndNeverWraps) {
  std::int32_t zoom = 0;
  zoom = AddWheelDelta(zoom, 120);
  zoom = AddWheelDelta(zoom, -360);
  EXPECT_EQ(zoom, -240);
  EXPECT_EQ(AddWheelDelta(INT32_MAX - 10, 120), INT32_MAX);
  EXPECT_EQ(AddWheelDelta(INT32_MIN + 10, -120), INT32_MIN);
}

TEST(Zoom, EachVehicleKeepsTheCameraInItsOwnRange) {
  struct Case {
    int unitType;
    std::int32_t zoom, clamped;
  };
  // clang-format off
  const Case cases[] = {
    {0, 0, -200},   {0, -500, -500},   {0, -5000, -800},   // helicopter
    {1, 0, -300},   {1, -999, -999},   {1, -5000, -1000},  // tank
    {2, 0, -300},   {2, -1500, -1500}, {2, -5000, -2000},  // boat
    {3, 100, 100},  {-1, -9000, -9000},                    // not a player's vehicle
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "unit " << c.unitType << " zoom " << c.zoom);
    EXPECT_EQ(ClampZoomToVehicle(c.zoom, c.unitType), c.clamped);
  }
}

TEST(KeyMap, DefaultsAndCaptionsInDialogOrder) {
  struct Case {
    int code;
    const char* english;
    const char* czech;
  };
  // clang-format off
  const Case cases[kKeyActionCount] = {
    {'W', "Acceleration", "Akcelerace"},
    {'S', "Break", "Brzda"},
    {'A', "Turn left", "Zatoč doleva"},
    {'D', "Turn right", "Zatoč doprava"},
    {'E', "Increase altitude", "Nabrat výšku"},
    {'Q', "Decrease altitude", "Snížit výšku"},
    {'1', "Select weapon 1", "Vyber zbraň 1"},
    {'2', "Select weapon 2", "Vyber zbraň 2"},
    {107, "Time acceleration ON", "Zapni urychlení času"},
    {109, "Time acceleration OFF", "Vypni urychlení času"},
    {'3', "Select weapon 3", "Vyber zbraň 3"},
  };
  // clang-format on
  const TTRVKeyMap defaults;
  for (int i = 0; i < kKeyActionCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(defaults.Codes[i], cases[i].code);
    EXPECT_EQ(TTRVKeyMap::DefaultCode(i), cases[i].code);
    EXPECT_EQ(TTRVKeyMap::Caption(i, "ENG"), cases[i].english);
    EXPECT_EQ(TTRVKeyMap::Caption(i, "CZE"), cases[i].czech);
  }
  EXPECT_EQ(TTRVKeyMap::Caption(kKeyActionCount, "ENG"), "");
  EXPECT_EQ(TTRVKeyMap::Caption(-1, "CZE"), "");
  EXPECT_EQ(TTRVKeyMap::DefaultCode(kKeyActionCount), 0);
}

TEST(KeyMap, TravelsThroughTheSettingsAndRestoresItsDefaults) {
  TTRVKeyMap map;
  for (int i = 0; i < kKeyActionCount; ++i) map.Codes[i] = static_cast<std::uint8_t>(200 + i);
  TTRVSettings settings;
  map.StoreIn(settings);
  EXPECT_EQ(settings.Acceleration, 200);
  EXPECT_EQ(settings.Weapon3, 210);
  EXPECT_EQ(settings.TimeAccelON, 208);
  EXPECT_EQ(TTRVKeyMap::FromSettings(settings).Codes, map.Codes);
  map.RestoreDefaults();
  EXPECT_EQ(map.Codes, TTRVKeyMap().Codes);
  EXPECT_EQ(TTRVKeyMap::FromSettings(TTRVSettings{}).Codes, map.Codes) << "the dialog and a fresh file agree";
}

TEST(KeyDisplayName, FixedNamesThenThePlatformsShortName) {
  struct Case {
    int vk;
    const char* name;
  };
  // clang-format off
  const Case cases[] = {
    {1, "LBUTTON"}, {2, "RBUTTON"}, {4, "MBUTTON"},
    {33, "PAGE UP"}, {34, "PAGE DOWN"}, {35, "END"}, {36, "HOME"},
    {37, "LEFT"}, {38, "UP"}, {39, "RIGHT"}, {40, "DOWN"},
    {134, "MWHEEL UP"}, {135, "MWHEEL DOWN"},
    {27, "Esc"},  // the key-mapping dialog cancels on this name
    {'W', "W"}, {'1', "1"},
    {0, ""}, {-1, ""}, {256, ""},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(KeyDisplayName(c.vk), c.name) << c.vk;
  for (int vk = 0; vk < 256; ++vk) EXPECT_LE(KeyDisplayName(vk).size(), 32u) << vk;
}

}  // namespace

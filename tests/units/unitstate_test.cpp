// The unit state block: the bytes a save game stores for every unit.
#include "units/unitstate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

std::vector<int> BytesAt(const TTRVUnitState& state, int offset, int count) {
  const auto bytes = state.ToBytes();
  std::vector<int> out;
  for (int i = 0; i < count; ++i) out.push_back(std::to_integer<int>(bytes[static_cast<std::size_t>(offset + i)]));
  return out;
}

TEST(UnitState, ANewBlockIsAll140BytesZero) {
  const TTRVUnitState state;
  const auto bytes = state.ToBytes();
  EXPECT_EQ(bytes.size(), 140u);
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; }));
}

TEST(UnitState, EachFieldLandsAtItsSavedOffsetLittleEndian) {
  // 1.5f is 00 00 C0 3F in little-endian order.
  const std::vector<int> onePointFive{0x00, 0x00, 0xC0, 0x3F};
  const struct {
    const char* name;
    std::function<void(TTRVUnitState&)> set;
    int offset;
    std::vector<int> bytes;
  } cases[] = {
      {"unitType", [](TTRVUnitState& s) { s.unitType = 3; }, 0, {3}},
      {"side", [](TTRVUnitState& s) { s.side = 8; }, 1, {8}},
      {"targetSide", [](TTRVUnitState& s) { s.targetSide = 5; }, 2, {5}},
      {"isPlayer", [](TTRVUnitState& s) { s.isPlayer = 1; }, 3, {1}},
      {"helicopter altitude = slotF[0]", [](TTRVUnitState& s) { s.Altitude() = 1.5f; }, 4, onePointFive},
      {"tank forward speed = slotF[0]", [](TTRVUnitState& s) { s.ForwardSpeed() = 1.5f; }, 4, onePointFive},
      {"gun yaw = slotF[1]", [](TTRVUnitState& s) { s.GunYaw() = 1.5f; }, 8, onePointFive},
      {"turret machine-gun timer = slotF[0]", [](TTRVUnitState& s) { s.TurretMachineGunTimer() = 1.5f; }, 4, onePointFive},
      {"turret rocket timer = slotF[1]", [](TTRVUnitState& s) { s.TurretRocketTimer() = 1.5f; }, 8, onePointFive},
      {"gun pitch = slotF[2]", [](TTRVUnitState& s) { s.GunPitch() = 1.5f; }, 12, onePointFive},
      {"rotor speed = slotF[4]", [](TTRVUnitState& s) { s.RotorSpeed() = 1.5f; }, 20, onePointFive},
      {"slotF[5]", [](TTRVUnitState& s) { s.slotF[5] = 1.5f; }, 24, onePointFive},
      {"weapon = slotB[0]", [](TTRVUnitState& s) { s.Weapon() = 2; }, 28, {2}},
      {"rocket pod = slotB[1]", [](TTRVUnitState& s) { s.RocketPod() = 4; }, 29, {4}},
      {"wreckDone = slotB[7]", [](TTRVUnitState& s) { s.WreckDone() = 1; }, 35, {1}},
      {"boat front gun aimed = slotB[8]", [](TTRVUnitState& s) { s.FrontGunAimed() = 1; }, 36, {1}},
      {"tank gun aimed = slotB[9]", [](TTRVUnitState& s) { s.GunAimed() = 1; }, 37, {1}},
      {"slotB[11]", [](TTRVUnitState& s) { s.slotB[11] = 7; }, 39, {7}},
      {"previous position x = slotV[0].x", [](TTRVUnitState& s) { s.PreviousPosition().x = 1.5f; }, 40, onePointFive},
      {"velocity forward = slotV[1].z", [](TTRVUnitState& s) { s.Velocity().z = 1.5f; }, 64, onePointFive},
      {"boat rear launcher timer = slotV[3].z", [](TTRVUnitState& s) { s.Mount(3).z = 1.5f; }, 96, onePointFive},
      {"slotV[5].w", [](TTRVUnitState& s) { s.slotV[5].w = 1.5f; }, 132, onePointFive},
      {"armour", [](TTRVUnitState& s) { s.armour = 1.5f; }, 136, onePointFive},
  };
  for (const auto& c : cases) {
    TTRVUnitState state;
    c.set(state);
    EXPECT_EQ(BytesAt(state, c.offset, static_cast<int>(c.bytes.size())), c.bytes) << c.name;
    // Nothing else changed.
    const auto bytes = state.ToBytes();
    const int nonZero = static_cast<int>(std::count_if(bytes.begin(), bytes.end(), [](std::byte b) { return b != std::byte{0}; }));
    const int expected = static_cast<int>(std::count_if(c.bytes.begin(), c.bytes.end(), [](int b) { return b != 0; }));
    EXPECT_EQ(nonZero, expected) << c.name;
  }
}

TEST(UnitState, SavedBytesReadBackIntoTheSameBlock) {
  TTRVUnitState state;
  state.unitType = 2;
  state.side = 4;
  state.Weapon() = 2;
  state.RockingPhase() = 37.5f;
  state.Mount(1) = {10, -5, 0.2f, 0};
  state.armour = -3;
  TTRVUnitState back = TTRVUnitState::FromBytes(state.ToBytes());
  EXPECT_EQ(back.ToBytes(), state.ToBytes());
  EXPECT_EQ(back.unitType, 2);
  EXPECT_EQ(back.Mount(1).y, -5);
  EXPECT_EQ(back.armour, -3);
}

}  // namespace

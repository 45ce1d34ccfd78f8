// TTRVUnitState: the 140 bytes of a unit that a save game stores raw and that are, at the
// same time, the unit's live fields: type, side, the per-type slots and the armour. The
// layout is fixed by the save format, so nothing may be added, moved or padded here; what a
// slot means depends on the unit type, and the accessors below name the slots by meaning.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

#include "scene/vectorgeometry.h"

struct TTRVUnitState {
  static constexpr std::size_t kBytes = 140;

  std::uint8_t unitType = 0;    // 0 helicopter, 1 tank, 2 boat, 3 turret
  std::uint8_t side = 0;        // index into the world's sides
  std::uint8_t targetSide = 0;  // whose objective the far step moves to; drawn anew at set-up
  std::uint8_t isPlayer = 0;    // 1 for the player's own unit
  std::array<float, 6> slotF{};
  std::array<std::uint8_t, 12> slotB{};
  std::array<TVector, 6> slotV{};
  float armour = 0;  // hit points; at or below 0 the unit is destroyed

  // Every type.
  std::uint8_t& Weapon() { return slotB[0]; }  // the weapon in use
  std::uint8_t Weapon() const { return slotB[0]; }
  std::uint8_t& WreckDone() { return slotB[7]; }  // the destruction explosion has played
  std::uint8_t WreckDone() const { return slotB[7]; }

  // Helicopter.
  float& Altitude() { return slotF[0]; }  // height above ground minus 0.19
  float Altitude() const { return slotF[0]; }
  float& GunYaw() { return slotF[1]; }  // degrees
  float& RotorSpeed() { return slotF[4]; }
  std::uint8_t& RocketPod() { return slotB[1]; }  // 3 or 4
  TVector& Velocity() { return slotV[1]; }        // in the unit's frame: lateral, vertical, forward
  const TVector& Velocity() const { return slotV[1]; }
  // Seconds until each weapon may fire again (both run down to just below zero).
  float& HeliMachineGunTimer() { return slotF[3]; }
  float HeliMachineGunTimer() const { return slotF[3]; }
  float& HeliRocketTimer() { return slotF[5]; }
  float HeliRocketTimer() const { return slotF[5]; }

  // Helicopter, tank and turret.
  float& GunPitch() { return slotF[2]; }
  float GunPitch() const { return slotF[2]; }
  // Helicopter and tank.
  TVector& PreviousPosition() { return slotV[0]; }

  // Tank and boat.
  float& ForwardSpeed() { return slotF[0]; }
  float ForwardSpeed() const { return slotF[0]; }
  float& TurnRate() { return slotF[1]; }
  float TurnRate() const { return slotF[1]; }
  // Tank: the gun is on its mark (player).
  std::uint8_t& GunAimed() { return slotB[9]; }
  std::uint8_t GunAimed() const { return slotB[9]; }
  // Tank: seconds until each gun may fire again (both run down to just below zero).
  float& TankMachineGunTimer() { return slotF[3]; }
  float TankMachineGunTimer() const { return slotF[3]; }
  float& TankCannonTimer() { return slotF[4]; }
  float TankCannonTimer() const { return slotF[4]; }

  // Turret: seconds until each weapon may fire again (both run down to just below zero).
  float& TurretMachineGunTimer() { return slotF[0]; }
  float TurretMachineGunTimer() const { return slotF[0]; }
  float& TurretRocketTimer() { return slotF[1]; }
  float TurretRocketTimer() const { return slotF[1]; }

  // Boat.
  float& RockingPhase() { return slotF[2]; }        // 0 .. 100
  std::uint8_t& FrontGunAimed() { return slotB[8]; }  // player
  std::uint8_t& RearLauncherAimed() { return slotB[9]; }
  // The boat's four mounts: 0 front gun, 1 right and 2 left machine gun, 3 rear rocket
  // launcher; each (yaw, pitch, reload timer, unused).
  TVector& Mount(int index) { return slotV[static_cast<std::size_t>(index)]; }

  // The block as the save stores it.
  std::array<std::byte, kBytes> ToBytes() const;
  // A block from the saved bytes.
  static TTRVUnitState FromBytes(std::span<const std::byte, kBytes> bytes);
};

// The save format is little-endian and the block is copied as it lies in memory.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(TVector) == 16 && alignof(TVector) <= 4, "slotV must hold four packed floats each");
static_assert(sizeof(TTRVUnitState) == TTRVUnitState::kBytes);
static_assert(offsetof(TTRVUnitState, unitType) == 0);
static_assert(offsetof(TTRVUnitState, side) == 1);
static_assert(offsetof(TTRVUnitState, targetSide) == 2);
static_assert(offsetof(TTRVUnitState, isPlayer) == 3);
static_assert(offsetof(TTRVUnitState, slotF) == 4);
static_assert(offsetof(TTRVUnitState, slotB) == 28);
static_assert(offsetof(TTRVUnitState, slotV) == 40);
static_assert(offsetof(TTRVUnitState, armour) == 136);

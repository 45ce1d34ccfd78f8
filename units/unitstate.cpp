// The unit state block to and from its saved bytes.
#include "units/unitstate.h"

#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<TTRVUnitState>);

std::array<std::byte, TTRVUnitState::kBytes> TTRVUnitState::ToBytes() const {
  std::array<std::byte, kBytes> bytes;
  std::memcpy(bytes.data(), this, kBytes);
  return bytes;
}

TTRVUnitState TTRVUnitState::FromBytes(std::span<const std::byte, kBytes> bytes) {
  TTRVUnitState state;
  std::memcpy(&state, bytes.data(), kBytes);
  return state;
}

// The one place where the reasons meet their words.
#include "world/status.h"

#include <utility>

namespace {

constexpr std::pair<TTRVReason, std::string_view> kReasonWords[] = {
    {TTRVReason::None, ""},
    {TTRVReason::HeliDestroyed, "GOheli"},
    {TTRVReason::TankDestroyed, "GOtank"},
    {TTRVReason::BoatDestroyed, "GOboat"},
    {TTRVReason::BaseCaptured, "GObase"},
    {TTRVReason::UnitsLost, "GOunits"},
    {TTRVReason::EnemyBaseCaptured, "MAbase"},
    {TTRVReason::EnemyUnitsDestroyed, "MAunits"},
};

}  // namespace

std::string_view ReasonWord(TTRVReason reason) {
  for (const auto& [value, word] : kReasonWords)
    if (value == reason) return word;
  return {};
}

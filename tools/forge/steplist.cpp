// The list of forge steps. A new step adds its declaration and one row here.
#include <vector>

#include "tools/forge/steps.h"

namespace forge {

bool ForgeSounds(const ForgeContext& context, std::string& error);
bool ForgeJingles(const ForgeContext& context, std::string& error);
bool ForgeMusic(const ForgeContext& context, std::string& error);
bool ForgeGroundThemes(const ForgeContext& context, std::string& error);
bool ForgeMilitaryTheme(const ForgeContext& context, std::string& error);
bool ForgeUnitThemes(const ForgeContext& context, std::string& error);
bool ForgeHudTheme(const ForgeContext& context, std::string& error);
bool ForgeScreenTheme(const ForgeContext& context, std::string& error);
bool ForgeHelpBitmaps(const ForgeContext& context, std::string& error);

const std::vector<NamedStep>& Steps() {
  static const std::vector<NamedStep> steps = {
      {"sounds", ForgeSounds},
      {"jingles", ForgeJingles},
      {"music", ForgeMusic},
      {"ground-themes", ForgeGroundThemes},
      {"military-theme", ForgeMilitaryTheme},
      {"unit-themes", ForgeUnitThemes},
      {"hud-theme", ForgeHudTheme},
      {"screen-theme", ForgeScreenTheme},
      {"help-bitmaps", ForgeHelpBitmaps},
  };
  return steps;
}

}  // namespace forge

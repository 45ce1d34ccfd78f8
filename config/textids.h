// Every text the game sets at run time, by id, in English and Czech: code asks for a text in
// the player's language and never chooses between two strings itself. Dialog captions and
// hints are not here: they come from data/Texts.txt. New texts are new rows in textids.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class TTRVLanguage : std::uint8_t { English, Czech };

// The Language setting's code: "CZE" is Czech, anything else English.
TTRVLanguage LanguageOf(std::string_view code);

enum class TextId : std::uint16_t {
  // Options and lists.
  Enabled,
  Disabled,
  NoTips,
  // Loading a world.
  LoadReadingFile,
  LoadThemes,
  LoadPathfinders,
  LoadSectors,  // followed by the sector column
  LoadWorldMap,
  LoadCreatingWorldMap,
  LoadStartingNewGame,
  LoadAddingUnits,  // followed by the side's name
  LoadReadingUnits,  // followed by the side's name
  // Generating an island or a campaign.
  GenCreateWorldTitle,
  GenCreateCampaignTitle,
  GenWorldNameCaption,
  GenCampaignCaption,
  GenEstimating,
  GenEstimatedTime,  // followed by the minutes
  GenElevations,
  GenTerraces,
  GenRivers,      // followed by a percentage
  GenRoads,
  GenMainRoads,   // followed by a percentage
  GenSideRoads,   // followed by a percentage
  GenCities,
  GenForests,
  GenForestsAt,   // followed by a percentage
  GenThemes,
  GenGrass,       // followed by a percentage
  GenBases,
  GenNavalBases,  // followed by the base
  GenWorldMap,    // followed by a percentage
  // The end of a mission.
  MissionAccomplished,
  MissionFailed,
  ContinueCampaign,
  ContinueTutorial,
  ReasonHeliLost,
  ReasonTankLost,
  ReasonBoatLost,
  ReasonBaseLost,
  ReasonUnitsLost,
  ReasonEnemyBase,
  ReasonEnemyUnits,
  GameOver,  // a mission that ended with no condition to name
  // Errors shown to the player.
  ErrorWorldNotLoaded,
  ErrorSaveNotLoaded,
  ErrorTutorialNotCreated,
  ErrorSettingsNotSaved,
  // The sides of a tutorial lesson.
  LessonPlayerSide,
  LessonEnemySide,
  // The tutorial dialog.
  TutorialLessonLocked,  // a lesson not yet reached
  // The lists of saves, worlds and campaigns.
  SelectLoadGameHeading,
  SelectSaveGameHeading,
  SelectLoadWorldHeading,
  SelectNewCampaignHeading,
  SelectLoad,
  SelectSave,
  SelectStart,
  SelectCreateNew,
  NoValue,  // a detail that is not known
  UnitHelicopter,
  UnitTank,
  UnitBoat,
  // The name entry.
  InputFilePrompt,
  InputWorldPrompt,
  InputCampaignPrompt,
  InputSaveInvalid,
  InputWorldInvalid,
  InputCampaignInvalid,
  SaveExistsBefore,  // then the name, then SaveExistsAfter
  SaveExistsAfter,
  WorldExistsBefore,
  WorldExistsAfter,
  CampaignExistsBefore,
  CampaignExistsAfter,
  ErrorSaveNotWritten,
  ErrorTempSaveNotWritten,
  // The skirmish set-up.
  SkirmishPlayerSide,
  SkirmishEnemySide,
  SkirmishAddedSide,  // followed by the side's index
  SkirmishTooFewBases,
  SkirmishNoBaseFor,  // followed by the side's name
  SkirmishLocked,
  Count
};

std::string_view Text(TextId id, TTRVLanguage language);
inline std::string TextString(TextId id, TTRVLanguage language) { return std::string(Text(id, language)); }

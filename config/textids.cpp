// The table of run-time texts. Rows are in the order of TextId; a static check keeps them so.
#include "config/textids.h"

#include <array>
#include <cstddef>

namespace {

struct TextRow {
  TextId id;
  std::string_view english;
  std::string_view czech;
};

constexpr TextRow kTexts[] = {
    {TextId::Enabled, "Enabled", "Ano"},
    {TextId::Disabled, "Disabled", "Ne"},
    {TextId::NoTips, "No tips available.", "Žádné tipy nejsou k dispozici."},

    {TextId::LoadReadingFile, "Reading file", "Načítám soubor"},
    {TextId::LoadThemes, "Loading themes", "Nahrávám klimata"},
    {TextId::LoadPathfinders, "Creating pathfinders", "Vytvářím hledání cest"},
    {TextId::LoadSectors, "Reading sectors: ", "Načítám sektory: "},
    {TextId::LoadWorldMap, "Loading world map", "Nahrávám mapu"},
    {TextId::LoadCreatingWorldMap, "Creating world map", "Vytvářím mapu"},
    {TextId::LoadStartingNewGame, "Starting new game", "Nahrávám"},
    {TextId::LoadAddingUnits, "Adding units: ", "Stavím jednotky: "},
    {TextId::LoadReadingUnits, "Reading units data: ", "Načítám jednotky: "},

    {TextId::GenCreateWorldTitle, "Create new world", "Vytvoř nový ostrov"},
    {TextId::GenCreateCampaignTitle, "Create new campaign", "Vytvoř novou kampaň"},
    {TextId::GenWorldNameCaption, "World name:", "Název ostrova:"},
    {TextId::GenCampaignCaption, "Campaign:", "Kampaň:"},
    {TextId::GenEstimating, "  (estimating time remaining...)", "  (odhaduji zbývající čas...)"},
    {TextId::GenEstimatedTime, "  (estimated time remaining: ", "  (odhadovaný čas dokončení: "},
    {TextId::GenElevations, "Calculating elevations...", "Počítám výškovou mapu..."},
    {TextId::GenTerraces, "Calculating terraces...", "Vytvářím terasy..."},
    {TextId::GenRivers, "Calculating rivers ", "Vytvářím řeky "},
    {TextId::GenRoads, "Building roads...", "Stavím silnice..."},
    {TextId::GenMainRoads, "Building main roads ", "Stavím hlavní silnice "},
    {TextId::GenSideRoads, "Building side roads ", "Stavím vedlejší silnice "},
    {TextId::GenCities, "Building cities...", "Stavím města..."},
    {TextId::GenForests, "Calculating forests...", "Vytvářím lesy..."},
    {TextId::GenForestsAt, "Calculating forests ", "Vytvářím lesy "},
    {TextId::GenThemes, "Solving themes...", "Počítám klimatické zóny..."},
    {TextId::GenGrass, "Growing grass ", "Vytvářím vegetaci "},
    {TextId::GenBases, "Creating bases...", "Vytvářím základny..."},
    {TextId::GenNavalBases, "Creating naval bases...", "Vytvářím námořní základny..."},
    {TextId::GenWorldMap, "Creating world map ", "Dokončuji mapu "},

    {TextId::MissionAccomplished, "Mission accomplished !", "Mise byla úspěšná !"},
    {TextId::MissionFailed, "Mission failed !", "Mise byla neúspěšná !"},
    {TextId::ContinueCampaign, "Continue campaign", "Pokračuj v kampani"},
    {TextId::ContinueTutorial, "Continue tutorial", "Pokračuj v tréninku"},
    {TextId::ReasonHeliLost, "Your helicopter was destroyed.", "Váš vrtulník byl zničen."},
    {TextId::ReasonTankLost, "Your tank was destroyed.", "Váš tank byl zničen."},
    {TextId::ReasonBoatLost, "Your boat was destroyed.", "Vaše loď byla zničena."},
    {TextId::ReasonBaseLost, "Your base was captured.", "Vaše základna byla zničena."},
    {TextId::ReasonUnitsLost, "Friendly units were destroyed.", "Vaše jednotky byly zničeny."},
    {TextId::ReasonEnemyBase, "Enemy base captured.", "Nepřátelská základna byla zničena."},
    {TextId::ReasonEnemyUnits, "Enemy units destroyed.", "Nepřátelské jednotky byly zničeny."},
    {TextId::GameOver, "The mission is over.", "Mise skončila."},

    {TextId::ErrorWorldNotLoaded, "The world could not be loaded.", "Ostrov se nepodařilo nahrát."},
    {TextId::ErrorSaveNotLoaded, "The saved game could not be loaded.", "Uloženou hru se nepodařilo nahrát."},
    {TextId::ErrorTutorialNotCreated, "The tutorial island could not be created.",
     "Výcvikový ostrov se nepodařilo vytvořit."},
    {TextId::ErrorSettingsNotSaved, "The settings could not be saved; they hold until the game is closed.",
     "Nastavení se nepodařilo uložit; platí do ukončení hry."},
    {TextId::LessonPlayerSide, "Player", "Hráč"},
    {TextId::LessonEnemySide, "Enemy", "Nepřítel"},

    {TextId::TutorialLessonLocked, "Locked", "Uzamčeno"},

    {TextId::SelectLoadGameHeading, "Load game", "Nahraj hru"},
    {TextId::SelectSaveGameHeading, "Save game", "Ulož hru"},
    {TextId::SelectLoadWorldHeading, "Load world", "Nahraj ostrov"},
    {TextId::SelectNewCampaignHeading, "Start new campaign", "Začni novou kampaň"},
    {TextId::SelectLoad, "Load", "Nahraj"},
    {TextId::SelectSave, "Save", "Ulož"},
    {TextId::SelectStart, "Start", "Začni"},
    {TextId::SelectCreateNew, "Create new", "Vytvoř novou"},
    {TextId::NoValue, "- - -", "- - -"},
    {TextId::UnitHelicopter, "Helicopter", "Vrtulník"},
    {TextId::UnitTank, "Tank", "Tank"},
    {TextId::UnitBoat, "Boat", "Loď"},

    {TextId::InputFilePrompt, "Enter file name", "Napiš jméno souboru"},
    {TextId::InputWorldPrompt, "Enter new world name", "Napiš název nového ostrova"},
    {TextId::InputCampaignPrompt, "Enter new campaign name", "Napiš název nové kampaně"},
    {TextId::InputSaveInvalid, "Save not successful !!!", "Ukládání bylo neúspěšné !!!"},
    {TextId::InputWorldInvalid, "Invalid world name !!!", "Nesprávný název !!!"},
    {TextId::InputCampaignInvalid, "Invalid campaign name !!!", "Nesprávný název !!!"},
    {TextId::SaveExistsBefore, "Saved game '", "Uložená pozice pod názvem '"},
    {TextId::SaveExistsAfter, "' already exists. Do you want to overwrite it?", "' již existuje. Chcete ji přepsat?"},
    {TextId::WorldExistsBefore, "World '", "Ostrov pod názvem '"},
    {TextId::WorldExistsAfter, "' already exists. Do you want to overwrite it?", "' již existuje. Chcete ho přepsat?"},
    {TextId::CampaignExistsBefore, "Campaign '", "Kampaň pod názvem '"},
    {TextId::CampaignExistsAfter, "' already exists. Do you want to overwrite it?",
     "' již existuje. Chcete ji přepsat?"},
    {TextId::ErrorSaveNotWritten, "The game could not be saved; it goes on as it was.",
     "Hru se nepodařilo uložit; pokračuje beze změny."},
    {TextId::ErrorTempSaveNotWritten, "The game could not be kept across the change of the display; it goes on as it was.",
     "Hru se nepodařilo uchovat při změně zobrazení; pokračuje beze změny."},

    {TextId::SkirmishPlayerSide, "Player Alliance", "Hráč"},
    {TextId::SkirmishEnemySide, "Enemy Alliance", "Nepřítel"},
    {TextId::SkirmishAddedSide, "Enemy Alliance ", "Nepřítel "},
    {TextId::SkirmishTooFewBases, "This world has fewer than two usable bases, so no skirmish can be fought on it.",
     "Tento svět má méně než dvě použitelné základny, nelze na něm hrát šarvátku."},
    {TextId::SkirmishNoBaseFor, "This world has no base for the side ", "Tento svět nemá základnu pro frakci "},
    {TextId::SkirmishLocked, "Locked", "Uzamčeno"},
};

constexpr bool RowsInOrder() {
  if (std::size(kTexts) != static_cast<std::size_t>(TextId::Count)) return false;
  for (std::size_t i = 0; i < std::size(kTexts); ++i)
    if (static_cast<std::size_t>(kTexts[i].id) != i) return false;
  return true;
}
static_assert(RowsInOrder(), "one row per TextId, in the order of the enumeration");

}  // namespace

TTRVLanguage LanguageOf(std::string_view code) { return code == "CZE" ? TTRVLanguage::Czech : TTRVLanguage::English; }

std::string_view Text(TextId id, TTRVLanguage language) {
  const auto i = static_cast<std::size_t>(id);
  if (i >= std::size(kTexts)) return {};
  return language == TTRVLanguage::Czech ? kTexts[i].czech : kTexts[i].english;
}

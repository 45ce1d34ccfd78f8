// Saving and loading played through the real main window with the built game's data: a
// lesson saved as "My game" from the game menu (a refused name and the overwrite question on
// the way), the list of a dozen saves scrolled with the details beside it, the save loaded
// back with the player's unit and the enemy turret as they were, AutoSave grey and kept,
// Delete, and the world list with its thumbnail. Screenshots in English and Czech land in
// e2e-shots/.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game.h"
#include "tests/e2e/screencheck.h"
#include "tests/e2e/session.h"
#include "ui/decidedialogs.h"
#include "ui/gamemenu.h"
#include "ui/inputdialog.h"
#include "ui/loadgamedata.h"
#include "ui/mainmenu.h"
#include "ui/selectiondialog.h"
#include "ui/tutorialdialog.h"
#include "ui/worlddata.h"
#include "units/entity.h"

namespace {

namespace fs = std::filesystem;
using e2e::Session;

constexpr const char* kConfig =
    "[General]\nResolutionX=800\nResolutionY=600\nFullScr=0\nLangSelected=1\nLanguage=ENG\nTutorial=9\n";

TTRVGame& Game(Session& s) { return dynamic_cast<TTRVGame&>(*s.Engine().World); }

TTRVEntity* UnitOf(Session& s, int side, int type) {
  TGLBaseSceneObject* cube = Game(s).World().sideRoot->Children(side);
  for (int i = 0; i < cube->Count(); ++i)
    if (auto* unit = dynamic_cast<TTRVEntity*>(cube->Children(i)); unit && unit->state.unitType == type) return unit;
  return nullptr;
}

// Text typed into the focused field, as the window system delivers it.
void Type(Session& s, const std::string& text) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  e.text.windowID = SDL_GetWindowID(s.Main().Window().Handle());
  std::strncpy(e.text.text, text.c_str(), sizeof e.text.text - 1);
  SDL_PushEvent(&e);
  s.Frame();
}

// Clears the name field and types a name into it.
void EnterName(Session& s, const std::string& name) {
  ui::TFormInput& input = s.Main().Dialog<ui::TFormInput>();
  ASSERT_TRUE(s.Click(input.EditName()));
  input.EditName().SetText("");
  Type(s, name);
  ASSERT_EQ(input.Name(), name);
}

std::vector<std::string> Listed(Session& s) {
  std::vector<std::string> names;
  for (const ui::TSelectionEntry& e : s.Main().Dialog<ui::TFormSelection>().List().Entries()) names.push_back(e.name);
  return names;
}

// The row that shows the entry of that name, or -1.
int RowOf(Session& s, const std::string& name) {
  const ui::TSelectionList& list = s.Main().Dialog<ui::TFormSelection>().List();
  for (int r = 0; r < ui::TSelectionList::kRows; ++r) {
    const int e = list.RowEntry(r);
    if (e >= 0 && e < list.Count() && list.Entries()[static_cast<std::size_t>(e)].name == name) return r;
  }
  return -1;
}

// Scrolls the list with the Down button until the entry shows, then clicks it.
::testing::AssertionResult Highlight(Session& s, const std::string& name) {
  ui::TFormSelection& list = s.Main().Dialog<ui::TFormSelection>();
  for (int i = 0; i < 30 && RowOf(s, name) < 0 && list.PanelDown().Showing(); ++i)
    if (!s.Click(list.PanelDown())) return ::testing::AssertionFailure() << "Down cannot be clicked";
  const int row = RowOf(s, name);
  if (row < 0) return ::testing::AssertionFailure() << name << " is not in the list";
  return s.Click(list.Row(row));
}

void Shot(Session& s, const std::string& name, bool czech) {
  const platform::Bitmap shot = s.Shot(name);
  e2e::ExpectMenusReadable(s.Main().Host(), shot);
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), czech);
}

TEST(Saves, ALessonSavedAsMyGameLoadsBackWhereItWasAndTheListsShowAndDeleteSaves) {
  Session s("saves", kConfig);
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
  std::string why;
  if (!s.Start(why)) GTEST_SKIP() << why;
  ui::TFormMainMenu& menu = s.Main().Dialog<ui::TFormMainMenu>();
  ui::TFormGameMenu& gameMenu = s.Main().Dialog<ui::TFormGameMenu>();
  ui::TFormSelection& list = s.Main().Dialog<ui::TFormSelection>();
  ui::TFormLoadGameData& details = s.Main().Dialog<ui::TFormLoadGameData>();
  ui::TFormInput& input = s.Main().Dialog<ui::TFormInput>();

  // A lesson in play: the helicopter flies a little, the enemy turret takes damage.
  ASSERT_TRUE(s.Click(menu.PanelTutorial()));
  ASSERT_TRUE(s.Click(s.Main().Dialog<ui::TFormTutorial>().PanelTut(0)));
  ASSERT_TRUE(s.Engine().WorldRunning()) << s.Engine().LastError();
  s.Wait(1.5, 0.066);
  s.Key('W', true);
  s.Wait(1.0, 0.066);
  s.Key('W', false);
  s.Wait(0.5, 0.066);
  TTRVEntity* turret = UnitOf(s, 1, utTurret);
  ASSERT_NE(turret, nullptr);
  turret->state.armour = turret->state.armour * 0.5f + 1;

  // Escape, Save, Create new: a name outside the folder is refused, the dialog stays.
  s.Press(platform::vk::Escape);
  ASSERT_TRUE(s.WaitFor([&] { return gameMenu.Visible(); }, 4));
  ASSERT_TRUE(s.Click(gameMenu.PanelSave()));
  ASSERT_TRUE(list.Visible());
  EXPECT_EQ(list.Row(0).Caption(), " Create new");
  ASSERT_TRUE(s.Click(list.PanelSelect()));
  ASSERT_TRUE(input.Visible());
  EnterName(s, "../x");
  ASSERT_TRUE(s.Click(input.PanelOK()));
  EXPECT_TRUE(input.Visible());
  EXPECT_EQ(input.LabelMessage().Caption(), "Save not successful !!!");
  Shot(s, "entry-refused-en", false);
  EnterName(s, "My game");
  ASSERT_TRUE(s.Click(input.PanelOK()));
  ASSERT_TRUE(gameMenu.Visible()) << s.Engine().LastError();
  ASSERT_TRUE(fs::exists(s.Folder() / "save" / "My game.TRV"));

  TTRVEntity* heli = UnitOf(s, 0, utHeli);
  ASSERT_NE(heli, nullptr);
  const TVector wasAt = heli->AbsolutePosition();
  const float turretArmour = turret->state.armour;

  // Saving again under the same name asks first; No keeps the name.
  ASSERT_TRUE(s.Click(gameMenu.PanelSave()));
  ASSERT_TRUE(Highlight(s, "My game"));
  EXPECT_EQ(details.LabelWorld().Caption(), "Tutorial");
  ASSERT_TRUE(s.Click(list.PanelSelect()));
  EXPECT_EQ(input.Name(), "My game");
  ASSERT_TRUE(s.Click(input.PanelOK()));
  ASSERT_TRUE(input.Asking());
  Shot(s, "entry-overwrite-en", false);
  ASSERT_TRUE(s.Click(input.PanelNo()));
  EXPECT_EQ(input.Name(), "My game");
  ASSERT_TRUE(s.Click(input.PanelCancel()));
  ASSERT_TRUE(s.Click(list.PanelCancel()));
  ASSERT_TRUE(gameMenu.Visible());
  ASSERT_TRUE(s.Click(gameMenu.PanelExit()));
  ASSERT_TRUE(menu.Visible());

  // A dozen more saves, the automatic one among them.
  const fs::path saves = s.Folder() / "save";
  fs::copy_file(saves / "My game.TRV", saves / "AutoSave.TRV");
  for (int i = 1; i <= 11; ++i)
    fs::copy_file(saves / "My game.TRV", saves / ("Battle " + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".TRV"));

  ASSERT_TRUE(s.Click(menu.PanelLoadGame()));
  ASSERT_TRUE(list.Visible());
  ASSERT_TRUE(details.Visible());
  ASSERT_EQ(Listed(s).size(), 13u);
  EXPECT_EQ(Listed(s).front(), "AutoSave");
  EXPECT_EQ(list.Row(0).Font().color, platform::MakeColor(128, 128, 128)) << "AutoSave is grey";
  EXPECT_FALSE(list.PanelDelete().Showing()) << "and cannot be deleted";
  ASSERT_TRUE(s.Click(list.PanelDown()));
  EXPECT_EQ(list.List().FirstVisible(), 1);
  EXPECT_EQ(list.Row(0).Caption(), " Battle 01");
  EXPECT_EQ(details.LabelWorld().Caption(), "Tutorial");
  Shot(s, "saves-scrolled-en", false);

  // Its details: world, mission, unit type, sides and date.
  ASSERT_TRUE(Highlight(s, "My game"));
  EXPECT_EQ(details.LabelWorld().Caption(), "Tutorial");
  EXPECT_EQ(details.LabelUnitType().Caption(), "Helicopter");
  EXPECT_NE(details.LabelGameType().Caption(), "- - -");
  EXPECT_EQ(details.LabelSides().Caption(), "2");
  EXPECT_NE(details.LabelSaved().Caption(), "- - -");
  EXPECT_TRUE(list.PanelDelete().Showing());

  // Played on from the same place.
  ASSERT_TRUE(s.Click(list.PanelSelect()));
  ASSERT_TRUE(s.Engine().WorldRunning()) << s.Engine().LastError();
  EXPECT_FALSE(list.Visible());
  heli = UnitOf(s, 0, utHeli);
  turret = UnitOf(s, 1, utTurret);
  ASSERT_NE(heli, nullptr);
  ASSERT_NE(turret, nullptr);
  const TVector nowAt = heli->AbsolutePosition();
  EXPECT_LT(std::hypot(nowAt.x - wasAt.x, nowAt.z - wasAt.z), 1.0f) << "the helicopter where it was";
  EXPECT_NEAR(nowAt.y, wasAt.y, 1.0f);
  EXPECT_FLOAT_EQ(turret->state.armour, turretArmour) << "the turret's armour as it was";
  s.Wait(1.0, 0.066);
  EXPECT_TRUE(s.Engine().ViewRunning());

  // Delete takes it off the list.
  s.Press(platform::vk::Escape);
  ASSERT_TRUE(s.WaitFor([&] { return gameMenu.Visible(); }, 4));
  ASSERT_TRUE(s.Click(gameMenu.PanelLoad()));
  ASSERT_TRUE(Highlight(s, "My game"));
  ASSERT_TRUE(s.Click(list.PanelDelete()));
  EXPECT_FALSE(fs::exists(saves / "My game.TRV"));
  EXPECT_EQ(Listed(s).size(), 12u);
  EXPECT_EQ(RowOf(s, "My game"), -1);
  ASSERT_TRUE(s.Click(list.PanelCancel()));
  ASSERT_TRUE(gameMenu.Visible()) << "Cancel from the game's load goes back to its menu";
  ASSERT_TRUE(s.Click(gameMenu.PanelExit()));

  // The world list with the tutorial island's thumbnail.
  ASSERT_TRUE(s.Click(menu.PanelSkirmish()));
  ui::TFormSkirmishDecide& decide = s.Main().Dialog<ui::TFormSkirmishDecide>();
  ASSERT_TRUE(s.Click(decide.PanelLoadWorld()));
  ui::TFormWorldData& world = s.Main().Dialog<ui::TFormWorldData>();
  ASSERT_TRUE(world.Visible());
  EXPECT_EQ(world.LabelName().Caption(), "Tutorial");
  EXPECT_TRUE(world.ImageThumb().Showing());
  Shot(s, "worlds-en", false);
  ASSERT_TRUE(s.Click(list.PanelCancel()));
  ASSERT_TRUE(s.Click(decide.PanelCancel()));

  // The same screens in Czech.
  s.Engine().Settings.Language = "CZE";
  s.Main().ApplySettings(false);
  s.Main().ShowMainMenu();
  ASSERT_TRUE(s.Click(menu.PanelSkirmish()));
  ASSERT_TRUE(s.Click(decide.PanelLoadWorld()));
  EXPECT_EQ(list.LabelHeading().Caption(), "Nahraj ostrov");
  Shot(s, "worlds-cz", true);
  ASSERT_TRUE(s.Click(list.PanelCancel()));
  ASSERT_TRUE(s.Click(decide.PanelCancel()));
  ASSERT_TRUE(s.Click(menu.PanelLoadGame()));
  ASSERT_TRUE(s.Click(list.PanelDown()));
  Shot(s, "saves-scrolled-cz", true);
  ASSERT_TRUE(Highlight(s, "Battle 02"));
  ASSERT_TRUE(s.Click(list.PanelSelect()));
  ASSERT_TRUE(s.Engine().WorldRunning()) << s.Engine().LastError();
  s.Wait(1.0, 0.066);
  s.Press(platform::vk::Escape);
  ASSERT_TRUE(s.WaitFor([&] { return gameMenu.Visible(); }, 4));
  ASSERT_TRUE(s.Click(gameMenu.PanelSave()));
  ASSERT_TRUE(s.Click(list.PanelSelect()));
  EnterName(s, "AutoSave");
  ASSERT_TRUE(s.Click(input.PanelOK()));
  EXPECT_EQ(input.LabelMessage().Caption(), "Ukládání bylo neúspěšné !!!");
  Shot(s, "entry-refused-cz", true);
  EnterName(s, "Battle 02");
  ASSERT_TRUE(s.Click(input.PanelOK()));
  ASSERT_TRUE(input.Asking());
  EXPECT_EQ(input.LabelQuestion().Caption(),
            "Uložená pozice pod názvem 'Battle 02' již existuje. Chcete ji přepsat?");
  Shot(s, "entry-overwrite-cz", true);
  ASSERT_TRUE(s.Click(input.PanelYes()));
  EXPECT_TRUE(gameMenu.Visible()) << s.Engine().LastError();
}

}  // namespace

// The lists of saves and worlds as the main window drives them, with a stand-in game that
// writes a marker file for a save: the game menu's Save through the list and the name entry,
// a failed save that leaves the game paused with its menu, Delete through the program's
// files (a world with its pictures; never AutoSave), Select on an empty list, "Load world"
// only with a world the list would show, the tutorial left behind by the main menu, the
// game-over dialog's Load game, and ApplySettings' TempSave with its failures.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "scene/viewer.h"
#include "game/savegame.h"
#include "shell/mainwindow.h"
#include "ui/decidedialogs.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/gameoverdialog.h"
#include "ui/inputdialog.h"
#include "ui/loadgamedata.h"
#include "ui/loadingdialog.h"
#include "ui/mainmenu.h"
#include "ui/selectiondialog.h"
#include "ui/worlddata.h"

namespace {

namespace fs = std::filesystem;
using ui::TSelectionMode;

// The smallest save the engine takes: two sides and no units, on the world "Stand".
bool WriteStandInSave(const fs::path& file, double savedAt, std::string& error) {
  TTRVSaveData data;
  data.setup.worldName = "Stand";
  data.setup.sides.resize(2);
  data.setup.sides[0].name = "Player";
  data.setup.sides[1].name = "Enemy";
  data.units.resize(2);
  const std::vector<std::uint8_t> bytes = WriteSaveFile(data, savedAt, error);
  if (bytes.empty()) return false;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A game whose save writes the stand-in save, or refuses with `refusal`.
class SavingWorld : public TTRVRunningWorld {
 public:
  SavingWorld(std::string refusal, std::vector<std::string>* saved)
      : refusal_(std::move(refusal)), saved_(saved) {}
  void Step(double) override {}
  void SetRunning(bool) override {}
  bool Running() const override { return true; }
  void SetHUDVisible(bool) override {}
  void CutAirStrikeTimer(float) override {}
  bool SaveGame(const fs::path& file, double savedAt, std::string& error) override {
    if (saved_) saved_->push_back(file.stem().string());
    if (!refusal_.empty()) {
      error = refusal_;
      return false;
    }
    return WriteStandInSave(file, savedAt, error);
  }
  std::string CampaignName() const override { return ""; }

 private:
  std::string refusal_;
  std::vector<std::string>* saved_;
};

void Click(platform::widgets::TPanel& button) {
  ASSERT_TRUE(button.Showing()) << button.Name();
  ASSERT_TRUE(button.OnClick) << button.Name();
  button.OnClick(button);
}

class SavesFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    folder_ = fs::temp_directory_path() / ("morvane-saves-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "save");
    fs::create_directories(folder_ / "worlds");
    std::ofstream(folder_ / "config.ini")
        << "[General]\nResolutionX=800\nResolutionY=600\nFullScr=0\nLanguage=ENG\nLangSelected=1\nTutorial=9\n";
    main_ = std::make_unique<TFormTarvin>(folder_, [this] { return now_; });
    std::string error;
    if (!main_->Create(error)) GTEST_SKIP() << error;
    // A saved game loads as a stand-in game while its file is there.
    main_->Engine().SavedGameLoader = [this](TTRVEngine&, const std::string& name, const TTRVWorldInfo*,
                                             std::string& error) -> std::unique_ptr<TTRVRunningWorld> {
      loaded_.push_back(name);
      if (!loadable_) {
        error = "the stand-in refuses";
        return nullptr;
      }
      return std::make_unique<SavingWorld>("", &saved_);
    };
  }
  void TearDown() override {
    main_.reset();
    fs::remove_all(folder_);
  }
  // The world the stand-in's saves name: the engine loads a save only while it is there.
  void StandWorld() { std::ofstream(folder_ / "worlds" / "Stand.TRV") << "the saves' world"; }
  void PausedGame(const std::string& refusal = "") {
    StandWorld();
    main_->Engine().World = std::make_unique<SavingWorld>(refusal, &saved_);
    main_->Resume();
    main_->Pause(true);
    main_->Open<ui::TFormGameMenu>();
  }
  void Touch(const fs::path& file) { std::ofstream(file) << "x"; }
  std::vector<std::string> Listed() {
    std::vector<std::string> names;
    for (const ui::TSelectionEntry& e : Selection().List().Entries()) names.push_back(e.name);
    return names;
  }
  ui::TFormSelection& Selection() { return main_->Dialog<ui::TFormSelection>(); }
  ui::TFormInput& Input() { return main_->Dialog<ui::TFormInput>(); }
  ui::TFormError& Error() { return main_->Dialog<ui::TFormError>(); }
  ui::TFormGameMenu& GameMenu() { return main_->Dialog<ui::TFormGameMenu>(); }
  ui::TFormMainMenu& MainMenu() { return main_->Dialog<ui::TFormMainMenu>(); }

  double now_ = 0;
  fs::path folder_;
  std::unique_ptr<TFormTarvin> main_;
  std::vector<std::string> saved_, loaded_;
  bool loadable_ = true;
};

TEST_F(SavesFlowTest, SaveFromTheGameMenuAsksANameWritesItAndReturnsToTheMenu) {
  Touch(folder_ / "save" / "AutoSave.TRV");
  Touch(folder_ / "save" / "Old.TRV");
  PausedGame();
  Click(GameMenu().PanelSave());
  ui::TFormSelection& list = Selection();
  ASSERT_TRUE(list.Visible());
  EXPECT_EQ(list.Mode(), TSelectionMode::SaveGame);
  EXPECT_EQ(Listed(), std::vector<std::string>{"Old"}) << "AutoSave is never offered for saving";
  ui::TFormLoadGameData& details = main_->Dialog<ui::TFormLoadGameData>();
  ASSERT_TRUE(details.Visible());
  EXPECT_EQ(details.Left(), list.Left() + list.Width() + 5) << "the details beside the list";
  EXPECT_EQ(details.LabelWorld().Caption(), "- - -") << "Create new has no details";

  Click(list.PanelSelect());
  EXPECT_FALSE(list.Visible());
  ASSERT_TRUE(Input().Visible());
  EXPECT_EQ(Input().Name(), "") << "Create new starts with an empty name";
  Input().EditName().SetText("My game");
  Click(Input().PanelOK());
  EXPECT_EQ(saved_, std::vector<std::string>{"My game"});
  EXPECT_TRUE(fs::exists(folder_ / "save" / "My game.TRV"));
  EXPECT_FALSE(Input().Visible());
  EXPECT_TRUE(GameMenu().Visible());

  // Saving over an existing save: its name is offered, and the question comes first.
  Click(GameMenu().PanelSave());
  list.Rebuild(list.List().Entries());
  main_->Dialog<ui::TFormSelection>().Row(1).OnClick(list.Row(1));  // "My game"
  Click(list.PanelSelect());
  EXPECT_EQ(Input().Name(), "My game");
  Click(Input().PanelOK());
  ASSERT_TRUE(Input().Asking());
  EXPECT_EQ(saved_.size(), 1u);
  Click(Input().PanelCancel());
  EXPECT_TRUE(list.Visible()) << "Cancel goes back to the list";
  EXPECT_TRUE(details.Visible());
  Click(list.PanelCancel());
  EXPECT_TRUE(GameMenu().Visible());
}

TEST_F(SavesFlowTest, AFailedSaveTellsWhyAndTheGameStaysPausedWithItsMenu) {
  Touch(folder_ / "save" / "My game.TRV");
  PausedGame("the disk is full");
  main_->Open<ui::TFormInput>();
  Input().Open(ui::TInputMode::SaveGame, "Fresh", TTRVLanguage::English);
  Click(Input().PanelOK());
  ASSERT_TRUE(Error().Visible());
  EXPECT_EQ(Error().LabelText().Caption(), "The game could not be saved; it goes on as it was.");
  EXPECT_EQ(Error().LabelDetail().Caption(), "the disk is full");
  EXPECT_TRUE(main_->Engine().WorldRunning());
  Click(Error().PanelOK());
  EXPECT_TRUE(GameMenu().Visible()) << "the game goes on";
  EXPECT_FALSE(MainMenu().Visible());
  EXPECT_TRUE(main_->Engine().WorldRunning());

  // Overwriting deletes nothing before the new save is written.
  main_->Open<ui::TFormInput>();
  Input().Open(ui::TInputMode::SaveGame, "My game", TTRVLanguage::English);
  Click(Input().PanelOK());
  ASSERT_TRUE(Input().Asking());
  Click(Input().PanelYes());
  EXPECT_TRUE(Error().Visible());
  EXPECT_TRUE(fs::exists(folder_ / "save" / "My game.TRV")) << "the old save is kept";
}

TEST_F(SavesFlowTest, LoadGameListsTheSavesSortedDeletesThroughTheProgramFilesAndKeepsAutoSave) {
  for (const char* name : {"B", "AutoSave", "A"}) Touch(folder_ / "save" / (std::string(name) + ".TRV"));
  Touch(folder_ / "save" / "notes.txt");
  Click(MainMenu().PanelLoadGame());
  ui::TFormSelection& list = Selection();
  ASSERT_TRUE(list.Visible());
  EXPECT_EQ(list.Mode(), TSelectionMode::LoadGame);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"A", "AutoSave", "B"}));
  list.Row(1).OnClick(list.Row(1));
  EXPECT_FALSE(list.PanelDelete().Visible()) << "AutoSave cannot be deleted";
  main_->SelectionDelete();  // even when asked anyway
  EXPECT_TRUE(fs::exists(folder_ / "save" / "AutoSave.TRV"));
  list.Row(2).OnClick(list.Row(2));
  Click(list.PanelDelete());
  EXPECT_FALSE(fs::exists(folder_ / "save" / "B.TRV"));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"A", "AutoSave"}));
  EXPECT_EQ(list.List().Selected(), 1) << "the highlight stays on the list";
  Click(list.PanelCancel());
  EXPECT_TRUE(MainMenu().Visible());
}

// The list and its details side by side inside the smallest screen, whichever details show.
TEST_F(SavesFlowTest, TheListsAndTheirDetailsLieSideBySideInsideTheScreen) {
  for (int i = 0; i < 12; ++i) Touch(folder_ / "save" / ("Battle " + std::to_string(10 + i) + ".TRV"));
  Touch(folder_ / "worlds" / "North.TRV");
  struct Case {
    void (TFormTarvin::*open)();
    const platform::widgets::TForm* details;
  } cases[] = {{&TFormTarvin::OpenLoadGame, &main_->Dialog<ui::TFormLoadGameData>()},
               {&TFormTarvin::OpenWorldList, &main_->Dialog<ui::TFormWorldData>()}};
  for (const Case& c : cases) {
    (main_.get()->*c.open)();
    const ui::TFormSelection& list = Selection();
    ASSERT_TRUE(list.Visible());
    ASSERT_TRUE(c.details->Visible()) << c.details->Name();
    for (const platform::widgets::TForm* f : {static_cast<const platform::widgets::TForm*>(&list), c.details}) {
      EXPECT_GE(f->Left(), 0) << f->Name();
      EXPECT_GE(f->Top(), 0) << f->Name();
      EXPECT_LE(f->Left() + f->Width(), 800) << f->Name();
      EXPECT_LE(f->Top() + f->Height(), 600) << f->Name();
    }
    EXPECT_GE(c.details->Left(), list.Left() + list.Width()) << "beside, not over, the list";
  }
  if (const char* dir = std::getenv("MORVANE_SHOTS")) {  // to look at it
    main_->OpenLoadGame();
    Click(Selection().PanelDown());
    main_->Screen().Compose();
    std::string why;
    EXPECT_TRUE(ReadFramebufferToBitmap(800, 600).SaveBmp(std::string(dir) + "/saves-list.bmp", why)) << why;
  }
}

TEST_F(SavesFlowTest, SelectOnAnEmptyListDoesNothingAndAChosenSaveLoads) {
  Click(MainMenu().PanelLoadGame());
  ASSERT_TRUE(Selection().Visible());
  EXPECT_TRUE(Listed().empty());
  Click(Selection().PanelSelect());
  EXPECT_TRUE(Selection().Visible());
  EXPECT_FALSE(Error().Visible());
  EXPECT_TRUE(loaded_.empty());
  Click(Selection().PanelCancel());

  StandWorld();
  std::string error;
  ASSERT_TRUE(WriteStandInSave(folder_ / "save" / "Mine.TRV", 46000, error)) << error;
  Click(MainMenu().PanelLoadGame());
  Click(Selection().PanelSelect());
  EXPECT_EQ(loaded_, std::vector<std::string>{"Mine"});
  EXPECT_FALSE(Selection().Visible());
  EXPECT_FALSE(main_->Dialog<ui::TFormLoadGameData>().Visible());
  EXPECT_TRUE(main_->Engine().ViewRunning()) << "the loaded game runs";
}

TEST_F(SavesFlowTest, ASaveRefusedBeforeTheGameStopsLeavesThePausedGameUnderItsMenu) {
  PausedGame();
  TTRVRunningWorld* running = main_->Engine().World.get();
  std::string error;
  ASSERT_TRUE(WriteStandInSave(folder_ / "save" / "Elsewhere.TRV", 46000, error)) << error;
  fs::remove(folder_ / "worlds" / "Stand.TRV");  // the world the save names is gone
  Click(GameMenu().PanelLoad());
  ASSERT_TRUE(Selection().Visible());
  Click(Selection().PanelSelect());
  ASSERT_TRUE(Error().Visible());
  EXPECT_TRUE(loaded_.empty()) << "refused before anything was built";
  EXPECT_EQ(main_->Engine().World.get(), running) << "the running game goes on unchanged";
  EXPECT_FALSE(main_->Engine().ViewRunning());
  Click(Error().PanelOK());
  EXPECT_TRUE(GameMenu().Visible());
  EXPECT_FALSE(MainMenu().Visible());

  // A load that fails once the game was stopped has nothing to return to.
  StandWorld();
  loadable_ = false;
  Click(GameMenu().PanelLoad());
  Click(Selection().PanelSelect());
  ASSERT_TRUE(Error().Visible());
  EXPECT_FALSE(main_->Engine().WorldRunning());
  Click(Error().PanelOK());
  EXPECT_TRUE(MainMenu().Visible());
}

TEST_F(SavesFlowTest, LoadWorldOnlyWithAWorldTheListWouldShowAndDeleteTakesItsPictures) {
  ui::TFormSkirmishDecide& decide = main_->Dialog<ui::TFormSkirmishDecide>();
  struct Step {
    const char* file;
    bool offered;
  } steps[] = {{"NorthMAP.bmp", false}, {"NorthTHUMB.bmp", false}, {"Island_7.TRV", false}, {"North.trv", false},
               {"North.TRV", true}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.file);
    Touch(folder_ / "worlds" / s.file);
    Click(MainMenu().PanelSkirmish());
    ASSERT_TRUE(decide.Visible());
    EXPECT_EQ(decide.PanelLoadWorld().Visible(), s.offered);
    EXPECT_FALSE(decide.PanelCreateWorld().Visible()) << "its wizard is not in this build";
    Click(decide.PanelCancel());
  }
  Click(MainMenu().PanelSkirmish());
  Click(decide.PanelLoadWorld());
  ui::TFormSelection& list = Selection();
  ui::TFormWorldData& details = main_->Dialog<ui::TFormWorldData>();
  ASSERT_TRUE(list.Visible());
  ASSERT_TRUE(details.Visible());
  EXPECT_EQ(Listed(), std::vector<std::string>{"North"});
  EXPECT_EQ(details.LabelName().Caption(), "- - -") << "not a world file that reads";
  Click(list.PanelSelect());
  EXPECT_TRUE(list.Visible()) << "until the skirmish set-up exists, Select only shows the world";

  details.PanelInclCamp().OnClick(details.PanelInclCamp());
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Island_7", "North"}));
  list.Row(0).OnClick(list.Row(0));
  EXPECT_FALSE(list.PanelDelete().Visible()) << "a campaign's world is not deleted from here";
  list.Row(1).OnClick(list.Row(1));
  Click(list.PanelDelete());
  for (const char* gone : {"North.TRV", "NorthMAP.bmp", "NorthTHUMB.bmp"})
    EXPECT_FALSE(fs::exists(folder_ / "worlds" / gone)) << gone;
  EXPECT_TRUE(fs::exists(folder_ / "worlds" / "North.trv")) << "another extension is another file";
  EXPECT_EQ(Listed(), std::vector<std::string>{"Island_7"});
  Click(list.PanelCancel());
  EXPECT_TRUE(decide.Visible());
  EXPECT_TRUE(decide.PanelLoadWorld().Visible()) << "the campaign worlds are switched into the list";
}

TEST_F(SavesFlowTest, TheMainMenusWaysIntoOtherGamesLeaveTheTutorialBehind) {
  Touch(folder_ / "worlds" / "Tutorial.TRV");
  main_->Engine().NewGameLoader = [this](TTRVEngine&, const std::string&, const TTRVWorldInfo*,
                                         std::string&) -> std::unique_ptr<TTRVRunningWorld> {
    return std::make_unique<SavingWorld>("", nullptr);
  };
  platform::widgets::TPanel& (ui::TFormMainMenu::*buttons[])() = {
      &ui::TFormMainMenu::PanelLoadGame, &ui::TFormMainMenu::PanelSkirmish, &ui::TFormMainMenu::PanelCampaign};
  for (auto button : buttons) {
    main_->StartWorld("Tutorial", nullptr, {TTRVGameKind::Lesson, 2, 3});
    ASSERT_TRUE(main_->Engine().TutorialMode());
    main_->ExitToMainMenu();
    Click((MainMenu().*button)());
    EXPECT_FALSE(main_->Engine().TutorialMode()) << (MainMenu().*button)().Name();
    main_->ShowMainMenu();
  }
}

TEST_F(SavesFlowTest, GameOverLoadGameStopsTheWorldAndOpensTheList) {
  PausedGame();
  main_->CloseError();  // any dialog away
  ui::TFormGameOver& over = main_->Dialog<ui::TFormGameOver>();
  over.ShowButtons(true, true, false);
  main_->Open<ui::TFormGameOver>();
  Click(over.PanelLoad());
  EXPECT_FALSE(main_->Engine().WorldRunning());
  ASSERT_TRUE(Selection().Visible());
  EXPECT_EQ(Selection().Mode(), TSelectionMode::LoadGame);
  Click(Selection().PanelCancel());
  EXPECT_TRUE(MainMenu().Visible());
}

TEST_F(SavesFlowTest, ApplySettingsKeepsTheGameInATempSaveAndRemovesItOnceLoadedBack) {
  PausedGame();
  main_->ApplySettings(false);
  EXPECT_EQ(saved_, std::vector<std::string>{"TempSave"});
  EXPECT_EQ(loaded_, std::vector<std::string>{"TempSave"});
  EXPECT_TRUE(main_->Engine().WorldRunning());
  EXPECT_TRUE(main_->Engine().ViewRunning());
  EXPECT_FALSE(fs::exists(folder_ / "save" / "TempSave.TRV")) << "not left in the player's list";
  EXPECT_FALSE(Error().Visible());
}

TEST_F(SavesFlowTest, ATempSaveThatDoesNotLoadBackShowsTheErrorAndTheMainMenuAndIsKept) {
  PausedGame();
  loadable_ = false;
  main_->ApplySettings(false);
  EXPECT_EQ(loaded_, std::vector<std::string>{"TempSave"});
  EXPECT_FALSE(main_->Engine().WorldRunning());
  EXPECT_FALSE(main_->Engine().ViewRunning()) << "never a running view with no world";
  ASSERT_TRUE(Error().Visible());
  EXPECT_TRUE(fs::exists(folder_ / "save" / "TempSave.TRV"));
  Click(Error().PanelOK());
  EXPECT_TRUE(MainMenu().Visible());
}

TEST_F(SavesFlowTest, ATempSaveThatCannotBeWrittenIsToldAndTheGameGoesOnWithoutAReload) {
  PausedGame("no room");
  main_->ApplySettings(false);
  EXPECT_TRUE(loaded_.empty());
  EXPECT_TRUE(main_->Engine().WorldRunning());
  ASSERT_TRUE(Error().Visible());
  EXPECT_EQ(Error().LabelDetail().Caption(), "no room");
  Click(Error().PanelOK());
  EXPECT_TRUE(GameMenu().Visible());
  EXPECT_TRUE(main_->Engine().WorldRunning());
}

}  // namespace

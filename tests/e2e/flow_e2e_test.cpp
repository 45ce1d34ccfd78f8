// The screen flow played through the real main window with the built game's data: the first
// run's language choice, the menus in both languages, tips and credits, Exit keeping the
// settings, and the tutorial from the generation of its island to a lesson in play, the
// game menu, the end of a lesson and what it unlocks. Screenshots land in e2e-shots/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/inifile.h"
#include "tests/e2e/screencheck.h"
#include "tests/e2e/session.h"
#include "ui/createworlddialog.h"
#include "ui/creditsdialog.h"
#include "ui/decidedialogs.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/gameoverdialog.h"
#include "ui/loadingdialog.h"
#include "ui/mainmenu.h"
#include "ui/tipsdialog.h"
#include "ui/tutorialdialog.h"
#include "units/entity.h"

namespace {

using e2e::Session;

constexpr const char* kWindowed = "[General]\nResolutionX=800\nResolutionY=600\nFullScr=0\n";

std::string Config(const std::string& language, int tutorial) {
  return std::string(kWindowed) + "LangSelected=1\nLanguage=" + language + "\nTutorial=" + std::to_string(tutorial) +
         "\n";
}

#define START_OR_SKIP(session)                                   \
  do {                                                           \
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display"; \
    std::string why;                                             \
    if (!(session).Start(why)) GTEST_SKIP() << why;              \
  } while (0)

std::vector<std::string> ShownButtons(ui::TFormMainMenu& menu) {
  std::vector<std::string> names;
  for (const platform::widgets::TWidget* w : menu.Components()) {
    const auto* panel = dynamic_cast<const platform::widgets::TPanel*>(w);
    if (panel && panel->Showing() && !panel->Caption().empty()) names.push_back(w->Name());
  }
  return names;
}

TTRVGame& Game(Session& s) { return dynamic_cast<TTRVGame&>(*s.Engine().World); }

// The first unit of the side, or null.
TTRVEntity* UnitOf(Session& s, int side, int type) {
  TGLBaseSceneObject* cube = Game(s).World().sideRoot->Children(side);
  for (int i = 0; i < cube->Count(); ++i)
    if (auto* unit = dynamic_cast<TTRVEntity*>(cube->Children(i)); unit && unit->state.unitType == type) return unit;
  return nullptr;
}

// Where the player puts the mouse to fly at the target: off to the side it must turn to
// while the target is not ahead, then on the target itself, which aims the gun at it too.
// A helicopter turns toward the side of the screen the mouse is on.
std::pair<int, int> MouseToward(Session& s, const TTRVEntity& heli, const TTRVEntity& target) {
  const int w = s.Main().Window().Width(), h = s.Main().Window().Height();
  const TVector p = heli.AbsolutePosition(), q = target.AbsolutePosition();
  const float dx = q.x - p.x, dz = q.z - p.z;
  const float fx = heli.Direction.X(), fz = heli.Direction.Z();
  const float angle = std::atan2(fx * dz - fz * dx, fx * dx + fz * dz);
  if (std::abs(angle) < 0.3f) {
    const TVector at = s.Engine().Viewer->Buffer.WorldToScreen(TVector(q.x, q.y + 0.3f, q.z, 1));
    if (at.z > 0 && at.z < 1)
      return {std::clamp(static_cast<int>(at.x), 0, w - 1), std::clamp(h - static_cast<int>(at.y), 0, h - 1)};
  }
  return {std::clamp(w / 2 + static_cast<int>(angle * 300), 0, w - 1), h / 2};
}

float Distance(const TTRVEntity& a, const TTRVEntity& b) {
  const TVector p = a.AbsolutePosition(), q = b.AbsolutePosition();
  return std::hypot(p.x - q.x, p.z - q.z);
}

TEST(ScreenFlow, FirstRunOffersOnlyTheLanguagesThenTheMenuAndExitKeepsTheChoice) {
  Session s("firstrun");
  START_OR_SKIP(s);
  ui::TFormMainMenu& menu = s.Main().Dialog<ui::TFormMainMenu>();
  ASSERT_TRUE(menu.Visible());
  EXPECT_EQ(ShownButtons(menu), (std::vector<std::string>{"PanelCzech", "PanelEnglish"}));
  EXPECT_FALSE(menu.LabelTitle().Visible());
  platform::Bitmap shot = s.Shot("firstrun");
  EXPECT_TRUE(s.Main().Screen().HasStillImage()) << "a first start shows the title picture, not black";
  e2e::ExpectMenusReadable(s.Main().Host(), shot);
  // The title picture lies behind the dialog: the top banner is not black.
  EXPECT_GT(e2e::PixelsNear(shot, s.Main().Dialog<ui::TFormMainMenu>(), platform::MakeColor(0, 0, 0), 8), -1);
  int lit = 0;
  for (int x = 0; x < shot.Width(); x += 4) lit += platform::RedOf(shot.Pixel(x, 20)) > 40 ? 1 : 0;
  EXPECT_GT(lit, 20) << "the banner of the title picture";

  ASSERT_TRUE(s.Click(menu.PanelEnglish()));
  EXPECT_EQ(ShownButtons(menu), (std::vector<std::string>{"PanelTutorial", "PanelLoadGame", "PanelTips",
                                                          "PanelCredits", "PanelExit"}));
  EXPECT_TRUE(menu.LabelTitle().Showing());
  shot = s.Shot("mainmenu-en");
  e2e::ExpectMenusReadable(s.Main().Host(), shot);
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), false);

  // A hint comes up over a button after the mouse rests there.
  s.MoveMouse(menu.PanelTutorial().ScreenLeft() + 20, menu.PanelTutorial().ScreenTop() + 10);
  s.Wait(0.3);
  EXPECT_TRUE(s.Main().Host().HintShowing());
  EXPECT_EQ(s.Main().Host().CursorShown(), platform::CursorKind::Hand);

  ASSERT_TRUE(s.Click(menu.PanelTips()));
  ui::TFormTips& tips = s.Main().Dialog<ui::TFormTips>();
  ASSERT_TRUE(tips.Visible());
  EXPECT_FALSE(menu.Visible());
  const std::string first = tips.LabelTip().Caption();
  EXPECT_FALSE(first.empty());
  ASSERT_TRUE(s.Click(tips.PanelNext()));
  EXPECT_NE(tips.LabelTip().Caption(), first) << "Next shows another tip at once";
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("tips-en"));
  ASSERT_TRUE(s.Click(tips.PanelCancel()));
  ASSERT_TRUE(menu.Visible());

  ASSERT_TRUE(s.Click(menu.PanelCredits()));
  ASSERT_TRUE(s.Main().Dialog<ui::TFormCredits>().Visible());
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("credits-en"));
  s.Press(platform::vk::Escape);
  ASSERT_TRUE(menu.Visible()) << "Escape closes the credits";

  ASSERT_TRUE(s.Click(menu.PanelExit()));
  s.Frame();
  EXPECT_FALSE(s.Running());
  platform::IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.LoadFromFile(s.Folder() / "config.ini", error)) << error;
  EXPECT_EQ(ini.ReadString("General", "Language", ""), "ENG");
  EXPECT_EQ(ini.ReadInteger("General", "LangSelected", 0), 1);
}

TEST(ScreenFlow, ChoosingCzechChangesEveryCaptionAndSwitchingBackIsImmediate) {
  Session s("czech");
  START_OR_SKIP(s);
  ui::TFormMainMenu& menu = s.Main().Dialog<ui::TFormMainMenu>();
  ASSERT_TRUE(s.Click(menu.PanelCzech()));
  EXPECT_EQ(s.Engine().Settings.Language, "CZE");
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), true);
  EXPECT_EQ(menu.PanelTutorial().Caption(), "Výcvik");
  EXPECT_EQ(menu.PanelExit().Caption(), "Konec");
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("mainmenu-cz"));

  ASSERT_TRUE(s.Click(menu.PanelTips()));
  EXPECT_EQ(s.Main().Dialog<ui::TFormTips>().PanelCancel().Caption(), "Zruš");
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), true);
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("tips-cz"));
  ASSERT_TRUE(s.Click(s.Main().Dialog<ui::TFormTips>().PanelCancel()));
  ASSERT_TRUE(s.Click(menu.PanelCredits()));
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), true);
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("credits-cz"));
  ASSERT_TRUE(s.Click(s.Main().Dialog<ui::TFormCredits>().PanelOK()));

  // What the options dialog does on a change of language: the open menu follows at once.
  s.Engine().Settings.Language = "ENG";
  s.Main().ApplySettings(false);
  EXPECT_EQ(menu.PanelTutorial().Caption(), "Tutorial");
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), false);
}

// The tutorial from scratch: the island is generated with its progress on screen, the lesson
// list opens with lesson 0 only, lesson 0 is flown toward the enemy turret with the gun
// firing, Escape pauses into the game menu, and the game menu leads back to the main menu.
TEST(ScreenFlow, TutorialGeneratesItsIslandAndLessonZeroIsFlownPausedAndLeft) {
  Session s("tutorial", Config("ENG", 0));
  START_OR_SKIP(s);
  ui::TFormMainMenu& menu = s.Main().Dialog<ui::TFormMainMenu>();
  EXPECT_FALSE(menu.PanelCampaign().Visible());
  EXPECT_FALSE(menu.PanelSkirmish().Visible());

  ui::TFormCreateWorld& generator = s.Main().Dialog<ui::TFormCreateWorld>();
  // What the player sees of the generation, however fast this machine makes the island: the
  // bar drawn, never running backwards, and ending near its end before the page closes.
  std::vector<int> widths;
  bool shotNearEnd = false;
  generator.OnProgress = [&](const TTRVProgressView& view) {
    EXPECT_TRUE(generator.Visible());
    widths.push_back(generator.PanelBar().Width());
    if (!shotNearEnd && view.progress >= 900) {
      shotNearEnd = true;
      const platform::Bitmap shot = s.Shot("generating-en");
      EXPECT_GT(e2e::PixelsNear(shot, generator.PanelBar(), ui::look::kProgress, 8), 100) << "the bar is drawn";
      e2e::ExpectMenusReadable(s.Main().Host(), shot);
    }
  };
  ASSERT_TRUE(s.Click(menu.PanelTutorial()));
  EXPECT_TRUE(std::filesystem::exists(s.Folder() / "worlds" / "Tutorial.TRV"));
  ASSERT_GE(widths.size(), 2u);
  EXPECT_TRUE(std::is_sorted(widths.begin(), widths.end())) << "the bar only advances";
  EXPECT_GE(widths.back(), kProgressBarWidth * 9 / 10) << "the bar ran nearly to its end";
  EXPECT_TRUE(shotNearEnd);
  EXPECT_FALSE(generator.Visible());

  ui::TFormTutorial& tutorial = s.Main().Dialog<ui::TFormTutorial>();
  ASSERT_TRUE(tutorial.Visible());
  const auto& lessons = s.Engine().Texts.LessonNames;
  EXPECT_EQ(tutorial.PanelTut(0).Caption(), lessons[0]);
  for (int n = 1; n < 10; ++n) EXPECT_EQ(tutorial.PanelTut(n).Caption(), "Locked") << n;
  EXPECT_EQ(tutorial.LabelInfo().Caption(), lessons[10]);
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("tutorial-en"));
  ASSERT_TRUE(s.Click(tutorial.PanelTut(3)));
  EXPECT_TRUE(tutorial.Visible()) << "a locked lesson ignores the click";
  EXPECT_EQ(s.Main().Host().CursorShown(), platform::CursorKind::No);
  EXPECT_EQ(tutorial.LabelInfo().Caption(), "") << "no description of a locked lesson";

  ASSERT_TRUE(s.Click(tutorial.PanelTut(0)));
  ASSERT_TRUE(s.Engine().WorldRunning()) << s.Engine().LastError();
  EXPECT_TRUE(s.Engine().TutorialMode());
  EXPECT_EQ(s.Engine().TutorialWeapon(), 0);
  TTRVEntity* heli = UnitOf(s, 0, utHeli);
  TTRVEntity* turret = UnitOf(s, 1, utTurret);
  ASSERT_NE(heli, nullptr);
  ASSERT_NE(turret, nullptr);
  s.Wait(1.5, 0.066);  // the "Loaded" tick and the fade-in

  // Fly at the turret: the mouse on it steers and aims, W flies forward, the button fires.
  const float startDistance = Distance(*heli, *turret);
  const int zoom = s.Engine().ZoomAccumulator();
  s.Wheel(-2);
  s.Frame(0.066);
  EXPECT_NE(s.Engine().ZoomAccumulator(), zoom) << "the wheel zooms the view";
  s.Press(platform::vk::Add);  // numeric-pad plus: time runs three times as fast for the long flight
  EXPECT_TRUE(s.Engine().TimeAccel());
  s.Key('W', true);
  bool fired = false;
  for (int frame = 0; frame < 150 && Distance(*heli, *turret) > 15; ++frame) {
    s.MoveMouse(MouseToward(s, *heli, *turret).first, MouseToward(s, *heli, *turret).second);
    if (frame == 20) s.Button(true);
    s.Frame(0.066);
    fired = fired || !Game(s).Projectiles().Bullets().empty();
  }
  EXPECT_LT(Distance(*heli, *turret), startDistance - 20) << "flew toward the turret";
  EXPECT_TRUE(fired) << "the machine gun fired";
  EXPECT_EQ(s.Engine().Controls().weaponRequest, 0) << "the lesson's weapon";
  s.Shot("lesson0-en");
  EXPECT_FALSE(s.Main().Dialog<ui::TFormGameMenu>().Visible());
  s.Button(false);
  s.Key('W', false);
  s.Frame();

  // Escape fades out; the next tick pauses and shows the game menu.
  s.Press(platform::vk::Escape);
  ASSERT_TRUE(s.WaitFor([&] { return s.Main().Dialog<ui::TFormGameMenu>().Visible(); }, 4));
  EXPECT_FALSE(s.Engine().Cadencer->Enabled());
  ui::TFormGameMenu& gameMenu = s.Main().Dialog<ui::TFormGameMenu>();
  EXPECT_TRUE(gameMenu.PanelSave().Visible()) << "a running lesson can be saved";
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("gamemenu-en"));
  ASSERT_TRUE(s.Click(gameMenu.PanelContinue()));
  EXPECT_TRUE(s.Engine().Cadencer->Enabled());
  s.Wait(0.5, 0.066);
  s.Press(platform::vk::Escape);
  ASSERT_TRUE(s.WaitFor([&] { return gameMenu.Visible(); }, 4));
  ASSERT_TRUE(s.Click(gameMenu.PanelExit()));
  EXPECT_FALSE(s.Engine().WorldRunning());
  EXPECT_TRUE(menu.Visible());
  EXPECT_EQ(s.Engine().Settings.Tutorial, 0) << "a lesson left unfinished unlocks nothing";
}

// Ends the running lesson as the player's unit being destroyed, and waits for the game-over
// dialog.
void LoseTheLesson(Session& s, int unitType) {
  s.Wait(1.5, 0.066);
  TTRVEntity* mine = UnitOf(s, 0, unitType);
  ASSERT_NE(mine, nullptr);
  mine->state.armour = -1;
  ASSERT_TRUE(s.WaitFor([&] { return s.Main().Dialog<ui::TFormGameOver>().Visible(); }, 12, 0.066));
}

int SavedProgress(Session& s) {
  platform::IniFile ini;
  std::string error;
  EXPECT_TRUE(ini.LoadFromFile(s.Folder() / "config.ini", error)) << error;
  return ini.ReadInteger("General", "Tutorial", -1);
}

TEST(ScreenFlow, FinishingLessonEightOpensTheGamesAndAReplayNeverLowersProgress) {
  Session s("unlock", Config("ENG", 8));
  START_OR_SKIP(s);
  ui::TFormMainMenu& menu = s.Main().Dialog<ui::TFormMainMenu>();
  ASSERT_TRUE(s.Click(menu.PanelTutorial()));
  ui::TFormTutorial& tutorial = s.Main().Dialog<ui::TFormTutorial>();
  ASSERT_TRUE(tutorial.Visible());
  EXPECT_EQ(tutorial.PanelTut(8).Caption(), s.Engine().Texts.LessonNames[8]);
  EXPECT_EQ(tutorial.PanelTut(9).Caption(), "Locked");

  ASSERT_TRUE(s.Click(tutorial.PanelTut(8)));
  ASSERT_TRUE(s.Engine().WorldRunning()) << s.Engine().LastError();
  LoseTheLesson(s, utTank);
  ui::TFormGameOver& over = s.Main().Dialog<ui::TFormGameOver>();
  EXPECT_EQ(over.LabelReason().Caption(), "Your tank was destroyed.");
  EXPECT_FALSE(over.PanelMainMenu().Visible());
  EXPECT_FALSE(over.PanelLoad().Visible());
  EXPECT_EQ(over.PanelContinue().Caption(), "Continue tutorial");
  EXPECT_EQ(s.Engine().Settings.Tutorial, 9);
  EXPECT_EQ(SavedProgress(s), 9) << "written at once";
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("gameover-en"));

  ASSERT_TRUE(s.Click(over.PanelContinue()));
  EXPECT_FALSE(s.Engine().WorldRunning());
  ASSERT_TRUE(tutorial.Visible());
  EXPECT_EQ(tutorial.PanelTut(9).Caption(), s.Engine().Texts.LessonNames[9]);
  ASSERT_TRUE(s.Click(tutorial.PanelCancel()));
  ASSERT_TRUE(menu.Visible());
  EXPECT_TRUE(menu.PanelCampaign().Showing());
  EXPECT_TRUE(menu.PanelSkirmish().Showing());
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("mainmenu-unlocked-en"));
  ASSERT_TRUE(s.Click(menu.PanelSkirmish()));
  ASSERT_TRUE(s.Main().Dialog<ui::TFormSkirmishDecide>().Visible());
  ASSERT_TRUE(s.Click(s.Main().Dialog<ui::TFormSkirmishDecide>().PanelCancel()));

  // The same in Czech, replaying lesson 0: the game menu, the lesson and its end.
  s.Engine().Settings.Language = "CZE";
  s.Main().ApplySettings(false);
  s.Main().ShowMainMenu();
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), true);
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("mainmenu-unlocked-cz"));
  ASSERT_TRUE(s.Click(menu.PanelTutorial()));
  EXPECT_EQ(tutorial.PanelTut(0).Caption(), s.Engine().Texts.LessonNames[0]);
  EXPECT_EQ(tutorial.PanelTut(0).Caption(), "Výcvik s kulometem vrtulníku");
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("tutorial-cz"));
  ASSERT_TRUE(s.Click(tutorial.PanelTut(0)));
  ASSERT_TRUE(s.Engine().WorldRunning()) << s.Engine().LastError();
  s.Wait(2, 0.066);
  s.Shot("lesson0-cz");
  s.Press(platform::vk::Escape);
  ASSERT_TRUE(s.WaitFor([&] { return s.Main().Dialog<ui::TFormGameMenu>().Visible(); }, 4));
  e2e::ExpectCaptionsInLanguage(s.Main().Host(), s.Folder(), true);
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("gamemenu-cz"));
  ASSERT_TRUE(s.Click(s.Main().Dialog<ui::TFormGameMenu>().PanelContinue()));
  LoseTheLesson(s, utHeli);
  EXPECT_EQ(over.LabelReason().Caption(), "Váš vrtulník byl zničen.");
  EXPECT_EQ(over.PanelContinue().Caption(), "Pokračuj v tréninku");
  EXPECT_EQ(s.Engine().Settings.Tutorial, 9) << "lesson 0 unlocks 1: the progress stays";
  EXPECT_EQ(SavedProgress(s), 9);
  e2e::ExpectMenusReadable(s.Main().Host(), s.Shot("gameover-cz"));
}

}  // namespace

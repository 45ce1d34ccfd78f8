// What the player does to the dialogs, fed as the window's own events: clicks, double
// clicks, drags, z-order, focus and typing, keys, the wheel, cursors, and hint timing.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/edit.h"
#include "platform/widgets/form.h"
#include "platform/widgets/host.h"

namespace {

using namespace platform::widgets;
using platform::CursorKind;

SDL_Event Button(Uint32 type, int x, int y, Uint8 button, Uint8 clicks, Uint32 timeMs) {
  SDL_Event e{};
  e.type = type;
  e.button.x = x;
  e.button.y = y;
  e.button.button = button;
  e.button.clicks = clicks;
  e.button.timestamp = timeMs;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  return e;
}

SDL_Event Motion(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}

SDL_Event Key(SDL_Scancode scancode, bool repeat = false) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = scancode;
  e.key.repeat = repeat ? 1 : 0;
  return e;
}

SDL_Event Text(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
  return e;
}

SDL_Event Wheel(int notches) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.y = notches;
  e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return e;
}

// One form at (100, 100), 200 x 100, with an OK button at (10, 10) 80 x 30 (screen
// 110..190 x 110..140) and a Cancel button at (110, 10); every handler writes to the log.
class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(100, 100, 200, 100);
    host.AddForm(form);
    form.Show();
    ok = AddButton(form, "PanelOK", 10);
    cancel = AddButton(form, "PanelCancel", 110);
  }

  TPanel* AddButton(TForm& owner, const std::string& name, int left) {
    TPanel* p = owner.Add<TPanel>(name);
    p->SetBounds(left, 10, 80, 30);
    p->Cursor = CursorKind::Hand;
    p->OnClick = [this](TWidget& w) { log.push_back("click " + w.Name()); };
    p->OnMouseDown = [this](TWidget& w, TMouseButton, int x, int y) {
      log.push_back("down " + w.Name() + " " + std::to_string(x) + "," + std::to_string(y));
    };
    p->OnMouseUp = [this](TWidget& w, TMouseButton, int x, int y) {
      log.push_back("up " + w.Name() + " " + std::to_string(x) + "," + std::to_string(y));
    };
    return p;
  }

  bool Press(int x, int y, Uint32 timeMs = 1000, Uint8 clicks = 1, Uint8 button = SDL_BUTTON_LEFT) {
    return host.HandleEvent(Button(SDL_MOUSEBUTTONDOWN, x, y, button, clicks, timeMs));
  }
  bool Release(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    return host.HandleEvent(Button(SDL_MOUSEBUTTONUP, x, y, button, 1, 0));
  }
  bool Click(int x, int y, Uint32 timeMs = 1000, Uint8 clicks = 1) {
    const bool down = Press(x, y, timeMs, clicks);
    const bool up = Release(x, y);
    return down && up;
  }
  int Count(const std::string& entry) const {
    int n = 0;
    for (const std::string& e : log) n += e == entry ? 1 : 0;
    return n;
  }

  platform::FontCache fonts;
  TWidgetHost host{fonts};
  TForm form{"FormTest", fonts};
  TPanel* ok = nullptr;
  TPanel* cancel = nullptr;
  std::vector<std::string> log;
};

TEST_F(Dialogs, AClickOnAButtonIsItsAndTheGameDoesNotSeeIt) {
  EXPECT_TRUE(Click(120, 125));
  EXPECT_EQ(log, (std::vector<std::string>{"down PanelOK 10,15", "up PanelOK 10,15", "click PanelOK"}));

  log.clear();
  EXPECT_FALSE(Press(20, 20)) << "outside every dialog the game takes the click";
  EXPECT_FALSE(Release(20, 20));
  EXPECT_TRUE(log.empty());

  EXPECT_TRUE(Click(250, 180)) << "the form's own background still belongs to the dialog";
  EXPECT_TRUE(log.empty());
}

TEST_F(Dialogs, TheWidgetPressedGetsTheDragAndTheReleaseWhereverTheMouseGoes) {
  std::vector<std::pair<int, int>> moves;
  ok->OnMouseMove = [&](TWidget&, int x, int y) { moves.emplace_back(x, y); };
  EXPECT_TRUE(Press(120, 125));
  EXPECT_TRUE(host.HandleEvent(Motion(230, 125))) << "over Cancel, still the OK button's drag";
  EXPECT_TRUE(host.HandleEvent(Motion(20, 400))) << "outside the form too";
  EXPECT_TRUE(Release(20, 400));
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{120, 15}, {-90, 290}}));
  EXPECT_EQ(log, (std::vector<std::string>{"down PanelOK 10,15", "up PanelOK -90,290"}))
      << "released off the button: no click, and Cancel saw nothing";

  log.clear();
  EXPECT_TRUE(Press(120, 125));
  host.HandleEvent(Motion(300, 300));
  host.HandleEvent(Motion(125, 125));
  Release(125, 125);
  EXPECT_EQ(Count("click PanelOK"), 1) << "dragged away and back: still a click";
}

TEST_F(Dialogs, DoubleClicks) {
  struct Case {
    const char* what;
    bool handler;
    int secondX;
    Uint8 secondClicks;  // SDL's own count
    Uint32 gapMs;
    int clicks, doubles;
  };
  const Case cases[] = {
      {"SDL counts a double click", true, 125, 2, 600, 1, 1},
      {"two presses within 400 ms", true, 125, 1, 400, 1, 1},
      {"two presses 401 ms apart", true, 125, 1, 401, 2, 0},
      {"no double-click handler: two clicks", false, 125, 2, 100, 2, 0},
      {"second press on another button", true, 225, 2, 100, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int doubles = 0;
    ok->OnDblClick = nullptr;
    if (c.handler) ok->OnDblClick = [&](TWidget&) { ++doubles; };
    cancel->OnClick = nullptr;
    log.clear();
    Click(125, 125, 10000);
    Click(c.secondX, 125, 10000 + c.gapMs, c.secondClicks);
    EXPECT_EQ(Count("click PanelOK"), c.clicks);
    EXPECT_EQ(doubles, c.doubles);
    // Let the next case start afresh.
    Click(250, 180, 50000);
  }
}

TEST_F(Dialogs, HiddenOrDisabledWidgetsGetNothing) {
  struct Case {
    const char* what;
    void (*set)(TForm&, TPanel&);
    bool consumed;
  };
  const Case cases[] = {
      {"hidden button", [](TForm&, TPanel& b) { b.Hide(); }, true},
      {"disabled button", [](TForm&, TPanel& b) { b.SetEnabled(false); }, true},
      {"disabled form", [](TForm& f, TPanel&) { f.SetEnabled(false); }, true},
      {"hidden form", [](TForm& f, TPanel&) { f.Hide(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.set(form, *ok);
    log.clear();
    EXPECT_EQ(Click(120, 125), c.consumed);
    EXPECT_EQ(host.HandleEvent(Motion(121, 126)), c.consumed);
    EXPECT_TRUE(log.empty());
    ok->Show();
    ok->SetEnabled(true);
    form.SetEnabled(true);
    form.Show();
  }
}

TEST_F(Dialogs, TheTopFormWins) {
  TForm other("FormOther", fonts);
  other.SetBounds(150, 100, 200, 100);  // over the Cancel button
  TPanel* otherButton = AddButton(other, "PanelOther", 60);  // screen 210..290 x 110..140
  host.AddForm(other);
  const auto clickOnOverlap = [&] {
    log.clear();
    Click(225, 125);
    return log.empty() ? std::string() : log.back();
  };

  other.Show();
  EXPECT_EQ(clickOnOverlap(), "click PanelOther") << "shown last, on top";
  form.Hide();
  form.Show();
  EXPECT_EQ(clickOnOverlap(), "click PanelCancel") << "shown again, on top again";
  other.SetStayOnTop(true);
  EXPECT_EQ(clickOnOverlap(), "click PanelOther") << "stay-on-top lies above the rest";
  other.SetStayOnTop(false);
  other.Hide();
  other.Show();
  Click(120, 125);  // a click on the lower form, off the overlap, raises it
  EXPECT_EQ(host.TopVisibleForm(), &form);
  EXPECT_EQ(clickOnOverlap(), "click PanelCancel");
  EXPECT_TRUE(otherButton->Visible());
}

TEST_F(Dialogs, TypingGoesIntoTheClickedEditBox) {
  TEdit* edit = form.Add<TEdit>("EditName");
  edit->SetBounds(10, 50, 150, 20);  // screen 110..260 x 150..170
  edit->SetMaxLength(5);
  int changes = 0;
  edit->OnChange = [&](TWidget&) { ++changes; };

  EXPECT_FALSE(host.HandleEvent(Text("x"))) << "nothing has focus yet";
  EXPECT_EQ(edit->Text(), "");
  Click(150, 160);
  EXPECT_EQ(host.FocusedControl(), edit);
  EXPECT_TRUE(edit->Focused());

  struct Step {
    SDL_Event event;
    const char* text;
    int caret;
  };
  const Step steps[] = {
      {Text("Hello world"), "Hello", 5},  // cut to the maximum length
      {Key(SDL_SCANCODE_BACKSPACE), "Hell", 4},
      {Key(SDL_SCANCODE_HOME), "Hell", 0},
      {Text("Č"), "ČHell", 1},  // a Czech letter is one character of five
      {Text("a"), "ČHell", 1},  // full
      {Key(SDL_SCANCODE_RIGHT), "ČHell", 2},
      {Key(SDL_SCANCODE_DELETE), "ČHll", 2},
      {Key(SDL_SCANCODE_LEFT), "ČHll", 1},
      {Key(SDL_SCANCODE_END), "ČHll", 4},
      {Key(SDL_SCANCODE_BACKSPACE), "ČHl", 3},
      {Key(SDL_SCANCODE_LEFT), "ČHl", 2},
      {Text("!"), "ČH!l", 3},
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(host.HandleEvent(s.event));
    EXPECT_EQ(edit->Text(), s.text);
    EXPECT_EQ(edit->CaretPos(), s.caret);
  }
  EXPECT_EQ(changes, 6) << "every change but the refused letter";

  edit->Hide();
  EXPECT_FALSE(host.HandleEvent(Text("z"))) << "a hidden edit box takes no text";
  EXPECT_EQ(edit->Text(), "ČH!l");
}

TEST_F(Dialogs, KeysGoToTheFocusedWidgetOrElseTheTopForm) {
  TForm lower("FormLower", fonts);
  lower.SetBounds(0, 0, 50, 50);
  host.AddForm(lower);
  lower.Show();
  form.Hide();
  form.Show();
  std::vector<std::string> keys;
  form.OnKeyDown = [&](TWidget& w, int vk) { keys.push_back(w.Name() + " " + std::to_string(vk)); };
  lower.OnKeyDown = [&](TWidget& w, int vk) { keys.push_back(w.Name() + " " + std::to_string(vk)); };

  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_ESCAPE)));
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_RETURN)));
  form.Hide();
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_ESCAPE)));
  EXPECT_EQ(keys, (std::vector<std::string>{"FormTest 27", "FormTest 13", "FormLower 27"}));

  keys.clear();
  lower.OnKeyDown = nullptr;
  EXPECT_FALSE(host.HandleEvent(Key(SDL_SCANCODE_ESCAPE))) << "nobody listens: the game may have it";

  // An edit box keeps its editing keys; Enter goes on to its form.
  form.Show();
  TEdit* edit = form.Add<TEdit>("EditName");
  edit->SetBounds(10, 50, 150, 20);
  ASSERT_TRUE(form.SetActiveControl(edit));
  edit->SetText("abc");
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_BACKSPACE)));
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_RETURN)));
  EXPECT_EQ(edit->Text(), "ab");
  EXPECT_EQ(keys, (std::vector<std::string>{"FormTest 13"}));
  EXPECT_FALSE(form.SetActiveControl(ok)) << "a panel takes no focus";

  // A held key: the edit box types on, the form hears the first press only.
  keys.clear();
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_BACKSPACE, true)));
  EXPECT_EQ(edit->Text(), "a");
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_ESCAPE)));
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_ESCAPE, true))) << "taken, not passed to the game";
  EXPECT_TRUE(host.HandleEvent(Key(SDL_SCANCODE_ESCAPE, true)));
  EXPECT_EQ(keys, (std::vector<std::string>{"FormTest 27"}));
}

TEST_F(Dialogs, TheWheelGoesToTheNearestListenerUnderTheMouse) {
  int formWheel = 0;
  form.OnMouseWheel = [&](TWidget&, int delta) { formWheel += delta; };
  host.HandleEvent(Motion(120, 125));
  EXPECT_TRUE(host.HandleEvent(Wheel(1)));
  EXPECT_EQ(formWheel, platform::kWheelDelta) << "the button does not listen, its form does";
  host.HandleEvent(Motion(20, 20));
  EXPECT_FALSE(host.HandleEvent(Wheel(-1))) << "the game zooms";
  EXPECT_EQ(formWheel, platform::kWheelDelta);
}

TEST_F(Dialogs, TheCursorFollowsTheWidgetUnderTheMouse) {
  struct Case {
    int x, y;
    CursorKind cursor;
  };
  const Case path[] = {{120, 125, CursorKind::Hand}, {250, 180, CursorKind::Arrow}, {220, 120, CursorKind::Hand},
                       {20, 20, CursorKind::Arrow}};
  for (const Case& c : path) {
    host.HandleEvent(Motion(c.x, c.y));
    EXPECT_EQ(host.CursorShown(), c.cursor) << c.x << "," << c.y;
  }
  ok->SetEnabled(false);
  host.HandleEvent(Motion(120, 125));
  EXPECT_EQ(host.CursorShown(), CursorKind::Arrow) << "a disabled button shows no hand";
}

TEST_F(Dialogs, AHandlerMayFreeItsOwnWidgetOrCloseItsDialog) {
  ok->OnClick = [this](TWidget& w) { form.Delete(&w); };
  EXPECT_TRUE(Click(120, 125));
  EXPECT_EQ(form.FindComponent("PanelOK"), nullptr);
  EXPECT_EQ(host.Hovered(), &form) << "the form is what lies under the mouse now";

  cancel->OnMouseDown = [this](TWidget&, TMouseButton, int, int) { form.Hide(); };
  EXPECT_TRUE(Press(220, 125));
  EXPECT_TRUE(Release(220, 125)) << "the release of a press the dialog took is the dialog's too";
  EXPECT_EQ(Count("click PanelCancel"), 0);
}

// Hint timing, with the clock driven by the test.
class Hints : public Dialogs {
 protected:
  void SetUp() override {
    Dialogs::SetUp();
    ok->Hint = "Confirm the choice";
    ok->ShowHint = true;
    cancel->Hint = "Not shown";  // ShowHint stays off
  }
};

TEST_F(Hints, AppearAfterTheMouseRestsAndGoWhenItLeaves) {
  host.HandleEvent(Motion(120, 125));
  host.Update(50.0);
  EXPECT_FALSE(host.HintShowing());
  host.Update(50.099);
  EXPECT_FALSE(host.HintShowing()) << "not before 100 ms";
  host.Update(50.1);
  ASSERT_TRUE(host.HintShowing());
  TForm& hint = host.HintForm();
  EXPECT_NE(host.TopVisibleForm(), &hint) << "the hint is in no z-order";
  auto* label = dynamic_cast<TLabel*>(hint.FindComponent("HintLabel"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Caption(), "Confirm the choice");
  EXPECT_GE(hint.Top(), 125) << "below the pointer";
  EXPECT_NEAR(hint.Left(), 120, 1);
  EXPECT_EQ(hint.Color(), platform::MakeColor(255, 255, 255));

  host.HandleEvent(Motion(220, 125));  // Cancel: a hint, but not to be shown
  EXPECT_FALSE(host.HintShowing());
  host.Update(60.0);
  host.Update(61.0);
  EXPECT_FALSE(host.HintShowing());

  host.HandleEvent(Motion(121, 125));
  host.Update(70.0);
  host.Update(70.2);
  EXPECT_TRUE(host.HintShowing());
  host.HandleEvent(Motion(20, 20));
  EXPECT_FALSE(host.HintShowing()) << "hidden as soon as the mouse leaves";
}

TEST_F(Hints, GoAfterTwentySecondsOrAPressAndStayAwayUntilTheMouseMovesOn) {
  struct Case {
    const char* what;
    bool press;
  };
  const Case cases[] = {{"twenty seconds", false}, {"a press", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.HandleEvent(Motion(20, 20));
    host.HandleEvent(Motion(120, 125));
    host.Update(100.0);
    host.Update(100.1);
    ASSERT_TRUE(host.HintShowing());
    host.Update(100.1 + 19.9);
    if (c.press) {
      Press(120, 125);
      Release(120, 125);
      host.Update(100.2 + 19.9);
      EXPECT_FALSE(host.HintShowing());
    } else {
      EXPECT_TRUE(host.HintShowing());
      host.Update(100.1 + 20.0);
      EXPECT_FALSE(host.HintShowing());
    }
    host.HandleEvent(Motion(122, 126));  // still over the same button
    host.Update(200.0);
    host.Update(201.0);
    EXPECT_FALSE(host.HintShowing());
  }
}

}  // namespace

// Rounded buttons and framed panels, and where each dialog goes on the screen.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/fonts.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"
#include "platform/widgets/host.h"
#include "ui/decoration.h"
#include "ui/dialog.h"

namespace {

using namespace platform::widgets;
using platform::Color;
using platform::MakeColor;

constexpr Color kSilver = MakeColor(192, 192, 192);
constexpr Color kGrey = MakeColor(128, 128, 128);
constexpr Color kBody = MakeColor(40, 40, 40);

int Alpha(const platform::Bitmap& b, int x, int y) { return b.Scanline(y)[x * 4 + 3]; }

TEST(CornerBitmaps, AreQuartersOfADiscOnTheKey) {
  for (Color c : {kSilver, kGrey}) {
    const ui::TCornerBitmaps q = ui::MakeCornerBitmaps(c);
    const platform::Bitmap* all[] = {&q.topLeft, &q.topRight, &q.bottomLeft, &q.bottomRight};
    for (const platform::Bitmap* b : all) {
      ASSERT_EQ(b->Width(), 5);
      ASSERT_EQ(b->Height(), 5);
    }
    // Outer corners are cut, inner corners (toward the disc's centre) are filled.
    EXPECT_EQ(q.topLeft.Pixel(0, 0), kTransparentKey);
    EXPECT_EQ(q.topLeft.Pixel(4, 4), c);
    EXPECT_EQ(q.topRight.Pixel(4, 0), kTransparentKey);
    EXPECT_EQ(q.topRight.Pixel(0, 4), c);
    EXPECT_EQ(q.bottomLeft.Pixel(0, 4), kTransparentKey);
    EXPECT_EQ(q.bottomRight.Pixel(4, 4), kTransparentKey);
    EXPECT_EQ(q.bottomRight.Pixel(0, 0), c);
    // The four are mirror images of each other.
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(q.topLeft.Pixel(x, y), q.topRight.Pixel(4 - x, y));
        EXPECT_EQ(q.topLeft.Pixel(x, y), q.bottomLeft.Pixel(x, 4 - y));
      }
  }
}

// A form keyed transparent with a grey button straight on it, and a silver button on a
// dark body panel.
class Decoration : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(0, 0, 200, 120);
    form.SetColor(kTransparentKey);
    button = form.Add<TPanel>("PanelOK");
    button->SetBounds(20, 20, 60, 30);  // with its rim 15..85 x 15..55
    button->SetColor(kGrey);
    body = form.Add<TPanel>("PanelBack");
    body->SetBounds(100, 10, 90, 100);
    body->SetColor(kBody);
    body->SetBevel(TBevel::None);
    inner = body->Add<TPanel>("PanelInner");
    inner->SetBounds(20, 20, 50, 30);  // form 120..170 x 30..60, rim 115..175 x 25..65
    inner->SetColor(kSilver);
  }

  platform::FontCache fonts;
  TForm form{"FormDecor", fonts};
  ui::TCornerSets corners;
  TPanel* button = nullptr;
  TPanel* body = nullptr;
  TPanel* inner = nullptr;
};

TEST_F(Decoration, RoundsTheCornersAndCutsThemOutOfTheForm) {
  ui::DecoratePanel(*button, corners);
  ui::DecoratePanel(*inner, corners);
  EXPECT_EQ(button->Bevel(), TBevel::None) << "the bevel goes";
  const platform::Bitmap& p = form.Picture();
  EXPECT_EQ(p.Pixel(50, 35), kGrey);
  EXPECT_EQ(p.Pixel(50, 16), kGrey) << "top rim";
  EXPECT_EQ(p.Pixel(84, 35), kGrey) << "right rim";
  EXPECT_EQ(Alpha(p, 15, 15), 0) << "the outer corner pixel is cut away";
  EXPECT_EQ(Alpha(p, 84, 54), 0);
  EXPECT_EQ(p.Pixel(19, 19), kGrey) << "the corner's inner pixel belongs to the button";
  EXPECT_EQ(Alpha(p, 19, 19), 255);

  // On a body panel the cut corner shows the body, not a hole through the dialog.
  EXPECT_EQ(p.Pixel(115, 25), kBody);
  EXPECT_EQ(Alpha(p, 115, 25), 255);
  EXPECT_EQ(p.Pixel(119, 29), kSilver);
}

TEST_F(Decoration, DecoratingTwiceAddsNothing) {
  ui::DecoratePanel(*button, corners);
  const std::size_t pieces = form.Components().size();
  ui::DecoratePanel(*button, corners);
  EXPECT_EQ(form.Components().size(), pieces);
  for (std::string_view s : ui::kDecorationSuffixes)
    EXPECT_NE(form.FindComponent("PanelOK" + std::string(s)), nullptr) << s;
}

TEST_F(Decoration, ThePiecesFollowThePanel) {
  button->Cursor = platform::CursorKind::Hand;
  ui::DecoratePanel(*button, corners);
  const auto piecesVisible = [&] {
    int n = 0;
    for (std::string_view s : ui::kDecorationSuffixes) n += form.FindComponent("PanelOK" + std::string(s))->Visible();
    return n;
  };
  EXPECT_EQ(piecesVisible(), 8);
  EXPECT_EQ(form.FindComponent("PanelOKTL")->Cursor, platform::CursorKind::Hand);
  button->Hide();
  ui::SyncDecoration(*button);
  EXPECT_EQ(piecesVisible(), 0);
  EXPECT_EQ(Alpha(form.Picture(), 50, 16), 0) << "no rim left on screen";
  button->Show();
  ui::SyncDecoration(*button);
  EXPECT_EQ(piecesVisible(), 8);

  // Moved and turned green (a chosen option): the rim and corners go with it.
  button->SetLeft(30);
  button->SetColor(MakeColor(0, 128, 0));
  ui::SyncDecoration(*button);
  const platform::Bitmap& p = form.Picture();
  EXPECT_EQ(p.Pixel(27, 35), MakeColor(0, 128, 0)) << "left rim";
  EXPECT_EQ(p.Pixel(29, 19), MakeColor(0, 128, 0)) << "corner in the new colour";
  EXPECT_EQ(Alpha(p, 25, 15), 0);

  ui::SyncDecoration(*inner);  // not decorated: nothing to do
  EXPECT_EQ(form.FindComponent("PanelInnerT"), nullptr);
}

TEST_F(Decoration, AClickOnTheRimIsAClickOnTheButton) {
  TWidgetHost host(fonts);
  host.AddForm(form);
  form.Show();
  ui::DecoratePanel(*button, corners);
  int clicks = 0;
  button->OnClick = [&](TWidget& sender) {
    EXPECT_EQ(&sender, button);
    ++clicks;
  };
  for (auto [x, y] : {std::pair{50, 17}, {17, 17}, {83, 53}}) {
    host.MouseDown(x, y, TMouseButton::Left, 1, 1000u * static_cast<unsigned>(clicks + 1));
    host.MouseUp(x, y, TMouseButton::Left);
  }
  EXPECT_EQ(clicks, 3);
  button->SetEnabled(false);
  host.MouseDown(50, 17, TMouseButton::Left, 1, 9000);
  host.MouseUp(50, 17, TMouseButton::Left);
  EXPECT_EQ(clicks, 3) << "not while the button is disabled";
}

TEST(LayoutForms, CentresEachDialogOnItsPointAndKeepsItOnTheScreen) {
  struct Case {
    const char* what;
    int width, height;
    double fx, fy;
    int screenWidth, screenHeight;
    int left, top;
  };
  const Case cases[] = {
      {"centred", 400, 300, 0.5, 0.5, 800, 600, 200, 150},
      {"fractions truncate", 101, 51, 0.5, 0.85, 1023, 767, 511 - 50, 651 - 25},
      {"loading dialog low on the screen", 704, 150, 0.5, 0.85, 800, 600, 48, 435},
      {"past the bottom goes 5 above it", 400, 300, 0.5, 0.9, 800, 600, 200, 295},
      {"past the right edge", 400, 100, 0.9, 0.5, 800, 600, 395, 250},
      {"past the left edge", 400, 100, 0.05, 0.5, 800, 600, 5, 250},
      {"larger than the screen: top-left margin", 900, 700, 0.5, 0.5, 800, 600, 5, 5},
      {"exactly the screen", 800, 600, 0.5, 0.5, 800, 600, 0, 0},
  };
  platform::FontCache fonts;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui::TDialogForm dialog("FormTest", fonts, c.fx, c.fy);
    dialog.SetBounds(0, 0, c.width, c.height);
    dialog.SetStayOnTop(false);
    ui::TDialogForm* list[] = {&dialog};
    ui::LayoutForms(list, ui::TCornerSets{}, c.screenWidth, c.screenHeight);
    EXPECT_EQ(dialog.Left(), c.left);
    EXPECT_EQ(dialog.Top(), c.top);
    EXPECT_TRUE(dialog.StayOnTop());
  }
}

TEST(LayoutForms, PutsDetailsBesideTheirListAndRoundsTheirPanels) {
  platform::FontCache fonts;
  ui::TDialogForm list("FormSelection", fonts, 0.05, 0.5);
  list.SetBounds(0, 0, 300, 400);
  ui::TDialogForm details("FormLoadGameData", fonts, 0.5, 0.5);
  details.SetBounds(0, 0, 250, 200);
  details.PlaceBeside = &list;
  ui::TDialogForm* dialogs[] = {&list, &details};
  ui::LayoutForms(dialogs, ui::TCornerSets{}, 1024, 768);
  EXPECT_EQ(list.Left(), 5);
  EXPECT_EQ(details.Left(), list.Left() + 300 + 5);
  EXPECT_EQ(details.Top(), 384 - 100);
}

}  // namespace

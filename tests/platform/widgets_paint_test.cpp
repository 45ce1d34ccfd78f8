// What a form's picture holds: colours where the widgets are, children kept inside their
// parents, the transparent key, text placement, the caret, images, and repainting only
// after a change.
#include <gtest/gtest.h>

#include <climits>

#include "platform/fonts.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/edit.h"
#include "platform/widgets/form.h"

namespace {

using namespace platform::widgets;
using platform::Color;
using platform::MakeColor;

constexpr Color kBlue = MakeColor(0, 0, 160);
constexpr Color kRed = MakeColor(200, 0, 0);
constexpr Color kGreen = MakeColor(0, 160, 0);
constexpr Color kWhite = MakeColor(255, 255, 255);
constexpr Color kBlack = MakeColor(0, 0, 0);

int Alpha(const platform::Bitmap& b, int x, int y) { return b.Scanline(y)[x * 4 + 3]; }

struct Box {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;  // closed bounds of the ink
};

Box InkBox(const platform::Bitmap& b, Color background, int x1 = 0, int y1 = 0, int x2 = INT_MAX, int y2 = INT_MAX) {
  Box box;
  for (int y = y1; y < std::min(y2, b.Height()); ++y)
    for (int x = x1; x < std::min(x2, b.Width()); ++x)
      if (b.Pixel(x, y) != background) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
  return box;
}

class Painting : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(300, 200, 120, 80);
    form.SetColor(kBlue);
  }
  TPanel* Panel(TWidget& parent, const char* name, int l, int t, int w, int h, Color c) {
    auto* p = parent.Add<TPanel>(name);
    p->SetBounds(l, t, w, h);
    p->SetColor(c);
    p->SetBevel(TBevel::None);
    return p;
  }

  platform::FontCache fonts;
  TForm form{"FormPaint", fonts};
};

TEST_F(Painting, PanelsShowTheirColourAndChildrenStayInsideTheirParent) {
  TPanel* panel = Panel(form, "PanelRed", 10, 10, 30, 20, kRed);  // 10..40 x 10..30
  TPanel* child = Panel(*panel, "PanelGreen", 20, 5, 50, 50, kGreen);  // wider than its parent
  const platform::Bitmap& p = form.Picture();
  ASSERT_EQ(p.Width(), 120);
  ASSERT_EQ(p.Height(), 80);
  ASSERT_EQ(p.Bits(), 32);
  EXPECT_EQ(p.Pixel(0, 0), kBlue);
  EXPECT_EQ(p.Pixel(15, 20), kRed);
  EXPECT_EQ(p.Pixel(35, 20), kGreen);
  EXPECT_EQ(p.Pixel(45, 20), kBlue) << "clipped to its parent";
  EXPECT_EQ(p.Pixel(35, 32), kBlue);

  child->Hide();
  EXPECT_EQ(form.Picture().Pixel(35, 20), kRed);
  panel->Hide();
  EXPECT_EQ(form.Picture().Pixel(15, 20), kBlue);
}

TEST_F(Painting, Bevels) {
  struct Case {
    TBevel bevel;
    Color topLeft, bottomRight;
  };
  const Case cases[] = {{TBevel::None, kRed, kRed},
                        {TBevel::Raised, kWhite, MakeColor(128, 128, 128)},
                        {TBevel::Lowered, MakeColor(128, 128, 128), kWhite},
                        {TBevel::Frame, kGreen, kGreen}};
  TPanel* panel = Panel(form, "PanelBevel", 10, 10, 30, 20, kRed);
  panel->SetBorderColor(kGreen);
  for (const Case& c : cases) {
    panel->SetBevel(c.bevel);
    const platform::Bitmap& p = form.Picture();
    EXPECT_EQ(p.Pixel(10, 10), c.topLeft);
    EXPECT_EQ(p.Pixel(39, 29), c.bottomRight);
    EXPECT_EQ(p.Pixel(25, 20), kRed);
  }
}

TEST_F(Painting, TheKeyColourBecomesFullyTransparent) {
  form.SetColor(kTransparentKey);
  Panel(form, "PanelRed", 10, 10, 30, 20, kRed);
  const platform::Bitmap& p = form.Picture();
  EXPECT_EQ(Alpha(p, 0, 0), 0);
  EXPECT_EQ(Alpha(p, 20, 20), 255);
  form.SetTransparentKey(false);
  EXPECT_EQ(Alpha(form.Picture(), 0, 0), 255);
  form.SetTransparentKey(true, kRed);
  EXPECT_EQ(Alpha(form.Picture(), 0, 0), 255);
  EXPECT_EQ(Alpha(form.Picture(), 20, 20), 0);
}

TEST_F(Painting, CaptionsSitWhereTheirAlignmentPutsThem) {
  form.SetBounds(0, 0, 300, 60);
  form.SetColor(kBlack);
  TPanel* panel = Panel(form, "PanelCaption", 0, 0, 300, 30, kBlack);
  panel->SetFont(TFont{kWhite, 14, true});
  panel->SetCaption("Go to Main Menu");
  const Box centred = InkBox(form.Picture(), kBlack, 0, 0, 300, 30);
  ASSERT_GE(centred.right, 0) << "the caption was drawn";
  EXPECT_NEAR((centred.left + centred.right) / 2.0, 150, 3);
  EXPECT_NEAR((centred.top + centred.bottom) / 2.0, 15, 4);

  auto* label = form.Add<TLabel>("LabelText");
  label->SetAutoSize(false);
  label->SetBounds(0, 35, 300, 20);
  label->SetFont(TFont{kWhite, 12, false});
  label->SetCaption("Reason");
  struct Case {
    TAlignment alignment;
    int expectLeft, expectRight;  // -1: not checked
  };
  const int width = fonts.TextWidth("Reason", 12, false);
  const Case cases[] = {{TAlignment::Left, 0, -1},
                        {TAlignment::Center, (300 - width) / 2, -1},
                        {TAlignment::Right, -1, 299}};
  for (const Case& c : cases) {
    label->SetAlignment(c.alignment);
    const Box ink = InkBox(form.Picture(), kBlack, 0, 35, 300, 55);
    if (c.expectLeft >= 0) {
      EXPECT_NEAR(ink.left, c.expectLeft, 2);
    }
    if (c.expectRight >= 0) {
      EXPECT_NEAR(ink.right, c.expectRight, 2);
    }
  }
}

TEST_F(Painting, LabelsFitTheirTextAndWrapItInsideTheirWidth) {
  form.SetBounds(0, 0, 300, 200);
  auto* label = form.Add<TLabel>("LabelTip");
  label->SetFont(TFont{kWhite, 12, false});
  label->SetCaption("Short");
  EXPECT_EQ(label->Width(), fonts.TextWidth("Short", 12, false));
  const int line = fonts.TextHeight("", 12, false);
  EXPECT_EQ(label->Height(), line);

  label->SetWordWrap(true);
  label->SetWidth(120);
  label->SetCaption("Rivers and roads cross the island; forests hide the enemy tanks.");
  EXPECT_EQ(label->Width(), 120) << "with word wrap only the height follows the text";
  EXPECT_GE(label->Height(), 3 * line);
  form.SetColor(kBlack);
  const Box ink = InkBox(form.Picture(), kBlack);
  EXPECT_LE(ink.right, 119);
  EXPECT_GT(ink.bottom, 2 * line);
}

TEST_F(Painting, TheFocusedEditBoxShowsItsCaret) {
  auto* edit = form.Add<TEdit>("EditName");
  edit->SetBounds(10, 10, 100, 20);
  edit->SetFont(TFont{kBlack, 12, false});
  const auto caretColumn = [&] {
    const platform::Bitmap& p = form.Picture();
    int dark = 0;
    for (int y = 12; y < 28; ++y) dark += p.Pixel(13, y) == kBlack ? 1 : 0;
    return dark;
  };
  EXPECT_EQ(caretColumn(), 0);
  ASSERT_TRUE(form.SetActiveControl(edit));
  EXPECT_GT(caretColumn(), 8);
}

TEST_F(Painting, ImagesStretchAndLeaveTheirKeyColourOut) {
  platform::Bitmap picture(2, 2, 24);
  picture.SetPixel(0, 0, kRed);
  picture.SetPixel(1, 0, kGreen);
  picture.SetPixel(0, 1, kWhite);
  picture.SetPixel(1, 1, kTransparentKey);
  auto* image = form.Add<TImage>("ImageMap");
  image->SetBounds(10, 10, 20, 20);
  image->SetPicture(picture);
  EXPECT_EQ(form.Picture().Pixel(10, 10), kRed);
  EXPECT_EQ(form.Picture().Pixel(11, 11), kTransparentKey) << "no key set yet";
  EXPECT_EQ(form.Picture().Pixel(15, 15), kBlue) << "drawn at its own size";
  image->SetStretch(true);
  image->SetTransparentColor(kTransparentKey);
  const platform::Bitmap& p = form.Picture();
  EXPECT_EQ(p.Pixel(15, 15), kRed);
  EXPECT_EQ(p.Pixel(25, 15), kGreen);
  EXPECT_EQ(p.Pixel(15, 25), kWhite);
  EXPECT_EQ(p.Pixel(25, 25), kBlue) << "the key shows what lies behind";
}

TEST_F(Painting, AFormIsRepaintedOnlyAfterAChange) {
  TPanel* panel = Panel(form, "PanelRed", 10, 10, 30, 20, kRed);
  form.Picture();
  const auto repainted = [&] {
    const auto before = form.PaintCount();
    form.Picture();
    return form.PaintCount() != before;
  };
  EXPECT_FALSE(repainted());
  form.SetLeft(50);
  EXPECT_FALSE(repainted()) << "a form moved shows the same picture elsewhere";
  panel->SetColor(kRed);
  panel->SetCaption("");
  EXPECT_FALSE(repainted()) << "nothing changed";
  panel->SetCaption("OK");
  EXPECT_TRUE(repainted());
  panel->SetLeft(12);
  EXPECT_TRUE(repainted());
  panel->Tag = 7;
  panel->Hint = "Confirm";
  EXPECT_FALSE(repainted());
  form.SetWidth(130);
  EXPECT_TRUE(repainted());
  EXPECT_EQ(form.Picture().Width(), 130);
}

TEST_F(Painting, ComponentsKeepCreationOrderAtAnyDepth) {
  TPanel* back = Panel(form, "PanelBack", 0, 0, 100, 60, kRed);
  back->Add<TLabel>("LabelInfo");
  TPanel* ok = back->Add<TPanel>("PanelOK");
  form.Add<TLabel>("LabelTip");
  std::vector<std::string> names;
  for (TWidget* w : form.Components()) names.push_back(w->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"PanelBack", "LabelInfo", "PanelOK", "LabelTip"}));
  EXPECT_EQ(form.ChildCount(), 2);
  EXPECT_EQ(form.FindComponent("PanelOK"), ok);
  back->Delete(ok);
  EXPECT_EQ(form.FindComponent("PanelOK"), nullptr);
  EXPECT_EQ(form.Components().size(), 3u);
  form.Delete(back);
  EXPECT_EQ(form.Components().size(), 1u);
}

}  // namespace

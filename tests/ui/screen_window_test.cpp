// The screen with a real window: the still image, dialogs where they belong with their
// colours and text, dialogs over a 3D frame, the loading bar, and texture uploads only for
// repainted forms. With MORVANE_SHOTS set, screenshots of the dialogs are saved there.
#include <gtest/gtest.h>

#include "tests/support/pixels.h"
#include "tests/support/window_fixture.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/fonts.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/host.h"
#include "scene/sprite.h"
#include "scene/viewer.h"
#include "ui/decoration.h"
#include "ui/errordialog.h"
#include "ui/gameoverdialog.h"
#include "ui/loadingdialog.h"
#include "ui/screen.h"

namespace {

constexpr int kW = 800, kH = 600;

using testpixels::At;
using testpixels::Of;
using testpixels::Rgb;

::testing::AssertionResult Near(Rgb got, Rgb want, int tolerance = 6) {
  return testpixels::NearRgb(got, want, tolerance);
}

// Pixels in the rectangle within the tolerance of the colour.
int CountNear(const platform::Bitmap& bmp, int x1, int y1, int x2, int y2, Rgb want, int tolerance = 30) {
  int n = 0;
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x) n += Near(At(bmp, x, y), want, tolerance) ? 1 : 0;
  return n;
}

// A stand-in for a paused battle: sky fading into hazy hills and dark ground.
platform::Bitmap Backdrop(int w, int h) {
  platform::Bitmap b(w, h, 24);
  for (int y = 0; y < h; ++y) {
    const double t = static_cast<double>(y) / h;
    platform::Color c = t < 0.55 ? platform::MakeColor(static_cast<int>(120 + 80 * t), static_cast<int>(150 + 60 * t), 205)
                                 : platform::MakeColor(static_cast<int>(70 - 40 * (t - 0.55)), static_cast<int>(92 - 50 * (t - 0.55)),
                                                       static_cast<int>(48 - 30 * (t - 0.55)));
    b.FillRect(0, y, w, y + 1, c);
  }
  for (int i = 0; i < 7; ++i)
    b.FillEllipse(i * w / 6 - w / 5, static_cast<int>(h * 0.47), i * w / 6 + w / 5, static_cast<int>(h * 0.75),
                  platform::MakeColor(78 - i * 3, 96 - i * 2, 62));
  return b;
}

class Screen : public testwindow::WindowTest {
 protected:
  Screen() : WindowTest(kW, kH) {}
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    host_ = std::make_unique<platform::widgets::TWidgetHost>(fonts_);
    host_->SetScreenSize(kW, kH);
    screen_ = std::make_unique<ui::TScreenCompositor>(window_, *host_);
  }

  void TearDown() override {
    screen_.reset();
    host_.reset();
    WindowTest::TearDown();
  }

  platform::Bitmap Shot() {
    screen_->Compose();
    return ReadFramebufferToBitmap(kW, kH);
  }

  void SaveShot(const platform::Bitmap& shot, const std::string& name) {
    if (const char* dir = std::getenv("MORVANE_SHOTS")) {
      std::string error;
      EXPECT_TRUE(shot.SaveBmp(std::string(dir) + "/" + name + ".bmp", error)) << error;
    }
  }

  void Layout(ui::TDialogForm& dialog) {
    ui::TDialogForm* list[] = {&dialog};
    ui::LayoutForms(list, corners_, kW, kH);
    host_->AddForm(dialog);
  }

  platform::FontCache fonts_;
  ui::TCornerSets corners_;
  std::unique_ptr<platform::widgets::TWidgetHost> host_;
  std::unique_ptr<ui::TScreenCompositor> screen_;
};

TEST_F(Screen, TheStillImageFillsTheWindowAndIsBlackWithoutOne) {
  EXPECT_TRUE(Near(At(Shot(), kW / 2, kH / 2), {0, 0, 0}));

  platform::Bitmap still(64, 48, 24);
  still.FillRect(0, 0, 32, 24, platform::MakeColor(255, 0, 0));
  still.FillRect(32, 0, 64, 24, platform::MakeColor(0, 255, 0));
  still.FillRect(0, 24, 32, 48, platform::MakeColor(0, 0, 255));
  still.FillRect(32, 24, 64, 48, platform::MakeColor(255, 255, 0));
  screen_->SetStillImage(still);
  screen_->ShowStill(true);
  platform::Bitmap shot = Shot();
  EXPECT_TRUE(Near(At(shot, kW / 4, kH / 4), {255, 0, 0}));
  EXPECT_TRUE(Near(At(shot, 3 * kW / 4, kH / 4), {0, 255, 0}));
  EXPECT_TRUE(Near(At(shot, kW / 4, 3 * kH / 4), {0, 0, 255}));
  EXPECT_TRUE(Near(At(shot, 3 * kW / 4, 3 * kH / 4), {255, 255, 0}));
  EXPECT_TRUE(Near(At(shot, 0, 0), {255, 0, 0})) << "stretched to the very edges";
  EXPECT_TRUE(Near(At(shot, kW - 1, kH - 1), {255, 255, 0}));

  screen_->ShowStill(false);
  EXPECT_TRUE(Near(At(Shot(), kW / 4, kH / 4), {0, 0, 0}));
}

TEST_F(Screen, AVisibleDialogShowsAtItsPlaceWithItsColoursAndText) {
  platform::Bitmap grey(8, 8, 24);
  grey.FillRect(0, 0, 8, 8, platform::MakeColor(90, 90, 90));
  screen_->SetStillImage(grey);
  screen_->ShowStill(true);
  ui::TFormError error(fonts_);
  Layout(error);
  error.Show();
  platform::Bitmap shot = Shot();
  SaveShot(shot, "error_dialog");

  const int left = error.Left(), top = error.Top();
  EXPECT_EQ(left, (kW - error.Width()) / 2);
  EXPECT_TRUE(Near(At(shot, left + 8, top + error.Height() / 2), Of(ui::look::kBody)));
  EXPECT_TRUE(Near(At(shot, left, top), {90, 90, 90})) << "the rounded corner is cut out";
  EXPECT_TRUE(Near(At(shot, left - 1, top + 20), {90, 90, 90}));
  auto& ok = error.PanelOK();
  const int okX = ok.ScreenLeft(), okY = ok.ScreenTop();
  EXPECT_TRUE(Near(At(shot, okX + 3, okY + 3), Of(ui::look::kButton)));
  EXPECT_GT(CountNear(shot, okX, okY, okX + ok.Width(), okY + ok.Height(), {255, 255, 255}), 15)
      << "the OK caption";
  auto& caption = error.LabelCaption();
  EXPECT_GT(CountNear(shot, caption.ScreenLeft(), caption.ScreenTop(), caption.ScreenLeft() + caption.Width(),
                      caption.ScreenTop() + caption.Height(), Of(ui::look::kWarningText)),
            30)
      << "\"Warning !\"";

  // The hint lies over every dialog.
  ok.Hint = "Back to the main menu";
  ok.ShowHint = true;
  host_->MouseMove(okX + 20, okY + 10);
  host_->Update(1.0);
  host_->Update(1.2);
  ASSERT_TRUE(host_->HintShowing());
  const platform::widgets::TForm& hint = host_->HintForm();
  shot = Shot();
  SaveShot(shot, "error_dialog_hint");
  EXPECT_TRUE(Near(At(shot, hint.Left() + 1, hint.Top() + 1), {255, 255, 255}));
  EXPECT_TRUE(Near(At(shot, hint.Left(), hint.Top()), {0, 0, 0})) << "its frame";
  EXPECT_GT(CountNear(shot, hint.Left() + 2, hint.Top() + 2, hint.Left() + hint.Width() - 2,
                      hint.Top() + hint.Height() - 2, {0, 0, 0}, 60),
            20)
      << "its text";

  error.Hide();
  EXPECT_TRUE(Near(At(Shot(), left + 8, top + error.Height() / 2), {90, 90, 90}));
}

TEST_F(Screen, DialogsAreDrawnOverThe3DFrameAndLeaveTheRestOfIt) {
  TGLScene scene;
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  camera->FocalLength = kW / 800.0f * 50;
  camera->Position.SetPoint(0, 0, -5);
  auto* thing = scene.Objects().AddNewChild<TGLSprite>();
  thing->SetSize(1, 1);
  thing->Material.MaterialOptions = moNoLighting;
  thing->Material.FrontProperties.Diffuse.SetColor(0, 1, 0);
  TGLSceneViewer viewer(window_);
  viewer.SetCamera(camera);
  viewer.Buffer.BackgroundColor = 0x00C04000;  // blue, red in the low byte

  // A still image is for when the 3D view is hidden; it must not cover the view.
  platform::Bitmap red(4, 4, 24);
  red.FillRect(0, 0, 4, 4, platform::MakeColor(255, 0, 0));
  screen_->SetStillImage(red);
  screen_->ShowStill(true);
  platform::widgets::TForm form("FormCorner", fonts_);
  form.SetBounds(40, 30, 160, 90);
  form.SetColor(platform::MakeColor(50, 50, 50));
  host_->AddForm(form);
  form.Show();

  platform::Bitmap shot;
  viewer.OnAfterRender = [&] {
    screen_->PresentOverView();
    shot = ReadFramebufferToBitmap(kW, kH);
  };
  viewer.Render();
  ASSERT_EQ(shot.Width(), kW);
  EXPECT_TRUE(Near(At(shot, kW / 2, kH / 2), {0, 255, 0})) << "the 3D object";
  EXPECT_TRUE(Near(At(shot, 600, 500), {0, 64, 192})) << "the 3D background";
  EXPECT_TRUE(Near(At(shot, 39, 60), {0, 64, 192})) << "just outside the dialog";
  EXPECT_TRUE(Near(At(shot, 40, 30), {50, 50, 50}));
  EXPECT_TRUE(Near(At(shot, 199, 119), {50, 50, 50}));
  EXPECT_TRUE(Near(At(shot, 200, 119), {0, 64, 192}));
}

TEST_F(Screen, OverlappingDialogsAreDrawnInZOrder) {
  platform::widgets::TForm first("FormFirst", fonts_), second("FormSecond", fonts_), top("FormTop", fonts_);
  const struct {
    platform::widgets::TForm* form;
    platform::Color color;
    int left;
  } forms[] = {{&first, platform::MakeColor(200, 0, 0), 100},
               {&second, platform::MakeColor(0, 200, 0), 150},
               {&top, platform::MakeColor(0, 0, 200), 300}};
  for (const auto& f : forms) {
    f.form->SetBounds(f.left, 100, 200, 100);
    f.form->SetColor(f.color);
    host_->AddForm(*f.form);
  }
  top.SetStayOnTop(true);
  top.Show();
  first.Show();
  second.Show();
  const auto at = [&](int x) { return At(Shot(), x, 150); };
  EXPECT_TRUE(Near(at(200), {0, 200, 0})) << "shown last, drawn last";
  EXPECT_TRUE(Near(at(320), {0, 0, 200})) << "stay-on-top above a later one";
  first.Hide();
  first.Show();
  EXPECT_TRUE(Near(at(200), {200, 0, 0}));
  EXPECT_TRUE(Near(at(120), {200, 0, 0}));
  EXPECT_TRUE(Near(at(320), {0, 0, 200}));
  second.Hide();
  first.Hide();
  EXPECT_TRUE(Near(at(200), {0, 0, 0}));
}

TEST_F(Screen, TheLoadingBarFollowsThePercentAndOnlyRepaintedFormsAreUploaded) {
  screen_->SetStillImage(Backdrop(kW, kH));
  screen_->ShowStill(true);
  ui::TFormLoading loading(fonts_);
  Layout(loading);
  loading.Show();
  auto& bar = loading.PanelBar();
  const int row = bar.ScreenTop() + bar.Height() / 2;
  for (double percent : {25.0, 62.5, 100.0}) {
    loading.SetProgress("Building the island...", percent,
                        "Tip: tanks cannot cross deep water; look for a ford or a bridge.");
    screen_->PresentNow();
    platform::Bitmap shot = Shot();
    EXPECT_EQ(CountNear(shot, bar.ScreenLeft(), row, bar.ScreenLeft() + bar.Width(), row + 1,
                        Of(ui::look::kProgress), 4),
              ui::TFormLoading::BarWidthFor(percent))
        << percent;
    if (percent == 62.5) SaveShot(shot, "loading_dialog");
  }

  const auto uploads = screen_->Uploads();
  EXPECT_FALSE(screen_->NeedsPresent());
  Shot();
  EXPECT_EQ(screen_->Uploads(), uploads) << "nothing changed, nothing uploaded";
  loading.SetProgress("Building the island...", 30, "");
  EXPECT_TRUE(screen_->NeedsPresent());
  Shot();
  EXPECT_EQ(screen_->Uploads(), uploads + 1);
  loading.SetLeft(loading.Left() + 10);
  EXPECT_TRUE(screen_->NeedsPresent());
  Shot();
  EXPECT_EQ(screen_->Uploads(), uploads + 1) << "moving a dialog needs no new picture";
}

TEST_F(Screen, GameOverDialogs) {
  screen_->SetStillImage(Backdrop(kW, kH));
  screen_->ShowStill(true);
  ui::TFormGameOver over(fonts_);
  Layout(over);
  over.Show();
  struct Case {
    const char* shot;
    const char* title;
    const char* reason;
    bool mainMenu, load, cont;
    const char* continueCaption;
  };
  const Case cases[] = {
      {"gameover_failed", "Mission failed !", "Your helicopter was destroyed.", true, true, false, ""},
      {"gameover_campaign", "Mission accompished !", "Enemy base captured.", false, false, true, "Continue campaign"},
  };
  for (const Case& c : cases) {
    over.SetTitle(c.title);
    over.SetReason(c.reason);
    over.SetContinueCaption(c.continueCaption);
    over.ShowButtons(c.mainMenu, c.load, c.cont);
    platform::Bitmap shot = Shot();
    SaveShot(shot, c.shot);
    // Every shown button on screen in its colour; hidden ones leave the body showing.
    for (auto* button : {&over.PanelMainMenu(), &over.PanelLoad(), &over.PanelContinue()}) {
      const Rgb want = button->Visible() ? Of(ui::look::kButton) : Of(ui::look::kBody);
      const int x = button->Visible() ? button->ScreenLeft() + 2 : over.Left() + 8;
      EXPECT_TRUE(Near(At(shot, x, button->ScreenTop() + 2), want)) << button->Name();
    }
    auto& title = over.PanelTitle();
    EXPECT_GT(CountNear(shot, title.ScreenLeft(), title.ScreenTop(), title.ScreenLeft() + title.Width(),
                        title.ScreenTop() + title.Height(), Of(ui::look::kTitleText)),
              40);
  }
  EXPECT_GE(over.Top(), 0);
  EXPECT_LE(over.Top() + over.Height(), kH);
}

}  // namespace

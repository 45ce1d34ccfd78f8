// The common shape of the game's dialogs: a form keyed transparent around one rounded dark
// body panel, with rounded grey buttons and light text, a place on the screen given as
// fractions of its size, and the list of panels that get rounded corners.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"
#include "ui/decoration.h"

namespace ui {

// The dialogs' colours and fonts.
namespace look {
inline constexpr platform::Color kBody = platform::MakeColor(38, 41, 36);
inline constexpr platform::Color kInset = platform::MakeColor(22, 24, 20);
inline constexpr platform::Color kInsetFrame = platform::MakeColor(92, 98, 84);
inline constexpr platform::Color kButton = platform::MakeColor(128, 128, 128);
inline constexpr platform::Color kTitleText = platform::MakeColor(232, 216, 152);
inline constexpr platform::Color kText = platform::MakeColor(226, 226, 218);
inline constexpr platform::Color kDimText = platform::MakeColor(176, 178, 168);
inline constexpr platform::Color kWarningText = platform::MakeColor(244, 184, 64);
inline constexpr platform::Color kProgress = platform::MakeColor(122, 150, 62);
inline constexpr int kTextSize = 12;
inline constexpr int kTitleSize = 15;
inline constexpr platform::widgets::TFont kButtonFont{platform::MakeColor(255, 255, 255), 12, true};
}  // namespace look

// A title and its shadow, two pixels down and right, which show and move together.
struct TDialogTitle {
  platform::widgets::TLabel* shadow = nullptr;
  platform::widgets::TLabel* front = nullptr;
  void SetVisible(bool visible) {
    shadow->SetVisible(visible);
    front->SetVisible(visible);
  }
  void SetTop(int top) {
    front->SetTop(top);
    shadow->SetTop(top + 2);
  }
};

class TDialogForm : public platform::widgets::TForm {
 public:
  // Centred on (centreX, centreY) fractions of the screen by LayoutForms.
  TDialogForm(std::string name, platform::FontCache& fonts, double centreX, double centreY);

  double CentreX() const { return centreX_; }
  double CentreY() const { return centreY_; }
  // When set, the dialog's left edge is 5 pixels right of that form (a list's details
  // beside the list); only the vertical place then comes from CentreY.
  const platform::widgets::TForm* PlaceBeside = nullptr;

  // Buttons and framed panels that LayoutForms gives rounded corners.
  const std::vector<platform::widgets::TPanel*>& RoundedPanels() const { return rounded_; }

 protected:
  // The rounded body filling the form inside the rim; everything else goes on it.
  platform::widgets::TPanel* AddBody();
  platform::widgets::TPanel* AddButton(platform::widgets::TWidget& parent, std::string name, std::string caption,
                                       int left, int top, int width, int height);
  // A fixed-size label (no auto size), so texts of any length keep the layout.
  platform::widgets::TLabel* AddText(platform::widgets::TWidget& parent, std::string name, std::string caption,
                                     int left, int top, int width, int height, const platform::widgets::TFont& font,
                                     platform::widgets::TAlignment alignment);
  void MarkRounded(platform::widgets::TPanel* panel) { rounded_.push_back(panel); }
  // The dialog's title: a dark shadow label ("Label1") under the front one ("Label2").
  TDialogTitle AddTitle(platform::widgets::TWidget& parent, std::string caption, int top, int size);
  // Escape presses the button (Cancel, Continue) while the dialog is on top.
  void PressOnEscape(platform::widgets::TPanel& button);
  // A click on the panel's handler, when it has one and can take clicks.
  static void Press(platform::widgets::TPanel& panel);

 public:
  // Shows or hides a button together with its rounded rim.
  static void SetShown(platform::widgets::TPanel& panel, bool shown);
  // Gives the form a new height, the body filling it; the dialog must be placed again.
  void ResizeForm(platform::widgets::TPanel& body, int height);
  // A button and whether it is shown.
  using TButtonChoice = std::pair<platform::widgets::TPanel*, bool>;
  // Shows the chosen buttons one under another from `top`, `pitch` apart, and hides the
  // others; answers the bottom edge of the last one shown (`top` when none is).
  static int StackButtons(std::span<const TButtonChoice> column, int top, int pitch);
  // Shows the chosen buttons side by side on their row, `gap` apart and centred in `width`,
  // and hides the others.
  static void LineUpButtons(std::span<const TButtonChoice> row, int width, int gap);
  // Places a button and moves its rim with it.
  static void MoveButton(platform::widgets::TPanel& panel, int left, int top);

 private:
  double centreX_, centreY_;
  std::vector<platform::widgets::TPanel*> rounded_;
};

}  // namespace ui

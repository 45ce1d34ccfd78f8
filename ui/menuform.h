// A menu: a title over one column of equal buttons, centred in the dialog, which is always as
// tall as the buttons it shows. The main menu and the game menu are menus; so is any dialog
// that is a list of choices.
#pragma once

#include <span>
#include <string>

#include "ui/dialog.h"

namespace ui {

// A menu's measures, in pixels.
struct TMenuLayout {
  int formWidth = 300;
  int buttonWidth = 240;
  int buttonHeight = 32;
  int buttonGap = 14;   // between two buttons' panels, so 4 pixels between their rims
  int topMargin = 14;   // above the title, or above the first button when the title is hidden
  int titleSize = 20;   // the title's font size; its label is 12 pixels taller
  int titleGap = 18;    // between the title's label and the first button
  int bottomMargin = 22;
};

class TMenuForm : public TDialogForm {
 public:
  platform::widgets::TLabel& LabelTitle() { return *title_.front; }

 protected:
  TMenuForm(std::string name, platform::FontCache& fonts, double centreX, double centreY, const TMenuLayout& layout,
            std::string title);

  // A button of the column, placed by Stack.
  platform::widgets::TPanel* AddMenuButton(std::string name, std::string caption);
  // Shows the chosen buttons one under another below the title (or from the top margin
  // when the title is hidden), hides the others and fits the dialog's height to them.
  void Stack(std::span<const TButtonChoice> column, bool titleShown = true);

 private:
  TMenuLayout layout_;
  platform::widgets::TPanel* body_;
  TDialogTitle title_;
};

}  // namespace ui

// The look and place of the dialogs, shared by every one of them: rounded corners for
// buttons and framed panels (edge panels and quarter-circle corner pictures around the
// panel, cut by the forms' maroon key) and the placement of each dialog on the screen.
#pragma once

#include <span>
#include <string_view>

#include "platform/bitmap.h"

namespace platform::widgets {
class TForm;
class TPanel;
}  // namespace platform::widgets

namespace ui {

class TDialogForm;

// Thickness of a decorated panel's rounded rim and of the margin kept inside the screen.
inline constexpr int kRimSize = 5;
inline constexpr int kScreenMargin = 5;

// Four 5 x 5 quarters of a 10 x 10 disc in the panel colour on the maroon key.
struct TCornerBitmaps {
  platform::Bitmap topLeft, topRight, bottomLeft, bottomRight;
};
TCornerBitmaps MakeCornerBitmaps(platform::Color panelColor);

// The two standard sets: 0 silver (192, 192, 192), 1 grey (128, 128, 128).
struct TCornerSets {
  TCornerSets();
  TCornerBitmaps silver;
  TCornerBitmaps grey;
};

// Names of the eight pieces around a decorated panel: <panel name> + suffix.
inline constexpr std::string_view kDecorationSuffixes[8] = {"T", "B", "L", "R", "TL", "TR", "BL", "BR"};

// Gives a panel rounded corners: removes its bevel and adds, beside it in its parent, four
// edge panels of its colour and four corner pictures, with its visibility and cursor. A
// click on a piece is a click on the panel. Decorating twice (recognised by the sibling
// <panel name>"T") changes nothing. Corner pictures come from the standard sets for
// silver and grey panels and are drawn in the panel's colour for any other.
void DecoratePanel(platform::widgets::TPanel& panel, const TCornerSets& corners);

// The pieces follow the panel: visibility, place and colour. Does nothing for a panel
// that is not decorated. Every code path that shows, hides, moves or recolours a
// decorated panel calls it.
void SyncDecoration(platform::widgets::TPanel& panel);

// Centres the form on (fx, fy) fractions of the screen, then moves it inside the screen
// with the margin; a form larger than the screen goes to the margin at the top-left.
// The form becomes stay-on-top.
void PlaceForm(platform::widgets::TForm& form, double fx, double fy, int screenWidth, int screenHeight);

// Places each dialog where it belongs for this screen size and decorates its rounded
// panels. Dialogs that sit beside another one must come after it.
void LayoutForms(std::span<TDialogForm* const> dialogs, const TCornerSets& corners, int screenWidth,
                 int screenHeight);

}  // namespace ui

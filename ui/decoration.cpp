// Rounded corners around panels and the placement of dialogs on the screen.
#include "ui/decoration.h"

#include <optional>
#include <string>

#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"
#include "ui/dialog.h"

namespace ui {
namespace {

using platform::widgets::TImage;
using platform::widgets::TPanel;
using platform::widgets::TWidget;

constexpr platform::Color kSilver = platform::MakeColor(192, 192, 192);
constexpr platform::Color kGrey = platform::MakeColor(128, 128, 128);

struct PieceBox {
  int left, top, width, height;
};

// Where piece i of kDecorationSuffixes lies around the panel.
PieceBox PieceAround(const TPanel& p, int i) {
  const int l = p.Left(), t = p.Top(), w = p.Width(), h = p.Height(), r = kRimSize;
  switch (i) {
    case 0: return {l, t - r, w, r};
    case 1: return {l, t + h, w, r};
    case 2: return {l - r, t, r, h};
    case 3: return {l + w, t, r, h};
    case 4: return {l - r, t - r, r, r};
    case 5: return {l + w, t - r, r, r};
    case 6: return {l - r, t + h, r, r};
    default: return {l + w, t + h, r, r};
  }
}

const platform::Bitmap& Quarter(const TCornerBitmaps& set, int i) {
  switch (i) {
    case 4: return set.topLeft;
    case 5: return set.topRight;
    case 6: return set.bottomLeft;
    default: return set.bottomRight;
  }
}

// A pixel of each quarter that lies inside the disc, to read the colour it was made in.
constexpr int kInsideX[4] = {kRimSize - 1, 0, kRimSize - 1, 0};
constexpr int kInsideY[4] = {kRimSize - 1, kRimSize - 1, 0, 0};

std::string PieceName(const TPanel& panel, int i) { return panel.Name() + std::string(kDecorationSuffixes[i]); }

void ClampIntoScreen(platform::widgets::TForm& form, int left, int top, int screenWidth, int screenHeight) {
  // Right and bottom first, so a form larger than the screen ends at the top-left margin.
  if (left + form.Width() > screenWidth) left = screenWidth - form.Width() - kScreenMargin;
  if (left < 0) left = kScreenMargin;
  if (top + form.Height() > screenHeight) top = screenHeight - form.Height() - kScreenMargin;
  if (top < 0) top = kScreenMargin;
  form.SetBounds(left, top, form.Width(), form.Height());
  form.SetStayOnTop(true);
}

}  // namespace

TCornerBitmaps MakeCornerBitmaps(platform::Color panelColor) {
  platform::Bitmap disc(2 * kRimSize, 2 * kRimSize, 24);
  disc.FillRect(0, 0, 2 * kRimSize, 2 * kRimSize, platform::widgets::kTransparentKey);
  disc.FillEllipse(0, 0, 2 * kRimSize, 2 * kRimSize, panelColor);
  const auto quarter = [&disc](int x, int y) {
    platform::Bitmap q(kRimSize, kRimSize, 24);
    q.CopyRect(0, 0, kRimSize, kRimSize, disc, x, y, x + kRimSize, y + kRimSize);
    return q;
  };
  return {quarter(0, 0), quarter(kRimSize, 0), quarter(0, kRimSize), quarter(kRimSize, kRimSize)};
}

TCornerSets::TCornerSets() : silver(MakeCornerBitmaps(kSilver)), grey(MakeCornerBitmaps(kGrey)) {}

void DecoratePanel(TPanel& panel, const TCornerSets& corners) {
  TWidget* parent = panel.Parent();
  if (parent == nullptr || parent->FindChild(PieceName(panel, 0)) != nullptr) return;
  panel.SetBevel(platform::widgets::TBevel::None);
  const platform::Color color = panel.Color();
  const TCornerBitmaps made = color == kSilver || color == kGrey ? TCornerBitmaps{} : MakeCornerBitmaps(color);
  const TCornerBitmaps& set = color == kSilver ? corners.silver : color == kGrey ? corners.grey : made;
  // The rim looks like part of the button, so a click on it is a click on the button.
  const auto forward = [parent, name = panel.Name()](TWidget&) {
    auto* owner = dynamic_cast<TPanel*>(parent->FindChild(name));
    if (owner != nullptr && owner->OnClick && owner->Showing() && owner->EffectivelyEnabled()) {
      auto handler = owner->OnClick;
      handler(*owner);
    }
  };
  for (int i = 0; i < 8; ++i) {
    TWidget* piece;
    if (i < 4) {
      auto* edge = parent->Add<TPanel>(PieceName(panel, i));
      edge->SetBevel(platform::widgets::TBevel::None);
      edge->SetColor(color);
      piece = edge;
    } else {
      auto* image = parent->Add<TImage>(PieceName(panel, i));
      image->SetPicture(Quarter(set, i));
      // Leaving the key unpainted shows whatever lies behind: the body of the dialog under
      // a button, or the form's own key (a cut corner) around the body itself.
      image->SetTransparentColor(platform::widgets::kTransparentKey);
      piece = image;
    }
    piece->Cursor = panel.Cursor;
    piece->OnClick = forward;
  }
  SyncDecoration(panel);
}

void SyncDecoration(TPanel& panel) {
  TWidget* parent = panel.Parent();
  if (parent == nullptr) return;
  std::optional<TCornerBitmaps> recoloured;
  for (int i = 0; i < 8; ++i) {
    TWidget* piece = parent->FindChild(PieceName(panel, i));
    if (piece == nullptr) continue;
    piece->SetVisible(panel.Visible());
    piece->Cursor = panel.Cursor;
    const PieceBox box = PieceAround(panel, i);
    piece->SetBounds(box.left, box.top, box.width, box.height);
    if (auto* edge = dynamic_cast<TPanel*>(piece)) {
      edge->SetColor(panel.Color());
    } else if (auto* image = dynamic_cast<TImage*>(piece)) {
      const platform::Bitmap& picture = image->Picture();
      if (picture.Pixel(kInsideX[i - 4], kInsideY[i - 4]) == panel.Color()) continue;
      if (!recoloured) recoloured = MakeCornerBitmaps(panel.Color());
      image->SetPicture(Quarter(*recoloured, i));
    }
  }
}

void PlaceForm(platform::widgets::TForm& form, double fx, double fy, int screenWidth, int screenHeight) {
  const int left = static_cast<int>(fx * screenWidth) - form.Width() / 2;
  const int top = static_cast<int>(fy * screenHeight) - form.Height() / 2;
  ClampIntoScreen(form, left, top, screenWidth, screenHeight);
}

void LayoutForms(std::span<TDialogForm* const> dialogs, const TCornerSets& corners, int screenWidth,
                 int screenHeight) {
  for (TDialogForm* dialog : dialogs) {
    if (dialog == nullptr) continue;
    if (dialog->PlaceBeside != nullptr) {
      const int left = dialog->PlaceBeside->Left() + dialog->PlaceBeside->Width() + kScreenMargin;
      const int top = static_cast<int>(dialog->CentreY() * screenHeight) - dialog->Height() / 2;
      ClampIntoScreen(*dialog, left, top, screenWidth, screenHeight);
    } else {
      PlaceForm(*dialog, dialog->CentreX(), dialog->CentreY(), screenWidth, screenHeight);
    }
    for (TPanel* panel : dialog->RoundedPanels()) DecoratePanel(*panel, corners);
  }
}

}  // namespace ui

// Painting and fitting of panels, labels, images and group boxes.
#include "platform/widgets/controls.h"

#include <algorithm>
#include <vector>

#include "platform/fonts.h"
#include "platform/widgets/canvas.h"
#include "platform/widgets/form.h"

namespace platform::widgets {
namespace {

constexpr platform::Color kBevelLight = platform::MakeColor(255, 255, 255);
constexpr platform::Color kBevelDark = platform::MakeColor(128, 128, 128);
constexpr int kCaptionMargin = 4;

// Assigns and asks for a repaint only when the value changes.
template <class T>
void Change(TWidget& widget, T& field, T value) {
  if (field == value) return;
  field = std::move(value);
  widget.Invalidate();
}

int AlignedX(TAlignment alignment, int boxWidth, int textWidth, int margin) {
  switch (alignment) {
    case TAlignment::Left: return margin;
    case TAlignment::Right: return boxWidth - margin - textWidth;
    case TAlignment::Center: break;
  }
  return (boxWidth - textWidth) / 2;
}

}  // namespace

TPanel::TPanel(std::string name) : TWidget(std::move(name)) {}

void TPanel::SetColor(platform::Color color) { Change(*this, color_, color); }
void TPanel::SetCaption(std::string caption) { Change(*this, caption_, std::move(caption)); }
void TPanel::SetFont(const TFont& font) { Change(*this, font_, font); }
void TPanel::SetAlignment(TAlignment alignment) { Change(*this, alignment_, alignment); }
void TPanel::SetBevel(TBevel bevel) { Change(*this, bevel_, bevel); }
void TPanel::SetBorderColor(platform::Color color) { Change(*this, borderColor_, color); }

void TPanel::Paint(TCanvas& canvas) {
  canvas.FillRect(0, 0, Width(), Height(), color_);
  switch (bevel_) {
    case TBevel::None: break;
    case TBevel::Raised: canvas.Bevel(0, 0, Width(), Height(), kBevelLight, kBevelDark); break;
    case TBevel::Lowered: canvas.Bevel(0, 0, Width(), Height(), kBevelDark, kBevelLight); break;
    case TBevel::Frame: canvas.FrameRect(0, 0, Width(), Height(), borderColor_); break;
  }
  if (caption_.empty()) return;
  const int w = canvas.TextWidth(caption_, font_), h = canvas.LineHeight(font_);
  canvas.DrawText(AlignedX(alignment_, Width(), w, kCaptionMargin), (Height() - h) / 2, caption_, font_);
}

TLabel::TLabel(std::string name) : TWidget(std::move(name)) {}

void TLabel::SetCaption(std::string caption) {
  Change(*this, caption_, std::move(caption));
  Fit();
}
void TLabel::SetFont(const TFont& font) {
  Change(*this, font_, font);
  Fit();
}
void TLabel::SetColor(platform::Color color) { Change(*this, color_, color); }
void TLabel::SetTransparent(bool transparent) { Change(*this, transparent_, transparent); }
void TLabel::SetAlignment(TAlignment alignment) { Change(*this, alignment_, alignment); }
void TLabel::SetLayout(TTextLayout layout) { Change(*this, layout_, layout); }
void TLabel::SetWordWrap(bool wordWrap) {
  Change(*this, wordWrap_, wordWrap);
  Fit();
}
void TLabel::SetAutoSize(bool autoSize) {
  Change(*this, autoSize_, autoSize);
  Fit();
}

void TLabel::BoundsChanged() {
  if (wordWrap_) Fit();  // a new width may break the lines elsewhere
}

void TLabel::Fit() {
  TForm* form = Form();
  if (!autoSize_ || form == nullptr || fitting_) return;
  fitting_ = true;
  platform::FontCache& fonts = form->Fonts();
  const std::vector<std::string> lines = WrapText(fonts, caption_, font_, wordWrap_ ? Width() : 0);
  const int lineHeight = fonts.TextHeight("", font_.size, font_.bold);
  int width = 0;
  for (const std::string& line : lines) width = std::max(width, fonts.TextWidth(line, font_.size, font_.bold));
  SetBounds(Left(), Top(), wordWrap_ ? Width() : width, lineHeight * static_cast<int>(lines.size()));
  fitting_ = false;
}

void TLabel::Paint(TCanvas& canvas) {
  if (!transparent_) canvas.FillRect(0, 0, Width(), Height(), color_);
  if (caption_.empty()) return;
  const std::vector<std::string> lines = WrapText(canvas.Fonts(), caption_, font_, wordWrap_ ? Width() : 0);
  const int lineHeight = canvas.LineHeight(font_);
  int y = 0;
  if (layout_ == TTextLayout::Center) y = (Height() - lineHeight * static_cast<int>(lines.size())) / 2;
  for (const std::string& line : lines) {
    canvas.DrawText(AlignedX(alignment_, Width(), canvas.TextWidth(line, font_), 0), y, line, font_);
    y += lineHeight;
  }
}

TImage::TImage(std::string name) : TWidget(std::move(name)) {}

void TImage::SetPicture(const platform::Bitmap& picture) {
  picture_ = picture;
  Invalidate();
}
void TImage::SetStretch(bool stretch) { Change(*this, stretch_, stretch); }
void TImage::SetTransparentColor(std::optional<platform::Color> key) { Change(*this, transparentColor_, key); }

void TImage::Paint(TCanvas& canvas) {
  if (picture_.Empty()) return;
  if (stretch_) canvas.DrawBitmap(0, 0, Width(), Height(), picture_, transparentColor_);
  else canvas.DrawBitmap(0, 0, picture_.Width(), picture_.Height(), picture_, transparentColor_);
}

TGroupBox::TGroupBox(std::string name) : TWidget(std::move(name)) {}

void TGroupBox::SetCaption(std::string caption) { Change(*this, caption_, std::move(caption)); }
void TGroupBox::SetFont(const TFont& font) { Change(*this, font_, font); }
void TGroupBox::SetColor(platform::Color color) { Change(*this, color_, color); }
void TGroupBox::SetFrameColor(platform::Color color) { Change(*this, frameColor_, color); }

void TGroupBox::Paint(TCanvas& canvas) {
  canvas.FillRect(0, 0, Width(), Height(), color_);
  const int lineHeight = canvas.LineHeight(font_);
  canvas.FrameRect(0, lineHeight / 2, Width(), Height(), frameColor_);
  if (caption_.empty()) return;
  const int w = canvas.TextWidth(caption_, font_);
  canvas.FillRect(6, 0, 6 + w + 4, lineHeight, color_);
  canvas.DrawText(8, 0, caption_, font_);
}

}  // namespace platform::widgets

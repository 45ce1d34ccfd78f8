// The dialogs' plain widgets: panels (buttons are panels with a click handler), labels,
// images and group boxes. Every setter that changes the picture asks the form to repaint.
#pragma once

#include <optional>
#include <string>

#include "platform/bitmap.h"
#include "platform/widgets/widget.h"

namespace platform::widgets {

enum class TBevel { None, Raised, Lowered, Frame };
enum class TTextLayout { Top, Center };

class TPanel : public TWidget {
 public:
  explicit TPanel(std::string name);

  platform::Color Color() const { return color_; }
  void SetColor(platform::Color color);
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Raised and lowered bevels are one pixel of white and grey; a frame is one pixel of
  // the border colour.
  TBevel Bevel() const { return bevel_; }
  void SetBevel(TBevel bevel);
  platform::Color BorderColor() const { return borderColor_; }
  void SetBorderColor(platform::Color color);

  void Paint(TCanvas& canvas) override;

 private:
  platform::Color color_ = platform::MakeColor(192, 192, 192);
  std::string caption_;
  TFont font_;
  TAlignment alignment_ = TAlignment::Center;
  TBevel bevel_ = TBevel::Raised;
  platform::Color borderColor_ = platform::MakeColor(0, 0, 0);
};

class TLabel : public TWidget {
 public:
  explicit TLabel(std::string name);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  // The background, painted only when the label is not transparent.
  platform::Color Color() const { return color_; }
  void SetColor(platform::Color color);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  // Breaks lines between words to fit the width ('\n' always breaks).
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  // Fits the size to the text: width and height, or with word wrap only the height.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

  void Paint(TCanvas& canvas) override;

 protected:
  void BoundsChanged() override;

 private:
  void Fit();

  std::string caption_;
  TFont font_;
  platform::Color color_ = platform::MakeColor(192, 192, 192);
  bool transparent_ = true;
  TAlignment alignment_ = TAlignment::Left;
  TTextLayout layout_ = TTextLayout::Top;
  bool wordWrap_ = false;
  bool autoSize_ = true;
  bool fitting_ = false;
};

class TImage : public TWidget {
 public:
  explicit TImage(std::string name);

  const platform::Bitmap& Picture() const { return picture_; }
  void SetPicture(const platform::Bitmap& picture);
  // Stretched over the whole widget, or drawn at its own size from the top-left.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  // Pixels of this colour are left out.
  std::optional<platform::Color> TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(std::optional<platform::Color> key);

  void Paint(TCanvas& canvas) override;

 private:
  platform::Bitmap picture_;
  bool stretch_ = false;
  std::optional<platform::Color> transparentColor_;
};

// A frame with its caption set into the top line.
class TGroupBox : public TWidget {
 public:
  explicit TGroupBox(std::string name);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  platform::Color Color() const { return color_; }
  void SetColor(platform::Color color);
  platform::Color FrameColor() const { return frameColor_; }
  void SetFrameColor(platform::Color color);

  void Paint(TCanvas& canvas) override;

 private:
  std::string caption_;
  TFont font_;
  platform::Color color_ = platform::MakeColor(192, 192, 192);
  platform::Color frameColor_ = platform::MakeColor(128, 128, 128);
};

}  // namespace platform::widgets

// A one-line edit box: takes keyboard focus when clicked, typed text from the window's
// text-input events, and the editing keys; its length is counted in characters, so Czech
// letters count once whatever their UTF-8 length.
#pragma once

#include <string>
#include <string_view>

#include "platform/widgets/widget.h"

namespace platform::widgets {

class TEdit : public TWidget {
 public:
  explicit TEdit(std::string name);

  // UTF-8. Setting it cuts it to MaxLength and puts the caret at the end.
  std::string Text() const;
  void SetText(std::string_view utf8);
  // Characters allowed; 0 means no limit. Lowering it cuts the text.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int maxLength);
  // Caret position in characters, 0 .. length.
  int CaretPos() const { return caret_; }
  void SetCaretPos(int pos);

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  platform::Color Color() const { return color_; }
  void SetColor(platform::Color color);

  // After every change of the text, by the player or by SetText.
  TNotifyEvent OnChange;

  bool Focused() const;
  bool CanFocus() const override { return true; }
  // Backspace, Delete, Left, Right, Home and End.
  bool HandleEditKey(int vk) override;
  // Typed text at the caret, cut to the room MaxLength leaves; control characters dropped.
  bool HandleText(std::string_view utf8) override;

  void Paint(TCanvas& canvas) override;

 private:
  void Changed();

  std::u32string chars_;
  int caret_ = 0;
  int maxLength_ = 0;
  int scroll_ = 0;  // pixels of text hidden on the left, so the caret stays in view
  TFont font_;
  platform::Color color_ = platform::MakeColor(255, 255, 255);
};

}  // namespace platform::widgets

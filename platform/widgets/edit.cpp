// Edit box: text kept as characters, caret movement, painting with the caret in view.
#include "platform/widgets/edit.h"

#include <algorithm>

#include "platform/input.h"
#include "platform/widgets/canvas.h"
#include "platform/widgets/form.h"

namespace platform::widgets {
namespace {

constexpr int kTextMargin = 3;
constexpr char32_t kReplacement = 0xFFFD;

// Malformed bytes each become U+FFFD; nothing is trusted.
std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra == 0) {
      out.push_back(b);
      ++i;
      continue;
    }
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t c = b & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto cont = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((cont & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (cont & 0x3F);
    }
    if (!ok) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    out.push_back(c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view s) {
  std::string out;
  for (char32_t c : s) {
    if (c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace

TEdit::TEdit(std::string name) : TWidget(std::move(name)) {}

std::string TEdit::Text() const { return EncodeUtf8(chars_); }

void TEdit::SetText(std::string_view utf8) {
  std::u32string chars = DecodeUtf8(utf8);
  if (maxLength_ > 0 && chars.size() > static_cast<std::size_t>(maxLength_)) chars.resize(static_cast<std::size_t>(maxLength_));
  caret_ = static_cast<int>(chars.size());
  if (chars == chars_) {
    Invalidate();
    return;
  }
  chars_ = std::move(chars);
  Changed();
}

void TEdit::SetMaxLength(int maxLength) {
  maxLength_ = std::max(0, maxLength);
  if (maxLength_ > 0 && chars_.size() > static_cast<std::size_t>(maxLength_)) {
    chars_.resize(static_cast<std::size_t>(maxLength_));
    caret_ = std::min(caret_, maxLength_);
    Changed();
  }
}

void TEdit::SetCaretPos(int pos) {
  pos = std::clamp(pos, 0, static_cast<int>(chars_.size()));
  if (pos == caret_) return;
  caret_ = pos;
  Invalidate();
}

void TEdit::SetFont(const TFont& font) {
  if (font == font_) return;
  font_ = font;
  Invalidate();
}

void TEdit::SetColor(platform::Color color) {
  if (color == color_) return;
  color_ = color;
  Invalidate();
}

bool TEdit::Focused() const {
  const TForm* form = Form();
  return form != nullptr && form->ActiveControl() == this;
}

void TEdit::Changed() {
  Invalidate();
  if (OnChange) {
    auto handler = OnChange;
    handler(*this);
  }
}

bool TEdit::HandleEditKey(int vk) {
  const int length = static_cast<int>(chars_.size());
  switch (vk) {
    case vk::Back:
      if (caret_ > 0) {
        chars_.erase(static_cast<std::size_t>(caret_ - 1), 1);
        --caret_;
        Changed();
      }
      return true;
    case vk::Delete:
      if (caret_ < length) {
        chars_.erase(static_cast<std::size_t>(caret_), 1);
        Changed();
      }
      return true;
    case vk::Left: SetCaretPos(caret_ - 1); return true;
    case vk::Right: SetCaretPos(caret_ + 1); return true;
    case vk::Home: SetCaretPos(0); return true;
    case vk::End: SetCaretPos(length); return true;
    default: return false;
  }
}

bool TEdit::HandleText(std::string_view utf8) {
  std::u32string typed = DecodeUtf8(utf8);
  std::erase_if(typed, [](char32_t c) { return c < 0x20 || c == 0x7F; });
  if (maxLength_ > 0) {
    const std::size_t room = static_cast<std::size_t>(maxLength_) - std::min(chars_.size(), static_cast<std::size_t>(maxLength_));
    if (typed.size() > room) typed.resize(room);
  }
  if (typed.empty()) return true;
  chars_.insert(static_cast<std::size_t>(caret_), typed);
  caret_ += static_cast<int>(typed.size());
  Changed();
  return true;
}

void TEdit::Paint(TCanvas& canvas) {
  canvas.FillRect(0, 0, Width(), Height(), color_);
  canvas.FrameRect(0, 0, Width(), Height(), platform::MakeColor(128, 128, 128));
  TCanvas inner = canvas.Sub(kTextMargin, 1, Width() - 2 * kTextMargin, Height() - 2);
  const std::string text = Text();
  const int caretX = canvas.TextWidth(EncodeUtf8(std::u32string_view(chars_).substr(0, static_cast<std::size_t>(caret_))), font_);
  const int room = std::max(1, Width() - 2 * kTextMargin - 1);
  if (caretX - scroll_ > room) scroll_ = caretX - room;
  if (caretX < scroll_) scroll_ = caretX;
  const int lineHeight = canvas.LineHeight(font_);
  const int y = (Height() - 2 - lineHeight) / 2;
  inner.DrawText(-scroll_, y, text, font_);
  if (Focused()) inner.FillRect(caretX - scroll_, y, caretX - scroll_ + 1, y + lineHeight, font_.color);
}

}  // namespace platform::widgets

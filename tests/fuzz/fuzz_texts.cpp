// Fuzz target for the text resources: Texts.txt applied to dialogs and GameTypes.txt to the
// game-type texts. Input: one language byte, then Texts.txt, a NUL, and GameTypes.txt. Any
// bytes must leave every caption, hint and game-type text either as it was or one of the
// file's own lines.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"
#include "shell/texts.h"

namespace {

bool OneOf(const std::string& text, const std::vector<std::string>& lines) {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string language = data[0] & 1 ? "CZE" : "ENG";
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  const auto split = static_cast<std::size_t>(std::find(rest.begin(), rest.end(), std::uint8_t{0}) - rest.begin());
  const std::vector<std::string> lines = TextLinesFromBytes(rest.first(split));
  const std::vector<std::string> types =
      split == rest.size() ? std::vector<std::string>{} : TextLinesFromBytes(rest.subspan(split + 1));

  static platform::FontCache fonts;
  platform::widgets::TForm error("FormError", fonts), loading("FormLoading", fonts);
  auto* ok = error.Add<platform::widgets::TPanel>("PanelOK");
  ok->ShowHint = true;
  auto* text = error.Add<platform::widgets::TLabel>("LabelText");
  auto* info = loading.Add<platform::widgets::TLabel>("LabelInfo");
  info->ShowHint = true;
  std::array<platform::widgets::TForm*, 2> dialogs = {&error, &loading};
  TTRVGameTexts texts;
  ApplyTexts(lines, split == rest.size() ? nullptr : &types, language, dialogs, texts);

  const std::string* shown[] = {&ok->Caption(), &ok->Hint,         &text->Caption(),
                                &text->Hint,    &info->Caption(), &info->Hint};
  for (const std::string* s : shown)
    if (!s->empty() && !OneOf(*s, lines)) __builtin_trap();
  if (!text->Hint.empty()) __builtin_trap();  // asked for no hint
  // A short file fills what it holds; the rest is empty.
  for (const std::string& name : texts.GameTypeNames)
    if (!name.empty() && !OneOf(name, types)) __builtin_trap();
  for (const std::string& name : texts.LessonNames)
    if (!name.empty() && !OneOf(name, types)) __builtin_trap();
  return 0;
}

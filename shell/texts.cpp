// Dialog texts and game-type texts from the program's text files.
#include "shell/texts.h"

#include <fstream>
#include <iterator>

#include "config/textids.h"
#include "platform/cp1250.h"
#include "platform/log.h"
#include "platform/programfiles.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"

namespace {
constexpr std::size_t kMaxTextFile = 4 << 20;  // far above any real file; refuses runaway input
constexpr std::size_t kGameTypeLines = 64;

// The component's caption, when it is of a kind that has one.
void SetCaption(platform::widgets::TWidget& component, const std::string& caption) {
  if (auto* panel = dynamic_cast<platform::widgets::TPanel*>(&component)) panel->SetCaption(caption);
  else if (auto* label = dynamic_cast<platform::widgets::TLabel*>(&component)) label->SetCaption(caption);
  else if (auto* group = dynamic_cast<platform::widgets::TGroupBox*>(&component)) group->SetCaption(caption);
}

bool Captioned(const platform::widgets::TWidget& component) {
  return dynamic_cast<const platform::widgets::TPanel*>(&component) != nullptr ||
         dynamic_cast<const platform::widgets::TLabel*>(&component) != nullptr ||
         dynamic_cast<const platform::widgets::TGroupBox*>(&component) != nullptr;
}

}

std::vector<std::string> ReadTextLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::vector<std::uint8_t> bytes(kMaxTextFile + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (bytes.size() > kMaxTextFile) {
    platform::LogWarning("texts", file.string() + " is too large to be a text file of the game; not read");
    return {};
  }
  return TextLinesFromBytes(bytes);
}

std::vector<std::string> TextLinesFromBytes(std::span<const std::uint8_t> data) {
  std::vector<std::string> lines;
  if (data.size() > kMaxTextFile) return lines;
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(platform::Cp1250ToUtf8(line));
    start = end + 1;
  }
  return lines;
}

bool LoadTexts(const std::filesystem::path& programFolder, const std::string& language,
               std::span<platform::widgets::TForm* const> dialogs, TTRVGameTexts& texts) {
  const platform::ProgramFiles files(programFolder);
  const std::filesystem::path textsFile = files.DataFile("Texts.txt");
  std::vector<std::string> lines = ReadTextLines(textsFile);
  std::error_code ec;
  if (lines.empty() && !std::filesystem::exists(textsFile, ec)) {
    platform::LogWarning("texts", "data/Texts.txt is missing; the dialogs keep their built-in captions");
    return false;
  }
  const std::filesystem::path typesFile = files.DataFile("GameTypes.txt");
  const bool haveTypes = std::filesystem::exists(typesFile, ec);
  const std::vector<std::string> types = haveTypes ? ReadTextLines(typesFile) : std::vector<std::string>{};
  if (haveTypes && types.size() < kGameTypeLines)
    platform::LogWarning("texts", "data/GameTypes.txt holds fewer than 64 lines; the missing texts are empty");
  ApplyTexts(lines, haveTypes ? &types : nullptr, language, dialogs, texts);
  return true;
}

void ApplyTexts(std::span<const std::string> lines, const std::vector<std::string>* types, const std::string& language,
                std::span<platform::widgets::TForm* const> dialogs, TTRVGameTexts& texts) {
  const bool czech = LanguageOf(language) == TTRVLanguage::Czech;
  for (platform::widgets::TForm* form : dialogs) {
    // Every component of the dialog, nested ones included: captions sit on the dialogs'
    // body panels, not only on the form itself.
    for (platform::widgets::TWidget* component : form->Components()) {
      if (!Captioned(*component)) continue;
      for (std::size_t i = 0; i + 4 <= lines.size(); ++i) {
        if (lines[i] != form->Name() || lines[i + 1] != component->Name()) continue;
        SetCaption(*component, lines[i + (czech ? 3 : 2)]);
        if (component->ShowHint && i + 6 <= lines.size()) component->Hint = lines[i + (czech ? 5 : 4)];
      }
    }
  }
  if (types == nullptr) return;
  const auto line = [types](std::size_t n) { return n < types->size() ? (*types)[n] : std::string(); };
  const std::size_t typeBase = czech ? 12 : 0, lessonBase = czech ? 44 : 24;
  for (std::size_t k = 0; k < texts.GameTypeNames.size(); ++k) texts.GameTypeNames[k] = line(typeBase + k);
  for (std::size_t k = 0; k < texts.LessonNames.size(); ++k) texts.LessonNames[k] = line(lessonBase + k);
}

// The dialogs' captions and hints in the player's language, from data/Texts.txt, and the
// game-type explanations and lesson texts from data/GameTypes.txt. Files are Windows-1250.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace platform::widgets {
class TForm;
}

struct TTRVGameTexts {
  std::array<std::string, 12> GameTypeNames;  // explanations, unit type outer, mission inner
  std::array<std::string, 20> LessonNames;    // captions 0-9, descriptions 10-19
};

// Reads a text file of the program's own as lines converted to UTF-8 (empty when missing).
std::vector<std::string> ReadTextLines(const std::filesystem::path& file);
// The same from the file's bytes: lines end at LF (a CR before it is dropped). More than
// 4 MiB gives no lines, as from a file that size.
std::vector<std::string> TextLinesFromBytes(std::span<const std::uint8_t> bytes);

// Applies the records of Texts.txt to every panel, label and group box of the dialogs (the last record for
// a component wins); answers whether the file was there. With it, GameTypes.txt fills `texts`.
bool LoadTexts(const std::filesystem::path& programFolder, const std::string& language,
               std::span<platform::widgets::TForm* const> dialogs, TTRVGameTexts& texts);
// LoadTexts on lines already read: Texts.txt's and, when GameTypes.txt exists, its lines
// (null when it does not: `texts` stays as it is). Lines a short file lacks give empty texts.
void ApplyTexts(std::span<const std::string> textLines, const std::vector<std::string>* typeLines,
                const std::string& language, std::span<platform::widgets::TForm* const> dialogs,
                TTRVGameTexts& texts);

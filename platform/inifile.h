// A sectioned key = value file (config.ini) read from bytes and written back whole: what the
// game does not touch (other sections, keys, comments, their order) survives a save.
// It never interprets what a key means; that is the settings table's job.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
 public:
  // Larger files are refused rather than read: config.ini is a few hundred bytes.
  static constexpr std::size_t kMaxFileSize = 4u << 20;

  // Any bytes are some file: lines without '=' and comments are kept as they are, a
  // header missing its ']' still starts a section. Replaces what was held before.
  void LoadFromBytes(std::span<const std::uint8_t> bytes);
  void LoadFromText(std::string_view text);
  // A missing file loads as empty and succeeds; an unreadable or oversized one fails
  // with a message and leaves the file empty.
  bool LoadFromFile(const std::filesystem::path& file, std::string& error);

  // The whole file as text, with the line ending the loaded file used ("\n" when new).
  std::string ToText() const;
  // Writes a temporary file beside `file`, flushes it to disk and renames it over `file`,
  // so a crash leaves the old file or the new one, never half of one.
  bool SaveToFile(const std::filesystem::path& file, std::string& error) const;

  // Look-ups ignore ASCII case. When a section or key appears twice, the first one counts.
  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;  // in file order, once each
  std::vector<std::string> KeyNames(std::string_view section) const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Decimal with an optional sign; anything else, or a value outside int, gives `fallback`.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // An integer 0 is false, an empty value gives `fallback`, anything else is true.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Updates the key where it stands, or appends it to its section (appended to the file
  // when new). Line breaks in a value become spaces so a value can never forge a line.
  // Refuses (returns false) names that could not be read back: empty, with line breaks,
  // '=' or ']' in them, or with spaces at either end.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"

  // Remove every occurrence; answer whether anything was removed.
  bool EraseKey(std::string_view section, std::string_view key);
  bool EraseSection(std::string_view section);

  void Clear();

 private:
  struct Line {
    std::string key;    // empty: a line kept verbatim (comment, blank, text without '=')
    std::string value;
    std::string raw;    // the line as read, written back while the line is untouched
    bool original = false;
  };
  struct Section {
    std::string name;
    std::string header;  // the header line as read; empty for the lines before any header
    bool headed = false;
    std::vector<Line> lines;
  };

  Line* FindLine(std::string_view section, std::string_view key);
  const Line* FindLine(std::string_view section, std::string_view key) const;
  void ParseLine(std::string_view line);

  std::vector<Section> sections_;
  bool crlf_ = false;
};

}  // namespace platform

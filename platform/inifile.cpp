// Sectioned key = value files: a forgiving line parser, case-insensitive look-up, and an
// atomic whole-file save (temporary file, fsync, rename).
#include "platform/inifile.h"

#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// A name that the parser would read back as the same name.
bool ValidSectionName(std::string_view name) {
  return !name.empty() && Trim(name).size() == name.size() && !HasLineBreak(name) &&
         name.find(']') == std::string_view::npos;
}

bool ValidKeyName(std::string_view key) {
  return !key.empty() && Trim(key).size() == key.size() && !HasLineBreak(key) &&
         key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';' &&
         key.front() != '#';
}


}  // namespace

void IniFile::Clear() {
  sections_.clear();
  crlf_ = false;
}

void IniFile::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  LoadFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void IniFile::LoadFromText(std::string_view text) {
  Clear();
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  crlf_ = text.find("\r\n") != std::string_view::npos;
  // Lines end at "\r\n", "\n" or a lone "\r"; a last line without an ending still counts.
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      ParseLine(text);
      break;
    }
    ParseLine(text.substr(0, end));
    const std::size_t skip = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    text.remove_prefix(end + skip);
  }
}

void IniFile::ParseLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (!trimmed.empty() && trimmed.front() == '[') {
    // A header missing its ']' still opens a section, so the keys below it are not
    // mistaken for keys of the section before.
    std::string_view name = trimmed.substr(1);
    if (const std::size_t close = name.find(']'); close != std::string_view::npos) name = name.substr(0, close);
    Section section;
    section.name = std::string(Trim(name));
    section.header = std::string(line);
    section.headed = true;
    sections_.push_back(std::move(section));
    return;
  }
  if (sections_.empty()) sections_.emplace_back();  // lines before the first header

  Line entry;
  entry.raw = std::string(line);
  entry.original = true;
  const bool comment = trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#';
  const std::size_t equals = trimmed.find('=');
  if (!comment && equals != std::string_view::npos && sections_.back().headed) {
    const std::string_view key = Trim(trimmed.substr(0, equals));
    if (!key.empty()) {
      entry.key = std::string(key);
      entry.value = std::string(Trim(trimmed.substr(equals + 1)));
    }
  }
  sections_.back().lines.push_back(std::move(entry));
}

bool IniFile::LoadFromFile(const std::filesystem::path& file, std::string& error) {
  Clear();
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found) return true;
  if (ec) {
    error = "Cannot read " + file.string() + ": " + ec.message();
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    error = "Cannot read " + file.string() + ": it is a folder";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = "Cannot open " + file.string();
    return false;
  }
  // Read at most one byte past the limit: the file's size may lie (pipes, /proc).
  std::string text;
  char buffer[16384];
  while (in && text.size() <= kMaxFileSize) {
    in.read(buffer, sizeof buffer);
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    error = "Cannot read " + file.string();
    return false;
  }
  if (text.size() > kMaxFileSize) {
    error = "File too large: " + file.string();
    return false;
  }
  LoadFromText(text);
  return true;
}

std::string IniFile::ToText() const {
  const std::string_view eol = crlf_ ? "\r\n" : "\n";
  std::string out;
  for (const Section& section : sections_) {
    if (section.headed) {
      out += section.header.empty() ? "[" + section.name + "]" : section.header;
      out += eol;
    }
    for (const Line& line : section.lines) {
      if (line.original)
        out += line.raw;
      else
        out += line.key + "=" + line.value;
      out += eol;
    }
  }
  return out;
}

bool IniFile::SaveToFile(const std::filesystem::path& file, std::string& error) const {
  return WriteFileAtomically(file, ToText(), error);
}

IniFile::Line* IniFile::FindLine(std::string_view section, std::string_view key) {
  for (Section& s : sections_) {
    if (!s.headed || !SameName(s.name, section)) continue;
    for (Line& line : s.lines)
      if (!line.key.empty() && SameName(line.key, key)) return &line;
  }
  return nullptr;
}

const IniFile::Line* IniFile::FindLine(std::string_view section, std::string_view key) const {
  return const_cast<IniFile*>(this)->FindLine(section, key);
}

bool IniFile::HasSection(std::string_view section) const {
  for (const Section& s : sections_)
    if (s.headed && SameName(s.name, section)) return true;
  return false;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
  return FindLine(section, key) != nullptr;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  if (const Line* line = FindLine(section, key)) return line->value;
  return std::nullopt;
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) {
    if (!s.headed) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || SameName(n, s.name);
    if (!seen) names.push_back(s.name);
  }
  return names;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> keys;
  for (const Section& s : sections_) {
    if (!s.headed || !SameName(s.name, section)) continue;
    for (const Line& line : s.lines) {
      if (line.key.empty()) continue;
      bool seen = false;
      for (const std::string& k : keys) seen = seen || SameName(k, line.key);
      if (!seen) keys.push_back(line.key);
    }
  }
  return keys;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
  if (const Line* line = FindLine(section, key)) return line->value;
  return std::string(fallback);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const Line* line = FindLine(section, key);
  if (!line) return fallback;
  std::string_view text = line->value;
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9') return fallback;
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (ec != std::errc{} || end != text.data() + text.size()) return fallback;
  return value;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  const Line* line = FindLine(section, key);
  if (!line || line->value.empty()) return fallback;
  constexpr int kNotAnInteger = 1;
  return ReadInteger(section, key, kNotAnInteger) != 0;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!ValidSectionName(section) || !ValidKeyName(key)) return false;
  std::string clean(Trim(value));
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';

  if (Line* line = FindLine(section, key)) {
    if (line->value != clean) {
      line->value = std::move(clean);
      line->original = false;
    }
    return true;
  }
  Line entry;
  entry.key = std::string(key);
  entry.value = std::move(clean);

  for (Section& s : sections_) {
    if (!s.headed || !SameName(s.name, section)) continue;
    // After the section's last non-blank line, so a blank line before the next header stays put.
    auto at = s.lines.end();
    while (at != s.lines.begin() && Trim(std::prev(at)->raw).empty() && std::prev(at)->original) --at;
    s.lines.insert(at, std::move(entry));
    return true;
  }
  if (!sections_.empty()) {
    std::vector<Line>& last = sections_.back().lines;
    const bool endsBlank = !last.empty() && last.back().original && Trim(last.back().raw).empty();
    if (!endsBlank) last.push_back(Line{.key = {}, .value = {}, .raw = {}, .original = true});
  }
  Section fresh;
  fresh.name = std::string(section);
  fresh.headed = true;
  fresh.lines.push_back(std::move(entry));
  sections_.push_back(std::move(fresh));
  return true;
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool IniFile::EraseKey(std::string_view section, std::string_view key) {
  bool erased = false;
  for (Section& s : sections_) {
    if (!s.headed || !SameName(s.name, section)) continue;
    erased |= std::erase_if(s.lines, [&](const Line& l) { return !l.key.empty() && SameName(l.key, key); }) > 0;
  }
  return erased;
}

bool IniFile::EraseSection(std::string_view section) {
  return std::erase_if(sections_, [&](const Section& s) { return s.headed && SameName(s.name, section); }) > 0;
}

}  // namespace platform

// ProgramFiles: the one place that answers where each file of the game lies. The shipped
// files (themes, data, music) are read from the read-only folder; what the game writes
// (config.ini, worlds and their map images, campaigns, saves, the screenshot) goes to the
// writable folder. Both are the program folder today; an install that keeps the player's files
// elsewhere only constructs this with two folders.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProgramFiles {
 public:
  // Everything in one folder (the program folder).
  explicit ProgramFiles(std::filesystem::path programFolder);
  ProgramFiles(std::filesystem::path readOnlyFolder, std::filesystem::path writableFolder);

  const std::filesystem::path& ReadOnlyFolder() const { return readOnly_; }
  const std::filesystem::path& WritableFolder() const { return writable_; }

  // A name is a bare file name without extension ("Tutorial", "AutoSave"): one with a folder
  // part, "..", or empty gives an empty path, so no name read from a file or typed by the
  // player reaches outside its folder.

  // Read-only, shipped with the game.
  std::filesystem::path ThemesFolder() const;
  std::filesystem::path Theme(std::string_view name) const;  // themes/<name>.TRV
  std::filesystem::path DataFolder() const;
  std::filesystem::path DataFile(std::string_view fileName) const;  // data/<fileName>, extension included
  std::filesystem::path MusicFolder() const;
  std::filesystem::path MusicFile(std::string_view fileName) const;  // music/<fileName>

  // Writable.
  std::filesystem::path Config() const;      // config.ini
  std::filesystem::path Screenshot() const;  // Screenshot.bmp
  std::filesystem::path WorldsFolder() const;
  std::filesystem::path World(std::string_view name) const;       // worlds/<name>.TRV
  std::filesystem::path WorldMap(std::string_view name) const;    // worlds/<name>MAP.bmp
  std::filesystem::path WorldThumb(std::string_view name) const;  // worlds/<name>THUMB.bmp
  std::filesystem::path Campaign(std::string_view name) const;    // worlds/<name>.CAMP
  std::filesystem::path SavesFolder() const;
  std::filesystem::path Save(std::string_view name) const;  // save/<name>.TRV

 private:
  std::filesystem::path readOnly_;
  std::filesystem::path writable_;
};

// folder/<name><suffix> for a bare name (see above), else an empty path: the one join of a
// folder and a file name, for the folders ProgramFiles answers and any a caller was given.
std::filesystem::path NamedFile(const std::filesystem::path& folder, std::string_view name, std::string_view suffix);

// The names (without the extension) of the regular files of `folder` whose extension is
// exactly `extension` (".TRV": compared case-sensitively), sorted by name. A missing or
// unreadable folder gives none.
std::vector<std::string> ListFileNames(const std::filesystem::path& folder, std::string_view extension);

}  // namespace platform

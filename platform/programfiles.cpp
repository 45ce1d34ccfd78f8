// Where the game's files lie, and listing a folder's files of one kind.
#include "platform/programfiles.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/paths.h"

namespace platform {

namespace {

// A bare name: not empty, no folder part of its own and not a folder's own entry, whatever
// suffix follows it.
bool BareName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace

std::filesystem::path NamedFile(const std::filesystem::path& folder, std::string_view name, std::string_view suffix) {
  if (!BareName(name)) return {};
  return InsideFolder(folder, std::string(name) + std::string(suffix));
}

ProgramFiles::ProgramFiles(std::filesystem::path programFolder)
    : readOnly_(programFolder), writable_(std::move(programFolder)) {}

ProgramFiles::ProgramFiles(std::filesystem::path readOnlyFolder, std::filesystem::path writableFolder)
    : readOnly_(std::move(readOnlyFolder)), writable_(std::move(writableFolder)) {}

std::filesystem::path ProgramFiles::ThemesFolder() const { return readOnly_ / "themes"; }
std::filesystem::path ProgramFiles::Theme(std::string_view name) const { return NamedFile(ThemesFolder(), name, ".TRV"); }
std::filesystem::path ProgramFiles::DataFolder() const { return readOnly_ / "data"; }
std::filesystem::path ProgramFiles::DataFile(std::string_view fileName) const { return NamedFile(DataFolder(), fileName, ""); }
std::filesystem::path ProgramFiles::MusicFolder() const { return readOnly_ / "music"; }
std::filesystem::path ProgramFiles::MusicFile(std::string_view fileName) const {
  return NamedFile(MusicFolder(), fileName, "");
}

std::filesystem::path ProgramFiles::Config() const { return writable_ / "config.ini"; }
std::filesystem::path ProgramFiles::Screenshot() const { return writable_ / "Screenshot.bmp"; }
std::filesystem::path ProgramFiles::WorldsFolder() const { return writable_ / "worlds"; }
std::filesystem::path ProgramFiles::World(std::string_view name) const { return NamedFile(WorldsFolder(), name, ".TRV"); }
std::filesystem::path ProgramFiles::WorldMap(std::string_view name) const {
  return NamedFile(WorldsFolder(), name, "MAP.bmp");
}
std::filesystem::path ProgramFiles::WorldThumb(std::string_view name) const {
  return NamedFile(WorldsFolder(), name, "THUMB.bmp");
}
std::filesystem::path ProgramFiles::Campaign(std::string_view name) const {
  return NamedFile(WorldsFolder(), name, ".CAMP");
}
std::filesystem::path ProgramFiles::SavesFolder() const { return writable_ / "save"; }
std::filesystem::path ProgramFiles::Save(std::string_view name) const { return NamedFile(SavesFolder(), name, ".TRV"); }

std::vector<std::string> ListFileNames(const std::filesystem::path& folder, std::string_view extension) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string file = it->path().filename().string();
    if (file.size() <= extension.size() || !file.ends_with(extension)) continue;
    names.push_back(file.substr(0, file.size() - extension.size()));
  }
  std::ranges::sort(names);
  return names;
}

}  // namespace platform

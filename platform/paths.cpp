// Program folder and confined relative paths.
#include "platform/paths.h"

#include <system_error>

namespace platform {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && exe.has_parent_path()) return exe.parent_path();
  return std::filesystem::current_path(ec);
}

std::filesystem::path InsideFolder(const std::filesystem::path& folder, std::string_view relative) {
  if (relative.empty()) return {};
  std::filesystem::path rel(relative);
  if (rel.is_absolute() || rel.has_root_name() || rel.has_root_directory()) return {};
  for (const auto& part : rel)
    if (part == ".." || part == ".") return {};
  return folder / rel;
}

}  // namespace platform

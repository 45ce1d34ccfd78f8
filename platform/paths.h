// Where the program's files live: the program folder is the folder of the executable, and
// every file the game reads or writes is a relative path inside it.
#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// The folder holding the running executable (falls back to the current directory).
std::filesystem::path ProgramFolder();

// Joins a relative path onto a folder, refusing anything that would leave the folder
// (absolute paths, "..", empty names): answers an empty path then.
std::filesystem::path InsideFolder(const std::filesystem::path& folder, std::string_view relative);

}  // namespace platform

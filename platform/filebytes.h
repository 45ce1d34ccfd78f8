// Reading a whole file of the game's own into memory, refusing files too large to be what
// the caller expects before allocating anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace platform {

enum class ReadFileResult { Ok, Missing, TooLarge, Unreadable };

// Missing when the file's size cannot be had (no file, a folder); TooLarge above maxBytes.
ReadFileResult ReadFileBytes(const std::filesystem::path& file, std::uintmax_t maxBytes, std::vector<std::uint8_t>& bytes);

}  // namespace platform

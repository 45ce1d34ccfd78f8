// Writing a whole file so that a crash never leaves it half written: the bytes go to a
// temporary file in the same folder, which is flushed and then renamed over the target.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// Replaces `file` (or what a link named `file` points to) with `bytes`, keeping its permissions.
// On failure the old file is untouched, no temporary file is left, and `error` says why.
bool WriteFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes, std::string& error);
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view text, std::string& error);

}  // namespace platform

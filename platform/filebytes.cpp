// Whole-file reads with a size limit.
#include "platform/filebytes.h"

#include <fstream>
#include <system_error>

namespace platform {

ReadFileResult ReadFileBytes(const std::filesystem::path& file, std::uintmax_t maxBytes, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec) return ReadFileResult::Missing;
  if (size > maxBytes) return ReadFileResult::TooLarge;
  bytes.resize(static_cast<std::size_t>(size));
  std::ifstream in(file, std::ios::binary);
  if (!in || (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))) {
    bytes.clear();
    return ReadFileResult::Unreadable;
  }
  return ReadFileResult::Ok;
}

}  // namespace platform

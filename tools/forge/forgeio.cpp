// File writing and seeding shared by the forge steps.
#include <span>
#include <system_error>

#include "platform/atomicfile.h"
#include "tools/forge/forge.h"

namespace forge {

bool WriteFileAtomically(const std::filesystem::path& path, const void* data, std::size_t size, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  return platform::WriteFileAtomically(path, std::span(static_cast<const std::uint8_t*>(data), size), error);
}

std::mt19937 SeededGenerator(const std::string& stepName) {
  // FNV-1a of the name: stable across compilers, unlike std::hash.
  std::uint32_t h = 2166136261u;
  for (unsigned char c : stepName) h = (h ^ c) * 16777619u;
  return std::mt19937(h);
}

}  // namespace forge

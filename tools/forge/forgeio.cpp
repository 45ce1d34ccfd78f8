// File writing and seeding shared by the forge steps.
#include <cstdio>
#include <fstream>
#include <system_error>

#include "tools/forge/forge.h"

namespace forge {

bool WriteFileAtomically(const std::filesystem::path& path, const void* data, std::size_t size, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::filesystem::path temp = path;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = "cannot write " + temp.string();
      return false;
    }
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
      error = "cannot write " + temp.string();
      return false;
    }
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    error = "cannot rename " + temp.string() + ": " + ec.message();
    return false;
  }
  return true;
}

std::mt19937 SeededGenerator(const std::string& stepName) {
  // FNV-1a of the name: stable across compilers, unlike std::hash.
  std::uint32_t h = 2166136261u;
  for (unsigned char c : stepName) h = (h ^ c) * 16777619u;
  return std::mt19937(h);
}

}  // namespace forge

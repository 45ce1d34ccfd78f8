// Whole-file replacement through a flushed temporary file and a rename.
#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace platform {

namespace {

std::string ErrnoText() { return std::error_code(errno, std::generic_category()).message(); }

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view text, std::string& error) {
  std::error_code ec;
  std::filesystem::path target = file;
  // Replace what a link points to, not the link itself.
  if (std::filesystem::is_symlink(file, ec)) {
    const auto resolved = std::filesystem::weakly_canonical(file, ec);
    if (!ec) target = resolved;
  }
  mode_t mode = 0644;
  struct stat existing{};
  if (::stat(target.c_str(), &existing) == 0) mode = existing.st_mode & 07777;

  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string temp = (folder / (target.filename().string() + ".tmp-XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = "Cannot write " + file.string() + ": " + ErrnoText();
    return false;
  }
  bool ok = WriteAll(fd, text) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  if (!ok) error = "Cannot write " + file.string() + ": " + ErrnoText();
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = "Cannot write " + file.string() + ": " + ErrnoText();
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = "Cannot replace " + file.string() + ": " + ErrnoText();
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here leaves a complete file either way.
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool WriteFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes, std::string& error) {
  return WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

}  // namespace platform

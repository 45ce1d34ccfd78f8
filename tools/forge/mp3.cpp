// Runs the MP3 encoder on WAV files the forge wrote.
#include "tools/forge/mp3.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "tools/forge/wav.h"

extern char** environ;

namespace forge {

bool EncodeMp3(const std::filesystem::path& wav, const std::filesystem::path& mp3, std::string& error,
               const std::string& encoder) {
  std::error_code ec;
  std::filesystem::create_directories(mp3.parent_path(), ec);
  std::filesystem::path temp = mp3;
  temp += ".tmp";
  std::vector<std::string> args = {encoder, "--quiet", "-b", "128", wav.string(), temp.string()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, encoder.c_str(), nullptr, nullptr, argv.data(), environ);
  if (spawned != 0) {
    error = spawned == ENOENT ? "the MP3 encoder '" + encoder + "' was not found on PATH (install the Debian package lame)"
                              : "cannot start '" + encoder + "': " + std::strerror(spawned);
    return false;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      error = "lost the MP3 encoder process: " + std::string(std::strerror(errno));
      return false;
    }
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::filesystem::remove(temp, ec);
    error = "'" + encoder + "' failed on " + wav.string() +
            (WIFEXITED(status) ? " (exit code " + std::to_string(WEXITSTATUS(status)) + ")" : " (killed)");
    return false;
  }
  std::filesystem::rename(temp, mp3, ec);
  if (ec) {
    error = "cannot rename " + temp.string() + ": " + ec.message();
    return false;
  }
  return true;
}

bool ForgeMp3(const ForgeContext& context, const std::filesystem::path& relative, const synth::Signal& left,
              const synth::Signal* right, int rate, std::string& error) {
  std::filesystem::path wav = context.scratch / relative;
  wav.replace_extension(".wav");
  const bool written = right ? WriteStereoWav(wav, left, *right, rate, error) : WriteWav(wav, left, rate, error);
  if (!written || !EncodeMp3(wav, context.outDir / relative, error)) return false;
  std::error_code ec;
  std::filesystem::remove(wav, ec);  // scratch WAVs of the music are large; the MP3 is what counts
  return true;
}

}  // namespace forge

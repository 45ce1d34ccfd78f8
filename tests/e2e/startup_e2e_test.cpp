// The real program, started in a scratch program folder on the test display: with no
// config.ini it starts on the defaults (full screen falling back to the desktop mode), keeps
// running, and on SIGTERM leaves cleanly, having written config.ini with every setting.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/inifile.h"
#include "platform/paths.h"
#include "config/settings.h"

namespace {

namespace fs = std::filesystem;

// The game this build made: its program folder game/ lies beside this executable's tests/.
// Found at run time so that the object file names no folder of one clone.
fs::path BuiltGame() { return platform::ProgramFolder().parent_path() / "game" / MORVANE_GAME_EXE_NAME; }

// Starts the game copied into `folder` and answers its process id.
pid_t StartGame(const fs::path& folder) {
  fs::copy_file(BuiltGame(), folder / "morvane", fs::copy_options::overwrite_existing);
  pid_t pid = fork();
  if (pid == 0) {
    std::string exe = (folder / "morvane").string();
    std::string log = (folder / "game.log").string();
    FILE* out = std::freopen(log.c_str(), "w", stderr);
    (void)out;
    // The system GL driver is unloaded when the program quits, so allocations it never freed
    // can no longer be told apart from ours; the unit and window suites check our own code.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Waits for the process to end, at most `seconds`; answers its exit status or -1.
int WaitExit(pid_t pid, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

TEST(GameStartup, RunsOnDefaultsAndLeavesCleanlyOnSigtermWritingEverySetting) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display";
  fs::path folder = fs::temp_directory_path() / ("morvane-e2e-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  pid_t pid = StartGame(folder);
  ASSERT_GT(pid, 0);
  std::this_thread::sleep_for(std::chrono::seconds(3));  // start-up and a couple of ticks
  int early = 0;
  ASSERT_EQ(waitpid(pid, &early, WNOHANG), 0) << "the game stopped by itself";
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitExit(pid, 20), 0) << [&] {
    std::ifstream log(folder / "game.log");
    return std::string(std::istreambuf_iterator<char>(log), {});
  }();

  platform::IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.LoadFromFile(folder / "config.ini", error)) << error;
  for (const TTRVSettingInfo& setting : SettingsTable()) {
    std::string section;
    switch (setting.Section) {
      case TTRVSettingSection::General: section = "General"; break;
      case TTRVSettingSection::Locks: section = "Locks"; break;
      case TTRVSettingSection::Quality: section = "Medium"; break;
      case TTRVSettingSection::Controls: section = "Controls"; break;
    }
    EXPECT_TRUE(ini.HasKey(section, std::string(setting.Key))) << section << "/" << setting.Key;
  }
  for (const char* preset : {"Low", "Medium", "High"}) EXPECT_TRUE(ini.HasSection(preset)) << preset;
  fs::remove_all(folder);
}

}  // namespace

// The log's one destination and its memory of the last error.
#include "platform/log.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

// The log is the one piece of shared state besides the random generator; a lock keeps the
// music thread's lines whole.
struct LogState {
  std::mutex mutex;
  std::string lastError;
  LogSink sink;
};

LogState& State() {
  static LogState state;
  return state;
}

const char* LevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Info: return "info";
    case LogLevel::Warning: return "warning";
    case LogLevel::Error: return "error";
  }
  return "?";
}

}  // namespace

void Log(LogLevel level, std::string_view channel, std::string_view text) {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  if (level == LogLevel::Error) s.lastError.assign(text);
  if (s.sink) {
    s.sink(level, channel, text);
    return;
  }
  std::fprintf(stderr, "morvane [%.*s] %s: %.*s\n", static_cast<int>(channel.size()), channel.data(), LevelName(level),
               static_cast<int>(text.size()), text.data());
}

std::string LastLogError() {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  return s.lastError;
}

void ClearLastLogError() {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  s.lastError.clear();
}

void SetLogSink(LogSink sink) {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  s.sink = std::move(sink);
}

}  // namespace platform

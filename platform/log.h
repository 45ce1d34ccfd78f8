// The one log: every loader, the generator and the engine say here what went wrong (or what
// they did), with a level and a channel ("world", "sector", "engine", ...). Lines go to standard
// error; the last error is kept so a dialog can show the player the loader's own words.
// Safe to call from any thread (the music thread logs too).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class LogLevel { Info, Warning, Error };

// Writes "morvane [channel] level: text" to standard error, or hands the line to the sink.
void Log(LogLevel level, std::string_view channel, std::string_view text);
inline void LogInfo(std::string_view channel, std::string_view text) { Log(LogLevel::Info, channel, text); }
inline void LogWarning(std::string_view channel, std::string_view text) { Log(LogLevel::Warning, channel, text); }
inline void LogError(std::string_view channel, std::string_view text) { Log(LogLevel::Error, channel, text); }

// The text of the last Error line ("" when none since the last clear).
std::string LastLogError();
void ClearLastLogError();

// Tests catch the lines instead of standard error; an empty sink restores standard error.
using LogSink = std::function<void(LogLevel, std::string_view channel, std::string_view text)>;
void SetLogSink(LogSink sink);

}  // namespace platform

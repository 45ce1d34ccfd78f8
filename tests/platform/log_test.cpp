// The log: lines reach the sink with their level and channel, and the last error is kept
// for whoever must show it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/log.h"

namespace {

TEST(Log, LinesReachTheSinkAndTheLastErrorIsKept) {
  std::vector<std::string> lines;
  platform::SetLogSink([&](platform::LogLevel level, std::string_view channel, std::string_view text) {
    lines.push_back(std::to_string(static_cast<int>(level)) + " " + std::string(channel) + " " + std::string(text));
  });
  platform::ClearLastLogError();
  platform::LogError("world", "cell (3, 3) is land");
  platform::LogWarning("sector", "dropped 2 objects");
  platform::LogInfo("engine", "Loaded");
  platform::SetLogSink({});
  EXPECT_EQ(lines, (std::vector<std::string>{"2 world cell (3, 3) is land", "1 sector dropped 2 objects", "0 engine Loaded"}));
  EXPECT_EQ(platform::LastLogError(), "cell (3, 3) is land") << "warnings and notes do not replace the error";
  platform::ClearLastLogError();
  EXPECT_EQ(platform::LastLogError(), "");
}

}  // namespace

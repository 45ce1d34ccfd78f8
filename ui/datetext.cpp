// Calendar arithmetic for the lists' dates, with no time zone: the value is shown as stored.
#include "ui/datetext.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace ui {

namespace {

// 1899-12-30 is this many days before 1970-01-01.
constexpr std::int64_t kSerialOfUnixEpoch = 25569;
// 0001-01-01 and 9999-12-31 as serial days.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958466;

struct TCivilDate {
  std::int64_t year;
  unsigned month, day;
};

// Days since 1970-01-01 to the proleptic Gregorian calendar.
TCivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

}  // namespace

std::string DateTimeText(double days) {
  if (!std::isfinite(days) || days < kFirstDay || days >= kLastDay) return "";
  // Whole seconds, rounded, so 17:05:08.9996 is 17:05:09 and a day's last instant the next day.
  const auto seconds = static_cast<std::int64_t>(std::llround(days * 86400.0));
  std::int64_t day = seconds / 86400, second = seconds % 86400;
  if (second < 0) {
    second += 86400;
    --day;
  }
  const TCivilDate date = CivilFromDays(day - kSerialOfUnixEpoch);
  char text[48];
  std::snprintf(text, sizeof text, "%u.%u.%lld %02d:%02d:%02d", date.day, date.month,
                static_cast<long long>(date.year), static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                static_cast<int>(second % 60));
  return text;
}

}  // namespace ui

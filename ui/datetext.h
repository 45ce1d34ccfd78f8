// The moment a save or a world was made, as the lists show it: the files keep days since
// 30 December 1899 (the fraction is the time of day); the lists show "11.12.2026 17:05:09".
#pragma once

#include <string>

namespace ui {

// Day.month.year hours:minutes:seconds, or "" for a value that is no moment of the years
// 1 to 9999 (negative, not a number, out of range).
std::string DateTimeText(double days);

}  // namespace ui

// Calendar questions about points in time, in the current time zone's Gregorian calendar.
#ifndef NUMBERA_SERVICES_NSDATE_ADDITIONS_H
#define NUMBERA_SERVICES_NSDATE_ADDITIONS_H

#include <chrono>
#include <cstdint>

namespace NSDateAdditions {

using Date = std::chrono::system_clock::time_point;

bool sharesCalanderDateWithDate(Date date, Date other);
bool isEarlierThan(Date date, Date other);
bool isLaterThan(Date date, Date other);
inline Date now() { return std::chrono::system_clock::now(); }
// Whole days from `since` to `date`; negative when `since` is later.
int64_t daysSinceDate(Date date, Date since);
constexpr double anHour() { return 3600; }
constexpr double aDay() { return 86400; }
constexpr double aWeek() { return 604800; }

}  // namespace NSDateAdditions

#endif

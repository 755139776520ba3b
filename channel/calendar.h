// The competitions' calendar: the day and ISO week a moment falls in, in the server's time zone.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tundrix::channel {

// "2026-12-07" for a moment (seconds since 1970) in the server's local time.
std::string dayOf(int64_t unixSeconds);
// "2026-W50": the ISO 8601 week of that day.
std::string weekOf(int64_t unixSeconds);

// "2027-01-15T09:00:00+01:00": the moment in the server's local time with its offset, for the CSV files.
std::string localTime(int64_t unixSeconds);
// The first moment of a day ("YYYY-MM-DD", checked with isDay first), or of the day that many days later.
int64_t dayStart(const std::string& day, int daysLater = 0);

// The Monday and the Sunday ("YYYY-MM-DD") of an ISO week ("YYYY-Www", checked with isWeek first).
std::pair<std::string, std::string> daysOfWeek(const std::string& week);

// Whether text is a well-formed day ("YYYY-MM-DD", a real date) or week ("YYYY-Www", week 01..53).
bool isDay(std::string_view text);
bool isWeek(std::string_view text);

} // namespace tundrix::channel

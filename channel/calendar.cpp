// Days and ISO weeks of moments, and checks of the operator's day and week arguments.
#include "channel/calendar.h"

#include <chrono>
#include <ctime>

namespace tundrix::channel {
namespace {

std::string format(int64_t unixSeconds, const char* pattern) {
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    localtime_r(&t, &local);
    char out[32];
    const size_t n = std::strftime(out, sizeof out, pattern, &local);
    return std::string(out, n);
}

bool digits(std::string_view text, size_t from, size_t count, int& value) {
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

} // namespace

std::string dayOf(int64_t unixSeconds) {
    return format(unixSeconds, "%Y-%m-%d");
}

std::string weekOf(int64_t unixSeconds) {
    return format(unixSeconds, "%G-W%V");
}

std::string localTime(int64_t unixSeconds) {
    // strftime writes the offset as +0100; ISO 8601 spreadsheets read +01:00.
    const std::string offset = format(unixSeconds, "%z");
    return format(unixSeconds, "%Y-%m-%dT%H:%M:%S") + offset.substr(0, 3) + ":" + offset.substr(3);
}

int64_t dayStart(const std::string& day, int daysLater) {
    std::tm t{};
    t.tm_year = std::stoi(day.substr(0, 4)) - 1900;
    t.tm_mon = std::stoi(day.substr(5, 2)) - 1;
    t.tm_mday = std::stoi(day.substr(8, 2)) + daysLater;
    t.tm_isdst = -1; // the zone's own rule for that day
    return static_cast<int64_t>(std::mktime(&t));
}

std::pair<std::string, std::string> daysOfWeek(const std::string& week) {
    // The 4th of January is always in week 1; noon, so that no change of the clocks moves the day.
    const std::string fourth = week.substr(0, 4) + "-01-04";
    const auto t = static_cast<std::time_t>(dayStart(fourth) + 12 * 3600);
    std::tm local{};
    localtime_r(&t, &local);
    const int fromMonday = (local.tm_wday + 6) % 7;
    const int monday = 7 * (std::stoi(week.substr(6, 2)) - 1) - fromMonday;
    return {dayOf(dayStart(fourth, monday) + 12 * 3600), dayOf(dayStart(fourth, monday + 6) + 12 * 3600)};
}

bool isDay(std::string_view text) {
    int year = 0, month = 0, day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(text, 0, 4, year) ||
        !digits(text, 5, 2, month) || !digits(text, 8, 2, day))
        return false;
    return std::chrono::year_month_day{std::chrono::year{year},
                                       std::chrono::month{static_cast<unsigned>(month)},
                                       std::chrono::day{static_cast<unsigned>(day)}}
        .ok();
}

bool isWeek(std::string_view text) {
    int year = 0, week = 0;
    return text.size() == 8 && text[4] == '-' && text[5] == 'W' && digits(text, 0, 4, year) &&
           digits(text, 6, 2, week) && week >= 1 && week <= 53;
}

} // namespace tundrix::channel

// Measures the lunar conversion over every Gregorian date from 1900-01-01 to 2100-12-31:
//  - baseline: the table walk, counting days from the first day of the table and subtracting
//    month lengths from the first year table entry on, for each date;
//  - numbers:  SolarToLunarNumbers, year, month, leap flag and day only;
//  - full:     SolarToLunar, with display text and holiday key.
// Each round times all three; the figures printed are the medians over the rounds.

#include "calendar/LunarCalendar.h"
#include "calendar/LunarYearTable.h"

#include <QDate>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Ymd
{
    int y;
    int m;
    int d;
};

constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

constexpr bool isLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// Days since a fixed epoch with the full Gregorian leap-year rule.
constexpr long dayCount(int y, int m, int d)
{
    const long past = y - 1;
    return 365 * past + past / 4 - past / 100 + past / 400 + kDaysBefore[m - 1] + d +
           (isLeapYear(y) && m > 2);
}

constexpr long kTableStart = dayCount(1900, 1, 31);

LunarNumbers walkFromFirstEntry(const Ymd& date)
{
    long t = dayCount(date.y, date.m, date.d) - kTableStart + 1; // 1 on the table's first day
    if (t < 1)
        return {};
    int year = LunarYearTable::kFirstYear;
    for (const std::uint32_t entry : LunarYearTable::kEntries) {
        const int months = entry >= 0xFFF ? 13 : 12;
        for (int n = months - 1; n >= 0; --n) {
            const int length = 29 + static_cast<int>((entry >> n) & 1);
            if (t <= length) {
                const int k = months - n;
                if (months == 12)
                    return {year, k, false, static_cast<int>(t)};
                const int leapAfter = static_cast<int>(entry >> 16);
                if (k == leapAfter + 1)
                    return {year, leapAfter, true, static_cast<int>(t)};
                return {year, k > leapAfter + 1 ? k - 1 : k, false, static_cast<int>(t)};
            }
            t -= length;
        }
        ++year;
    }
    return {};
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Keeps the optimiser from dropping conversions whose results are otherwise unused.
volatile std::uint64_t g_sink = 0;

std::uint64_t mix(const LunarNumbers& n)
{
    return static_cast<std::uint64_t>(n.nYear * 1000 + n.nMonth * 40 + n.nDay + (n.bLeap ? 500 : 0));
}

} // namespace

int main(int argc, char* argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    std::vector<QDate> dates;
    std::vector<Ymd> ymds;
    for (QDate date(1900, 1, 1); date <= QDate(2100, 12, 31); date = date.addDays(1)) {
        dates.push_back(date);
        ymds.push_back({date.year(), date.month(), date.day()});
    }
    const double count = static_cast<double>(dates.size());

    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < dates.size(); ++i) {
        if (walkFromFirstEntry(ymds[i]) != SolarToLunarNumbers(dates[i]))
            ++mismatches;
    }
    std::printf("%zu dates, 1900-01-01 .. 2100-12-31; lookup and table walk disagree on %zu\n", dates.size(),
                mismatches);
    if (mismatches != 0)
        return 1;

    // The fast paths are repeated over the dates so that each timing lasts long enough to read.
    constexpr int kNumberPasses = 40;
    constexpr int kFullPasses = 4;
    std::vector<double> baseline, numbers, full, ratio;
    for (int r = 0; r < rounds; ++r) {
        std::uint64_t sum = 0;

        auto start = Clock::now();
        for (const Ymd& ymd : ymds)
            sum += mix(walkFromFirstEntry(ymd));
        baseline.push_back(count / secondsSince(start));

        start = Clock::now();
        for (int pass = 0; pass < kNumberPasses; ++pass) {
            for (const QDate& date : dates)
                sum += mix(SolarToLunarNumbers(date));
        }
        numbers.push_back(count * kNumberPasses / secondsSince(start));

        start = Clock::now();
        for (int pass = 0; pass < kFullPasses; ++pass) {
            for (const QDate& date : dates) {
                const LunarDate lunar = SolarToLunar(date);
                sum += static_cast<std::uint64_t>(lunar.strText.size() + lunar.strKey.size() + lunar.nDay);
            }
        }
        full.push_back(count * kFullPasses / secondsSince(start));

        ratio.push_back(numbers.back() / baseline.back());
        g_sink = g_sink + sum;
        std::printf(
            "round %d: baseline %8.2f M/s  numbers %8.2f M/s  full %6.2f M/s  numbers/baseline %6.0fx\n",
            r + 1, baseline.back() / 1e6, numbers.back() / 1e6, full.back() / 1e6, ratio.back());
    }
    std::printf("median of %d rounds: baseline %.2f M dates/s, numbers %.2f M dates/s, full %.2f M dates/s, "
                "numbers/baseline %.0fx\n",
                rounds, median(baseline) / 1e6, median(numbers) / 1e6, median(full) / 1e6, median(ratio));
    return 0;
}

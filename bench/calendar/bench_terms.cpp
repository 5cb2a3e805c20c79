// Measures the solar terms of 1900-2100 (24 x 201 = 4824 moments) against the lunar conversion
// of as many dates (the terms' own days):
//  - computed: every moment worked out afresh, as the first use of a year does;
//  - year lists: SolarTermsOfYear for every year once the years are kept, with names and times;
//  - lunar:    SolarToLunar, with display text and holiday key, of the 4824 dates.
// Each round times all three; the figures printed are the medians over the rounds.

#include "calendar/LunarCalendar.h"
#include "calendar/SolarTerms.h"

#include <QDate>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Keeps the optimiser from dropping work whose results are otherwise unused.
volatile std::int64_t g_sink = 0;

} // namespace

int main(int argc, char* argv[])
{
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 7;

    std::vector<QDate> dates;
    for (int year = kSolarTermFirstYear; year <= kSolarTermLastYear; ++year) {
        for (const SolarTerm& term : SolarTermsOfYear(year))
            dates.push_back(term.moment.date());
    }
    const double count = static_cast<double>(dates.size());
    std::printf("%zu terms, %d-%d\n", dates.size(), kSolarTermFirstYear, kSolarTermLastYear);

    // The lookups are repeated so that each timing lasts long enough to read.
    constexpr int kListPasses = 20;
    constexpr int kLunarPasses = 200;
    std::vector<double> computed, lists, lunar, ratio;
    for (int r = 0; r < rounds; ++r) {
        std::int64_t sum = 0;

        auto start = Clock::now();
        for (int year = kSolarTermFirstYear; year <= kSolarTermLastYear; ++year) {
            for (int k = 0; k < 24; ++k)
                sum += ComputeSolarTermMSecs(year, k);
        }
        computed.push_back(microsecondsSince(start) / count);

        start = Clock::now();
        for (int pass = 0; pass < kListPasses; ++pass) {
            for (int year = kSolarTermFirstYear; year <= kSolarTermLastYear; ++year) {
                for (const SolarTerm& term : SolarTermsOfYear(year))
                    sum += term.moment.time().minute() + term.strName.size();
            }
        }
        lists.push_back(microsecondsSince(start) / (count * kListPasses));

        start = Clock::now();
        for (int pass = 0; pass < kLunarPasses; ++pass) {
            for (const QDate& date : dates) {
                const LunarDate converted = SolarToLunar(date);
                sum += converted.strText.size() + converted.nDay;
            }
        }
        lunar.push_back(microsecondsSince(start) / (count * kLunarPasses));

        ratio.push_back(computed.back() / lunar.back());
        g_sink = g_sink + sum;
        std::printf("round %d: computed %7.3f us/term  year lists %6.3f us/term  lunar %6.4f us/date  "
                    "computed/lunar %5.0fx\n",
                    r + 1, computed.back(), lists.back(), lunar.back(), ratio.back());
    }
    std::printf("median of %d rounds: computed %.3f us/term (%.1f ms for all %.0f), year lists %.3f us/term, "
                "lunar %.4f us/date, computed/lunar %.0fx\n",
                rounds, median(computed), median(computed) * count / 1000, count, median(lists),
                median(lunar), median(ratio));
    return 0;
}

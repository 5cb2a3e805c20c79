#include "calendar/LunarCalendar.h"

#include "calendar/LunarYearTable.h"

#include <QStringView>
#include <array>
#include <cstdint>

namespace {

using LunarYearTable::kEntries;
using LunarYearTable::kFirstJulianDay;
using LunarYearTable::kFirstYear;
using LunarYearTable::kLastJulianDay;

// Walking the year table month by month for every date costs over a thousand steps for the
// later years. Instead the table is unfolded at compile time into the first day of every
// lunar month, plus an index from 16-day blocks to the month holding each block's first day,
// so that a conversion is one subtraction, two loads and one comparison.

struct MonthStart
{
    std::int32_t nFirstDay; // days since the first day of the table
    std::int16_t nYear;
    std::int8_t nMonth;
    bool bLeap;
};

constexpr int monthsInYear(std::uint32_t entry)
{
    return entry >= 0xFFF ? 13 : 12;
}

constexpr int countMonths()
{
    int n = 0;
    for (const std::uint32_t entry : kEntries)
        n += monthsInYear(entry);
    return n;
}

constexpr int kMonthCount = countMonths();
constexpr int kDayCount = static_cast<int>(kLastJulianDay - kFirstJulianDay + 1);

// One entry more than there are months: the last one starts the day after the table, so that
// every month ends where the next entry starts.
constexpr auto kMonthStarts = [] {
    std::array<MonthStart, kMonthCount + 1> starts{};
    int day = 0;
    int i = 0;
    for (int y = 0; y < static_cast<int>(kEntries.size()); ++y) {
        const std::uint32_t entry = kEntries[y];
        const int months = monthsInYear(entry);
        const int leapAfter = months == 13 ? static_cast<int>(entry >> 16) : 0;
        for (int k = 1; k <= months; ++k) {
            const bool leap = k == leapAfter + 1 && leapAfter != 0;
            const int month = leapAfter != 0 && k > leapAfter ? k - 1 : k;
            starts[i++] = {day, static_cast<std::int16_t>(kFirstYear + y), static_cast<std::int8_t>(month),
                           leap};
            day += 29 + static_cast<int>((entry >> (months - k)) & 1);
        }
    }
    starts[i] = {day, 0, 0, false};
    return starts;
}();

static_assert(kMonthStarts[kMonthCount].nFirstDay == kDayCount,
              "the month lengths of the year table do not add up to its first and last day");

// The month of a block's first day may end on that very day, and the next month lasts at
// least 29 days; so with 16-day blocks every day of a block lies in the month of the block's
// first day or in the one after it.
constexpr int kBlockShift = 4;
static_assert((1 << kBlockShift) <= 29 + 1);
constexpr int kBlockCount = (kDayCount >> kBlockShift) + 1;

constexpr auto kBlockMonths = [] {
    std::array<std::uint16_t, kBlockCount> blocks{};
    int month = 0;
    for (int b = 0; b < kBlockCount; ++b) {
        const int day = b << kBlockShift;
        while (month < kMonthCount - 1 && kMonthStarts[month + 1].nFirstDay <= day)
            ++month;
        blocks[b] = static_cast<std::uint16_t>(month);
    }
    return blocks;
}();

constexpr char16_t kStems[] = u"甲乙丙丁戊己庚辛壬癸";
constexpr char16_t kBranches[] = u"子丑寅卯辰巳午未申酉戌亥";
constexpr char16_t kAnimals[] = u"鼠牛虎兔龙蛇马羊猴鸡狗猪";

constexpr QStringView kMonthNames[] = {u"正", u"二", u"三", u"四", u"五",   u"六",
                                       u"七", u"八", u"九", u"十", u"十一", u"腊"};

constexpr QStringView kDayNames[] = {u"初一", u"初二", u"初三", u"初四", u"初五", u"初六", u"初七", u"初八",
                                     u"初九", u"初十", u"十一", u"十二", u"十三", u"十四", u"十五", u"十六",
                                     u"十七", u"十八", u"十九", u"二十", u"廿一", u"廿二", u"廿三", u"廿四",
                                     u"廿五", u"廿六", u"廿七", u"廿八", u"廿九", u"三十"};

QString lunarText(const LunarNumbers& n)
{
    // The sixty-year cycle counts from a 甲子 year such as 1984.
    const int cycle = (n.nYear - 4) % 60;
    QString text;
    text.reserve(12);
    text.append(QChar(kAnimals[cycle % 12]))
        .append(u'(')
        .append(QChar(kStems[cycle % 10]))
        .append(QChar(kBranches[cycle % 12]))
        .append(u")年");
    if (n.bLeap)
        text.append(u'闰');
    text.append(kMonthNames[n.nMonth - 1]).append(u'月').append(kDayNames[n.nDay - 1]);
    return text;
}

QChar digit(int value)
{
    return QChar(static_cast<char16_t>(u'0' + value));
}

HolidayKey holidayKey(int nMonth, int nDay)
{
    HolidayKey key(4, Qt::Uninitialized);
    QChar* p = key.data();
    p[0] = digit(nMonth / 10);
    p[1] = digit(nMonth % 10);
    p[2] = digit(nDay / 10);
    p[3] = digit(nDay % 10);
    return key;
}

} // namespace

LunarNumbers SolarToLunarNumbers(QDate date)
{
    // Unsigned, so that dates before the table (and the invalid date's huge negative day
    // number) wrap to large values and fall out with the one range check.
    const auto offset =
        static_cast<std::uint64_t>(date.toJulianDay()) - static_cast<std::uint64_t>(kFirstJulianDay);
    if (offset >= static_cast<std::uint64_t>(kDayCount))
        return {};
    const int day = static_cast<int>(offset);
    int i = kBlockMonths[day >> kBlockShift];
    if (day >= kMonthStarts[i + 1].nFirstDay)
        ++i;
    const MonthStart& m = kMonthStarts[i];
    return {m.nYear, m.nMonth, m.bLeap, day - m.nFirstDay + 1};
}

LunarDate SolarToLunar(QDate date)
{
    const LunarNumbers n = SolarToLunarNumbers(date);
    if (!n.isValid())
        return {};
    return {n.nYear, n.nMonth, n.bLeap, n.nDay, lunarText(n), holidayKey(n.nMonth, n.nDay)};
}

LunarDate SolarToLunar(int nYear, int nMonth, int nDay)
{
    return SolarToLunar(QDate(nYear, nMonth, nDay));
}

QDate LunarTableFirstDay()
{
    return QDate::fromJulianDay(kFirstJulianDay);
}

QDate LunarTableLastDay()
{
    return QDate::fromJulianDay(kLastJulianDay);
}

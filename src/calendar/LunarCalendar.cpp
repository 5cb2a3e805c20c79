#include "calendar/LunarCalendar.h"

#include "calendar/LunarYearTable.h"

#include <QStringView>
#include <array>
#include <atomic>
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

constexpr char16_t kMonthNames[][3] = {u"正", u"二", u"三", u"四", u"五",   u"六",
                                       u"七", u"八", u"九", u"十", u"十一", u"腊"};

constexpr char16_t kDayNames[][3] = {u"初一", u"初二", u"初三", u"初四", u"初五", u"初六", u"初七", u"初八",
                                     u"初九", u"初十", u"十一", u"十二", u"十三", u"十四", u"十五", u"十六",
                                     u"十七", u"十八", u"十九", u"二十", u"廿一", u"廿二", u"廿三", u"廿四",
                                     u"廿五", u"廿六", u"廿七", u"廿八", u"廿九", u"三十"};

// The day view, the holiday list and the reminder checks ask for the texts of the same few
// months over and over, so a conversion must not allocate. A month's thirty texts are written
// once, the first time one of them is asked for, into a buffer that lives as long as the
// program; a conversion hands out a string that refers to that buffer, which costs neither an
// allocation nor a reference count. A month is named by its year in the sixty-year cycle, its
// number and whether it is a leap month, so there are never more than 60 x 12 x 2 buffers
// (about 1 MB) however far the dates range. Two threads that meet an empty slot both write a
// buffer; the first to publish wins and the other's goes.
struct MonthTexts
{
    static constexpr int kMaxLength = 12; // "猪(丁亥)年闰十一月廿三"
    int nLength = 0;                      // the same for every day of the month
    char16_t chars[30 * kMaxLength] = {};
};

constexpr int kMonthKeys = 60 * 12 * 2;
std::array<std::atomic<const MonthTexts*>, kMonthKeys> g_monthTexts{};

const MonthTexts* makeMonthTexts(int cycle, int nMonth, bool bLeap)
{
    auto* texts = new MonthTexts;
    const char16_t* monthName = kMonthNames[nMonth - 1];
    const int monthLength = monthName[1] == u'\0' ? 1 : 2;
    texts->nLength = 6 + (bLeap ? 1 : 0) + monthLength + 1 + 2;
    for (int d = 0; d < 30; ++d) {
        char16_t* p = texts->chars + d * texts->nLength;
        *p++ = kAnimals[cycle % 12];
        *p++ = u'(';
        *p++ = kStems[cycle % 10];
        *p++ = kBranches[cycle % 12];
        *p++ = u')';
        *p++ = u'年';
        if (bLeap)
            *p++ = u'闰';
        for (int i = 0; i < monthLength; ++i)
            *p++ = monthName[i];
        *p++ = u'月';
        *p++ = kDayNames[d][0];
        *p = kDayNames[d][1];
    }
    return texts;
}

QString lunarText(const LunarNumbers& n)
{
    // The sixty-year cycle counts from a 甲子 year such as 1984.
    const int cycle = (n.nYear - 4) % 60;
    std::atomic<const MonthTexts*>& slot = g_monthTexts[(cycle * 12 + n.nMonth - 1) * 2 + (n.bLeap ? 1 : 0)];
    const MonthTexts* texts = slot.load(std::memory_order_acquire);
    if (texts == nullptr) {
        const MonthTexts* made = makeMonthTexts(cycle, n.nMonth, n.bLeap);
        const MonthTexts* expected = nullptr;
        if (slot.compare_exchange_strong(expected, made, std::memory_order_acq_rel)) {
            texts = made;
        } else {
            delete made;
            texts = expected;
        }
    }
    return QString::fromRawData(reinterpret_cast<const QChar*>(texts->chars + (n.nDay - 1) * texts->nLength),
                                texts->nLength);
}

// The 12 x 30 holiday keys, "0101" to "1230", laid out at compile time.
constexpr auto kHolidayKeys = [] {
    std::array<char16_t, 12 * 30 * 4> keys{};
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= 30; ++d) {
            char16_t* p = keys.data() + ((m - 1) * 30 + d - 1) * 4;
            p[0] = static_cast<char16_t>(u'0' + m / 10);
            p[1] = static_cast<char16_t>(u'0' + m % 10);
            p[2] = static_cast<char16_t>(u'0' + d / 10);
            p[3] = static_cast<char16_t>(u'0' + d % 10);
        }
    }
    return keys;
}();

HolidayKey holidayKey(int nMonth, int nDay)
{
    return QString::fromRawData(
        reinterpret_cast<const QChar*>(kHolidayKeys.data() + ((nMonth - 1) * 30 + nDay - 1) * 4), 4);
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

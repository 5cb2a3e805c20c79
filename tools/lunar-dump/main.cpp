// Prints yyyy-mm-dd,lunarYear,lunarMonth,leap,lunarDay,text,key,term for every date from FROM to
// TO (both included). Dates without a lunar date print zeros and two empty fields. The last field
// is empty except on a solar term's day, where it holds the term's name and its moment in
// Beijing time to the second, "冬至 2024-12-21T17:20:21+08:00", so that long ranges can be
// compared with other sources to the second.

#include "calendar/LunarCalendar.h"
#include "calendar/SolarTerms.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstdio>

namespace {

// Exactly yyyy-mm-dd: the ISO reader alone would also take a time or any tail after the date.
QDate parseDate(const char* arg)
{
    const QString text = QString::fromLocal8Bit(arg);
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() && date.toString(Qt::ISODate) == text ? date : QDate();
}

int usage(const char* message)
{
    std::fprintf(stderr, "lunar-dump: %s\nusage: lunar-dump FROM TO   (dates as yyyy-mm-dd)\n", message);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3)
        return usage("expected two dates");
    const QDate from = parseDate(argv[1]);
    const QDate to = parseDate(argv[2]);
    if (!from.isValid() || !to.isValid())
        return usage("a date is not a valid yyyy-mm-dd");
    if (from > to)
        return usage("FROM is after TO");

    for (QDate date = from; date <= to; date = date.addDays(1)) {
        const LunarDate lunar = SolarToLunar(date);
        const SolarTerm term = SolarTermOn(date);
        const QString termText =
            term.isValid() ? term.strName + u' ' + term.moment.toString(Qt::ISODate) : QString();
        const QString line = date.toString(Qt::ISODate) + u',' + QString::number(lunar.nYear) + u',' +
                             QString::number(lunar.nMonth) + u',' + (lunar.bLeap ? u'1' : u'0') + u',' +
                             QString::number(lunar.nDay) + u',' + lunar.strText + u',' + lunar.strKey + u',' +
                             termText + u'\n';
        const QByteArray bytes = line.toUtf8();
        if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) !=
            static_cast<size_t>(bytes.size()))
            return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

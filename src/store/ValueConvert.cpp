#include "store/ValueConvert.h"

#include <QLocale>
#include <cmath>

namespace {
const QDate kSerialBase(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400LL * 1000;
} // namespace

QString ValueToText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Short:
        return QString::number(value.value<short>());
    case QMetaType::Int:
    case QMetaType::Long:
        return QString::number(static_cast<qint32>(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULong:
        // "%d" of an unsigned 32-bit value shows its bits as a signed number.
        return QString::number(static_cast<qint32>(static_cast<quint32>(value.toULongLong())));
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return QString::number(static_cast<unsigned char>(value.toInt()));
    case QMetaType::UShort:
        return QString::number(value.value<ushort>());
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        // Only the low 32 bits are shown, as a signed number.
        return QString::number(static_cast<qint32>(static_cast<quint32>(value.toULongLong() & 0xFFFFFFFFu)));
    case QMetaType::Float:
        return QString::asprintf("%.4f", double(value.toFloat()));
    case QMetaType::Double:
        return QString::asprintf("%.8f", value.toDouble());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::QString:
    case QMetaType::QChar:
        return value.toString();
    case QMetaType::QByteArray:
        return QStringLiteral("[BLOB]");
    default:
        return QStringLiteral("UN_KNOW");
    }
}

short ValueToShort(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong: // SQLite's INTEGER storage class
    case QMetaType::ULongLong:
        return static_cast<short>(static_cast<quint16>(value.toULongLong() & 0xFFFF));
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return static_cast<short>(static_cast<unsigned char>(value.toInt()));
    default:
        return 0;
    }
}

QDateTime ValueToDate(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QDateTime();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return value.toDate().startOfDay();
    case QMetaType::Double: // SQLite's REAL storage class: a date serial
        return SerialToDate(value.toDouble());
    default:
        return QDateTime();
    }
}

double DateToSerial(const QDateTime& value)
{
    const qint64 days = kSerialBase.daysTo(value.date());
    const double fraction = double(value.time().msecsSinceStartOfDay()) / double(kMsPerDay);
    // Before the base day the whole part counts down while the fraction still counts up.
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

QDateTime SerialToDate(double serial)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return QDateTime();
    const double whole = std::trunc(serial);
    qint64 ms = std::llround(std::fabs(serial - whole) * double(kMsPerDay));
    qint64 days = static_cast<qint64>(whole);
    if (ms >= kMsPerDay) { // a fraction that rounds up to midnight is the next day's start
        ms -= kMsPerDay;
        ++days;
    }
    return QDateTime(kSerialBase.addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QString SqlEscape(const QString& text)
{
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return out;
}

QString SqlQuote(const QString& text) { return u'\'' + SqlEscape(text) + u'\''; }

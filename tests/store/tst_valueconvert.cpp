#include "store/ValueConvert.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestValueConvert : public QObject
{
    Q_OBJECT

private slots:
    void valueToText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QVariant() << QString();
        QTest::newRow("null integer") << QVariant(QMetaType(QMetaType::LongLong)) << QString();
        QTest::newRow("short negative") << QVariant::fromValue<short>(-12) << u"-12"_s;
        QTest::newRow("unsigned int top bit") << QVariant(4294967295u) << u"-1"_s;
        QTest::newRow("signed byte as unsigned") << QVariant::fromValue<signed char>(-1) << u"255"_s;
        QTest::newRow("64-bit low word") << QVariant(qlonglong(0x100000005LL)) << u"5"_s;
        QTest::newRow("64-bit low word sign") << QVariant(qlonglong(0x80000000LL)) << u"-2147483648"_s;
        QTest::newRow("single") << QVariant(1.5f) << u"1.5000"_s;
        QTest::newRow("double") << QVariant(1.0 / 3.0) << u"0.33333333"_s;
        QTest::newRow("date and time")
            << QVariant(QDateTime(QDate(2009, 3, 1), QTime(8, 5, 0))) << u"2009-03-01 08:05:00"_s;
        QTest::newRow("date only") << QVariant(QDate(2009, 3, 1)) << u"2009-03-01 00:00:00"_s;
        QTest::newRow("true") << QVariant(true) << u"TRUE"_s;
        QTest::newRow("text") << QVariant(u"会议 'a' %_\\"_s) << u"会议 'a' %_\\"_s;
        QTest::newRow("blob") << QVariant(QByteArray("\x01\x02", 2)) << u"[BLOB]"_s;
        QTest::newRow("other") << QVariant(QPoint(1, 2)) << u"UN_KNOW"_s;
    }
    void valueToText()
    {
        QFETCH(QVariant, value);
        QTEST(ValueToText(value), "text");
    }

    // Short keeps the low 16 bits of an integer and answers 0 for anything else; dates come from
    // day serials or date-times only.
    void shortAndDate_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("shortValue");
        QTest::addColumn<QDateTime>("date");
        const QDateTime none;
        QTest::newRow("sqlite integer") << QVariant(qlonglong(2026)) << 2026 << none;
        QTest::newRow("integer keeps 16 bits") << QVariant(qlonglong(0x12345)) << 0x2345 << none;
        QTest::newRow("integer 16-bit sign") << QVariant(qlonglong(0xFFFF)) << -1 << none;
        QTest::newRow("byte") << QVariant::fromValue<signed char>(-1) << 255 << none;
        QTest::newRow("null") << QVariant(QMetaType(QMetaType::LongLong)) << 0 << none;
        QTest::newRow("text") << QVariant(u"2009-03-01"_s) << 0 << none;
        QTest::newRow("serial with time")
            << QVariant(39873.25) << 0 << QDateTime(QDate(2009, 3, 1), QTime(6, 0));
        QTest::newRow("before base") << QVariant(-1.25) << 0 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
        QTest::newRow("rounds up to next day")
            << QVariant(39873.9999999999) << 0 << QDateTime(QDate(2009, 3, 2), QTime(0, 0));
        QTest::newRow("date-time") << QVariant(QDateTime(QDate(2020, 2, 29), QTime(1, 2, 3))) << 0
                                   << QDateTime(QDate(2020, 2, 29), QTime(1, 2, 3));
    }
    void shortAndDate()
    {
        QFETCH(QVariant, value);
        QFETCH(QDateTime, date);
        QTEST(int(ValueToShort(value)), "shortValue");
        QCOMPARE(ValueToDate(value), date);
        QCOMPARE(ValueToDate(value).isNull(), date.isNull());
    }

    // The compaction names its copy in a statement.
    void sqlQuote() { QCOMPARE(SqlQuote(u"O'Neil's"_s), u"'O''Neil''s'"_s); }
};

QTEST_GUILESS_MAIN(TestValueConvert)
#include "tst_valueconvert.moc"

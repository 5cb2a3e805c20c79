#include "TestFiles.h"
#include "app/PlannerContext.h"
#include "timetable/Timetable.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every byte of a timetable with two courses in the Chinese code page.
QByteArray ReferenceFile()
{
    const QByteArray empty = "false\r\n\r\n0.00\r\n\r\n\r\n\r\n0\r\n\r\n\r\n";
    QByteArray bytes = "\xd5\xc5\xc0\xcf\xca\xa6\r\n"
                       "2009-2010\xc4\xea\xb5\xda\xd2\xbb\xd1\xa7\xc6\xda\r\n"
                       "08:00;10:05;14:30;16:20;19:00;\r\n"
                       "/* KCBINFO-35 ROW */\r\n";
    bytes += "true\r\n\xb8\xdf\xb5\xc8\xca\xfd\xd1\xa7\r\n4.50\r\n1-16 "
             "\xd6\xdc\r\n\xd7\xa8\xd2\xb5\xb1\xd8\xd0\xeb\xbf\xce\r\n"
             "\xbc\xc6\xbf\xc6\x30\x39\x30\x31\r\n62\r\nA\xc2\xa5\x31\x30\x31\r\n"
             "\xb4\xf3\xbd\xcc\xca\xd2\xa3\xa8\xd3\xd0\xb6\xe0\xc3\xbd\xcc\xe5\xa3\xa9\r\n";
    for (int i = 1; i < 34; ++i)
        bytes += empty;
    bytes += "true\r\n\xcc\xe5\xd3\xfd\r\n1.00\r\n3-18 \xd6\xdc\r\n\r\n\r\n-5\r\n\r\n\r\n";
    return bytes + "/* KCBINFO-35 ROW OVER*/";
}

// Nine lines of one slot holding a course named \a name.
QByteArray Course(const QByteArray& name)
{
    return "true\r\n" + name + "\r\n2\r\n\r\n\r\n\r\n0\r\n\r\n\r\n";
}

} // namespace

class TestTimetable : public QObject
{
    Q_OBJECT

private slots:
    void referenceFileReadsAndWritesBackIdentically()
    {
        QTemporaryDir dir;
        const QByteArray reference = ReferenceFile();
        QVERIFY(WriteAll(dir.filePath(CTimetable::FileName()), reference));
        CTimetable timetable(dir.path());
        QVERIFY(timetable.Load());
        QCOMPARE(timetable.m_strTeacher, QStringLiteral("张老师"));
        QCOMPARE(timetable.m_strTerm, QStringLiteral("2009-2010年第一学期"));
        QCOMPARE(timetable.m_strClassTime[1], QStringLiteral("10:05"));
        QVERIFY(!timetable.m_entries[1].bHasCourse);
        QCOMPARE(timetable.TooltipText(0),
                 QStringLiteral("课程名称:高等数学\n课程学分:4.50\n行课时间:1-16 周\n"
                                "课程类型:专业必须课\n选课班级:计科0901\n学生人数:62\n"
                                "上课地点:A楼101\n教室类型:大教室（有多媒体）"));
        QCOMPARE(timetable.TooltipText(34),
                 QStringLiteral("课程名称:体育\n课程学分:1.00\n行课时间:3-18 周\n"
                                "课程类型:\n选课班级:\n学生人数:-5\n上课地点:\n教室类型:"));

        QVERIFY(QFile::remove(dir.filePath(CTimetable::FileName())));
        QVERIFY(timetable.Save());
        QCOMPARE(ReadAll(dir.filePath(CTimetable::FileName())), reference);
    }

    // A damaged file never stops the read: what is missing is empty, flags false, numbers 0.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<bool>("hasCourse"); // slot 0
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("credit");
        QTest::addColumn<int>("students");
        const QByteArray head = "T\r\nterm\r\n08:20;10:20;14:00;16:00;19:00;\r\n/* KCBINFO-35 ROW */\r\n";
        const QStringList times = QStringLiteral("08:20 10:20 14:00 16:00 19:00").split(u' ');
        QTest::newRow("empty file") << QByteArray() << QStringList(5) << false << QString() << 0.0 << 0;
        QTest::newRow("cut in the first slot")
            << head + "true\r\nMaths\r\n3.5" << times << true << QStringLiteral("Maths") << 3.5 << 0;
        QTest::newRow("TRUE in capitals") << head + "TRUE\r\nA\r\n1\r\n\r\n\r\n\r\n9\r\n"
                                          << times << false << QStringLiteral("A") << 1.0 << 9;
        QTest::newRow("true with a trailing blank") << head + "true \r\nA\r\n"
                                                    << times << false << QStringLiteral("A") << 0.0 << 0;
        QTest::newRow("numbers that are no numbers") << head + "true\r\nA\r\nabc\r\n\r\n\r\n\r\nsixty\r\n"
                                                     << times << true << QStringLiteral("A") << 0.0 << 0;
        QTest::newRow("numbers with trailing text") << head + "true\r\nA\r\n 2.5分\r\n\r\n\r\n\r\n 42人\r\n"
                                                    << times << true << QStringLiteral("A") << 2.5 << 42;
        QTest::newRow("LF line ends, stray CR kept")
            << QByteArray("T\nterm\n8:00;9:00;;\n\ntrue\nA\rB\n1e2\n")
            << QStringList{QStringLiteral("8:00"), QStringLiteral("9:00"), QString(), QString(), QString()}
            << true << QStringLiteral("A\rB") << 100.0 << 0;
        QTest::newRow("invalid bytes")
            << head + "true\r\n\xff\xd6\r\n1e999\r\n\r\n\r\n\r\n99999999999\r\n"
            << times << true << QStringLiteral("\uFFFD\uFFFD") << 0.0 << 2147483647;
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        CTimetable timetable;
        timetable.ReadFrom(bytes);
        QTEST(QStringList(timetable.m_strClassTime.begin(), timetable.m_strClassTime.end()), "times");
        const CourseEntry& entry = timetable.m_entries[0];
        QTEST(entry.bHasCourse, "hasCourse");
        QTEST(entry.strName, "name");
        QTEST(entry.dCredit, "credit");
        QTEST(entry.nStudents, "students");
        QVERIFY(!timetable.m_entries[34].bHasCourse);
        QVERIFY(timetable.m_entries[34].strName.isEmpty());
        // Whatever came in goes out again as it reads.
        CTimetable again;
        again.ReadFrom(timetable.ToBytes());
        QCOMPARE(again.ToBytes(), timetable.ToBytes());
    }

    // Weeks and class times as a hand-edited file may give them, read as C's atoi reads.
    void handEditedFields()
    {
        for (const auto& [text, first, last] :
             {std::tuple{QString(), 0, 0}, std::tuple{QStringLiteral("3-9"), 3, 9}}) {
            int nFirst = -1, nLast = -1;
            CTimetable::SplitWeeks(text, nFirst, nLast);
            QCOMPARE(QPair(nFirst, nLast), QPair(first, last));
        }
        for (const auto& [text, hour, minute] :
             {std::tuple{QStringLiteral("8:20"), 8, 20}, std::tuple{QStringLiteral("8:5"), 8, 0},
              std::tuple{QStringLiteral("时间"), 0, 0}}) {
            int nHour = -1, nMinute = -1;
            CPlannerContext::SplitHourMinute(text, nHour, nMinute);
            QCOMPARE(QPair(nHour, nMinute), QPair(hour, minute));
        }
    }

    // Colours by first appearance, kept over reloads; from the eleventh name on, colour 9.
    void colours()
    {
        QByteArray bytes = "T\r\nterm\r\n;;;;;\r\n/* KCBINFO-35 ROW */\r\n";
        for (int i = 0; i < 12; ++i)
            bytes += Course("C" + QByteArray::number(i));
        bytes += Course("C0");
        CTimetable timetable;
        timetable.ReadFrom(bytes);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(timetable.m_entries[size_t(i)].crColor, timetable.m_palette[size_t(i)]);
        QCOMPARE(timetable.m_entries[10].crColor, QColor(102, 153, 153));
        QCOMPARE(timetable.m_entries[11].crColor, QColor(102, 153, 153));
        QCOMPARE(timetable.m_entries[12].crColor, QColor(0, 0, 0)); // C0 again
        QCOMPARE(timetable.m_courseNames.size(), 10);

        // A new file with C3 first keeps C3's colour from the first read.
        timetable.ReadFrom("T\r\nterm\r\n;;;;;\r\n/* KCBINFO-35 ROW */\r\n" + Course("C3") + Course("New"));
        QCOMPARE(timetable.m_entries[0].crColor, QColor(0, 0, 255));
        QCOMPARE(timetable.m_entries[1].crColor, QColor(102, 153, 153));
    }

    // The caption, and which slot the pointer is over.
    void captionAndSlots()
    {
        CTimetable timetable;
        QCOMPARE(timetable.SlotAt(QPoint(122, 92)), 0);
        QCOMPARE(timetable.SlotAt(QPoint(193, 145)), 0);
        QCOMPARE(timetable.SlotAt(QPoint(194, 100)), -1); // the gap between two days
        QCOMPARE(timetable.SlotAt(QPoint(202, 154)), CTimetable::SlotIndex(1, 1));
        QCOMPARE(timetable.SlotAt(QPoint(673, 393)), 34);
        QCOMPARE(timetable.CaptionText(18, 7), QStringLiteral("Tarrin-课程表 【今天是:第18周 星期天】"));
        QCOMPARE(timetable.CaptionText(-2, 6), QStringLiteral("Tarrin-课程表 【今天是:第-2周 星期六】"));
    }

    // The display reads the file again only when it changed, a missing one too.
    void reloadOnlyWhenChanged()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(CTimetable::FileName());
        CTimetable timetable(dir.path());
        QCOMPARE(timetable.ReloadIfChanged(), CTimetable::Reload::Failed);
        QCOMPARE(timetable.ReloadIfChanged(), CTimetable::Reload::Unchanged);
        QVERIFY(WriteAll(path, ReferenceFile()));
        QCOMPARE(timetable.ReloadIfChanged(), CTimetable::Reload::Loaded);
        QCOMPARE(timetable.ReloadIfChanged(), CTimetable::Reload::Unchanged);
        timetable.m_strTeacher = QStringLiteral("changed in memory");
        QCOMPARE(timetable.ReloadIfChanged(), CTimetable::Reload::Unchanged);

        QByteArray other = ReferenceFile();
        other.replace("\xd5\xc5", "\xc0\xee"); // 李老师, same size
        QVERIFY(WriteAll(path, other));
        QFile touched(path);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(
            touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        touched.close();
        QCOMPARE(timetable.ReloadIfChanged(), CTimetable::Reload::Loaded);
        QCOMPARE(timetable.m_strTeacher, QStringLiteral("李老师"));
    }
};

QTEST_GUILESS_MAIN(TestTimetable)
#include "tst_timetable.moc"

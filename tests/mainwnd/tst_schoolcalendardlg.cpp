#include "DialogFixture.h"
#include "MessageRecorder.h"
#include "Recorders.h"
#include "calendar/SchoolCalendarDlg.h"

#include <QDateEdit>
#include <QPushButton>

namespace {
const QString kSaved = QStringLiteral("数据保存成功！");
const QString kSaveFailed = QStringLiteral("数据保存失败！\r\n请重新保存或取消设置");

QPair<QDateTime, QDateTime> StoredTerm(DialogFixture& fx)
{
    QDateTime start, end;
    if (!fx.store().LoadSchoolCalendar(start, end))
        return {};
    return {start, end};
}

QPair<QDateTime, QDateTime> Term(const QDate& start, const QDate& end)
{
    return {QDateTime(start, QTime(0, 0)), QDateTime(end, QTime(0, 0))};
}
} // namespace

class TestSchoolCalendarDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the program sets it at start-up: the pickers follow the Chinese long date format.
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    }

    void opensOnTheTermInLongDates()
    {
        CSchoolCalendarDlg dlg(QDate(2008, 9, 1), QDate(2009, 1, 16));
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("校历设置"));
        QCOMPARE(Control<QDateEdit>(&dlg, "startPicker")->text(), QStringLiteral("2008年9月1日星期一"));
        QCOMPARE(Control<QDateEdit>(&dlg, "endPicker")->text(), QStringLiteral("2009年1月16日星期五"));
    }

    // The dialog opens on one term; the user may pick other days before pressing OK.
    void okStoresTheDaysAtMidnight_data()
    {
        QTest::addColumn<QDate>("openStart");
        QTest::addColumn<QDate>("openEnd");
        QTest::addColumn<QDate>("pickStart");
        QTest::addColumn<QDate>("pickEnd");
        const QDate a(2008, 9, 1), b(2009, 1, 16);
        QTest::newRow("untouched") << a << b << QDate() << QDate();
        QTest::newRow("new term") << a << b << QDate(2027, 2, 22) << QDate(2027, 7, 9);
        QTest::newRow("end before start") << a << b << QDate(2027, 7, 9) << QDate(2027, 2, 22);
        QTest::newRow("one day") << a << b << QDate(2028, 2, 29) << QDate(2028, 2, 29);
    }
    void okStoresTheDaysAtMidnight()
    {
        QFETCH(QDate, openStart);
        QFETCH(QDate, openEnd);
        QFETCH(QDate, pickStart);
        QFETCH(QDate, pickEnd);
        DialogFixture fx;
        QVERIFY(fx.started());
        MessageRecorder messages;
        SoundRecorder sounds;

        CSchoolCalendarDlg dlg(openStart, openEnd);
        dlg.show();
        if (pickStart.isValid())
            Control<QDateEdit>(&dlg, "startPicker")->setDate(pickStart);
        if (pickEnd.isValid())
            Control<QDateEdit>(&dlg, "endPicker")->setDate(pickEnd);
        QTest::mouseClick(Control<QPushButton>(&dlg, "okButton"), Qt::LeftButton);

        QCOMPARE(messages.texts(), QStringList{});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(fx.noticeText(), kSaved);
        const auto stored = StoredTerm(fx);
        QCOMPARE(stored,
                 Term(pickStart.isValid() ? pickStart : openStart, pickEnd.isValid() ? pickEnd : openEnd));
    }

    void failedSaveKeepsTheDialogForAnotherTry()
    {
        DialogFixture fx;
        QVERIFY(fx.started());
        const auto before = StoredTerm(fx);
        QVERIFY(before.first.isValid());
        // A calendar table that lost its end row cannot take a term.
        QVERIFY(fx.exec(QStringLiteral("DELETE FROM xiaoli WHERE rowid = (SELECT max(rowid) FROM xiaoli)")));
        MessageRecorder messages;
        SoundRecorder sounds;

        CSchoolCalendarDlg dlg(QDate(2027, 2, 22), QDate(2027, 7, 9));
        dlg.show();
        auto* ok = Control<QPushButton>(&dlg, "okButton");
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(messages.texts().count(kSaveFailed), 1);
        QCOMPARE(messages.last().text, kSaveFailed);
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(messages.last().icon, Messages::Icon::Warning);
        QVERIFY(dlg.isVisible());
        QCOMPARE(fx.noticeText(), QString());

        QVERIFY(fx.exec(QStringLiteral("INSERT INTO xiaoli (date) VALUES (0)")));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(StoredTerm(fx), Term(QDate(2027, 2, 22), QDate(2027, 7, 9)));
    }

    void cancelLeavesTheStoredTerm()
    {
        DialogFixture fx;
        QVERIFY(fx.started());
        const auto term = Term(QDate(2027, 2, 22), QDate(2027, 7, 9));
        QVERIFY(fx.store().SaveSchoolCalendar(term.first, term.second));
        MessageRecorder messages;
        CSchoolCalendarDlg dlg(QDate(2027, 2, 22), QDate(2027, 7, 9));
        dlg.show();
        Control<QDateEdit>(&dlg, "startPicker")->setDate(QDate(2027, 9, 1));
        QTest::mouseClick(Control<QPushButton>(&dlg, "cancelButton"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(StoredTerm(fx), term);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(fx.noticeText(), QString());
    }
};

QTEST_MAIN(TestSchoolCalendarDlg)
#include "tst_schoolcalendardlg.moc"

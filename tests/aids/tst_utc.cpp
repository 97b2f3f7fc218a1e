// Local date and time to UT: reading and writing the texts, the calendar
// fields, the platform time counts and the whole conversion.
#include "aids/utc.h"

#include <QDateTime>
#include <QtTest>

#include <ctime>

using Utc::CalendarFields;
using Utc::DateTime;

namespace {

// The fields as "y-m-d h:m:s.ms wday".
QString text(const CalendarFields &f)
{
    return QString::asprintf("%d-%d-%d %d:%d:%d.%d %d", f.year, f.month, f.day, f.hour, f.minute, f.second,
                             f.milliseconds, f.dayOfWeek);
}

CalendarFields fields(quint16 year, quint16 month, quint16 day)
{
    CalendarFields f;
    f.year = year;
    f.month = month;
    f.day = day;
    return f;
}

} // namespace

class TestUtc : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Five hours behind UT with no daylight-saving time, whatever the date.
        qputenv("TZ", "EST5");
        tzset();
        QCOMPARE(QDateTime::currentDateTime().offsetFromUtc(), -5 * 3600);
    }

    void parsesTheFormsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::newRow("12-hour") << "2/25/2001 7:30 PM" << QDate(2001, 2, 25) << QTime(19, 30, 0);
        QTest::newRow("seconds") << "2/25/2001 7:30:15 PM" << QDate(2001, 2, 25) << QTime(19, 30, 15);
        QTest::newRow("24-hour") << "2/25/2001 19:30" << QDate(2001, 2, 25) << QTime(19, 30, 0);
        QTest::newRow("noon") << "6/1/2026 12:05 PM" << QDate(2026, 6, 1) << QTime(12, 5, 0);
        QTest::newRow("half past midnight") << "6/1/2026 12:30 AM" << QDate(2026, 6, 1) << QTime(0, 30, 0);
        QTest::newRow("lower case, no blank") << "12/4/2026 5:19:25pm" << QDate(2026, 12, 4) << QTime(17, 19, 25);
        QTest::newRow("hour with AM/PM") << "3/9/2026 9 PM" << QDate(2026, 3, 9) << QTime(21, 0, 0);
        QTest::newRow("leading zeros, blanks")
            << "  02/05/2026 09:07:03 AM " << QDate(2026, 2, 5) << QTime(9, 7, 3);
        QTest::newRow("date alone is midnight") << "2/25/2001" << QDate(2001, 2, 25) << QTime(0, 0, 0);
        QTest::newRow("two-digit year, 2000s") << "2/25/01 7:30 PM" << QDate(2001, 2, 25) << QTime(19, 30, 0);
        QTest::newRow("two-digit year, 1900s") << "7/20/69 20:17" << QDate(1969, 7, 20) << QTime(20, 17, 0);
        QTest::newRow("dashes") << "2-25-2001 7:30 PM" << QDate(2001, 2, 25) << QTime(19, 30, 0);
        QTest::newRow("leap day") << "2/29/2024 23:59:59" << QDate(2024, 2, 29) << QTime(23, 59, 59);
    }

    void parsesTheFormsTyped()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        const std::optional<DateTime> v = Utc::parse(text);
        QVERIFY(v);
        QCOMPARE(v->date, date);
        QCOMPARE(v->time, time);
    }

    void refusesWhatIsNoDateAndTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("a word") << "tonight";
        QTest::newRow("empty") << "";
        QTest::newRow("day first impossible") << "25/2/2001 7:30 PM";
        QTest::newRow("no such day") << "2/30/2001";
        QTest::newRow("not a leap year") << "2/29/2023";
        QTest::newRow("minutes too large") << "2/25/2001 7:60 PM";
        QTest::newRow("hour too large") << "2/25/2001 24:00";
        QTest::newRow("13 PM") << "2/25/2001 13:30 PM";
        QTest::newRow("hour without minutes or AM/PM") << "2/25/2001 7";
        QTest::newRow("time alone") << "7:30 PM";
        QTest::newRow("trailing words") << "2/25/2001 7:30 PM tonight";
        QTest::newRow("year and month only") << "2/2001";
    }

    void refusesWhatIsNoDateAndTime()
    {
        QFETCH(QString, text);
        QVERIFY(!Utc::parse(text));
        QVERIFY(!Utc::ConvertLocalToUtc(text));
    }

    void generalFormAndMidnight()
    {
        QCOMPARE(Utc::formatGeneral({QDate(2001, 2, 26), QTime(0, 30, 0)}), QString("2/26/2001 12:30:00 AM"));
        QCOMPARE(Utc::formatGeneral({QDate(2001, 2, 26), QTime(12, 0, 1)}), QString("2/26/2001 12:00:01 PM"));
        QCOMPARE(Utc::formatGeneral({QDate(2026, 11, 9), QTime(23, 5, 9)}), QString("11/9/2026 11:05:09 PM"));
        // Exactly midnight is written as the date alone; a second later is not.
        QCOMPARE(Utc::formatGeneral({QDate(2001, 2, 26), QTime(0, 0, 0)}), QString("2/26/2001"));
        QCOMPARE(Utc::formatGeneral({QDate(2001, 2, 26), QTime(0, 0, 1)}), QString("2/26/2001 12:00:01 AM"));
        // The clock's pre-fill keeps the time even at midnight.
        QCOMPARE(Utc::formatDateAndLongTime(QDateTime(QDate(2026, 12, 4), QTime(17, 19, 25))),
                 QString("12/4/2026 5:19:25 PM"));
        QCOMPARE(Utc::formatDateAndLongTime(QDateTime(QDate(2026, 12, 4), QTime(0, 0, 0))),
                 QString("12/4/2026 12:00:00 AM"));
    }

    void splitAndJoin()
    {
        const CalendarFields f = Utc::SplitDateTime({QDate(2001, 2, 25), QTime(19, 30, 15)});
        QCOMPARE(text(f), QString("2001-2-25 19:30:15.0 0"));
        // Joining drops the milliseconds and ignores the day of week.
        CalendarFields g = f;
        g.milliseconds = 999;
        g.dayOfWeek = 3;
        const std::optional<DateTime> joined = Utc::JoinDateTime(g);
        QVERIFY(joined);
        QCOMPARE(QDateTime(joined->date, joined->time), QDateTime(QDate(2001, 2, 25), QTime(19, 30, 15)));
        // Hour 0 joins as a 24-hour time, not as a missing hour.
        QCOMPARE(Utc::JoinDateTime(fields(2001, 2, 25))->time, QTime(0, 0, 0));
        QVERIFY(!Utc::JoinDateTime(fields(2001, 2, 31)));
    }

    void fileTimeCounts()
    {
        QCOMPARE(Utc::SystemTimeToFileTime(fields(1601, 1, 1)), qint64(0));
        // The Unix epoch, a well-known count; 1970-01-01 was a Thursday.
        QCOMPARE(Utc::SystemTimeToFileTime(fields(1970, 1, 1)), Q_INT64_C(116444736000000000));
        QCOMPARE(text(Utc::FileTimeToSystemTime(Q_INT64_C(116444736000000000) + 10'000'000 * 61 + 1230000)),
                 QString("1970-1-1 0:1:1.123 4"));
        // Local to UT subtracts the offset east of Greenwich.
        QCOMPARE(Utc::LocalFileTimeToFileTime(1'000'000'000, -5 * 3600), 1'000'000'000 + Q_INT64_C(180000000000));
        QCOMPARE(Utc::LocalFileTimeToFileTime(Q_INT64_C(360000000000), 3600), Q_INT64_C(324000000000));
    }

    void convertsWithTheOffsetInForceNow()
    {
        // The help text's own example, in a zone five hours behind UT.
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 7:30 PM"), std::optional<QString>("2/26/2001 12:30:00 AM"));
        // Seconds are kept; input without seconds gives ":00".
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 7:30:15 PM"), std::optional<QString>("2/26/2001 12:30:15 AM"));
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 8:05 AM"), std::optional<QString>("2/25/2001 1:05:00 PM"));
        // A UT result of exactly midnight is the date alone.
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 7:00 PM"), std::optional<QString>("2/26/2001"));
        // Across the end of a month and a year.
        QCOMPARE(Utc::ConvertLocalToUtc("12/31/2026 10:45 PM"), std::optional<QString>("1/1/2027 3:45:00 AM"));
    }

    void convertsWithGivenOffsets_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("ut");
        // A summer offset applied to a winter date: the offset is the one in force now.
        QTest::newRow("winter date, summer offset") << "1/10/2026 9:00 PM" << -4 * 3600 << "1/11/2026 1:00:00 AM";
        QTest::newRow("east of Greenwich") << "3/1/2024 3:15:30 AM" << 5 * 3600 + 1800 << "2/29/2024 9:45:30 PM";
        QTest::newRow("Greenwich") << "7/4/2026 12:00 PM" << 0 << "7/4/2026 12:00:00 PM";
        QTest::newRow("to midnight from the east") << "7/4/2026 2:00 AM" << 2 * 3600 << "7/4/2026";
    }

    void convertsWithGivenOffsets()
    {
        QFETCH(QString, local);
        QFETCH(int, offset);
        QFETCH(QString, ut);
        QCOMPARE(Utc::ConvertLocalToUtc(local, offset), std::optional<QString>(ut));
    }

    void outsideThePlatformYears()
    {
        // The platform counts start in 1601 and the texts end in 9999.
        QVERIFY(!Utc::ConvertLocalToUtc("12/31/1600 11:00 PM", 0));
        QVERIFY(!Utc::ConvertLocalToUtc("1/1/1601 12:30 AM", 3600));
        QCOMPARE(Utc::ConvertLocalToUtc("1/1/1601 12:30 AM", 0), std::optional<QString>("1/1/1601 12:30:00 AM"));
        QVERIFY(!Utc::ConvertLocalToUtc("12/31/9999 11:00 PM", -3 * 3600));
    }
};

QTEST_MAIN(TestUtc)
#include "tst_utc.moc"

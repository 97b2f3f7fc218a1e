// Local date and time to UT: reading and writing the texts and the whole
// conversion, through the platform time counts and back.
#include "aids/utc.h"

#include <QDateTime>
#include <QtTest>

#include <ctime>

using Utc::DateTime;

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

    void parsesTheFormsTyped()
    {
        const std::pair<const char *, const char *> forms[] = {
            {"2/25/2001 7:30 PM", "2001-02-25 19:30:00"},
            {"2/25/2001 7:30:15 PM", "2001-02-25 19:30:15"},
            {"2/25/2001 19:30", "2001-02-25 19:30:00"},
            {"6/1/2026 12:05 PM", "2026-06-01 12:05:00"},
            {"6/1/2026 12:30 AM", "2026-06-01 00:30:00"},
            {"12/4/2026 5:19:25pm", "2026-12-04 17:19:25"},
            {"3/9/2026 9 PM", "2026-03-09 21:00:00"},
            {"  02/05/2026 09:07:03 AM ", "2026-02-05 09:07:03"},
            {"2/25/2001", "2001-02-25 00:00:00"},
            {"2/25/01 7:30 PM", "2001-02-25 19:30:00"},
            {"7/20/69 20:17", "1969-07-20 20:17:00"},
            {"2-25-2001 7:30 PM", "2001-02-25 19:30:00"},
            {"2/29/2024 23:59:59", "2024-02-29 23:59:59"}};
        for (const auto &[typed, expected] : forms) {
            const std::optional<DateTime> v = DateText::readMoment(typed);
            QCOMPARE(v ? QDateTime(v->date, v->time).toString("yyyy-MM-dd HH:mm:ss") : QString("refused"),
                     QString(expected));
        }
        // A word, nothing, day first, no such day, 29 February of a common year, minute 60, hour 24,
        // 13 PM, an hour alone, a time alone, trailing words, a month and year.
        for (const char *text : {"tonight", "", "25/2/2001 7:30 PM", "2/30/2001", "2/29/2023",
                                 "2/25/2001 7:60 PM", "2/25/2001 24:00", "2/25/2001 13:30 PM", "2/25/2001 7",
                                 "7:30 PM", "2/25/2001 7:30 PM tonight", "2/2001"})
            QVERIFY2(!DateText::readMoment(text) && !Utc::ConvertLocalToUtc(text), text);
    }

    void readsWhatASystemParserReads()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale german(QLocale::German, QLocale::Germany);
        const QLocale french(QLocale::French, QLocale::France);
        const std::tuple<const char *, QLocale, const char *> forms[] = {
            {"Feb 25, 2001 7:30 PM", english, "2001-02-25 19:30:00"},
            {"February 25, 2001 7:30:15 pm", english, "2001-02-25 19:30:15"},
            {"Sunday, February 25, 2001 19:30", english, "2001-02-25 19:30:00"},
            {"25 Feb 2001 7:30 PM", english, "2001-02-25 19:30:00"},
            {"25-feb-01 07:30", english, "2001-02-25 07:30:00"},
            {"Sept 3 2026 9 PM", english, "2026-09-03 21:00:00"},
            {"2001-02-25 19:30", english, "2001-02-25 19:30:00"},
            {"2001/2/25 7:30 AM", english, "2001-02-25 07:30:00"},
            {"7:30 PM 2/25/2001", english, "2001-02-25 19:30:00"},
            // Without a year: this year.
            {"2/25 7:30 PM", english, "2031-02-25 19:30:00"},
            {"Dec 31 23:59:59", english, "2031-12-31 23:59:59"},
            // The user's language beside English; numeric dates stay month first.
            {"25. Februar 2001 19:30", german, "2001-02-25 19:30:00"},
            {"Feb 25, 2001 7:30 PM", german, "2001-02-25 19:30:00"},
            {"2/3/2001 10:00", german, "2001-02-03 10:00:00"},
            {"25 févr. 2001 19:30", french, "2001-02-25 19:30:00"},
            {"dimanche 25 février 2001 19:30", french, "2001-02-25 19:30:00"}};
        for (const auto &[typed, locale, expected] : forms) {
            const std::optional<DateTime> v = DateText::readTypedMoment(typed, 2031, locale);
            QCOMPARE(v ? QDateTime(v->date, v->time).toString("yyyy-MM-dd HH:mm:ss") : QString("refused"),
                     QString(expected));
        }
        // Names that are no month, or no day of it, or in the wrong place (what readMoment refuses
        // this refuses too: parsesTheFormsTyped, through ConvertLocalToUtc).
        for (const char *text : {"Feb 29, 2023", "Fob 25, 2001", "Feb 2001", "Monday 7:30 PM",
                                 "2/25/2001 7:30 PM 8:00 PM", "25.02.2001 19:30"})
            QVERIFY2(!DateText::readTypedMoment(text, 2031, german), text);
    }

    void convertsTheSystemParsersForms()
    {
        QCOMPARE(Utc::ConvertLocalToUtc("Feb 25, 2001 7:30 PM"), std::optional<QString>("2/26/2001 12:30:00 AM"));
        QCOMPARE(Utc::ConvertLocalToUtc("2001-02-25 19:30"), std::optional<QString>("2/26/2001 12:30:00 AM"));
        const int year = QDate::currentDate().year();
        QCOMPARE(Utc::ConvertLocalToUtc("2/25 7:30 PM"), std::optional<QString>(QString("2/26/%1 12:30:00 AM").arg(year)));
    }

    void generalFormAndMidnight()
    {
        QCOMPARE(DateText::shownMoment({QDate(2001, 2, 26), QTime(0, 30, 0)}),
                 QString("2/26/2001 12:30:00 AM"));
        QCOMPARE(DateText::shownMoment({QDate(2001, 2, 26), QTime(12, 0, 1)}),
                 QString("2/26/2001 12:00:01 PM"));
        QCOMPARE(DateText::shownMoment({QDate(2026, 11, 9), QTime(23, 5, 9)}),
                 QString("11/9/2026 11:05:09 PM"));
        // Exactly midnight is written as the date alone; a second later is not.
        QCOMPARE(DateText::shownMoment({QDate(2001, 2, 26), QTime(0, 0, 0)}), QString("2/26/2001"));
        QCOMPARE(DateText::shownMoment({QDate(2001, 2, 26), QTime(0, 0, 1)}),
                 QString("2/26/2001 12:00:01 AM"));
        // The clock's pre-fill keeps the time even at midnight.
        QCOMPARE(Utc::formatDateAndLongTime(QDateTime(QDate(2026, 12, 4), QTime(17, 19, 25))),
                 QString("12/4/2026 5:19:25 PM"));
        QCOMPARE(Utc::formatDateAndLongTime(QDateTime(QDate(2026, 12, 4), QTime(0, 0, 0))),
                 QString("12/4/2026 12:00:00 AM"));
    }

    void convertsWithTheOffsetInForceNow()
    {
        // The help text's own example, in a zone five hours behind UT.
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 7:30 PM"),
                 std::optional<QString>("2/26/2001 12:30:00 AM"));
        // Seconds are kept; input without seconds gives ":00".
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 7:30:15 PM"),
                 std::optional<QString>("2/26/2001 12:30:15 AM"));
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 8:05 AM"), std::optional<QString>("2/25/2001 1:05:00 PM"));
        // A UT result of exactly midnight is the date alone.
        QCOMPARE(Utc::ConvertLocalToUtc("2/25/2001 7:00 PM"), std::optional<QString>("2/26/2001"));
        // Across the end of a month and a year.
        QCOMPARE(Utc::ConvertLocalToUtc("12/31/2026 10:45 PM"),
                 std::optional<QString>("1/1/2027 3:45:00 AM"));
    }

    void convertsWithGivenOffsets()
    {
        // A summer offset applied to a winter date (the offset is the one in force now), east of
        // Greenwich, Greenwich, to midnight from the east.
        const std::tuple<const char *, int, const char *> cases[] = {
            {"1/10/2026 9:00 PM", -4 * 3600, "1/11/2026 1:00:00 AM"},
            {"3/1/2024 3:15:30 AM", 5 * 3600 + 1800, "2/29/2024 9:45:30 PM"},
            {"7/4/2026 12:00 PM", 0, "7/4/2026 12:00:00 PM"},
            {"7/4/2026 2:00 AM", 2 * 3600, "7/4/2026"}};
        for (const auto &[local, offset, ut] : cases)
            QCOMPARE(Utc::ConvertLocalToUtc(local, offset), std::optional<QString>(ut));
    }

    void outsideThePlatformYears()
    {
        // The platform counts start in 1601 and the texts end in 9999.
        QVERIFY(!Utc::ConvertLocalToUtc("12/31/1600 11:00 PM", 0));
        QVERIFY(!Utc::ConvertLocalToUtc("1/1/1601 12:30 AM", 3600));
        QCOMPARE(Utc::ConvertLocalToUtc("1/1/1601 12:30 AM", 0),
                 std::optional<QString>("1/1/1601 12:30:00 AM"));
        QVERIFY(!Utc::ConvertLocalToUtc("12/31/9999 11:00 PM", -3 * 3600));
    }
};

QTEST_MAIN(TestUtc)
#include "tst_utc.moc"

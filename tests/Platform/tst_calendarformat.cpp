#include "CalendarFormat.h"
#include "Clock.h"

#include <QtTest>

// The test environment runs in America/New_York: 2004-04-04 02:00 to 03:00 does not exist,
// 2004-10-31 01:00 to 02:00 happens twice.
namespace {
const QString Archive = QStringLiteral("%A, %d %B %Y, %I:%M %p");
const QString MonthFirst = QStringLiteral("%m/%e/%Y");
const QString DayFirst = QStringLiteral("%e.%m.%Y");
const QString TwelveHour = QStringLiteral("%I:%M %p");
const QString TwentyFourHour = QStringLiteral("%H:%M");

QDateTime local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms));
}
}

class TestCalendarFormat : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::reset(); }

    void formatEnglish_data();
    void formatEnglish();
    void parseEnglish_data();
    void parseEnglish();
    void daylightSavingGap();
    void clockIsPinnedToWholeSeconds();
};

void TestCalendarFormat::formatEnglish_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    const QDateTime friday = local(2004, 3, 5, 14, 7);
    QTest::newRow("archive pattern") << friday << Archive << "Friday, 05 March 2004, 02:07 PM";
    QTest::newRow("month first, day without fill") << friday << MonthFirst << "03/5/2004";
    QTest::newRow("month first, two-digit day") << local(2004, 12, 25) << MonthFirst << "12/25/2004";
    QTest::newRow("day first") << friday << DayFirst << "5.03.2004";
    QTest::newRow("12-hour afternoon") << friday << TwelveHour << "02:07 PM";
    QTest::newRow("12-hour just after midnight") << local(2004, 3, 5, 0, 5) << TwelveHour << "12:05 AM";
    QTest::newRow("12-hour just after noon") << local(2004, 3, 5, 12, 30) << TwelveHour << "12:30 PM";
    QTest::newRow("12-hour last minute") << local(2004, 3, 5, 23, 59) << TwelveHour << "11:59 PM";
    QTest::newRow("24-hour") << friday << TwentyFourHour << "14:07";
    QTest::newRow("24-hour midnight") << local(2004, 3, 5, 0, 5) << TwentyFourHour << "00:05";
    QTest::newRow("time of day") << local(2004, 3, 5, 14, 7, 9) << QStringLiteral("%X") << "14:07:09";
    QTest::newRow("short names, two-digit year, seconds")
        << local(2004, 3, 5, 14, 7, 9) << QStringLiteral("%a %b %y %S") << "Fri Mar 04 09";
    QTest::newRow("percent and unknown directive") << friday << QStringLiteral("100%% %Q") << "100% %Q";
    QTest::newRow("from another zone, shown in local time")
        << QDateTime(QDate(2004, 3, 5), QTime(19, 7), Qt::UTC) << TwentyFourHour << "14:07";
    QTest::newRow("invalid date-time") << QDateTime() << Archive << "";
}

void TestCalendarFormat::formatEnglish()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(CalendarFormat::format(dateTime, pattern, CalendarFormat::Names::English), expected);
}

void TestCalendarFormat::parseEnglish_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDateTime>("expected"); // invalid: the text must be refused

    const QDateTime none;
    QTest::newRow("archive pattern") << "Friday, 05 March 2004, 02:07 PM" << Archive << local(2004, 3, 5, 14, 7);
    QTest::newRow("archive pattern, any case") << "friday, 05 MARCH 2004, 02:07 pm" << Archive << local(2004, 3, 5, 14, 7);
    QTest::newRow("month first") << "03/5/2004" << MonthFirst << local(2004, 3, 5);
    QTest::newRow("month first, padded day") << "3/05/2004" << MonthFirst << local(2004, 3, 5);
    QTest::newRow("day first") << "5.03.2004" << DayFirst << local(2004, 3, 5);
    QTest::newRow("12-hour midnight") << "12:05 AM" << TwelveHour << local(2001, 1, 1, 0, 5);
    QTest::newRow("12-hour noon") << "12:30 PM" << TwelveHour << local(2001, 1, 1, 12, 30);
    QTest::newRow("12-hour morning") << "9:15 AM" << TwelveHour << local(2001, 1, 1, 9, 15);
    QTest::newRow("12-hour evening") << "11:59 PM" << TwelveHour << local(2001, 1, 1, 23, 59);
    QTest::newRow("24-hour") << "14:07" << TwentyFourHour << local(2001, 1, 1, 14, 7);
    QTest::newRow("surrounding blanks") << "  14:07 " << TwentyFourHour << local(2001, 1, 1, 14, 7);

    QTest::newRow("garbage") << "next Tuesday" << MonthFirst << none;
    QTest::newRow("empty") << "" << TwentyFourHour << none;
    QTest::newRow("trailing text") << "03/5/2004 and more" << MonthFirst << none;
    QTest::newRow("no such day") << "02/30/2004" << MonthFirst << none;
    QTest::newRow("month 13") << "13/5/2004" << MonthFirst << none;
    QTest::newRow("13 o'clock in 12-hour style") << "13:00 PM" << TwelveHour << none;
    QTest::newRow("0 o'clock in 12-hour style") << "0:30 AM" << TwelveHour << none;
    QTest::newRow("25 o'clock") << "25:00" << TwentyFourHour << none;
    QTest::newRow("minute 60") << "10:60" << TwentyFourHour << none;
    QTest::newRow("missing meridiem") << "02:07" << TwelveHour << none;
    QTest::newRow("unknown month name") << "Friday, 05 Marchember 2004, 02:07 PM" << Archive << none;
    QTest::newRow("two-digit year for %Y") << "03/5/04" << MonthFirst << none;
}

void TestCalendarFormat::parseEnglish()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QDateTime, expected);
    const QDateTime parsed = CalendarFormat::parse(text, pattern, CalendarFormat::Names::English);
    QCOMPARE(parsed.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(parsed, expected);
}

void TestCalendarFormat::daylightSavingGap()
{
    const QString pattern = QStringLiteral("%m/%e/%Y %H:%M");
    QVERIFY(!CalendarFormat::parse(QStringLiteral("04/4/2004 02:30"), pattern, CalendarFormat::Names::English).isValid());
    QCOMPARE(CalendarFormat::format(local(2004, 4, 4, 2, 30), pattern, CalendarFormat::Names::English), QString());

    // The repeated hour is a real time and reads back as written.
    const QDateTime repeated = CalendarFormat::parse(QStringLiteral("10/31/2004 01:30"), pattern, CalendarFormat::Names::English);
    QVERIFY(repeated.isValid());
    QCOMPARE(CalendarFormat::format(repeated, pattern, CalendarFormat::Names::English), QStringLiteral("10/31/2004 01:30"));
}

void TestCalendarFormat::clockIsPinnedToWholeSeconds()
{
    Clock::setNow(local(2004, 4, 4, 1, 30, 15, 750));
    QCOMPARE(Clock::now(), local(2004, 4, 4, 1, 30, 15));

    // Counts elapsed time, so an hour later across the spring change reads 03:30.
    Clock::advance(3600);
    QCOMPARE(Clock::now(), local(2004, 4, 4, 3, 30, 15));
    QCOMPARE(Clock::now().timeSpec(), Qt::LocalTime);

    Clock::setNow(QDateTime(QDate(2004, 3, 5), QTime(19, 7), Qt::UTC));
    QCOMPARE(Clock::now().time(), QTime(14, 7));

    Clock::reset();
    QCOMPARE(Clock::now().time().msec(), 0);
}

QTEST_GUILESS_MAIN(TestCalendarFormat)
#include "tst_calendarformat.moc"

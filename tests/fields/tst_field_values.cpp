#include "fields/answer_date.h"
#include "fields/network_range.h"

#include <QTest>

class TestFieldValues : public QObject {
    Q_OBJECT

private slots:
    void dates_data();
    void dates();
    void ranges_data();
    void ranges();
    void narrower_data();
    void narrower();
};

void TestFieldValues::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("defaultOffset");
    QTest::addColumn<QString>("utc"); // empty: no date
    const auto row = [](const char *name, const QString &text, int offset, const QString &utc) {
        QTest::newRow(name) << text << offset << utc;
    };
    row("ISO with Z", u"2024-08-14T07:01:34Z"_qs, 0, u"2024-08-14T07:01:34Z"_qs);
    row("fraction", u"2026-06-30T15:05:01.123456Z"_qs, 0, u"2026-06-30T15:05:01Z"_qs);
    row("offset with colon", u"2026-05-06T16:08:09+09:00"_qs, 0, u"2026-05-06T07:08:09Z"_qs);
    row("offset without colon", u"2026-05-06T01:08:09-0500"_qs, 0, u"2026-05-06T06:08:09Z"_qs);
    row("no zone is the default", u"2024-01-02 03:04:05"_qs, 0, u"2024-01-02T03:04:05Z"_qs);
    row("no zone in JST", u"2024-01-02 03:04:05"_qs, kJstOffsetSeconds, u"2024-01-01T18:04:05Z"_qs);
    row("UTC named", u"2024-08-14 07:01:34 UTC"_qs, kJstOffsetSeconds, u"2024-08-14T07:01:34Z"_qs);
    row("date only", u"2024-01-02"_qs, 0, u"2024-01-02T00:00:00Z"_qs);
    row("JPRS date", u"2001/02/03"_qs, kJstOffsetSeconds, u"2001-02-02T15:00:00Z"_qs);
    row("JPRS update", u"2025/03/01 01:05:03 (JST)"_qs, 0, u"2025-02-28T16:05:03Z"_qs);
    row("JPNIC update", u"2010/04/01 10:00:00(JST)"_qs, 0, u"2010-04-01T01:00:00Z"_qs);
    row("digits only", u"19980101"_qs, 0, u"1998-01-01T00:00:00Z"_qs);
    row("month name", u"11-jan-2009"_qs, 0, u"2009-01-11T00:00:00Z"_qs);
    row("capital month name", u"26-Jun-2001"_qs, 0, u"2001-06-26T00:00:00Z"_qs);
    row("day first with dots", u"31.12.1995 18:00:00"_qs, 0, u"1995-12-31T18:00:00Z"_qs);
    row("text after the date", u"2019-03-04 (renewed)"_qs, 0, u"2019-03-04T00:00:00Z"_qs);
    row("month 13", u"2024-13-01"_qs, 0, QString());
    row("February 30", u"2024-02-30"_qs, 0, QString());
    row("hour 25", u"2024-08-14T25:00:00Z"_qs, 0, QString());
    row("time cut short", u"2024-08-14T07"_qs, 0, QString());
    row("mixed separators", u"2024-08/14"_qs, 0, QString());
    row("year and month", u"2024-08"_qs, 0, QString());
    row("RPSL changed with an address", u"hostmaster@ripe.net 20030101"_qs, 0, QString());
    row("word", u"Never"_qs, 0, QString());
    row("empty", QString(), 0, QString());
}

void TestFieldValues::dates()
{
    QFETCH(QString, text);
    QFETCH(int, defaultOffset);
    QFETCH(QString, utc);
    const QDateTime date = readAnswerDate(text, defaultOffset);
    QCOMPARE(date.isValid() ? date.toString(Qt::ISODate) : QString(), utc);
    if (date.isValid())
        QCOMPARE(date.timeSpec(), Qt::UTC);
}

void TestFieldValues::ranges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first"); // empty: no range
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("prefix");
    const auto row = [](const char *name, const QString &text, const QString &first,
                         const QString &last, const QString &prefix) {
        QTest::newRow(name) << text << first << last << prefix;
    };
    row("inetnum", u"193.0.0.0 - 193.0.7.255"_qs, u"193.0.0.0"_qs, u"193.0.7.255"_qs,
        u"193.0.0.0/21"_qs);
    row("inetnum, no single prefix", u"10.0.0.0 - 10.0.0.2"_qs, u"10.0.0.0"_qs, u"10.0.0.2"_qs,
        QString());
    row("unaligned start", u"10.0.0.1 - 10.0.0.2"_qs, u"10.0.0.1"_qs, u"10.0.0.2"_qs, QString());
    row("CIDR", u"192.0.2.0/24"_qs, u"192.0.2.0"_qs, u"192.0.2.255"_qs, u"192.0.2.0/24"_qs);
    row("LACNIC's short prefix", u"200.160/12"_qs, u"200.160.0.0"_qs, u"200.175.255.255"_qs,
        u"200.160.0.0/12"_qs);
    row("IPv6 prefix", u"2001:db8::/32"_qs, u"2001:db8::"_qs,
        u"2001:db8:ffff:ffff:ffff:ffff:ffff:ffff"_qs, u"2001:db8::/32"_qs);
    row("IPv6 range", u"2001:db8:: - 2001:db8::ff"_qs, u"2001:db8::"_qs, u"2001:db8::ff"_qs,
        u"2001:db8::/120"_qs);
    row("one address", u"192.0.2.1"_qs, u"192.0.2.1"_qs, u"192.0.2.1"_qs, u"192.0.2.1/32"_qs);
    row("everything", u"0.0.0.0 - 255.255.255.255"_qs, u"0.0.0.0"_qs, u"255.255.255.255"_qs,
        u"0.0.0.0/0"_qs);
    row("reversed", u"10.0.0.5 - 10.0.0.1"_qs, QString(), QString(), QString());
    row("mixed protocols", u"10.0.0.0 - 2001:db8::"_qs, QString(), QString(), QString());
    row("prefix too long", u"10.0.0.0/33"_qs, QString(), QString(), QString());
    row("words", u"not an address"_qs, QString(), QString(), QString());
    row("empty", QString(), QString(), QString(), QString());
}

void TestFieldValues::ranges()
{
    QFETCH(QString, text);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, prefix);
    const std::optional<NetworkRange> range = readNetworkRange(text);
    QCOMPARE(range.has_value(), !first.isEmpty());
    if (!range)
        return;
    QCOMPARE(range->first.toString(), first);
    QCOMPARE(range->last.toString(), last);
    QCOMPARE(exactPrefix(*range), prefix);
}

void TestFieldValues::narrower_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("narrower");
    QTest::newRow("/25 in /24") << u"203.0.113.0/25"_qs << u"203.0.113.0/24"_qs << true;
    QTest::newRow("/24 around /25") << u"203.0.113.0/24"_qs << u"203.0.113.0/25"_qs << false;
    QTest::newRow("same size") << u"198.51.100.0/24"_qs << u"203.0.113.0/24"_qs << false;
    QTest::newRow("odd sizes") << u"10.0.0.0 - 10.0.0.2"_qs << u"10.0.1.0 - 10.0.1.3"_qs << true;
    QTest::newRow("high bytes differ")
        << u"2001:db8::/64"_qs << u"2001:db8:1::/48"_qs << true;
    QTest::newRow("IPv4 and IPv6") << u"192.0.2.0/32"_qs << u"2001:db8::/32"_qs << false;
}

void TestFieldValues::narrower()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, narrower);
    const std::optional<NetworkRange> rangeA = readNetworkRange(a);
    const std::optional<NetworkRange> rangeB = readNetworkRange(b);
    QVERIFY(rangeA && rangeB);
    QCOMPARE(isNarrower(*rangeA, *rangeB), narrower);
}

QTEST_GUILESS_MAIN(TestFieldValues)
#include "tst_field_values.moc"

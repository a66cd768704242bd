#include "batch/rate_limit_answer.h"

#include <QTest>

class TestRateLimitAnswer : public QObject {
    Q_OBJECT

private slots:
    void recognisesRefusals_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("refusal");
        QTest::newRow("ARIN") << u"\n#\n# ARIN WHOIS data and services are subject to the Terms of Use\n#\n\n"
                                 "Query rate limit exceeded. Please try again later.\n"_qs
                              << true;
        QTest::newRow("RIPE") << u"% This is the RIPE Database query service.\n% The objects are in RPSL format.\n\n"
                                 "%ERROR:201: access denied for 198.51.100.23\n%\n"
                                 "% Queries from your IP address have passed the daily limit of controlled objects.\n"_qs
                              << true;
        QTest::newRow("APNIC, other case") << u"%error:201: Access Denied\n"_qs << true;
        QTest::newRow("PIR") << u"WHOIS LIMIT EXCEEDED - SEE WWW.PIR.ORG/WHOIS FOR DETAILS\r\n"_qs << true;
        QTest::newRow("quota") << u"Look up quota exceeded.\n"_qs << true;
        QTest::newRow("EURid") << u"-2: Excessive querying, grace period of 1800 seconds\n"_qs << true;
        QTest::newRow("ARIN record") << u"NetRange:       192.0.2.0 - 192.0.2.255\nCIDR:           192.0.2.0/24\n"
                                        "NetName:        TEST-NET-1\nOrgName:        Internet Assigned Numbers Authority\n"_qs
                                     << false;
        QTest::newRow("no entries") << u"%ERROR:101: no entries found\n"_qs << false;
        QTest::newRow("JPRS not found") << u"No match!!\n"_qs << false;
        QTest::newRow("remark far down") << QString(5000, u'x') + u"\nremarks: connection limit exceeded\n"_qs << false;
        QTest::newRow("empty") << QString() << false;
    }

    void recognisesRefusals()
    {
        QFETCH(QString, answer);
        QFETCH(bool, refusal);
        QCOMPARE(isRateLimitAnswer(answer), refusal);
    }

    void readsRetryAfter_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("seconds"); // -1: none
        QTest::newRow("seconds") << QByteArray("120") << 120;
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("blanks around") << QByteArray(" 30 ") << 30;
        QTest::newRow("date ahead") << QByteArray("Mon, 07 Dec 2026 12:01:30 GMT") << 90;
        QTest::newRow("date past") << QByteArray("Mon, 07 Dec 2026 11:00:00 GMT") << 0;
        QTest::newRow("negative") << QByteArray("-5") << -1;
        QTest::newRow("fraction") << QByteArray("1.5") << -1;
        QTest::newRow("too long a number") << QByteArray("99999999999999999999") << -1;
        QTest::newRow("other date form") << QByteArray("Monday, 07-Dec-26 12:01:30 GMT") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }

    void readsRetryAfter()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, seconds);
        const QDateTime now(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
        const std::optional<std::chrono::seconds> wait = readRetryAfter(value, now);
        QCOMPARE(wait.has_value(), seconds >= 0);
        if (wait)
            QCOMPARE(wait->count(), seconds);
    }
};

QTEST_GUILESS_MAIN(TestRateLimitAnswer)
#include "tst_rate_limit_answer.moc"

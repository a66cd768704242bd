#include "batch/batch_runner.h"

#include "support/http_test_server.h"
#include "support/whois_test_server.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

constexpr int kTimeout = 60000;
const QString kLocalHost = u"127.0.0.1"_qs;

// Pacing without waits, and a short rest after a refusal.
PacingSettings quickPacing()
{
    PacingSettings pacing;
    pacing.whoisInterval = 0ms;
    pacing.rdapInterval = 0ms;
    pacing.rateLimitPause = 200ms;
    return pacing;
}

QList<ExtractedKey> keysOf(const QString &text)
{
    return extractKeys(text);
}

QList<BatchRow::Status> statusesOf(const BatchRunner &runner)
{
    QList<BatchRow::Status> statuses;
    for (const BatchRow &row : runner.rows())
        statuses.append(row.status);
    return statuses;
}

} // namespace

class TestBatchRunner : public QObject {
    Q_OBJECT

private slots:
    // Each answer fills its row; an address inside a network an earlier
    // answer named is not asked again and shares that answer.
    void answersFillRowsAndNetworksAreReused()
    {
        WhoisTestServer server;
        server.answerInTurn({
            "inetnum:        192.0.2.0 - 192.0.2.255\r\nnetname:        TEST-NET-1\r\n"
            "country:        JP\r\nabuse-mailbox:  abuse@example.net\r\n",
            "NetRange:       198.51.100.0 - 198.51.100.255\r\nCIDR:           198.51.100.0/24\r\n"
            "NetName:        TEST-NET-2\r\nOrgName:        Example Org\r\n",
            "No match for \"NOSUCH-EXAMPLE.COM\".\r\n",
        });
        BatchRunner runner(quickPacing(), WhoisRoute { server.port(), kLocalHost });
        runner.setKeys(keysOf(u"log: 192.0.2.1 then 192.0.2.77, 198.51.100.5 and "
                              u"nosuch-example.com; again 198.51.100.200"_qs));
        QCOMPARE(runner.rows().size(), 5);
        QSignalSpy finished(&runner, &BatchRunner::finished);
        runner.start(ServerMode::typedHost(u"whois.example"_qs));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kTimeout);

        using S = BatchRow::Status;
        QCOMPARE(statusesOf(runner),
            (QList<S> { S::Done, S::SameNetwork, S::Done, S::NotRegistered, S::SameNetwork }));
        QCOMPARE(server.receivedRequests(),
            (QByteArrayList { "192.0.2.1\r\n", "198.51.100.5\r\n", "nosuch-example.com\r\n" }));
        const QList<BatchRow> &rows = runner.rows();
        QCOMPARE(rows.at(0).fields.networkName, u"TEST-NET-1"_qs);
        QCOMPARE(rows.at(0).fields.abuseEmail, u"abuse@example.net"_qs);
        QCOMPARE(rows.at(1).fields.networkName, u"TEST-NET-1"_qs);
        QCOMPARE(rows.at(1).answer, rows.at(0).answer);
        QCOMPARE(rows.at(2).fields.registrantOrganization, u"Example Org"_qs);
        QCOMPARE(rows.at(4).fields.networkName, u"TEST-NET-2"_qs);
        QVERIFY(rows.at(2).answer.contains(u"NetName:"_qs));
        QCOMPARE(runner.endedCount(), 5);
    }

    // A refusal for asking too often is no answer: the key is asked once
    // more after the rest, and a second refusal fails the row.
    void rateLimitAnswersAreRetriedOnce_data()
    {
        QTest::addColumn<QByteArrayList>("answers");
        QTest::addColumn<BatchRow::Status>("status");
        const QByteArray refusal = "%ERROR:201: access denied\r\n";
        const QByteArray record = "inetnum: 192.0.2.0 - 192.0.2.255\r\nnetname: NET\r\n";
        QTest::newRow("refused, then answered")
            << QByteArrayList { refusal, record } << BatchRow::Status::Done;
        QTest::newRow("refused twice")
            << QByteArrayList { refusal, refusal } << BatchRow::Status::Failed;
    }
    void rateLimitAnswersAreRetriedOnce()
    {
        QFETCH(QByteArrayList, answers);
        QFETCH(BatchRow::Status, status);
        WhoisTestServer server;
        server.answerInTurn(answers);
        BatchRunner runner(quickPacing(), WhoisRoute { server.port(), kLocalHost });
        runner.setKeys(keysOf(u"192.0.2.1"_qs));
        QSignalSpy finished(&runner, &BatchRunner::finished);
        runner.start(ServerMode::typedHost(u"whois.example"_qs));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kTimeout);
        QCOMPARE(runner.rows().at(0).status, status);
        QCOMPARE(server.receivedRequests().size(), 2);
        QCOMPARE(runner.rows().at(0).isAnswered(), status == BatchRow::Status::Done);
    }

    // RDAP's 429 rests the server too, for the time its Retry-After names
    // (seconds or a date, bounded by the longest rest) or else the default
    // rest; the key is asked again only after the rest, and the record's
    // fields fill the row.
    void rdapTooManyRequestsRestsAsAsked_data()
    {
        QTest::addColumn<QByteArray>("retryAfter"); // null: no header
        QTest::addColumn<int>("dateAhead"); // seconds: the header is the date then
        QTest::addColumn<int>("restMs");
        QTest::newRow("seconds") << QByteArray("1") << 0 << 1000;
        QTest::newRow("a date") << QByteArray() << 3 << 1000;
        QTest::newRow("beyond the longest rest") << QByteArray("3600") << 0 << 1500;
        QTest::newRow("no header: the default rest") << QByteArray() << 0 << 200;
        QTest::newRow("garbage: the default rest") << QByteArray("soon") << 0 << 200;
    }
    void rdapTooManyRequestsRestsAsAsked()
    {
        QFETCH(QByteArray, retryAfter);
        QFETCH(int, dateAhead);
        QFETCH(int, restMs);
        if (dateAhead > 0) {
            // In whole seconds: the rest it asks for is more than dateAhead - 2.
            retryAfter = QLocale::c()
                             .toString(QDateTime::currentDateTimeUtc().addSecs(dateAhead),
                                 u"ddd, dd MMM yyyy HH:mm:ss 'GMT'"_qs)
                             .toLatin1();
        }
        HttpTestServer rdap;
        HttpTestAnswer tooMany;
        tooMany.status = 429;
        if (!retryAfter.isNull())
            tooMany.headers = { { "Retry-After", retryAfter } };
        tooMany.body = "{}";
        rdap.answerInTurn("/rdap/domain/example.info", { tooMany });
        rdap.answerJson("/rdap/domain/example.info",
            R"({"objectClassName":"domain","ldhName":"example.info","handle":"D1-INFO",)"
            R"("events":[{"eventAction":"expiration","eventDate":"2030-01-02T03:04:05Z"}]})");
        PacingSettings pacing = quickPacing();
        pacing.maxRateLimitPause = 1500ms;
        BatchRunner runner(pacing, {}, RdapRoute { rdap.origin(), 30000 });
        runner.setKeys(keysOf(u"example.info"_qs));
        QSignalSpy finished(&runner, &BatchRunner::finished);
        runner.start(ServerMode::rdap());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kTimeout);

        QCOMPARE(rdap.requests().size(), 2);
        const auto waited = rdap.requests().at(1).at - rdap.requests().at(0).at;
        QVERIFY2(waited >= std::chrono::milliseconds(restMs),
            qPrintable(u"asked again after %1 ms"_qs.arg(
                std::chrono::duration_cast<std::chrono::milliseconds>(waited).count())));
        const BatchRow &row = runner.rows().at(0);
        QCOMPARE(row.status, BatchRow::Status::Done);
        QCOMPARE(row.fields.handle, u"D1-INFO"_qs);
        QCOMPARE(row.fields.expires, QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5), Qt::UTC));
    }

    // Stop abandons the lookup under way: the connection goes, the row
    // waits again and a later start asks it.
    void stopAbandonsTheLookupsUnderWay()
    {
        WhoisTestServer server;
        server.staySilent();
        BatchRunner runner(quickPacing(), WhoisRoute { server.port(), kLocalHost });
        runner.setKeys(keysOf(u"192.0.2.1 192.0.2.2"_qs));
        QSignalSpy finished(&runner, &BatchRunner::finished);
        runner.start(ServerMode::typedHost(u"whois.example"_qs));
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnectionCount(), 1, kTimeout);
        QCOMPARE(runner.rows().at(0).status, BatchRow::Status::Querying);
        runner.stop();
        QCOMPARE(finished.size(), 1);
        QVERIFY(!runner.isRunning());
        using S = BatchRow::Status;
        QCOMPARE(statusesOf(runner), (QList<S> { S::Waiting, S::Waiting }));
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnectionCount(), 0, kTimeout);

        server.answerWith({ "netname: NET\r\n" });
        runner.start(ServerMode::typedHost(u"whois.example"_qs));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, kTimeout);
        QCOMPARE(statusesOf(runner), (QList<S> { S::Done, S::Done }));
    }

    // A key no server is known for fails at once with the reason.
    void keysWithoutServerFail()
    {
        BatchRunner runner(quickPacing());
        runner.setKeys(keysOf(u"AS4294967295"_qs));
        QSignalSpy finished(&runner, &BatchRunner::finished);
        runner.start(ServerMode::automatic());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kTimeout);
        QCOMPARE(runner.rows().at(0).status, BatchRow::Status::Failed);
        QVERIFY(!runner.rows().at(0).error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBatchRunner)
#include "tst_batch_runner.moc"

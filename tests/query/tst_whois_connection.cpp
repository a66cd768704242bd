#include "query/whois_connection.h"
#include "support/whois_test_server.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr int kTimeoutMs = 20000;
constexpr quint32 kSeed = 7051943;

// Prints the seed when a check of the enclosing test has failed.
struct SeedReport {
    ~SeedReport()
    {
        if (QTest::currentTestFailed())
            qWarning("random inputs from seed %u", kSeed);
    }
};

// A WhoisConnection that sends its request once connected, as the query
// does, and records every notification in order.
class RecordingClient {
public:
    explicit RecordingClient(quint16 port) : connection(WhoisRoute { port, {} })
    {
        QObject::connect(&connection, &WhoisConnection::connected, &connection, [this] {
            events << u"connected"_qs;
            connection.send(request);
        });
        QObject::connect(&connection, &WhoisConnection::sendProgress, &connection,
            [this](qint64 sent, qint64 remaining) {
                events << u"progress"_qs;
                bytesSent += sent;
                lastRemaining = remaining;
            });
        QObject::connect(&connection, &WhoisConnection::sendComplete, &connection,
            [this] { events << u"complete"_qs; });
        QObject::connect(&connection, &WhoisConnection::dataArrival, &connection,
            [this](const QByteArray &chunk) {
                events << u"data"_qs;
                chunks << chunk;
            });
        QObject::connect(
            &connection, &WhoisConnection::closed, &connection, [this] { events << u"closed"_qs; });
        QObject::connect(
            &connection, &WhoisConnection::error, &connection, [this](const QString &description) {
                events << u"error"_qs;
                errorText = description;
            });
    }

    // Starts a query with fresh records.
    bool Start(const QByteArray &line, const QString &host = u"127.0.0.1"_qs)
    {
        request = line;
        events.clear();
        chunks.clear();
        bytesSent = 0;
        lastRemaining = -1;
        errorText.clear();
        return connection.connectToHost(host);
    }

    bool Ended() const { return events.contains(u"closed"_qs) || events.contains(u"error"_qs); }

    // The events with each run of one kind written once.
    QString Shape() const
    {
        QStringList runs;
        for (const QString &event : events) {
            if (runs.isEmpty() || runs.last() != event)
                runs << event;
        }
        return runs.join(u' ');
    }

    QByteArray Answer() const { return chunks.join(); }

    WhoisConnection connection;
    QByteArray request;
    QStringList events;
    QByteArrayList chunks;
    qint64 bytesSent = 0;
    qint64 lastRemaining = -1;
    QString errorText;
};

QString ExpectedShape(const QByteArray &answer)
{
    return answer.isEmpty() ? u"connected progress complete closed"_qs
                            : u"connected progress complete data closed"_qs;
}

// Lets pending socket events run, so that a notification that should not
// come would have come.
void Settle()
{
    QTest::qWait(100);
}

} // namespace

class TestWhoisConnection : public QObject {
    Q_OBJECT

private slots:
    void answerArrivesWhole_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArrayList>("writes");
        QTest::addColumn<bool>("early");
        const QByteArray line = "Domain Name: EXAMPLE.JP\r\n";
        QTest::newRow("close without data")
            << QByteArray("example.jp\r\n") << QByteArrayList {} << false;
        QTest::newRow("empty writes in between")
            << QByteArray("example.jp\r\n") << QByteArrayList { "", "a", "", "b", "" } << false;
        QTest::newRow("key with blanks")
            << QByteArray("  example.jp \r\n") << QByteArrayList { line } << false;
        QTest::newRow("empty key") << QByteArray("\r\n") << QByteArrayList { line } << false;
        QTest::newRow("long request") << QByteArray(200000, 'k') + "\r\n"
                                      << QByteArrayList { line } << false;
        QTest::newRow("64 KiB writes")
            << QByteArray("example.jp\r\n") << QByteArrayList(16, QByteArray(65536, 'x')) << false;
        QTest::newRow("answer before the request")
            << QByteArray("example.jp\r\n") << QByteArrayList { "greeting\r\n", line } << true;
        QTest::newRow("answer while a long request goes out")
            << QByteArray(4 << 20, 'k') + "\r\n"
            << QByteArrayList { "greeting\r\n", line } << true;
    }

    // connected, progress, complete, data, closed in this order; the chunks
    // join to exactly what the server wrote, and the server received
    // exactly the request.
    void answerArrivesWhole()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArrayList, writes);
        QFETCH(bool, early);
        WhoisTestServer server;
        server.answerWith(writes);
        server.setAnswerBeforeRequest(early);
        RecordingClient client(server.port());

        QVERIFY(client.Start(request));
        QVERIFY(client.connection.isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);

        QCOMPARE(client.Shape(), ExpectedShape(writes.join()));
        QCOMPARE(client.Answer(), writes.join());
        QCOMPARE(client.bytesSent, request.size());
        QCOMPARE(client.lastRemaining, 0);
        QCOMPARE(server.receivedRequests(), QByteArrayList { request });
        QVERIFY(!client.connection.isOpen());
        QVERIFY(!client.chunks.contains(QByteArray()));
    }

    // Random answers cut at random places into a few writes arrive whole,
    // on one connection object used again for every round.
    void randomAnswersArriveWhole()
    {
        const SeedReport report;
        QRandomGenerator random(kSeed);
        WhoisTestServer server;
        server.setPauseBetweenWrites(1);
        RecordingClient client(server.port());
        for (int round = 0; round < 12; ++round) {
            QByteArray answer(random.bounded(300000), Qt::Uninitialized);
            for (char &byte : answer)
                byte = static_cast<char>(random.bounded(256));
            QList<qsizetype> cuts { 0, answer.size() };
            for (int i = random.bounded(6); i > 0; --i)
                cuts << random.bounded(answer.size() + 1);
            std::sort(cuts.begin(), cuts.end());
            QByteArrayList writes;
            for (qsizetype i = 1; i < cuts.size(); ++i)
                writes << answer.sliced(cuts[i - 1], cuts[i] - cuts[i - 1]);
            server.answerWith(writes);
            const QByteArray request = "round" + QByteArray::number(round) + "\r\n";

            QVERIFY(client.Start(request));
            QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);
            QCOMPARE(client.Shape(), ExpectedShape(answer));
            QCOMPARE(client.Answer(), answer);
            QCOMPARE(server.receivedRequests().last(), request);
        }
        QCOMPARE(server.receivedRequests().size(), 12);
    }

    // A stream that nobody stops ends by itself after its byte limit.
    void streamEndsAtItsLimit()
    {
        const QByteArray piece = QByteArray("0123456789abcdef").repeated(256);
        const qint64 limit = (qint64(1) << 20) + 3;
        WhoisTestServer server;
        server.setPauseBetweenWrites(0);
        server.streamWithoutEnd(piece, limit);
        RecordingClient client(server.port());

        QVERIFY(client.Start("example.jp\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);

        QCOMPARE(client.Shape(), ExpectedShape(piece));
        QCOMPARE(client.Answer(), piece.repeated(257).first(limit));
    }

    void resetMidAnswerIsAnError()
    {
        WhoisTestServer server;
        const QByteArray partial = "Domain Name: EXAMPLE.JP\r\n";
        server.resetAfter({ partial });
        RecordingClient client(server.port());

        QVERIFY(client.Start("example.jp\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);
        Settle();

        QCOMPARE(client.events.last(), u"error"_qs);
        QCOMPARE(client.events.count(u"error"_qs), 1);
        QVERIFY(!client.events.contains(u"closed"_qs));
        QVERIFY(!client.errorText.isEmpty());
        QVERIFY(partial.startsWith(client.Answer()));
        QVERIFY(!client.connection.isOpen());
    }

    void refusedConnectionIsAnError()
    {
        RecordingClient client(WhoisTestServer::refusingPort());

        QVERIFY(client.Start("example.jp\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);
        Settle();

        QCOMPARE(client.events, QStringList { u"error"_qs });
        QVERIFY(!client.errorText.isEmpty());
        QVERIFY(!client.connection.isOpen());
    }

    void unresolvableNameIsAnError()
    {
        RecordingClient client(WhoisTestServer::refusingPort());

        QVERIFY(client.Start("example.jp\r\n", u"nonexistent.invalid"_qs));
        QVERIFY(client.connection.isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);
        Settle();

        QCOMPARE(client.events, QStringList { u"error"_qs });
        QVERIFY(!client.errorText.isEmpty());
        QVERIFY(!client.connection.isOpen());
    }

    // Which names are usable is the host check's own test; here an unusable
    // one starts nothing.
    void unusableHostFailsAtOnce()
    {
        WhoisTestServer server;
        server.staySilent();
        RecordingClient client(server.port());
        QVERIFY(client.Start("first\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.events.contains(u"complete"_qs), kTimeoutMs);

        // The earlier connection ends too, as a new query replaces it.
        QVERIFY(!client.Start("second\r\n", u"a..b"_qs));
        QVERIFY(!client.connection.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnectionCount(), 0, kTimeoutMs);
        Settle();
        QCOMPARE(client.events, QStringList {});
        QCOMPARE(server.receivedRequests(), QByteArrayList { "first\r\n" });
    }

    void silentServerKeepsTheConnectionOpen()
    {
        WhoisTestServer server;
        server.staySilent();
        RecordingClient client(server.port());

        QVERIFY(client.Start("example.jp\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(
            server.receivedRequests(), QByteArrayList { "example.jp\r\n" }, kTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(client.events.contains(u"complete"_qs), kTimeoutMs);
        Settle();
        QCOMPARE(client.Shape(), u"connected progress complete"_qs);
        QVERIFY(client.connection.isOpen());
        QCOMPARE(server.openConnectionCount(), 1);

        client.connection.close();
        QVERIFY(!client.connection.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnectionCount(), 0, kTimeoutMs);
        client.connection.close();
        Settle();
        QCOMPARE(client.Shape(), u"connected progress complete"_qs);
    }

    void closeWhileReceivingStopsEverything_data()
    {
        QTest::addColumn<bool>("insideHandler");
        QTest::newRow("from the data handler") << true;
        QTest::newRow("from outside") << false;
    }

    // Closing from this side ends the connection at the server and is
    // followed by no notification at all.
    void closeWhileReceivingStopsEverything()
    {
        QFETCH(bool, insideHandler);
        WhoisTestServer server;
        server.setPauseBetweenWrites(0);
        server.streamWithoutEnd(QByteArray(65536, 's'), qint64(1) << 32);
        RecordingClient client(server.port());
        qsizetype eventsAtClose = -1;
        if (insideHandler) {
            QObject::connect(
                &client.connection, &WhoisConnection::dataArrival, &client.connection, [&] {
                    if (client.chunks.size() == 3) {
                        client.connection.close();
                        eventsAtClose = client.events.size();
                    }
                });
        }

        QVERIFY(client.Start("example.jp\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.chunks.size() >= 3, kTimeoutMs);
        if (!insideHandler) {
            client.connection.close();
            eventsAtClose = client.events.size();
        }
        QVERIFY(!client.connection.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnectionCount(), 0, kTimeoutMs);
        Settle();

        QCOMPARE(client.events.size(), eventsAtClose);
        QCOMPARE(client.Shape(), u"connected progress complete data"_qs);
    }

    // After every kind of ending the same object serves the next query.
    void reusableAfterEveryEnding()
    {
        WhoisTestServer server;
        RecordingClient client(server.port());

        AnswersWhole(server, client, "after nothing\r\n");
        if (QTest::currentTestFailed())
            return;

        server.resetAfter({ "partial" });
        QVERIFY(client.Start("reset\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);
        QCOMPARE(client.events.last(), u"error"_qs);
        AnswersWhole(server, client, "after a reset\r\n");
        if (QTest::currentTestFailed())
            return;

        QVERIFY(client.Start("lookup\r\n", u"nonexistent.invalid"_qs));
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);
        QCOMPARE(client.events, QStringList { u"error"_qs });
        AnswersWhole(server, client, "after a failed lookup\r\n");
        if (QTest::currentTestFailed())
            return;

        server.staySilent();
        QVERIFY(client.Start("silent\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.events.contains(u"complete"_qs), kTimeoutMs);
        client.connection.close();
        AnswersWhole(server, client, "after a close\r\n");
        if (QTest::currentTestFailed())
            return;

        server.staySilent();
        QVERIFY(client.Start("replaced\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(client.events.contains(u"complete"_qs), kTimeoutMs);
        AnswersWhole(server, client, "replacing a running query\r\n");
        if (QTest::currentTestFailed())
            return;

        QVERIFY(!client.Start("x\r\n", u"bad host!"_qs));
        AnswersWhole(server, client, "after an unusable host\r\n");
        if (QTest::currentTestFailed())
            return;

        QTRY_COMPARE_WITH_TIMEOUT(server.openConnectionCount(), 0, kTimeoutMs);
    }

private:
    // One query that the server answers in one write, checked whole.
    static void AnswersWhole(
        WhoisTestServer &server, RecordingClient &client, const QByteArray &request)
    {
        const QByteArray answer = "Domain Name: EXAMPLE.JP\r\n";
        server.answerWith({ answer });
        QVERIFY(client.Start(request));
        QTRY_VERIFY_WITH_TIMEOUT(client.Ended(), kTimeoutMs);
        QCOMPARE(client.Shape(), ExpectedShape(answer));
        QCOMPARE(client.Answer(), answer);
        QCOMPARE(server.receivedRequests().last(), request);
    }
};

QTEST_GUILESS_MAIN(TestWhoisConnection)
#include "tst_whois_connection.moc"

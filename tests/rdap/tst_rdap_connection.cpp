#include "rdap/rdap_connection.h"
#include "support/http_test_server.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kTimeout = 20000;

// One exchange with the test server, with every notification recorded.
struct Exchange {
    HttpTestServer server;
    RdapConnection connection;
    QStringList events;
    QByteArray body;
    QString failure;
    qint64 received = 0;
    int pieces = 0;

    explicit Exchange(int timeoutMs = 30000, int headerTimeoutMs = 10000)
        : connection(RdapRoute { server.origin(), timeoutMs, headerTimeoutMs })
    {
        QObject::connect(
            &connection, &RdapConnection::connected, [this] { events << u"connected"_qs; });
        QObject::connect(&connection, &RdapConnection::dataArrival, [this](qint64 bytes) {
            received += bytes;
            ++pieces;
        });
        QObject::connect(&connection, &RdapConnection::closed, [this](const QByteArray &answer) {
            body = answer;
            events << u"closed"_qs;
        });
        QObject::connect(&connection, &RdapConnection::error, [this](const QString &text) {
            failure = text;
            events << u"error"_qs;
        });
    }

    void get(const QByteArray &path, RdapRedirects redirects = RdapRedirects::AnyPublicHost)
    {
        QCOMPARE(connection.get(
                     QUrl(u"https://rdap.example.net"_qs + QString::fromLatin1(path)), redirects),
            QString());
        QTRY_VERIFY_WITH_TIMEOUT(!connection.isOpen(), kTimeout);
    }
};

HttpTestAnswer Status(int status, QList<std::pair<QByteArray, QByteArray>> headers = {})
{
    HttpTestAnswer answer;
    answer.status = status;
    answer.headers = std::move(headers);
    answer.body = R"({"errorCode": )" + QByteArray::number(status) + '}';
    return answer;
}

HttpTestAnswer Redirect(const QByteArray &location)
{
    HttpTestAnswer answer;
    answer.status = 301;
    answer.headers = { { "Location", location } };
    return answer;
}

HttpTestAnswer Delivered(HttpTestAnswer::Body delivery, const QByteArray &body,
    const QByteArray &headStart = {})
{
    HttpTestAnswer answer;
    answer.delivery = delivery;
    answer.body = body;
    answer.headStart = headStart;
    return answer;
}

HttpTestAnswer Slow(const QByteArray &body, int pieceBytes, int pauseMs)
{
    HttpTestAnswer answer;
    answer.body = body;
    answer.delivery = HttpTestAnswer::Body::Slow;
    answer.pieceBytes = pieceBytes;
    answer.pauseMs = pauseMs;
    return answer;
}

} // namespace

class TestRdapConnection : public QObject {
    Q_OBJECT

private slots:
    void requestLine()
    {
        Exchange x;
        x.server.answerJson("/rdap/domain/example.info", R"({"objectClassName": "domain"})");
        x.get("/rdap/domain/example.info");
        QCOMPARE(x.events, (QStringList { u"connected"_qs, u"closed"_qs }));
        QCOMPARE(x.body, QByteArray(R"({"objectClassName": "domain"})"));
        QCOMPARE(x.received, x.body.size());
        QCOMPARE(x.server.requests().size(), 1);
        const HttpTestRequest &request = x.server.requests().first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/rdap/domain/example.info"));
        QCOMPARE(
            request.headers.value("accept"), QByteArray("application/rdap+json, application/json"));
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Domquire/" DQ_VERSION));
        QCOMPARE(request.headers.value("host"), "127.0.0.1:" + QByteArray::number(x.server.port()));
    }

    void failures_data()
    {
        QTest::addColumn<HttpTestAnswer>("answer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("404") << Status(404) << u"該当するデータが見つかりません。\nエラーコード: 404"_qs;
        QTest::newRow("429 with seconds")
            << Status(429, { { "Retry-After", "120" } })
            << u"問い合わせが多すぎます。120 秒後に再度お試しください。\nエラーコード: 429"_qs;
        QTest::newRow("429 with a date in the past")
            << Status(429, { { "Retry-After", "Wed, 21 Oct 2015 07:28:00 GMT" } })
            << u"問い合わせが多すぎます。0 秒後に再度お試しください。\nエラーコード: 429"_qs;
        QTest::newRow("429 without a time")
            << Status(429)
            << u"問い合わせが多すぎます。しばらく待ってから再度お試しください。\nエラーコード: 429"_qs;
        QTest::newRow("429 with garbage")
            << Status(429, { { "Retry-After", "soon" } })
            << u"問い合わせが多すぎます。しばらく待ってから再度お試しください。\nエラーコード: 429"_qs;
        QTest::newRow("500")
            << Status(500) << u"RDAPサーバがエラーを返しました。(HTTP 500)\nエラーコード: 500"_qs;
        QTest::newRow("redirect without a target")
            << Status(302) << u"RDAPサーバがエラーを返しました。(HTTP 302)\nエラーコード: 302"_qs;
        HttpTestAnswer described = Status(400);
        described.body = R"({"errorCode": 400, "title": "Bad\r\nRequest",
            "description": ["The key is malformed.", "\u202eSee the help."]})";
        QTest::newRow("error body with title and description") << described
            << u"RDAPサーバがエラーを返しました。(HTTP 400)\nエラーコード: 400\nBad Request\n"
               u"The key is malformed.\nSee the help."_qs;
        HttpTestAnswer html = Status(503);
        html.body = "<html>Service Unavailable</html>";
        QTest::newRow("error body that is no JSON")
            << html << u"RDAPサーバがエラーを返しました。(HTTP 503)"_qs;

        HttpTestAnswer endless;
        endless.body = QByteArray(64 * 1024, ' ');
        endless.delivery = HttpTestAnswer::Body::Endless;
        QTest::newRow("endless body")
            << endless << u"RDAPサーバの応答が大きすぎるため受信を中止しました。(16MB)"_qs;
    }

    void failures()
    {
        QFETCH(HttpTestAnswer, answer);
        QFETCH(QString, expected);
        Exchange x;
        x.server.answer("/ip/192.0.2.1", answer);
        x.get("/ip/192.0.2.1");
        QCOMPARE(x.events.last(), u"error"_qs);
        QCOMPARE(x.failure, expected);
        QVERIFY(x.received <= RdapConnection::kMaxBodyBytes);
    }

    // What a hostile server tries, and what comes of it: refused before the
    // next hop is asked, bounded by a limit, or an error with the reason.
    void attacks_data()
    {
        QTest::addColumn<HttpTestAnswer>("answer");
        QTest::addColumn<RdapRedirects>("redirects");
        QTest::addColumn<QString>("expected"); // the error text, or its start; empty: answered
        QTest::addColumn<bool>("reasonFollows"); // Qt's own text follows the expected start

        const auto any = RdapRedirects::AnyPublicHost;
        const auto sameHost = RdapRedirects::SameHost;
        const QString internal =
            u"RDAPサーバが内部ネットワークのアドレス (%1) への転送を求めたため中止しました。"_qs;
        QTest::newRow("redirect to 127.0.0.1 in a chain")
            << Redirect("https://127.0.0.1/x") << sameHost << internal.arg(u"127.0.0.1") << false;
        QTest::newRow("redirect to 127.0.0.1")
            << Redirect("https://127.0.0.1/x") << any << internal.arg(u"127.0.0.1") << false;
        QTest::newRow("redirect to LOCALHOST")
            << Redirect("https://LOCALHOST:8443/x") << any << internal.arg(u"localhost") << false;
        QTest::newRow("redirect to a full-width loopback")
            << Redirect("https://\xef\xbc\x91\xef\xbc\x92\xef\xbc\x97\xe3\x80\x82"
                        "\xef\xbc\x90\xe3\x80\x82\xef\xbc\x90\xe3\x80\x82\xef\xbc\x91/x")
            << any << internal.arg(u"127.0.0.1") << false;
        QTest::newRow("redirect to NAT64 of a private address")
            << Redirect("https://[64:ff9b::a00:1]/x") << any << internal.arg(u"64:ff9b::a00:1")
            << false;
        QTest::newRow("redirect to another host in a chain")
            << Redirect("https://rdap.other.example/x") << sameHost
            << u"RDAPサーバが別のホスト (rdap.other.example) への転送を求めたため中止しました。"_qs
            << false;
        QTest::newRow("redirect to another host outside a chain")
            << Redirect("https://rdap.other.example/x") << any << QString() << false;
        QTest::newRow("redirect to the same host in a chain")
            << Redirect("/x") << sameHost << QString() << false;
        QTest::newRow("redirect to file:")
            << Redirect("file:///etc/passwd") << any
            << u"RDAPサーバが https 以外 (file:) への転送を求めたため中止しました。"_qs << false;
        QTest::newRow("redirect to data:")
            << Redirect("data:application/json,{}") << any
            << u"RDAPサーバが https 以外 (data:) への転送を求めたため中止しました。"_qs << false;
        const QString cut = u"RDAPサーバの応答を最後まで受信できませんでした。\n"_qs;
        const QByteArray json = "{\"name\": \"" + QByteArray(4000, 'x') + "\"}";
        QTest::newRow("reset after the headers of a 200")
            << Delivered(HttpTestAnswer::Body::Reset, json) << any << cut << true;
        QTest::newRow("body shorter than its Content-Length")
            << Delivered(HttpTestAnswer::Body::Short, json) << any << cut << true;
        const QString endlessHead = u"RDAPサーバが応答のヘッダを送り終えないため中止しました。"_qs;
        QTest::newRow("endless status line")
            << Delivered(HttpTestAnswer::Body::EndlessHead, QByteArray(4096, 'a'), "HTTP/1.1 200 ")
            << any << endlessHead << false;
        QTest::newRow("endless header line")
            << Delivered(HttpTestAnswer::Body::EndlessHead, QByteArray(4096, 'a'),
                   "HTTP/1.1 200 OK\r\nX-Pad: ")
            << any << endlessHead << false;
        QByteArray lines;
        for (int i = 0; i < 100; ++i)
            lines += "X-Pad: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n";
        QTest::newRow("endless header lines")
            << Delivered(HttpTestAnswer::Body::EndlessHead, lines, "HTTP/1.1 200 OK\r\n") << any
            << endlessHead << false;
    }

    void attacks()
    {
        QFETCH(HttpTestAnswer, answer);
        QFETCH(RdapRedirects, redirects);
        QFETCH(QString, expected);
        QFETCH(bool, reasonFollows);
        Exchange x(30000, 500);
        x.server.answer("/ip/192.0.2.1", answer);
        x.server.answerJson("/x", "{}");
        x.get("/ip/192.0.2.1", redirects);
        if (expected.isEmpty()) {
            QCOMPARE(x.events.last(), u"closed"_qs);
            QCOMPARE(x.body, QByteArray("{}"));
            return;
        }
        QCOMPARE(x.events.last(), u"error"_qs);
        if (reasonFollows) {
            QVERIFY2(x.failure.startsWith(expected) && x.failure.size() > expected.size(),
                qPrintable(x.failure));
        } else {
            QCOMPARE(x.failure, expected);
        }
        // A refused hop is never asked.
        if (answer.status == 301)
            QCOMPARE(x.server.requests().size(), 1);
    }

    void slowBodyArrivesInPieces()
    {
        Exchange x;
        const HttpTestAnswer slow = Slow(
            QByteArray(R"({"objectClassName": "autnum", "name": ")") + QByteArray(300, 'x') + "\"}",
            100, 20);
        x.server.answer("/autnum/4713", slow);
        x.get("/autnum/4713");
        QCOMPARE(x.events.last(), u"closed"_qs);
        QCOMPARE(x.body, slow.body);
        QCOMPARE(x.received, slow.body.size());
        QVERIFY2(x.pieces > 1, qPrintable(QString::number(x.pieces)));
    }

    void slowBodyTimesOut()
    {
        Exchange x(300);
        x.server.answer("/autnum/4713", Slow(QByteArray(1000, ' '), 1, 50));
        x.get("/autnum/4713");
        QCOMPARE(x.events.last(), u"error"_qs);
        QCOMPARE(x.failure, u"RDAPサーバが応答しません。"_qs);
    }

    void redirects_data()
    {
        QTest::addColumn<int>("hops");
        QTest::addColumn<bool>("answered");
        QTest::newRow("one") << 1 << true;
        QTest::newRow("five") << 5 << true;
        QTest::newRow("six") << 6 << false;
    }

    void redirects()
    {
        QFETCH(int, hops);
        QFETCH(bool, answered);
        Exchange x;
        for (int i = 0; i < hops; ++i)
            x.server.redirect("/hop" + QByteArray::number(i), "/hop" + QByteArray::number(i + 1));
        x.server.answerJson("/hop" + QByteArray::number(hops), "{}");
        x.get("/hop0");
        QCOMPARE(x.events.last(), answered ? u"closed"_qs : u"error"_qs);
        if (!answered)
            QCOMPARE(x.failure, u"RDAPサーバの転送が多すぎるため中止しました。"_qs);
    }

    void onlyHttpsWithoutATestRoute()
    {
        RdapConnection connection;
        QSignalSpy errors(&connection, &RdapConnection::error);
        QCOMPARE(connection.get(QUrl(u"http://rdap.example.net/domain/example.kg"_qs)),
            u"RDAPサーバの URL が https ではないため問い合わせません。"_qs);
        QVERIFY(!connection.isOpen());
        QCOMPARE(errors.count(), 0);
    }

    void closeEndsSilently()
    {
        Exchange x;
        x.server.answer("/autnum/1", Slow(QByteArray(1000, ' '), 64, 20));
        QCOMPARE(x.connection.get(QUrl(u"https://rdap.example.net/autnum/1"_qs)), QString());
        QTRY_VERIFY_WITH_TIMEOUT(x.pieces > 0, kTimeout);
        x.connection.close();
        QVERIFY(!x.connection.isOpen());
        QTest::qWait(100);
        QVERIFY(!x.events.contains(u"closed"_qs));
        QVERIFY(!x.events.contains(u"error"_qs));
    }
};

QTEST_GUILESS_MAIN(TestRdapConnection)
#include "tst_rdap_connection.moc"

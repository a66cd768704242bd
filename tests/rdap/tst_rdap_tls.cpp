#include "rdap/fixture.h"
#include "rdap/rdap_connection.h"
#include "support/http_test_server.h"

#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTest>

namespace {

constexpr int kTimeout = 20000;

// Trusts the test authority for as long as it lives, in this test only.
struct TrustTestAuthority {
    const QSslConfiguration saved = QSslConfiguration::defaultConfiguration();
    TrustTestAuthority()
    {
        QSslConfiguration trusting = saved;
        trusting.addCaCertificates(QSslCertificate::fromData(Fixture(u"../tls/ca.pem"_qs)));
        QSslConfiguration::setDefaultConfiguration(trusting);
    }
    ~TrustTestAuthority() { QSslConfiguration::setDefaultConfiguration(saved); }
    TrustTestAuthority(const TrustTestAuthority &) = delete;
    TrustTestAuthority &operator=(const TrustTestAuthority &) = delete;
};

struct Outcome {
    QByteArray body;
    QString failure;
};

Outcome Get(const HttpTestServer &server, const QByteArray &path)
{
    RdapConnection connection(RdapRoute { server.origin() });
    Outcome outcome;
    bool done = false;
    QObject::connect(&connection, &RdapConnection::closed, [&](const QByteArray &body) {
        outcome.body = body;
        done = true;
    });
    QObject::connect(&connection, &RdapConnection::error, [&](const QString &text) {
        outcome.failure = text;
        done = true;
    });
    if (!connection.get(QUrl(u"https://rdap.example.net"_qs + QString::fromLatin1(path))).isEmpty())
        return outcome;
    if (!QTest::qWaitFor([&] { return done; }, kTimeout))
        outcome.failure = u"(no outcome in time)"_qs;
    return outcome;
}

} // namespace

class TestRdapTls : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QSslSocket::supportsSsl(), "no TLS backend"); }

    void unknownAuthorityIsAnError()
    {
        const QSslConfiguration tls = ServerConfiguration();
        HttpTestServer server(&tls);
        server.answerJson("/domain/example.info", "{}");
        const Outcome outcome = Get(server, "/domain/example.info");
        QVERIFY(outcome.body.isEmpty());
        QVERIFY2(outcome.failure.startsWith(u"RDAPサーバと安全に接続できません。\n"_qs),
            qPrintable(outcome.failure));
        QVERIFY(outcome.failure.size() > 25); // the reason follows
    }

    void trustedAuthorityAnswers()
    {
        const TrustTestAuthority trust;
        const QSslConfiguration tls = ServerConfiguration();
        HttpTestServer server(&tls);
        server.answerJson("/domain/example.info", R"({"objectClassName": "domain"})");
        const Outcome outcome = Get(server, "/domain/example.info");
        QCOMPARE(outcome.failure, QString());
        QCOMPARE(outcome.body, QByteArray(R"({"objectClassName": "domain"})"));
    }

    void redirectToHttpIsRefused()
    {
        const TrustTestAuthority trust;
        const QSslConfiguration tls = ServerConfiguration();
        HttpTestServer server(&tls);
        HttpTestServer plain;
        plain.answerJson("/domain/example.info", "{}");
        server.redirect(
            "/domain/example.info", plain.origin().toString().toLatin1() + "/domain/example.info");
        const Outcome outcome = Get(server, "/domain/example.info");
        QCOMPARE(outcome.failure,
            u"RDAPサーバが暗号化されない http への転送を求めたため中止しました。"_qs);
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(plain.requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRdapTls)
#include "tst_rdap_tls.moc"

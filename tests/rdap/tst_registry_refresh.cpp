#include "rdap/fixture.h"
#include "rdap/registry_refresh.h"
#include "selection/query_key.h"
#include "selection/server_choice.h"
#include "support/http_test_server.h"
#include "support/registry_fixture.h"

#include <QDir>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kTimeout = 20000;
const QString kMovedAddress = u"41.1.2.3"_qs; // AFRINIC's in the built-in data

QByteArray Path(BootstrapFile file)
{
    return "/rdap/" + bootstrapFileName(file).toLatin1();
}

QString ChosenHost(const QString &key)
{
    return autoSelectServer(readQueryKey(key)).target.host;
}

} // namespace

Q_DECLARE_METATYPE(RegistryRefresh::Result)

class TestRegistryRefresh : public QObject {
    Q_OBJECT

    const QSslConfiguration m_tls = ServerConfiguration();
    const QSslConfiguration m_saved = QSslConfiguration::defaultConfiguration();
    std::unique_ptr<QTemporaryDir> m_cache;
    std::unique_ptr<HttpTestServer> m_server;
    std::unique_ptr<RegistryRefresh> m_refresh;
    const QDateTime m_hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);

    QUrl BaseUrl() const { return QUrl(m_server->origin().toString() + u"/rdap/"_qs); }

    std::unique_ptr<RegistryRefresh> NewRefresh() const
    {
        return std::make_unique<RegistryRefresh>(m_cache->path(), BaseUrl());
    }

    // Runs a refresh of every file (or of the stale ones) to its end.
    void Refresh(bool all = true)
    {
        QSignalSpy finished(m_refresh.get(), &RegistryRefresh::finished);
        if (all)
            m_refresh->refreshAll();
        else if (!m_refresh->refreshStale())
            return;
        QVERIFY(finished.wait(kTimeout));
    }

    void ServeBuiltIn()
    {
        for (const BootstrapFile file : kBootstrapFiles)
            m_server->answerJson(Path(file), BuiltInBootstrap(file));
    }

    QByteArray CachedBootstrapBody(BootstrapFile file) const
    {
        const std::optional<CachedBootstrap> cached = RegistryCache(m_cache->path()).readBootstrap(file);
        return cached ? cached->json : QByteArray();
    }

    HttpTestRequest RequestFor(const QByteArray &path) const
    {
        HttpTestRequest last;
        for (const HttpTestRequest &request : m_server->requests()) {
            if (request.target == path)
                last = request;
        }
        return last;
    }

    QStringList CacheFiles() const { return QDir(m_cache->path()).entryList(QDir::Files); }

private slots:
    void initTestCase()
    {
        QVERIFY2(QSslSocket::supportsSsl(), "no TLS backend");
        QSslConfiguration trusting = m_saved;
        trusting.addCaCertificates(QSslCertificate::fromData(Fixture(u"../tls/ca.pem"_qs)));
        QSslConfiguration::setDefaultConfiguration(trusting);
    }

    void cleanupTestCase() { QSslConfiguration::setDefaultConfiguration(m_saved); }

    void init()
    {
        RegistryData::use(nullptr);
        m_cache = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<HttpTestServer>(&m_tls);
        m_refresh = NewRefresh();
        QCOMPARE(ChosenHost(kMovedAddress), u"whois.afrinic.net"_qs);
    }

    void cleanup()
    {
        m_refresh.reset();
        RegistryData::use(nullptr);
    }

    void newerFileReplacesBuiltInAndChangesTheChoice()
    {
        ServeBuiltIn();
        HttpTestAnswer moved;
        moved.headers = { { "ETag", "\"v2\"" }, { "Last-Modified", "Mon, 07 Dec 2026 10:00:00 GMT" } };
        moved.body = MovedIpv4(m_hourAgo);
        m_server->answer(Path(BootstrapFile::Ipv4), moved);
        Refresh();

        QCOMPARE(m_refresh->lastResult(BootstrapFile::Ipv4).result, RegistryRefresh::Result::Replaced);
        QCOMPARE(m_refresh->lastResult(BootstrapFile::Dns).result, RegistryRefresh::Result::Confirmed);
        QCOMPARE(ChosenHost(kMovedAddress), u"whois.ripe.net"_qs);
        const BootstrapInfo info = RegistryData::inUse()->info(BootstrapFile::Ipv4);
        QVERIFY(info.fromCache);
        QCOMPARE(info.publication, QDateTime::fromString(m_hourAgo.toString(Qt::ISODate), Qt::ISODate));
        QVERIFY(!RegistryData::inUse()->info(BootstrapFile::Dns).fromCache);

        // A second refresh within the interval asks nothing, also after a restart.
        const qsizetype asked = m_server->requests().size();
        QVERIFY(!m_refresh->refreshStale());
        RegistryData::use(nullptr);
        m_refresh = NewRefresh();
        QCOMPARE(ChosenHost(kMovedAddress), u"whois.ripe.net"_qs);
        QVERIFY(!m_refresh->refreshStale());
        QCOMPARE(m_server->requests().size(), asked);

        // Asked again, the server says the copy has not changed.
        HttpTestAnswer notModified;
        notModified.status = 304;
        m_server->answer(Path(BootstrapFile::Ipv4), notModified);
        const QByteArray cached = CachedBootstrapBody(BootstrapFile::Ipv4);
        Refresh();
        const HttpTestRequest request = RequestFor(Path(BootstrapFile::Ipv4));
        QCOMPARE(request.headers.value("if-none-match"), QByteArray("\"v2\""));
        QCOMPARE(request.headers.value("if-modified-since"), QByteArray("Mon, 07 Dec 2026 10:00:00 GMT"));
        QCOMPARE(m_refresh->lastResult(BootstrapFile::Ipv4).result, RegistryRefresh::Result::Confirmed);
        QCOMPARE(CachedBootstrapBody(BootstrapFile::Ipv4), cached);
        QCOMPARE(ChosenHost(kMovedAddress), u"whois.ripe.net"_qs);
    }

    void refusedCopyLeavesTheDataInUse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<RegistryRefresh::Result>("result");
        const auto refused = RegistryRefresh::Result::Refused;
        const QDateTime builtIn = RegistryData::builtIn().info(BootstrapFile::Ipv4).publication;
        const QByteArray whole = MovedIpv4(m_hourAgo);
        QTest::newRow("truncated") << whole.first(whole.size() / 2) << refused;
        QTest::newRow("not JSON") << QByteArray("<html>Service Unavailable</html>") << refused;
        QTest::newRow("no services") << QByteArray(R"({"publication": "2026-12-01T00:00:00Z"})") << refused;
        QTest::newRow("no publication")
            << QJsonDocument(QJsonObject { { u"services"_qs, QJsonArray() } }).toJson() << refused;
        QTest::newRow("older") << MovedIpv4(builtIn.addDays(-1)) << refused;
        QTest::newRow("as old as in use, changed") << MovedIpv4(builtIn)
                                                << RegistryRefresh::Result::Confirmed;
        QTest::newRow("published in the future")
            << MovedIpv4(QDateTime::currentDateTimeUtc().addDays(30)) << refused;
        QTest::newRow("lost a fifth of its entries") << MovedIpv4(m_hourAgo, [](QJsonArray &services) {
            qsizetype dropped = 0;
            for (QJsonValueRef entry : services) {
                QJsonArray service = entry.toArray();
                QJsonArray keys = service.at(0).toArray();
                while (keys.size() > 1 && dropped < 60) {
                    keys.removeLast();
                    ++dropped;
                }
                service.replace(0, keys);
                entry = service;
            }
        }) << refused;
    }

    void refusedCopyLeavesTheDataInUse()
    {
        QFETCH(QByteArray, body);
        QFETCH(RegistryRefresh::Result, result);
        const std::shared_ptr<const RegistryData> before = RegistryData::inUse();
        m_server->answerJson(Path(BootstrapFile::Ipv4), body);
        Refresh();
        QCOMPARE(m_refresh->lastResult(BootstrapFile::Ipv4).result, result);
        QCOMPARE(RegistryData::inUse(), before);
        QCOMPARE(ChosenHost(kMovedAddress), u"whois.afrinic.net"_qs);
        // A restart reads nothing newer from the cache either.
        m_refresh = NewRefresh();
        QCOMPARE(ChosenHost(kMovedAddress), u"whois.afrinic.net"_qs);
        QVERIFY(!RegistryData::inUse()->info(BootstrapFile::Ipv4).fromCache);
    }

    void offlineLeavesEverythingAsItWas()
    {
        const QUrl closed = BaseUrl();
        m_server.reset(); // nothing listens on its port any more
        m_refresh = std::make_unique<RegistryRefresh>(m_cache->path(), closed);
        const std::shared_ptr<const RegistryData> before = RegistryData::inUse();
        QSignalSpy finished(m_refresh.get(), &RegistryRefresh::finished);
        QVERIFY(m_refresh->refreshStale());
        QVERIFY(finished.wait(kTimeout));
        for (const BootstrapFile file : kBootstrapFiles) {
            QCOMPARE(m_refresh->lastResult(file).result, RegistryRefresh::Result::Failed);
            QVERIFY(!m_refresh->lastResult(file).detail.isEmpty());
        }
        QCOMPARE(RegistryData::inUse(), before);
        QCOMPARE(CacheFiles(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRegistryRefresh)
#include "tst_registry_refresh.moc"

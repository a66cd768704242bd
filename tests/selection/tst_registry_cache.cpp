#include "selection/query_key.h"
#include "selection/registry_cache.h"
#include "selection/server_choice.h"
#include "support/registry_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Published the day before now, newer than the built-in copy.
QByteArray NewerMovedIpv4()
{
    return MovedIpv4(QDateTime::currentDateTimeUtc().addDays(-1));
}

QueryTarget Chosen(const QString &key)
{
    return autoSelectServer(readQueryKey(key)).target;
}

} // namespace

class TestRegistryCache : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    RegistryCache Cache() const { return RegistryCache(m_dir->path()); }
    QString PathOf(const QString &name) const { return m_dir->filePath(name); }

private slots:
    void init()
    {
        RegistryData::use(nullptr);
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void cleanup() { RegistryData::use(nullptr); }

    void movedFixtureIsNewer()
    {
        const BootstrapInfo moved = RegistryData::readInfo(BootstrapFile::Ipv4, NewerMovedIpv4());
        QVERIFY(mayReplace(moved, RegistryData::builtIn().info(BootstrapFile::Ipv4),
            QDateTime::currentDateTimeUtc()));
        QCOMPARE(moved.entries, RegistryData::builtIn().info(BootstrapFile::Ipv4).entries);
    }

    void cachedCopyIsReadBack()
    {
        const CachedBootstrap written { NewerMovedIpv4(), "W/\"abc\"", "Sun, 06 Dec 2026 08:00:00 GMT",
            QDateTime::currentDateTimeUtc().addSecs(-5) };
        QVERIFY(Cache().writeBootstrap(BootstrapFile::Ipv4, written));
        const std::optional<CachedBootstrap> read = Cache().readBootstrap(BootstrapFile::Ipv4);
        QVERIFY(read);
        QCOMPARE(read->json, written.json);
        QCOMPARE(read->etag, written.etag);
        QCOMPARE(read->lastModified, written.lastModified);
        QCOMPARE(read->checked.toSecsSinceEpoch(), written.checked.toSecsSinceEpoch());
        RegistryData::use(Cache().loadData());
        QCOMPARE(Chosen(u"41.1.2.3"_qs).host, u"whois.ripe.net"_qs);
        QVERIFY(RegistryData::inUse()->info(BootstrapFile::Ipv4).fromCache);
    }

    // A damaged cache file counts as absent: the built-in copy stays in use.
    void damagedCacheFileIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray head = "Domquire registry cache 1\nChecked: 2026-12-06T00:00:00Z\n";
        const QByteArray body = NewerMovedIpv4();
        QTest::newRow("no header") << body;
        QTest::newRow("other magic line") << "Domquire registry cache 2\nChecked: 2026-12-06T00:00:00Z\n\n" + body;
        QTest::newRow("no checked time") << "Domquire registry cache 1\nETag: \"a\"\n\n" + body;
        QTest::newRow("bad checked time") << "Domquire registry cache 1\nChecked: yesterday\n\n" + body;
        QTest::newRow("control character") << head + "ETag: \"a\x01\"\n\n" + body;
        QTest::newRow("line without colon") << head + "ETag\n\n" + body;
        QTest::newRow("header without end") << head + body;
        QTest::newRow("overlong header") << head + "ETag: " + QByteArray(5000, 'a') + "\n\n" + body;
        QTest::newRow("truncated body") << head + '\n' + body.first(body.size() - 40);
        QTest::newRow("older body") << head + '\n'
                + MovedIpv4(RegistryData::builtIn().info(BootstrapFile::Ipv4).publication.addDays(-1));
    }

    void damagedCacheFileIsIgnored()
    {
        QFETCH(QByteArray, bytes);
        QFile file(PathOf(u"ipv4.json.cache"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        RegistryData::use(Cache().loadData());
        QCOMPARE(Chosen(u"41.1.2.3"_qs).host, u"whois.afrinic.net"_qs);
        QVERIFY(!RegistryData::inUse()->info(BootstrapFile::Ipv4).fromCache);
    }

    // A learnt host answers for an unknown TLD and takes the place of the
    // listed one, in the data in use at once and after a restart.
    void learntHostDecidesTheChoice()
    {
        QCOMPARE(autoSelectServer(readQueryKey(u"example.newtld"_qs)).outcome,
            ServerChoice::Outcome::NoServer);
        QCOMPARE(Chosen(u"example.de"_qs).host, u"whois.denic.de"_qs);
        QVERIFY(Cache().learn(u"newtld"_qs, u"Whois.Nic.Newtld"_qs));
        QVERIFY(Cache().learn(u"de"_qs, u"whois.moved.example"_qs));
        for (int restart = 0; restart < 2; ++restart) {
            QCOMPARE(Chosen(u"example.newtld"_qs), QueryTarget::whois(u"whois.nic.newtld"_qs));
            QCOMPARE(Chosen(u"example.de"_qs).host, u"whois.moved.example"_qs);
            RegistryData::use(nullptr);
            RegistryData::use(Cache().loadData());
        }
    }

    void learnRefusesWhatIsNoHost_data()
    {
        QTest::addColumn<QString>("topLevel");
        QTest::addColumn<QString>("host");
        QTest::newRow("two labels") << u"co.newtld"_qs << u"whois.nic.newtld"_qs;
        QTest::newRow("empty label") << QString() << u"whois.nic.newtld"_qs;
        QTest::newRow("tab in the host") << u"newtld"_qs << u"whois.nic\tnewtld"_qs;
        QTest::newRow("line break in the host") << u"newtld"_qs << u"whois.nic.newtld\nde\tevil.example"_qs;
        QTest::newRow("blank in the host") << u"newtld"_qs << u"whois nic"_qs;
        QTest::newRow("empty host") << u"newtld"_qs << QString();
        QTest::newRow("overlong label") << QString(64, u'a') << u"whois.nic.newtld"_qs;
    }

    void learnRefusesWhatIsNoHost()
    {
        QFETCH(QString, topLevel);
        QFETCH(QString, host);
        QVERIFY(!Cache().learn(topLevel, host));
        QVERIFY(!QFile::exists(PathOf(u"tld-whois.txt"_qs)));
        QCOMPARE(Chosen(u"example.de"_qs).host, u"whois.denic.de"_qs);
    }

    // Hand-edited or damaged lines of the learnt file are skipped, the
    // others kept.
    void learntFileKeepsItsGoodLines()
    {
        QFile file(PathOf(u"tld-whois.txt"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("de\twhois nic\nnewtld\twhois.nic.newtld\nbad.tld\twhois.bad.example\n\xff\xfe\n"
                   "other\twhois.other.example\textra\n");
        file.close();
        RegistryData::use(Cache().loadData());
        QCOMPARE(Chosen(u"example.newtld"_qs).host, u"whois.nic.newtld"_qs);
        QCOMPARE(Chosen(u"example.de"_qs).host, u"whois.denic.de"_qs);
        QCOMPARE(autoSelectServer(readQueryKey(u"example.other"_qs)).outcome,
            ServerChoice::Outcome::NoServer);
    }

    // The file keeps the newest kMaxLearntHosts; learning a TLD again makes
    // it the newest.
    void learntHostsAreBounded()
    {
        const qsizetype count = RegistryCache::kMaxLearntHosts + 20;
        const auto label = [](qsizetype i) { return u"tld"_qs + QString::number(i); };
        const auto host = [&](qsizetype i) { return u"whois."_qs + label(i) + u".example"_qs; };
        QByteArray full;
        for (qsizetype i = 0; i < RegistryCache::kMaxLearntHosts; ++i)
            full += (label(i) + u'\t' + host(i) + u'\n').toLatin1();
        QFile file(PathOf(u"tld-whois.txt"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(full);
        file.close();
        QVERIFY(Cache().learn(label(0), u"whois.again.example"_qs));
        for (qsizetype i = RegistryCache::kMaxLearntHosts; i < count; ++i)
            QVERIFY(Cache().learn(label(i), host(i)));

        QCOMPARE(Cache().readLearntHosts().count('\n'), RegistryCache::kMaxLearntHosts);
        QCOMPARE(Chosen(u"a."_qs + label(0)).host, u"whois.again.example"_qs);
        QCOMPARE(autoSelectServer(readQueryKey(u"a."_qs + label(20))).outcome,
            ServerChoice::Outcome::NoServer);
        QCOMPARE(Chosen(u"a."_qs + label(21)).host, host(21));
        QCOMPARE(Chosen(u"a."_qs + label(count - 1)).host, host(count - 1));
    }
};

QTEST_GUILESS_MAIN(TestRegistryCache)
#include "tst_registry_cache.moc"

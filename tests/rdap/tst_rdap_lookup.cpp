#include "rdap/rdap_lookup.h"
#include "selection/server_choice.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

// The services of a bootstrap file, read here on their own.
QJsonArray Services(const QString &file)
{
    QFile json(QStringLiteral(DQ_REGISTRY_DIR "/") + file);
    if (!json.open(QIODevice::ReadOnly))
        qFatal("no %s", qPrintable(file));
    return QJsonDocument::fromJson(json.readAll()).object().value(u"services").toArray();
}

QString HttpsBase(const QJsonArray &urls)
{
    for (const QJsonValue &url : urls) {
        if (url.toString().startsWith(u"https://"))
            return url.toString();
    }
    return {};
}

QString Lookup(const QString &key)
{
    const QueryKey queryKey = readQueryKey(key);
    const std::optional<QUrl> url = rdapLookupUrl(queryKey, autoSelectServer(queryKey).rdap);
    return url ? url->toString(QUrl::FullyEncoded) : QString();
}

} // namespace

class TestRdapLookup : public QObject {
    Q_OBJECT

private slots:
    void lookup_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("url");
        const QString none;
        QTest::newRow("upper case, blanks, final dot")
            << u" Example.INFO. "_qs
            << u"https://rdap.identitydigital.services/rdap/domain/example.info"_qs;
        QTest::newRow("second level under a TLD")
            << u"www.example.co.uk"_qs << u"https://rdap.nominet.uk/uk/domain/www.example.co.uk"_qs;
        QTest::newRow("IDN in its ASCII form")
            << u"ドメイン.com"_qs
            << u"https://rdap.verisign.com/com/v1/domain/xn--eckwd4c7c.com"_qs;
        QTest::newRow(".jp has no RDAP") << u"example.jp"_qs << none;
        QTest::newRow(".de has no RDAP") << u"example.de"_qs << none;
        QTest::newRow("a single word") << u"info"_qs << none;
        QTest::newRow("a name with a slash") << u"a/b.info"_qs << none;
        QTest::newRow("IPv4") << u"192.0.2.1"_qs
                              << u"https://rdap.arin.net/registry/ip/192.0.2.1"_qs;
        QTest::newRow("IPv4 of APNIC") << u"1.1.1.1"_qs << u"https://rdap.apnic.net/ip/1.1.1.1"_qs;
        QTest::newRow("private IPv4") << u"10.0.0.1"_qs << none;
        QTest::newRow("IPv4 prefix by its network")
            << u"8.8.8.8/24"_qs << u"https://rdap.arin.net/registry/ip/8.8.8.0/24"_qs;
        QTest::newRow("IPv4 network")
            << u"1.1.1.0/24"_qs << u"https://rdap.apnic.net/ip/1.1.1.0/24"_qs;
        QTest::newRow("IPv4 /0") << u"8.8.8.8/0"_qs << none;
        QTest::newRow("Teredo by its IPv4") << u"2001:0:4136:e378:8000:63bf:f7f7:f7f7"_qs
                                            << u"https://rdap.arin.net/registry/ip/8.8.8.8"_qs;
        QTest::newRow("full-width IPv4")
            << u"１．１．１．１"_qs << u"https://rdap.apnic.net/ip/1.1.1.1"_qs;
        QTest::newRow(".kg lists http only") << u"example.kg"_qs << none;
        QTest::newRow("IPv6") << u"2001:200::1"_qs << u"https://rdap.apnic.net/ip/2001:200::1"_qs;
        QTest::newRow("IPv6 prefix in upper case")
            << u"2001:DB8:0::/32"_qs << u"https://rdap.apnic.net/ip/2001:db8::/32"_qs;
        QTest::newRow("IPv6 loopback") << u"::1"_qs << none;
        QTest::newRow("IPv6 prefix of RIPE")
            << u"2001:1400::/22"_qs << u"https://rdap.db.ripe.net/ip/2001:1400::/22"_qs;
        QTest::newRow("AS number") << u"AS4713"_qs << u"https://rdap.apnic.net/autnum/4713"_qs;
        QTest::newRow("AS number with a blank")
            << u"as 3333"_qs << u"https://rdap.db.ripe.net/autnum/3333"_qs;
        QTest::newRow("private AS number") << u"AS64512"_qs << none;
        QTest::newRow("asdot") << u"AS3.4"_qs << u"https://rdap.db.ripe.net/autnum/196612"_qs;
        QTest::newRow("pasted URL")
            << u"https://Example.INFO/path?q=1"_qs
            << u"https://rdap.identitydigital.services/rdap/domain/example.info"_qs;
    }

    void lookup()
    {
        QFETCH(QString, key);
        QFETCH(QString, url);
        QCOMPARE(Lookup(key), url);
    }

    // Every top-level domain of the bootstrap file: a name under it asks the
    // service's https base, and none when the service lists only http.
    void everyTopLevelDomain()
    {
        int checked = 0;
        for (const QJsonValue &service : Services(u"dns.json"_qs)) {
            const QString base = HttpsBase(service.toArray().at(1).toArray());
            for (const QJsonValue &tld : service.toArray().at(0).toArray()) {
                const QString name = u"example."_qs + tld.toString();
                const QString expected = base.isEmpty() ? QString() : base + u"domain/"_qs + name;
                QCOMPARE(Lookup(name), expected);
                ++checked;
            }
        }
        QVERIFY(checked > 1000);
    }
};

QTEST_GUILESS_MAIN(TestRdapLookup)
#include "tst_rdap_lookup.moc"

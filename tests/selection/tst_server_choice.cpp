#include "selection/ip_list.h"
#include "selection/server_choice.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

constexpr quint32 kSeed = 20261207;

const QString kIana = u"whois.iana.org"_qs;
const QString kJpnic = u"whois.nic.ad.jp"_qs;
const QString kArin = u"whois.arin.net"_qs;

// The whois host of each regional registry, by the host of its RDAP base.
const QHash<QString, QString> kRegistryByRdapHost = {
    { u"rdap.afrinic.net"_qs, u"whois.afrinic.net"_qs },
    { u"rdap.apnic.net"_qs, u"whois.apnic.net"_qs },
    { u"rdap.arin.net"_qs, u"whois.arin.net"_qs },
    { u"rdap.lacnic.net"_qs, u"whois.lacnic.net"_qs },
    { u"rdap.db.ripe.net"_qs, u"whois.ripe.net"_qs },
};

// The blocks that the address table gives JPNIC, copied from the table as
// "first octet: second octets" and "first.second: third octets".
const char *const kJpnicBlocks[] = {
    "133: 0-255",
    "61: 112-127, 192-215",
    "129: 60, 249",
    "130: 34, 52, 69, 87, 153, 158",
    "131: 112-113, 206, 248",
    "132: 179, 182, 222",
    "134: 160, 180, 237",
    "136: 187, 198",
    "138: 101, 107, 212",
    "139: 152, 154",
    "143: 90, 125",
    "144: 213",
    "146: 56",
    "147: 157",
    "148: 161",
    "150: 1-100",
    "155: 160",
    "157: 1-4, 6-14, 16-17, 19-20, 63-80, 82, 101-120, 205",
    "158: 198-217",
    "159: 211",
    "160: 11-30, 74, 185-199, 201-204, 233, 235, 237-252",
    "161: 248",
    "163: 42-51, 53-56, 58-61, 130-149, 208-212, 214-215, 217-221, 223-227",
    "164: 43, 46, 69-71, 160-163",
    "165: 14, 76, 93, 96, 99-102, 108, 241-242",
    "166: 100, 118-119",
    "167: 169",
    "202: 11, 13, 15-16, 23-26, 32-35, 48, 208-255",
    "203: 136-141, 178-183",
    "210: 128-175, 188-191, 196-199, 224-239, 248-255",
    "211: 0-19, 120-135",
    "218: 40-47, 216-231",
    "219: 96-127, 160-165",
    "192.5: 216",
    "192.26: 91",
    "192.31: 116-124, 197-206",
    "192.33: 135",
    "192.41: 178-197",
    "192.42: 103-107",
    "192.47: 0-241",
    "192.51: 16-255",
    "192.68: 235-249",
    "192.70: 179",
    "192.88: 101",
    "192.132: 8",
    "192.135: 89-103, 105-107",
    "192.153: 95-114",
    "192.156: 141-154, 157-159, 220",
    "192.172: 227-228, 232-233, 235-237, 240-246",
    "192.188: 73-85, 88-92",
    "198.17: 118",
};

// JPNIC's addresses as a set of "a.b" (second-octet rows) and "a.b.c" keys.
QSet<QString> JpnicPrefixes()
{
    QSet<QString> prefixes;
    for (const char *row : kJpnicBlocks) {
        const QStringList parts = QString::fromLatin1(row).split(u": "_qs);
        for (const QString &range : parts[1].split(u", "_qs)) {
            const QStringList bounds = range.split(u'-');
            for (int n = bounds.first().toInt(); n <= bounds.last().toInt(); ++n)
                prefixes.insert(parts[0] + u'.' + QString::number(n));
        }
    }
    return prefixes;
}

QJsonArray Services(const QString &file)
{
    QFile json(QStringLiteral(DQ_REGISTRY_DIR "/") + file);
    if (!json.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file));
    return QJsonDocument::fromJson(json.readAll()).object().value(u"services").toArray();
}

// Each key of a bootstrap file with the whois host of its registry (empty
// for a service that is no regional registry).
QList<std::pair<QString, QString>> RegistryOfEachKey(const QString &file)
{
    QList<std::pair<QString, QString>> keys;
    for (const QJsonValue &service : Services(file)) {
        const QString rdapHost = QUrl(service[1][0].toString()).host();
        for (const QJsonValue &key : service[0].toArray())
            keys.append({ key.toString(), kRegistryByRdapHost.value(rdapHost) });
    }
    return keys;
}

ServerChoice Choose(const QString &key)
{
    return autoSelectServer(readQueryKey(key));
}

QString WhoisHostOf(const QString &key)
{
    const ServerChoice choice = Choose(key);
    return choice.outcome == ServerChoice::Outcome::Whois ? choice.target.host : u"<none>"_qs;
}

QString Failure(const QString &key, const QString &actual)
{
    return u"seed %1, key '%2' gave '%3'"_qs.arg(kSeed).arg(key, actual);
}

QString Ipv6Text(const QHostAddress &network, QRandomGenerator &rng, int length)
{
    Q_IPV6ADDR bytes = network.toIPv6Address();
    for (int bit = length; bit < 128; ++bit) {
        if (rng.bounded(2))
            bytes[bit / 8] |= quint8(0x80 >> (bit % 8));
    }
    return QHostAddress(bytes).toString();
}

} // namespace

class TestServerChoice : public QObject {
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("line");
        QTest::newRow("IPv6 loopback") << u"::1"_qs << kIana << u"::1"_qs;
        QTest::newRow("IPv6 link-local") << u"fe80::1"_qs << kIana << u"fe80::1"_qs;
        QTest::newRow("IPv4-mapped") << u"::ffff:1.1.1.1"_qs << u"whois.apnic.net"_qs << u"1.1.1.1"_qs;
        QTest::newRow("IPv4-mapped, JPNIC block")
            << u"::FFFF:133.1.2.3"_qs << kJpnic << u"133.1.2.3"_qs;
        QTest::newRow("6to4") << u"2002:0808:0808::1"_qs << kArin << u"8.8.8.8"_qs;
        QTest::newRow("6to4 prefix stays IPv6") << u"2002::/16"_qs << kIana << u"2002::/16"_qs;
        QTest::newRow("Teredo") << u"2001:0:4136:e378:8000:63bf:f7f7:f7f7"_qs << kArin
                                << u"8.8.8.8"_qs;
        QTest::newRow("Teredo, JPNIC block")
            << u"2001::7afe:fdfc"_qs << kJpnic << u"133.1.2.3"_qs;
        QTest::newRow("IPv4 prefix") << u"8.8.8.8/24"_qs << kArin << u"8.8.8.8/24"_qs;
        QTest::newRow("IPv4 prefix, JPNIC block")
            << u"133.0.0.0/8"_qs << kJpnic << u"133.0.0.0/8"_qs;
        QTest::newRow("IPv4 prefix too long") << u"8.8.8.8/33"_qs << u"<none>"_qs << u"8.8.8.8/33"_qs;
        QTest::newRow("IPv4 with blanks, as typed")
            << u"8 . 8 . 8 . 8"_qs << kArin << u"8 . 8 . 8 . 8"_qs;
        QTest::newRow("full-width IPv4") << u"８．８．８．８"_qs << kArin << u"8.8.8.8"_qs;
        QTest::newRow("full-width IPv6") << u"２００１：２００：：１"_qs << u"whois.apnic.net"_qs
                                         << u"2001:200::1"_qs;
        QTest::newRow("private AS") << u"AS64512"_qs << kIana << u"AS64512"_qs;
        QTest::newRow("full-width AS") << u"ＡＳ１５１６９"_qs << kArin << u"AS15169"_qs;
        QTest::newRow("asdot") << u"AS1.1"_qs << kIana << u"AS65537"_qs;
        QTest::newRow("asdot, RIPE range") << u"as3.4"_qs << u"whois.ripe.net"_qs << u"AS196612"_qs;
        QTest::newRow("two blanks are no AS") << u"AS  4713"_qs << kIana << u"AS  4713"_qs;
        QTest::newRow("bare number") << u"4713"_qs << kIana << u"4713"_qs;
        QTest::newRow("second-level stays")
            << u"example.ac.uk"_qs << u"whois.nic.ac.uk"_qs << u"example.ac.uk"_qs;
        QTest::newRow("built-in table where the data lists nothing")
            << u"example.za"_qs << u"whois.nic.za"_qs << u"example.za"_qs;
        QTest::newRow("built-in table's IANA where the data lists nothing")
            << u"example.gr"_qs << kIana << u"example.gr"_qs;
        QTest::newRow("no dot") << u"localhost"_qs << kIana << u"localhost"_qs;
        QTest::newRow("blanks around, as typed")
            << u"  example.jp  "_qs << u"whois.jprs.jp"_qs << u"  example.jp  "_qs;
        QTest::newRow("capitals, as typed")
            << u"Example.COM"_qs << u"whois.verisign-grs.com"_qs << u"Example.COM"_qs;
        QTest::newRow("final dot")
            << u"example.com."_qs << u"whois.verisign-grs.com"_qs << u"example.com"_qs;
        QTest::newRow("final dot, .jp") << u" Example.JP. "_qs << u"whois.jprs.jp"_qs << u"example.jp"_qs;
        QTest::newRow("trailing ideographic space")
            << u"example.com\u3000"_qs << u"whois.verisign-grs.com"_qs << u"example.com"_qs;
        QTest::newRow("full-width name")
            << u"ＥＸＡＭＰＬＥ．ＣＯＭ\u3000"_qs << u"whois.verisign-grs.com"_qs << u"example.com"_qs;
        QTest::newRow("URL") << u"https://example.jp/path?q=1"_qs << u"whois.jprs.jp"_qs
                             << u"example.jp"_qs;
        QTest::newRow("URL with user and port")
            << u"http://user@Example.COM:8080/"_qs << u"whois.verisign-grs.com"_qs << u"example.com"_qs;
        QTest::newRow("URL of an address") << u"http://[2002:808:808::1]/"_qs << kArin << u"8.8.8.8"_qs;
        QTest::newRow("IDN URL") << u"https://日本語.jp/"_qs << u"whois.jprs.jp"_qs
                                 << u"xn--wgv71a119e.jp"_qs;
        QTest::newRow("CentralNic second level")
            << u"example.us.com"_qs << u"whois.centralnic.net"_qs << u"example.us.com"_qs;
        QTest::newRow("CentralNic second level, .net")
            << u"example.uk.net"_qs << u"whois.centralnic.net"_qs << u"example.uk.net"_qs;
        QTest::newRow("other .com stays")
            << u"example.xx.com"_qs << u"whois.verisign-grs.com"_qs << u"example.xx.com"_qs;
        QTest::newRow(".za second level")
            << u"example.co.za"_qs << u"whois.registry.net.za"_qs << u"example.co.za"_qs;
        QTest::newRow(".za second level, org")
            << u"example.org.za"_qs << u"org-whois.registry.net.za"_qs << u"example.org.za"_qs;
        QTest::newRow("IDN top level alone") << u"みんな"_qs << kIana << u"xn--q9jyb4c"_qs;
        QTest::newRow("full-width letters in a company name, as typed")
            << u"ＡＢＣ株式会社\u3000"_qs << kIana << u"ＡＢＣ株式会社\u3000"_qs;
        QTest::newRow("IDN .jp") << u"日本語.jp"_qs << u"whois.jprs.jp"_qs
                                 << u"xn--wgv71a119e.jp"_qs;
        QTest::newRow("IDN with blanks")
            << u" 日本語.jp "_qs << u"whois.jprs.jp"_qs << u"xn--wgv71a119e.jp"_qs;
        QTest::newRow("full-width dot and letters")
            << u"日本語．ｊｐ"_qs << u"whois.jprs.jp"_qs << u"xn--wgv71a119e.jp"_qs;
        QTest::newRow("ideographic full stop")
            << u"ｅｘａｍｐｌｅ。ｃｏｍ"_qs << u"whois.verisign-grs.com"_qs << u"example.com"_qs;
        QTest::newRow("IDN top level")
            << u"例え.コム"_qs << u"whois.nic.xn--tckwe"_qs << u"xn--r8jz45g.xn--tckwe"_qs;
        QTest::newRow("organisation name stays")
            << u"日本語株式会社"_qs << kIana << u"日本語株式会社"_qs;
        QTest::newRow("dotted words, unknown top level")
            << u"株式会社.日本語"_qs << u"<none>"_qs << u"株式会社.日本語"_qs;
    }

    void keys()
    {
        QFETCH(QString, key);
        QFETCH(QString, host);
        QFETCH(QString, line);
        const ServerChoice choice = Choose(key);
        QCOMPARE(WhoisHostOf(key), host);
        QCOMPARE(choice.key.line, line);
        if (host != u"<none>")
            QCOMPARE(choice.target.port, quint16(43));
    }

    // Every printable ASCII key above, typed in full-width forms, is read as
    // the ASCII key: the same server, and the line is what the server is
    // chosen by.
    void fullWidthFormsReadAsAscii()
    {
        const QStringList keys = { u"8.8.8.8"_qs, u"133.1.2.3/24"_qs, u"2001:200::1"_qs,
            u"::ffff:1.1.1.1"_qs, u"AS15169"_qs, u"as3.4"_qs, u"Example.COM"_qs,
            u"example.co.za"_qs, u"https://example.jp/a?b=c"_qs, u"example.info."_qs };
        for (const QString &key : keys) {
            QString fullWidth = key;
            for (QChar &c : fullWidth)
                c = QChar(c.unicode() + 0xFEE0);
            const ServerChoice ascii = Choose(key);
            const ServerChoice folded = Choose(fullWidth + u'\u3000');
            QCOMPARE(folded.outcome, ascii.outcome);
            QCOMPARE(folded.target, ascii.target);
            QCOMPARE(folded.key.text, ascii.key.text);
            QCOMPARE(folded.key.line, ascii.key.text);
        }
    }

    void asNumberTooLarge_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("tooLarge");
        QTest::newRow("largest") << u"AS4294967295"_qs << false;
        QTest::newRow("beyond 32 bits") << u"AS4294967296"_qs << true;
        QTest::newRow("twenty digits") << u"AS99999999999999999999"_qs << true;
        QTest::newRow("largest asdot") << u"AS65535.65535"_qs << false;
        QTest::newRow("asdot high part") << u"AS65536.0"_qs << true;
        QTest::newRow("asdot low part") << u"AS0.65536"_qs << true;
    }

    void asNumberTooLarge()
    {
        QFETCH(QString, key);
        QFETCH(bool, tooLarge);
        const QueryKey read = readQueryKey(key);
        QCOMPARE(read.kind, QueryKey::Kind::AsNumber);
        QCOMPARE(read.asNumberTooLarge, tooLarge);
        if (!tooLarge)
            QCOMPARE(read.asNumber, 4294967295u);
    }

    void otherOutcomes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<ServerChoice::Outcome>("outcome");
        QTest::newRow("example.info") << u"example.info"_qs << ServerChoice::Outcome::RdapOnly;
        QTest::newRow("capitals and blanks")
            << u"Example . DEV "_qs << ServerChoice::Outcome::RdapOnly;
        QTest::newRow("unknown top level")
            << u"example.invalid"_qs << ServerChoice::Outcome::NoServer;
        QTest::newRow("empty second level") << u"example..jp"_qs << ServerChoice::Outcome::NoServer;
        QTest::newRow("label too long for IDNA")
            << QString(70, u'あ') + u".jp"_qs << ServerChoice::Outcome::NoAsciiForm;
        QTest::newRow("disallowed character")
            << u"日本\u2028語.jp"_qs << ServerChoice::Outcome::NoAsciiForm;
    }

    void otherOutcomes()
    {
        QFETCH(QString, key);
        QFETCH(ServerChoice::Outcome, outcome);
        QCOMPARE(Choose(key).outcome, outcome);
    }

    // Every top-level domain with a port-43 server in IANA's list goes there;
    // every other one with an RDAP service is "RDAP only".
    void everyTopLevelDomain()
    {
        QFile list(QStringLiteral(DQ_REGISTRY_DIR "/tld-whois.txt"));
        QVERIFY(list.open(QIODevice::ReadOnly | QIODevice::Text));
        QSet<QString> withWhois;
        while (!list.atEnd()) {
            const QString line = QString::fromUtf8(list.readLine()).trimmed();
            if (line.startsWith(u'#'))
                continue;
            const QStringList fields = line.split(u'\t');
            QCOMPARE(fields.size(), 2);
            withWhois.insert(fields[0]);
            const QString key = u"example."_qs + fields[0];
            QVERIFY2(WhoisHostOf(key) == fields[1], qPrintable(Failure(key, WhoisHostOf(key))));
        }
        QVERIFY(withWhois.size() > 500);

        int rdapOnly = 0;
        for (const auto &[tld, registry] : RegistryOfEachKey(u"dns.json"_qs)) {
            if (withWhois.contains(tld))
                continue;
            ++rdapOnly;
            const ServerChoice choice = Choose(u"www.example."_qs + tld.toUpper());
            QVERIFY2(choice.outcome == ServerChoice::Outcome::RdapOnly && choice.rdap && !choice.rdap->httpsBase().isEmpty(),
                qPrintable(tld));
        }
        QVERIFY(rdapOnly > 0);
    }

    // Every IPv4 address: JPNIC's blocks of the address table stay JPNIC's;
    // every other address of an allocated /8 goes to its registry; the rest
    // (private, loopback, multicast, reserved) stays with ARIN as before.
    void everyIpv4Block()
    {
        QHash<int, QString> registryOfBlock;
        for (const auto &[prefix, registry] : RegistryOfEachKey(u"ipv4.json"_qs)) {
            QVERIFY(prefix.endsWith(u".0.0.0/8"));
            registryOfBlock.insert(prefix.section(u'.', 0, 0).toInt(), registry);
        }
        QVERIFY(registryOfBlock.size() > 200);

        const QSet<QString> jpnic = JpnicPrefixes();
        QSet<QString> jpnicThirdRows;
        for (const QString &prefix : jpnic) {
            if (prefix.count(u'.') == 2)
                jpnicThirdRows.insert(prefix.section(u'.', 0, 1));
        }
        QCOMPARE(jpnicThirdRows.size(), 18);
        QRandomGenerator rng(kSeed);
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                // Every third octet where the table lists third octets.
                const bool byThird = jpnicThirdRows.contains(u"%1.%2"_qs.arg(a).arg(b));
                for (int c = 0; c < 256; c += byThird ? 1 : 256) {
                    const int third = byThird ? c : rng.bounded(256);
                    const QString ab = u"%1.%2"_qs.arg(a).arg(b);
                    const QString abc = ab + u'.' + QString::number(third);
                    const QString key = abc + u'.' + QString::number(rng.bounded(256));
                    const QString expected = jpnic.contains(ab) || jpnic.contains(abc)
                        ? kJpnic
                        : registryOfBlock.value(a, kArin);
                    const QString actual = WhoisHostOf(key);
                    QVERIFY2(actual == expected, qPrintable(Failure(key, actual)));
                }
            }
        }
    }

    // Each IPv6 prefix: its first address, a random address inside it, and
    // the prefix itself go to its registry.
    void everyIpv6Prefix()
    {
        QRandomGenerator rng(kSeed);
        const auto prefixes = RegistryOfEachKey(u"ipv6.json"_qs);
        QVERIFY(prefixes.size() > 30);
        for (const auto &[prefix, registry] : prefixes) {
            const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(prefix);
            for (const QString &key :
                { prefix, subnet.first.toString(), Ipv6Text(subnet.first, rng, subnet.second) }) {
                QVERIFY2(WhoisHostOf(key) == registry, qPrintable(Failure(key, WhoisHostOf(key))));
            }
        }
    }

    // Each AS range: its ends and a random number inside, in each notation.
    void everyAsRange()
    {
        QRandomGenerator rng(kSeed);
        const auto ranges = RegistryOfEachKey(u"asn.json"_qs);
        QVERIFY(ranges.size() > 100);
        const QStringList notations = { u"AS%1"_qs, u"as%1"_qs, u"AS %1"_qs, u"aS%1"_qs };
        for (const auto &[range, registry] : ranges) {
            const quint32 first = range.section(u'-', 0, 0).toUInt();
            const quint32 last = range.section(u'-', -1).toUInt();
            for (const quint32 number : { first, last, first + rng.bounded(last - first + 1) }) {
                const QString key = notations[rng.bounded(4)].arg(number);
                QVERIFY2(WhoisHostOf(key) == registry, qPrintable(Failure(key, WhoisHostOf(key))));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestServerChoice)
#include "tst_server_choice.moc"

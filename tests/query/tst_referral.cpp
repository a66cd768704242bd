#include "query/referral.h"
#include "query/referral_policy.h"

#include <QTest>

namespace {

const QString kIana = u"whois.iana.org"_qs;
const QString kVeriSign = u"whois.verisign-grs.com"_qs;
const QString kArin = u"whois.arin.net"_qs;
const QString kApnic = u"whois.apnic.net"_qs;

const QString kIanaCom = uR"(% IANA WHOIS server
% for more information on IANA, visit http://www.iana.org

refer:        whois.verisign-grs.com

domain:       COM

organisation: VeriSign Global Registry Services
whois:        whois.verisign-grs.com

status:       ACTIVE
)"_qs;

const QString kVeriSignExample = uR"(   Domain Name: EXAMPLE.COM
   Registry Domain ID: 2336799_DOMAIN_COM-VRSN
   Registrar WHOIS Server: whois.registrar.example
   Registrar URL: http://www.registrar.example
   Updated Date: 2024-08-14T07:01:34Z
>>> Last update of whois database: 2026-12-07T14:00:00Z <<<
)"_qs;

const QString kArinRipe = uR"(NetRange:       193.0.0.0 - 193.255.255.255
CIDR:           193.0.0.0/8
NetName:        RIPE-CBLK
ReferralServer: whois://whois.ripe.net
ResourceLink:   https://apps.db.ripe.net/search/query.html
)"_qs;

const QString kApnicJpnic = uR"(inetnum:        133.0.0.0 - 133.255.255.255
netname:        JPNIC-NET-JP-ERX
descr:          Japan Network Information Center
country:        JP
remarks:        JPNIC whois server: whois.nic.ad.jp
source:         APNIC
)"_qs;

} // namespace

class TestReferral : public QObject {
    Q_OBJECT

private slots:
    void findReferral_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("answeredBy");
        QTest::addColumn<QString>("expected"); // host or host:port; empty for none

        QTest::newRow("IANA refer") << kIanaCom << kIana << kVeriSign;
        QTest::newRow("IANA whois only")
            << u"domain: JP\nwhois:  whois.jprs.jp\n"_qs << kIana << u"whois.jprs.jp"_qs;
        QTest::newRow("VeriSign registrar")
            << kVeriSignExample << kVeriSign << u"whois.registrar.example"_qs;
        QTest::newRow("CR LF lines, field in capitals")
            << u"Domain: X\r\nREGISTRAR WHOIS SERVER: Whois.Registrar.Example\r\n"_qs << kVeriSign
            << u"whois.registrar.example"_qs;
        QTest::newRow("ARIN whois://") << kArinRipe << kArin << u"whois.ripe.net"_qs;
        QTest::newRow("ARIN with port") << u"ReferralServer: whois://whois.example.net:4343\n"_qs
                                        << kArin << u"whois.example.net:4343"_qs;
        QTest::newRow("ARIN rwhois skipped")
            << u"ReferralServer: rwhois://rwhois.example.net:4321\n"_qs << kArin << QString();
        QTest::newRow("ARIN rwhois, then whois")
            << u"ReferralServer: rwhois://r.example.net\nReferralServer: whois://w.example.net\n"_qs
            << kArin << u"w.example.net"_qs;
        QTest::newRow("APNIC for JPNIC space") << kApnicJpnic << kApnic << u"whois.nic.ad.jp"_qs;
        QTest::newRow("APNIC source JPNIC")
            << u"inetnum: 210.128.0.0\nsource:   JPNIC\n"_qs << kApnic << u"whois.nic.ad.jp"_qs;
        QTest::newRow("JPNIC pointer from another server") << kApnicJpnic << kArin << QString();
        QTest::newRow("none") << u"No match for \"EXAMPLE.INVALID\".\n"_qs << kVeriSign
                              << QString();
        QTest::newRow("back to the server that answered")
            << u"whois: whois.iana.org\nrefer: whois.example.net\n"_qs << kIana
            << u"whois.example.net"_qs;
        QTest::newRow("only back to itself") << u"refer: WHOIS.IANA.ORG\n"_qs << kIana << QString();
        QTest::newRow("address") << u"refer: 192.0.2.7\n"_qs << kIana << u"192.0.2.7"_qs;
        QTest::newRow("IPv6 address with port")
            << u"ReferralServer: whois://[2001:db8::7]:4343\n"_qs << kArin
            << u"[2001:db8::7]:4343"_qs;
        // Hostile lines: anything but a host and a port is no referral.
        QTest::newRow("URL with a path")
            << u"Registrar WHOIS Server: https://whois.example/x\n"_qs << kVeriSign << QString();
        QTest::newRow("whois URL with a path")
            << u"ReferralServer: whois://whois.example.net/evil\n"_qs << kArin << QString();
        QTest::newRow("shell string")
            << u"refer: whois.example.net; rm -rf ~\n"_qs << kIana << QString();
        QTest::newRow("command substitution") << u"refer: $(reboot)\n"_qs << kIana << QString();
        QTest::newRow("300-character name")
            << u"refer: "_qs + QString(296, u'a') + u".net\n"_qs << kIana << QString();
        QTest::newRow("64-character label")
            << u"refer: "_qs + QString(64, u'a') + u".net\n"_qs << kIana << QString();
        QTest::newRow("user and password")
            << u"ReferralServer: whois://u:p@whois.example.net\n"_qs << kArin << QString();
        QTest::newRow("port 0") << u"refer: whois.example.net:0\n"_qs << kIana << QString();
        QTest::newRow("port too large")
            << u"refer: whois.example.net:65536\n"_qs << kIana << QString();
        QTest::newRow("empty value") << u"refer:\n"_qs << kIana << QString();
        QTest::newRow("scope id") << u"refer: fe80::1%eth0\n"_qs << kIana << QString();
        QTest::newRow("field inside a line")
            << u"remarks: see refer: whois.example.net\n"_qs << kIana << QString();
        QTest::newRow("huge line") << u"refer: whois.example.net"_qs + QString(100000, u' ')
                + u"\n"_qs << kIana << QString();
    }

    void findReferral()
    {
        QFETCH(QString, answer);
        QFETCH(QString, answeredBy);
        QFETCH(QString, expected);
        const std::optional<QueryTarget> referral =
            FindReferral(answer, QueryTarget::Whois(answeredBy));
        QCOMPARE(referral ? referral->Display() : QString(), expected);
        if (referral)
            QCOMPARE(referral->protocol, QueryTarget::Protocol::Whois);
    }

    void automaticFollowing_data()
    {
        QTest::addColumn<QString>("referral");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<int>("followed");
        QTest::addColumn<bool>("allowed");
        const QStringList asked = { kIana };
        QTest::newRow("host name") << kVeriSign << asked << 0 << true;
        QTest::newRow("third referral") << kVeriSign << asked << 2 << true;
        QTest::newRow("fourth referral") << kVeriSign << asked << 3 << false;
        QTest::newRow("asked before") << u"WHOIS.IANA.ORG"_qs << asked << 1 << false;
        QTest::newRow("other port") << u"whois.example.net:4343"_qs << asked << 0 << false;
        QTest::newRow("public address") << u"192.0.2.7"_qs << asked << 0 << true;
        QTest::newRow("loopback") << u"127.0.0.1"_qs << asked << 0 << false;
        QTest::newRow("loopback, other form") << u"127.1.2.3"_qs << asked << 0 << false;
        QTest::newRow("private 10") << u"10.0.0.1"_qs << asked << 0 << false;
        QTest::newRow("private 172.16") << u"172.31.255.1"_qs << asked << 0 << false;
        QTest::newRow("172.32 is public") << u"172.32.0.1"_qs << asked << 0 << true;
        QTest::newRow("private 192.168") << u"192.168.1.1"_qs << asked << 0 << false;
        QTest::newRow("shared 100.64") << u"100.64.0.1"_qs << asked << 0 << false;
        QTest::newRow("link-local") << u"169.254.1.1"_qs << asked << 0 << false;
        QTest::newRow("unspecified") << u"0.0.0.0"_qs << asked << 0 << false;
        QTest::newRow("IPv6 loopback") << u"[::1]"_qs << asked << 0 << false;
        QTest::newRow("IPv6 unspecified") << u"[::]"_qs << asked << 0 << false;
        QTest::newRow("IPv6 link-local") << u"[fe80::1]"_qs << asked << 0 << false;
        QTest::newRow("IPv6 unique local") << u"[fd00::1]"_qs << asked << 0 << false;
        QTest::newRow("IPv4-mapped loopback") << u"[::ffff:127.0.0.1]"_qs << asked << 0 << false;
        QTest::newRow("IPv6 global") << u"[2001:db8::1]"_qs << asked << 0 << true;
    }

    void automaticFollowing()
    {
        QFETCH(QString, referral);
        QFETCH(QStringList, asked);
        QFETCH(int, followed);
        QFETCH(bool, allowed);
        const std::optional<QueryTarget> target = ReadWhoisServer(referral);
        QVERIFY(target);
        QCOMPARE(ReferralPolicy::MayFollow(*target, asked, followed), allowed);
    }

    // An RDAP record's link is followed under the same limits; it has no port 43.
    void automaticFollowingOfRdapLinks_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("followed");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("registrar") << u"https://rdap.registrar.example/domain/x"_qs << 0 << true;
        QTest::newRow("fourth referral")
            << u"https://rdap.registrar.example/domain/x"_qs << 3 << false;
        QTest::newRow("asked before") << u"https://RDAP.registry.example/domain/x"_qs << 1 << false;
        QTest::newRow("loopback") << u"https://127.0.0.1/domain/x"_qs << 0 << false;
        QTest::newRow("private") << u"https://192.168.0.1:8443/domain/x"_qs << 0 << false;
        QTest::newRow("IPv6 link-local") << u"https://[fe80::1]/domain/x"_qs << 0 << false;
    }

    void automaticFollowingOfRdapLinks()
    {
        QFETCH(QString, url);
        QFETCH(int, followed);
        QFETCH(bool, allowed);
        QCOMPARE(ReferralPolicy::MayFollow(
                     QueryTarget::Rdap(QUrl(url)), { u"rdap.registry.example"_qs }, followed),
            allowed);
    }

    // IANA's answers about a TLD: "refer:" first, the "whois:" line further
    // down; a TLD without a port-43 server has both lines empty.
    void findIanaWhoisHost_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected"); // empty for none

        QTest::newRow("com") << kIanaCom << kVeriSign;
        QTest::newRow("CRLF and capitals")
            << u"refer:        whois.nic.example\r\n\r\ndomain:       EXAMPLE\r\n"
               u"WHOIS:        Whois.Nic.Example\r\n"_qs
            << u"whois.nic.example"_qs;
        QTest::newRow("empty lines")
            << u"refer:\n\ndomain:       MT\norganisation: NIC (Malta)\nwhois:\n\nstatus:       ACTIVE\n"_qs
            << QString();
        QTest::newRow("no whois line") << u"refer:        whois.nic.example\n"_qs << QString();
        QTest::newRow("not the registry's Whois Server")
            << u"Whois Server: whois.registrar.example\n"_qs << QString();
        QTest::newRow("another port") << u"whois:        whois.nic.example:4343\n"_qs << QString();
        QTest::newRow("not a host name")
            << u"whois:        whois.nic.example; rm -rf\nwhois:        whois.nic.other\n"_qs
            << QString();
        QTest::newRow("URL") << u"whois:        https://whois.nic.example/\n"_qs << QString();
        QTest::newRow("overlong line")
            << u"whois:        "_qs + QString(600, u'a') + u"\nwhois:        whois.nic.example\n"_qs
            << u"whois.nic.example"_qs;
    }

    void findIanaWhoisHost()
    {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        QCOMPARE(FindIanaWhoisHost(answer).value_or(QString()), expected);
    }
};

QTEST_GUILESS_MAIN(TestReferral)
#include "tst_referral.moc"

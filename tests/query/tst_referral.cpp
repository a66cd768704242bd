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
    void referralOfEachFormat_data()
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
        QTest::newRow("ARIN rwhois offered")
            << u"ReferralServer: rwhois://rwhois.example.net:4321\n"_qs << kArin
            << u"rwhois.example.net:4321"_qs;
        QTest::newRow("ARIN rwhois without a port")
            << u"ReferralServer: rwhois://rwhois.example.net/\n"_qs << kArin
            << u"rwhois.example.net:4321"_qs;
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
        QTest::newRow("NUL inside the host")
            << u"refer: 192.0.2.1\u0000 whois.iana.org\n"_qs << kIana << QString();
        QTest::newRow("blank inside an address") << u"refer: 8 :2\n"_qs << kIana << QString();
        QTest::newRow("tab inside a name")
            << u"refer: whois.\texample.net\n"_qs << kIana << QString();
        QTest::newRow("zero-width space inside a name")
            << u"refer: whois.\u200bexample.net\n"_qs << kIana << QString();
        QTest::newRow("huge line") << u"refer: whois.example.net"_qs + QString(100000, u' ')
                + u"\n"_qs << kIana << QString();
    }

    void referralOfEachFormat()
    {
        QFETCH(QString, answer);
        QFETCH(QString, answeredBy);
        QFETCH(QString, expected);
        const std::optional<QueryTarget> referral =
            findReferral(answer, QueryTarget::whois(answeredBy));
        QCOMPARE(referral ? referral->display() : QString(), expected);
        if (referral)
            QCOMPARE(referral->protocol, QueryTarget::Protocol::Whois);
    }

    // Answers as the registries write them, cut to the lines that matter.
    void realShapes_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("answeredBy");
        QTest::addColumn<QString>("expected");
        QTest::newRow("registrar server None")
            << u"   Domain Name: EXAMPLE.COM\r\n   Registrar WHOIS Server: None\r\n"
               u"   Registrar URL: None\r\n"_qs
            << kVeriSign << QString();
        QTest::newRow("dotless registrar server")
            << u"Registrar WHOIS Server: whois\r\n"_qs << kVeriSign << QString();
        QTest::newRow("thin format before 2017")
            << u"   Domain Name: EXAMPLE.COM\r\n   Registrar: EXAMPLE REGISTRAR, LLC\r\n"
               u"   Sponsoring Registrar IANA ID: 146\r\n   Whois Server: whois.godaddy.com\r\n"
               u"   Referral URL: http://www.godaddy.com\r\n"_qs
            << kVeriSign << u"whois.godaddy.com"_qs;
        QTest::newRow("self-referral with a final dot")
            << u"Domain Name: example.com\nRegistrar WHOIS Server: whois.markmonitor.com.\n"_qs
            << u"whois.markmonitor.com"_qs << QString();
        QTest::newRow("referral with a final dot")
            << u"Registrar WHOIS Server: whois.markmonitor.com.\n"_qs << kVeriSign
            << u"whois.markmonitor.com"_qs;
        QTest::newRow("APNIC pointer to KRNIC")
            << u"inetnum:        211.104.0.0 - 211.119.255.255\nnetname:        KRNIC-KR\n"
               u"descr:          KRNIC\nremarks:        This IP address space has been allocated "
               u"to KRNIC.\nremarks:        For more information, using KRNIC Whois Database\n"
               u"remarks:        whois -h whois.krnic.net\ncountry:        KR\n"
               u"source:         APNIC\n"_qs
            << kApnic << u"whois.kisa.or.kr"_qs;
        QTest::newRow("APNIC KRNIC server named with a final dot")
            << u"remarks: KRNIC whois server at whois.krnic.net.\n"_qs << kApnic
            << u"whois.kisa.or.kr"_qs;
        QTest::newRow("APNIC names today's KISA host")
            << u"remarks: see whois.kisa.or.kr\n"_qs << kApnic << u"whois.kisa.or.kr"_qs;
        QTest::newRow("APNIC source KRNIC")
            << u"inetnum: 1.208.0.0 - 1.209.255.255\nsource:         KRNIC\n"_qs << kApnic
            << u"whois.kisa.or.kr"_qs;
        QTest::newRow("APNIC stub transferred to RIPE")
            << u"inetnum:        193.0.0.0 - 193.255.255.255\nnetname:        APNIC-STUB\n"
               u"descr:          Transferred to the RIPE region on 2005-01-01.\n"
               u"source:         APNIC\n"_qs
            << kApnic << u"whois.ripe.net"_qs;
        QTest::newRow("APNIC stub transferred to ARIN")
            << u"netname: APNIC-STUB\ndescr:   Transferred to the ARIN region\n"_qs << kApnic
            << u"whois.arin.net"_qs;
        QTest::newRow("APNIC stub transferred to AFRINIC")
            << u"netname: APNIC-STUB\ndescr:   Transferred to the AfriNIC region\n"_qs << kApnic
            << u"whois.afrinic.net"_qs;
        QTest::newRow("stub wording from another registry")
            << u"descr: Transferred to the RIPE region\n"_qs << kArin << QString();
        QTest::newRow("two ReferralServer lines: the last")
            << u"NetRange: 192.0.0.0 - 192.255.255.255\nReferralServer: whois://whois.ripe.net\n"
               u"\nNetRange: 192.0.2.0 - 192.0.2.255\n"
               u"ReferralServer: whois://whois.example.net\n"_qs
            << kArin << u"whois.example.net"_qs;
        QTest::newRow("port 43 after another port")
            << u"refer: whois.example.net:4343\nRegistrar WHOIS Server: whois.example.org\n"_qs
            << kIana << u"whois.example.org"_qs;
        QTest::newRow("rwhois after whois: the whois one")
            << u"ReferralServer: whois://whois.example.net\n"
               u"ReferralServer: rwhois://rwhois.example.net:4321\n"_qs
            << kArin << u"whois.example.net"_qs;
    }

    void realShapes()
    {
        referralOfEachFormat();
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
        QTest::newRow("localhost") << u"localhost"_qs << asked << 0 << false;
        QTest::newRow("LOCALHOST") << u"LOCALHOST"_qs << asked << 0 << false;
        QTest::newRow("below localhost") << u"whois.localhost"_qs << asked << 0 << false;
        QTest::newRow("full-width loopback")
            << u"\uff11\uff12\uff17\u3002\uff10\u3002\uff10\u3002\uff11"_qs << asked << 0
            << false;
        QTest::newRow("IPv4-compatible loopback") << u"[::127.0.0.1]"_qs << asked << 0 << false;
        QTest::newRow("NAT64 of private") << u"[64:ff9b::10.0.0.1]"_qs << asked << 0 << false;
        QTest::newRow("NAT64 of public") << u"[64:ff9b::192.0.2.1]"_qs << asked << 0 << true;
        QTest::newRow("benchmarking 198.18") << u"198.19.255.1"_qs << asked << 0 << false;
        QTest::newRow("198.20 is public") << u"198.20.0.1"_qs << asked << 0 << true;
        QTest::newRow("multicast") << u"224.0.0.251"_qs << asked << 0 << false;
        QTest::newRow("reserved 240") << u"240.0.0.1"_qs << asked << 0 << false;
        QTest::newRow("broadcast") << u"255.255.255.255"_qs << asked << 0 << false;
        QTest::newRow("IPv6 multicast") << u"[ff02::1]"_qs << asked << 0 << false;
        QTest::newRow("223 is public") << u"223.255.255.1"_qs << asked << 0 << true;
    }

    void automaticFollowing()
    {
        QFETCH(QString, referral);
        QFETCH(QStringList, asked);
        QFETCH(int, followed);
        QFETCH(bool, allowed);
        // Names the reader refuses already (dotless, full-width) are checked
        // by the policy too, as the hosts of RDAP links are.
        const QueryTarget target =
            readWhoisServer(referral).value_or(QueryTarget::whois(referral));
        QCOMPARE(ReferralPolicy::mayFollow(target, asked, followed), allowed);
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
        QTest::newRow("localhost") << u"https://LocalHost./domain/x"_qs << 0 << false;
        QTest::newRow("NAT64 of loopback")
            << u"https://[64:ff9b::7f00:1]/domain/x"_qs << 0 << false;
    }

    void automaticFollowingOfRdapLinks()
    {
        QFETCH(QString, url);
        QFETCH(int, followed);
        QFETCH(bool, allowed);
        QCOMPARE(ReferralPolicy::mayFollow(
                     QueryTarget::rdap(QUrl(url)), { u"rdap.registry.example"_qs }, followed),
            allowed);
    }

    // IANA's answers about a TLD: "refer:" first, the "whois:" line further
    // down; a TLD without a port-43 server has both lines empty.
    void ianaWhoisLine_data()
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

    void ianaWhoisLine()
    {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        QCOMPARE(findIanaWhoisHost(answer).value_or(QString()), expected);
    }
};

QTEST_GUILESS_MAIN(TestReferral)
#include "tst_referral.moc"

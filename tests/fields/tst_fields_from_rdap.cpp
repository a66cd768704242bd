#include "fields/fields_from_rdap.h"
#include "fields_lines.h"
#include "rdap/fixture.h"
#include "rdap/rdap_parser.h"

#include <QTest>

class TestFieldsFromRdap : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void incompleteRecords();
};

void TestFieldsFromRdap::answers_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("registry domain, abuse under the registrar")
        << u"domain_info.json"_qs
        << QStringList { u"state=found"_qs, u"kind=domain"_qs, u"name=example.info"_qs,
               u"handle=D503300000040403495-LRMS"_qs, u"registrar=Example Registrar, Inc."_qs,
               u"ianaId=292"_qs, u"org=株式会社サンプル"_qs,
               u"status=client transfer prohibited|server delete prohibited"_qs,
               u"registered=2001-07-31T10:34:12Z"_qs, u"updated=2026-06-30T15:05:01Z"_qs,
               u"expires=2027-07-31T10:34:12Z"_qs, u"ns=a.iana-servers.net b.iana-servers.net"_qs,
               u"dnssec=unsigned"_qs, u"abuse=abuse@registrar.example"_qs,
               u"abusePhone=+1.5555551234"_qs };
    QTest::newRow("registrar domain, a person as registrant")
        << u"registrar_domain.json"_qs
        << QStringList { u"state=found"_qs, u"kind=domain"_qs, u"name=example.info"_qs,
               u"status=client transfer prohibited"_qs };
    QTest::newRow("IP network with an offset date")
        << u"ip_network.json"_qs
        << QStringList { u"state=found"_qs, u"kind=network"_qs, u"name=192.0.2.0/24"_qs,
               u"handle=NET-192-0-2-0-1"_qs, u"org=Example, Research"_qs, u"country=AU"_qs,
               u"status=active"_qs, u"registered=2010-01-05T00:00:00Z"_qs,
               u"updated=2024-03-01T00:00:00Z"_qs, u"first=192.0.2.0"_qs,
               u"last=192.0.2.255"_qs, u"cidr=192.0.2.0/24"_qs, u"netname=TEST-NET-1"_qs,
               u"abuse=abuse@example.net"_qs };
    QTest::newRow("AS number")
        << u"autnum.json"_qs
        << QStringList { u"state=found"_qs, u"kind=as"_qs, u"name=AS4713"_qs,
               u"handle=AS4713"_qs, u"country=JP"_qs, u"status=active"_qs,
               u"registered=1999-03-25T15:00:00Z"_qs, u"updated=2023-12-31T23:59:59Z"_qs,
               u"netname=OCN"_qs };
}

void TestFieldsFromRdap::answers()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, expected);
    const std::optional<RdapRecord> record = parseRdapRecord(Fixture(fixture));
    QVERIFY(record);
    const AnswerFields fields = fieldsFromRdap(*record, u"https://rdap.example/"_qs);
    QCOMPARE(fieldsLines(fields), expected);
    QCOMPARE(fields.server, u"https://rdap.example/"_qs);
}

void TestFieldsFromRdap::incompleteRecords()
{
    RdapRecord other;
    other.objectClass = RdapObjectClass::Other;
    other.handle = u"XXXX"_qs;
    QCOMPARE(fieldsLines(fieldsFromRdap(other, QString())), QStringList { u"state=unread"_qs });
    // A network whose range is unreadable is known by its handle alone.
    RdapRecord network;
    network.objectClass = RdapObjectClass::IpNetwork;
    network.handle = u"NET-X"_qs;
    network.start = u"192.0.2.9"_qs;
    network.end = u"192.0.2.1"_qs;
    QCOMPARE(fieldsLines(fieldsFromRdap(network, QString())),
        (QStringList { u"state=found"_qs, u"kind=network"_qs, u"name=NET-X"_qs,
            u"handle=NET-X"_qs }));
    RdapRecord nameless;
    nameless.objectClass = RdapObjectClass::Autnum;
    QCOMPARE(fieldsLines(fieldsFromRdap(nameless, QString())),
        (QStringList { u"state=unread"_qs, u"kind=as"_qs }));
}

QTEST_GUILESS_MAIN(TestFieldsFromRdap)
#include "tst_fields_from_rdap.moc"

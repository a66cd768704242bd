#include "rdap/fixture.h"
#include "rdap/rdap_json.h"
#include "rdap/rdap_parser.h"
#include "rdap/rdap_referral.h"
#include "rdap/rdap_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <ctime>

namespace {

const QString kJsonHeader = u"---- RDAP 応答 (JSON) ----"_qs;

QStringList SummaryLines(const QString &text)
{
    return text.left(text.indexOf(kJsonHeader)).split(u'\n');
}

// Every member name in the order the text has them.
QStringList MemberNames(const QString &json)
{
    static const QRegularExpression member(u"\"([A-Za-z0-9_]+)\"\\s*:"_qs);
    QStringList names;
    for (const QRegularExpressionMatch &match : member.globalMatch(json))
        names << match.captured(1);
    return names;
}

QJsonObject Link(const QString &rel, const QString &href, const QString &type = {})
{
    QJsonObject link { { u"rel"_qs, rel }, { u"href"_qs, href } };
    if (!type.isEmpty())
        link.insert(u"type"_qs, type);
    return link;
}

} // namespace

class TestRdapText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Dates are shown in local time; the expected lines are Japan's.
        qputenv("TZ", "Asia/Tokyo");
        tzset();
    }

    void summary_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("domain with a Unicode name")
            << Fixture(u"domain_idn.json"_qs)
            << QStringList { u"ドメイン名: xn--fo-5ja.example (fóo.example)"_qs, u"状態: locked"_qs,
                   u"状態: transfer prohibited"_qs, u"登録日: 1991/01/01 08:59"_qs,
                   u"更新日: 1992/01/01 08:59"_qs, u"有効期限: 2017/01/01 08:59"_qs,
                   u"ネームサーバ: ns1.example.com"_qs, u"ネームサーバ: ns2.example.com"_qs,
                   u"DNSSEC: 署名あり"_qs, u"登録者"_qs, u"  名前: Joe User"_qs,
                   u"  組織: Example"_qs,
                   u"  住所: Suite 1234, 4321 Rue Somewhere, Quebec, QC, G1V 2M2, Canada"_qs,
                   u"  メール: joe.user@example.com"_qs, u"  電話: +1-555-555-1234;ext=102"_qs,
                   QString(), u"備考"_qs, u"  She sells sea shells down by the sea shore."_qs,
                   u"  Originally written by Terry Sullivan."_qs, QString(), QString() };

        QTest::newRow("domain with withheld fields and a hostile name")
            << Fixture(u"domain_info.json"_qs)
            << QStringList { u"ドメイン名: example.info"_qs, u"状態: client transfer prohibited"_qs,
                   u"状態: server delete prohibited"_qs, u"登録日: 2001/07/31 19:34"_qs,
                   u"更新日: 2026/07/01 00:05"_qs, u"有効期限: 2027/07/31 19:34"_qs,
                   u"登録業者: Example Registrar, Inc. (IANA ID 292)"_qs,
                   u"ネームサーバ: a.iana-servers.net"_qs, u"ネームサーバ: b.iana-servers.net"_qs,
                   u"DNSSEC: 署名なし"_qs, u"登録者"_qs, u"  名前: 非公開"_qs,
                   u"  組織: 株式会社サンプル"_qs, u"  住所: 東京都, JP"_qs, u"  メール: 非公開"_qs,
                   u"  電話: 非公開"_qs, u"技術担当"_qs,
                   u"  名前: Tech\uFFFDContact\uFFFD\uFFFDforged: line"_qs, u"  メール: 非公開"_qs,
                   u"不正利用窓口"_qs, u"  名前: Abuse Desk"_qs,
                   u"  メール: abuse@registrar.example"_qs, u"  電話: +1.5555551234"_qs, QString(),
                   u"通知: Terms of Use"_qs, u"  Service subject to Terms of Use."_qs,
                   u"通知: Status Codes"_qs,
                   u"  For more information on domain status codes, please visit https://icann.org/epp"_qs,
                   QString(), QString() };

        const QStringList joeUser { u"  名前: Joe User"_qs, u"  組織: Example, Research"_qs,
            u"  住所: Suite 1234, 4321 Rue Somewhere, Quebec, QC, G1V 2M2, Canada"_qs,
            u"  メール: joe.user@example.com"_qs, u"  電話: +1-555-555-1234;ext=102"_qs };
        QTest::newRow("IP network")
            << Fixture(u"ip_network.json"_qs)
            << QStringList { u"範囲: 192.0.2.0 - 192.0.2.255"_qs, u"ネットワーク名: TEST-NET-1"_qs,
                   u"種別: DIRECT ALLOCATION"_qs, u"国: AU"_qs, u"状態: active"_qs,
                   u"登録日: 2010/01/05 09:00"_qs, u"更新日: 2024/03/01 09:00"_qs, u"登録者"_qs }
                + joeUser + QStringList { u"技術担当"_qs } + joeUser
                + QStringList { u"不正利用窓口"_qs, u"  名前: Abuse Contact"_qs,
                      u"  メール: abuse@example.net"_qs, QString(), u"備考: Documentation"_qs,
                      u"  Addresses for documentation (RFC 5737)."_qs, QString(), QString() };

        const QStringList nocContact { u"  名前: 日本ネットワーク技術担当"_qs,
            u"  住所: 東京都千代田区, 大手町1-1"_qs, u"  メール: tech@example.jp"_qs,
            u"  電話: +81-3-0000-0000"_qs };
        QTest::newRow("AS number")
            << Fixture(u"autnum.json"_qs)
            << QStringList { u"範囲: AS4713"_qs, u"ネットワーク名: OCN"_qs,
                   u"種別: DIRECT ALLOCATION"_qs, u"国: JP"_qs, u"状態: active"_qs,
                   u"登録日: 1999/03/26 00:00"_qs, u"更新日: 2024/01/01 08:59"_qs, u"管理担当"_qs }
                + nocContact + QStringList { u"技術担当"_qs } + nocContact
                + QStringList { QString(), u"通知: Source"_qs,
                      u"  Objects returned came from source"_qs, u"  APNIC"_qs, QString(),
                      QString() };

        QTest::newRow("AS range and another object")
            << QByteArray(R"({"objectClassName": "autnum", "startAutnum": 65536,
                             "endAutnum": 65541, "events": [{"eventAction": "registration",
                             "eventDate": "not a date"}]})")
            << QStringList { u"範囲: AS65536 - AS65541"_qs, u"登録日: not a date"_qs, QString(),
                   QString() };
        QTest::newRow("entity") << QByteArray(R"({"objectClassName": "entity", "handle": "XXXX",
                             "status": ["active"]})")
                                << QStringList { u"ハンドル: XXXX"_qs, u"状態: active"_qs,
                                       QString(), QString() };
    }

    void summary()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, expected);
        const std::optional<RdapRecord> record = ParseRdapRecord(json);
        QVERIFY(record);
        QCOMPARE(SummaryLines(RenderRdapText(*record, json)), expected);
    }

    // The JSON under the header is the answer itself: the same document,
    // with its members in the server's order.
    void rawJsonFollowsTheSummary_data()
    {
        QTest::addColumn<QString>("fixture");
        for (const QString &name : { u"autnum.json"_qs, u"domain_idn.json"_qs,
                 u"domain_info.json"_qs, u"ip_network.json"_qs, u"registrar_domain.json"_qs })
            QTest::newRow(qPrintable(name)) << name;
    }

    void rawJsonFollowsTheSummary()
    {
        QFETCH(QString, fixture);
        const QByteArray json = Fixture(fixture);
        const QString text = RenderRdapText(*ParseRdapRecord(json), json);
        const qsizetype header = text.indexOf(u'\n' + kJsonHeader + u'\n');
        QVERIFY(header >= 0);
        const QString shown = text.mid(header + kJsonHeader.size() + 2);
        QCOMPARE(QJsonDocument::fromJson(shown.toUtf8()), QJsonDocument::fromJson(json));
        QCOMPARE(MemberNames(shown), MemberNames(QString::fromUtf8(json)));
        QVERIFY(shown.startsWith(u"{\n    \"rdapConformance\": [\n        \"rdap_level_0\""_qs));
    }

    void indentJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty containers") << QByteArray(R"({"a":{},"b":[ ]})")
                                          << QByteArray("{\n    \"a\": {},\n    \"b\": []\n}");
        QTest::newRow("brackets and escapes in strings")
            << QByteArray("[ \"x,{y}\", \"q\\\"[\\\\\" ,1.5e3]")
            << QByteArray("[\n    \"x,{y}\",\n    \"q\\\"[\\\\\",\n    1.5e3\n]");
    }

    void indentJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, expected);
        QCOMPARE(IndentJson(json), expected);
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut off") << Fixture(u"domain_info.json"_qs).chopped(10);
        QTest::newRow("an array") << QByteArray(R"([{"objectClassName": "domain"}])");
        QTest::newRow("trailing garbage") << QByteArray(R"({"a": 1} x)");
        QTest::newRow("HTML") << QByteArray("<html><body>Service Unavailable</body></html>");
        const QByteArray deep = QByteArray(kMaxRdapNesting, '[') + QByteArray(kMaxRdapNesting, ']');
        QTest::newRow("nested too deep") << QByteArray("{\"a\":" + deep + '}');
    }

    void malformed()
    {
        QFETCH(QByteArray, json);
        QVERIFY(!ParseRdapRecord(json));
    }

    void registrarLink_data()
    {
        QTest::addColumn<QJsonArray>("links");
        QTest::addColumn<QString>("expected");
        const QString registrar = u"https://rdap.registrar.example/domain/example.info"_qs;
        const QString rdapType = u"application/rdap+json"_qs;
        QTest::newRow("related RDAP record") << QJsonArray {
            Link(u"self"_qs, u"https://rdap.registry.example/domain/example.info"_qs),
            Link(u"related"_qs, registrar, rdapType)
        } << registrar;
        QTest::newRow("no type") << QJsonArray { Link(u"Related"_qs, registrar) } << registrar;
        QTest::newRow("a web page")
            << QJsonArray { Link(u"related"_qs, u"https://registrar.example/"_qs, u"text/html"_qs) }
            << QString();
        QTest::newRow("plain http")
            << QJsonArray { Link(u"related"_qs, u"http://rdap.registrar.example/domain/x"_qs) }
            << QString();
        QTest::newRow("the same server")
            << QJsonArray { Link(u"related"_qs, u"https://RDAP.registry.example/x"_qs) }
            << QString();
        QTest::newRow("a file") << QJsonArray { Link(u"related"_qs, u"file:///etc/passwd"_qs) }
                                << QString();
        QTest::newRow("user and password")
            << QJsonArray { Link(u"related"_qs, u"https://u:p@rdap.registrar.example/"_qs) }
            << QString();
        QTest::newRow("not a URL")
            << QJsonArray { Link(u"related"_qs, u"https://exa mple/"_qs) } << QString();
        QTest::newRow("not an object") << QJsonArray { u"related"_qs } << QString();
    }

    void registrarLink()
    {
        QFETCH(QJsonArray, links);
        QFETCH(QString, expected);
        const std::optional<RdapRecord> record = ParseRdapRecord(QJsonDocument(
            QJsonObject { { u"objectClassName"_qs, u"domain"_qs },
                { u"links"_qs, links } }).toJson());
        QVERIFY(record);
        const std::optional<QUrl> link = RegistrarLink(*record, u"rdap.registry.example"_qs);
        QCOMPARE(link ? link->toString() : QString(), expected);
    }

    void nestingAtTheLimitIsRead()
    {
        const int inner = kMaxRdapNesting - 1;
        const QByteArray json = "{\"a\":" + QByteArray(inner, '[') + QByteArray(inner, ']') + '}';
        QCOMPARE(JsonNestingDepth(json), kMaxRdapNesting);
        QVERIFY(ParseRdapRecord(json));
    }
};

QTEST_GUILESS_MAIN(TestRdapText)
#include "tst_rdap_text.moc"

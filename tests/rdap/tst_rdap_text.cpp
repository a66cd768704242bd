#include "rdap/fixture.h"
#include "rdap/rdap_json.h"
#include "rdap/rdap_parser.h"
#include "rdap/rdap_referral.h"
#include "rdap/rdap_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
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
            << QStringList { u"ドメイン名: xn--fo-5ja.example (fóo.example)"_qs,
                   u"ハンドル: XXXX"_qs, u"状態: ロック中 (locked)"_qs,
                   u"状態: 移転禁止 (transfer prohibited)"_qs, u"登録日: 1991/01/01 08:59"_qs,
                   u"更新日: 1992/01/01 08:59"_qs, u"有効期限: 2017/01/01 08:59"_qs,
                   u"移転日: 1992/01/01 08:59"_qs, u"ネームサーバ: ns1.example.com"_qs,
                   u"ネームサーバ: ns2.example.com"_qs, u"DNSSEC: 署名あり"_qs,
                   u"whoisサーバ: whois.example.net"_qs, u"登録者"_qs, u"  ハンドル: XXXX"_qs,
                   u"  名前: Joe User"_qs, u"  組織: Example"_qs,
                   u"  住所: Suite 1234, 4321 Rue Somewhere, Quebec, QC, G1V 2M2, Canada"_qs,
                   u"  メール: joe.user@example.com"_qs, u"  電話: +1-555-555-1234;ext=102"_qs,
                   u"  備考"_qs, u"    She sells sea shells down by the sea shore."_qs, QString(),
                   u"備考"_qs, u"  She sells sea shells down by the sea shore."_qs,
                   u"  Originally written by Terry Sullivan."_qs, QString(), QString() };

        QTest::newRow("domain with withheld fields and a hostile name")
            << Fixture(u"domain_info.json"_qs)
            << QStringList { u"ドメイン名: example.info"_qs,
                   u"ハンドル: D503300000040403495-LRMS"_qs,
                   u"状態: 移転禁止 (client transfer prohibited)"_qs,
                   u"状態: レジストリによる削除禁止 (server delete prohibited)"_qs,
                   u"登録日: 2001/07/31 19:34"_qs, u"更新日: 2026/07/01 00:05"_qs,
                   u"有効期限: 2027/07/31 19:34"_qs, u"RDAPデータベース更新日: 2026/12/07 23:00"_qs,
                   u"レジストラ: Example Registrar, Inc. (IANA ID 292)"_qs,
                   u"ネームサーバ: a.iana-servers.net"_qs, u"ネームサーバ: b.iana-servers.net"_qs,
                   u"DNSSEC: 署名なし"_qs, u"登録者"_qs, u"  名前: 非公開"_qs,
                   u"  組織: 株式会社サンプル"_qs, u"  住所: 東京都, JP"_qs, u"  電話: 非公開"_qs,
                   u"技術担当者"_qs, u"  名前: Tech\uFFFDContact\uFFFD\uFFFDforged: line"_qs,
                   u"  メール: 非公開"_qs, u"不正利用窓口"_qs, u"  名前: Abuse Desk"_qs,
                   u"  メール: abuse@registrar.example"_qs, u"  電話: +1.5555551234"_qs, QString(),
                   u"通知: Terms of Use"_qs, u"  Service subject to Terms of Use."_qs,
                   u"通知: Status Codes"_qs,
                   u"  For more information on domain status codes, please visit https://icann.org/epp"_qs,
                   QString(), QString() };

        QTest::newRow("registrar with capitalised roles and a date without offset")
            << Fixture(u"registrar_capitalised_roles.json"_qs)
            << QStringList { u"ドメイン名: EXAMPLE.COM"_qs, u"ハンドル: 2336799_DOMAIN_COM-VRSN"_qs,
                   u"状態: 移転禁止 (client transfer prohibited)"_qs,
                   u"登録日: 2008/08/18 22:19 (時差の記載なし、UTC とみなす)"_qs,
                   u"有効期限: 2027/08/18 22:19 (時差の記載なし、UTC とみなす)"_qs,
                   u"レジストラ: Example Registrar, Inc. (IANA ID 1068)"_qs, u"登録者"_qs,
                   u"  名前: 非公開"_qs,
                   u"  組織: Privacy service provided by Withheld for Privacy ehf"_qs,
                   u"  住所: Kalkofnsvegur 2, Reykjavik, Capital Region, 101, IS"_qs,
                   u"  メール: holder@withheldforprivacy.example"_qs, u"  電話: +354.4212434"_qs,
                   u"管理担当者"_qs, u"  名前: Admin Person"_qs,
                   u"  メール: admin@withheldforprivacy.example"_qs, u"技術担当者"_qs,
                   u"  名前: Tech Person"_qs, u"  メール: tech@withheldforprivacy.example"_qs,
                   u"不正利用窓口"_qs, u"  名前: Abuse Team"_qs,
                   u"  メール: abuse@registrar.example"_qs, u"  電話: +1.6613102107"_qs, QString(),
                   QString() };

        QTest::newRow("network with handle-only contacts")
            << Fixture(u"network_handle_only_contacts.json"_qs)
            << QStringList { u"ハンドル: 193.0.0.0 - 193.0.7.255"_qs,
                   u"範囲: 193.0.0.0 - 193.0.7.255"_qs, u"CIDR: 193.0.0.0/21"_qs,
                   u"ネットワーク名: RIPE-NCC"_qs, u"種別: ASSIGNED PA"_qs, u"国: NL"_qs,
                   u"親ハンドル: 193.0.0.0 - 193.0.23.255"_qs, u"状態: 有効 (active)"_qs,
                   u"更新日: 2023/06/01 19:03"_qs, u"登録者"_qs, u"  ハンドル: ORG-RIEN1-RIPE"_qs,
                   u"登録者"_qs, u"  ハンドル: RIPE-NCC-MNT"_qs, u"管理担当者・技術担当者"_qs,
                   u"  ハンドル: BRD-RIPE"_qs, u"不正利用窓口"_qs, u"  ハンドル: OPS4-RIPE"_qs,
                   u"  名前: Abuse contact"_qs, u"  メール: abuse@ripe.example"_qs, QString(),
                   QString() };

        const QStringList joeUser { u"  ハンドル: XXXX"_qs, u"  名前: Joe User"_qs,
            u"  組織: Example, Research"_qs,
            u"  住所: Suite 1234, 4321 Rue Somewhere, Quebec, QC, G1V 2M2, Canada"_qs,
            u"  メール: joe.user@example.com"_qs, u"  電話: +1-555-555-1234;ext=102"_qs };
        QTest::newRow("IP network")
            << Fixture(u"ip_network.json"_qs)
            << QStringList { u"ハンドル: NET-192-0-2-0-1"_qs, u"範囲: 192.0.2.0 - 192.0.2.255"_qs,
                   u"ネットワーク名: TEST-NET-1"_qs, u"種別: DIRECT ALLOCATION"_qs, u"国: AU"_qs,
                   u"親ハンドル: NET-192-0-0-0-0"_qs, u"状態: 有効 (active)"_qs,
                   u"登録日: 2010/01/05 09:00"_qs, u"更新日: 2024/03/01 09:00"_qs,
                   u"登録者・技術担当者"_qs }
                + joeUser
                + QStringList { u"不正利用窓口"_qs, u"  ハンドル: ABUSE"_qs,
                      u"  名前: Abuse Contact"_qs, u"  メール: abuse@example.net"_qs, QString(),
                      u"備考: Documentation"_qs, u"  Addresses for documentation (RFC 5737)."_qs,
                      QString(), QString() };

        QTest::newRow("AS number")
            << Fixture(u"autnum.json"_qs)
            << QStringList { u"ハンドル: AS4713"_qs, u"範囲: AS4713"_qs, u"AS名: OCN"_qs,
                   u"種別: DIRECT ALLOCATION"_qs, u"国: JP"_qs, u"状態: 有効 (active)"_qs,
                   u"登録日: 1999/03/26 00:00"_qs, u"更新日: 2024/01/01 08:59"_qs,
                   u"管理担当者・技術担当者"_qs, u"  ハンドル: JNIC1-AP"_qs,
                   u"  名前: 日本ネットワーク技術担当"_qs, u"  住所: 東京都千代田区, 大手町1-1"_qs,
                   u"  メール: tech@example.jp"_qs, u"  電話: +81-3-0000-0000"_qs, QString(),
                   u"通知: Source"_qs, u"  Objects returned came from source"_qs, u"  APNIC"_qs,
                   QString(), QString() };

        QTest::newRow("AS range and a date that is none")
            << QByteArray(R"({"objectClassName": "autnum", "startAutnum": 65536,
                             "endAutnum": 65541, "events": [{"eventAction": "registration",
                             "eventDate": "not a date"}]})")
            << QStringList { u"範囲: AS65536 - AS65541"_qs, u"登録日: not a date"_qs, QString(),
                   QString() };

        QTest::newRow("origin AS, CIDR and one POC under two roles with a remark")
            << QByteArray(R"({"objectClassName": "ip network", "handle": "NET-192-0-2-0-1",
                "cidr0_cidrs": [{"v4prefix": "192.0.2.0", "length": 24},
                                {"v6prefix": "2001:db8::", "length": 32}],
                "arin_originas0_originautnums": [64496, 64497],
                "entities": [
                  {"objectClassName": "entity", "handle": "NOC1-ARIN", "roles": ["abuse"],
                   "vcardArray": ["vcard", [["fn", {}, "text", "Example NOC"]]],
                   "remarks": [{"title": "Unvalidated POC", "description": ["Not validated since 2019."]}]},
                  {"objectClassName": "entity", "handle": "NOC1-ARIN", "roles": ["technical"],
                   "vcardArray": ["vcard", [["fn", {}, "text", "Example NOC"]]]}]})")
            << QStringList { u"ハンドル: NET-192-0-2-0-1"_qs, u"CIDR: 192.0.2.0/24"_qs,
                   u"CIDR: 2001:db8::/32"_qs, u"起点AS: AS64496"_qs, u"起点AS: AS64497"_qs,
                   u"技術担当者・不正利用窓口"_qs, u"  ハンドル: NOC1-ARIN"_qs,
                   u"  名前: Example NOC"_qs, u"  備考: Unvalidated POC"_qs,
                   u"    Not validated since 2019."_qs, QString(), QString() };

        QTest::newRow("registrar with a handle only")
            << QByteArray(R"({"objectClassName": "domain", "ldhName": "example.cz",
                "entities": [{"objectClassName": "entity", "handle": "REG-EXAMPLE",
                  "roles": ["registrar"], "vcardArray": ["vcard", [["fn", {}, "text", ""]]]}]})")
            << QStringList { u"ドメイン名: example.cz"_qs, u"レジストラ: REG-EXAMPLE"_qs,
                   QString(), QString() };

        QTest::newRow("telephone and fax")
            << QByteArray(R"({"objectClassName": "domain", "entities": [{"roles": ["registrant"],
                "vcardArray": ["vcard", [
                  ["tel", {"type": ["work", "voice"]}, "uri", "tel:+81.312345678"],
                  ["tel", {"type": ["work", "FAX"]}, "uri", "tel:+81.312345679"],
                  ["tel", {"type": "fax"}, "text", "+81.312345670"]]]}]})")
            << QStringList { u"登録者"_qs, u"  電話: +81.312345678"_qs, u"  FAX: +81.312345679"_qs,
                   u"  FAX: +81.312345670"_qs, QString(), QString() };

        QTest::newRow("withheld only where the server says so")
            << QByteArray(R"({"objectClassName": "domain",
                "entities": [
                  {"roles": ["registrant"], "vcardArray": ["vcard", [
                    ["fn", {}, "text", ""], ["org", {}, "text", "Data Protected"],
                    ["adr", {}, "text", ["", "", "REDACTED FOR PRIVACY", "REDACTED FOR PRIVACY", "Tokyo", "", "JP"]],
                    ["email", {}, "text", ""]]]},
                  {"roles": ["technical"], "vcardArray": ["vcard", [["fn", {}, "text", "Tech"]]]}],
                "redacted": [{"name": {"type": "Registrant Email"}},
                             {"name": {"description": "Tech Phone"}},
                             {"name": {"type": "Registry Tech ID"}}]})")
            << QStringList { u"登録者"_qs, u"  組織: 非公開"_qs, u"  住所: Tokyo, JP"_qs,
                   u"  メール: 非公開"_qs, u"技術担当者"_qs, u"  ハンドル: 非公開"_qs,
                   u"  名前: Tech"_qs, u"  電話: 非公開"_qs, QString(), QString() };

        QTest::newRow("roles beyond the four, and one unknown")
            << QByteArray(R"({"objectClassName": "autnum", "entities": [
                  {"handle": "H1", "roles": ["Owner"]}, {"handle": "H2", "roles": ["sponsor"]},
                  {"handle": "H3", "roles": ["reseller"]}, {"handle": "H4", "roles": ["routing"]},
                  {"handle": "H5", "roles": ["noc"]}, {"handle": "H6", "roles": ["registrar"]},
                  {"roles": ["technical"]}]})")
            << QStringList { u"ネットワーク運用窓口 (NOC)"_qs, u"  ハンドル: H5"_qs,
                   u"ルーティング担当者"_qs, u"  ハンドル: H4"_qs, u"再販業者"_qs,
                   u"  ハンドル: H3"_qs, u"スポンサー"_qs, u"  ハンドル: H2"_qs,
                   u"連絡先 (owner)"_qs, u"  ハンドル: H1"_qs, QString(), QString() };

        QTest::newRow("DS records, port 43 and every event")
            << QByteArray(R"({"objectClassName": "domain", "ldhName": "example.org",
                "port43": "whois.example.org",
                "secureDNS": {"delegationSigned": true, "dsData": [{"keyTag": 12345,
                  "algorithm": 13, "digestType": 2, "digest": "49FD46E6C4B45C55D4AC"}]},
                "events": [{"eventAction": "last update of RDAP database", "eventDate": "2026-12-07T00:00:00Z"},
                  {"eventAction": "frobnicated", "eventDate": "2026-01-01T00:00:00Z"},
                  {"eventAction": "transfer", "eventDate": "2020-02-01T00:00:00Z"},
                  {"eventAction": "registration", "eventDate": "2000-01-01T00:00:00Z"}]})")
            << QStringList { u"ドメイン名: example.org"_qs, u"登録日: 2000/01/01 09:00"_qs,
                   u"移転日: 2020/02/01 09:00"_qs, u"RDAPデータベース更新日: 2026/12/07 09:00"_qs,
                   u"イベント: frobnicated 2026/01/01 09:00"_qs, u"DNSSEC: 署名あり"_qs,
                   u"DS: キータグ 12345, アルゴリズム 13, ダイジェスト種別 2, ダイジェスト 49FD46E6C4B45C55D4AC"_qs,
                   u"whoisサーバ: whois.example.org"_qs, QString(), QString() };

        QTest::newRow("entity answer")
            << QByteArray(R"({"objectClassName": "entity", "handle": "EXAMPLE-ARIN",
                "vcardArray": ["vcard", [["fn", {}, "text", "Example Org"],
                  ["adr", {"label": "1 Main St\nAnytown\nUS"}, "text", ["", "", "", "", "", "", ""]],
                  ["email", {}, "text", "hostmaster@example.net"]]],
                "status": ["validated"],
                "entities": [{"handle": "ABUSE1-ARIN", "roles": ["abuse"],
                  "vcardArray": ["vcard", [["email", {}, "text", "abuse@example.net"]]]}]})")
            << QStringList { u"ハンドル: EXAMPLE-ARIN"_qs, u"名前: Example Org"_qs,
                   u"住所: 1 Main St, Anytown, US"_qs, u"メール: hostmaster@example.net"_qs,
                   u"状態: 検証済み (validated)"_qs, u"不正利用窓口"_qs,
                   u"  ハンドル: ABUSE1-ARIN"_qs, u"  メール: abuse@example.net"_qs, QString(),
                   QString() };

        QTest::newRow("name server answer")
            << QByteArray(R"({"objectClassName": "nameserver", "ldhName": "ns1.example.net",
                "handle": "NS1-EXAMPLE",
                "ipAddresses": {"v6": ["2001:db8::53"], "v4": ["192.0.2.53"]}})")
            << QStringList { u"ネームサーバ: ns1.example.net"_qs, u"ハンドル: NS1-EXAMPLE"_qs,
                   u"IPアドレス: 192.0.2.53"_qs, u"IPアドレス: 2001:db8::53"_qs, QString(),
                   QString() };

        QTest::newRow("remark lines broken inside a string")
            << QByteArray("{\"objectClassName\": \"domain\", \"remarks\": [{\"description\":"
                          " [\"one\\r\\ntwo\\nthree\\u2028four\"]}]}")
            << QStringList { QString(), u"備考"_qs, u"  one"_qs, u"  two"_qs, u"  three"_qs,
                   u"  four"_qs, QString(), QString() };
    }

    void summary()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, expected);
        const std::optional<RdapRecord> record = parseRdapRecord(json);
        QVERIFY(record);
        QCOMPARE(SummaryLines(renderRdapText(*record, json)), expected);
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
        const QString text = renderRdapText(*parseRdapRecord(json), json);
        const qsizetype header = text.indexOf(u'\n' + kJsonHeader + u'\n');
        QVERIFY(header >= 0);
        const QString shown = text.mid(header + kJsonHeader.size() + 2);
        QCOMPARE(QJsonDocument::fromJson(shown.toUtf8()), QJsonDocument::fromJson(json));
        QCOMPARE(MemberNames(shown), MemberNames(QString::fromUtf8(json)));
        QVERIFY(shown.startsWith(u"{\n    \"rdapConformance\": [\n        \"rdap_level_0\""_qs));
    }

    // The layout, and its fallbacks when it would pass its bound: the text
    // as received, then the text cut under a closing line.
    void indentJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("maxChars");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty containers")
            << QByteArray(R"({"a":{},"b":[ ]})") << 1000 << u"{\n    \"a\": {},\n    \"b\": []\n}"_qs;
        QTest::newRow("brackets and escapes in strings")
            << QByteArray("[ \"x,{y}\", \"q\\\"[\\\\\" ,1.5e3]") << 1000
            << u"[\n    \"x,{y}\",\n    \"q\\\"[\\\\\",\n    1.5e3\n]"_qs;
        QTest::newRow("unsafe characters escaped")
            << QByteArray("[\"a\x01" "b\r\n\xE2\x80\xAE\xC2\x85\xE2\x81\xA9\x7F" "c\xC2\xA0\xE2\x80\x8B\"]")
            << 1000 << u"[\n    \"a\\u0001b\\u000D\\u000A\\u202E\\u0085\\u2069\\u007Fc\u00A0\u200B\"\n]"_qs;
        const QByteArray wide = "{\"a\": [1, 2],\r\n \"b\": \"x\ty\"}";
        QTest::newRow("past the bound: as received")
            << wide << 40 << u"{\"a\": [1, 2],\n \"b\": \"x\\u0009y\"}"_qs;
        QTest::newRow("past the bound as received too: cut")
            << wide << 10 << u"{\"a\": [1, \n---- JSON の残りは大きすぎるため表示しません ----"_qs;
    }

    void indentJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, maxChars);
        QFETCH(QString, expected);
        QString text = u"before\n"_qs;
        appendIndentedJson(text, json, maxChars);
        QCOMPARE(text, u"before\n"_qs + expected);
    }

    // The layout is kept while it fits its bound, with room for the bytes
    // of a string as it is decoded, and only then: over random documents with characters
    // of one to four bytes and characters written as escapes.
    void layoutKeptWhileItFits()
    {
        constexpr quint32 kSeed = 20240611;
        QRandomGenerator random(kSeed);
        const QList<QByteArray> pieces { "a", " ", "\\\"", "\\u0041", "\xC3\xA9", "\xE3\x81\x82",
            "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF", "\x01", "\x7F", "\xC2\x85", "\xE2\x80\xAE",
            "\xE2\x81\xA9", "\xEF\xBF\xBD" };
        qsizetype longestString = 0;
        const auto randomValue = [&](const auto &self, int depth) -> QByteArray {
            const int kind = random.bounded(depth > 3 ? 2 : 4);
            if (kind == 0)
                return QByteArray::number(random.bounded(1000));
            if (kind == 1) {
                QByteArray text = "\"";
                for (int i = random.bounded(6); i > 0; --i)
                    text += pieces.at(random.bounded(int(pieces.size())));
                longestString = std::max(longestString, text.size() + 1);
                return text + '"';
            }
            QByteArray items;
            for (int i = random.bounded(5); i > 0; --i) {
                items += items.isEmpty() ? "" : ", ";
                items += kind == 2 ? "" : "\"k\": ";
                items += self(self, depth + 1);
            }
            return kind == 2 ? '[' + items + ']' : '{' + items + '}';
        };
        for (int run = 0; run < 500; ++run) {
            longestString = 0;
            QByteArray json = "{\"a\": [";
            for (int i = random.bounded(40); i >= 0; --i)
                json += randomValue(randomValue, 2) + (i > 0 ? "," : "]}");
            const QByteArray failure = "seed " + QByteArray::number(kSeed) + ", run "
                + QByteArray::number(run) + ": " + json.toPercentEncoding(" {}[]:,\"");
            QString laidOut;
            appendIndentedJson(laidOut, json, jsonLayoutLimit(json));
            QVERIFY2(laidOut.startsWith(u"{\n    \"a\": [\n        "), failure.constData());
            for (const qsizetype bound : { laidOut.size() + longestString, laidOut.size() - 1 }) {
                QString text = u"before\n"_qs;
                appendIndentedJson(text, json, bound);
                QVERIFY2((text == u"before\n"_qs + laidOut) == (bound >= laidOut.size()),
                    failure.constData());
            }
        }
    }

    // A wide array at the deepest nesting would lay out to hundreds of
    // times its size; it is shown as received instead, and still as JSON.
    void wideDeepArrayStaysBounded()
    {
        const int depth = kMaxRdapNesting - 1;
        QByteArray zeros;
        for (int i = 0; i < 100000; ++i)
            zeros += "0,";
        zeros += '0';
        const QByteArray json =
            "{\"a\":" + QByteArray(depth - 1, '[') + '[' + zeros + ']' + QByteArray(depth - 1, ']') + '}';
        const std::optional<RdapRecord> record = parseRdapRecord(json);
        QVERIFY(record);
        const QString text = renderRdapText(*record, json);
        QVERIFY(text.size() <= jsonLayoutLimit(json) + 100);
        const QString shown = text.mid(text.indexOf(kJsonHeader) + kJsonHeader.size() + 1);
        QCOMPARE(QJsonDocument::fromJson(shown.toUtf8()), QJsonDocument::fromJson(json));
    }

    // Over random strings full of controls, separators and bidirectional
    // marks, raw or escaped: nothing unsafe reaches the text, the JSON shown
    // is the JSON received, and every line break in it lies outside strings.
    void hostileStringsStayInside()
    {
        constexpr quint32 kSeed = 20261207;
        QRandomGenerator random(kSeed);
        const QList<char32_t> alphabet { u'a', u' ', u'"', u'\\', u'{', u']', u',', u':', u'\n',
            u'\r', u'\t', 0x00, 0x01, 0x1B, 0x1F, 0x7F, 0x85, 0x9F, 0x2028, 0x2029, 0x202A, 0x202E,
            0x2066, 0x2069, 0x3042 };
        const auto randomString = [&] {
            QByteArray json = "\"";
            const int size = random.bounded(12);
            for (int i = 0; i < size; ++i) {
                const char32_t c = alphabet.at(random.bounded(int(alphabet.size())));
                if (c == u'"' || c == u'\\' || random.bounded(3) == 0)
                    json += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0')).toLatin1();
                else
                    json += QString::fromUcs4(&c, 1).toUtf8();
            }
            return json + '"';
        };
        int parsed = 0;
        for (int run = 0; run < 2000; ++run) {
            const QByteArray json = "{\"objectClassName\": \"domain\", \"ldhName\": " + randomString()
                + ", " + randomString() + ": [" + randomString() + "], \"entities\": [{\"roles\":"
                " [\"registrant\"], \"vcardArray\": [\"vcard\", [[\"fn\", {}, \"text\", "
                + randomString() + "]]]}], \"remarks\": [{\"title\": " + randomString()
                + ", \"description\": [" + randomString() + "]}]}";
            const std::optional<RdapRecord> record = parseRdapRecord(json);
            if (!record)
                continue;
            ++parsed;
            const QString text = renderRdapText(*record, json);
            const QByteArray failure = "seed " + QByteArray::number(kSeed) + ", run "
                + QByteArray::number(run) + ": " + json.toPercentEncoding(" {}[]:,\"");
            for (const QChar c : text)
                QVERIFY2(c == u'\n' || !isUnsafeForDisplay(c.unicode()), failure.constData());
            const QString shown = text.mid(text.indexOf(kJsonHeader) + kJsonHeader.size() + 1);
            QVERIFY2(QJsonDocument::fromJson(shown.toUtf8()) == QJsonDocument::fromJson(json),
                failure.constData());
            bool inString = false;
            for (qsizetype i = 0; i < shown.size(); ++i) {
                if (shown.at(i) == u'"')
                    inString = !inString;
                else if (inString && shown.at(i) == u'\\')
                    ++i;
                else
                    QVERIFY2(!inString || shown.at(i) != u'\n', failure.constData());
            }
        }
        QVERIFY(parsed > 1000);
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
        QVERIFY(!parseRdapRecord(json));
    }

    void registrarLinkOfAnswer_data()
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

    void registrarLinkOfAnswer()
    {
        QFETCH(QJsonArray, links);
        QFETCH(QString, expected);
        const std::optional<RdapRecord> record = parseRdapRecord(QJsonDocument(
            QJsonObject { { u"objectClassName"_qs, u"domain"_qs },
                { u"links"_qs, links } }).toJson());
        QVERIFY(record);
        const std::optional<QUrl> link = registrarLink(*record, u"rdap.registry.example"_qs);
        QCOMPARE(link ? link->toString() : QString(), expected);
    }

    void nestingAtTheLimitIsRead()
    {
        const int inner = kMaxRdapNesting - 1;
        const QByteArray json = "{\"a\":" + QByteArray(inner, '[') + QByteArray(inner, ']') + '}';
        QCOMPARE(jsonNestingDepth(json), kMaxRdapNesting);
        QVERIFY(parseRdapRecord(json));
    }
};

QTEST_GUILESS_MAIN(TestRdapText)
#include "tst_rdap_text.moc"

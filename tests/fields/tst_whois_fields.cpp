#include "fields/answer_lines.h"
#include "fields/field_store.h"
#include "fields/format_readers.h"
#include "fields/whois_fields.h"
#include "fields_lines.h"
#include "selection/whois_hosts.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cstring>

Q_DECLARE_METATYPE(QList<WhoisHop>)

namespace {

// Random inputs are the same on every run; failures print the seed.
constexpr quint32 kSeed = 0x5eed0022;

void addRow(const char *name, QStringView server, const QString &answer, const QStringList &expected)
{
    QTest::newRow(name) << server.toString() << answer << expected;
}

// Whether first <= last, both of one protocol.
bool isOrdered(const QHostAddress &first, const QHostAddress &last)
{
    if (first.protocol() != last.protocol())
        return false;
    if (first.protocol() == QAbstractSocket::IPv4Protocol)
        return first.toIPv4Address() <= last.toIPv4Address();
    const Q_IPV6ADDR a = first.toIPv6Address();
    const Q_IPV6ADDR b = last.toIPv6Address();
    return std::memcmp(a.c, b.c, sizeof a.c) <= 0;
}

} // namespace

class TestWhoisFields : public QObject {
    Q_OBJECT

private slots:
    void icann_data();
    void icann() { readsAnswer(); }
    void jprsAndJpnic_data();
    void jprsAndJpnic() { readsAnswer(); }
    void rpsl_data();
    void rpsl() { readsAnswer(); }
    void arin_data();
    void arin() { readsAnswer(); }
    void notFound_data();
    void notFound();
    void chain_data();
    void chain();
    void randomTextIsHarmless();
    void readsOnlyTheAnswersHead();

private:
    static void columns();
    static void readsAnswer();
};

void TestWhoisFields::columns()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("expected");
}

void TestWhoisFields::readsAnswer()
{
    QFETCH(QString, server);
    QFETCH(QString, answer);
    QFETCH(QStringList, expected);
    const AnswerFields fields = readWhoisFields(answer, server);
    QCOMPARE(fieldsLines(fields), expected);
    QCOMPARE(fields.server, server);
}

void TestWhoisFields::icann_data()
{
    columns();
    addRow("registry, indented, URLs after the status", WhoisHost::kVeriSign, uR"(
   Domain Name: EXAMPLE.COM
   Registry Domain ID: 2336799_DOMAIN_COM-VRSN
   Registrar WHOIS Server: whois.registrar.example
   Updated Date: 2024-08-14T07:01:34Z
   Creation Date: 1995-08-14T04:00:00Z
   Registry Expiry Date: 2025-08-13T04:00:00Z
   Registrar: Example Registrar, Inc.
   Registrar IANA ID: 376
   Registrar Abuse Contact Email:
   Registrar Abuse Contact Phone:
   Domain Status: clientDeleteProhibited https://icann.org/epp#clientDeleteProhibited
   Domain Status: clientTransferProhibited https://icann.org/epp#clientTransferProhibited
   Name Server: A.IANA-SERVERS.NET
   Name Server: B.IANA-SERVERS.NET
   DNSSEC: signedDelegation
   DNSSEC DS Data: 370 13 2 BE74359954660069D5C63D200C39F5603827D7DD02B56F120EE9F3A86764247C
>>> Last update of whois database: 2024-12-01T10:00:00Z <<<

NOTICE: The expiration date displayed in this record is the date the
registrar's sponsorship of the domain name registration in the registry is
currently set to expire.
)"_qs,
        { u"state=found"_qs, u"kind=domain"_qs, u"name=example.com"_qs,
            u"handle=2336799_DOMAIN_COM-VRSN"_qs, u"registrar=Example Registrar, Inc."_qs,
            u"ianaId=376"_qs, u"status=clientDeleteProhibited|clientTransferProhibited"_qs,
            u"registered=1995-08-14T04:00:00Z"_qs, u"updated=2024-08-14T07:01:34Z"_qs,
            u"expires=2025-08-13T04:00:00Z"_qs, u"ns=a.iana-servers.net b.iana-servers.net"_qs,
            u"dnssec=signed"_qs });
    addRow("registrar, CRLF, REDACTED, trailing blanks, offsets",
        u"whois.registrar.example",
        uR"(Domain Name: example.net
Registry Domain ID: 
Updated Date: 2024-01-02 03:04:05
Creation Date: 2001-05-06T07:08:09.0Z
Registrar Registration Expiration Date: 2026-05-06T16:08:09+09:00
Registrar: EXAMPLE REGISTRAR LLC   
Registrar IANA ID: 1234
Registrar Abuse Contact Email: abuse@registrar.example
Registrar Abuse Contact Phone: +1.5555550100
Domain Status: ok https://icann.org/epp#ok
Registry Registrant ID: REDACTED FOR PRIVACY
Registrant Organization: REDACTED FOR PRIVACY
Registrant Country: JP
Name Server: ns1.example.net.
Name Server: NS2.EXAMPLE.NET
Name Server: ns1.example.net
DNSSEC: unsigned
URL of the ICANN Whois Inaccuracy Complaint Form: https://www.icann.org/wicf/
)"_qs.replace(u"\n"_qs, u"\r\n"_qs),
        { u"state=found"_qs, u"kind=domain"_qs, u"name=example.net"_qs,
            u"registrar=EXAMPLE REGISTRAR LLC"_qs, u"ianaId=1234"_qs, u"country=JP"_qs,
            u"status=ok"_qs, u"registered=2001-05-06T07:08:09Z"_qs,
            u"updated=2024-01-02T03:04:05Z"_qs, u"expires=2026-05-06T07:08:09Z"_qs,
            u"ns=ns1.example.net ns2.example.net"_qs, u"dnssec=unsigned"_qs,
            u"abuse=abuse@registrar.example"_qs, u"abusePhone=+1.5555550100"_qs });
    addRow("ccTLD with lower-case keys", u"whois.tcinet.ru", uR"(% TCI Whois Service. Terms of use:
% https://tcinet.ru/documents/whois_ru_rf.pdf (in Russian)

domain:        EXAMPLE.RU
nserver:       ns1.example.ru. 192.0.2.53
nserver:       ns2.example.net.
state:         REGISTERED, DELEGATED, VERIFIED
org:           Example LLC
registrar:     RU-CENTER-RU
admin-contact: https://www.nic.ru/whois
created:       2005-01-31T21:00:00Z
paid-till:     2026-01-31T21:00:00Z
source:        TCI

Last updated on 2025-06-01T12:00:00Z
)"_qs,
        { u"state=found"_qs, u"kind=domain"_qs, u"name=example.ru"_qs,
            u"registrar=RU-CENTER-RU"_qs, u"registered=2005-01-31T21:00:00Z"_qs,
            u"expires=2026-01-31T21:00:00Z"_qs, u"ns=ns1.example.ru ns2.example.net"_qs });
    addRow("values indented below their key", u"whois.nic.uk", uR"(
    Domain name:
        example.co.uk

    Data validation:
        Nominet was able to match the registrant's name and address on 10-Dec-2012

    Registrar:
        Example Ltd t/a Example [Tag = EXAMPLE]
        URL: https://www.example.co.uk

    Relevant dates:
        Registered on: 26-Jun-2001
        Expiry date:  26-Jun-2026
        Last updated:  26-May-2024

    Registration status:
        Registered until expiry date.

    Name servers:
        ns1.example.net           192.0.2.1
        NS2.EXAMPLE.NET

    WHOIS lookup made at 10:00:00 01-Dec-2024
)"_qs,
        { u"state=found"_qs, u"kind=domain"_qs, u"name=example.co.uk"_qs,
            u"registrar=Example Ltd t/a Example [Tag = EXAMPLE]"_qs,
            u"status=Registered until expiry date."_qs, u"registered=2001-06-26T00:00:00Z"_qs,
            u"updated=2024-05-26T00:00:00Z"_qs, u"expires=2026-06-26T00:00:00Z"_qs,
            u"ns=ns1.example.net ns2.example.net"_qs });
}

void TestWhoisFields::jprsAndJpnic_data()
{
    columns();
    addRow("JPRS general domain, Japanese", WhoisHost::kDotJp, uR"(
[ JPRS database provides information on network administration. Its use is    ]
[ restricted to network administration purposes. For further information,     ]
[ use 'whois -h whois.jprs.jp help'. To suppress Japanese output, add'/e'     ]

Domain Information: [ドメイン情報]
[Domain Name]                   EXAMPLE.JP

[登録者名]                      株式会社サンプル
[Registrant]                    Sample Co., Ltd.

[Name Server]                   ns1.example.jp
[Name Server]                   ns2.example.jp
[Signing Key]                   

[登録年月日]                    2001/02/03
[有効期限]                      2026/02/28
[状態]                          Active
[最終更新]                      2025/03/01 01:05:03 (JST)

Contact Information: [公開連絡窓口]
[名前]                          株式会社サンプル
[Email]                         hostmaster@example.jp
[電話番号]                      03-0000-0000
)"_qs,
        { u"state=found"_qs, u"kind=domain"_qs, u"name=example.jp"_qs,
            u"org=株式会社サンプル"_qs, u"status=Active"_qs,
            u"registered=2001-02-02T15:00:00Z"_qs, u"updated=2025-02-28T16:05:03Z"_qs,
            u"expires=2026-02-27T15:00:00Z"_qs, u"ns=ns1.example.jp ns2.example.jp"_qs,
            u"dnssec=unsigned"_qs });
    addRow("JPRS attribute-type domain, English /e", WhoisHost::kDotJp, uR"(Domain Information:
a. [Domain Name]                EXAMPLE.CO.JP
g. [Organization]               Sample Co., Ltd.
l. [Organization Type]          Company
m. [Administrative Contact]     SK001JP
p. [Name Server]                ns1.example.co.jp
p. [Name Server]                ns2.example.co.jp
s. [Signing Key]                61058 8 2 (
                                2F5A0C1D7E4B3A29 )
[State]                         Connected (2026/03/31)
[Registered Date]               2001/03/06
[Connected Date]                2001/03/06
[Last Update]                   2025/04/01 01:05:07 (JST)
)"_qs,
        { u"state=found"_qs, u"kind=domain"_qs, u"name=example.co.jp"_qs,
            u"org=Sample Co., Ltd."_qs, u"status=Connected"_qs,
            u"registered=2001-03-05T15:00:00Z"_qs, u"updated=2025-03-31T16:05:07Z"_qs,
            u"expires=2026-03-30T15:00:00Z"_qs, u"ns=ns1.example.co.jp ns2.example.co.jp"_qs,
            u"dnssec=signed"_qs });
    addRow("JPNIC network, Japanese", WhoisHost::kJpnic, uR"(
[ JPNIC database provides information regarding IP address and ASN. Its use   ]
[ is restricted to network administration purposes.                            ]

Network Information: [ネットワーク情報]
a. [IPネットワークアドレス]     192.0.2.0/24
b. [ネットワーク名]             SAMPLE-NET
f. [組織名]                     株式会社サンプル
g. [Organization]               Sample Co., Ltd.
m. [管理者連絡窓口]             SK001JP
p. [ネームサーバ]               
[割当年月日]                    2010/04/01
[返却年月日]                    
[最終更新]                      2010/04/01 10:00:00(JST)

上位情報
----------
サンプル株式会社 (ネットワーク)   SAMPLE-BLOCK   192.0.0.0/16
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=192.0.2.0/24"_qs,
            u"org=株式会社サンプル"_qs, u"country=JP"_qs, u"registered=2010-03-31T15:00:00Z"_qs,
            u"updated=2010-04-01T01:00:00Z"_qs, u"first=192.0.2.0"_qs, u"last=192.0.2.255"_qs,
            u"cidr=192.0.2.0/24"_qs, u"netname=SAMPLE-NET"_qs });
    addRow("JPNIC IPv6 network, English, no letters", WhoisHost::kJpnic, uR"(Network Information:
[Network Number]                2001:db8:1200::/40
[Network Name]                  SAMPLE-V6
[Organization]                  Sample Co., Ltd.
[Assigned Date]                 2012/01/01
[Last Update]                   2012/01/05 12:00:00(JST)
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=2001:db8:1200::/40"_qs,
            u"org=Sample Co., Ltd."_qs, u"country=JP"_qs, u"registered=2011-12-31T15:00:00Z"_qs,
            u"updated=2012-01-05T03:00:00Z"_qs, u"first=2001:db8:1200::"_qs,
            u"last=2001:db8:12ff:ffff:ffff:ffff:ffff:ffff"_qs, u"cidr=2001:db8:1200::/40"_qs,
            u"netname=SAMPLE-V6"_qs });
    addRow("JPNIC AS number", WhoisHost::kJpnic, uR"(a. [AS番号]                     64500
b. [AS名]                       SAMPLE-AS
f. [組織名]                     株式会社サンプル
[割当年月日]                    2001/01/01
[最終更新]                      2020/01/01 00:00:00(JST)
)"_qs,
        { u"state=found"_qs, u"kind=as"_qs, u"name=AS64500"_qs, u"org=株式会社サンプル"_qs,
            u"country=JP"_qs, u"registered=2000-12-31T15:00:00Z"_qs,
            u"updated=2019-12-31T15:00:00Z"_qs, u"netname=SAMPLE-AS"_qs });
}

void TestWhoisFields::rpsl_data()
{
    columns();
    addRow("RIPE: abuse comment, organisation, route", WhoisHost::kRipe, uR"(% This is the RIPE Database query service.
% The objects are in RPSL format.

% Information related to '193.0.0.0 - 193.0.7.255'

% Abuse contact for '193.0.0.0 - 193.0.7.255' is 'abuse@ripe.net'

inetnum:        193.0.0.0 - 193.0.7.255
netname:        RIPE-NCC
descr:          RIPE Network Coordination Centre
org:            ORG-RIEN1-RIPE
country:        NL
admin-c:        BRD-RIPE
status:         ASSIGNED PA
created:        2003-03-17T12:15:57Z
last-modified:  2017-12-04T14:42:31Z
source:         RIPE # Filtered

organisation:   ORG-RIEN1-RIPE
org-name:       Reseaux IP Europeens Network Coordination Centre (RIPE NCC)
country:        NL
abuse-c:        ops4-ripe
source:         RIPE # Filtered

% Information related to '193.0.0.0/21AS3333'

route:          193.0.0.0/21
descr:          RIPE-NCC
origin:         AS3333
source:         RIPE # Filtered
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=193.0.0.0 - 193.0.7.255"_qs,
            u"org=Reseaux IP Europeens Network Coordination Centre (RIPE NCC)"_qs,
            u"country=NL"_qs, u"status=ASSIGNED PA"_qs, u"registered=2003-03-17T12:15:57Z"_qs,
            u"updated=2017-12-04T14:42:31Z"_qs, u"first=193.0.0.0"_qs, u"last=193.0.7.255"_qs,
            u"cidr=193.0.0.0/21"_qs, u"netname=RIPE-NCC"_qs, u"origin=AS3333"_qs,
            u"abuse=abuse@ripe.net"_qs });
    addRow("APNIC: the narrower inetnum and its own IRT", WhoisHost::kApnic, uR"(% [whois.apnic.net]

% Information related to '203.0.0.0 - 203.0.255.255'

inetnum:        203.0.0.0 - 203.0.255.255
netname:        SAMPLE-AP-BLOCK
descr:          Sample Holdings
country:        AU
mnt-irt:        IRT-WIDE-AU
status:         ALLOCATED PORTABLE
last-modified:  2020-01-01T00:00:00Z
source:         APNIC

irt:            IRT-WIDE-AU
e-mail:         noc@wide.example
abuse-mailbox:  abuse@wide.example
phone:          +61-2-1111-1111
source:         APNIC

% Information related to '203.0.113.0 - 203.0.113.127'

inetnum:        203.0.113.0 - 203.0.113.127
netname:        SAMPLE-CUSTOMER
descr:          Sample Customer Pty Ltd
descr:          Level 1, 1 Example St
country:        AU
mnt-irt:        IRT-SAMPLE-AU
status:         ASSIGNED NON-PORTABLE
last-modified:  2022-05-06T07:08:09Z
source:         APNIC

irt:            IRT-SAMPLE-AU
e-mail:         security@customer.example
abuse-mailbox:  abuse@customer.example
phone:          +61-2-0000-0000
source:         APNIC

route:          203.0.113.0/24
origin:         AS64511
source:         APNIC
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=203.0.113.0 - 203.0.113.127"_qs,
            u"org=Sample Customer Pty Ltd"_qs, u"country=AU"_qs,
            u"status=ASSIGNED NON-PORTABLE"_qs, u"updated=2022-05-06T07:08:09Z"_qs,
            u"first=203.0.113.0"_qs, u"last=203.0.113.127"_qs, u"cidr=203.0.113.0/25"_qs,
            u"netname=SAMPLE-CUSTOMER"_qs, u"origin=AS64511"_qs,
            u"abuse=abuse@customer.example"_qs, u"abusePhone=+61-2-0000-0000"_qs });
    addRow("AFRINIC: inet6num, abuse through the organisation", WhoisHost::kAfrinic, uR"(% This is the AfriNIC Whois server.

% No abuse contact registered for 2001:db8:8000::/33

inet6num:       2001:db8:8000::/33
netname:        SAMPLE-V6
descr:          Sample Telecom
country:        ZA
org:            ORG-ST1-AFRINIC
status:         ALLOCATED-BY-RIR
source:         AFRINIC # Filtered

role:           Other Role
nic-hdl:        OR1-AFRINIC
abuse-mailbox:  other@telecom.example
source:         AFRINIC # Filtered

organisation:   ORG-ST1-AFRINIC
org-name:       Sample Telecom (Pty) Ltd
country:        ZA
abuse-c:        AR1-AFRINIC
source:         AFRINIC # Filtered

role:           Abuse Role
nic-hdl:        AR1-AFRINIC
abuse-mailbox:  abuse@telecom.example
phone:          tel:+27-11-000-0000
source:         AFRINIC # Filtered
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=2001:db8:8000::/33"_qs,
            u"org=Sample Telecom (Pty) Ltd"_qs, u"country=ZA"_qs,
            u"status=ALLOCATED-BY-RIR"_qs, u"first=2001:db8:8000::"_qs,
            u"last=2001:db8:ffff:ffff:ffff:ffff:ffff:ffff"_qs, u"cidr=2001:db8:8000::/33"_qs,
            u"netname=SAMPLE-V6"_qs, u"abuse=abuse@telecom.example"_qs,
            u"abusePhone=tel:+27-11-000-0000"_qs });
    addRow("LACNIC: short prefix, owner, abuse-c person", WhoisHost::kLacnic, uR"(
% Joint Whois - whois.lacnic.net
%  This server accepts single ASN, IPv4 or IPv6 queries

inetnum:     200.160/12
status:      allocated
aut-num:     AS64512
owner:       Núcleo Exemplo
ownerid:     BR-NUEX-LACNIC
responsible: Fulano de Tal
country:     BR
owner-c:     FUT
abuse-c:     ABU
nserver:     a.dns.example
created:     19980101
changed:     20190304

nic-hdl:     FUT
person:      Fulano de Tal
e-mail:      fulano@exemplo.example

nic-hdl:     ABU
person:      Abuse Desk
e-mail:      abuse@exemplo.example
phone:       +55 11 5555-0000
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=200.160/12"_qs,
            u"org=Núcleo Exemplo"_qs, u"country=BR"_qs, u"status=allocated"_qs,
            u"registered=1998-01-01T00:00:00Z"_qs, u"updated=2019-03-04T00:00:00Z"_qs,
            u"first=200.160.0.0"_qs, u"last=200.175.255.255"_qs, u"cidr=200.160.0.0/12"_qs,
            u"origin=AS64512"_qs, u"abuse=abuse@exemplo.example"_qs,
            u"abusePhone=+55 11 5555-0000"_qs });
    addRow("RIPE aut-num", WhoisHost::kRipe, uR"(% Abuse contact for 'AS3333' is 'abuse@ripe.net'

aut-num:        AS3333
as-name:        RIPE-NCC-AS
descr:          Reseaux IP Europeens Network Coordination Centre (RIPE NCC)
status:         ASSIGNED
created:        2002-08-13T10:25:12Z
last-modified:  2023-11-02T13:06:32Z
source:         RIPE
)"_qs,
        { u"state=found"_qs, u"kind=as"_qs, u"name=AS3333"_qs,
            u"org=Reseaux IP Europeens Network Coordination Centre (RIPE NCC)"_qs,
            u"status=ASSIGNED"_qs, u"registered=2002-08-13T10:25:12Z"_qs,
            u"updated=2023-11-02T13:06:32Z"_qs, u"netname=RIPE-NCC-AS"_qs,
            u"abuse=abuse@ripe.net"_qs });
}

void TestWhoisFields::arin_data()
{
    columns();
    addRow("one network, its organisation and abuse contact", WhoisHost::kArin, uR"(#
# ARIN WHOIS data and services are subject to the Terms of Use
#

NetRange:       198.51.100.0 - 198.51.100.255
CIDR:           198.51.100.0/24
NetName:        SAMPLE-NET
NetHandle:      NET-198-51-100-0-1
Parent:         NET198 (NET-198-0-0-0-0)
NetType:        Direct Assignment
OriginAS:       AS64496
Organization:   Sample Networks (SAMPL)
RegDate:        2005-11-09
Updated:        2021-07-15

OrgName:        Sample Networks
OrgId:          SAMPL
City:           Chantilly
Country:        US
RegDate:        2001-09-07
Updated:        2020-06-02

OrgAbuseHandle: ABUSE1-ARIN
OrgAbusePhone:  +1-703-555-0100 
OrgAbuseEmail:  abuse@sample.example
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=198.51.100.0 - 198.51.100.255"_qs,
            u"handle=NET-198-51-100-0-1"_qs, u"org=Sample Networks"_qs, u"country=US"_qs,
            u"registered=2005-11-09T00:00:00Z"_qs, u"updated=2021-07-15T00:00:00Z"_qs,
            u"first=198.51.100.0"_qs, u"last=198.51.100.255"_qs, u"cidr=198.51.100.0/24"_qs,
            u"netname=SAMPLE-NET"_qs, u"origin=AS64496"_qs, u"abuse=abuse@sample.example"_qs,
            u"abusePhone=+1-703-555-0100"_qs });
    addRow("the narrower of two networks, none of the wider's contacts", WhoisHost::kArin,
        uR"(NetRange:       198.18.0.0 - 198.19.255.255
CIDR:           198.18.0.0/15
NetName:        BIG-ISP
NetHandle:      NET-198-18-0-0-1
OriginAS:       
RegDate:        1999-01-01
Updated:        2012-02-24

OrgName:        Big ISP
Country:        US
OrgAbusePhone:  +1-555-555-0001
OrgAbuseEmail:  abuse@bigisp.example

NetRange:       198.18.4.0 - 198.18.4.63
CIDR:           198.18.4.0/26
NetName:        BIGISP-CUST-1
NetHandle:      NET-198-18-4-0-1
NetType:        Reassigned
RegDate:        2019-03-04
Updated:        2019-03-05

CustName:       Small Shop
Country:        CA
)"_qs,
        { u"state=found"_qs, u"kind=network"_qs, u"name=198.18.4.0 - 198.18.4.63"_qs,
            u"handle=NET-198-18-4-0-1"_qs, u"org=Small Shop"_qs, u"country=CA"_qs,
            u"registered=2019-03-04T00:00:00Z"_qs, u"updated=2019-03-05T00:00:00Z"_qs,
            u"first=198.18.4.0"_qs, u"last=198.18.4.63"_qs, u"cidr=198.18.4.0/26"_qs,
            u"netname=BIGISP-CUST-1"_qs });
    addRow("AS number", WhoisHost::kArin, uR"(ASNumber:       64496
ASName:         SAMPLE-AS
ASHandle:       AS64496
RegDate:        2000-03-30
Updated:        2012-02-24

OrgName:        Sample Networks
Country:        US
OrgAbuseEmail:  abuse@sample.example
)"_qs,
        { u"state=found"_qs, u"kind=as"_qs, u"name=AS64496"_qs, u"handle=AS64496"_qs,
            u"org=Sample Networks"_qs, u"country=US"_qs, u"registered=2000-03-30T00:00:00Z"_qs,
            u"updated=2012-02-24T00:00:00Z"_qs, u"netname=SAMPLE-AS"_qs,
            u"abuse=abuse@sample.example"_qs });
}

void TestWhoisFields::notFound_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<AnswerFields::State>("state");
    const auto row = [](const char *name, QStringView server, const QString &answer,
                         AnswerFields::State state) {
        QTest::newRow(name) << server.toString() << answer << state;
    };
    using State = AnswerFields::State;
    row("Verisign", WhoisHost::kVeriSign,
        u"No match for \"NOPE-EXAMPLE.COM\".\r\n>>> Last update of whois database: "
        "2024-12-01T10:00:00Z <<<\r\n"_qs,
        State::NotRegistered);
    row("NOT FOUND", u"whois.nic.io", u"NOT FOUND\n>>> Last update of WHOIS database <<<\n"_qs,
        State::NotRegistered);
    row("JPRS", WhoisHost::kDotJp,
        u"[ JPRS database provides information on network administration. ]\n\nNo match!!\n\n"
        "Please check the JP domain name that you entered.\n"_qs,
        State::NotRegistered);
    row("JPNIC", WhoisHost::kJpnic, u"No match!!\n"_qs, State::NotRegistered);
    row("RIPE", WhoisHost::kRipe,
        u"% This is the RIPE Database query service.\n\n%ERROR:101: no entries found\n%\n"
        "% No entries found in source RIPE.\n"_qs,
        State::NotRegistered);
    row("APNIC", WhoisHost::kApnic, u"% [whois.apnic.net]\n\n% No entries found\n"_qs,
        State::NotRegistered);
    row("ARIN", WhoisHost::kArin, u"#\n# ARIN WHOIS\n#\n\nNo match found for n + 192.0.2.1.\n"_qs,
        State::NotRegistered);
    row("rate limit is no answer", WhoisHost::kArin,
        u"Query rate limit exceeded. Try again later.\n"_qs, State::Unread);
    row("empty answer", u"whois.nic.example", QString(), State::Unread);
    row("a found domain that mentions NOT FOUND stays found", u"whois.nic.example",
        u"Domain Name: found.example\nRemarks:\nNOT FOUND in the blocklist\n"_qs, State::Found);
}

void TestWhoisFields::notFound()
{
    QFETCH(QString, server);
    QFETCH(QString, answer);
    QFETCH(AnswerFields::State, state);
    const AnswerFields fields = readWhoisFields(answer, server);
    QCOMPARE(fields.state, state);
    if (state != AnswerFields::State::Found)
        QVERIFY(fields.name.isEmpty());
}

void TestWhoisFields::chain_data()
{
    QTest::addColumn<QList<WhoisHop>>("hops");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("server");
    const QString registry = uR"(Domain Name: EXAMPLE.COM
Registrar: Example Registrar, Inc.
Registrar IANA ID: 376
Creation Date: 1995-08-14T04:00:00Z
Registry Expiry Date: 2025-08-13T04:00:00Z
Name Server: NS1.EXAMPLE.COM
)"_qs;
    const QString registrar = uR"(Domain Name: example.com
Registrar: Another Name For The Registrar
Registrar Registration Expiration Date: 2027-01-01T00:00:00Z
Registrant Organization: Sample Co.
Registrant Country: JP
Name Server: ns9.example.net
Registrar Abuse Contact Email: abuse@registrar.example
)"_qs;
    const QString registryFields[] = { u"state=found"_qs, u"kind=domain"_qs,
        u"name=example.com"_qs, u"registrar=Example Registrar, Inc."_qs, u"ianaId=376"_qs };
    QTest::newRow("the registrar fills what the registry leaves empty")
        << QList<WhoisHop> { { WhoisHost::kVeriSign.toString(), registry },
               { u"whois.registrar.example"_qs, registrar } }
        << QStringList { registryFields[0], registryFields[1], registryFields[2],
               registryFields[3], registryFields[4], u"org=Sample Co."_qs, u"country=JP"_qs,
               u"registered=1995-08-14T04:00:00Z"_qs, u"expires=2025-08-13T04:00:00Z"_qs,
               u"ns=ns1.example.com"_qs, u"abuse=abuse@registrar.example"_qs }
        << WhoisHost::kVeriSign.toString();
    QTest::newRow("an unreadable registrar answer changes nothing")
        << QList<WhoisHop> { { WhoisHost::kVeriSign.toString(), registry },
               { u"whois.registrar.example"_qs, u"Too many requests.\n"_qs } }
        << QStringList { registryFields[0], registryFields[1], registryFields[2],
               registryFields[3], registryFields[4], u"registered=1995-08-14T04:00:00Z"_qs,
               u"expires=2025-08-13T04:00:00Z"_qs, u"ns=ns1.example.com"_qs }
        << WhoisHost::kVeriSign.toString();
    QTest::newRow("IANA's answer about the TLD is no registration")
        << QList<WhoisHop> {
               { WhoisHost::kIana.toString(),
                   u"domain:       COM\norganisation: VeriSign Global Registry Services\n"
                   "refer:        whois.verisign-grs.com\ncreated:      1985-01-01\n"_qs },
               { WhoisHost::kVeriSign.toString(), u"No match for \"NOPE.COM\".\n"_qs } }
        << QStringList { u"state=not registered"_qs } << WhoisHost::kVeriSign.toString();
    QTest::newRow("a network is the last registry's alone")
        << QList<WhoisHop> {
               { WhoisHost::kArin.toString(),
                   u"NetRange:       193.0.0.0 - 193.255.255.255\nNetName:        RIPE-CIDR-BLOCK\n"
                   "OrgName:        RIPE Network Coordination Centre\nCountry:        NL\n"
                   "OrgAbusePhone:  +31205354444\nOrgAbuseEmail:  abuse@ripe.net\n"
                   "ReferralServer: whois://whois.ripe.net\n"_qs },
               { WhoisHost::kRipe.toString(),
                   u"inetnum:        193.0.22.0 - 193.0.23.255\nnetname:        SAMPLE-LAB\n"
                   "descr:          Sample Lab\n"_qs } }
        << QStringList { u"state=found"_qs, u"kind=network"_qs,
               u"name=193.0.22.0 - 193.0.23.255"_qs, u"org=Sample Lab"_qs,
               u"first=193.0.22.0"_qs, u"last=193.0.23.255"_qs, u"cidr=193.0.22.0/23"_qs,
               u"netname=SAMPLE-LAB"_qs }
        << WhoisHost::kRipe.toString();
}

void TestWhoisFields::chain()
{
    QFETCH(QList<WhoisHop>, hops);
    QFETCH(QStringList, expected);
    QFETCH(QString, server);
    const AnswerFields fields = readWhoisChain(hops);
    QCOMPARE(fieldsLines(fields), expected);
    QCOMPARE(fields.server, server);
}

// Lines built from the formats' own keys, brackets, blanks and stray
// characters: no reader may crash, hang or read out of bounds (the sanitizer
// build checks that), and whatever it returns must be consistent.
void TestWhoisFields::randomTextIsHarmless()
{
    static const QStringView kPieces[] = { u"Domain Name:", u"Name Server:", u"inetnum:",
        u"inet6num:", u"aut-num:", u"org:", u"abuse-c:", u"nic-hdl:", u"NetRange:", u"CIDR:",
        u"ASNumber:", u"a. [IPネットワークアドレス]", u"[状態]", u"[有効期限]", u"[Signing Key]",
        u"[AS番号]", u"% Abuse contact for '", u"' is '", u"No match", u" - ", u"/", u"::",
        u".", u":", u"[", u"]", u"(", u")", u"'", u"%", u"#", u"\t", u"  ", u"\r", u"\n", u"\n\n",
        u"0", u"1", u"9", u"255", u"2024-02-29T23:59:60Z", u"2001/13/40", u"+09:00", u"JST",
        u"AS", u"REDACTED", u"ÿ", u"日本", u"\u0000", u"\U0001F600", u"\xD800" };
    const QString servers[] = { QString(), WhoisHost::kArin.toString(), WhoisHost::kRipe.toString(),
        WhoisHost::kDotJp.toString(), WhoisHost::kJpnic.toString() };
    using Reader = AnswerFields (*)(QStringView);
    const Reader readers[] = { readFlatFields, readArinFields, readRpslFields,
        readJpBracketFields };
    const QByteArray seedText = "seed " + QByteArray::number(kSeed);
    QRandomGenerator random(kSeed);
    for (int round = 0; round < 3000; ++round) {
        QString answer;
        const int pieces = random.bounded(1, 120);
        for (int i = 0; i < pieces; ++i)
            answer += kPieces[random.bounded(static_cast<int>(std::size(kPieces)))];
        QList<AnswerFields> results;
        for (const QString &server : servers)
            results.append(readWhoisFields(answer, server));
        for (const Reader reader : readers)
            results.append(reader(answer));
        for (const AnswerFields &fields : results) {
            if (fields.state == AnswerFields::State::Found)
                QVERIFY2(!fields.name.isEmpty(), seedText.constData());
            if (!fields.networkFirst.isNull())
                QVERIFY2(isOrdered(fields.networkFirst, fields.networkLast), seedText.constData());
            for (const QStringList *list : { &fields.status, &fields.nameServers, &fields.cidrs })
                QVERIFY2(list->size() <= kMaxListEntries, seedText.constData());
            for (const QDateTime *date : { &fields.registered, &fields.updated, &fields.expires })
                QVERIFY2(!date->isValid() || date->timeSpec() == Qt::UTC, seedText.constData());
        }
    }
}

// A huge answer is read only as far as kMaxScannedChars: what lies beyond
// does not count, and a line without an end costs one pass.
void TestWhoisFields::readsOnlyTheAnswersHead()
{
    const QString filler = u"Remarks: filler\n"_qs.repeated(kMaxScannedChars / 16);
    const QString late = filler + u"Domain Name: late.example\n"_qs;
    QCOMPARE(readWhoisFields(late, u"whois.nic.example"_qs).state, AnswerFields::State::Unread);
    const QString early = u"Domain Name: early.example\n"_qs + filler
        + u"Name Server: ns1.early.example\n"_qs.repeated(4);
    const AnswerFields fields = readWhoisFields(early, u"whois.nic.example"_qs);
    QCOMPARE(fields.name, u"early.example"_qs);
    QVERIFY(fields.nameServers.isEmpty());
    const QString endless = u"Name Server: "_qs + QString(2 * kMaxScannedChars, u'x');
    QCOMPARE(readWhoisFields(endless, QString()).state, AnswerFields::State::Unread);
    QCOMPARE(readRpslFields(u"inetnum: "_qs + endless).state, AnswerFields::State::Unread);
}

QTEST_GUILESS_MAIN(TestWhoisFields)
#include "tst_whois_fields.moc"

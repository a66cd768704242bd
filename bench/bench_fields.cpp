// Throughput of the whois field readers over a mix of answers of the shapes
// real servers send (gTLD registry and registrar, JPRS, JPNIC, RIPE, APNIC,
// ARIN, LACNIC), the median of several rounds. Prints "name: value" lines.

#include "fields/whois_fields.h"
#include "selection/whois_hosts.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRounds = 9;
constexpr qsizetype kMixBytes = 20'000'000;

using Clock = std::chrono::steady_clock;

// Terms-of-use prose as registries append it, several hundred bytes a block.
QString legalText(const QString &prefix, int blocks)
{
    QString text;
    for (int i = 0; i < blocks; ++i) {
        text += prefix + u"TERMS OF USE: The data in this database is provided for information\n"_qs
            + prefix + u"purposes only. By submitting a query you agree not to use the data to\n"_qs
            + prefix + u"allow or support unsolicited commercial advertising, or to enable\n"_qs
            + prefix + u"high-volume automated processes that send queries to the server.\n"_qs
            + prefix + u'\n';
    }
    return text;
}

QList<WhoisHop> answerMix()
{
    QList<WhoisHop> mix;
    mix.append({ WhoisHost::kVeriSign.toString(),
        uR"(   Domain Name: EXAMPLE.COM
   Registry Domain ID: 2336799_DOMAIN_COM-VRSN
   Registrar WHOIS Server: whois.registrar.example
   Registrar URL: http://www.registrar.example
   Updated Date: 2024-08-14T07:01:34Z
   Creation Date: 1995-08-14T04:00:00Z
   Registry Expiry Date: 2025-08-13T04:00:00Z
   Registrar: Example Registrar, Inc.
   Registrar IANA ID: 376
   Registrar Abuse Contact Email: abuse@registrar.example
   Registrar Abuse Contact Phone: +1.5555550100
   Domain Status: clientDeleteProhibited https://icann.org/epp#clientDeleteProhibited
   Domain Status: clientTransferProhibited https://icann.org/epp#clientTransferProhibited
   Name Server: A.IANA-SERVERS.NET
   Name Server: B.IANA-SERVERS.NET
   DNSSEC: signedDelegation
>>> Last update of whois database: 2024-12-01T10:00:00Z <<<

)"_qs + legalText(QString(), 6) });
    QString registrar = uR"(Domain Name: example.net
Registry Domain ID: 1234567_DOMAIN_NET-VRSN
Updated Date: 2024-01-02T03:04:05Z
Creation Date: 2001-05-06T07:08:09Z
Registrar Registration Expiration Date: 2026-05-06T07:08:09Z
Registrar: EXAMPLE REGISTRAR LLC
Registrar IANA ID: 1234
Registrar Abuse Contact Email: abuse@registrar.example
Registrar Abuse Contact Phone: +1.5555550100
Domain Status: ok https://icann.org/epp#ok
)"_qs;
    for (const QStringView role : { u"Registrant", u"Admin", u"Tech" }) {
        for (const QStringView field : { u"Name", u"Organization", u"Street", u"City",
                 u"State/Province", u"Postal Code", u"Country", u"Phone", u"Fax", u"Email" })
            registrar += role.toString() + u' ' + field.toString() + u": REDACTED FOR PRIVACY\n"_qs;
    }
    registrar += u"Name Server: ns1.example.net\nName Server: ns2.example.net\nDNSSEC: unsigned\n"_qs
        + legalText(QString(), 4);
    mix.append({ u"whois.registrar.example"_qs, registrar });
    mix.append({ WhoisHost::kDotJp.toString(),
        legalText(u"[ "_qs, 1) + uR"(Domain Information: [ドメイン情報]
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
[郵便番号]                      100-0001
[住所]                          東京都千代田区千代田1-1
[電話番号]                      03-0000-0000
)"_qs });
    mix.append({ WhoisHost::kJpnic.toString(),
        legalText(u"[ "_qs, 1) + uR"(Network Information: [ネットワーク情報]
a. [IPネットワークアドレス]     192.0.2.0/24
b. [ネットワーク名]             SAMPLE-NET
f. [組織名]                     株式会社サンプル
g. [Organization]               Sample Co., Ltd.
m. [管理者連絡窓口]             SK001JP
n. [技術連絡担当者]             SK001JP
p. [ネームサーバ]               
[割当年月日]                    2010/04/01
[返却年月日]                    
[最終更新]                      2010/04/01 10:00:00(JST)
)"_qs });
    QString ripe = uR"(% This is the RIPE Database query service.
% The objects are in RPSL format.

% Abuse contact for '193.0.0.0 - 193.0.7.255' is 'abuse@ripe.net'

inetnum:        193.0.0.0 - 193.0.7.255
netname:        RIPE-NCC
descr:          RIPE Network Coordination Centre
org:            ORG-RIEN1-RIPE
country:        NL
admin-c:        BRD-RIPE
tech-c:         OPS4-RIPE
status:         ASSIGNED PA
mnt-by:         RIPE-NCC-MNT
created:        2003-03-17T12:15:57Z
last-modified:  2017-12-04T14:42:31Z
source:         RIPE

organisation:   ORG-RIEN1-RIPE
org-name:       Reseaux IP Europeens Network Coordination Centre (RIPE NCC)
country:        NL
abuse-c:        ops4-ripe
source:         RIPE

)"_qs;
    for (int i = 0; i < 8; ++i)
        ripe += u"role:           Operations %1\naddress:        Stationsplein 11\n"
                "phone:          +31 20 535 4444\nnic-hdl:        OPS%1-RIPE\n"
                "abuse-mailbox:  abuse@ripe.net\nsource:         RIPE\n\n"_qs.arg(i);
    ripe += u"route:          193.0.0.0/21\norigin:         AS3333\nsource:         RIPE\n"_qs;
    mix.append({ WhoisHost::kRipe.toString(), ripe });
    QString arin = legalText(u"# "_qs, 1);
    for (int i = 0; i < 2; ++i) {
        arin += uR"(NetRange:       198.18.%1.0 - 198.18.%1.255
CIDR:           198.18.%1.0/24
NetName:        SAMPLE-NET-%1
NetHandle:      NET-198-18-%1-0-1
Parent:         NET198 (NET-198-0-0-0-0)
NetType:        Direct Assignment
OriginAS:       AS64496
Organization:   Sample Networks (SAMPL)
RegDate:        2005-11-09
Updated:        2021-07-15

OrgName:        Sample Networks
OrgId:          SAMPL
Address:        1 Example Way
City:           Chantilly
StateProv:      VA
PostalCode:     20151
Country:        US
RegDate:        2001-09-07
Updated:        2020-06-02

OrgAbuseHandle: ABUSE1-ARIN
OrgAbuseName:   Abuse
OrgAbusePhone:  +1-703-555-0100
OrgAbuseEmail:  abuse@sample.example

OrgTechHandle:  TECH1-ARIN
OrgTechName:    Operations
OrgTechPhone:   +1-703-555-0101
OrgTechEmail:   noc@sample.example

)"_qs.arg(i);
    }
    mix.append({ WhoisHost::kArin.toString(), arin + legalText(u"# "_qs, 1) });
    mix.append({ WhoisHost::kLacnic.toString(), uR"(% Joint Whois - whois.lacnic.net

inetnum:     200.160/12
status:      allocated
aut-num:     AS64512
owner:       Núcleo Exemplo
ownerid:     BR-NUEX-LACNIC
country:     BR
abuse-c:     ABU
created:     19980101
changed:     20190304

nic-hdl:     ABU
person:      Abuse Desk
e-mail:      abuse@exemplo.example
phone:       +55 11 5555-0000
)"_qs });
    return mix;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QList<WhoisHop> mix = answerMix();
    qsizetype mixBytes = 0;
    for (const WhoisHop &hop : mix) {
        if (readWhoisFields(hop.answer, hop.server).state != AnswerFields::State::Found)
            std::abort();
        mixBytes += hop.answer.toUtf8().size();
    }
    if (mixBytes == 0)
        std::abort();
    const qsizetype repeats = kMixBytes / mixBytes + 1;
    std::vector<double> rates;
    qsizetype found = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        for (qsizetype i = 0; i < repeats; ++i) {
            for (const WhoisHop &hop : mix)
                found += readWhoisFields(hop.answer, hop.server).name.size();
        }
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        rates.push_back(static_cast<double>(repeats * mixBytes) / 1e6 / elapsed.count());
    }
    if (found == 0)
        std::abort();
    std::nth_element(rates.begin(), rates.begin() + kRounds / 2, rates.end());
    std::printf("fields_mb_s: %.1f\n", rates[kRounds / 2]);
    return 0;
}

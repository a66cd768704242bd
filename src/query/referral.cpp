#include "query/referral.h"

#include "selection/usable_host.h"
#include "selection/whois_hosts.h"

#include <QHostAddress>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace {

// Longer lines are no referral: a host name has at most 253 characters.
constexpr qsizetype kMaxLineLength = 512;
// RWhois's registered port, for an rwhois:// URL without one.
constexpr quint16 kRwhoisPort = 4321;
constexpr QStringView kKisaHost = u"whois.kisa.or.kr";

std::optional<quint16> readPort(QStringView text)
{
    if (text.isEmpty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.isDigit() && c < u'\x80';
        }))
        return std::nullopt;
    const int port = text.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

// A name needs a dot: "None", "N/A" or a bare word written where a host
// should stand is no server. Addresses count as they are.
bool isAddressOrName(QStringView host)
{
    if (host.isEmpty() || host.contains(u'%') || !isUsableHost(host))
        return false;
    return QHostAddress().setAddress(host.toString()) || host.contains(u'.');
}

// The value of a "Field: value" line whose field matches without regard to
// case, with the blanks around it removed; none for another field.
std::optional<QStringView> fieldValue(QStringView line, QStringView field)
{
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(field, Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView rest = trimmed.sliced(field.size());
    if (!rest.startsWith(u':'))
        return std::nullopt;
    return rest.sliced(1).trimmed();
}

// One line's referral and whether it came from ARIN's ReferralServer, where
// a later line names a more specific network.
struct Candidate {
    QueryTarget target;
    bool referralServer = false;
};

std::optional<QueryTarget> fieldReferral(QStringView line)
{
    // IANA's refer: and whois:, the thick registries' "Registrar WHOIS
    // Server:" and the thin format's "Whois Server:".
    for (const QStringView field : { QStringView(u"refer"), QStringView(u"whois"),
             QStringView(u"Registrar WHOIS Server"), QStringView(u"Whois Server") }) {
        if (const std::optional<QStringView> value = fieldValue(line, field))
            return readWhoisServer(*value);
    }
    return std::nullopt;
}

// ARIN's "ReferralServer: whois://host[:port]" or "rwhois://host:port"
// (RWhois servers take the key as a line too; their port is never 43, so
// they are only offered).
std::optional<QueryTarget> arinReferral(QStringView line)
{
    const std::optional<QStringView> value = fieldValue(line, u"ReferralServer");
    if (!value)
        return std::nullopt;
    QStringView server;
    if (value->startsWith(u"whois://", Qt::CaseInsensitive))
        server = value->sliced(8);
    else if (value->startsWith(u"rwhois://", Qt::CaseInsensitive))
        server = value->sliced(9);
    else
        return std::nullopt;
    if (server.endsWith(u'/'))
        server.chop(1);
    std::optional<QueryTarget> target = readWhoisServer(server);
    if (target && target->port == 43 && value->startsWith(u'r', Qt::CaseInsensitive)
        && !server.endsWith(u":43"))
        target->port = kRwhoisPort;
    return target;
}

// The national registries whose space APNIC's answers point to, by the
// hosts and source names those answers use. KRNIC's data is served by
// KISA today; its old host name still stands in APNIC's remarks.
struct NationalRegistry {
    QStringView source;
    QStringView writtenHost;
    QStringView host;
};
constexpr NationalRegistry kNationalRegistries[] = {
    { u"JPNIC", WhoisHost::kJpnic, WhoisHost::kJpnic },
    { u"KRNIC", u"whois.krnic.net", kKisaHost },
    { u"KRNIC", kKisaHost, kKisaHost },
};

// The regional registries that APNIC's stub records name as "Transferred to
// the <name> region".
struct RegionalRegistry {
    QStringView name;
    QStringView host;
};
constexpr RegionalRegistry kRegionalRegistries[] = {
    { u"ARIN", WhoisHost::kArin },
    { u"RIPE", WhoisHost::kRipe },
    { u"LACNIC", WhoisHost::kLacnic },
    { u"AFRINIC", WhoisHost::kAfrinic },
};

std::optional<QueryTarget> apnicReferral(QStringView line)
{
    const std::optional<QStringView> source = fieldValue(line, u"source");
    const QStringList words = line.toString().split(u' ', Qt::SkipEmptyParts);
    for (const NationalRegistry &registry : kNationalRegistries) {
        const bool namesServer = std::any_of(words.begin(), words.end(), [&](QString word) {
            if (word.endsWith(u'.'))
                word.chop(1);
            return word.compare(registry.writtenHost, Qt::CaseInsensitive) == 0;
        });
        if (namesServer || (source && source->compare(registry.source, Qt::CaseInsensitive) == 0))
            return QueryTarget::whois(registry.host.toString());
    }
    const qsizetype at = line.indexOf(u"transferred to the ", 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const QStringView rest = line.sliced(at + 19);
    for (const RegionalRegistry &registry : kRegionalRegistries) {
        if (rest.startsWith(registry.name, Qt::CaseInsensitive)
            && rest.sliced(registry.name.size()).trimmed().startsWith(u"region", Qt::CaseInsensitive))
            return QueryTarget::whois(registry.host.toString());
    }
    return std::nullopt;
}

QString withoutFinalDot(const QString &host)
{
    return host.endsWith(u'.') ? host.chopped(1) : host;
}

bool sameServer(const QueryTarget &a, const QueryTarget &b)
{
    return a.port == b.port
        && withoutFinalDot(a.host).compare(withoutFinalDot(b.host), Qt::CaseInsensitive) == 0;
}

// Whether a later candidate replaces the one found so far: a port-43 server
// wins over another port, and among ARIN's ReferralServer lines the last.
bool replaces(const Candidate &later, const Candidate &found)
{
    const bool laterUsable = later.target.port == 43;
    const bool foundUsable = found.target.port == 43;
    if (laterUsable != foundUsable)
        return laterUsable;
    return later.referralServer && found.referralServer;
}

} // namespace

std::optional<QueryTarget> readWhoisServer(QStringView text)
{
    QStringView host = text;
    std::optional<quint16> port = 43;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        host = text.sliced(1, close - 1);
        const QStringView rest = text.sliced(close + 1);
        if (!rest.isEmpty())
            port = rest.startsWith(u':') ? readPort(rest.sliced(1)) : std::nullopt;
        if (QHostAddress(host.toString()).protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
    } else if (text.count(u':') == 1) {
        const qsizetype colon = text.indexOf(u':');
        host = text.first(colon);
        port = readPort(text.sliced(colon + 1));
    }
    if (host.endsWith(u'.') && !host.startsWith(u'.'))
        host.chop(1);
    if (!port || !isAddressOrName(host))
        return std::nullopt;
    return QueryTarget::whois(host.toString().toLower(), *port);
}

std::optional<QueryTarget> findReferral(const QString &answer, const QueryTarget &answeredBy)
{
    const bool fromApnic = answeredBy.host.compare(WhoisHost::kApnic, Qt::CaseInsensitive) == 0;
    std::optional<Candidate> found;
    for (QStringView line : QStringView(answer).tokenize(u'\n')) {
        if (line.size() > kMaxLineLength)
            continue;
        Candidate candidate;
        std::optional<QueryTarget> target = fieldReferral(line);
        if (!target) {
            target = arinReferral(line);
            candidate.referralServer = target.has_value();
        }
        if (!target && fromApnic)
            target = apnicReferral(line);
        if (!target || sameServer(*target, answeredBy))
            continue;
        candidate.target = *target;
        if (!found || replaces(candidate, *found))
            found = candidate;
    }
    return found ? std::optional(found->target) : std::nullopt;
}

std::optional<QString> findIanaWhoisHost(const QString &answer)
{
    for (QStringView line : QStringView(answer).tokenize(u'\n')) {
        if (line.size() > kMaxLineLength)
            continue;
        const std::optional<QStringView> value = fieldValue(line, u"whois");
        if (!value)
            continue;
        const std::optional<QueryTarget> target = readWhoisServer(*value);
        if (!target || target->port != 43)
            return std::nullopt;
        return target->host;
    }
    return std::nullopt;
}

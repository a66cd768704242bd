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

std::optional<quint16> ReadPort(QStringView text)
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

bool IsAddressOrName(QStringView host)
{
    return !host.isEmpty() && !host.contains(u'%') && IsUsableHost(host);
}

// The value of a "Field: value" line whose field matches without regard to
// case, with the blanks around it removed; none for another field.
std::optional<QStringView> FieldValue(QStringView line, QStringView field)
{
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(field, Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView rest = trimmed.sliced(field.size());
    if (!rest.startsWith(u':'))
        return std::nullopt;
    return rest.sliced(1).trimmed();
}

std::optional<QueryTarget> IanaReferral(QStringView line)
{
    for (const QStringView field : { QStringView(u"refer"), QStringView(u"whois") }) {
        if (const std::optional<QStringView> value = FieldValue(line, field))
            return ReadWhoisServer(*value);
    }
    return std::nullopt;
}

std::optional<QueryTarget> RegistrarReferral(QStringView line)
{
    const std::optional<QStringView> value = FieldValue(line, u"Registrar WHOIS Server");
    return value ? ReadWhoisServer(*value) : std::nullopt;
}

std::optional<QueryTarget> ArinReferral(QStringView line)
{
    const std::optional<QStringView> value = FieldValue(line, u"ReferralServer");
    if (!value || !value->startsWith(u"whois://", Qt::CaseInsensitive))
        return std::nullopt;
    QStringView server = value->sliced(8);
    if (server.endsWith(u'/'))
        server.chop(1);
    return ReadWhoisServer(server);
}

// APNIC's records of JPNIC's space name JPNIC's server or JPNIC as source.
std::optional<QueryTarget> JpnicReferral(QStringView line)
{
    const QStringList words = line.toString().split(u' ', Qt::SkipEmptyParts);
    const bool namesServer = std::any_of(words.begin(), words.end(), [](const QString &word) {
        return word.compare(WhoisHost::JPNIC, Qt::CaseInsensitive) == 0;
    });
    const std::optional<QStringView> source = FieldValue(line, u"source");
    if (namesServer || (source && source->compare(u"JPNIC", Qt::CaseInsensitive) == 0))
        return QueryTarget::Whois(WhoisHost::JPNIC.toString());
    return std::nullopt;
}

bool SameServer(const QueryTarget &a, const QueryTarget &b)
{
    return a.port == b.port && a.host.compare(b.host, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QueryTarget> ReadWhoisServer(QStringView text)
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
            port = rest.startsWith(u':') ? ReadPort(rest.sliced(1)) : std::nullopt;
        if (QHostAddress(host.toString()).protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
    } else if (text.count(u':') == 1) {
        const qsizetype colon = text.indexOf(u':');
        host = text.first(colon);
        port = ReadPort(text.sliced(colon + 1));
    }
    if (!port || !IsAddressOrName(host))
        return std::nullopt;
    return QueryTarget::Whois(host.toString().toLower(), *port);
}

std::optional<QueryTarget> FindReferral(const QString &answer, const QueryTarget &answeredBy)
{
    const bool fromApnic = answeredBy.host.compare(WhoisHost::APNIC, Qt::CaseInsensitive) == 0;
    for (QStringView line : QStringView(answer).tokenize(u'\n')) {
        if (line.size() > kMaxLineLength)
            continue;
        std::optional<QueryTarget> target = IanaReferral(line);
        if (!target)
            target = RegistrarReferral(line);
        if (!target)
            target = ArinReferral(line);
        if (!target && fromApnic)
            target = JpnicReferral(line);
        if (target && !SameServer(*target, answeredBy))
            return target;
    }
    return std::nullopt;
}

std::optional<QString> FindIanaWhoisHost(const QString &answer)
{
    for (QStringView line : QStringView(answer).tokenize(u'\n')) {
        if (line.size() > kMaxLineLength)
            continue;
        const std::optional<QStringView> value = FieldValue(line, u"whois");
        if (!value)
            continue;
        const std::optional<QueryTarget> target = ReadWhoisServer(*value);
        if (!target || target->port != 43)
            return std::nullopt;
        return target->host;
    }
    return std::nullopt;
}

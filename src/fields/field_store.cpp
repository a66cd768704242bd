#include "fields/field_store.h"

#include "fields/answer_date.h"
#include "fields/network_range.h"

#include <algorithm>

namespace {

// Values that stand for data the server does not show.
bool isWithheld(QStringView value)
{
    static constexpr QStringView kWithheld[] = { u"REDACTED", u"Data Protected",
        u"Not Disclosed", u"Statutory Masking Enabled", u"Non-Public Data" };
    return std::any_of(std::begin(kWithheld), std::end(kWithheld),
        [value](QStringView prefix) { return value.startsWith(prefix, Qt::CaseInsensitive); });
}

void setText(QString &member, QStringView value)
{
    if (member.isEmpty())
        member = value.toString();
}

void setDate(QDateTime &member, QStringView value, int offsetSeconds)
{
    if (!member.isValid())
        member = readAnswerDate(value, offsetSeconds);
}

void addEntry(QStringList &list, QStringView value)
{
    if (list.size() < kMaxListEntries && !list.contains(value, Qt::CaseInsensitive))
        list.append(value.toString());
}

QStringView firstWord(QStringView value)
{
    const qsizetype blank = value.indexOf(u' ');
    const qsizetype tab = value.indexOf(u'\t');
    qsizetype end = value.size();
    for (const qsizetype at : { blank, tab }) {
        if (at >= 0)
            end = std::min(end, at);
    }
    return value.first(end);
}

QString hostName(QStringView value)
{
    QStringView name = firstWord(value);
    if (name.endsWith(u'.'))
        name.chop(1);
    return name.toString().toLower();
}

std::optional<bool> readSigned(QStringView value)
{
    for (const QStringView no : { u"unsigned", u"no", u"inactive", u"false" }) {
        if (value.startsWith(no, Qt::CaseInsensitive))
            return false;
    }
    for (const QStringView yes : { u"signed", u"yes", u"active", u"true" }) {
        if (value.startsWith(yes, Qt::CaseInsensitive))
            return true;
    }
    return std::nullopt;
}

bool isDigits(QStringView value)
{
    return !value.isEmpty() && std::all_of(value.begin(), value.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
}

void storeRange(AnswerFields &fields, QStringView value)
{
    if (!fields.name.isEmpty())
        return;
    const std::optional<NetworkRange> range = readNetworkRange(value);
    if (!range)
        return;
    fields.kind = AnswerFields::Kind::Network;
    fields.name = value.toString();
    fields.networkFirst = range->first;
    fields.networkLast = range->last;
    const QString prefix = exactPrefix(*range);
    if (!prefix.isEmpty() && fields.cidrs.isEmpty())
        fields.cidrs.append(prefix);
}

void storeCidrs(AnswerFields &fields, QStringView value)
{
    for (const QStringView part : value.tokenize(u',', Qt::SkipEmptyParts)) {
        const QStringView prefix = part.trimmed();
        const std::optional<NetworkRange> range = readNetworkRange(prefix);
        if (!range)
            continue;
        if (fields.networkFirst.isNull()) {
            fields.networkFirst = range->first;
            fields.networkLast = range->last;
        }
        addEntry(fields.cidrs, prefix);
    }
}

void storeAsNumber(AnswerFields &fields, QStringView value)
{
    QStringView number = firstWord(value);
    if (number.startsWith(u"AS", Qt::CaseInsensitive))
        number = number.sliced(2);
    if (!fields.name.isEmpty() || !isDigits(number) || number.size() > 10)
        return;
    fields.kind = AnswerFields::Kind::AutNum;
    fields.name = u"AS"_qs + number.toString();
}

} // namespace

std::optional<Field> findField(std::span<const FieldKey> table, QStringView key)
{
    for (const FieldKey &entry : table) {
        if (sameKey(entry.key, key))
            return entry.field;
    }
    return std::nullopt;
}

void storeField(AnswerFields &fields, Field field, QStringView value, int dateOffsetSeconds)
{
    value = value.trimmed();
    if (value.isEmpty() || isWithheld(value))
        return;
    switch (field) {
    case Field::DomainName:
        if (fields.name.isEmpty()) {
            fields.kind = AnswerFields::Kind::Domain;
            fields.name = hostName(value);
        }
        break;
    case Field::NetworkRange:
        storeRange(fields, value);
        break;
    case Field::AsNumber:
        storeAsNumber(fields, value);
        break;
    case Field::Handle:
        setText(fields.handle, value);
        break;
    case Field::Registrar:
        setText(fields.registrar, value);
        break;
    case Field::RegistrarIanaId:
        if (isDigits(value))
            setText(fields.registrarIanaId, value);
        break;
    case Field::Organization:
        setText(fields.registrantOrganization, value);
        break;
    case Field::Country:
        setText(fields.country, value);
        break;
    case Field::Status: {
        const qsizetype link = value.indexOf(u" http", 0, Qt::CaseInsensitive);
        addEntry(fields.status, link < 0 ? value : value.first(link).trimmed());
        break;
    }
    case Field::Registered:
        setDate(fields.registered, value, dateOffsetSeconds);
        break;
    case Field::Updated:
        setDate(fields.updated, value, dateOffsetSeconds);
        break;
    case Field::Expires:
        setDate(fields.expires, value, dateOffsetSeconds);
        break;
    case Field::NameServer:
        addEntry(fields.nameServers, hostName(value));
        break;
    case Field::Dnssec:
        if (!fields.dnssecSigned)
            fields.dnssecSigned = readSigned(value);
        break;
    case Field::Cidr:
        storeCidrs(fields, value);
        break;
    case Field::NetworkName:
        setText(fields.networkName, value);
        break;
    case Field::OriginAs:
        setText(fields.originAs, value);
        break;
    case Field::AbuseEmail:
        setText(fields.abuseEmail, value);
        break;
    case Field::AbusePhone:
        setText(fields.abusePhone, value);
        break;
    }
}

#include "rdap/rdap_parser.h"

#include "rdap/json_syntax.h"
#include "rdap/raw_json_object.h"
#include "rdap/rdap_jcard.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// Entities inside entities (a registrar's abuse contact) are read to this depth.
constexpr int kMaxEntityDepth = 3;

QStringList strings(const RawJsonValue &value)
{
    QStringList list;
    for (const RawJsonValue &item : value) {
        if (item.isString())
            list << item.toString();
    }
    return list;
}

// A number or a string, as text (autnum numbers are JSON numbers).
QString numberText(const RawJsonValue &value)
{
    if (value.isDouble())
        return QString::number(value.toInteger());
    return value.toString();
}

// Description lines, with the line breaks inside a string taken as breaks.
QStringList descriptionLines(const RawJsonValue &value)
{
    static const QRegularExpression lineBreak(u"\\r\\n|[\\r\\n\\x{2028}\\x{2029}]"_qs);
    QStringList lines;
    for (const QString &text : strings(value))
        lines << text.split(lineBreak);
    return lines;
}

QList<RdapNotice> notices(const RawJsonValue &value)
{
    QList<RdapNotice> notices;
    for (const RawJsonValue &item : value) {
        const RawJsonObject object(item, { u"title", u"description" });
        notices << RdapNotice { object.value(u"title").toString(),
            descriptionLines(object.value(u"description")) };
    }
    return notices;
}

// A contact from an entity object; `nested` is set to the entities inside.
RdapContact contact(const RawJsonValue &value, RawJsonValue *nested = nullptr)
{
    const RawJsonObject object(
        value, { u"roles", u"handle", u"vcardArray", u"publicIds", u"remarks", u"entities" });
    if (nested != nullptr)
        *nested = object.value(u"entities");
    RdapContact contact;
    for (const QString &role : strings(object.value(u"roles")))
        contact.roles << role.toLower();
    contact.handle = object.value(u"handle").toString();
    readJCard(object.value(u"vcardArray"), contact);
    for (const RawJsonValue &id : object.value(u"publicIds")) {
        const RawJsonObject publicId(id, { u"type", u"identifier" });
        if (publicId.value(u"type").toString() == u"IANA Registrar ID")
            contact.ianaRegistrarIds << numberText(publicId.value(u"identifier"));
    }
    contact.remarks = notices(object.value(u"remarks"));
    return contact;
}

void readEntities(const RawJsonValue &value, int depth, QList<RdapContact> &contacts)
{
    if (depth > kMaxEntityDepth)
        return;
    for (const RawJsonValue &item : value) {
        RawJsonValue nested;
        contacts << contact(item, &nested);
        readEntities(nested, depth + 1, contacts);
    }
}

// RFC 9537 names a withheld field as "<Role> <Field>", for example
// "Registrant Email" or "Tech Phone", or "Registry <Role> ID" for the
// handle; the field then counts as withheld in every contact of that role.
// The names are gathered first and the contacts visited once, so the work
// grows with the sum of the two lists, not their product.
void applyRedactions(const RawJsonValue &value, QList<RdapContact> &contacts)
{
    static const QHash<QString, QString> kRoles {
        { u"registrant"_qs, u"registrant"_qs },
        { u"admin"_qs, u"administrative"_qs },
        { u"administrative"_qs, u"administrative"_qs },
        { u"tech"_qs, u"technical"_qs },
        { u"technical"_qs, u"technical"_qs },
        { u"billing"_qs, u"billing"_qs },
    };
    static const QHash<QString, RdapField> kFields {
        { u"id"_qs, RdapField::Handle },
        { u"name"_qs, RdapField::Name },
        { u"organization"_qs, RdapField::Organization },
        { u"street"_qs, RdapField::Address },
        { u"city"_qs, RdapField::Address },
        { u"postal code"_qs, RdapField::Address },
        { u"state/province"_qs, RdapField::Address },
        { u"country"_qs, RdapField::Address },
        { u"email"_qs, RdapField::Email },
        { u"phone"_qs, RdapField::Phone },
        { u"phone ext"_qs, RdapField::Phone },
        { u"fax"_qs, RdapField::Fax },
        { u"fax ext"_qs, RdapField::Fax },
    };
    QHash<QString, RdapFields> withheldByRole;
    for (const RawJsonValue &item : value) {
        const RawJsonObject name(
            RawJsonObject(item, { u"name" }).value(u"name"), { u"type", u"description" });
        QString text = name.value(u"type").toString();
        if (text.isEmpty())
            text = name.value(u"description").toString();
        text = text.simplified().toLower();
        if (text.startsWith(u"registry ") && text.endsWith(u" id"))
            text = text.mid(9, text.size() - 12) + u" id"_qs;
        const qsizetype blank = text.indexOf(u' ');
        const auto role = kRoles.constFind(text.left(blank));
        const auto field = kFields.constFind(text.mid(blank + 1));
        if (blank > 0 && role != kRoles.cend() && field != kFields.cend())
            withheldByRole[*role] |= *field;
    }
    if (withheldByRole.isEmpty())
        return;
    for (RdapContact &contact : contacts) {
        for (const QString &role : contact.roles)
            contact.withheld |= withheldByRole.value(role);
    }
}

RdapObjectClass objectClass(const QString &name)
{
    if (name == u"domain")
        return RdapObjectClass::Domain;
    if (name == u"ip network")
        return RdapObjectClass::IpNetwork;
    if (name == u"autnum")
        return RdapObjectClass::Autnum;
    if (name == u"entity")
        return RdapObjectClass::Entity;
    if (name == u"nameserver")
        return RdapObjectClass::Nameserver;
    return RdapObjectClass::Other;
}

} // namespace

std::optional<RdapRecord> parseRdapRecord(QByteArrayView json)
{
    // Checked, then read in place: a tree of the whole answer would take
    // several times its size.
    const qsizetype start = jsonObjectStart(json, kMaxRdapNesting);
    if (start < 0)
        return std::nullopt;
    const RawJsonValue root(json.sliced(start));
    const RawJsonObject object(root,
        { u"objectClassName", u"handle", u"ldhName", u"unicodeName", u"nameservers", u"secureDNS",
            u"ipAddresses", u"port43", u"startAutnum", u"endAutnum", u"startAddress", u"endAddress",
            u"name", u"type", u"country", u"parentHandle", u"cidr0_cidrs",
            u"arin_originas0_originautnums", u"status", u"events", u"entities", u"redacted",
            u"remarks", u"notices", u"links" });

    RdapRecord record;
    record.objectClass = objectClass(object.value(u"objectClassName").toString());
    record.handle = object.value(u"handle").toString();
    record.ldhName = object.value(u"ldhName").toString();
    record.unicodeName = object.value(u"unicodeName").toString();
    for (const RawJsonValue &nameserver : object.value(u"nameservers")) {
        const RawJsonObject ns(nameserver, { u"ldhName", u"unicodeName" });
        const QString name = ns.value(u"ldhName").toString();
        record.nameservers << (name.isEmpty() ? ns.value(u"unicodeName").toString() : name);
    }
    const RawJsonObject secureDns(object.value(u"secureDNS"), { u"delegationSigned", u"dsData" });
    const RawJsonValue signedValue = secureDns.value(u"delegationSigned");
    if (signedValue.isBool())
        record.delegationSigned = signedValue.toBool();
    for (const RawJsonValue &item : secureDns.value(u"dsData")) {
        const RawJsonObject ds(item, { u"keyTag", u"algorithm", u"digestType", u"digest" });
        record.dsRecords << RdapDsRecord { numberText(ds.value(u"keyTag")),
            numberText(ds.value(u"algorithm")), numberText(ds.value(u"digestType")),
            ds.value(u"digest").toString() };
    }
    const RawJsonObject addresses(object.value(u"ipAddresses"), { u"v4", u"v6" });
    record.ipAddresses = strings(addresses.value(u"v4")) + strings(addresses.value(u"v6"));
    record.port43 = object.value(u"port43").toString();

    const bool isAutnum = record.objectClass == RdapObjectClass::Autnum;
    record.start = numberText(object.value(isAutnum ? u"startAutnum" : u"startAddress"));
    record.end = numberText(object.value(isAutnum ? u"endAutnum" : u"endAddress"));
    record.name = object.value(u"name").toString();
    record.type = object.value(u"type").toString();
    record.country = object.value(u"country").toString();
    record.parentHandle = object.value(u"parentHandle").toString();
    for (const RawJsonValue &item : object.value(u"cidr0_cidrs")) {
        const RawJsonObject cidr(item, { u"v4prefix", u"v6prefix", u"length" });
        QString prefix = cidr.value(u"v4prefix").toString();
        if (prefix.isEmpty())
            prefix = cidr.value(u"v6prefix").toString();
        const QString length = numberText(cidr.value(u"length"));
        if (!prefix.isEmpty())
            record.cidrs << (length.isEmpty() ? prefix : prefix + u'/' + length);
    }
    for (const RawJsonValue &item : object.value(u"arin_originas0_originautnums"))
        record.originAutnums << numberText(item);
    record.originAutnums.removeAll(QString());
    if (record.objectClass == RdapObjectClass::Entity)
        record.entity = contact(root);

    record.status = strings(object.value(u"status"));
    for (const RawJsonValue &item : object.value(u"events")) {
        const RawJsonObject event(item, { u"eventAction", u"eventDate" });
        record.events << RdapEvent { event.value(u"eventAction").toString(),
            event.value(u"eventDate").toString() };
    }
    readEntities(object.value(u"entities"), 1, record.contacts);
    applyRedactions(object.value(u"redacted"), record.contacts);
    record.remarks = notices(object.value(u"remarks"));
    record.notices = notices(object.value(u"notices"));
    for (const RawJsonValue &item : object.value(u"links")) {
        const RawJsonObject link(item, { u"rel", u"type", u"href" });
        record.links << RdapLink { link.value(u"rel").toString(), link.value(u"type").toString(),
            link.value(u"href").toString() };
    }
    return record;
}

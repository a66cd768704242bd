#include "rdap/rdap_parser.h"

#include "rdap/rdap_jcard.h"
#include "rdap/rdap_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Entities inside entities (a registrar's abuse contact) are read to this depth.
constexpr int kMaxEntityDepth = 3;

QStringList Strings(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray()) {
        if (item.isString())
            list << item.toString();
    }
    return list;
}

// A number or a string, as text (autnum numbers are JSON numbers).
QString NumberText(const QJsonValue &value)
{
    if (value.isDouble())
        return QString::number(value.toInteger());
    return value.toString();
}

QList<RdapNotice> Notices(const QJsonValue &value)
{
    QList<RdapNotice> notices;
    for (const QJsonValue &item : value.toArray()) {
        const QJsonObject object = item.toObject();
        notices << RdapNotice { object.value(u"title").toString(),
            Strings(object.value(u"description")) };
    }
    return notices;
}

void ReadEntities(const QJsonValue &value, int depth, QList<RdapContact> &contacts)
{
    if (depth > kMaxEntityDepth)
        return;
    for (const QJsonValue &item : value.toArray()) {
        const QJsonObject object = item.toObject();
        RdapContact contact;
        contact.roles = Strings(object.value(u"roles"));
        contact.handle = object.value(u"handle").toString();
        ReadJCard(object.value(u"vcardArray").toArray(), contact);
        for (const QJsonValue &id : object.value(u"publicIds").toArray()) {
            const QJsonObject publicId = id.toObject();
            if (publicId.value(u"type").toString() == u"IANA Registrar ID")
                contact.ianaRegistrarIds << publicId.value(u"identifier").toString();
        }
        contacts << contact;
        ReadEntities(object.value(u"entities"), depth + 1, contacts);
    }
}

// RFC 9537 names a withheld field as "<Role> <Field>", for example
// "Registrant Email" or "Tech Phone"; the field then counts as withheld in
// every contact of that role.
void ApplyRedactions(const QJsonValue &value, QList<RdapContact> &contacts)
{
    static const QList<std::pair<QStringView, QStringView>> kRoles {
        { u"registrant", u"registrant" },
        { u"admin", u"administrative" },
        { u"administrative", u"administrative" },
        { u"tech", u"technical" },
        { u"technical", u"technical" },
        { u"billing", u"billing" },
    };
    static const QList<std::pair<QStringView, QStringView>> kFields {
        { u"name", u"name" },
        { u"organization", u"organization" },
        { u"street", u"address" },
        { u"city", u"address" },
        { u"postal code", u"address" },
        { u"state/province", u"address" },
        { u"country", u"address" },
        { u"email", u"email" },
        { u"phone", u"phone" },
    };
    for (const QJsonValue &item : value.toArray()) {
        const QString name =
            item.toObject().value(u"name").toObject().value(u"type").toString().toLower();
        const qsizetype blank = name.indexOf(u' ');
        if (blank < 0)
            continue;
        const QStringView rolePart = QStringView(name).left(blank);
        const QStringView fieldPart = QStringView(name).mid(blank + 1);
        for (const auto &[roleWord, role] : kRoles) {
            if (rolePart != roleWord)
                continue;
            for (const auto &[fieldWord, field] : kFields) {
                if (fieldPart != fieldWord)
                    continue;
                for (RdapContact &contact : contacts) {
                    if (contact.roles.contains(role) && !contact.redacted.contains(field))
                        contact.redacted << field.toString();
                }
            }
        }
    }
}

RdapObjectClass ObjectClass(const QString &name)
{
    if (name == u"domain")
        return RdapObjectClass::Domain;
    if (name == u"ip network")
        return RdapObjectClass::IpNetwork;
    if (name == u"autnum")
        return RdapObjectClass::Autnum;
    return RdapObjectClass::Other;
}

} // namespace

std::optional<RdapRecord> ParseRdapRecord(QByteArrayView json)
{
    if (JsonNestingDepth(json) > kMaxRdapNesting)
        return std::nullopt;
    QJsonParseError error {};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    RdapRecord record;
    record.objectClass = ObjectClass(object.value(u"objectClassName").toString());
    record.handle = object.value(u"handle").toString();
    record.ldhName = object.value(u"ldhName").toString();
    record.unicodeName = object.value(u"unicodeName").toString();
    for (const QJsonValue &nameserver : object.value(u"nameservers").toArray()) {
        const QJsonObject ns = nameserver.toObject();
        const QString name = ns.value(u"ldhName").toString();
        record.nameservers << (name.isEmpty() ? ns.value(u"unicodeName").toString() : name);
    }
    const QJsonValue signedValue = object.value(u"secureDNS").toObject().value(u"delegationSigned");
    if (signedValue.isBool())
        record.delegationSigned = signedValue.toBool();

    const bool isAutnum = record.objectClass == RdapObjectClass::Autnum;
    record.start = NumberText(object.value(isAutnum ? u"startAutnum" : u"startAddress"));
    record.end = NumberText(object.value(isAutnum ? u"endAutnum" : u"endAddress"));
    record.name = object.value(u"name").toString();
    record.type = object.value(u"type").toString();
    record.country = object.value(u"country").toString();

    record.status = Strings(object.value(u"status"));
    for (const QJsonValue &item : object.value(u"events").toArray()) {
        const QJsonObject event = item.toObject();
        record.events << RdapEvent { event.value(u"eventAction").toString(),
            event.value(u"eventDate").toString() };
    }
    ReadEntities(object.value(u"entities"), 1, record.contacts);
    ApplyRedactions(object.value(u"redacted"), record.contacts);
    record.remarks = Notices(object.value(u"remarks"));
    record.notices = Notices(object.value(u"notices"));
    for (const QJsonValue &item : object.value(u"links").toArray()) {
        const QJsonObject link = item.toObject();
        record.links << RdapLink { link.value(u"rel").toString(), link.value(u"type").toString(),
            link.value(u"href").toString() };
    }
    return record;
}

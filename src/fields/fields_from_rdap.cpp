#include "fields/fields_from_rdap.h"

#include "fields/answer_date.h"
#include "fields/field_store.h"
#include "fields/network_range.h"

#include <algorithm>

namespace {

const RdapContact *contactWithRole(const RdapRecord &record, QStringView role)
{
    const auto found = std::find_if(record.contacts.begin(), record.contacts.end(),
        [role](const RdapContact &contact) {
            return contact.roles.contains(role, Qt::CaseInsensitive);
        });
    return found == record.contacts.end() ? nullptr : &*found;
}

QString firstOf(const QStringList &list)
{
    return list.isEmpty() ? QString() : list.first();
}

void readEvents(AnswerFields &fields, const QList<RdapEvent> &events)
{
    for (const RdapEvent &event : events) {
        const auto is = [&event](QStringView action) {
            return event.action.compare(action, Qt::CaseInsensitive) == 0;
        };
        if (is(u"registration"))
            storeField(fields, Field::Registered, event.date);
        else if (is(u"last changed"))
            storeField(fields, Field::Updated, event.date);
        else if (is(u"expiration"))
            storeField(fields, Field::Expires, event.date);
    }
}

void readNetwork(AnswerFields &fields, const RdapRecord &record)
{
    fields.kind = AnswerFields::Kind::Network;
    const std::optional<NetworkRange> range =
        readNetworkRange(record.start + u" - "_qs + record.end);
    if (!range)
        return;
    fields.name = record.start + u" - "_qs + record.end;
    fields.networkFirst = range->first;
    fields.networkLast = range->last;
    if (!record.originAutnums.isEmpty())
        fields.originAs = u"AS"_qs + record.originAutnums.first();
    const QString prefix = exactPrefix(*range);
    if (!prefix.isEmpty()) {
        fields.name = prefix;
        fields.cidrs.append(prefix);
    } else {
        for (const QString &cidr : record.cidrs)
            fields.cidrs.append(cidr);
    }
}

void readAutNum(AnswerFields &fields, const RdapRecord &record)
{
    fields.kind = AnswerFields::Kind::AutNum;
    if (record.start.isEmpty())
        return;
    fields.name = record.start == record.end || record.end.isEmpty()
        ? u"AS"_qs + record.start
        : u"AS%1 - AS%2"_qs.arg(record.start, record.end);
}

} // namespace

AnswerFields fieldsFromRdap(const RdapRecord &record, const QString &server)
{
    AnswerFields fields;
    fields.server = server;
    switch (record.objectClass) {
    case RdapObjectClass::Domain:
        storeField(fields, Field::DomainName,
            record.ldhName.isEmpty() ? record.unicodeName : record.ldhName);
        break;
    case RdapObjectClass::IpNetwork:
        readNetwork(fields, record);
        break;
    case RdapObjectClass::Autnum:
        readAutNum(fields, record);
        break;
    case RdapObjectClass::Entity:
    case RdapObjectClass::Nameserver:
    case RdapObjectClass::Other:
        return fields;
    }
    // A record without its name or range is still known by its handle.
    if (fields.name.isEmpty())
        fields.name = record.handle;
    if (fields.name.isEmpty())
        return fields;
    fields.state = AnswerFields::State::Found;
    fields.handle = record.handle;
    fields.networkName = record.name;
    fields.country = record.country;
    for (const QString &status : record.status)
        storeField(fields, Field::Status, status);
    for (const QString &host : record.nameservers)
        storeField(fields, Field::NameServer, host);
    fields.dnssecSigned = record.delegationSigned;
    readEvents(fields, record.events);
    if (const RdapContact *registrar = contactWithRole(record, u"registrar")) {
        storeField(fields, Field::Registrar,
            registrar->name.isEmpty() ? registrar->organization : registrar->name);
        storeField(fields, Field::RegistrarIanaId, firstOf(registrar->ianaRegistrarIds));
    }
    if (const RdapContact *registrant = contactWithRole(record, u"registrant"))
        storeField(fields, Field::Organization, registrant->organization);
    if (const RdapContact *abuse = contactWithRole(record, u"abuse")) {
        storeField(fields, Field::AbuseEmail, firstOf(abuse->emails));
        storeField(fields, Field::AbusePhone, firstOf(abuse->phones));
    }
    return fields;
}

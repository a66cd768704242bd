#include "fields/answer_lines.h"
#include "fields/field_store.h"
#include "fields/format_readers.h"
#include "fields/network_range.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr FieldKey kRpslKeys[] = {
    { u"inetnum", Field::NetworkRange },
    { u"inet6num", Field::NetworkRange },
    { u"netname", Field::NetworkName },
    { u"as-name", Field::NetworkName },
    { u"country", Field::Country },
    { u"status", Field::Status },
    { u"owner", Field::Organization }, // LACNIC
    { u"created", Field::Registered },
    { u"last-modified", Field::Updated },
    { u"changed", Field::Updated },
    { u"origin", Field::OriginAs },
};

// More contact objects than this are not looked at.
constexpr std::size_t kMaxContacts = 64;

// One object: its class (the first key), what it says of the network or AS,
// and the handles and contact values that tie objects together.
struct RpslObject {
    QStringView type;
    QStringView primary;
    AnswerFields fields;
    QStringView description;
    QStringView orgHandle;
    QStringView abuseHandle;
    QStringView irtHandle;
    QStringView contactHandle;
    QStringView orgName;
    QStringView mailbox;
    QStringView email;
    QStringView phone;
};

// Attributes that tie objects together, and the contact values.
struct LinkKey {
    QStringView key;
    QStringView RpslObject::*member;
};

constexpr LinkKey kLinkKeys[] = {
    { u"descr", &RpslObject::description },
    { u"org", &RpslObject::orgHandle },
    { u"abuse-c", &RpslObject::abuseHandle },
    { u"mnt-irt", &RpslObject::irtHandle },
    { u"nic-hdl", &RpslObject::contactHandle },
    { u"nic-hdl-br", &RpslObject::contactHandle },
    { u"org-name", &RpslObject::orgName },
    { u"abuse-mailbox", &RpslObject::mailbox },
    { u"e-mail", &RpslObject::email },
    { u"phone", &RpslObject::phone },
};

void readAttribute(RpslObject &object, const KeyValue &pair)
{
    if (object.type.isEmpty()) {
        object.type = pair.key;
        object.primary = pair.value;
    }
    if (sameKey(pair.key, u"aut-num")) {
        // An aut-num object, or the origin named inside a LACNIC inetnum.
        const bool isAutNum = sameKey(object.type, u"aut-num");
        storeField(object.fields, isAutNum ? Field::AsNumber : Field::OriginAs, pair.value);
    } else if (const std::optional<Field> field = findField(kRpslKeys, pair.key)) {
        storeField(object.fields, *field, pair.value);
    } else {
        for (const LinkKey &link : kLinkKeys) {
            if (sameKey(link.key, pair.key)) {
                QStringView &member = object.*link.member;
                if (member.isEmpty())
                    member = pair.value;
                break;
            }
        }
    }
}

// RIPE's and APNIC's "% Abuse contact for '…' is 'abuse@example.net'".
QStringView abuseComment(QStringView line)
{
    if (!line.startsWith(u"% Abuse contact for", Qt::CaseInsensitive))
        return {};
    const qsizetype start = line.lastIndexOf(u" is '");
    if (start < 0)
        return {};
    const QStringView quoted = line.sliced(start + 5);
    return quoted.endsWith(u'\'') ? quoted.chopped(1).trimmed() : QStringView();
}

// What the reader keeps of all objects while it walks the answer.
struct RpslAnswer {
    std::optional<RpslObject> network; // the narrowest inetnum or inet6num
    std::optional<RpslObject> autNum;
    QString routeOrigin;
    QStringView abuseComment;
    std::vector<RpslObject> contacts; // organisations, roles, persons, IRTs

    void add(RpslObject &&object)
    {
        const auto is = [&object](QStringView name) { return sameKey(object.type, name); };
        if (is(u"inetnum") || is(u"inet6num")) {
            if (object.fields.kind == AnswerFields::Kind::Network
                && (!network
                    || isNarrower({ object.fields.networkFirst, object.fields.networkLast },
                        { network->fields.networkFirst, network->fields.networkLast })))
                network = std::move(object);
        } else if (is(u"aut-num")) {
            if (!autNum && object.fields.kind == AnswerFields::Kind::AutNum)
                autNum = std::move(object);
        } else if (is(u"route") || is(u"route6")) {
            if (routeOrigin.isEmpty())
                routeOrigin = object.fields.originAs;
        } else if (contacts.size() < kMaxContacts) {
            if (object.contactHandle.isEmpty())
                object.contactHandle = object.primary;
            contacts.push_back(std::move(object));
        }
    }

    const RpslObject *contact(QStringView handle) const
    {
        if (handle.isEmpty())
            return nullptr;
        const auto found = std::find_if(contacts.begin(), contacts.end(),
            [handle](const RpslObject &object) {
                return sameKey(object.contactHandle, handle);
            });
        return found == contacts.end() ? nullptr : &*found;
    }
};

void fillAbuse(AnswerFields &fields, const RpslObject &object, const RpslAnswer &answer)
{
    storeField(fields, Field::AbuseEmail, answer.abuseComment);
    storeField(fields, Field::AbuseEmail, object.mailbox);
    const RpslObject *organisation = answer.contact(object.orgHandle);
    const QStringView orgAbuse = organisation ? organisation->abuseHandle : QStringView();
    for (const QStringView handle : { object.abuseHandle, object.irtHandle, orgAbuse }) {
        if (const RpslObject *contact = answer.contact(handle)) {
            storeField(fields, Field::AbuseEmail,
                contact->mailbox.isEmpty() ? contact->email : contact->mailbox);
            storeField(fields, Field::AbusePhone, contact->phone);
        }
    }
    const auto withMailbox = std::find_if(answer.contacts.begin(), answer.contacts.end(),
        [](const RpslObject &contact) { return !contact.mailbox.isEmpty(); });
    if (withMailbox != answer.contacts.end()) {
        storeField(fields, Field::AbuseEmail, withMailbox->mailbox);
        storeField(fields, Field::AbusePhone, withMailbox->phone);
    }
}

} // namespace

AnswerFields readRpslFields(QStringView answer)
{
    RpslAnswer objects;
    RpslObject object;
    AnswerLines lines(answer);
    QStringView line;
    bool more = true;
    while (more) {
        more = lines.next(line);
        if (!more || line.trimmed().isEmpty()) {
            if (!object.type.isEmpty())
                objects.add(std::move(object));
            object = RpslObject();
            continue;
        }
        if (objects.abuseComment.isEmpty())
            objects.abuseComment = abuseComment(line);
        if (const std::optional<KeyValue> pair = splitKeyValue(line); pair && pair->indent == 0)
            readAttribute(object, *pair);
    }
    const RpslObject *chosen = objects.network ? &*objects.network
        : objects.autNum                       ? &*objects.autNum
                                               : nullptr;
    if (!chosen)
        return {};
    AnswerFields fields = chosen->fields;
    if (const RpslObject *organisation = objects.contact(chosen->orgHandle))
        storeField(fields, Field::Organization, organisation->orgName);
    storeField(fields, Field::Organization, chosen->description);
    storeField(fields, Field::OriginAs, objects.routeOrigin);
    fillAbuse(fields, *chosen, objects);
    fields.state = AnswerFields::State::Found;
    return fields;
}

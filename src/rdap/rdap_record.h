#pragma once

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// An RDAP answer as plain values, read from its JSON by parseRdapRecord. Text
// is the server's, unchanged (control characters included); the renderer
// decides how it is shown. Lists keep the server's order.

struct RdapEvent {
    QString action; // "registration", "last changed", "expiration", ...
    QString date; // RFC 3339 text as sent
};

// A remark or a notice: a title and lines of description. A description
// string with line breaks inside counts as several lines.
struct RdapNotice {
    QString title;
    QStringList description;
};

struct RdapLink {
    QString rel;
    QString type;
    QString href;
};

// A DS record of secureDNS.dsData (RFC 9083 5.3), numbers as text.
struct RdapDsRecord {
    QString keyTag;
    QString algorithm;
    QString digestType;
    QString digest;
};

// The fields of a contact that a server can withhold.
enum class RdapField {
    Handle = 0x1,
    Name = 0x2,
    Organization = 0x4,
    Address = 0x8,
    Email = 0x10,
    Phone = 0x20,
    Fax = 0x40,
};
Q_DECLARE_FLAGS(RdapFields, RdapField)
Q_DECLARE_OPERATORS_FOR_FLAGS(RdapFields)

// One entity (a person, an organisation, a registrar) with what its jCard
// says. Roles are lower-cased. `withheld` names the fields the server says
// it withheld: by an RFC 9537 "redacted" member naming the role and field,
// or by a value such as "REDACTED FOR PRIVACY" (such values are not kept).
// An empty value is simply absent.
struct RdapContact {
    QStringList roles;
    QString handle;
    QString name;
    QString organization;
    QStringList addresses; // one line each
    QStringList emails;
    QStringList phones;
    QStringList faxes; // "tel" properties of type "fax"
    QStringList ianaRegistrarIds;
    QList<RdapNotice> remarks;
    RdapFields withheld;
};

enum class RdapObjectClass { Domain, IpNetwork, Autnum, Entity, Nameserver, Other };

struct RdapRecord {
    RdapObjectClass objectClass = RdapObjectClass::Other;
    QString handle; // a domain's Registry Domain ID, a network's or AS's handle
    QString port43; // the registry's whois server, when it names one
    // Domain and name server
    QString ldhName;
    QString unicodeName;
    QStringList nameservers; // a domain's, by name
    QStringList ipAddresses; // a name server's own, v4 then v6
    std::optional<bool> delegationSigned;
    QList<RdapDsRecord> dsRecords;
    // IP network and AS number: the first and last address or number
    QString start;
    QString end;
    QString name;
    QString type;
    QString country;
    QString parentHandle;
    QStringList cidrs; // "192.0.2.0/24", from cidr0_cidrs
    QStringList originAutnums; // digits, from arin_originas0_originautnums
    // An entity answer: the entity itself (its nested entities go to contacts)
    RdapContact entity;
    // All kinds
    QStringList status;
    QList<RdapEvent> events;
    QList<RdapContact> contacts; // nested entities follow their parent
    QList<RdapNotice> remarks;
    QList<RdapNotice> notices;
    QList<RdapLink> links;
};

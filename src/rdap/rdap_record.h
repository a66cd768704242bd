#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// An RDAP answer as plain values, read from its JSON by ParseRdapRecord. Text
// is the server's, unchanged; the renderer decides how it is shown.

struct RdapEvent {
    QString action; // "registration", "last changed", "expiration", ...
    QString date; // RFC 3339 text as sent
};

struct RdapNotice {
    QString title;
    QStringList description;
};

struct RdapLink {
    QString rel;
    QString type;
    QString href;
};

// One entity (a person, an organisation, a registrar) with what its jCard
// says. A field the server withheld is named in `redacted` ("name",
// "organization", "address", "email", "phone").
struct RdapContact {
    QStringList roles;
    QString handle;
    QString name;
    QString organization;
    QStringList addresses; // one line each
    QStringList emails;
    QStringList phones;
    QStringList ianaRegistrarIds;
    QStringList redacted;
};

enum class RdapObjectClass { Domain, IpNetwork, Autnum, Other };

struct RdapRecord {
    RdapObjectClass objectClass = RdapObjectClass::Other;
    QString handle;
    // Domain
    QString ldhName;
    QString unicodeName;
    QStringList nameservers;
    std::optional<bool> delegationSigned;
    // IP network and AS number: the first and last address or number
    QString start;
    QString end;
    QString name;
    QString type;
    QString country;
    // All kinds
    QStringList status;
    QList<RdapEvent> events;
    QList<RdapContact> contacts; // nested entities follow their parent
    QList<RdapNotice> remarks;
    QList<RdapNotice> notices;
    QList<RdapLink> links;
};

#pragma once

#include <QDateTime>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

// What one answer says about its key, read from whois text or from an RDAP
// record: the summary, the batch columns and the export share this shape. An
// empty member means the answer did not say (or withheld it as REDACTED).
struct AnswerFields {
    enum class Kind { Unknown, Domain, Network, AutNum };
    // Unread: no reader recognised the answer (an error page, a rate-limit
    // notice, a format we do not know), which is neither of the others.
    enum class State { Unread, Found, NotRegistered };

    State state = State::Unread;
    Kind kind = Kind::Unknown;
    // The object's canonical name: a domain in lower case, a network as the
    // registry writes it ("192.0.2.0 - 192.0.2.255", "2001:db8::/32"), or
    // an AS number as "AS64496".
    QString name;
    QString handle; // the registry's ID: Registry Domain ID, NetHandle, RDAP handle
    QString registrar; // the sponsoring registrar's name
    QString registrarIanaId; // its IANA registrar ID, digits only
    QString registrantOrganization; // the holder's organisation
    QString country; // as sent, usually an ISO 3166 code
    QStringList status; // EPP codes or the registry's words, URLs dropped
    QDateTime registered; // UTC; invalid when not given
    QDateTime updated; // UTC; the last change of the object
    QDateTime expires; // UTC
    QStringList nameServers; // lower case, without a trailing dot
    std::optional<bool> dnssecSigned; // whether the delegation is signed
    QHostAddress networkFirst; // the network range's first address
    QHostAddress networkLast; // and its last address
    QStringList cidrs; // the range as prefixes ("192.0.2.0/24")
    QString networkName; // netname, NetName, the JPNIC network name, or the AS name
    QString originAs; // the AS announcing the network, as sent ("AS64496")
    QString abuseEmail; // where to report abuse
    QString abusePhone;
    QString server; // the server whose answer this is (host name or RDAP base)
};

// Gives every member that `into` leaves empty the value `from` has. The
// state and the server stay those of `into`.
void fillMissingFields(AnswerFields &into, const AnswerFields &from);

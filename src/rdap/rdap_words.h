#pragma once

#include <QString>
#include <QStringView>

// The Japanese words of the RDAP summary for the server's terms.

// A status (RFC 9083 and RFC 8056's EPP mapping) in Japanese with the RDAP
// term after it, "移転禁止 (client transfer prohibited)"; an unknown status
// as it came. Case and blanks around the term do not matter.
QString rdapStatusText(const QString &status);

// The place of an event's action in the summary (registration, last
// changed and expiration first) and its label; unknown actions come last,
// with an empty label.
struct RdapEventWord {
    int order;
    QStringView label;
};
RdapEventWord rdapEventWordFor(QStringView action);

// The place of a contact role in the summary and its heading; an unknown
// role comes last, with an empty heading.
struct RdapRoleWord {
    int order;
    QStringView heading;
};
RdapRoleWord rdapRoleWordFor(QStringView role);

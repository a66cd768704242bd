#pragma once

#include "fields/answer_fields.h"

#include <QStringList>

// Every member a record holds, one "member=value" line each in a fixed
// order, so that a test compares whole records: a value in the wrong member
// or one the answer never gave fails as surely as a missing one.
inline QStringList fieldsLines(const AnswerFields &fields)
{
    QStringList lines;
    const auto put = [&lines](const char *member, const QString &value) {
        if (!value.isEmpty())
            lines.append(QString::fromLatin1(member) + u'=' + value);
    };
    const auto date = [](const QDateTime &when) {
        return when.isValid() ? when.toUTC().toString(Qt::ISODate) : QString();
    };
    static const char *const kStates[] = { "unread", "found", "not registered" };
    static const char *const kKinds[] = { "", "domain", "network", "as" };
    put("state", QString::fromLatin1(kStates[static_cast<int>(fields.state)]));
    put("kind", QString::fromLatin1(kKinds[static_cast<int>(fields.kind)]));
    put("name", fields.name);
    put("handle", fields.handle);
    put("registrar", fields.registrar);
    put("ianaId", fields.registrarIanaId);
    put("org", fields.registrantOrganization);
    put("country", fields.country);
    put("status", fields.status.join(u'|'));
    put("registered", date(fields.registered));
    put("updated", date(fields.updated));
    put("expires", date(fields.expires));
    put("ns", fields.nameServers.join(u' '));
    if (fields.dnssecSigned)
        put("dnssec", *fields.dnssecSigned ? u"signed"_qs : u"unsigned"_qs);
    put("first", fields.networkFirst.toString());
    put("last", fields.networkLast.toString());
    put("cidr", fields.cidrs.join(u' '));
    put("netname", fields.networkName);
    put("origin", fields.originAs);
    put("abuse", fields.abuseEmail);
    put("abusePhone", fields.abusePhone);
    return lines;
}

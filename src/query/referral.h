#pragma once

#include "selection/query_target.h"

#include <QString>

#include <optional>

// Finds the referral to another whois server in a finished answer:
//  - IANA's "refer:" (or "whois:") line,
//  - "Registrar WHOIS Server:" of the thin registries and others,
//  - ARIN's "ReferralServer: whois://host[:port]" (other schemes skipped),
//  - in an answer from APNIC, the pointer to JPNIC's server for the space
//    JPNIC manages.
// The first such line that names a usable host counts; a value that is not
// just a host name or an address with an optional port is ignored. A
// referral back to the server that answered is none.
std::optional<QueryTarget> findReferral(const QString &answer, const QueryTarget &answeredBy);

// The port-43 host named on the "whois:" line of IANA's answer about a
// top-level domain (asked at whois.iana.org with the label or a name under
// it), to be remembered with RegistryCache::Learn. None when the answer has
// no such line, or the line names no usable host or another port than 43.
std::optional<QString> findIanaWhoisHost(const QString &answer);

// Reads "host" or "host:port" (an IPv6 address as "[address]:port"): a host
// name or an address, nothing else; the port 1 to 65535, 43 when absent.
std::optional<QueryTarget> readWhoisServer(QStringView text);

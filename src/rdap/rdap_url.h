#pragma once

#include <QString>
#include <QUrl>

// What an RDAP query asks for (RFC 9082).
enum class RdapQueryKind { Domain, Ip, Autnum };

// The query URL: the service's base URL with "domain/<A-label>",
// "ip/<address or prefix>" or "autnum/<number>" appended. A base without a
// closing "/" gets one. The object is taken as given: the caller passes a
// domain in its ASCII form, an address, or the digits of an AS number.
QUrl rdapQueryUrl(const QUrl &base, RdapQueryKind kind, const QString &object);

#pragma once

#include "selection/rdap_service.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// IANA's registry data, built into the program: the RDAP bootstrap files for
// domain names, IPv4 and IPv6 addresses and AS numbers, and the port-43 whois
// host of each top-level domain. The built-in copy is parsed once, on first
// use; entries that do not parse are left out.
class RegistryData {
public:
    // The text of the five files, as IANA publishes them.
    struct Files {
        QByteArray dnsJson;
        QByteArray ipv4Json;
        QByteArray ipv6Json;
        QByteArray asnJson;
        QByteArray tldWhoisText;
    };

    explicit RegistryData(const Files &files);

    // The data built into the program, parsed on the first call.
    static const RegistryData &BuiltIn();

    // The service of the longest label suffix of an ASCII domain name
    // (lower case, no final dot) among the keys of the domain data.
    std::optional<RdapService> DomainService(QStringView asciiName) const;
    // The service of the longest listed prefix that holds the address, or
    // the whole prefix when prefixLength is given (-1: the address alone).
    std::optional<RdapService> AddressService(
        const QHostAddress &address, int prefixLength = -1) const;
    // The service of the range that holds the AS number.
    std::optional<RdapService> AsnService(quint32 number) const;

    // The port-43 whois host IANA lists for a top-level label (lower-case
    // ASCII), or an empty text when it lists none.
    QString TldWhoisHost(QStringView topLevel) const;
    // Whether the label is a top-level domain in the data (with a port-43
    // host, an RDAP service or both).
    bool IsTopLevelDomain(QStringView topLevel) const;

private:
    // An address as 16 bytes: IPv6 as it is, IPv4 in the first four.
    using AddressBytes = std::array<quint8, 16>;
    struct Prefix {
        AddressBytes network {};
        int length = 0;
        qsizetype service = 0;
    };
    struct AsnRange {
        quint32 first = 0;
        quint32 last = 0;
        qsizetype service = 0;
    };

    static AddressBytes BytesOf(const QHostAddress &address);
    std::optional<RdapService> LongestPrefix(
        const QList<Prefix> &prefixes, const QHostAddress &address, int prefixLength) const;

    QList<RdapService> m_services;
    QHash<QString, qsizetype> m_domains;
    QList<Prefix> m_ipv4;
    QList<Prefix> m_ipv6;
    QList<AsnRange> m_asns;
    QHash<QString, QString> m_tldWhois;
};

#pragma once

#include <QDateTime>
#include <QString>

#include <array>

// IANA's four RDAP bootstrap files (RFC 9224).
enum class BootstrapFile { Dns, Ipv4, Ipv6, Asn };

inline constexpr std::array<BootstrapFile, 4> kBootstrapFiles {
    BootstrapFile::Dns,
    BootstrapFile::Ipv4,
    BootstrapFile::Ipv6,
    BootstrapFile::Asn,
};

// The name IANA publishes the file under: "dns.json", "ipv4.json", ...
QString bootstrapFileName(BootstrapFile file);

// What one bootstrap file holds, as far as choosing between two copies goes.
struct BootstrapInfo {
    QDateTime publication; // its "publication" member; invalid when it did not parse
    qsizetype entries = 0; // the keys that were read (TLDs, prefixes, ranges)
    bool fromCache = false; // fetched and cached, else built into the program
};

// Whether a newly fetched copy may replace the one in use: it parsed, its
// publication is later than that of the copy in use and not more than a day
// ahead of now (a date far in the future would block every later update),
// and it keeps at least nine tenths of the entries of the copy in use.
bool mayReplace(const BootstrapInfo &candidate, const BootstrapInfo &inUse, const QDateTime &now);
// The same, except that a copy as old as the one in use also passes: such a
// copy confirms the data in use and may be cached with its validators.
bool confirmsOrReplaces(
    const BootstrapInfo &candidate, const BootstrapInfo &inUse, const QDateTime &now);

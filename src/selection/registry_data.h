#pragma once

#include "selection/bootstrap_file.h"
#include "selection/rdap_service.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <array>
#include <memory>
#include <optional>

// IANA's registry data: the RDAP bootstrap files for domain names, IPv4 and
// IPv6 addresses and AS numbers, and the port-43 whois host of each
// top-level domain. A copy is built into the program and parsed once, on
// first use; fresher bootstrap files and hosts learnt from IANA's whois
// server come from the cache folder (see RegistryCache). Entries that do not
// parse are left out.
class RegistryData {
public:
    // The text of the files, as IANA publishes them.
    struct Files {
        std::array<QByteArray, kBootstrapFiles.size()> bootstrap; // by BootstrapFile
        std::array<bool, kBootstrapFiles.size()> fromCache {};
        // "tld<TAB>host" lines; the learnt lines take the place of the
        // built-in ones for the same top-level domain.
        QByteArray tldWhoisText;
        QByteArray learntTldWhoisText;
    };

    explicit RegistryData(const Files &files);

    // The data built into the program, parsed on the first call.
    static const RegistryData &builtIn();
    // The data that lookups use now: the built-in data until Use() puts
    // other data in its place. Safe to call from any thread; a lookup that
    // holds the pointer keeps its data even when it is replaced meanwhile.
    static std::shared_ptr<const RegistryData> inUse();
    // Puts data in use from the next call of inUse(); none: the built-in data.
    static void use(std::shared_ptr<const RegistryData> data);

    // What a bootstrap file holds, without building the tables of the others.
    static BootstrapInfo readInfo(BootstrapFile file, const QByteArray &json);
    BootstrapInfo info(BootstrapFile file) const;
    // This data with other learnt hosts; only their text is read again.
    std::shared_ptr<const RegistryData> withLearntHosts(const QByteArray &text) const;
    // The files this data was read from.
    const Files &sourceFiles() const { return m_files; }

    // The service of the longest label suffix of an ASCII domain name
    // (lower case, no final dot) among the keys of the domain data.
    std::optional<RdapService> domainService(QStringView asciiName) const;
    // The service of the longest listed prefix that holds the address, or
    // the whole prefix when prefixLength is given (-1: the address alone).
    std::optional<RdapService> addressService(
        const QHostAddress &address, int prefixLength = -1) const;
    // The service of the range that holds the AS number.
    std::optional<RdapService> asnService(quint32 number) const;

    // The port-43 whois host of a top-level label (lower-case ASCII): the
    // learnt one, else the one IANA lists, else an empty text.
    QString tldWhoisHost(QStringView topLevel) const;
    // Whether the label is a top-level domain in the data (with a port-43
    // host, an RDAP service or both).
    bool isTopLevelDomain(QStringView topLevel) const;

private:
    RegistryData() = default;
    // Adds the file's services and keys to the tables.
    BootstrapInfo readBootstrapFile(BootstrapFile file, const QByteArray &json);
    static QHash<QString, QString> readTldWhoisText(const QByteArray &text);

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

    static AddressBytes bytesOf(const QHostAddress &address);
    std::optional<RdapService> longestPrefix(
        const QList<Prefix> &prefixes, const QHostAddress &address, int prefixLength) const;

    Files m_files;
    std::array<BootstrapInfo, kBootstrapFiles.size()> m_info;
    QList<RdapService> m_services;
    QHash<QString, qsizetype> m_domains;
    QList<Prefix> m_ipv4;
    QList<Prefix> m_ipv6;
    QList<AsnRange> m_asns;
    QHash<QString, QString> m_tldWhois;
    QHash<QString, QString> m_learntTldWhois;
};

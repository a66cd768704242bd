#pragma once

#include "selection/bootstrap_file.h"
#include "selection/registry_data.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

// One bootstrap file as the cache keeps it, with what the server said of it.
struct CachedBootstrap {
    QByteArray json;
    QByteArray etag; // the server's ETag, sent back as If-None-Match
    QByteArray lastModified; // its Last-Modified, sent back as If-Modified-Since
    QDateTime checked; // when the server last sent or confirmed this copy
};

// The per-user cache folder of registry data (~/.cache/Domquire/registry):
// the bootstrap files fetched from IANA, each with its validators, and the
// port-43 hosts of top-level domains learnt from IANA's whois server, as
// "tld<TAB>host" lines in "tld-whois.txt". Every call reads or writes the
// files afresh; a write replaces its file atomically, creating the folder
// when needed. Files that are too large or malformed count as absent.
class RegistryCache {
public:
    // At most this many learnt hosts are kept; the oldest go first.
    static constexpr qsizetype kMaxLearntHosts = 512;

    explicit RegistryCache(QString folder);

    // QStandardPaths' cache folder of the application, plus "registry".
    static QString defaultFolder();

    std::optional<CachedBootstrap> readBootstrap(BootstrapFile file) const;
    bool writeBootstrap(BootstrapFile file, const CachedBootstrap &cached) const;

    // The learnt "tld<TAB>host" lines, oldest first.
    QByteArray readLearntHosts() const;
    // Remembers the port-43 host of a top-level label (lower-case ASCII),
    // replacing the one learnt before, and puts the data in use with it. Only a usable host name and a single label are kept.
    // Returns whether the file now holds the pair.
    bool learn(const QString &topLevel, const QString &host) const;

    // The registry data to use: each bootstrap file from the cache where it
    // may replace the built-in copy (see mayReplace), the built-in copy
    // otherwise; the learnt hosts over the built-in port-43 table.
    std::shared_ptr<const RegistryData> loadData() const;

private:
    QString pathOf(const QString &name) const;
    bool writeFile(const QString &name, const QByteArray &bytes) const;

    QString m_folder;
};

#pragma once

#include "rdap/rdap_connection.h"
#include "selection/bootstrap_file.h"
#include "selection/registry_cache.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QUrl>

#include <array>
#include <optional>

// Keeps IANA's four RDAP bootstrap files fresh. A refresh asks for each file
// in turn over HTTPS, with the rules and the size cap of RDAP queries and
// with the validators of the cached copy (If-None-Match, If-Modified-Since).
// A file that arrives replaces the one in use only when mayReplace allows
// it; it is then cached and used from the next lookup on. A 304 answer, or a
// copy as old as the one in use, confirms the data in use. Whatever fails
// leaves the data in use as it was. Lookups never wait for a refresh: it
// runs in the event loop and swaps the data in use in one step.
class RegistryRefresh : public QObject {
    Q_OBJECT

public:
    enum class Result {
        NotAsked,
        Replaced, // a newer copy is in use and cached
        Confirmed, // the server has nothing newer than the copy in use
        Refused, // the copy that came did not pass mayReplace
        Failed, // no answer, or an HTTP error
    };
    struct FileResult {
        Result result = Result::NotAsked;
        QString detail; // why it was refused or failed
    };

    static constexpr int kDefaultIntervalDays = 7;
    static QUrl ianaBaseUrl() { return QUrl(u"https://data.iana.org/rdap/"_qs); }

    // Puts the data of the cache folder in use (RegistryCache::LoadData).
    // The files are fetched from baseUrl, which ends in "/".
    explicit RegistryRefresh(
        const QString &cacheFolder, const QUrl &baseUrl = ianaBaseUrl(), QObject *parent = nullptr);

    // A file is stale when the copy in use was published, and last
    // confirmed by the server, longer than this many days ago.
    void setIntervalDays(int days) { m_intervalDays = days; }
    // Asks for the stale files; returns whether there were any. Nothing
    // happens while a refresh runs.
    bool refreshStale();
    // Asks for every file, stale or not, unless a refresh runs already.
    void refreshAll();
    bool isRunning() const { return m_current.has_value(); }
    QUrl baseUrl() const { return m_baseUrl; }

    // How each file fared in the last refresh.
    FileResult lastResult(BootstrapFile file) const;

signals:
    void finished();

private:
    void start(const QList<BootstrapFile> &files);
    void askNext();
    void onBody(const QByteArray &body);
    void onFailure(const QString &description);
    void finish(Result result, const QString &detail = {});
    bool isStale(BootstrapFile file, const QDateTime &now) const;

    RegistryCache m_cache;
    const QUrl m_baseUrl;
    RdapConnection m_connection;
    int m_intervalDays = kDefaultIntervalDays;
    QList<BootstrapFile> m_queue;
    std::optional<BootstrapFile> m_current;
    std::array<FileResult, kBootstrapFiles.size()> m_results;
    // When the server last answered for each file (or the cache says so).
    std::array<QDateTime, kBootstrapFiles.size()> m_checked;
};

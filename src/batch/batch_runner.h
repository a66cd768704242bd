#pragma once

#include "batch/batch_row.h"
#include "batch/lookup_starter.h"
#include "batch/network_range_index.h"
#include "batch/pacing_scheduler.h"
#include "lookup/lookup_result.h"
#include "lookup/server_mode.h"
#include "query/whois_connection.h"
#include "rdap/rdap_connection.h"

#include <QHash>
#include <QList>
#include <QObject>

class Lookup;

// Looks up the keys of a batch, without widgets: each key through a Lookup
// of its own (following referrals), paced per server by a PacingScheduler,
// an address inside a network that an earlier answer named served by that
// answer, and each answer read into the row's fields.
class BatchRunner : public QObject, public LookupStarter {
    Q_OBJECT

public:
    // Tests route every host to their own servers.
    explicit BatchRunner(const PacingSettings &pacing, const WhoisRoute &route = {},
        const RdapRoute &rdapRoute = {}, QObject *parent = nullptr);
    ~BatchRunner() override;

    // Replaces the rows by these keys, all waiting. Not while running.
    void setKeys(const QList<ExtractedKey> &keys);
    // Looks up every waiting row on the server mode (automatic, RDAP, or a
    // typed host or list entry, whose host is asked for every key).
    void start(const ServerMode &server);
    // Abandons the lookups under way; their rows wait again.
    void stop();
    bool isRunning() const { return m_scheduler.isRunning(); }

    const QList<BatchRow> &rows() const { return m_rows; }
    // Rows that have ended, answered or failed.
    int endedCount() const;
    // The time the run still needs, once a key has ended; none when not running.
    std::optional<std::chrono::milliseconds> timeLeft() const { return m_scheduler.timeLeft(); }

    void startLookup(int row, const QString &key, const QString &host) override;
    void cancelLookup(int row) override;

signals:
    void rowChanged(int row);
    // Every row has ended, or the run was stopped.
    void finished();

private:
    void setStatus(int row, BatchRow::Status status, const QString &error = {});
    void onFinished(int row, const LookupResult &result);
    void onFailed(int row, const QString &reason);
    void onReused(int row, int sourceRow);
    std::optional<int> reusableRow(const QString &key) const;
    // Ends the row's lookup object, once its signals are through.
    void dropLookup(int row);

    const WhoisRoute m_route;
    const RdapRoute m_rdapRoute;
    PacingScheduler m_scheduler;
    NetworkRangeIndex m_ranges;
    ServerMode m_server;
    QList<BatchRow> m_rows;
    QHash<int, Lookup *> m_lookups;
};

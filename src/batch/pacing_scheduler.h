#pragma once

#include "batch/lookup_starter.h"
#include "batch/time_left_estimate.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>

// How fast a batch may ask.
struct PacingSettings {
    // The least time between the end of one lookup on a host and the start
    // of the next one there.
    std::chrono::milliseconds whoisInterval { 2000 };
    std::chrono::milliseconds rdapInterval { 1000 };
    // How long a host that refused for asking too often rests when it named
    // no time, and the most it rests whatever time it named.
    std::chrono::milliseconds rateLimitPause { 60000 };
    std::chrono::milliseconds maxRateLimitPause { 600000 };
    int maxHostsAtOnce = 4;
};

// Runs the lookups of a batch through a LookupStarter, politely: one lookup
// in flight per server host, a least interval between lookups on the same
// host, at most a few hosts at once, and the keys in the order they were
// queued as far as the hosts allow. A host that refuses for asking too
// often rests, and the refused key is tried once more after the rest.
class PacingScheduler : public QObject {
    Q_OBJECT

public:
    enum class Protocol { Whois, Rdap };

    // Names an earlier row whose answer serves a queued key too (an address
    // inside a network that answer named), or none.
    using ReuseCheck = std::function<std::optional<int>(int row, const QString &key)>;

    PacingScheduler(LookupStarter &starter, const PacingSettings &settings, QObject *parent = nullptr);

    // Asked for each key when it comes first in its host's queue, and again
    // after each answer; a key it answers is not looked up.
    void setReuseCheck(ReuseCheck check) { m_reuseCheck = std::move(check); }

    // Queues a key for a host (compared without regard to case); the row
    // names it in the starter's calls, the reports and the signals.
    void enqueue(int row, const QString &key, const QString &host, Protocol protocol);
    // Starts the queued lookups; keys queued later join the run.
    void start();
    // Abandons the lookups in flight and drops the queued ones.
    void stop();
    bool isRunning() const { return m_running; }

    // Each host's keys of the run under way, by host name in lower case.
    QHash<QString, HostTally> hostTallies() const;
    // The time the run still needs (estimateTimeLeft); none when not running.
    std::optional<std::chrono::milliseconds> timeLeft() const;

    // The starter's reports of a lookup's end.
    void reportDone(int row);
    void reportFailed(int row, const QString &reason);
    // The host refused for asking too often, naming a wait or not.
    void reportRateLimited(int row, std::optional<std::chrono::milliseconds> retryAfter,
        const QString &reason);

signals:
    void lookupStarted(int row);
    // The key shares the answer of sourceRow without a lookup of its own.
    void rowReused(int row, int sourceRow);
    // A refused key waits for its host's rest to end.
    void retryScheduled(int row);
    void rowDone(int row);
    // A failed lookup, or a key refused a second time.
    void rowFailed(int row, const QString &reason);
    // Every queued key has ended, or the run was stopped.
    void finished();

private:
    using Clock = std::chrono::steady_clock;

    struct Job {
        int row = 0;
        QString key;
        quint64 order = 0;
    };
    struct Host {
        std::deque<Job> pending;
        Protocol protocol = Protocol::Whois;
        Clock::time_point readyAt {};
        bool busy = false;
        int ended = 0; // in this run
    };
    struct InFlight {
        QString host;
        Job job;
    };

    std::chrono::milliseconds intervalFor(Protocol protocol) const;
    // Takes the row off its host, which may ask again after the wait; none
    // when the row is not in flight (cancelled, or reported twice).
    std::optional<InFlight> release(int row, std::chrono::milliseconds wait);
    // The idle host whose first queued key came first, among those whose
    // interval has passed; an empty name when none may ask now.
    QString nextReadyHost(Clock::time_point now) const;
    void schedulePump();
    // Takes the keys that the reuse check answers off the fronts of the
    // queues; false when the run was stopped meanwhile.
    bool takeReusedKeys();
    void pump();
    void armTimer(Clock::time_point now);

    LookupStarter &m_starter;
    PacingSettings m_settings;
    ReuseCheck m_reuseCheck;
    QHash<QString, Host> m_hosts;
    QHash<int, InFlight> m_inFlight;
    QSet<int> m_retried;
    QTimer m_timer;
    Clock::time_point m_startedAt {};
    quint64 m_nextOrder = 0;
    qsizetype m_pendingCount = 0;
    bool m_running = false;
    bool m_pumping = false;
};

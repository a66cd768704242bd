#include "batch/pacing_scheduler.h"

#include <algorithm>

PacingScheduler::PacingScheduler(LookupStarter &starter, const PacingSettings &settings, QObject *parent)
    : QObject(parent)
    , m_starter(starter)
    , m_settings(settings)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire early; the pump checks the clock anyway.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PacingScheduler::pump);
}

void PacingScheduler::enqueue(int row, const QString &key, const QString &host, Protocol protocol)
{
    Host &queue = m_hosts[host.toLower()];
    queue.protocol = protocol;
    queue.pending.push_back({ row, key, m_nextOrder++ });
    ++m_pendingCount;
    if (m_running)
        schedulePump();
}

void PacingScheduler::start()
{
    if (m_running)
        return;
    m_running = true;
    m_startedAt = Clock::now();
    for (Host &host : m_hosts)
        host.ended = 0;
    schedulePump();
}

void PacingScheduler::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_timer.stop();
    QList<int> rows = m_inFlight.keys();
    std::sort(rows.begin(), rows.end());
    m_inFlight.clear();
    for (Host &host : m_hosts) {
        host.pending.clear();
        host.busy = false;
    }
    m_pendingCount = 0;
    for (const int row : rows)
        m_starter.cancelLookup(row);
    emit finished();
}

std::chrono::milliseconds PacingScheduler::intervalFor(Protocol protocol) const
{
    return protocol == Protocol::Rdap ? m_settings.rdapInterval : m_settings.whoisInterval;
}

std::optional<PacingScheduler::InFlight> PacingScheduler::release(int row, std::chrono::milliseconds wait)
{
    const auto found = m_inFlight.constFind(row);
    if (found == m_inFlight.constEnd())
        return std::nullopt;
    InFlight inFlight = *found;
    m_inFlight.erase(found);
    Host &host = m_hosts[inFlight.host];
    host.busy = false;
    ++host.ended;
    host.readyAt = Clock::now() + std::max(wait, intervalFor(host.protocol));
    return inFlight;
}

void PacingScheduler::reportDone(int row)
{
    if (!release(row, {}))
        return;
    emit rowDone(row);
    schedulePump();
}

void PacingScheduler::reportFailed(int row, const QString &reason)
{
    if (!release(row, {}))
        return;
    emit rowFailed(row, reason);
    schedulePump();
}

void PacingScheduler::reportRateLimited(int row, std::optional<std::chrono::milliseconds> retryAfter,
    const QString &reason)
{
    const std::chrono::milliseconds pause
        = std::min(retryAfter.value_or(m_settings.rateLimitPause), m_settings.maxRateLimitPause);
    const std::optional<InFlight> inFlight = release(row, pause);
    if (!inFlight)
        return;
    if (m_retried.contains(row)) {
        emit rowFailed(row, reason);
    } else {
        m_retried.insert(row);
        --m_hosts[inFlight->host].ended;
        // First in its host's queue again, so it is the next to be asked.
        m_hosts[inFlight->host].pending.push_front(inFlight->job);
        ++m_pendingCount;
        emit retryScheduled(row);
    }
    schedulePump();
}

QHash<QString, HostTally> PacingScheduler::hostTallies() const
{
    const Clock::time_point now = Clock::now();
    QHash<QString, HostTally> tallies;
    for (auto it = m_hosts.cbegin(); it != m_hosts.cend(); ++it) {
        const Host &host = it.value();
        const auto wait = host.busy ? Clock::duration::zero()
                                    : std::max(host.readyAt - now, Clock::duration::zero());
        tallies.insert(it.key(),
            { host.ended, int(host.pending.size()) + (host.busy ? 1 : 0),
                std::chrono::ceil<std::chrono::milliseconds>(wait) });
    }
    return tallies;
}

std::optional<std::chrono::milliseconds> PacingScheduler::timeLeft() const
{
    if (!m_running)
        return std::nullopt;
    return estimateTimeLeft(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_startedAt),
        hostTallies().values());
}

QString PacingScheduler::nextReadyHost(Clock::time_point now) const
{
    QString best;
    quint64 bestOrder = 0;
    for (auto it = m_hosts.cbegin(); it != m_hosts.cend(); ++it) {
        const Host &host = it.value();
        if (host.busy || host.pending.empty() || host.readyAt > now)
            continue;
        if (best.isEmpty() || host.pending.front().order < bestOrder) {
            best = it.key();
            bestOrder = host.pending.front().order;
        }
    }
    return best;
}

void PacingScheduler::schedulePump()
{
    // A report made from inside startLookup is seen by the running pump.
    if (!m_pumping)
        pump();
}

bool PacingScheduler::takeReusedKeys()
{
    if (!m_reuseCheck)
        return m_running;
    QList<std::pair<int, int>> reused;
    for (Host &host : m_hosts) {
        while (!host.pending.empty()) {
            const Job &job = host.pending.front();
            const std::optional<int> source = m_reuseCheck(job.row, job.key);
            if (!source)
                break;
            reused.append({ job.row, *source });
            host.pending.pop_front();
            --m_pendingCount;
            ++host.ended;
        }
    }
    // Signalled after the walk: a handler may queue keys or stop the run.
    for (const auto &[row, source] : std::as_const(reused)) {
        if (!m_running)
            break;
        emit rowReused(row, source);
    }
    return m_running;
}

void PacingScheduler::pump()
{
    m_pumping = true;
    while (takeReusedKeys() && m_inFlight.size() < m_settings.maxHostsAtOnce) {
        const QString name = nextReadyHost(Clock::now());
        if (name.isEmpty())
            break;
        Host &host = m_hosts[name];
        const Job job = host.pending.front();
        host.pending.pop_front();
        host.busy = true;
        --m_pendingCount;
        m_inFlight.insert(job.row, { name, job });
        emit lookupStarted(job.row);
        // The handler of lookupStarted may have stopped the run.
        if (m_running && m_inFlight.contains(job.row))
            m_starter.startLookup(job.row, job.key, name);
    }
    m_pumping = false;
    if (!m_running)
        return;
    if (m_inFlight.isEmpty() && m_pendingCount == 0) {
        m_running = false;
        m_timer.stop();
        emit finished();
        return;
    }
    armTimer(Clock::now());
}

void PacingScheduler::armTimer(Clock::time_point now)
{
    if (m_inFlight.size() >= m_settings.maxHostsAtOnce)
        return;
    std::optional<Clock::time_point> earliest;
    for (const Host &host : std::as_const(m_hosts)) {
        if (!host.busy && !host.pending.empty() && (!earliest || host.readyAt < *earliest))
            earliest = host.readyAt;
    }
    if (!earliest)
        return;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::max(*earliest - now, Clock::duration::zero()));
    m_timer.start(wait);
}

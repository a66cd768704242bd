#include "batch/batch_runner.h"

#include "batch/rate_limit_answer.h"
#include "fields/fields_from_rdap.h"
#include "fields/whois_fields.h"
#include "lookup/lookup.h"
#include "selection/server_choice.h"

#include <QHostAddress>

namespace {

// The fields of a lookup's answers: RDAP records, the first one the record
// and later ones (the registrar's) filling what it leaves empty, or the
// chain of whois answers.
AnswerFields fieldsOf(const LookupResult &result)
{
    if (!result.rdapRecords.isEmpty()) {
        QList<QString> servers;
        for (const QueryTarget &hop : result.hops)
            if (hop.protocol == QueryTarget::Protocol::Rdap)
                servers.append(hop.url.toString());
        AnswerFields fields;
        for (qsizetype i = 0; i < result.rdapRecords.size(); ++i) {
            const QString server = i < servers.size() ? servers.at(i) : QString();
            const AnswerFields hop = fieldsFromRdap(result.rdapRecords.at(i), server);
            if (i == 0)
                fields = hop;
            else
                fillMissingFields(fields, hop);
        }
        return fields;
    }
    QList<WhoisHop> hops;
    for (qsizetype i = 0; i < result.hops.size() && i < result.hopAnswers.size(); ++i)
        hops.append({ result.hops.at(i).host, result.hopAnswers.at(i) });
    return readWhoisChain(hops);
}

// The server that the pacing counts a key against, and over which protocol;
// none when no server is known for the key.
std::optional<std::pair<QString, PacingScheduler::Protocol>> pacedHost(
    const QString &key, const ServerMode &server)
{
    using Protocol = PacingScheduler::Protocol;
    if (server.kind == ServerMode::Kind::ListEntry || server.kind == ServerMode::Kind::TypedHost)
        return std::pair { server.host, Protocol::Whois };
    const ServerChoice choice = autoSelectServer(readQueryKey(key));
    const bool rdap = server.kind == ServerMode::Kind::Rdap
        || choice.outcome == ServerChoice::Outcome::RdapOnly;
    if (rdap) {
        if (!choice.rdap || choice.rdap->httpsBase().isEmpty())
            return std::nullopt;
        return std::pair { choice.rdap->httpsBase().host(), Protocol::Rdap };
    }
    if (choice.outcome != ServerChoice::Outcome::Whois)
        return std::nullopt;
    return std::pair { choice.target.host, Protocol::Whois };
}

// RDAP's refusal for asking too often.
constexpr int kHttpTooManyRequests = 429;

// The rest that an RDAP refusal's Retry-After asks for; none when it names
// no time or cannot be read. The scheduler bounds it.
std::optional<std::chrono::milliseconds> retryAfterWait(const QByteArray &value)
{
    const std::optional<std::chrono::seconds> wait
        = readRetryAfter(value, QDateTime::currentDateTimeUtc());
    if (!wait)
        return std::nullopt;
    return std::chrono::milliseconds(*wait);
}

} // namespace

BatchRunner::BatchRunner(const PacingSettings &pacing, const WhoisRoute &route,
    const RdapRoute &rdapRoute, QObject *parent)
    : QObject(parent), m_route(route), m_rdapRoute(rdapRoute), m_scheduler(*this, pacing)
{
    m_scheduler.setReuseCheck(
        [this](int, const QString &key) { return reusableRow(key); });
    connect(&m_scheduler, &PacingScheduler::rowReused, this, &BatchRunner::onReused);
    connect(&m_scheduler, &PacingScheduler::retryScheduled, this,
        [this](int row) { setStatus(row, BatchRow::Status::Waiting); });
    connect(&m_scheduler, &PacingScheduler::rowFailed, this,
        [this](int row, const QString &reason) { setStatus(row, BatchRow::Status::Failed, reason); });
    connect(&m_scheduler, &PacingScheduler::finished, this, &BatchRunner::finished);
}

BatchRunner::~BatchRunner()
{
    m_scheduler.stop();
}

void BatchRunner::setKeys(const QList<ExtractedKey> &keys)
{
    m_rows.clear();
    m_ranges = NetworkRangeIndex();
    for (const ExtractedKey &key : keys)
        m_rows.append(BatchRow { key, BatchRow::Status::Waiting, {}, {}, {} });
}

void BatchRunner::start(const ServerMode &server)
{
    m_server = server;
    bool queued = false;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).status != BatchRow::Status::Waiting)
            continue;
        const QString &key = m_rows.at(row).key.text;
        const auto host = pacedHost(key, server);
        if (!host) {
            setStatus(row, BatchRow::Status::Failed, u"照会先のサーバが見つかりません"_qs);
            continue;
        }
        m_scheduler.enqueue(row, key, host->first, host->second);
        queued = true;
    }
    if (queued)
        m_scheduler.start();
    else
        emit finished();
}

void BatchRunner::stop()
{
    m_scheduler.stop();
}

int BatchRunner::endedCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const BatchRow &row) {
        return row.status != BatchRow::Status::Waiting && row.status != BatchRow::Status::Querying;
    }));
}

void BatchRunner::startLookup(int row, const QString &key, const QString &)
{
    auto *lookup = new Lookup(m_route, m_rdapRoute, this);
    m_lookups.insert(row, lookup);
    connect(lookup, &Lookup::finished, this,
        [this, row](const LookupResult &result) { onFinished(row, result); });
    connect(lookup, &Lookup::failed, this,
        [this, row](const QString &reason) { onFailed(row, reason); });
    setStatus(row, BatchRow::Status::Querying);
    lookup->start(key, m_server, true);
}

void BatchRunner::cancelLookup(int row)
{
    if (Lookup *lookup = m_lookups.value(row)) {
        lookup->disconnect(this);
        lookup->abort();
    }
    dropLookup(row);
    setStatus(row, BatchRow::Status::Waiting);
}

void BatchRunner::dropLookup(int row)
{
    if (Lookup *lookup = m_lookups.take(row))
        lookup->deleteLater();
}

void BatchRunner::setStatus(int row, BatchRow::Status status, const QString &error)
{
    BatchRow &entry = m_rows[row];
    entry.status = status;
    entry.error = error;
    emit rowChanged(row);
}

void BatchRunner::onFinished(int row, const LookupResult &result)
{
    dropLookup(row);
    const QString lastAnswer = result.hopAnswers.isEmpty() ? QString() : result.hopAnswers.last();
    if (isRateLimitAnswer(lastAnswer)) {
        m_scheduler.reportRateLimited(row, std::nullopt, lastAnswer.trimmed().left(200));
        return;
    }
    BatchRow &entry = m_rows[row];
    entry.fields = fieldsOf(result);
    entry.answer = result.text;
    if (entry.fields.networkFirst.isNull() == false)
        m_ranges.add(entry.fields.networkFirst, entry.fields.networkLast, row);
    setStatus(row,
        entry.fields.state == AnswerFields::State::NotRegistered ? BatchRow::Status::NotRegistered
                                                                 : BatchRow::Status::Done);
    m_scheduler.reportDone(row);
}

void BatchRunner::onFailed(int row, const QString &reason)
{
    const Lookup *lookup = m_lookups.value(row);
    const bool tooMany = lookup && lookup->rdapStatus() == kHttpTooManyRequests;
    const QByteArray retryAfter = lookup ? lookup->rdapRetryAfter() : QByteArray();
    dropLookup(row);
    if (tooMany)
        m_scheduler.reportRateLimited(row, retryAfterWait(retryAfter), reason);
    else
        m_scheduler.reportFailed(row, reason);
}

void BatchRunner::onReused(int row, int sourceRow)
{
    BatchRow &entry = m_rows[row];
    entry.fields = m_rows.at(sourceRow).fields;
    entry.answer = m_rows.at(sourceRow).answer;
    setStatus(row, BatchRow::Status::SameNetwork);
}

std::optional<int> BatchRunner::reusableRow(const QString &key) const
{
    const QHostAddress address(key);
    if (address.isNull())
        return std::nullopt;
    return m_ranges.rowFor(address);
}

#include "rdap/registry_refresh.h"

namespace {

std::size_t indexOf(BootstrapFile file)
{
    return static_cast<std::size_t>(file);
}

// Why a copy that came was not taken.
QString refusalText(const BootstrapInfo &candidate, const BootstrapInfo &inUse)
{
    if (!candidate.publication.isValid())
        return u"ファイルを読み取れません。"_qs;
    if (candidate.entries * 10 < inUse.entries * 9)
        return u"登録数が大きく減っています。"_qs;
    return u"公開日が使用中のデータより新しくありません。"_qs;
}

} // namespace

RegistryRefresh::RegistryRefresh(const QString &cacheFolder, const QUrl &baseUrl, QObject *parent)
    : QObject(parent), m_cache(cacheFolder), m_baseUrl(baseUrl), m_connection(RdapRoute {})
{
    RegistryData::use(m_cache.loadData());
    for (const BootstrapFile file : kBootstrapFiles) {
        if (const std::optional<CachedBootstrap> cached = m_cache.readBootstrap(file))
            m_checked.at(indexOf(file)) = cached->checked;
    }
    connect(&m_connection, &RdapConnection::closed, this, &RegistryRefresh::onBody);
    connect(&m_connection, &RdapConnection::error, this, &RegistryRefresh::onFailure);
}

bool RegistryRefresh::isStale(BootstrapFile file, const QDateTime &now) const
{
    const QDateTime published = RegistryData::inUse()->info(file).publication;
    const QDateTime checked = m_checked.at(indexOf(file));
    const QDateTime fresh = checked.isValid() && checked > published ? checked : published;
    return !fresh.isValid() || fresh.addDays(m_intervalDays) < now;
}

bool RegistryRefresh::refreshStale()
{
    if (isRunning())
        return false;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<BootstrapFile> stale;
    for (const BootstrapFile file : kBootstrapFiles) {
        if (isStale(file, now))
            stale.append(file);
    }
    if (stale.isEmpty())
        return false;
    start(stale);
    return true;
}

void RegistryRefresh::refreshAll()
{
    if (!isRunning())
        start({ kBootstrapFiles.begin(), kBootstrapFiles.end() });
}

RegistryRefresh::FileResult RegistryRefresh::lastResult(BootstrapFile file) const
{
    return m_results.at(indexOf(file));
}

void RegistryRefresh::start(const QList<BootstrapFile> &files)
{
    m_results.fill({});
    m_queue = files;
    askNext();
}

void RegistryRefresh::askNext()
{
    if (m_queue.isEmpty()) {
        m_current.reset();
        emit finished();
        return;
    }
    m_current = m_queue.takeFirst();
    QList<QNetworkReply::RawHeaderPair> validators;
    if (const std::optional<CachedBootstrap> cached = m_cache.readBootstrap(*m_current)) {
        if (!cached->etag.isEmpty())
            validators.append({ "If-None-Match", cached->etag });
        if (!cached->lastModified.isEmpty())
            validators.append({ "If-Modified-Since", cached->lastModified });
    }
    const QUrl url = m_baseUrl.resolved(QUrl(bootstrapFileName(*m_current)));
    if (const QString refusal = m_connection.get(url, RdapRedirects::AnyPublicHost, validators); !refusal.isEmpty())
        finish(Result::Failed, refusal);
}

void RegistryRefresh::onBody(const QByteArray &body)
{
    const BootstrapFile file = *m_current;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::shared_ptr<const RegistryData> inUse = RegistryData::inUse();
    const BootstrapInfo candidate = RegistryData::readInfo(file, body);
    m_checked.at(indexOf(file)) = now;
    if (!confirmsOrReplaces(candidate, inUse->info(file), now)) {
        finish(Result::Refused, refusalText(candidate, inUse->info(file)));
        return;
    }
    m_cache.writeBootstrap(file,
        { body, m_connection.answerHeader("ETag"), m_connection.answerHeader("Last-Modified"),
            now });
    if (!mayReplace(candidate, inUse->info(file), now)) {
        finish(Result::Confirmed);
        return;
    }
    RegistryData::Files files = inUse->sourceFiles();
    files.bootstrap.at(indexOf(file)) = body;
    files.fromCache.at(indexOf(file)) = true;
    RegistryData::use(std::make_shared<const RegistryData>(files));
    finish(Result::Replaced);
}

void RegistryRefresh::onFailure(const QString &description)
{
    const BootstrapFile file = *m_current;
    if (m_connection.answerStatus() != 304) {
        finish(Result::Failed, description);
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_checked.at(indexOf(file)) = now;
    if (std::optional<CachedBootstrap> cached = m_cache.readBootstrap(file)) {
        cached->checked = now;
        m_cache.writeBootstrap(file, *cached);
    }
    finish(Result::Confirmed);
}

void RegistryRefresh::finish(Result result, const QString &detail)
{
    m_results.at(indexOf(*m_current)) = { result, detail };
    askNext();
}

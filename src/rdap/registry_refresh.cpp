#include "rdap/registry_refresh.h"

namespace {

std::size_t IndexOf(BootstrapFile file)
{
    return static_cast<std::size_t>(file);
}

// Why a copy that came was not taken.
QString RefusalText(const BootstrapInfo &candidate, const BootstrapInfo &inUse)
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
    RegistryData::Use(m_cache.LoadData());
    for (const BootstrapFile file : kBootstrapFiles) {
        if (const std::optional<CachedBootstrap> cached = m_cache.ReadBootstrap(file))
            m_checked.at(IndexOf(file)) = cached->checked;
    }
    connect(&m_connection, &RdapConnection::closed, this, &RegistryRefresh::OnBody);
    connect(&m_connection, &RdapConnection::error, this, &RegistryRefresh::OnFailure);
}

bool RegistryRefresh::IsStale(BootstrapFile file, const QDateTime &now) const
{
    const QDateTime published = RegistryData::InUse()->Info(file).publication;
    const QDateTime checked = m_checked.at(IndexOf(file));
    const QDateTime fresh = checked.isValid() && checked > published ? checked : published;
    return !fresh.isValid() || fresh.addDays(m_intervalDays) < now;
}

bool RegistryRefresh::RefreshStale()
{
    if (IsRunning())
        return false;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<BootstrapFile> stale;
    for (const BootstrapFile file : kBootstrapFiles) {
        if (IsStale(file, now))
            stale.append(file);
    }
    if (stale.isEmpty())
        return false;
    Start(stale);
    return true;
}

void RegistryRefresh::RefreshAll()
{
    if (!IsRunning())
        Start({ kBootstrapFiles.begin(), kBootstrapFiles.end() });
}

RegistryRefresh::FileResult RegistryRefresh::LastResult(BootstrapFile file) const
{
    return m_results.at(IndexOf(file));
}

void RegistryRefresh::Start(const QList<BootstrapFile> &files)
{
    m_results.fill({});
    m_queue = files;
    AskNext();
}

void RegistryRefresh::AskNext()
{
    if (m_queue.isEmpty()) {
        m_current.reset();
        emit finished();
        return;
    }
    m_current = m_queue.takeFirst();
    QList<QNetworkReply::RawHeaderPair> validators;
    if (const std::optional<CachedBootstrap> cached = m_cache.ReadBootstrap(*m_current)) {
        if (!cached->etag.isEmpty())
            validators.append({ "If-None-Match", cached->etag });
        if (!cached->lastModified.isEmpty())
            validators.append({ "If-Modified-Since", cached->lastModified });
    }
    const QUrl url = m_baseUrl.resolved(QUrl(BootstrapFileName(*m_current)));
    if (const QString refusal = m_connection.Get(url, RdapRedirects::AnyPublicHost, validators); !refusal.isEmpty())
        Finish(Result::Failed, refusal);
}

void RegistryRefresh::OnBody(const QByteArray &body)
{
    const BootstrapFile file = *m_current;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::shared_ptr<const RegistryData> inUse = RegistryData::InUse();
    const BootstrapInfo candidate = RegistryData::ReadInfo(file, body);
    m_checked.at(IndexOf(file)) = now;
    if (!ConfirmsOrReplaces(candidate, inUse->Info(file), now)) {
        Finish(Result::Refused, RefusalText(candidate, inUse->Info(file)));
        return;
    }
    m_cache.WriteBootstrap(file,
        { body, m_connection.AnswerHeader("ETag"), m_connection.AnswerHeader("Last-Modified"),
            now });
    if (!MayReplace(candidate, inUse->Info(file), now)) {
        Finish(Result::Confirmed);
        return;
    }
    RegistryData::Files files = inUse->SourceFiles();
    files.bootstrap.at(IndexOf(file)) = body;
    files.fromCache.at(IndexOf(file)) = true;
    RegistryData::Use(std::make_shared<const RegistryData>(files));
    Finish(Result::Replaced);
}

void RegistryRefresh::OnFailure(const QString &description)
{
    const BootstrapFile file = *m_current;
    if (m_connection.AnswerStatus() != 304) {
        Finish(Result::Failed, description);
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_checked.at(IndexOf(file)) = now;
    if (std::optional<CachedBootstrap> cached = m_cache.ReadBootstrap(file)) {
        cached->checked = now;
        m_cache.WriteBootstrap(file, *cached);
    }
    Finish(Result::Confirmed);
}

void RegistryRefresh::Finish(Result result, const QString &detail)
{
    m_results.at(IndexOf(*m_current)) = { result, detail };
    AskNext();
}

#include "selection/registry_cache.h"

#include "selection/usable_host.h"
#include "settings/bounded_file.h"

#include <QDir>
#include <QList>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kLearntHostsName = u"tld-whois.txt"_qs;
constexpr QByteArrayView kMagicLine = "Domquire registry cache 1";
// A validator longer than this, or holding control characters, is dropped.
constexpr qsizetype kMaxValidatorBytes = 512;
// Room for the header lines in front of a bootstrap file.
constexpr qint64 kMaxHeaderBytes = 4096;
// A learnt line: a label of at most 63 characters, a tab and a host name.
constexpr qint64 kMaxLearntBytes = RegistryCache::kMaxLearntHosts * (63 + 1 + 253 + 1);

QString cacheName(BootstrapFile file)
{
    return bootstrapFileName(file) + u".cache"_qs;
}

bool isValidatorText(QByteArrayView value)
{
    return value.size() <= kMaxValidatorBytes
        && std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

} // namespace

RegistryCache::RegistryCache(QString folder) : m_folder(std::move(folder)) { }

QString RegistryCache::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/registry"_qs;
}

QString RegistryCache::pathOf(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

bool RegistryCache::writeFile(const QString &name, const QByteArray &bytes) const
{
    if (!QDir().mkpath(m_folder))
        return false;
    QSaveFile file(pathOf(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// The file: the magic line, "Checked:", "ETag:" and "Last-Modified:" lines,
// an empty line, then the bootstrap file as the server sent it.
std::optional<CachedBootstrap> RegistryCache::readBootstrap(BootstrapFile file) const
{
    const std::optional<QByteArray> bytes =
        readBoundedFile(pathOf(cacheName(file)), kMaxReadFileBytes + kMaxHeaderBytes);
    if (!bytes)
        return std::nullopt;
    const qsizetype end = bytes->indexOf("\n\n");
    if (end < 0 || end > kMaxHeaderBytes)
        return std::nullopt;
    const QList<QByteArray> lines = bytes->first(end).split('\n');
    if (lines.first() != kMagicLine)
        return std::nullopt;
    CachedBootstrap cached;
    for (const QByteArray &line : lines.sliced(1)) {
        const qsizetype colon = line.indexOf(": ");
        if (colon < 0 || !isValidatorText(line.sliced(colon + 2)))
            return std::nullopt;
        const QByteArray name = line.first(colon);
        const QByteArray value = line.sliced(colon + 2);
        if (name == "Checked")
            cached.checked = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODate);
        else if (name == "ETag")
            cached.etag = value;
        else if (name == "Last-Modified")
            cached.lastModified = value;
    }
    if (!cached.checked.isValid())
        return std::nullopt;
    cached.json = bytes->sliced(end + 2);
    return cached;
}

bool RegistryCache::writeBootstrap(BootstrapFile file, const CachedBootstrap &cached) const
{
    QByteArray bytes = kMagicLine.toByteArray() + '\n';
    bytes += "Checked: " + cached.checked.toUTC().toString(Qt::ISODate).toLatin1() + '\n';
    if (isValidatorText(cached.etag) && !cached.etag.isEmpty())
        bytes += "ETag: " + cached.etag + '\n';
    if (isValidatorText(cached.lastModified) && !cached.lastModified.isEmpty())
        bytes += "Last-Modified: " + cached.lastModified + '\n';
    bytes += '\n' + cached.json;
    return writeFile(cacheName(file), bytes);
}

QByteArray RegistryCache::readLearntHosts() const
{
    return readBoundedFile(pathOf(kLearntHostsName), kMaxLearntBytes).value_or(QByteArray());
}

bool RegistryCache::learn(const QString &topLevel, const QString &host) const
{
    const QString label = topLevel.toLower();
    const QString name = host.toLower();
    if (label.contains(u'.') || !isUsableHost(label) || !isUsableHost(name))
        return false;
    const QByteArray key = label.toLatin1() + '\t';
    QList<QByteArray> lines = readLearntHosts().split('\n');
    lines.removeIf([&](const QByteArray &line) { return line.isEmpty() || line.startsWith(key); });
    lines.append(key + name.toLatin1());
    if (lines.size() > kMaxLearntHosts)
        lines.remove(0, lines.size() - kMaxLearntHosts);
    const QByteArray text = lines.join('\n') + '\n';
    if (!writeFile(kLearntHostsName, text))
        return false;
    RegistryData::use(RegistryData::inUse()->withLearntHosts(text));
    return true;
}

std::shared_ptr<const RegistryData> RegistryCache::loadData() const
{
    const RegistryData &builtIn = RegistryData::builtIn();
    RegistryData::Files files = builtIn.sourceFiles();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const BootstrapFile file : kBootstrapFiles) {
        const std::optional<CachedBootstrap> cached = readBootstrap(file);
        if (!cached
            || !mayReplace(RegistryData::readInfo(file, cached->json), builtIn.info(file), now))
            continue;
        const auto index = static_cast<std::size_t>(file);
        files.bootstrap.at(index) = cached->json;
        files.fromCache.at(index) = true;
    }
    files.learntTldWhoisText = readLearntHosts();
    return std::make_shared<const RegistryData>(files);
}

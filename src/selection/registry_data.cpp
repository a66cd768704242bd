#include "selection/registry_data.h"

#include "selection/usable_host.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <iterator>

// The resources live in a static library, whose registration the linker would
// drop unless something refers to it. Q_INIT_RESOURCE must be used outside any
// namespace.
static QByteArray readRegistryResource(const QString &name)
{
    Q_INIT_RESOURCE(registry);
    QFile file(u":/registry/"_qs + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {

// The built-in data, parsed on the first call.
std::shared_ptr<const RegistryData> builtInData()
{
    static const auto data = std::make_shared<const RegistryData>(RegistryData::Files {
        {
            readRegistryResource(u"dns.json"_qs),
            readRegistryResource(u"ipv4.json"_qs),
            readRegistryResource(u"ipv6.json"_qs),
            readRegistryResource(u"asn.json"_qs),
        },
        {},
        readRegistryResource(u"tld-whois.txt"_qs),
        {},
    });
    return data;
}

struct DataInUseSlot {
    QMutex mutex;
    std::shared_ptr<const RegistryData> data; // none: the built-in data
};

DataInUseSlot &dataInUse()
{
    static DataInUseSlot slot;
    return slot;
}

// A base URL as the bootstrap files give it: http or https, with a host, and
// ending in "/" so that the query path can be appended.
std::optional<QUrl> readBaseUrl(const QJsonValue &value)
{
    const QUrl url(value.toString(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.path().endsWith(u'/')
        || !(url.scheme() == u"https" || url.scheme() == u"http"))
        return std::nullopt;
    return url;
}

// Reads an RFC 9224 bootstrap file: adds the base URLs of each service to
// services and calls addKey with each of its keys, which tells whether it took
// the key. Nothing is read from a file that is not a JSON object with a list
// of services and a publication date.
BootstrapInfo readBootstrap(const QByteArray &json, QList<RdapService> &services,
    const std::function<bool(const QString &key, qsizetype service)> &addKey)
{
    BootstrapInfo info;
    const QJsonObject file = QJsonDocument::fromJson(json).object();
    const QJsonValue list = file.value(u"services");
    const QDateTime publication =
        QDateTime::fromString(file.value(u"publication").toString(), Qt::ISODate);
    if (!list.isArray() || !publication.isValid())
        return info;
    info.publication = publication;
    for (const QJsonValue entry : list.toArray()) {
        const QJsonArray pair = entry.toArray();
        if (pair.size() != 2)
            continue;
        RdapService service;
        for (const QJsonValue url : pair.at(1).toArray()) {
            if (const std::optional<QUrl> base = readBaseUrl(url))
                service.baseUrls.append(*base);
        }
        if (service.baseUrls.isEmpty())
            continue;
        services.append(service);
        for (const QJsonValue key : pair.at(0).toArray()) {
            if (key.isString() && addKey(key.toString(), services.size() - 1))
                ++info.entries;
        }
    }
    return info;
}

// Whether the first `length` bits of the two addresses are the same.
bool samePrefix(const std::array<quint8, 16> &a, const std::array<quint8, 16> &b, int length)
{
    const auto whole = static_cast<std::size_t>(length / 8);
    if (!std::equal(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(whole), b.begin()))
        return false;
    const int rest = length % 8;
    if (rest == 0)
        return true;
    const auto mask = static_cast<quint8>(0xFF << (8 - rest));
    return (a[whole] & mask) == (b[whole] & mask);
}

std::optional<quint32> readAsn(QStringView text)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || text.startsWith(u'+') || value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<quint32>(value);
}

} // namespace

RegistryData::RegistryData(const Files &files) : m_files(files)
{
    for (const BootstrapFile file : kBootstrapFiles) {
        const auto index = static_cast<std::size_t>(file);
        m_info.at(index) = readBootstrapFile(file, files.bootstrap.at(index));
        m_info.at(index).fromCache = files.fromCache.at(index);
    }
    m_tldWhois = readTldWhoisText(files.tldWhoisText);
    m_learntTldWhois = readTldWhoisText(files.learntTldWhoisText);
}

BootstrapInfo RegistryData::readInfo(BootstrapFile file, const QByteArray &json)
{
    RegistryData scratch;
    return scratch.readBootstrapFile(file, json);
}

BootstrapInfo RegistryData::info(BootstrapFile file) const
{
    return m_info.at(static_cast<std::size_t>(file));
}

BootstrapInfo RegistryData::readBootstrapFile(BootstrapFile file, const QByteArray &json)
{
    const auto addPrefix = [](QList<Prefix> &prefixes, QAbstractSocket::NetworkLayerProtocol kind,
                               const QString &key, qsizetype service) {
        const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(key);
        if (!key.contains(u'/') || subnet.first.protocol() != kind)
            return false;
        prefixes.append({ bytesOf(subnet.first), subnet.second, service });
        return true;
    };

    switch (file) {
    case BootstrapFile::Dns:
        return readBootstrap(json, m_services, [this](const QString &key, qsizetype service) {
            if (key.isEmpty() || key != key.toLower())
                return false;
            m_domains.insert(key, service);
            return true;
        });
    case BootstrapFile::Ipv4:
        return readBootstrap(json, m_services, [&](const QString &key, qsizetype service) {
            return addPrefix(m_ipv4, QAbstractSocket::IPv4Protocol, key, service);
        });
    case BootstrapFile::Ipv6:
        return readBootstrap(json, m_services, [&](const QString &key, qsizetype service) {
            return addPrefix(m_ipv6, QAbstractSocket::IPv6Protocol, key, service);
        });
    case BootstrapFile::Asn:
        return readBootstrap(json, m_services, [this](const QString &key, qsizetype service) {
            const QStringList bounds = key.split(u'-');
            if (bounds.size() > 2)
                return false;
            const std::optional<quint32> first = readAsn(bounds.first());
            const std::optional<quint32> last = readAsn(bounds.last());
            if (!first || !last || *first > *last)
                return false;
            m_asns.append({ *first, *last, service });
            return true;
        });
    }
    return {};
}

// "tld<TAB>host" lines; "#" starts a comment line. A line whose label or
// host is not a usable host name is left out.
QHash<QString, QString> RegistryData::readTldWhoisText(const QByteArray &text)
{
    QHash<QString, QString> table;
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() != 2)
            continue;
        const QString topLevel = QString::fromLatin1(fields[0]).toLower();
        const QString host = QString::fromLatin1(fields[1]).toLower();
        if (!topLevel.contains(u'.') && isUsableHost(topLevel) && isUsableHost(host))
            table.insert(topLevel, host);
    }
    return table;
}

std::shared_ptr<const RegistryData> RegistryData::withLearntHosts(const QByteArray &text) const
{
    auto data = std::make_shared<RegistryData>(*this);
    data->m_files.learntTldWhoisText = text;
    data->m_learntTldWhois = readTldWhoisText(text);
    return data;
}

const RegistryData &RegistryData::builtIn()
{
    return *builtInData();
}

std::shared_ptr<const RegistryData> RegistryData::inUse()
{
    const QMutexLocker lock(&dataInUse().mutex);
    return dataInUse().data ? dataInUse().data : builtInData();
}

void RegistryData::use(std::shared_ptr<const RegistryData> data)
{
    const QMutexLocker lock(&dataInUse().mutex);
    dataInUse().data = std::move(data);
}

std::optional<RdapService> RegistryData::domainService(QStringView asciiName) const
{
    QStringView suffix = asciiName;
    while (!suffix.isEmpty()) {
        const auto found = m_domains.constFind(suffix.toString());
        if (found != m_domains.constEnd())
            return m_services.at(*found);
        const qsizetype dot = suffix.indexOf(u'.');
        if (dot < 0)
            break;
        suffix = suffix.sliced(dot + 1);
    }
    return std::nullopt;
}

std::optional<RdapService> RegistryData::addressService(
    const QHostAddress &address, int prefixLength) const
{
    switch (address.protocol()) {
    case QAbstractSocket::IPv4Protocol:
        return longestPrefix(m_ipv4, address, prefixLength < 0 ? 32 : prefixLength);
    case QAbstractSocket::IPv6Protocol:
        return longestPrefix(m_ipv6, address, prefixLength < 0 ? 128 : prefixLength);
    default:
        return std::nullopt;
    }
}

RegistryData::AddressBytes RegistryData::bytesOf(const QHostAddress &address)
{
    AddressBytes bytes {};
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 ipv4 = address.toIPv4Address();
        for (std::size_t i = 0; i < 4; ++i)
            bytes[i] = static_cast<quint8>(ipv4 >> (24 - 8 * i));
    } else {
        const Q_IPV6ADDR ipv6 = address.toIPv6Address();
        std::copy(std::begin(ipv6.c), std::end(ipv6.c), bytes.begin());
    }
    return bytes;
}

std::optional<RdapService> RegistryData::longestPrefix(
    const QList<Prefix> &prefixes, const QHostAddress &address, int prefixLength) const
{
    const AddressBytes bytes = bytesOf(address);
    const Prefix *best = nullptr;
    for (const Prefix &prefix : prefixes) {
        if (prefix.length <= prefixLength && (!best || prefix.length > best->length)
            && samePrefix(prefix.network, bytes, prefix.length))
            best = &prefix;
    }
    if (!best)
        return std::nullopt;
    return m_services.at(best->service);
}

std::optional<RdapService> RegistryData::asnService(quint32 number) const
{
    for (const AsnRange &range : m_asns) {
        if (range.first <= number && number <= range.last)
            return m_services.at(range.service);
    }
    return std::nullopt;
}

QString RegistryData::tldWhoisHost(QStringView topLevel) const
{
    const QString label = topLevel.toString();
    return m_learntTldWhois.value(label, m_tldWhois.value(label));
}

bool RegistryData::isTopLevelDomain(QStringView topLevel) const
{
    const QString label = topLevel.toString();
    return !label.contains(u'.') && (m_learntTldWhois.contains(label) || m_tldWhois.contains(label)
               || m_domains.contains(label));
}

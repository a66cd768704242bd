#include "rdap/rdap_lookup.h"

#include "selection/usable_host.h"
#include "rdap/rdap_url.h"

namespace {

std::optional<QUrl> UrlOf(
    const std::optional<RdapService> &service, RdapQueryKind kind, const QString &object)
{
    if (!service || service->httpsBase().isEmpty())
        return std::nullopt;
    return RdapQueryUrl(service->httpsBase(), kind, object);
}

} // namespace

std::optional<QUrl> FindRdapUrl(const QueryKey &key, const RegistryData &data)
{
    switch (key.kind) {
    case QueryKey::Kind::IPv4:
        return UrlOf(data.AddressService(key.address), RdapQueryKind::Ip, key.address.toString());
    case QueryKey::Kind::IPv6: {
        QString object = key.address.toString();
        if (key.prefixLength >= 0)
            object += u'/' + QString::number(key.prefixLength);
        return UrlOf(data.AddressService(key.address, key.prefixLength), RdapQueryKind::Ip, object);
    }
    case QueryKey::Kind::AsNumber:
        return UrlOf(
            data.AsnService(key.asNumber), RdapQueryKind::Autnum, QString::number(key.asNumber));
    case QueryKey::Kind::Name:
        break;
    }
    if (key.noAsciiForm)
        return std::nullopt;
    QString name = key.text.toLower();
    if (name.endsWith(u'.'))
        name.chop(1);
    if (!name.contains(u'.') || !IsUsableHost(name))
        return std::nullopt;
    return UrlOf(data.DomainService(name), RdapQueryKind::Domain, name);
}

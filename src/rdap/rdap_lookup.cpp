#include "rdap/rdap_lookup.h"

#include "rdap/rdap_url.h"
#include "selection/usable_host.h"

namespace {

std::optional<QUrl> UrlOf(
    const std::optional<RdapService> &service, RdapQueryKind kind, const QString &object)
{
    if (!service || service->httpsBase().isEmpty())
        return std::nullopt;
    return RdapQueryUrl(service->httpsBase(), kind, object);
}

} // namespace

std::optional<QUrl> RdapLookupUrl(const QueryKey &key, const std::optional<RdapService> &service)
{
    switch (key.kind) {
    case QueryKey::Kind::IPv4:
    case QueryKey::Kind::IPv6: {
        if (key.prefixLength < 0)
            return UrlOf(service, RdapQueryKind::Ip, key.address.toString());
        // A prefix is asked by its network address: 8.8.8.8/24 as 8.8.8.0/24.
        const QString length = u'/' + QString::number(key.prefixLength);
        const QHostAddress network =
            QHostAddress::parseSubnet(key.address.toString() + length).first;
        return UrlOf(service, RdapQueryKind::Ip, network.toString() + length);
    }
    case QueryKey::Kind::AsNumber:
        return UrlOf(service, RdapQueryKind::Autnum, QString::number(key.asNumber));
    case QueryKey::Kind::Name:
        break;
    }
    if (key.noAsciiForm || !key.text.contains(u'.') || !IsUsableHost(key.text))
        return std::nullopt;
    return UrlOf(service, RdapQueryKind::Domain, key.text);
}

#include "rdap/rdap_lookup.h"

#include "rdap/rdap_url.h"
#include "selection/usable_host.h"

namespace {

std::optional<QUrl> urlOf(
    const std::optional<RdapService> &service, RdapQueryKind kind, const QString &object)
{
    if (!service || service->httpsBase().isEmpty())
        return std::nullopt;
    return rdapQueryUrl(service->httpsBase(), kind, object);
}

} // namespace

std::optional<QUrl> rdapLookupUrl(const QueryKey &key, const std::optional<RdapService> &service)
{
    switch (key.kind) {
    case QueryKey::Kind::IPv4:
    case QueryKey::Kind::IPv6: {
        if (key.prefixLength < 0)
            return urlOf(service, RdapQueryKind::Ip, key.address.toString());
        // A prefix is asked by its network address: 8.8.8.8/24 as 8.8.8.0/24.
        const QString length = u'/' + QString::number(key.prefixLength);
        const QHostAddress network =
            QHostAddress::parseSubnet(key.address.toString() + length).first;
        return urlOf(service, RdapQueryKind::Ip, network.toString() + length);
    }
    case QueryKey::Kind::AsNumber:
        return urlOf(service, RdapQueryKind::Autnum, QString::number(key.asNumber));
    case QueryKey::Kind::Name:
        break;
    }
    if (key.noAsciiForm || !key.text.contains(u'.') || !isUsableHost(key.text))
        return std::nullopt;
    return urlOf(service, RdapQueryKind::Domain, key.text);
}

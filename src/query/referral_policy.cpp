#include "query/referral_policy.h"

#include <algorithm>

namespace {

const QList<QPair<QHostAddress, int>> &InternalNetworks()
{
    static const QList<QPair<QHostAddress, int>> networks = [] {
        QList<QPair<QHostAddress, int>> list;
        for (const char *subnet : { "0.0.0.0/8", "10.0.0.0/8", "100.64.0.0/10", "127.0.0.0/8",
                 "169.254.0.0/16", "172.16.0.0/12", "192.168.0.0/16", "::/128", "::1/128",
                 "fe80::/10", "fec0::/10", "fc00::/7" })
            list.append(QHostAddress::parseSubnet(QString::fromLatin1(subnet)));
        return list;
    }();
    return networks;
}

} // namespace

bool ReferralPolicy::IsInternalAddress(const QHostAddress &address)
{
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    const QHostAddress plain = mapped ? QHostAddress(ipv4) : address;
    return std::any_of(InternalNetworks().begin(), InternalNetworks().end(),
        [&](const QPair<QHostAddress, int> &network) { return plain.isInSubnet(network); });
}

bool ReferralPolicy::MayFollow(const QueryTarget &referral, const QStringList &asked, int followed)
{
    if (referral.protocol != QueryTarget::Protocol::Whois || referral.port != 43
        || followed >= kMaxAutomaticHops || asked.contains(referral.host, Qt::CaseInsensitive))
        return false;
    const QHostAddress address(referral.host);
    return address.isNull() || !IsInternalAddress(address);
}

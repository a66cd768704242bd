#include "query/referral_policy.h"

#include <QUrl>

#include <algorithm>

namespace {

using Network = QPair<QHostAddress, int>;

QList<Network> Networks(std::initializer_list<const char *> subnets)
{
    QList<Network> list;
    for (const char *subnet : subnets)
        list.append(QHostAddress::parseSubnet(QString::fromLatin1(subnet)));
    return list;
}

const QList<Network> &InternalNetworks()
{
    static const QList<Network> networks = Networks({ "0.0.0.0/8", "10.0.0.0/8",
        "100.64.0.0/10", "127.0.0.0/8", "169.254.0.0/16", "172.16.0.0/12", "192.168.0.0/16",
        "198.18.0.0/15", "224.0.0.0/4", "240.0.0.0/4", "::/128", "::1/128", "fe80::/10",
        "fec0::/10", "fc00::/7", "ff00::/8" });
    return networks;
}

// The IPv6 prefixes whose last 32 bits are an IPv4 address: mapped,
// compatible (deprecated, still routed by some stacks) and NAT64.
const QList<Network> &IPv4Carriers()
{
    static const QList<Network> carriers =
        Networks({ "::ffff:0:0/96", "::/96", "64:ff9b::/96" });
    return carriers;
}

QHostAddress EmbeddedIPv4(const QHostAddress &address)
{
    if (address.protocol() != QAbstractSocket::IPv6Protocol || address == QHostAddress::AnyIPv6
        || address == QHostAddress::LocalHostIPv6)
        return address;
    const bool carried = std::any_of(IPv4Carriers().begin(), IPv4Carriers().end(),
        [&](const Network &carrier) { return address.isInSubnet(carrier); });
    if (!carried)
        return address;
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    return QHostAddress(quint32(bytes[12]) << 24 | quint32(bytes[13]) << 16
        | quint32(bytes[14]) << 8 | quint32(bytes[15]));
}

} // namespace

bool ReferralPolicy::IsInternalAddress(const QHostAddress &address)
{
    const QHostAddress plain = EmbeddedIPv4(address);
    return std::any_of(InternalNetworks().begin(), InternalNetworks().end(),
        [&](const Network &network) { return plain.isInSubnet(network); });
}

bool ReferralPolicy::IsInternalHost(QStringView host)
{
    // The ASCII form folds full-width digits, letters and ideographic dots
    // the way the resolver will see them.
    QString ascii = QString::fromLatin1(QUrl::toAce(host.toString())).toLower();
    if (ascii.isEmpty())
        ascii = host.toString().toLower();
    if (ascii.endsWith(u'.'))
        ascii.chop(1);
    if (ascii == u"localhost" || ascii.endsWith(u".localhost"))
        return true;
    QHostAddress address;
    if (!address.setAddress(ascii) && !address.setAddress(host.toString()))
        return false;
    return IsInternalAddress(address);
}

bool ReferralPolicy::MayFollow(const QueryTarget &referral, const QStringList &asked, int followed)
{
    const bool otherPort = referral.protocol == QueryTarget::Protocol::Whois && referral.port != 43;
    if (otherPort || followed >= kMaxAutomaticHops
        || asked.contains(referral.host, Qt::CaseInsensitive))
        return false;
    return !IsInternalHost(referral.host);
}

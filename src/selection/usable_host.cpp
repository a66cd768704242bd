#include "selection/usable_host.h"

#include <algorithm>

#include <QByteArrayList>
#include <QHostAddress>
#include <QUrl>

namespace {

using Network = QPair<QHostAddress, int>;

QList<Network> parsedNetworks(std::initializer_list<const char *> subnets)
{
    QList<Network> list;
    for (const char *subnet : subnets)
        list.append(QHostAddress::parseSubnet(QString::fromLatin1(subnet)));
    return list;
}

const QList<Network> &internalNetworks()
{
    static const QList<Network> networks = parsedNetworks({ "0.0.0.0/8", "10.0.0.0/8",
        "100.64.0.0/10", "127.0.0.0/8", "169.254.0.0/16", "172.16.0.0/12", "192.168.0.0/16",
        "198.18.0.0/15", "224.0.0.0/4", "240.0.0.0/4", "::/128", "::1/128", "fe80::/10",
        "fec0::/10", "fc00::/7", "ff00::/8" });
    return networks;
}

// The IPv6 prefixes whose last 32 bits are an IPv4 address: mapped,
// compatible (deprecated, still routed by some stacks) and NAT64.
const QList<Network> &iPv4Carriers()
{
    static const QList<Network> carriers =
        parsedNetworks({ "::ffff:0:0/96", "::/96", "64:ff9b::/96" });
    return carriers;
}

QHostAddress embeddedIPv4(const QHostAddress &address)
{
    if (address.protocol() != QAbstractSocket::IPv6Protocol || address == QHostAddress::AnyIPv6
        || address == QHostAddress::LocalHostIPv6)
        return address;
    const bool carried = std::any_of(iPv4Carriers().begin(), iPv4Carriers().end(),
        [&](const Network &carrier) { return address.isInSubnet(carrier); });
    if (!carried)
        return address;
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    return QHostAddress(quint32(bytes[12]) << 24 | quint32(bytes[13]) << 16
        | quint32(bytes[14]) << 8 | quint32(bytes[15]));
}

constexpr qsizetype kMaxNameLength = 253;
constexpr qsizetype kMaxLabelLength = 63;

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isValidLabel(QByteArrayView label)
{
    if (label.isEmpty() || label.size() > kMaxLabelLength)
        return false;
    if (label.front() == '-' || label.back() == '-')
        return false;
    return std::all_of(
        label.begin(), label.end(), [](char c) { return isLetterOrDigit(c) || c == '-'; });
}

bool isValidHostName(QStringView host)
{
    QByteArray ascii = QUrl::toAce(host.toString());
    if (ascii.endsWith('.'))
        ascii.chop(1);
    if (ascii.isEmpty() || ascii.size() > kMaxNameLength)
        return false;
    const QByteArrayList labels = ascii.split('.');
    return std::all_of(labels.begin(), labels.end(), isValidLabel);
}

} // namespace

bool isUsableHost(QStringView host)
{
    // The address parser stops at NUL and skips blanks, so "192.0.2.1<NUL>x"
    // or "8 :2" would connect somewhere other than the text says.
    const bool hasControlOrBlank = std::any_of(host.begin(), host.end(), [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control
            || c.category() == QChar::Other_Format;
    });
    if (host.isEmpty() || hasControlOrBlank)
        return false;
    return QHostAddress().setAddress(host.toString()) || isValidHostName(host);
}

bool isInternalAddress(const QHostAddress &address)
{
    const QHostAddress plain = embeddedIPv4(address);
    return std::any_of(internalNetworks().begin(), internalNetworks().end(),
        [&](const Network &network) { return plain.isInSubnet(network); });
}

bool isInternalHost(QStringView host)
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
    return isInternalAddress(address);
}

#include "batch/network_range_index.h"

#include <algorithm>

std::optional<NetworkRangeIndex::Number> NetworkRangeIndex::numberOf(const QHostAddress &address, bool ipv6)
{
    if (!ipv6) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol)
            return std::nullopt;
        return Number { 0, address.toIPv4Address() };
    }
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return std::nullopt;
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    Number number;
    for (int i = 0; i < 8; ++i)
        number.high = (number.high << 8) | bytes[i];
    for (int i = 8; i < 16; ++i)
        number.low = (number.low << 8) | bytes[i];
    return number;
}

NetworkRangeIndex::Number NetworkRangeIndex::spanOf(const Number &first, const Number &last)
{
    Number span { last.high - first.high, last.low - first.low };
    if (last.low < first.low)
        --span.high;
    return span;
}

bool NetworkRangeIndex::isBetter(const Range &a, const Range &b)
{
    const Number spanA = spanOf(a.first, a.last);
    const Number spanB = spanOf(b.first, b.last);
    return spanA < spanB || (spanA == spanB && a.row < b.row);
}

NetworkRangeIndex::Family &NetworkRangeIndex::familyOf(const QHostAddress &address)
{
    return address.protocol() == QAbstractSocket::IPv6Protocol ? m_ipv6 : m_ipv4;
}

const NetworkRangeIndex::Family *NetworkRangeIndex::familyOf(const QHostAddress &address) const
{
    switch (address.protocol()) {
    case QAbstractSocket::IPv4Protocol:
        return &m_ipv4;
    case QAbstractSocket::IPv6Protocol:
        return &m_ipv6;
    default:
        return nullptr;
    }
}

bool NetworkRangeIndex::add(const QHostAddress &first, const QHostAddress &last, int row)
{
    const bool ipv6 = first.protocol() == QAbstractSocket::IPv6Protocol;
    const std::optional<Number> from = numberOf(first, ipv6);
    const std::optional<Number> to = numberOf(last, ipv6);
    if (!from || !to || *to < *from)
        return false;
    const Number span = spanOf(*from, *to);
    const bool tooWide = ipv6 ? span.high >= (quint64(1) << (64 - kWidestIpv6Prefix))
                              : span.low >= (quint64(1) << (32 - kWidestIpv4Prefix));
    if (tooWide)
        return false;

    Family &family = familyOf(first);
    const Range range { *from, *to, row };
    const auto position = std::upper_bound(family.ranges.cbegin(), family.ranges.cend(), range,
        [](const Range &a, const Range &b) { return a.first < b.first; });
    const qsizetype index = position - family.ranges.cbegin();
    family.ranges.insert(index, range);
    family.reach.insert(index, Number {});
    for (qsizetype i = index; i < family.ranges.size(); ++i) {
        const Number before = i > 0 ? family.reach[i - 1] : Number {};
        family.reach[i] = std::max(before, family.ranges[i].last);
    }
    return true;
}

bool NetworkRangeIndex::addPrefix(const QHostAddress &network, int prefixLength, int row)
{
    const bool ipv6 = network.protocol() == QAbstractSocket::IPv6Protocol;
    const int bits = ipv6 ? 128 : 32;
    if (network.isNull() || prefixLength < 0 || prefixLength > bits)
        return false;
    const QHostAddress first = QHostAddress::parseSubnet(
        network.toString() + u'/' + QString::number(prefixLength)).first;
    if (first.isNull())
        return false;
    // The last address: the first with every host bit set.
    if (!ipv6) {
        const quint32 hostBits = prefixLength == 0 ? 0xFFFFFFFFu : (quint32(1) << (32 - prefixLength)) - 1;
        return add(first, QHostAddress(first.toIPv4Address() | hostBits), row);
    }
    Q_IPV6ADDR bytes = first.toIPv6Address();
    for (int bit = prefixLength; bit < 128; ++bit)
        bytes[bit / 8] = static_cast<quint8>(bytes[bit / 8] | (0x80 >> (bit % 8)));
    return add(first, QHostAddress(bytes), row);
}

std::optional<int> NetworkRangeIndex::rowFor(const QHostAddress &address) const
{
    const Family *family = familyOf(address);
    if (!family)
        return std::nullopt;
    const std::optional<Number> number = numberOf(address, family == &m_ipv6);
    if (!number)
        return std::nullopt;
    // Ranges after this one start beyond the address.
    qsizetype i = std::upper_bound(family->ranges.cbegin(), family->ranges.cend(), *number,
                      [](const Number &n, const Range &r) { return n < r.first; })
        - family->ranges.cbegin();
    const Range *best = nullptr;
    while (--i >= 0 && family->reach[i] >= *number) {
        const Range &range = family->ranges[i];
        if (range.last >= *number && (!best || isBetter(range, *best)))
            best = &range;
    }
    if (!best)
        return std::nullopt;
    return best->row;
}

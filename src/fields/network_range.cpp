#include "fields/network_range.h"

#include <QtEndian>

#include <algorithm>
#include <array>

namespace {

// An address as big-endian bytes: IPv4 in the first 4, IPv6 in all 16.
struct AddressBits {
    std::array<quint8, 16> bytes {};
    int bitCount = 0;
};

AddressBits bitsOf(const QHostAddress &address)
{
    AddressBits bits;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        qToBigEndian(address.toIPv4Address(), bits.bytes.data());
        bits.bitCount = 32;
    } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        const Q_IPV6ADDR v6 = address.toIPv6Address();
        std::copy(std::begin(v6.c), std::end(v6.c), bits.bytes.begin());
        bits.bitCount = 128;
    }
    return bits;
}

bool bitAt(const AddressBits &bits, int index)
{
    return ((bits.bytes[index / 8] >> (7 - index % 8)) & 1) != 0;
}

// Whether a before-or-equal b; both of one protocol.
bool notAfter(const AddressBits &a, const AddressBits &b)
{
    return !std::lexicographical_compare(b.bytes.begin(), b.bytes.end(), a.bytes.begin(),
        a.bytes.end());
}

// last - first as big-endian bytes.
std::array<quint8, 16> span(const NetworkRange &range)
{
    const AddressBits first = bitsOf(range.first);
    const AddressBits last = bitsOf(range.last);
    std::array<quint8, 16> difference {};
    int borrow = 0;
    for (int i = 15; i >= 0; --i) {
        int value = last.bytes[i] - first.bytes[i] - borrow;
        borrow = value < 0 ? 1 : 0;
        difference[i] = static_cast<quint8>(value + 256 * borrow);
    }
    return difference;
}

std::optional<QHostAddress> readAddress(QStringView text)
{
    QHostAddress address;
    if (text.isEmpty() || !address.setAddress(text.toString()))
        return std::nullopt;
    return address;
}

std::optional<NetworkRange> readPrefix(QStringView text)
{
    const auto [network, length] = QHostAddress::parseSubnet(text.toString());
    if (network.isNull() || length < 0)
        return std::nullopt;
    AddressBits bits = bitsOf(network);
    for (int i = length; i < bits.bitCount; ++i)
        bits.bytes[i / 8] |= static_cast<quint8>(1U << (7 - i % 8));
    if (bits.bitCount == 32)
        return NetworkRange { network, QHostAddress(qFromBigEndian<quint32>(bits.bytes.data())) };
    return NetworkRange { network, QHostAddress(bits.bytes.data()) };
}

} // namespace

std::optional<NetworkRange> readNetworkRange(QStringView text)
{
    text = text.trimmed();
    if (text.contains(u'/'))
        return readPrefix(text);
    const qsizetype dash = text.indexOf(u" - ");
    const std::optional<QHostAddress> first = readAddress(dash < 0 ? text : text.first(dash).trimmed());
    const std::optional<QHostAddress> last = dash < 0 ? first : readAddress(text.sliced(dash + 3).trimmed());
    if (!first || !last || first->protocol() != last->protocol()
        || !notAfter(bitsOf(*first), bitsOf(*last)))
        return std::nullopt;
    return NetworkRange { *first, *last };
}

QString exactPrefix(const NetworkRange &range)
{
    const AddressBits first = bitsOf(range.first);
    const AddressBits last = bitsOf(range.last);
    if (first.bitCount == 0 || first.bitCount != last.bitCount)
        return {};
    int length = 0;
    while (length < first.bitCount && bitAt(first, length) == bitAt(last, length))
        ++length;
    for (int i = length; i < first.bitCount; ++i) {
        if (bitAt(first, i) || !bitAt(last, i))
            return {};
    }
    return range.first.toString() + u'/' + QString::number(length);
}

bool isNarrower(const NetworkRange &a, const NetworkRange &b)
{
    if (a.first.protocol() != b.first.protocol())
        return false;
    const std::array<quint8, 16> spanA = span(a);
    const std::array<quint8, 16> spanB = span(b);
    return std::lexicographical_compare(spanA.begin(), spanA.end(), spanB.begin(), spanB.end());
}

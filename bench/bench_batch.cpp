// Reuse of network ranges in a batch: 10,000 addresses of a synthetic server
// log spread over 40 networks. Each address whose network no earlier answer
// named is a query; its answer names the network, as a registry's would.
// Prints the number of queries made (goal: at most 40).

#include "batch/key_extraction.h"
#include "batch/network_range_index.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>

namespace {

struct Network {
    QHostAddress first;
    int prefixLength;
};

// 30 IPv4 networks from /16 to /26 and 10 IPv6 /48s, none inside another.
QList<Network> fortyNetworks()
{
    QList<Network> networks;
    for (int i = 0; i < 30; ++i) {
        const int prefixLength = 16 + (i % 11);
        const quint32 base = (quint32(100 + i) << 24) | (quint32(i * 7 % 256) << 16);
        networks.append({ QHostAddress(base), prefixLength });
    }
    for (int i = 0; i < 10; ++i)
        networks.append({ QHostAddress(u"2001:db8:%1::"_qs.arg(0x100 + i, 0, 16)), 48 });
    return networks;
}

QHostAddress randomAddressIn(const Network &network, QRandomGenerator &random)
{
    if (network.first.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 hostBits = (quint32(1) << (32 - network.prefixLength)) - 1;
        return QHostAddress(network.first.toIPv4Address() | (random.generate() & hostBits));
    }
    Q_IPV6ADDR bytes = network.first.toIPv6Address();
    for (int i = network.prefixLength / 8; i < 16; ++i)
        bytes[i] = static_cast<quint8>(random.bounded(256));
    return QHostAddress(bytes);
}

// The network an answer for the address names.
const Network *networkOf(const QList<Network> &networks, const QHostAddress &address)
{
    for (const Network &network : networks) {
        if (address.isInSubnet(network.first, network.prefixLength))
            return &network;
    }
    return nullptr;
}

} // namespace

int main()
{
    QRandomGenerator random(40);
    const QList<Network> networks = fortyNetworks();
    QString log;
    QTextStream out(&log);
    QSet<QString> distinct;
    while (distinct.size() < 10000) {
        const QHostAddress address = randomAddressIn(networks[random.bounded(networks.size())], random);
        if (distinct.contains(address.toString()))
            continue;
        distinct.insert(address.toString());
        out << "2026-12-07T12:" << random.bounded(10, 60) << ':' << random.bounded(10, 60)
            << "+09:00 sshd[" << random.bounded(100, 9999) << "]: Failed password for root from "
            << address.toString() << " port " << random.bounded(1024, 65536) << " ssh2\n";
    }
    out.flush();

    const QList<ExtractedKey> keys = extractKeys(log);
    NetworkRangeIndex ranges;
    int queries = 0;
    for (qsizetype row = 0; row < keys.size(); ++row) {
        const QHostAddress address(keys[row].text);
        if (ranges.rowFor(address))
            continue;
        ++queries;
        const Network *network = networkOf(networks, address);
        if (network)
            ranges.addPrefix(network->first, network->prefixLength, int(row));
    }
    if (keys.size() != 10000) {
        std::fprintf(stderr, "bench_batch: %lld addresses found in the log, expected 10000\n",
            static_cast<long long>(keys.size()));
        return 1;
    }
    std::printf("batch_10000_ips_queries: %d\n", queries);
    return 0;
}

// Reuse of network ranges in a batch: 10,000 addresses of a synthetic server
// log spread over 40 networks, run through the pacing scheduler (pacing off)
// with a stand-in for the lookup engine whose answer names the address's
// network, as a registry's would. Prints the number of lookups made (goal: at
// most 40).

#include "batch/key_extraction.h"
#include "batch/network_range_index.h"
#include "batch/pacing_scheduler.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>

namespace {

struct Network {
    QHostAddress first;
    int prefixLength;
    QString host; // the registry's server
};

// 30 IPv4 networks from /16 to /26 and 10 IPv6 /48s, none inside another,
// held by five registries.
QList<Network> fortyNetworks()
{
    QList<Network> networks;
    for (int i = 0; i < 40; ++i) {
        const QString host = u"whois.registry%1.example"_qs.arg(i % 5);
        if (i < 30) {
            const quint32 base = (quint32(100 + i) << 24) | (quint32(i * 7 % 256) << 16);
            networks.append({ QHostAddress(base), 16 + (i % 11), host });
        } else {
            networks.append({ QHostAddress(u"2001:db8:%1::"_qs.arg(0x100 + i, 0, 16)), 48, host });
        }
    }
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

const Network *networkOf(const QList<Network> &networks, const QHostAddress &address)
{
    for (const Network &network : networks) {
        if (address.isInSubnet(network.first, network.prefixLength))
            return &network;
    }
    return nullptr;
}

// Answers at once; the answer names the network that holds the address.
class RegistryStandIn : public LookupStarter {
public:
    RegistryStandIn(const QList<Network> &networks, NetworkRangeIndex &ranges)
        : m_networks(networks)
        , m_ranges(ranges)
    {
    }

    PacingScheduler *scheduler = nullptr;
    int lookups = 0;

    void startLookup(int row, const QString &key, const QString &) override
    {
        ++lookups;
        if (const Network *network = networkOf(m_networks, QHostAddress(key)))
            m_ranges.addPrefix(network->first, network->prefixLength, row);
        scheduler->reportDone(row);
    }
    void cancelLookup(int) override { }

private:
    const QList<Network> &m_networks;
    NetworkRangeIndex &m_ranges;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
    if (keys.size() != 10000) {
        std::fprintf(stderr, "bench_batch: %lld addresses found in the log, expected 10000\n",
            static_cast<long long>(keys.size()));
        return 1;
    }

    NetworkRangeIndex ranges;
    RegistryStandIn registry(networks, ranges);
    PacingSettings settings;
    settings.whoisInterval = settings.rdapInterval = std::chrono::milliseconds(0);
    PacingScheduler scheduler(registry, settings);
    registry.scheduler = &scheduler;
    scheduler.setReuseCheck([&](int, const QString &key) { return ranges.rowFor(QHostAddress(key)); });
    for (qsizetype row = 0; row < keys.size(); ++row) {
        const QHostAddress address(keys[row].text);
        scheduler.enqueue(int(row), keys[row].text, networkOf(networks, address)->host,
            PacingScheduler::Protocol::Whois);
    }
    QObject::connect(&scheduler, &PacingScheduler::finished, &app, &QCoreApplication::quit);
    scheduler.start();
    if (scheduler.isRunning())
        app.exec();
    std::printf("batch_10000_ips_queries: %d\n", registry.lookups);
    return 0;
}

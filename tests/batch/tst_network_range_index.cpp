#include "batch/network_range_index.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

__extension__ using Wide = unsigned __int128;

QHostAddress addressOf(Wide value, bool ipv6)
{
    if (!ipv6)
        return QHostAddress(static_cast<quint32>(value));
    Q_IPV6ADDR bytes;
    for (int i = 15; i >= 0; --i) {
        bytes[i] = static_cast<quint8>(value & 0xFF);
        value >>= 8;
    }
    return QHostAddress(bytes);
}

struct KnownRange {
    Wide first;
    Wide last;
    bool ipv6;
    int row;
};

// The answer by looking at every range: the narrowest that holds the
// address, the lowest row among equals.
std::optional<int> bruteForceRow(const QList<KnownRange> &ranges, Wide address, bool ipv6)
{
    const KnownRange *best = nullptr;
    for (const KnownRange &range : ranges) {
        if (range.ipv6 != ipv6 || address < range.first || address > range.last)
            continue;
        const Wide span = range.last - range.first;
        if (!best || span < best->last - best->first
            || (span == best->last - best->first && range.row < best->row))
            best = &range;
    }
    if (!best)
        return std::nullopt;
    return best->row;
}

} // namespace

class TestNetworkRangeIndex : public QObject {
    Q_OBJECT

private slots:
    void addsRanges_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<bool>("added");
        QTest::newRow("one address") << u"192.0.2.1"_qs << u"192.0.2.1"_qs << true;
        QTest::newRow("a /8") << u"12.0.0.0"_qs << u"12.255.255.255"_qs << true;
        QTest::newRow("wider than a /8") << u"12.0.0.0"_qs << u"13.0.0.0"_qs << false;
        QTest::newRow("the whole IPv4 space") << u"0.0.0.0"_qs << u"255.255.255.255"_qs << false;
        QTest::newRow("reversed") << u"192.0.2.9"_qs << u"192.0.2.1"_qs << false;
        QTest::newRow("two families") << u"192.0.2.0"_qs << u"2001:db8::ff"_qs << false;
        QTest::newRow("not an address") << u"example.com"_qs << u"192.0.2.1"_qs << false;
        QTest::newRow("a /19") << u"2003::"_qs << u"2003:1fff:ffff:ffff:ffff:ffff:ffff:ffff"_qs << true;
        QTest::newRow("wider than a /19") << u"2003::"_qs << u"2003:2000::"_qs << false;
        QTest::newRow("the whole IPv6 space") << u"::"_qs << u"ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"_qs << false;
        QTest::newRow("across the halves") << u"2001:db8::ffff:ffff:ffff:ffff"_qs << u"2001:db8:0:1::"_qs << true;
    }

    void addsRanges()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(bool, added);
        NetworkRangeIndex index;
        QCOMPARE(index.add(QHostAddress(first), QHostAddress(last), 7), added);
        QCOMPARE(index.rowFor(QHostAddress(first)), added ? std::optional(7) : std::nullopt);
    }

    void addsPrefixes_data()
    {
        QTest::addColumn<QString>("network");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("inside");
        QTest::addColumn<QString>("outside");
        QTest::newRow("IPv4 /24") << u"192.0.2.0"_qs << 24 << u"192.0.2.255"_qs << u"192.0.3.0"_qs;
        QTest::newRow("IPv4 host bits set") << u"192.0.2.77"_qs << 24 << u"192.0.2.0"_qs << u"192.0.1.255"_qs;
        QTest::newRow("IPv4 /32") << u"192.0.2.7"_qs << 32 << u"192.0.2.7"_qs << u"192.0.2.8"_qs;
        QTest::newRow("IPv6 /32") << u"2001:db8::"_qs << 32 << u"2001:db8:ffff::1"_qs << u"2001:db9::"_qs;
        QTest::newRow("IPv6 /127") << u"2001:db8::"_qs << 127 << u"2001:db8::1"_qs << u"2001:db8::2"_qs;
        QTest::newRow("IPv6 /64") << u"2001:db8:1:2::"_qs << 64 << u"2001:db8:1:2:ffff:ffff:ffff:ffff"_qs
                                  << u"2001:db8:1:3::"_qs;
    }

    void addsPrefixes()
    {
        QFETCH(QString, network);
        QFETCH(int, length);
        QFETCH(QString, inside);
        QFETCH(QString, outside);
        NetworkRangeIndex index;
        QVERIFY(index.addPrefix(QHostAddress(network), length, 3));
        QCOMPARE(index.rowFor(QHostAddress(inside)), std::optional(3));
        QCOMPARE(index.rowFor(QHostAddress(outside)), std::nullopt);
    }

    void refusesBadPrefixes()
    {
        NetworkRangeIndex index;
        QVERIFY(!index.addPrefix(QHostAddress(u"10.0.0.0"_qs), 33, 1));
        QVERIFY(!index.addPrefix(QHostAddress(u"10.0.0.0"_qs), -1, 1));
        QVERIFY(!index.addPrefix(QHostAddress(u"10.0.0.0"_qs), 7, 1));
        QVERIFY(!index.addPrefix(QHostAddress(u"::"_qs), 0, 1));
        QVERIFY(!index.addPrefix(QHostAddress(), 24, 1));
        QCOMPARE(index.rowFor(QHostAddress(u"10.0.0.1"_qs)), std::nullopt);
    }

    // Nested and disjoint ranges of both families, added in random order,
    // answer every random address as a look at every range does.
    void agreesWithLookingAtEveryRange()
    {
        const quint32 seed = 22;
        QRandomGenerator random(seed);
        for (int round = 0; round < 20; ++round) {
            NetworkRangeIndex index;
            QList<KnownRange> ranges;
            for (int row = 0; row < 60; ++row) {
                const bool ipv6 = random.bounded(3) == 0;
                const int bits = ipv6 ? 128 : 32;
                // A few base blocks, so that ranges nest and repeat.
                const int prefix = ipv6 ? random.bounded(20, 129) : random.bounded(8, 33);
                Wide base = ipv6 ? (Wide(0x20010db8u + random.bounded(3)) << 96) : (Wide(10 + random.bounded(3)) << 24);
                const Wide offset = (Wide(random.generate64()) << 64 | random.generate64())
                    & ((Wide(1) << (ipv6 ? 96 : 24)) - 1);
                base |= offset;
                const Wide hostMask = prefix == bits ? 0 : (Wide(1) << (bits - prefix)) - 1;
                const Wide first = base & ~hostMask & (ipv6 ? ~Wide(0) : Wide(0xFFFFFFFFu));
                const Wide last = first | hostMask;
                if (random.bounded(2) == 0)
                    QVERIFY(index.addPrefix(addressOf(first, ipv6), prefix, row));
                else
                    QVERIFY(index.add(addressOf(first, ipv6), addressOf(last, ipv6), row));
                ranges.append({ first, last, ipv6, row });
            }
            for (int probe = 0; probe < 2000; ++probe) {
                const KnownRange &near = ranges[random.bounded(ranges.size())];
                // Inside a range, just outside it, or anywhere in its block.
                Wide address = [&] {
                    switch (random.bounded(4)) {
                    case 0:
                        return near.first + (near.last - near.first) / 2;
                    case 1:
                        return near.last + 1;
                    case 2:
                        return near.first - 1;
                    default:
                        return near.first ^ (Wide(random.generate()) << random.bounded(near.ipv6 ? 90 : 20));
                    }
                }();
                if (!near.ipv6)
                    address &= 0xFFFFFFFFu;
                const QHostAddress probeAddress = addressOf(address, near.ipv6);
                const std::optional<int> expected = bruteForceRow(ranges, address, near.ipv6);
                if (index.rowFor(probeAddress) != expected) {
                    qWarning() << "seed" << seed << "round" << round << probeAddress;
                    QCOMPARE(index.rowFor(probeAddress), expected);
                }
            }
        }
    }

    void keepsFamiliesApart()
    {
        NetworkRangeIndex index;
        QVERIFY(index.addPrefix(QHostAddress(u"::"_qs), 96, 1));
        QCOMPARE(index.rowFor(QHostAddress(u"0.0.0.5"_qs)), std::nullopt);
        QCOMPARE(index.rowFor(QHostAddress(u"::5"_qs)), std::optional(1));
    }
};

QTEST_GUILESS_MAIN(TestNetworkRangeIndex)
#include "tst_network_range_index.moc"

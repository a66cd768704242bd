#include "selection/blank_trim.h"
#include "selection/ip_list.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <initializer_list>
#include <optional>

namespace {

const QString kArin = u"whois.arin.net"_qs;
const QString kApnic = u"whois.apnic.net"_qs;
const QString kRipe = u"whois.ripe.net"_qs;
const QString kJpnic = u"whois.nic.ad.jp"_qs;

constexpr quint32 kSeed = 20250212;

using Address = std::array<int, 4>;

Address RandomAddress(QRandomGenerator &rng)
{
    return { rng.bounded(256), rng.bounded(256), rng.bounded(256), rng.bounded(256) };
}

QString Plain(const Address &address)
{
    QStringList parts;
    for (int octet : address)
        parts << QString::number(octet);
    return parts.join(u'.');
}

QString RandomBlanks(QRandomGenerator &rng)
{
    static const QString blanks[] = { QString(), u" "_qs, u"\u3000"_qs, u" \u3000 "_qs };
    return blanks[rng.bounded(4)];
}

// The octet as another notation of the same number within three characters:
// leading zeros, a plus sign, and blanks around it.
QString Decorated(int octet, QRandomGenerator &rng)
{
    QString digits = QString::number(octet);
    digits = digits.rightJustified(int(rng.bounded(digits.size(), 4)), u'0');
    if (digits.size() < 3 && rng.bounded(2) == 0)
        digits.prepend(u'+');
    return RandomBlanks(rng) + digits + RandomBlanks(rng);
}

// Each octet of the address in another notation of the same number.
template<typename Octets> QStringList DecoratedParts(const Octets &address, QRandomGenerator &rng)
{
    QStringList parts;
    for (int octet : address)
        parts << Decorated(octet, rng);
    return parts;
}

std::optional<QString> HostOf(const QString &key)
{
    IpList list;
    if (!list.checkIp(key))
        return std::nullopt;
    return list.whoisFromIp();
}

QString Failure(const QString &key)
{
    return u"seed %1, key '%2'"_qs.arg(kSeed).arg(key);
}

struct KeyHost {
    const char16_t *key;
    QStringView host;
};

} // namespace

class TestIpList : public QObject {
    Q_OBJECT

private:
    void addRows(std::initializer_list<KeyHost> rows)
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        for (const KeyHost &row : rows) {
            const QString key = QString::fromUtf16(row.key);
            QTest::newRow(key.toUtf8().constData()) << key << row.host.toString();
        }
    }

    void checkRow()
    {
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(HostOf(key), std::optional<QString>(expected));
    }

private slots:
    void addresses_data()
    {
        addRows({
            { u"192.168.0.1", kArin },
            { u"202.11.0.1", kJpnic },
            { u"202.12.0.1", kApnic },
            { u"133.1.2.3", kJpnic },
            { u"62.1.2.3", kRipe },
            { u"193.0.0.1", kRipe },
            { u"61.112.0.1", kJpnic },
            { u"61.111.0.1", kApnic },
            { u"192.47.241.1", kJpnic },
            { u"192.47.242.1", kArin },
            { u"198.17.118.9", kJpnic },
            { u"198.17.117.9", kArin },
            { u"10.1", kArin },
            { u"10.1.2", kArin },
            { u"1..3", kArin },
            { u".", kArin },
            { u"..", kArin },
            { u"...", kArin },
            { u"133.1", kJpnic },
            { u"192.47", kJpnic },
            { u"192.51", kArin },
            { u"192.51.16", kJpnic },
            { u"192.47..5", kJpnic },
            { u"192..47", kArin },
            { u"\u3000133\u3000.\u30001", kJpnic },
            { u"133.  1  ", kJpnic },
            { u"133. . .", kJpnic },
            { u"133.-0", kJpnic },
            { u"133.-00", kJpnic },
            { u"255.255.255.255", kArin },
        });
    }
    void addresses() { checkRow(); }

    // Five parts, parts of four characters and values above 255 are left to
    // refusesFivePartsLongPartsAndHighValues.
    void notAddresses_data()
    {
        QTest::addColumn<QString>("key");
        for (const char16_t *key :
            { u"....", u"1.2.3.-1", u"1.+255", u"a.b.c.d", u"133", u"", u" ", u"1.+", u"1.-",
                u"1.1e2", u"1.0x1", u"1.2.3.\t4", u"1.2.3.\uFF14", u"1.2 3", u"1,2.3" })
            QTest::newRow(QString::fromUtf16(key).toUtf8().constData()) << QString::fromUtf16(key);
    }
    void notAddresses()
    {
        QFETCH(QString, key);
        const QString before = key;
        QVERIFY(!IpList().checkIp(key));
        QCOMPARE(key, before);
    }

    void everyFirstOctetYieldsARegistry()
    {
        QRandomGenerator rng(kSeed);
        const QStringList registries = { kArin, kApnic, kRipe, kJpnic };
        for (int first = 0; first <= 255; ++first) {
            for (int i = 0; i < 50; ++i) {
                Address address = RandomAddress(rng);
                address[0] = first;
                const QString key = Plain(address);
                const std::optional<QString> host = HostOf(key);
                QVERIFY2(host && registries.contains(*host), qPrintable(Failure(key)));
            }
        }
    }

    void lastOctetNeverCounts()
    {
        QRandomGenerator rng(kSeed);
        for (int i = 0; i < 3000; ++i) {
            Address address = RandomAddress(rng);
            const QString key = Plain(address);
            address[3] = rng.bounded(256);
            QVERIFY2(HostOf(key) == HostOf(Plain(address)), qPrintable(Failure(key)));
        }
    }

    void otherNotationsReadAsTheSameAddress()
    {
        QRandomGenerator rng(kSeed);
        for (int i = 0; i < 3000; ++i) {
            const Address address = RandomAddress(rng);
            const QString key = DecoratedParts(address, rng).join(u'.');
            const std::optional<QString> host = HostOf(key);
            QVERIFY2(host && host == HostOf(Plain(address)), qPrintable(Failure(key)));
        }
    }

    // A valid address made invalid by a fifth part, a part of four
    // characters or a value above 255 is refused.
    void refusesFivePartsLongPartsAndHighValues()
    {
        QRandomGenerator rng(kSeed);
        for (int i = 0; i < 3000; ++i) {
            const Address address = RandomAddress(rng);
            const QStringList parts = DecoratedParts(address, rng);
            const auto part = qsizetype(rng.bounded(4));
            QStringList fourChars = parts;
            fourChars[part] = RandomBlanks(rng)
                + (rng.bounded(2) == 0 ? QString::number(address[part]).rightJustified(4, u'0')
                                       : u"+%1"_qs.arg(rng.bounded(100, 1000)))
                + RandomBlanks(rng);
            QStringList tooHigh = parts;
            tooHigh[part] = RandomBlanks(rng) + QString::number(rng.bounded(256, 1000));
            for (const QString &key : { parts.join(u'.') + u'.' + Decorated(address[0], rng),
                     fourChars.join(u'.'), tooHigh.join(u'.') })
                QVERIFY2(!IpList().checkIp(key), qPrintable(Failure(key)));
        }
    }

    // Keys of random characters: every accepted one has two to four parts,
    // each blank or a number from 0 to 255 of at most three characters.
    void acceptsOnlyWellFormedKeys()
    {
        QRandomGenerator rng(kSeed);
        static const QString pieces[] = { u"0"_qs, u"1"_qs, u"2"_qs, u"5"_qs, u"9"_qs, u"."_qs,
            u"."_qs, u"+"_qs, u"-"_qs, u" "_qs, u"\u3000"_qs, u"e"_qs, u"a"_qs };
        int accepted = 0;
        for (int i = 0; i < 20000; ++i) {
            QString key;
            const int length = int(rng.bounded(1, 16));
            for (int c = 0; c < length; ++c)
                key += pieces[rng.bounded(int(std::size(pieces)))];
            if (!IpList().checkIp(key))
                continue;
            ++accepted;
            const QStringList parts = key.split(u'.');
            QVERIFY2(parts.size() >= 2 && parts.size() <= 4, qPrintable(Failure(key)));
            for (const QString &part : parts) {
                const QString trimmed = trimBlanks(part);
                bool numeric = false;
                const int value = trimmed.toInt(&numeric);
                QVERIFY2(trimmed.size() <= 3, qPrintable(Failure(key)));
                QVERIFY2(trimmed.isEmpty() || numeric, qPrintable(Failure(key)));
                QVERIFY2(value >= 0 && value <= 255, qPrintable(Failure(key)));
            }
        }
        QVERIFY2(accepted > 200, qPrintable(QString::number(accepted)));
    }
};

QTEST_GUILESS_MAIN(TestIpList)
#include "tst_ip_list.moc"

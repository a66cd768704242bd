#pragma once

#include <QHostAddress>
#include <QList>

#include <compare>
#include <optional>

// The address ranges that answers of one batch named (RDAP's start and end
// address, inetnum, NetRange or CIDR, JPNIC's network address), each with
// the row whose answer named it, so that a later address inside one reuses
// that row's answer instead of asking again.
class NetworkRangeIndex {
public:
    // Ranges wider than these are registries' own blocks (RIPE answers
    // "0.0.0.0 - 255.255.255.255" for space it does not hold); an answer for
    // one address in them says nothing about its neighbours.
    static constexpr int kWidestIpv4Prefix = 8;
    static constexpr int kWidestIpv6Prefix = 19;

    // Adds the range from first to last (both of one family, first not after
    // last); false, and nothing added, for a range that is not one or too wide.
    bool add(const QHostAddress &first, const QHostAddress &last, int row);
    bool addPrefix(const QHostAddress &network, int prefixLength, int row);

    // The row of the narrowest range that holds the address; the lowest row
    // among equally narrow ones.
    std::optional<int> rowFor(const QHostAddress &address) const;

private:
    // An address as a 128-bit number; IPv4 in the low 32 bits.
    struct Number {
        quint64 high = 0;
        quint64 low = 0;
        // NOLINTNEXTLINE(modernize-use-nullptr): the check misreads a defaulted <=>.
        friend auto operator<=>(const Number &, const Number &) = default;
    };
    struct Range {
        Number first;
        Number last;
        int row = 0;
    };
    // One family's ranges, sorted by first address, with the highest last
    // address among each range and those before it, so that a search walks
    // back only over ranges that can still hold the address.
    struct Family {
        QList<Range> ranges;
        QList<Number> reach;
    };

    static std::optional<Number> numberOf(const QHostAddress &address, bool ipv6);
    // The number of addresses from first to last, minus one.
    static Number spanOf(const Number &first, const Number &last);
    // Narrower, or as narrow and of a lower row.
    static bool isBetter(const Range &a, const Range &b);
    Family &familyOf(const QHostAddress &address);
    const Family *familyOf(const QHostAddress &address) const;

    Family m_ipv4;
    Family m_ipv6;
};

#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringView>

#include <optional>

// An address range as registries give it: the first and the last address,
// both of one protocol.
struct NetworkRange {
    QHostAddress first;
    QHostAddress last;
};

// Reads "first - last" (inetnum, NetRange) or "address/length" (CIDR,
// inet6num, JPNIC; IPv4 may drop zero octets as LACNIC does: "200.160/12").
// None for anything else, for mixed protocols or first after last.
std::optional<NetworkRange> readNetworkRange(QStringView text);

// The one prefix that covers exactly the range ("192.0.2.0/24"), or an empty
// string when the range is no single prefix.
QString exactPrefix(const NetworkRange &range);

// Whether `a` holds fewer addresses than `b`. An IPv6 range is never
// narrower than an IPv4 one, nor the other way round.
bool isNarrower(const NetworkRange &a, const NetworkRange &b);

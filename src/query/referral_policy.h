#pragma once

#include "selection/query_target.h"

#include <QHostAddress>
#include <QStringList>
#include <QStringView>

// The limits of following referrals without the user: at most
// kMaxAutomaticHops referrals in one chain, a whois server only on port 43,
// never to a host already asked in the chain, and never to an internal
// address.
struct ReferralPolicy {
    static constexpr int kMaxAutomaticHops = 3;

    // Whether the referral may be followed automatically after `followed`
    // referrals of a chain that has asked the hosts in `asked`. A host
    // written as an internal name or address is refused here (IsInternalHost);
    // any other name is checked by the address it connects to
    // (IsInternalAddress).
    static bool MayFollow(const QueryTarget &referral, const QStringList &asked, int followed);

    // Loopback, private, shared, benchmarking, link-local, unique-local,
    // multicast, reserved, broadcast or unspecified addresses, IPv4 and
    // IPv6; an IPv4 address inside an IPv6 one (mapped, compatible or
    // NAT64 64:ff9b::/96) counts as that IPv4 address.
    static bool IsInternalAddress(const QHostAddress &address);

    // Whether a host as written already names the user's own machine or
    // network, before any lookup: "localhost" and names below it, and
    // internal addresses in any written form, full-width digits and
    // ideographic dots included.
    static bool IsInternalHost(QStringView host);
};

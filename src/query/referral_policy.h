#pragma once

#include "selection/query_target.h"

#include <QHostAddress>
#include <QStringList>

// The limits of following referrals without the user: at most
// kMaxAutomaticHops referrals in one chain, only to port 43, never to a host
// already asked in the chain, and never to an internal address.
struct ReferralPolicy {
    static constexpr int kMaxAutomaticHops = 3;

    // Whether the referral may be followed automatically after `followed`
    // referrals of a chain that has asked the hosts in `asked`. A host given
    // as an address is checked here; a host name is checked by the address
    // it connects to (IsInternalAddress).
    static bool MayFollow(const QueryTarget &referral, const QStringList &asked, int followed);

    // Loopback, private, shared, link-local, unique-local or unspecified
    // addresses, IPv4 and IPv6, IPv4 in IPv6 included.
    static bool IsInternalAddress(const QHostAddress &address);
};

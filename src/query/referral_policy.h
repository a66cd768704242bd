#pragma once

#include "selection/query_target.h"

#include <QStringList>

// The limits of following referrals without the user: at most
// kMaxAutomaticHops referrals in one chain, a whois server only on port 43,
// never to a host already asked in the chain, and never to an internal
// address.
struct ReferralPolicy {
    static constexpr int kMaxAutomaticHops = 3;

    // Whether the referral may be followed automatically after `followed`
    // referrals of a chain that has asked the hosts in `asked`. A host
    // written as an internal name or address is refused here (isInternalHost);
    // any other name is checked by the address it connects to
    // (isInternalAddress).
    static bool mayFollow(const QueryTarget &referral, const QStringList &asked, int followed);
};

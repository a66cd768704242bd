#include "query/referral_policy.h"

#include "selection/usable_host.h"

bool ReferralPolicy::mayFollow(const QueryTarget &referral, const QStringList &asked, int followed)
{
    const bool otherPort = referral.protocol == QueryTarget::Protocol::Whois && referral.port != 43;
    if (otherPort || followed >= kMaxAutomaticHops
        || asked.contains(referral.host, Qt::CaseInsensitive))
        return false;
    return !isInternalHost(referral.host);
}

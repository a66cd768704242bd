#include "selection/bootstrap_file.h"

namespace {

// Parsed, published no later than a day from now, and not shrunk by more than a tenth.
bool isPlausible(const BootstrapInfo &candidate, const BootstrapInfo &inUse, const QDateTime &now)
{
    return candidate.publication.isValid() && candidate.publication <= now.addDays(1)
        && candidate.entries * 10 >= inUse.entries * 9;
}

} // namespace

QString bootstrapFileName(BootstrapFile file)
{
    switch (file) {
    case BootstrapFile::Dns:
        return u"dns.json"_qs;
    case BootstrapFile::Ipv4:
        return u"ipv4.json"_qs;
    case BootstrapFile::Ipv6:
        return u"ipv6.json"_qs;
    case BootstrapFile::Asn:
        return u"asn.json"_qs;
    }
    return {};
}

bool mayReplace(const BootstrapInfo &candidate, const BootstrapInfo &inUse, const QDateTime &now)
{
    return isPlausible(candidate, inUse, now)
        && (!inUse.publication.isValid() || candidate.publication > inUse.publication);
}

bool confirmsOrReplaces(
    const BootstrapInfo &candidate, const BootstrapInfo &inUse, const QDateTime &now)
{
    return isPlausible(candidate, inUse, now)
        && (!inUse.publication.isValid() || candidate.publication >= inUse.publication);
}

#include "selection/server_choice.h"

#include "selection/domain_list.h"
#include "selection/ip_list.h"
#include "selection/registry_data.h"
#include "selection/second_level_whois.h"
#include "selection/whois_hosts.h"

#include <algorithm>
#include <iterator>

namespace {

struct RegionalRegistry {
    QStringView rdapHost;
    QStringView whoisHost;
};

constexpr RegionalRegistry kRegionalRegistries[] = {
    { u"rdap.afrinic.net", WhoisHost::kAfrinic },
    { u"rdap.apnic.net", WhoisHost::kApnic },
    { u"rdap.arin.net", WhoisHost::kArin },
    { u"rdap.lacnic.net", WhoisHost::kLacnic },
    { u"rdap.db.ripe.net", WhoisHost::kRipe },
};

ServerChoice whoisChoice(ServerChoice choice, const QString &host)
{
    choice.outcome = ServerChoice::Outcome::Whois;
    choice.target = QueryTarget::whois(host);
    return choice;
}

// The regional registry that the data gives, or the fallback when the data
// lists the key in no block or names no regional registry.
ServerChoice registryChoice(ServerChoice choice, const QString &fallback)
{
    const std::optional<QString> regional =
        choice.rdap ? regionalWhoisHost(*choice.rdap) : std::nullopt;
    return whoisChoice(std::move(choice), regional.value_or(fallback));
}

ServerChoice domainChoice(ServerChoice choice)
{
    const std::optional<DomainList::LastLabels> labels = DomainList::readLastLabels(choice.key.text);
    if (!labels)
        return whoisChoice(std::move(choice), WhoisHost::kIana.toString());
    if (labels->secondLevel.isEmpty())
        return choice;

    const std::shared_ptr<const RegistryData> data = RegistryData::inUse();
    choice.rdap = data->domainService(choice.key.text);
    if (const std::optional<QString> host =
            SecondLevelWhois::hostOf(labels->secondLevel, labels->topLevel))
        return whoisChoice(std::move(choice), *host);
    if (const QString host = data->tldWhoisHost(labels->topLevel); !host.isEmpty()) {
        choice.topLevel = labels->topLevel;
        return whoisChoice(std::move(choice), host);
    }
    if (choice.rdap) {
        choice.outcome = ServerChoice::Outcome::RdapOnly;
        return choice;
    }
    choice.topLevel = labels->topLevel;
    if (const std::optional<QString> host = DomainList::topLevelHost(labels->topLevel))
        return whoisChoice(std::move(choice), *host);
    return choice;
}

} // namespace

std::optional<QString> regionalWhoisHost(const RdapService &service)
{
    for (const QUrl &base : service.baseUrls) {
        const auto registry =
            std::find_if(std::begin(kRegionalRegistries), std::end(kRegionalRegistries),
                [&](const RegionalRegistry &row) { return row.rdapHost == base.host(); });
        if (registry != std::end(kRegionalRegistries))
            return registry->whoisHost.toString();
    }
    return std::nullopt;
}

ServerChoice autoSelectServer(const QueryKey &key)
{
    ServerChoice choice;
    choice.key = key;
    const std::shared_ptr<const RegistryData> data = RegistryData::inUse();
    switch (key.kind) {
    case QueryKey::Kind::IPv4: {
        IpList table;
        table.checkIp(key.address.toString());
        const QString tableHost = table.whoisFromIp();
        choice.rdap = data->addressService(key.address, key.prefixLength);
        // JPNIC's blocks stay with JPNIC; they lie inside APNIC's and ARIN's.
        if (tableHost == WhoisHost::kJpnic)
            return whoisChoice(std::move(choice), tableHost);
        return registryChoice(std::move(choice), tableHost);
    }
    case QueryKey::Kind::IPv6:
        choice.rdap = data->addressService(key.address, key.prefixLength);
        return registryChoice(std::move(choice), WhoisHost::kIana.toString());
    case QueryKey::Kind::AsNumber:
        choice.rdap = data->asnService(key.asNumber);
        return registryChoice(std::move(choice), WhoisHost::kIana.toString());
    case QueryKey::Kind::Name:
        if (key.noAsciiForm) {
            choice.outcome = ServerChoice::Outcome::NoAsciiForm;
            return choice;
        }
        return domainChoice(std::move(choice));
    }
    return choice;
}

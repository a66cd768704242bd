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
    { u"rdap.afrinic.net", WhoisHost::AFRINIC },
    { u"rdap.apnic.net", WhoisHost::APNIC },
    { u"rdap.arin.net", WhoisHost::ARIN },
    { u"rdap.lacnic.net", WhoisHost::LACNIC },
    { u"rdap.db.ripe.net", WhoisHost::RIPE },
};

ServerChoice WhoisChoice(ServerChoice choice, const QString &host)
{
    choice.outcome = ServerChoice::Outcome::Whois;
    choice.target = QueryTarget::Whois(host);
    return choice;
}

// The regional registry that the data gives, or the fallback when the data
// lists the key in no block or names no regional registry.
ServerChoice RegistryChoice(ServerChoice choice, const QString &fallback)
{
    const std::optional<QString> regional =
        choice.rdap ? RegionalWhoisHost(*choice.rdap) : std::nullopt;
    return WhoisChoice(std::move(choice), regional.value_or(fallback));
}

ServerChoice DomainChoice(ServerChoice choice)
{
    const std::optional<DomainList::LastLabels> labels = DomainList::ReadLastLabels(choice.key.text);
    if (!labels)
        return WhoisChoice(std::move(choice), WhoisHost::IANA.toString());
    if (labels->secondLevel.isEmpty())
        return choice;

    const std::shared_ptr<const RegistryData> data = RegistryData::InUse();
    choice.rdap = data->DomainService(choice.key.text);
    if (const std::optional<QString> host =
            SecondLevelWhois::hostOf(labels->secondLevel, labels->topLevel))
        return WhoisChoice(std::move(choice), *host);
    if (const QString host = data->TldWhoisHost(labels->topLevel); !host.isEmpty()) {
        choice.topLevel = labels->topLevel;
        return WhoisChoice(std::move(choice), host);
    }
    if (choice.rdap) {
        choice.outcome = ServerChoice::Outcome::RdapOnly;
        return choice;
    }
    choice.topLevel = labels->topLevel;
    if (const std::optional<QString> host = DomainList::TopLevelHost(labels->topLevel))
        return WhoisChoice(std::move(choice), *host);
    return choice;
}

} // namespace

std::optional<QString> RegionalWhoisHost(const RdapService &service)
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

ServerChoice AutoSelectServer(const QueryKey &key)
{
    ServerChoice choice;
    choice.key = key;
    const std::shared_ptr<const RegistryData> data = RegistryData::InUse();
    switch (key.kind) {
    case QueryKey::Kind::IPv4: {
        IpList table;
        table.CheckIp(key.address.toString());
        const QString tableHost = table.WhoisFromIp();
        choice.rdap = data->AddressService(key.address, key.prefixLength);
        // JPNIC's blocks stay with JPNIC; they lie inside APNIC's and ARIN's.
        if (tableHost == WhoisHost::JPNIC)
            return WhoisChoice(std::move(choice), tableHost);
        return RegistryChoice(std::move(choice), tableHost);
    }
    case QueryKey::Kind::IPv6:
        choice.rdap = data->AddressService(key.address, key.prefixLength);
        return RegistryChoice(std::move(choice), WhoisHost::IANA.toString());
    case QueryKey::Kind::AsNumber:
        choice.rdap = data->AsnService(key.asNumber);
        return RegistryChoice(std::move(choice), WhoisHost::IANA.toString());
    case QueryKey::Kind::Name:
        if (key.noAsciiForm) {
            choice.outcome = ServerChoice::Outcome::NoAsciiForm;
            return choice;
        }
        return DomainChoice(std::move(choice));
    }
    return choice;
}

#pragma once

#include "selection/query_key.h"
#include "selection/registry_data.h"

#include <QUrl>

#include <optional>

// The RDAP query URL for a key: the https base URL of the service that the
// registry data gives it (a domain name by its longest listed label suffix,
// an address by its longest listed prefix, an AS number by its range) with
// the query path. Nothing when the data lists no https service for the key,
// or the key is a single word.
std::optional<QUrl> FindRdapUrl(
    const QueryKey &key, const RegistryData &data = *RegistryData::InUse());

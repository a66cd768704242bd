#pragma once

#include "selection/query_key.h"
#include "selection/rdap_service.h"

#include <QUrl>

#include <optional>

// The RDAP query URL for a key at the service that the server choice found
// for it (see ServerChoice::rdap): the service's https base URL with the
// query path. Nothing when there is no service, it lists no https URL, or
// the key is a single word or no usable host name.
std::optional<QUrl> rdapLookupUrl(const QueryKey &key, const std::optional<RdapService> &service);

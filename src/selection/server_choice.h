#pragma once

#include "selection/query_key.h"
#include "selection/query_target.h"
#include "selection/rdap_service.h"

#include <optional>

// The automatic choice of a server for a key.
struct ServerChoice {
    enum class Outcome {
        Whois, // target is the whois server to ask
        RdapOnly, // the registry runs no port-43 server, only RDAP (see rdap)
        NoServer, // no server is known for the key
        NoAsciiForm, // a domain name in another script with no ASCII form
    };

    Outcome outcome = Outcome::NoServer;
    QueryKey key;
    QueryTarget target;
    // The key's RDAP service in the registry data, whatever the outcome.
    std::optional<RdapService> rdap;
    // The top-level label of a domain name of two labels or more whose
    // server rests on that label alone: set when the table of top-level
    // domains gave the target, or when nothing knew the label (NoServer).
    QString topLevel;
};

// The automatic choice. The address table and the domain table decide first; IANA's data fills in
// where they find no server or name a registry that no longer holds the key.
ServerChoice autoSelectServer(const QueryKey &key);

// The whois host of the regional registry whose RDAP service this is.
std::optional<QString> regionalWhoisHost(const RdapService &service);

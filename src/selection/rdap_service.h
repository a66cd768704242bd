#pragma once

#include <QList>
#include <QUrl>

// One service of IANA's RDAP bootstrap data: the base URLs it lists, in the
// data's order. Each base ends in "/"; a query appends "domain/<name>",
// "ip/<address>" or "autnum/<number>".
struct RdapService {
    QList<QUrl> baseUrls;

    // The first https base, or an empty URL when the service lists none.
    QUrl httpsBase() const;

    friend bool operator==(const RdapService &, const RdapService &) = default;
};

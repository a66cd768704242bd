#include "selection/rdap_service.h"

#include <algorithm>

QUrl RdapService::httpsBase() const
{
    const auto https = std::find_if(
        baseUrls.begin(), baseUrls.end(), [](const QUrl &url) { return url.scheme() == u"https"; });
    return https == baseUrls.end() ? QUrl() : *https;
}

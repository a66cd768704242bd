#include "rdap/rdap_referral.h"

std::optional<QUrl> registrarLink(const RdapRecord &record, const QString &answeredHost)
{
    for (const RdapLink &link : record.links) {
        if (link.rel.compare(u"related", Qt::CaseInsensitive) != 0)
            continue;
        if (!link.type.isEmpty()
            && link.type.compare(u"application/rdap+json", Qt::CaseInsensitive) != 0)
            continue;
        const QUrl url(link.href, QUrl::StrictMode);
        if (!url.isValid() || url.scheme() != u"https" || url.host().isEmpty()
            || !url.userInfo().isEmpty())
            continue;
        if (url.host().compare(answeredHost, Qt::CaseInsensitive) == 0)
            continue;
        return url;
    }
    return std::nullopt;
}

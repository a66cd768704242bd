#include "rdap/rdap_url.h"

QUrl rdapQueryUrl(const QUrl &base, RdapQueryKind kind, const QString &object)
{
    QString path = base.path(QUrl::FullyEncoded);
    if (!path.endsWith(u'/'))
        path += u'/';
    switch (kind) {
    case RdapQueryKind::Domain:
        path += u"domain/"_qs;
        break;
    case RdapQueryKind::Ip:
        path += u"ip/"_qs;
        break;
    case RdapQueryKind::Autnum:
        path += u"autnum/"_qs;
        break;
    }
    // The prefix length of an address stays a path segment of its own.
    path += QString::fromLatin1(QUrl::toPercentEncoding(object, "/:"));
    QUrl url = base;
    url.setPath(path, QUrl::StrictMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

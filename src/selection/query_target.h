#pragma once

#include <QString>
#include <QUrl>

// Where a query goes: port 43 (or another port) of a whois host, or an RDAP
// URL. Server choice and referrals both answer with one.
struct QueryTarget {
    enum class Protocol { Whois, Rdap };

    Protocol protocol = Protocol::Whois;
    QString host; // whois: a host name or an address
    quint16 port = 43; // whois
    QUrl url; // RDAP: a service's base URL or a record's URL

    static QueryTarget whois(const QString &host, quint16 port = 43)
    {
        return { Protocol::Whois, host, port, {} };
    }
    static QueryTarget rdap(const QUrl &url) { return { Protocol::Rdap, url.host(), 0, url }; }

    // How the result label names it: the host, with ":port" when the port
    // is not 43 (an IPv6 address then in brackets); an RDAP service as
    // "RDAP:host".
    QString display() const
    {
        if (protocol == Protocol::Rdap)
            return u"RDAP:"_qs + host;
        if (port == 43)
            return host;
        const QString shown = host.contains(u':') ? u'[' + host + u']' : host;
        return shown + u':' + QString::number(port);
    }

    friend bool operator==(const QueryTarget &, const QueryTarget &) = default;
};

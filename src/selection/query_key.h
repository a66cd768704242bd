#pragma once

#include <QHostAddress>
#include <QString>

// The key of a query as the server choice and the request read it.
struct QueryKey {
    // A longer key is not read at all: no server takes one, and reading it
    // would cost time for nothing.
    static constexpr qsizetype kMaxChars = 1024;

    enum class Kind {
        IPv4, // a dotted IPv4 address as the address table reads it
        IPv6, // an IPv6 address in any RFC 4291 form, optionally "/length"
        AsNumber, // "AS4713", "as4713" or "AS 4713"
        Name, // anything else: a domain name or another word
    };

    Kind kind = Kind::Name;
    // The key without the blanks around it; a domain name in another script
    // in its ASCII form; a name with its labels trimmed, in lower case and
    // without a final dot. Servers are chosen and RDAP asked from this text.
    QString text;
    // The request line (without CR LF): the key as typed, or the ASCII form
    // of a domain name in another script.
    QString line;
    // A domain name in another script that has no valid ASCII form; such a
    // key is never sent.
    bool noAsciiForm = false;
    // Longer than kMaxChars: never classified and never sent.
    bool tooLong = false;

    QHostAddress address; // IPv4, IPv6
    int prefixLength = -1; // IPv6 with "/length"; -1 for the address alone
    quint32 asNumber = 0; // AsNumber
};

// Reads the key box text. A key is domain-shaped when, mapped as IDNA does
// (full-width letters and the dots 。．｡ become ASCII), it has two labels or
// more and its last one is a top-level domain in the registry data.
QueryKey ReadQueryKey(const QString &keyText);

#pragma once

#include <QHostAddress>
#include <QString>

// The key of a query as the server choice and the request read it.
struct QueryKey {
    // A longer key is not read at all: no server takes one, and reading it
    // would cost time for nothing.
    static constexpr qsizetype kMaxChars = 1024;

    enum class Kind {
        IPv4, // a dotted IPv4 address as the address table reads it, optionally "/length"
        IPv6, // an IPv6 address in any RFC 4291 form, optionally "/length"
        AsNumber, // "AS4713", "as4713", "AS 4713" or "AS1.1" (asdot)
        Name, // anything else: a domain name or another word
    };

    Kind kind = Kind::Name;
    // The key without the blanks around it, full-width ASCII forms and the
    // ideographic space folded to ASCII, a pasted URL reduced to its host;
    // a domain name in another script in its ASCII form; a name with its
    // labels trimmed, in lower case and without a final dot; the IPv4
    // address inside an IPv4-mapped, 6to4 or Teredo address. Servers are
    // chosen and RDAP asked from this text.
    QString text;
    // The request line (without CR LF): the key as typed when it was already
    // half-width ASCII (or is a word in another script, such as a company
    // name), otherwise the text above.
    QString line;
    // A domain name in another script that has no valid ASCII form; such a
    // key is never sent.
    bool noAsciiForm = false;
    // Longer than kMaxChars: never classified and never sent.
    bool tooLong = false;
    // "AS" and a number beyond 32 bits: refused, never sent.
    bool asNumberTooLarge = false;

    QHostAddress address; // IPv4, IPv6
    int prefixLength = -1; // "/length" after an address; -1 for the address alone
    quint32 asNumber = 0; // AsNumber
};

// Reads the key box text. A key in another script is domain-shaped when,
// mapped as IDNA does (full-width letters and the dots 。．｡ become ASCII),
// its last label is a top-level domain in the registry data.
QueryKey readQueryKey(const QString &keyText);

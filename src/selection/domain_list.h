#pragma once

#include <QString>

// Maps a domain name to the whois server of its registry, from a built-in
// table of second-level combinations and top-level labels.
class cDomlist {
public:
    // The host for the name, or kSelectionError when no server is known.
    // A name without a dot, or the empty name, goes to IANA.
    QString WhoisFromDom(const QString &name) const;
};

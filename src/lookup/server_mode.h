#pragma once

#include "selection/query_target.h"

#include <QString>

// Which server a lookup asks, as the window's server combo or a referral
// gives it: the automatic choice, RDAP for any key, an entry of the server
// list, a host typed into the combo, or a target that an earlier answer named.
struct ServerMode {
    enum class Kind { Automatic, Rdap, ListEntry, TypedHost, Referral };

    Kind kind = Kind::Automatic;
    // ListEntry: the entry's text; TypedHost: the text as typed. The result
    // names the server by it.
    QString label;
    // ListEntry: the entry's host; TypedHost: the text as typed.
    QString host;
    QueryTarget referral; // Referral

    static ServerMode automatic() { return {}; }
    static ServerMode rdap() { return { Kind::Rdap, {}, {}, {} }; }
    static ServerMode listEntry(const QString &label, const QString &host)
    {
        return { Kind::ListEntry, label, host, {} };
    }
    static ServerMode typedHost(const QString &text) { return { Kind::TypedHost, text, text, {} }; }
    static ServerMode followReferral(const QueryTarget &target)
    {
        return { Kind::Referral, target.display(), {}, target };
    }
};

#pragma once

#include "rdap/rdap_record.h"
#include "selection/query_target.h"

#include <QList>
#include <QStringList>
#include <QString>

#include <optional>

// What a finished lookup found.
struct LookupResult {
    QString keyText; // the key as typed
    QString keySent; // the request line, without CR LF
    // The server as the result label names it: the chain of servers asked,
    // and the referral still to follow, joined by arrows.
    QString serverLabel;
    QList<QueryTarget> hops; // every server asked, in order
    // Each hop's own answer, in the order of hops, without the lines the
    // lookup adds around it.
    QStringList hopAnswers;
    QList<RdapRecord> rdapRecords; // each RDAP hop's record, in order
    QString text; // everything shown for the answer, unless not kept (Lookup::setKeepText)
    // The server that the last answer names, left to follow by hand.
    std::optional<QueryTarget> referral;
};

#pragma once

#include "selection/query_target.h"

#include <QList>
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
    QString text; // everything shown for the answer
    // The server that the last answer names, left to follow by hand.
    std::optional<QueryTarget> referral;
};

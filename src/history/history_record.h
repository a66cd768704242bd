#pragma once

#include "selection/query_target.h"

#include <QString>

#include <optional>

// One completed whois result as the history keeps it.
struct HistoryRecord {
    QString key; // the key box text when the result arrived, untrimmed
    QString server; // the server description of the query
    QString response; // the plain text of the result pane
    // The other whois server that the answer names, if it names one.
    std::optional<QueryTarget> referral = std::nullopt;

    friend bool operator==(const HistoryRecord &, const HistoryRecord &) = default;
};

#pragma once

#include <QString>

// One completed whois result as the history keeps it.
struct HistoryRecord {
    QString key; // the key box text when the result arrived, untrimmed
    QString server; // the server description of the query
    QString response; // the plain text of the result pane

    friend bool operator==(const HistoryRecord &, const HistoryRecord &) = default;
};

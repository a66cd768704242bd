#pragma once

#include "fields/answer_fields.h"

#include <QList>
#include <QString>
#include <QStringView>

// Reads the fields of one port-43 answer, picking the format by the
// answer's shape, or by the server that answered when the shape does not
// tell. An answer that says there is no such object ("No match for",
// "NOT FOUND", "% No entries found", JPRS's "No match!!" ...) gives the state
// not registered. Bounded: only the first kMaxScannedChars characters count.
AnswerFields readWhoisFields(QStringView answer, const QString &server);

// One answer of a lookup that followed referrals, and who sent it.
struct WhoisHop {
    QString server;
    QString answer;
};

// Reads a lookup's answers in the order they came (registry, then
// registrar). IANA's answer counts only when it is the last. For a domain,
// the first answer that found it is the record and later ones fill what it
// leaves empty. For a network or an AS, the last
// answer that found it is the record: each referral leads to a narrower
// registry, and a wider block's contacts are not the network's.
AnswerFields readWhoisChain(const QList<WhoisHop> &hops);

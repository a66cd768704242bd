#pragma once

#include "selection/query_key.h"

#include <QList>
#include <QString>

// Keys are read from at most this many characters of a text (a larger pasted
// text or file is cut at the last key boundary before it).
inline constexpr qsizetype kMaxBatchTextChars = qsizetype(16) * 1024 * 1024;

// One key found in a text, in the form it is looked up with: an IPv4 address
// in dotted decimal, an IPv6 address in its compressed lower-case form, an AS
// number as "AS" and the plain number, a domain name as written (full-width
// forms and the ideographic dots made ASCII, no final dot).
struct ExtractedKey {
    QueryKey::Kind kind = QueryKey::Kind::Name;
    QString text;

    friend bool operator==(const ExtractedKey &, const ExtractedKey &) = default;
};

// The keys in a text of any shape (a log, a CSV, one key per line), each
// once (compared without regard to case), in the order they first appear.
// Domain names count only with a top-level domain of the registry data.
// The work grows linearly with the text.
QList<ExtractedKey> extractKeys(QStringView text);

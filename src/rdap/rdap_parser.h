#pragma once

#include "rdap/rdap_record.h"

#include <QByteArrayView>

#include <optional>

// Arrays and objects nested deeper than this make an answer malformed; real
// answers stay far below it.
inline constexpr int kMaxRdapNesting = 64;

// Reads an RDAP answer (RFC 9083): a domain, an IP network, an autnum or any
// other object, whose kind comes from objectClassName. Members of the wrong
// JSON type are skipped. Returns nothing when the text is not a JSON object
// or nests deeper than kMaxRdapNesting.
std::optional<RdapRecord> parseRdapRecord(QByteArrayView json);

#pragma once

#include "rdap/rdap_record.h"

#include <QJsonArray>

// Fills the contact's name, organisation, addresses, e-mail addresses and
// telephone numbers from a jCard (RFC 7095): ["vcard", [[name, params,
// type, value...], ...]]. A property present with an empty value counts as
// withheld by the server and is named in the contact's `redacted`. Anything
// not in that shape is skipped.
void ReadJCard(const QJsonArray &vcardArray, RdapContact &contact);

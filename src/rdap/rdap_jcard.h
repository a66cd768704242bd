#pragma once

#include "rdap/raw_json_value.h"
#include "rdap/rdap_record.h"

// Fills the contact's name, organisation, addresses, e-mail addresses,
// telephone and fax numbers from a jCard (RFC 7095): ["vcard", [[name,
// params, type, value...], ...]]. A value that only says it is withheld
// ("REDACTED FOR PRIVACY", "Data Protected", ...) is dropped, and when
// nothing else is left its field is named in the contact's `withheld`; an
// empty value is skipped. Anything not in that shape is skipped.
void readJCard(const RawJsonValue &vcardArray, RdapContact &contact);

// Whether a value is a placeholder for withheld data rather than data.
bool isWithheldText(QStringView text);

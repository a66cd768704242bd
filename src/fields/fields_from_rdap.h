#pragma once

#include "fields/answer_fields.h"
#include "rdap/rdap_record.h"

#include <QString>

// The fields of a parsed RDAP answer, in the shape whois answers give, so
// that both paths feed the same columns. `server` is the base URL asked.
AnswerFields fieldsFromRdap(const RdapRecord &record, const QString &server);

#pragma once

#include "fields/answer_fields.h"

#include <QStringView>

// One reader per family of port-43 formats. Each reads what it knows and
// sets the state to found when it recognised the object; the caller decides
// which one to run and whether the answer says there is no such object.

// "Key: value" lines: ICANN's registration data format of the gTLD
// registries and registrars, and the many ccTLDs that write similar keys
// (also a key alone on its line with its values indented below it).
AnswerFields readFlatFields(QStringView answer);

// ARIN: NetRange/CIDR/OrgName... or ASNumber; of several networks in one
// answer, the narrowest.
AnswerFields readArinFields(QStringView answer);

// RPSL objects of RIPE NCC, APNIC, AFRINIC and LACNIC: the narrowest
// inetnum/inet6num (or the aut-num), its organisation and abuse contact.
AnswerFields readRpslFields(QStringView answer);

// JPRS (.jp) and JPNIC: "[key]  value" lines, in Japanese or English, with
// dates in Japan Standard Time.
AnswerFields readJpBracketFields(QStringView answer);

// Whether a line is one of JPRS's or JPNIC's "[key]  value" lines.
bool isJpBracketLine(QStringView line);

#pragma once

#include "rdap/rdap_record.h"

#include <QByteArrayView>
#include <QString>

// The text shown for an RDAP answer: a summary with Japanese labels in a
// fixed order, dates in local time as YYYY/MM/DD HH:MM and "非公開" for what
// the server withheld; then the remarks and notices; then the JSON as it
// came, one member per line, under a header line. Control characters in the
// server's strings are replaced, so they cannot forge lines or reorder text.
QString renderRdapText(const RdapRecord &record, QByteArrayView json);

#pragma once

#include <QByteArrayView>
#include <QString>

// What an RDAP error body (RFC 9083 section 6) says, for the end of the
// warning about a failed answer: its errorCode, title and description, one
// per line, each after a line break and made safe to show. Empty when the
// body is no JSON object or says none of them. Long bodies are cut short.
QString rdapErrorBodyText(QByteArrayView body);

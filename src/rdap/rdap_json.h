#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Helpers over the raw bytes of a JSON text, which keep the server's member
// order and spelling (QJsonObject sorts its keys).

// The deepest nesting of arrays and objects in the text. Strings are skipped,
// so brackets inside them do not count.
int JsonNestingDepth(QByteArrayView json);

// The text laid out with one member or element per line, indented by four
// spaces a level; the bytes of every string and number stay as they are.
// Meant for text that parsed as JSON.
QByteArray IndentJson(QByteArrayView json);

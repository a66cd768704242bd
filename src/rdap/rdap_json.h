#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Helpers over the raw bytes of a JSON text, which keep the server's member
// order and spelling (QJsonObject sorts its keys).

// The deepest nesting of arrays and objects in the text. Strings are skipped,
// so brackets inside them do not count.
int jsonNestingDepth(QByteArrayView json);

// Whether a character may not be shown as it is: the controls (C0, DEL,
// C1), the line and paragraph separators and the bidirectional embeddings,
// overrides and isolates. Such characters could start a line of their own
// or reorder the text around them.
bool isUnsafeForDisplay(char32_t c);

// The default bound of appendIndentedJson: about twice the text plus 1 Mi.
qsizetype jsonLayoutLimit(QByteArrayView json);

// Appends the text laid out with one member or element per line, indented by
// four spaces a level. Inside strings, every character that
// isUnsafeForDisplay names is written as a \uXXXX escape, so the result is
// still the same JSON and no line starts inside a string; everything else
// stays as it came. When the layout would pass maxChars characters, the text
// is appended as it came instead (strings made safe the same way, CR outside
// strings dropped); should even that pass maxChars, it is cut there under a
// closing line. Meant for text that parsed as JSON.
void appendIndentedJson(QString &text, QByteArrayView json, qsizetype maxChars);

#pragma once

#include <QByteArrayView>

// Where the object of a JSON text begins, after a UTF-8 byte order mark
// and blanks, when QJsonDocument::fromJson would read the text as an object
// and it nests at most `maxNesting` levels of arrays and objects; -1 when
// not. The text is checked where it lies and nothing is built, so a large
// answer costs no more memory than its own bytes. The rules are Qt's own,
// laxer than RFC 8259 in places: control characters inside strings, any
// character after a backslash, numbers such as "1." or ".5".
qsizetype jsonObjectStart(QByteArrayView json, int maxNesting);

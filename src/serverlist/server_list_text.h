#pragma once

#include <QByteArrayView>
#include <QString>

// The text of serverlist.dat. A file saved by today's editors is UTF-8: it
// starts with a byte-order mark (dropped), or it is valid UTF-8 and holds at
// least one sequence of three or more bytes, as every Japanese character in
// UTF-8 does. Any other file is code page 932, as lists have always been
// written; one with only two-byte look-alikes (half-width "ﾃｨ" is C3 A8, valid
// UTF-8 for "è") stays code page 932.
QString serverListText(QByteArrayView bytes);

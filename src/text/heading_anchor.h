#pragma once

#include <QString>

// The anchor that a Markdown link names a heading by, as the common Markdown
// hosts make it: the heading's text in lower case, with letters, digits,
// combining marks, "_" and "-" kept, each blank turned into "-" and every
// other character dropped. "## キーの書き方 (IPv6)" is "#キーの書き方-ipv6".
QString headingAnchor(QStringView heading);
